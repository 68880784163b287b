// Parameter names and value texts: exact texts, texts that follow other values, bounds under
// hostile values and threads, the same texts whatever the process locale, and the vocabulary
// tables they are made of.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "plugin/uParamText.h"
#include "plugin/uVocabulary.h"
#include "support/commaLocale.h"
#include "support/expectValues.h"
#include "tags.h"

namespace {

// Parameter values as a plug-in would hold them.
class FakeSource : public IParamTextSource {
 public:
  float paramValue(int tag) const override { return tag < 0 || tag >= NUM_PARAMS ? 0.0f : values[tag]; }
  FakeSource& set(int tag, float v) {
    values.at(tag) = v;
    return *this;
  }
  // Stores step n the way the plug-in's stepped writes do: (n + 0.1) / scale.
  FakeSource& step(int tag, int n, float scale) { return set(tag, (n + 0.1f) / scale); }
  FakeSource& type(int t) { return step(DISTORT_TYPE_TAG, t, 99.99f); }

  std::array<float, NUM_PARAMS> values{};
};

std::string display(int tag, float v) { return getParamDisplay(FakeSource().set(tag, v), tag); }
float dest(int d) { return (d + 0.1f) / 127.99f; }

// The tables must be usable before any code runs (a host may create an instance from another
// library's static initialiser), so they must be compile-time constants.
static_assert(DISTORT_TYPE_STR[51] == "Two Band Wave-Shaper");

std::string_view knob(const std::array<std::string_view, 416>& t, int type, int k) { return t[type * 8 + k]; }

// The rows of several tables, one after the other.
template <std::size_t... N>
std::vector<std::string_view> allRows(const std::array<std::string_view, N>&... tables) {
  std::vector<std::string_view> out;
  (out.insert(out.end(), tables.begin(), tables.end()), ...);
  return out;
}

bool hasText(int tag) { return tag >= 1 && tag <= 246 && tag != 5 && (tag < 235 || tag > 239); }

}  // namespace

// One knob value of a tag and its text, whatever the other values, one row per kind of text.
TEST(ParamText, DisplaysOfSingleValues) {
  EXPECT_TEXTS(
      {display(1, 0.625f), "-5.0 dB"}, {display(6, 1.0f), "20.0 dB"}, {display(87, 1.0f), "30.0 dB"},
      {display(41, 0.0f), "-40.0 dB"}, {display(56, 0.65f), "-14.0 dB"}, {display(86, 1.0f), "0.0 dB"},
      {display(2, 0.5f), "Equal"}, {display(2, 0.505f), "Equal"}, {display(2, 0.75f), "50/100 D/W"},
      {display(65, 0.0f), "100/0 D/W"}, {display(3, 0.5f), "On"}, {display(3, 0.49f), "Off"},
      {display(46, 0.5f), "24 dB"}, {display(51, 0.0f), "12 dB"}, {display(131, 1.0f), "Chorus"},
      {display(169, 1.0f), "Advanced Modulation Matrixs"}, {display(234, 0.5f), "Compressor Mode 2"},
      {display(246, 0.2f), "Absolute WaveShaper"}, {display(7, 0.375f), "37 %"}, {display(70, 0.5f), "0 %"},
      {display(92, 0.0f), "-100 %"}, {display(229, 1.0f), "100 %"}, {display(19, 0.0f), "20 Hz"},
      {display(19, 0.5f), "640 Hz"}, {display(53, 1.0f), "20.48 KHz"}, {display(42, 0.0f), "Off"},
      {display(42, 1.0f), "255 ms"}, {display(43, 1.0f), "16.4 sec"}, {display(57, 0.0f), "None"},
      {display(57, 1.0f), "Limiter"}, {display(57, 0.5f), "Ratio 11.3:1"}, {display(64, 0.0f), "off"},
      {display(64, 1.0f), "13.75 Hz"}, {display(68, 0.5f), "0.43 Hz"}, {display(66, 0.48f), "24.0 ms"},
      {display(89, 0.0f), "1 ms"}, {display(91, 1.0f), "16384 ms"}, {display(129, 0.001f), "None"},
      {display(128, 0.999f), "Path 24: Widen > Comp > Filter > Distort"}, {display(143, 1.0f), "Output"},
      {display(134, 0.672596f), "1/4 QB"}, {display(135, 1.0f), "Right Saw"}, {display(133, 1.0f), "2"},
      {display(170, 1.0f), "Uni-Noise"}, {display(152, dest(41)), "Disrupt"},
      {display(180, 1.0f), "Mod 10 Amount"}, {display(153, (5 + 0.1f) / 7.99f), "Sample And Hold"},
      {display(164, 1.0f), "MIDI"}, {display(165, (2 + 0.1f) / 99.99f), "Pitch Bend"},
      {display(168, 1.0f), "CC90"}, {display(240, (31 + 0.1f) / 39.99f), "TransBoot"},
      {getMixStr(0.75f, true), "50/100 L/H"}, {toFreqStr(1.0f, 32.0f, 10.0f, false), "1.76 KHz"},
      {toFreqStr(0.0f, 4096.0f, 10.0f, false), "0.01 Hz"}, {toFreqStr(0.5f, 0.0f, 10.0f, true), ""},
      {toFreqStr(FakeSource(), 1024, 2048.0f, 10.0f, true), ""});
}

