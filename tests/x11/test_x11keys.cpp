// Translation of X keys and pointer state, double-click timing, key echoes, placement and the
// error trap's manners towards the host's error handler.
#include <gtest/gtest.h>
// After gtest: Xlib's macros would break its headers.
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "support/expectValues.h"
#include "tools/xvfb/xvfbServer.h"
#include "vstgui/coptionmenu.h"
#include "vstgui/x11errortrap.h"
#include "vstgui/x11keys.h"
#include "vstgui/x11menu.h"
#include "vstgui/x11popup.h"

using namespace VSTGUI;
using namespace VSTGUI::X11;

namespace {

TEST(X11Keys, KeysGetTheVirtualCodesHostsUseAndLowerCaseCharactersWithModifierBits) {
  const unsigned int kAll = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;
  const struct {
    KeySym sym;
    unsigned int state;
    int character, virt, modifier;
  } cases[] = {{XK_Up, 0, 0, 12, 0},
               {XK_KP_Page_Down, 0, 0, 16, 0},
               {XK_Left, 0, 0, 11, 0},
               {XK_Return, 0, 0, 4, 0},
               {XK_F1, 0, 0, 40, 0},
               {XK_F12, 0, 0, 51, 0},
               {XK_KP_9, 0, 0, 33, 0},
               {XK_Up, kAll, 0, 12, 15},
               {XK_A, ShiftMask, 'a', 0, kModifierShift},
               {XK_z, ControlMask, 'z', 0, kModifierCommand},
               {XK_z, Mod1Mask, 'z', 0, kModifierAlternate},
               {XK_z, Mod4Mask, 'z', 0, kModifierControl},
               {XK_asciitilde, 0, '~', 0, 0},
               {XK_Shift_L, ShiftMask, 0, 0, 0},  // nothing to deliver: a modifier alone,
               {0x6c1, ShiftMask, 0, 0, 0},       // another script's letter
               {0, ShiftMask, 0, 0, 0}};
  for (const auto& c : cases) {
    const VstKeyCode k = translateKey(c.sym, c.state);
    EXPECT_VALUES({k.character, c.character}, {k.virt, c.virt}, {k.modifier, c.modifier});
  }
}

TEST(X11Keys, ButtonStateBits) {
  // Lock keys and the wheel's buttons are no part of the word.
  EXPECT_VALUES({buttonStateFromX(Button1Mask), 2}, {buttonStateFromX(Button2Mask), 4},
                {buttonStateFromX(Button3Mask), 8}, {buttonStateFromX(ShiftMask), 16},
                {buttonStateFromX(ControlMask), 32}, {buttonStateFromX(Mod1Mask), 64},
                {buttonStateFromX(Mod4Mask), 128},
                {buttonStateFromX(LockMask | Mod2Mask | Button4Mask | Button5Mask), 0},
                {buttonBitFromX(1), 2}, {buttonBitFromX(2), 4}, {buttonBitFromX(3), 8},
                {buttonBitFromX(4), 0}, {buttonBitFromX(8), 0});
}

TEST(X11Keys, DoubleClickNeedsTheSameButtonWithin400MsAnd4Px) {
  const struct {
    unsigned int button;
    uint32_t ms;
    int x, y;
    bool isDouble;
    const char* why;
  } presses[] = {{1, 1000, 10, 10, false, "first"},
                 {1, 1400, 14, 6, true, "the limits themselves still count"},
                 {1, 1450, 14, 6, false, "a third press starts over"},
                 {1, 1500, 14, 6, true, "and makes a pair with the next"},
                 {1, 2000, 10, 10, false, "first"},
                 {1, 2401, 10, 10, false, "401 ms"},
                 {1, 2500, 15, 10, false, "5 px right"},
                 {3, 2600, 15, 10, false, "another button"},
                 {1, 2700, 15, 10, false, "another button"},
                 {1, 2750, 15, 4, false, "6 px up"},
                 {1, 2800, 11, 8, true, "4 px left and down"},
                 {1, 2850, 11, 8, false, "a third"},
                 {1, 2900, 6, 8, false, "5 px left"},
                 {1, 2950, 6, 13, false, "5 px down"},
                 {1, 0xFFFFFF00u, 0, 0, false, "first"},
                 {1, 0x50u, 0, 0, true, "across the clock's wrap"}};
  DoubleClickDetector d;
  for (const auto& p : presses) EXPECT_EQ(d.onPress(p.button, p.ms, p.x, p.y), p.isDouble) << p.why;
}

TEST(X11Keys, KeyEchoFilterSkipsTheSecondCopyOnceAndOnlyFromTheOtherSource) {
  using Source = KeyEchoFilter::Source;
  KeyEchoFilter f;
  const VstKeyCode up{0, 12, 0}, down{0, 14, 0}, q{'q', 0, 0};
  int32_t upResult = 0, downResult = 0, result = 0;
  f.remember(Source::kWindow, up, true, 1000, 1);
  f.remember(Source::kWindow, down, true, 1002, -1);
  EXPECT_VALUES({f.isEcho(Source::kWindow, up, true, 1003, result), false},  // same source: a new key
                {f.isEcho(Source::kHost, up, false, 1003, result), false},   // a release is not the press
                {f.isEcho(Source::kHost, q, true, 1003, result), false},
                {f.isEcho(Source::kHost, up, true, 1010, upResult), true}, {upResult, 1},
                {f.isEcho(Source::kHost, down, true, 1010, downResult), true}, {downResult, -1},
                {f.isEcho(Source::kHost, up, true, 1011, result), false});  // once only

  f.remember(Source::kHost, q, true, 5000, -1);
  EXPECT_FALSE(f.isEcho(Source::kWindow, q, true, 5000 + KeyEchoFilter::kEchoWindowMs + 1, result))
      << "too late to be the same key";
  f.remember(Source::kHost, q, true, 0xFFFFFFF0u, -1);
  EXPECT_TRUE(f.isEcho(Source::kWindow, q, true, 0x20u, result)) << "across the clock's wrap";
}

TEST(X11Popups, KeptWhollyOnScreenAndMenusFitTheWidestTitle) {
  // Larger than the screen: the top-left corner stays visible.
  const int cases[][6] = {
      {1250, 1000, 100, 50, 1180, 974}, {10, 20, 100, 50, 10, 20}, {500, 500, 2000, 1500, 0, 0}};
  for (const auto& c : cases) {
    int x = c[0], y = c[1];
    keepOnScreen(x, y, c[2], c[3], 1280, 1024);
    EXPECT_VALUES({x, c[4]}, {y, c[5]});
  }

  // Menus are as wide as their widest title needs, and never narrower than the minimum.
  const char* kLong = "A much longer entry title than the others";
  auto* menu = new COptionMenu();
  menu->addEntry(kLong);
  auto* small = new COptionMenu();
  small->addEntry("x");
  EXPECT_GE(layoutMenu(*menu).width,
            static_cast<int>(popupTextWidth(kLong)) + MenuGeometry::kTextLeft + MenuGeometry::kTextRight);
  EXPECT_EQ(layoutMenu(*small).width, MenuGeometry::kMinWidth);
  small->forget();
  menu->forget();
}

int gHostErrors = 0;
int hostHandler(Display*, XErrorEvent*) {
  ++gHostErrors;
  return 0;
}

TEST(X11ErrorTrap, AbsorbsOurErrorsPassesOthersOnAndGivesTheHandlerBack) {
  std::string why;
  if (!testing_support::ensureXServer(&why)) GTEST_SKIP() << "no X server: " << why;
  Display* ours = XOpenDisplay(nullptr);
  Display* host = XOpenDisplay(nullptr);
  ASSERT_NE(ours, nullptr);
  ASSERT_NE(host, nullptr);
  XErrorHandler before = XSetErrorHandler(hostHandler);
  registerTrappedDisplay(ours);
  gHostErrors = 0;
  const Window bogus = DefaultRootWindow(ours) + 0x7654321;
  {
    XErrorTrap trap(ours);
    XMapWindow(ours, bogus);
    EXPECT_TRUE(trap.failed());
    EXPECT_EQ(trap.lastError(), BadWindow);
    {
      XErrorTrap inner(ours);
      EXPECT_FALSE(inner.failed()) << "earlier errors are the outer trap's";
    }
    // Another connection's error while the trap is in goes to the host's handler.
    XMapWindow(host, bogus);
    XSync(host, False);
    EXPECT_EQ(gHostErrors, 1);
  }
  EXPECT_EQ(gHostErrors, 1);
  // Our handler is gone again: the host's one is current.
  EXPECT_EQ(XSetErrorHandler(hostHandler), hostHandler);
  unregisterTrappedDisplay(ours);
  XSetErrorHandler(before);
  XCloseDisplay(ours);
  XCloseDisplay(host);
}

}  // namespace
