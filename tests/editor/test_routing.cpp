// User actions on controls reaching the plug-in: buttons, radios, menus by title, the settings
// switches, the generic row, program steps by key, the control under edit, modulation drops
// through the idle pass, Help with a fake viewer and the steps that need the editor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <filesystem>
#include <thread>

#include "controls/pluginControls.h"
#include "editor/waveShaper.h"
#include "editorTestUtil.h"
#include "platform/dialogTestSupport.h"
#include "platform/processRunner.h"
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

CreatedEditor makeRecording(APlugin& plugin) {
  auto* e = new RecordingEditor(&plugin);
  return {e, e};
}

}  // namespace

class Routing : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    APlugin::editorFactory.store(&makeRecording);
    TestArt::useFullSet();
    plugin = std::make_unique<APlugin>(&FakeHost::callback);
    editor = dynamic_cast<uEditor*>(plugin->getEditor());
    rec = dynamic_cast<RecordingEditor*>(editor);
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
  CKickButton* kick() { return shown(new CKickButton(CRect(0, 0, 10, 10), editor, NO_PARAM_TAG, nullptr)); }
  TRadioButton* radio() { return shown(new TRadioButton(CRect(0, 0, 10, 10), editor, nullptr)); }
  // A menu in the frame, chosen through the scripted menu driver.
  TOptionMenu* menu(int tag, const std::vector<std::string>& titles) {
    auto* m = shown(newMenu(tag));
    for (const std::string& t : titles) m->addEntry(t);
    return m;
  }
  TOptionMenu* newMenu(int tag) {
    return new TOptionMenu(CRect(0, 0, 50, 20), editor, tag, nullptr, nullptr, 256, 0, true, false);
  }
  void choose(COptionMenu* m, const std::string& title) {
    tester->menus().chooseTitle(title);
    m->popup();
  }
  // Presses and releases a kick button as the toolkit reports it: 1, then 0.
  void press(CControl* c, bool release = true) {
    c->setValue(1.0f);
    editor->valueChanged(c);
    if (!release) return;
    c->setValue(0.0f);
    editor->valueChanged(c);
  }
  // A tag whose parameter is a modulation destination (or not), other than the ones given.
  int tagWithDest(bool withDest, std::initializer_list<int> except = {}) {
    for (int t = 1; t < NUM_PARAMS; ++t) {
      if ((plugin->getDestByTag(t) >= 1) != withDest || plugin->isOnOffTag(t) || plugin->getMenuNum(t) >= 0)
        continue;
      if (std::find(except.begin(), except.end(), t) == except.end()) return t;
    }
    return -1;
  }

  FakeHost host;  // before the plug-in: its callback reaches this one
  RecordingEditor* rec = nullptr;
};

TEST_F(Routing, KickButtonsActOnThePressOnly) {
  editor->disruptResetButton = kick();
  editor->applyButtons[1] = kick();
  plugin->setParameter(DISRUPT_AMOUNT_TAG, 0.2f);
  plugin->setSteppedValue(WAVESHAPER_DISTORT_MODE_TAGS[1], 6);  // "Bits"
  plugin->setParameter(WAVESHAPER_DISTORT_1_TAGS[1], 0.3f);
  const float before = plugin->getParameter(WAVESHAPER_START_TAG[1] + 200);

  for (CControl* c : {static_cast<CControl*>(editor->disruptResetButton),
                      static_cast<CControl*>(editor->applyButtons[1])}) {
    c->setValue(0.0f);
    editor->valueChanged(c);  // a release alone
  }
  EXPECT_FLOAT_EQ(plugin->getParameter(DISRUPT_AMOUNT_TAG), 0.2f);
  EXPECT_EQ(plugin->getParameter(WAVESHAPER_START_TAG[1] + 200), before);

  press(editor->disruptResetButton);
  EXPECT_FLOAT_EQ(plugin->getParameter(DISRUPT_AMOUNT_TAG), 0.5f);
  EXPECT_EQ(automated(DISRUPT_AMOUNT_TAG), 1);

  press(editor->applyButtons[1]);
  for (int p : {0, 100, 200, 255})
    EXPECT_FLOAT_EQ(plugin->getParameter(WAVESHAPER_START_TAG[1] + p),
                    editor->getWaveShaperDistortValues(1, p))
        << p;
  EXPECT_NE(plugin->getParameter(WAVESHAPER_START_TAG[1] + 200), before);
  EXPECT_EQ(automated(WAVESHAPER_START_TAG[1] + 200), 0);  // curve points are not automated
  EXPECT_FLOAT_EQ(plugin->getParameter(WAVESHAPER_START_TAG[0] + 200), before);  // the other curve stays
}

