// The distortion stage around the rules: smoothing, drive, split, level compensation,
// state of the stateful types, the amp and cabinet simulators, and bounded output of
// every type under swept knobs at the usual rates.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

#include "dsp/uDistort.h"
#include "dsp/uDistortTables.h"
#include "support/expectValues.h"

using testing_support::kUlps;

using namespace dsp;
using namespace dsp::distort;

namespace {

using Knobs = std::array<float, 8>;

struct Frame {
  float l0, r0, l1, r1;
};

// The stage is large (six filters and rings): keep it off the stack.
std::unique_ptr<TDistort> makeStage(float rate = 44100.0f) {
  auto d = std::make_unique<TDistort>();
  d->init(rate);
  return d;
}

Frame run(TDistort& d, int type, const Knobs& k, Frame f, const float* c1 = nullptr,
          const float* c2 = nullptr, float sideL = 0.0f, float sideR = 0.0f) {
  d.process(f.l0, f.r0, f.l1, f.r1, sideL, sideR, type, k[0], k[1], k[2], k[3], k[4], k[5], k[6], k[7], c1,
            c2);
  return f;
}

// Knobs with 0 dB drive and no level compensation.
Knobs plain(float k3 = 0, float k4 = 0, float k5 = 0, float k6 = 0, float k7 = 0, float k8 = 0) {
  return {0.5f, 0.0f, k3, k4, k5, k6, k7, k8};
}

// Raw Dist3 that selects model/wave n of `count` choices (the knob scales by count - 0.01).
float selector(int n, int count) {
  return (static_cast<float>(n) + 0.5f) / (static_cast<float>(count) - 0.01f);
}

}  // namespace

TEST(DistortStage, DriveAndTypeOutsideRange) {
  auto d = makeStage();
  const float g = driveGain(0.5f);
  // After init the knobs smooth up from 0 (type 0 is the current type): let them settle.
  for (int n = 0; n < 400; ++n) run(*d, 0, plain(), {});
  // Type 0 and types outside 0..51 pass the driven input.
  for (int type : {0, 52, -1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
    const Frame out = run(*d, type, plain(), {0.3f, -0.2f, 0.1f, 0.4f});
    EXPECT_FLOAT_EQ(out.l0, 0.3f * g) << type;
    EXPECT_FLOAT_EQ(out.r1, 0.4f * g) << type;
  }
  // Drive below 0.001 silences every type.
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type) {
    auto s = makeStage();
    Knobs k = plain(0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f);
    k[0] = 0.0005f;
    const Frame out = run(*s, type, k, {0.5f, 0.5f, -0.5f, -0.5f}, nullptr, nullptr, 1.0f, 1.0f);
    EXPECT_NEAR(out.l0, 0.0f, 1e-6f) << type;
    EXPECT_NEAR(out.r1, 0.0f, 1e-6f) << type;
  }
  // Full drive: +20 dB.
  auto top = makeStage();
  Knobs k = plain();
  k[0] = 1.0f;
  run(*top, DIST_AND, k, {});  // a type change takes the knobs unsmoothed
  EXPECT_NEAR(run(*top, 0, k, {0.05f, 0, 0, 0}).l0, 0.5f, 1e-4f);
}

TEST(DistortStage, SmoothingRestartsOnTypeChange) {
  auto d = makeStage();
  const Knobs a = {0.5f, 0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f};
  const Knobs b = {0.6f, 0.1f, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f};
  run(*d, 2, a, {});
  run(*d, 5, b, {});  // new type: no smoothing
  for (int i = 0; i < 8; ++i) EXPECT_EQ(d->getSmoothedKnob(i), b[i]) << i;
  EXPECT_EQ(d->getCurrentType(), 5);
  run(*d, 5, a, {});  // same type: one smoothing step towards a
  for (int i = 0; i < 8; ++i) {
    EXPECT_FLOAT_EQ(d->getSmoothedKnob(i), 0.9f * b[i] + (1.0f - 0.9f) * a[i] + 1e-15f) << i;
  }
  // Knob values outside 0..1 (or not numbers) are held to the range.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Knobs bad = {nan, 7.0f, -3.0f, nan, 2.0f, -1.0f, nan, 9.0f};
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type) {
    auto s = makeStage();
    for (int i = 0; i < 50; ++i) {
      const Frame out = run(*s, type, bad, {0.5f, -0.5f, 0.25f, -0.25f}, nullptr, nullptr, 0.5f, 0.5f);
      ASSERT_TRUE(std::isfinite(out.l0) && std::isfinite(out.r0) && std::isfinite(out.l1) &&
                  std::isfinite(out.r1))
          << type;
    }
    for (int i = 0; i < 8; ++i) {
      EXPECT_GE(s->getSmoothedKnob(i), 0.0f);
      EXPECT_LE(s->getSmoothedKnob(i), 1.0f + 1e-6f);
    }
  }
}

