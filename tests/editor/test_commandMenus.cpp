// The settings menu, the EQ and matrix menus with their undo and clipboards, and the
// destination menu.
#include <malloc.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "menuTestUtil.h"
#include "plugin/uVocabulary.h"
#include "support/commaLocale.h"

using namespace editortest;
using namespace VSTGUI;

// ==== Settings menu ====

class SettingsMenu : public MenuTest {
 protected:
  void run(const std::string& title) {
    choose(title);
    editor->showControlMenu(CPoint(10, 10));
  }
};

TEST_F(SettingsMenu, HeadingsShowSizeAndChannel) {
  for (auto [mode, channel, channelText] :
       {std::tuple{0, 0, "Omni"}, {1, 7, "CH 07"}, {2, 16, "CH 16"}, {0, 99, "99"}, {0, -3, "-3"}}) {
    tester.reset();
    plugin.reset();
    std::filesystem::remove(prefsUserFilePath());
    saveIntToPrefs("Midi Channel", channel);
    make({{"Big150", mode == 1 ? "Y" : "N"}, {"Big200", mode == 2 ? "Y" : "N"}});
    ASSERT_TRUE(openEditor());
    menus().dismiss();
    editor->showControlMenu(CPoint(10, 10));
    const std::vector<std::string> h = shown(true);
    ASSERT_GE(h.size(), 8u);
    EXPECT_EQ(h[1], "Screen Size: Set to " + std::to_string(100 + 50 * mode) + "% Screen Size");
    EXPECT_EQ(h[7], std::string("MIDI Input Channel: ") + channelText);
  }
}

TEST_F(SettingsMenu, SwitchesNameTheirStateAndStoreTheOpposite) {
  // As shown at the defaults, the preference it writes, and what is shown afterwards.
  const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
      {"Turn Dial Animation: Off", "ModDial", "N", "Turn Dial Animation: On"},
      {"Tool-Tips: On", "ToolTip", "N", "Tool-Tips: Off"},
      {"Computer Keyboard: On", "Key", "N", "Computer Keyboard: Off"},
      {"MIDI Preset: On", "MidiPreset", "N", "MIDI Preset: Off"},
      {"MIDI Bank: On", "MidiBank", "N", "MIDI Bank: Off"},
      {"External MIDI Capture Mode: On", "MidiCapture", "N", "External MIDI Capture Mode: Off"},
      {"Set to 200% Screen Size", "Big200", "Y", "Set to 200% Screen Size"},
  };
  EXPECT_TRUE(editor->getFrame()->getKeyboardFocusOnClick()) << "a click takes the keys";
  for (const auto& [title, key, stored, shownAfter] : rows) {
    run(title);
    EXPECT_EQ(pref(key), stored) << title;
    menus().dismiss();
    editor->showControlMenu(CPoint(10, 10));
    const std::vector<std::string> all = shown(false);
    EXPECT_NE(std::find(all.begin(), all.end(), shownAfter), all.end()) << title;
  }
  EXPECT_FALSE(editor->getModDial() || editor->getToolTipsOn() || editor->getKeyboardOn());
  EXPECT_FALSE(editor->getFrame()->getKeyboardFocusOnClick());
  EXPECT_FALSE(plugin->getMidiPresetOn() || plugin->getMidiCaptureOn());
  run("Tool-Tips: Off");
  EXPECT_TRUE(editor->getToolTipsOn());
  EXPECT_EQ(pref("ToolTip"), "Y");
  // Either capture entry restarts the capture from the present values.
  for (const auto& [title, volume] : {std::pair{"External MIDI Capture Mode: Off", 0.25f},
                                      std::pair{"External MIDI Capture Mode: On", 0.75f}}) {
    plugin->setParameter(VOLUME_TAG, volume);
    ASSERT_NE(plugin->getMidiCaptureValue(VOLUME_TAG), plugin->getParameter(VOLUME_TAG));
    run(title);
    EXPECT_EQ(plugin->getMidiCaptureValue(VOLUME_TAG), plugin->getParameter(VOLUME_TAG)) << title;
  }
}