// Texts that depend on other values: synced speeds show periods (each speed follows its own LFO's
// sync; int(0.5 x 30.99 + 0.1) = 15 is "1/1T"), distortion knob destinations take the current
// type's long knob name, distortion knobs follow the type (int(0.5 x 5.99 + 0.1) = 3 is "Bass";
// the two-band split and mix keep the percentage), the first two knobs never depend on it.
// Each row sets one value (tag -1: none), then reads one text (tag -1: none).
TEST(ParamText, DisplaysThatFollowOtherValues) {
  FakeSource s;
  auto d = [&s](int tag) { return getParamDisplay(s, tag); };
  s.set(106, 1.0f).set(105, 0.5f).set(109, 1.0f).set(107, 1.0f);
  EXPECT_TEXTS({d(102), "Off"}, {d(105), "1/1T"}, {d(103), "Off"}, {d(104), "off"});
  s.set(102, 1.0f).set(84, 1.0f).set(85, 1.0f);
  EXPECT_TEXTS({d(102), "1/32T"}, {d(84), "1/32T"});
  s.set(106, 0.0f).set(85, 0.0f);
  EXPECT_TEXTS({d(102), "27.50 Hz"}, {d(84), "27.50 Hz"});
  s.set(84, 0.0f).set(157, dest(8)).type(48);
  EXPECT_TEXTS({d(84), "off"}, {d(157), "Distort: Split Freq"});
  s.type(0).set(144, dest(6));
  EXPECT_TEXTS({d(157), "Distort: Distort 1"}, {d(144), "Distort: Pre-Boost"});
  s.set(144, dest(14)).type(8);
  EXPECT_TEXTS({d(144), "Gate Threshold"}, {d(11), "-30 dB"}, {d(12), "0 %"});
  s.type(36);
  EXPECT_TEXTS({d(8), "20 Hz"}, {d(9), "16.0 Bits"}, {d(10), "1.0 Smps"});
  s.set(11, 1.0f).set(12, 1.0f).set(13, 0.5f);
  EXPECT_TEXTS({d(11), "0.0 Bits"}, {d(12), "1024.0 Smps"}, {d(13), "50 %"});
  s.type(1);
  EXPECT_EQ(d(8), "x64");
  s.set(8, 1.0f);
  EXPECT_EQ(d(8), "x65536");
  s.type(43);
  EXPECT_EQ(d(8), "Radio");
  s.set(8, 0.0f);
  EXPECT_EQ(d(8), "None");
  s.set(8, 0.5f);
  EXPECT_EQ(d(8), "Bass");
  s.set(8, 1.0f).type(44);
  EXPECT_EQ(d(8), "Off Axis");
  s.set(10, 1.0f).set(11, 0.25f).type(46);
  EXPECT_TEXTS({d(8), "Triangle"}, {d(10), "20.48 KHz"}, {d(11), "25 %"});
  s.set(9, 0.0f).set(13, 0.75f).type(40);
  EXPECT_TEXTS({d(9), "-100 %"}, {d(13), "50/100 L/H"});
  s.set(13, 1.0f).set(12, 0.5f).set(10, 0.0f).type(4);
  EXPECT_TEXTS({d(13), "30 dB"}, {d(12), "640 Hz"}, {d(10), "-100 %"});
  s.set(8, 0.5f).set(13, 0.5f).set(6, 0.75f).set(7, 0.5f).type(51);
  EXPECT_TEXTS({d(8), "50 %"}, {d(13), "50 %"}, {d(6), "10.0 dB"}, {d(7), "50 %"});
}

