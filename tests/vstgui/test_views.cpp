// Views, containers and the frame: ownership, redraw, hit testing, mouse capture, wheel,
// keyboard hooks and tool-tips.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/vstguiTester.h"
#include "support/expectValues.h"

using namespace VSTGUI;
using testing_support::FrameTester;

namespace {

// A view that counts its draws and logs the mouse events it gets.
class ProbeView : public CView {
 public:
  ProbeView(const CRect& r, CMouseEventResult downAnswer = kMouseEventHandled, bool* deleted = nullptr)
      : CView(r), answer(downAnswer), deletedFlag(deleted) {}
  ~ProbeView() override {
    if (deletedFlag) *deletedFlag = true;
  }
  void draw(CDrawContext*) override {
    ++draws;
    setDirty(false);
  }
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState&) override {
    events.push_back({'d', where});
    return answer;
  }
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState&) override {
    events.push_back({'m', where});
    return kMouseEventHandled;
  }
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState&) override {
    events.push_back({'u', where});
    return kMouseEventHandled;
  }
  bool onWheel(const CPoint& where, const float& distance, const CButtonState&) override {
    wheels.push_back({where, distance});
    return wheelAnswer;
  }

  struct Event {
    char kind;
    CPoint where;
  };
  CMouseEventResult answer;
  bool* deletedFlag;
  int draws = 0;
  bool wheelAnswer = true;
  std::vector<Event> events;
  std::vector<std::pair<CPoint, float>> wheels;
};

class CountingControl : public CControl {
 public:
  using CControl::CControl;
  void draw(CDrawContext*) override {
    ++draws;
    setDirty(false);
  }
  int draws = 0;
};

struct RecordingEditor : VSTGUIEditorInterface {
  void beginEdit(int32_t index) override { log.push_back(index); }
  void endEdit(int32_t index) override { log.push_back(-1000 - index); }
  std::vector<int32_t> log;
};

}  // namespace

TEST(VstguiObjects, ReferenceCountingDeletesAtTheLastForget) {
  bool deleted = false;
  auto* view = new ProbeView(CRect(0, 0, 10, 10), kMouseEventHandled, &deleted);
  EXPECT_EQ(view->getNbReference(), 1);
  view->remember();
  EXPECT_EQ(view->getNbReference(), 2);
  view->forget();
  EXPECT_FALSE(deleted);
  view->forget();
  EXPECT_TRUE(deleted);
}

TEST(VstguiObjects, AttributeFitsABufferOfExactlyItsSize) {
  auto* v = new CView(CRect(0, 0, 1, 1));
  const char data[4] = {'a', 'b', 'c', 'd'};
  ASSERT_TRUE(v->setAttribute(1234, 4, data));
  char out[4] = {};
  uint32_t n = 0;
  EXPECT_VALUES(
      {v->getAttribute(1234, 4, out, n), true}, {n, 4u}, {std::memcmp(out, data, 4), 0},
      {v->getAttribute(1234, 3, out, n), false});
  v->forget();
}

TEST(VstguiObjects, NewCopyCopiesSettingsButNotParentOrReferences) {
  FrameTester tester(CRect(0, 0, 100, 100));
  auto* view = new CView(CRect(5, 6, 25, 26));
  view->setTooltipText("hint");
  view->setMouseableArea(CRect(5, 6, 15, 16));
  tester.frame()->addView(view);
  view->remember();
  auto* copy = static_cast<CView*>(view->newCopy());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->getNbReference(), 1);
  EXPECT_EQ(copy->getViewSize(), view->getViewSize());
  EXPECT_EQ(copy->getMouseableArea(), CRect(5, 6, 15, 16));
  EXPECT_EQ(copy->getTooltipText(), "hint");
  EXPECT_EQ(copy->getParentView(), nullptr);
  EXPECT_EQ(copy->getFrame(), nullptr);
  copy->forget();
  view->forget();
}

