#include "dsp/uFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dspTestUtil.h"
#include "support/expectValues.h"

using dsp::TFilter;
using dsptest::measureGain;
using dsptest::toDb;

namespace {

// Output of a filter fed a constant for long enough to settle.
float settledDc(int type, float freq, float level) {
  TFilter f;
  f.init(44100.0f);
  f.setType(type, false);
  float a = 0, b = 0, c = 0, d = 0;
  for (int k = 0; k < 40000; ++k) {
    a = b = c = d = level;
    f.process(freq, 0.0f, a, b, c, d, false);
  }
  EXPECT_FLOAT_EQ(a, b) << "type " << type;
  return c;
}

double gainAt(int type, float freq, float reso, double hz) {
  TFilter f;
  f.init(44100.0f);
  f.setType(type, false);
  return measureGain([&](float& a, float& b, float& c, float& d) { f.process(freq, reso, a, b, c, d, false); }, hz,
                     88200.0, 0.5);
}

double cutoffHz(float freq) {
  TFilter f;
  f.init(44100.0f);
  f.setType(3, false);
  float a = 0, b = 0, c = 0, d = 0;
  f.process(freq, 0.0f, a, b, c, d, false);
  return f.getLastHz();
}

}  // namespace

TEST(Filter, DcGainOfEveryType) {
  const float in = 0.1f;
  const double expected[13] = {0, 1.0, 0.0, std::sqrt(2.0), 0.0, 0.0, 4.0 / 4.001, 0.0, 1.0, 0.0, 0.0, 1.0, 0.0};
  for (int type = 1; type <= 12; ++type) {
    const float out = settledDc(type, 0.7f, in);
    EXPECT_NEAR(out / in, expected[type], 2e-4) << "type " << type;
  }
  // Type 6 sits just under unity: the biquad's DC gain is 4/4.001, not 1.
  EXPECT_LT(settledDc(6, 0.7f, in) / in, 0.99985f);
}

TEST(Filter, PassThroughTypesLeaveTheInputAlone) {
  for (int type : {0, 13, -4}) {
    TFilter f;
    f.init(48000.0f);
    f.setType(type, false);
    float a = 0.3f, b = -0.7f, c = 123.0f, d = -1e20f;
    f.process(0.5f, 0.5f, a, b, c, d, false);
    EXPECT_VALUES({a, 0.3f}, {b, -0.7f}, {c, 123.0f}, {d, -1e20f});
  }
}

TEST(Filter, HighPassesPassAStepsEdgeWithItsSign) {
  // Magnitudes say nothing of polarity: a step up must come out as a jump up that decays.
  for (int type : {int{TFilter::kOnePoleHigh}, int{TFilter::kSvfHigh}, int{TFilter::kHigh24}}) {
    for (bool zeroDelay : {false, true}) {
      if (type == TFilter::kOnePoleHigh && zeroDelay) continue;
      TFilter f;
      f.init(44100.0f);
      f.setType(type, zeroDelay);
      float a = 0.5f, b = 0.5f, c = 0.5f, d = 0.5f;
      f.process(0.5f, 0.0f, a, b, c, d, true);
      EXPECT_GT(a, 0.1f) << type << " " << zeroDelay;
    }
  }
}

TEST(Filter, ZeroDelayLowPassIsExactlyUnityAtCutoffWithoutResonance) {
  const double hz = cutoffHz(0.8f);
  // Index scale 262143.0 against entries laid out at 262143.98: a hair under 20 * 2^8.
  EXPECT_NEAR(hz, 20.0 * std::pow(2.0, 10.0 * std::trunc(0.8 * 262143.0) / 262143.98), 0.01);
  EXPECT_NEAR(toDb(gainAt(8, 0.8f, 0.0f, hz)), 0.0, 0.01);
  // The high-pass twin is 0 dB there too, the band-pass (output doubled) +6 dB.
  EXPECT_NEAR(toDb(gainAt(9, 0.8f, 0.0f, hz)), 0.0, 0.01);
  EXPECT_NEAR(toDb(gainAt(10, 0.8f, 0.0f, hz)), 20 * std::log10(2.0), 0.01);
}

TEST(Filter, FullResonanceSetsTheZeroDelayDamping) {
  // reso 1 -> r = 0.95, R = 0.5 * 2^(-4.75): the peak at cutoff is 1 / (2R) = 2^4.75.
  const double hz = cutoffHz(0.8f);
  EXPECT_NEAR(gainAt(8, 0.8f, 1.0f, hz) / std::pow(2.0, 4.75), 1.0, 0.005);
}

