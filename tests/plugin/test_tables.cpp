// The data tables as invariants: the vocabulary, the tag map's defaults, program names held in
// tags, and the built-in bank (names, rows and what the fifty programs cover together).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/uPlugin.h"
#include "plugin/uPluginPresetsBanks.h"
#include "plugin/uTagMap.h"
#include "plugin/uVocabulary.h"
#include "support/expectValues.h"

namespace {

// The tables must be usable before any code runs (a host may create an instance from another
// library's static initialiser), so they must be compile-time constants.
static_assert(DISTORT_TYPE_STR[51] == "Two Band Wave-Shaper");
static_assert(DISTORT_LABEL_STR[49 * 8 + 4] == "D");

using Rows = std::vector<std::string_view>;
template <std::size_t N>
Rows rows(const std::array<std::string_view, N>& t) {
  return Rows(t.begin(), t.end());
}

std::string_view knob(const std::array<std::string_view, 416>& t, int type, int k) { return t[type * 8 + k]; }

std::string decode(const float* values) {
  char text[PROGRAM_NAME_LENGTH + 1];
  std::memset(text, 'q', sizeof(text));
  tagmap::decodeNameTags(values, text);
  return text;
}

int stepOf(const float* row, int tag) {
  const tagmap::Row& r = tagmap::rowOf(tag);
  return std::min(static_cast<int>(row[tag] * r.scale + 0.1f), r.steps - 1);
}

}  // namespace

// Rows are handed to C APIs (menus, host buffers) by data(), and must be plain ASCII without
// stray blanks; the one trailing blank the users know is kept.
TEST(Vocabulary, RowsArePlainTerminatedAscii) {
  const Rows tables[] = {
      rows(MODULE_PATH_STR),       rows(DISTORT_TYPE_STR),       rows(DISTORT_LABEL_STR),
      rows(DISTORT_DEST_STR),      rows(DISTORT_READOUT_STR),    rows(CAB_MODEL_STR),
      rows(AMP_MODEL_STR),         rows(DISTORT_WAVE_STR),       rows(DISRUPT_LAZY_MODE_STR),
      rows(DISRUPT_QUANT_STR),     rows(DISRUPT_SPRING_TIME_STR), rows(FOLLOWER_SRC_STR),
      rows(WAVESHAPER_DISTORT_MODE_STR), rows(SRC_STR),          rows(SRC_HEADER_STR),
      rows(DEST_STR),              rows(SHORT_DEST_STR),         rows(DEST_HEADER_STR),
      rows(LFO_STR),               rows(LFO_WAVE_STR),           rows(SHORT_LFO_WAVE_STR),
      rows(LFO_MODE_STR),          rows(LFO_TRIGGER_STR),        rows(PERIOD_STR),
      rows(SCREEN_SIZE_STR),       rows(SHORT_SCREEN_SIZE_STR)};
  int trailingBlanks = 0;
  for (const Rows& table : tables) {
    for (std::string_view r : table) {
      SCOPED_TRACE("\"" + std::string(r) + "\"");
      ASSERT_FALSE(r.empty());
      EXPECT_EQ(r.data()[r.size()], '\0');
      EXPECT_LE(r.size(), 40u);
      EXPECT_NE(r.front(), ' ');
      trailingBlanks += r.back() == ' ';
      for (char c : r) EXPECT_TRUE(c >= 32 && c < 127);
    }
  }
  EXPECT_EQ(trailingBlanks, 1);
  EXPECT_EQ(SHORT_DEST_STR[80], "Flwr Mod Amt ");
}

// Rows the users know by their odd spellings, and rows built from other tables.
TEST(Vocabulary, SpellingsAndRowsThatFollowOtherTables) {
  EXPECT_TEXTS(
      {DISTORT_TYPE_STR[36], "Two Band Low-FI"}, {DISTORT_TYPE_STR[14], "Low-Fi"},
      {WAVESHAPER_DISTORT_MODE_STR[31], "TransBoot"}, {DISRUPT_SPRING_TIME_STR[17], "1 QB"},
      {PERIOD_STR[30], "1/32T"}, {SHORT_LFO_WAVE_STR[5], "S And H"}, {LFO_WAVE_STR[7], "WaveShaper2"},
      {SCREEN_SIZE_STR[2], "Set to 200% Screen Size"}, {knob(DISTORT_LABEL_STR, 0, 2), "Dist C"},
      {knob(DISTORT_READOUT_STR, 0, 7), "Distort: Distort 6"}, {knob(DISTORT_LABEL_STR, 14, 3), "S&H"},
      {knob(DISTORT_DEST_STR, 12, 2), "Dist: Limit"}, {knob(DISTORT_LABEL_STR, 49, 5), "F"},
      {knob(DISTORT_READOUT_STR, 51, 7), "Distort: Low/High Mix"});
  EXPECT_EQ(DISRUPT_QUANT_DIVIDE[7], 6.0f);
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
}

