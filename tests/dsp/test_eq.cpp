#include "dsp/uEQ.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "dspTestUtil.h"
#include "support/expectValues.h"

using testing_support::kUlps;

using dsp::TEQ;
using dsp::TOldEQ;
using dsptest::measureGain;
using dsptest::toDb;

namespace {

struct Settings {
  float gain[4] = {0.5f, 0.5f, 0.5f, 0.5f};
  float freq[4] = {0.2f, 0.4f, 0.6f, 0.8f};
  float width[4] = {0.5f, 0.5f, 0.5f, 0.5f};
};

double eqGainAt(TEQ& eq, const Settings& s, double hz, double rate2) {
  return measureGain([&](float& a, float& b, float& c, float& d) { eq.process(s.gain, s.freq, s.width, a, b, c, d); },
                     hz, rate2, 0.5, 20000, 60000);
}

double bandHz(float freq) { return 20.0 * std::pow(2.0, 10.0 * freq); }

// The graphic EQ's response from its section formula: sum of gain_j * alpha (1 - z^-2) / (1 + gamma2 z^-1 + beta2 z^-2).
double oldEqFormula(const TOldEQ& eq, double hz) {
  const std::complex<double> z1 = std::polar(1.0, -2.0 * dsptest::kPi * hz / eq.getRate2());
  std::complex<double> sum = 0.0;
  for (int j = 0; j < TOldEQ::BANDS; ++j) {
    sum += static_cast<double>(eq.getGain(j)) * static_cast<double>(eq.getAlpha(j)) * (1.0 - z1 * z1) /
           (1.0 + static_cast<double>(eq.getGamma2(j)) * z1 + static_cast<double>(eq.getBeta2(j)) * z1 * z1);
  }
  return std::abs(sum);
}

}  // namespace

TEST(EQ, FullAndZeroGainGivePlusAndMinusTwentyDbAtTheBandFrequency) {
  for (int band = 0; band < 4; ++band) {
    for (float g : {1.0f, 0.0f}) {
      TEQ eq;
      eq.init(44100.0f);
      Settings s;
      s.gain[band] = g;
      s.width[band] = 0.7f;
      const double db = toDb(eqGainAt(eq, s, bandHz(s.freq[band]), 88200.0));
      // The band's neighbours are flat and skipped; the table gives 20 dB within a hair.
      EXPECT_NEAR(db, g > 0.5f ? 20.0 : -20.0, 0.05) << "band " << band;
      EXPECT_TRUE(eq.isActive(band));
    }
  }
}

TEST(EQ, WidthNarrowsTheBoost) {
  // Far from the band frequency a narrow band (width 0, Q 16) lifts less than a wide one.
  TEQ narrow, wide;
  narrow.init(44100.0f);
  wide.init(44100.0f);
  Settings n, w;
  n.gain[1] = w.gain[1] = 1.0f;
  n.width[1] = 0.0f;
  w.width[1] = 0.6f;
  const double hz = bandHz(n.freq[1]) * 2.0;
  EXPECT_LT(toDb(eqGainAt(narrow, n, hz, 88200.0)), 1.0);
  EXPECT_GT(toDb(eqGainAt(wide, w, hz, 88200.0)), 10.0);
}

TEST(EQ, FlatSettingPassesTheInputClampedToTen) {
  TEQ eq;
  eq.init(48000.0f);
  Settings s;
  for (float x : {0.0f, 0.25f, -0.9f, 3.0f, -9.5f}) {
    float a = x, b = -x, c = x * 0.5f, d = 2.0f * x;
    eq.process(s.gain, s.freq, s.width, a, b, c, d);
    EXPECT_VALUES(
        {a, x, 1e-6f * (1.0f + std::fabs(x))}, {b, -x, 1e-6f * (1.0f + std::fabs(x))},
        {c, x * 0.5f, 1e-6f * (1.0f + std::fabs(x))},
        {d, std::fmax(-10.0f, std::fmin(10.0f, 2.0f * x)), 1e-5f * (1.0f + std::fabs(x))});
  }
  for (int k = 0; k < 4; ++k) EXPECT_FALSE(eq.isActive(k));
  float a = 50.0f, b = -1e6f, c = 10.0f, d = -10.0f;
  eq.process(s.gain, s.freq, s.width, a, b, c, d);
  EXPECT_VALUES({a, 10.0f, kUlps}, {b, -10.0f, kUlps}, {c, 10.0f, kUlps}, {d, -10.0f, kUlps});
}

