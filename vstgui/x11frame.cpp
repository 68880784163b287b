#include "x11frame.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <algorithm>
#include <mutex>

#include "cframe.h"
#include "platform/os/processRunner.h"
#include "x11errortrap.h"
#include "x11menu.h"
#include "x11popup.h"
#include "x11tooltip.h"

namespace VSTGUI::X11 {

namespace {

// The frames with an open window. Only the GUI thread opens, closes and pumps them; the lock
// guards against a host that opens editors from more than one thread.
std::mutex gFramesMutex;
std::vector<X11Frame*> gFrames;

void pumpAllWhileModal();

void addFrame(X11Frame* f) {
  std::lock_guard<std::mutex> lock(gFramesMutex);
  if (gFrames.empty()) platform::setModalPumpHook(&pumpAllWhileModal);
  gFrames.push_back(f);
}

void removeFrame(X11Frame* f) {
  std::lock_guard<std::mutex> lock(gFramesMutex);
  gFrames.erase(std::remove(gFrames.begin(), gFrames.end(), f), gFrames.end());
  if (gFrames.empty()) platform::setModalPumpHook({});
}

bool isOpenFrame(X11Frame* f) {
  std::lock_guard<std::mutex> lock(gFramesMutex);
  return std::find(gFrames.begin(), gFrames.end(), f) != gFrames.end();
}

void pumpAllWhileModal() {
  for (X11Frame* f : openFrames()) {
    // A frame may close while another one is pumped.
    if (isOpenFrame(f)) f->pumpWhileModal();
  }
}

IPlatformFrame* createPlatformFrame(CFrame* frame, void* parent) { return X11Frame::create(frame, parent); }

X11Frame::PointerEvent pointerEventOf(const XButtonEvent& e) {
  return X11Frame::PointerEvent{e.x, e.y, e.state, e.button, e.time};
}

constexpr long kXEmbedVersion = 0;
constexpr long kXEmbedMapped = 1 << 0;

}  // namespace

std::vector<X11Frame*> openFrames() {
  std::lock_guard<std::mutex> lock(gFramesMutex);
  return gFrames;
}

void install() { setNativePlatformFrameFactory(&createPlatformFrame); }

void uninstall() {
  if (getNativePlatformFrameFactory() == &createPlatformFrame) setNativePlatformFrameFactory(nullptr);
}

void Atoms::intern(Display* display) {
  const char* names[] = {
      "_XEMBED_INFO", "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_POPUP_MENU", "_NET_WM_WINDOW_TYPE_TOOLTIP",
      "_NET_WM_NAME", "UTF8_STRING"};
  Atom result[6] = {};
  XInternAtoms(display, const_cast<char**>(names), 6, False, result);
  xembedInfo = result[0];
  wmWindowType = result[1];
  typePopupMenu = result[2];
  typeTooltip = result[3];
  wmName = result[4];
  utf8String = result[5];
}

X11Frame* X11Frame::create(CFrame* frame, void* parentWindow) {
  const Window parent = static_cast<Window>(reinterpret_cast<uintptr_t>(parentWindow));
  if (!frame || parent == None) return nullptr;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  registerTrappedDisplay(display);
  auto* result = new X11Frame(frame, display, parent);
  if (!result->createWindow()) {
    delete result;
    return nullptr;
  }
  addFrame(result);
  return result;
}

X11Frame::X11Frame(CFrame* owner, Display* dpy, Window parentWindow)
    : frame(owner), display(dpy), parent(parentWindow), alive(std::make_shared<bool>(true)) {
  const CRect size = frame->getViewSize();
  width = std::max(1, static_cast<int>(size.getWidth()));
  height = std::max(1, static_cast<int>(size.getHeight()));
}

bool X11Frame::createWindow() {
  XErrorTrap trap(display);
  atoms.intern(display);
  // The host's window must exist; its visual does not matter, ours is the screen's default.
  XWindowAttributes parentAttributes{};
  if (!XGetWindowAttributes(display, parent, &parentAttributes) || trap.failed()) return false;
  const int screen = XScreenNumberOfScreen(parentAttributes.screen);
  Visual* windowVisual = DefaultVisual(display, screen);
  visual = windowVisual;
  depth = DefaultDepth(display, screen);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display, screen);
  attributes.border_pixel = 0;
  attributes.colormap = DefaultColormap(display, screen);
  attributes.bit_gravity = NorthWestGravity;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                          EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                          StructureNotifyMask;
  window = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                         0, depth, InputOutput, windowVisual,
                         CWBackPixel | CWBorderPixel | CWColormap | CWBitGravity | CWEventMask, &attributes);
  const long xembed[2] = {kXEmbedVersion, kXEmbedMapped};
  XChangeProperty(display, window, atoms.xembedInfo, atoms.xembedInfo, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(xembed), 2);
  XStoreName(display, window, "Editor");
  XMapWindow(display, window);
  if (trap.failed()) {
    windowDead = true;  // nothing of ours to destroy may exist; the destructor asks no more
    return false;
  }
  windowSurface = cairo_xlib_surface_create(display, window, windowVisual, width, height);
  // Frames are uploaded directly when the window's pixels have the image's layout (the usual
  // 24-bit true-colour visual); cairo's Xlib surface handles any other visual.
  gc = XCreateGC(display, window, 0, nullptr);
  if (cairo_surface_status(windowSurface) != CAIRO_STATUS_SUCCESS) return false;
  menuDriver = std::make_unique<X11MenuDriver>(*this);
  tooltip = std::make_unique<X11Tooltip>(*this);
  return !trap.failed();
}

