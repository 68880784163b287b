#include <gtest/gtest.h>

#include <cmath>

#include "dsp/uCompressor.h"
#include "dsp/uNoiseGate.h"
#include "dspTestUtil.h"
#include "support/expectValues.h"

using dsp::TCompressor;
using dsp::TNoiseGate;

namespace {

// The threshold value giving a linear threshold t.
float thresholdFor(double t) { return static_cast<float>((40.0 + 20.0 * std::log10(t)) / 40.0); }

// Runs one call with a constant level on all four slots; returns the gain applied to the second frame.
double gateCall(TNoiseGate& g, float level) {
  float a = level, b = level, c = level, d = level;
  g.process(a, b, c, d);
  return level != 0.0f ? c / level : g.getGain();
}

}  // namespace

TEST(NoiseGate, OpensOnlyAtTheThreshold) {
  TNoiseGate g;
  g.init(44100.0f);
  g.setParams(0.5f, 0.0f, 0.0f, 0.0f);  // threshold 10^(-20/20) = 0.1
  EXPECT_NEAR(g.getThreshold(), 0.1, 1e-12);
  for (int k = 0; k < 1000; ++k) gateCall(g, 0.099f);
  EXPECT_EQ(g.getState(), TNoiseGate::kClosed);
  EXPECT_EQ(g.getGain(), 0.0);
  gateCall(g, 0.101f);
  EXPECT_NE(g.getState(), TNoiseGate::kClosed);

  // Below 0.001 the threshold is 0: the gate opens on silence and stays open.
  TNoiseGate open;
  open.init(44100.0f);
  open.setParams(0.0005f, 0.0f, 0.0f, 0.0f);
  EXPECT_EQ(open.getThreshold(), 0.0);
  for (int k = 0; k < 100000; ++k) gateCall(open, 0.0f);
  EXPECT_EQ(open.getGain(), 1.0);
}

TEST(NoiseGate, AttackHoldAndReleaseLastTheirTimes) {
  const double rate2 = 88200.0;
  TNoiseGate g;
  g.init(44100.0f);
  // Threshold just under the signal, so the envelope drops below it within ~40 sub-samples of silence.
  g.setParams(thresholdFor(0.499), 0.5f, 0.5f, 0.0f);
  EXPECT_NEAR(g.getHoldSamples(), 128.0 / 1000.0 * rate2, 1e-6);

  // Attack 2^4 = 16 ms: the gain climbs in equal steps and reaches exactly 1 after ceil(16 * 88.2) steps.
  int steps = 0;  // sub-samples spent in attack
  gateCall(g, 0.5f);  // first sub-sample opens, second takes the first attack step
  steps = 1;
  while (g.getState() == TNoiseGate::kAttack) {
    gateCall(g, 0.5f);
    steps += 2;
    ASSERT_LT(steps, 10000);
  }
  EXPECT_VALUES({g.getState(), TNoiseGate::kHold}, {g.getGain(), 1.0}, {steps, std::ceil(16.0 * 88.2), 2.0});

  // Hold 2^7 = 128 ms, counted from reaching full gain; the signal stops at once.
  int held = 0;
  while (g.getState() == TNoiseGate::kHold) {
    gateCall(g, 0.0f);
    held += 2;
    ASSERT_LT(held, 100000);
  }
  EXPECT_NEAR(held, 128.0 * 88.2, 3.0);
  EXPECT_EQ(g.getState(), TNoiseGate::kRelease);

  // Release 2^0 + 10 = 11 ms from full gain to shut.
  int released = 0;
  while (g.getState() == TNoiseGate::kRelease) {
    gateCall(g, 0.0f);
    released += 2;
    ASSERT_LT(released, 100000);
  }
  EXPECT_VALUES({released, 11.0 * 88.2, 3.0}, {g.getState(), TNoiseGate::kClosed}, {g.getGain(), 0.0});
}

