// The faster forms the modules use in place of a library call agree with the plain form.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "dsp/dspCommon.h"
#include "dsp/uDistortShapers.h"
#include "dsp/uDistortTables.h"

using namespace dsp;

namespace {

// Distance of two finite floats in float steps.
int64_t floatSteps(float a, float b) {
  auto key = [](float v) {
    const int32_t i = std::bit_cast<int32_t>(v);
    return i >= 0 ? static_cast<int64_t>(i) : -static_cast<int64_t>(i & 0x7FFFFFFF);
  };
  const int64_t d = key(a) - key(b);
  return d < 0 ? -d : d;
}

}  // namespace

// lanePow against std::pow: the compressor's exponents (-1/128 .. -1, 0) and a few beyond, over
// every 997th float from 2^-20 to 2^20 (the detector levels and well past them).
TEST(FastForms, LanePowIsWithinOneFloatStepOfThePlainPower) {
  const float exponents[] = {0.0f, -0.0078125f, -0.25f, -0.5f, -0.66f, -0.9921875f, -1.0f, 0.37f, 2.5f};
  const int32_t first = std::bit_cast<int32_t>(0x1p-20f), last = std::bit_cast<int32_t>(0x1p20f);
  for (const float p : exponents) {
    int64_t worst = 0, differing = 0, count = 0;
    for (int32_t i = first; i < last; i += 4 * 997) {
      float x[4];
      for (int j = 0; j < 4; ++j) x[j] = std::bit_cast<float>(i + 997 * j);
      const StereoLanes fast = lanePow(loadLanes(x), p);
      for (int j = 0; j < 4; ++j) {
        const int64_t d = floatSteps(fast[j], std::pow(x[j], p));
        worst = d > worst ? d : worst;
        differing += d != 0;
        ++count;
      }
    }
    EXPECT_LE(worst, 1) << "p = " << p;
    // Off by a step only near a rounding boundary: rare.
    EXPECT_LT(differing * 1000, count) << "p = " << p;
  }
}

// Exact where the power is exact.
TEST(FastForms, LanePowExactCases) {
  const struct {
    float x, p, want;
  } rows[] = {{1.0f, -0.5f, 1.0f},
              {4.0f, -0.5f, 0.5f},
              {0.25f, -1.0f, 4.0f},
              {1024.0f, 0.5f, 32.0f},
              {3.0f, 0.0f, 1.0f},
              {0x1p-20f, -1.0f, 0x1p20f},
              {2.0f, -0.0078125f, std::pow(2.0f, -0.0078125f)}};
  for (const auto& r : rows) {
    const StereoLanes got = lanePow(splatLanes(r.x), r.p);
    for (int j = 0; j < 4; ++j) EXPECT_EQ(got[j], r.want) << r.x << "^" << r.p;
  }
}

// The 0..1 lane clamp (built on one-instruction minimum and maximum) gives the scalar clamp's
// bits, signed zeros, bounds, infinities and NaN included (the -1..1 one: DspCommon's test).
TEST(FastForms, LaneClamp01MatchesTheScalarClampBitForBit) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  const float values[] = {nan,   -nan, inf,   -inf,       0.0f,        -0.0f,  1.0f,
                          -1.0f, 0.5f, -0.5f, 1.0000001f, -1.0000001f, 1e-40f, 7.0f};
  for (const float v : values)
    for (const float w : values) {
      const StereoLanes x = {v, w, w, v};
      const StereoLanes c01 = laneClamp01(x);
      for (int j = 0; j < 4; ++j)
        EXPECT_EQ(std::bit_cast<uint32_t>(c01[j]), std::bit_cast<uint32_t>(clamp01(x[j]))) << x[j];
    }
}

