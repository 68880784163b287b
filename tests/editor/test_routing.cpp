// User actions on controls reaching the plug-in: buttons, radios, menus by title, the settings
// switches, the generic row, program steps by key, the control under edit, modulation drops
// through the idle pass, Help with a fake viewer and the steps that need the editor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "controls/pluginControls.h"
#include "editorTestUtil.h"
#include "platform/os/processRunner.h"
#include "plugin/uVocabulary.h"
#include "support/fakeHost.h"
#include "vstgui/x11keys.h"

using namespace editortest;
using namespace VSTGUI;
using testing_support::FakeHost;

namespace {

// Records what the plug-in and the controls ask of the layout.
class RecordingEditor : public uEditor {
 public:
  using uEditor::uEditor;
  void updatePath() override {
    ++paths;
    uEditor::updatePath();
  }
  void updateDistort(int type) override {
    types.push_back(type);
    uEditor::updateDistort(type);
  }
  void setDroppable(int tag, bool on) { droppable[tag] = on; }
  int drawMode() const { return waveShaperDrawMode; }
  int paths = 0;
  std::vector<int> types;
};

}  // namespace

class Routing : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    APlugin::editorFactory.store([](APlugin& p) -> CreatedEditor {
      auto* e = new RecordingEditor(&p);
      return {e, e};
    });
    TestArt::useFullSet();
    plugin = std::make_unique<APlugin>(&FakeHost::callback);
    editor = rec = dynamic_cast<RecordingEditor*>(plugin->getEditor());
    ASSERT_NE(rec, nullptr);
    ASSERT_TRUE(openEditor());
    pass();
    host.calls.clear();
  }
  int automated(int tag) const {
    int n = 0;
    for (const auto& c : host.calls) n += c.opcode == kHostAutomate && c.index == tag;
    return n;
  }
  template <typename T>
  T* shown(T* view) {
    editor->own(view);
    editor->getFrame()->addView(view);
    return view;
  }
  // Chooses the entry of that title in m or its sub-menus, as a pop-up reports it.
  void pick(COptionMenu* m, const std::string& title) {
    const MenuChoice c = testing_support::TestMenuDriver::findTitle(*m, title);
    ASSERT_NE(c.menu, nullptr) << title;
    c.menu->setValue(static_cast<float>(c.index));
    editor->valueChanged(c.menu);
  }
  void choose(COptionMenu* m, const std::string& title) {
    tester->menus().chooseTitle(title);
    m->popup();
  }
  // Presses (and releases) a button as the toolkit reports it: 1, then 0.
  void press(CControl* c, bool release = true) {
    for (float v : {1.0f, 0.0f}) {
      c->setValue(v);
      editor->valueChanged(c);
      if (!release) break;
    }
  }
  // A tag whose parameter is a modulation destination (or not), other than the ones given.
  int tagWithDest(bool withDest, int except = -1) {
    for (int t = 1; t < NUM_PARAMS; ++t)
      if ((plugin->getDestByTag(t) >= 1) == withDest && !plugin->isOnOffTag(t) && plugin->getMenuNum(t) < 0 &&
          t != except)
        return t;
    return -1;
  }

  FakeHost host;  // before the plug-in: its callback reaches this one
  RecordingEditor* rec = nullptr;
};

// Buttons and radios, one named case each: the state before, the control, whether it is only
// pressed (radios) or pressed and released (kick buttons), and what must follow.
class RoutingPress;
struct PressCase {
  const char* name;
  void (*before)(RoutingPress&);
  CControl* (*control)(uEditor&);
  bool releaseToo;
  void (*check)(RoutingPress&);
};

void PrintTo(const PressCase& c, std::ostream* os) { *os << c.name; }

class RoutingPress : public Routing, public testing::WithParamInterface<PressCase> {
 public:
  APlugin& p() { return *plugin; }
  RecordingEditor& e() { return *rec; }
  int automations(int tag) const { return automated(tag); }
  void pressOnce(CControl* c, bool release) { press(c, release); }
  // A release alone, as when the pointer was pressed elsewhere and let go over the button.
  void releaseOnly(CControl* c) {
    c->setValue(0.0f);
    editor->valueChanged(c);
  }
  float saved = 0.0f;  // a value a case's setup notes for its check
};

