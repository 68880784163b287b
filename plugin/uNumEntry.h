// Typed values: which unit each parameter is typed in, the text the box starts with and the
// stored value an answer gives. Plain data and functions; APlugin::setNumValue shows the box.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "dsp/unitLaws.h"
#include "tags.h"
#include "uTagMap.h"

namespace numentry {

enum class Kind : uint8_t {
  None,       // no box
  Linear,     // shown = scale x v + offset, typed numbers converted back
  Frequency,  // 20 Hz .. 20480 Hz on a base-2 logarithmic scale
  Switch,     // 0 for off, 1 for on
};

struct TagRun {
  int first;
  int last;
};

struct RunList {
  std::array<TagRun, 24> v{};
  int n = 0;
  constexpr RunList(std::initializer_list<TagRun> list) {
    for (TagRun r : list) v[static_cast<std::size_t>(n++)] = r;
  }
};

struct Group {
  Kind kind;
  const char* hint;      // the box's prompt: the accepted range
  units::LinearLaw law;  // Linear only: the unit the number is typed in
  RunList tags;
};

// Last tag that may open a box; tag 0 and every tag above this one open none.
inline constexpr int LAST_ENTRY_TAG = 246;

inline constexpr Group GROUPS[] = {
    {Kind::Linear,
     "-30 to 10 dB",
     units::LEVEL_DB,
     {{VOLUME_TAG, VOLUME_TAG}, {COMP_VOLUME_TAG, COMP_VOLUME_TAG}}},
    {Kind::Linear, "-20 to 20 dB", units::GAIN_DB, {{6, 6}, {15, 18}, {28, 31}, {230, 233}}},
    {Kind::Linear, "-40 to 0 dB", units::THRESHOLD_DB, {{41, 41}, {56, 56}, {86, 86}}},
    {Kind::Linear, "-30 to 30 dB", units::BOOST_DB, {{87, 87}}},
    {Kind::Linear,
     "-100 to 100%",
     units::BIPOLAR_PERCENT,
     {{2, 2}, {65, 65}, {69, 69}, {70, 76}, {92, 101}, {118, 127}, {200, 229}}},
    {Kind::Linear, "0 to 100%", units::PERCENT, {{7, 13},    {23, 26},   {36, 39},   {42, 42},   {43, 43},
                                                 {44, 44},   {49, 49},   {54, 54},   {57, 57},   {58, 58},
                                                 {59, 59},   {62, 62},   {63, 63},   {64, 64},   {67, 67},
                                                 {68, 68},   {84, 84},   {88, 91},   {102, 105}, {110, 117},
                                                 {241, 241}, {242, 242}, {244, 244}, {245, 245}}},
    {Kind::Frequency, "20 Hz to 20000 Hz", {}, {{19, 22}, {32, 35}, {48, 48}, {53, 53}}},
    {Kind::Switch, "0 for Off, 1 for On", {}, {{3, 3},     {4, 4},     {14, 14},   {27, 27},   {40, 40},
                                               {45, 45},   {46, 46},   {47, 47},   {50, 50},   {51, 51},
                                               {52, 52},   {55, 55},   {61, 61},   {77, 83},   {85, 85},
                                               {106, 109}, {130, 130}, {131, 131}, {132, 132}, {147, 149},
                                               {169, 169}, {190, 199}, {234, 234}, {246, 246}}},
    {Kind::None,
     "",
     {},
     {{5, 5}, {66, 66}, {128, 128}, {129, 129}, {133, 146}, {150, 168}, {170, 189}, {235, 240}, {243, 243}}},
};

constexpr int groupCount(int tag) {
  int count = 0;
  for (const Group& g : GROUPS)
    for (int i = 0; i < g.tags.n; ++i)
      count += tag >= g.tags.v[static_cast<std::size_t>(i)].first &&
               tag <= g.tags.v[static_cast<std::size_t>(i)].last;
  return count;
}

constexpr bool everyEntryTagInOneGroup() {
  for (int t = 1; t <= LAST_ENTRY_TAG; ++t)
    if (groupCount(t) != 1) return false;
  return groupCount(0) == 0 && groupCount(LAST_ENTRY_TAG + 1) == 0;
}
static_assert(everyEntryTagInOneGroup(), "every tag 1..246 belongs to exactly one numeric-entry group");

// The group of a tag; the last (no box) for tag 0, tags above 246 and invalid tags.
constexpr const Group& groupOf(int tag) {
  for (const Group& g : GROUPS)
    for (int i = 0; i < g.tags.n; ++i)
      if (tag >= g.tags.v[static_cast<std::size_t>(i)].first &&
          tag <= g.tags.v[static_cast<std::size_t>(i)].last)
        return g;
  return GROUPS[std::size(GROUPS) - 1];
}

// Continuous tags that open no box: the chorus length is shown in ms but has no typed unit.
inline constexpr int CONTINUOUS_TAGS_WITHOUT_BOX[] = {CHORUS_LENGTH_TAG};

// Typed entry follows the tag map: a stepped or internal tag opens no box, a switch opens the
// switch box, and every other tag a box unless it is named above. A tag given a new kind in the
// tag map (a new knob on an unused tag) fails here until its group says how it is typed.
constexpr bool groupsAgreeWithTagMap() {
  for (int t = 1; t <= LAST_ENTRY_TAG; ++t) {
    const Kind group = groupOf(t).kind;
    bool exempt = false;
    for (int x : CONTINUOUS_TAGS_WITHOUT_BOX) exempt = exempt || x == t;
    switch (tagmap::kindOf(t)) {
      case tagmap::Kind::Stepped:
      case tagmap::Kind::Internal:
        if (group != Kind::None) return false;
        break;
      case tagmap::Kind::Switch:
        if (group != Kind::Switch) return false;
        break;
      case tagmap::Kind::Continuous:
        if ((group == Kind::None) != exempt) return false;
        break;
    }
  }
  return true;
}
static_assert(groupsAgreeWithTagMap(), "a tag's numeric-entry group must fit its kind in the tag map");

// The text the box starts with for the stored value v: the value in the group's unit with one
// decimal ("-5.0"), always with '.'; "On"/"Off" for a switch; "20 Hz" for a frequency.
std::string prefill(const Group& group, float v);

// The stored value (0..1) for the box's answer, or nullopt when the answer changes nothing (an
// empty answer; for a switch, one without digits, signs or points such as the unchanged "On").
// Numbers are read by atof's rules with '.' in every locale; text without a number reads 0.
std::optional<float> storedValue(const Group& group, std::string answer);

}  // namespace numentry
