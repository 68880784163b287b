// Views, containers and the frame: ownership, redraw, hit testing, mouse capture, wheel,
// keyboard hooks and tool-tips.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/expectValues.h"
#include "support/vstguiTester.h"

using namespace VSTGUI;
using testing_support::FrameTester;

namespace {

// A view that counts its draws, logs the mouse events it gets and may be told it was deleted.
class ProbeView : public CView {
 public:
  explicit ProbeView(const CRect& r, CMouseEventResult downAnswer = kMouseEventHandled,
                     bool* deleted = nullptr)
      : CView(r), answer(downAnswer), deletedFlag(deleted) {}
  ~ProbeView() override {
    if (deletedFlag) *deletedFlag = true;
  }
  void draw(CDrawContext*) override {
    ++draws;
    setDirty(false);
  }
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState&) override {
    return log('d', where, answer);
  }
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState&) override { return log('m', where); }
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState&) override { return log('u', where); }
  bool onWheel(const CPoint& where, const float& distance, const CButtonState&) override {
    wheels.push_back({where, distance});
    return wheelAnswer;
  }
  CMouseEventResult log(char kind, const CPoint& where, CMouseEventResult r = kMouseEventHandled) {
    kinds += kind;
    points.push_back(where);
    return r;
  }

  CMouseEventResult answer;
  bool* deletedFlag;
  int draws = 0;
  bool wheelAnswer = true;
  std::string kinds;  // 'd', 'm', 'u' in the order received
  std::vector<CPoint> points;
  std::vector<std::pair<CPoint, float>> wheels;
};

struct EditLog : VSTGUIEditorInterface {
  void beginEdit(int32_t index) override { log.push_back(index); }
  void endEdit(int32_t index) override { log.push_back(-1000 - index); }
  std::vector<int32_t> log;
};

}  // namespace

TEST(VstguiObjects, AttributesFitExactlyAndCopiesKeepSettingsButNoParent) {
  FrameTester tester(CRect(0, 0, 100, 100));
  auto* v = new CView(CRect(5, 6, 25, 26));
  tester.frame()->addView(v);
  const char data[4] = {'a', 'b', 'c', 'd'};
  ASSERT_TRUE(v->setAttribute(1234, 4, data));
  char out[4] = {};
  uint32_t n = 0;
  EXPECT_VALUES({v->getAttribute(1234, 4, out, n), true}, {n, 4u}, {std::memcmp(out, data, 4), 0},
                {v->getAttribute(1234, 3, out, n), false});
  v->setTooltipText("hint");
  v->setMouseableArea(CRect(5, 6, 15, 16));
  auto* copy = static_cast<CView*>(v->newCopy());
  EXPECT_VALUES({copy->getNbReference(), 1}, {copy->getParentView() == nullptr, true},
                {copy->getFrame() == nullptr, true});
  EXPECT_EQ(copy->getMouseableArea(), CRect(5, 6, 15, 16));
  EXPECT_EQ(copy->getTooltipText(), "hint");  // without the stored terminator
  copy->forget();
}

TEST(VstguiObjects, SubMenuLivesAsLongAsTheItemThatHoldsIt) {
  struct TrackedMenu : COptionMenu {
    explicit TrackedMenu(bool* flag) : deletedFlag(flag) {}
    ~TrackedMenu() override { *deletedFlag = true; }
    bool* deletedFlag;
  };
  bool firstGone = false, secondGone = false;
  auto* top = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 1);
  auto* sub = new TrackedMenu(&firstGone);
  top->addEntry(sub, "Sub");
  EXPECT_EQ(sub->getNbReference(), 2);
  sub->forget();  // the caller's reference, as the editor does after adding
  EXPECT_FALSE(firstGone);
  EXPECT_EQ(top->getSubMenu(0), sub);
  top->removeEntry(0);
  EXPECT_TRUE(firstGone);
  auto* sub2 = new TrackedMenu(&secondGone);
  top->addEntry(sub2, "Sub 2");
  sub2->forget();
  top->forget();  // the whole tree goes
  EXPECT_TRUE(secondGone);
}

TEST(VstguiContainer, ViewsRemovedWithoutForgetAreKeptForReuseAndJoinTheFrameWithTheirBox) {
  FrameTester tester(CRect(0, 0, 200, 200));
  auto* box = new CViewContainer(CRect(10, 10, 110, 110));
  bool aGone = false, bGone = false;
  auto* a = new ProbeView(CRect(0, 0, 10, 10), kMouseEventHandled, &aGone);
  auto* b = new ProbeView(CRect(20, 0, 30, 10), kMouseEventHandled, &bGone);
  box->addView(a);
  box->addView(b);
  EXPECT_EQ(a->getFrame(), nullptr) << "the box is not in the frame yet";
  tester.frame()->addView(box);
  EXPECT_EQ(a->getFrame(), tester.frame());
  box->removeAll(false);
  EXPECT_VALUES({aGone, false}, {bGone, false}, {box->getNbViews(), 0}, {a->isAttached(), false},
                {a->getNbReference(), 1});
  EXPECT_EQ(a->getParentView(), nullptr);
  EXPECT_TRUE(box->addView(a));  // the editor rebuilds boxes this way
  EXPECT_FALSE(box->addView(a)) << "not twice";
  EXPECT_TRUE(a->isAttached());
  tester.frame()->removeView(box, false);  // the frame's reference comes back to us
  EXPECT_VALUES({box->getNbReference(), 1}, {a->getFrame() == nullptr, true},
                {a->getParentView() == box, true});
  box->removeView(a, true);
  EXPECT_TRUE(aGone);
  b->forget();
  EXPECT_TRUE(bGone);
  box->forget();
}