TEST(VstguiObjects, SubMenuLivesAsLongAsTheItemThatHoldsIt) {
  struct TrackedMenu : COptionMenu {
    explicit TrackedMenu(bool* flag) : deletedFlag(flag) {}
    ~TrackedMenu() override { *deletedFlag = true; }
    bool* deletedFlag;
  };
  bool subDeleted = false;
  auto* top = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 1);
  auto* sub = new TrackedMenu(&subDeleted);
  sub->addEntry("inner");
  top->addEntry(sub, "Sub");
  EXPECT_EQ(sub->getNbReference(), 2);
  sub->forget();  // the caller's reference, as the editor does after adding
  EXPECT_FALSE(subDeleted);
  EXPECT_EQ(top->getSubMenu(0), sub);
  EXPECT_EQ(sub->getNbEntries(), 1);
  top->removeEntry(0);
  EXPECT_TRUE(subDeleted);

  subDeleted = false;
  auto* sub2 = new TrackedMenu(&subDeleted);
  top->addEntry(sub2, "Sub 2");
  sub2->forget();
  top->forget();  // the whole tree goes
  EXPECT_TRUE(subDeleted);
}

TEST(VstguiContainer, RemoveAllWithoutForgetKeepsViewsForReuse) {
  FrameTester tester(CRect(0, 0, 200, 200));
  auto* box = new CViewContainer(CRect(10, 10, 110, 110));
  tester.frame()->addView(box);
  bool aDeleted = false, bDeleted = false;
  auto* a = new ProbeView(CRect(0, 0, 10, 10), kMouseEventHandled, &aDeleted);
  auto* b = new ProbeView(CRect(20, 0, 30, 10), kMouseEventHandled, &bDeleted);
  box->addView(a);
  box->addView(b);
  EXPECT_EQ(a->getFrame(), tester.frame());
  box->removeAll(false);
  EXPECT_VALUES({aDeleted, false}, {bDeleted, false}, {box->getNbViews(), 0});
  EXPECT_EQ(a->getParentView(), nullptr);
  EXPECT_FALSE(a->isAttached());
  EXPECT_EQ(a->getNbReference(), 1);
  // The kept view can go back in (the editor rebuilds boxes this way).
  EXPECT_TRUE(box->addView(a));
  EXPECT_TRUE(a->isAttached());
  EXPECT_FALSE(box->addView(a));  // not twice
  box->removeView(a, true);
  EXPECT_TRUE(aDeleted);
  b->forget();
  EXPECT_TRUE(bDeleted);
}

TEST(VstguiContainer, ViewsAddedToADetachedContainerJoinTheFrameWithIt) {
  FrameTester tester(CRect(0, 0, 200, 200));
  auto* box = new CViewContainer(CRect(10, 10, 110, 110));
  auto* v = new ProbeView(CRect(0, 0, 10, 10));
  box->addView(v);
  EXPECT_EQ(v->getFrame(), nullptr);
  tester.frame()->addView(box);
  EXPECT_EQ(v->getFrame(), tester.frame());
  tester.frame()->removeView(box, false);  // the frame's reference comes back to us
  EXPECT_EQ(box->getNbReference(), 1);
  EXPECT_EQ(v->getFrame(), nullptr);
  EXPECT_EQ(v->getParentView(), box);
  box->forget();
}

