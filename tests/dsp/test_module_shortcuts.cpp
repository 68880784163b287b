// The modules keep worked-out settings between calls and run both channels in one register.
// These tests hold them against the transfer functions the settings define, and against a
// fresh module given the same settings after the old ones moved, came back or met a new rate.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>

#include "dsp/uCompressor.h"
#include "dsp/uEQ.h"
#include "dsp/uFilter.h"
#include "dsp/uNoiseGate.h"
#include "dsp/uWidener.h"
#include "dspTestUtil.h"

namespace {

using cd = std::complex<double>;
using dsptest::kPi;
using dsptest::measureGain;

// |B(z) / A(z)| on the unit circle at hz for a stream of `rate`; coefficients from z^0 upwards.
double responseAt(std::initializer_list<double> b, std::initializer_list<double> a, double hz, double rate) {
  const cd z1 = std::polar(1.0, -2.0 * kPi * hz / rate);
  auto poly = [&](std::initializer_list<double> c) {
    cd sum = 0.0, zk = 1.0;
    for (double v : c) sum += v * zk, zk *= z1;
    return sum;
  };
  return std::abs(poly(b) / poly(a));
}

struct Noise {
  uint32_t s = 12345u;
  float next() {
    s = s * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int32_t>(s)) * 4.656612873077393e-10f;
  }
};

}  // namespace

TEST(ModuleShortcuts, EqualiserBandIsThePeakingBiquadItsKnobsDefine) {
  struct Case {
    float gain, freq, width;
    double rate;
  };
  for (const Case& c :
       {Case{0.9f, 0.4f, 0.5f, 44100}, Case{0.1f, 0.6f, 0.3f, 48000}, Case{0.75f, 0.25f, 0.8f, 96000}}) {
    dsp::TEQ eq;
    eq.init(static_cast<float>(c.rate));
    const float gain[4] = {0.5f, c.gain, 0.5f, 0.5f}, freq[4] = {0.2f, c.freq, 0.6f, 0.8f},
                width[4] = {0.5f, c.width, 0.5f, 0.5f};
    // RBJ peaking section at twice the host rate: A = 10^((40 g - 20) / 40), alpha = sin w0 / (2 * 2^(4 - 10
    // width)).
    const double rate2 = 2.0 * c.rate;
    const double f0 = std::min(20.0 * std::pow(2.0, 10.0 * c.freq) / rate2, 0.3);
    const double w0 = 2.0 * kPi * f0, A = std::pow(10.0, (40.0 * c.gain - 20.0) / 40.0);
    const double alpha = std::sin(w0) / (2.0 * std::pow(2.0, 4.0 - 10.0 * c.width));
    for (double hz : {f0 * rate2 * 0.5, f0 * rate2, f0 * rate2 * 1.7}) {
      const double want = responseAt({1 + alpha * A, -2 * std::cos(w0), 1 - alpha * A},
                                     {1 + alpha / A, -2 * std::cos(w0), 1 - alpha / A}, hz, rate2);
      const double got = measureGain(
          [&](float& a, float& b, float& cc, float& d) { eq.process(gain, freq, width, a, b, cc, d); }, hz,
          rate2, 0.5, 20000, 40000);
      EXPECT_NEAR(dsptest::toDb(got), dsptest::toDb(want), 0.05) << c.rate << " " << hz;
    }
  }
}

