// The editor object: sizes from the preferences, scaling, factories and registry, opening and
// closing, the settings switches.
#include <string>
#include <vector>

#include "editorTestUtil.h"

using namespace editortest;
using namespace VSTGUI;

class EditorSizes : public EditorTest {};

TEST_F(EditorSizes, ScreenModeComesFromExactlyYAndSetsTheRectBeforeOpen) {
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
    plugin.reset();
  }
}

TEST_F(EditorSizes, ScalingTruncatesThenAddsTheCorrectionOfTheSize) {
  struct Row {
    int v, off150, off200, expected[3];
  };
  const Row rows[] = {{29, 0, 0, {29, 43, 58}}, {37, 1, -1, {37, 56, 73}}, {0, 5, 9, {0, 5, 9}}, {-3, 0, 0, {-3, -4, -6}}};
  for (int mode = 0; mode < 3; ++mode) {
    std::filesystem::remove(prefsUserFilePath());
    make({{"Big150", mode == 1 ? "Y" : "N"}, {"Big200", mode == 2 ? "Y" : "N"}});
    for (const Row& row : rows) {
      EXPECT_EQ(editor->getScaled(row.v, row.off150, row.off200), row.expected[mode]) << row.v << " mode " << mode;
      EXPECT_EQ(editor->getScaled(static_cast<float>(row.v) + 0.75f, row.off150, row.off200),
                static_cast<int>((static_cast<float>(row.v) + 0.75f) * SCALE[static_cast<size_t>(mode)]) +
                    (mode == 1 ? row.off150 : mode == 2 ? row.off200 : 0));
    }
    EXPECT_EQ(editor->getScaledBitmap(10080), 10080 + 1000 * mode);
    plugin.reset();
  }
}

TEST_F(EditorSizes, ScreenSizeIsStoredForTheNextEditorWithItsMessage) {
  make();
  struct Row {
    int mode;
    const char* big[3];
    const char* message;
  };
  const Row rows[] = {
      {1, {"N", "Y", "N"}, "When you next open Grindle 2, it'll open in 150% Screen Mode"},
      {0, {"Y", "N", "N"}, "When you next open Grindle 2, it'll open in 100% Screen Mode"},
      {2, {"N", "N", "Y"}, "When you next open Grindle 2, it'll open in 200% Screen Mode"},
      {3, {"N", "N", "N"}, nullptr},
      {-1, {"N", "N", "N"}, nullptr},
  };
  for (const Row& row : rows) {
    RecordingDialogs dialogs;
    editor->setScreenSize(row.mode);
    EXPECT_EQ(pref("Big100"), row.big[0]);
    EXPECT_EQ(pref("Big150"), row.big[1]);
    EXPECT_EQ(pref("Big200"), row.big[2]);
    ASSERT_EQ(dialogs.calls.size(), row.message ? 1u : 0u);
    if (row.message) {
      EXPECT_EQ(dialogs.calls[0].back(), std::string("--text=") + row.message);
    }
  }
  EXPECT_EQ(editor->getScreenMode(), 0);  // the open editor keeps its size
}

TEST_F(EditorSizes, PreferenceSwitchesCompareTheWholeString) {
  make();
  struct Row {
    const char* stored;
    bool defaultOff, defaultOn;
  };
  const Row rows[] = {{"Y", true, true}, {"N", false, false}, {"y", false, true}, {"", false, true}, {"YES", false, true}};
  for (const Row& row : rows) {
    saveStringToPrefs("MidiBank", row.stored);
    EXPECT_EQ(uEditor::getBackRegValue("MidiBank", false), row.defaultOff) << row.stored;
    EXPECT_EQ(uEditor::getBackRegValue("MidiBank", true), row.defaultOn) << row.stored;
  }
  uEditor::setBackRegValue("MidiBank", false);
  EXPECT_EQ(pref("MidiBank"), "N");
}

TEST(EditorBitmaps, TableHoldsSeventyNineObjectsOfSeventyFiveIds) {
  static_assert(NUM_BITMAP_OBJECTS == 79);
  EXPECT_EQ(NUM_BITMAP_ROWS, 75);
  static_assert(bitmapSlot(10000) == 0 && bitmapSlot(10010, 2) == 6 && bitmapSlot(10011) == 7);
  static_assert(bitmapSlot(10010, 3) == -1 && bitmapSlot(10002) == -1 && bitmapSlot(10098) == 78);
}

