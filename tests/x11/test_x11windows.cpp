// The frame's window, its pop-up menus and tool-tips as the X server sees them.
#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <dirent.h>

#include <atomic>
#include <thread>

#include "platform/os/processRunner.h"
#include "vstgui/x11menu.h"
#include "x11TestEnv.h"

using namespace VSTGUI;
using namespace x11test;

namespace {

// The menu tests play the user from a second thread while the test's thread sits in the menu's
// own loop; each thread has its own connection.
const bool gThreadsReady = [] { return XInitThreads() != 0; }();

int openDescriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

class X11Windows : public X11Fixture {
 protected:
  void TearDown() override {
    if (frame) frame->close();
    frame = nullptr;
    X11Fixture::TearDown();
  }
  CFrame* frame = nullptr;
  RecordingView* view = nullptr;
};

TEST_F(X11Windows, WindowIsAnEmbeddableChildShowingExactlyTheFrameImage) {
  frame = openFrame(parent, &view);
  ASSERT_NE(frame, nullptr);
  auto* platform = x11(frame);
  ASSERT_NE(platform, nullptr);
  // A direct child of the host's window, with the embedding information hosts look for.
  Window root = None, parentOut = None;
  Window* children = nullptr;
  unsigned int count = 0;
  ASSERT_TRUE(XQueryTree(user, platform->getWindow(), &root, &parentOut, &children, &count));
  if (children) XFree(children);
  EXPECT_EQ(parentOut, parent);
  const Atom xembed = XInternAtom(user, "_XEMBED_INFO", False);
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(user, platform->getWindow(), xembed, 0, 2, False, xembed, &type, &format,
                               &items, &after, &data),
            Success);
  ASSERT_EQ(items, 2u);
  EXPECT_EQ(reinterpret_cast<long*>(data)[1] & 1, 1) << "mapped flag";
  XFree(data);

  // Some text and shapes so the comparison is not of flat colours only.
  auto* label = new COptionMenu(CRect(140, 30, 300, 60), nullptr, 1);
  label->addEntry("Grindle 2.0 -42 dB");
  label->setCurrent(0);
  label->setFontColor(CColor(255, 255, 0));
  frame->addView(label);
  frame->idle();
  XSync(user, False);
  const std::vector<uint32_t> image = framePixels(frame);
  ASSERT_EQ(image.size(), static_cast<size_t>(kWidth * kHeight));
  EXPECT_EQ(windowPixels(platform->getWindow(), kWidth, kHeight), image);

  // Exposure after being covered repaints the same pixels without a redraw.
  Window cover = makeParent(kParentX + 10, kParentY + 10, 100, 100);
  XDestroyWindow(user, cover);
  XSync(user, False);
  EXPECT_NE(windowPixels(platform->getWindow(), kWidth, kHeight), image) << "the cover left its mark";
  ASSERT_TRUE(
      pumpUntil(frame, [&] { return windowPixels(platform->getWindow(), kWidth, kHeight) == image; }));
  EXPECT_TRUE(frame->getInvalidRegions().empty());
}

