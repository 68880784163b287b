// Real input through the X server: XTest on a second connection plays the user, the frame's own
// connection must turn it into the toolkit's events.
#include <X11/keysym.h>

#include "x11TestEnv.h"

using namespace VSTGUI;
using namespace x11test;

namespace {

class X11Input : public X11Fixture {
 protected:
  void SetUp() override {
    X11Fixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(openMain());
  }
  // Moves to a frame point and waits until the frame saw it: all input before has been read.
  void settleAt(int x, int y) {
    pointAt(frame, x, y);
    ASSERT_TRUE(pointerReached(frame, x, y));
  }
};

// What the view received, one word per event: "d2@39,57" a press with the button word 2 at
// (39, 57), "u2" its release, "w16:+1" a wheel step with its word; moves are left out.
std::string described(const std::vector<MouseRecord>& events) {
  std::string out;
  for (const MouseRecord& r : events) {
    if (r.kind == MouseRecord::kMoved) continue;
    out += out.empty() ? "" : " ";
    out += "duw"[r.kind == MouseRecord::kDown ? 0 : r.kind == MouseRecord::kUp ? 1 : 2];
    out += std::to_string(r.buttons);
    if (r.kind == MouseRecord::kDown)
      out += "@" + std::to_string(static_cast<int>(r.where.x)) + "," +
             std::to_string(static_cast<int>(r.where.y));
    if (r.kind == MouseRecord::kWheel) out += r.distance > 0 ? ":+1" : ":-1";
  }
  return out;
}

TEST_F(X11Input, ClicksAndWheelStepsArriveWithButtonModifierAndDoubleClickBits) {
  struct Click {
    int x, y;
    unsigned int button;
  };
  // Left 2, middle 4, right 8; Shift 16, Ctrl 32, Alt 64, Super 128; double-click 1024. Each row
  // starts more than 4 px from the last, so that no two rows make a double-click.
  const struct {
    KeySym modifier;
    std::vector<Click> clicks;
    const char* expected;
  } cases[] = {{NoSymbol, {{30, 57, 1}}, "d2@30,57 u2"},
               {NoSymbol, {{39, 57, 2}}, "d4@39,57 u4"},
               {NoSymbol, {{48, 57, 3}}, "d8@48,57 u8"},
               {XK_Shift_L, {{57, 57, 1}}, "d18@57,57 u18"},
               {XK_Control_L, {{66, 57, 1}}, "d34@66,57 u34"},
               {XK_Alt_L, {{75, 57, 3}}, "d72@75,57 u72"},
               {XK_Super_L, {{84, 57, 1}}, "d130@84,57 u130"},
               {NoSymbol,
                {{50, 50, 1}, {53, 46, 1}, {53, 46, 1}},
                "d2@50,50 u2 d1026@53,46 u2 d2@53,46 u2"},  // not the third
               {NoSymbol,
                {{80, 50, 1}, {85, 50, 1}, {85, 50, 3}},
                "d2@80,50 u2 d2@85,50 u2 d8@85,50 u8"},  // too far, other
               {XK_Shift_L, {{40, 40, 4}}, "w16:+1"},    // the wheel's buttons are never presses
               {NoSymbol, {{40, 40, 5}}, "w0:-1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    view->events.clear();
    if (c.modifier != NoSymbol) fakeKey(user, c.modifier, true);
    for (const Click& k : c.clicks) {
      pointAt(frame, k.x, k.y);
      fakeClick(user, k.button);
    }
    if (c.modifier != NoSymbol) fakeKey(user, c.modifier, false);
    settleAt(100, 95);
    EXPECT_EQ(described(view->events), c.expected);
  }
}

TEST_F(X11Input, DragKeepsReportingMovesOutsideTheWindowUntilTheRelease) {
  pointAt(frame, 60, 60);
  fakeButton(user, 1, true);
  const struct {
    int x, y;
  } outside[] = {{kWidth + 150, 60}, {70, -20}};  // right of and then above the editor's window
  for (const auto& p : outside) {
    pointAt(frame, p.x, p.y);
    ASSERT_TRUE(pumpUntil(frame, [&] {
      const MouseRecord* m = view->last(MouseRecord::kMoved);
      return m && m->where == CPoint(p.x, p.y);
    }));
    EXPECT_EQ(view->last(MouseRecord::kMoved)->buttons, kLButton);
  }
  fakeButton(user, 1, false);
  ASSERT_TRUE(pumpUntil(frame, [&] { return view->count(MouseRecord::kUp) == 1; }));
  EXPECT_EQ(view->last(MouseRecord::kUp)->where, CPoint(70, -20));
  // After the release, moves outside reach nobody.
  const size_t moves = view->count(MouseRecord::kMoved);
  pointAt(frame, kWidth + 100, kHeight + 100);
  settleAt(50, 50);
  EXPECT_EQ(view->count(MouseRecord::kMoved), moves);
}

}  // namespace
