#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "dsp/uFilter.h"
#include "dspTestUtil.h"
#include "support/expectValues.h"

using dsp::TFilter;
using dsptest::toDb;

namespace {

TFilter make(int type, float rate = 44100.0f) {
  TFilter f;
  f.init(rate);
  f.setType(type, false);
  return f;
}

double gainAt(int type, float freq, float reso, double hz) {
  TFilter f = make(type);
  return dsptest::measureGain(
      [&](float& a, float& b, float& c, float& d) { f.process(freq, reso, a, b, c, d, false); }, hz, 88200.0);
}

// The crossover's low and high bands (four samples each) for one call.
std::array<float, 8> split(TFilter& f, float freq, float reso, float& a, float& b, float& c, float& d,
                           bool force) {
  std::array<float, 8> o;
  f.processSplit(freq, reso, a, b, c, d, o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7], force);
  return o;
}

// The cutoff in Hz that a frequency knob value stands for.
double cutoffHz(float freq) {
  TFilter f = make(TFilter::kSvfLow);
  float a = 0, b = 0, c = 0, d = 0;
  f.process(freq, 0.0f, a, b, c, d, false);
  return f.getLastHz();
}

}  // namespace

// A constant settles at the type's DC gain; the first output of a step has the step's sign
// (a high-pass that flips polarity shows it here, not in a magnitude). Other types pass through.
TEST(Filter, DcGainAndStepSignOfEveryType) {
  const double dcGain[13] = {1, 1, 0, std::sqrt(2.0), 0, 0, 4.0 / 4.001, 0, 1, 0, 0, 1, 0};
  for (int type = -4; type <= 13; ++type) {
    TFilter f = make(type);
    float a = 0, b = 0, c = 0, d = 0;
    for (int k = 0; k < 40000; ++k) {
      a = b = c = d = 0.1f;
      f.process(0.7f, 0.0f, a, b, c, d, false);
      EXPECT_TRUE(k > 0 || type < 1 || type > 12 || a > 0.0f) << type;
    }
    const double want = type >= 1 && type <= 12 ? dcGain[type] : 1.0;
    EXPECT_NEAR(c / 0.1f, want, 2e-4) << type;
    EXPECT_EQ(a, b) << type;
  }
}

// The zero-delay types are trapezoidal state-variable filters at twice the host rate:
// g = tan(pi fc), damping R = 1/2 without resonance (0.5 * 2^-4.75 at full resonance, a peak
// of 1 / (2R) at the cutoff), band-pass doubled; the 24 dB types run a second, equal section.
TEST(Filter, ZeroDelayTypesAreTheTrapezoidalResponses) {
  const double rate2 = 88200.0, fc = (cutoffHz(0.55f) + 0.001) / rate2, g = std::tan(dsptest::kPi * fc);
  const double g2 = g * g;
  const auto response = [&](std::initializer_list<double> num, double R, double hz) {
    return dsptest::responseAt(num, {1 + 2 * R * g + g2, 2 * (g2 - 1), 1 - 2 * R * g + g2}, hz, rate2);
  };
  for (int type = TFilter::kZdfLow; type <= TFilter::kZdfHigh24; ++type) {
    for (float reso : {0.0f, 1.0f}) {
      const double R = reso == 0.0f ? 0.5 : 0.5 * std::pow(2.0, -4.75);
      if (reso > 0.0f && type != TFilter::kZdfLow) continue;
      for (double ratio : {0.5, 1.0, 2.0}) {
        const double hz = ratio * fc * rate2;
        const double low = response({g2, 2 * g2, g2}, R, hz), high = response({1, -2, 1}, R, hz);
        const double want = type == TFilter::kZdfLow     ? low
                            : type == TFilter::kZdfHigh  ? high
                            : type == TFilter::kZdfBand  ? 2 * response({g, 0, -g}, R, hz)
                            : type == TFilter::kZdfLow24 ? response({g2, 2 * g2, g2}, 0.5, hz) * low
                                                         : response({1, -2, 1}, 0.5, hz) * high;
        EXPECT_NEAR(toDb(gainAt(type, 0.55f, reso, hz)), toDb(want), 0.05)
            << type << " " << reso << " " << ratio;
      }
    }
  }
}