namespace {

void noSetup(RoutingPress&) {}
// Shaper 2 set to "None" (y = x), shaper 1 to something else: Apply must read its own shaper.
void shapersApart(RoutingPress& t) {
  t.p().setSteppedValue(WAVESHAPER_DISTORT_MODE_TAGS[0], 5);
  t.p().setSteppedValue(WAVESHAPER_DISTORT_MODE_TAGS[1], 0);
  t.p().setParameter(WAVESHAPER_START_TAG[1] + 64, 0.9f);
}

const PressCase PRESS_CASES[] = {
    {"ResetIgnoresARelease",
     [](RoutingPress& t) {
       t.p().setParameter(DISRUPT_AMOUNT_TAG, 0.2f);
       t.releaseOnly(t.e().disruptResetButton);
     },
     nullptr, false, [](RoutingPress& t) { EXPECT_FLOAT_EQ(t.p().getParameter(DISRUPT_AMOUNT_TAG), 0.2f); }},
    {"ApplyIgnoresARelease",
     [](RoutingPress& t) {
       shapersApart(t);
       t.releaseOnly(applyButton(t.e(), 1));
     },
     nullptr, false,
     [](RoutingPress& t) { EXPECT_FLOAT_EQ(t.p().getParameter(WAVESHAPER_START_TAG[1] + 64), 0.9f); }},
    {"ResetCentresTheDisruptAmount", [](RoutingPress& t) { t.p().setParameter(DISRUPT_AMOUNT_TAG, 0.2f); },
     [](uEditor& e) -> CControl* { return e.disruptResetButton; }, true,
     [](RoutingPress& t) {
       EXPECT_FLOAT_EQ(t.p().getParameter(DISRUPT_AMOUNT_TAG), 0.5f);
       EXPECT_EQ(t.automations(DISRUPT_AMOUNT_TAG), 1);
     }},
    {"ApplyWritesItsOwnShapersCurve",
     [](RoutingPress& t) {
       shapersApart(t);
       t.saved = t.p().getParameter(WAVESHAPER_START_TAG[0] + 64);
     },
     [](uEditor& e) -> CControl* { return applyButton(e, 1); }, true,
     [](RoutingPress& t) {
       for (auto [p, v] : {std::pair{0, 0.0f}, {64, 0.25f}, {128, 0.5f}, {192, 0.75f}})
         EXPECT_FLOAT_EQ(t.p().getParameter(WAVESHAPER_START_TAG[1] + p), v) << p;
       EXPECT_EQ(t.automations(WAVESHAPER_START_TAG[1] + 64), 0);  // curve points are not automated
       EXPECT_EQ(t.p().getParameter(WAVESHAPER_START_TAG[0] + 64), t.saved);
     }},
    // Filter types are plain stores.
    {"HighPassType", [](RoutingPress& t) { t.p().setParameter(HP_TYPE_TAG, 0.f); },
     [](uEditor& e) -> CControl* { return e.highPassTypeButtons[1]; }, false,
     [](RoutingPress& t) {
       EXPECT_EQ(t.p().getParameter(HP_TYPE_TAG), 1.f);
       EXPECT_EQ(t.automations(HP_TYPE_TAG), 0);
     }},
    {"LowPassType", [](RoutingPress& t) { t.p().setParameter(LP_TYPE_TAG, 1.f); },
     [](uEditor& e) -> CControl* { return e.lowPassTypeButtons[0]; }, false,
     [](RoutingPress& t) {
       EXPECT_EQ(t.p().getParameter(LP_TYPE_TAG), 0.f);
       EXPECT_EQ(t.automations(LP_TYPE_TAG), 0);
     }},
    {"Polarity", noSetup, [](uEditor& e) -> CControl* { return e.polarityButtons[1]; }, false,
     [](RoutingPress& t) {
       EXPECT_EQ(t.p().getParameter(WAVESHAPER_POLAR_TAG), 1.f);
       EXPECT_EQ(t.automations(WAVESHAPER_POLAR_TAG), 1);
     }},
    {"DrawMode", noSetup, [](uEditor& e) -> CControl* { return e.drawModeButtons[2]; }, false,
     [](RoutingPress& t) { EXPECT_EQ(t.e().drawMode(), 2); }},
    {"EqView", noSetup, [](uEditor& e) -> CControl* { return e.eqViewButtons[1]; }, false,
     [](RoutingPress& t) { EXPECT_EQ(t.e().getSelectedEQ(), 1); }},
    {"BottomTab", noSetup, [](uEditor& e) -> CControl* { return e.tabButtons[3]; }, false,
     [](RoutingPress& t) { EXPECT_EQ(t.e().getBottomTab(), 3); }},
    {"LfoPage", noSetup, [](uEditor& e) -> CControl* { return lfoPageButton(e, 2); }, false,
     [](RoutingPress& t) {
       EXPECT_EQ(t.e().getLfoPage(), 2);
       // Shown again, the tab lights the chosen page's button only.
       t.e().setBottomTab(3);
       t.e().showBottomScreen();
       for (int l = 0; l < 4; ++l) EXPECT_EQ(lfoPageButton(t.e(), l)->getValue(), l == 2 ? 1.f : 0.f) << l;
     }},
    // The mode buttons of the shown page only.
    {"LfoModeOfTheShownPage", [](RoutingPress& t) { t.pressOnce(lfoPageButton(t.e(), 2), false); },
     [](uEditor& e) -> CControl* { return e.lfoModeButtons[2][3]; }, false,
     [](RoutingPress& t) { EXPECT_EQ(t.p().getLFOMode(2), 3); }},
    {"LfoModeOfAHiddenPage", [](RoutingPress& t) { t.pressOnce(lfoPageButton(t.e(), 2), false); },
     [](uEditor& e) -> CControl* { return e.lfoModeButtons[1][2]; }, false,
     [](RoutingPress& t) { EXPECT_EQ(t.p().getLFOMode(1), 0); }},
};

}  // namespace

