#include "dsp/uWidener.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "dsp/dspCommon.h"
#include "dspTestUtil.h"
#include "support/expectValues.h"

using testing_support::kUlps;

using dsp::TWidener;

namespace {

// Feeds an impulse of 1 as the first sample of call 0 into the widener and returns the
// sub-sample index at which the largest output appears (and its value).
int widenerImpulseDelay(TWidener& w, float amount, float width, float speed, int calls, float* peak) {
  int where = -1;
  float best = 0;
  for (int k = 0; k < calls; ++k) {
    float first = k == 0 ? 1.0f : 0.0f, second = 0.0f;
    w.doWidener(amount, width, speed, first, second);
    if (first > best) {
      best = first;
      where = 2 * k;
    }
    if (second > best) {
      best = second;
      where = 2 * k + 1;
    }
  }
  if (peak) *peak = best;
  return where;
}

}  // namespace

TEST(Widener, FixedDelayWithoutWidthAndItsSpan) {
  auto w = std::make_unique<TWidener>();
  w->init(44100.0f);
  // amount 1 at 44.1 kHz: D = 256 * 12 + 1 = 3073; width 0 holds the delay at D + 1 slots.
  EXPECT_FLOAT_EQ(w->widenerSpan(1.0f), 3073.0f);
  EXPECT_FLOAT_EQ(w->widenerSpan(0.0f), 13.0f);
  float peak = 0;
  EXPECT_EQ(widenerImpulseDelay(*w, 1.0f, 0.0f, 0.3f, 3000, &peak), 3074);
  EXPECT_FLOAT_EQ(peak, 1.0f);

  // At 500 kHz the span would be 34,830.9 slots; it stops at 32,766 so the read stays behind the write.
  w->init(500000.0f);
  EXPECT_VALUES(
      {w->widenerSpan(1.0f), 32766.0f, kUlps}, {widenerImpulseDelay(*w, 1.0f, 0.0f, 0.0f, 20000, &peak), 32767},
      {peak, 1.0f, kUlps});
  // A host rate below 1000 runs as 44,100.
  w->init(10.0f);
  EXPECT_EQ(w->getSampleRate(), 44100.0f);
}

TEST(Widener, FullWidthSweepsTheDelayBetweenOneSlotAndTheSpan) {
  // width 1: delay = (1 - tri) D + 1 with tri = |2p - 1|; at phase 0 the delay is a single slot.
  auto w = std::make_unique<TWidener>();
  w->init(44100.0f);
  float first = 0.75f, second = 1.0f;
  w->doWidener(0.5f, 1.0f, 0.0f, first, second);
  EXPECT_EQ(first, 0.0f);  // one slot back: nothing written yet
  first = 0.0f;
  second = 0.0f;
  w->doWidener(0.5f, 1.0f, 0.0f, first, second);
  EXPECT_NEAR(first, 1.0f, 1e-3f);  // the previous call's second sample, one slot back
  // Half a period on (phase 0.5) the delay is the whole span, D + 1 = 194 slots.
  w->init(44100.0f);
  // speed 1: inc = 64 * 0.013427734 / 44100 per half call; phase 0.5 after 0.5 / (2 inc) calls.
  const double inc = 64.0 * 0.013427734 / 44100.0;
  const int half = static_cast<int>(0.5 / (2.0 * inc));
  std::vector<float> in;
  float lastFirst = 0;
  for (int k = 0; k <= half; ++k) {
    float x0 = static_cast<float>(2 * k), x1 = static_cast<float>(2 * k + 1);
    w->doWidener(0.5f, 1.0f, 1.0f, x0, x1);
    lastFirst = x0;
  }
  // With a ramp input the output is the ramp delayed: value = index - delay.
  EXPECT_NEAR(2.0 * half - lastFirst, 194.0, 0.5);

  // Mean delay over a whole triangle period lies between the ends: output is a delayed copy,
  // its energy equals the input's.
  w->init(44100.0f);
  double inE = 0, outE = 0;
  for (int k = 0; k < 200000; ++k) {
    float x0 = std::sin(k * 0.02f) * 0.5f, x1 = std::sin(k * 0.02f + 0.01f) * 0.5f;
    inE += x0 * x0 + x1 * x1;
    w->doWidener(0.6f, 1.0f, 1.0f, x0, x1);
    outE += x0 * x0 + x1 * x1;
  }
  EXPECT_NEAR(outE / inE, 1.0, 0.02);
}