X11Frame::~X11Frame() {
  removeFrame(this);
  *alive = false;
  {
    XErrorTrap trap(display);
    // Learn whether the host destroyed our window before closing us.
    XSync(display, False);
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == DestroyNotify && event.xdestroywindow.window == window) windowDead = true;
    }
    tooltip.reset();
    menuDriver.reset();
    if (!windowDead) giveFocusBack();
    if (windowSurface) {
      cairo_surface_finish(windowSurface);
      cairo_surface_destroy(windowSurface);
      windowSurface = nullptr;
    }
    if (gc) XFreeGC(display, static_cast<GC>(gc));
    gc = nullptr;
    if (window != None && !windowDead) XDestroyWindow(display, window);
    window = None;
  }
  unregisterTrappedDisplay(display);
  XCloseDisplay(display);
}

void X11Frame::present(cairo_surface_t* image, const CRect& region) {
  if (!isWindowAlive() || !windowSurface || !image) return;
  XErrorTrap trap(display);
  CRect r(region);
  r.makeIntegral();
  r.bound(CRect(0, 0, width, height));
  if (r.isEmpty()) return;
  cairo_surface_flush(image);
  const int x = static_cast<int>(r.left);
  const int y = static_cast<int>(r.top);
  const int w = static_cast<int>(r.getWidth());
  const int h = static_cast<int>(r.getHeight());
  if (!putImage(display, window, gc, image, x, y, w, h)) {
    cairo_t* cr = cairo_create(windowSurface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
    cairo_fill(cr);
    cairo_destroy(cr);
  }
  cairo_surface_flush(windowSurface);
  XFlush(display);
  if (trap.failed()) noteWindowGone();
}

void X11Frame::repaint(const CRect& region) {
  if (!frame->getImage()) return;
  present(frame->getImage(), region.isEmpty() ? CRect(0, 0, width, height) : region);
}

void X11Frame::showTooltip(const CRect& viewRect, const std::string& text) {
  if (!isWindowAlive() || !tooltip || menuDepth > 0) return;
  XErrorTrap trap(display);
  tooltip->show(viewRect, text);
}

void X11Frame::hideTooltip() {
  if (!tooltip) return;
  XErrorTrap trap(display);
  tooltip->hide();
}

Window X11Frame::getTooltipWindow() const { return tooltip ? tooltip->getWindow() : None; }

bool X11Frame::holdsKeyboardFocus() const {
  if (!isWindowAlive()) return false;
  Window focus = None;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  return focus == window;
}

void X11Frame::focusOnClick(unsigned long time) {
  const bool holding = holdsKeyboardFocus();
  if (!frame->getKeyboardFocusOnClick()) {
    if (holding) giveFocusBack();  // the setting went off since the focus was taken
    return;
  }
  if (holding) return;
  Window before = None;
  int revert = 0;
  XGetInputFocus(display, &before, &revert);
  // The click's own time: a focus change the window manager makes for the same click with a
  // later time still wins, as it should.
  XSetInputFocus(display, window, RevertToParent, time);
  focusBefore = before == None ? parent : before;
  focusRevertBefore = revert;
}

void X11Frame::giveFocusBack() {
  if (focusBefore == None) return;
  const Window before = focusBefore;
  focusBefore = None;
  if (!holdsKeyboardFocus()) return;  // someone else moved it on: leave it there
  // The window that had it, when it is still shown; else the host's window, else the pointer.
  Window target = PointerRoot;
  for (const Window w : {before, parent}) {
    if (w == PointerRoot) break;
    XErrorTrap trap(display);
    XWindowAttributes a{};
    if (XGetWindowAttributes(display, w, &a) && !trap.failed() && a.map_state == IsViewable) {
      target = w;
      break;
    }
  }
  XSetInputFocus(display, target, target == PointerRoot ? RevertToPointerRoot : focusRevertBefore,
                 CurrentTime);
  XFlush(display);
}

void X11Frame::setSize(const CRect& newSize) {
  width = std::max(1, static_cast<int>(newSize.getWidth()));
  height = std::max(1, static_cast<int>(newSize.getHeight()));
  if (!isWindowAlive()) return;
  XErrorTrap trap(display);
  XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (windowSurface) cairo_xlib_surface_set_size(windowSurface, width, height);
  if (trap.failed()) noteWindowGone();
}

IMenuDriver* X11Frame::getMenuDriver() { return isWindowAlive() ? menuDriver.get() : nullptr; }

bool X11Frame::pointerOnRoot(int& x, int& y) const {
  if (!isWindowAlive()) return false;
  Window root = None;
  Window child = None;
  int wx = 0;
  int wy = 0;
  unsigned int mask = 0;
  return XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &wx, &wy, &mask) == True;
}

