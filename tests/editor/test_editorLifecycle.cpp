// The editor object: sizes from the preferences, scaling, what the factories refuse, the registry,
// opening and closing, the settings screen.
#include <set>
#include <string>
#include <vector>

#include "controls/pluginControls.h"
#include "editorTestUtil.h"
#include "plugin/uVocabulary.h"

using namespace editortest;
using namespace VSTGUI;

TEST_F(EditorTest, ScreenModeComesFromExactlyYAndSetsTheRectAndTheScaling) {
  struct Row {
    std::map<std::string, std::string> prefs;
    int mode, width, height;
  };
  const Row rows[] = {
      {{}, 0, 1100, 712},
      {{{"Big150", "Y"}}, 1, 1650, 1068},
      {{{"Big200", "Y"}}, 2, 2200, 1424},
      {{{"Big150", "Y"}, {"Big200", "Y"}}, 2, 2200, 1424},
      {{{"Big150", "y"}, {"Big200", "yes"}, {"Big100", "Y"}}, 0, 1100, 712},
  };
  for (const Row& row : rows) {
    std::filesystem::remove(prefsUserFilePath());
    make(row.prefs);
    EXPECT_EQ(editor->getScreenMode(), row.mode);
    ERect* r = nullptr;
    ASSERT_TRUE(editor->getRect(&r));
    EXPECT_EQ(r->right - r->left, row.width);
    EXPECT_EQ(r->bottom - r->top, row.height);
    // Scaling truncates, then adds the correction of the size.
    for (auto [v, off150, off200, expected] : {std::tuple{29, 0, 0, std::array{29, 43, 58}},
                                               {37, 1, -1, std::array{37, 56, 73}},
                                               {0, 5, 9, std::array{0, 5, 9}},
                                               {-3, 0, 0, std::array{-3, -4, -6}}})
      EXPECT_EQ(editor->getScaled(v, off150, off200), expected[static_cast<size_t>(row.mode)]) << v;
    EXPECT_EQ(editor->getScaledBitmap(10080), 10080 + 1000 * row.mode);
    plugin.reset();
  }
  EXPECT_LT(sizeof(uEditor), 64u * 1024u);  // a closed editor is small
}

TEST_F(EditorTest, ScreenSizeIsStoredForTheNextEditorWithItsMessage) {
  make();
  for (int mode : {1, 0, 2, 3, -1}) {
    RecordingDialogs dialogs;
    editor->setScreenSize(mode);
    for (int m = 0; m < 3; ++m)
      EXPECT_EQ(pref("Big" + std::to_string(100 + 50 * m)), m == mode ? "Y" : "N") << mode;
    const bool valid = mode >= 0 && mode < 3;
    ASSERT_EQ(dialogs.calls.size(), valid ? 1u : 0u);
    if (valid) {
      EXPECT_EQ(dialogs.calls[0].back(), "--text=When you next open Grindle 2, it'll open in " +
                                             std::to_string(100 + 50 * mode) + "% Screen Mode");
    }
  }
  EXPECT_EQ(editor->getScreenMode(), 0);  // the open editor keeps its size
  // Preference switches compare the whole string.
  for (auto [stored, defaultOff, defaultOn] : {std::tuple{"Y", true, true},
                                               {"N", false, false},
                                               {"y", false, true},
                                               {"", false, true},
                                               {"YES", false, true}}) {
    saveStringToPrefs("MidiBank", stored);
    EXPECT_EQ(uEditor::getBackRegValue("MidiBank", false), defaultOff) << stored;
    EXPECT_EQ(uEditor::getBackRegValue("MidiBank", true), defaultOn) << stored;
  }
  uEditor::setBackRegValue("MidiBank", false);
  EXPECT_EQ(pref("MidiBank"), "N");
}

TEST_F(EditorTest, ANewScreenSizeWaitsForTheNextInstanceNotTheNextOpening) {
  TestArt::useFullSet();
  make();
  RecordingDialogs dialogs;
  for (int opening = 0; opening < 2; ++opening) {
    ASSERT_TRUE(editor->open(nullptr)) << opening;
    EXPECT_EQ(editor->getScreenMode(), 0) << opening;
    EXPECT_EQ(editor->mainBackground()->getWidth(), 1100) << opening;
    if (opening == 0) editor->setScreenSize(2);
    editor->close();
  }
  make();  // Grindle 2 loaded again: a new instance
  EXPECT_EQ(editor->getScreenMode(), 2);
}