TEST_F(SettingsMenu, MidiChannelAnswersAndAbout) {
  // The answer of the input box (null: Cancel) and the channel set from 3.
  for (auto [answer, expected] : {std::pair<const char*, int>{"5", 5},
                                  {"16", 16},
                                  {"17", 3},
                                  {"-1", 3},
                                  {"99999999999999999999", 3},
                                  {nullptr, 3},
                                  {"abc", 0},
                                  {" 12 CH", 12}}) {
    plugin->setMidiChannelSetting(3);
    answer ? answerDialog(answer) : cancelDialog();
    run("Set MIDI Input Channel");
    EXPECT_EQ(plugin->getMidiChannelSetting(), expected) << (answer ? answer : "Cancel");
    EXPECT_EQ(plugin->getMidiChannel(), expected - 1);  // 0 (Omni) lets every channel through
  }
  EXPECT_TRUE(dialogMentioned("Set MIDI Input Channel (0 for Omni)"));
  EXPECT_TRUE(dialogMentioned("--entry-text=3"));
  dialogs.calls.clear();
  dialogs.answers.push_back(dialogtest::exitedWith(0));
  run("About Grindle 2");
  EXPECT_TRUE(dialogMentioned("Grindle 2"));
  EXPECT_EQ(dialogs.calls.size(), 1u);
}

// ==== EQ menu ====

class EQMenu : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    for (int i = 0; i < 12; ++i) {
      plugin->setParameter(EQ_VAR_TAGS[0][i], 0.1f + 0.02f * static_cast<float>(i));
      plugin->setParameter(EQ_VAR_TAGS[1][i], 0.6f + 0.02f * static_cast<float>(i));
    }
    a = eq(0);
    b = eq(1);
  }
  void run(int which, const std::string& title) {
    choose(title);
    editor->showEQMenu(CPoint(10, 10), which);
  }
  std::vector<float> eq(int which) {
    std::vector<float> v;
    for (int t : EQ_VAR_TAGS[which]) v.push_back(plugin->getParameter(t));
    return v;
  }
  std::vector<float> a, b;
};

TEST_F(EQMenu, ClipboardCopyAcrossSwapAndUndo) {
  run(0, "Copy EQ");
  run(1, "Paste EQ");
  EXPECT_EQ(eq(1), a);
  run(1, "Undo");
  EXPECT_EQ(eq(1), b);
  run(0, "Copy to other EQ");
  EXPECT_EQ(eq(1), a);
  run(1, "Undo");
  run(1, "Swap with other EQ");
  EXPECT_EQ(eq(0), b);
  EXPECT_EQ(eq(1), a);
  // Undo keeps its buffer: twice in a row gives the same values.
  run(0, "Undo");
  EXPECT_EQ(eq(0), a);
  plugin->setParameter(EQ_VAR_TAGS[0][3], 0.99f);
  run(0, "Undo");
  EXPECT_EQ(eq(0), a);
  EXPECT_EQ(eq(1), b);
  run(1, "Clear EQ");
  EXPECT_EQ(eq(0), a);
  EXPECT_FLOAT_EQ(eq(1)[0], plugin->getDefault(EQ_VAR_TAGS[1][0]));
  run(0, "Clear Both EQ");
  for (int t : EQ_VAR_TAGS[0]) EXPECT_FLOAT_EQ(plugin->getParameter(t), plugin->getDefault(t));
}

TEST_F(EQMenu, UndoAndPasteFromNothingChangeNothing) {
  for (int pass = 0; pass < 2; ++pass) {
    const auto before = values();
    run(0, "Undo");
    run(1, "Paste EQ");
    EXPECT_TRUE(changedSince(before).empty());
    run(0, "Copy EQ");
    reopen();  // reopening the window forgets what was copied
  }
  menus().dismiss();
  editor->showEQMenu(CPoint(10, 10), 2);
  editor->showEQMenu(CPoint(10, 10), -1);
  EXPECT_EQ(menus().runs, 0);
}

