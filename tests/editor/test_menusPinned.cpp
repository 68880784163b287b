// Menu commands pinned at every place a slip would hide: the matrix swaps at each slot, the EQ
// commands on both EQs, the typed value of the parameter menu, the destination menu's "Distort"
// group per type, four wave-shaper commands, and the type menu opening the WaveShaper tab.
#include <map>

#include "controls/pluginScreens.h"
#include "menuTestUtil.h"
#include "plugin/uVocabulary.h"

using namespace editortest;
using namespace VSTGUI;

namespace {

// The seven tags of matrix slot s: bypass, source, destination, amount, lower, upper, offset.
std::vector<int> slotTags(int s) { return {190 + s, 170 + s, 180 + s, 118 + s, 200 + s, 210 + s, 220 + s}; }
// Tags of the pre-EQ (0) and post-EQ (1).
std::vector<int> eqTags(int eq) {
  std::vector<int> t;
  for (int i = 0; i < 12; ++i) t.push_back((eq == 0 ? 15 : 28) + i);
  return t;
}

}  // namespace

class PinnedMenus : public MenuTest {
 protected:
  // The matrix back as it was.
  void restore(const std::array<float, NUM_PARAMS>& v) {
    for (int s = 0; s < 10; ++s)
      for (int t : slotTags(s)) plugin->setParameter(t, v[static_cast<size_t>(t)]);
  }
  float at(const std::array<float, NUM_PARAMS>& v, int t) { return v[static_cast<size_t>(t)]; }
};

TEST_F(PinnedMenus, MatrixSwapsMoveWholeRowsAtEverySlot) {
  for (int s = 0; s < 10; ++s) {
    const float f = static_cast<float>(s);
    plugin->setModSlotVariables(s, s % 2 == 1, 0.05f + 0.09f * f, s + 1, s + 20);
    plugin->setParameter(200 + s, 0.02f + 0.03f * f);
    plugin->setParameter(210 + s, 0.6f + 0.03f * f);
    plugin->setParameter(220 + s, 0.1f + 0.07f * f);
  }
  const auto start = values();
  for (auto [title, step] : {std::pair{"Swap Slot With Next", 1}, {"Swap Slot With Previous", -1}}) {
    for (int s = 0; s < 10; ++s) {
      restore(start);
      choose(title);
      editor->showModMenu(CPoint(10, 10), s);
      const int o = s + step;
      std::set<int> expected;
      if (o >= 0 && o < 10) {
        for (size_t k = 0; k < 7; ++k) {
          const int mine = slotTags(s)[k], theirs = slotTags(o)[k];
          EXPECT_EQ(plugin->getParameter(mine), at(start, theirs)) << title << " " << s << " tag " << mine;
          EXPECT_EQ(plugin->getParameter(theirs), at(start, mine)) << title << " " << s << " tag " << theirs;
          expected.insert({mine, theirs});
        }
      }
      EXPECT_EQ(changedSince(start), expected) << title << " at slot " << s;
    }
  }
}

TEST_F(PinnedMenus, EQCommandsReachTheOtherEQ) {
  for (int eq : {0, 1}) {
    for (int i = 0; i < 12; ++i) {
      plugin->setParameter(eqTags(0)[static_cast<size_t>(i)], 0.1f + 0.02f * static_cast<float>(i));
      plugin->setParameter(eqTags(1)[static_cast<size_t>(i)], 0.61f + 0.02f * static_cast<float>(i));
    }
    const auto start = values();
    choose("Copy to other EQ");
    editor->showEQMenu(CPoint(10, 10), eq);
    for (size_t i = 0; i < 12; ++i) {
      const int own = eqTags(eq)[i], other = eqTags(1 - eq)[i];
      EXPECT_EQ(plugin->getParameter(own), at(start, own)) << eq << " " << own;
      EXPECT_EQ(plugin->getParameter(other), at(start, own)) << eq << " " << other;
    }
    choose("Clear Both EQ");
    editor->showEQMenu(CPoint(10, 10), eq);
    for (int e : {0, 1})
      for (int t : eqTags(e)) EXPECT_EQ(plugin->getParameter(t), plugin->getDefault(t)) << eq << " " << t;
  }
}

TEST_F(PinnedMenus, SetToValueAsksInTheParameterUnit) {
  // Volume: -30..10 dB, -10 dB is the middle of the range.
  CControl* volume = testControl(*editor, 1);
  plugin->setParameter(1, 0.2f);
  answerDialog("-10");
  choose("Set to Value");
  editor->showMIDIMenu(volume, CPoint(5, 5));
  EXPECT_FLOAT_EQ(plugin->getParameter(1), 0.5f);
  EXPECT_TRUE(dialogMentioned("-30 to 10 dB"));
}