TEST(DistortStage, NormFollowsTheUndrivenLevel) {
  // Norm 0 keeps the shaped level; Norm 1 returns to the input's level.
  for (float norm : {0.0f, 1.0f}) {
    auto d = makeStage();
    Knobs k = plain();
    k[0] = 1.0f;  // +20 dB
    k[1] = norm;
    double inSum = 0, outSum = 0;
    for (int n = 0; n < 20000; ++n) {
      const float s0 = 0.3f * std::sin(0.01f * static_cast<float>(2 * n));
      const float s1 = 0.3f * std::sin(0.01f * static_cast<float>(2 * n + 1));
      const Frame out = run(*d, DIST_NONE, k, {s0, s0, s1, s1});
      if (n >= 10000) {
        inSum += std::fabs(s0) + std::fabs(s1);
        outSum += std::fabs(out.l0) + std::fabs(out.l1);
      }
    }
    EXPECT_NEAR(outSum / inSum, norm == 0.0f ? 10.0 : 1.0, norm == 0.0f ? 1e-3 : 0.05) << norm;
  }
  // Silent input with Norm 1: both envelopes at their floor, gain 1.
  auto d = makeStage();
  Knobs k = plain();
  k[1] = 1.0f;
  for (int n = 0; n < 2000; ++n) run(*d, DIST_NONE, k, {});
  EXPECT_FLOAT_EQ(run(*d, DIST_NONE, k, {1e-6f, 0, 0, 0}).l0, 1e-6f * driveGain(0.5f));
}

TEST(DistortStage, TwoBandSplitAndMix) {
  // Two Band Cos with both amounts 0 passes each band unshaped, so the output is the
  // crossover's bands weighted by the L/H Mix gains.
  struct Case {
    float mix, lowGain, highGain;
  };
  for (const Case c :
       {Case{0.5f, 1.0f, 1.0f}, Case{0.25f, 1.0f, 0.5f}, Case{0.0f, 1.0f, 0.0f}, Case{1.0f, 0.0f, 1.0f}}) {
    auto d = makeStage();
    TFilter ref;
    ref.init(44100.0f);
    ref.setType(TFilter::kSvfLow, false);
    const Knobs k = plain(0.4f, 0.5f, 0.0f, 0.5f, 0.0f, c.mix);
    const float g = driveGain(0.5f);
    for (int n = 0; n < 200; ++n) {
      const float s0 = std::sin(0.07f * static_cast<float>(n)) * 0.5f;
      const float s1 = std::cos(0.05f * static_cast<float>(n)) * 0.5f;
      const Frame out = run(*d, DIST_2B_COS, k, {s0, s1, -s0, s1 * 0.5f});
      float in[4] = {s0 * g, s1 * g, -s0 * g, s1 * 0.5f * g};
      float lo[4], hi[4];
      ref.processSplit(d->getSmoothedKnob(2), 0.0f, in[0], in[1], in[2], in[3], lo[0], lo[1], lo[2], lo[3],
                       hi[0], hi[1], hi[2], hi[3], n == 0);
      const float got[4] = {out.l0, out.r0, out.l1, out.r1};
      for (int i = 0; i < 4; ++i) {
        ASSERT_NEAR(got[i], lo[i] * c.lowGain + hi[i] * c.highGain, 1e-5f) << c.mix << " " << n << " " << i;
      }
    }
  }
}

