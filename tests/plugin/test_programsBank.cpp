// The built-in bank as data: names, rows and what the fifty programs cover together.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "plugin/uPluginPresetsBanks.h"
#include "plugin/uTagMap.h"
#include "support/expectValues.h"

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::vector<float> defaults() {
  std::vector<float> d(NUM_PARAMS);
  tagmap::fillDefaults(*reinterpret_cast<float(*)[NUM_PARAMS]>(d.data()));
  return d;
}

int stepOf(const float* row, int tag) {
  const tagmap::Row& r = tagmap::rowOf(tag);
  return std::min(static_cast<int>(row[tag] * r.scale + 0.1f), r.steps - 1);
}

bool anyRow(bool (*test)(const float*)) {
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i)
    if (test(presets::demoProgramRow(i))) return true;
  return false;
}

}  // namespace

TEST(ProgramBank, NamesAreSortedUniqueShortAndPlain) {
  EXPECT_EQ(presets::demoProgramName(DEFAULT_DEMO_PROGRAM), "Default");
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    const std::string_view name = presets::demoProgramName(i);
    SCOPED_TRACE(std::string(name));
    ASSERT_FALSE(name.empty());
    EXPECT_LE(name.size(), static_cast<std::size_t>(DEMO_NAME_MAX));
    EXPECT_NE(name.front(), ' ');
    EXPECT_NE(name.back(), ' ');
    for (char c : name) EXPECT_TRUE(c >= 32 && c <= 126);
    // Strictly increasing without regard to case: sorted, and no two differ only by case.
    if (i > 0) {
      EXPECT_LT(lower(presets::demoProgramName(i - 1)), lower(name));
    }
  }
  EXPECT_TRUE(presets::demoProgramName(-1).empty());
  EXPECT_TRUE(presets::demoProgramName(NUM_DEMO_PROGRAMS).empty());
  EXPECT_EQ(presets::demoProgramRow(-1), nullptr);
  EXPECT_EQ(presets::demoProgramRow(NUM_DEMO_PROGRAMS), nullptr);
}

TEST(ProgramBank, EveryDesignIsValid) {
  for (const presets::Design& d : presets::bankDesigns()) EXPECT_EQ(presets::checkDesign(d), "") << d.name;
  // The checker itself catches the faults it is there for.
  using presets::Change;
  using presets::Unit;
  EXPECT_NE(presets::checkDesign(presets::Design{"X", {{800, 0.5f}}}), "");
  EXPECT_NE(presets::checkDesign(presets::Design{"X", {{915, 0.5f}}}), "");
  EXPECT_NE(presets::checkDesign(presets::Design{"X", {{55, 0.7f}}}), "");             // half a switch
  EXPECT_NE(presets::checkDesign(presets::Design{"X", {{129, 52.0f, Unit::Step}}}), "");  // no such type
  EXPECT_NE(presets::checkDesign(presets::Design{"X", {{62, 2.0f, Unit::Step}}}), "");    // not stepped
  EXPECT_NE(presets::checkDesign(presets::Design{"X", {{128, 30.0f}}}), "");           // raw value > 1
  EXPECT_NE(presets::checkDesign(presets::Design{"X", {{48, 30000.0f, Unit::Hz}}}), "");
  EXPECT_NE(presets::checkDesign(presets::Design{"X", {{62, 0.2f}, {62, 0.3f}}}), "");
  EXPECT_NE(presets::checkDesign(presets::Design{"X", {{251, 2.0f, Unit::CurveSoft}}}), "");
  EXPECT_NE(presets::checkDesign(presets::Design{"A name far too long for hosts", {}}), "");
  EXPECT_EQ(presets::checkDesign(presets::Design{"X", {{129, 51.0f, Unit::Step}, {48, 20480.0f, Unit::Hz}}}), "");
}

TEST(ProgramBank, RowsSpellTheirNamesAndHoldValidValues) {
  const std::vector<float> def = defaults();
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    const float* row = presets::demoProgramRow(i);
    SCOPED_TRACE(std::string(presets::demoProgramName(i)));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row, presets::demoProgramRow(i));  // built once, shared
    char name[PROGRAM_NAME_LENGTH + 1];
    tagmap::decodeNameTags(row, name);
    EXPECT_EQ(std::string(name), presets::demoProgramName(i));
    for (int k = static_cast<int>(presets::demoProgramName(i).size()); k < PROGRAM_NAME_LENGTH; ++k)
      EXPECT_EQ(row[PROGRAM_NAME_FIRST_TAG + k], 0.0f);
    for (int t = 0; t < NUM_PARAMS; ++t) {
      ASSERT_TRUE(row[t] >= 0.0f && row[t] <= 1.0f) << t;
      if (tagmap::rowOf(t).kind == tagmap::Kind::Switch) {
        EXPECT_TRUE(row[t] == 0.0f || row[t] == 1.0f) << t;
      }
      if (tagmap::rowOf(t).kind == tagmap::Kind::Stepped && row[t] != def[t]) {
        // Exactly on a step, as the menus write it.
        const int n = stepOf(row, t);
        EXPECT_EQ(row[t], (static_cast<float>(n) + 0.1f) / tagmap::rowOf(t).scale) << t;
      }
      const bool spare = (t >= 762 && t < PROGRAM_NAME_FIRST_TAG) || t >= PROGRAM_NAME_FIRST_TAG + PROGRAM_NAME_LENGTH;
      if (spare || t == 0) {
        EXPECT_EQ(row[t], def[t]) << t;
      }
    }
  }
  const float* d = presets::demoProgramRow(DEFAULT_DEMO_PROGRAM);
  for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t) EXPECT_EQ(d[t], def[t]) << t;
}

