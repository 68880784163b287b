// The per-tag tables as the plug-in object holds them after start-up.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "plugin/uPlugin.h"
#include "plugin/uTagMap.h"

namespace {

std::unique_ptr<APlugin> makePlugin() { return std::make_unique<APlugin>(nullptr); }

}  // namespace

TEST(TagMap, DefaultsOfEveryRow) {
  auto p = makePlugin();
  const std::vector<std::pair<int, float>> expected = {
      {0, 0.0f},     {1, 0.625f},  {2, 1.0f},    {3, 0.0f},    {4, 1.0f},     {5, 0.0f},    {6, 0.5f},
      {7, 0.0f},     {8, 0.8f},    {9, 1.0f},    {10, 0.0f},   {13, 0.0f},    {14, 0.0f},   {15, 0.5f},
      {18, 0.5f},    {19, 0.2f},   {20, 0.4f},   {21, 0.6f},   {22, 0.8f},    {23, 0.1f},   {26, 0.1f},
      {28, 0.5f},    {32, 0.2f},   {35, 0.8f},   {39, 0.1f},   {41, 0.0f},    {44, 0.425f}, {48, 0.0f},
      {53, 1.0f},    {54, 0.0f},   {56, 0.65f},  {57, 0.285f}, {58, 0.0f},    {59, 0.17f},  {60, 0.75f},
      {62, 0.1f},    {64, 0.1f},   {65, 0.5f},   {66, 0.48f},  {67, 0.5f},    {68, 0.415f}, {69, 0.5f},
      {70, 0.5f},    {76, 0.5f},   {77, 0.0f},   {84, 0.47f},  {85, 1.0f},    {86, 0.5f},   {87, 0.5f},
      {88, 0.3f},    {89, 0.0f},   {91, 0.24f},  {92, 0.5f},   {97, 0.5f},    {98, 0.5f},   {105, 0.5f},
      {110, 0.0f},   {114, 0.5f},  {127, 0.5f},  {128, 0.0f},  {129, 0.001f}, {133, 0.0f},  {135, 0.0f},
      {143, 0.0f},   {200, 0.0f},  {210, 1.0f},  {219, 1.0f},  {220, 0.5f},   {229, 0.5f},  {230, 0.5f},
      {233, 0.5f},   {234, 1.0f},  {240, 0.0f},  {246, 0.0f},  {800, 0.0f},   {912, 0.0f},  {1023, 0.0f}};
  for (const auto& [tag, value] : expected) EXPECT_FLOAT_EQ(p->getDefault(tag), value) << tag;
  EXPECT_NEAR(p->getDefault(134), 0.672596f, 1e-6f);
  EXPECT_EQ(p->getDefault(134), (12.0f + 0.1f) / 17.99f);
  // Wave-shaper curves start as straight lines.
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(p->getDefault(250 + i), static_cast<float>(i) / 255.0f) << i;
    EXPECT_EQ(p->getDefault(506 + i), static_cast<float>(i) / 255.0f) << i;
  }
  EXPECT_EQ(p->getDefault(505), 1.0f);
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
  const std::vector<std::pair<int, int>> expected = {
      {1, 1},    {2, 2},    {6, 6},     {13, 13},   {15, 18},   {18, 21},  {19, 22},  {22, 25},  {23, 26},
      {26, 29},  {28, 30},  {31, 33},   {32, 34},   {35, 37},   {36, 38},  {39, 41},  {41, 14},  {44, 17},
      {48, 42},  {49, 43},  {53, 44},   {54, 45},   {56, 46},   {60, 50},  {62, 51},  {64, 53},  {65, 54},
      {68, 57},  {69, 58},  {70, 60},   {76, 66},   {84, 67},   {86, 72},  {87, 71},  {88, 70},  {89, 73},
      {91, 75},  {92, 76},  {94, 78},   {95, 79},   {97, 81},   {98, 82},  {101, 85}, {102, 86}, {105, 89},
      {114, 90}, {117, 93}, {118, 102}, {127, 111}, {230, 30},  {233, 33}};
  std::set<int> withDest;
  for (const auto& [tag, dest] : expected) EXPECT_EQ(p->getDestByTag(tag), dest) << tag;
  // Tags outside the modulated ranges have none.
  for (int t : {0, 3, 4, 5, 14, 40, 45, 55, 61, 77, 85, 106, 110, 113, 128, 136, 200, 210, 220, 234, 241, 250, 800})
    EXPECT_EQ(p->getDestByTag(t), -1) << t;
  // Destinations reached by a tag are unique, except that the first-generation EQ shares 30..33.
  std::multiset<int> dests;
  for (int t = 0; t < NUM_PARAMS; ++t)
    if (p->getDestByTag(t) >= 0) dests.insert(p->getDestByTag(t));
  for (int d : dests) EXPECT_EQ(dests.count(d), (d >= 30 && d <= 33) ? 2u : 1u) << d;
  // Destinations without a tag stay untouched by the table.
  for (int d : {0, 3, 4, 5, 59, 68, 69, 94, 95, 96, 97, 98, 99, 100, 101}) EXPECT_EQ(dests.count(d), 0u) << d;
  EXPECT_EQ(p->getDestByTag(1024), -1);
  EXPECT_EQ(p->getDestByTag(-1), -1);
}

TEST(TagMap, RowOfFindsTheRunHoldingATag) {
  EXPECT_EQ(tagmap::rowOf(0).first, 0);
  EXPECT_EQ(tagmap::rowOf(1023).last, 1023);
  EXPECT_EQ(tagmap::rowOf(140).first, 136);
  EXPECT_EQ(tagmap::rowOf(140).last, 142);
  EXPECT_EQ(tagmap::rowOf(505).first, 250);
}