// The Disrupt amount is shown quantised with the live setting ("2" divides by 1, "32" by 31,
// "8" by 6), and stays a finite percentage within the range for every setting and value.
TEST(ParamText, DisruptAmountQuantisesWithTheLiveSetting) {
  struct Case {
    int quant;
    float value;
    const char* text;
  };
  const Case cases[] = {{0, 1.0f, "100 %"}, {0, 0.5f, "0 %"},  {12, 0.8f, "100 %"},
                        {1, 0.8f, "61 %"},  {7, 0.8f, "66 %"}, {0, 0.8f, "60 %"}};
  FakeSource s;
  for (const Case& c : cases) {
    s.step(133, c.quant, 12.99f).set(69, c.value);
    EXPECT_EQ(getParamDisplay(s, 69), c.text) << c.quant << " " << c.value;
  }
  for (int q = 0; q < 13; ++q) {
    for (int i = 0; i <= 100; ++i) {
      s.step(133, q, 12.99f).set(69, i / 100.0f);
      const int pct = std::atoi(getParamDisplay(s, 69).c_str());
      EXPECT_TRUE(pct >= -100 && pct <= 100) << q << " " << i;
    }
  }
}

// Names: fixed ones, none for unused or invalid tags, distortion knobs after the current type's
// knobs, Disrupt amounts after their destinations (the default ones 2, 3, 8, 86, 42, 44, 51).
TEST(ParamText, Names) {
  FakeSource s;
  const int defaults[7] = {2, 3, 8, 86, 42, 44, 51};
  for (int n = 0; n < 7; ++n) s.step(136 + n, defaults[n], 127.99f);
  auto name = [&s](int tag) { return getParamName(s, tag); };
  EXPECT_TEXTS({name(1), "Volume"}, {name(46), "High-Pass Filter 12/24 dB Type"},
               {name(85), "Disrupt Lazy Mode Tempo Sync On"}, {name(97), "Follower 3 Mod Control Amount"},
               {name(130), "Grindle 1 EQ"}, {name(142), "Disrupt 7 Destination"},
               {name(169), "Basic/Advanced Mod Matrix"}, {name(209), "Mod 10 Lower Threshold"},
               {name(233), "EQ High"}, {name(246), "WaveShaper Polar Mode On"},
               {name(8), "Distort: Distort 1"}, {name(70), "Disrupt 1 : Mix"},
               {name(72), "Disrupt 3 : Distort: Distort 1"}, {name(73), "Disrupt 4 : LFO 1 Speed"},
               {name(76), "Disrupt 7 : Widener Amount"});
  for (int tag : {-1, 0, 5, 235, 239, 247, 300, 800, 912, 1023, 1024, 1 << 30})
    EXPECT_EQ(name(tag), "") << tag;
  s.type(36);
  EXPECT_TEXTS({name(9), "Distort: Low Bits"}, {name(13), "Distort: Low/High Amount"});
  s.type(31).step(142, 13, 127.99f).step(137, 80, 127.99f).set(136, 1.0f);
  EXPECT_TEXTS({name(72), "Disrupt 3 : Distort: Split Freq"},
               {name(76), "Disrupt 7 : Distort: Low/High Amount"}, {name(71), "Disrupt 2 : Flwr Mod Amt "},
               {name(70), "Disrupt 1 : Mod 10 Amount"});
  EXPECT_EQ(name(76).size(), PARAM_NAME_MAX);
  for (int tag : {-1, 1, 129, 1023, 5000}) {
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    writeParamLabel(tag, buf);
    EXPECT_STREQ(buf, " ") << tag;
  }
}

