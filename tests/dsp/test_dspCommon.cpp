#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "dsp/dspCommon.h"
#include "support/expectValues.h"

using namespace dsp;

TEST(DspCommon, TableIndexClampsEveryInput) {
  EXPECT_VALUES({tableIndex(0.0f), 0}, {tableIndex(1.0f), 262143},
                {tableIndex(0.5f), static_cast<int>(0.5f * 262143.98f)}, {tableIndex(-3.0f), 0},
                {tableIndex(7.0f), 262143}, {tableIndex(std::numeric_limits<float>::quiet_NaN()), 0},
                {tableIndex(std::numeric_limits<float>::infinity()), 262143},
                {tableIndex(-std::numeric_limits<float>::infinity()), 0}, {filterTableIndex(1.0f), 262143},
                {filterTableIndex(0.25f), static_cast<int>(0.25f * 262143.0f)});
}

TEST(DspCommon, SaturatingIntNeverOverflows) {
  EXPECT_VALUES({saturatingInt(3.99), 3}, {saturatingInt(-3.99), -3},
                {saturatingInt(1e30), std::numeric_limits<int>::max()},
                {saturatingInt(-1e30), std::numeric_limits<int>::min()});
  EXPECT_EQ(saturatingInt(std::nan("")), 0);
}

TEST(DspCommon, WrapPhaseStaysInUnitInterval) {
  EXPECT_DOUBLE_EQ(wrapPhase(1.25), 0.25);
  EXPECT_DOUBLE_EQ(wrapPhase(-0.25), 0.75);
  EXPECT_EQ(wrapPhase(std::numeric_limits<double>::infinity()), 0.0);
  EXPECT_EQ(wrapPhase(std::nan("")), 0.0);
  const float tiny = wrapPhase(-1e-9f);
  EXPECT_GE(tiny, 0.0f);
  EXPECT_LT(tiny, 1.0f);
}

TEST(DspCommon, Rand15DrawsFifteenBitValuesAndRepeatsForASeed) {
  Rand15 a(42), b(42);
  for (int i = 0; i < 1000; ++i) {
    const int r = a.nextInt();
    EXPECT_GE(r, 0);
    EXPECT_LE(r, 32767);
    EXPECT_EQ(r, b.nextInt());
  }
  Rand15 c(1);
  // The classic C library law: first value for seed 1 is 16838.
  EXPECT_EQ(c.nextInt(), 16838);
  EXPECT_LE(Rand15(7).next(), 1.0f);
}

TEST(DspCommon, RandSeedSequence) {
  RandSeed r;  // seed 1
  // t = 1 * 16807; value = 16807 * 2^-31; seed becomes 16808.
  EXPECT_FLOAT_EQ(r.next(), static_cast<float>(16807 * 4.656612873077393e-10));
  EXPECT_EQ(r.seed, 16808);
  const int64_t t2 = (static_cast<int64_t>(16808) * 16807) & 0xFFFFFFFF;
  EXPECT_FLOAT_EQ(r.next(), static_cast<float>(static_cast<int32_t>(t2) * 4.656612873077393e-10));
  EXPECT_EQ(r.seed, static_cast<int32_t>(t2 + 1));
}

// The lane form gives the scalar clamp's bits in every lane, the sign of zero and NaN included.
TEST(DspCommon, LaneClampMatchesTheScalarClamp) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  const float cases[] = {nan,         inf,   -inf, 1.0f, -1.0f, 1.0000001f,
                         -1.0000001f, -0.0f, 0.0f, 0.3f, -0.7f, 1e-40f};
  for (float x : cases)
    for (float y : cases) {
      const dsp::StereoLanes v = dsp::laneClampPM1(dsp::StereoLanes{x, y, y, x});
      const float expected[4] = {dsp::clampPM1(x), dsp::clampPM1(y), dsp::clampPM1(y), dsp::clampPM1(x)};
      for (int k = 0; k < 4; ++k)
        EXPECT_EQ(std::bit_cast<uint32_t>(v[k]), std::bit_cast<uint32_t>(expected[k])) << x << " " << y;
    }
}