TEST(Filter, SlopesPerOctave) {
  const double hz = cutoffHz(0.5f);
  const auto octave = [&](int type, bool high) {
    const double f1 = high ? hz / 4 : hz * 4, f2 = high ? hz / 8 : hz * 8;
    return toDb(gainAt(type, 0.5f, 0.0f, f1)) - toDb(gainAt(type, 0.5f, 0.0f, f2));
  };
  EXPECT_VALUES({octave(TFilter::kOnePoleLow, false), 6.0, 0.8}, {octave(TFilter::kSvfLow, false), 12.0, 1.5},
                {octave(TFilter::kSvfHigh, true), 12.0, 1.5}, {octave(TFilter::kLow24, false), 24.0, 2.5},
                {octave(TFilter::kHigh24, true), 24.0, 2.5});
}

// freq 1 at 44.1 kHz: 20,480 Hz is 0.232 of the working rate, capped to 0.2 (c = 0.4); freq 0:
// 20.001 / 88,200 stands above the floor 10 / 88,200. A host rate below 1000 runs as 44,100.
TEST(Filter, CutoffTableAndBounds) {
  EXPECT_VALUES({cutoffHz(1.0f), 20480.0 * std::pow(2.0, -10.0 * 0.98 / 262143.98), 0.01},
                {cutoffHz(0.8f), 20.0 * std::pow(2.0, 10.0 * std::trunc(0.8 * 262143.0) / 262143.98), 0.01},
                {make(1, 500.0f).getRate2(), 88200.0f}, {make(1, 48000.0f).getRate2(), 96000.0f});
  for (float freq : {1.0f, 0.0f}) {
    TFilter f = make(TFilter::kOnePoleLow);
    float a = 1.0f, b = 0.0f, c = 0.0f, d = 0.0f;
    f.process(freq, 0.0f, a, b, c, d, false);
    EXPECT_NEAR(a, freq == 1.0f ? 0.4 : 2.0 * 20.001 / 88200.0, 1e-7) << freq;
  }
}