TEST_F(Routing, WaveShaperValuesAreTheGeneratorsOnTheShapersParameters) {
  struct Row {
    int ws, mode;
    float a, b;
    bool polar;
  };
  const Row rows[] = {{0, 0, 0.f, 0.f, false},
                      {0, 5, 0.7f, 0.2f, true},
                      {1, 12, 0.4f, 0.9f, false},
                      {1, 32, 1.f, 0.5f, true}};
  for (const Row& r : rows) {
    plugin->setSteppedValue(WAVESHAPER_DISTORT_MODE_TAGS[r.ws], r.mode);
    plugin->setParameter(WAVESHAPER_DISTORT_1_TAGS[r.ws], r.a);
    plugin->setParameter(WAVESHAPER_DISTORT_2_TAGS[r.ws], r.b);
    plugin->setParameter(WAVESHAPER_POLAR_TAG, r.polar ? 1.f : 0.f);
    for (int p : {0, 64, 128, 255})
      EXPECT_EQ(editor->getWaveShaperDistortValues(r.ws, p),
                waveshaper::waveShaperValue(r.mode, r.a, r.b, r.polar, p))
          << r.ws << " " << r.mode << " " << p;
  }
  for (auto [ws, p] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 256}})
    EXPECT_EQ(editor->getWaveShaperDistortValues(ws, p), 0.f);
}

TEST_F(Routing, RadiosAndSwitchButtons) {
  editor->highPassTypeButtons[1] = radio();
  editor->lowPassTypeButtons[0] = radio();
  editor->polarityButtons[1] = radio();
  editor->drawModeButtons[2] = radio();
  editor->tabButtons[3] = radio();
  plugin->setParameter(HP_TYPE_TAG, 0.f);
  plugin->setParameter(LP_TYPE_TAG, 1.f);
  press(editor->highPassTypeButtons[1], false);
  press(editor->lowPassTypeButtons[0], false);
  EXPECT_EQ(plugin->getParameter(HP_TYPE_TAG), 1.f);
  EXPECT_EQ(plugin->getParameter(LP_TYPE_TAG), 0.f);
  EXPECT_EQ(automated(HP_TYPE_TAG) + automated(LP_TYPE_TAG), 0);  // filter types: plain stores
  press(editor->polarityButtons[1], false);
  EXPECT_EQ(plugin->getParameter(WAVESHAPER_POLAR_TAG), 1.f);
  EXPECT_EQ(automated(WAVESHAPER_POLAR_TAG), 1);
  press(editor->drawModeButtons[2], false);
  EXPECT_EQ(rec->drawMode(), 2);
  press(editor->tabButtons[3], false);
  EXPECT_TRUE(editor->isResumePending());
}

TEST_F(Routing, LfoModeButtonsOfTheShownPageOnly) {
  for (int L = 0; L < 4; ++L) {
    editor->lfoPageButtons[L] = radio();
    for (int k = 0; k < 4; ++k) editor->lfoModeButtons[L][k] = radio();
  }
  press(editor->lfoPageButtons[2], false);
  press(editor->lfoModeButtons[2][3], false);
  EXPECT_EQ(plugin->getLFOMode(2), 3);
  press(editor->lfoModeButtons[1][2], false);  // not shown: nothing
  EXPECT_EQ(plugin->getLFOMode(1), 0);
}

