// Small override-redirect windows above the host (tool-tips and pop-up menus): their content is
// drawn with the toolkit into a pixmap before the window is mapped and handed to the server as
// the window's background, so the server shows it from the first frame and repaints it without
// our help. The pixmap is also copied in right after mapping, and a window that answers
// exposure copies it again on every Expose and on its MapNotify: a compositing manager that
// starts watching the window only after the map-time paint still sees the content drawn.
#pragma once

#include <functional>
#include <string>

#include "cgeometry.h"

typedef struct _XDisplay Display;
union _XEvent;

namespace VSTGUI::X11 {

using Window = unsigned long;
using Atom = unsigned long;
using Pixmap = unsigned long;

class PopupWindow {
 public:
  // windowType: the _NET_WM_WINDOW_TYPE_* atom the window carries. answerExposure: the window
  // selects Expose and MapNotify, which its owner passes to handleEvent.
  PopupWindow(Display* display, Atom wmWindowType, Atom windowType, const char* name,
              bool answerExposure = false);
  ~PopupWindow();
  PopupWindow(const PopupWindow&) = delete;
  PopupWindow& operator=(const PopupWindow&) = delete;

  // Draws the content (width x height, top-left at (x, y) on the root window) and shows it.
  // draw receives a drawing context on an image of that size. False when the window or its
  // image could not be made.
  bool show(int x, int y, int width, int height, const std::function<void(CDrawContext&)>& draw);
  void hide();
  // Repaints from the drawn content when event is an Expose or MapNotify of this window; true
  // when the event was this window's (the caller then looks no further).
  bool handleEvent(const _XEvent& event);
  // Copies the drawn content into the rectangle (x, y, w, h) of the shown window.
  void repaint(int x, int y, int w, int h);
  Window getWindow() const { return window; }
  bool isShown() const { return shown; }
  int x() const { return posX; }
  int y() const { return posY; }
  int width() const { return sizeW; }
  int height() const { return sizeH; }
  // True when the root point (rx, ry) lies inside the shown window.
  bool contains(int rx, int ry) const;

 private:
  bool ensureWindow();

  Display* display;
  Atom wmWindowType;
  Atom windowType;
  std::string name;
  bool answerExposure;
  Window window = 0;
  Pixmap background = 0;
  void* copyGC = nullptr;
  bool shown = false;
  int posX = 0;
  int posY = 0;
  int sizeW = 0;
  int sizeH = 0;
};

// Places a box of width x height with its top-left at (x, y) on a screen of screenW x screenH,
// moving it left and up as little as needed to keep it whole on the screen (and never above or
// left of the screen's origin).
void keepOnScreen(int& x, int& y, int width, int height, int screenW, int screenH);

// Whether the screen's default visual stores pixels as cairo's 32-bit images do (24-bit true
// colour, red in the high byte), so images can go to the server without conversion.
bool screenTakesImagesDirectly(Display* display);
// Copies the rectangle (x, y, w, h) of a cairo image (ARGB32 or RGB24) to the same place of a
// drawable of the screen's default visual and depth, through gc. False when the formats differ
// (the caller then draws with cairo).
bool putImage(Display* display, unsigned long drawable, void* gc, cairo_surface_t* image, int x, int y, int w,
              int h);

// Width of text in the pop-ups' font.
CCoord popupTextWidth(const std::string& text);

}  // namespace VSTGUI::X11