// Each stepped tag has as many steps as its table has rows (the store's round trip of every
// step is tested with the store); the step rule clamps whatever it is given.
TEST(ParamText, StepsMatchTheirTablesAndClamp) {
  // Both ends of each run of stepped tags (57 tags in all, counted with the store).
  EXPECT_VALUES({stepCountOf(128), MODULE_PATH_STR.size()}, {stepCountOf(129), DISTORT_TYPE_STR.size()},
                {stepCountOf(133), DISRUPT_QUANT_STR.size()},
                {stepCountOf(134), DISRUPT_SPRING_TIME_STR.size()},
                {stepCountOf(135), DISRUPT_LAZY_MODE_STR.size()}, {stepCountOf(136), DEST_STR.size()},
                {stepCountOf(142), DEST_STR.size()}, {stepCountOf(143), FOLLOWER_SRC_STR.size()},
                {stepCountOf(144), DEST_STR.size()}, {stepCountOf(146), DEST_STR.size()},
                {stepCountOf(150), SRC_STR.size()}, {stepCountOf(152), SRC_STR.size()},
                {stepCountOf(153), LFO_WAVE_STR.size()}, {stepCountOf(156), LFO_WAVE_STR.size()},
                {stepCountOf(157), DEST_STR.size()}, {stepCountOf(160), DEST_STR.size()},
                {stepCountOf(161), LFO_MODE_STR.size()}, {stepCountOf(164), LFO_MODE_STR.size()},
                {stepCountOf(165), LFO_TRIGGER_STR.size()}, {stepCountOf(168), LFO_TRIGGER_STR.size()},
                {stepCountOf(170), SRC_STR.size()}, {stepCountOf(179), SRC_STR.size()},
                {stepCountOf(180), DEST_STR.size()}, {stepCountOf(189), DEST_STR.size()},
                {stepCountOf(240), WAVESHAPER_DISTORT_MODE_STR.size()},
                {stepCountOf(243), WAVESHAPER_DISTORT_MODE_STR.size()}, {stepCountOf(127), -1},
                {stepCountOf(190), -1}, {stepCountOf(-1), -1}, {stepCountOf(1024), -1});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_VALUES({steppedValue(0.999f, 23.99f, 24), 23}, {steppedValue(0.001f, 99.99f, 52), 0},
                {steppedValue(-0.5f, 23.99f, 24), 0}, {steppedValue(7.0f, 23.99f, 24), 23},
                {steppedValue(nan, 23.99f, 24), 0},
                {steppedValue(std::numeric_limits<float>::infinity(), 23.99f, 24), 23},
                {steppedValue(0.5f, 23.99f, 0), 0}, {steppedValue(FakeSource().set(129, 1.0f), 129), 51},
                {steppedValue(FakeSource().set(1, 1.0f), 1), 0}, {steppedValue(FakeSource(), 5000), 0});
}

