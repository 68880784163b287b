// The factories of the plug-in's controls, the settings screen and the main screen's refresh.
#include "controls/pluginControls.h"
#include "controls/pluginScreens.h"
#include "editorTestUtil.h"
#include "plugin/uVocabulary.h"

using namespace editortest;
using namespace VSTGUI;

namespace {

std::vector<int> entryCounts(TOptionMenu* menu) {
  std::vector<int> counts;
  for (int32_t i = 0; i < menu->getNbEntries(); ++i)
    if (COptionMenu* sub = menu->getSubMenu(i)) counts.push_back(sub->getNbEntries());
  return counts;
}

}  // namespace

class EditorControlFactories : public EditorTest {
 protected:
  void openAt(int mode) {
    TestArt::useFullSet();
    std::filesystem::remove(prefsUserFilePath());
    make({{"Big150", mode == 1 ? "Y" : "N"}, {"Big200", mode == 2 ? "Y" : "N"}});
    ASSERT_TRUE(openEditor());
  }
};

TEST_F(EditorControlFactories, KnobsAndButtonsScaleTheirPositionsAndTakeSizesFromTheirArt) {
  struct Row {
    int mode;
    CRect knob, onOff, rocker, menu;
  };
  // Knob at (648, 33) size 16, corrections (5, 2) and (9, 1); switch 10040 (21 x 12 per state)
  // at (301, 432); rocker of 5 states of 10077 (54 x 24 each) at (983, 20); menu (79, 442) 456 x 19.
  const Row rows[] = {
      {0, CRect(640, 33, 696, 97), CRect(301, 432, 322, 444), CRect(983, 20, 1037, 44), CRect(79, 442, 535, 461)},
      {1, CRect(965, 51, 1049, 147), CRect(451, 648, 482, 666), CRect(1474, 30, 1555, 66),
       CRect(118, 663, 803, 691)},
      {2, CRect(1289, 67, 1401, 195), CRect(602, 864, 644, 888), CRect(1966, 40, 2074, 88),
       CRect(158, 884, 1070, 922)},
  };
  for (const Row& row : rows) {
    openAt(row.mode);
    TKnob* knob = nullptr;
    TOnOff* onOff = nullptr;
    TRockerButton* rocker = nullptr;
    TOptionMenu* menu = nullptr;
    editor->createKnob(knob, 1, 648, 33, 0, "Volume", 16, 5, 2, -4, 9, 1, -11);
    editor->createOnOff(onOff, 3, 301, 432, editor->switchBitmap());
    editor->createRocker(rocker, 135, 983, 20, editor->bitmap(10077), 5, 4.99f);
    editor->createMenu(menu, 128, 79, 442, 456, 19, MODULE_PATH_STR, true, true, 0, 1, 0, 0);
    ASSERT_TRUE(knob && onOff && rocker && menu) << row.mode;
    EXPECT_EQ(knob->getViewSize(), row.knob) << row.mode;
    EXPECT_EQ(onOff->getViewSize(), row.onOff) << row.mode;
    EXPECT_EQ(rocker->getViewSize(), row.rocker) << row.mode;
    EXPECT_EQ(menu->getViewSize(), row.menu) << row.mode;
    EXPECT_EQ(knob->getString(), "Volume");
    EXPECT_EQ(menu->getNbEntries(), 24);
    tester.reset();
    plugin.reset();
  }
}

