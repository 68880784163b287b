// Real input through the X server: XTest on a second connection plays the user, the frame's own
// connection must turn it into the toolkit's events.
#include <X11/keysym.h>

#include "x11TestEnv.h"
#include "support/expectValues.h"

using namespace VSTGUI;
using namespace x11test;

namespace {

class X11Input : public X11Fixture {
 protected:
  void SetUp() override {
    X11Fixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    frame = openFrame(parent, &view);
    ASSERT_NE(frame, nullptr);
  }
  void TearDown() override {
    if (frame) frame->close();
    X11Fixture::TearDown();
  }
  // Root position of a point of the recording view (view coordinates are the frame's here).
  void pointAt(int x, int y) {
    int rx = 0, ry = 0;
    frameToRoot(frame, x, y, rx, ry);
    moveTo(rx, ry);
  }
  size_t countOf(MouseRecord::Kind kind) const {
    size_t n = 0;
    for (const MouseRecord& r : view->events) n += r.kind == kind;
    return n;
  }
  const MouseRecord* last(MouseRecord::Kind kind) const {
    for (auto it = view->events.rbegin(); it != view->events.rend(); ++it)
      if (it->kind == kind) return &*it;
    return nullptr;
  }
  bool waitFor(MouseRecord::Kind kind, size_t count) {
    return pumpUntil(frame, [&] { return countOf(kind) >= count; });
  }

  CFrame* frame = nullptr;
  RecordingView* view = nullptr;
};

TEST_F(X11Input, ClicksArriveWithButtonModifierBitsAndFramePosition) {
  struct Case {
    unsigned int button;
    KeySym modifier;
    int32_t expected;
  };
  // Left 2, middle 4, right 8; Shift 16, Ctrl 32, Alt 64, Super 128.
  const Case cases[] = {{1, NoSymbol, 2},         {2, NoSymbol, 4},          {3, NoSymbol, 8},
                        {1, XK_Shift_L, 2 | 16},  {1, XK_Control_L, 2 | 32}, {3, XK_Alt_L, 8 | 64},
                        {1, XK_Super_L, 2 | 128}, {3, XK_Control_L, 8 | 32}};
  int x = 30;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "button " << c.button << " state " << c.expected);
    // Far apart in place and time, so that no pair makes a double-click.
    x += 9;
    pointAt(x, 57);
    if (c.modifier != NoSymbol) key(c.modifier, true);
    const size_t downs = countOf(MouseRecord::kDown);
    const size_t ups = countOf(MouseRecord::kUp);
    click(c.button);
    if (c.modifier != NoSymbol) key(c.modifier, false);
    ASSERT_TRUE(waitFor(MouseRecord::kUp, ups + 1));
    ASSERT_EQ(countOf(MouseRecord::kDown), downs + 1);
    EXPECT_VALUES(
        {last(MouseRecord::kDown)->buttons, c.expected}, {last(MouseRecord::kDown)->where.x, x},
        {last(MouseRecord::kDown)->where.y, 57}, {last(MouseRecord::kUp)->buttons, c.expected});
  }
}

TEST_F(X11Input, SecondClickOfTheSameButtonNearbyIsADoubleClickButNotTheThird) {
  pointAt(50, 50);
  click(1);
  pointAt(53, 46);  // within 4 px each way
  click(1);
  pointAt(53, 46);
  click(1);
  ASSERT_TRUE(waitFor(MouseRecord::kDown, 3));
  std::vector<int32_t> downs;
  for (const MouseRecord& r : view->events)
    if (r.kind == MouseRecord::kDown) downs.push_back(r.buttons);
  EXPECT_EQ(downs, (std::vector<int32_t>{2, 2 | 1024, 2}));

  // Too far apart, or another button: no double-click.
  view->events.clear();
  pointAt(80, 50);
  click(1);
  pointAt(85, 50);
  click(1);
  pointAt(85, 50);
  click(3);
  ASSERT_TRUE(waitFor(MouseRecord::kDown, 3));
  for (const MouseRecord& r : view->events) {
    if (r.kind == MouseRecord::kDown) {
      EXPECT_EQ(r.buttons & 1024, 0);
    }
  }
}

