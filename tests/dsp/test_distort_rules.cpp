// The shaping rules of the distortion types, one value at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dsp/uDistortShapers.h"
#include "support/expectValues.h"

using testing_support::kUlps;

using namespace dsp;
using namespace dsp::distort;

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
}

TEST(DistortRules, SharedOperations) {
  EXPECT_VALUES(
      {boost(0.0f), 0.0f}, {boost(0.0009f), 0.0f}, {boost(0.5f), 1.0f, 1e-6f}, {boost(1.0f), 31.622776f, 1e-4f},
      {softSat(1.0f, 1.0f), 1.0f, kUlps}, {softSat(0.5f, 1.0f), 1.0f / 1.5f, kUlps}, {sign(0.0f), 0.0f},
      {sign(-3.0f), -1.0f}, {mix(1.0f, 3.0f, 0.25f), 1.5f, kUlps});
  // DC blocker: the state absorbs a constant; off, it still tracks but passes the value.
  float s = 0.0f;
  const float c = 30.0f / 88200.0f;
  EXPECT_NEAR(dcBlock(1.0f, s, c, 1.0f - c, true), 1.0f - c, 1e-9f);
  float s2 = 0.0f;
  EXPECT_EQ(dcBlock(1.0f, s2, c, 1.0f - c, false), 1.0f);
  EXPECT_EQ(s, s2);
}

TEST(DistortRules, TablesAndIndices) {
  const Tables& t = tables();
  EXPECT_EQ(&t, &tables());  // one copy per process
  EXPECT_VALUES(
      {t.sine[0], 0.0f}, {t.cosine[0], 1.0f}, {t.sine[65536], 1.0f, 1e-6f}, {t.cosine[131072], -1.0f, 1e-6f});
  // Half-cycle index reads at pi*p, full-cycle at 2*pi*p, any phase stays inside the table.
  EXPECT_VALUES(
      {t.sine[halfCycleIndex(0.5f)], 1.0f, 1e-5f}, {t.sine[fullCycleIndex(0.25f)], 1.0f, 1e-5f},
      {t.cosine[halfCycleIndex(-1.0f)], -1.0f, 1e-5f});
  for (float p : {1e30f, -1e30f, kNaN, std::numeric_limits<float>::infinity(), -7.3f}) {
    EXPECT_GE(halfCycleIndex(p), 0);
    EXPECT_LT(halfCycleIndex(p), TABLE_SIZE);
    EXPECT_GE(fullCycleIndex(p), 0);
    EXPECT_LT(fullCycleIndex(p), TABLE_SIZE);
  }
  // Drive: silent below 0.001, 0 dB in the middle, +20 dB at the top.
  EXPECT_EQ(driveGain(0.0f), 0.0f);
  EXPECT_EQ(driveGain(0.001f), 0.0f);  // index 262
  EXPECT_GT(driveGain(0.00101f), 0.0f);
  EXPECT_VALUES(
      {driveGain(0.5f), 1.0f, 1e-4f}, {driveGain(1.0f), 10.0f, 1e-3f}, {driveGain(0.25f), 0.31622776f, 1e-4f},
      {driveGain(kNaN), 0.0f});
}

TEST(DistortRules, AndKeepsSelectedBits) {
  // Mult 0: scale 64. And 1 keeps bit 64 only; And 0.5 keeps bit 32.
  const AndRule top(0.0f, 1.0f);
  EXPECT_VALUES(
      {top.s, 64.0f}, {top.m, 64}, {top(1.0f), 64.0f / 64.00001f, kUlps}, {top(-1.0f), -64.0f / 64.00001f, kUlps},
      {top(0.5f), 0.0f});
  const AndRule half(0.0f, 0.5f);
  EXPECT_FLOAT_EQ(half(0.5f), 32.0f / 64.00001f);
  EXPECT_FLOAT_EQ(half(0.75f), 32.0f / 64.00001f);  // 48 & 32
  EXPECT_EQ(half(0.25f), 0.0f);                     // 16 & 32
  EXPECT_EQ(AndRule(1.0f, 0.3f).s, 65536.0f);
  // And 0 removes everything; huge inputs saturate instead of overflowing.
  EXPECT_EQ(AndRule(0.7f, 0.0f)(0.9f), 0.0f);
  EXPECT_LE(std::fabs(AndRule(1.0f, 1.0f)(1e30f)), 1.0f);
}