TEST_F(EditorTest, WhatCannotBeMadeLeavesThePointerAloneAndOpenStillSucceeds) {
  // Only the main background, and a ring strip too short for its frames.
  TestArt art({{10000, {1100, 712}}, {10080, {40, 40 * 137}}, {10081, {40, 100}}});
  make();
  ASSERT_TRUE(openEditor());
  EXPECT_NE(editor->mainBackground(), nullptr);
  TKnob* knob = nullptr;
  TOnOff* onOff = nullptr;
  TOptionMenu* menu = nullptr;
  CKickButton* b = nullptr;
  const int registered = editor->getRegistrySize();
  editor->createKnob(knob, 1, 10, 10, 0, "Volume", 16, 0, 0, 0, 0, 0, 0);  // frame height < 1
  editor->createKnob(knob, 1, 10, 10, 2, "Volume", 16, 0, 0, 0, 0, 0, 0);  // no large strips
  editor->createKnob(knob, 1024, 10, 10, 0, "", 16, 0, 0, 0, 0, 0, 0);
  editor->createOnOff(onOff, 3, 10, 10, editor->switchBitmap());
  editor->createMenu(menu, 1, 10, 10, 50, 19, MODULE_PATH_STR, true, true);  // tag without a menu
  editor->createMenu(menu, -1, 10, 10, 50, 19, MODULE_PATH_STR, true, true);
  editor->createKickButton(b, 1, 1, editor->bitmap(10057));
  EXPECT_TRUE(!knob && !onOff && !menu && !b);
  EXPECT_EQ(editor->getRegistrySize(), registered);
  // A menu takes no more texts than its table holds, and is never set from a parameter value.
  const std::string_view five[] = {"a", "b", "c", "d", "e"};
  editor->createMenu(menu, 128, 10, 10, 100, 19, five, true, true);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->getNbEntries(), 5);
  const float before = menu->getValue();
  plugin->setParameter(128, 0.9f);
  pass();
  EXPECT_EQ(menu->getValue(), before);
  // Every bitmap the folder lacks is reported, once; the ones it holds are not.
  const std::vector<int> missing = art.missingReports();
  const std::set<int> distinct(missing.begin(), missing.end());
  EXPECT_EQ(distinct.size(), missing.size());
  EXPECT_TRUE(distinct.count(10057) && distinct.count(10001)) << missing.size();
  for (int present : {10000, 10080, 10081}) EXPECT_FALSE(distinct.count(present)) << present;
}

TEST_F(EditorTest, RegistryStopsAtItsLimitAndLoadsValues) {
  make();
  ASSERT_TRUE(openEditor());
  plugin->setParameter(1, 0.25f);
  CControl* volume = testControl(*editor, 1);
  EXPECT_FLOAT_EQ(volume->getValue(), 0.25f);
  EXPECT_FLOAT_EQ(volume->getDefaultValue(), plugin->defaultValues[1]);
  CControl* unbound = testControl(*editor, NO_PARAM_TAG);
  EXPECT_EQ(unbound->getValue(), 0.0f);
  EXPECT_EQ(unbound->getDefaultValue(), 0.0f);
  while (editor->getRegistrySize() < MAX_REGISTERED_CONTROLS) testControl(*editor, 5);
  const auto countTag1 = [&](const CControl* absent) {
    int n = 0;
    editor->forEachControlWithTag(1, [&](const uEditor::RegistryEntry& e) {
      ++n;
      EXPECT_NE(e.control, absent);
    });
    return n;
  };
  const int withTag1 = countTag1(nullptr);
  CControl* extra = testControl(*editor, 1);
  EXPECT_EQ(editor->getRegistrySize(), MAX_REGISTERED_CONTROLS);
  EXPECT_EQ(countTag1(extra), withTag1);
}

TEST_F(EditorTest, OpenCloseRepeatsStartsTheRegistryAfreshAndDecodesImagesOnce) {
  TestArt::useFullSet();
  make();
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(editor->open(nullptr));
    EXPECT_TRUE(editor->isOpen() && plugin->isEditorOpen() && editor->isMainScreenShown());
    const int made = editor->getRegistrySize();
    testControl(*editor, 1);
    EXPECT_EQ(editor->getRegistrySize(), made + 1);
    editor->idle();
    editor->close();
    EXPECT_FALSE(editor->isOpen() || plugin->isEditorOpen());
    EXPECT_EQ(editor->getRegistrySize(), 0);
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(editor->bitmap(10000), nullptr);
  }
  ASSERT_TRUE(editor->open(nullptr));
  editor->getFrame()->idle();  // the first paint decodes what is shown
  const CBitmap::ImageCacheStats first = CBitmap::imageCacheStats();
  editor->close();
  ASSERT_TRUE(editor->open(nullptr));
  editor->getFrame()->idle();
  EXPECT_EQ(CBitmap::imageCacheStats().decodes, first.decodes) << "a reopen decodes nothing";
  {
    auto second = std::make_unique<APlugin>(nullptr);
    ASSERT_TRUE(second->getEditor()->open(nullptr));
    dynamic_cast<uEditor*>(second->getEditor())->getFrame()->idle();
    EXPECT_EQ(CBitmap::imageCacheStats().images, first.images) << "a second editor adds no images";
    EXPECT_EQ(CBitmap::imageCacheStats().owners, 2);
  }
  plugin.reset();
  EXPECT_EQ(CBitmap::imageCacheStats().owners, 0);
  EXPECT_EQ(CBitmap::imageCacheStats().images, 0u);
}

