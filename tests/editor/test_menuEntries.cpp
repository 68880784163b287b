// Each entry of the modulation-matrix menu, run alone on the same starting state, changes exactly
// what its title says and nothing else: an entry that ran a neighbour's action would change
// other tags or the same tags the other way.
#include <functional>
#include <string>

#include "menuTestUtil.h"

using namespace editortest;

namespace {
using Values = std::array<float, NUM_PARAMS>;
}  // namespace

class MatrixMenuEntries : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    for (int s = 0; s < NUM_MOD_SLOTS; ++s) {
      const auto S = static_cast<size_t>(s);
      plugin->setModSlotVariables(s, s % 2 == 1, 0.05f + 0.09f * static_cast<float>(s), s + 1, s + 20);
      plugin->setParameter(MOD_SLOT_LOWER_THRESH_TAGS[S], 0.1f + 0.01f * static_cast<float>(s));
      plugin->setParameter(MOD_SLOT_UPPER_THRESH_TAGS[S], 0.8f - 0.01f * static_cast<float>(s));
      plugin->setParameter(MOD_SLOT_OFFSET_TAGS[S], 0.3f + 0.01f * static_cast<float>(s));
    }
    start = values();
  }
  float def(int tag) const { return plugin->getDefault(tag); }
  Values start;
};

TEST_F(MatrixMenuEntries, EachEntryDoesWhatItsTitleSays) {
  const auto amounts = [this](Values& v, int s) {
    const auto S = static_cast<size_t>(s);
    for (int t : {MOD_SLOT_AMT_TAGS[S], MOD_SLOT_OFFSET_TAGS[S], MOD_SLOT_LOWER_THRESH_TAGS[S],
                  MOD_SLOT_UPPER_THRESH_TAGS[S]})
      v[static_cast<size_t>(t)] = def(t);
  };
  const auto swapRows = [](Values& v, int a, int b) {
    for (int k = 0; k < 7; ++k)
      std::swap(v[static_cast<size_t>(MOD_SLOT_ROW_TAGS[a][k])],
                v[static_cast<size_t>(MOD_SLOT_ROW_TAGS[b][k])]);
  };
  const auto bypassAll = [](Values& v, float on) {
    for (int t : MOD_SLOT_BY_TAGS) v[static_cast<size_t>(t)] = on;
  };
  struct Entry {
    const char* title;
    int slot;
    std::function<void(Values&)> expect;
  };
  const Entry entries[] = {
      {"Clear", 4,
       [&](Values& v) {
         for (int t : MOD_COMMANDS_TAGS) v[static_cast<size_t>(t)] = def(t);
       }},
      {"Copy", 4, [](Values&) {}},
      {"Reset Mod Amount", 4,
       [&](Values& v) {
         for (int s = 0; s < NUM_MOD_SLOTS; ++s) amounts(v, s);
       }},
      {"Bypass All", 4, [&](Values& v) { bypassAll(v, 1.0f); }},
      {"UnBypass All", 4, [&](Values& v) { bypassAll(v, 0.0f); }},
      {"Copy Slot", 4, [](Values&) {}},
      {"Clear Slot", 4,
       [&](Values& v) {
         for (int t : MOD_SLOT_ROW_TAGS[4]) v[static_cast<size_t>(t)] = def(t);
       }},
      {"Swap Slot With Next", 4, [&](Values& v) { swapRows(v, 4, 5); }},
      {"Swap Slot With Previous", 4, [&](Values& v) { swapRows(v, 4, 3); }},
      {"Reset Slot Amount", 6, [&](Values& v) { amounts(v, 6); }},
      {"Bypass Slot", 4, [](Values& v) { v[static_cast<size_t>(MOD_SLOT_BY_TAGS[4])] = 1.0f; }},
      {"UnBypass Slot", 5, [](Values& v) { v[static_cast<size_t>(MOD_SLOT_BY_TAGS[5])] = 0.0f; }},
  };
  for (const Entry& e : entries) {
    for (int t : MOD_COMMANDS_TAGS) plugin->setParameter(t, start[static_cast<size_t>(t)]);
    Values expected = start;
    e.expect(expected);
    choose(e.title);
    editor->showModMenu(VSTGUI::CPoint(10, 10), e.slot);
    const Values now = values();
    for (int t = 0; t < NUM_PARAMS; ++t)
      EXPECT_EQ(now[static_cast<size_t>(t)], expected[static_cast<size_t>(t)]) << e.title << ": tag " << t;
  }
}
