#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plugin/uVocabulary.h"
#include "tags.h"
#include "support/expectValues.h"

namespace {

// The tables must be usable before any code runs (a host may create an instance from
// another library's static initialiser), so they must be compile-time constants.
static_assert(DISTORT_TYPE_STR[51] == "Two Band Wave-Shaper");
static_assert(DISTORT_DEST_STR[31 * 8 + 3] == "Lo Freq");
static_assert(DISTORT_READOUT_STR[0] == "Distort: Pre-Boost");
static_assert(DISTORT_LABEL_STR[49 * 8 + 4] == "D");

struct NamedTable {
  const char* name;
  const std::string_view* rows;
  std::size_t size;
};

template <std::size_t N>
NamedTable entry(const char* name, const std::array<std::string_view, N>& t) {
  return {name, t.data(), N};
}

std::vector<NamedTable> allTables() {
  return {entry("MODULE_PATH_STR", MODULE_PATH_STR),
          entry("DISTORT_TYPE_STR", DISTORT_TYPE_STR),
          entry("DISTORT_LABEL_STR", DISTORT_LABEL_STR),
          entry("DISTORT_DEST_STR", DISTORT_DEST_STR),
          entry("DISTORT_READOUT_STR", DISTORT_READOUT_STR),
          entry("CAB_MODEL_STR", CAB_MODEL_STR),
          entry("AMP_MODEL_STR", AMP_MODEL_STR),
          entry("DISTORT_WAVE_STR", DISTORT_WAVE_STR),
          entry("DISRUPT_LAZY_MODE_STR", DISRUPT_LAZY_MODE_STR),
          entry("DISRUPT_QUANT_STR", DISRUPT_QUANT_STR),
          entry("DISRUPT_SPRING_TIME_STR", DISRUPT_SPRING_TIME_STR),
          entry("FOLLOWER_SRC_STR", FOLLOWER_SRC_STR),
          entry("WAVESHAPER_DISTORT_MODE_STR", WAVESHAPER_DISTORT_MODE_STR),
          entry("SRC_STR", SRC_STR),
          entry("SRC_HEADER_STR", SRC_HEADER_STR),
          entry("DEST_STR", DEST_STR),
          entry("SHORT_DEST_STR", SHORT_DEST_STR),
          entry("DEST_HEADER_STR", DEST_HEADER_STR),
          entry("LFO_STR", LFO_STR),
          entry("LFO_WAVE_STR", LFO_WAVE_STR),
          entry("SHORT_LFO_WAVE_STR", SHORT_LFO_WAVE_STR),
          entry("LFO_MODE_STR", LFO_MODE_STR),
          entry("LFO_TRIGGER_STR", LFO_TRIGGER_STR),
          entry("PERIOD_STR", PERIOD_STR),
          entry("SCREEN_SIZE_STR", SCREEN_SIZE_STR),
          entry("SHORT_SCREEN_SIZE_STR", SHORT_SCREEN_SIZE_STR)};
}

std::string_view row(const std::array<std::string_view, 416>& t, int type, int knob) {
  return t[type * 8 + knob];
}

}  // namespace

TEST(Vocabulary, TablesThatGoTogetherHaveOneSize) {
  EXPECT_VALUES(
      {DEST_STR.size(), static_cast<std::size_t>(NUM_MOD_DESTS)},
      {SRC_STR.size(), static_cast<std::size_t>(NUM_MOD_SOURCES)},
      {MODULE_PATH_STR.size(), static_cast<std::size_t>(NUM_MODULE_PATHS)},
      {DISRUPT_QUANT_STR.size(), DISRUPT_QUANT_DIVIDE.size()},
      {DISRUPT_SPRING_TIME_STR.size(), DISRUPT_SPRING_TIME_ARRAY.size()});
}

