// The distortion stage: the shaping of every type at named values, the frame around it
// (drive, smoothing, band split, level compensation), the stateful types and hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>

#include "dsp/uDistort.h"
#include "dsp/uDistortTables.h"
#include "support/expectValues.h"

using namespace dsp;
using namespace dsp::distort;

namespace {

using Knobs = std::array<float, 8>;
using Frame = std::array<float, 4>;  // left 0, right 0, left 1, right 1

// Dist1 one step above the middle reads the table entry at exactly 0 dB: a drive of 1.
const float kUnity = std::nextafter(0.5f, 1.0f);
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// Curve 1 a parabola 0..1 over the 256 points, curve 2 flat at -0.5.
struct Curves {
  float one[256], two[256];
  Curves() {
    for (int i = 0; i < 256; ++i) {
      one[i] = static_cast<float>(i * i) / (255.0f * 255.0f);
      two[i] = -0.5f;
    }
  }
};
const Curves kCurves;

// The stage is large (six filters and rings): keep it off the stack. DC blocker off unless asked.
std::unique_ptr<TDistort> makeStage(float rate = 44100.0f, bool dc = false) {
  auto d = std::make_unique<TDistort>();
  d->init(rate);
  d->setDC(dc);
  return d;
}

Frame run(TDistort& d, int type, const Knobs& k, Frame f, float side = 0.0f, bool curves = true) {
  d.process(f[0], f[1], f[2], f[3], side, side, type, k[0], k[1], k[2], k[3], k[4], k[5], k[6], k[7],
            curves ? kCurves.one : nullptr, curves ? kCurves.two : nullptr);
  return f;
}

// Dist3..Dist8 at 0 dB drive and without level compensation.
Knobs shaping(const std::array<float, 6>& k) { return {kUnity, 0.0f, k[0], k[1], k[2], k[3], k[4], k[5]}; }

// Raw Dist3 that selects model or wave n of `count` choices.
float selector(int n, int count) { return (n + 0.5f) / (count - 0.01f); }

}  // namespace

