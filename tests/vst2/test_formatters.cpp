// The text formatters: fixed width, clipping to the buffer, never looping on odd values.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "support/expectValues.h"
#include "vst2/audioeffectx.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Formatter {
  AudioEffectX effect{nullptr, 1, 1};
  char text[64];
  // Runs one formatter on a buffer of 'z's, so that a missing terminator shows.
  template <class V>
  std::string run(void (AudioEffect::*format)(V, char*, int32_t), V v, int32_t maxLen = 8) {
    std::memset(text, 'z', sizeof(text));
    (effect.*format)(v, text, maxLen);
    return text;
  }
  std::string f(float v, int32_t maxLen = 8) { return run(&AudioEffect::float2string, v, maxLen); }
  std::string i(int32_t v, int32_t maxLen = 8) { return run(&AudioEffect::int2string, v, maxLen); }
};

}  // namespace

TEST(Formatters, NumbersAreEightCharactersWideAndHugeOutsideTheirRange) {
  Formatter t;
  EXPECT_TEXTS({t.f(0.0f), "0.000000"}, {t.f(1.5f), "1.500000"}, {t.f(-1.5f), "-1.50000"},
               {t.f(0.25f), "0.250000"}, {t.f(12345.5f), "12345.50"}, {t.f(1234567.0f), "1234567."},
               {t.f(12345678.0f), "12345678"}, {t.f(99999992.0f), "99999992"}, {t.f(-9999999.0f), "-9999999"},
               {t.f(-0.0f), "0.000000"}, {t.i(0), "0"}, {t.i(-42), "-42"}, {t.i(99999999), "99999999"},
               {t.i(100000000), "Huge!"}, {t.i(std::numeric_limits<int32_t>::max()), "Huge!"},
               {t.i(std::numeric_limits<int32_t>::min(), 20), "-2147483648"});
  for (float v : {100000000.0f, 1e20f, -10000000.0f, -1e30f, kInf, -kInf, kNaN})
    EXPECT_EQ(t.f(v), "Huge!") << v;
}

TEST(Formatters, TextIsClippedToTheMaximumLength) {
  Formatter t;
  EXPECT_EQ(t.f(1.5f, 3), "1.5");
  EXPECT_EQ(t.text[4], 'z');  // nothing written past the terminator
  EXPECT_TEXTS({t.f(kNaN, 2), "Hu"}, {t.f(1.5f, 0), ""}, {t.f(1.5f, -4), ""}, {t.i(123456, 3), "123"});
  EXPECT_EQ(t.text[4], 'z');
}

TEST(Formatters, DecibelsHertzAndMilliseconds) {
  Formatter t;
  const auto dB = &AudioEffect::dB2string, hz = &AudioEffect::Hz2string, ms = &AudioEffect::ms2string;
  EXPECT_TEXTS({t.run(dB, 0.0f), "-oo"}, {t.run(dB, -1.0f), "-oo"}, {t.run(dB, 1.0f), "0.000000"},
               {t.run(dB, 10.0f), "20.00000"}, {t.run(dB, kNaN), "Huge!"}, {t.run(dB, kInf), "Huge!"},
               {t.run(hz, 0.0f), "0.000000"}, {t.run(hz, 100.0f), "441.0000"},  // 44100 / 100
               {t.run(ms, 44100.0f), "1000.000"}, {t.run(ms, kNaN), "Huge!"});
  t.effect.setSampleRate(0.0f);
  EXPECT_EQ(t.run(ms, 1.0f), "Huge!");  // a zero rate must not produce garbage
}