TEST(DistortRules, SoftLimiterAndValve) {
  EXPECT_VALUES(
      {softLimiter(0.5f), 0.625f, kUlps}, {softLimiter(1.0f), 1.0f, kUlps}, {softLimiter(2.0f), 1.0f, kUlps},
      {softLimiter(3.0f), 0.0f}, {softLimiter(-0.5f), -0.625f, kUlps}, {softLimiter(-3.0f), 0.0f});
  // Valve at the bottom of its knob: g = 0.01, v = 1.01 at |x| = 1.
  EXPECT_VALUES(
      {ValveRule(0.0f)(1.0f), 1.01f / 2.01f, kUlps}, {ValveRule(0.0f)(-1.0f), -1.01f / 2.01f, kUlps},
      {ValveRule(1.0f)(0.5f), (31.51f * 0.5f) / (31.51f * 0.5f + 1.0f), kUlps});
}

TEST(DistortRules, PowerAndHardLimiter) {
  EXPECT_FLOAT_EQ(PowerRule(1.0f)(0.5f), 39.0f * 0.5f / 20.0f);  // c = 38
  EXPECT_EQ(PowerRule(0.0f)(0.37f), 0.37f);
  EXPECT_EQ(PowerRule(0.0001f)(0.37f), 0.37f);  // p below 0.0001
  // Limit 0: threshold 1; Amount 1: the make-up gain is (1 - 0.99) + 0.99 = 1.
  EXPECT_FLOAT_EQ(HardLimiterRule(0.0f, 1.0f)(2.0f), 1.0f);
  EXPECT_FLOAT_EQ(HardLimiterRule(0.0f, 1.0f)(-0.25f), -0.25f);
  // Limit 1: threshold 1/256, make-up 0.01 + 0.99 * 256.
  const HardLimiterRule deep(1.0f, 1.0f);
  EXPECT_VALUES(
      {deep.t, 1.0f / 256.0f, kUlps}, {deep(0.5f), 0.99f + 0.01f / 256.0f, 1e-6f},
      {deep(0.001f), 0.001f * 253.45f, 1e-6f}, {HardLimiterRule(1.0f, 0.0f)(0.5f), 1.0f / 256.0f, kUlps});
}

TEST(DistortRules, FoldoverCrossAndGapper) {
  const FoldoverRule wide(0.0f);  // f = 1: identity inside +-1, folded outside
  EXPECT_VALUES(
      {wide(0.3f), 0.3f, kUlps}, {wide(1.0f), 1.0f, kUlps}, {wide(1.5f), 0.5f, kUlps}, {wide(2.0f), 0.0f, kUlps},
      {wide(-3.0f), 1.0f, kUlps}, {wide(-5.0f), -1.0f, kUlps});
  const FoldoverRule tight(1.0f);  // f = 0.01
  EXPECT_VALUES({tight(0.01f), 1.0f, 1e-4f}, {tight(0.0f), 0.0f, 1e-4f}, {tight(0.03f), -1.0f, 1e-3f});

  EXPECT_VALUES(
      {Cross1Rule(1.0f)(0.5f), 0.3f, kUlps}, {Cross1Rule(1.0f)(-0.5f), -0.3f, kUlps}, {Cross1Rule(1.0f)(0.1f), 0.0f},
      {Cross1Rule(0.0f)(-0.42f), -0.42f});

  const Cross2Rule cross2(0.0f, 0.0f);  // dead zone +-0.95
  EXPECT_VALUES({cross2(0.5f), 0.0f}, {cross2(0.975f), 0.5f, 1e-5f}, {cross2(-1.0f), -1.0f, 1e-5f});

  const GapperRule gap(0.25f, 1.0f);  // g = 1
  EXPECT_VALUES(
      {gap(0.25f), 0.25f}, {gap(0.75f), 0.0f}, {gap(-0.5f), 0.0f}, {GapperRule(0.25f, 0.25f)(0.75f), 0.5625f, kUlps});
}