TEST(VstguiFrame, IdlePassRedrawsExactlyTheDirtyViews) {
  FrameTester tester(CRect(0, 0, 300, 100));
  auto* a = new ProbeView(CRect(0, 0, 50, 50));
  auto* b = new ProbeView(CRect(100, 0, 150, 50));
  auto* box = new CViewContainer(CRect(200, 0, 300, 100));
  auto* c = new CControl(CRect(10, 10, 40, 40), nullptr, 5);
  tester.frame()->addView(a);
  tester.frame()->addView(b);
  tester.frame()->addView(box);
  box->addView(c);
  tester.idle();
  auto presented = [&] { return tester.platform()->getPresentedRegions(); };
  tester.platform()->clearPresentedRegions();
  tester.idle();  // nothing changed: nothing drawn, nothing presented
  EXPECT_VALUES({a->draws, 1}, {b->draws, 1}, {presented().size(), 0u});

  a->setDirty();
  c->setValue(0.25f);  // a value change alone makes a control dirty
  tester.idle();
  EXPECT_EQ(presented(), (std::vector<CRect>{CRect(0, 0, 50, 50), CRect(210, 10, 240, 40)}));
  c->setValue(0.25f);  // the same value again
  tester.platform()->clearPresentedRegions();
  tester.idle();
  EXPECT_TRUE(presented().empty());

  b->setDirty();
  b->setVisible(false);  // hidden views are not drawn, but the area they left is
  tester.idle();
  EXPECT_EQ(b->draws, 1);
  EXPECT_EQ(presented(), std::vector<CRect>{CRect(100, 0, 150, 50)});
}

TEST(VstguiFrame, ACopyOfAControlMarkedDirtyIsDrawnWhateverItsValue) {
  for (const float value : {-1.f, 0.f, 0.5f, 1.f}) {
    SCOPED_TRACE(value);
    auto* c = new CControl(CRect(0, 0, 10, 10), nullptr, 1);
    c->setMin(-1.f);
    c->setValue(value);
    c->setDirty(false);
    auto* clean = static_cast<CControl*>(c->newCopy());
    c->setDirty();
    auto* dirty = static_cast<CControl*>(c->newCopy());
    EXPECT_VALUES({c->isDirty(), true}, {clean->isDirty(), false}, {dirty->isDirty(), true});
    for (CControl* v : {c, clean, dirty}) v->forget();
  }
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
  const CView* none = nullptr;
  const struct {
    CPoint where;
    bool deep;
    const CView* expected;
  } cases[] = {
      {{115, 115}, false, box}, {{115, 115}, true, inner},   {{125, 125}, true, overlap},  // on top
      {{105, 105}, true, box},  {{50, 50}, true, none},      {{155, 155}, true, restricted},
      {{165, 165}, true, box},  {{130, 130}, true, overlap}, {{140, 140}, true, box},  // right edge
  };
  for (const auto& c : cases) EXPECT_EQ(frame->getViewAt(c.where, c.deep), c.expected) << c.where.x;

  // Moving the container (as the editor does when the module order changes) moves its children.
  box->setViewSize(CRect(0, 100, 100, 200));
  EXPECT_EQ(frame->getViewAt(CPoint(15, 115), true), inner);
  EXPECT_EQ(inner->getFrameRect(), CRect(10, 110, 30, 130));
  CPoint p(15, 115);
  box->frameToLocal(p);
  EXPECT_EQ(p, CPoint(15, 15));
  box->setViewSize(CRect(100, 100, 200, 200));

  overlap->setVisible(false);
  EXPECT_EQ(frame->getViewAt(CPoint(125, 125), true), inner);
  tester.click(125, 125);
  tester.click(165, 165);
  EXPECT_EQ(inner->kinds, "du");
  EXPECT_EQ(inner->points[0], CPoint(25, 25)) << "in the container's coordinates";
  EXPECT_EQ(overlap->kinds + restricted->kinds, "");
}