// Every destination name of a distortion knob is its caption with or without the prefix; exactly
// the cells the users know without it lack it. The two-band types share one layout.
TEST(Vocabulary, DistortionKnobRows) {
  int captionOnly = 0;
  std::size_t longest = 0;
  for (int t = 0; t < NUM_DISTORT_TYPES; ++t) {
    EXPECT_TEXTS(
        {knob(DISTORT_LABEL_STR, t, 0), "Pre"}, {knob(DISTORT_DEST_STR, t, 1), "Dist: Norm"},
        {knob(DISTORT_READOUT_STR, t, 0), "Distort: Pre-Boost"});
    for (int k = 0; k < 8; ++k) {
      const std::string caption(knob(DISTORT_LABEL_STR, t, k));
      const std::string_view dest = knob(DISTORT_DEST_STR, t, k);
      EXPECT_TRUE(dest == caption || dest == "Dist: " + caption) << t << "/" << k << " " << dest;
      captionOnly += dest == caption;
      EXPECT_EQ(knob(DISTORT_READOUT_STR, t, k).substr(0, 9), "Distort: ") << t << "/" << k;
      longest = std::max(longest, knob(DISTORT_READOUT_STR, t, k).size());
      if (t >= 32 && t <= 34) {
        EXPECT_EQ(knob(DISTORT_DEST_STR, t, k), knob(DISTORT_DEST_STR, 31, k));
      }
    }
  }
  EXPECT_EQ(captionOnly, 22);
  // The built Disrupt names ("Disrupt n : " + long knob name) must stay within 36 characters.
  EXPECT_EQ(longest, 24u);
  EXPECT_TEXTS(
      {destText(8, 48), "Distort: Split Freq"}, {shortDestText(8, 48), "Dist: Split"},
      {destText(13, 31), "Distort: Low/High Amount"}, {shortDestText(9, 31), "Lo Freq"},
      {destText(5, 31), "Dry Pan"}, {shortDestText(0, 7), "None"}, {destText(111, 7), "Mod 10 Amount"},
      {destText(-1, 0), ""}, {destText(112, 0), ""}, {shortDestText(1 << 30, 0), ""},
      {destText(8, -5), "Distort: Distort 1"}, {destText(8, 1000), "Distort: Split Freq"});
}

TEST(TagMap, Defaults) {
  auto p = std::make_unique<APlugin>(nullptr);
  EXPECT_VALUES(
      {p->getDefault(1), 0.625f, testing_support::kUlps}, {p->getDefault(8), 0.8f, testing_support::kUlps},
      {p->getDefault(57), 0.285f, testing_support::kUlps}, {p->getDefault(129), 0.001f, testing_support::kUlps},
      {p->getDefault(800), 0.0f}, {p->getDefault(134), (12.0f + 0.1f) / 17.99f}, {p->getDestByTag(15), 18},
      {p->getDestByTag(1024), -1}, {tagmap::rowOf(140).first, 136}, {tagmap::rowOf(140).last, 142});
  // Wave-shaper curves start as straight lines.
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(p->getDefault(250 + i), static_cast<float>(i) / 255.0f) << i;
    EXPECT_EQ(p->getDefault(506 + i), static_cast<float>(i) / 255.0f) << i;
  }
  const int disruptDests[7] = {2, 3, 8, 86, 42, 44, 51};
  p->setDemoProgram(DEFAULT_DEMO_PROGRAM);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(p->getSteppedValue(136 + i), disruptDests[i]);
  // The "Default" program holds every default except its own name.
  for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t) EXPECT_EQ(p->getParameter(t), p->getDefault(t)) << t;
}

