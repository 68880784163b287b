#include <gtest/gtest.h>

#include <cmath>

#include "dsp/uCompressor.h"
#include "dsp/uNoiseGate.h"
#include "dspTestUtil.h"
#include "support/expectValues.h"

using dsp::TCompressor;
using dsp::TNoiseGate;
using testing_support::kUlps;

namespace {

// The threshold knob value that gives a linear threshold t.
float thresholdFor(double t) { return static_cast<float>((40.0 + 20.0 * std::log10(t)) / 40.0); }

// One call with `level` on all four slots; returns the gain given to the second frame.
double gateCall(TNoiseGate& g, float level) {
  float a = level, b = level, c = level, d = level;
  g.process(a, b, c, d);
  return level != 0.0f ? c / level : g.getGain();
}

// Sub-samples (two per call) spent in `state`, fed `level`.
int subSamplesIn(TNoiseGate& g, int state, float level) {
  int n = 0;
  while (g.getState() == state && n < 1000000) {
    gateCall(g, level);
    n += 2;
  }
  return n;
}

TNoiseGate makeGate(float threshold, float attack, float hold, float release) {
  TNoiseGate g;
  g.init(44100.0f);
  g.setParams(threshold, attack, hold, release);
  return g;
}

}  // namespace

// Threshold 10^((40 v - 40) / 20): 0.5 gives 0.1, and the gate opens only at it; below 0.001 the
// threshold is 0, so the gate opens on silence and stays open. Hold 2^(14 v) ms.
TEST(NoiseGate, ThresholdAndHoldFromTheKnobs) {
  TNoiseGate g = makeGate(0.5f, 0.0f, 0.5f, 0.0f), open = makeGate(0.0005f, 0.0f, 0.0f, 0.0f);
  EXPECT_VALUES({g.getThreshold(), 0.1, 1e-12}, {g.getHoldSamples(), 128.0 / 1000.0 * 88200.0, 1e-6},
                {open.getThreshold(), 0.0});
  for (int k = 0; k < 1000; ++k) gateCall(g, 0.099f);
  EXPECT_VALUES({g.getState(), TNoiseGate::kClosed}, {g.getGain(), 0.0});
  gateCall(g, 0.101f);
  EXPECT_NE(g.getState(), TNoiseGate::kClosed);
  for (int k = 0; k < 100000; ++k) gateCall(open, 0.0f);
  EXPECT_EQ(open.getGain(), 1.0);
}

// Attack 2^(8 v) ms in equal steps to exactly 1, hold 2^(14 v) ms from there, release 2^(14 v) + 10
// ms back to shut; the threshold sits just under the signal, so the envelope falls under it
// within ~40 sub-samples of silence, well inside the hold.
TEST(NoiseGate, AttackHoldAndReleaseLastTheirTimes) {
  struct Row {
    float attack, hold, release;
    double attackMs, holdMs, releaseMs;
  };
  for (const Row& r : {Row{0.5f, 0.5f, 0.0f, 16, 128, 11}, Row{0.0f, 0.0f, 0.5f, 1, 1, 138}}) {
    TNoiseGate g = makeGate(thresholdFor(0.499), r.attack, r.hold, r.release);
    gateCall(g, 0.5f);  // the first sub-sample opens, the second takes the first attack step
    const int attack = 1 + subSamplesIn(g, TNoiseGate::kAttack, 0.5f);
    EXPECT_VALUES({attack, std::ceil(r.attackMs * 88.2), 2.0}, {g.getState(), TNoiseGate::kHold},
                  {g.getGain(), 1.0});
    EXPECT_NEAR(subSamplesIn(g, TNoiseGate::kHold, 0.0f), r.holdMs * 88.2, 3.0);
    EXPECT_NEAR(subSamplesIn(g, TNoiseGate::kRelease, 0.0f), r.releaseMs * 88.2, 3.0);
    EXPECT_VALUES({g.getState(), TNoiseGate::kClosed}, {g.getGain(), 0.0});
  }
}