TEST(VstguiFrame, IdlePassRedrawsExactlyTheDirtyViews) {
  FrameTester tester(CRect(0, 0, 300, 100));
  auto* a = new ProbeView(CRect(0, 0, 50, 50));
  auto* b = new ProbeView(CRect(100, 0, 150, 50));
  auto* box = new CViewContainer(CRect(200, 0, 300, 100));
  auto* c = new CountingControl(CRect(10, 10, 40, 40), nullptr, 5);
  tester.frame()->addView(a);
  tester.frame()->addView(b);
  tester.frame()->addView(box);
  box->addView(c);
  tester.idle();
  EXPECT_VALUES({a->draws, 1}, {b->draws, 1}, {c->draws, 1});

  tester.idle();  // nothing changed: nothing drawn, nothing presented
  tester.platform()->clearPresentedRegions();
  tester.idle();
  EXPECT_EQ(a->draws + b->draws + c->draws, 3);
  EXPECT_TRUE(tester.platform()->getPresentedRegions().empty());

  a->setDirty();
  c->setValue(0.25f);  // a value change alone makes a control dirty
  tester.idle();
  EXPECT_VALUES({a->draws, 2}, {b->draws, 1}, {c->draws, 2});
  ASSERT_EQ(tester.platform()->getPresentedRegions().size(), 2u);
  EXPECT_EQ(tester.platform()->getPresentedRegions()[0], CRect(0, 0, 50, 50));
  EXPECT_EQ(tester.platform()->getPresentedRegions()[1], CRect(210, 10, 240, 40));  // frame coordinates

  c->setValue(0.25f);  // the same value again
  tester.idle();
  EXPECT_EQ(c->draws, 2);

  b->setDirty();
  b->setVisible(false);  // hidden views are not drawn, but the area they left is
  tester.platform()->clearPresentedRegions();
  tester.idle();
  EXPECT_EQ(b->draws, 1);
  ASSERT_EQ(tester.platform()->getPresentedRegions().size(), 1u);
  EXPECT_EQ(tester.platform()->getPresentedRegions()[0], CRect(100, 0, 150, 50));
}

TEST(VstguiFrame, HitTestingHonoursContainersVisibilityAndMouseableAreas) {
  FrameTester tester(CRect(0, 0, 300, 300));
  CFrame* frame = tester.frame();
  auto* box = new CViewContainer(CRect(100, 100, 200, 200));
  auto* inner = new ProbeView(CRect(10, 10, 30, 30));
  auto* overlap = new ProbeView(CRect(20, 20, 40, 40));
  auto* restricted = new ProbeView(CRect(50, 50, 90, 90));
  restricted->setMouseableArea(CRect(50, 50, 60, 60));
  frame->addView(box);
  box->addView(inner);
  box->addView(overlap);
  box->addView(restricted);

  EXPECT_EQ(frame->getViewAt(CPoint(115, 115)), box);
  EXPECT_EQ(frame->getViewAt(CPoint(115, 115), true), inner);
  EXPECT_EQ(frame->getViewAt(CPoint(125, 125), true), overlap);  // the later view is on top
  EXPECT_EQ(frame->getViewAt(CPoint(105, 105), true), box);
  EXPECT_EQ(frame->getViewAt(CPoint(50, 50), true), nullptr);
  EXPECT_EQ(frame->getViewAt(CPoint(155, 155), true), restricted);
  EXPECT_EQ(frame->getViewAt(CPoint(165, 165), true), box);  // outside the mouseable area
  // Right and bottom edges belong to the next pixel.
  EXPECT_EQ(frame->getViewAt(CPoint(130, 130), true), overlap);
  EXPECT_EQ(frame->getViewAt(CPoint(140, 140), true), box);

  // The editor's form: the container's child at a frame position converted with frameToLocal.
  CPoint p(115, 115);
  box->frameToLocal(p);
  EXPECT_EQ(p, CPoint(15, 15));
  EXPECT_EQ(box->getViewAt(p), inner);

  // Moving the container (as the editor does when the module order changes) moves its children.
  box->setViewSize(CRect(0, 100, 100, 200));
  EXPECT_EQ(box->getMouseableArea(), CRect(0, 100, 100, 200));
  EXPECT_EQ(frame->getViewAt(CPoint(15, 115), true), inner);
  EXPECT_EQ(inner->getFrameRect(), CRect(10, 110, 30, 130));
  box->setViewSize(CRect(100, 100, 200, 200));

  overlap->setVisible(false);
  EXPECT_EQ(frame->getViewAt(CPoint(125, 125), true), inner);
  tester.click(125, 125);
  ASSERT_EQ(inner->events.size(), 2u);
  EXPECT_TRUE(overlap->events.empty());
  EXPECT_EQ(inner->events[0].where, CPoint(25, 25));  // in the container's coordinates
  tester.click(165, 165);
  EXPECT_TRUE(restricted->events.empty());
}