int X11Frame::screenWidth() const { return DisplayWidth(display, DefaultScreen(display)); }
int X11Frame::screenHeight() const { return DisplayHeight(display, DefaultScreen(display)); }

void X11Frame::noteWindowGone() {
  // Our window may still exist while only a request failed: ask the server.
  XWindowAttributes attributes{};
  XErrorTrap probe(display);
  if (window != None && XGetWindowAttributes(display, window, &attributes) && !probe.failed()) return;
  windowDead = true;
}

bool X11Frame::inputBlocked() const {
  // Nested loops (a dialog's wait, a pop-up) and dialogs of other editors take no new input.
  return drainDepth > 1 || menuDepth > 0 || platform::isModalChildRunning();
}

void X11Frame::onIdle() { drain(); }

void X11Frame::pumpWhileModal() {
  // The click that opened a dialog may still hold the pointer (the implicit grab of a pressed
  // button): the dialog must have it.
  if (menuDepth == 0 && isWindowAlive()) {
    XErrorTrap trap(display);
    XUngrabPointer(display, CurrentTime);
  }
  drain();
  if (!isOpenFrame(this)) return;
  // Redraws when the frame is not in the middle of its own idle pass (then it does nothing).
  CFrame* f = frame;
  f->remember();
  f->idle();
  f->forget();
}

void X11Frame::drain() {
  if (!display || window == None) return;
  const std::shared_ptr<bool> stillAlive = alive;
  CFrame* f = frame;
  f->remember();
  ++drainDepth;
  {
    XErrorTrap trap(display);
    while (*stillAlive && XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      handleEvent(event);
    }
    if (*stillAlive) {
      flushMotion();
      if (*stillAlive) flushExpose();
    }
    if (*stillAlive && trap.failed()) noteWindowGone();
  }
  if (*stillAlive) {
    --drainDepth;
    // A release that arrived during a nested loop ends its gesture now.
    if (drainDepth == 0 && releaseDeferred) {
      releaseDeferred = false;
      deliverButton(deferredRelease, false);
    }
  }
  f->forget();
}

void X11Frame::handleEvent(XEvent& event) {
  if (tooltip && tooltip->handleEvent(event)) return;
  if (event.xany.window != window) return;  // stale events of closed pop-ups
  switch (event.type) {
    case Expose:
    case GraphicsExpose: {
      const CRect r(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                    event.xexpose.y + event.xexpose.height);
      if (exposePending)
        exposeRect.unite(r);
      else
        exposeRect = r;
      exposePending = true;
      break;
    }
    case MotionNotify:
      pendingMotion =
          PointerEvent{event.xmotion.x, event.xmotion.y, event.xmotion.state, 0, event.xmotion.time};
      motionPending = true;
      break;
    case ButtonPress:
      flushMotion();
      if (event.xbutton.button <= Button3 && !inputBlocked()) focusOnClick(event.xbutton.time);
      deliverButton(pointerEventOf(event.xbutton), true);
      break;
    case ButtonRelease:
      flushMotion();
      if (event.xbutton.button > Button3) break;
      if (drainDepth > 1 || menuDepth > 0) {
        releaseDeferred = true;
        deferredRelease = pointerEventOf(event.xbutton);
        break;
      }
      deliverButton(pointerEventOf(event.xbutton), false);
      break;
    case EnterNotify:
    case LeaveNotify: {
      flushMotion();
      if (event.xcrossing.mode != NotifyNormal || inputBlocked()) break;
      // Entering and leaving count as moves, so hover state (tool-tips) follows the pointer.
      CPoint where(event.xcrossing.x, event.xcrossing.y);
      frame->platformOnMouseMoved(where, CButtonState(buttonStateFromX(event.xcrossing.state)));
      break;
    }
    case KeyPress:
    case KeyRelease:
      flushMotion();
      deliverKey(event, event.type == KeyPress);
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window) windowDead = true;
      break;
    default:
      break;
  }
}

