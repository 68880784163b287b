// The unit laws: each law's ends in its unit, and each inverse leads back to the stored value.
#include <gtest/gtest.h>

#include <functional>

#include "dsp/unitLaws.h"

namespace {

struct Law {
  const char* name;
  std::function<float(float)> unitOf;
  std::function<float(float)> valueOf;  // empty when the law has no inverse
  float atZero, atOne;
};

const Law LAWS[] = {
    {"level dB", [](float v) { return units::LEVEL_DB.unitOf(v); },
     [](float x) { return units::LEVEL_DB.valueOf(x); }, -30.0f, 10.0f},
    {"gain dB", [](float v) { return units::GAIN_DB.unitOf(v); },
     [](float x) { return units::GAIN_DB.valueOf(x); }, -20.0f, 20.0f},
    {"threshold dB", [](float v) { return units::THRESHOLD_DB.unitOf(v); },
     [](float x) { return units::THRESHOLD_DB.valueOf(x); }, -40.0f, 0.0f},
    {"boost dB", [](float v) { return units::BOOST_DB.unitOf(v); },
     [](float x) { return units::BOOST_DB.valueOf(x); }, -30.0f, 30.0f},
    {"bipolar %", [](float v) { return units::BIPOLAR_PERCENT.unitOf(v); },
     [](float x) { return units::BIPOLAR_PERCENT.valueOf(x); }, -100.0f, 100.0f},
    {"frequency", [](float v) { return units::frequencyHz(v); }, units::frequencyValue, 20.0f, 20480.0f},
    {"ratio", units::ratioOf, units::ratioValue, 1.0f, 128.0f},
    {"follower ms", [](float v) { return std::exp2(units::TIME_OCTAVES * v); }, units::followerMsValue, 1.0f,
     16384.0f},
    {"attack ms", [](float v) { return std::exp2(units::ATTACK_OCTAVES * v); }, nullptr, 1.0f, 256.0f},
    {"LFO Hz", [](float v) { return std::exp2(units::LFO_OCTAVES * v) * 55.0f / units::LFO_RATE_DIVISOR; },
     units::lfoRateValue, 55.0f / 2048.0f, 27.5f},
    {"And scale", units::andScale, nullptr, 64.0f, 65536.0f},
    {"hold samples", units::holdSamples, nullptr, 1.0f, 1024.0f},
};

TEST(UnitLaws, EndsAndRoundTrips) {
  for (const Law& law : LAWS) {
    SCOPED_TRACE(law.name);
    EXPECT_FLOAT_EQ(law.unitOf(0.0f), law.atZero);
    EXPECT_FLOAT_EQ(law.unitOf(1.0f), law.atOne);
    if (!law.valueOf) continue;
    for (const float v : {0.0f, 0.1f, 0.25f, 0.5f, 0.8f, 1.0f})
      EXPECT_NEAR(law.valueOf(law.unitOf(v)), v, 2e-6f) << v;
  }
}

}  // namespace