// In release a signal above the threshold sends the gate back to attack from its current gain;
// a signal that stays above it keeps the gate in hold for good. During the attack the second
// sub-sample is a step further than the first.
TEST(NoiseGate, SignalAboveTheThresholdReopensAndHolds) {
  TNoiseGate g = makeGate(thresholdFor(0.499), 0.0f, 0.0f, 0.5f);
  while (g.getState() != TNoiseGate::kHold) gateCall(g, 0.5f);
  for (int k = 0; k < 200; ++k) gateCall(g, 0.0f);
  ASSERT_EQ(g.getState(), TNoiseGate::kRelease);
  const double partial = g.getGain();
  ASSERT_TRUE(partial > 0.5 && partial < 1.0);
  gateCall(g, 0.6f);
  EXPECT_EQ(g.getState(), TNoiseGate::kAttack);
  EXPECT_GT(g.getGain(), partial - 0.01);

  TNoiseGate h = makeGate(0.5f, 0.5f, 0.0f, 0.0f);
  bool split = false;
  double lowest = 1.0;
  for (int k = 0; k < 20000; ++k) {
    const double before = h.getGain();
    float a = 0.5f, b = 0.5f, c = 0.5f, d = 0.5f;
    h.process(a, b, c, d);
    ASSERT_EQ(c, static_cast<float>(0.5 * h.getGain())) << k;
    split = split || (a != c && before < 1.0);
    if (k > 2000) lowest = std::min(lowest, h.getGain());
  }
  EXPECT_TRUE(split);
  EXPECT_EQ(lowest, 1.0) << "the hold ran out under a loud signal";
  EXPECT_EQ(h.getState(), TNoiseGate::kHold);
}

// The lamp needs level in the last 256 calls and an open gate. The level sum it reads is capped at
// 256: after a burst at level 10 it goes out once 26 calls of silence have taken the burst out.
TEST(NoiseGate, LampNeedsSignalAndAnOpenGate) {
  TNoiseGate g = makeGate(0.5f, 0.0f, 1.0f, 0.0f);
  EXPECT_FALSE(g.getTriggered());
  for (int k = 0; k < 300; ++k) gateCall(g, 0.05f);  // under the threshold: level but a closed gate
  EXPECT_FALSE(g.getTriggered());
  for (int k = 0; k < 300; ++k) gateCall(g, 10.0f);
  EXPECT_TRUE(g.getTriggered());
  for (int k = 0; k < 24; ++k) gateCall(g, 0.0f);
  EXPECT_TRUE(g.getTriggered());
  for (int k = 0; k < 3; ++k) gateCall(g, 0.0f);
  EXPECT_VALUES({g.getTriggered(), false}, {g.getGain(), 1.0});
  g.init(44100.0f);
  EXPECT_FALSE(g.getTriggered());
}

// A steady level settles on the ratio law: above the threshold thresholdDb + over / 2^((1 - r) 7)
// (mode off; ratio 1 holds the threshold) or level + (1 - 2^(-7 r)) over (mode on; ratio 0 leaves
// the level); over = thresholdDb - levelDb. Volume 0.75 is 0 dB of make-up.
TEST(Compressor, SettlesOnTheRatioLaws) {
  const double levelDb = 20.0 * std::log10(0.5);
  struct Case {
    float ratio;
    bool mode;
  };
  for (Case cs : {Case{1.0f, false}, Case{0.5f, false}, Case{0.0f, false}, Case{0.5f, true}, Case{0.0f, true},
                  Case{1.0f, true}}) {
    TCompressor comp;
    comp.init(44100.0f);
    comp.setParams(0.5f, cs.ratio, 0.0f, 0.0f, 0.75f, cs.mode);  // threshold -20 dB
    float c = 0;
    for (int k = 0; k < 50000; ++k) {
      float a = 0.5f, b = 0.5f, d = 0.5f;
      c = 0.5f;
      comp.process(a, b, c, d);
    }
    const double over = -20.0 - levelDb;
    const double want = cs.mode ? levelDb + (1.0 - std::pow(2.0, -7.0 * cs.ratio)) * over
                                : levelDb + over / std::pow(2.0, (1.0 - cs.ratio) * 7.0);
    EXPECT_NEAR(20.0 * std::log10(c), want, 0.05) << cs.ratio << " " << cs.mode;
  }
}

