// The output section as a host hears it: the built module loaded through its entry point.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "engineTestUtil.h"

using namespace engine_test;

namespace {

constexpr int N = 8192;

std::vector<float> noiseSignal(size_t n, float amp, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(-amp, amp);
  std::vector<float> v(n);
  for (float& x : v) x = u(rng);
  return v;
}

}  // namespace

TEST(EngineOutput, BypassPassesTheInputBitForBitFromTheSampleItIsSet) {
  FakeHost host;
  Outside m;
  ASSERT_TRUE(m.ok());
  m.set(LP_ON_TAG, 1.0f);  // something audible on the wet path
  m.set(DISTORT_TYPE_TAG, 0.05f);
  const auto inL = noiseSignal(N, 0.998f, 1), inR = noiseSignal(N, 0.998f, 2);
  std::vector<float> outL(N), outR(N);
  const int block = 100, switchAt = 3 * block;
  std::vector<float> l, r;
  for (int pos = 0; pos < N; pos += block) {
    if (pos == switchAt) m.set(BYPASS_TAG, 1.0f);
    const int n = std::min(block, N - pos);
    std::vector<float> bl(inL.begin() + pos, inL.begin() + pos + n), br(inR.begin() + pos, inR.begin() + pos + n);
    m.process(bl, br, l, r, n);
    std::copy(l.begin(), l.end(), outL.begin() + pos);
    std::copy(r.begin(), r.end(), outR.begin() + pos);
  }
  int differentBefore = 0;
  for (int i = 0; i < switchAt; ++i) differentBefore += outL[i] != inL[i];
  EXPECT_GT(differentBefore, switchAt / 2);
  for (int i = switchAt; i < N; ++i) {
    ASSERT_EQ(outL[i], inL[i]) << i;
    ASSERT_EQ(outR[i], inR[i]) << i;
  }
}

TEST(EngineOutput, MixAtZeroIsTheDryInputAndAtHalfWetPlusDry) {
  FakeHost host;
  const auto in = sine(N, 441.0f, 0.2f);
  {
    Outside m;
    ASSERT_TRUE(m.ok());
    m.set(MIX_TAG, 0.0f);
    m.set(DISTORT_TYPE_TAG, 0.3f);  // a loud wet path that must not be heard
    m.set(VOLUME_TAG, 1.0f);
    std::vector<float> l, r;
    // The loaded program's mix of 1 glides to 0 first (smoothing underflows to exactly 0).
    const std::vector<float> settle(2048, 0.0f);
    m.process(settle, settle, l, r);
    m.process(in, in, l, r);
    for (int i = 0; i < N; ++i) ASSERT_EQ(l[i], in[i]) << i;
  }
  {
    Outside m;
    m.set(MIX_TAG, 0.5f);
    m.set(VOLUME_TAG, 0.75f);  // 0 dB
    std::vector<float> l, r;
    m.process(in, in, l, r);
    for (int i = 4096; i < N; ++i) ASSERT_NEAR(l[i], 2.0f * in[i], 1e-3f) << i;
  }
  {
    Outside m;  // fully wet at 0 dB: the wet path alone
    m.set(VOLUME_TAG, 0.75f);
    std::vector<float> l, r;
    m.process(in, in, l, r);
    for (int i = 4096; i < N; ++i) ASSERT_NEAR(l[i], in[i], 1e-4f) << i;
  }
}

TEST(EngineOutput, VolumeAtOneGainsTenDecibelsAndBelowTheFloorSilences) {
  FakeHost host;
  const auto in = sine(N, 300.0f, 0.05f);
  Outside m;
  ASSERT_TRUE(m.ok());
  m.set(VOLUME_TAG, 1.0f);
  std::vector<float> l, r;
  m.process(in, in, l, r);
  for (int i = 4096; i < N; ++i) {
    if (std::fabs(in[i]) > 0.01f) {
      ASSERT_NEAR(l[i] / in[i], 3.16228f, 2e-4f) << i;
    }
  }

  m.set(VOLUME_TAG, 0.0f);
  m.process(in, in, l, r);
  // Only the dry path's remainder of a mix that glides towards 1 is left.
  for (int i = 2048; i < N; ++i) ASSERT_LE(std::fabs(l[i]), 1e-6f * std::fabs(in[i]) + 1e-12f) << i;
}