// Each row: a type with Dist3..Dist8, inputs x0 on both channels of sub-sample 0 and x1 on sub-sample
// 1, held for `calls` calls (the filtered types settle), and what the type's rule makes of them.
TEST(Distort, EveryRuleAtNamedValues) {
  struct Row {
    int type;
    std::array<float, 6> k;
    float x0, want0, x1, want1;
    int calls = 1;
    bool dcOn = false;
    float tol = 2e-5f;  // relative to 1 + |want|
  };
  const float sqrt2 = std::sqrt(2.0f), atan05 = static_cast<float>(std::atan(0.505) / std::atan(1.01));
  const Row rows[] = {
      {DIST_AND, {0, 1, 1}, 1.0f, 64.0f / 64.00001f, 0.5f, 0.0f},  // scale 64, mask 64
      {DIST_AND, {0, 0.5f, 1}, 0.75f, 32.0f / 64.00001f, 0.25f, 0.0f},
      {DIST_AND, {0.7f, 0, 0.25f}, 0.8f, 0.6f, -0.8f, -0.6f},  // mask 0: the dry part only
      {DIST_ATAN, {0, 1}, 1.0f, 1.0f, -1.0f, -1.0f},
      {DIST_ATAN, {0.2f, 1}, 0.5f, atan05, -0.5f, -atan05},
      {DIST_ATAN, {0.7f, 0.5f}, 0.001f, 0.0005f, -0.0005f, -0.00025f},  // shaped value 0 up to 0.001
      {DIST_CLIPPER_1, {0.125f, 0.25f, 1, 0.5f}, 0.8f, 0.25f, -0.8f, -0.5f},
      {DIST_CLIPPER_1, {0.2f, 0.4f, 0.5f, 0}, 0.8f, 0.4f, -0.8f, -0.4f},  // boost off: the dry half
      {DIST_COS_1, {0.2f, 1}, 1.0f, -1.0f, 0.5f, 0.0f},                   // x cos(pi x)
      {DIST_COS_2, {0.25f, 0.25f, 1}, 0.25f, 0.75f, -0.5f, -0.5f},
      {DIST_CROSS_1, {1, 1}, 0.5f, 0.3f, -0.1f, 0.0f},
      {DIST_CROSS_1, {0, 1}, -0.42f, -0.42f, 0.42f, 0.42f},
      {DIST_CROSS_2, {0, 0, 1, 0.5f}, 0.975f, 0.5f, -0.5f, 0.0f},    // dead zone +-0.95
      {DIST_CROSS_2, {0, 0, 0.5f, 0}, 0.975f, 0.0f, -0.975f, 0.0f},  // boost off silences dry and wet
      {DIST_FOLDOVER, {0, 1}, 1.5f, 0.5f, -3.0f, 1.0f},
      {DIST_FUZZ, {0, 1}, 0.5f, 1.25f, -0.5f, -1.25f},
      {DIST_GAPPER, {0.25f, 1}, 0.75f, 0.0f, 0.25f, 0.25f},
      {DIST_GAPPER, {0.25f, 0.25f}, 0.75f, 0.5625f, -0.75f, -0.5625f},
      {DIST_HARD_DISTORT, {0.5f, 0.5f, 0.5f}, 0.25f, 0.0f, 0.25f, 0.0f, 40000, false, 1e-4f},  // removes DC,
                                                                                               // switch off
      {DIST_HARD_LIMITER, {0, 1}, 2.0f, 1.0f, -0.25f, -0.25f},
      {DIST_HARD_LIMITER, {1, 1}, 0.5f, 0.99f + 0.01f / 256.0f, 0.001f, 0.001f * (0.01f + 0.99f * 256.0f)},
      {DIST_HARD_LIMITER, {1, 0}, 0.5f, 1.0f / 256.0f, -0.5f, -1.0f / 256.0f},
      {DIST_OCTAVE_1, {1, 1}, 0.3f, 0.6f, -0.8f, -0.4f},
      {DIST_OCTAVE_1, {0, 0}, 0.3f, 0.3f, -0.3f, -0.3f},
      {DIST_OCTAVE_2, {0.25f, 1}, 0.75f, 0.5f, -0.5f, -1.0f},
      {DIST_OCTAVE_3, {0.25f, 0, 1}, 0.75f, 0.6875f, 0.5f, 0.25f},
      {DIST_OVERDRIVE, {0, 1}, 0.5f, 1.0f / 3.0f, -0.5f, -1.0f / 3.0f},
      {DIST_PEAK_REMOVE, {0, 0, 1, 1, 0.5f}, 0.025f, 0.5f, 0.05f, 0.0f},
      {DIST_PEAK_REMOVE, {0, 0, 1, 1, 0}, 0.025f, 0.0f, -0.025f, 0.0f},
      {DIST_POWER, {1, 1}, 0.5f, 0.975f, -0.5f, -0.975f},
      {DIST_POWER, {0, 1}, 0.37f, 0.37f, -0.37f, -0.37f},
      {DIST_RECTIFY, {0.25f, 1}, -0.4f, -0.2f, 0.4f, 0.4f},
      {DIST_RECTIFY, {1, 1}, -0.4f, 0.4f, 0.3f, 0.3f},
      {DIST_RECTIFY, {0, 1}, 0.25f, 0.25f, 0.25f, 0.25f, 40000},             // the blocker off keeps DC ...
      {DIST_RECTIFY, {0, 1}, 0.25f, 0.0f, 0.25f, 0.0f, 40000, true, 1e-4f},  // ... on, it removes it
      {DIST_REZ, {0.5f, 0, 1}, 0.25f, 0.2f, -0.25f, -0.2f},
      {DIST_REZ, {0.5f, 1, 1}, 0.5f, 0.0f, -0.5f, 0.0f},
      {DIST_REZ, {0.3f, 1, 1}, 2.0f, 1.0f, -2.0f, -1.0f},  // the divisor vanishes at |x| = 2
      {DIST_SATURATE, {0, 1}, 0.5f, 2.0f / 3.0f, -0.5f, -2.0f / 3.0f},
      {DIST_SATURATE, {0.25f, 1}, 0.5f, 0.75f, 1.0f, 1.0f},
      {DIST_SOFT_LIMITER, {1}, 0.5f, 0.625f, -3.0f, 0.0f},
      {DIST_SQUARIFY, {0.3f, 0.3f, 0.5f}, 0.0009f, 0.0f, -0.0009f, 0.0f},
      {DIST_SQUARIFY, {1, 1, 1}, 0.5f, sqrt2, 0.5f, sqrt2, 3000},  // the low-passed sign alone
      {DIST_TRANSIENT, {0, 0.5f, 1}, 0.06f, 4.9f, 0.04f, 0.0f},
      {DIST_TRANSIENT_BOOST, {0, 1, 1}, 0.025f, 1.0f, 0.5f, 0.5f},
      {DIST_TUBE, {0.5f, 0, 0, 1, 0}, 0.9f, 0.0f, 0.9f, 0.0f, 3000},  // band-pass tone: no DC
      {DIST_VALVE, {0, 1}, 1.0f, 1.01f / 2.01f, -1.0f, -1.01f / 2.01f},
      {DIST_VALVE, {1, 1}, 0.5f, 15.755f / 16.755f, -0.5f, -15.755f / 16.755f},
      {DIST_WAVESHAPER, {0.25f, 0, 0, 1, 0.5f}, 0.5f, -0.5f, 0.25f, 0.0f},
      {DIST_WAVESHAPER, {0, 0.25f, 1, 1, 0.5f}, -0.5f, -0.5f, 0.25f, 0.25f},
      {DIST_WAVESHAPER, {0.25f, 0, 0, 1, 0}, 0.5f, 0.0f, -0.5f, 0.0f},
      {DIST_AMP, {0, 0}, 0.3f, 0.3f, 0.3f, 0.3f},  // model 0 still saturates; once per call
      {DIST_AMP, {0, 1}, 0.3f, 76.8f / 77.5f, 0.9f, 76.8f / 77.5f},
      {DIST_CABINET, {0, 1}, -2.0f, -1.0f, 0.5f, -1.0f},
      {DIST_FM, {0, 0.5f, 1, 1, 0}, 0.3f, 0.3f, -0.3f, -0.3f},
      {DIST_PM, {0, 0.5f, 1, 1, 0}, 0.3f, 0.3f, -0.3f, -0.3f},
      {DIST_RING, {selector(WAVE_SQUARE, 4), 0, 1}, 0.5f, -0.5f, 0.25f, -0.25f},
      {DIST_RING, {selector(WAVE_SQUARE, 4), 0, 0.5f}, 0.5f, 0.0f, 0.25f, 0.0f},
      {DIST_RING, {0, 0.7f, 0}, 0.3f, 0.3f, -0.3f, -0.3f},
      {DIST_SIDE_RING, {1}, 0.5f, 0.0f, -0.5f, 0.0f},  // silent side
      {DIST_DUAL_WAVESHAPER, {0, 1}, 1.0f, 1.0f, -1.0f, 0.0f},
      {DIST_DUAL_WAVESHAPER,
       {0, 1},
       5.0f,
       1.0f,
       0.0f,
       (127.0f * 127.0f + 128.0f * 128.0f) / (2 * 255.0f * 255.0f)},
      {DIST_DUAL_WAVESHAPER, {0.25f, 1}, 1.0f, 0.625f, -1.0f, -0.125f}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "type " << r.type << " x " << r.x0 << ", " << r.x1);
    auto d = makeStage(44100.0f, r.dcOn);
    Frame out{};
    for (int n = 0; n < r.calls; ++n) out = run(*d, r.type, shaping(r.k), {r.x0, r.x0, r.x1, r.x1});
    const float tol0 = r.tol * (1.0f + std::fabs(r.want0)), tol1 = r.tol * (1.0f + std::fabs(r.want1));
    EXPECT_VALUES({out[0], r.want0, tol0}, {out[1], r.want0, tol0}, {out[2], r.want1, tol1},
                  {out[3], r.want1, tol1});
  }
  // Side Ring: each channel times its side level; a missing curve reads as silence.
  auto d = makeStage();
  EXPECT_FLOAT_EQ(run(*d, DIST_SIDE_RING, shaping({1}), {0.5f, -0.5f, 0.5f, 0.5f}, 0.5f)[1], -0.25f);
  EXPECT_EQ(run(*d, DIST_DUAL_WAVESHAPER, shaping({0, 1}), {0.3f, 0, 0, 0}, 0.0f, false)[0], 0.0f);
}