TEST_F(PinnedMenus, DistortGroupNamesTheTypesKnobsThenTheGate) {
  const std::vector<std::string> gate = {"Gate Threshold", "Gate Attack", "Gate Hold", "Gate Release"};
  const std::map<int, std::vector<std::string>> knobs = {
      {0,
       {"Distort: Distort 1", "Distort: Distort 2", "Distort: Distort 3", "Distort: Distort 4",
        "Distort: Distort 5", "Distort: Distort 6"}},
      {1,
       {"Distort: Multiply", "Distort: And", "Distort: Amount", "Distort: Distort 4", "Distort: Distort 5",
        "Distort: Distort 6"}},
      {48,
       {"Distort: Split Freq", "Distort: Low Freq", "Distort: Low Amount", "Distort: High Freq",
        "Distort: High Amount", "Distort: Low/High Amount"}},
      {49,
       {"Distort: Amount", "Distort: Distort 2", "Distort: Distort 3", "Distort: Distort 4",
        "Distort: Distort 5", "Distort: Distort 6"}},
      {51,
       {"Distort: Split Freq", "Distort: Low 1/2 Mix", "Distort: Low Amount", "Distort: High 1/2 Mix",
        "Distort: High Amount", "Distort: Low/High Mix"}},
  };
  for (const auto& [type, names] : knobs) {
    plugin->setSteppedValue(DISTORT_TYPE_TAG, type);
    std::vector<std::string> expected = {"Distort: Pre-Boost", "Distort: Normalize"};
    expected.insert(expected.end(), names.begin(), names.end());
    expected.insert(expected.end(), gate.begin(), gate.end());
    // The last entry of the group is destination 17.
    chooseIn("Distort", "Gate Release");
    editor->showDestMenu(CPoint(10, 10), 181);
    EXPECT_EQ(subMenuShown("Distort"), expected) << type;
    EXPECT_EQ(plugin->getDestForTag(181), 17) << type;
  }
}

class PinnedWaveShaperMenu : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    for (int i = 0; i < 256; ++i) {
      // Shaper 1 steps from 0.25 to 0.75 at point 128; shaper 2 is a full swing zig-zag.
      plugin->setParameter(250 + i, i < 128 ? 0.25f : 0.75f);
      plugin->setParameter(506 + i, i % 2 ? 1.0f : 0.0f);
    }
    start = values();
  }
  void run(int ws, const std::string& title) {
    restore();
    choose(title);
    editor->showWaveShaperMenu(CPoint(10, 10), ws);
  }
  void restore() {
    for (int t = 250; t < 762; ++t) plugin->setParameter(t, start[static_cast<size_t>(t)]);
  }
  float point(int ws, int k) { return plugin->getParameter(250 + 256 * ws + k); }
  std::array<float, NUM_PARAMS> start{};
};

TEST_F(PinnedWaveShaperMenu, SmoothReduceCopyAndClearBoth) {
  // Smooth on shaper 2: each point averages the smoothed left and the old right neighbour.
  run(1, "Smooth");
  EXPECT_EQ(point(1, 0), 0.0f);
  EXPECT_EQ(point(1, 1), 0.0f);    // (0 + 0) / 2
  EXPECT_EQ(point(1, 2), 0.5f);    // (0 + 1) / 2
  EXPECT_EQ(point(1, 3), 0.25f);   // (0.5 + 0) / 2
  EXPECT_EQ(point(1, 4), 0.625f);  // (0.25 + 1) / 2
  EXPECT_EQ(point(1, 255), 1.0f);
  EXPECT_EQ(point(0, 127), 0.25f);  // the other shaper stays

  // Reduce: 0.5 + y x 0.5 x 0.909090877 on the chosen shaper only.
  run(1, "Reduce");
  EXPECT_FLOAT_EQ(point(1, 1), 0.95454544f);
  EXPECT_FLOAT_EQ(point(1, 0), 0.04545456f);
  EXPECT_EQ(point(0, 200), 0.75f);
  run(0, "Reduce");
  EXPECT_FLOAT_EQ(point(0, 200), 0.5f + 0.25f * 0.909090877f);
  EXPECT_EQ(point(1, 1), 1.0f);

  // Copy 1 to 2 from either screen: shaper 2 takes shaper 1's points, shaper 1 keeps them.
  for (int ws : {0, 1}) {
    run(ws, "Copy WaveShaper 1 to 2");
    for (int k : {0, 1, 127, 128, 255}) {
      EXPECT_EQ(point(1, k), k < 128 ? 0.25f : 0.75f) << ws << " " << k;
      EXPECT_EQ(point(0, k), k < 128 ? 0.25f : 0.75f) << ws << " " << k;
    }
  }

  // Clear Both: the straight line i / 255 in both shapers.
  run(1, "Clear Both WaveShapers");
  for (int ws : {0, 1})
    for (int k : {0, 1, 100, 255}) EXPECT_NEAR(point(ws, k), static_cast<float>(k) / 255.0f, 1e-6f) << ws;
}

// ---- The type menu ----

TEST_F(OpenEditorTest, OnlyTheWaveShaperTypesOpenTheWaveShaperTab) {
  pass();
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type) {
    editor->setBottomTab(1);
    plugin->setSteppedValue(DISTORT_TYPE_TAG, type == 0 ? 1 : 0);
    const std::string title(DISTORT_TYPE_STR[static_cast<size_t>(type)]);
    const MenuChoice c = testing_support::TestMenuDriver::findTitle(*editor->distortTypeMenu, title);
    ASSERT_NE(c.menu, nullptr) << title;
    c.menu->setValue(static_cast<float>(c.index));
    editor->valueChanged(c.menu);
    pass();
    EXPECT_EQ(plugin->getDistortType(), type);
    const bool waveShaper = type == 50 || type == 51;
    EXPECT_EQ(editor->getBottomTab(), waveShaper ? 2 : 1) << type;
    EXPECT_EQ(editor->bottomBox->isChild(editor->waveShaperScreens[0]), waveShaper) << type;
  }
}