TEST_F(EditorTest, CallsOutOfOrderAreHarmless) {
  make();
  editor->close();  // never opened
  editor->idle();
  editor->resume();
  editor->setParameter(1, 0.5f);
  EXPECT_FALSE(editor->isOpen());
  ASSERT_TRUE(editor->open(nullptr));
  CControl* c = testControl(*editor, 1);
  c->remember();
  // A second open closes the first window: its controls are released (only ours is left).
  ASSERT_TRUE(editor->open(nullptr));
  EXPECT_EQ(c->getNbReference(), 1);
  c->forget();
  EXPECT_NE(editor->getFrame(), nullptr);
  editor->close();
  editor->close();
}

APlugin* loadingPlugin = nullptr;

TEST_F(EditorTest, WithoutAWindowOpenFailsAndAProgramChangeDuringTheBuildIsApplied) {
  make();
  setNativePlatformFrameFactory([](CFrame*, void*) -> IPlatformFrame* { return nullptr; });
  const bool opened = editor->open(reinterpret_cast<void*>(0x1234));
  setNativePlatformFrameFactory(nullptr);
  EXPECT_FALSE(opened);
  EXPECT_FALSE(editor->isOpen() || plugin->editorOpen.load());
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_FALSE(editor->AEffEditor::isOpen());  // the parent is forgotten
  editor->idle();
  plugin->setDemoProgram(3);  // loads still apply
  EXPECT_EQ(plugin->getCurDemoProgram(), 3);
  EXPECT_EQ(plugin->getParameter(0), plugin->programs.values[0]);

  // The window appears while the editor is built; a MIDI program change arrives right then.
  loadingPlugin = plugin.get();
  setNativePlatformFrameFactory([](CFrame*, void*) -> IPlatformFrame* {
    loadingPlugin->setDemoProgram(7);
    return new COffscreenPlatformFrame();
  });
  const bool reopened = editor->open(reinterpret_cast<void*>(0x1234));
  setNativePlatformFrameFactory(nullptr);
  ASSERT_TRUE(reopened);
  EXPECT_EQ(plugin->getCurDemoProgram(), 7);
  EXPECT_FALSE(plugin->editorOpening.load());
  // The load ran to its end: the "original" snapshot is the new program's.
  for (int t = 0; t < NUM_PARAMS; ++t) EXPECT_EQ(plugin->originalValues[t], plugin->getParameter(t)) << t;
}

TEST_F(EditorTest, SettingsScreenShowsWhatThePluginActsOnAndItsButtonReturns) {
  TestArt::useFullSet();
  EXPECT_EQ(versionText(0x0a0b0c), "Grindle 2 - Linux VST x86 64Bits :  Version 10.11.12");
  struct Row {
    std::map<std::string, std::string> prefs;
    bool presetOff;
    std::array<float, 4> keyPresetBankCapture;
  };
  const Row rows[] = {{{}, false, {1, 1, 1, 1}},
                      {{{"MidiBank", "N"}, {"Key", "N"}, {"Big200", "Y"}}, false, {0, 1, 0, 1}},
                      {{{"MidiPreset", "Y"}}, true, {1, 0, 1, 1}}};
  for (const Row& row : rows) {
    std::filesystem::remove(prefsUserFilePath());
    make(row.prefs);
    ASSERT_TRUE(openEditor());
    if (row.presetOff) {
      plugin->setMidiPresetOn(false);
      saveStringToPrefs("MidiPreset", "Y");  // the file says otherwise; the plug-in acts on its flag
    }
    editor->showBackside();
    EXPECT_EQ(editor->getScreenState(), 2);
    EXPECT_FALSE(editor->isMainScreenShown());
    const TOnOff* switches[] = {editor->keySwitch, editor->midiPresetSwitch, editor->midiBankSwitch,
                                editor->midiCaptureSwitch};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(switches[i]->getValue(), row.keyPresetBankCapture[i]) << i;
    EXPECT_EQ(editor->dcFilterSwitch->getTag(), 4);
    EXPECT_TRUE(editor->getFrame()->isChild(editor->screenSizeMenu));
    EXPECT_EQ(editor->versionReadout->getString(), versionText(plugin->getVendorVersion()));
    EXPECT_EQ(editor->backsideButton->getViewSize(), editor->getFrame()->getViewSize());
    EXPECT_EQ(editor->getFrame()->getBackground(), editor->settingsBackground());
    tester->click(300, 300);
    EXPECT_EQ(editor->getScreenState(), 0);
    EXPECT_TRUE(editor->isMainScreenShown());
    EXPECT_EQ(editor->getFrame()->getBackground(), editor->mainBackground());
    tester.reset();
    plugin.reset();
  }
}