TEST_F(Routing, DisruptKnobSwitchesItsSlotOnOnceItLeavesTheCentre) {
  CControl* knob = testControl(*editor, DISRUPT_SLOT_AMT_1_TAG + 2);
  const int onTag = DISRUPT_ON_TAGS[2];
  for (auto [v, on] : {std::pair{0.505f, false}, {0.495f, false}, {0.52f, true}}) {
    plugin->setParameter(onTag, 0.f);
    knob->setValue(v);
    editor->valueChanged(knob);
    EXPECT_FLOAT_EQ(plugin->getParameter(DISRUPT_SLOT_AMT_1_TAG + 2), v);
    EXPECT_EQ(plugin->getOnOff(onTag), on) << v;
  }
  EXPECT_EQ(automated(DISRUPT_SLOT_AMT_1_TAG + 2), 3);
}

TEST_F(Routing, GenericRowOnlyForTagsTheHostKnows) {
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
}

TEST_F(Routing, MenusByTagAndTitle) {
  std::vector<std::string> dests(DEST_STR.begin(), DEST_STR.end()), sources(SRC_STR.begin(), SRC_STR.end()),
      types(DISTORT_TYPE_STR.begin(), DISTORT_TYPE_STR.end()),
      paths(MODULE_PATH_STR.begin(), MODULE_PATH_STR.end());
  struct Row {
    int tag;
    const std::vector<std::string>* titles;
    std::string choice;
    int expectedStep;  // -1: the tag's step stays
  };
  const std::vector<std::string> steps = {"s0", "s1", "s2", "s3", "s4", "s5"};
  const Row rows[] = {
      {FOLLOWER_DEST_1_TAG + 1, &dests, std::string(DEST_STR[40]), 40},
      {FOLLOWER_MOD_SRC_1_TAG + 2, &sources, std::string(SRC_STR[33]), 33},
      {LFO_DEST_TAGS[0], &dests, std::string(DEST_STR[20]), 20},  // page 0 is shown
      {LFO_DEST_TAGS[1], &dests, std::string(DEST_STR[20]), -1},
      {LFO_WAVE_TAGS[1], &steps, "s2", -1},
      {LFO_TRIGGER_TAGS[0], &steps, "s1", 1},
      {DISRUPT_QUANT_TAG, &steps, "s4", 4},
      {FOLLOWER_SOURCE_TAG, &steps, "s3", 3},
      {WAVESHAPER_DISTORT_MODE_TAGS[1], &steps, "s5", 5},
      {FOLLOWER_DEST_1_TAG, &sources, "Not A Destination", -1},
      {LFO_DEST_TAGS[0] + 40, &steps, "s2", -1},  // a menu of no parameter: not the generic row
  };
  for (const Row& r : rows) {
    const int before = plugin->getSteppedValue(r.tag);
    choose(menu(r.tag, *r.titles), r.choice);
    EXPECT_EQ(plugin->getSteppedValue(r.tag), r.expectedStep < 0 ? before : r.expectedStep) << r.tag;
  }
  EXPECT_EQ(host.count(kHostAutomate), 7);  // the rows that changed a step

  COptionMenu* type = menu(DISTORT_TYPE_TAG, {std::string(DISTORT_TYPE_STR[0])});
  TOptionMenu* sub = newMenu(DISTORT_TYPE_TAG);
  for (int t = 1; t < 31; ++t) sub->addEntry(std::string(DISTORT_TYPE_STR[static_cast<size_t>(t)]));
  sub->addEntry("Nothing Of The Sort");
  type->addEntry(sub, "-GDistortion");
  sub->forget();
  choose(type, std::string(DISTORT_TYPE_STR[17]));
  choose(type, "Nothing Of The Sort");
  EXPECT_EQ(rec->types, std::vector<int>{17});

  // The type knobs' destinations are named after the current type.
  choose(menu(LFO_DEST_TAGS[0], {editor->getDestMenuName(8)}), editor->getDestMenuName(8));
  EXPECT_EQ(plugin->getDestForTag(LFO_DEST_TAGS[0]), 8);

  plugin->setMidiCCTag(5, 10);
  choose(editor->ecsMenu, "Clear All MIDI");
  EXPECT_EQ(plugin->getMidiCCTag(5), 0);

  const int laidOut = rec->paths;
  choose(menu(MODULE_PATH_TAG, paths), paths[9]);
  EXPECT_EQ(plugin->getModulePath(), 9);
  pass();
  EXPECT_EQ(rec->paths, laidOut + 1);
}

