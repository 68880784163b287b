#include "x11popup.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <algorithm>

#include "cdrawcontext.h"
#include "cfont.h"

namespace VSTGUI::X11 {

void keepOnScreen(int& x, int& y, int width, int height, int screenW, int screenH) {
  if (x + width > screenW) x = screenW - width;
  if (y + height > screenH) y = screenH - height;
  x = std::max(x, 0);
  y = std::max(y, 0);
}

bool screenTakesImagesDirectly(Display* display) {
  const int screen = DefaultScreen(display);
  const Visual* v = DefaultVisual(display, screen);
  return DefaultDepth(display, screen) == 24 && v->c_class == TrueColor && v->red_mask == 0xFF0000 &&
         v->green_mask == 0xFF00 && v->blue_mask == 0xFF && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
}

bool putImage(Display* display, unsigned long drawable, void* gc, cairo_surface_t* image, int x, int y, int w,
              int h) {
  if (!gc || !screenTakesImagesDirectly(display)) return false;
  const cairo_format_t format = cairo_image_surface_get_format(image);
  if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) return false;
  const int iw = cairo_image_surface_get_width(image);
  const int ih = cairo_image_surface_get_height(image);
  if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > iw || y + h > ih) return false;
  cairo_surface_flush(image);
  const int screen = DefaultScreen(display);
  XImage* ximage =
      XCreateImage(display, DefaultVisual(display, screen), 24, ZPixmap, 0,
                   reinterpret_cast<char*>(cairo_image_surface_get_data(image)), static_cast<unsigned>(iw),
                   static_cast<unsigned>(ih), 32, cairo_image_surface_get_stride(image));
  if (!ximage) return false;
  ximage->byte_order = LSBFirst;  // cairo keeps native 32-bit words (little-endian here)
  XPutImage(display, drawable, static_cast<GC>(gc), ximage, x, y, x, y, static_cast<unsigned>(w),
            static_cast<unsigned>(h));
  ximage->data = nullptr;  // the pixels stay the image's
  XDestroyImage(ximage);
  return true;
}

CCoord popupTextWidth(const std::string& text) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  cairo_t* cr = cairo_create(s);
  CCoord w = 0;
  {
    CDrawContext context(cr);
    context.setFont(kNormalFontSmall);
    w = context.getStringWidth(text.c_str());
  }
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return w;
}

PopupWindow::PopupWindow(Display* dpy, Atom typeProperty, Atom type, const char* windowName, bool exposure)
    : display(dpy),
      wmWindowType(typeProperty),
      windowType(type),
      name(windowName),
      answerExposure(exposure) {}

PopupWindow::~PopupWindow() {
  // The caller holds an error trap: the server may already have lost interest in us.
  if (copyGC) XFreeGC(display, static_cast<GC>(copyGC));
  if (background != None) XFreePixmap(display, background);
  if (window != None) XDestroyWindow(display, window);
}

bool PopupWindow::ensureWindow() {
  if (window != None) return true;
  const int screen = DefaultScreen(display);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.save_under = True;
  attributes.border_pixel = 0;
  attributes.background_pixel = WhitePixel(display, screen);
  attributes.colormap = DefaultColormap(display, screen);
  attributes.event_mask = answerExposure ? ExposureMask | StructureNotifyMask : NoEventMask;
  window = XCreateWindow(
      display, RootWindow(display, screen), 0, 0, 1, 1, 0, DefaultDepth(display, screen), InputOutput,
      DefaultVisual(display, screen),
      CWOverrideRedirect | CWSaveUnder | CWBorderPixel | CWBackPixel | CWColormap | CWEventMask, &attributes);
  if (window == None) return false;
  XChangeProperty(display, window, wmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&windowType), 1);
  XStoreName(display, window, name.c_str());
  // The source is always whole: no GraphicsExpose or NoExpose events for the copies.
  XGCValues values{};
  values.graphics_exposures = False;
  copyGC = XCreateGC(display, window, GCGraphicsExposures, &values);
  return true;
}

bool PopupWindow::show(int x, int y, int w, int h, const std::function<void(CDrawContext&)>& draw) {
  w = std::max(w, 1);
  h = std::max(h, 1);
  if (!ensureWindow()) return false;
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(image);
    return false;
  }
  cairo_t* cr = cairo_create(image);
  {
    CDrawContext context(cr);
    draw(context);
  }
  cairo_destroy(cr);
  cairo_surface_flush(image);

  const int screen = DefaultScreen(display);
  Pixmap pixmap = XCreatePixmap(display, window, static_cast<unsigned>(w), static_cast<unsigned>(h),
                                static_cast<unsigned>(DefaultDepth(display, screen)));
  GC gc = XCreateGC(display, pixmap, 0, nullptr);
  if (!putImage(display, pixmap, gc, image, 0, 0, w, h)) {
    cairo_surface_t* target =
        cairo_xlib_surface_create(display, pixmap, DefaultVisual(display, screen), w, h);
    cairo_t* copy = cairo_create(target);
    cairo_set_operator(copy, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(copy, image, 0, 0);
    cairo_paint(copy);
    cairo_destroy(copy);
    cairo_surface_flush(target);
    cairo_surface_destroy(target);
  }
  XFreeGC(display, gc);
  cairo_surface_destroy(image);

  XSetWindowBackgroundPixmap(display, window, pixmap);
  if (background != None) XFreePixmap(display, background);
  background = pixmap;
  XMoveResizeWindow(display, window, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (!shown) XMapRaised(display, window);
  shown = true;
  posX = x;
  posY = y;
  sizeW = w;
  sizeH = h;
  repaint(0, 0, w, h);
  XFlush(display);
  return true;
}

void PopupWindow::repaint(int x, int y, int w, int h) {
  if (!shown || background == None || !copyGC) return;
  XCopyArea(display, background, window, static_cast<GC>(copyGC), x, y, static_cast<unsigned>(w),
            static_cast<unsigned>(h), x, y);
}

bool PopupWindow::handleEvent(const XEvent& event) {
  if (window == None || event.xany.window != window) return false;
  if (event.type == Expose)
    repaint(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height);
  else if (event.type == MapNotify)
    repaint(0, 0, sizeW, sizeH);
  return true;
}

void PopupWindow::hide() {
  if (window != None && shown) {
    XUnmapWindow(display, window);
    XFlush(display);
  }
  shown = false;
}

bool PopupWindow::contains(int rx, int ry) const {
  return shown && rx >= posX && ry >= posY && rx < posX + sizeW && ry < posY + sizeH;
}

}  // namespace VSTGUI::X11