TEST(EQ, FrequencyCapAtLowHostRates) {
  // At 22,050 Hz the top band frequency (20,480 / 44,100 = 0.46) is capped to 0.3 of the working rate.
  TEQ eq;
  eq.init(22050.0f);
  Settings s;
  s.freq[0] = 1.0f;
  s.gain[0] = 1.0f;
  s.width[0] = 0.7f;
  EXPECT_NEAR(toDb(eqGainAt(eq, s, 0.3 * 44100.0, 44100.0)), 20.0, 0.05);
  // At 44,100 no cap: 20,480 Hz itself gets the full boost.
  TEQ eq2;
  eq2.init(44100.0f);
  EXPECT_NEAR(toDb(eqGainAt(eq2, s, 20480.0, 88200.0)), 20.0, 0.05);
}

TEST(EQ, ChangeDetectionFollowsSlowMovesButIgnoresTinyOnes) {
  const double hz = bandHz(0.4f);
  // A single move of 0.00005 stays under the threshold: identical output to the unmoved EQ.
  {
    TEQ moved, still;
    moved.init(44100.0f);
    still.init(44100.0f);
    Settings s, t;
    s.gain[1] = t.gain[1] = 0.8f;
    for (int k = 0; k < 500; ++k) {
      if (k == 100) s.gain[1] = 0.80005f;
      float a = std::sin(k * 0.1f) * 0.3f, b = a, c = std::sin(k * 0.1f + 0.05f) * 0.3f, d = c;
      float e = a, f = b, g = c, h = d;
      moved.process(s.gain, s.freq, s.width, a, b, c, d);
      still.process(t.gain, t.freq, t.width, e, f, g, h);
      ASSERT_EQ(a, e);
      ASSERT_EQ(c, g);
    }
  }
  // A value creeping by 0.00005 per call from 0.8 to 0.9 ends within 0.0001 of the 0.9 response
  // (+16 dB), instead of staying at the 0.8 response (+12 dB).
  {
    TEQ eq;
    eq.init(44100.0f);
    Settings s;
    s.gain[1] = 0.8f;
    for (int k = 0; k <= 2000; ++k) {
      s.gain[1] = 0.8f + 0.00005f * k;
      float a = 0, b = 0, c = 0, d = 0;
      eq.process(s.gain, s.freq, s.width, a, b, c, d);
    }
    EXPECT_NEAR(toDb(eqGainAt(eq, s, hz, 88200.0)), 16.0, 0.02);
  }
  // One step of 0.0002 recomputes at once.
  {
    TEQ eq;
    eq.init(44100.0f);
    Settings s;
    s.gain[1] = 0.5f;
    float a = 0, b = 0, c = 0, d = 0;
    eq.process(s.gain, s.freq, s.width, a, b, c, d);
    EXPECT_FALSE(eq.isActive(1));
    s.gain[1] = 0.5002f;
    eq.process(s.gain, s.freq, s.width, a, b, c, d);
    EXPECT_TRUE(eq.isActive(1));
  }
}

TEST(OldEQ, ResponseMatchesItsSectionFormula) {
  struct Knobs {
    float g[4];
  };
  for (Knobs k : {Knobs{{0.5f, 0.5f, 0.5f, 0.5f}}, Knobs{{1.0f, 0.2f, 0.7f, 0.0f}}, Knobs{{0.0f, 1.0f, 0.0f, 1.0f}}}) {
    for (double hz : {31.0, 100.0, 440.0, 1000.0, 3000.0, 9000.0, 16000.0}) {
      TOldEQ eq;
      eq.init(44100.0f);
      const double measured = measureGain(
          [&](float& a, float& b, float& c, float& d) { eq.process(k.g[0], k.g[1], k.g[2], k.g[3], a, b, c, d); }, hz,
          88200.0, 0.5, 30000, 60000);
      EXPECT_NEAR(toDb(measured), toDb(oldEqFormula(eq, hz)), 0.02) << hz << " Hz";
    }
  }
}

