// Displays that must follow what the editor itself stores: the distortion Curve after an edit
// of the wave-shaper curves or the DC switch, the host's sliders after values stored without
// automation (told from the idle pass, never from processing), and Help when the stored manual
// is gone.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "controls/pluginScreens.h"
#include "editor/uEditorLayout.h"
#include "editorTestUtil.h"
#include "plugin/uVocabulary.h"
#include "support/fakeHost.h"

using namespace editortest;
using namespace VSTGUI;
using testing_support::FakeHost;

namespace {

constexpr uint64_t CURVE_PERIOD = 150;  // ms: the idle pass updates the Curve once per period
constexpr int DIST_CLIPPER_2 = 4, DUAL_WAVESHAPER = 50, TWO_BAND_WAVESHAPER = 51;

bool meets(const CRect& a, const CRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

class FollowingDisplays : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    TestArt::useFullSet();
    plugin = std::make_unique<APlugin>(&FakeHost::callback);
    editor = dynamic_cast<uEditor*>(plugin->getEditor());
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(openEditor());
    settle();
  }
  // Passes at the starts of the Curve's update periods, so that every screen has taken its turn.
  void settle(int n = 3) {
    for (int i = 0; i < n; ++i) {
      tester->clock().set((tester->clock().get() / CURVE_PERIOD + 1) * CURVE_PERIOD);
      editor->idle();
    }
  }
  // Whether the Curve's next update repaints it. A pass inside the current period comes first:
  // it rebuilds a box a command asked for (which repaints everything in it) and leaves the
  // Curve's own update to the next period.
  bool curveRepaintedByOnePass() {
    tester->advanceClock(IDLE_INTERVAL_MS);
    editor->idle();
    tester->platform()->clearPresentedRegions();
    settle(1);
    const CRect curve = editor->distortScreen->getFrameRect();
    const auto& shown = tester->platform()->getPresentedRegions();
    return std::any_of(shown.begin(), shown.end(), [&](const CRect& r) { return meets(r, curve); });
  }
  int rereads() const { return host.count(kHostUpdateDisplay); }
  FakeHost host;
};

TEST_F(FollowingDisplays, TheCurveFollowsCurveEditsAndTheDCSwitchOfTheWaveShaperTypes) {
  const int point = WAVESHAPER_START_TAG[0] + 200, point2 = WAVESHAPER_START_TAG[1] + 40;
  struct Edit {
    const char* name;
    std::function<void()> apply;
  };
  const Edit edits[] = {
      {"Zero WaveShaper 1",
       [&] {
         tester->menus().chooseTitle("Zero WaveShaper 1");
         editor->showWaveShaperMenu(CPoint(10, 10), 0);
       }},
      {"a drawn point of curve 1",
       [&] { plugin->setParameter(point, plugin->getParameter(point) > 0.7f ? 0.2f : 0.9f); }},
      {"a drawn point of curve 2",
       [&] { plugin->setParameter(point2, plugin->getParameter(point2) > 0.7f ? 0.2f : 0.9f); }},
      {"the DC switch",
       [&] { plugin->setParameter(DC_FILTER_TAG, plugin->getOnOff(DC_FILTER_TAG) ? 0.0f : 1.0f); }},
  };
  struct Row {
    int type;
    bool follows;
  };
  for (const Row row :
       {Row{DUAL_WAVESHAPER, true}, Row{TWO_BAND_WAVESHAPER, true}, Row{DIST_CLIPPER_2, false}}) {
    editor->updateDistort(row.type);
    for (int i = 0; i < WAVESHAPER_POINTS; ++i) {
      const float x = static_cast<float>(i) / (WAVESHAPER_POINTS - 1);
      plugin->setParameter(WAVESHAPER_START_TAG[0] + i, x);
      plugin->setParameter(WAVESHAPER_START_TAG[1] + i, 1.0f - x * x);
    }
    // Knobs that let the curves through: both curves blended, mixes half wet.
    for (int t = 8; t <= 13; ++t) plugin->setParameter(t, 0.5f);
    settle();
    ASSERT_FALSE(curveRepaintedByOnePass()) << "type " << row.type << " repaints while nothing changes";
    for (const Edit& edit : edits) {
      SCOPED_TRACE(testing::Message() << "type " << row.type << ", " << edit.name);
      settle();
      edit.apply();
      EXPECT_EQ(curveRepaintedByOnePass(), row.follows);
      EXPECT_FALSE(curveRepaintedByOnePass());  // once, not for ever
    }
  }
}

