#include "x11TestEnv.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

#include "tools/xvfb/xvfbServer.h"

using namespace VSTGUI;

namespace x11test {

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void X11Fixture::SetUp() {
  std::string why;
  if (!testing_support::ensureXServer(&why)) GTEST_SKIP() << "no X server: " << why;
  user = XOpenDisplay(nullptr);
  ASSERT_NE(user, nullptr);
  int ev = 0, er = 0, major = 0, minor = 0;
  ASSERT_TRUE(XTestQueryExtension(user, &ev, &er, &major, &minor)) << "the X server lacks XTest";
  parent = makeParent(40, 30, kWidth + 40, kHeight + 40);
  X11::install();
  fakeMove(user, 1, 1);  // start from a known pointer: nothing held, pointer in a corner
}

void X11Fixture::TearDown() {
  if (frame) frame->close();
  X11::uninstall();
  if (user && parent != None) XDestroyWindow(user, parent);
  if (user) XCloseDisplay(user);
}

Window X11Fixture::makeParent(int x, int y, int w, int h) {
  XSetWindowAttributes a{};
  a.override_redirect = True;  // no window manager runs under Xvfb; keep the place exact anyway
  a.background_pixel = WhitePixel(user, DefaultScreen(user));
  a.event_mask = StructureNotifyMask;
  Window made = XCreateWindow(user, DefaultRootWindow(user), x, y, static_cast<unsigned>(w),
                              static_cast<unsigned>(h), 0, CopyFromParent, InputOutput, CopyFromParent,
                              CWOverrideRedirect | CWBackPixel | CWEventMask, &a);
  XMapRaised(user, made);
  XEvent e;
  do XWindowEvent(user, made, StructureNotifyMask, &e);
  while (e.type != MapNotify);
  return made;
}

CFrame* X11Fixture::openFrame(Window in, RecordingView** recording) {
  auto* f = new CFrame(CRect(0, 0, kWidth, kHeight), nullptr);
  f->setBackgroundColor(CColor(30, 60, 90));
  auto* v = new RecordingView(CRect(20, 20, 120, 100), CColor(200, 40, 40));
  f->addView(v);
  if (recording) *recording = v;
  if (!f->open(windowArg(in))) {
    f->forget();
    return nullptr;
  }
  f->idle();
  return f;
}

X11::X11Frame* X11Fixture::x11(CFrame* f) { return dynamic_cast<X11::X11Frame*>(f->getPlatformFrame()); }

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
  ASSERT_NE(code, 0) << "no key code for key sym " << sym;
  XTestFakeKeyEvent(d, code, press ? True : False, CurrentTime);
  XSync(d, False);
}

void fakeClick(Display* d, unsigned int button) {
  fakeButton(d, button, true);
  fakeButton(d, button, false);
}

void fakeTap(Display* d, KeySym sym) {
  fakeKey(d, sym, true);
  fakeKey(d, sym, false);
}

CPoint X11Fixture::rootOf(CFrame* f, int x, int y) {
  int rx = 0, ry = 0;
  Window child = None;
  XTranslateCoordinates(user, x11(f)->getWindow(), DefaultRootWindow(user), x, y, &rx, &ry, &child);
  return CPoint(rx, ry);
}

void X11Fixture::pointAt(CFrame* f, int x, int y) {
  const CPoint r = rootOf(f, x, y);
  fakeMove(user, static_cast<int>(r.x), static_cast<int>(r.y));
}

bool X11Fixture::pumpUntil(CFrame* f, const std::function<bool()>& pred) {
  for (int waited = 0; waited <= 3000; waited += 5) {
    XSync(user, False);
    if (f) f->idle();
    if (pred()) return true;
    sleepMs(5);
  }
  return false;
}

bool X11Fixture::settleAt(CFrame* f, int x, int y) {
  pointAt(f, x, y);
  return pumpUntil(f, [&] {
    CPoint where;
    return f->getCurrentMouseLocation(where) && where == CPoint(x, y);
  });
}

std::vector<Window> X11Fixture::childrenOf(Window w, Window* parentOfW) {
  Window root = None, up = None;
  Window* kids = nullptr;
  unsigned int n = 0;
  XSync(user, False);
  std::vector<Window> found;
  if (XQueryTree(user, w, &root, &up, &kids, &n)) found.assign(kids, kids + n);
  if (kids) XFree(kids);
  if (parentOfW) *parentOfW = up;
  return found;
}

std::vector<Window> windowsOfType(Display* d, const char* typeName) {
  const Atom typeProperty = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
  const Atom wanted = XInternAtom(d, typeName, False);
  Window root = None, up = None;
  Window* children = nullptr;
  unsigned int count = 0;
  std::vector<Window> found;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &up, &children, &count)) return found;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable || !a.override_redirect)
      continue;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, children[i], typeProperty, 0, 1, False, XA_ATOM, &type, &format, &items, &after,
                           &data) == Success &&
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

}  // namespace x11test