// The float wrapPhase against the library floor form, bit for bit: every 257th float of both signs
// (both zeros, the tiny negatives that round up to 1, the whole floats from 2^23 on), infinities, NaN.
TEST(FastForms, FloatWrapPhaseIsTheFloorFormBitForBit) {
  auto plain = [](float x) {
    if (!std::isfinite(x)) return 0.0f;
    x -= std::floor(x);
    return x >= 1.0f ? 0.0f : x;
  };
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  for (const float v :
       {0.0f, -0.0f, -1e-9f, -1.0f, 8388607.5f, -8388607.5f, 8388608.0f, 1e30f, inf, -inf, nan})
    EXPECT_EQ(std::bit_cast<uint32_t>(wrapPhase(v)), std::bit_cast<uint32_t>(plain(v))) << v;
  int64_t differing = 0;
  for (const float sign : {1.0f, -1.0f})
    for (uint32_t i = 0; i < 0x7F800000u; i += 257) {
      const float x = sign * std::bit_cast<float>(i);
      differing += std::bit_cast<uint32_t>(wrapPhase(x)) != std::bit_cast<uint32_t>(plain(x));
    }
  EXPECT_EQ(differing, 0);
}

// The four-lane curve lookup against the scalar one, bit for bit: inside, at and beyond the ends,
// NaN and infinities, a missing curve, and a blend of two.
TEST(FastForms, LaneDualCurveIsTheScalarLookupBitForBit) {
  float a[256], b[256];
  for (int i = 0; i < 256; ++i) {
    a[i] = std::sin(0.37f * static_cast<float>(i)) * 0.9f;
    b[i] = static_cast<float>(i * i % 251) / 125.0f - 1.0f;
  }
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  const float values[] = {-inf, -2.0f, -1.0f,     -0.99999f, -0.3f, -0.0f, 0.0f, 0.1234567f,
                          0.5f, 0.99f, 0.999999f, 1.0f,      1.5f,  inf,   nan,  1e-30f};
  const struct {
    const float *c1, *c2;
    float blend;
  } rows[] = {{a, b, 0.0f},       {a, b, 0.3f},        {a, b, 1.0f},
              {nullptr, b, 0.6f}, {a, nullptr, 0.25f}, {nullptr, nullptr, 0.5f}};
  for (const auto& r : rows)
    for (const float v : values)
      for (const float w : values) {
        const StereoLanes x = {v, w, -v, 0.5f * w};
        const StereoLanes got = distort::laneDualCurve(r.c1, r.c2, r.blend, x);
        for (int j = 0; j < 4; ++j)
          EXPECT_EQ(std::bit_cast<uint32_t>(got[j]),
                    std::bit_cast<uint32_t>(distort::dualCurve(r.c1, r.c2, r.blend, x[j])))
              << x[j] << " blend " << r.blend;
      }
}

// The amp model's lane sum against the four scalar chains it replaces, bit for bit: every model's
// taps over a history of mixed signs and sizes, the newest value standing in for entry 0 (which
// still holds the value it replaces) and never read from there.
TEST(FastForms, AmpTapSumIsTheFourChainSumBitForBit) {
  float c[64], r[64];
  for (int m = 0; m < 5; ++m) {
    for (int t = 0; t < 64; ++t)  // model 5 ("Radio") has 16 taps
      c[t] = m < 4 ? distort::AMP_COEFFICIENT_TABLE[m * 64 + t]
                   : (t < 16 ? distort::AMP_COEFFICIENT_TABLE[256 + t] : 0.0f);
    for (int shift = 0; shift < 40; ++shift) {
      for (int t = 0; t < 64; ++t)
        r[t] = std::sin(0.7f * static_cast<float>(t * (shift + 3))) *
               std::ldexp(1.0f, (t * 7 + shift) % 23 - 11);
      for (const float newest : {0.0f, -0.0f, 1.0f, -0.73f, 3e-8f, std::nextafter(1.0f, 0.0f)}) {
        float s[4] = {1e-15f, 0.0f, 0.0f, 0.0f};
        for (int t = 0; t < 64; ++t) s[t % 4] += c[t] * (t == 0 ? newest : r[t]);
        const float plain = (s[0] + s[1]) + (s[2] + s[3]);
        r[0] = 1e30f;  // the stale entry
        EXPECT_EQ(std::bit_cast<uint32_t>(distort::ampTapSum(c, r, newest)), std::bit_cast<uint32_t>(plain))
            << "model " << m + 1 << " shift " << shift << " newest " << newest;
      }
    }
  }
}