// The ten sections run two bands of both channels per register: the sum is still the one the
// sections define, the channels stay alike, and gains kept while the knobs rest are the knobs' gains.
TEST(ModuleShortcuts, TenBandEqualiserIsTheSumOfItsSections) {
  for (double rate : {44100.0, 96000.0}) {
    dsp::TOldEQ eq;
    eq.init(static_cast<float>(rate));
    const float g[4] = {0.8f, 0.35f, 0.6f, 0.2f};
    bool alike = true;
    auto run = [&](float& a, float& b, float& c, float& d) {
      eq.process(g[0], g[1], g[2], g[3], a, b, c, d);
      alike = alike && a == b && c == d;
    };
    float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;
    run(a, b, c, d);  // the gains follow the knobs from the first call
    const double rate2 = 2.0 * rate;
    for (double hz : {60.0, 700.0, 5000.0}) {
      cd sum = 0.0;
      const cd z1 = std::polar(1.0, -2.0 * kPi * hz / rate2);
      for (int j = 0; j < dsp::TOldEQ::BANDS; ++j)
        sum +=
            static_cast<double>(eq.getGain(j)) * eq.getAlpha(j) * (1.0 - z1 * z1) /
            (1.0 + static_cast<double>(eq.getGamma2(j)) * z1 + static_cast<double>(eq.getBeta2(j)) * z1 * z1);
      const double got = measureGain(run, hz, rate2, 0.5, 20000, 40000);
      EXPECT_NEAR(dsptest::toDb(got), dsptest::toDb(std::abs(sum)), 0.05) << rate << " " << hz;
    }
    EXPECT_TRUE(alike) << rate;
    // A direct write to one band does not outlive the next call with the same knobs.
    const float before = eq.getGain(3);
    eq.setEqVol(3, 0.95f);
    eq.process(g[0], g[1], g[2], g[3], a, b, c, d);
    EXPECT_EQ(eq.getGain(3), before) << rate;
  }
}

TEST(ModuleShortcuts, ZeroDelayFiltersAreTheStateVariableResponses) {
  // Trapezoidal state-variable filter at twice the host rate: g = tan(pi fc), damping R = 1/2
  // without resonance; band-pass doubled. The 24 dB types run a second, equal section first.
  const double rate2 = 96000.0;
  for (int base : {3, 4, 5, 6, 7}) {
    dsp::TFilter f;
    f.init(48000.0f);
    f.setType(base, true);
    float a = 0, b = 0, c = 0, d = 0;
    f.process(0.55f, 0.0f, a, b, c, d, true);
    const double fc = (f.getLastHz() + 0.001) / rate2, g = std::tan(kPi * fc), R = 0.5, g2 = g * g;
    const std::initializer_list<double> den = {1 + 2 * R * g + g2, 2 * (g2 - 1), 1 - 2 * R * g + g2};
    for (double ratio : {0.5, 1.0, 2.0}) {
      const double hz = ratio * fc * rate2;
      double want = 0;
      switch (base) {
        case 3:
          want = responseAt({g2, 2 * g2, g2}, den, hz, rate2);
          break;
        case 4:
          want = responseAt({1, -2, 1}, den, hz, rate2);
          break;
        case 5:
          want = 2 * responseAt({g, 0, -g}, den, hz, rate2);
          break;
        case 6:
          want = std::pow(responseAt({g2, 2 * g2, g2}, den, hz, rate2), 2);
          break;
        case 7:
          want = std::pow(responseAt({1, -2, 1}, den, hz, rate2), 2);
          break;
      }
      const double got = measureGain(
          [&](float& x, float& y, float& z, float& w) { f.process(0.55f, 0.0f, x, y, z, w, false); }, hz,
          rate2);
      EXPECT_NEAR(dsptest::toDb(got), dsptest::toDb(want), 0.05) << base << " at " << ratio;
    }
  }
}