// The gain acts on the input of 128 sub-samples ago: an impulse comes out exactly then, and a
// burst stays audible for 128 sub-samples of silence before the release takes over.
TEST(Compressor, LooksAheadExactly128SubSamples) {
  TCompressor comp;
  comp.init(48000.0f);
  comp.setParams(1.0f, 0.0f, 0.0f, 0.0f, 0.75f, false);
  for (int k = 0; k < 70; ++k) {
    float a = k == 0 ? 0.25f : 0.0f, b = 0, c = k == 0 ? 0.125f : 0.0f, d = 0;
    comp.process(a, b, c, d);
    EXPECT_VALUES({a, k == 64 ? 0.25f : 0.0f, kUlps}, {c, k == 64 ? 0.125f : 0.0f, kUlps});
  }
  TCompressor burst;
  burst.init(44100.0f);
  burst.setParams(0.25f, 1.0f, 0.0f, 0.0f, 0.75f, false);
  for (int k = 0; k < 5000 + 65; ++k) {
    const float x = k < 5000 ? 0.8f : 0.0f;
    float a = x, b = -x, c = x, d = -x;
    burst.process(a, b, c, d);
    if (k >= 5000) {
      EXPECT_EQ(a > 0.0f && b < 0.0f && c > 0.0f, k < 5064) << k;
    }
  }
  EXPECT_GT(burst.getCompressorVolume(), 0.0f);
}

// Make-up 10^((40 v - 30) / 20) from -30 dB to +10 dB; below 0.001 the output is silent.
TEST(Compressor, MakeUpFromTheVolume) {
  TCompressor comp;
  comp.init(44100.0f);
  comp.setParams(1.0f, 0.0f, 0.0f, 0.0f, 0.0005f, false);
  for (int k = 0; k < 500; ++k) {
    float a = 0.7f, b = 0.7f, c = -0.7f, d = -0.7f;
    comp.process(a, b, c, d);
    ASSERT_TRUE(a == 0.0f && d == 0.0f);
  }
  comp.setParams(1.0f, 0.0f, 0.0f, 0.0f, 1.0f, false);
  const float top = comp.getMakeUp();
  comp.setParams(1.0f, 0.0f, 0.0f, 0.0f, 0.001f, false);
  EXPECT_VALUES({top, std::pow(10.0, 0.5), 1e-5},
                {comp.getMakeUp(), std::pow(10.0, (0.04 - 30.0) / 20.0), 1e-6});
}

// After init (a new rate) the make-up is unity until the settings arrive again; then the module runs
// as a fresh one, and a change of the mode alone brings the other law in.
TEST(Compressor, SettingsAreWorkedOutAgainAfterInitAndOnAModeChange) {
  TCompressor comp, fresh;
  comp.init(44100.0f);
  comp.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, false);
  comp.init(96000.0f);
  EXPECT_EQ(comp.getMakeUp(), 1.0f);
  fresh.init(96000.0f);
  for (TCompressor* c : {&comp, &fresh}) c->setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, false);
  const auto run = [&] {
    float a = 0, fa = 0;
    for (int k = 0; k < 3000; ++k) {
      float b = -0.7f, c = 0.6f, d = -0.5f, fb = b, fc = c, fd = d;
      a = fa = 0.8f;
      comp.process(a, b, c, d);
      fresh.process(fa, fb, fc, fd);
    }
    return a == fa;
  };
  EXPECT_TRUE(run());
  comp.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, true);
  EXPECT_FALSE(run());
}

TEST(Dynamics, HostileInputStaysFiniteAndDecaysToSilence) {
  for (float v : {1000.0f, 1e30f}) {
    for (bool mode : {false, true}) {
      TNoiseGate g = makeGate(0.3f, 0.1f, 0.1f, 0.1f);
      TCompressor comp;
      comp.init(44100.0f);
      comp.setParams(0.2f, 0.7f, 0.3f, 0.3f, 1.0f, mode);
      double tail = 0;
      EXPECT_TRUE(dsptest::hostileThenSilence(
          [&](float& a, float& b, float& c, float& d) {
            g.process(a, b, c, d);
            comp.process(a, b, c, d);
          },
          v, mode, 2000, 20000, tail));
      EXPECT_EQ(tail, 0.0);
      EXPECT_TRUE(std::isfinite(comp.getCompressorVolume()));
    }
  }
}