// ==== Matrix menu ====

class MatrixMenu : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    for (int s = 0; s < NUM_MOD_SLOTS; ++s) {
      plugin->setModSlotVariables(s, s % 2 == 1, 0.05f + 0.09f * static_cast<float>(s), s + 1, s + 20);
      for (int t : {MOD_SLOT_LOWER_THRESH_TAGS[size_t(s)], MOD_SLOT_OFFSET_TAGS[size_t(s)]})
        awayFromDefault(t);
    }
  }
  void run(int slot, const std::string& title) {
    choose(title);
    editor->showModMenu(CPoint(10, 10), slot);
  }
  std::vector<float> row(int slot) {
    std::vector<float> v;
    for (int t : MOD_SLOT_ROW_TAGS[slot]) v.push_back(plugin->getParameter(t));
    return v;
  }
};

TEST_F(MatrixMenu, CommandsFromNothingAndAtTheEndsChangeNothing) {
  const auto before = values();
  for (auto [slot, title] : {std::pair{0, "Undo"},
                             {0, "Paste"},
                             {3, "Paste Slot"},
                             {9, "Swap Slot With Next"},
                             {0, "Swap Slot With Previous"},
                             {10, "Clear Slot"},
                             {-1, "Bypass Slot"}}) {
    run(slot, title);
    EXPECT_TRUE(changedSince(before).empty()) << slot << " " << title;
  }
}

TEST_F(MatrixMenu, ClipboardsSwapsAndUndo) {
  const auto start = values();
  const std::vector<float> three = row(3), four = row(4);
  run(0, "Copy");
  run(0, "Clear");
  EXPECT_EQ(plugin->getDestForModSlot(5), 0);
  run(0, "Paste");
  EXPECT_TRUE(changedSince(start).empty());
  run(3, "Swap Slot With Next");
  EXPECT_EQ(row(3), four);
  EXPECT_EQ(row(4), three);
  run(3, "Undo");
  EXPECT_TRUE(changedSince(start).empty());
  run(3, "Copy Slot");
  run(7, "Paste Slot");
  EXPECT_EQ(row(7), three);
  run(7, "Reset Slot Amount");
  EXPECT_FLOAT_EQ(plugin->getParameter(MOD_SLOT_AMT_TAGS[7]), plugin->getDefault(MOD_SLOT_AMT_TAGS[7]));
  EXPECT_EQ(plugin->getDestForModSlot(7), plugin->getDestForModSlot(3));
  run(0, "Bypass All");
  for (int t : MOD_SLOT_BY_TAGS) EXPECT_TRUE(plugin->getOnOff(t));
  run(2, "UnBypass Slot");
  EXPECT_FALSE(plugin->getOnOff(MOD_SLOT_BY_TAGS[2]));
  run(0, "Clear");
  run(0, "Undo");
  EXPECT_FALSE(plugin->getOnOff(MOD_SLOT_BY_TAGS[2]));
  EXPECT_TRUE(plugin->getOnOff(MOD_SLOT_BY_TAGS[3]));
}

TEST_F(MatrixMenu, EnterAmountReadsPercentWithoutLocale) {
  // The answer of the input box (null: Cancel) and the amount set from 0.3.
  for (auto [answer, expected] : {std::pair<const char*, float>{"150", 1.0f},
                                  {"-150", 0.0f},
                                  {"50", 0.75f},
                                  {"", 0.3f},
                                  {nullptr, 0.3f},
                                  {"abc", 0.5f},
                                  {"nan", 0.5f},
                                  {"1e999", 1.0f},
                                  {"50.5", 0.7525f}}) {
    plugin->setParameter(MOD_SLOT_AMT_TAGS[2], 0.3f);
    answer ? answerDialog(answer) : cancelDialog();
    run(2, "Enter Amount");
    EXPECT_FLOAT_EQ(plugin->getParameter(MOD_SLOT_AMT_TAGS[2]), expected) << (answer ? answer : "Cancel");
  }
  EXPECT_TRUE(dialogMentioned("Mod 3 Amount"));
  EXPECT_TRUE(dialogMentioned("-100 to 100%"));
  dialogs.calls.clear();
  cancelDialog();
  run(2, "Enter Amount");
  ASSERT_EQ(dialogs.calls.size(), 1u);
  EXPECT_EQ(dialogs.calls[0].back(), "--entry-text=50");  // 50.5 cut toward zero
  testing_support::ScopedCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no comma-decimal locale";
  answerDialog("50.5");
  run(2, "Enter Amount");
  EXPECT_FLOAT_EQ(plugin->getParameter(MOD_SLOT_AMT_TAGS[2]), 0.7525f);
}

