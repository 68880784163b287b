#include <gtest/gtest.h>

#include <cmath>

#include "dsp/uCompressor.h"
#include "dsp/uNoiseGate.h"
#include "dspTestUtil.h"
#include "support/expectValues.h"

using dsp::TCompressor;
using dsp::TNoiseGate;

namespace {

// The threshold knob value for a linear threshold just under a signal of 0.5.
const float kJustUnder = static_cast<float>((40.0 + 20.0 * std::log10(0.499)) / 40.0);

TNoiseGate makeGate(float threshold, float attack, float hold, float release) {
  TNoiseGate g;
  g.init(44100.0f);
  g.setParams(threshold, attack, hold, release);
  return g;
}

// Calls with `level` on all four slots; the gain given to the second frame of the last.
double gateCalls(TNoiseGate& g, float level, int calls = 1) {
  for (int k = 0; k < calls; ++k) {
    float a = level, b = level, c = level, d = level;
    g.process(a, b, c, d);
  }
  return g.getGain();
}

// Sub-samples (two per call) spent in `state`, fed `level`.
int subSamplesIn(TNoiseGate& g, int state, float level) {
  int n = 0;
  for (; g.getState() == state && n < 1000000; n += 2) gateCalls(g, level);
  return n;
}

}  // namespace

// Threshold 10^((40 v - 40) / 20): 0.5 gives 0.1, and the gate opens only there; below 0.001 it is
// 0, so the gate opens on silence. Attack 2^(8 v) ms in equal steps to exactly 1, hold 2^(14 v) ms
// from there, release 2^(14 v) + 10 ms to shut (the threshold just under the signal: the envelope
// falls under it within ~40 sub-samples of silence, well inside the hold).
TEST(NoiseGate, ThresholdAttackHoldAndRelease) {
  TNoiseGate g = makeGate(0.5f, 0.0f, 0.5f, 0.0f), open = makeGate(0.0005f, 0.0f, 0.0f, 0.0f);
  EXPECT_VALUES({g.getThreshold(), 0.1, 1e-12}, {g.getHoldSamples(), 128.0 / 1000.0 * 88200.0, 1e-6},
                {gateCalls(g, 0.099f, 1000), 0.0}, {g.getState(), TNoiseGate::kClosed},
                {gateCalls(g, 0.101f) > 0.0, true}, {open.getThreshold(), 0.0},
                {gateCalls(open, 0.0f, 100000), 1.0});
  const double rows[][6] = {{0.5, 0.5, 0.0, 16, 128, 11}, {0.0, 0.0, 0.5, 1, 1, 138}};
  for (const auto& r : rows) {
    TNoiseGate t = makeGate(kJustUnder, r[0], r[1], r[2]);
    gateCalls(t, 0.5f);  // the first sub-sample opens, the second takes the first attack step
    EXPECT_VALUES({1 + subSamplesIn(t, TNoiseGate::kAttack, 0.5f), std::ceil(r[3] * 88.2), 2.0},
                  {t.getGain(), 1.0}, {subSamplesIn(t, TNoiseGate::kHold, 0.0f), r[4] * 88.2, 3.0},
                  {subSamplesIn(t, TNoiseGate::kRelease, 0.0f), r[5] * 88.2, 3.0}, {t.getGain(), 0.0});
  }
}

// In release a signal above the threshold sends the gate back to attack from its current gain; one
// that stays above it keeps the gate in hold for good. During the attack the second sub-sample is a
// step further than the first.
TEST(NoiseGate, SignalAboveTheThresholdReopensAndHolds) {
  TNoiseGate g = makeGate(kJustUnder, 0.0f, 0.0f, 0.5f);
  while (g.getState() != TNoiseGate::kHold) gateCalls(g, 0.5f);
  const double partial = gateCalls(g, 0.0f, 200);
  EXPECT_VALUES({g.getState(), TNoiseGate::kRelease}, {partial > 0.5 && partial < 1.0, true},
                {gateCalls(g, 0.6f) > partial - 0.01, true}, {g.getState(), TNoiseGate::kAttack});
  TNoiseGate h = makeGate(0.5f, 0.5f, 0.0f, 0.0f);
  bool split = false;
  for (int k = 0; k < 20000; ++k) {
    const double before = h.getGain();
    float a = 0.5f, b = 0.5f, c = 0.5f, d = 0.5f;
    h.process(a, b, c, d);
    ASSERT_EQ(c, static_cast<float>(0.5 * h.getGain())) << k;
    split = split || (a != c && before < 1.0);
    ASSERT_TRUE(k < 2000 || h.getGain() == 1.0) << "the hold ran out under a loud signal";
  }
  EXPECT_TRUE(split);
}

// The lamp needs level in the last 256 calls and an open gate. The level sum it reads is capped at
// 256: after a burst at level 10 it goes out once 26 calls of silence have taken the burst out.
TEST(NoiseGate, LampNeedsSignalAndAnOpenGate) {
  TNoiseGate g = makeGate(0.5f, 0.0f, 1.0f, 0.0f);
  const auto lamp = [&](float level, int calls) {
    gateCalls(g, level, calls);
    return g.getTriggered();
  };
  EXPECT_VALUES({g.getTriggered(), false}, {lamp(0.05f, 300), false}, {lamp(10.0f, 300), true},
                {lamp(0.0f, 24), true}, {lamp(0.0f, 3), false}, {g.getGain(), 1.0});
  g.init(44100.0f);
  EXPECT_FALSE(g.getTriggered());
}