TEST(VstguiFrame, HandledMouseDownCapturesMovesAndUpAndAClickThatRemovesItsViewStaysBalanced) {
  EditLog editor;
  FrameTester tester(CRect(0, 0, 300, 300), &editor);
  auto* box = new CViewContainer(CRect(100, 100, 200, 200));
  auto* capturing = new ProbeView(CRect(0, 0, 20, 20), kMouseEventHandled);
  auto* oneShot = new ProbeView(CRect(50, 0, 70, 20), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  tester.frame()->addView(box);
  box->addView(capturing);
  box->addView(oneShot);
  tester.mouseDown(105, 105);
  tester.move(250, 20);  // far outside: still delivered
  tester.mouseUp(260, 30);
  tester.move(105, 105);  // button up: no capture any more
  tester.drag(CPoint(155, 105), CPoint(156, 106));
  EXPECT_EQ(capturing->kinds, "dmu");
  EXPECT_EQ(capturing->points[1], CPoint(150, -80));
  EXPECT_EQ(oneShot->kinds, "d");

  struct Remover : IControlListener {
    void valueChanged(CControl* c) override {
      values.push_back(c->getValue());
      if (c->getValue() > 0.5f) static_cast<CViewContainer*>(c->getParentView())->removeView(c, false);
    }
    std::vector<float> values;
  } remover;
  auto* kick = new CKickButton(CRect(10, 10, 50, 50), &remover, 77, nullptr);
  tester.frame()->addView(kick);
  tester.drag(CPoint(20, 20), CPoint(30, 30));
  EXPECT_EQ(remover.values, std::vector<float>({1.f}));
  EXPECT_EQ(editor.log, std::vector<int32_t>({77, -1077}));
  kick->forget();
}

TEST(VstguiFrame, WheelGoesToTheTopmostViewUnderTheMouseThatHandlesIt) {
  FrameTester tester(CRect(0, 0, 300, 300));
  auto* box = new CViewContainer(CRect(100, 100, 200, 200));
  auto* below = new ProbeView(CRect(0, 0, 50, 50));
  auto* above = new ProbeView(CRect(0, 0, 20, 20));
  tester.frame()->addView(box);
  box->addView(below);
  box->addView(above);
  EXPECT_TRUE(tester.wheel(110, 110, -2.f));
  above->wheelAnswer = false;
  EXPECT_TRUE(tester.wheel(110, 110, 1.f));
  below->wheelAnswer = false;
  EXPECT_FALSE(tester.wheel(110, 110, 1.f));
  EXPECT_FALSE(tester.wheel(290, 290, 1.f));  // over nothing
  ASSERT_EQ(above->wheels.size(), 3u);
  EXPECT_EQ(above->wheels[0], std::make_pair(CPoint(10, 10), -2.f));
  EXPECT_EQ(below->wheels.size(), 2u);
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
  EXPECT_EQ(tester.keyDown(12), -1);                                                           // no hooks
  for (Hook* h : {&first, &second, &third, &second}) tester.frame()->registerKeyboardHook(h);  // once only
  EXPECT_EQ(tester.keyDown(14), 1);
  EXPECT_EQ(tester.keyUp(14), -1);
  tester.frame()->unregisterKeyboardHook(&second);
  EXPECT_EQ(tester.keyDown(15), 1);
  EXPECT_EQ(first.downs, std::vector<int>({14, 15}));
  EXPECT_EQ(second.downs, std::vector<int>({14}));
  EXPECT_EQ(third.downs, std::vector<int>({15}));
  EXPECT_EQ(third.ups, std::vector<int>({14}));
  EXPECT_EQ(second.frame, tester.frame());
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
  auto after = [&](uint64_t ms) {
    tester.advanceClock(ms);
    tester.idle();
    return platform->isTooltipVisible();
  };

  tester.move(10, 10);
  EXPECT_FALSE(after(99));
  ASSERT_TRUE(after(1));
  EXPECT_EQ(platform->getTooltipText(), "Volume: 0 dB");
  EXPECT_EQ(platform->getTooltipRect(), CRect(0, 0, 50, 50));
  a->setTooltipText("Volume: -1 dB");  // live text follows while shown
  EXPECT_TRUE(after(0));
  EXPECT_EQ(platform->getTooltipText(), "Volume: -1 dB");
  tester.move(12, 12);  // moving within the view keeps it
  EXPECT_TRUE(platform->isTooltipVisible());
  tester.mouseDown(12, 12, kLButton);
  EXPECT_FALSE(platform->isTooltipVisible());
  tester.mouseUp(12, 12);
  EXPECT_FALSE(after(500)) << "not again until the mouse goes elsewhere";

  tester.mouseDown(12, 12, kLButton);  // a drag (a captures the mouse) over b shows nothing
  tester.move(110, 10, kLButton);
  EXPECT_FALSE(after(500));
  tester.mouseUp(110, 10);
  tester.move(111, 10);
  EXPECT_TRUE(after(100));
  EXPECT_EQ(platform->getTooltipText(), "Mix: 100 %");
  tester.move(60, 60);  // over no view
  EXPECT_FALSE(platform->isTooltipVisible());
  tester.move(110, 10);
  tester.frame()->removeView(b);  // a view that leaves the frame takes its tool-tip along
  EXPECT_FALSE(after(200));
}