class EditorFactories : public EditorTest {};

TEST_F(EditorFactories, KickButtonsScaleTheirAreaAndTakeTheBitmapsSize) {
  TestArt::useFullSet();
  struct Row {
    int mode;
    CRect area, fromBitmap;
  };
  // Area (648, 20, 16 x 30, corrections 5/2 and 9/4); bitmap 10057 (60 x 22 per frame at 100 %).
  const Row rows[] = {
      {0, CRect(648, 20, 664, 50), CRect(648, 20, 708, 42)},
      {1, CRect(977, 32, 1001, 77), CRect(977, 32, 1067, 65)},
      {2, CRect(1305, 44, 1337, 104), CRect(1305, 44, 1425, 88)},
  };
  for (const Row& row : rows) {
    std::filesystem::remove(prefsUserFilePath());
    make({{"Big150", row.mode == 1 ? "Y" : "N"}, {"Big200", row.mode == 2 ? "Y" : "N"}});
    ASSERT_TRUE(openEditor());
    const int before = editor->getRegistrySize();
    CKickButton* area = nullptr;
    CKickButton* withBitmap = nullptr;
    editor->createKickButton(area, 648, 20, 16, 30, 5, 2, 9, 4);
    editor->createKickButton(withBitmap, 648, 20, editor->bitmap(10057), 5, 2, 9, 4);
    ASSERT_TRUE(area && withBitmap);
    EXPECT_EQ(area->getViewSize(), row.area) << row.mode;
    EXPECT_EQ(withBitmap->getViewSize(), row.fromBitmap) << row.mode;
    EXPECT_EQ(area->getTag(), NO_PARAM_TAG);
    EXPECT_EQ(editor->getRegistrySize(), before + 2);
    tester.reset();
    plugin.reset();
  }
}

TEST_F(EditorFactories, MissingArtMakesNothingAndOpenStillSucceeds) {
  TestArt art({{10000, {1100, 712}}});
  make();
  ASSERT_TRUE(openEditor());
  EXPECT_NE(editor->mainBackground(), nullptr);
  EXPECT_EQ(editor->bitmap(10057), nullptr);
  CKickButton* b = nullptr;
  editor->createKickButton(b, 1, 1, 10, 10);
  CKickButton* const before = b;
  const int registered = editor->getRegistrySize();
  editor->createKickButton(b, 1, 1, editor->bitmap(10057));
  EXPECT_EQ(b, before);
  EXPECT_EQ(editor->getRegistrySize(), registered);
}

TEST_F(EditorFactories, RegistryStopsAtTenThousandAndLoadsValues) {
  make();
  ASSERT_TRUE(openEditor());
  plugin->setParameter(1, 0.25f);
  CControl* volume = testControl(*editor, 1);
  EXPECT_FLOAT_EQ(volume->getValue(), 0.25f);
  EXPECT_FLOAT_EQ(volume->getDefaultValue(), plugin->defaultValues[1]);
  CControl* unbound = testControl(*editor, 9999);
  EXPECT_EQ(unbound->getValue(), 0.0f);
  EXPECT_EQ(unbound->getDefaultValue(), 0.0f);
  while (editor->getRegistrySize() < MAX_REGISTERED_CONTROLS) testControl(*editor, 5);
  // The layout's two volume knobs (when the art is there) and the test's own.
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

class EditorLifeCycle : public EditorTest {};

TEST_F(EditorLifeCycle, OpenCloseRepeatsAndStartsTheRegistryAfresh) {
  TestArt::useFullSet();
  make();
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(editor->open(nullptr));
    EXPECT_TRUE(editor->isOpen());
    EXPECT_TRUE(plugin->isEditorOpen());
    EXPECT_TRUE(editor->isMainScreenShown());
    const int made = editor->getRegistrySize();
    testControl(*editor, 1);
    EXPECT_EQ(editor->getRegistrySize(), made + 1);
    editor->idle();
    editor->close();
    EXPECT_FALSE(editor->isOpen());
    EXPECT_FALSE(plugin->isEditorOpen());
    EXPECT_EQ(editor->getRegistrySize(), 0);
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_EQ(editor->bitmap(10000), nullptr);
  }
}

