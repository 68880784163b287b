// Translation of X keys and pointer state, double-click timing, key echoes, placement and the
// error trap's manners towards the host's error handler.
#include <gtest/gtest.h>
// After gtest: Xlib's macros would break its headers.
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "tools/xvfb/xvfbServer.h"
#include "vstgui/coptionmenu.h"
#include "vstgui/x11errortrap.h"
#include "vstgui/x11keys.h"
#include "vstgui/x11menu.h"
#include "vstgui/x11popup.h"
#include "support/expectValues.h"

using namespace VSTGUI;
using namespace VSTGUI::X11;

namespace {

TEST(X11Keys, NavigationKeysGetTheVirtualCodesHostsUse) {
  EXPECT_VALUES(
      {translateKey(XK_Up, 0).virt, 12}, {translateKey(XK_Down, 0).virt, 14}, {translateKey(XK_Page_Up, 0).virt, 15},
      {translateKey(XK_Page_Down, 0).virt, 16}, {translateKey(XK_KP_Up, 0).virt, 12},
      {translateKey(XK_KP_Page_Down, 0).virt, 16}, {translateKey(XK_Left, 0).virt, 11},
      {translateKey(XK_Right, 0).virt, 13}, {translateKey(XK_Escape, 0).virt, 6},
      {translateKey(XK_Return, 0).virt, 4}, {translateKey(XK_space, 0).virt, 7}, {translateKey(XK_F1, 0).virt, 40},
      {translateKey(XK_F12, 0).virt, 51}, {translateKey(XK_KP_9, 0).virt, 33}, {translateKey(XK_Up, 0).character, 0});
}

TEST(X11Keys, CharactersAreLowerCaseWithModifierBits) {
  const VstKeyCode a = translateKey(XK_A, ShiftMask);
  EXPECT_VALUES(
      {a.character, 'a'}, {a.virt, 0}, {a.modifier, kModifierShift},
      {translateKey(XK_z, ControlMask).modifier, kModifierCommand},
      {translateKey(XK_z, Mod1Mask).modifier, kModifierAlternate},
      {translateKey(XK_z, Mod4Mask).modifier, kModifierControl},
      {translateKey(XK_Up, ShiftMask | ControlMask | Mod1Mask | Mod4Mask).modifier, 15},
      {translateKey(XK_asciitilde, 0).character, '~'});
  // Keys with nothing to deliver: modifiers alone, other scripts, locks that change nothing.
  for (unsigned long sym : {static_cast<unsigned long>(XK_Shift_L), static_cast<unsigned long>(XK_Control_R),
                            static_cast<unsigned long>(XK_Super_L), 0x6c1ul /* Arabic letter */, 0ul}) {
    const VstKeyCode k = translateKey(sym, ShiftMask);
    EXPECT_EQ(k.character, 0) << sym;
    EXPECT_EQ(k.virt, 0) << sym;
    EXPECT_EQ(k.modifier, 0) << sym;
  }
}

TEST(X11Keys, ButtonStateBits) {
  EXPECT_VALUES(
      {buttonStateFromX(Button1Mask), 2}, {buttonStateFromX(Button2Mask), 4}, {buttonStateFromX(Button3Mask), 8},
      {buttonStateFromX(ShiftMask), 16}, {buttonStateFromX(ControlMask), 32}, {buttonStateFromX(Mod1Mask), 64},
      {buttonStateFromX(Mod4Mask), 128});
  // Lock keys and the wheel's buttons are no part of the word.
  EXPECT_VALUES(
      {buttonStateFromX(LockMask | Mod2Mask | Button4Mask | Button5Mask), 0}, {buttonBitFromX(1), 2},
      {buttonBitFromX(2), 4}, {buttonBitFromX(3), 8}, {buttonBitFromX(4), 0}, {buttonBitFromX(8), 0});
}

TEST(X11Keys, DoubleClickNeedsTheSameButtonWithin400MsAnd4Px) {
  DoubleClickDetector d;
  EXPECT_FALSE(d.onPress(1, 1000, 10, 10));
  EXPECT_TRUE(d.onPress(1, 1400, 14, 6));  // the limits themselves still count
  EXPECT_FALSE(d.onPress(1, 1450, 14, 6)) << "a third press starts over";
  EXPECT_TRUE(d.onPress(1, 1500, 14, 6));

  EXPECT_FALSE(d.onPress(1, 2000, 10, 10));
  EXPECT_FALSE(d.onPress(1, 2401, 10, 10)) << "401 ms";
  EXPECT_FALSE(d.onPress(1, 2500, 15, 10)) << "5 px right of the previous press";
  EXPECT_FALSE(d.onPress(3, 2600, 15, 10)) << "another button";
  EXPECT_FALSE(d.onPress(1, 2700, 15, 10));
  EXPECT_FALSE(d.onPress(1, 2750, 15, 4)) << "6 px up";
  EXPECT_TRUE(d.onPress(1, 2800, 11, 8));
  EXPECT_FALSE(d.onPress(1, 2850, 11, 8));
  EXPECT_FALSE(d.onPress(1, 2900, 6, 8)) << "5 px left";
  EXPECT_FALSE(d.onPress(1, 2950, 6, 13)) << "5 px down";
  // The server's clock wraps.
  EXPECT_FALSE(d.onPress(1, 0xFFFFFF00u, 0, 0));
  EXPECT_TRUE(d.onPress(1, 0x50u, 0, 0));
}

TEST(X11Keys, KeyEchoFilterSkipsTheSecondCopyOnceAndOnlyFromTheOtherSource) {
  KeyEchoFilter f;
  const VstKeyCode up{0, 12, 0};
  const VstKeyCode q{'q', 0, 0};
  int32_t result = 0;
  f.remember(KeyEchoFilter::Source::kWindow, up, true, 1000, 1);
  EXPECT_FALSE(f.isEcho(KeyEchoFilter::Source::kWindow, up, true, 1001, result)) << "same source: a new key";
  EXPECT_FALSE(f.isEcho(KeyEchoFilter::Source::kHost, up, false, 1001, result)) << "release is not the press";
  EXPECT_VALUES(
      {f.isEcho(KeyEchoFilter::Source::kHost, q, true, 1001, result), false},
      {f.isEcho(KeyEchoFilter::Source::kHost, up, true, 1010, result), true}, {result, 1},
      {f.isEcho(KeyEchoFilter::Source::kHost, up, true, 1011, result), false});

  f.remember(KeyEchoFilter::Source::kHost, q, true, 5000, -1);
  EXPECT_FALSE(
      f.isEcho(KeyEchoFilter::Source::kWindow, q, true, 5000 + KeyEchoFilter::kEchoWindowMs + 1, result))
      << "too late to be the same key";
  f.remember(KeyEchoFilter::Source::kHost, q, true, 0xFFFFFFF0u, -1);
  result = 0;
  EXPECT_TRUE(f.isEcho(KeyEchoFilter::Source::kWindow, q, true, 0x20u, result));
  EXPECT_EQ(result, -1);
}

TEST(X11Popups, KeptWhollyOnScreen) {
  int x = 1250, y = 1000;
  keepOnScreen(x, y, 100, 50, 1280, 1024);
  EXPECT_EQ(x, 1180);
  EXPECT_EQ(y, 974);
  x = 10;
  y = 20;
  keepOnScreen(x, y, 100, 50, 1280, 1024);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
  // Larger than the screen: the top-left corner stays visible.
  x = 500;
  y = 500;
  keepOnScreen(x, y, 2000, 1500, 1280, 1024);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST(X11Popups, MenuLayoutStacksEntriesAndFitsTheWidestTitle) {
  auto* menu = new COptionMenu();
  menu->addEntry("A");
  menu->addSeparator();
  menu->addEntry("A much longer entry title than the others");
  const MenuGeometry g = layoutMenu(*menu);
  ASSERT_EQ(g.items.size(), 3u);
  EXPECT_VALUES(
      {g.items[0].top, MenuGeometry::kPadding}, {g.items[1].getHeight(), MenuGeometry::kSeparatorHeight},
      {g.items[2].top, g.items[1].bottom}, {g.height, static_cast<int>(g.items[2].bottom) + MenuGeometry::kPadding});
  EXPECT_GE(g.width, static_cast<int>(popupTextWidth("A much longer entry title than the others")) +
                         MenuGeometry::kTextLeft + MenuGeometry::kTextRight);
  auto* small = new COptionMenu();
  small->addEntry("x");
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
