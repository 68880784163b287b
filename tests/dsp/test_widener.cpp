#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "dsp/dspCommon.h"
#include "dsp/uWidener.h"
#include "dspTestUtil.h"
#include "support/expectValues.h"

using dsp::TWidener;

namespace {

std::unique_ptr<TWidener> make(float rate) {
  auto w = std::make_unique<TWidener>();
  w->init(rate);
  return w;
}

}  // namespace

// A ramp comes through both interpolations exactly, so each output tells the delay it was read at.
// Widener: D = min(32767, 2^(8 amount) 12 rate / 44100 + 1); the delay runs (1 - width tri) D + 1
// slots with a triangle tri from 1 at phase 0 to 0 at phase 0.5, and stays behind the write.
// Chorus (wet only): maxDelay = length 0.1 rate + 2 frames, swung by the sine from 1 - 0.99 width
// of it to all of it; the read point is held two frames behind the write.
TEST(WidenerChorus, DelaysReadFromARamp) {
  struct Row {
    bool chorus;
    float rate, amountOrLength, width, speed;
    double lo, hi;
    int calls;
  };
  // clang-format off
  const Row rows[] = {
      {false, 44100, 1, 0, 0.3f, 3074, 3074, 2000}, {false, 500000, 1, 0, 0, 32767, 32767, 17000},
      {false, 44100, 0.5f, 1, 1, 1, 194, 30000},    {true, 44100, 0.5f, 0, 0.5f, 2207, 2207, 2000},
      {true, 44100, 1, 0, 0, 4412, 4412, 3000},     {true, 44100, 0.5f, 1, 1, 22.07, 2207, 8000},
      {true, 44100, 0, 1, 1, 2, 2, 2000}};
  // clang-format on
  const double slope = 1e-5;
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&r - rows));
    auto w = make(r.rate);
    double lo[2] = {1e9, 1e9}, hi[2] = {0, 0};
    for (int k = 0; k < r.calls; ++k) {
      const double n = 2.0 * k;
      float a = static_cast<float>(slope * n), b = a, c = static_cast<float>(slope * (n + 1)), d = c;
      if (r.chorus) {
        w->doChorus(1.0f, r.amountOrLength, r.width, r.speed, a, b, c, d);
      } else {
        w->doWidener(r.amountOrLength, r.width, r.speed, a, c);
        b = a;
        d = c;
      }
      if (n < r.hi + 4) continue;
      const double delays[4] = {n - a / slope, n - b / slope, n + 1 - c / slope, n + 1 - d / slope};
      for (int i = 0; i < 4; ++i) {
        lo[i & 1] = std::min(lo[i & 1], delays[i]);
        hi[i & 1] = std::max(hi[i & 1], delays[i]);
      }
    }
    EXPECT_VALUES({lo[0], r.lo, 0.5}, {hi[0], r.hi, 0.5}, {lo[1], r.lo, 0.5}, {hi[1], r.hi, 0.5});
  }
  EXPECT_VALUES({make(44100)->widenerSpan(1.0f), 3073.0f}, {make(44100)->widenerSpan(0.0f), 13.0f},
                {make(10)->getSampleRate(), 44100.0f});
}

// Wet = clamp(2 mix, 0, 1), dry = clamp(2 - 2 mix, 0, 1), out = (chorus wet + input dry) / sqrt(wet + dry).
TEST(Chorus, MixLaw) {
  auto w = make(44100.0f), wet = make(44100.0f);
  dsp::Rand15 rng(7);
  for (int k = 0; k < 3000; ++k) {
    const float in[4] = {rng.next() - 0.5f, rng.next() - 0.5f, rng.next() - 0.5f, rng.next() - 0.5f};
    float y[4] = {in[0], in[1], in[2], in[3]}, o[4] = {in[0], in[1], in[2], in[3]};
    wet->doChorus(1.0f, 0.3f, 0.44f, 0.2f, y[0], y[1], y[2], y[3]);
    const float mix = k % 3 == 0 ? 0.0f : (k % 3 == 1 ? 0.5f : 0.25f);
    w->doChorus(mix, 0.3f, 0.44f, 0.2f, o[0], o[1], o[2], o[3]);
    const float wetGain = std::min(2.0f * mix, 1.0f), dryGain = std::min(2.0f - 2.0f * mix, 1.0f);
    for (int i = 0; i < 4; ++i) {
      ASSERT_NEAR(o[i], (y[i] * wetGain + in[i] * dryGain) / std::sqrt(wetGain + dryGain), 1e-6f)
          << k << " " << i;
    }
  }
}