TEST(DistortStage, DcBlockerSwitchAndHardDistort) {
  // A constant input: with the blocker on the DC-using types lose it, off they keep it;
  // Hard Distort removes it either way.
  auto settle = [](int type, bool dcOn, const Knobs& k) {
    auto d = makeStage();
    d->setDC(dcOn);
    Frame out{};
    for (int n = 0; n < 40000; ++n) out = run(*d, type, k, {0.25f, 0.25f, 0.25f, 0.25f});
    return out.l1;
  };
  const Knobs rectify = plain(0.0f, 1.0f);  // r = 1: identity before the blocker, full wet
  EXPECT_NEAR(settle(DIST_RECTIFY, false, rectify), 0.25f * driveGain(0.5f), 1e-5f);
  EXPECT_NEAR(settle(DIST_RECTIFY, true, rectify), 0.0f, 1e-3f);
  const Knobs hard = plain(0.5f, 0.5f, 0.5f);
  EXPECT_NEAR(settle(DIST_HARD_DISTORT, false, hard), 0.0f, 1e-3f);
  EXPECT_NEAR(settle(DIST_HARD_DISTORT, true, hard), 0.0f, 1e-3f);
}

TEST(DistortStage, LowFiUsesTheHandedInSequence) {
  auto d = makeStage();
  RandSeed seed;  // 1, as at start
  d->setRandSeed(&seed);
  // Bits 0 (2^17 levels), hold every call, noise 1 (each held value times a fresh draw), full wet.
  const Knobs k = {0.5f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f};
  const float g = driveGain(0.5f);
  const float q = 131072.0f;
  auto quant = [&](float v) { return static_cast<float>(static_cast<int>(v * g * q)) / q; };
  const Frame out = run(*d, DIST_LOW_FI, k, {0.5f, 0.25f, -0.5f, 0.125f});
  const float r1 = static_cast<float>(16807 * 4.656612873077393e-10);
  const float r2 = static_cast<float>(static_cast<int32_t>(16808u * 16807u) * 4.656612873077393e-10);
  EXPECT_FLOAT_EQ(out.l0, quant(0.5f) * r1);
  EXPECT_FLOAT_EQ(out.r0, quant(0.25f) * r2);
  RandSeed check;
  for (int i = 0; i < 4; ++i) check.next();
  EXPECT_EQ(seed.seed, check.seed);  // four draws per call, from the instance's sequence
  // Without a handed-in sequence the stage draws from its own, leaving the other alone.
  d->setRandSeed(nullptr);
  run(*d, DIST_LOW_FI, k, {0.5f, 0.25f, -0.5f, 0.125f});
  EXPECT_EQ(seed.seed, check.seed);
}

TEST(DistortStage, LowFiHoldsForItsPeriod) {
  auto d = makeStage();
  // S&H 0.0766: a period of 1.7 calls at 44.1 kHz, so every second call holds; no noise; full wet.
  const Knobs k = {0.5f, 0.0f, 0.0f, 0.0766f, 0.0f, 1.0f, 0.0f, 0.0f};
  const float outs[] = {
      run(*d, DIST_LOW_FI, k, {0.1f, 0, 0, 0}).l0, run(*d, DIST_LOW_FI, k, {0.2f, 0, 0, 0}).l0,
      run(*d, DIST_LOW_FI, k, {0.3f, 0, 0, 0}).l0, run(*d, DIST_LOW_FI, k, {0.4f, 0, 0, 0}).l0};
  EXPECT_EQ(outs[0], 0.0f);  // counter 1 < 2: nothing held yet
  EXPECT_VALUES({outs[1], 0.2f, 1e-4f}, {outs[2], outs[1]}, {outs[3], 0.4f, 1e-4f});
  // Two Band Low-FI: the output follows one call after each hold.
  auto t = makeStage();
  const Knobs kb = {0.5f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};  // low band only, hold every call
  EXPECT_EQ(run(*t, DIST_2B_LOW_FI, kb, {0.5f, 0, 0, 0}).l0, 0.0f);
  EXPECT_NE(run(*t, DIST_2B_LOW_FI, kb, {0.5f, 0, 0, 0}).l0, 0.0f);
}

