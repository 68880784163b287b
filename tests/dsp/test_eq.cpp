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
  float gain[4] = {0.5f, 0.5f, 0.5f, 0.5f}, freq[4] = {0.2f, 0.4f, 0.6f, 0.8f},
        width[4] = {0.5f, 0.5f, 0.5f, 0.5f};
};

dsptest::Run runner(TEQ& eq, const Settings& s) {
  return [&](float& a, float& b, float& c, float& d) { eq.process(s.gain, s.freq, s.width, a, b, c, d); };
}

}  // namespace

// One band is the peaking section its knobs define at twice the host rate: A = 10^((40 g - 20) / 40),
// f0 = 20 * 2^(10 freq) / rate2 capped to 0.3, alpha = sin(2 pi f0) / (2 * 2^(4 - 10 width)); full and
// zero gain give +-20 dB at f0. Flat bands are skipped; all flat, the input comes out clamped to +-10.
TEST(EQ, BandIsThePeakingSectionItsKnobsDefine) {
  const float cases[][5] = {{0, 1.0f, 0.4f, 0.7f, 44100},
                            {1, 0.0f, 0.6f, 0.3f, 48000},
                            {2, 0.75f, 0.25f, 0.8f, 96000},
                            {3, 1.0f, 1.0f, 0.7f, 22050},
                            {3, 0.1f, 1.0f, 0.5f, 44100}};  // band, gain, freq, width, rate
  for (const auto& c : cases) {
    const int band = static_cast<int>(c[0]);
    TEQ eq;
    eq.init(c[4]);
    Settings s;
    s.gain[band] = c[1];
    s.freq[band] = c[2];
    s.width[band] = c[3];
    const double rate2 = 2.0 * c[4], f0 = std::min(20.0 * std::pow(2.0, 10.0 * c[2]) / rate2, 0.3);
    const double w0 = 2.0 * kPi * f0, A = std::pow(10.0, (40.0 * c[1] - 20.0) / 40.0);
    const double alpha = std::sin(w0) / (2.0 * std::pow(2.0, 4.0 - 10.0 * c[3])), cw = -2 * std::cos(w0);
    for (double hz : {0.5 * f0 * rate2, f0 * rate2, 1.5 * f0 * rate2}) {
      const double want = dsptest::responseAt({1 + alpha * A, cw, 1 - alpha * A},
                                              {1 + alpha / A, cw, 1 - alpha / A}, hz, rate2);
      EXPECT_NEAR(toDb(dsptest::measureGain(runner(eq, s), hz, rate2, 0.5, 20000, 40000)), toDb(want), 0.05)
          << band << " " << hz;
    }
    for (int k = 0; k < 4; ++k) EXPECT_EQ(eq.isActive(k), k == band);
  }
  TEQ flat;
  flat.init(48000.0f);
  const Settings s;
  for (float x : {0.0f, 0.25f, -0.9f, 3.0f, -9.5f, 50.0f, -1e6f}) {
    float v[4] = {x, -x, 0.5f * x, 2.0f * x};
    const float want[4] = {x, -x, 0.5f * x, 2.0f * x};
    runner(flat, s)(v[0], v[1], v[2], v[3]);
    for (int i = 0; i < 4; ++i)
      EXPECT_NEAR(v[i], std::fmax(-10.0f, std::fmin(10.0f, want[i])), 1e-5 * (1 + std::fabs(x)));
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
    ASSERT_TRUE(a == e && c == g) << k;
  }
  EXPECT_NEAR(toDb(dsptest::measureGain(runner(creep, u), 320.0, 88200.0, 0.5, 20000, 40000)), 16.0, 0.02);
  float a = 0, b = 0, c = 0, d = 0;
  for (float g : {0.5f, 0.5002f}) {
    t.gain[1] = g;
    still.process(t.gain, t.freq, t.width, a, b, c, d);
    EXPECT_EQ(still.isActive(1), g != 0.5f);
  }
}