// Rows are handed to C APIs (menus, host buffers) by data(), and must be plain ASCII
// without stray blanks; the one trailing blank the users know is kept.
TEST(Vocabulary, RowsArePlainTerminatedAscii) {
  int trailingBlanks = 0;
  for (const NamedTable& t : allTables()) {
    for (std::size_t i = 0; i < t.size; ++i) {
      const std::string_view r = t.rows[i];
      SCOPED_TRACE(std::string(t.name) + "[" + std::to_string(i) + "] \"" + std::string(r) + "\"");
      ASSERT_FALSE(r.empty());
      EXPECT_EQ(r.data()[r.size()], '\0');
      EXPECT_LE(r.size(), 40u);
      EXPECT_NE(r.front(), ' ');
      if (r.back() == ' ') ++trailingBlanks;
      for (char c : r) EXPECT_TRUE(c >= 32 && c < 127);
    }
  }
  EXPECT_EQ(trailingBlanks, 1);
  EXPECT_EQ(SHORT_DEST_STR[80], "Flwr Mod Amt ");
}

TEST(Vocabulary, ModulePathNamesFollowTheStageOrders) {
  const char* stage[4] = {"Distort", "Filter", "Comp", "Widen"};
  for (int n = 0; n < NUM_MODULE_PATHS; ++n) {
    std::string expected = "Path " + std::string(n < 9 ? "0" : "") + std::to_string(n + 1) + ": ";
    for (int s = 0; s < 4; ++s) expected += std::string(s ? " > " : "") + stage[MODULE_PATHS[n][s]];
    EXPECT_EQ(MODULE_PATH_STR[n], expected);
  }
  EXPECT_EQ(MODULE_PATH_STR[23], "Path 24: Widen > Comp > Filter > Distort");
}

TEST(Vocabulary, ExactRowsAndOddSpellings) {
  const std::pair<std::string_view, const char*> rows[] = {
      {DISTORT_TYPE_STR[0], "None"}, {DISTORT_TYPE_STR[14], "Low-Fi"}, {DISTORT_TYPE_STR[36], "Two Band Low-FI"},
      {DISTORT_TYPE_STR[44], "Cabinet Simulator"}, {DISTORT_TYPE_STR[51], "Two Band Wave-Shaper"},
      {WAVESHAPER_DISTORT_MODE_STR[31], "TransBoot"}, {WAVESHAPER_DISTORT_MODE_STR[32], "Valve"},
      {DISRUPT_QUANT_STR[7], "8"}, {DISRUPT_SPRING_TIME_STR[17], "1 QB"}, {PERIOD_STR[0], "Off"},
      {PERIOD_STR[30], "1/32T"}, {SRC_STR[22], "Brightness"}, {SRC_STR[54], "Uni-Noise"},
      {DEST_STR[53], "Widen Speed"}, {SHORT_DEST_STR[75], "Follower Decay"}, {SHORT_DEST_STR[79], "Flwr Mod Amt 1"},
      {SHORT_DEST_STR[81], "Flwr Mod Amt 3"}, {SHORT_LFO_WAVE_STR[5], "S And H"}, {LFO_WAVE_STR[7], "WaveShaper2"},
      {LFO_TRIGGER_STR[18], "CC90"}, {SCREEN_SIZE_STR[2], "Set to 200% Screen Size"},
      {SHORT_SCREEN_SIZE_STR[1], "150% Screen Size"}, {FOLLOWER_SRC_STR[6], "Output"}, {AMP_MODEL_STR[5], "Radio"},
      {CAB_MODEL_STR[3], "Off Axis"}};
  for (const auto& [got, want] : rows) EXPECT_EQ(got, want);
  EXPECT_EQ(DISRUPT_QUANT_DIVIDE[7], 6.0f);
}

// The short destination names differ from the long ones exactly in the EQ, filter
// frequency, compressor, lazy-mode and follower rows (except the decay).
TEST(Vocabulary, ShortDestinationsDifferOnlyWhereShortened) {
  for (int d = 0; d < NUM_MOD_DESTS; ++d) {
    const bool shortened =
        (d >= 18 && d <= 42) || d == 44 || (d >= 46 && d <= 50) || (d >= 67 && d <= 81 && d != 75);
    EXPECT_EQ(DEST_STR[d] != SHORT_DEST_STR[d], shortened) << d << " " << DEST_STR[d];
    EXPECT_LE(SHORT_DEST_STR[d].size(), DEST_STR[d].size()) << d;
  }
}

