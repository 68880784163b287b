// Real input through the X server: XTest on a second connection plays the user, the frame's own
// connection must turn it into the toolkit's events.
#include <X11/keysym.h>

#include "x11TestEnv.h"

using namespace VSTGUI;
using namespace x11test;

namespace {

using X11Input = X11Fixture;

TEST_F(X11Input, ClicksAndWheelStepsArriveWithButtonModifierAndDoubleClickBits) {
  ASSERT_TRUE(openMain());
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
  } cases[] = {{NoSymbol, {{39, 57, 2}}, "d4@39,57 u4@39,57"},
               {XK_Shift_L, {{48, 57, 1}}, "d18@48,57 u18@48,57"},
               {XK_Control_L, {{57, 57, 3}}, "d40@57,57 u40@57,57"},
               {XK_Alt_L, {{66, 57, 1}}, "d66@66,57 u66@66,57"},
               {XK_Super_L, {{75, 57, 1}}, "d130@75,57 u130@75,57"},
               {NoSymbol,
                {{50, 50, 1}, {53, 46, 1}, {53, 46, 1}},
                "d2@50,50 u2@50,50 d1026@53,46 u2@53,46 d2@53,46 u2@53,46"},
               {NoSymbol,
                {{80, 50, 1}, {85, 50, 1}, {85, 50, 3}},
                "d2@80,50 u2@80,50 d2@85,50 u2@85,50 d8@85,50 u8@85,50"},
               {XK_Shift_L, {{40, 40, 4}}, "w+16@40,40"},  // the wheel's buttons are never presses
               {NoSymbol, {{40, 40, 5}}, "w-0@40,40"}};
  for (const auto& c : cases) {
    view->log.clear();
    if (c.modifier != NoSymbol) fakeKey(user, c.modifier, true);
    for (const Click& k : c.clicks) {
      pointAt(frame, k.x, k.y);
      fakeClick(user, k.button);
    }
    if (c.modifier != NoSymbol) fakeKey(user, c.modifier, false);
    ASSERT_TRUE(settleAt(frame, 100, 95));
    EXPECT_EQ(view->log, c.expected);
  }
}

TEST_F(X11Input, DragKeepsReportingMovesOutsideTheWindowUntilTheRelease) {
  ASSERT_TRUE(openMain());
  pointAt(frame, 60, 60);
  fakeButton(user, 1, true);
  pointAt(frame, kWidth + 150, 60);  // right of and then above the editor's window
  pointAt(frame, 70, -20);
  fakeButton(user, 1, false);
  pointAt(frame, kWidth + 100, kHeight + 100);  // after the release, moves outside reach nobody
  ASSERT_TRUE(settleAt(frame, 50, 50));
  EXPECT_EQ(view->log, "d2@60,60 m2@470,60 m2@70,-20 u2@70,-20");
}

}  // namespace