TEST(NoiseGate, ZeroHoldLastsOneMillisecondAndReleaseReturnsToAttackFromItsGain) {
  TNoiseGate g;
  g.init(44100.0f);
  g.setParams(thresholdFor(0.499), 0.0f, 0.0f, 0.5f);  // hold 2^0 ms = 88.2 sub-samples
  while (g.getState() != TNoiseGate::kHold) gateCall(g, 0.5f);
  int held = 0;
  while (g.getState() == TNoiseGate::kHold) {
    gateCall(g, 0.0f);
    held += 2;
  }
  // The envelope needs ~40 sub-samples to fall under the threshold, well inside the hold.
  EXPECT_NEAR(held, 88.2, 3.0);

  for (int k = 0; k < 200; ++k) gateCall(g, 0.0f);
  ASSERT_EQ(g.getState(), TNoiseGate::kRelease);
  const double partial = g.getGain();
  ASSERT_GT(partial, 0.5);
  ASSERT_LT(partial, 1.0);
  gateCall(g, 0.6f);
  EXPECT_EQ(g.getState(), TNoiseGate::kAttack);
  EXPECT_GT(g.getGain(), partial - 0.01);  // continues from where it was, not from 0
}

TEST(NoiseGate, LampNeedsSignalAndAnOpenGate) {
  TNoiseGate g;
  g.init(44100.0f);
  g.setParams(0.5f, 0.0f, 0.0f, 0.0f);
  EXPECT_FALSE(g.getTriggered());
  for (int k = 0; k < 300; ++k) gateCall(g, 0.05f);  // under the threshold: signal but closed gate
  EXPECT_FALSE(g.getTriggered());
  for (int k = 0; k < 300; ++k) gateCall(g, 0.5f);
  EXPECT_TRUE(g.getTriggered());
  g.init(44100.0f);
  EXPECT_FALSE(g.getTriggered());
}

TEST(Compressor, SettlesOnTheRatioLaws) {
  const float level = 0.5f;
  const double levelDb = 20.0 * std::log10(level);
  struct Case {
    float ratio;
    bool mode;
  };
  for (Case cs : {Case{1.0f, false}, Case{0.5f, false}, Case{0.0f, false}, Case{0.5f, true}, Case{0.0f, true},
                  Case{1.0f, true}}) {
    TCompressor comp;
    comp.init(44100.0f);
    comp.setParams(0.5f, cs.ratio, 0.0f, 0.0f, 0.75f, cs.mode);  // threshold -20 dB, make-up 0 dB
    float a = 0, c = 0;
    for (int k = 0; k < 50000; ++k) {
      a = level;
      float b = level;
      c = level;
      float d = level;
      comp.process(a, b, c, d);
    }
    const double over = -20.0 - levelDb;
    const double expectedDb =
        cs.mode ? levelDb + (1.0 - 1.0 / std::pow(2.0, 7.0 * cs.ratio)) * over
                : levelDb + over / std::pow(2.0, (1.0 - cs.ratio) * 7.0);
    EXPECT_NEAR(20.0 * std::log10(c), expectedDb, 0.05) << cs.ratio << " " << cs.mode;
  }
}

TEST(Compressor, LooksAheadExactly128SubSamples) {
  TCompressor comp;
  comp.init(48000.0f);
  comp.setParams(1.0f, 0.0f, 0.0f, 0.0f, 0.75f, false);  // 0 dB threshold, unity make-up
  int seen = -1;
  for (int k = 0; k < 200; ++k) {
    float a = k == 0 ? 0.25f : 0.0f, b = 0, c = k == 0 ? 0.125f : 0.0f, d = 0;
    comp.process(a, b, c, d);
    if (a != 0.0f && seen < 0) {
      seen = 2 * k;
      EXPECT_FLOAT_EQ(a, 0.25f);
      EXPECT_FLOAT_EQ(c, 0.125f);
    }
  }
  EXPECT_EQ(seen, 128);
}