// Every tag, every type, a sweep of values including hostile ones: texts exist exactly for the
// named tags and always fit the host's buffers; the longest fill them exactly.
TEST(ParamText, EveryTextFitsItsBuffer) {
  const float inf = std::numeric_limits<float>::infinity();
  const float values[] = {0.0f,   0.5f,  1.0f,  0.25f, 0.505f,
                          0.999f, 1e-6f, -1.0f, 2.0f,  std::numeric_limits<float>::quiet_NaN(),
                          inf,    -inf};
  FakeSource s;
  std::size_t longestName = 0, longestDisplay = 0;
  for (int t = 0; t < NUM_DISTORT_TYPES; ++t) {
    for (float v : values) {
      s.values.fill(v);
      s.type(t);
      for (int tag = -1; tag <= NUM_PARAMS; ++tag) {
        const std::string name = getParamName(s, tag);
        const std::string text = getParamDisplay(s, tag);
        SCOPED_TRACE(std::to_string(tag) + " type " + std::to_string(t) + " v " + std::to_string(v) + " " +
                     text);
        ASSERT_LE(name.size(), PARAM_NAME_MAX);
        ASSERT_LE(text.size(), PARAM_DISPLAY_MAX);
        ASSERT_EQ(!name.empty(), hasText(tag));
        ASSERT_EQ(!text.empty(), hasText(tag));
        for (const char* bad : {"nan", "inf", "2147483"}) ASSERT_EQ(text.find(bad), std::string::npos);
        longestDisplay = std::max(longestDisplay, text.size());
      }
    }
    for (int d = 0; d < NUM_MOD_DESTS; ++d) {
      s.step(142, d, 127.99f);
      longestName = std::max(longestName, getParamName(s, 76).size());
    }
  }
  EXPECT_EQ(longestDisplay, PARAM_DISPLAY_MAX);  // the module paths
  EXPECT_EQ(longestName, PARAM_NAME_MAX);
}

TEST(ParamText, CopiesAreBounded) {
  char buf[64];
  std::memset(buf, '#', sizeof buf);
  copyParamText("Disrupt 7 : Widener Amount", buf, 8);
  EXPECT_STREQ(buf, "Disrupt");
  EXPECT_EQ(buf[8], '#');
  copyParamText("abc", buf, 1);
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(buf[1], 'i');  // left from the previous copy
  copyParamText("abc", buf + 1, 0);
  copyParamText("abc", nullptr, 10);  // nothing happens
  EXPECT_EQ(buf[1], 'i');
}