// Program names are stored one character a tag, (c + 0.5) / 255.99; they end at a zero or
// control character or after 28 characters; hostile values are clamped before they become
// characters.
TEST(NameTags, RoundTripAndEnds) {
  for (int c = 32; c <= 127; ++c) {
    EXPECT_EQ(tagmap::nameCharToValue(static_cast<char>(c)), (static_cast<float>(c) + 0.5f) / 255.99f);
    EXPECT_EQ(tagmap::valueToNameChar(tagmap::nameCharToValue(static_cast<char>(c))), static_cast<char>(c));
  }
  for (int c : {0, 1, 31, 128, 255}) EXPECT_EQ(tagmap::nameCharToValue(static_cast<char>(c)), 0.0f) << c;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_VALUES(
      {tagmap::valueToNameChar(nan), 0}, {tagmap::valueToNameChar(-3.0f), 0},
      {tagmap::valueToNameChar(1e30f), tagmap::valueToNameChar(1.0f)});

  std::vector<float> v(NUM_PARAMS, 0.0f);
  const std::string full = "ABCDEFGHIJKLMNOPQRSTUVWXYZ01";  // exactly 28
  tagmap::encodeNameTags((full + "TAIL").c_str(), v.data());
  v[940] = tagmap::nameCharToValue('!');  // beyond the name tags: never read
  EXPECT_EQ(decode(v.data()), full);
  v[PROGRAM_NAME_FIRST_TAG + 3] = nan;
  EXPECT_EQ(decode(v.data()), "ABC");
  tagmap::encodeNameTags("ab\x01" "cd", v.data());
  EXPECT_EQ(decode(v.data()), "ab");
}

TEST(ProgramBank, NamesAreSortedUniqueShortAndPlain) {
  auto lower = [](std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    const std::string_view name = presets::demoProgramName(i);
    SCOPED_TRACE(std::string(name));
    ASSERT_FALSE(name.empty());
    EXPECT_LE(name.size(), static_cast<std::size_t>(DEMO_NAME_MAX));
    EXPECT_TRUE(name.front() != ' ' && name.back() != ' ');
    for (char c : name) EXPECT_TRUE(c >= 32 && c <= 126);
    // Strictly increasing without regard to case: sorted, and no two differ only by case.
    if (i > 0) {
      EXPECT_LT(lower(presets::demoProgramName(i - 1)), lower(name));
    }
  }
  EXPECT_EQ(presets::demoProgramName(DEFAULT_DEMO_PROGRAM), "Default");
  EXPECT_VALUES(
      {presets::demoProgramName(-1).empty(), true}, {presets::demoProgramName(NUM_DEMO_PROGRAMS).empty(), true},
      {presets::demoProgramRow(NUM_DEMO_PROGRAMS) == nullptr, true}, {presets::findDemoProgram("Default"), DEFAULT_DEMO_PROGRAM},
      {presets::findDemoProgram(std::string(presets::demoProgramName(49)).c_str()), 49});
  for (const char* miss : {"default", "Default ", "Defaul", "", "No Such Program"})
    EXPECT_EQ(presets::findDemoProgram(miss), 0) << miss;
  EXPECT_EQ(presets::findDemoProgram(nullptr), 0);
}

TEST(ProgramBank, EveryDesignIsValidAndTheCheckerCatchesFaults) {
  for (const presets::Design& d : presets::bankDesigns()) EXPECT_EQ(presets::checkDesign(d), "") << d.name;
  using presets::Design;
  using presets::Unit;
  const Design bad[] = {
      {"X", {{800, 0.5f}}}, {"X", {{915, 0.5f}}}, {"X", {{55, 0.7f}}},  // spare, name tag, half a switch
      {"X", {{129, 52.0f, Unit::Step}}}, {"X", {{62, 2.0f, Unit::Step}}}, {"X", {{128, 30.0f}}},
      {"X", {{48, 30000.0f, Unit::Hz}}}, {"X", {{62, 0.2f}, {62, 0.3f}}},
      {"X", {{251, 2.0f, Unit::CurveSoft}}}, {"A name far too long for hosts", {}}};
  for (const Design& d : bad) EXPECT_NE(presets::checkDesign(d), "") << d.changes[0].tag;
  EXPECT_EQ(presets::checkDesign(Design{"X", {{129, 51.0f, Unit::Step}, {48, 20480.0f, Unit::Hz}}}), "");
}