TEST(Filter, TwentyFourDbSlopesAreSteeperThanTwelve) {
  const float freq = 0.5f;
  const double hz = cutoffHz(freq);
  struct Pair {
    int twelve, twentyFour;
    bool high;
  };
  for (Pair p : {Pair{3, 6, false}, Pair{8, 11, false}, Pair{4, 7, true}, Pair{9, 12, true}}) {
    const double f1 = p.high ? hz / 4 : hz * 4;
    const double f2 = p.high ? hz / 8 : hz * 8;
    const double slope12 = toDb(gainAt(p.twelve, freq, 0.0f, f1)) - toDb(gainAt(p.twelve, freq, 0.0f, f2));
    const double slope24 = toDb(gainAt(p.twentyFour, freq, 0.0f, f1)) - toDb(gainAt(p.twentyFour, freq, 0.0f, f2));
    EXPECT_NEAR(slope12, 12.0, 1.5) << "type " << p.twelve;
    EXPECT_NEAR(slope24, 24.0, 2.5) << "type " << p.twentyFour;
    EXPECT_GT(slope24, slope12 + 9.0);
  }
  // One-pole types fall at 6 dB per octave.
  const double slope6 = toDb(gainAt(1, freq, 0.0f, hz * 4)) - toDb(gainAt(1, freq, 0.0f, hz * 8));
  EXPECT_NEAR(slope6, 6.0, 0.8);
}

TEST(Filter, OnePoleCoefficientsFollowTheCutoffBounds) {
  // freq 1 at 44.1 kHz: 20480 Hz is 0.232 of the working rate, capped to 0.2: c = 0.4, d = 0.6.
  TFilter f;
  f.init(44100.0f);
  f.setType(1, false);
  float a = 1.0f, b = 0.0f, c = 0.0f, d = 0.0f;
  f.process(1.0f, 0.0f, a, b, c, d, false);
  EXPECT_VALUES(
      {a, 0.4f, 1e-6}, {c, 0.24f, 1e-6}, {f.getLastHz(), 20480.0 * std::pow(2.0, -10.0 * 0.98 / 262143.98), 0.01});

  // freq 0: fc = 20.001 / 88200, above the floor 10 / 88200, so it stands.
  f.reset();
  a = 1.0f;
  b = c = d = 0.0f;
  f.process(0.0f, 0.0f, a, b, c, d, false);
  EXPECT_NEAR(a, 2.0 * 20.001 / 88200.0, 1e-7);

  // A host rate below 1000 runs at 88,200.
  TFilter slow;
  slow.init(500.0f);
  EXPECT_EQ(slow.getRate2(), 88200.0f);
  slow.init(48000.0f);
  EXPECT_EQ(slow.getRate2(), 96000.0f);
}

TEST(Filter, CoefficientCacheHonoursThresholdAndForce) {
  auto run = [](float resoSecond, bool force) {
    TFilter f;
    f.init(44100.0f);
    f.setType(3, false);
    std::vector<float> out;
    for (int k = 0; k < 400; ++k) {
      float a = (k % 7) * 0.1f, b = a, c = -a, d = -a;
      f.process(0.5f, k < 200 ? 0.5f : resoSecond, a, b, c, d, force && k == 200);
      out.push_back(a);
      out.push_back(c);
    }
    return out;
  };
  const auto base = run(0.5f, false);
  // 0.95 * 0.000005 is under the 1e-5 threshold: no recomputation, identical output.
  EXPECT_EQ(run(0.500005f, false), base);
  // The same tiny move with force recomputes (different q from then on).
  EXPECT_NE(run(0.500005f, true), base);
  // A move beyond the threshold recomputes without force.
  EXPECT_NE(run(0.5001f, false), base);
  // force with nothing moved recomputes the same coefficients: identical output.
  EXPECT_EQ(run(0.5f, true), base);
}

