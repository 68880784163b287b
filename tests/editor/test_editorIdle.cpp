// What reaches the editor from other threads, and the idle pass that applies it: notifications,
// resume, meters and the Edited lamp, the 40 ms throttle, tool-tips and hints, drags across a
// rebuild, threads.
#include <atomic>
#include <limits>
#include <set>
#include <thread>

#include "controls/pluginControls.h"
#include "editorTestUtil.h"
#include "plugin/uVocabulary.h"

using namespace editortest;
using namespace VSTGUI;

namespace {

// Follows the mouse while pressed, like a knob or a graph screen.
class DragView : public CControl {
 public:
  using CControl::CControl;
  CMouseEventResult onMouseDown(CPoint&, const CButtonState&) override { return kMouseEventHandled; }
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    ++moves;
    lastX = where.x;
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseUp(CPoint&, const CButtonState&) override { return kMouseEventHandled; }
  int moves = 0;
  double lastX = 0;
};

}  // namespace

class EditorIdle : public OpenEditorTest {
 protected:
  void SetUp() override {
    OpenEditorTest::SetUp();
    pass();
  }
};

TEST_F(EditorIdle, NotificationsAreRecordedAndMoveControlsOnlyAtTheNextPass) {
  // Tags outside the parameters update nothing; a plain knob only its controls.
  for (auto [tag, flags] :
       {std::pair{1, 0u}, {1023, 0u}, {1024, uint32_t{kNoControlUpdate}}, {-1, uint32_t{kNoControlUpdate}}})
    EXPECT_EQ(parameterNotification(tag), flags) << tag;
  CControl* volumes[2] = {testControl(*editor, 1), testControl(*editor, 1)};
  CControl* type = testControl(*editor, 129);
  plugin->setParameter(1, 0.2f);
  plugin->setParameter(129, 0.5f);
  EXPECT_EQ(editor->pendingRefreshFlags(), kDistortRefresh | kBottomScreenRefresh | kDistortScreenReset);
  EXPECT_NE(volumes[0]->getValue(), 0.2f);  // recorded only
  const float typeBefore = type->getValue();
  pass();
  EXPECT_EQ(editor->pendingRefreshFlags(), 0u);
  EXPECT_FLOAT_EQ(volumes[0]->getValue(), 0.2f);
  EXPECT_FLOAT_EQ(volumes[1]->getValue(), 0.2f);
  EXPECT_EQ(type->getValue(), typeBefore);
  editor->setParameter(1024, 1.0f);
  editor->setParameter(-1, 1.0f);
  EXPECT_EQ(editor->pendingRefreshFlags(), 0u);
  // A resume brings controls in line, but leaves those within the tolerance.
  plugin->setParameter(2, 0.5f);
  CControl* far = testControl(*editor, 2);
  pass();
  volumes[0]->setValue(0.2f + 0.5e-5f);
  far->setValue(0.25f);
  editor->resume();
  EXPECT_TRUE(editor->isResumePending());
  pass();
  EXPECT_FALSE(editor->isResumePending());
  EXPECT_EQ(volumes[0]->getValue(), 0.2f + 0.5e-5f);
  EXPECT_FLOAT_EQ(far->getValue(), 0.5f);
}

TEST_F(EditorIdle, MetersAreHeldToTheirRangeAndTheEditedLampFollowsTheProgram) {
  for (size_t i = 0; i < 4; ++i) {
    editor->vuMeters[i] = editor->own(new TVu(CRect(584 + 7.0 * i, 30, 590 + 7.0 * i, 90), editor));
    editor->getFrame()->addView(editor->vuMeters[i]);
  }
  editor->setVU(4.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), 0.5f);
  plugin->setParameter(1, plugin->getParameter(1) > 0.5f ? 0.1f : 0.9f);  // edits the program
  pass();
  const float levels[4] = {1.0f, 0.0f, 0.0f, 0.5f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(editor->getVuValue(i), levels[i]) << i;
    EXPECT_EQ(editor->vuMeters[i]->getBarTop(), static_cast<int>(60 * (1 - levels[i]))) << i;
  }
  EXPECT_EQ(editor->editedButton->getBackground(), editor->bitmap(EDITED_ON_BMP));
  plugin->origProgram();
  pass();
  EXPECT_EQ(editor->editedButton->getBackground(), editor->bitmap(EDITED_OFF_BMP));
  tester.reset();
  editor->close();  // the views go, and so do the editor's pointers to them
  EXPECT_EQ(editor->editedButton, nullptr);
  EXPECT_EQ(editor->vuMeters[3], nullptr);
}