TEST(ModuleShortcuts, WidenerForgetsItsSettingsOnANewRate) {
  auto w = std::make_unique<dsp::TWidener>();
  w->init(44100.0f);
  float b = 0.5f, d = 0.5f;
  w->doWidener(0.5f, 0.5f, 0.5f, b, d);
  w->doChorus(0.5f, 0.5f, 0.44f, 0.5f, b, d, b, d);
  w->init(96000.0f);
  auto fresh = std::make_unique<dsp::TWidener>();
  fresh->init(96000.0f);
  Noise n;
  for (int k = 0; k < 5000; ++k) {
    float x = n.next(), y = n.next(), fx = x, fy = y;
    w->doWidener(0.5f, 0.5f, 0.5f, x, y);
    fresh->doWidener(0.5f, 0.5f, 0.5f, fx, fy);
    w->doChorus(0.5f, 0.5f, 0.44f, 0.5f, x, y, x, y);
    fresh->doChorus(0.5f, 0.5f, 0.44f, 0.5f, fx, fy, fx, fy);
    ASSERT_EQ(x, fx) << k;
    ASSERT_EQ(y, fy) << k;
  }
  EXPECT_EQ(w->getPhase1(), fresh->getPhase1());
  EXPECT_EQ(w->getPhase2(), fresh->getPhase2());
}

TEST(ModuleShortcuts, CompressorReworksItsSettingsAfterInitAndOnAModeChange) {
  dsp::TCompressor comp;
  comp.init(44100.0f);
  comp.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, false);
  const float makeUp = comp.getMakeUp();
  comp.init(96000.0f);
  EXPECT_EQ(comp.getMakeUp(), 1.0f);  // unity until the settings arrive again
  comp.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, false);
  EXPECT_EQ(comp.getMakeUp(), makeUp);

  dsp::TCompressor fresh;
  fresh.init(96000.0f);
  fresh.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, false);
  auto run = [&](int calls) {
    float a = 0, fa = 0;
    for (int k = 0; k < calls; ++k) {
      float b = -0.7f, c = 0.6f, d = -0.5f, fb = b, fc = c, fd = d;
      a = fa = 0.8f;
      comp.process(a, b, c, d);
      fresh.process(fa, fb, fc, fd);
    }
    return std::pair{a, fa};
  };
  auto [same, sameFresh] = run(3000);
  EXPECT_EQ(same, sameFresh);
  comp.setParams(0.4f, 0.5f, 0.3f, 0.4f, 0.9f, true);  // the second law takes over on the mode alone
  auto [moved, movedFresh] = run(3000);
  EXPECT_NE(moved, movedFresh);
}

TEST(ModuleShortcuts, GateSettingsEqualAFreshComputation) {
  const float values[][4] = {{0.3f, 0.2f, 0.5f, 0.4f},
                             {0.3f, 0.7f, 0.5f, 0.4f},
                             {0.8f, 0.7f, 0.1f, 0.4f},
                             {0.8f, 0.7f, 0.1f, 0.9f},
                             {0.3f, 0.2f, 0.5f, 0.4f}};
  for (float rate : {44100.0f, 96000.0f}) {
    for (int i = 1; i < 5; ++i) {
      // Settings reached step by step (and across a rate change) against settings set once.
      dsp::TNoiseGate g, fresh;
      g.init(44100.0f);
      g.setParams(values[0][0], values[0][1], values[0][2], values[0][3]);
      g.init(rate);
      g.setParams(values[i - 1][0], values[i - 1][1], values[i - 1][2], values[i - 1][3]);
      g.setParams(values[i][0], values[i][1], values[i][2], values[i][3]);
      fresh.init(rate);
      fresh.setParams(values[i][0], values[i][1], values[i][2], values[i][3]);
      EXPECT_EQ(g.getThreshold(), fresh.getThreshold());
      EXPECT_EQ(g.getHoldSamples(), fresh.getHoldSamples());
      // Attack, hold and release show in the gain's course through a burst.
      for (int k = 0; k < 40000; ++k) {
        const float x = k < 8000 ? 0.9f : 0.0f;
        float a = x, b = x, c = x, d = x, fa = x, fb = x, fc = x, fd = x;
        g.process(a, b, c, d);
        fresh.process(fa, fb, fc, fd);
        ASSERT_EQ(g.getGain(), fresh.getGain()) << rate << " " << i << " " << k;
      }
    }
  }
}
