#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "dsp/dspCommon.h"
#include "support/expectValues.h"

using namespace dsp;

namespace {
const float kNaN = std::numeric_limits<float>::quiet_NaN(), kInf = std::numeric_limits<float>::infinity();
}

// No input reads outside a table, overflows an int or leaves a phase outside [0, 1).
TEST(DspCommon, IndicesConversionsAndPhasesHoldTheirRanges) {
  const int top = std::numeric_limits<int>::max(), bottom = std::numeric_limits<int>::min();
  EXPECT_VALUES({tableIndex(0.0f), 0}, {tableIndex(1.0f), 262143}, {tableIndex(0.5f), 131071},
                {tableIndex(-3.0f), 0}, {tableIndex(7.0f), 262143}, {tableIndex(kNaN), 0},
                {tableIndex(kInf), 262143}, {tableIndex(-kInf), 0}, {filterTableIndex(1.0f), 262143},
                {filterTableIndex(0.25f), 65535}, {saturatingInt(3.99), 3}, {saturatingInt(-3.99), -3},
                {saturatingInt(1e30), top}, {saturatingInt(-1e30), bottom}, {saturatingInt(std::nan("")), 0},
                {wrapPhase(1.25), 0.25}, {wrapPhase(-0.25), 0.75}, {wrapPhase(double{kInf}), 0.0},
                {wrapPhase(std::nan("")), 0.0});
  const float tiny = wrapPhase(-1e-9f);
  EXPECT_TRUE(tiny >= 0.0f && tiny < 1.0f);
}

// The C library's 15-bit law per instance (seed 1 first gives 16838), and the 16807 sequence:
// t = seed * 16807 (32-bit wrap), seed becomes t + 1, the value t * 2^-31.
TEST(DspCommon, RandomSequences) {
  Rand15 a(42), b(42);
  for (int i = 0; i < 1000; ++i) {
    const int r = a.nextInt();
    ASSERT_TRUE(r >= 0 && r <= 32767 && r == b.nextInt());
  }
  RandSeed s;
  const float first = s.next();
  const int32_t seed = s.seed;
  const int32_t t2 = static_cast<int32_t>(16808u * 16807u);
  EXPECT_VALUES({Rand15(1).nextInt(), 16838}, {first, 16807 * 4.656612873077393e-10, testing_support::kUlps},
                {seed, 16808}, {s.next(), t2 * 4.656612873077393e-10, testing_support::kUlps},
                {s.seed, t2 + 1});
}

// The lane form gives the scalar clamp's bits in every lane, the sign of zero and NaN included.
TEST(DspCommon, LaneClampMatchesTheScalarClamp) {
  const float cases[] = {kNaN,        kInf,  -kInf, 1.0f, -1.0f, 1.0000001f,
                         -1.0000001f, -0.0f, 0.0f,  0.3f, -0.7f, 1e-40f};
  for (float x : cases) {
    for (float y : cases) {
      const StereoLanes v = laneClampPM1(StereoLanes{x, y, y, x});
      const float want[4] = {clampPM1(x), clampPM1(y), clampPM1(y), clampPM1(x)};
      for (int k = 0; k < 4; ++k)
        EXPECT_EQ(std::bit_cast<uint32_t>(v[k]), std::bit_cast<uint32_t>(want[k])) << x << " " << y;
    }
  }
}

TEST(DspCommon, ScalarMovesOfAtomicFloatsKeepEveryBit) {
  // NaN payloads, -0, denormals and the extremes go through the single-instruction forms
  // unchanged, and agree with the atomic forms both ways.
  for (uint32_t b : {0x00000000u, 0x80000000u, 0x00000001u, 0x7F7FFFFFu, 0xFF800000u, 0x7FC00001u,
                     0xFFBFFFFFu, 0x3F800000u, 0xBEAAAAABu}) {
    const float x = std::bit_cast<float>(b);
    std::atomic<float> a{0.0f};
    dsp::storeFloatRelaxed(a, x);
    EXPECT_EQ(std::bit_cast<uint32_t>(a.load()), b);
    a.store(x);
    EXPECT_EQ(std::bit_cast<uint32_t>(dsp::loadFloatRelaxed(a)), b);
    float plain = 0.0f;
    dsp::storeFloatRelaxed(plain, x);
    EXPECT_EQ(std::bit_cast<uint32_t>(plain), b);
  }
}