TEST_F(X11Input, DragKeepsReportingMovesOutsideTheWindowUntilTheRelease) {
  pointAt(60, 60);
  button(1, true);
  ASSERT_TRUE(waitFor(MouseRecord::kDown, 1));
  // Far right of and then above the editor's window.
  pointAt(kWidth + 150, 60);
  ASSERT_TRUE(pumpUntil(frame, [&] {
    const MouseRecord* m = last(MouseRecord::kMoved);
    return m && m->where.x == kWidth + 150;
  }));
  EXPECT_EQ(last(MouseRecord::kMoved)->buttons & kLButton, kLButton);
  pointAt(70, -20);
  ASSERT_TRUE(pumpUntil(frame, [&] {
    const MouseRecord* m = last(MouseRecord::kMoved);
    return m && m->where.y == -20;
  }));
  button(1, false);
  ASSERT_TRUE(waitFor(MouseRecord::kUp, 1));
  EXPECT_EQ(last(MouseRecord::kUp)->where.y, -20);
  // After the release, moves outside reach nobody; the hover back inside that follows shows
  // that the window's events have been read.
  const size_t moves = countOf(MouseRecord::kMoved);
  pointAt(kWidth + 100, kHeight + 100);
  pointAt(50, 50);
  ASSERT_TRUE(pointerReached(frame, 50, 50));
  EXPECT_EQ(countOf(MouseRecord::kMoved), moves);
}

TEST_F(X11Input, WheelStepsArriveAsPlusAndMinusOne) {
  pointAt(40, 40);
  key(XK_Shift_L, true);
  click(4);
  key(XK_Shift_L, false);
  click(5);
  ASSERT_TRUE(waitFor(MouseRecord::kWheel, 2));
  std::vector<MouseRecord> wheels;
  for (const MouseRecord& r : view->events)
    if (r.kind == MouseRecord::kWheel) wheels.push_back(r);
  ASSERT_EQ(wheels.size(), 2u);
  EXPECT_VALUES(
      {wheels[0].distance, 1.f}, {wheels[0].buttons & kShift, kShift}, {wheels[1].distance, -1.f},
      {wheels[0].where.x, 40});
  // The wheel's own buttons are never reported as presses.
  EXPECT_EQ(countOf(MouseRecord::kDown), 0u);
}

TEST_F(X11Input, KeysOfTheWindowReachTheFocusViewAndUnusedOnesGoToTheHost) {
  frame->setFocusView(view);
  view->usedKeys = {12, 14, 15, 16};
  XSetInputFocus(user, x11(frame)->getWindow(), RevertToParent, CurrentTime);
  XSync(user, False);
  const KeySym keys[] = {XK_Up, XK_Down, XK_Page_Up, XK_Page_Down};
  for (KeySym k : keys) {
    key(k, true);
    key(k, false);
  }
  ASSERT_TRUE(pumpUntil(frame, [&] { return view->keysUp.size() >= 4; }));
  ASSERT_EQ(view->keysDown.size(), 4u);
  EXPECT_VALUES(
      {view->keysDown[0].virt, 12}, {view->keysDown[1].virt, 14}, {view->keysDown[2].virt, 15},
      {view->keysDown[3].virt, 16});

  // The same key arriving through the host's key call right after is not handled again, and
  // gets the answer the window's copy got.
  int32_t result = 0;
  VstKeyCode up{0, 12, 0};
  EXPECT_TRUE(x11(frame)->filterHostKey(up, true, result));
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(x11(frame)->filterHostKey(up, true, result)) << "one echo per key";

  // A key the editor does not use is handed to the host's window.
  XSelectInput(user, parent, KeyPressMask);
  XSync(user, False);
  key(XK_q, true);
  key(XK_q, false);
  XEvent forwarded{};
  bool seen = false;
  pumpUntil(frame, [&] {
    while (XCheckTypedWindowEvent(user, parent, KeyPress, &forwarded))
      seen = seen || forwarded.xkey.send_event;
    return seen;
  });
  EXPECT_TRUE(seen);
  ASSERT_FALSE(view->keysDown.empty());
  EXPECT_EQ(view->keysDown.back().character, 'q');
}

}  // namespace