TEST_F(Routing, PresetMenusAndProgramButtons) {
  RecordingDialogs dialogs;
  const std::vector<std::string> entries = {"-",
                                            "Default Preset",
                                            "-",
                                            "Revert to Original Preset",
                                            "Revert to Edited Preset",
                                            "-",
                                            "Set To 100% Screen",
                                            "Set To 150% Screen",
                                            "Set To 200% Screen"};
  TOptionMenu* presets = editor->presetMenu = menu(NO_PARAM_TAG, entries);
  TOptionMenu* second = newMenu(NO_PARAM_TAG);
  for (int n = 32; n < 50; ++n) second->addEntry("P" + std::to_string(n));
  presets->addEntry(second, "Preset 33-64");
  editor->presetSubMenus[1] = second;
  second->forget();

  choose(presets, "P45");
  EXPECT_EQ(plugin->getCurDemoProgram(), 45);
  // The snapshots switch without notifications: the controls follow at the next pass all the same.
  auto edit = [&] {
    plugin->setParameter(1, 0.1f);
    pass();
    ASSERT_FLOAT_EQ(editor->headerVolumeKnob->getValue(), 0.1f);
  };
  edit();
  choose(presets, "Revert to Original Preset");
  pass();
  EXPECT_NE(plugin->getParameter(1), 0.1f);
  EXPECT_EQ(editor->headerVolumeKnob->getValue(), plugin->getParameter(1));
  press(editor->editedButton);
  pass();
  EXPECT_FLOAT_EQ(editor->headerVolumeKnob->getValue(), 0.1f);
  press(editor->originalButton);
  pass();
  EXPECT_EQ(editor->headerVolumeKnob->getValue(), plugin->getParameter(1));
  EXPECT_NE(plugin->getParameter(1), 0.1f);
  const int mode = editor->getScreenMode();
  choose(presets, "Set To 150% Screen");
  EXPECT_EQ(pref("Big150"), "Y");
  EXPECT_EQ(pref("Big100"), "N");
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
      ASSERT_NE(r.sw, nullptr) << r.key;
      const bool on = r.shownOn != (round == 0);  // each click toggles
      EXPECT_EQ(r.sw->getValue() > 0.5f, !on) << r.key;
      const CRect rect = r.sw->getViewSize();
      tester->click(rect.left + 2, rect.top + 2);
      EXPECT_EQ(pref(r.key), on ? "Y" : "N") << r.key;
    }
    EXPECT_EQ(editor->getKeyboardOn(), round == 1);
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
  auto hold = [&](int ms) {
    const int start = plugin->getCurDemoProgram();
    for (int t = 0; t < ms; t += 100) {
      EXPECT_EQ(tester->keyDown(X11::kVKeyDown), 1);
      tester->advanceClock(100);
    }
    return plugin->getCurDemoProgram() - start;
  };
  tester->advanceClock(1000);
  EXPECT_EQ(hold(1000), 3);
  tester->clock().set(500);  // the clock went back: the next press steps at once
  EXPECT_EQ(tester->keyDown(X11::kVKeyUp), 1);
  EXPECT_EQ(plugin->getCurDemoProgram(), 2);

  struct Row {
    bool keyboard;
    unsigned char key;
    int32_t result;
  };
  const Row rows[] = {{true, X11::kVKeyPageUp, 1}, {true, X11::kVKeyPageDown, 1},
                      {true, X11::kVKeyLeft, -1},  {true, X11::kVKeyReturn, -1},
                      {false, X11::kVKeyDown, -1}, {false, X11::kVKeyPageUp, -1}};
  for (const Row& r : rows) {
    editor->setKeyboardOn(r.keyboard);
    tester->advanceClock(1000);
    EXPECT_EQ(tester->keyDown(r.key), r.result) << int(r.key);
    EXPECT_EQ(tester->keyUp(r.key), -1);
    EXPECT_EQ(plugin->getCurDemoProgram(), 2);
  }
  // The preset menu's arrows step whatever the keyboard setting, with the same limit.
  editor->changeProgramDelta(3);
  editor->changeProgramDelta(3);
  EXPECT_EQ(plugin->getCurDemoProgram(), 5);
  EXPECT_EQ(editor->getPresetsInColumns(), 32);
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
    knob = tagWithDest(true, {DISRUPT_SLOT_AMT_1_TAG + 2});
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
    const CRect r = at->getViewSize();
    tester->move(r.left + 2, r.top + 2);
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