TEST(Compressor, BurstIsHeldForTheLookAheadThenDecays) {
  TCompressor comp;
  comp.init(44100.0f);
  comp.setParams(0.25f, 1.0f, 0.0f, 0.0f, 0.75f, false);
  for (int k = 0; k < 5000; ++k) {
    float a = 0.8f, b = -0.8f, c = 0.8f, d = -0.8f;
    comp.process(a, b, c, d);
  }
  float last = 0;
  for (int k = 0; k < 64; ++k) {
    float a = 0, b = 0, c = 0, d = 0;
    comp.process(a, b, c, d);
    EXPECT_GT(a, 0.0f);
    EXPECT_LT(b, 0.0f);
    last = c;
  }
  EXPECT_GT(last, 0.0f);
  float a = 0, b = 0, c = 0, d = 0;
  comp.process(a, b, c, d);
  EXPECT_EQ(a, 0.0f);
  EXPECT_EQ(d, 0.0f);
  EXPECT_GT(comp.getCompressorVolume(), 0.0f);
}

TEST(Compressor, MakeUpZeroIsSilentAndVolumeScales) {
  TCompressor comp;
  comp.init(44100.0f);
  comp.setParams(1.0f, 0.0f, 0.0f, 0.0f, 0.0005f, false);
  EXPECT_EQ(comp.getMakeUp(), 0.0f);
  for (int k = 0; k < 500; ++k) {
    float a = 0.7f, b = 0.7f, c = -0.7f, d = -0.7f;
    comp.process(a, b, c, d);
    ASSERT_EQ(a, 0.0f);
    ASSERT_EQ(d, 0.0f);
  }
  comp.setParams(1.0f, 0.0f, 0.0f, 0.0f, 1.0f, false);
  EXPECT_NEAR(comp.getMakeUp(), std::pow(10.0, 0.5), 1e-5);
  comp.setParams(1.0f, 0.0f, 0.0f, 0.0f, 0.0f + 0.001f, false);
  EXPECT_NEAR(comp.getMakeUp(), std::pow(10.0, (0.04 - 30.0) / 20.0), 1e-6);
}

TEST(Dynamics, HostileInputStaysFiniteAndDecaysToSilence) {
  for (float v : {1000.0f, 1e30f}) {
    for (bool alt : {false, true}) {
      TNoiseGate g;
      g.init(44100.0f);
      g.setParams(0.3f, 0.1f, 0.1f, 0.1f);
      double tail = 0;
      EXPECT_TRUE(dsptest::hostileThenSilence([&](float& a, float& b, float& c, float& d) { g.process(a, b, c, d); },
                                              v, alt, 2000, 20000, tail));
      EXPECT_EQ(tail, 0.0);

      for (bool mode : {false, true}) {
        TCompressor comp;
        comp.init(44100.0f);
        comp.setParams(0.2f, 0.7f, 0.3f, 0.3f, 1.0f, mode);
        EXPECT_TRUE(dsptest::hostileThenSilence(
            [&](float& a, float& b, float& c, float& d) { comp.process(a, b, c, d); }, v, alt, 2000, 20000, tail));
        EXPECT_EQ(tail, 0.0);
        EXPECT_TRUE(std::isfinite(comp.getCompressorVolume()));
      }
    }
  }
}

TEST(NoiseGate, SignalAboveThresholdHoldsItOpenAndEachSubSampleGetsItsOwnGain) {
  TNoiseGate g;
  g.init(44100.0f);
  g.setParams(0.5f, 0.5f, 0.0f, 0.0f);  // threshold 0.1, attack 16 ms, hold 1 ms, release 11 ms
  bool sawSplit = false, opened = false;
  double lowest = 1.0;
  for (int k = 0; k < 20000; ++k) {
    const double before = g.getGain();
    float a = 0.5f, b = 0.5f, c = 0.5f, d = 0.5f;
    g.process(a, b, c, d);
    // During the attack the second sub-sample is a step further than the first.
    EXPECT_EQ(c, static_cast<float>(0.5 * g.getGain())) << k;
    sawSplit = sawSplit || (a != c && before < 1.0);
    opened = opened || g.getGain() == 1.0;
    if (opened) lowest = std::min(lowest, g.getGain());
  }
  EXPECT_TRUE(sawSplit);
  EXPECT_EQ(lowest, 1.0) << "the hold ran out under a loud signal and the gate began to close";
  EXPECT_EQ(g.getState(), TNoiseGate::kHold);
}