// Values move on the audio thread while the host asks for texts: a text read in the middle of a
// change may mix old and new values but must never index outside a table.
TEST(ParamText, TextsWhileValuesChange) {
  struct AtomicSource : IParamTextSource {
    float paramValue(int tag) const override {
      return tag < 0 || tag >= NUM_PARAMS ? 0.0f : values[tag].load(std::memory_order_relaxed);
    }
    std::array<std::atomic<float>, NUM_PARAMS> values{};
  } s;
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (unsigned x = 12345; !stop.load();) {
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

// Rows are handed to C APIs (menus, host buffers) by data(), and must be plain ASCII without
// stray blanks; the one trailing blank the users know is kept.
TEST(Vocabulary, RowsArePlainTerminatedAscii) {
  const std::vector<std::string_view> all =
      allRows(MODULE_PATH_STR, DISTORT_TYPE_STR, DISTORT_LABEL_STR, DISTORT_DEST_STR, DISTORT_READOUT_STR,
              CAB_MODEL_STR, AMP_MODEL_STR, DISTORT_WAVE_STR, DISRUPT_LAZY_MODE_STR, DISRUPT_QUANT_STR,
              DISRUPT_SPRING_TIME_STR, FOLLOWER_SRC_STR, WAVESHAPER_DISTORT_MODE_STR, SRC_STR, SRC_HEADER_STR,
              DEST_STR, SHORT_DEST_STR, DEST_HEADER_STR, LFO_STR, LFO_WAVE_STR, SHORT_LFO_WAVE_STR,
              LFO_MODE_STR, LFO_TRIGGER_STR, PERIOD_STR, SCREEN_SIZE_STR, SHORT_SCREEN_SIZE_STR);
  int trailingBlanks = 0;
  for (std::string_view r : all) {
    SCOPED_TRACE("\"" + std::string(r) + "\"");
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r.data()[r.size()], '\0');
    EXPECT_LE(r.size(), 40u);
    EXPECT_NE(r.front(), ' ');
    trailingBlanks += r.back() == ' ';
    EXPECT_TRUE(std::all_of(r.begin(), r.end(), [](char c) { return c >= 32 && c < 127; }));
  }
  EXPECT_EQ(trailingBlanks, 1);
  EXPECT_EQ(SHORT_DEST_STR[80], "Flwr Mod Amt ");
}

// Rows the users know by their odd spellings, and rows built from other tables.
TEST(Vocabulary, RowsThatFollowOtherTables) {
  EXPECT_TEXTS({destText(8, 48), "Distort: Split Freq"}, {shortDestText(8, 48), "Dist: Split"},
               {destText(5, 31), "Dry Pan"}, {destText(-1, 0), ""}, {destText(112, 0), ""},
               {shortDestText(1 << 30, 0), ""}, {destText(8, -5), "Distort: Distort 1"},
               {destText(8, 1000), "Distort: Split Freq"});
  const char* stage[4] = {"Distort", "Filter", "Comp", "Widen"};
  for (int n = 0; n < NUM_MODULE_PATHS; ++n) {
    std::string expected = "Path " + std::string(n < 9 ? "0" : "") + std::to_string(n + 1) + ": ";
    for (int s = 0; s < 4; ++s) expected += std::string(s ? " > " : "") + stage[MODULE_PATHS[n][s]];
    EXPECT_EQ(MODULE_PATH_STR[n], expected);
  }
  // The LFO triggers are the MIDI sources an LFO can be restarted by, with the same names.
  for (int i = 6; i <= 11; ++i) EXPECT_EQ(LFO_TRIGGER_STR[i], SRC_STR[i + 10]);
  for (int i = 12; i <= 18; ++i) EXPECT_EQ(LFO_TRIGGER_STR[i], SRC_STR[i + 11]);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(SRC_STR[SRC_LFO_UNI[i]], "Uni " + std::string(SRC_STR[SRC_LFO[i]]));
  // Every destination name of a distortion knob is its caption with or without the prefix.
  for (int t = 0; t < NUM_DISTORT_TYPES; ++t) {
    for (int k = 0; k < 8; ++k) {
      const std::string caption(knob(DISTORT_LABEL_STR, t, k));
      const std::string_view dest = knob(DISTORT_DEST_STR, t, k);
      EXPECT_TRUE(dest == caption || dest == "Dist: " + caption) << t << "/" << k << " " << dest;
    }
  }
}

// ---------------------------------------------------------------------------------------
// Hosts set their users' locales; a formatter built on printf or iostreams would then write
// "-5,0 dB".

namespace {

// All texts at a sweep of values, for comparing across locales.
std::vector<std::string> allTexts() {
  std::vector<std::string> texts;
  FakeSource s;
  for (int t : {0, 4, 14, 36, 40, 45}) {
    for (float v : {0.0f, 0.13f, 0.5f, 0.625f, 0.77f, 1.0f}) {
      s.values.fill(v);
      s.type(t);
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

TEST(ParamTextLocale, CommaLocalesChangeNothing) {
  const std::vector<std::string> reference = allTexts();
  EXPECT_EQ(reference[0], "-30.0 dB");
  {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    std::ostringstream probe;
    probe << 2.5;
    const std::vector<std::string> texts = allTexts();
    std::locale::global(previous);
    ASSERT_EQ(probe.str(), "2,5");  // the locale really is in force for streams
    EXPECT_EQ(texts, reference);
  }
  const testing_support::ScopedCommaLocale comma;
  if (!comma.active())
    GTEST_SKIP() << "no locale with a comma decimal point is installed or can be generated";
  char probe[32] = "";
  std::snprintf(probe, sizeof probe, "%.1f", -5.0);
  ASSERT_STREQ(probe, "-5,0");  // printf would have written a comma
  EXPECT_EQ(allTexts(), reference);
}
