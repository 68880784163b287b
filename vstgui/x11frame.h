// The X11 platform of the toolkit: frames open in a child window of the host's window, on a
// display connection of their own, and take the mouse, the keys and exposure from it.
//
// Threads: every X and cairo call happens on the thread that opens the frame (the host's GUI
// thread, which also sends idle and close); nothing relies on XInitThreads.
// Errors: see x11errortrap.h; the host's error handler stays in charge of its own windows.
#pragma once

#include <memory>
#include <vector>

#include "iplatformframe.h"
#include "x11keys.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _XDisplay Display;
union _XEvent;

namespace VSTGUI::X11 {

// X resource ids (Window, Atom) without pulling Xlib's macros into every user of this header.
using Window = unsigned long;
using Atom = unsigned long;

class X11MenuDriver;
class X11Tooltip;

// Makes frames open in X11 windows (CFrame::open with the host's window id as parent) and keeps
// them pumped while a dialog's child process runs. Idempotent; call it before opening frames,
// for example in the editor's constructor.
void install();
// Back to offscreen frames (already open frames keep their windows).
void uninstall();

// The atoms a frame uses, interned once per connection.
struct Atoms {
  Atom xembedInfo = 0;
  Atom wmWindowType = 0;
  Atom typePopupMenu = 0;
  Atom typeTooltip = 0;
  Atom wmName = 0;
  Atom utf8String = 0;
  void intern(Display* display);
};

class X11Frame : public IPlatformFrame {
 public:
  // What a pointer event carried, kept for merged moves and deferred releases.
  struct PointerEvent {
    int x = 0;
    int y = 0;
    unsigned int state = 0;
    unsigned int button = 0;
    unsigned long time = 0;
  };

  // Opens a connection and creates the frame's window inside parent (an X window id). Null
  // when no display can be opened or parent is not a window.
  static X11Frame* create(CFrame* frame, void* parent);
  ~X11Frame() override;
  X11Frame(const X11Frame&) = delete;
  X11Frame& operator=(const X11Frame&) = delete;

  void present(cairo_surface_t* image, const CRect& region) override;
  void showTooltip(const CRect& viewRect, const std::string& text) override;
  void hideTooltip() override;
  void setSize(const CRect& newSize) override;
  // Drains every pending event of the connection (once per idle pass).
  void onIdle() override;
  IMenuDriver* getMenuDriver() override;
  bool filterHostKey(const VstKeyCode& key, bool down, int32_t& result) override;
  void noteHostKey(const VstKeyCode& key, bool down, int32_t result) override;

  Display* getDisplay() const { return display; }
  Window getWindow() const { return window; }
  Window getParentWindow() const { return parent; }
  CFrame* getFrame() const { return frame; }
  const Atoms& getAtoms() const { return atoms; }
  // False once the window is gone (the host destroyed its parent).
  bool isWindowAlive() const { return window != 0 && !windowDead; }
  // The tool-tip window while one is shown, else 0.
  Window getTooltipWindow() const;
  // Whether the window system's keyboard focus is on the frame's window.
  bool holdsKeyboardFocus() const;
  bool isMenuOpen() const { return menuDepth > 0; }

  // Handles one event that a nested loop (the pop-up menu's) took from the connection but that
  // belongs to the frame's window: exposure is repainted, destruction noted, input dropped.
  void handleEventWhileModal(const _XEvent& event);
  // Paints the frame's image into the window (whole window when region is empty).
  void repaint(const CRect& region);
  // Pointer position on the root window; false when unknown.
  bool pointerOnRoot(int& x, int& y) const;
  int screenWidth() const;
  int screenHeight() const;

  // Counts modal loops (pop-ups) running on this frame.
  void enterMenu() { ++menuDepth; }
  void leaveMenu() { --menuDepth; }

  // For the modal pump: drain events (input ignored), then let the frame redraw if it can.
  void pumpWhileModal();

 private:
  X11Frame(CFrame* frame, Display* display, Window parent);
  bool createWindow();
  void drain();
  void handleEvent(_XEvent& event);
  void deliverButton(const PointerEvent& event, bool press);
  void deliverKey(_XEvent& event, bool down);
  void flushMotion();
  void flushExpose();
  // A click takes the keyboard focus when the frame asks for it (and gives it back when not).
  void focusOnClick(unsigned long time);
  void giveFocusBack();
  void noteWindowGone();
  bool inputBlocked() const;

  CFrame* frame;
  Display* display;
  Window parent;
  Window window = 0;
  void* visual = nullptr;  // the Visual of our window
  void* gc = nullptr;      // the GC of our uploads
  int depth = 0;
  Atoms atoms;
  cairo_surface_t* windowSurface = nullptr;
  int width = 1;
  int height = 1;
  bool windowDead = false;
  int drainDepth = 0;
  int menuDepth = 0;
  // Merged motion and exposure of the current drain.
  bool motionPending = false;
  PointerEvent pendingMotion;
  bool exposePending = false;
  CRect exposeRect;
  // A button release that arrived while an earlier press was still being handled.
  bool releaseDeferred = false;
  PointerEvent deferredRelease;
  DoubleClickDetector doubleClick;
  KeyEchoFilter keyEcho;
  // Where the keyboard focus was when a click took it (None: never taken).
  Window focusBefore = 0;
  int focusRevertBefore = 0;
  std::unique_ptr<X11MenuDriver> menuDriver;
  std::unique_ptr<X11Tooltip> tooltip;
  std::shared_ptr<bool> alive;
};

// All frames open in X11 windows in this process (GUI thread), for tools and tests.
std::vector<X11Frame*> openFrames();

}  // namespace VSTGUI::X11
