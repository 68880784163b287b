#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "plugin/uParamText.h"
#include "plugin/uVocabulary.h"
#include "support/commaLocale.h"
#include "tags.h"
#include "support/expectValues.h"

namespace {

// Parameter values as a plug-in would hold them.
class FakeSource : public IParamTextSource {
 public:
  float paramValue(int tag) const override {
    if (tag < 0 || tag >= NUM_PARAMS) return 0.0f;
    return values[tag];
  }
  FakeSource& set(int tag, float v) {
    values.at(tag) = v;
    return *this;
  }
  // Stores step n the way the plug-in's stepped writes do: (n + 0.1) / scale.
  FakeSource& step(int tag, int n, float scale) { return set(tag, (n + 0.1f) / scale); }
  FakeSource& type(int t) { return step(DISTORT_TYPE_TAG, t, 99.99f); }

  std::array<float, NUM_PARAMS> values{};
};

std::string display(const FakeSource& s, int tag) { return getParamDisplay(s, tag); }
std::string display(int tag, float v) { return getParamDisplay(FakeSource().set(tag, v), tag); }

bool hasText(int tag) { return tag >= 1 && tag <= 246 && tag != 5 && (tag < 235 || tag > 239); }

}  // namespace

// One knob value of a tag and its text, whatever the other values.
TEST(ParamText, DisplaysOfSingleValues) {
  struct Case {
    int tag;
    float value;
    const char* text;
  };
  const Case cases[] = {
      {1, 0.625f, "-5.0 dB"}, {1, 1.0f, "10.0 dB"}, {60, 0.0f, "-30.0 dB"}, {15, 0.5f, "0.0 dB"},
      {6, 1.0f, "20.0 dB"}, {231, 0.25f, "-10.0 dB"}, {87, 0.0f, "-30.0 dB"}, {87, 1.0f, "30.0 dB"},
      {41, 0.0f, "-40.0 dB"}, {56, 0.65f, "-14.0 dB"}, {86, 1.0f, "0.0 dB"}, {2, 0.5f, "Equal"},
      {2, 0.505f, "Equal"}, {2, 0.75f, "50/100 D/W"}, {2, 0.25f, "100/50 D/W"}, {2, 1.0f, "0/100 D/W"},
      {65, 0.0f, "100/0 D/W"}, {3, 0.5f, "On"}, {3, 0.49f, "Off"}, {83, 1.0f, "On"}, {199, 0.0f, "Off"},
      {46, 0.5f, "24 dB"}, {51, 0.0f, "12 dB"}, {131, 1.0f, "Chorus"}, {131, 0.0f, "Widener"},
      {169, 1.0f, "Advanced Modulation Matrixs"}, {169, 0.0f, "Basic Modulation Matrix"},
      {234, 0.0f, "Compressor Mode 1"}, {234, 0.5f, "Compressor Mode 2"}, {246, 1.0f, "Polar WaveShaper"},
      {246, 0.2f, "Absolute WaveShaper"}, {7, 0.375f, "37 %"}, {245, 1.0f, "100 %"}, {70, 0.5f, "0 %"},
      {92, 0.0f, "-100 %"}, {229, 1.0f, "100 %"}, {19, 0.0f, "20 Hz"}, {19, 0.5f, "640 Hz"}, {19, 1.0f, "20.48 KHz"},
      {53, 1.0f, "20.48 KHz"}, {42, 0.0f, "Off"}, {42, 1.0f, "255 ms"}, {43, 1.0f, "16.4 sec"}, {59, 0.5f, "127 ms"},
      {57, 0.0f, "None"}, {57, 1.0f, "Limiter"}, {57, 0.5f, "Ratio 11.3:1"}, {64, 0.0f, "off"},
      {64, 1.0f, "13.75 Hz"}, {68, 0.5f, "0.43 Hz"}, {66, 1.0f, "50.0 ms"}, {66, 0.48f, "24.0 ms"},
      {89, 0.0f, "1 ms"}, {91, 1.0f, "16384 ms"}, {129, 0.001f, "None"}, {129, 1.0f, "Two Band Wave-Shaper"},
      {128, 1.0f, "Path 24: Widen > Comp > Filter > Distort"},
      {128, 0.999f, "Path 24: Widen > Comp > Filter > Distort"}, {143, 1.0f, "Output"}, {134, 0.672596f, "1/4 QB"},
      {135, 1.0f, "Right Saw"}, {133, 1.0f, "2"}, {170, 1.0f, "Uni-Noise"}, {152, (41 + 0.1f) / 127.99f, "Disrupt"},
      {180, 1.0f, "Mod 10 Amount"}, {153, (5 + 0.1f) / 7.99f, "Sample And Hold"}, {164, 1.0f, "MIDI"},
      {165, (2 + 0.1f) / 99.99f, "Pitch Bend"}, {168, 1.0f, "CC90"}, {243, 1.0f, "Valve"},
      {240, (31 + 0.1f) / 39.99f, "TransBoot"}};
  for (const Case& c : cases) EXPECT_EQ(display(c.tag, c.value), c.text) << c.tag << " " << c.value;
}

