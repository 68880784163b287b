#include "x11TestEnv.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <time.h>

#include "tools/xvfb/xvfbServer.h"

using namespace VSTGUI;

namespace x11test {

void sleepMs(int ms) {
  timespec t{ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&t, nullptr);
}

void RecordingView::draw(CDrawContext* context) {
  context->setFillColor(colour);
  context->fillRect(getViewSize());
  setDirty(false);
}

CMouseEventResult RecordingView::onMouseDown(CPoint& where, const CButtonState& buttons) {
  events.push_back({MouseRecord::kDown, where, buttons(), 0});
  return kMouseEventHandled;
}

CMouseEventResult RecordingView::onMouseUp(CPoint& where, const CButtonState& buttons) {
  events.push_back({MouseRecord::kUp, where, buttons(), 0});
  return kMouseEventHandled;
}

CMouseEventResult RecordingView::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  events.push_back({MouseRecord::kMoved, where, buttons(), 0});
  return kMouseEventHandled;
}

bool RecordingView::onWheel(const CPoint& where, const CMouseWheelAxis&, const float& distance,
                            const CButtonState& buttons) {
  events.push_back({MouseRecord::kWheel, where, buttons(), distance});
  return true;
}

int32_t RecordingView::onKeyDown(VstKeyCode& key) {
  keysDown.push_back(key);
  for (unsigned char v : usedKeys)
    if (v == key.virt) return 1;
  return -1;
}

int32_t RecordingView::onKeyUp(VstKeyCode& key) {
  keysUp.push_back(key);
  for (unsigned char v : usedKeys)
    if (v == key.virt) return 1;
  return -1;
}

void X11Fixture::SetUp() {
  std::string why;
  if (!testing_support::ensureXServer(&why)) {
    skipped = true;
    GTEST_SKIP() << "no X server: " << why;
  }
  user = XOpenDisplay(nullptr);
  ASSERT_NE(user, nullptr);
  int ev = 0, er = 0, major = 0, minor = 0;
  ASSERT_TRUE(XTestQueryExtension(user, &ev, &er, &major, &minor)) << "the X server lacks XTest";
  parent = makeParent(kParentX, kParentY, kWidth + 40, kHeight + 40);
  X11::install();
  // Start from a known pointer and keyboard: nothing held, pointer in a corner.
  moveTo(1, 1);
  XSync(user, False);
}

void X11Fixture::TearDown() {
  X11::uninstall();
  if (user) {
    if (parent != None) XDestroyWindow(user, parent);
    XCloseDisplay(user);
  }
  user = nullptr;
}

Window X11Fixture::makeParent(int x, int y, int w, int h) {
  const int screen = DefaultScreen(user);
  XSetWindowAttributes a{};
  a.override_redirect = True;  // no window manager runs under Xvfb; keep the place exact anyway
  a.background_pixel = WhitePixel(user, screen);
  a.event_mask = StructureNotifyMask | KeyPressMask | KeyReleaseMask;
  Window made = XCreateWindow(user, RootWindow(user, screen), x, y, static_cast<unsigned>(w),
                              static_cast<unsigned>(h), 0, CopyFromParent, InputOutput, CopyFromParent,
                              CWOverrideRedirect | CWBackPixel | CWEventMask, &a);
  XMapRaised(user, made);
  XEvent e;
  do XWindowEvent(user, made, StructureNotifyMask, &e);
  while (e.type != MapNotify);
  return made;
}

CFrame* X11Fixture::openFrame(Window in, RecordingView** view) {
  auto* frame = new CFrame(CRect(0, 0, kWidth, kHeight), nullptr);
  frame->setBackgroundColor(CColor(30, 60, 90));
  auto* v = new RecordingView(CRect(20, 20, 120, 100), CColor(200, 40, 40));
  frame->addView(v);
  if (view) *view = v;
  if (!frame->open(reinterpret_cast<void*>(static_cast<uintptr_t>(in)))) {
    frame->forget();
    return nullptr;
  }
  frame->idle();
  return frame;
}