TEST(EngineOutput, OutputStaysFiniteWithinTheClipForHostileInput) {
  FakeHost host;
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float hostile[] = {nan, inf, -inf, 1000.0f, -1000.0f, 1e-40f, 1.0f, -1.0f, 3e38f};
  for (int setup = 0; setup < 3; ++setup) {
    Outside m;
    ASSERT_TRUE(m.ok());
    if (setup >= 1) {
      for (int t : {PRE_EQ_ON_TAG, POST_EQ_ON_TAG, GATE_ON_TAG, HP_ON_TAG, LP_ON_TAG, COMP_ON_TAG, WIDENER_ON_TAG})
        m.set(t, 1.0f);
      m.set(VOLUME_TAG, 1.0f);
      m.set(LP_Q_TAG, 1.0f);
      m.set(DISTORT_TYPE_TAG, setup == 1 ? 0.44f : 0.43f);  // amp and cabinet
    }
    if (setup == 2) m.set(CHORUS_MODE_TAG, 1.0f);
    std::vector<float> inL(N), inR(N), side(N);
    for (int i = 0; i < N; ++i) {
      inL[i] = hostile[i % 9];
      inR[i] = hostile[(i * 7 + 3) % 9];
      side[i] = hostile[(i * 5 + 1) % 9];
    }
    std::vector<float> l, r;
    m.process(inL, inR, l, r, 333, &side, &side);
    for (int i = 0; i < N; ++i) {
      ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i])) << setup << " " << i;
      ASSERT_LE(std::fabs(l[i]), 0.999f);
      ASSERT_LE(std::fabs(r[i]), 0.999f);
    }
    // Nothing was poisoned: ordinary input still comes out.
    const auto in = sine(N, 500.0f, 0.3f);
    m.process(in, in, l, r);
    float peak = 0.0f;
    for (int i = N / 2; i < N; ++i) peak = std::fmax(peak, std::fabs(l[i]));
    EXPECT_GT(peak, 0.01f) << setup;
  }
}

TEST(EngineOutput, InputOfOneLeavesAtTheClip) {
  FakeHost host;
  Outside m;
  ASSERT_TRUE(m.ok());
  m.set(BYPASS_TAG, 1.0f);
  std::vector<float> in(64, 1.0f), neg(64, -1.0f), l, r;
  m.process(in, neg, l, r);
  EXPECT_EQ(l[10], 0.999f);
  EXPECT_EQ(r[10], -0.999f);
}

TEST(EngineOutput, OversamplingKeepsLeftAndRightApart) {
  FakeHost host;
  const auto in = sine(N, 700.0f, 0.4f);
  const std::vector<float> silence(N, 0.0f);
  for (float type : {0.0f, 0.02f, 0.29f}) {  // none, atan, valve
    Outside m;
    ASSERT_TRUE(m.ok());
    m.set(DISTORT_TYPE_TAG, type);
    std::vector<float> l, r;
    m.process(in, silence, l, r);
    float peak = 0.0f;
    for (int i = 0; i < N; ++i) {
      ASSERT_EQ(r[i], 0.0f) << type << " " << i;
      peak = std::fmax(peak, std::fabs(l[i]));
    }
    EXPECT_GT(peak, 0.05f);
    m.process(silence, in, l, r);
    for (int i = 0; i < N; ++i) ASSERT_EQ(l[i], 0.0f) << type << " " << i;
  }
}

TEST(EngineOutput, EveryPathSoundsTheSameWhenEveryStageIsNeutral) {
  FakeHost host;
  const auto inL = sine(4096, 330.0f, 0.3f), inR = sine(4096, 550.0f, 0.2f);
  std::vector<float> refL, refR;
  for (int p = 0; p < NUM_MODULE_PATHS; ++p) {
    Outside m;
    ASSERT_TRUE(m.ok());
    m.set(MODULE_PATH_TAG, (static_cast<float>(p) + 0.1f) / 23.99f);
    m.set(VOLUME_TAG, 0.8f);
    std::vector<float> l, r;
    m.process(inL, inR, l, r);
    if (p == 0) {
      refL = l;
      refR = r;
      continue;
    }
    ASSERT_EQ(l, refL) << p;
    ASSERT_EQ(r, refR) << p;
  }
}

TEST(EngineOutput, ModulatedPanMovesTheSoundBetweenTheSides) {
  FakeHost host;
  const auto in = sine(4096, 400.0f, 0.3f);
  for (float amount : {1.0f, 0.0f}) {  // Offset -> Pan at +1 (right only) and -1 (left only)
    Outside m;
    ASSERT_TRUE(m.ok());
    m.set(MOD_SLOT_SRC_TAGS[0], (52.0f + 0.1f) / 127.99f);
    m.set(MOD_SLOT_DEST_TAGS[0], (3.0f + 0.1f) / 127.99f);
    m.set(MOD_SLOT_AMT_TAGS[0], amount);
    std::vector<float> l, r;
    m.process(in, in, l, r);
    const std::vector<float>& silent = amount > 0.5f ? l : r;
    const std::vector<float>& loud = amount > 0.5f ? r : l;
    float peak = 0.0f;
    for (int i = 512; i < 4096; ++i) {
      ASSERT_EQ(silent[i], 0.0f) << amount << " " << i;
      peak = std::fmax(peak, std::fabs(loud[i]));
    }
    EXPECT_GT(peak, 0.1f);
  }
}