TEST(ParamText, FormatterHelpers) {
  EXPECT_TEXTS(
      {getMixStr(0.75f, true), "50/100 L/H"}, {toFilterStr(1.0f, true), "20480 Hz"},
      {getEnvLenStr(1.0f, 14.0f, false), "16383 ms"}, {toFreqStr(1.0f, 32.0f, 10.0f, false), "1.76 KHz"},
      {toFreqStr(0.0f, 4096.0f, 10.0f, false), "0.01 Hz"}, {toFreqStr(0.5f, 0.0f, 10.0f, true), ""},
      {toFreqStr(FakeSource(), 1024, 2048.0f, 10.0f, true), ""},
      {toFreqStr(FakeSource(), -1, 2048.0f, 10.0f, true), ""}, {getFloatStr(-5.0f, 1), "-5.0"},
      {getFloatStr(20.48f, 2), "20.48"}, {getFloatStr(2.5f, 0), "2"});
}

// Texts that depend on other values: synced speeds show periods (each speed follows its own LFO's
// sync; int(0.5 x 30.99 + 0.1) = 15 is "1/1T"), distortion knob destinations take the current
// type's long knob name, distortion knobs follow the type (int(0.5 x 5.99 + 0.1) = 3 is "Bass";
// the two-band split and mix keep the percentage), the first two knobs never depend on it.
// Each row sets one value (tag -1: none), then reads one text (tag -1: none).
TEST(ParamText, DisplaysThatFollowOtherValues) {
  struct Step {
    int setTag;
    float value;
    int readTag;
    const char* text;
  };
  auto type = [](int t) { return (t + 0.1f) / 99.99f; };
  auto dest = [](int d) { return (d + 0.1f) / 127.99f; };
  const Step steps[] = {
      {106, 1.0f, 102, "Off"}, {102, 1.0f, 102, "1/32T"}, {106, 0.0f, 102, "27.50 Hz"}, {105, 0.5f, -1, nullptr},
      {109, 1.0f, 105, "1/1T"}, {107, 1.0f, 103, "Off"}, {-1, 0, 104, "off"}, {84, 1.0f, -1, nullptr},
      {85, 1.0f, 84, "1/32T"}, {85, 0.0f, 84, "27.50 Hz"}, {84, 0.0f, 84, "off"}, {157, dest(8), -1, nullptr},
      {129, type(48), 157, "Distort: Split Freq"}, {129, type(0), 157, "Distort: Distort 1"},
      {144, dest(6), 144, "Distort: Pre-Boost"}, {144, dest(14), 144, "Gate Threshold"},
      {129, type(8), 11, "-30 dB"}, {-1, 0, 12, "0 %"}, {129, type(36), 8, "20 Hz"}, {-1, 0, 9, "16.0 Bits"},
      {-1, 0, 10, "1.0 Smps"}, {11, 1.0f, 11, "0.0 Bits"}, {12, 1.0f, 12, "1024.0 Smps"}, {13, 0.5f, 13, "50 %"},
      {129, type(1), 8, "x64"}, {8, 1.0f, 8, "x65536"}, {129, type(43), 8, "Radio"}, {8, 0.0f, 8, "None"},
      {8, 0.5f, 8, "Bass"}, {8, 1.0f, -1, nullptr}, {129, type(44), 8, "Off Axis"}, {10, 1.0f, -1, nullptr},
      {11, 0.25f, -1, nullptr}, {129, type(46), 8, "Triangle"}, {-1, 0, 10, "20.48 KHz"}, {-1, 0, 11, "25 %"},
      {9, 0.0f, -1, nullptr}, {13, 0.75f, -1, nullptr}, {129, type(40), 9, "-100 %"}, {-1, 0, 13, "50/100 L/H"},
      {13, 1.0f, -1, nullptr}, {12, 0.5f, -1, nullptr}, {10, 0.0f, -1, nullptr}, {129, type(4), 13, "30 dB"},
      {-1, 0, 12, "640 Hz"}, {-1, 0, 10, "-100 %"}, {8, 0.5f, -1, nullptr}, {13, 0.5f, -1, nullptr},
      {129, type(51), 8, "50 %"}, {-1, 0, 13, "50 %"}, {6, 0.75f, 6, "10.0 dB"}, {7, 0.5f, 7, "50 %"}};
  FakeSource s;
  int row = 0;
  for (const Step& st : steps) {
    if (st.setTag >= 0) s.set(st.setTag, st.value);
    if (st.readTag >= 0) {
      EXPECT_EQ(display(s, st.readTag), st.text) << "row " << row;
    }
    ++row;
  }
}