TEST(DistortRules, RezGuardAndOctaves) {
  // At |x| = 2 the divisor vanishes: the result is the clamp's top, with the sign.
  for (float d : {0.0f, 0.5f, 1.0f}) {
    EXPECT_VALUES({RezRule(0.3f, d)(2.0f), 1.0f}, {RezRule(0.3f, d)(-2.0f), -1.0f}, {RezRule(0.3f, d)(2.5f), 0.0f});
  }
  EXPECT_FLOAT_EQ(RezRule(0.5f, 0.0f)(0.25f), 0.25f / 1.25f);

  EXPECT_FLOAT_EQ(Octave1Rule(0.0f, 0.0f)(0.3f), 0.3f);  // both amounts 0: identity
  EXPECT_FLOAT_EQ(Octave1Rule(1.0f, 1.0f)(0.3f), 0.6f);
  EXPECT_FLOAT_EQ(Octave1Rule(1.0f, 1.0f)(-0.8f), -0.4f);
  EXPECT_FLOAT_EQ(Octave2Rule(0.25f)(0.75f), 0.5f);  // g = 2: v = 1.5, folded to 0.5
  EXPECT_FLOAT_EQ(Octave2Rule(0.0f)(-0.5f), -0.5f);
  EXPECT_FLOAT_EQ(Octave3Rule(0.0f, 0.0f)(0.5f), 0.5f);
}

TEST(DistortRules, AtanSaturateOverdrive) {
  EXPECT_VALUES(
      {AtanRule(0.7f)(0.001f), 0.0f}, {AtanRule(0.7f)(-0.0005f), 0.0f}, {AtanRule(0.0f)(1.0f), 1.0f, 1e-6f},
      {AtanRule(1.0f)(-1.0f), -1.0f, 1e-6f}, {SaturateRule(0.0f)(0.5f), 1.0f / 1.5f, 1e-7f});
  // Overdrive at its bottom: g = 0, d = x^2 - a + 1.
  EXPECT_FLOAT_EQ(OverdriveRule(0.0f)(0.5f), 0.25f / 0.75f);
}

