// What reaches the editor from other threads, and the idle pass that applies it: notifications,
// resume, meters, the 40 ms throttle, tool-tips and hints, drags across a rebuild, threads.
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

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

TEST(EditorNotifications, TableOfFlags) {
  const uint32_t d = kDistortRefresh, b = kBottomScreenRefresh, none = kNoControlUpdate;
  struct Row {
    int tag;
    uint32_t flags;
  };
  const Row rows[] = {{128, kPathRefresh | none}, {129, d | b | kDistortScreenReset | none},
                      {130, d | b},               {246, d | b},
                      {106, b},                   {109, b},
                      {114, b},                   {117, b},
                      {169, b},                   {131, kWidenerRefresh},
                      {133, d | b | none},        {135, d | b | none},
                      {143, d | b | none},        {146, d | b | none},
                      {150, d | b | none},        {168, d | b | none},
                      {240, d | b | none},        {243, d | b | none},
                      {241, kWaveShaperRefresh},  {245, kWaveShaperRefresh},
                      {1, 0},                     {110, 0},
                      {132, 0},                   {1023, 0},
                      {1024, none},               {-1, none}};
  for (const Row& row : rows) EXPECT_EQ(parameterNotification(row.tag), row.flags) << row.tag;
}

class EditorIdle : public OpenEditorTest {
 protected:
  void SetUp() override {
    OpenEditorTest::SetUp();
    pass();
  }
};

TEST_F(EditorIdle, NotificationsMoveControlsOnlyAtTheNextPass) {
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
  pass();
  EXPECT_FLOAT_EQ(volumes[0]->getValue(), 0.2f);
}

TEST_F(EditorIdle, ResumeLeavesControlsWithinTheTolerance) {
  plugin->setParameter(1, 0.4f);
  plugin->setParameter(2, 0.5f);
  CControl* close = testControl(*editor, 1);
  CControl* far = testControl(*editor, 2);
  pass();  // the notifications above are applied
  close->setValue(0.4f + 0.5e-5f);
  far->setValue(0.25f);
  editor->resume();
  EXPECT_TRUE(editor->isResumePending());
  pass();
  EXPECT_FALSE(editor->isResumePending());
  EXPECT_EQ(close->getValue(), 0.4f + 0.5e-5f);
  EXPECT_FLOAT_EQ(far->getValue(), 0.5f);
}

TEST_F(EditorIdle, MetersAreHeldToTheirRange) {
  editor->setVU(4.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(), 0.5f);
  pass();
  const float expected[4] = {1.0f, 0.0f, 0.0f, 0.5f};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(editor->getVuValue(i), expected[i]) << i;
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
  struct Row {
    CControl* view;
    double x;
    const char* text;
  };
  const Row rows[] = {{volume, 120, "Volume: 0.0 dB"},
                      {page, 220, "Selected LFO : Select LFO LFO 2"},
                      {preset, 320, "Preset Menu : "}};
  for (const Row& row : rows) {
    tester->move(row.x, 40);
    pass();
    EXPECT_EQ(row.view->getTooltipText(), row.text);
  }
}

class EditorNoToolTips : public EditorTest {};

TEST_F(EditorNoToolTips, NoTextIsSetButTheDropPassRuns) {
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
  ASSERT_NE(box, nullptr);
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

class EditorThreads : public EditorTest {};

TEST_F(EditorThreads, AudioThreadRecordsWhileTheEditorOpensIdlesAndCloses) {
  TestArt noArt({});  // the opens stay quick
  make();
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    int n = 0;
    while (!stop.load()) {
      for (int t = 0; t < NUM_PARAMS; ++t) plugin->setParameter(t, static_cast<float>((t + n) % 7) / 7.0f);
      plugin->editorLink->setVU(0.5f, 2.0f, -1.0f, 0.25f);
      plugin->setDemoProgram(n % NUM_DEMO_PROGRAMS);
      ++n;
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
}