TEST_F(EditorControlFactories, WhatCannotBeMadeLeavesThePointerAlone) {
  TestArt art({{10080, {40, 40 * 137}}, {10081, {40, 100}}});  // a ring strip too short for its frames
  make();
  ASSERT_TRUE(openEditor());
  TKnob* knob = nullptr;
  TOnOff* onOff = nullptr;
  TOptionMenu* menu = nullptr;
  const int registered = editor->getRegistrySize();
  editor->createKnob(knob, 1, 10, 10, 0, "Volume", 16, 0, 0, 0, 0, 0, 0);  // frame height < 1
  editor->createKnob(knob, 1, 10, 10, 2, "Volume", 16, 0, 0, 0, 0, 0, 0);  // no large strips
  editor->createKnob(knob, 1024, 10, 10, 0, "", 16, 0, 0, 0, 0, 0, 0);
  editor->createOnOff(onOff, 3, 10, 10, editor->switchBitmap());
  editor->createMenu(menu, 1, 10, 10, 50, 19, MODULE_PATH_STR, true, true);  // tag without a menu
  editor->createMenu(menu, -1, 10, 10, 50, 19, MODULE_PATH_STR, true, true);
  EXPECT_EQ(knob, nullptr);
  EXPECT_EQ(onOff, nullptr);
  EXPECT_EQ(menu, nullptr);
  EXPECT_EQ(editor->getRegistrySize(), registered);
}

TEST_F(EditorControlFactories, MenusTakeNoMoreTextsThanTheirTableHoldsAndSkipResync) {
  openAt(0);
  TOptionMenu* shortTable = nullptr;
  const std::string_view five[] = {"a", "b", "c", "d", "e"};
  editor->createMenu(shortTable, 128, 10, 10, 100, 19, five, true, true);
  ASSERT_NE(shortTable, nullptr);
  EXPECT_EQ(shortTable->getNbEntries(), 5);
  TOptionMenu* source = nullptr;
  TOptionMenu* subs[2] = {};
  editor->createSrcMenu(source, subs[0], subs[1], 150, 10, 40, 154, 19, true, true);
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(entryCounts(source), (std::vector<int>{31, 23}));
  EXPECT_EQ(subs[0]->getNbReference(), 1);  // held by its item only
  TOptionMenu* dest = nullptr;
  std::array<TOptionMenu*, 8> destSubs{};
  editor->createDestMenu(dest, destSubs, 144, 10, 70, 154, 19, true, true);
  ASSERT_NE(dest, nullptr);
  EXPECT_EQ(entryCounts(dest), (std::vector<int>{5, 12, 24, 16, 12, 12, 20, 10}));
  const float before = shortTable->getValue();
  plugin->setParameter(128, 0.9f);
  pass();
  EXPECT_EQ(shortTable->getValue(), before);
}

TEST_F(EditorControlFactories, TooltipOverAKnobNamesItsParameter) {
  openAt(0);
  TKnob* knob = nullptr;
  editor->createKnob(knob, 1, 648, 33, 0, "Volume", 16, 5, 2, -4, 9, 1, -11);
  ASSERT_NE(knob, nullptr);
  editor->getFrame()->addView(knob);
  plugin->setParameter(1, 0.75f);
  tester->move(655, 50);
  pass();
  EXPECT_EQ(knob->getTooltipText(), "Volume: 0.0 dB");
}

TEST(EditorSettings, VersionLine) {
  EXPECT_EQ(versionText(0x020000), "Grindle 2 - Linux VST x86 64Bits :  Version 2.0.0");
  EXPECT_EQ(versionText(0x0a0b0c), "Grindle 2 - Linux VST x86 64Bits :  Version 10.11.12");
}

class EditorSettingsScreen : public EditorTest {};