// Drive through the table: silent below 0.001, 0 dB at the middle, +20 dB at the top. A type outside
// 0..51 passes the driven input. A type change takes the knobs unsmoothed; within a type they move
// by a tenth of the way per call.
TEST(Distort, DriveAndKnobSmoothing) {
  struct Row {
    int type;
    float drive, x, want;
  };
  const int big = std::numeric_limits<int>::max(), small = std::numeric_limits<int>::min();
  const Row rows[] = {{52, 0.001f, 0.5f, 0.0f},        {-1, 0.5f, 0.5f, 0.5f},
                      {big, 1.0f, 0.05f, 0.5f},        {DIST_NONE, 0.25f, 1.0f, 0.31622776f},
                      {small, kUnity, 0.123f, 0.123f}, {-1, kNaN, 0.5f, 0.0f}};
  auto d = makeStage();
  for (const Row& r : rows) {
    const Frame out = run(*d, r.type, {r.drive, 0, 0, 0, 0, 0, 0, 0}, {r.x, 0.0f, 0.0f, r.x});
    EXPECT_VALUES({out[0], r.want, 1e-4}, {out[3], r.want, 1e-4});
  }
  const Knobs a = {0.5f, 0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f},
              b = {0.6f, 0.1f, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f};
  run(*d, DIST_COS_1, b, {});
  EXPECT_EQ(d->getCurrentType(), DIST_COS_1);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(d->getSmoothedKnob(i), b[i]) << i;
  run(*d, DIST_COS_1, a, {});
  for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(d->getSmoothedKnob(i), 0.9f * b[i] + 0.1f * a[i]) << i;
}