TEST(Filter, SetTypeClearsStateOnlyOnRealChange) {
  TFilter f, ref;
  f.init(44100.0f);
  ref.init(44100.0f);
  f.setType(3, true);
  ref.setType(3, true);
  EXPECT_EQ(f.getType(), 8);
  for (int k = 0; k < 100; ++k) {
    float a = 0.5f, b = 0.5f, c = 0.5f, d = 0.5f;
    float e = 0.5f, g = 0.5f, h = 0.5f, i = 0.5f;
    f.process(0.3f, 0.2f, a, b, c, d, false);
    ref.process(0.3f, 0.2f, e, g, h, i, false);
  }
  f.setType(3, true);  // same type: keeps the state
  float a = 0, b = 0, c = 0, d = 0, e = 0, g = 0, h = 0, i = 0;
  f.process(0.3f, 0.2f, a, b, c, d, false);
  ref.process(0.3f, 0.2f, e, g, h, i, false);
  EXPECT_EQ(a, e);
  EXPECT_NE(a, 0.0f);

  f.setType(3, false);  // real change: state cleared, silence stays (almost) silent
  a = b = c = d = 0;
  f.process(0.3f, 0.2f, a, b, c, d, false);
  EXPECT_LT(std::fabs(a), 1e-12f);
}

TEST(Filter, SplitGivesLowAndHighBandsAndLeavesInputs) {
  TFilter f;
  f.init(44100.0f);
  f.setType(3, false);
  float a = 0, b = 0, c = 0, d = 0, la = 0, lb = 0, lc = 0, ld = 0, ha = 0, hb = 0, hc = 0, hd = 0;
  for (int k = 0; k < 40000; ++k) {
    a = b = c = d = 0.2f;
    f.processSplit(0.6f, 0.3f, a, b, c, d, la, lb, lc, ld, ha, hb, hc, hd, false);
  }
  EXPECT_VALUES({a, 0.2f}, {d, 0.2f}, {lc / 0.2f, std::sqrt(2.0), 1e-4}, {hc, 0.0f, 1e-5});

  // The split's cutoff floor is 50 Hz: at freq 0 the low band of a 20 Hz sine is not attenuated
  // like a 20 Hz cutoff would (-3 dB), but sits near its pass band.
  TFilter s;
  s.init(44100.0f);
  const double g = measureGain(
      [&](float& a0, float& b0, float& c0, float& d0) {
        float l0, l1, l2, l3, h0, h1, h2, h3;
        s.processSplit(0.0f, 0.0f, a0, b0, c0, d0, l0, l1, l2, l3, h0, h1, h2, h3, false);
        a0 = l0;
        c0 = l2;
      },
      20.0, 88200.0, 0.5, 100000, 100000);
  EXPECT_GT(g, std::sqrt(2.0) * 0.95);
}

TEST(Filter, SplitIgnoresResonanceAloneButNotForce) {
  auto run = [](float resoSecond, bool force) {
    TFilter f;
    f.init(44100.0f);
    std::vector<float> out;
    for (int k = 0; k < 300; ++k) {
      float a = (k % 5) * 0.1f, b = a, c = -a, d = -a;
      float l[4], h[4];
      f.processSplit(0.5f, k < 150 ? 0.2f : resoSecond, a, b, c, d, l[0], l[1], l[2], l[3], h[0], h[1], h[2], h[3],
                     force && k == 150);
      out.push_back(l[0]);
      out.push_back(h[2]);
    }
    return out;
  };
  EXPECT_EQ(run(0.8f, false), run(0.2f, false));
  EXPECT_NE(run(0.8f, true), run(0.2f, false));
}

TEST(Filter, HostileInputStaysFiniteAndDecaysToSilence) {
  for (int type = 1; type <= 12; ++type) {
    for (float reso : {0.0f, 1.0f}) {
      for (float v : {1000.0f, 1e30f}) {
        for (bool alternate : {false, true}) {
          TFilter f;
          f.init(44100.0f);
          f.setType(type, false);
          double tail = 0;
          const bool finite = dsptest::hostileThenSilence(
              [&](float& a, float& b, float& c, float& d) { f.process(0.5f, reso, a, b, c, d, false); }, v, alternate,
              2000, 120000, tail);
          EXPECT_TRUE(finite) << "type " << type << " reso " << reso << " v " << v;
          EXPECT_LT(tail, 1e-6) << "type " << type << " reso " << reso << " v " << v;
        }
      }
    }
  }
  TFilter s;
  s.init(44100.0f);
  double tail = 0;
  EXPECT_TRUE(dsptest::hostileThenSilence(
      [&](float& a, float& b, float& c, float& d) {
        float l[4], h[4];
        s.processSplit(0.5f, 0.0f, a, b, c, d, l[0], l[1], l[2], l[3], h[0], h[1], h[2], h[3], false);
        a = l[0] + h[0];
        b = l[1] + h[1];
        c = l[2] + h[2];
        d = l[3] + h[3];
      },
      1e30f, true, 2000, 120000, tail));
  EXPECT_LT(tail, 1e-6);
}
