// The text formatters: fixed width, clipping to the buffer, never looping on odd values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "vst2/audioeffectx.h"
#include "support/expectValues.h"

namespace {

struct Formatter {
  AudioEffectX effect{nullptr, 1, 1};
  char text[64];
  std::string f(float v, int32_t maxLen = 8) {
    std::memset(text, 'z', sizeof(text));
    effect.float2string(v, text, maxLen);
    return text;
  }
  std::string i(int32_t v, int32_t maxLen = 8) {
    std::memset(text, 'z', sizeof(text));
    effect.int2string(v, text, maxLen);
    return text;
  }
  std::string db(float v) {
    effect.dB2string(v, text, 8);
    return text;
  }
  std::string hz(float v) {
    effect.Hz2string(v, text, 8);
    return text;
  }
  std::string ms(float v) {
    effect.ms2string(v, text, 8);
    return text;
  }
};

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

}  // namespace

TEST(Formatters, FloatTextIsEightCharactersWide) {
  Formatter t;
  EXPECT_TEXTS(
      {t.f(0.0f), "0.000000"}, {t.f(1.5f), "1.500000"}, {t.f(-1.5f), "-1.50000"}, {t.f(0.25f), "0.250000"},
      {t.f(12345.5f), "12345.50"}, {t.f(1234567.0f), "1234567."}, {t.f(12345678.0f), "12345678"},
      {t.f(99999992.0f), "99999992"}, {t.f(-9999999.0f), "-9999999"}, {t.f(-0.0f), "0.000000"});
}

TEST(Formatters, FloatTextOutOfRangeOrNonFiniteIsHuge) {
  Formatter t;
  for (float v : {100000000.0f, 1e20f, -10000000.0f, -1e30f, kInf, -kInf, kNaN})
    EXPECT_EQ(t.f(v), "Huge!") << v;
}

TEST(Formatters, TextIsClippedToTheMaximumLength) {
  Formatter t;
  EXPECT_EQ(t.f(1.5f, 3), "1.5");
  EXPECT_EQ(t.text[3], 0);
  EXPECT_EQ(t.text[4], 'z');  // nothing written past the terminator
  EXPECT_TEXTS({t.f(kNaN, 2), "Hu"}, {t.f(1.5f, 0), ""}, {t.f(1.5f, -4), ""}, {t.i(123456, 3), "123"});
}

TEST(Formatters, IntegerText) {
  Formatter t;
  EXPECT_TEXTS(
      {t.i(0), "0"}, {t.i(-42), "-42"}, {t.i(99999999), "99999999"}, {t.i(100000000), "Huge!"},
      {t.i(std::numeric_limits<int32_t>::max()), "Huge!"},
      {t.i(std::numeric_limits<int32_t>::min(), 20), "-2147483648"});
}

TEST(Formatters, DecibelsHertzAndMilliseconds) {
  Formatter t;
  EXPECT_TEXTS(
      {t.db(0.0f), "-oo"}, {t.db(-1.0f), "-oo"}, {t.db(1.0f), "0.000000"}, {t.db(10.0f), "20.00000"},
      {t.db(kNaN), "Huge!"}, {t.db(kInf), "Huge!"}, {t.hz(0.0f), "0.000000"});
  EXPECT_EQ(t.hz(100.0f), "441.0000");  // 44100 / 100
  EXPECT_EQ(t.ms(44100.0f), "1000.000");
  EXPECT_EQ(t.ms(kNaN), "Huge!");
  t.effect.setSampleRate(0.0f);
  EXPECT_EQ(t.ms(1.0f), "Huge!");  // a zero rate must not produce garbage
}