TEST(DistortStage, RingAndSideRing) {
  auto d = makeStage();
  // Square wave, lowest frequency, Amount 1: phase 0 gives -1 on both sub-samples at first.
  const Knobs square = plain(selector(WAVE_SQUARE, 4), 0.0f, 1.0f);
  const Frame out = run(*d, DIST_RING, square, {0.5f, -0.25f, 0.5f, 0.125f});
  const float g = driveGain(0.5f);
  EXPECT_VALUES({out.l0, -0.5f * g, kUlps}, {out.r0, 0.25f * g, kUlps}, {out.r1, -0.125f * g, kUlps});
  // Amount 0 passes the input.
  auto e = makeStage();
  EXPECT_FLOAT_EQ(run(*e, DIST_RING, plain(0.0f, 0.7f, 0.0f), {0.3f, 0, 0, 0}).l0, 0.3f * g);
  // Side Ring: a silent side with Amount 1 silences; half side gives half level.
  auto s = makeStage();
  EXPECT_EQ(run(*s, DIST_SIDE_RING, plain(1.0f), {0.5f, 0.5f, 0.5f, 0.5f}, nullptr, nullptr, 0.0f, 0.0f).l0,
            0.0f);
  const Frame half =
      run(*s, DIST_SIDE_RING, plain(1.0f), {0.5f, 0.5f, 0.5f, 0.5f}, nullptr, nullptr, 0.5f, -1.0f);
  EXPECT_FLOAT_EQ(half.l1, 0.25f * g);
  EXPECT_FLOAT_EQ(half.r0, -0.5f * g);
}

TEST(DistortStage, FmPmAmountZeroPassesAndHugeModulationStaysFinite) {
  for (int type : {DIST_FM, DIST_PM}) {
    auto d = makeStage();
    const float g = driveGain(0.5f);
    EXPECT_FLOAT_EQ(run(*d, type, plain(0.0f, 0.5f, 1.0f, 1.0f, 0.0f), {0.3f, 0, 0, 0}).l0, 0.3f * g);
    // Full drive and full depth: 2^(15 m) overflows; the phase restarts instead of sticking on NaN.
    Knobs k = {1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f};
    bool finite = true;
    for (int n = 0; n < 2000; ++n) {
      const Frame out = run(*d, type, k, {1.0f, -1.0f, 1.0f, -1.0f});
      finite = finite && std::isfinite(out.l0) && std::isfinite(out.r1);
    }
    EXPECT_TRUE(finite) << type;
  }
}

TEST(DistortStage, WaveShaperTypesReadTheCurves) {
  float c1[256], c2[256];
  for (int i = 0; i < 256; ++i) {
    c1[i] = 0.5f;
    c2[i] = -0.5f;
  }
  auto d = makeStage();
  d->setDC(false);
  // 1/2 Mix 0: curve 1 alone; Amount 1.
  EXPECT_FLOAT_EQ(run(*d, DIST_DUAL_WAVESHAPER, plain(0.0f, 1.0f), {0.3f, 0, 0, 0}, c1, c2).l0, 0.5f);
  auto e = makeStage();
  e->setDC(false);
  EXPECT_FLOAT_EQ(run(*e, DIST_DUAL_WAVESHAPER, plain(1.0f, 1.0f), {0.3f, 0, 0, 0}, c1, c2).l0, -0.5f);
  // Missing curves read as silence rather than crashing.
  auto f = makeStage();
  f->setDC(false);
  EXPECT_EQ(run(*f, DIST_2B_WAVESHAPER, plain(0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 0.5f), {0.3f, 0, 0, 0}).l0, 0.0f);
}

