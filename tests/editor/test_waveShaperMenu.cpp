// The wave-shaper menu on the two curves of a plug-in: commands, undo and clipboard, preset
// files through scripted dialogs, and the generated values the screen overlays.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

#include "editor/waveShaper.h"
#include "menuTestUtil.h"

using namespace editortest;
using namespace VSTGUI;

namespace {

using Points = std::array<float, 2 * WAVESHAPER_POINTS>;
constexpr int FIRST = WAVESHAPER_START_TAG[0];
constexpr const char* PROBLEM = "Problem with WaveShaper Preset File";

waveshaper::Curve curve(Points& p, int ws) {
  return waveshaper::Curve(p.data() + ws * WAVESHAPER_POINTS, WAVESHAPER_POINTS);
}

}  // namespace

class WaveShaperMenu : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    for (int i = 0; i < WAVESHAPER_POINTS; ++i) {
      const float x = static_cast<float>(i) / 255.0f;
      plugin->setParameter(FIRST + i, 0.2f + 0.5f * x * x);
      plugin->setParameter(FIRST + WAVESHAPER_POINTS + i, 0.9f - 0.6f * x);
    }
    plugin->setParameter(WAVESHAPER_POLAR_TAG, 1.0f);
    start = points();
  }
  void run(int ws, const std::string& title) {
    choose(title);
    editor->showWaveShaperMenu(CPoint(10, 10), ws);
  }
  Points points() {
    Points p{};
    for (int i = 0; i < 2 * WAVESHAPER_POINTS; ++i)
      p[static_cast<size_t>(i)] = plugin->getParameter(FIRST + i);
    return p;
  }
  Points start{};
};

TEST_F(WaveShaperMenu, CommandsWorkOnTheirCurves) {
  struct Row {
    int ws;
    const char* title;
    std::function<void(Points&)> expect;
  };
  using namespace waveshaper;
  const Row rows[] = {
      {0, "Clear WaveShaper 2", [](Points& p) { clearCurve(curve(p, 1)); }},
      {0, "Zero WaveShaper 1", [](Points& p) { zeroCurve(curve(p, 0)); }},
      {0, "Copy WaveShaper 2 to 1", [](Points& p) { copyCurve(curve(p, 1), curve(p, 0)); }},
      {1, "Swap", [](Points& p) { swapCurves(curve(p, 0), curve(p, 1)); }},
      {1, "Reverse", [](Points& p) { reverseCurve(curve(p, 1), true); }},
      {0, "Mirror", [](Points& p) { mirrorCurve(curve(p, 0)); }},
      {0, "Normalize", [](Points& p) { normalizeCurve(curve(p, 0)); }},
      {1, "Boost", [](Points& p) { scaleCurve(curve(p, 1), BOOST_FACTOR); }},
      {0, "Copy WaveShapers", [](Points&) {}},
  };
  for (const Row& r : rows) {
    run(r.ws, r.title);
    Points expected = start;
    r.expect(expected);
    EXPECT_EQ(points(), expected) << r.title;
    EXPECT_FLOAT_EQ(plugin->getParameter(WAVESHAPER_POLAR_TAG), 1.0f);
    run(r.ws, "Undo");
    EXPECT_EQ(points(), start) << r.title;
  }
  // The defaults are the straight line, and a zero curve is all 0.5.
  run(0, "Clear WaveShaper 1");
  run(1, "Zero WaveShaper 2");
  for (int i = 0; i < WAVESHAPER_POINTS; ++i) {
    EXPECT_NEAR(plugin->getParameter(FIRST + i), static_cast<float>(i) / 255.0f, 1e-6f);
    EXPECT_EQ(plugin->getParameter(FIRST + WAVESHAPER_POINTS + i), 0.5f);
  }
  // Uni-polar Reverse keeps the lower half.
  plugin->setParameter(WAVESHAPER_POLAR_TAG, 0.0f);
  run(0, "Reverse");
  EXPECT_NEAR(plugin->getParameter(FIRST + 127), 127.0f / 255.0f, 1e-6f);
  EXPECT_NEAR(plugin->getParameter(FIRST + 128), 1.0f, 1e-6f);
}

TEST_F(WaveShaperMenu, ClipboardAndUndoActOnlyOnceFilled) {
  for (int pass = 0; pass < 2; ++pass) {
    const auto before = values();
    run(0, "Undo");
    run(1, "Paste WaveShapers");
    EXPECT_TRUE(changedSince(before).empty());
    run(0, "Copy WaveShapers");
    reopen();
  }
  run(0, "Copy WaveShapers");
  run(0, "Zero Both WaveShapers");
  run(1, "Paste WaveShapers");
  EXPECT_EQ(points(), start);

  // A dismissed menu takes a fresh snapshot: Undo then keeps what was drawn meanwhile.
  run(0, "Zero WaveShaper 1");
  plugin->setParameter(FIRST + 10, 0.125f);
  menus().dismiss();
  editor->showWaveShaperMenu(CPoint(10, 10), 0);
  run(0, "Undo");
  EXPECT_EQ(plugin->getParameter(FIRST + 10), 0.125f);

  menus().dismiss();
  const int runs = menus().runs;
  editor->showWaveShaperMenu(CPoint(10, 10), 2);
  editor->showWaveShaperMenu(CPoint(10, 10), -1);
  EXPECT_EQ(menus().runs, runs);
}