TEST_P(RoutingPress, ActsOnThePressOnly) {
  const PressCase& c = GetParam();
  c.before(*this);
  if (c.control) {
    CControl* control = c.control(*editor);
    ASSERT_NE(control, nullptr);
    press(control, c.releaseToo);
  }
  c.check(*this);
}
INSTANTIATE_TEST_SUITE_P(Routing, RoutingPress, testing::ValuesIn(PRESS_CASES),
                         [](const testing::TestParamInfo<PressCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(Routing, GenericRowOnlyForTagsTheHostKnowsAndDisruptSlotsSwitchOn) {
  struct Row {
    int tag, automations;
  };
  for (const Row& r :
       {Row{1, 1}, Row{1023, 1}, Row{1024, 0}, Row{9998, 0}, Row{NO_PARAM_TAG, 0}, Row{-1, 0}}) {
    host.calls.clear();
    auto* c = shown(new CControl(CRect(0, 0, 10, 10), editor, r.tag));
    c->setValue(0.75f);
    editor->valueChanged(c);
    EXPECT_EQ(host.count(kHostAutomate), r.automations) << r.tag;
  }
  EXPECT_FLOAT_EQ(plugin->getParameter(1), 0.75f);
  // A Disrupt slot switches itself on once its amount leaves the centre.
  CControl* knob = testControl(*editor, DISRUPT_SLOT_AMT_1_TAG + 2);
  for (auto [v, on] : {std::pair{0.505f, false}, {0.495f, false}, {0.52f, true}}) {
    plugin->setParameter(DISRUPT_ON_TAGS[2], 0.f);
    knob->setValue(v);
    editor->valueChanged(knob);
    EXPECT_FLOAT_EQ(plugin->getParameter(DISRUPT_SLOT_AMT_1_TAG + 2), v);
    EXPECT_EQ(plugin->getOnOff(DISRUPT_ON_TAGS[2]), on) << v;
  }
}

TEST_F(Routing, MenusByTagAndTitle) {
  auto entry = [](COptionMenu* m, int k) { return m->getEntry(k)->getTitle(); };
  struct Row {
    TOptionMenu* menu;
    std::string choice;
    int tag, expectedStep;  // -1: the tag's step stays
  };
  const Row rows[] = {
      {editor->followerDestMenus[1].main, std::string(DEST_STR[40]), FOLLOWER_DEST_1_TAG + 1, 40},
      {editor->followerSourceMenus[2].main, std::string(SRC_STR[33]), FOLLOWER_MOD_SRC_1_TAG + 2, 33},
      {editor->lfoDestMenus[0].main, std::string(DEST_STR[20]), LFO_DEST_TAGS[0], 20},  // page 0 is shown
      {editor->lfoDestMenus[1].main, std::string(DEST_STR[20]), LFO_DEST_TAGS[1], -1},
      // The type knobs' destinations are named after the current type.
      {editor->lfoDestMenus[0].main, editor->getDestMenuName(8), LFO_DEST_TAGS[0], 8},
      {editor->lfoWaveMenus[1], entry(editor->lfoWaveMenus[1], 2), LFO_WAVE_TAGS[1], -1},
      {editor->lfoTriggerMenus[0], entry(editor->lfoTriggerMenus[0], 1), LFO_TRIGGER_TAGS[0], 1},
      {editor->disruptQuantMenu, entry(editor->disruptQuantMenu, 4), DISRUPT_QUANT_TAG, 4},
      {editor->followerSourceMenu, entry(editor->followerSourceMenu, 3), FOLLOWER_SOURCE_TAG, 3},
      {editor->waveShaperModeMenus[1], entry(editor->waveShaperModeMenus[1], 5),
       WAVESHAPER_DISTORT_MODE_TAGS[1], 5},
  };
  for (const Row& r : rows) {
    const int before = plugin->getSteppedValue(r.tag);
    pick(r.menu, r.choice);
    EXPECT_EQ(plugin->getSteppedValue(r.tag), r.expectedStep < 0 ? before : r.expectedStep) << r.choice;
  }
  // Titles matching nothing change nothing; a menu of no parameter never reaches the generic row.
  for (auto [tag, title] : {std::pair<int, const char*>{FOLLOWER_DEST_1_TAG, "Not A Destination"},
                            {DISTORT_TYPE_TAG, "No Type"},
                            {LFO_DEST_TAGS[0] + 40, "s2"}}) {
    auto* m = new TOptionMenu(CRect(0, 0, 50, 20), editor, tag, nullptr, nullptr, 256, 0, true, false);
    m->addEntry(title);
    pick(m, title);
    m->forget();
  }
  EXPECT_EQ(host.count(kHostAutomate), 8);  // the rows above that changed a step
  pick(editor->distortTypeMenu, std::string(DISTORT_TYPE_STR[17]));
  EXPECT_EQ(rec->types, std::vector<int>{17});
  plugin->setMidiCCTag(5, 10);
  pick(editor->ecsMenu, "Clear All MIDI");
  EXPECT_EQ(plugin->getMidiCCTag(5), 0);
  const int laidOut = rec->paths;
  choose(editor->pathMenu, std::string(MODULE_PATH_STR[9]));  // through the pop-up
  EXPECT_EQ(plugin->getModulePath(), 9);
  pass();
  EXPECT_EQ(rec->paths, laidOut + 1);
}

TEST_F(Routing, PresetMenusAndProgramButtonsBringTheControlsAlong) {
  RecordingDialogs dialogs;
  TOptionMenu* presets = editor->presetMenu;
  choose(presets, editor->presetSubMenus[1]->getEntry(13)->getTitle());
  EXPECT_EQ(plugin->getCurDemoProgram(), 45);
  // The snapshots switch without notifications: the controls follow at the next pass all the same.
  plugin->setParameter(1, 0.1f);
  const std::function<void()> steps[] = {[&] { choose(presets, "Revert to Original Preset"); },
                                         [&] { press(editor->editedButton); },
                                         [&] { press(editor->originalButton); }};
  for (const auto& step : steps) {
    step();
    pass();
    EXPECT_EQ(editor->headerVolumeKnob->getValue(), plugin->getParameter(1));
  }
  EXPECT_NE(plugin->getParameter(1), 0.1f);
  const int mode = editor->getScreenMode();
  choose(presets, "Set To 150% Screen");
  EXPECT_EQ(pref("Big150"), "Y");
  EXPECT_EQ(editor->getScreenMode(), mode);  // the open editor keeps its size
}

TEST_F(Routing, SettingsScreenSwitchesAndSizeMenu) {
  RecordingDialogs dialogs;
  saveStringToPrefs("MidiBank", "N");
  plugin->setMidiPresetOn(false);
  press(editor->settingsButton);
  ASSERT_EQ(editor->getScreenState(), 2);
  struct Row {
    TOnOff* sw;
    const char* key;
    bool shownOn;
  };
  const Row rows[] = {{editor->keySwitch, "Key", true},
                      {editor->midiPresetSwitch, "MidiPreset", false},
                      {editor->midiBankSwitch, "MidiBank", false},
                      {editor->midiCaptureSwitch, "MidiCapture", plugin->getMidiCaptureOn()}};
  for (int round = 0; round < 2; ++round) {
    for (const Row& r : rows) {
      const bool on = r.shownOn != (round == 0);  // each click toggles
      EXPECT_EQ(r.sw->getValue() > 0.5f, !on) << r.key;
      tester->click(r.sw->getViewSize().left + 2, r.sw->getViewSize().top + 2);
      EXPECT_EQ(pref(r.key), on ? "Y" : "N") << r.key;
    }
    EXPECT_EQ(editor->getKeyboardOn(), round == 1);
    EXPECT_EQ(editor->getFrame()->getKeyboardFocusOnClick(), round == 1) << "a click takes the keys";
    EXPECT_EQ(plugin->getMidiPresetOn(), round == 0);
  }
  // A fourth entry stands for any index past the three sizes.
  editor->screenSizeMenu->addEntry("Bogus");
  choose(editor->screenSizeMenu, "200% Screen Size");
  EXPECT_EQ(pref("Big200"), "Y");
  EXPECT_EQ(editor->screenSizeMenu->getDisplayText(), std::string(SHORT_SCREEN_SIZE_STR[2]));
  choose(editor->screenSizeMenu, "Bogus");
  EXPECT_EQ(pref("Big200"), "Y");
  EXPECT_EQ(host.count(kHostAutomate), 0);
  press(editor->backsideButton);
  EXPECT_EQ(editor->getScreenState(), 0);
}

TEST_F(Routing, ArrowKeysStepProgramsAtMostEvery333Milliseconds) {
  // Holding the key (repeat every 100 ms) from 1 s after the last step.
  tester->advanceClock(1000);
  for (int t = 0; t < 1000; t += 100) {
    EXPECT_EQ(tester->keyDown(X11::kVKeyDown), 1);
    tester->advanceClock(100);
  }
  EXPECT_EQ(plugin->getCurDemoProgram(), 3);
  tester->clock().set(500);  // the clock went back: the next press steps at once
  EXPECT_EQ(tester->keyDown(X11::kVKeyUp), 1);
  EXPECT_EQ(plugin->getCurDemoProgram(), 2);
  // Page keys are kept from the host without effect; others, and all with the keyboard off, pass.
  for (auto [keyboard, key, result] :
       {std::tuple{true, X11::kVKeyPageUp, 1}, {true, X11::kVKeyLeft, -1}, {false, X11::kVKeyDown, -1}}) {
    editor->setKeyboardOn(keyboard);
    tester->advanceClock(1000);
    EXPECT_EQ(tester->keyDown(key), result) << int(key);
    EXPECT_EQ(tester->keyUp(key), -1);
    EXPECT_EQ(plugin->getCurDemoProgram(), 2);
  }
  // The preset menu's arrows step whatever the keyboard setting, with the same limit.
  editor->changeProgramDelta(3);
  editor->changeProgramDelta(3);
  EXPECT_EQ(plugin->getCurDemoProgram(), 5);
}

TEST_F(Routing, TheEditedControlIsTheOneHeldElseTheOneShown) {
  const int tag = 1000;       // no control of the layout has it, nor 1001
  testControl(*editor, tag);  // a hidden twin, registered first
  CControl* shownKnobs[2];
  for (CControl*& k : shownKnobs) {
    k = shown(new CControl(CRect(20, 20, 30, 30), editor, tag));
    editor->addControl(k, true, false, false);
  }
  editor->setEditTag(tag);
  EXPECT_EQ(editor->editControl, shownKnobs[0]);
  shownKnobs[1]->beginEdit();  // through the frame and the plug-in's begin edit
  EXPECT_EQ(editor->editControl, shownKnobs[1]);
  shownKnobs[1]->endEdit();
  EXPECT_EQ(editor->editControl, nullptr);
  editor->setEditTag(tag);
  editor->setEditTag(1001);  // no control has it: unchanged
  EXPECT_EQ(editor->editControl, shownKnobs[0]);
  editor->setEditTag(1024);
  EXPECT_EQ(editor->editControl, nullptr);
}

TEST_F(Routing, StepsThatNeedTheEditor) {
  plugin->setSteppedValue(DISTORT_TYPE_TAG, 51);
  plugin->changeDelta(DISTORT_TYPE_TAG, 1);
  EXPECT_EQ(rec->types, std::vector<int>{52});
  plugin->setSteppedValue(MODULE_PATH_TAG, 23);
  host.calls.clear();
  const int laidOut = rec->paths;
  plugin->changeDelta(MODULE_PATH_TAG, 1);
  EXPECT_EQ(plugin->getModulePath(), 23);
  EXPECT_EQ(rec->paths, laidOut + 1);
  EXPECT_EQ(automated(MODULE_PATH_TAG), 1);
}

// ---- Modulation drops ----

class Drops : public Routing {
 protected:
  void SetUp() override {
    Routing::SetUp();
    matrix = shown(new CView(CRect(100, 100, 200, 200)));
    editor->setDropTarget(matrix, -1, -1);
    lfoMenu = shown(new CView(CRect(300, 100, 400, 120)));
    editor->setDropTarget(lfoMenu, LFO_DEST_TAGS[1], LFO_AMT_TAGS[1]);
    disrupt3 = testControl(*editor, DISRUPT_SLOT_AMT_1_TAG + 2, CRect(500, 100, 540, 140));
    editor->getFrame()->addView(disrupt3);
    editor->setDropTarget(disrupt3, DISRUPT_DEST_TAGS[2], DISRUPT_SLOT_AMT_1_TAG + 2);
    knob = tagWithDest(true, DISRUPT_SLOT_AMT_1_TAG + 2);
    bare = tagWithDest(false);
    ASSERT_GE(knob, 0);
    ASSERT_GE(bare, 0);
  }
  // Press on the knob of tag, turn it to `to`, release over `at`, one idle pass.
  void drag(int tag, float to, const CView* at, bool release = true) {
    plugin->setParameter(tag, 0.25f);
    editor->setDropTag(tag);
    plugin->setParameter(tag, to);
    if (release) editor->releasedDropDial();
    tester->move(at->getViewSize().left + 2, at->getViewSize().top + 2);
    pass();
  }
  void fillSlots(int n) {
    for (int s = 0; s < n; ++s) plugin->setDestForModSlot(s, 1 + s);
  }
  const CView* matrix = nullptr;
  const CView* lfoMenu = nullptr;
  CControl* disrupt3 = nullptr;
  int knob = -1, bare = -1;
};

TEST_F(Drops, WhatRestoresOnlyOrNothing) {
  struct Row {
    const char* what;
    int slotsFull;
    bool bareKnob, droppable, release;
    const CView* target;
    float knobAfter;  // 0.25: restored; 0.9: left where turned
  };
  const Row rows[] = {
      {"ten full slots", 10, false, true, true, matrix, 0.25f},
      {"no destination, matrix", 0, true, true, true, matrix, 0.25f},
      {"no destination, LFO menu", 0, true, true, true, lfoMenu, 0.25f},
      {"not droppable", 0, false, false, true, matrix, 0.9f},
      {"still held", 0, false, true, false, matrix, 0.9f},
  };
  for (const Row& r : rows) {
    fillSlots(r.slotsFull);
    plugin->setDestForTag(LFO_DEST_TAGS[1], 5);
    std::vector<float> before;
    for (int t = 0; t < NUM_PROGRAM_VALUES; ++t) before.push_back(plugin->getParameter(t));
    const int tag = r.bareKnob ? bare : knob;
    rec->setDroppable(knob, true);
    rec->setDroppable(tag, r.droppable);
    drag(tag, 0.9f, r.target, r.release);
    EXPECT_FLOAT_EQ(plugin->getParameter(tag), r.knobAfter) << r.what;
    before[static_cast<size_t>(tag)] = plugin->getParameter(tag);
    for (int t = 0; t < NUM_PROGRAM_VALUES; ++t)
      EXPECT_EQ(plugin->getParameter(t), before[static_cast<size_t>(t)]) << r.what << " " << t;
    EXPECT_EQ(editor->modDrag.tag, r.release ? -1 : tag) << r.what;
    editor->releasedDropDial();
    pass();  // a drag released elsewhere is forgotten
    EXPECT_EQ(editor->modDrag.tag, -1);
  }
}

TEST_F(Drops, ARouteInAFreeSlotOrOnATargetAndTheKnobGoesBack) {
  fillSlots(3);
  plugin->setSrcForModSlot(3, 7);
  drag(knob, 0.9f, matrix);
  EXPECT_EQ(plugin->getSrcForModSlot(3), 7);  // the source stays
  EXPECT_FLOAT_EQ(plugin->getParameter(knob), 0.25f);
  EXPECT_EQ(automated(knob), 1);
  EXPECT_EQ(plugin->getDestForModSlot(3), plugin->getDestByTag(knob));
  EXPECT_FLOAT_EQ(plugin->getParameter(MOD_SLOT_AMT_TAGS[3]), 0.5f);
  EXPECT_FALSE(plugin->getOnOff(MOD_SLOT_BY_TAGS[3]));
  EXPECT_EQ(plugin->getDestForModSlot(4), 0);
  EXPECT_EQ(editor->modDrag.tag, -1);
  // A click on a Disrupt knob is no drop onto itself.
  plugin->setDestForTag(DISRUPT_DEST_TAGS[2], 0);
  drag(DISRUPT_SLOT_AMT_1_TAG + 2, 0.7f, disrupt3);
  EXPECT_FLOAT_EQ(plugin->getParameter(DISRUPT_SLOT_AMT_1_TAG + 2), 0.7f);
  EXPECT_EQ(plugin->getDestForTag(DISRUPT_DEST_TAGS[2]), 0);
  plugin->setOff(DISRUPT_ON_TAGS[2]);
  drag(knob, 0.9f, disrupt3);
  EXPECT_FLOAT_EQ(plugin->getParameter(knob), 0.25f);
  EXPECT_EQ(plugin->getDestForTag(DISRUPT_DEST_TAGS[2]), plugin->getDestByTag(knob));
  EXPECT_FLOAT_EQ(plugin->getParameter(DISRUPT_SLOT_AMT_1_TAG + 2), 1.0f);
  EXPECT_TRUE(plugin->getOnOff(DISRUPT_ON_TAGS[2]));
  drag(knob, 0.9f, lfoMenu);
  EXPECT_EQ(plugin->getDestForTag(LFO_DEST_TAGS[1]), plugin->getDestByTag(knob));
  EXPECT_FLOAT_EQ(plugin->getParameter(LFO_AMT_TAGS[1]), 1.0f);
}

// ---- Help ----

class Help : public Routing {
 protected:
  void SetUp() override {
    Routing::SetUp();
    // The fake viewer writes its arguments (NUL-separated) and its process id, then waits at the
    // gate, so that a started viewer is still running when the press returns.
    ASSERT_EQ(::mkfifo(bin.file("gate").c_str(), 0600), 0);
    dialogtest::writeScript(bin.file("xdg-open"),
                            "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > " +
                                dialogtest::shellQuoted(bin.file("args")) + "\necho $$ > " +
                                dialogtest::shellQuoted(bin.file("pid")) + "\nread x < " +
                                dialogtest::shellQuoted(bin.file("gate")) + "\n");
  }
  // Presses Help; when a viewer started, lets it go once it has written what it got.
  bool pressHelp() {
    for (int i = 0; i < 500 && platform::reapDetachedChildren() > 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    press(editor->helpButton);
    if (platform::reapDetachedChildren() == 0) return false;
    int gate = -1;
    for (int i = 0; i < 500 && gate < 0; ++i) {
      gate = ::open(bin.file("gate").c_str(), O_WRONLY | O_NONBLOCK);
      if (gate < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_GE(gate, 0) << "the viewer never reached the gate";
    if (gate >= 0) ::close(gate);
    return true;
  }
  std::vector<std::string> viewerArgs() const {
    return dialogtest::splitNul(dialogtest::readFile(bin.file("args")));
  }
  dialogtest::TempDir bin, docs;
  dialogtest::ScopedEnv path{"PATH", bin.path() + ":/usr/bin:/bin"};
};

TEST_F(Help, TheViewerGetsOneAbsoluteArgumentWhateverThePathAndIsReaped) {
  std::string deep = docs.path();
  while (deep.size() < 300) {
    deep += "/" + std::string(60, 'd');
    ASSERT_EQ(::mkdir(deep.c_str(), 0700), 0);
  }
  const std::string names[] = {docs.path() + "/it's \"the\" manual.pdf",
                               docs.path() + "/$(id) `id`; rm -rf x.pdf", deep + "/manual.pdf",
                               docs.path() + "/-manual.pdf"};
  for (const std::string& name : names) {
    dialogtest::writeFile(name, "%PDF");
    plugin->helpDir = name;
    ASSERT_TRUE(pressHelp()) << name;
    EXPECT_EQ(viewerArgs(), std::vector<std::string>{name});
  }
  // The ended viewer is reaped by the idle pass: no zombie left behind.
  const std::string proc = "/proc/" + std::to_string(std::stoi(dialogtest::readFile(bin.file("pid"))));
  for (int i = 0; i < 200 && std::filesystem::exists(proc); ++i) {
    pass();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_FALSE(std::filesystem::exists(proc));
  // A relative path starting with '-' reaches the viewer as an absolute one, never an option.
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(docs.path());
  plugin->helpDir = "-manual.pdf";
  const bool started = pressHelp();
  std::filesystem::current_path(cwd);
  ASSERT_TRUE(started);
  EXPECT_EQ(viewerArgs(), std::vector<std::string>{names[3]});
}

TEST_F(Help, NothingStartsWithoutAReadableManual) {
  for (const std::string& missing : {docs.file("none.pdf"), std::string()}) {
    plugin->helpDir = missing;
    EXPECT_FALSE(pressHelp()) << missing;
  }
  // A FIFO in the manual's place does not hold the window: the press returns.
  ASSERT_EQ(::mkfifo(docs.file("fifo").c_str(), 0600), 0);
  plugin->helpDir = docs.file("fifo");
  pressHelp();
}