// Norm 0 keeps the shaped level (+20 dB here); Norm 1 returns to the undriven input's level, and
// with a silent input both envelopes rest on their floor: gain 1.
TEST(Distort, NormFollowsTheUndrivenLevel) {
  for (float norm : {0.0f, 1.0f}) {
    auto d = makeStage();
    double in = 0, out = 0;
    for (int n = 0; n < 20000; ++n) {
      const float s0 = 0.3f * std::sin(0.02f * n), s1 = 0.3f * std::sin(0.02f * n + 0.01f);
      const Frame f = run(*d, DIST_NONE, {1.0f, norm, 0, 0, 0, 0, 0, 0}, {s0, s0, s1, s1});
      if (n < 10000) continue;
      in += std::fabs(s0) + std::fabs(s1);
      out += std::fabs(f[0]) + std::fabs(f[2]);
    }
    EXPECT_NEAR(out / in, norm == 0.0f ? 10.0 : 1.0, norm == 0.0f ? 1e-3 : 0.05) << norm;
  }
  auto d = makeStage();
  const Knobs k = {kUnity, 1.0f, 0, 0, 0, 0, 0, 0};
  for (int n = 0; n < 2000; ++n) run(*d, DIST_NONE, k, {});
  EXPECT_NEAR(run(*d, DIST_NONE, k, {1e-6f, 0, 0, 0})[0], 1e-6f, 1e-10f);
}

// A two-band type shapes the crossover's low band with Dist4/Dist5 and its high band with
// Dist6/Dist7 as the matching single-band type does, and weighs them by L/H Mix (Dist8).
TEST(Distort, TwoBandTypesShapeEachBandAsTheSingleBandType) {
  struct Pair {
    int twoBand, single;
    float lhMix;
  };
  const Pair pairs[] = {
      {DIST_2B_COS, DIST_COS_1, 0.5f},           {DIST_2B_FOLDOVER, DIST_FOLDOVER, 0.3f},
      {DIST_2B_FUZZ, DIST_FUZZ, 0.25f},          {DIST_2B_GAPPER, DIST_GAPPER, 0.8f},
      {DIST_2B_LIMITER, DIST_HARD_LIMITER, 0},   {DIST_2B_OCTAVE, DIST_OCTAVE_2, 1.0f},
      {DIST_2B_OVERDRIVE, DIST_OVERDRIVE, 0.6f}, {DIST_2B_POWER, DIST_POWER, 0.4f},
      {DIST_2B_RECTIFY, DIST_RECTIFY, 0.5f},     {DIST_2B_SATURATE, DIST_SATURATE, 0.7f},
      {DIST_2B_VALVE, DIST_VALVE, 0.2f},         {DIST_2B_WAVESHAPER, DIST_DUAL_WAVESHAPER, 0.45f},
      {DIST_2B_RING, DIST_RING, 0.35f}};
  const float p[4] = {0.8f, 0.9f, 0.2f, 0.6f};  // low parameter and amount, high parameter and amount
  for (const Pair& c : pairs) {
    auto d = makeStage(), low = makeStage(), high = makeStage();
    TFilter split;
    split.init(44100.0f);
    split.setType(TFilter::kSvfLow, false);
    const bool ring = c.single == DIST_RING;  // the ring's bands are sines: wave 0 in Dist3
    const Knobs kl = ring ? shaping({0, p[0], p[1]}) : shaping({p[0], p[1]});
    const Knobs kh = ring ? shaping({0, p[2], p[3]}) : shaping({p[2], p[3]});
    const float hg = std::clamp(2.0f * c.lhMix, 0.0f, 1.0f),
                lg = std::clamp(2.0f - 2.0f * c.lhMix, 0.0f, 1.0f);
    for (int n = 0; n < 100; ++n) {
      Frame x, lo, hi;
      for (int i = 0; i < 4; ++i) x[i] = 0.8f * std::sin(0.05f * (2 * n + (i >> 1)) + 0.3f * i);
      const Frame out = run(*d, c.twoBand, shaping({0.45f, p[0], p[1], p[2], p[3], c.lhMix}), x);
      split.processSplit(0.45f, 0.0f, x[0], x[1], x[2], x[3], lo[0], lo[1], lo[2], lo[3], hi[0], hi[1], hi[2],
                         hi[3], n == 0);
      const Frame yl = run(*low, c.single, kl, lo), yh = run(*high, c.single, kh, hi);
      for (int i = 0; i < 4; ++i) {
        const float want = yl[i] * lg + yh[i] * hg;
        ASSERT_NEAR(out[i], want, 1e-4f * (1.0f + std::fabs(want))) << c.twoBand << " call " << n << " " << i;
      }
    }
  }
}