TEST_F(EditorLifeCycle, ImagesAreDecodedOncePerProcessWhileEditorsLive) {
  TestArt::useFullSet();
  make();
  ASSERT_TRUE(editor->open(nullptr));
  editor->getFrame()->idle();  // the first paint decodes what is shown
  const CBitmap::ImageCacheStats first = CBitmap::imageCacheStats();
  EXPECT_GT(first.images, 0u);
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

TEST_F(EditorLifeCycle, CallsOutOfOrderAreHarmless) {
  make();
  editor->close();  // never opened
  editor->idle();
  editor->resume();
  editor->setParameter(1, 0.5f);
  EXPECT_FALSE(editor->isOpen());
  ASSERT_TRUE(editor->open(nullptr));
  CFrame* first = editor->getFrame();
  CControl* c = testControl(*editor, 1);
  c->remember();
  // A second open closes the first window: its controls are released (only ours is left).
  ASSERT_TRUE(editor->open(nullptr));
  EXPECT_EQ(c->getNbReference(), 1);
  c->forget();
  EXPECT_NE(editor->getFrame(), nullptr);
  (void)first;
  editor->close();
  editor->close();
}

TEST_F(EditorLifeCycle, NoWindowMeansFalseAndLoadsStillApply) {
  make();
  setNativePlatformFrameFactory([](CFrame*, void*) -> IPlatformFrame* { return nullptr; });
  const bool opened = editor->open(reinterpret_cast<void*>(0x1234));
  setNativePlatformFrameFactory(nullptr);
  EXPECT_FALSE(opened);
  EXPECT_FALSE(editor->isOpen());
  EXPECT_FALSE(plugin->editorOpen.load());
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_FALSE(editor->AEffEditor::isOpen());  // the parent is forgotten
  editor->idle();
  plugin->setDemoProgram(3);
  EXPECT_EQ(plugin->getCurDemoProgram(), 3);
  EXPECT_EQ(plugin->getParameter(0), plugin->programs.values[0]);
  ASSERT_TRUE(editor->open(nullptr));  // and a later open works
}

APlugin* loadingPlugin = nullptr;

TEST_F(EditorLifeCycle, AProgramChangeWhileTheEditorIsBeingBuiltIsApplied) {
  make();
  loadingPlugin = plugin.get();
  // The window appears while the editor is built; a MIDI program change arrives right then.
  setNativePlatformFrameFactory([](CFrame*, void*) -> IPlatformFrame* {
    loadingPlugin->setDemoProgram(7);
    return new COffscreenPlatformFrame();
  });
  const bool opened = editor->open(reinterpret_cast<void*>(0x1234));
  setNativePlatformFrameFactory(nullptr);
  ASSERT_TRUE(opened);
  EXPECT_EQ(plugin->getCurDemoProgram(), 7);
  EXPECT_FALSE(plugin->editorOpening.load());
  // The load ran to its end: the "original" snapshot is the new program's.
  int apart = 0;
  for (int t = 0; t < NUM_PARAMS; ++t) apart += plugin->originalValues[t] != plugin->getParameter(t);
  EXPECT_EQ(apart, 0);
}

TEST_F(EditorLifeCycle, ClosedEditorIsSmall) {
  make();
  EXPECT_LT(sizeof(uEditor), 64u * 1024u);
}

TEST_F(EditorLifeCycle, SettingsScreenCoversTheFrameAndItsButtonReturns) {
  TestArt::useFullSet();
  for (const char* big200 : {"N", "Y"}) {
    std::filesystem::remove(prefsUserFilePath());
    make({{"Big200", big200}});
    ASSERT_TRUE(openEditor());
    editor->showBackside();
    EXPECT_EQ(editor->getScreenState(), 2);
    EXPECT_FALSE(editor->isMainScreenShown());
    ASSERT_NE(editor->backsideButton, nullptr);
    EXPECT_EQ(editor->backsideButton->getViewSize(), editor->getFrame()->getViewSize());
    EXPECT_EQ(editor->getFrame()->getBackground(), editor->settingsBackground());
    EXPECT_EQ(editor->hintFor(editor->backsideButton), "Show Main Screen : ");
    tester->click(300, 300);
    EXPECT_EQ(editor->getScreenState(), 0);
    EXPECT_TRUE(editor->isMainScreenShown());
    EXPECT_EQ(editor->getFrame()->getBackground(), editor->mainBackground());
    tester.reset();
    plugin.reset();
  }
}