TEST_F(X11Windows, ToolTipWindowAppearsAfterTheDelayAndGoesOnClickAndWithTheEditor) {
  frame = openFrame(parent, &view);
  ASSERT_NE(frame, nullptr);
  frame->enableTooltips(true, 150);
  view->setTooltipText("Drive: 3.5 dB");
  int rx = 0, ry = 0;
  frameToRoot(frame, 60, 60, rx, ry);
  moveTo(rx, ry);
  ASSERT_TRUE(pointerReached(frame, 60, 60));
  EXPECT_TRUE(windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP").empty()) << "not before the delay";
  ASSERT_TRUE(pumpUntil(frame, [&] { return !windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP").empty(); }));
  const Window tip = windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP").front();
  EXPECT_EQ(tip, x11(frame)->getTooltipWindow());
  XWindowAttributes a{};
  XGetWindowAttributes(user, tip, &a);
  EXPECT_GT(a.y, ry) << "below the pointer";
  EXPECT_GT(a.width, 40);

  click(1);
  ASSERT_TRUE(pumpUntil(frame, [&] { return windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP").empty(); }));

  // Back on the view it shows again; moving onto the background hides it.
  moveTo(rx + 2, ry + 2);
  ASSERT_TRUE(pointerReached(frame, 62, 62));
  frameToRoot(frame, 200, 150, rx, ry);
  moveTo(rx, ry);
  ASSERT_TRUE(pointerReached(frame, 200, 150));
  frameToRoot(frame, 70, 70, rx, ry);
  moveTo(rx, ry);
  ASSERT_TRUE(pumpUntil(frame, [&] { return !windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP").empty(); }));
  frameToRoot(frame, 250, 150, rx, ry);
  moveTo(rx, ry);
  ASSERT_TRUE(pumpUntil(frame, [&] { return windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP").empty(); }));

  // Leaving the editor's window altogether hides it too.
  moveTo(rx - 180, ry - 80);
  ASSERT_TRUE(pumpUntil(frame, [&] { return !windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP").empty(); }));
  moveTo(1270, 1010);
  ASSERT_TRUE(pumpUntil(frame, [&] { return windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP").empty(); }));

  frameToRoot(frame, 60, 60, rx, ry);
  moveTo(rx, ry);
  ASSERT_TRUE(pumpUntil(frame, [&] { return !windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP").empty(); }));
  frame->close();
  frame = nullptr;
  XSync(user, False);
  EXPECT_TRUE(windowsOfType("_NET_WM_WINDOW_TYPE_TOOLTIP").empty());
}

class X11Menus : public X11Windows {
 protected:
  void SetUp() override {
    X11Windows::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    frame = openFrame(parent, &view);
    ASSERT_NE(frame, nullptr);
    menu = new COptionMenu(CRect(150, 20, 250, 40), nullptr, 7);
    menu->addEntry("One");
    menu->addEntry("Two");
    menu->addSeparator();
    sub = new COptionMenu();
    sub->addEntry("Three");
    sub->addEntry("Four");
    menu->addEntry(sub, "More");
    sub->forget();
    menu->addEntry("-GHeading");
    frame->addView(menu);
    frame->idle();
    frameToRoot(frame, 160, 30, startX, startY);
    moveTo(startX, startY);
  }
  void TearDown() override {
    if (player.joinable()) player.join();
    X11Windows::TearDown();
  }
  // Plays script on a connection of its own while the menu runs here.
  void play(std::function<void(Display*)> script) {
    player = std::thread([script] {
      Display* d = XOpenDisplay(nullptr);
      if (!d) return;
      script(d);
      XCloseDisplay(d);
    });
  }
  // Waits (on d) for the count of shown menus to reach n and for the menu's pointer and
  // keyboard grabs (before them, input would go elsewhere); the menus' windows.
  static std::vector<Window> waitForMenus(Display* d, size_t n) {
    for (int i = 0; i < 1000; ++i) {
      std::vector<Window> found = x11test::windowsOfType(d, "_NET_WM_WINDOW_TYPE_POPUP_MENU");
      if (found.size() == n && menuHoldsGrabs(d)) return found;
      sleepMs(5);
    }
    return {};
  }
  static bool menuHoldsGrabs(Display* d) {
    const Window root = DefaultRootWindow(d);
    const int pointer =
        XGrabPointer(d, root, False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    if (pointer == GrabSuccess) XUngrabPointer(d, CurrentTime);
    const int keyboard = XGrabKeyboard(d, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (keyboard == GrabSuccess) XUngrabKeyboard(d, CurrentTime);
    XSync(d, False);
    return pointer == AlreadyGrabbed && keyboard == AlreadyGrabbed;
  }
  // Root centre of entry index of the menu shown in window w.
  static void entryCentre(Display* d, Window w, const COptionMenu& m, int index, int& x, int& y) {
    XWindowAttributes a{};
    XGetWindowAttributes(d, w, &a);
    const X11::MenuGeometry g = X11::layoutMenu(m);
    const CRect& r = g.items[static_cast<size_t>(index)];
    x = a.x + static_cast<int>((r.left + r.right) / 2);
    y = a.y + static_cast<int>((r.top + r.bottom) / 2);
  }
  bool noGrabLeft() {
    // Our own grab succeeds only when the menu released its grabs.
    const Window root = DefaultRootWindow(user);
    const bool free =
        XGrabPointer(user, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                     CurrentTime) == GrabSuccess &&
        XGrabKeyboard(user, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    XUngrabPointer(user, CurrentTime);
    XUngrabKeyboard(user, CurrentTime);
    XSync(user, False);
    return free;
  }

  COptionMenu* menu = nullptr;
  COptionMenu* sub = nullptr;
  std::thread player;
  int startX = 0;
  int startY = 0;
};

TEST_F(X11Menus, ClickOnAnEntryChoosesItAndTheMenuOpensAtThePointerAndGoes) {
  std::atomic<int> menuX{-1}, menuY{-1};
  COptionMenu* m = menu;
  play([&, m](Display* d) {
    const std::vector<Window> shown = waitForMenus(d, 1);
    if (shown.empty()) return;
    XWindowAttributes a{};
    XGetWindowAttributes(d, shown[0], &a);
    menuX = a.x;
    menuY = a.y;
    int x = 0, y = 0;
    entryCentre(d, shown[0], *m, 1, x, y);
    fakeMove(d, x, y);
    fakeButton(d, 1, true);
    fakeButton(d, 1, false);
  });
  EXPECT_TRUE(menu->popup());
  player.join();
  EXPECT_EQ(menu->getLastResult(), 1);
  EXPECT_EQ(menu->getLastItemMenu(), menu);
  EXPECT_EQ(menu->getCurrentIndex(true), 1);
  EXPECT_EQ(menuX.load(), startX);
  EXPECT_EQ(menuY.load(), startY);
  XSync(user, False);
  EXPECT_TRUE(windowsOfType("_NET_WM_WINDOW_TYPE_POPUP_MENU").empty());
  EXPECT_TRUE(noGrabLeft());
}

TEST_F(X11Menus, SubMenuCascadesOnHoverAndItsEntryIsChosen) {
  COptionMenu* m = menu;
  COptionMenu* s = sub;
  play([m, s](Display* d) {
    std::vector<Window> shown = waitForMenus(d, 1);
    if (shown.empty()) return;
    int x = 0, y = 0;
    entryCentre(d, shown[0], *m, 3, x, y);
    fakeMove(d, x - 10, y);
    fakeMove(d, x, y);
    shown = waitForMenus(d, 2);
    if (shown.size() != 2) return;
    // The sub-menu is the one that is not the top menu's window.
    const Window top = shown[0];
    XWindowAttributes a{};
    XGetWindowAttributes(d, top, &a);
    Window inner = shown[1];
    XWindowAttributes b{};
    XGetWindowAttributes(d, inner, &b);
    if (b.x < a.x) std::swap(inner, shown[0]);
    entryCentre(d, inner, *s, 1, x, y);
    fakeMove(d, x, y);
    fakeButton(d, 1, true);
    fakeButton(d, 1, false);
  });
  EXPECT_TRUE(menu->popup());
  player.join();
  EXPECT_EQ(menu->getLastItemMenu(), sub);
  EXPECT_EQ(menu->getLastResult(), 1);
  EXPECT_TRUE(noGrabLeft());
}

TEST_F(X11Menus, EscapeClickOutsideAndHeadingsDismissOrDoNothing) {
  COptionMenu* m = menu;
  play([m](Display* d) {
    std::vector<Window> shown = waitForMenus(d, 1);
    if (shown.empty()) return;
    // A click on the heading and on the separator chooses nothing; Escape then dismisses.
    int x = 0, y = 0;
    entryCentre(d, shown[0], *m, 4, x, y);
    fakeMove(d, x, y);
    fakeButton(d, 1, true);
    fakeButton(d, 1, false);
    entryCentre(d, shown[0], *m, 2, x, y);
    fakeMove(d, x, y);
    fakeButton(d, 1, true);
    fakeButton(d, 1, false);
    fakeKey(d, XK_Escape, true);
    fakeKey(d, XK_Escape, false);
  });
  EXPECT_FALSE(menu->popup());
  player.join();
  EXPECT_EQ(menu->getLastItemMenu(), nullptr);
  EXPECT_TRUE(noGrabLeft());

  moveTo(startX, startY);
  play([](Display* d) {
    std::vector<Window> shown = waitForMenus(d, 1);
    if (shown.empty()) return;
    fakeMove(d, 5, 1000);
    fakeButton(d, 1, true);
    fakeButton(d, 1, false);
  });
  EXPECT_FALSE(menu->popup());
  player.join();
  XSync(user, False);
  EXPECT_TRUE(windowsOfType("_NET_WM_WINDOW_TYPE_POPUP_MENU").empty());
  EXPECT_TRUE(noGrabLeft());
}

TEST_F(X11Menus, KeyboardWalksIntoTheSubMenuAndChooses) {
  play([](Display* d) {
    if (waitForMenus(d, 1).empty()) return;
    // Down x3 skips the separator: One, Two, More; Right opens it on Three; Down, Return: Four.
    for (KeySym k : {XK_Down, XK_Down, XK_Down, XK_Right, XK_Down, XK_Return}) {
      fakeKey(d, k, true);
      fakeKey(d, k, false);
    }
  });
  EXPECT_TRUE(menu->popup());
  player.join();
  EXPECT_EQ(menu->getLastItemMenu(), sub);
  EXPECT_EQ(menu->getLastResult(), 1);
}

TEST_F(X11Menus, HostDestroyingTheEditorsWindowEndsTheMenu) {
  const Window host = parent;
  play([host](Display* d) {
    if (waitForMenus(d, 1).empty()) return;
    XDestroyWindow(d, host);
    XSync(d, False);
  });
  EXPECT_FALSE(menu->popup());
  player.join();
  parent = None;
  XSync(user, False);
  EXPECT_FALSE(x11(frame)->isWindowAlive());
  EXPECT_TRUE(windowsOfType("_NET_WM_WINDOW_TYPE_POPUP_MENU").empty());
  EXPECT_TRUE(noGrabLeft());
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
  EXPECT_TRUE(noGrabLeft());
}

TEST_F(X11Menus, MenuNearTheScreenEdgeStaysWhollyOnScreen) {
  moveTo(1279, 1023);
  std::atomic<bool> inside{false};
  play([&](Display* d) {
    std::vector<Window> shown = waitForMenus(d, 1);
    if (shown.empty()) return;
    XWindowAttributes a{};
    XGetWindowAttributes(d, shown[0], &a);
    inside = a.x >= 0 && a.y >= 0 && a.x + a.width <= 1280 && a.y + a.height <= 1024;
    fakeKey(d, XK_Escape, true);
    fakeKey(d, XK_Escape, false);
  });
  EXPECT_FALSE(menu->popup());
  player.join();
  EXPECT_TRUE(inside.load());
}

TEST_F(X11Windows, FiftyOpenCloseCyclesLeaveNoWindowConnectionOrDescriptorBehind) {
  // The first cycle loads what stays loaded for the process (fonts, extension data).
  frame = openFrame(parent, &view);
  ASSERT_NE(frame, nullptr);
  frame->close();
  frame = nullptr;
  const int descriptors = openDescriptors();
  for (int i = 0; i < 50; ++i) {
    CFrame* f = openFrame(parent, &view);
    ASSERT_NE(f, nullptr) << "cycle " << i;
    f->enableTooltips(true, 0);
    view->setTooltipText("tip");
    f->idle();
    f->close();
  }
  EXPECT_EQ(openDescriptors(), descriptors);
  EXPECT_TRUE(X11::openFrames().empty());
  Window root = None, parentOut = None;
  Window* children = nullptr;
  unsigned int count = 0;
  ASSERT_TRUE(XQueryTree(user, parent, &root, &parentOut, &children, &count));
  if (children) XFree(children);
  EXPECT_EQ(count, 0u);
}

TEST_F(X11Windows, ParentDestroyedBeforeCloseIsSurvived) {
  // Destroyed, then idle and close (the host's usual order) ...
  frame = openFrame(parent, &view);
  ASSERT_NE(frame, nullptr);
  XDestroyWindow(user, parent);
  parent = None;
  XSync(user, False);
  ASSERT_TRUE(pumpUntil(frame, [&] { return !x11(frame)->isWindowAlive(); }));
  frame->invalid();
  frame->idle();
  frame->close();
  frame = nullptr;

  // ... and closed at once, with no idle in between; a tool-tip window was shown.
  parent = makeParent(kParentX, kParentY, kWidth, kHeight);
  frame = openFrame(parent, &view);
  ASSERT_NE(frame, nullptr);
  x11(frame)->showTooltip(CRect(0, 0, 10, 10), "tip");
  XDestroyWindow(user, parent);
  parent = None;
  XSync(user, False);
  frame->close();
  frame = nullptr;
  EXPECT_TRUE(X11::openFrames().empty());
}

TEST_F(X11Windows, OpenFailsCleanlyWithoutADisplayOrWithABadParent) {
  auto* f = new CFrame(CRect(0, 0, 50, 50), nullptr);
  EXPECT_FALSE(f->open(nullptr));
  // An id that names no window.
  EXPECT_FALSE(f->open(reinterpret_cast<void*>(static_cast<uintptr_t>(parent + 0x1234567))));
  const std::string display = getenv("DISPLAY");
  setenv("DISPLAY", ":65000", 1);
  EXPECT_FALSE(f->open(reinterpret_cast<void*>(static_cast<uintptr_t>(parent))));
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_TRUE(X11::openFrames().empty());
  EXPECT_TRUE(f->open(reinterpret_cast<void*>(static_cast<uintptr_t>(parent))));
  f->close();
}

TEST_F(X11Windows, SeveralEditorsAtOnceEachGetTheirOwnInput) {
  RecordingView* second = nullptr;
  Window other = makeParent(kParentX + kWidth + 60, kParentY, kWidth, kHeight);
  frame = openFrame(parent, &view);
  CFrame* frame2 = openFrame(other, &second);
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(frame2, nullptr);
  EXPECT_EQ(X11::openFrames().size(), 2u);
  int rx = 0, ry = 0;
  frameToRoot(frame2, 30, 40, rx, ry);
  moveTo(rx, ry);
  click(1);
  ASSERT_TRUE(pumpUntil(frame2, [&] {
    frame->idle();
    return second->events.size() >= 2;
  }));
  EXPECT_TRUE(view->events.empty() || view->events.front().kind != MouseRecord::kDown);
  frame2->close();
  XDestroyWindow(user, other);
  EXPECT_EQ(X11::openFrames().size(), 1u);
}

TEST_F(X11Windows, DialogWaitKeepsTheEditorRedrawnAndIgnoresClicks) {
  frame = openFrame(parent, &view);
  ASSERT_NE(frame, nullptr);
  XSync(user, False);
  const Window w = x11(frame)->getWindow();
  const uint32_t before = windowPixels(w, kWidth, kHeight)[50 * kWidth + 50];
  view->colour = CColor(0, 255, 0);
  view->setDirty();
  int rx = 0, ry = 0;
  frameToRoot(frame, 50, 50, rx, ry);
  moveTo(rx, ry);
  click(1);
  // A child that runs for a while: the wait pumps the editor, which redraws the view.
  const platform::ProcessResult r = platform::runProcess({"sleep", "0.3"});
  ASSERT_TRUE(r.started);
  XSync(user, False);
  const uint32_t after = windowPixels(w, kWidth, kHeight)[50 * kWidth + 50];
  EXPECT_NE(before, after);
  EXPECT_EQ(after, 0x00FF00u);
  EXPECT_TRUE(view->events.empty()) << "clicks during a dialog are not delivered";
}

}  // namespace
