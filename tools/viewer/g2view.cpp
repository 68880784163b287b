// g2view: opens a plug-in's editor in a window of its own.
//
//   g2view PLUGIN.so                          a window to look at and play with (close it to quit)
//   g2view --snapshot OUT.png [--settle MS] PLUGIN.so
//                                             opens the editor (under a private Xvfb when no X
//                                             server answers), runs its idle calls for MS
//                                             milliseconds (default 500) and saves the window
//                                             as PNG
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <dlfcn.h>
#include <time.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/host/vsthost.h"
#include "tools/xvfb/xvfbServer.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: g2view PLUGIN.so\n"
               "       g2view --snapshot OUT.png [--settle MS] PLUGIN.so\n");
}

uint64_t nowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<uint64_t>(t.tv_sec) * 1000u + static_cast<uint64_t>(t.tv_nsec) / 1000000u;
}

void sleepMs(int ms) {
  timespec t{0, ms * 1000000L};
  nanosleep(&t, nullptr);
}

bool savePNG(Display* display, Window window, int width, int height, const std::string& path) {
  XSync(display, False);
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return false;
  cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  unsigned char* data = cairo_image_surface_get_data(out);
  const int stride = cairo_image_surface_get_stride(out);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < width; ++x) row[x] = static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
  }
  XDestroyImage(image);
  cairo_surface_mark_dirty(out);
  const bool ok = cairo_surface_write_to_png(out, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(out);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::string snapshot;
  std::string pluginPath;
  int settleMs = 500;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--snapshot" && i + 1 < argc) {
      snapshot = argv[++i];
    } else if (arg == "--settle" && i + 1 < argc) {
      const char* s = argv[++i];
      const auto [end, ec] = std::from_chars(s, s + std::strlen(s), settleMs);
      if (ec != std::errc() || *end || settleMs < 0) {
        usage();
        return 2;
      }
    } else if (!arg.empty() && arg[0] != '-' && pluginPath.empty()) {
      pluginPath = arg;
    } else {
      usage();
      return 2;
    }
  }
  if (pluginPath.empty()) {
    usage();
    return 2;
  }
  if (!snapshot.empty()) {
    std::string why;
    if (!testing_support::ensureXServer(&why)) {
      std::fprintf(stderr, "g2view: no X server: %s\n", why.c_str());
      return 1;
    }
  }
  std::string error;
  std::unique_ptr<vsthost::Plugin> plugin = vsthost::Plugin::load(pluginPath, &error);
  if (!plugin) {
    std::fprintf(stderr, "g2view: %s\n", error.c_str());
    return 1;
  }
  // Like most hosts, keep the module loaded until the process ends: a plug-in's process-wide
  // caches (fonts) are released with the process, not by unloading.
  dlopen(pluginPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!(plugin->effect()->flags & kEffFlagHasEditor)) {
    std::fprintf(stderr, "g2view: %s has no editor\n", pluginPath.c_str());
    return 1;
  }
  ERect* rect = nullptr;
  plugin->dispatch(kEffEditGetRect, 0, 0, &rect);
  if (!rect || rect->right <= rect->left || rect->bottom <= rect->top) {
    std::fprintf(stderr, "g2view: the editor reports no size\n");
    return 1;
  }
  const int width = rect->right - rect->left;
  const int height = rect->bottom - rect->top;

  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "g2view: cannot open the display\n");
    return 1;
  }
  const int screen = DefaultScreen(display);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display, screen);
  attributes.event_mask = StructureNotifyMask;
  // A snapshot needs no window manager's decoration or placement.
  attributes.override_redirect = snapshot.empty() ? False : True;
  const Window window =
      XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWBackPixel | CWEventMask | CWOverrideRedirect, &attributes);
  const std::string title = plugin->effectName().empty() ? pluginPath : plugin->effectName();
  XStoreName(display, window, title.c_str());
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = PMinSize | PMaxSize;
  hints->min_width = hints->max_width = width;
  hints->min_height = hints->max_height = height;
  XSetWMNormalHints(display, window, hints);
  XFree(hints);
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &deleteWindow, 1);
  XMapRaised(display, window);
  XEvent event;
  do XWindowEvent(display, window, StructureNotifyMask, &event);
  while (event.type != MapNotify);

  if (!plugin->dispatch(kEffEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(window)))) {
    std::fprintf(stderr, "g2view: the editor did not open\n");
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 1;
  }
  const uint64_t start = nowMs();
  bool running = true;
  int status = 0;
  while (running) {
    while (XPending(display)) {
      XNextEvent(display, &event);
      if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow)
        running = false;
      if (event.type == DestroyNotify && event.xdestroywindow.window == window) running = false;
    }
    plugin->dispatch(kEffEditIdle);
    if (!snapshot.empty() && nowMs() - start >= static_cast<uint64_t>(settleMs)) {
      plugin->dispatch(kEffEditIdle);
      if (!savePNG(display, window, width, height, snapshot)) {
        std::fprintf(stderr, "g2view: could not write %s\n", snapshot.c_str());
        status = 1;
      }
      running = false;
    }
    if (running) sleepMs(16);
  }
  plugin->dispatch(kEffEditClose);
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  plugin.reset();
  return status;
}