TEST(ParamText, DisruptAmountQuantisesWithTheLiveSetting) {
  FakeSource s;
  s.set(69, 1.0f);
  EXPECT_EQ(display(s, 69), "100 %");
  s.set(69, 0.5f);
  EXPECT_EQ(display(s, 69), "0 %");
  s.set(69, 0.8f).step(133, 12, 12.99f);  // "2": divisor 1
  EXPECT_EQ(display(s, 69), "100 %");
  s.step(133, 1, 12.99f);  // "32": divisor 31, 19 / 31
  EXPECT_EQ(display(s, 69), "61 %");
  s.step(133, 7, 12.99f);  // "8" divides by 6: 4 / 6
  EXPECT_EQ(display(s, 69), "66 %");
  s.step(133, 0, 12.99f);
  EXPECT_EQ(display(s, 69), "60 %");
  // Every setting and value gives a finite percentage within the range.
  for (int q = 0; q < 13; ++q) {
    s.step(133, q, 12.99f);
    for (int i = 0; i <= 100; ++i) {
      s.set(69, i / 100.0f);
      const std::string text = display(s, 69);
      ASSERT_GE(text.size(), 3u);
      const int pct = std::atoi(text.c_str());
      EXPECT_TRUE(pct >= -100 && pct <= 100) << q << " " << i << " " << text;
    }
  }
}

TEST(ParamText, Names) {
  FakeSource s;
  const std::pair<int, const char*> names[] = {
      {1, "Volume"}, {4, "Distort DC On"}, {18, "Pre-EQ Band 4 Gain"}, {32, "Post-EQ Band 1 Frequency"},
      {39, "Post-EQ Band 4 Band-Width"}, {46, "High-Pass Filter 12/24 dB Type"}, {52, "Low-Pass ZD Filter"},
      {83, "Disrupt 7 On"}, {85, "Disrupt Lazy Mode Tempo Sync On"}, {97, "Follower 3 Mod Control Amount"},
      {113, "LFO 4 Humanization"}, {120, "Mod 3 Amount"}, {127, "Mod 10 Amount"}, {130, "Grindle 1 EQ"},
      {142, "Disrupt 7 Destination"}, {152, "Follower 3 Mod Control Source"}, {169, "Basic/Advanced Mod Matrix"},
      {209, "Mod 10 Lower Threshold"}, {220, "Mod 1 Offset"}, {231, "EQ Mid 1"}, {233, "EQ High"},
      {245, "WaveShaper 2 Amount 2"}, {246, "WaveShaper Polar Mode On"}};
  for (const auto& [tag, name] : names) EXPECT_EQ(getParamName(s, tag), name) << tag;
  for (int tag : {-1, 0, 5, 235, 239, 247, 300, 800, 912, 1023, 1024, 1 << 30})
    EXPECT_EQ(getParamName(s, tag), "") << tag;

  // Distortion knobs are named after the current type's knobs.
  EXPECT_EQ(getParamName(s, 6), "Distort: Pre-Boost");
  EXPECT_EQ(getParamName(s, 8), "Distort: Distort 1");
  s.type(36);
  EXPECT_EQ(getParamName(s, 9), "Distort: Low Bits");
  EXPECT_EQ(getParamName(s, 13), "Distort: Low/High Amount");
}