TEST(DistortStage, AmpTapsRunInRingOrderOncePerCall) {
  for (int model = 1; model <= 5; ++model) {
    auto d = makeStage();
    const Knobs k = plain(selector(model, 6), 0.0f);  // Distort 0: v = x inside +-1
    const float v = 0.5f * driveGain(0.5f);
    const float* c = &AMP_COEFFICIENT_TABLE[(model - 1) * 64];
    float row[64] = {};
    for (int t = 0; t < (model == 5 ? 16 : 64); ++t) row[t] = c[t];
    for (int n = 0; n < 64; ++n) {
      const Frame out = n == 0 ? run(*d, DIST_AMP, k, {0.5f, 0.5f, 0.9f, 0.9f}) : run(*d, DIST_AMP, k, {});
      // call 0 weighs tap 0, call n tap 64 - n; both channels and both sub-samples alike
      const float expect = (n == 0 ? row[0] : row[64 - n]) * v;
      ASSERT_NEAR(out.l0, expect, 1e-6f) << model << " " << n;
      ASSERT_EQ(out.r0, out.l0);
      ASSERT_EQ(out.l1, out.l0);
    }
  }
  // Model 0 ("None") still saturates: both sub-samples take sub-sample 0's value.
  auto d = makeStage();
  const Frame out = run(*d, DIST_AMP, plain(0.0f, 0.0f), {0.3f, 0.2f, 0.7f, 0.6f});
  EXPECT_NEAR(out.l0, 0.3f * driveGain(0.5f), 1e-6f);
  EXPECT_EQ(out.l1, out.l0);
}

TEST(DistortTables, Layout) {
  // The last amp block pairs its taps; the rows without a cabinet pass the signal unchanged.
  for (int j = 0; j < 32; ++j) EXPECT_EQ(AMP_COEFFICIENT_TABLE[192 + 2 * j], AMP_COEFFICIENT_TABLE[193 + 2 * j]);
  for (int r : {0, 4}) {
    for (int t = 0; t < CAB_TAPS; ++t) {
      EXPECT_EQ(CAB_AA[r][t], t == 0 ? 1.0f : 0.0f);
      EXPECT_EQ(CAB_BB[r][t], t == 0 ? 1.0f : 0.0f);
    }
  }
  for (int r : {1, 2, 3, 5, 6, 7}) EXPECT_EQ(CAB_BB[r][0], 0.0f) << r;
}

TEST(DistortStage, CabinetImpulseResponsesDecay) {
  // Every cabinet model at a rate using each row set; an impulse, then silence. The tail
  // must die away (a stable feedback part) and the response must not be silent.
  for (float rate : {44100.0f, 96000.0f}) {
    for (int model = 1; model <= 3; ++model) {
      auto d = makeStage(rate);
      const Knobs k = plain(selector(model, 4), 0.0f);
      double peak = 0, late = 0;
      const int calls = 20000;
      for (int n = 0; n < calls; ++n) {
        const Frame out =
            n == 0 ? run(*d, DIST_CABINET, k, {0.5f, 0.5f, 0, 0}) : run(*d, DIST_CABINET, k, {});
        ASSERT_TRUE(std::isfinite(out.l0));
        peak = std::max(peak, static_cast<double>(std::fabs(out.l0)));
        if (n >= calls - 2000) late = std::max(late, static_cast<double>(std::fabs(out.l0)));
      }
      EXPECT_GT(peak, 0.01) << rate << " " << model;
      // What stays is the recursion's answer to its own 1e-15 denormal guard, far below audibility.
      EXPECT_LT(late, peak * 1e-6) << rate << " " << model;
    }
  }
  // Model 0 saturates only; rows 4..7 take over above 80 kHz.
  auto lo = makeStage(80000.0f), hi = makeStage(88200.0f);
  const Knobs k = plain(selector(1, 4), 0.0f);
  const Frame a = run(*lo, DIST_CABINET, k, {0.5f, 0.5f, 0, 0});
  const Frame b = run(*hi, DIST_CABINET, k, {0.5f, 0.5f, 0, 0});
  const float v = 0.5f * driveGain(0.5f);
  EXPECT_NEAR(a.l0, CAB_AA[1][0] * v, 1e-6f);
  EXPECT_NEAR(b.l0, CAB_AA[5][0] * v, 1e-6f);
}

