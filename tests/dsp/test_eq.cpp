#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "dsp/uEQ.h"
#include "dspTestUtil.h"
#include "support/expectValues.h"

using dsp::TEQ;
using dsp::TOldEQ;
using dsptest::kPi;
using dsptest::toDb;

namespace {

struct Settings {
  float gain[4] = {0.5f, 0.5f, 0.5f, 0.5f};
  float freq[4] = {0.2f, 0.4f, 0.6f, 0.8f};
  float width[4] = {0.5f, 0.5f, 0.5f, 0.5f};
};

double gainAt(TEQ& eq, const Settings& s, double hz, double rate2) {
  return dsptest::measureGain(
      [&](float& a, float& b, float& c, float& d) { eq.process(s.gain, s.freq, s.width, a, b, c, d); }, hz,
      rate2, 0.5, 20000, 40000);
}

}  // namespace

// One band is the peaking section its knobs define at twice the host rate: A = 10^((40 g - 20) / 40),
// f0 = 20 * 2^(10 freq) / rate2 capped to 0.3, alpha = sin(2 pi f0) / (2 * 2^(4 - 10 width)). Full and
// zero gain give +-20 dB at the band frequency; the flat neighbours are skipped.
TEST(EQ, BandIsThePeakingSectionItsKnobsDefine) {
  struct Case {
    int band;
    float gain, freq, width, rate;
  };
  const Case cases[] = {{0, 1.0f, 0.4f, 0.7f, 44100},
                        {1, 0.0f, 0.6f, 0.3f, 48000},
                        {2, 0.75f, 0.25f, 0.8f, 96000},
                        {3, 1.0f, 1.0f, 0.7f, 22050},
                        {3, 0.1f, 1.0f, 0.5f, 44100}};
  for (const Case& c : cases) {
    TEQ eq;
    eq.init(c.rate);
    Settings s;
    s.gain[c.band] = c.gain;
    s.freq[c.band] = c.freq;
    s.width[c.band] = c.width;
    const double rate2 = 2.0 * c.rate, f0 = std::min(20.0 * std::pow(2.0, 10.0 * c.freq) / rate2, 0.3);
    const double w0 = 2.0 * kPi * f0, A = std::pow(10.0, (40.0 * c.gain - 20.0) / 40.0);
    const double alpha = std::sin(w0) / (2.0 * std::pow(2.0, 4.0 - 10.0 * c.width));
    for (double ratio : {0.5, 1.0, 1.5}) {
      const double want =
          dsptest::responseAt({1 + alpha * A, -2 * std::cos(w0), 1 - alpha * A},
                              {1 + alpha / A, -2 * std::cos(w0), 1 - alpha / A}, ratio * f0 * rate2, rate2);
      EXPECT_NEAR(toDb(gainAt(eq, s, ratio * f0 * rate2, rate2)), toDb(want), 0.05) << c.band << " " << ratio;
    }
    for (int k = 0; k < 4; ++k) EXPECT_EQ(eq.isActive(k), k == c.band);
  }
}

TEST(EQ, FlatSettingPassesTheInputClampedToTen) {
  TEQ eq;
  eq.init(48000.0f);
  const Settings s;
  for (float x : {0.0f, 0.25f, -0.9f, 3.0f, -9.5f, 50.0f, -1e6f}) {
    float a = x, b = -x, c = 0.5f * x, d = 2.0f * x;
    eq.process(s.gain, s.freq, s.width, a, b, c, d);
    const auto clamped = [](float v) { return std::fmax(-10.0f, std::fmin(10.0f, v)); };
    const double tol = 1e-5 * (1.0 + std::fabs(x));
    EXPECT_VALUES({a, clamped(x), tol}, {b, clamped(-x), tol}, {c, clamped(0.5f * x), tol},
                  {d, clamped(2.0f * x), tol});
  }
}

// A band is worked out again only when a value moves by more than 0.0001 in one call: a single move
// of 0.00005 changes nothing, one of 0.0002 does; a value creeping 0.00005 per call is followed anyway
// (from 0.8 to 0.9: +16 dB at the end, not the +12 dB of 0.8).
TEST(EQ, ChangeDetection) {
  TEQ moved, still, creep;
  Settings s, t, u;
  s.gain[1] = t.gain[1] = u.gain[1] = 0.8f;
  for (TEQ* e : {&moved, &still, &creep}) e->init(44100.0f);
  for (int k = 0; k <= 2000; ++k) {
    if (k == 100) s.gain[1] = 0.80005f;
    u.gain[1] = 0.8f + 0.00005f * k;
    float a = std::sin(k * 0.1f) * 0.3f, b = a, c = std::sin(k * 0.1f + 0.05f) * 0.3f, d = c;
    float e = a, f = b, g = c, h = d, z[4] = {a, b, c, d};
    moved.process(s.gain, s.freq, s.width, a, b, c, d);
    still.process(t.gain, t.freq, t.width, e, f, g, h);
    creep.process(u.gain, u.freq, u.width, z[0], z[1], z[2], z[3]);
    ASSERT_EQ(a, e);
    ASSERT_EQ(c, g);
  }
  EXPECT_NEAR(toDb(gainAt(creep, u, 20.0 * std::pow(2.0, 4.0), 88200.0)), 16.0, 0.02);
  t.gain[1] = 0.5f;
  float a = 0, b = 0, c = 0, d = 0;
  still.process(t.gain, t.freq, t.width, a, b, c, d);
  EXPECT_FALSE(still.isActive(1));
  t.gain[1] = 0.5002f;
  still.process(t.gain, t.freq, t.width, a, b, c, d);
  EXPECT_TRUE(still.isActive(1));
}