// The LFO triggers are the MIDI sources an LFO can be restarted by, with the same names.
TEST(Vocabulary, TriggersNameTheSameControllersAsSources) {
  for (int i = 6; i <= 11; ++i) EXPECT_EQ(LFO_TRIGGER_STR[i], SRC_STR[i + 10]);
  for (int i = 12; i <= 18; ++i) EXPECT_EQ(LFO_TRIGGER_STR[i], SRC_STR[i + 11]);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(SRC_STR[SRC_LFO[i]], LFO_STR[i]);
    EXPECT_EQ(SRC_STR[SRC_LFO_UNI[i]], "Uni " + std::string(LFO_STR[i]));
  }
}

TEST(Vocabulary, DestinationSubMenusCoverEveryDestinationOnce) {
  EXPECT_EQ(DEST_SUB_MENU_START.front(), 1);
  EXPECT_EQ(DEST_SUB_MENU_START.back(), NUM_MOD_DESTS);
  for (std::size_t h = 0; h + 1 < DEST_SUB_MENU_START.size(); ++h)
    EXPECT_LT(DEST_SUB_MENU_START[h], DEST_SUB_MENU_START[h + 1]);
  EXPECT_TEXTS(
      {DEST_STR[DEST_SUB_MENU_START[1]], "Dist1"}, {DEST_STR[DEST_SUB_MENU_START[2]], "Pre-EQ Band 1 Gain"},
      {DEST_STR[DEST_SUB_MENU_START[4]], "Disrupt"}, {DEST_STR[DEST_SUB_MENU_START[5]], "Follower Smooth"},
      {DEST_STR[DEST_SUB_MENU_START[6]], "LFO 1 Amount"}, {DEST_STR[DEST_SUB_MENU_START[7]], "Mod 1 Amount"});
}

TEST(Vocabulary, KnobRowsCommonToEveryType) {
  for (int t = 0; t < NUM_DISTORT_TYPES; ++t) {
    SCOPED_TRACE(t);
    EXPECT_TEXTS(
        {row(DISTORT_LABEL_STR, t, 0), "Pre"}, {row(DISTORT_LABEL_STR, t, 1), "Norm"},
        {row(DISTORT_READOUT_STR, t, 0), "Distort: Pre-Boost"},
        {row(DISTORT_READOUT_STR, t, 1), "Distort: Normalize"}, {row(DISTORT_DEST_STR, t, 0), "Dist: Pre"},
        {row(DISTORT_DEST_STR, t, 1), "Dist: Norm"});
  }
}

TEST(Vocabulary, UnusedKnobsCarryPlaceholders) {
  const char* noneCaptions[6] = {"Dist C", "Dist D", "Dist E", "Dist F", "Dist G", "Dist H"};
  for (int k = 2; k < 8; ++k) {
    EXPECT_EQ(row(DISTORT_LABEL_STR, 0, k), noneCaptions[k - 2]);
    EXPECT_EQ(row(DISTORT_READOUT_STR, 0, k), "Distort: Distort " + std::to_string(k - 1));
    EXPECT_EQ(row(DISTORT_DEST_STR, 0, k), "Dist: " + std::string(noneCaptions[k - 2]));
  }
}

