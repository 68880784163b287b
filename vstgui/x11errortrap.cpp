#include "x11errortrap.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace VSTGUI::X11 {

namespace {

struct TrappedDisplay {
  Display* display;
  int errors;
  int lastCode;
};

// The handler may run for any display of the process, so the list is guarded.
std::mutex gMutex;
std::vector<TrappedDisplay> gDisplays;
XErrorHandler gPrevious = nullptr;
int gDepth = 0;

int trapHandler(Display* display, XErrorEvent* event) {
  XErrorHandler previous = nullptr;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    for (TrappedDisplay& d : gDisplays) {
      if (d.display == display) {
        ++d.errors;
        d.lastCode = event->error_code;
        return 0;
      }
    }
    previous = gPrevious;
  }
  return previous ? previous(display, event) : 0;
}

TrappedDisplay* find(Display* display) {
  for (TrappedDisplay& d : gDisplays)
    if (d.display == display) return &d;
  return nullptr;
}

// A trap may outlive its connection (an event handler closed the editor that owned it): it
// then must not touch the closed display.
bool isRegistered(Display* display) {
  std::lock_guard<std::mutex> lock(gMutex);
  return find(display) != nullptr;
}

}  // namespace

void registerTrappedDisplay(Display* display) {
  std::lock_guard<std::mutex> lock(gMutex);
  if (!find(display)) gDisplays.push_back({display, 0, 0});
}

void unregisterTrappedDisplay(Display* display) {
  std::lock_guard<std::mutex> lock(gMutex);
  gDisplays.erase(std::remove_if(gDisplays.begin(), gDisplays.end(),
                                 [display](const TrappedDisplay& d) { return d.display == display; }),
                  gDisplays.end());
}

XErrorTrap::XErrorTrap(Display* dpy) : display(dpy) {
  {
    std::lock_guard<std::mutex> lock(gMutex);
    if (gDepth++ == 0) {
      XErrorHandler old = XSetErrorHandler(trapHandler);
      gPrevious = old == trapHandler ? nullptr : old;
    }
  }
  // Whatever was still on its way for this display is counted before the trap's own requests.
  if (display && isRegistered(display)) XSync(display, False);
  std::lock_guard<std::mutex> lock(gMutex);
  TrappedDisplay* d = find(display);
  errorsBefore = d ? d->errors : 0;
}

XErrorTrap::~XErrorTrap() {
  if (display && isRegistered(display)) XSync(display, False);
  std::lock_guard<std::mutex> lock(gMutex);
  if (--gDepth == 0) {
    XSetErrorHandler(gPrevious);
    gPrevious = nullptr;
  }
}

bool XErrorTrap::failed() {
  if (display && isRegistered(display)) XSync(display, False);
  std::lock_guard<std::mutex> lock(gMutex);
  TrappedDisplay* d = find(display);
  return d && d->errors != errorsBefore;
}

int XErrorTrap::lastError() const {
  std::lock_guard<std::mutex> lock(gMutex);
  TrappedDisplay* d = find(display);
  return d && d->errors != errorsBefore ? d->lastCode : 0;
}

}  // namespace VSTGUI::X11