// Each row spells its name, holds values in range, switches at 0 or 1 and steps exactly where
// the menus write them; spare tags keep their defaults; no two rows are alike.
TEST(ProgramBank, RowsAreValidAndDistinct) {
  std::vector<float> def(NUM_PARAMS);
  tagmap::fillDefaults(*reinterpret_cast<float(*)[NUM_PARAMS]>(def.data()));
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    const float* row = presets::demoProgramRow(i);
    SCOPED_TRACE(std::string(presets::demoProgramName(i)));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(decode(row), presets::demoProgramName(i));
    for (int t = 0; t < NUM_PARAMS; ++t) {
      const tagmap::Row& r = tagmap::rowOf(t);
      ASSERT_TRUE(row[t] >= 0.0f && row[t] <= 1.0f) << t;
      const bool isSwitch = r.kind == tagmap::Kind::Switch;
      EXPECT_TRUE(!isSwitch || row[t] == 0.0f || row[t] == 1.0f) << t;
      // Exactly on a step, as the menus write it.
      EXPECT_TRUE(r.kind != tagmap::Kind::Stepped || row[t] == def[t] ||
                  row[t] == (static_cast<float>(stepOf(row, t)) + 0.1f) / r.scale)
          << t;
      const bool nameTag = t >= PROGRAM_NAME_FIRST_TAG && t < PROGRAM_NAME_FIRST_TAG + PROGRAM_NAME_LENGTH;
      const bool spare = t == 0 || (t >= 762 && !nameTag);
      EXPECT_TRUE(!spare || row[t] == def[t]) << t;
    }
    for (int j = 0; j < i; ++j)
      EXPECT_FALSE(std::equal(row, row + NUM_PROGRAM_VALUES, presets::demoProgramRow(j))) << j;
  }
}

// Together the programs show every part of the effect.
TEST(ProgramBank, TogetherTheyShowEveryPartOfTheEffect) {
  std::set<int> paths, types;
  auto any = [](bool (*test)(const float*)) {
    for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i)
      if (test(presets::demoProgramRow(i))) return true;
    return false;
  };
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    paths.insert(stepOf(presets::demoProgramRow(i), MODULE_PATH_TAG));
    types.insert(stepOf(presets::demoProgramRow(i), DISTORT_TYPE_TAG));
  }
  EXPECT_EQ(paths.size(), 24u);
  EXPECT_GE(types.size(), 48u);
  for (int t : {43, 44, 45, 46, 47, 48, 49, 50, 51}) EXPECT_TRUE(types.count(t)) << t;  // amp, cabinet, shapers
  EXPECT_GE(std::count_if(types.begin(), types.end(), [](int t) { return t >= 32 && t <= 42; }), 10);
  EXPECT_VALUES(
      {any([](const float* r) { return r[HP_ON_TAG] == 1.0f; }), true},
      {any([](const float* r) { return r[LP_ON_TAG] == 1.0f && r[LP_TYPE_TAG] == 1.0f; }), true},
      {any([](const float* r) { return r[LP_ON_TAG] == 1.0f && r[LP_ZD_TAG] == 1.0f; }), true},
      {any([](const float* r) { return r[COMP_ON_TAG] == 1.0f; }), true},
      {any([](const float* r) { return r[WIDENER_ON_TAG] == 1.0f && r[CHORUS_MODE_TAG] == 0.0f; }), true},
      {any([](const float* r) { return r[WIDENER_ON_TAG] == 1.0f && r[CHORUS_MODE_TAG] == 1.0f; }), true},
      {any([](const float* r) { return r[PRE_EQ_ON_TAG] == 1.0f; }), true},
      {any([](const float* r) { return r[POST_EQ_ON_TAG] == 1.0f && r[OLD_EQ_TAG] == 1.0f; }), true},
      {any([](const float* r) { return r[GATE_ON_TAG] == 1.0f; }), true},
      {any([](const float* r) { return r[LFO_DEST_TAGS[0]] > 0.005f && r[LFO_SYNC_TAGS[0]] == 1.0f; }), true},
      {any([](const float* r) { return r[FOLLOWER_DEST_1_TAG] > 0.005f && r[FOLLOWER_AMT_1_TAG] != 0.5f; }), true},
      {any([](const float* r) { return r[DISRUPT_LAZY_ON_TAG] == 1.0f && r[DISRUPT_SLOT_AMT_1_TAG] != 0.5f; }),
       true},
      {any([](const float* r) { return r[MOD_SLOT_SRC_TAGS[0]] > 0.005f && r[MOD_SLOT_DEST_TAGS[0]] > 0.005f; }),
       true},
      {any([](const float* r) {
         for (int i = 0; i < WAVESHAPER_POINTS; ++i)  // draws its own wave-shaper curve
           if (std::fabs(r[WAVESHAPER_START_TAG[1] + i] - static_cast<float>(i) / 255.0f) > 1e-3f) return true;
         return false;
       }),
       true});
}