TEST(DistortStage, EveryTypeStaysFiniteUnderSweptKnobs) {
  // For each type and rate: knobs swept between random settings (and the extremes), drive
  // up to +20 dB, inputs within +-1 (tones, noise, steps, silence). Prints the largest
  // output magnitude per type.
  float c1[256], c2[256];
  Rand15 rnd(12345);
  for (int i = 0; i < 256; ++i) {
    c1[i] = rnd.next() * 2.0f - 1.0f;
    c2[i] = static_cast<float>(i) / 127.5f - 1.0f;
  }
  double largest[NUM_DISTORT_TYPES] = {};
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type) {
    for (float rate : {44100.0f, 48000.0f, 96000.0f, 192000.0f}) {
      auto d = makeStage(rate);
      RandSeed seed;
      d->setRandSeed(&seed);
      for (int sweep = 0; sweep < 6; ++sweep) {
        Knobs from, to;
        for (int i = 0; i < 8; ++i) {
          from[i] = sweep == 0 ? 0.0f : (sweep == 1 ? 1.0f : rnd.next());
          to[i] = sweep == 0 ? 1.0f : (sweep == 1 ? 0.0f : rnd.next());
        }
        from[0] = to[0] = sweep < 3 ? 1.0f : from[0];  // extreme drive in half of the sweeps
        d->setDC(sweep & 1);
        const int calls = 3000;
        for (int n = 0; n < calls; ++n) {
          const float t = static_cast<float>(n) / calls;
          Knobs k;
          for (int i = 0; i < 8; ++i) k[i] = from[i] + (to[i] - from[i]) * t;
          float x0, x1;
          switch ((n / 500) % 4) {
            case 0:
              x0 = std::sin(0.05f * n);
              x1 = std::sin(0.05f * n + 0.025f);
              break;
            case 1:
              x0 = rnd.next() * 2.0f - 1.0f;
              x1 = rnd.next() * 2.0f - 1.0f;
              break;
            case 2:
              x0 = x1 = (n & 64) ? 1.0f : -1.0f;
              break;
            default:
              x0 = x1 = 0.0f;
              break;
          }
          const Frame out = run(*d, type, k, {x0, -x1, x1, x0}, c1, c2, rnd.next() * 2.0f - 1.0f, x0);
          const float o[4] = {out.l0, out.r0, out.l1, out.r1};
          for (float v : o) {
            ASSERT_TRUE(std::isfinite(v))
                << "type " << type << " rate " << rate << " sweep " << sweep << " call " << n;
            largest[type] = std::max(largest[type], static_cast<double>(std::fabs(v)));
          }
        }
      }
    }
  }
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type) {
    std::printf("[ largest ] type %2d: %.4g\n", type, largest[type]);
  }
}

