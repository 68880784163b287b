// The conventions every plug-in control and graph screen follows: when it is inert, how it reads
// the wheel and a reset click, where its menus open and how a drag follows the pointer.
#pragma once

#include <cstdint>

#include "controls/uControlEditor.h"
#include "vstgui/cview.h"

// Tag of a control or screen that is bound to no single parameter.
inline constexpr int32_t NO_PARAM_TAG = 9999;

// What an inert or finished mouse-down answers: handled, and no moves or mouse-up to follow.
inline constexpr VSTGUI::CMouseEventResult MOUSE_DONE =
    VSTGUI::kMouseDownEventHandledButDontNeedMovedOrUpEvents;

// A view's visible flag, editor and plug-in: without all three it draws nothing, swallows
// clicks (MOUSE_DONE) and leaves the wheel to others.
inline ControlContext activeContext(const VSTGUI::CView* view) {
  return view && view->isVisible() ? controlContext(view) : ControlContext{};
}

// A point given in a view's parent coordinates, in frame coordinates (where menus open).
inline VSTGUI::CPoint framePoint(const VSTGUI::CView* view, const VSTGUI::CPoint& where) {
  VSTGUI::CPoint p(where);
  if (view) view->localToFrame(p);
  return p;
}

// +1, -1 or 0 (also for NaN) for a wheel distance.
constexpr int wheelSign(float distance) { return distance > 0.f ? 1 : (distance < 0.f ? -1 : 0); }

// The reset gesture: exactly Command+left, or a double-click with any modifiers.
inline constexpr int32_t RESET_CLICK = VSTGUI::kLButton | VSTGUI::kControl;
constexpr bool isResetClick(const VSTGUI::CButtonState& buttons) {
  return buttons == RESET_CLICK || buttons.isDoubleClick();
}

// Per-pixel step of a drag over `range`: `coarse` pixels for all of it, `fine` with Shift.
constexpr float dragStep(float range, const VSTGUI::CButtonState& buttons, float coarse, float fine) {
  return range / ((buttons & VSTGUI::kShift) ? fine : coarse);
}

// A drag value that follows the pointer distance from the mouse-down point. A change of the
// step (Shift pressed or let go) moves the anchor so that the value continues without a jump.
struct DragAxis {
  float anchor = 0.f;
  float perPixel = 0.f;
  void start(float value, float step) {
    anchor = value;
    perPixel = step;
  }
  float follow(float distance, float step) {
    anchor += (perPixel - step) * distance;
    perPixel = step;
    return step * distance + anchor;
  }
};
