// The parameter menu of knobs and the slider: headings, value and MIDI commands, the sources
// aimed at the parameter, new routes, and the commands on those sources.
#include <algorithm>

#include "menuTestUtil.h"
#include "plugin/uVocabulary.h"

using namespace editortest;
using namespace VSTGUI;

namespace {

constexpr int KNOB = WIDENER_WIDTH_TAG;  // a modulation destination no source aims at by default
constexpr int PLAIN = 110;               // one that is not

}  // namespace

class ParameterMenu : public MenuTest {
 protected:
  void open(int tag) { editor->showMIDIMenu(testControl(*editor, tag), CPoint(100, 100)); }
  int dest() { return plugin->getDestByTag(KNOB); }
};

TEST_F(ParameterMenu, HeadingsNameTheParameterItsControllersAndItsSources) {
  ASSERT_GE(dest(), 1);
  ASSERT_EQ(plugin->getDestByTag(PLAIN), -1);
  plugin->setMidiCCTag(74, KNOB);
  plugin->setMidiCCTag(7, KNOB);
  char name[64] = {}, display[64] = {};
  plugin->getParameterName(KNOB, name);
  plugin->getParameterDisplay(KNOB, display);

  open(KNOB);
  EXPECT_EQ(shown(true),
            (std::vector<std::string>{name, display, "MIDI CC :7", "MIDI CC :74", "Modulated By :"}));

  plugin->setModSlotVariables(2, false, 0.5f, 11, dest());
  plugin->setDestForTag(137, dest());
  plugin->setDestForTag(146, dest());
  plugin->setDestForTag(160, dest());
  open(KNOB);
  const std::vector<std::string> h = shown(true);
  EXPECT_EQ(
      std::vector<std::string>(h.begin() + 4, h.end()),
      (std::vector<std::string>{"Modulated By :", "Slot 3: Velocity", "Disrupt 2", "Follower 3", "LFO 4"}));
  EXPECT_EQ(subMenuShown("Set Modulation Matrix To MIDI Source").size(), 31u);
  EXPECT_EQ(subMenuShown("Set Modulation Matrix To Mod Source").front(), "LFO 1");
  EXPECT_EQ(subMenuShown("Modulate By Volume Follower"),
            (std::vector<std::string>{"Follower 1", "Follower 2", "Follower 3"}));

  // Steps 1-4 only: two headings, "Not Latched", eight value and four MIDI commands.
  open(PLAIN);
  EXPECT_EQ(shown(true).back(), "Not Latched");
  const std::vector<std::string> all = shown(false);
  EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const std::string& t) { return t != "-"; }), 15);
  EXPECT_TRUE(subMenuShown("Modulate By LFO").empty());
}

TEST_F(ParameterMenu, ValueAndMidiCommands) {
  struct Row {
    const char* title;
    float start, expected;
  };
  const float def = plugin->getDefault(KNOB);
  const Row rows[] = {{"Set to Default", 0.9f, def},  {"Set to Minimum", 0.5f, 0.0f},
                      {"Set to Maximum", 0.5f, 1.0f}, {"Set to Mid", 0.1f, 0.5f},
                      {"Increase", 0.5f, 0.51f},      {"Decrease", 0.5f, 0.49f}};
  for (const Row& r : rows) {
    plugin->setParameter(KNOB, r.start);
    choose(r.title);
    open(KNOB);
    EXPECT_NEAR(plugin->getParameter(KNOB), r.expected, 1e-5f) << r.title;
  }
  choose("Latch to MIDI");
  open(KNOB);
  EXPECT_TRUE(plugin->isMidiLatchOn());
  EXPECT_EQ(plugin->getMidiLatchTag(), KNOB);
  plugin->setMidiCCTag(7, KNOB);
  plugin->setMidiCCTag(8, 1);
  choose("Unlatch MIDI");
  open(KNOB);
  EXPECT_EQ(plugin->getMidiCCTag(7), 0);
  EXPECT_EQ(plugin->getMidiCCTag(8), 1);
  plugin->setMidiCCTag(7, KNOB);
  choose("Clear All MIDI");
  open(KNOB);
  EXPECT_EQ(plugin->getMidiCCTag(7) + plugin->getMidiCCTag(8), 0);
  answerDialog("21");
  choose("Set MIDI CC");
  open(KNOB);
  EXPECT_EQ(plugin->getMidiCCTag(21), KNOB);
}

TEST_F(ParameterMenu, RandomValuesStayInRangeAndVary) {
  std::set<float> seen;
  for (int i = 0; i < 500; ++i) {
    choose("Set to Random");
    open(PLAIN);
    const float v = plugin->getParameter(PLAIN);
    ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << v;
    seen.insert(v);
  }
  EXPECT_GT(seen.size(), 400u);
}