TEST_F(FollowingDisplays, TheCurveDrawsTheEditedPointsWithoutWaitingForTheAudioThread) {
  editor->updateDistort(DUAL_WAVESHAPER);
  settle();
  float before[TDistortScreen::MAX_POINTS], after[TDistortScreen::MAX_POINTS];
  plugin->getDistortDisplay(before, 200, 0, 0.0f);
  tester->menus().chooseTitle("Zero Both WaveShapers");
  editor->showWaveShaperMenu(CPoint(10, 10), 0);
  // No block was processed: the display still reads what the parameters now hold.
  plugin->getDistortDisplay(after, 200, 0, 0.0f);
  EXPECT_FALSE(std::equal(before, before + 200, after));
  EXPECT_TRUE(std::all_of(after, after + 200, [](float v) { return std::fabs(v) < 1e-6f; }));
}

TEST_F(FollowingDisplays, TheHostRereadsOnceAfterEveryPlainWriteAndNeverFromProcessing) {
  CControl* knob = testControl(*editor, 48);  // the high-pass frequency, a modulation destination
  struct Path {
    const char* name;
    std::function<void()> apply;
  };
  const Path paths[] = {
      {"type recall", [&] { editor->updateDistort(12); }},
      {"type menu",
       [&] {
         const MenuChoice c = testing_support::TestMenuDriver::findTitle(*editor->distortTypeMenu,
                                                                         std::string(DISTORT_TYPE_STR[17]));
         ASSERT_NE(c.menu, nullptr);
         c.menu->setValue(static_cast<float>(c.index));
         editor->valueChanged(c.menu);
       }},
      {"EQ menu",
       [&] {
         tester->menus().chooseTitle("Clear Both EQ");
         editor->showEQMenu(CPoint(10, 10), 0);
       }},
      {"matrix menu",
       [&] {
         tester->menus().chooseTitle("Reset Mod Amount");
         editor->showModMenu(CPoint(10, 10), 2);
       }},
      {"wave-shaper menu",
       [&] {
         tester->menus().chooseTitle("Zero WaveShaper 2");
         editor->showWaveShaperMenu(CPoint(10, 10), 1);
       }},
      {"parameter menu's matrix source",
       [&] {
         tester->menus().chooseTitle(std::string(SRC_STR[3]));
         editor->showMIDIMenu(knob, CPoint(10, 10));
       }},
      {"program step by key",
       [&] {
         tester->advanceClock(1000);
         editor->changeProgramDelta(1);
       }},
      {"program from the preset menu", [&] { plugin->setDemoProgram(7); }},
  };
  for (const Path& path : paths) {
    SCOPED_TRACE(path.name);
    settle();
    const int before = rereads();
    path.apply();
    EXPECT_EQ(rereads(), before);  // told from the idle pass, not from inside the command
    EXPECT_TRUE(editor->isHostRereadPending());
    const int automations = host.count(kHostAutomate);
    settle(1);
    EXPECT_EQ(rereads(), before + 1);
    EXPECT_FALSE(editor->isHostRereadPending());
    settle();
    EXPECT_EQ(rereads(), before + 1);  // once per change
    EXPECT_EQ(host.count(kHostAutomate), automations) << "the re-read recorded automation";
  }
  // A dismissed menu stored nothing: no re-read.
  settle();
  const int quiet = rereads();
  tester->menus().dismiss();
  editor->showDestMenu(CPoint(10, 10), LFO_DEST_TAGS[0]);
  settle();
  EXPECT_EQ(rereads(), quiet);
}

TEST_F(FollowingDisplays, AScreenGestureIsReadByTheHostOnceItEnds) {
  settle();
  const int before = rereads();
  const CRect eq = editor->eqScreen->getFrameRect();
  const CPoint a = eq.getCenter();
  tester->mouseDown(a.x, a.y);
  tester->move(a.x + 20, a.y - 10, kLButton);
  settle();
  EXPECT_EQ(rereads(), before);                // still dragging: the host would read half a gesture
  EXPECT_TRUE(editor->isHostRereadPending());  // kept for the gesture's end, not dropped
  tester->mouseUp(a.x + 20, a.y - 10);
  settle();
  EXPECT_EQ(rereads(), before + 1);
}

