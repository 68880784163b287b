// Pop-up menus of an X11 frame: override-redirect windows typed as pop-up menus, opened at the
// pointer, with cascading sub-menus, mouse and keyboard navigation. runMenu runs its own event
// loop until the user chooses or dismisses, keeps the editor's window painted meanwhile and
// releases its grabs before it returns.
#pragma once

#include <memory>
#include <vector>

#include "iplatformframe.h"
#include "x11popup.h"

union _XEvent;

namespace VSTGUI::X11 {

class X11Frame;

// Where the entries of a menu lie inside its window.
struct MenuGeometry {
  static constexpr int kItemHeight = 20;
  static constexpr int kSeparatorHeight = 7;
  static constexpr int kPadding = 3;     // above the first and below the last entry
  static constexpr int kTextLeft = 22;   // room for the check mark
  static constexpr int kTextRight = 24;  // room for the sub-menu arrow
  static constexpr int kMinWidth = 80;
  int width = 0;
  int height = 0;
  std::vector<CRect> items;  // one per entry, window coordinates
};
MenuGeometry layoutMenu(const COptionMenu& menu);

// Where a menu may open, in root coordinates: rightwards with its left edge at openRight or,
// flipped, leftwards with its right edge at openLeft; downwards with its top at openDown or,
// flipped, upwards with its bottom at openUp. A menu opened at a point has all four there; a
// sub-menu opens beside its parent, level with the entry that opened it.
struct MenuAnchor {
  int openRight, openLeft, openDown, openUp;
  static constexpr MenuAnchor at(int x, int y) { return {x, x, y, y}; }
};
// The top-left corner of a width x height menu within screen, as desktop menus open: on the
// anchor's preferred side where the menu fits, flipped to the other side where only that one
// fits, else pushed inside the screen (its top-left corner kept visible when it is larger).
CPoint placeMenu(int width, int height, const MenuAnchor& anchor, const CRect& screen);
// The monitor that holds the root point (x, y), among monitors (the smallest, where several
// overlap); whole when none does.
CRect monitorHolding(const std::vector<CRect>& monitors, int x, int y, const CRect& whole);

class X11MenuDriver : public IMenuDriver {
 public:
  explicit X11MenuDriver(X11Frame& owner);
  ~X11MenuDriver() override;
  MenuChoice runMenu(CFrame& frame, COptionMenu& menu, const CPoint& where) override;

 private:
  struct Level;
  bool openLevel(COptionMenu& menu, const MenuAnchor& anchor);
  void closeLevelsAbove(size_t depth);
  void drawLevel(Level& level);
  void setHighlight(size_t depth, int32_t index);
  bool hitTest(int rx, int ry, size_t& depth, int32_t& index) const;
  void openSubmenuOf(size_t depth, int32_t index, bool highlightFirst);
  void moveHighlight(int step);
  void handleEvent(_XEvent& event);

  X11Frame& owner;
  std::vector<std::unique_ptr<Level>> levels;
  MenuChoice choice;
  bool done = false;
  bool pressedInside = false;
  int startX = 0;
  int startY = 0;
  bool movedAway = false;
  CRect screen;  // the monitor the menu opened on: every level stays inside it
};

}  // namespace VSTGUI::X11
