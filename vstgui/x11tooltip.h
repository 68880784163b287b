// The tool-tip window of an X11 frame: a small box near the pointer, typed as a tool-tip so
// compositors treat it as one.
#pragma once

#include <string>

#include "x11popup.h"

namespace VSTGUI::X11 {

class X11Frame;

class X11Tooltip {
 public:
  static constexpr int kPaddingX = 5;
  static constexpr int kPaddingY = 3;
  static constexpr int kLineHeight = 15;
  // Distance below the pointer's hot spot.
  static constexpr int kOffsetY = 20;

  explicit X11Tooltip(X11Frame& owner);
  // Shows text near the pointer (or, when the pointer is unknown, under viewRect's bottom-left
  // corner); a tool-tip already shown keeps its place and takes the new text.
  void show(const CRect& viewRect, const std::string& text);
  void hide();
  // Exposure of the tool-tip's window (see PopupWindow::handleEvent).
  bool handleEvent(const _XEvent& event);
  Window getWindow() const { return popup.isShown() ? popup.getWindow() : 0; }

 private:
  X11Frame& owner;
  PopupWindow popup;
};

}  // namespace VSTGUI::X11