TEST(ParamText, DisruptAmountsAreNamedAfterTheirDestinations) {
  FakeSource s;
  // The default destinations 2, 3, 8, 86, 42, 44, 51.
  const int defaults[7] = {2, 3, 8, 86, 42, 44, 51};
  for (int n = 0; n < 7; ++n) s.step(136 + n, defaults[n], 127.99f);
  EXPECT_TEXTS(
      {getParamName(s, 70), "Disrupt 1 : Mix"}, {getParamName(s, 71), "Disrupt 2 : Pan"},
      {getParamName(s, 72), "Disrupt 3 : Distort: Distort 1"}, {getParamName(s, 73), "Disrupt 4 : LFO 1 Speed"},
      {getParamName(s, 74), "Disrupt 5 : Filter High Freq"}, {getParamName(s, 75), "Disrupt 6 : Filter Low Freq"},
      {getParamName(s, 76), "Disrupt 7 : Widener Amount"});
  s.type(31);
  EXPECT_EQ(getParamName(s, 72), "Disrupt 3 : Distort: Split Freq");
  s.step(142, 13, 127.99f);
  EXPECT_EQ(getParamName(s, 76), "Disrupt 7 : Distort: Low/High Amount");
  EXPECT_EQ(getParamName(s, 76).size(), PARAM_NAME_MAX);
  s.step(137, 80, 127.99f);
  EXPECT_EQ(getParamName(s, 71), "Disrupt 2 : Flwr Mod Amt ");
  s.set(136, 1.0f);
  EXPECT_EQ(getParamName(s, 70), "Disrupt 1 : Mod 10 Amount");
}

TEST(ParamText, LabelIsOneBlank) {
  for (int tag : {-1, 0, 1, 69, 129, 246, 1023, 5000}) {
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    writeParamLabel(tag, buf);
    EXPECT_STREQ(buf, " ");
  }
}

// The step of every stepped tag selects a row of its table: the last step the last row, and
// a stored step reads back as itself.
TEST(ParamText, StepCountsMatchTheirTables) {
  // Tag range, its table's rows, and the scale stored programs and the editor's menus write
  // step n with: (n + 0.1) / scale.
  struct Expect {
    int first, last;
    std::size_t rows;
    float writeScale;
  };
  const Expect expected[] = {
      {128, 128, MODULE_PATH_STR.size(), 23.99f}, {129, 129, DISTORT_TYPE_STR.size(), 99.99f},
      {133, 133, DISRUPT_QUANT_STR.size(), 12.99f}, {134, 134, DISRUPT_SPRING_TIME_STR.size(), 17.99f},
      {135, 135, DISRUPT_LAZY_MODE_STR.size(), 4.99f}, {136, 142, DEST_STR.size(), 127.99f},
      {143, 143, FOLLOWER_SRC_STR.size(), 9.99f}, {144, 146, DEST_STR.size(), 127.99f},
      {150, 152, SRC_STR.size(), 127.99f}, {153, 156, LFO_WAVE_STR.size(), 7.99f},
      {157, 160, DEST_STR.size(), 127.99f}, {161, 164, LFO_MODE_STR.size(), 4.99f},
      {165, 168, LFO_TRIGGER_STR.size(), 99.99f}, {170, 179, SRC_STR.size(), 127.99f},
      {180, 189, DEST_STR.size(), 127.99f}, {240, 240, WAVESHAPER_DISTORT_MODE_STR.size(), 39.99f},
      {243, 243, WAVESHAPER_DISTORT_MODE_STR.size(), 39.99f}};
  int steppedTags = 0;
  for (int tag = -2; tag < NUM_PARAMS + 2; ++tag) {
    if (stepCountOf(tag) < 0) {
      EXPECT_EQ(stepScaleOf(tag), 0.0f) << tag;
      continue;
    }
    ++steppedTags;
    const Expect* match = nullptr;
    for (const Expect& e : expected)
      if (tag >= e.first && tag <= e.last) match = &e;
    ASSERT_NE(match, nullptr) << tag;
    const int count = stepCountOf(tag);
    EXPECT_EQ(static_cast<std::size_t>(count), match->rows) << tag;
    EXPECT_EQ(steppedValue(FakeSource().set(tag, 1.0f), tag), count - 1) << tag;
    EXPECT_EQ(steppedValue(FakeSource().set(tag, 0.0f), tag), 0) << tag;
    for (int n = 0; n < count; ++n) {
      EXPECT_EQ(steppedValue(FakeSource().set(tag, (n + 0.1f) / match->writeScale), tag), n)
          << tag << " " << n;
      EXPECT_EQ(steppedValue(FakeSource().set(tag, (n + 0.1f) / stepScaleOf(tag)), tag), n)
          << tag << " " << n;
    }
  }
  EXPECT_EQ(steppedTags, 1 + 1 + 1 + 1 + 1 + 7 + 1 + 3 + 3 + 4 + 4 + 4 + 4 + 10 + 10 + 2);
}