TEST(DistortStage, FilteredTypesFollowTheirChains) {
  // Clipper 2, Squarify, Tube Simulator and FM rebuilt from separate filters and the rules:
  // catches a knob or a filter wired to the wrong place.
  const float rate = 48000.0f;
  const float g = driveGain(0.6f);
  auto filter = [&](int type) {
    TFilter f;
    f.init(rate);
    f.setType(type, false);
    return f;
  };
  auto input = [](int n, int i) {
    return 0.7f * std::sin(0.031f * static_cast<float>(2 * n + (i >> 1)) + static_cast<float>(i & 1));
  };
  struct Case {
    int type;
    Knobs k;
  };
  const Case cases[] = {
      {DIST_CLIPPER_2, {0.6f, 0.0f, 0.3f, 0.05f, 0.35f, 0.8f, 0.1f, 0.6f}},
      {DIST_SQUARIFY, {0.6f, 0.0f, 0.4f, 0.7f, 0.5f, 0.0f, 0.0f, 0.0f}},
      {DIST_TUBE, {0.6f, 0.0f, 0.7f, 0.3f, 0.6f, 0.5f, 0.4f, 0.0f}},
      {DIST_FM, {0.6f, 0.0f, 0.0f, 0.5f, 0.6f, 0.0f, 0.8f, 0.0f}},
  };
  for (const Case& c : cases) {
    auto d = makeStage(rate);
    TFilter f1 = filter(c.type == DIST_CLIPPER_2  ? TFilter::kSvfHigh
                        : c.type == DIST_SQUARIFY ? TFilter::kSvfLow
                        : c.type == DIST_TUBE     ? TFilter::kSvfBand
                                                  : TFilter::kOnePoleLow);
    TFilter lp = filter(TFilter::kOnePoleLow), hp = filter(TFilter::kOnePoleHigh);
    float dc[2] = {}, env[4] = {}, phase[2] = {};
    const float dcC = 30.0f / (2.0f * rate);
    for (int n = 0; n < 300; ++n) {
      float x[4];
      for (int i = 0; i < 4; ++i) x[i] = input(n, i);
      const Frame out = run(*d, c.type, c.k, {x[0], x[1], x[2], x[3]});
      float k[8];
      for (int i = 0; i < 8; ++i) k[i] = d->getSmoothedKnob(i);
      for (float& v : x) v *= g;
      float e[4];
      const bool force = n == 0;
      switch (c.type) {
        case DIST_CLIPPER_2: {
          float v[4] = {x[0], x[1], x[2], x[3]};
          f1.process(k[2], 0.0f, v[0], v[1], v[2], v[3], force);
          const Clipper2Clip clip(k[3], k[4]);
          for (float& s : v) s = clip(s);
          lp.process(k[5], 0.0f, v[0], v[1], v[2], v[3], force);
          hp.process(k[6], 0.0f, v[0], v[1], v[2], v[3], force);
          for (int i = 0; i < 4; ++i) e[i] = v[i] * boost(k[7]);
          break;
        }
        case DIST_SQUARIFY: {
          float q[4] = {sign(x[0]), sign(x[1]), sign(x[2]), sign(x[3])};
          f1.process(k[4], 0.0f, q[0], q[1], q[2], q[3], force);
          for (int i = 0; i < 4; ++i) e[i] = SquarifyRule(k[2], k[3])(x[i], q[i]);
          break;
        }
        case DIST_TUBE: {
          float v[4];
          for (int i = 0; i < 4; ++i) v[i] = TubeRule(k[2], k[3], k[4])(x[i]);
          f1.process(k[5], k[6], v[0], v[1], v[2], v[3], force);
          for (int i = 0; i < 4; ++i) e[i] = dcBlock(v[i], dc[i & 1], dcC, 1.0f - dcC, true);
          break;
        }
        default: {  // FM with depth 0: the carrier runs at its plain frequency
          float m[4] = {x[0], x[1], x[2], x[3]};
          f1.process(k[4], 0.0f, m[0], m[1], m[2], m[3], force);
          const float inc = oscillatorIncrement(k[3], rate);
          for (int ch = 0; ch < 2; ++ch) {
            const float p[2] = {phase[ch], wrapPhase(phase[ch] + inc)};
            phase[ch] = wrapPhase(p[1] + inc);
            for (int s = 0; s < 2; ++s) {
              const int i = ch + 2 * s;
              const float a = std::fabs(m[i]);
              env[i] = a > env[i] ? a : 0.98f * env[i] + 0.02f * a;
              e[i] = mix(x[i], env[i] * oscillator(WAVE_SINE, p[s]), k[6]);
            }
          }
          break;
        }
      }
      const float got[4] = {out.l0, out.r0, out.l1, out.r1};
      for (int i = 0; i < 4; ++i)
        ASSERT_NEAR(got[i], e[i], 2e-5f) << c.type << " call " << n << " sample " << i;
    }
  }
}