void X11Frame::handleEventWhileModal(const XEvent& event) {
  if (event.xany.window != window) return;
  switch (event.type) {
    case Expose:
    case GraphicsExpose:
      repaint(CRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                    event.xexpose.y + event.xexpose.height));
      break;
    case ButtonRelease:
      if (event.xbutton.button <= Button3) {
        releaseDeferred = true;
        deferredRelease = pointerEventOf(event.xbutton);
      }
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window) windowDead = true;
      break;
    default:
      break;
  }
}

void X11Frame::flushMotion() {
  if (!motionPending) return;
  motionPending = false;
  if (inputBlocked()) return;
  CPoint where(pendingMotion.x, pendingMotion.y);
  frame->platformOnMouseMoved(where, CButtonState(buttonStateFromX(pendingMotion.state)));
}

void X11Frame::flushExpose() {
  if (!exposePending) return;
  exposePending = false;
  repaint(exposeRect);
}

void X11Frame::deliverButton(const PointerEvent& event, bool press) {
  if (press && inputBlocked()) return;
  // The state of an X button event is the one before it: add or keep the event's own button.
  const int32_t modifiers = buttonStateFromX(event.state) & (kShift | kControl | kAlt | kApple);
  if (event.button >= 4 && event.button <= 7) {
    if (!press) return;
    const bool vertical = event.button <= 5;
    const float distance = event.button == 4 || event.button == 6 ? 1.f : -1.f;
    frame->platformOnMouseWheel(CPoint(event.x, event.y), vertical ? kMouseWheelAxisY : kMouseWheelAxisX,
                                distance, CButtonState(buttonStateFromX(event.state)));
    return;
  }
  const int32_t bit = buttonBitFromX(event.button);
  if (!bit) return;
  CPoint where(event.x, event.y);
  if (press) {
    int32_t state = modifiers | bit;
    if (doubleClick.onPress(event.button, static_cast<uint32_t>(event.time), event.x, event.y))
      state |= kDoubleClick;
    frame->platformOnMouseDown(where, CButtonState(state));
  } else {
    frame->platformOnMouseUp(where, CButtonState(modifiers | bit));
  }
}

void X11Frame::deliverKey(XEvent& keyEvent, bool down) {
  if (inputBlocked()) return;
  XKeyEvent& event = keyEvent.xkey;
  KeySym sym = NoSymbol;
  char text[8] = {};
  XLookupString(&event, text, sizeof(text) - 1, &sym, nullptr);
  VstKeyCode key = translateKey(sym, event.state);
  int32_t result = -1;
  if (key.virt != 0 || key.character != 0) {
    const uint32_t now = Ticks::now();
    if (keyEcho.isEcho(KeyEchoFilter::Source::kWindow, key, down, now, result)) return;
    CFrame* f = frame;
    f->remember();
    result = down ? f->platformOnKeyDown(key) : f->platformOnKeyUp(key);
    f->forget();
    keyEcho.remember(KeyEchoFilter::Source::kWindow, key, down, now, result);
  }
  if (result != -1 || !isWindowAlive()) return;
  // Keys the editor does not use go to the host, so its shortcuts keep working: to the window
  // that had the focus before a click took it (a GTK host reads keys only from windows it
  // knows; the event keeps the window it is sent to), else to the host's window.
  const Window target = focusBefore != None && focusBefore != PointerRoot ? focusBefore : parent;
  XEvent forward{};
  forward.xkey = event;
  forward.xkey.window = target;
  forward.xkey.subwindow = None;
  XSendEvent(display, target, True, down ? KeyPressMask : KeyReleaseMask, &forward);
  XFlush(display);
}

bool X11Frame::filterHostKey(const VstKeyCode& key, bool down, int32_t& result) {
  return keyEcho.isEcho(KeyEchoFilter::Source::kHost, key, down, Ticks::now(), result);
}

void X11Frame::noteHostKey(const VstKeyCode& key, bool down, int32_t result) {
  keyEcho.remember(KeyEchoFilter::Source::kHost, key, down, Ticks::now(), result);
}

}  // namespace VSTGUI::X11