TEST_F(Drops, OnTheMatrixAFreeSlotGetsTheRouteAndTheKnobGoesBack) {
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
}

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
    for (int t = 0; t < NUM_PROGRAM_VALUES; ++t) {
      if (t == tag) continue;
      EXPECT_EQ(plugin->getParameter(t), before[static_cast<size_t>(t)]) << r.what << " tag " << t;
    }
    EXPECT_EQ(editor->modDrag.tag, r.release ? -1 : tag) << r.what;
    editor->releasedDropDial();
    pass();  // a drag released elsewhere is forgotten
    EXPECT_EQ(editor->modDrag.tag, -1);
  }
}

TEST_F(Drops, OnDestinationKnobsAndMenus) {
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

// ---- Help ----

class Help : public Routing {
 protected:
  void SetUp() override {
    Routing::SetUp();
    editor->helpButton = kick();
    // The fake viewer writes its arguments (NUL-separated) and its process id, then waits at the
    // gate, so that a started viewer is still running when the press returns.
    ASSERT_EQ(::mkfifo(bin.file("gate").c_str(), 0600), 0);
    dialogtest::writeScript(bin.file("xdg-open"),
                            "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > " +
                                dialogtest::shellQuoted(bin.file("args")) + "\necho $$ > " +
                                dialogtest::shellQuoted(bin.file("pid")) + "\nread x < " +
                                dialogtest::shellQuoted(bin.file("gate")) + "\n");
  }
  static void waitReaped() {
    for (int i = 0; i < 500 && platform::reapDetachedChildren() > 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // Presses Help; when a viewer started, lets it go once it has written what it got.
  bool pressHelp() {
    waitReaped();
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
  dialogtest::TempDir bin, docs;
  dialogtest::ScopedEnv path{"PATH", bin.path() + ":/usr/bin:/bin"};
};

TEST_F(Help, TheViewerGetsOneAbsoluteArgumentWhateverThePath) {
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
    EXPECT_EQ(dialogtest::splitNul(dialogtest::readFile(bin.file("args"))), std::vector<std::string>{name});
  }
  // A relative path starting with '-' reaches the viewer as an absolute one, never an option.
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(docs.path());
  plugin->helpDir = "-manual.pdf";
  const bool started = pressHelp();
  std::filesystem::current_path(cwd);
  ASSERT_TRUE(started);
  EXPECT_EQ(dialogtest::splitNul(dialogtest::readFile(bin.file("args"))), std::vector<std::string>{names[3]});
}

TEST_F(Help, TheEndedViewerIsReapedByTheIdlePass) {
  dialogtest::writeFile(docs.file("manual.pdf"), "%PDF");
  plugin->helpDir = docs.file("manual.pdf");
  ASSERT_TRUE(pressHelp());
  const std::string proc = "/proc/" + std::to_string(std::stoi(dialogtest::readFile(bin.file("pid"))));
  for (int i = 0; i < 200 && std::filesystem::exists(proc); ++i) {
    pass();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_FALSE(std::filesystem::exists(proc)) << "no zombie left behind";
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