X11::X11Frame* X11Fixture::x11(CFrame* frame) {
  return dynamic_cast<X11::X11Frame*>(frame->getPlatformFrame());
}

void fakeMove(Display* d, int x, int y) {
  XTestFakeMotionEvent(d, DefaultScreen(d), x, y, CurrentTime);
  XSync(d, False);
}

void fakeButton(Display* d, unsigned int b, bool press) {
  XTestFakeButtonEvent(d, b, press ? True : False, CurrentTime);
  XSync(d, False);
}

void fakeKey(Display* d, KeySym sym, bool press) {
  const KeyCode code = XKeysymToKeycode(d, sym);
  if (code == 0) return;
  XTestFakeKeyEvent(d, code, press ? True : False, CurrentTime);
  XSync(d, False);
}

void X11Fixture::moveTo(int x, int y) { fakeMove(user, x, y); }

void X11Fixture::button(unsigned int b, bool press) { fakeButton(user, b, press); }

void X11Fixture::click(unsigned int b) {
  button(b, true);
  button(b, false);
}

void X11Fixture::key(KeySym sym, bool press) {
  const KeyCode code = XKeysymToKeycode(user, sym);
  ASSERT_NE(code, 0) << "no key code for key sym " << sym;
  XTestFakeKeyEvent(user, code, press ? True : False, CurrentTime);
  XSync(user, False);
}

void X11Fixture::frameToRoot(CFrame* frame, int x, int y, int& rootX, int& rootY) {
  Window child = None;
  XTranslateCoordinates(user, x11(frame)->getWindow(), DefaultRootWindow(user), x, y, &rootX, &rootY, &child);
}

bool X11Fixture::pumpUntil(CFrame* frame, const std::function<bool()>& pred, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 5) {
    XSync(user, False);
    if (frame) frame->idle();
    if (pred()) return true;
    sleepMs(5);
  }
  return false;
}

bool X11Fixture::pointerReached(CFrame* frame, int x, int y) {
  return pumpUntil(frame, [&] {
    CPoint where;
    return frame->getCurrentMouseLocation(where) && where == CPoint(x, y);
  });
}

std::vector<Window> windowsOfType(Display* user, const char* typeName) {
  std::vector<Window> found;
  const Atom typeProperty = XInternAtom(user, "_NET_WM_WINDOW_TYPE", False);
  const Atom wanted = XInternAtom(user, typeName, False);
  Window root = None, parentOut = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(user, DefaultRootWindow(user), &root, &parentOut, &children, &count)) return found;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(user, children[i], &a) || a.map_state != IsViewable || !a.override_redirect)
      continue;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(user, children[i], typeProperty, 0, 1, False, XA_ATOM, &type, &format, &items,
                           &after, &data) == Success &&
        data) {
      if (items == 1 && reinterpret_cast<Atom*>(data)[0] == wanted) found.push_back(children[i]);
      XFree(data);
    }
  }
  if (children) XFree(children);
  return found;
}

std::vector<uint32_t> X11Fixture::windowPixels(Window w, int width, int height) {
  std::vector<uint32_t> pixels;
  XImage* image = XGetImage(user, w, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                            AllPlanes, ZPixmap);
  if (!image) return pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
  XDestroyImage(image);
  return pixels;
}

std::vector<uint32_t> framePixels(CFrame* frame) {
  std::vector<uint32_t> pixels;
  cairo_surface_t* image = frame->getImage();
  if (!image) return pixels;
  cairo_surface_flush(image);
  const int w = cairo_image_surface_get_width(image);
  const int h = cairo_image_surface_get_height(image);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(image) +
                                                        y * cairo_image_surface_get_stride(image));
    for (int x = 0; x < w; ++x) pixels.push_back(row[x] & 0xFFFFFFu);
  }
  return pixels;
}

}  // namespace x11test