// Knob rows of single types: named knobs, Soft Limiter using knob 2 only, the side ring
// modulator's letters starting one column early.
TEST(Vocabulary, KnobRowsOfSingleTypes) {
  const std::array<std::string_view, 416>* const L = &DISTORT_LABEL_STR;
  const std::array<std::string_view, 416>* const R = &DISTORT_READOUT_STR;
  const std::array<std::string_view, 416>* const D = &DISTORT_DEST_STR;
  struct Case {
    const std::array<std::string_view, 416>* table;
    int type, knob;
    const char* text;
  };
  const Case cases[] = {
      {L, 36, 3, "Lo Bitst"}, {L, 24, 3, "D"}, {L, 24, 7, "H"}, {R, 24, 3, "Distort: Distort 2"},
      {R, 24, 7, "Distort: Distort 6"}, {D, 24, 3, "Dist: D"}, {D, 24, 4, "E"}, {L, 49, 3, "C"}, {L, 49, 4, "D"},
      {L, 49, 5, "F"}, {R, 49, 3, "Distort: Distort 2"}, {D, 49, 4, "Dist: D"}, {D, 43, 4, "E"}, {D, 44, 4, "E"},
      {D, 43, 5, "Dist: F"}, {L, 1, 2, "Mult"}, {R, 1, 2, "Distort: Multiply"}, {D, 1, 3, "And"},
      {D, 12, 3, "Amount"}, {D, 12, 2, "Dist: Limit"}, {D, 25, 4, "Filter"}, {D, 30, 3, "Pos"},
      {D, 30, 4, "Dist: Rect"}, {D, 30, 5, "Amount"}, {D, 31, 3, "Lo Freq"}, {D, 31, 5, "Dist: Hi Freq"},
      {D, 36, 3, "Lo Bitst"}, {D, 51, 3, "Lo 1/2"}, {D, 51, 7, "Dist: Amount"}, {R, 51, 7, "Distort: Low/High Mix"},
      {R, 4, 4, "Distort: Sym"}, {R, 12, 4, "Distort: Symmetry"}, {R, 23, 2, "Distort: Level"}, {L, 14, 3, "S&H"},
      {R, 15, 2, "Distort: Negative Amount"}};
  for (const Case& c : cases) EXPECT_EQ(row(*c.table, c.type, c.knob), c.text) << c.type << "/" << c.knob;
}

// Every destination name is the caption with or without the prefix; exactly the cells the
// users know without it lack it.
TEST(Vocabulary, DestinationNamesAreCaptions) {
  int captionOnly = 0;
  std::size_t longest = 0;
  for (int t = 0; t < NUM_DISTORT_TYPES; ++t) {
    for (int k = 0; k < 8; ++k) {
      const std::string caption(row(DISTORT_LABEL_STR, t, k));
      const std::string_view dest = row(DISTORT_DEST_STR, t, k);
      const std::string_view readout = row(DISTORT_READOUT_STR, t, k);
      EXPECT_TRUE(dest == caption || dest == "Dist: " + caption) << t << "/" << k << " " << dest;
      if (dest == caption) ++captionOnly;
      EXPECT_EQ(readout.substr(0, 9), "Distort: ") << t << "/" << k;
      longest = std::max(longest, readout.size());
    }
  }
  EXPECT_EQ(captionOnly, 22);
  // The built Disrupt names ("Disrupt n : " + long knob name) must stay within 36 characters.
  EXPECT_EQ(longest, 24u);
  // The two-band types share their knob layout apart from the second and fourth knobs.
  for (int t : {31, 32, 33, 34, 37, 48}) {
    for (int k = 0; k < 8; ++k) {
      EXPECT_EQ(row(DISTORT_LABEL_STR, t, k), row(DISTORT_LABEL_STR, 31, k)) << t;
      EXPECT_EQ(row(DISTORT_DEST_STR, t, k), row(DISTORT_DEST_STR, 31, k)) << t;
      EXPECT_EQ(row(DISTORT_READOUT_STR, t, k), row(DISTORT_READOUT_STR, 31, k)) << t;
    }
  }
}

TEST(Vocabulary, DestinationTexts) {
  EXPECT_TEXTS(
      {destText(6, 0), "Distort: Pre-Boost"}, {shortDestText(6, 0), "Dist: Pre"},
      {destText(8, 48), "Distort: Split Freq"}, {shortDestText(8, 48), "Dist: Split"},
      {destText(8, 49), "Distort: Amount"}, {shortDestText(8, 49), "Dist: Amount"},
      {destText(13, 31), "Distort: Low/High Amount"}, {shortDestText(9, 31), "Lo Freq"},
      {destText(5, 31), "Dry Pan"}, {destText(14, 31), "Gate Threshold"}, {shortDestText(80, 7), "Flwr Mod Amt "},
      {shortDestText(0, 7), "None"}, {destText(111, 7), "Mod 10 Amount"});
  // Hostile input: no read outside the tables.
  EXPECT_EQ(destText(-1, 0), "");
  EXPECT_EQ(destText(112, 0), "");
  EXPECT_EQ(shortDestText(1 << 30, 0), "");
  EXPECT_TEXTS(
      {destText(8, -5), "Distort: Distort 1"}, {destText(8, 1000), "Distort: Split Freq"},
      {shortDestText(8, 52), "Dist: Split"});
}