TEST(ProgramBank, NoTwoProgramsSoundAlike) {
  for (int a = 0; a < NUM_DEMO_PROGRAMS; ++a)
    for (int b = a + 1; b < NUM_DEMO_PROGRAMS; ++b) {
      const float* ra = presets::demoProgramRow(a);
      const float* rb = presets::demoProgramRow(b);
      EXPECT_FALSE(std::equal(ra, ra + NUM_PROGRAM_VALUES, rb)) << a << " " << b;
    }
}

TEST(ProgramBank, TogetherTheyShowEveryPartOfTheEffect) {
  std::set<int> paths, types;
  for (int i = 0; i < NUM_DEMO_PROGRAMS; ++i) {
    paths.insert(stepOf(presets::demoProgramRow(i), MODULE_PATH_TAG));
    types.insert(stepOf(presets::demoProgramRow(i), DISTORT_TYPE_TAG));
  }
  EXPECT_EQ(paths.size(), 24u);
  EXPECT_GE(types.size(), 48u);
  for (int t : {43, 44, 45, 46, 47, 48, 49, 50, 51}) EXPECT_TRUE(types.count(t)) << t;  // amp, cabinet, modulation, shapers
  int twoBand = 0;
  for (int t = 32; t <= 42; ++t) twoBand += static_cast<int>(types.count(t));
  EXPECT_GE(twoBand, 10);

  EXPECT_VALUES(
      {anyRow([](const float* r) { return r[HP_ON_TAG] == 1.0f; }), true},
      {anyRow([](const float* r) { return r[LP_ON_TAG] == 1.0f && r[LP_TYPE_TAG] == 1.0f; }), true},
      {anyRow([](const float* r) { return r[LP_ON_TAG] == 1.0f && r[LP_ZD_TAG] == 1.0f; }), true},
      {anyRow([](const float* r) { return r[COMP_ON_TAG] == 1.0f; }), true},
      {anyRow([](const float* r) { return r[WIDENER_ON_TAG] == 1.0f && r[CHORUS_MODE_TAG] == 0.0f; }), true},
      {anyRow([](const float* r) { return r[WIDENER_ON_TAG] == 1.0f && r[CHORUS_MODE_TAG] == 1.0f; }), true},
      {anyRow([](const float* r) { return r[PRE_EQ_ON_TAG] == 1.0f; }), true},
      {anyRow([](const float* r) { return r[POST_EQ_ON_TAG] == 1.0f && r[OLD_EQ_TAG] == 1.0f; }), true},
      {anyRow([](const float* r) { return r[GATE_ON_TAG] == 1.0f; }), true},
      {anyRow([](const float* r) { return r[LFO_DEST_TAGS[0]] > 0.005f && r[LFO_SYNC_TAGS[0]] == 1.0f; }), true},
      {anyRow([](const float* r) { return r[FOLLOWER_DEST_1_TAG] > 0.005f && r[FOLLOWER_AMT_1_TAG] != 0.5f; }), true},
      {anyRow([](const float* r) { return r[DISRUPT_LAZY_ON_TAG] == 1.0f && r[DISRUPT_SLOT_AMT_1_TAG] != 0.5f; }), true},
      {anyRow([](const float* r) { return r[MOD_SLOT_SRC_TAGS[0]] > 0.005f && r[MOD_SLOT_DEST_TAGS[0]] > 0.005f; }), true});
  // At least one program draws its own wave-shaper curves.
  EXPECT_TRUE(anyRow([](const float* r) {
    for (int i = 0; i < WAVESHAPER_POINTS; ++i)
      if (std::fabs(r[WAVESHAPER_START_TAG[1] + i] - static_cast<float>(i) / 255.0f) > 1e-3f) return true;
    return false;
  }));
}

TEST(ProgramBank, LookupMatchesWholeNamesExactly) {
  EXPECT_EQ(presets::findDemoProgram("Default"), DEFAULT_DEMO_PROGRAM);
  EXPECT_EQ(presets::findDemoProgram(std::string(presets::demoProgramName(49)).c_str()), 49);
  for (const char* miss : {"default", "Default ", "Defaul", "", "No Such Program"})
    EXPECT_EQ(presets::findDemoProgram(miss), 0) << miss;
  EXPECT_EQ(presets::findDemoProgram(nullptr), 0);
}
