// A pop-up menu opened by a button press and used without letting go: the release over an entry
// chooses it, the release where the press was leaves the menu open, and a release on a heading,
// a separator or outside every menu chooses nothing.
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "vstgui/x11menu.h"
#include "x11TestEnv.h"

using namespace VSTGUI;
using namespace x11test;

namespace {

const bool gThreadsReady = [] { return XInitThreads() != 0; }();

// Waits (on d) for n menus to show; their windows, left to right (empty on time-out).
std::vector<Window> menusShown(Display* d, size_t n) {
  for (int i = 0; i < 1000; ++i, sleepMs(5)) {
    std::vector<Window> found = windowsOfType(d, "_NET_WM_WINDOW_TYPE_POPUP_MENU");
    if (found.size() != n) continue;
    const auto xOf = [d](Window w) {
      XWindowAttributes a{};
      XGetWindowAttributes(d, w, &a);
      return a.x;
    };
    std::sort(found.begin(), found.end(), [&](Window a, Window b) { return xOf(a) < xOf(b); });
    sleepMs(20);  // the grabs follow the mapping
    return found;
  }
  return {};
}

}  // namespace

class X11MenuDrag : public X11Fixture {
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

  COptionMenu* menu = nullptr;
  COptionMenu* sub = nullptr;
  std::thread player;
  std::atomic<bool> returned{false};
};

TEST_F(X11MenuDrag, PressDragReleaseChoosesWhereTheButtonGoesUp) {
  constexpr int kNone = -1;  // the release chooses nothing
  const struct {
    std::vector<std::pair<size_t, int>> path;  // (menu depth, entry) the pointer moves through
    int menuHolding, index;
  } cases[] = {
      {{{0, 1}}, 0, 1},                  // straight to "Two"
      {{{0, 0}, {0, 1}, {0, 0}}, 0, 0},  // back to "One"
      {{{0, 3}, {1, 1}}, 1, 1},          // through "More" into its sub-menu: "Four"
      {{{0, 4}}, kNone, 0},              // the heading
      {{{0, 2}}, kNone, 0},              // the separator
      {{}, kNone, 0},                    // no drag: the release of the opening press
  };
  COptionMenu* const holders[] = {menu, sub};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    const CPoint start = rootOf(frame, 160, 30);
    fakeMove(user, static_cast<int>(start.x), static_cast<int>(start.y));
    fakeButton(user, 1, true);
    XSync(user, False);
    returned = false;
    std::atomic<bool> stillOpen{false};
    player = std::thread([&] {
      Display* d = XOpenDisplay(nullptr);
      std::vector<Window> shown = menusShown(d, 1);
      for (const auto& [depth, entry] : c.path) {
        if ((shown = menusShown(d, depth + 1)).empty()) break;
        XWindowAttributes a{};
        XGetWindowAttributes(d, shown[depth], &a);
        const CRect r = X11::layoutMenu(depth ? *sub : *menu).items[static_cast<size_t>(entry)];
        const int x = a.x + static_cast<int>(r.left + r.right) / 2,
                  y = a.y + static_cast<int>(r.top + r.bottom) / 2;
        fakeMove(d, x - 10, y);
        fakeMove(d, x, y);
      }
      fakeButton(d, 1, false);
      XSync(d, False);
      for (int i = 0; i < 40 && !returned; ++i) sleepMs(5);
      stillOpen = !returned;
      if (!returned) fakeTap(d, XK_Escape);
      XCloseDisplay(d);
    });
    const bool chosen = menu->popup();
    returned = true;
    player.join();
    const int want = c.menuHolding;
    EXPECT_EQ(chosen, want >= 0);
    EXPECT_EQ(stillOpen.load(), want < 0) << "a release that chooses nothing leaves the menu open";
    EXPECT_EQ(menu->getLastItemMenu(), want < 0 ? nullptr : holders[want]);
    EXPECT_EQ(menu->getLastResult(), want < 0 ? -1 : c.index);
    EXPECT_TRUE(windowsOfType("_NET_WM_WINDOW_TYPE_POPUP_MENU").empty());
  }
}