// A steady level settles on the ratio law, with over = thresholdDb - levelDb: mode off gives
// thresholdDb + over / 2^((1 - r) 7) (ratio 1 holds the threshold), mode on level + (1 - 2^(-7 r))
// over (ratio 0 leaves the level). Threshold 40 v - 40 dB; volume 0.75 is 0 dB of make-up.
TEST(Compressor, SettlesOnTheRatioLaws) {
  const double levelDb = 20.0 * std::log10(0.5), over = -20.0 - levelDb;
  for (float ratio : {0.0f, 0.5f, 1.0f}) {
    for (bool mode : {false, true}) {
      TCompressor comp;
      comp.init(44100.0f);
      comp.setParams(0.5f, ratio, 0.0f, 0.0f, 0.75f, mode);
      float c = 0;
      for (int k = 0; k < 50000; ++k) {
        float a = 0.5f, b = 0.5f, d = 0.5f;
        c = 0.5f;
        comp.process(a, b, c, d);
      }
      const double want = mode ? levelDb + (1.0 - std::pow(2.0, -7.0 * ratio)) * over
                               : levelDb + over / std::pow(2.0, (1.0 - ratio) * 7.0);
      EXPECT_NEAR(20.0 * std::log10(c), want, 0.05) << ratio << " " << mode;
    }
  }
}

// The gain acts on the input of 128 sub-samples ago: an impulse comes out exactly then. Make-up 10^((40 v -
// 30) / 20); below 0.001 silence.
TEST(Compressor, LookAheadAndMakeUp) {
  TCompressor comp;
  comp.init(48000.0f);
  comp.setParams(1.0f, 0.0f, 0.0f, 0.0f, 0.75f, false);
  for (int k = 0; k < 70; ++k) {
    float a = k == 0 ? 0.25f : 0.0f, b = 0, c = k == 0 ? 0.125f : 0.0f, d = 0;
    comp.process(a, b, c, d);
    EXPECT_VALUES({a, k == 64 ? 0.25f : 0.0f, 1e-7}, {c, k == 64 ? 0.125f : 0.0f, 1e-7});
  }
  const auto makeUp = [&](float v) {
    comp.setParams(1.0f, 0.0f, 0.0f, 0.0f, v, false);
    return comp.getMakeUp();
  };
  EXPECT_VALUES({makeUp(1.0f), std::pow(10.0, 0.5), 1e-5},
                {makeUp(0.001f), std::pow(10.0, -29.96 / 20.0), 1e-6}, {makeUp(0.0005f), 0.0f});
  for (int k = 0; k < 200; ++k) {
    float a = 0.7f, b = 0.7f, c = -0.7f, d = -0.7f;
    comp.process(a, b, c, d);
    ASSERT_TRUE(a == 0.0f && d == 0.0f) << k;
  }
}

// After init at a new rate the same settings give what a fresh gate and compressor give (the
// make-up is unity until the settings arrive); a change of the compressor's mode alone brings the
// other law in.
TEST(Dynamics, SettingsAreWorkedOutAgainForANewRateAndAMode) {
  TNoiseGate gate = makeGate(0.3f, 0.2f, 0.5f, 0.4f), freshGate;
  TCompressor comp, freshComp;
  comp.init(44100.0f);
  comp.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, false);
  for (TNoiseGate* g : {&gate, &freshGate}) g->init(96000.0f);
  for (TCompressor* c : {&comp, &freshComp}) c->init(96000.0f);
  EXPECT_EQ(comp.getMakeUp(), 1.0f);
  const auto same = [&](bool mode) {
    for (TNoiseGate* g : {&gate, &freshGate}) g->setParams(0.3f, 0.2f, 0.5f, 0.4f);
    comp.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, mode);
    freshComp.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, false);
    bool alike = true;
    for (int k = 0; k < 40000; ++k) {
      const float x = k < 8000 ? 1.0f : 0.0f;
      float v[4] = {0.8f * x, -0.7f * x, 0.6f * x, -0.5f * x}, f[4] = {v[0], v[1], v[2], v[3]};
      gate.process(v[0], v[1], v[2], v[3]);
      comp.process(v[0], v[1], v[2], v[3]);
      freshGate.process(f[0], f[1], f[2], f[3]);
      freshComp.process(f[0], f[1], f[2], f[3]);
      alike = alike && v[0] == f[0] && v[3] == f[3];
    }
    return alike;
  };
  EXPECT_TRUE(same(false));
  EXPECT_FALSE(same(true));
}

TEST(Dynamics, HostileInputStaysFiniteAndDecaysToSilence) {
  for (float v : {1000.0f, 1e30f}) {
    for (bool mode : {false, true}) {
      TNoiseGate g = makeGate(0.3f, 0.1f, 0.1f, 0.1f);
      TCompressor comp;
      comp.init(44100.0f);
      comp.setParams(0.2f, 0.7f, 0.3f, 0.3f, 1.0f, mode);
      double tail = 0;
      const auto run = [&](float& a, float& b, float& c, float& d) {
        g.process(a, b, c, d);
        comp.process(a, b, c, d);
      };
      EXPECT_VALUES({dsptest::hostileThenSilence(run, v, mode, 2000, 20000, tail), true}, {tail, 0.0},
                    {std::isfinite(comp.getCompressorVolume()), true});
    }
  }
}