TEST_F(EditorIdle, PassesAreFortyMillisecondsApartAlsoAcrossTheClockWrap) {
  CControl* c = testControl(*editor, 1);
  float v = 0.1f;
  for (uint64_t start : {uint64_t{5000}, (uint64_t{1} << 32) - 20}) {
    tester->clock().set(start);
    editor->idle();
    const float before = c->getValue();
    v += 0.1f;
    plugin->setParameter(1, v);
    tester->advanceClock(39);
    editor->idle();
    EXPECT_EQ(c->getValue(), before) << start;
    tester->advanceClock(1);
    editor->idle();
    EXPECT_FLOAT_EQ(c->getValue(), v) << start;
  }
  // Nothing is applied while a preset is being set.
  plugin->setParameter(1, 0.05f);
  plugin->settingPreset = true;
  pass();
  EXPECT_FLOAT_EQ(c->getValue(), v);
  plugin->settingPreset = false;
  pass();
  EXPECT_FLOAT_EQ(c->getValue(), 0.05f);
}

TEST_F(EditorIdle, ToolTipsNameTheParameterAndHintsWin) {
  CControl* volume = testControl(*editor, 1, CRect(100, 20, 140, 60));
  CControl* page = testControl(*editor, NO_PARAM_TAG, CRect(200, 20, 240, 60));
  CControl* preset = testControl(*editor, 1, CRect(300, 20, 340, 60));
  for (CControl* c : {volume, page, preset}) editor->getFrame()->addView(c);
  editor->setHint(page, "Selected LFO", "Select LFO 1");
  editor->setHint(page, "Selected LFO", std::string("Select LFO ") + std::string(LFO_STR[1]));
  editor->setHint(preset, "Preset Menu");
  plugin->setParameter(1, 0.75f);
  for (auto [view, text] : {std::pair{volume, "Volume: 0.0 dB"},
                            {page, "Selected LFO : Select LFO LFO 2"},
                            {preset, "Preset Menu : "}}) {
    tester->move(view->getViewSize().left + 20, 40);
    pass();
    EXPECT_EQ(view->getTooltipText(), text);
  }
}

TEST_F(EditorTest, WithoutToolTipsNoTextIsSetButTheDropPassRuns) {
  make({{"ToolTip", "N"}});
  ASSERT_TRUE(openEditor());
  CControl* volume = testControl(*editor, 1, CRect(100, 20, 140, 60));
  editor->getFrame()->addView(volume);
  editor->setHint(volume, "Volume");
  editor->modDrag = {5, true, 0.5f};
  tester->move(120, 40);
  pass();
  EXPECT_EQ(volume->getTooltipText(), "");
  EXPECT_EQ(editor->modDrag.tag, -1);
  EXPECT_FALSE(editor->modDrag.released);
}

TEST_F(EditorIdle, ADragInsideABoxOutlivesTheRefreshItsEditsRaise) {
  CViewContainer* box = editor->bottomBox;
  auto* screen = editor->own(new DragView(CRect(0, 0, 100, 100), editor, NO_PARAM_TAG));
  box->addView(screen);
  const CRect at = box->getViewSize();
  tester->mouseDown(at.left + 10, at.top + 10);
  // One second of dragging while the tag the LFO screen writes raises the bottom refresh.
  for (int i = 1; i <= 25; ++i) {
    plugin->setParameter(114, static_cast<float>(i) / 25.0f);
    pass();
    tester->move(at.left + 10 + i, at.top + 10, kLButton);
  }
  EXPECT_EQ(screen->moves, 25);
  EXPECT_EQ(screen->lastX, 10 + 25);
  EXPECT_TRUE(box->isChild(screen));
  tester->mouseUp(at.left + 35, at.top + 10);
  pass();  // the deferred rebuild runs now
  EXPECT_FALSE(box->isChild(screen));
}

TEST_F(EditorTest, AudioThreadRecordsWhileTheEditorOpensIdlesAndCloses) {
  TestArt noArt({});  // the opens stay quick
  make();
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    for (int n = 0; !stop.load(); ++n) {
      for (int t = 0; t < NUM_PARAMS; ++t) plugin->setParameter(t, static_cast<float>((t + n) % 7) / 7.0f);
      plugin->editorLink->setVU(0.5f, 2.0f, -1.0f, 0.25f);
      plugin->setDemoProgram(n % NUM_DEMO_PROGRAMS);
    }
  });
  testing_support::ManualClock clock;
  for (int i = 0; i < 200; ++i) {
    ASSERT_TRUE(editor->open(nullptr));
    for (int k = 0; k < 3; ++k) {
      clock.advance(IDLE_INTERVAL_MS);
      editor->idle();
    }
    editor->close();
  }
  stop = true;
  audio.join();
  EXPECT_FALSE(editor->isOpen());
  // Two hundred opens without artwork report each missing bitmap once.
  const std::vector<int> missing = noArt.missingReports();
  EXPECT_FALSE(missing.empty());
  EXPECT_EQ(std::set<int>(missing.begin(), missing.end()).size(), missing.size());
}
