// The per-tag tables as the plug-in object holds them after start-up.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "plugin/uPlugin.h"
#include "plugin/uTagMap.h"
#include "support/expectValues.h"

namespace {

std::unique_ptr<APlugin> makePlugin() { return std::make_unique<APlugin>(nullptr); }

}  // namespace

TEST(TagMap, DefaultsOfEveryRow) {
  // Spot checks of the kinds of row (level, switch, stepped, wave-shaper curve, name); the rows
  // themselves are data checked where they are written.
  auto p = makePlugin();
  for (const auto& [tag, value] : std::vector<std::pair<int, float>>{
           {1, 0.625f}, {2, 1.0f}, {8, 0.8f}, {44, 0.425f}, {57, 0.285f}, {129, 0.001f}, {505, 1.0f}, {800, 0.0f}})
    EXPECT_FLOAT_EQ(p->getDefault(tag), value) << tag;
  EXPECT_EQ(p->getDefault(134), (12.0f + 0.1f) / 17.99f);
  // Wave-shaper curves start as straight lines.
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(p->getDefault(250 + i), static_cast<float>(i) / 255.0f) << i;
    EXPECT_EQ(p->getDefault(506 + i), static_cast<float>(i) / 255.0f) << i;
  }
  // The "Default" program holds every default except its own name.
  p->setDemoProgram(DEFAULT_DEMO_PROGRAM);
  for (int t = 0; t < PROGRAM_NAME_FIRST_TAG; ++t) EXPECT_EQ(p->getParameter(t), p->getDefault(t)) << t;
}

TEST(TagMap, DisruptDestinationDefaultsAreSteps) {
  auto p = makePlugin();
  p->setDemoProgram(DEFAULT_DEMO_PROGRAM);
  const int steps[7] = {2, 3, 8, 86, 42, 44, 51};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(p->getDefault(136 + i), (static_cast<float>(steps[i]) + 0.1f) / 127.99f);
    EXPECT_EQ(p->getSteppedValue(136 + i), steps[i]);
  }
  EXPECT_EQ(p->getSteppedValue(134), 12);
  EXPECT_EQ(p->getSteppedValue(129), 0);  // the distortion type's default is step 0
}

TEST(TagMap, SwitchTags) {
  auto p = makePlugin();
  std::set<int> switches = {3, 4, 14, 27, 40, 45, 46, 47, 50, 51, 52, 55, 61, 85, 130, 131, 132, 147, 148, 149, 169};
  for (int t = 77; t <= 83; ++t) switches.insert(t);
  for (int t = 106; t <= 109; ++t) switches.insert(t);
  for (int t = 190; t <= 199; ++t) switches.insert(t);
  for (int t = 0; t < NUM_PARAMS; ++t) EXPECT_EQ(p->isOnOffTag(t), switches.count(t) == 1) << t;
}

TEST(TagMap, ModulationDestinations) {
  auto p = makePlugin();
  for (const auto& [tag, dest] : std::vector<std::pair<int, int>>{{1, 1}, {15, 18}, {41, 14}, {118, 102}, {230, 30}})
    EXPECT_EQ(p->getDestByTag(tag), dest) << tag;
  for (int t : {0, 3, 128, 250, 800, 1024, -1}) EXPECT_EQ(p->getDestByTag(t), -1) << t;
  // Destinations reached by a tag are unique, except that the first-generation EQ shares 30..33.
  std::multiset<int> dests;
  for (int t = 0; t < NUM_PARAMS; ++t)
    if (p->getDestByTag(t) >= 0) dests.insert(p->getDestByTag(t));
  for (int d : dests) EXPECT_EQ(dests.count(d), (d >= 30 && d <= 33) ? 2u : 1u) << d;
}

TEST(TagMap, RowOfFindsTheRunHoldingATag) {
  EXPECT_VALUES(
      {tagmap::rowOf(0).first, 0}, {tagmap::rowOf(1023).last, 1023}, {tagmap::rowOf(140).first, 136},
      {tagmap::rowOf(140).last, 142}, {tagmap::rowOf(505).first, 250});
}
