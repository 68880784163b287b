// Pop-up menus of an X11 frame played by the user: the menu's own loop runs on the test's thread
// while a second thread, on a connection of its own, clicks and types.
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "vstgui/x11menu.h"
#include "x11TestEnv.h"
// After gtest (through x11TestEnv.h): Xlib's macros would break its headers.
#include <X11/extensions/Xrandr.h>

using namespace VSTGUI;
using namespace x11test;

namespace {

const bool gThreadsReady = [] { return XInitThreads() != 0; }();

// One step of the user: a key, the pointer onto an entry of the menu shown at some depth (and a
// click there), or a click outside every menu.
struct Step {
  enum Kind { kKey, kHover, kClick, kClickOutside } kind;
  KeySym sym = NoSymbol;
  size_t depth = 0;
  int entry = 0;
};
std::vector<Step> keys(std::initializer_list<KeySym> syms) {
  std::vector<Step> steps;
  for (KeySym sym : syms) steps.push_back({Step::kKey, sym});
  return steps;
}
Step clickOn(size_t depth, int entry) { return {Step::kClick, NoSymbol, depth, entry}; }

// Grabs pointer and keyboard on the root and lets them go again: both succeed when nobody holds
// them, both are AlreadyGrabbed while a menu runs.
std::pair<int, int> tryGrabs(Display* d) {
  const Window root = DefaultRootWindow(d);
  const int pointer = XGrabPointer(d, root, False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  const int keyboard = XGrabKeyboard(d, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
  XUngrabPointer(d, CurrentTime);
  XUngrabKeyboard(d, CurrentTime);
  XSync(d, False);
  return {pointer, keyboard};
}
const std::pair<int, int> kMenuHoldsGrabs{AlreadyGrabbed, AlreadyGrabbed}, kNoGrabs{GrabSuccess, GrabSuccess};

// Waits (on d) for the count of shown menus to reach n and for the menu's grabs (before them,
// input would go elsewhere); the menus' windows, left to right.
std::vector<Window> waitForMenus(Display* d, size_t n) {
  const auto xOf = [d](Window w) {
    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    return a.x;
  };
  for (int i = 0; i < 1000; ++i, sleepMs(5)) {
    std::vector<Window> found = windowsOfType(d, "_NET_WM_WINDOW_TYPE_POPUP_MENU");
    if (found.size() != n || tryGrabs(d) != kMenuHoldsGrabs) continue;
    std::sort(found.begin(), found.end(), [&](Window a, Window b) { return xOf(a) < xOf(b); });
    return found;
  }
  return {};
}

class X11Menus : public X11Fixture {
 protected:
  void SetUp() override {
    X11Fixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(openMain());
    menu = new COptionMenu(CRect(150, 20, 250, 40), nullptr, 7);
    for (const char* title : {"One", "Two", "-"}) menu->addEntry(title);
    sub = new COptionMenu();
    for (const char* title : {"Three", "Four"}) sub->addEntry(title);
    menu->addEntry(sub, "More");
    sub->forget();
    menu->addEntry("-GHeading");
    frame->addView(menu);
  }
  void TearDown() override {
    if (player.joinable()) player.join();
    X11Fixture::TearDown();
  }
  // Pops the menu up at the pointer and plays the steps; a menu still open after them is
  // dismissed with Escape. Where the top menu showed comes back in shownAt.
  bool popupPlaying(const std::vector<Step>& steps, XWindowAttributes& shownAt) {
    returned = false;
    player = std::thread([this, steps, &shownAt] {
      Display* d = XOpenDisplay(nullptr);
      std::vector<Window> shown = waitForMenus(d, 1);
      if (!shown.empty()) XGetWindowAttributes(d, shown[0], &shownAt);
      for (const Step& s : steps) {
        if (s.kind == Step::kKey) fakeTap(d, s.sym);
        if (s.kind == Step::kClickOutside) fakeMove(d, 5, 1000);
        if (s.kind == Step::kHover || s.kind == Step::kClick) {
          if ((shown = waitForMenus(d, s.depth + 1)).empty()) break;
          XWindowAttributes a{};
          XGetWindowAttributes(d, shown[s.depth], &a);
          const CRect r = X11::layoutMenu(s.depth ? *sub : *menu).items[static_cast<size_t>(s.entry)];
          const int y = a.y + static_cast<int>(r.top + r.bottom) / 2;
          fakeMove(d, a.x + static_cast<int>(r.left + r.right) / 2 - 10, y);
          fakeMove(d, a.x + static_cast<int>(r.left + r.right) / 2, y);
        }
        if (s.kind == Step::kClick || s.kind == Step::kClickOutside) fakeClick(d, 1);
      }
      for (int i = 0; i < 400 && !returned; ++i) sleepMs(5);
      if (!returned) fakeTap(d, XK_Escape);
      XCloseDisplay(d);
    });
    const bool chosen = menu->popup();
    returned = true;
    player.join();
    return chosen;
  }

  COptionMenu* menu = nullptr;
  COptionMenu* sub = nullptr;
  std::thread player;
  std::atomic<bool> returned{false};
};

TEST_F(X11Menus, MouseAndKeysChooseAnEntryOrNothingAndTheMenuOpensAtThePointerAndGoes) {
  const int kNone = -1;  // which menu holds the choice: 0 the top menu, 1 the sub-menu
  const struct {
    std::vector<Step> steps;
    int menu, index;
  } cases[] = {
      {{clickOn(0, 1)}, 0, 1},
      {{{Step::kHover, NoSymbol, 0, 3}, clickOn(1, 1)}, 1, 1},              // the sub-menu cascades on hover
      {{clickOn(0, 4), clickOn(0, 2), {Step::kKey, XK_Escape}}, kNone, 0},  // headings, separators do nothing
      {{{Step::kClickOutside}}, kNone, 0},
      // Down x3 skips the separator: One, Two, More; Right opens it on Three; Down, Return: Four.
      {keys({XK_Down, XK_Down, XK_Down, XK_Right, XK_Down, XK_Return}), 1, 1},
      {keys({XK_Up, XK_Up, XK_Up, XK_Return}), 0, 0},                 // from nothing, Up starts at the end
      {keys({XK_Down, XK_Up, XK_Return, XK_Return}), 1, 0},           // Up from the first wraps to More
      {keys({XK_Down, XK_Down, XK_Down, XK_Down, XK_Return}), 0, 0},  // and Down from the last
      {keys({XK_Down, XK_Down, XK_Down, XK_Right, XK_Left, XK_Up, XK_Return}), 0, 1}};  // Left closes
  COptionMenu* const holders[] = {menu, sub};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    const CPoint start = rootOf(frame, 160, 30);
    fakeMove(user, static_cast<int>(start.x), static_cast<int>(start.y));
    XWindowAttributes shownAt{};
    EXPECT_EQ(popupPlaying(c.steps, shownAt), c.menu != kNone);
    EXPECT_EQ(menu->getLastItemMenu(), c.menu == kNone ? nullptr : holders[c.menu]);
    EXPECT_EQ(menu->getLastResult(), c.menu == kNone ? -1 : c.index);
    EXPECT_EQ(CPoint(shownAt.x, shownAt.y), start);
    EXPECT_TRUE(windowsOfType("_NET_WM_WINDOW_TYPE_POPUP_MENU").empty());
    EXPECT_EQ(tryGrabs(user), kNoGrabs);
  }
  EXPECT_EQ(menu->getCurrentIndex(true), 1) << "the last choice in the top menu is its current entry";

  // At the screen's corner the menu stays wholly on screen.
  const int screenW = DisplayWidth(user, DefaultScreen(user));
  const int screenH = DisplayHeight(user, DefaultScreen(user));
  fakeMove(user, screenW - 1, screenH - 1);
  XWindowAttributes a{};
  EXPECT_FALSE(popupPlaying(keys({XK_Escape}), a));
  EXPECT_TRUE(a.width > 0 && a.x >= 0 && a.y >= 0 && a.x + a.width <= screenW && a.y + a.height <= screenH);
  EXPECT_EQ(CPoint(a.x + a.width, a.y + a.height), CPoint(screenW - 1, screenH - 1)) << "flipped up and left";
}

TEST(X11MenuPlace, OpensWhereItFitsFlippingLeftOrUpOnASmallScreen) {
  // A 640 x 480 monitor right of a 100 x 50 strip; menus of 200 x 150 unless the case says.
  const CRect screen(100, 50, 740, 530);
  using A = X11::MenuAnchor;
  const struct {
    A anchor;
    int w, h;
    CPoint at;
  } cases[] = {
      {A::at(300, 200), 200, 150, {300, 200}},
      {A::at(540, 380), 200, 150, {540, 380}},  // touching the right and bottom edges: still fits
      {A::at(541, 200), 200, 150, {341, 200}},  // one pixel more: opens left of the point
      {A::at(300, 381), 200, 150, {300, 231}},  // and above it
      {A::at(739, 529), 200, 150, {539, 379}},
      {A::at(300, 200), 500, 150, {240, 200}},  // fits on neither side: pushed in from the right
      {A::at(300, 200), 700, 600, {100, 50}},   // larger than the screen: top-left corner shown
      {A::at(120, 60), 200, 150, {120, 60}},
      // Sub-menus beside a parent at x 150..350 or 500..700, level with its entry at y 100..120.
      {{348, 152, 97, 123}, 200, 150, {348, 97}},
      {{698, 502, 97, 123}, 200, 150, {302, 97}},    // no room right: on the parent's left side
      {{348, 152, 400, 426}, 200, 150, {348, 276}},  // no room below: its last entry level
      {{698, 502, 400, 426}, 450, 150, {290, 276}},  // fits on neither side: pushed in
  };
  for (const auto& c : cases)
    EXPECT_EQ(X11::placeMenu(c.w, c.h, c.anchor, screen), c.at) << "case " << &c - cases;

  // Two monitors side by side make one wide X screen: a menu keeps to the monitor it opened on.
  const std::vector<CRect> monitors = {CRect(0, 0, 1920, 1080), CRect(1920, 0, 3200, 1024)};
  const CRect whole(0, 0, 3200, 1080);
  const struct {
    std::vector<CRect> monitors;
    int x, y;
    CRect held;
  } points[] = {{monitors, 1919, 1079, monitors[0]},
                {monitors, 1920, 0, monitors[1]},
                {monitors, 2000, 1050, whole},  // below the smaller one
                {{}, 5, 5, whole},
                {{whole, CRect(0, 0, 1280, 1024)}, 5, 5, CRect(0, 0, 1280, 1024)}};  // mirrored
  for (const auto& p : points)
    EXPECT_EQ(X11::monitorHolding(p.monitors, p.x, p.y, whole), p.held) << "point " << &p - points;
  EXPECT_EQ(X11::placeMenu(300, 200, A::at(1915, 20), X11::monitorHolding(monitors, 1915, 20, whole)),
            CPoint(1615, 20));
}

TEST_F(X11Menus, MenuKeepsToTheMonitorItOpensOn) {
  // A small monitor whose bottom-right corner lies just past the pointer, on a larger screen.
  const CPoint start = rootOf(frame, 160, 150);
  const Window root = DefaultRootWindow(user);
  XRRMonitorInfo* small = XRRAllocateMonitor(user, 0);
  small->name = XInternAtom(user, "GRINDLE_TEST_SMALL", False);
  small->width = static_cast<int>(start.x) + 20;
  small->height = static_cast<int>(start.y) + 20;
  small->mwidth = small->width / 4;
  small->mheight = small->height / 4;
  XRRSetMonitor(user, root, small);
  fakeMove(user, static_cast<int>(start.x), static_cast<int>(start.y));
  XWindowAttributes a{};
  EXPECT_FALSE(popupPlaying(keys({XK_Escape}), a));
  XRRDeleteMonitor(user, root, small->name);
  XSync(user, False);
  EXPECT_EQ(CPoint(a.x + a.width, a.y + a.height), start) << "opened up and left of the pointer";
  XRRFreeMonitors(small);
}

TEST_F(X11Menus, HostDestroyingTheEditorsWindowEndsTheMenu) {
  const Window host = parent;
  player = std::thread([host] {
    Display* d = XOpenDisplay(nullptr);
    if (!waitForMenus(d, 1).empty()) XDestroyWindow(d, host);
    XCloseDisplay(d);
  });
  EXPECT_FALSE(menu->popup());
  player.join();
  parent = None;
  XSync(user, False);
  EXPECT_FALSE(x11(frame)->isWindowAlive());
  EXPECT_TRUE(windowsOfType("_NET_WM_WINDOW_TYPE_POPUP_MENU").empty());
  EXPECT_EQ(tryGrabs(user), kNoGrabs);
  frame->idle();  // nothing is drawn into a window that is gone, and nothing fails
}

TEST_F(X11Menus, MenuThatCannotHaveThePointerIsDismissedInsteadOfHanging) {
  // Another client (a host's own menu) holds the pointer for longer than the menu waits.
  ASSERT_EQ(XGrabPointer(user, parent, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                         CurrentTime),
            GrabSuccess);
  XSync(user, False);
  EXPECT_FALSE(menu->popup());
  XUngrabPointer(user, CurrentTime);
  XSync(user, False);
  EXPECT_TRUE(windowsOfType("_NET_WM_WINDOW_TYPE_POPUP_MENU").empty());
  EXPECT_EQ(tryGrabs(user), kNoGrabs);
}

}  // namespace