// Low-Fi: quantised holds every period, each held value times a fresh draw of the instance's
// sequence (four per call); without a handed-in sequence the stage draws from its own.
TEST(Distort, LowFiHoldsQuantisedValuesAndDrawsItsNoise) {
  auto d = makeStage();
  RandSeed seed, check;
  d->setRandSeed(&seed);
  const Knobs noisy = shaping({0, 0, 1, 1});  // 2^17 levels, a hold every call, noise 1, full wet
  const auto quant = [](float v) { return static_cast<float>(static_cast<int>(v * 131072.0f)) / 131072.0f; };
  const Frame out = run(*d, DIST_LOW_FI, noisy, {0.5f, 0.25f, -0.5f, 0.125f});
  for (int i = 0; i < 4; ++i)
    EXPECT_FLOAT_EQ(out[i], quant(Frame{0.5f, 0.25f, -0.5f, 0.125f}[i]) * check.next());
  EXPECT_EQ(seed.seed, check.seed);
  d->setRandSeed(nullptr);
  run(*d, DIST_LOW_FI, noisy, {0.5f, 0.25f, -0.5f, 0.125f});
  EXPECT_EQ(seed.seed, check.seed);
  // S&H 0.0766: a period of 1.7 calls, so every second call holds; no noise.
  auto h = makeStage();
  float outs[4];
  for (int n = 0; n < 4; ++n)
    outs[n] = run(*h, DIST_LOW_FI, shaping({0, 0.0766f, 0, 1}), {0.1f * (n + 1), 0, 0, 0})[0];
  EXPECT_VALUES({outs[0], 0.0f}, {outs[1], 0.2f, 1e-4}, {outs[2], outs[1]}, {outs[3], 0.4f, 1e-4});
  // Two Band Low-FI (low band alone, a hold every call) follows one call after each hold.
  auto t = makeStage();
  EXPECT_EQ(run(*t, DIST_2B_LOW_FI, shaping({0.5f, 0, 0, 0, 0, 0}), {0.5f, 0, 0, 0})[0], 0.0f);
  EXPECT_NE(run(*t, DIST_2B_LOW_FI, shaping({0.5f, 0, 0, 0, 0, 0}), {0.5f, 0, 0, 0})[0], 0.0f);
}