// The graphic EQ is the sum of ten band-passes without a dry path: for centre F, w = 2 pi F / rate2,
// beta = (q - w/2) / (2q + w), alpha = 1/2 - beta, gamma2 = -(1 + 2 beta) cos w, beta2 = 2 beta, each
// weighed by its base gain times the gain of its control value; both channels alike. A rate below
// 1000 runs as 44,100.
TEST(OldEQ, ResponseIsTheSumOfItsBandPasses) {
  const float knobs[][5] = {
      {0.5f, 0.5f, 0.5f, 0.5f, 44100}, {1.0f, 0.2f, 0.7f, 0.0f, 96000}, {0.0f, 1.0f, 0.35f, 1.0f, 500}};
  for (const auto& k : knobs) {
    const double rate2 = k[4] < 1000 ? 88200.0 : 2.0 * k[4];
    const double t[4] = {k[0] - 0.5, k[1] - 0.5, k[2] - 0.5, k[3] - 0.5};
    // clang-format off
    const double control[TOldEQ::BANDS] = {
        0.333 * t[0] + 0.5, 0.666 * t[0] + 0.5, k[0], (t[0] + t[1]) / 2 + 0.5, k[1], (t[1] + t[2]) / 2 + 0.5,
        k[2], (t[2] + t[3]) / 2 + 0.5, k[3], 0.5 * t[3] + 0.5};
    // clang-format on
    TOldEQ eq;
    eq.init(k[4]);
    bool alike = true;
    const auto run = [&](float& a, float& b, float& c, float& d) {
      eq.process(k[0], k[1], k[2], k[3], a, b, c, d);
      alike = alike && a == b && c == d;
    };
    for (double hz : {100.0, 700.0, 5000.0, 14000.0}) {
      const std::complex<double> z1 = std::polar(1.0, -2.0 * kPi * hz / rate2);
      std::complex<double> sum = 0.0;
      for (int j = 0; j < TOldEQ::BANDS; ++j) {
        // Single precision, as the sections run: near the unit circle the rounding shows.
        const float q = 1.41459f, w = static_cast<float>(2.0 * kPi * TOldEQ::CENTRE_HZ[j] / rate2);
        const float beta = (q - 0.5f * w) / (2.0f * q + w), gamma2 = -2.0f * (0.5f + beta) * std::cos(w);
        const double gain = TOldEQ::BASE_GAIN[j] * std::pow(10.0, (40.0 * control[j] - 20.0) / 20.0);
        sum += gain * double{0.5f - beta} * (1.0 - z1 * z1) /
               (1.0 + double{gamma2} * z1 + double{2.0f * beta} * z1 * z1);
      }
      EXPECT_NEAR(toDb(dsptest::measureGain(run, hz, rate2, 0.5, 30000, 60000)), toDb(std::abs(sum)), 0.02)
          << k[4] << " " << hz;
    }
    EXPECT_TRUE(alike);
    // A direct write to one band does not outlive the next call with the same knobs.
    const float kept = eq.getGain(3);
    eq.setEqVol(3, 0.95f);
    float a = 0, b = 0, c = 0, d = 0;
    run(a, b, c, d);
    EXPECT_EQ(eq.getGain(3), kept);
  }
}

TEST(EQ, HostileInputStaysFiniteAndDecaysToSilence) {
  for (float v : {1000.0f, 1e30f}) {
    TEQ eq;
    TOldEQ old;
    eq.init(44100.0f);
    old.init(44100.0f);
    const Settings s = {{1.0f, 0.0f, 1.0f, 0.5f}, {0.2f, 0.4f, 0.6f, 0.8f}, {0.5f, 0.5f, 0.0f, 0.5f}};
    double tail = 0;
    const auto run = [&](float& a, float& b, float& c, float& d) {
      eq.process(s.gain, s.freq, s.width, a, b, c, d);
      old.process(1.0f, 0.0f, 1.0f, 1.0f, a, b, c, d);
    };
    EXPECT_VALUES({dsptest::hostileThenSilence(run, v, true, 2000, 100000, tail), true}, {tail < 1e-6, true});
  }
}