TEST(DistortStage, HostileInputNeverPoisonsTheState) {
  // Not-a-number, infinite and absurd samples, then ordinary audio: every type keeps
  // producing finite output.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float bad[] = {nan, inf, -inf, 1e30f, -1e30f, 3e38f};
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type) {
    auto d = makeStage();
    const Knobs k = {1.0f, 1.0f, 0.9f, 0.9f, 0.9f, 0.9f, 0.9f, 0.5f};
    for (float b : bad) {
      const Frame out = run(*d, type, k, {b, -b, b, b}, nullptr, nullptr, b, b);
      ASSERT_TRUE(std::isfinite(out.l0) && std::isfinite(out.r0) && std::isfinite(out.l1) &&
                  std::isfinite(out.r1))
          << type << " input " << b;
    }
    for (int n = 0; n < 500; ++n) {
      const float s = std::sin(0.1f * static_cast<float>(n));
      const Frame out = run(*d, type, k, {s, s, -s, s});
      ASSERT_TRUE(std::isfinite(out.l0) && std::isfinite(out.r0) && std::isfinite(out.l1) &&
                  std::isfinite(out.r1))
          << type << " call " << n;
    }
  }
}

TEST(DistortStage, TwoBandTypesShapeEachBandWithItsOwnKnobs) {
  // Each two-band type against the crossover's bands shaped by the single-band rule with
  // the band's parameter and amount knobs (low: Dist4/Dist5, high: Dist6/Dist7), DC off.
  auto bandValue = [](int type, float x, float p, float m) -> float {
    switch (type) {
      case DIST_2B_COS:
        return mix(x, Cos1Rule(p)(x), m);
      case DIST_2B_FOLDOVER:
        return mix(x, FoldoverRule(p)(x), m);
      case DIST_2B_FUZZ:
        return FuzzRule(p, m)(x);
      case DIST_2B_GAPPER:
        return GapperRule(p, m)(x);
      case DIST_2B_LIMITER:
        return HardLimiterRule(p, m)(x);
      case DIST_2B_OCTAVE:
        return mix(x, Octave2Rule(p)(x), m);
      case DIST_2B_OVERDRIVE:
        return mix(x, OverdriveRule(p)(x), m);
      case DIST_2B_POWER:
        return mix(x, PowerRule(p)(x), m);
      case DIST_2B_RECTIFY:
        return mix(x, RectifyRule(p)(x), m);
      case DIST_2B_SATURATE:
        return mix(x, SaturateRule(p)(x), m);
      default:
        return mix(x, ValveRule(p)(x), m);
    }
  };
  const float g = driveGain(0.7f);
  for (int type = DIST_2B_COS; type <= DIST_2B_VALVE; ++type) {
    if (type == DIST_2B_LOW_FI) continue;
    auto d = makeStage();
    d->setDC(false);
    TFilter ref;
    ref.init(44100.0f);
    ref.setType(TFilter::kSvfLow, false);
    const Knobs k = {0.7f, 0.0f, 0.45f, 0.8f, 0.9f, 0.2f, 0.6f, 0.3f};
    for (int n = 0; n < 100; ++n) {
      float x[4];
      for (int i = 0; i < 4; ++i)
        x[i] = 0.8f * std::sin(0.05f * static_cast<float>(2 * n + (i >> 1)) + 0.3f * i);
      const Frame out = run(*d, type, k, {x[0], x[1], x[2], x[3]});
      float s[8];
      for (int i = 0; i < 8; ++i) s[i] = d->getSmoothedKnob(i);
      for (float& v : x) v *= g;
      float lo[4], hi[4];
      ref.processSplit(s[2], 0.0f, x[0], x[1], x[2], x[3], lo[0], lo[1], lo[2], lo[3], hi[0], hi[1], hi[2],
                       hi[3], n == 0);
      const float hg = std::clamp(2.0f * s[7], 0.0f, 1.0f), lg = std::clamp(2.0f - 2.0f * s[7], 0.0f, 1.0f);
      const float got[4] = {out.l0, out.r0, out.l1, out.r1};
      for (int i = 0; i < 4; ++i) {
        const float expect =
            bandValue(type, lo[i], s[3], s[4]) * lg + bandValue(type, hi[i], s[5], s[6]) * hg;
        ASSERT_NEAR(got[i], expect, 1e-4f * (1.0f + std::fabs(expect)))
            << type << " call " << n << " sample " << i;
      }
    }
  }
}