// An impulse through each amp model comes out as the model's row of taps, newest first and then
// from tap 63 down (the ring's order), the same on both channels and sub-samples. Every cabinet
// model's response is heard and dies away; rows 4..7 serve rates above 80 kHz.
TEST(Distort, AmpAndCabinetResponses) {
  for (int model = 1; model <= 5; ++model) {
    auto d = makeStage();
    const float* row = &AMP_COEFFICIENT_TABLE[(model - 1) * 64];
    for (int n = 0; n < 64; ++n) {
      const Frame out =
          run(*d, DIST_AMP, shaping({selector(model, 6), 0}), n ? Frame{} : Frame{0.5f, 0.5f, 0.9f, 0.9f});
      const int tap = n == 0 ? 0 : 64 - n;
      ASSERT_NEAR(out[0], model == 5 && tap >= 16 ? 0.0f : 0.5f * row[tap], 1e-6f) << model << " " << n;
      ASSERT_TRUE(out[1] == out[0] && out[2] == out[0] && out[3] == out[0]);
    }
  }
  for (float rate : {44100.0f, 96000.0f}) {
    for (int model = 1; model <= 3; ++model) {
      auto d = makeStage(rate);
      double peak = 0, late = 0;
      for (int n = 0; n < 20000; ++n) {
        const float v =
            std::fabs(run(*d, DIST_CABINET, shaping({selector(model, 4), 0}), {n ? 0.0f : 0.5f})[0]);
        peak = std::max(peak, static_cast<double>(v));
        if (n >= 18000) late = std::max(late, static_cast<double>(v));
      }
      // What stays is the recursion's answer to its own 1e-15 denormal guard.
      EXPECT_VALUES({peak > 0.01, true}, {late < peak * 1e-6, true});
    }
  }
  auto at80 = makeStage(80000.0f), above = makeStage(88200.0f);
  EXPECT_VALUES(
      {run(*at80, DIST_CABINET, shaping({selector(1, 4), 0}), {0.5f})[0], CAB_AA[1][0] * 0.5f, 1e-6},
      {run(*above, DIST_CABINET, shaping({selector(1, 4), 0}), {0.5f})[0], CAB_AA[5][0] * 0.5f, 1e-6});
}

// Every type at the usual rates: drive below 0.001 silences it; samples that are not numbers,
// infinite or absurd, knobs outside 0..1 and FM at full depth (2^(15 m) overflows) leave its output
// finite; so do knobs swept across their range over tones, noise, steps and silence.
TEST(Distort, EveryTypeStaysSilentWithoutDriveAndFiniteUnderAnyInput) {
  const float inf = std::numeric_limits<float>::infinity();
  const Knobs quiet = {0.0009f, 0, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}, loud = {1, 1, 0, 1, 1, 1, 1, 0.5f};
  const Knobs badKnobs = {kNaN, 7.0f, -3.0f, kNaN, 2.0f, -1.0f, kNaN, 9.0f};
  const auto finite = [](const Frame& f) {
    return std::all_of(f.begin(), f.end(), [](float v) { return std::isfinite(v); });
  };
  Rand15 rnd(12345);
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type) {
    for (float rate : {44100.0f, 96000.0f, 192000.0f}) {
      SCOPED_TRACE(testing::Message() << "type " << type << " rate " << rate);
      auto d = makeStage(rate);
      const Frame silent = run(*d, type, quiet, {0.5f, 0.5f, -0.5f, -0.5f}, 1.0f, false);
      EXPECT_VALUES({silent[0], 0.0f, 1e-6}, {silent[3], 0.0f, 1e-6});
      for (float b : {kNaN, inf, -inf, 1e30f, -1e30f, 3e38f})
        ASSERT_TRUE(finite(run(*d, type, loud, {b, -b, b, b}, b)));
      for (int n = 0; n < 500; ++n) {
        const float s = std::sin(0.1f * n);
        ASSERT_TRUE(finite(run(*d, type, n < 250 ? loud : badKnobs, {s, s, -s, 1.0f}, s))) << n;
      }
      for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(d->getSmoothedKnob(i) >= 0.0f && d->getSmoothedKnob(i) <= 1.0f + 1e-6f);
      for (int sweep = 0; sweep < 4; ++sweep) {  // up, down and two scrambled sweeps
        d->setDC(sweep & 1);
        for (int n = 0; n < 2000; ++n) {
          Knobs k;
          for (int i = 0; i < 8; ++i) {
            const float f = n / 2000.0f;
            k[i] = sweep == 0 ? f : sweep == 1 ? 1 - f : std::fmod(f * (i + 1) * (sweep + 6.3f), 1.0f);
          }
          const float forms[4] = {std::sin(0.05f * n), rnd.next() * 2 - 1, (n & 64) ? 1.0f : -1.0f, 0.0f};
          const float x = forms[(n / 500) % 4];  // tones, noise, steps, silence
          ASSERT_TRUE(finite(run(*d, type, k, {x, -x, forms[1], x}, rnd.next() * 2 - 1)))
              << sweep << " " << n;
        }
      }
    }
  }
}
