// Keeps X protocol errors of our own connections away from the host.
//
// Xlib has one error handler for the whole process, and its default one ends the process. A
// host may destroy the window we live in at any moment, so any request of ours can fail. We
// never replace the host's handler for good: an XErrorTrap swaps our handler in around a batch
// of our own requests, synchronises with the server at its end (so every error those requests
// cause has arrived), and puts the previous handler back. While it is in, errors of displays
// that are not ours go on to the previous handler unchanged. Traps nest; only the outermost
// one swaps and restores. Everything runs on the GUI thread.
#pragma once

typedef struct _XDisplay Display;

namespace VSTGUI::X11 {

class XErrorTrap {
 public:
  explicit XErrorTrap(Display* display);
  ~XErrorTrap();
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

  // Synchronises and tells whether any request of display failed since the trap began.
  bool failed();
  // The error code of the latest failure since the trap began (0 when none).
  int lastError() const;

 private:
  Display* display;
  int errorsBefore;
};

// Displays of ours whose errors a trap absorbs (opened and closed on the GUI thread).
void registerTrappedDisplay(Display* display);
void unregisterTrappedDisplay(Display* display);

}  // namespace VSTGUI::X11