TEST_F(EditorSettingsScreen, SwitchesShowWhatThePluginActsOn) {
  TestArt::useFullSet();
  struct Row {
    std::map<std::string, std::string> prefs;
    bool presetOff;
    float key, preset, bank, capture;
  };
  const Row rows[] = {
      {{}, false, 1, 1, 1, 1},
      {{{"MidiBank", "N"}, {"Key", "N"}}, false, 0, 1, 0, 1},
      {{{"MidiPreset", "Y"}}, true, 1, 0, 1, 1},
  };
  for (const Row& row : rows) {
    std::filesystem::remove(prefsUserFilePath());
    make(row.prefs);
    ASSERT_TRUE(openEditor());
    if (row.presetOff) {
      plugin->setMidiPresetOn(false);
      saveStringToPrefs("MidiPreset", "Y");  // the file says otherwise; the plug-in acts on its flag
    }
    editor->showBackside();
    ASSERT_TRUE(editor->keySwitch && editor->midiPresetSwitch && editor->midiBankSwitch && editor->midiCaptureSwitch);
    EXPECT_EQ(editor->keySwitch->getValue(), row.key);
    EXPECT_EQ(editor->midiPresetSwitch->getValue(), row.preset);
    EXPECT_EQ(editor->midiBankSwitch->getValue(), row.bank);
    EXPECT_EQ(editor->midiCaptureSwitch->getValue(), row.capture);
    ASSERT_NE(editor->dcFilterSwitch, nullptr);
    EXPECT_EQ(editor->dcFilterSwitch->getTag(), 4);
    EXPECT_TRUE(editor->getFrame()->isChild(editor->screenSizeMenu));
    EXPECT_EQ(editor->screenSizeMenu->getNbEntries(), 3);
    ASSERT_NE(editor->versionReadout, nullptr);
    EXPECT_EQ(editor->versionReadout->getString(), versionText(plugin->getVendorVersion()));
    tester.reset();
    plugin.reset();
  }
}

class EditorMainScreen : public EditorTest {};

TEST_F(EditorMainScreen, MetersAndTheEditedLampFollowThePlugin) {
  TestArt::useFullSet();
  make();
  ASSERT_TRUE(openEditor());
  for (size_t i = 0; i < 4; ++i) {
    editor->vuMeters[i] = editor->own(new TVu(CRect(584 + 7.0 * i, 30, 590 + 7.0 * i, 90), editor));
    editor->getFrame()->addView(editor->vuMeters[i]);
  }
  editor->createKickButton(editor->editedButton, 336, 35, editor->bitmap(10055));
  ASSERT_NE(editor->editedButton, nullptr);
  editor->setVU(4.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), 0.5f);
  plugin->setParameter(1, plugin->getParameter(1) > 0.5f ? 0.1f : 0.9f);  // edits the program
  pass();
  const int32_t height = 60;
  const int32_t tops[4] = {0, height, height, height / 2};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(editor->vuMeters[i]->getBarTop(), tops[i]) << i;
  EXPECT_EQ(editor->editedButton->getBackground(), editor->bitmap(EDITED_ON_BMP));
  plugin->origProgram();
  pass();
  EXPECT_EQ(editor->editedButton->getBackground(), editor->bitmap(EDITED_OFF_BMP));
  tester.reset();
  editor->close();  // the views go, and so do the editor's pointers to them
  EXPECT_EQ(editor->editedButton, nullptr);
  EXPECT_EQ(editor->vuMeters[3], nullptr);
  ASSERT_TRUE(openEditor());
  editor->setVU(0.5f, 0.5f, 0.5f, 0.5f);
  pass();
}

TEST_F(EditorMainScreen, ASecondOfDraggingTheLfoShapeKeepsGoingAcrossIdlePasses) {
  TestArt::useFullSet();
  make();
  ASSERT_TRUE(openEditor());
  pass();
  editor->lfoScreen = editor->own(new TLFOScreen(CRect(10, 10, 87, 87), editor, 0, 0));
  editor->bottomBox->addView(editor->lfoScreen);
  plugin->setParameter(114, 0.25f);
  const CRect box = editor->bottomBox->getViewSize();
  const double x = box.left + 20, y = box.top + 40;
  tester->mouseDown(x, y);
  for (int i = 1; i <= 25; ++i) {  // 25 passes of 40 ms, the shape tag raising the bottom refresh each time
    tester->move(x + 2 * i, y, kLButton);
    pass();
  }
  EXPECT_NEAR(plugin->getParameter(114), 0.25f + 50.0f / 200.0f, 1e-4);
  tester->mouseUp(x + 50, y);
}