// rate = 2^(10 speed) 112640 / hostRate; the voices step trunc(rate) / 2 and trunc(2.08 rate) / 2 per
// frame on 24-bit phases: at 44.1 kHz speed 0 gives 1 and 2, speed 1 gives 1307 and 2720.
TEST(Chorus, PhaseIncrementsFromSpeed) {
  auto w = make(44100.0f);
  float a = 0, b = 0, c = 0, d = 0;
  w->doChorus(0.5f, 0.5f, 0.5f, 0.0f, a, b, c, d);
  EXPECT_VALUES({w->getPhase1(), 2u}, {w->getPhase2(), 4u});
  w->init(44100.0f);
  for (int k = 0; k < 10000; ++k) w->doChorus(0.5f, 0.5f, 0.5f, 1.0f, a, b, c, d);
  EXPECT_VALUES({w->getPhase1(), (20000u * 1307u) & 0xFFFFFFu},
                {w->getPhase2(), (20000u * 2720u) & 0xFFFFFFu});
}

// A new rate forgets the old one's settings: the module then runs as a fresh one.
TEST(WidenerChorus, ANewRateStartsAfresh) {
  auto w = make(44100.0f), fresh = make(96000.0f);
  float x = 0.5f, y = 0.5f;
  w->doWidener(0.5f, 0.5f, 0.5f, x, y);
  w->doChorus(0.5f, 0.5f, 0.44f, 0.5f, x, y, x, y);
  w->init(96000.0f);
  dsp::Rand15 rng(5);
  for (int k = 0; k < 5000; ++k) {
    float v[2] = {rng.next(), rng.next()}, f[2] = {v[0], v[1]};
    w->doWidener(0.5f, 0.5f, 0.5f, v[0], v[1]);
    fresh->doWidener(0.5f, 0.5f, 0.5f, f[0], f[1]);
    w->doChorus(0.5f, 0.5f, 0.44f, 0.5f, v[0], v[1], v[0], v[1]);
    fresh->doChorus(0.5f, 0.5f, 0.44f, 0.5f, f[0], f[1], f[0], f[1]);
    ASSERT_TRUE(v[0] == f[0] && v[1] == f[1]) << k;
  }
  EXPECT_VALUES({w->getPhase1(), fresh->getPhase1()}, {w->getPhase2(), fresh->getPhase2()});
}

TEST(WidenerChorus, HostileInputStaysFiniteAndDecaysToSilence) {
  for (float v : {1000.0f, 1e30f}) {
    auto w = make(44100.0f);
    double tail = 0;
    EXPECT_TRUE(dsptest::hostileThenSilence(
        [&](float& a, float& b, float& c, float& d) {
          w->doWidener(0.7f, 0.8f, 0.5f, b, d);
          w->doChorus(0.5f, 0.6f, 0.44f, 0.7f, a, b, c, d);
        },
        v, true, 2000, 40000, tail));
    EXPECT_EQ(tail, 0.0);
  }
}

// A clear may be skipped only while nothing has written a ring since the last one: after
// either voice has filled its rings, a new start (same rate or another) sounds as a fresh module.
TEST(WidenerChorus, AResetAfterAudioForgetsTheRings) {
  struct Row {
    bool widen, chorus;
    float rate;
  };
  const Row rows[] = {{true, false, 44100}, {false, true, 44100}, {true, true, 96000}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&r - rows));
    auto w = make(44100.0f), fresh = make(r.rate);
    dsp::Rand15 rng(3);
    for (int k = 0; k < 40000; ++k) {  // more than a ring's length
      float v[4] = {rng.next(), rng.next(), rng.next(), rng.next()};
      if (r.widen) w->doWidener(1.0f, 0.5f, 0.5f, v[0], v[1]);
      if (r.chorus) w->doChorus(1.0f, 1.0f, 0.44f, 0.5f, v[0], v[1], v[2], v[3]);
    }
    w->init(44100.0f);  // hosts reset more than once, and a second reset must not undo the first
    w->init(r.rate);
    bool same = true;
    for (int k = 0; k < 40000 && same; ++k) {
      float v[4] = {0.25f, -0.25f, 0.25f, -0.25f}, f[4] = {v[0], v[1], v[2], v[3]};
      w->doWidener(1.0f, 0.5f, 0.5f, v[0], v[1]);
      fresh->doWidener(1.0f, 0.5f, 0.5f, f[0], f[1]);
      w->doChorus(1.0f, 1.0f, 0.44f, 0.5f, v[0], v[1], v[2], v[3]);
      fresh->doChorus(1.0f, 1.0f, 0.44f, 0.5f, f[0], f[1], f[2], f[3]);
      same = v[0] == f[0] && v[1] == f[1] && v[2] == f[2] && v[3] == f[3];
    }
    EXPECT_TRUE(same);
  }
}
