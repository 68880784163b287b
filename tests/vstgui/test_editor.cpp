// The VST 2 editor binding: rectangle, open and close through the host's opcodes, idle, key,
// wheel and knob-mode forwarding, edit gestures reaching the host, and the tick clock.
#include <gtest/gtest.h>

#include <vector>

#include "support/expectValues.h"
#include "support/fakeHost.h"
#include "support/vstguiTester.h"
#include "vst2/audioeffectx.h"
#include "vstgui/aeffguieditor.h"

using namespace VSTGUI;
using testing_support::FakeHost;
using testing_support::FrameTester;

namespace {

// Its frame holds one view that counts draws and logs wheel steps; it uses the Up key only.
class TestEditor : public AEffGUIEditor, public IKeyboardHook {
 public:
  struct WheelView : CView {
    using CView::CView;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState&) override {
      seen.push_back({where, distance});
      return true;
    }
    void draw(CDrawContext*) override { ++draws; }
    std::vector<std::pair<CPoint, float>> seen;
    int draws = 0;
  };
  explicit TestEditor(AudioEffect* effect) : AEffGUIEditor(effect) { rect = ERect{0, 0, 200, 300}; }
  bool open(void* parent) override {
    AEffGUIEditor::open(parent);
    frame = new CFrame(CRect(0, 0, rect.right, rect.bottom), this);
    frame->open(parent);
    frame->addView(view = new WheelView(CRect(100, 100, 150, 150)));
    frame->registerKeyboardHook(this);
    return true;
  }
  int32_t onKeyDown(const VstKeyCode& code, CFrame*) override { return code.virt == 12 ? 1 : -1; }
  int32_t onKeyUp(const VstKeyCode&, CFrame*) override { return -1; }
  using AEffGUIEditor::onKeyDown;
  using AEffGUIEditor::onKeyUp;
  WheelView* view = nullptr;
};

class VstguiEditor : public ::testing::Test {
 protected:
  FakeHost host;
  AudioEffectX effect{&FakeHost::callback, 1, 8};
  TestEditor* editor = new TestEditor(&effect);  // the effect owns it
  int parentWindow = 0;
};

}  // namespace

TEST_F(VstguiEditor, RectOpenIdleAndCloseThroughTheHostOpcodes) {
  ERect* r = nullptr;
  ASSERT_EQ(effect.dispatcher(kEffEditGetRect, 0, 0, &r, 0), 1);  // asked before opening
  ASSERT_NE(r, nullptr);
  EXPECT_VALUES({r->right, 300}, {r->bottom, 200});
  EXPECT_EQ(effect.dispatcher(kEffEditOpen, 0, 0, &parentWindow, 0), 1);
  EXPECT_TRUE(editor->isOpen());
  FrameTester tester(editor->getFrame());  // drive the editor's own frame
  effect.dispatcher(kEffEditIdle, 0, 0, nullptr, 0);
  const int firstDraws = editor->view->draws;
  editor->view->setDirty();
  editor->doIdleStuff();
  EXPECT_VALUES({firstDraws, 1}, {editor->view->draws, 2});
  effect.dispatcher(kEffEditClose, 0, 0, nullptr, 0);
  EXPECT_EQ(editor->getFrame(), nullptr);
  EXPECT_FALSE(editor->isOpen());
  effect.dispatcher(kEffEditIdle, 0, 0, nullptr, 0);  // idle without a window is harmless
  EXPECT_TRUE(editor->open(&parentWindow));           // and it opens again
  editor->close();
}

TEST_F(VstguiEditor, KeysWheelKnobModeAndEditsAreForwarded) {
  VstKeyCode up{0, 12, 0}, other{'a', 0, 0};
  EXPECT_VALUES({editor->onKeyDown(up), false}, {editor->onWheel(1.f), false});  // no frame yet
  ASSERT_TRUE(editor->open(&parentWindow));
  FrameTester tester(editor->getFrame());
  EXPECT_VALUES({editor->onKeyDown(up), true}, {editor->onKeyDown(other), false},
                {editor->onKeyUp(up), false});
  tester.move(120, 110);  // the host's wheel goes where the mouse was last seen
  EXPECT_TRUE(editor->onWheel(-3.f));
  tester.move(10, 10);
  EXPECT_FALSE(editor->onWheel(1.f));
  EXPECT_EQ(editor->view->seen, (std::vector<std::pair<CPoint, float>>{{CPoint(120, 110), -3.f}}));
  EXPECT_TRUE(editor->setKnobMode(kLinearMode));
  EXPECT_EQ(editor->getKnobMode(), kLinearMode);

  auto* control = new CControl(CRect(0, 0, 10, 10), nullptr, 5);
  editor->getFrame()->addView(control);
  control->beginEdit();
  control->endEdit();
  ASSERT_EQ(host.count(kHostBeginEdit) + host.count(kHostEndEdit), 2);
  EXPECT_VALUES({host.last(kHostBeginEdit)->index, 5}, {host.last(kHostEndEdit)->index, 5});
  editor->close();

  // The editor's clock: milliseconds that wrap at 32 bits.
  testing_support::ManualClock clock((1ull << 32) - 16);
  const uint32_t before = editor->getTicks();
  clock.advance(21);
  EXPECT_VALUES({before, 0xFFFFFFF0u}, {editor->getTicks(), 5u});
}