// The graphic EQ is the sum of ten band-passes without a dry path: for centre F, w = 2 pi F / rate2,
// beta = (q - w/2) / (2q + w), alpha = 1/2 - beta, gamma2 = -(1 + 2 beta) cos w, beta2 = 2 beta, each
// weighed by its base gain times the gain of its control value; both channels alike.
TEST(OldEQ, ResponseIsTheSumOfItsBandPasses) {
  struct Case {
    float g[4], rate;
    double rate2;
  };
  for (const Case& k :
       {Case{{0.5f, 0.5f, 0.5f, 0.5f}, 44100, 88200}, Case{{1.0f, 0.2f, 0.7f, 0.0f}, 96000, 192000},
        Case{{0.0f, 1.0f, 0.35f, 1.0f}, 500, 88200}}) {
    const double t[4] = {k.g[0] - 0.5, k.g[1] - 0.5, k.g[2] - 0.5, k.g[3] - 0.5};
    // clang-format off
    const double control[TOldEQ::BANDS] = {0.333 * t[0] + 0.5, 0.666 * t[0] + 0.5, k.g[0], (t[0] + t[1]) / 2 + 0.5,
                                           k.g[1], (t[1] + t[2]) / 2 + 0.5, k.g[2], (t[2] + t[3]) / 2 + 0.5, k.g[3],
                                           0.5 * t[3] + 0.5};
    // clang-format on
    TOldEQ eq;
    eq.init(k.rate);
    bool alike = true;
    const auto run = [&](float& a, float& b, float& c, float& d) {
      eq.process(k.g[0], k.g[1], k.g[2], k.g[3], a, b, c, d);
      alike = alike && a == b && c == d;
    };
    for (double hz : {100.0, 700.0, 5000.0, 14000.0}) {
      const std::complex<double> z1 = std::polar(1.0, -2.0 * kPi * hz / k.rate2);
      std::complex<double> sum = 0.0;
      for (int j = 0; j < TOldEQ::BANDS; ++j) {
        // Single precision, as the sections run: near the unit circle the rounding of the
        // coefficients shows in the response.
        const float q = 1.41459f, w = static_cast<float>(2.0 * kPi * TOldEQ::CENTRE_HZ[j] / k.rate2);
        const float beta = (q - 0.5f * w) / (2.0f * q + w), gamma2 = -2.0f * (0.5f + beta) * std::cos(w);
        const double gain = TOldEQ::BASE_GAIN[j] * std::pow(10.0, (40.0 * control[j] - 20.0) / 20.0);
        sum += gain * double{0.5f - beta} * (1.0 - z1 * z1) /
               (1.0 + double{gamma2} * z1 + double{2.0f * beta} * z1 * z1);
      }
      EXPECT_NEAR(toDb(dsptest::measureGain(run, hz, k.rate2, 0.5, 30000, 60000)), toDb(std::abs(sum)), 0.02)
          << k.rate << " " << hz;
    }
    EXPECT_TRUE(alike);
  }
}

// The section setters nobody calls: a base gain and centre for one band, a gain clamped to the table,
// a band out of range ignored; the next call with the knobs puts the knobs' gain back.
TEST(OldEQ, DirectSectionSetters) {
  TOldEQ eq;
  eq.init(44100.0f);
  eq.setEqFilter(4, 700.0f, 0.5f);
  const double w = 2.0 * kPi * 700.0 / 88200.0;
  const auto vol = [&](int band, float v) {
    eq.setEqVol(band, v);
    return eq.getGain(4);
  };
  EXPECT_VALUES({eq.getBaseGain(4), 0.5f},
                {eq.getAlpha(4), 0.5 - (1.41459 - 0.5 * w) / (2.0 * 1.41459 + w), 1e-6},
                {vol(4, 1.0f), 5.0f, 1e-3}, {eq.isActive(4), true}, {vol(4, -3.0f), 0.05f, 1e-5},
                {vol(99, 1.0f), 0.05f, 1e-5});
  float a = 0, b = 0, c = 0, d = 0;
  eq.process(0.5f, 0.5f, 0.5f, 0.5f, a, b, c, d);
  const float kept = eq.getGain(3);
  eq.setEqVol(3, 0.95f);
  eq.process(0.5f, 0.5f, 0.5f, 0.5f, a, b, c, d);
  EXPECT_EQ(eq.getGain(3), kept);
}

TEST(EQ, HostileInputStaysFiniteAndDecaysToSilence) {
  for (float v : {1000.0f, 1e30f}) {
    TEQ eq;
    eq.init(44100.0f);
    Settings s;
    s.gain[0] = s.gain[2] = 1.0f;
    s.gain[1] = s.width[2] = 0.0f;
    TOldEQ old;
    old.init(44100.0f);
    double tail = 0;
    EXPECT_TRUE(dsptest::hostileThenSilence(
        [&](float& a, float& b, float& c, float& d) {
          eq.process(s.gain, s.freq, s.width, a, b, c, d);
          old.process(1.0f, 0.0f, 1.0f, 1.0f, a, b, c, d);
        },
        v, true, 2000, 100000, tail));
    EXPECT_LT(tail, 1e-6);
  }
}