TEST(DistortRules, ThresholdTypes) {
  // Clipper 1 with its boost at the bottom: the wet part is silent.
  EXPECT_VALUES(
      {Clipper1Rule(0.2f, 0.4f, 0.0f)(0.8f), 0.0f}, {Clipper1Rule(0.125f, 0.25f, 0.5f)(0.8f), 0.25f, kUlps},
      {Clipper1Rule(0.125f, 0.25f, 0.5f)(-0.8f), -0.5f, kUlps});
  // Clipper 2: Sym 0.5 clips symmetrically at +-t, 0 removes the positive half.
  EXPECT_VALUES(
      {Clipper2Clip(0.1f, 0.5f)(1.0f), std::exp2(-1.0f), kUlps},
      {Clipper2Clip(0.1f, 0.5f)(-1.0f), -std::exp2(-1.0f), kUlps}, {Clipper2Clip(0.1f, 0.0f)(0.3f), 0.0f},
      {Clipper2Clip(0.1f, 1.0f)(-0.3f), 0.0f});
  // Peak Remove with End 0: everything at or above the start is removed.
  const PeakRemoveRule pr(0.0f, 0.0f, 1.0f, 1.0f, 0.5f);  // s = 0.05
  EXPECT_VALUES({pr(0.025f), 0.5f, 1e-5f}, {pr(0.05f), 0.0f}, {pr(0.9f), 0.0f});
  // Squarify: exact zeros near silence; full mix keeps the input.
  EXPECT_EQ(SquarifyRule(0.3f, 0.3f)(0.0009f, 1.0f), 0.0f);
  EXPECT_EQ(SquarifyRule(1.0f, 1.0f)(0.4f, 0.7f), 0.7f);  // top of the knobs: the filtered sign alone
  EXPECT_NEAR(SquarifyRule(0.0f, 0.0f)(-0.4f, -1.0f), -0.4f, 1e-3f);  // bottom: almost the input
  // Transient: only magnitudes between w and 2w.
  const TransientRule tr(0.0f, 0.5f);  // w = 0.05
  EXPECT_VALUES({tr(0.04f), 0.0f}, {tr(0.11f), 0.0f}, {tr(0.06f), 0.5f * (1.0f - (0.06f - 0.5f) / 0.05f), 1e-4f});
  // Transient Boost: below the limit the triangle, above it the input.
  const TransientBoostRule tb(0.0f, 1.0f);  // lim = 2 / 41
  EXPECT_NEAR(tb(0.025f), 1.0f, 1e-5f);
  EXPECT_EQ(tb(0.5f), 0.5f);
  // Tube: limit and rectify.
  EXPECT_NEAR(TubeRule(0.5f, 0.0f, 0.0f)(0.9f), 0.5f, 1e-7f);
  EXPECT_NEAR(TubeRule(1.0f, 1.0f, 0.0f)(-0.4f), 0.4f, 1e-6f);  // r = -1 flips the negative half
}

TEST(DistortRules, OscillatorWavesAndCurves) {
  EXPECT_VALUES(
      {oscillator(WAVE_SINE, 0.25f), 1.0f, 1e-6f}, {oscillator(WAVE_SINE, 0.0f), 0.0f, 1e-6f},
      {oscillator(WAVE_SAW, 0.25f), -0.5f, kUlps}, {oscillator(WAVE_SAW, 0.0f), -1.0f, kUlps},
      {oscillator(WAVE_SQUARE, 0.25f), -1.0f}, {oscillator(WAVE_SQUARE, 0.5f), 0.0f},
      {oscillator(WAVE_SQUARE, 0.75f), 1.0f}, {oscillator(WAVE_TRIANGLE, 0.0f), -1.0f, kUlps},
      {oscillator(WAVE_TRIANGLE, 0.25f), 0.0f, kUlps}, {oscillator(WAVE_TRIANGLE, 0.5f), 1.0f, kUlps});
  EXPECT_FLOAT_EQ(oscillator(7, 0.5f), 1.0f);  // any index beyond 3 is the triangle
  EXPECT_VALUES(
      {distortWaveIndex(1.0f), 3}, {distortWaveIndex(0.5f), 1}, {ampModelIndex(1.0f), 5}, {ampModelIndex(0.0f), 0},
      {cabinetModelIndex(1.0f), 3}, {cabinetModelIndex(kNaN), 0});

  float curve[256];
  for (int i = 0; i < 256; ++i)
    curve[i] = static_cast<float>(i) / 255.0f * 2.0f - 1.0f + (i == 255 ? 0.0f : 0.001f);
  EXPECT_VALUES(
      {curveLookup(curve, 1.0f), curve[255]}, {curveLookup(curve, -1.0f), curve[0]},
      {curveLookup(curve, 7.0f), curve[255]}, {curveLookup(curve, -7.0f), curve[0]},
      {curveLookup(curve, kNaN), curve[0]}, {curveLookup(curve, 0.0f), 0.5f * (curve[127] + curve[128]), kUlps},
      {curveLookup(nullptr, 0.5f), 0.0f});
  float other[256];
  for (float& v : other) v = 0.25f;
  EXPECT_FLOAT_EQ(dualCurve(curve, other, 1.0f, 0.3f), 0.25f);
  EXPECT_FLOAT_EQ(dualCurve(curve, other, 0.5f, 1.0f), 0.5f * 0.25f + 0.5f * curve[255]);
}