TEST(Chorus, MixLaw) {
  auto w = std::make_unique<TWidener>();
  auto ref = std::make_unique<TWidener>();
  w->init(44100.0f);
  ref->init(44100.0f);
  dsp::Rand15 rng(7);
  for (int k = 0; k < 5000; ++k) {
    const float in[4] = {rng.next() - 0.5f, rng.next() - 0.5f, rng.next() - 0.5f, rng.next() - 0.5f};
    // ref gives the wet signal alone (mix 1), w the same settings at mix 0, 0.5 and 0.25 in turn.
    float wa = in[0], wb = in[1], wc = in[2], wd = in[3];
    ref->doChorus(1.0f, 0.3f, 0.44f, 0.2f, wa, wb, wc, wd);
    const float mix = (k % 3 == 0) ? 0.0f : (k % 3 == 1 ? 0.5f : 0.25f);
    float a = in[0], b = in[1], c = in[2], d = in[3];
    w->doChorus(mix, 0.3f, 0.44f, 0.2f, a, b, c, d);
    if (mix == 0.0f) {
      ASSERT_EQ(a, in[0]);
      ASSERT_EQ(d, in[3]);
    } else if (mix == 0.5f) {
      ASSERT_NEAR(a, (wa + in[0]) / std::sqrt(2.0f), 1e-6f);
      ASSERT_NEAR(d, (wd + in[3]) / std::sqrt(2.0f), 1e-6f);
    } else {
      ASSERT_NEAR(b, (0.5f * wb + in[1]) / std::sqrt(1.5f), 1e-6f);
      ASSERT_NEAR(c, (0.5f * wc + in[2]) / std::sqrt(1.5f), 1e-6f);
    }
  }
}

TEST(Chorus, DelayWithoutDepthIsTheLength) {
  // width 0: the read point sits at length * 0.1 * rate + 2 frames behind the write.
  for (float length : {0.0f, 1.0f, 0.5f}) {
    auto w = std::make_unique<TWidener>();
    w->init(44100.0f);
    const int expected = static_cast<int>(length * 0.1f * 44100.0f + 2.0f);
    int seen = -1;
    for (int k = 0; k < 3000 && seen < 0; ++k) {
      float a = k == 0 ? 1.0f : 0.0f, b = 0, c = 0, d = k == 0 ? -1.0f : 0.0f;
      w->doChorus(1.0f, length, 0.0f, 0.5f, a, b, c, d);
      if (std::fabs(a - 1.0f) < 1e-3f) seen = 2 * k;
      if (std::fabs(c - 1.0f) < 1e-3f) seen = 2 * k + 1;
    }
    EXPECT_EQ(seen, expected) << length;
  }
}

