// Views, containers and the frame: ownership, copies, redraw, hit testing, mouse capture, wheel,
// keyboard hooks and tool-tips.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/expectValues.h"
#include "support/vstguiTester.h"

using namespace VSTGUI;
using testing_support::FrameTester;

namespace {

// Counts its draws, logs the mouse events it gets ("d", "m", "u") and says when it is deleted.
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
    log('w', where);
    return wheelAnswer;
  }
  CMouseEventResult log(char kind, const CPoint& where, CMouseEventResult r = kMouseEventHandled) {
    kinds += kind;
    points.push_back(where);
    return r;
  }
  CMouseEventResult answer;
  bool* deletedFlag;
  bool wheelAnswer = true;
  int draws = 0;
  std::string kinds;
  std::vector<CPoint> points;
};

struct EditLog : VSTGUIEditorInterface {
  void beginEdit(int32_t index) override { log.push_back(index); }
  void endEdit(int32_t index) override { log.push_back(-1000 - index); }
  std::vector<int32_t> log;
};

}  // namespace

TEST(VstguiObjects, AttributesFitExactlyAndCopiesKeepSettingsAndBitmapsButNoParent) {
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

  // Copies of every control share the bitmap and give it back.
  auto* strip = new CBitmap(20, 40);
  for (CView* c : std::initializer_list<CView*>{
           new CControl(CRect(), nullptr, 1, strip), new CAnimKnob(CRect(), nullptr, 2, 2, 20, strip),
           new COnOffButton(CRect(), nullptr, 3, strip), new CKickButton(CRect(), nullptr, 4, strip),
           new CMovieBitmap(CRect(), nullptr, 5, strip), new CParamDisplay(CRect(), strip)}) {
    c->newCopy()->forget();
    c->forget();
  }
  EXPECT_EQ(strip->getNbReference(), 1);
  strip->forget();
}

TEST(VstguiObjects, ContainersKeepViewsRemovedWithoutForgetAndSubMenusLiveWithTheirItem) {
  FrameTester tester(CRect(0, 0, 200, 200));
  auto* box = new CViewContainer(CRect(10, 10, 110, 110));
  bool aGone = false, subGone = false;
  auto* a = new ProbeView(CRect(0, 0, 10, 10), kMouseEventHandled, &aGone);
  box->addView(a);
  EXPECT_EQ(a->getFrame(), nullptr) << "the box is not in the frame yet";
  tester.frame()->addView(box);
  EXPECT_EQ(a->getFrame(), tester.frame());
  box->removeAll(false);  // the editor rebuilds boxes this way
  EXPECT_VALUES({aGone, false}, {box->getNbViews(), 0}, {a->isAttached(), false}, {a->getNbReference(), 1});
  EXPECT_TRUE(box->addView(a));
  EXPECT_FALSE(box->addView(a)) << "not twice";
  tester.frame()->removeView(box, false);  // the frame's reference comes back to us
  EXPECT_VALUES({box->getNbReference(), 1}, {a->getFrame() == nullptr, true},
                {a->getParentView() == box, true});
  box->forget();
  EXPECT_TRUE(aGone);

  struct TrackedMenu : COptionMenu {
    explicit TrackedMenu(bool* flag) : deletedFlag(flag) {}
    ~TrackedMenu() override { *deletedFlag = true; }
    bool* deletedFlag;
  };
  auto* top = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 1);
  auto* sub = new TrackedMenu(&subGone);
  top->addEntry(sub, "Sub");
  sub->forget();  // the caller's reference, as the editor does after adding
  EXPECT_EQ(top->getSubMenu(0), sub);
  top->removeEntry(0);
  EXPECT_TRUE(subGone);
  subGone = false;
  top->addEntry(new TrackedMenu(&subGone), "Sub 2");
  top->getSubMenu(0)->forget();
  top->forget();  // the whole tree goes
  EXPECT_TRUE(subGone);
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
  auto presentedAfterIdle = [&] {
    tester.platform()->clearPresentedRegions();
    tester.idle();
    return tester.platform()->getPresentedRegions();
  };
  presentedAfterIdle();
  EXPECT_TRUE(presentedAfterIdle().empty()) << "nothing changed: nothing drawn, nothing presented";
  a->setDirty();
  c->setValue(0.25f);  // a value change alone makes a control dirty
  EXPECT_EQ(presentedAfterIdle(), (std::vector<CRect>{CRect(0, 0, 50, 50), CRect(210, 10, 240, 40)}));
  c->setValue(0.25f);  // the same value again
  EXPECT_TRUE(presentedAfterIdle().empty());
  b->setDirty();
  b->setVisible(false);  // hidden views are not drawn, but the area they left is
  EXPECT_EQ(presentedAfterIdle(), std::vector<CRect>{CRect(100, 0, 150, 50)});
  EXPECT_VALUES({a->draws, 2}, {b->draws, 1});
}