TEST_F(ParameterMenu, SourcesMakeRoutesInTheFirstFreeSlotOnly) {
  const auto before = values();
  chooseIn("Set Modulation Matrix To MIDI Source", "Velocity");
  open(KNOB);
  EXPECT_EQ(changedSince(before), (std::set<int>{MOD_SLOT_SRC_TAGS[0], MOD_SLOT_DEST_TAGS[0]}));
  EXPECT_EQ(plugin->getSrcForModSlot(0), 11);
  EXPECT_EQ(plugin->getDestForModSlot(0), dest());
  EXPECT_FALSE(plugin->getOnOff(MOD_SLOT_BY_TAGS[0]));
  EXPECT_FLOAT_EQ(plugin->getParameter(MOD_SLOT_AMT_TAGS[0]), 0.5f);

  for (int s = 1; s < NUM_MOD_SLOTS; ++s) plugin->setDestForModSlot(s, 3);
  const auto full = values();
  chooseIn("Set Modulation Matrix To Mod Source", "Noise");
  open(KNOB);
  EXPECT_TRUE(changedSince(full).empty());
}

// The same title in two sub-menus: the menu holding it decides.
TEST_F(ParameterMenu, LfoTitlesActByTheirSubMenu) {
  chooseIn("Set Modulation Matrix To Mod Source", "LFO 1");
  open(KNOB);
  EXPECT_EQ(plugin->getSrcForModSlot(0), SRC_LFO[0]);
  EXPECT_EQ(plugin->getDestForModSlot(0), dest());
  EXPECT_NE(plugin->getDestForTag(LFO_DEST_TAGS[0]), dest());

  const auto before = values();
  chooseIn("Modulate By LFO", "LFO 1");
  open(KNOB);
  EXPECT_EQ(changedSince(before), (std::set<int>{LFO_DEST_TAGS[0]}));
  EXPECT_EQ(plugin->getDestForTag(LFO_DEST_TAGS[0]), dest());

  plugin->setOff(79);
  chooseIn("Modulate By Disrupt", "Disrupt 3");
  open(KNOB);
  EXPECT_EQ(plugin->getDestForTag(138), dest());
  EXPECT_TRUE(plugin->getOnOff(79));
}

TEST_F(ParameterMenu, SlotCommandsChangeExactlyTheirTagsPerSourceKind) {
  enum Kind { Matrix, Disrupt, Follower, Lfo };
  struct Row {
    Kind kind;
    const char* title;
    bool startOn;  // the bypass or on-switch before the command
    std::set<int> changed;
  };
  const char* const CLEAR = "Clear Modulation Slot";
  const char* const DEFAULT = "Default Modulations Slot Amount";
  const char* const BYPASS = "Bypass Modulations Slot";
  const char* const UNBYPASS = "UnBypass Modulations Slot";
  const Row rows[] = {
      {Matrix, CLEAR, true, {194, 174, 184, 122, 204, 214, 224}},
      {Matrix, DEFAULT, true, {122, 194}},
      {Matrix, BYPASS, false, {194}},
      {Matrix, UNBYPASS, true, {194}},
      {Disrupt, CLEAR, true, {138, 72, 79}},
      {Disrupt, DEFAULT, true, {72, 79}},
      {Disrupt, BYPASS, true, {79}},
      {Disrupt, UNBYPASS, false, {79}},
      {Follower, CLEAR, true, {145, 93, 148, 151, 96}},
      {Follower, DEFAULT, true, {93, 148}},
      {Follower, BYPASS, false, {148}},
      {Follower, UNBYPASS, true, {148}},
      {Lfo, CLEAR, true, {158, 99}},
      {Lfo, DEFAULT, true, {99}},
      {Lfo, BYPASS, true, {}},
      {Lfo, UNBYPASS, true, {}},
  };
  for (const Row& r : rows) {
    plugin->defaultProgram();
    switch (r.kind) {
      case Matrix:
        for (int t : MOD_SLOT_ROW_TAGS[4]) awayFromDefault(t);
        plugin->setDestForModSlot(4, dest());
        plugin->setOnOff(194, r.startOn);
        break;
      case Disrupt:
        awayFromDefault(72);
        plugin->setDestForTag(138, dest());
        plugin->setOnOff(79, r.startOn);
        break;
      case Follower:
        for (int t : {93, 151, 96}) awayFromDefault(t);
        plugin->setDestForTag(145, dest());
        plugin->setOnOff(148, r.startOn);
        break;
      case Lfo:
        awayFromDefault(99);
        plugin->setDestForTag(158, dest());
        break;
    }
    const auto before = values();
    choose(r.title);
    open(KNOB);
    EXPECT_EQ(changedSince(before), r.changed) << r.kind << " " << r.title;
  }
}

TEST_F(ParameterMenu, DismissedOrRefusedMenusChangeNothing) {
  plugin->setDestForModSlot(0, dest());
  const auto before = values();
  menus().dismiss();
  open(KNOB);
  EXPECT_EQ(menus().runs, 1);
  EXPECT_TRUE(changedSince(before).empty());
  for (int tag : {0, -1, NUM_PARAMS}) {
    choose("Set to Maximum");
    open(tag);
  }
  EXPECT_EQ(menus().runs, 1);
  EXPECT_TRUE(changedSince(before).empty());
}