TEST(Chorus, FullWidthSwingsTheDelayFromOnePercentOfTheLengthToAllOfIt) {
  // A ramp comes through the cubic read exactly, so each output tells the delay it was read at.
  auto w = std::make_unique<TWidener>();
  w->init(44100.0f);
  const double maxDelay = static_cast<double>(0.5f * 0.1f * 44100.0f + 2.0f), slope = 1e-4;
  double lo[2] = {1e9, 1e9}, hi[2] = {0, 0};
  for (int k = 0; k < 8000; ++k) {  // 16000 frames: more than a cycle of the slower sweep
    const double n0 = 2.0 * k, n1 = n0 + 1;
    float a = static_cast<float>(slope * n0), b = a, c = static_cast<float>(slope * n1), d = c;
    w->doChorus(1.0f, 0.5f, 1.0f, 1.0f, a, b, c, d);
    if (n0 < maxDelay + 4) continue;
    const double delays[4] = {n0 - a / slope, n0 - b / slope, n1 - c / slope, n1 - d / slope};
    for (int i = 0; i < 4; ++i) {
      lo[i & 1] = std::min(lo[i & 1], delays[i]);
      hi[i & 1] = std::max(hi[i & 1], delays[i]);
    }
  }
  for (int ch = 0; ch < 2; ++ch) {
    EXPECT_NEAR(lo[ch], 0.01 * maxDelay, 0.5) << ch;
    EXPECT_NEAR(hi[ch], maxDelay, 0.5) << ch;
  }
}

TEST(Chorus, ReadPointStaysTwoFramesBehindTheWrite) {
  // Full depth and zero length would put the read point inside the frames not yet written
  // (old ring contents); it is held two frames back, which makes the chorus an exact 2-frame delay.
  auto w = std::make_unique<TWidener>();
  w->init(44100.0f);
  dsp::Rand15 rng(3);
  std::vector<float> inL, outL, inR, outR;
  for (int k = 0; k < 40000; ++k) {
    float a = rng.next() - 0.5f, b = rng.next() - 0.5f, c = rng.next() - 0.5f, d = rng.next() - 0.5f;
    inL.push_back(a);
    inL.push_back(c);
    inR.push_back(b);
    inR.push_back(d);
    w->doChorus(1.0f, 0.0f, 1.0f, 1.0f, a, b, c, d);
    outL.push_back(a);
    outL.push_back(c);
    outR.push_back(b);
    outR.push_back(d);
  }
  for (size_t n = 2; n < outL.size(); ++n) {
    ASSERT_FLOAT_EQ(outL[n], inL[n - 2]) << n;
    ASSERT_FLOAT_EQ(outR[n], inR[n - 2]) << n;
  }
}

TEST(Chorus, PhaseIncrementsFromSpeed) {
  // speed 0 at 44.1 kHz: rate 2.554, inc1 = 2 / 2 = 1, inc2 = trunc(5.313) / 2 = 2.
  auto w = std::make_unique<TWidener>();
  w->init(44100.0f);
  float a = 0, b = 0, c = 0, d = 0;
  w->doChorus(0.5f, 0.5f, 0.5f, 0.0f, a, b, c, d);
  EXPECT_EQ(w->getPhase1(), 2u);
  EXPECT_EQ(w->getPhase2(), 4u);
  // speed 1: rate 2^10 * 2.554 = 2615.5: inc1 = 1307, inc2 = trunc(5440.3) / 2 = 2720; phases wrap at 24 bits.
  w->init(44100.0f);
  for (int k = 0; k < 10000; ++k) w->doChorus(0.5f, 0.5f, 0.5f, 1.0f, a, b, c, d);
  EXPECT_EQ(w->getPhase1(), (20000u * 1307u) & 0xFFFFFFu);
  EXPECT_EQ(w->getPhase2(), (20000u * 2720u) & 0xFFFFFFu);
}

TEST(WidenerChorus, HostileInputStaysFiniteAndDecaysToSilence) {
  for (float v : {1000.0f, 1e30f}) {
    for (bool alt : {false, true}) {
      auto w = std::make_unique<TWidener>();
      w->init(44100.0f);
      double tail = 0;
      EXPECT_TRUE(dsptest::hostileThenSilence(
          [&](float& a, float& b, float& c, float& d) {
            w->doWidener(0.7f, 0.8f, 0.5f, b, d);
            w->doChorus(0.5f, 0.6f, 0.44f, 0.7f, a, b, c, d);
          },
          v, alt, 2000, 40000, tail));
      EXPECT_EQ(tail, 0.0);
    }
  }
}