TEST_F(WaveShaperMenu, PresetFilesRoundTripAndBrokenOnesChangeNothing) {
  dialogtest::TempDir dir;
  plugin->setParameter(FIRST + 3, 0.123456789f);
  plugin->setParameter(WAVESHAPER_POLAR_TAG, 0.25f);  // not quantised: kept as a number
  const Points saved = points();
  const std::string file = dir.file("curves.wsr");
  answerDialog(file);
  run(0, "Save");
  EXPECT_TRUE(dialogMentioned(plugin->waveShaperDir));
  const std::string text = dialogtest::readFile(file);
  EXPECT_EQ(text.substr(0, 14), "V1.0\n0.250000\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 514);

  run(0, "Zero Both WaveShapers");
  plugin->setParameter(WAVESHAPER_POLAR_TAG, 1.0f);
  answerDialog(file);
  run(1, "Load");
  EXPECT_FLOAT_EQ(plugin->getParameter(WAVESHAPER_POLAR_TAG), 0.25f);
  for (size_t i = 0; i < saved.size(); ++i) ASSERT_NEAR(points()[i], saved[i], 1e-6f) << i;
  // Undo gives back the curves, not the polar mode the file brought.
  run(0, "Undo");
  EXPECT_EQ(points()[0], 0.5f);
  EXPECT_FLOAT_EQ(plugin->getParameter(WAVESHAPER_POLAR_TAG), 0.25f);

  // Refused with the message and nothing changed.
  dialogtest::writeFile(dir.file("short.wsr"), "V1.0\n0.5\n0.25\n");
  ::mkfifo(dir.file("fifo.wsr").c_str(), 0600);
  for (const std::string& bad :
       {dir.file("short.wsr"), dir.file("fifo.wsr"), dir.path(), dir.file("missing.wsr")}) {
    const auto before = values();
    dialogs.calls.clear();
    answerDialog(bad);
    dialogs.answers.push_back(dialogtest::exitedWith(0));  // the message box's OK
    run(0, "Load");
    EXPECT_TRUE(changedSince(before).empty()) << bad;
    EXPECT_TRUE(dialogMentioned(PROBLEM)) << bad;
  }
  dialogs.calls.clear();
  answerDialog(dir.file("no/such/folder/x.wsr"));
  dialogs.answers.push_back(dialogtest::exitedWith(0));
  run(0, "Save");
  EXPECT_TRUE(dialogMentioned(PROBLEM));
  EXPECT_FALSE(std::filesystem::exists(dir.file("no")));

  // Cancelled dialogs do nothing at all.
  const auto before = values();
  const std::string saveBefore = dialogtest::readFile(file);
  for (const char* title : {"Load", "Save"}) {
    dialogs.calls.clear();
    cancelDialog();
    run(0, title);
    EXPECT_EQ(dialogs.calls.size(), 1u) << title;
  }
  EXPECT_TRUE(changedSince(before).empty());
  EXPECT_EQ(dialogtest::readFile(file), saveBefore);
}

TEST_F(WaveShaperMenu, GeneratedValuesFollowModeAmountsAndPolarity) {
  plugin->setSteppedValue(WAVESHAPER_DISTORT_MODE_TAGS[1], 21);  // "Overdrive"
  plugin->setParameter(WAVESHAPER_DISTORT_1_TAGS[1], 0.2f);
  plugin->setParameter(WAVESHAPER_DISTORT_2_TAGS[1], 0.9f);
  for (bool polar : {false, true}) {
    plugin->setOnOff(WAVESHAPER_POLAR_TAG, polar);
    for (int p : {0, 40, 128, 255})
      EXPECT_EQ(editor->getWaveShaperDistortValues(1, p),
                waveshaper::waveShaperValue(21, 0.2f, 0.9f, polar, p));
  }
  EXPECT_NE(editor->getWaveShaperDistortValues(1, 40), editor->getWaveShaperDistortValues(0, 40));
  for (const auto& [ws, p] : {std::pair{2, 10}, std::pair{-1, 10}, std::pair{0, 256}, std::pair{0, -1}})
    EXPECT_EQ(editor->getWaveShaperDistortValues(ws, p), 0.0f) << ws << " " << p;
}