TEST(VstguiFrame, ACopyOfAControlMarkedDirtyIsDrawnWhateverItsValue) {
  for (const float value : {-1.f, 0.f, 0.5f, 1.f}) {
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
  for (CView* v : {inner, overlap, restricted}) box->addView(v);
  // The later view is on top; right and bottom edges belong to the next pixel.
  const struct {
    CPoint where;
    bool deep;
    const CView* expected;
  } cases[] = {{{115, 115}, false, box}, {{115, 115}, true, inner},   {{125, 125}, true, overlap},
               {{105, 105}, true, box},  {{50, 50}, true, nullptr},   {{155, 155}, true, restricted},
               {{165, 165}, true, box},  {{130, 130}, true, overlap}, {{140, 140}, true, box}};
  for (const auto& c : cases) EXPECT_EQ(frame->getViewAt(c.where, c.deep), c.expected) << c.where.x;

  // Moving the container (as the editor does when the module order changes) moves its children.
  box->setViewSize(CRect(0, 100, 100, 200));
  EXPECT_EQ(frame->getViewAt(CPoint(15, 115), true), inner);
  EXPECT_EQ(inner->getFrameRect(), CRect(10, 110, 30, 130));
  box->setViewSize(CRect(100, 100, 200, 200));
  overlap->setVisible(false);
  EXPECT_EQ(frame->getViewAt(CPoint(125, 125), true), inner);
  tester.click(125, 125);
  tester.click(165, 165);
  EXPECT_EQ(inner->kinds + "|" + overlap->kinds + "|" + restricted->kinds, "du||");
  EXPECT_EQ(inner->points[0], CPoint(25, 25)) << "in the container's coordinates";
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
  EXPECT_EQ(capturing->kinds + "|" + oneShot->kinds, "dmu|d");
  EXPECT_EQ(capturing->points[1], CPoint(150, -80));

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
  const bool handled = tester.wheel(110, 110, -2.f);
  above->wheelAnswer = false;  // declined: the view below gets it
  const bool passedOn = tester.wheel(110, 110, 1.f);
  below->wheelAnswer = false;
  EXPECT_VALUES({handled, true}, {passedOn, true}, {tester.wheel(110, 110, 1.f), false},
                {tester.wheel(290, 290, 1.f), false});
  EXPECT_EQ(above->kinds + "|" + below->kinds, "www|ww");
  EXPECT_EQ(above->points[0], CPoint(10, 10));
}

TEST(VstguiFrame, KeyboardHooksSeeKeysInOrderUntilOneUsesIt) {
  FrameTester tester(CRect(0, 0, 10, 10));
  struct Hook : IKeyboardHook {
    explicit Hook(int32_t a) : answer(a) {}
    int32_t onKeyDown(const VstKeyCode& code, CFrame*) override {
      seen.push_back(code.virt);
      return answer;
    }
    int32_t onKeyUp(const VstKeyCode& code, CFrame*) override {
      seen.push_back(-code.virt);
      return -1;
    }
    int32_t answer;
    std::vector<int> seen;
  };
  Hook first(-1), second(1), third(1);
  EXPECT_EQ(tester.keyDown(12), -1) << "no hooks";
  // The second is registered once only; releases go to every hook.
  for (Hook* h : {&first, &second, &third, &second}) tester.frame()->registerKeyboardHook(h);
  EXPECT_EQ(tester.keyDown(14), 1);
  EXPECT_EQ(tester.keyUp(14), -1);
  tester.frame()->unregisterKeyboardHook(&second);
  EXPECT_EQ(tester.keyDown(15), 1);
  EXPECT_EQ(first.seen, std::vector<int>({14, -14, 15}));
  EXPECT_EQ(second.seen, std::vector<int>({14, -14}));
  EXPECT_EQ(third.seen, std::vector<int>({-14, 15}));
}

TEST(VstguiTooltips, ShownAfterTheDelayHiddenOnClickAndHoverChange) {
  FrameTester tester(CRect(0, 0, 200, 100));
  tester.clock().set(0xFFFFFFF0ull);  // the delay is measured across the 32-bit wrap
  new CTooltipSupport(tester.frame(), 100);
  auto* a = new ProbeView(CRect(0, 0, 50, 50));
  auto* b = new ProbeView(CRect(100, 0, 150, 50));
  a->setTooltipText("Volume: 0 dB");
  b->setTooltipText("Mix: 100 %");
  tester.frame()->addView(a);
  tester.frame()->addView(b);
  auto* platform = tester.platform();
  auto after = [&](uint64_t ms) {  // the text shown after ms, "" for none
    tester.advanceClock(ms);
    tester.idle();
    return platform->isTooltipVisible() ? platform->getTooltipText() : "";
  };
  tester.move(10, 10);
  EXPECT_EQ(after(99), "");
  EXPECT_EQ(after(1), "Volume: 0 dB");
  EXPECT_EQ(platform->getTooltipRect(), CRect(0, 0, 50, 50));
  a->setTooltipText("Volume: -1 dB");
  EXPECT_EQ(after(0), "Volume: -1 dB") << "live text follows while shown";
  tester.move(12, 12);  // moving within the view keeps it
  EXPECT_EQ(after(0), "Volume: -1 dB");
  tester.click(12, 12);
  EXPECT_EQ(after(500), "") << "a click hides it until the mouse goes elsewhere";
  tester.mouseDown(12, 12, kLButton);  // a drag (a captures the mouse) over b shows nothing
  tester.move(110, 10, kLButton);
  EXPECT_EQ(after(500), "");
  tester.mouseUp(110, 10);
  tester.move(111, 10);
  EXPECT_EQ(after(100), "Mix: 100 %");
  tester.move(60, 60);  // over no view
  EXPECT_EQ(after(0), "");
  tester.move(110, 10);
  tester.frame()->removeView(b);  // a view that leaves the frame takes its tool-tip along
  EXPECT_EQ(after(200), "");
}