// Coefficients are worked out again only on a move beyond 1e-5 (0.95 * 0.000005 is under it),
// when forced, or when the type really changes (which also clears the state).
TEST(Filter, CoefficientCacheAndTypeChanges) {
  const auto run = [](float resoSecond, bool force) {
    TFilter f = make(TFilter::kSvfLow);
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
  EXPECT_EQ(run(0.500005f, false), base);
  EXPECT_NE(run(0.500005f, true), base);
  EXPECT_NE(run(0.5001f, false), base);
  EXPECT_EQ(run(0.5f, true), base);

  TFilter f = make(TFilter::kSvfLow);
  f.setType(3, true);
  EXPECT_EQ(f.getType(), TFilter::kZdfLow);
  const auto step = [&](float x) {
    float a = x, b = x, c = x, d = x;
    f.process(0.3f, 0.2f, a, b, c, d, false);
    return std::fabs(a);
  };
  for (int k = 0; k < 100; ++k) step(0.5f);
  f.setType(3, true);  // the same type keeps the state: silence still rings
  EXPECT_GT(step(0.0f), 1e-3f);
  f.setType(3, false);  // a real change clears it
  EXPECT_LT(step(0.0f), 1e-12f);
}

// The crossover: low band sqrt(2) at DC, high band 0, inputs left alone; its cutoff floor is 50 Hz
// (a 20 Hz sine at freq 0 sits near the pass level, not 3 dB down); its resonance alone does not
// rework the coefficients, force does.
TEST(Filter, SplitBandsFloorAndResonance) {
  const auto run = [](float freq, float resoSecond, bool force, float in, int calls) {
    TFilter f = make(TFilter::kSvfLow);
    std::vector<float> out;
    for (int k = 0; k < calls; ++k) {
      float a = in > 0 ? in : (k % 5) * 0.1f, b = a, c = a, d = -a;
      const auto o = split(f, freq, k < 150 ? 0.2f : resoSecond, a, b, c, d, force && k == 150);
      out.insert(out.end(), {o[0], o[6], a, d});
    }
    return out;
  };
  const auto dc = run(0.6f, 0.2f, false, 0.2f, 40000);
  EXPECT_VALUES({dc[dc.size() - 4] / 0.2f, std::sqrt(2.0), 1e-4}, {dc[dc.size() - 3], 0.0f, 1e-5},
                {dc[dc.size() - 2], 0.2f}, {dc[dc.size() - 1], -0.2f});
  EXPECT_EQ(run(0.5f, 0.8f, false, 0, 300), run(0.5f, 0.2f, false, 0, 300));
  EXPECT_NE(run(0.5f, 0.8f, true, 0, 300), run(0.5f, 0.2f, false, 0, 300));
  TFilter s = make(TFilter::kSvfLow);
  const auto lowBand = [&](float& a, float& b, float& c, float& d) {
    const auto o = split(s, 0.0f, 0.0f, a, b, c, d, false);
    a = o[0];
    c = o[2];
  };
  EXPECT_GT(dsptest::measureGain(lowBand, 20.0, 88200.0, 0.5, 100000, 100000), std::sqrt(2.0) * 0.95);
}

// The crossover runs undamped at full resonance: it is fed only without (type 13 here, both bands summed).
TEST(Filter, HostileInputStaysFiniteAndDecaysToSilence) {
  for (int type = 1; type <= 13; ++type) {
    for (float reso : {0.0f, type < 13 ? 1.0f : 0.0f}) {
      for (float v : {1000.0f, 1e30f}) {
        TFilter f = make(type);
        double tail = 0;
        const auto run = [&](float& a, float& b, float& c, float& d) {
          if (type <= 12) return f.process(0.5f, reso, a, b, c, d, false);
          const auto o = split(f, 0.5f, reso, a, b, c, d, false);
          a = o[0] + o[4];
          b = o[1] + o[5];
          c = o[2] + o[6];
          d = o[3] + o[7];
        };
        EXPECT_TRUE(dsptest::hostileThenSilence(run, v, true, 2000, 120000, tail))
            << type << " " << reso << " " << v;
        EXPECT_LT(tail, 1e-6) << type << " " << reso << " " << v;
      }
    }
  }
}

TEST(Filter, SettledKnobsSkipTheirTestsAndFollowEveryStep) {
  // Knob values held for a while, each step far beyond the update threshold (both knobs, one at
  // a time, and back): a filter left to skip its tests on repeats must give, bit for bit, the
  // output of one that recomputes its coefficients on every call.
  const float steps[][2] = {{0.3f, 0.2f}, {0.6f, 0.2f}, {0.6f, 0.7f},
                            {0.3f, 0.2f}, {0.9f, 0.0f}, {0.9f, 0.95f}};
  const int types[] = {TFilter::kOnePoleLow, TFilter::kSvfHigh, TFilter::kLow24, TFilter::kHigh24,
                       TFilter::kZdfLow24};
  for (int type : types) {
    TFilter skipping = make(type), plain = make(type);
    int n = 0;
    for (const auto& s : steps)
      for (int k = 0; k < 40; ++k, ++n) {
        const float x = 0.6f * std::sin(0.07f * static_cast<float>(n));
        float v[2][4];
        for (auto& w : v) w[0] = w[2] = x, w[1] = w[3] = -x;
        skipping.process(s[0], s[1], v[0][0], v[0][1], v[0][2], v[0][3], false);
        plain.process(s[0], s[1], v[1][0], v[1][1], v[1][2], v[1][3], true);
        for (int j = 0; j < 4; ++j) ASSERT_EQ(v[0][j], v[1][j]) << "type " << type << " call " << n;
      }
  }
  // A crossover call in between moves the cutoff under process's feet: the next call with the
  // earlier knob values must take them up again.
  TFilter f = make(TFilter::kSvfLow);
  for (int k = 0; k < 3; ++k) {
    float a = 0.5f, b = 0.5f, c = 0.5f, d = 0.5f;
    f.process(0.4f, 0.1f, a, b, c, d, false);
    split(f, 0.9f, 0.1f, a, b, c, d, false);
  }
  EXPECT_NEAR(f.getLastHz(), cutoffHz(0.9f), 1e-3);
  float a = 0.5f, b = 0.5f, c = 0.5f, d = 0.5f;
  f.process(0.4f, 0.1f, a, b, c, d, false);
  EXPECT_NEAR(f.getLastHz(), cutoffHz(0.4f), 1e-3);
}
