#include "x11menu.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>
#include <poll.h>
#include <time.h>

#include <algorithm>

#include "ccolor.h"
#include "cdrawcontext.h"
#include "cfont.h"
#include "coptionmenu.h"
#include "x11errortrap.h"
#include "x11frame.h"

namespace VSTGUI::X11 {

namespace {

// Entries the highlight can rest on: those the user can choose and sub-menus that open.
bool isNavigable(const CMenuItem* item) {
  if (!item) return false;
  if (item->isSelectable()) return true;
  return item->getSubmenu() && item->isEnabled() && !item->isTitle() && !item->isSeparator() &&
         item->getSubmenu()->getNbEntries() > 0;
}

void sleepMs(long ms) {
  timespec t{0, ms * 1000000L};
  nanosleep(&t, nullptr);
}

// How far the pointer must travel from where the menu opened before a button release on an
// entry counts as a choice (the release of the click that opened the menu must not choose).
constexpr int kReleaseSlop = 4;

// One axis of a menu's place: starting at forward, or ending at backEnd, whichever keeps the
// whole menu within lo..hi; else as far towards forward as the screen lets it.
int placeSpan(int size, int forward, int backEnd, int lo, int hi) {
  if (forward >= lo && forward + size <= hi) return forward;
  if (backEnd - size >= lo && backEnd <= hi) return backEnd - size;
  return std::max(lo, std::min(forward, hi - size));
}

// The monitor that shows the root point (x, y): with several monitors the X screen spans them
// all, and a menu spilling over a monitor's edge is cut there or lands on the next one. The
// root's own size is asked afresh too, since the display's record of it goes stale when the
// resolution changes while the host runs.
CRect monitorAt(Display* display, int x, int y) {
  const Window root = DefaultRootWindow(display);
  CRect whole(0, 0, DisplayWidth(display, DefaultScreen(display)),
              DisplayHeight(display, DefaultScreen(display)));
  Window rootOfRoot = None;
  int gx = 0, gy = 0;
  unsigned int w = 0, h = 0, border = 0, depth = 0;
  if (XGetGeometry(display, root, &rootOfRoot, &gx, &gy, &w, &h, &border, &depth)) whole = CRect(0, 0, w, h);
  std::vector<CRect> monitors;
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  // Monitors are known to servers of RandR 1.5 and later.
  if (XRRQueryExtension(display, &eventBase, &errorBase) && XRRQueryVersion(display, &major, &minor) &&
      (major > 1 || (major == 1 && minor >= 5))) {
    int n = 0;
    if (XRRMonitorInfo* info = XRRGetMonitors(display, root, True, &n)) {
      for (int i = 0; i < n; ++i)
        monitors.emplace_back(info[i].x, info[i].y, info[i].x + info[i].width, info[i].y + info[i].height);
      XRRFreeMonitors(info);
    }
  }
  return monitorHolding(monitors, x, y, whole);
}

}  // namespace

CPoint placeMenu(int width, int height, const MenuAnchor& anchor, const CRect& screen) {
  return CPoint(placeSpan(width, anchor.openRight, anchor.openLeft, static_cast<int>(screen.left),
                          static_cast<int>(screen.right)),
                placeSpan(height, anchor.openDown, anchor.openUp, static_cast<int>(screen.top),
                          static_cast<int>(screen.bottom)));
}

CRect monitorHolding(const std::vector<CRect>& monitors, int x, int y, const CRect& whole) {
  // Mirrored monitors show the same point: keep to the smallest, so the menu is whole on each.
  const CRect* held = nullptr;
  for (const CRect& m : monitors)
    if (x >= m.left && x < m.right && y >= m.top && y < m.bottom &&
        (!held || m.getWidth() * m.getHeight() < held->getWidth() * held->getHeight()))
      held = &m;
  return held ? *held : whole;
}

MenuGeometry layoutMenu(const COptionMenu& menu) {
  MenuGeometry g;
  CCoord textWidth = 0;
  for (int32_t i = 0; i < menu.getNbEntries(); ++i) {
    const CMenuItem* item = menu.getEntry(i);
    if (item && !item->isSeparator()) textWidth = std::max(textWidth, popupTextWidth(item->getTitle()));
  }
  g.width = std::max(MenuGeometry::kMinWidth,
                     static_cast<int>(textWidth) + MenuGeometry::kTextLeft + MenuGeometry::kTextRight);
  int y = MenuGeometry::kPadding;
  for (int32_t i = 0; i < menu.getNbEntries(); ++i) {
    const CMenuItem* item = menu.getEntry(i);
    const int h = item && item->isSeparator() ? MenuGeometry::kSeparatorHeight : MenuGeometry::kItemHeight;
    g.items.emplace_back(0, y, g.width, y + h);
    y += h;
  }
  g.height = y + MenuGeometry::kPadding;
  return g;
}

struct X11MenuDriver::Level {
  COptionMenu* menu = nullptr;
  MenuGeometry geometry;
  std::unique_ptr<PopupWindow> window;
  int32_t highlight = -1;
  int x = 0;
  int y = 0;
};

X11MenuDriver::X11MenuDriver(X11Frame& frame) : owner(frame) {}

X11MenuDriver::~X11MenuDriver() = default;

bool X11MenuDriver::openLevel(COptionMenu& menu, const MenuAnchor& anchor) {
  auto level = std::make_unique<Level>();
  level->menu = &menu;
  level->geometry = layoutMenu(menu);
  const CPoint at = placeMenu(level->geometry.width, level->geometry.height, anchor, screen);
  level->x = static_cast<int>(at.x);
  level->y = static_cast<int>(at.y);
  level->window = std::make_unique<PopupWindow>(owner.getDisplay(), owner.getAtoms().wmWindowType,
                                                owner.getAtoms().typePopupMenu, "Menu");
  levels.push_back(std::move(level));
  drawLevel(*levels.back());
  return levels.back()->window->isShown();
}

void X11MenuDriver::drawLevel(Level& level) {
  const MenuGeometry& g = level.geometry;
  COptionMenu* menu = level.menu;
  const int32_t highlight = level.highlight;
  level.window->show(level.x, level.y, g.width, g.height, [&](CDrawContext& context) {
    context.setFillColor(CColor(242, 242, 242));
    context.fillRect(CRect(0, 0, g.width, g.height));
    context.setLineWidth(1);
    context.setFrameColor(CColor(120, 120, 120));
    context.drawRect(CRect(0, 0, g.width - 1, g.height - 1));
    context.setFont(kNormalFontSmall);
    for (int32_t i = 0; i < menu->getNbEntries() && i < static_cast<int32_t>(g.items.size()); ++i) {
      const CMenuItem* item = menu->getEntry(i);
      const CRect& r = g.items[static_cast<size_t>(i)];
      const CCoord mid = (r.top + r.bottom) / 2;
      if (item->isSeparator()) {
        context.setFrameColor(CColor(185, 185, 185));
        context.drawLine(CPoint(4, mid), CPoint(g.width - 4, mid));
        continue;
      }
      const bool lit = i == highlight;
      if (lit) {
        context.setFillColor(CColor(52, 101, 164));
        context.fillRect(CRect(1, r.top, g.width - 1, r.bottom));
      }
      CColor ink = lit ? CColor(255, 255, 255) : CColor(0, 0, 0);
      if (!item->isEnabled() || item->isTitle()) ink = CColor(128, 128, 128);
      context.setFontColor(ink);
      context.setFrameColor(ink);
      context.setFillColor(ink);
      if (item->isChecked()) {
        context.setLineWidth(2);
        context.drawPolyline({CPoint(7, mid), CPoint(10, mid + 3), CPoint(16, mid - 4)});
        context.setLineWidth(1);
      }
      context.drawString(item->getTitle().c_str(),
                         CRect(MenuGeometry::kTextLeft, r.top, g.width - MenuGeometry::kTextRight, r.bottom),
                         kLeftText);
      if (item->getSubmenu())
        context.drawPolygon(
            {CPoint(g.width - 14, mid - 4), CPoint(g.width - 14, mid + 4), CPoint(g.width - 9, mid)},
            kDrawFilled);
    }
  });
}

void X11MenuDriver::closeLevelsAbove(size_t depth) {
  while (levels.size() > depth) levels.pop_back();
}

void X11MenuDriver::setHighlight(size_t depth, int32_t index) {
  if (depth >= levels.size()) return;
  Level& level = *levels[depth];
  if (level.highlight == index) return;
  level.highlight = index;
  drawLevel(level);
}

bool X11MenuDriver::hitTest(int rx, int ry, size_t& depth, int32_t& index) const {
  for (size_t d = levels.size(); d-- > 0;) {
    const Level& level = *levels[d];
    if (!level.window->contains(rx, ry)) continue;
    depth = d;
    index = -1;
    const CPoint local(rx - level.x, ry - level.y);
    for (size_t i = 0; i < level.geometry.items.size(); ++i)
      if (level.geometry.items[i].pointInside(local)) index = static_cast<int32_t>(i);
    return true;
  }
  return false;
}

void X11MenuDriver::openSubmenuOf(size_t depth, int32_t index, bool highlightFirst) {
  if (depth >= levels.size()) return;
  Level& level = *levels[depth];
  CMenuItem* item = level.menu->getEntry(index);
  if (!isNavigable(item) || !item->getSubmenu()) return;
  COptionMenu* sub = item->getSubmenu();
  if (levels.size() > depth + 1 && levels[depth + 1]->menu == sub) {
    if (highlightFirst && levels[depth + 1]->highlight < 0) moveHighlight(1);
    return;
  }
  closeLevelsAbove(depth + 1);
  // Right of the parent, or left of it; its first entry level with this one, or, opening
  // upwards, its last. The two overlap by a pixel of border so they read as joined.
  const CRect& r = level.geometry.items[static_cast<size_t>(index)];
  const MenuAnchor beside{level.x + level.geometry.width - 2, level.x + 2,
                          level.y + static_cast<int>(r.top) - MenuGeometry::kPadding,
                          level.y + static_cast<int>(r.bottom) + MenuGeometry::kPadding};
  openLevel(*sub, beside);
  if (highlightFirst) moveHighlight(1);
}

void X11MenuDriver::moveHighlight(int step) {
  if (levels.empty()) return;
  Level& level = *levels.back();
  const int32_t n = level.menu->getNbEntries();
  if (n <= 0) return;
  int32_t i = level.highlight;
  if (i < 0) i = step > 0 ? -1 : 0;
  for (int32_t tries = 0; tries < n; ++tries) {
    i = ((i + step) % n + n) % n;
    if (isNavigable(level.menu->getEntry(i))) {
      setHighlight(levels.size() - 1, i);
      return;
    }
  }
}

void X11MenuDriver::handleEvent(XEvent& event) {
  if (event.xany.window == owner.getWindow()) {
    owner.handleEventWhileModal(event);
    if (!owner.isWindowAlive()) done = true;
    return;
  }
  Display* display = owner.getDisplay();
  size_t depth = 0;
  int32_t index = -1;
  switch (event.type) {
    case MotionNotify: {
      // Only the latest of a run of moves matters.
      XEvent next;
      while (XPending(display) && (XPeekEvent(display, &next), next.type == MotionNotify))
        XNextEvent(display, &event);
      const int rx = event.xmotion.x_root;
      const int ry = event.xmotion.y_root;
      if (std::abs(rx - startX) > kReleaseSlop || std::abs(ry - startY) > kReleaseSlop) movedAway = true;
      if (!hitTest(rx, ry, depth, index)) break;
      CMenuItem* item = index >= 0 ? levels[depth]->menu->getEntry(index) : nullptr;
      if (!isNavigable(item)) index = -1;
      if (levels.size() > depth + 1 &&
          !(item && item->getSubmenu() && levels[depth + 1]->menu == item->getSubmenu()))
        closeLevelsAbove(depth + 1);
      setHighlight(depth, index);
      if (item && index >= 0 && item->getSubmenu()) openSubmenuOf(depth, index, false);
      break;
    }
    case ButtonPress:
      if (event.xbutton.button > Button3) break;
      if (!hitTest(event.xbutton.x_root, event.xbutton.y_root, depth, index)) {
        done = true;  // a click anywhere else dismisses the menu
        break;
      }
      pressedInside = true;
      if (index >= 0) {
        CMenuItem* item = levels[depth]->menu->getEntry(index);
        if (item && item->getSubmenu()) openSubmenuOf(depth, index, false);
      }
      break;
    case ButtonRelease: {
      if (event.xbutton.button > Button3) break;
      const int rx = event.xbutton.x_root;
      const int ry = event.xbutton.y_root;
      if (std::abs(rx - startX) > kReleaseSlop || std::abs(ry - startY) > kReleaseSlop) movedAway = true;
      if (!hitTest(rx, ry, depth, index) || index < 0) break;
      if (!pressedInside && !movedAway) break;
      CMenuItem* item = levels[depth]->menu->getEntry(index);
      if (item && item->isSelectable()) {
        choice = MenuChoice{levels[depth]->menu, index};
        done = true;
      }
      break;
    }
    case KeyPress: {
      const KeySym sym = XLookupKeysym(&event.xkey, 0);
      Level& deepest = *levels.back();
      CMenuItem* lit = deepest.highlight >= 0 ? deepest.menu->getEntry(deepest.highlight) : nullptr;
      switch (sym) {
        case XK_Escape:
          done = true;
          break;
        case XK_Up:
        case XK_KP_Up:
          moveHighlight(-1);
          break;
        case XK_Down:
        case XK_KP_Down:
          moveHighlight(1);
          break;
        case XK_Left:
        case XK_KP_Left:
          if (levels.size() > 1) closeLevelsAbove(levels.size() - 1);
          break;
        case XK_Right:
        case XK_KP_Right:
          if (lit && lit->getSubmenu()) openSubmenuOf(levels.size() - 1, deepest.highlight, true);
          break;
        case XK_Return:
        case XK_KP_Enter:
        case XK_space:
          if (lit && lit->isSelectable()) {
            choice = MenuChoice{deepest.menu, deepest.highlight};
            done = true;
          } else if (lit && lit->getSubmenu()) {
            openSubmenuOf(levels.size() - 1, deepest.highlight, true);
          }
          break;
        default:
          break;
      }
      break;
    }
    default:
      break;
  }
}

MenuChoice X11MenuDriver::runMenu(CFrame&, COptionMenu& menu, const CPoint& where) {
  if (!owner.isWindowAlive() || !levels.empty() || menu.getNbEntries() <= 0) return MenuChoice{};
  Display* display = owner.getDisplay();
  XErrorTrap trap(display);
  owner.hideTooltip();
  int x = 0;
  int y = 0;
  if (!owner.pointerOnRoot(x, y)) {
    Window child = None;
    XTranslateCoordinates(display, owner.getWindow(), DefaultRootWindow(display), static_cast<int>(where.x),
                          static_cast<int>(where.y), &x, &y, &child);
  }
  choice = MenuChoice{};
  done = false;
  pressedInside = false;
  movedAway = false;
  startX = x;
  startY = y;
  owner.enterMenu();
  screen = monitorAt(display, x, y);
  if (openLevel(menu, MenuAnchor::at(x, y))) {
    const Window grabWindow = levels.front()->window->getWindow();
    XSync(display, False);
    // Another client may hold a grab for a moment (the host's own menu closing): retry briefly.
    bool pointerGrabbed = false;
    for (int attempt = 0; attempt < 50 && !pointerGrabbed; ++attempt) {
      pointerGrabbed =
          XGrabPointer(display, grabWindow, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                       GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
      if (!pointerGrabbed) sleepMs(4);
    }
    bool keyboardGrabbed = false;
    // Without the pointer no click outside could be seen and the menu might never close.
    if (!pointerGrabbed) done = true;
    for (int attempt = 0; attempt < 50 && !keyboardGrabbed && pointerGrabbed; ++attempt) {
      keyboardGrabbed =
          XGrabKeyboard(display, grabWindow, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
      if (!keyboardGrabbed) sleepMs(4);
    }
    while (!done && owner.isWindowAlive()) {
      while (!done && XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        handleEvent(event);
      }
      if (done) break;
      pollfd fd{ConnectionNumber(display), POLLIN, 0};
      poll(&fd, 1, 15);
      // Other editors of the process stay drawn too (they get no input: we hold the grabs).
      for (X11Frame* other : openFrames())
        if (other != &owner) other->pumpWhileModal();
    }
    if (pointerGrabbed) XUngrabPointer(display, CurrentTime);
    if (keyboardGrabbed) XUngrabKeyboard(display, CurrentTime);
  }
  closeLevelsAbove(0);
  XFlush(display);
  owner.leaveMenu();
  return choice;
}

}  // namespace VSTGUI::X11