TEST(VstguiFrame, HandledMouseDownCapturesMovedAndUpEvents) {
  FrameTester tester(CRect(0, 0, 300, 300));
  auto* box = new CViewContainer(CRect(100, 100, 200, 200));
  auto* capturing = new ProbeView(CRect(0, 0, 20, 20), kMouseEventHandled);
  auto* oneShot = new ProbeView(CRect(50, 0, 70, 20), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  auto* other = new ProbeView(CRect(0, 50, 20, 70));
  tester.frame()->addView(box);
  box->addView(capturing);
  box->addView(oneShot);
  box->addView(other);

  tester.mouseDown(105, 105);
  tester.move(250, 20);  // far outside: still delivered
  tester.mouseUp(260, 30);
  ASSERT_EQ(capturing->events.size(), 3u);
  EXPECT_EQ(capturing->events[1].kind, 'm');
  EXPECT_EQ(capturing->events[1].where, CPoint(150, -80));
  EXPECT_EQ(capturing->events[2].kind, 'u');
  EXPECT_TRUE(other->events.empty());

  tester.move(105, 105);  // button up: no capture any more
  EXPECT_EQ(capturing->events.size(), 3u);

  tester.mouseDown(155, 105);
  tester.move(156, 106);
  tester.mouseUp(156, 106);
  ASSERT_EQ(oneShot->events.size(), 1u);
  EXPECT_EQ(oneShot->events[0].kind, 'd');
}

TEST(VstguiFrame, ViewRemovedByItsOwnClickGetsNoMoreEventsAndEditsStayBalanced) {
  RecordingEditor editor;
  FrameTester tester(CRect(0, 0, 200, 200), &editor);
  struct Remover : IControlListener {
    void valueChanged(CControl* c) override {
      values.push_back(c->getValue());
      if (c->getValue() > 0.5f && c->getParentView())
        static_cast<CViewContainer*>(c->getParentView())->removeView(c, false);
    }
    std::vector<float> values;
  } remover;
  auto* kick = new CKickButton(CRect(10, 10, 50, 50), &remover, 77, nullptr);
  tester.frame()->addView(kick);
  tester.mouseDown(20, 20);
  tester.move(30, 30, kLButton);
  tester.mouseUp(30, 30);
  EXPECT_EQ(remover.values, std::vector<float>({1.f}));
  EXPECT_EQ(editor.log, std::vector<int32_t>({77, -1077}));
  kick->forget();
}

TEST(VstguiFrame, WheelGoesToTheViewUnderTheMouse) {
  FrameTester tester(CRect(0, 0, 300, 300));
  auto* box = new CViewContainer(CRect(100, 100, 200, 200));
  auto* below = new ProbeView(CRect(0, 0, 50, 50));
  auto* above = new ProbeView(CRect(0, 0, 20, 20));
  auto* elsewhere = new ProbeView(CRect(0, 200, 50, 250));
  tester.frame()->addView(box);
  tester.frame()->addView(elsewhere);
  box->addView(below);
  box->addView(above);

  EXPECT_TRUE(tester.wheel(110, 110, -2.f));
  ASSERT_EQ(above->wheels.size(), 1u);
  EXPECT_EQ(above->wheels[0].first, CPoint(10, 10));
  EXPECT_FLOAT_EQ(above->wheels[0].second, -2.f);
  EXPECT_TRUE(below->wheels.empty());

  above->wheelAnswer = false;  // not handled: the next view under the mouse gets it
  EXPECT_TRUE(tester.wheel(110, 110, 1.f));
  EXPECT_EQ(below->wheels.size(), 1u);

  below->wheelAnswer = false;
  EXPECT_FALSE(tester.wheel(110, 110, 1.f));
  EXPECT_FALSE(tester.wheel(290, 290, 1.f));  // over nothing
  EXPECT_TRUE(elsewhere->wheels.empty());
}

TEST(VstguiFrame, KeyboardHooksSeeKeysInOrderUntilOneUsesIt) {
  FrameTester tester(CRect(0, 0, 10, 10));
  struct Hook : IKeyboardHook {
    explicit Hook(int32_t a) : answer(a) {}
    int32_t onKeyDown(const VstKeyCode& code, CFrame* f) override {
      downs.push_back(code.virt);
      frame = f;
      return answer;
    }
    int32_t onKeyUp(const VstKeyCode& code, CFrame*) override {
      ups.push_back(code.virt);
      return -1;
    }
    int32_t answer;
    CFrame* frame = nullptr;
    std::vector<int> downs, ups;
  };
  Hook first(-1), second(1), third(1);
  EXPECT_EQ(tester.keyDown(12), -1);  // no hooks
  tester.frame()->registerKeyboardHook(&first);
  tester.frame()->registerKeyboardHook(&second);
  tester.frame()->registerKeyboardHook(&third);
  tester.frame()->registerKeyboardHook(&second);  // once only
  EXPECT_EQ(tester.keyDown(14), 1);
  EXPECT_EQ(first.downs, std::vector<int>({14}));
  EXPECT_EQ(second.downs, std::vector<int>({14}));
  EXPECT_TRUE(third.downs.empty());
  EXPECT_EQ(second.frame, tester.frame());
  EXPECT_EQ(tester.keyUp(14), -1);
  EXPECT_EQ(third.ups, std::vector<int>({14}));
  tester.frame()->unregisterKeyboardHook(&second);
  EXPECT_EQ(tester.keyDown(15), 1);
  EXPECT_EQ(third.downs, std::vector<int>({15}));
}

TEST(VstguiTooltips, ShownAfterTheDelayHiddenOnClickAndHoverChange) {
  FrameTester tester(CRect(0, 0, 200, 100));
  tester.clock().set(0xFFFFFFF0ull);  // the delay is measured across the 32-bit wrap
  auto* support = new CTooltipSupport(tester.frame(), 100);
  EXPECT_EQ(tester.frame()->getTooltipSupport(), support);
  auto* a = new ProbeView(CRect(0, 0, 50, 50));
  auto* b = new ProbeView(CRect(100, 0, 150, 50));
  a->setTooltipText("Volume: 0 dB");
  b->setTooltipText("Mix: 100 %");
  tester.frame()->addView(a);
  tester.frame()->addView(b);
  auto* platform = tester.platform();

  tester.move(10, 10);
  tester.advanceClock(99);
  tester.idle();
  EXPECT_FALSE(platform->isTooltipVisible());
  tester.advanceClock(1);
  tester.idle();
  ASSERT_TRUE(platform->isTooltipVisible());
  EXPECT_EQ(platform->getTooltipText(), "Volume: 0 dB");
  EXPECT_EQ(platform->getTooltipRect(), CRect(0, 0, 50, 50));

  a->setTooltipText("Volume: -1 dB");  // live text follows while shown
  tester.idle();
  EXPECT_EQ(platform->getTooltipText(), "Volume: -1 dB");

  tester.move(12, 12);  // moving within the view keeps it
  EXPECT_TRUE(platform->isTooltipVisible());
  tester.mouseDown(12, 12, kLButton);
  EXPECT_FALSE(platform->isTooltipVisible());
  tester.mouseUp(12, 12);
  tester.advanceClock(500);
  tester.idle();
  EXPECT_FALSE(platform->isTooltipVisible());  // not again until the mouse goes elsewhere

  tester.mouseDown(12, 12, kLButton);  // a drag (a captures the mouse) over b shows nothing
  tester.move(110, 10, kLButton);
  tester.advanceClock(500);
  tester.idle();
  EXPECT_FALSE(platform->isTooltipVisible());
  tester.mouseUp(110, 10);
  tester.move(111, 10);
  tester.advanceClock(100);
  tester.idle();
  EXPECT_EQ(platform->getTooltipText(), "Mix: 100 %");
  tester.move(60, 60);  // over no view
  EXPECT_FALSE(platform->isTooltipVisible());
  tester.move(110, 10);
  tester.frame()->removeView(b);  // a view that leaves the frame takes its tool-tip along
  tester.advanceClock(200);
  tester.idle();
  EXPECT_FALSE(platform->isTooltipVisible());
}