TEST_F(FollowingDisplays, AMidiProgramChangeIsToldToTheHostFromTheIdlePassNotFromProcessing) {
  settle();
  const int before = rereads();
  VstMidiEvent change{};
  change.type = kVstMidiType;
  change.byteSize = static_cast<int32_t>(sizeof(VstMidiEvent));
  change.midiData[0] = static_cast<char>(0xC0);
  change.midiData[1] = 9;
  struct {
    VstEvents list;
    VstEvent* second;
  } events{};
  events.list.numEvents = 1;
  events.list.events[0] = reinterpret_cast<VstEvent*>(&change);
  ASSERT_EQ(plugin->processEvents(&events.list), 1);
  std::vector<float> in(64, 0.0f), out(64, 0.0f);
  float* inputs[4] = {in.data(), in.data(), in.data(), in.data()};
  float* outputs[2] = {out.data(), out.data()};
  char name[64] = {}, after[64] = {};
  plugin->getProgramName(name);
  for (int i = 0; i < 8; ++i) plugin->processReplacing(inputs, outputs, 64);
  plugin->getProgramName(after);
  ASSERT_STRNE(after, name) << "the program change was not taken";
  EXPECT_EQ(rereads(), before);
  settle();
  EXPECT_EQ(rereads(), before + 1);
}

// ---- Help ----

class HelpFallback : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    TestArt::useFullSet();
    make();
    ASSERT_TRUE(openEditor());
    dialogtest::writeScript(bin.file("xdg-open"), "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > " +
                                                      dialogtest::shellQuoted(bin.file("args.tmp")) +
                                                      "\nmv " +
                                                      dialogtest::shellQuoted(bin.file("args.tmp")) + " " +
                                                      dialogtest::shellQuoted(bin.file("args")) + "\n");
  }
  void TearDown() override {
    setModuleResourceFolder("");
    EditorTest::TearDown();
  }
  // What the viewer got, or nothing when none started within a few seconds.
  std::vector<std::string> help() {
    std::filesystem::remove(bin.file("args"));
    editor->helpButton->setValue(1.0f);
    editor->valueChanged(editor->helpButton);
    for (int i = 0; i < 300 && !std::filesystem::exists(bin.file("args")); ++i) {
      if (platform::reapDetachedChildren() == 0 && i > 50) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!std::filesystem::exists(bin.file("args"))) return {};
    return dialogtest::splitNul(dialogtest::readFile(bin.file("args")));
  }
  // A bundle of the test's own stands for the module's: its copy of the manual.
  void provideBundledManual() {
    setModuleResourceFolder(bundle.path() + "/Resources/");
    std::filesystem::create_directories(bundle.path() + "/Resources/Help");
    dialogtest::writeFile(bundledManualPath(), "<html></html>");
  }
  std::string lastMessage() const {
    if (dialogs.calls.empty()) return {};
    std::string all;
    for (const std::string& a : dialogs.calls.back()) all += a + "\n";
    return all;
  }
  dialogtest::TempDir bin, docs, bundle;
  dialogtest::ScopedEnv path{"PATH", bin.path() + ":/usr/bin:/bin"};
  RecordingDialogs dialogs;
};

TEST_F(HelpFallback, AStoredManualWinsAGoneOneFallsBackToTheBundleAndNoneIsSaid) {
  provideBundledManual();
  const std::string bundled = std::filesystem::canonical(bundledManualPath()).string();
  const std::string mine = docs.file("mine.html");
  dialogtest::writeFile(mine, "<html>");
  struct Row {
    std::string stored;
    std::string opened;
  };
  for (const Row& row : {Row{mine, mine}, Row{docs.file("moved.html"), bundled}, Row{"", bundled},
                         Row{docs.path(), bundled}}) {
    plugin->helpDir = row.stored;
    EXPECT_EQ(help(), std::vector<std::string>{row.opened}) << row.stored;
  }
  EXPECT_TRUE(dialogs.calls.empty());

  // Neither the stored path nor the bundle's copy: a message naming both, no viewer.
  std::filesystem::remove(bundledManualPath());
  plugin->helpDir = docs.file("moved.html");
  EXPECT_TRUE(help().empty());
  ASSERT_EQ(dialogs.calls.size(), 1u);
  EXPECT_NE(lastMessage().find(docs.file("moved.html")), std::string::npos) << lastMessage();
  EXPECT_NE(lastMessage().find(bundledManualPath()), std::string::npos) << lastMessage();
}

TEST(BuiltBundle, HoldsTheManualAndEveryPictureItShows) {
  const std::string help = GRINDLE_BINARY_DIR "/Grindle2/Resources/Help/";
  const std::string page = dialogtest::readFile(help + "Grindle2_Manual.html");
  ASSERT_FALSE(page.empty()) << help;
  size_t pictures = 0;
  for (size_t at = page.find("src=\""); at != std::string::npos; at = page.find("src=\"", at + 1)) {
    const size_t end = page.find('"', at + 5);
    const std::string src = page.substr(at + 5, end - at - 5);
    EXPECT_TRUE(std::filesystem::is_regular_file(help + src)) << src;
    ++pictures;
  }
  EXPECT_GE(pictures, 5u);
}