TEST(OldEQ, FlatKnobsKeepBaseGainsAndSectionsFollowTheirFormula) {
  TOldEQ eq;
  eq.init(44100.0f);
  float a = 0, b = 0, c = 0, d = 0;
  eq.process(0.5f, 0.5f, 0.5f, 0.5f, a, b, c, d);
  for (int j = 0; j < TOldEQ::BANDS; ++j) {
    // The table entry just under x = 0.5 is 1 - 1.7e-5.
    EXPECT_NEAR(eq.getGain(j) / TOldEQ::BASE_GAIN[j], 1.0, 3e-5) << j;
    EXPECT_FALSE(eq.isActive(j));
    const double w = 2.0 * dsptest::kPi * TOldEQ::CENTRE_HZ[j] / 88200.0;
    const double q = 1.41459;
    const double beta = (q - 0.5 * w) / (2.0 * q + w);
    EXPECT_VALUES(
        {eq.getAlpha(j), 0.5 - beta, 1e-6}, {eq.getBeta2(j), 2.0 * beta, 1e-6},
        {eq.getGamma2(j), -2.0 * (0.5 + beta) * std::cos(w), 1e-6});
  }
  // Knob 0 at 1: band 2 gets +20 dB (x10), band 0 a third of the way (0.333 * 0.5 + 0.5).
  eq.process(1.0f, 0.5f, 0.5f, 0.5f, a, b, c, d);
  EXPECT_VALUES(
      {eq.getGain(2) / TOldEQ::BASE_GAIN[2], 10.0, 1e-3},
      {eq.getGain(0) / TOldEQ::BASE_GAIN[0], std::pow(10.0, (40.0 * (0.333 * 0.5 + 0.5) - 20.0) / 20.0), 1e-3},
      {eq.getGain(3) / TOldEQ::BASE_GAIN[3], std::pow(10.0, (40.0 * 0.75 - 20.0) / 20.0), 1e-3});
  EXPECT_TRUE(eq.isActive(2));
  EXPECT_FALSE(eq.isActive(9));

  TOldEQ slow;
  slow.init(500.0f);
  EXPECT_EQ(slow.getRate2(), 88200.0f);
}

TEST(OldEQ, DirectSectionSetters) {
  TOldEQ eq;
  eq.init(44100.0f);
  eq.setEqFilter(4, 700.0f, 0.5f);
  EXPECT_EQ(eq.getBaseGain(4), 0.5f);
  const double w = 2.0 * dsptest::kPi * 700.0 / 88200.0;
  EXPECT_NEAR(eq.getAlpha(4), 0.5 - (1.41459 - 0.5 * w) / (2.0 * 1.41459 + w), 1e-6);
  eq.setEqVol(4, 1.0f);
  EXPECT_NEAR(eq.getGain(4), 5.0f, 1e-3f);
  EXPECT_TRUE(eq.isActive(4));
  eq.setEqVol(4, -3.0f);  // clamps to the table's end
  EXPECT_NEAR(eq.getGain(4), 0.05f, 1e-5f);
  eq.setEqVol(99, 1.0f);  // out of range: ignored
}

TEST(EQ, HostileInputStaysFiniteAndDecaysToSilence) {
  for (float v : {1000.0f, 1e30f}) {
    for (bool alt : {false, true}) {
      TEQ eq;
      eq.init(44100.0f);
      Settings s;
      s.gain[0] = 1.0f;
      s.gain[1] = 0.0f;
      s.gain[2] = 1.0f;
      s.width[2] = 0.0f;
      double tail = 0;
      EXPECT_TRUE(dsptest::hostileThenSilence(
          [&](float& a, float& b, float& c, float& d) { eq.process(s.gain, s.freq, s.width, a, b, c, d); }, v, alt,
          2000, 100000, tail));
      EXPECT_LT(tail, 1e-6);

      TOldEQ old;
      old.init(44100.0f);
      EXPECT_TRUE(dsptest::hostileThenSilence(
          [&](float& a, float& b, float& c, float& d) { old.process(1.0f, 0.0f, 1.0f, 1.0f, a, b, c, d); }, v, alt,
          2000, 100000, tail));
      EXPECT_LT(tail, 1e-6);
    }
  }
}
