// The VST 2 editor binding: rectangle, open and close through the host's opcodes, idle,
// key, wheel and knob-mode forwarding, edit gestures reaching the host, and the tick clock.
#include <gtest/gtest.h>

#include <vector>

#include "support/fakeHost.h"
#include "support/vstguiTester.h"
#include "vst2/audioeffectx.h"
#include "vstgui/aeffguieditor.h"

using namespace VSTGUI;
using testing_support::FakeHost;
using testing_support::FrameTester;
using testing_support::ManualClock;

namespace {

class WheelView : public CView {
 public:
  using CView::CView;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState&) override {
    seen.push_back({where, distance});
    return true;
  }
  void draw(CDrawContext*) override { ++draws; }
  std::vector<std::pair<CPoint, float>> seen;
  int draws = 0;
};

class TestEditor : public AEffGUIEditor, public IKeyboardHook {
 public:
  explicit TestEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
    rect.right = 300;
    rect.bottom = 200;
  }
  bool open(void* parent) override {
    AEffGUIEditor::open(parent);
    frame = new CFrame(CRect(0, 0, rect.right, rect.bottom), this);
    if (!frame->open(parent)) return false;
    view = new WheelView(CRect(100, 100, 150, 150));
    frame->addView(view);
    frame->registerKeyboardHook(this);
    new CTooltipSupport(frame, 100);
    return true;
  }
  int32_t onKeyDown(const VstKeyCode& code, CFrame*) override {
    keys.push_back(code.virt);
    return code.virt == 12 ? 1 : -1;
  }
  int32_t onKeyUp(const VstKeyCode&, CFrame*) override { return -1; }
  using AEffGUIEditor::onKeyDown;
  using AEffGUIEditor::onKeyUp;

  WheelView* view = nullptr;
  std::vector<int> keys;
};

}  // namespace

TEST(VstguiEditor, RectOpenIdleAndCloseThroughTheHostOpcodes) {
  FakeHost host;
  AudioEffectX effect(&FakeHost::callback, 1, 8);
  auto* editor = new TestEditor(&effect);  // the effect owns it
  ERect* r = nullptr;
  ASSERT_EQ(effect.dispatcher(kEffEditGetRect, 0, 0, &r, 0), 1);  // asked before opening
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->right, 300);
  EXPECT_EQ(r->bottom, 200);
  int parentWindow = 0;
  EXPECT_EQ(effect.dispatcher(kEffEditOpen, 0, 0, &parentWindow, 0), 1);
  ASSERT_NE(editor->getFrame(), nullptr);
  EXPECT_TRUE(editor->isOpen());
  r = nullptr;
  effect.dispatcher(kEffEditGetRect, 0, 0, &r, 0);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->right, 300);

  FrameTester tester(editor->getFrame());  // drive the editor's own frame
  effect.dispatcher(kEffEditIdle, 0, 0, nullptr, 0);
  EXPECT_EQ(editor->view->draws, 1);
  editor->view->setDirty();
  editor->doIdleStuff();
  EXPECT_EQ(editor->view->draws, 2);

  effect.dispatcher(kEffEditClose, 0, 0, nullptr, 0);
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_FALSE(editor->isOpen());
  effect.dispatcher(kEffEditIdle, 0, 0, nullptr, 0);  // idle without a window is harmless
  EXPECT_TRUE(editor->open(&parentWindow));           // and it opens again
  editor->close();
}

TEST(VstguiEditor, KeysWheelKnobModeAndEditsAreForwarded) {
  FakeHost host;
  AudioEffectX effect(&FakeHost::callback, 1, 8);
  auto* editor = new TestEditor(&effect);
  VstKeyCode up{0, 12, 0};
  EXPECT_FALSE(editor->onKeyDown(up));  // no frame yet
  EXPECT_FALSE(editor->onWheel(1.f));
  int parentWindow = 0;
  ASSERT_TRUE(editor->open(&parentWindow));
  FrameTester tester(editor->getFrame());

  EXPECT_TRUE(editor->onKeyDown(up));
  VstKeyCode other{'a', 0, 0};
  EXPECT_FALSE(editor->onKeyDown(other));
  EXPECT_FALSE(editor->onKeyUp(up));
  EXPECT_EQ(editor->keys, std::vector<int>({12, 0}));

  tester.move(120, 110);  // the host's wheel goes where the mouse was last seen
  EXPECT_TRUE(editor->onWheel(-3.f));
  ASSERT_EQ(editor->view->seen.size(), 1u);
  EXPECT_EQ(editor->view->seen[0].first, CPoint(120, 110));
  EXPECT_FLOAT_EQ(editor->view->seen[0].second, -3.f);
  tester.move(10, 10);
  EXPECT_FALSE(editor->onWheel(1.f));

  EXPECT_TRUE(editor->setKnobMode(kLinearMode));
  EXPECT_EQ(editor->getKnobMode(), kLinearMode);

  auto* control = new CControl(CRect(0, 0, 10, 10), nullptr, 5);
  editor->getFrame()->addView(control);
  control->beginEdit();
  control->endEdit();
  ASSERT_EQ(host.count(kHostBeginEdit), 1);
  ASSERT_EQ(host.count(kHostEndEdit), 1);
  EXPECT_EQ(host.last(kHostBeginEdit)->index, 5);
  EXPECT_EQ(host.last(kHostEndEdit)->index, 5);
  editor->close();
}

TEST(VstguiEditor, TicksAreMonotonicMillisecondsWrappingAt32Bits) {
  FakeHost host;
  AudioEffectX effect(&FakeHost::callback, 1, 8);
  auto* editor = new TestEditor(&effect);
  {
    ManualClock clock((1ull << 32) - 16);
    EXPECT_EQ(editor->getTicks(), 0xFFFFFFF0u);
    const uint32_t before = editor->getTicks();
    clock.advance(21);
    EXPECT_EQ(editor->getTicks(), 5u);
    EXPECT_EQ(static_cast<uint32_t>(editor->getTicks() - before), 21u);  // the difference survives the wrap
  }
  // Back on the system clock: it never runs backwards.
  const uint32_t a = editor->getTicks();
  const uint32_t b = editor->getTicks();
  EXPECT_LT(static_cast<uint32_t>(b - a), 1000u);
}