TEST(ParamText, StepRuleClampsEveryInput) {
  EXPECT_VALUES(
      {steppedValue(0.999f, 23.99f, 24), 23}, {steppedValue(1.0f, 23.99f, 24), 23},
      {steppedValue(0.001f, 99.99f, 52), 0}, {steppedValue(-0.5f, 23.99f, 24), 0},
      {steppedValue(7.0f, 23.99f, 24), 23}, {steppedValue(std::numeric_limits<float>::quiet_NaN(), 23.99f, 24), 0},
      {steppedValue(std::numeric_limits<float>::infinity(), 23.99f, 24), 23}, {steppedValue(0.5f, 23.99f, 0), 0});
  EXPECT_EQ(steppedValue(FakeSource().set(1, 1.0f), 1), 0);  // not stepped
  EXPECT_EQ(steppedValue(FakeSource(), 5000), 0);
}

// Every tag, every type, a sweep of values including hostile ones: texts exist exactly for
// the named tags and always fit the host's buffers.
TEST(ParamText, EveryTextFitsItsBuffer) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> values = {0.0f, 0.5f, 1.0f, 0.25f, 0.505f, 0.999f, 1e-6f, -1.0f, 2.0f, nan, inf, -inf};
  FakeSource s;
  std::size_t longestName = 0, longestDisplay = 0;
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type) {
    for (float v : values) {
      s.values.fill(v);
      s.type(type);
      for (int tag = -1; tag <= NUM_PARAMS; ++tag) {
        const std::string name = getParamName(s, tag);
        const std::string text = getParamDisplay(s, tag);
        ASSERT_LE(name.size(), PARAM_NAME_MAX) << tag << " type " << type << " v " << v << " " << name;
        ASSERT_LE(text.size(), PARAM_DISPLAY_MAX) << tag << " type " << type << " v " << v << " " << text;
        ASSERT_EQ(!name.empty(), hasText(tag)) << tag;
        ASSERT_EQ(!text.empty(), hasText(tag)) << tag;
        ASSERT_EQ(text.find("nan"), std::string::npos) << tag << " " << text;
        ASSERT_EQ(text.find("inf"), std::string::npos) << tag << " " << text;
        ASSERT_EQ(text.find("2147483"), std::string::npos) << tag << " " << text;
        longestName = std::max(longestName, name.size());
        longestDisplay = std::max(longestDisplay, text.size());
      }
    }
  }
  EXPECT_EQ(longestDisplay, PARAM_DISPLAY_MAX);  // the module paths
  // Every Disrupt destination under every type.
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type) {
    s.type(type);
    for (int d = 0; d < NUM_MOD_DESTS; ++d) {
      s.step(142, d, 127.99f);
      const std::string name = getParamName(s, 76);
      ASSERT_LE(name.size(), PARAM_NAME_MAX) << name;
      longestName = std::max(longestName, name.size());
    }
  }
  EXPECT_EQ(longestName, PARAM_NAME_MAX);
}

