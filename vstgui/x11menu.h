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

class X11MenuDriver : public IMenuDriver {
 public:
  explicit X11MenuDriver(X11Frame& owner);
  ~X11MenuDriver() override;
  MenuChoice runMenu(CFrame& frame, COptionMenu& menu, const CPoint& where) override;

 private:
  struct Level;
  bool openLevel(COptionMenu& menu, int x, int y, int parentLeft);
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
};

}  // namespace VSTGUI::X11