// ==== Destination menu ====

TEST_F(MenuTest, DestinationMenuStoresTheIndexInItsGroupAndSwitchesDisruptOn) {
  const auto run = [&](int tag, const std::string& sub, const std::string& title) {
    sub.empty() ? choose(title) : chooseIn(sub, title);
    editor->showDestMenu(CPoint(10, 10), tag);
  };
  plugin->setSteppedValue(DISTORT_TYPE_TAG, 48);
  plugin->setOff(79);
  run(138, "Distort", "Distort: Split Freq");  // named after the type
  EXPECT_EQ(shown(false, 0), (std::vector<std::string>{"None", "Main", "Distort", "EQ", "Modules", "Disrupt",
                                                       "Follower", "LFO", "Mod"}));
  EXPECT_EQ(plugin->getDestForTag(138), 8);
  EXPECT_TRUE(plugin->getOnOff(79));
  // "None" keeps the switch as it is, whichever way it stands.
  for (bool on : {true, false}) {
    plugin->setOnOff(79, on);
    run(138, "", "None");
    EXPECT_EQ(plugin->getDestForTag(138), 0);
    EXPECT_EQ(plugin->getOnOff(79), on);
  }
  const auto before = values();
  run(184, "Mod", std::string(DEST_STR[111]));
  EXPECT_EQ(changedSince(before), (std::set<int>{184}));
  EXPECT_EQ(plugin->getDestForTag(184), 111);
  menus().dismiss();
  run(184, "", "");
  EXPECT_EQ(plugin->getDestForTag(184), 111);
}

// ==== Every menu ====

TEST_F(MenuTest, HundredDismissedMenusLeaveNothingBehind) {
  CControl* knob = testControl(*editor, WIDENER_AMOUNT_TAG);
  const std::function<void()> menusOfTheEditor[] = {[&] { editor->showMIDIMenu(knob, CPoint(5, 5)); },
                                                    [&] { editor->showControlMenu(CPoint(5, 5)); },
                                                    [&] { editor->showEQMenu(CPoint(5, 5), 1); },
                                                    [&] { editor->showModMenu(CPoint(5, 5), 4); },
                                                    [&] { editor->showDestMenu(CPoint(5, 5), 138); },
                                                    [&] { editor->showWaveShaperMenu(CPoint(5, 5), 0); }};
  const auto openOne = [&](int i) {
    menus().dismiss();
    menusOfTheEditor[i % 6]();
  };
  for (int i = 0; i < 12; ++i) openOne(i);
  const size_t heapBefore = mallinfo2().uordblks;
  const int viewsBefore = static_cast<int>(editor->getFrame()->getNbViews());
  for (int i = 0; i < 100; ++i) openOne(i);
  EXPECT_EQ(menus().runs, 112);
  EXPECT_EQ(static_cast<int>(editor->getFrame()->getNbViews()), viewsBefore);
#if !defined(__SANITIZE_ADDRESS__)
  // A menu kept alive holds several kilobytes; the sanitizer build finds leaks by itself.
  EXPECT_LT(mallinfo2().uordblks, heapBefore + 32 * 1024);
#else
  (void)heapBefore;
#endif
}