TEST(ParamText, CopiesAreBounded) {
  char buf[64];
  std::memset(buf, '#', sizeof buf);
  copyParamText("Disrupt 7 : Widener Amount", buf, 8);
  EXPECT_STREQ(buf,
               "Disrup"
               "t");
  EXPECT_EQ(buf[8], '#');
  copyParamText("abc", buf, 1);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(buf[1], 'i');  // left from the previous copy
  std::memset(buf, '#', sizeof buf);
  copyParamText("abc", buf, 0);
  EXPECT_EQ(buf[0], '#');
  copyParamText("abc", nullptr, 10);  // nothing happens

  // The host forms never write past their default sizes.
  FakeSource s;
  s.set(128, 1.0f).step(142, 13, 127.99f).type(31);
  std::memset(buf, '#', sizeof buf);
  writeParamDisplay(s, 128, buf);
  EXPECT_STREQ(buf, "Path 24: Widen > Comp > Filter > Distort");
  EXPECT_EQ(buf[PARAM_DISPLAY_BUFFER], '#');
  std::memset(buf, '#', sizeof buf);
  writeParamName(s, 76, buf);
  EXPECT_STREQ(buf, "Disrupt 7 : Distort: Low/High Amount");
  EXPECT_EQ(buf[PARAM_NAME_BUFFER], '#');
  std::memset(buf, '#', sizeof buf);
  writeParamDisplay(s, 128, buf, 9);
  EXPECT_STREQ(buf, "Path 24:");
  EXPECT_EQ(buf[9], '#');
  std::memset(buf, '#', sizeof buf);
  writeParamName(s, 0, buf);
  EXPECT_STREQ(buf, "");
}

// Values move on the audio thread while the host asks for texts: a text read in the middle
// of a change may mix old and new values but must never index outside a table.
TEST(ParamText, TextsWhileValuesChange) {
  class AtomicSource : public IParamTextSource {
   public:
    float paramValue(int tag) const override {
      if (tag < 0 || tag >= NUM_PARAMS) return 0.0f;
      return values[tag].load(std::memory_order_relaxed);
    }
    std::array<std::atomic<float>, NUM_PARAMS> values{};
  };
  AtomicSource s;
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    unsigned x = 12345;
    while (!stop.load()) {
      x = x * 1103515245u + 12345u;
      const float v = static_cast<float>((x >> 8) & 0xffff) / 65535.0f;
      s.values[129].store(v);
      s.values[133].store(1.0f - v);
      s.values[136 + (x >> 28) % 7].store(v);
      s.values[6 + (x >> 24) % 8].store(v);
    }
  });
  for (int round = 0; round < 200; ++round) {
    for (int tag = 1; tag <= 246; ++tag) {
      char name[PARAM_NAME_BUFFER];
      char text[PARAM_DISPLAY_BUFFER];
      writeParamName(s, tag, name);
      writeParamDisplay(s, tag, text);
      ASSERT_LE(std::strlen(name), PARAM_NAME_MAX);
      ASSERT_LE(std::strlen(text), PARAM_DISPLAY_MAX);
    }
  }
  stop = true;
  writer.join();
}

// ---------------------------------------------------------------------------------------
// Locale independence. Hosts set their users' locales; a formatter built on printf or
// iostreams would then write "-5,0 dB".

namespace {

// All texts at a sweep of values, for comparing across locales.
std::vector<std::string> allTexts() {
  std::vector<std::string> texts;
  FakeSource s;
  for (int type : {0, 4, 14, 36, 40, 45}) {
    for (float v : {0.0f, 0.13f, 0.5f, 0.625f, 0.77f, 1.0f}) {
      s.values.fill(v);
      s.type(type);
      for (int tag = 1; tag <= 246; ++tag) texts.push_back(getParamDisplay(s, tag));
    }
  }
  return texts;
}

// A thousands separator and comma decimal point for iostreams.
struct CommaPunct : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

}  // namespace

TEST(ParamTextLocale, IostreamCommaLocaleChangesNothing) {
  const std::vector<std::string> reference = allTexts();
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
  std::ostringstream probe;
  probe << 2.5;
  const std::vector<std::string> texts = allTexts();
  std::locale::global(previous);
  ASSERT_EQ(probe.str(), "2,5");  // the locale really is in force for streams
  EXPECT_EQ(texts, reference);
}

TEST(ParamTextLocale, CLibraryCommaLocaleChangesNothing) {
  const std::vector<std::string> reference = allTexts();
  std::vector<std::string> texts;
  char probe[32] = "";
  {
    const testing_support::ScopedCommaLocale comma;
    if (!comma.active())
      GTEST_SKIP() << "no locale with a comma decimal point is installed or can be generated";
    std::snprintf(probe, sizeof probe, "%.1f", -5.0);
    texts = allTexts();
  }
  ASSERT_STREQ(probe, "-5,0");  // printf would have written a comma
  EXPECT_EQ(texts, reference);
  EXPECT_EQ(reference[0 * 246 + 0], "-30.0 dB");
}
