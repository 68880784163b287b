// The seam between a frame and the window system. The frame draws into a cairo image of its own
// size and hands finished regions to its platform frame; pop-up menus run through a menu driver
// that the platform frame supplies or that is installed on the frame (tests do that).
#pragma once

#include <string>

#include "cgeometry.h"

namespace VSTGUI {

// The outcome of a modal pop-up menu: the menu (top menu or sub-menu) holding the chosen entry
// and the entry's index in it, or a null menu when the user dismissed the pop-up.
struct MenuChoice {
  COptionMenu* menu = nullptr;
  int32_t index = -1;
};

class IMenuDriver {
 public:
  virtual ~IMenuDriver() = default;
  // Shows menu at where (frame coordinates) and returns after the user chose or dismissed.
  virtual MenuChoice runMenu(CFrame& frame, COptionMenu& menu, const CPoint& where) = 0;
};

class IPlatformFrame {
 public:
  virtual ~IPlatformFrame() = default;
  // region (frame coordinates) of image is finished and may be shown.
  virtual void present(cairo_surface_t* image, const CRect& region) = 0;
  // Tool-tip window for the view occupying viewRect (frame coordinates).
  virtual void showTooltip(const CRect& viewRect, const std::string& text) = 0;
  virtual void hideTooltip() = 0;
  virtual void setSize(const CRect& newSize) { (void)newSize; }
  // Called at the start of every idle pass of the frame (a window system drains its events here).
  virtual void onIdle() {}
  // The pop-up menu implementation of this platform, or null (pop-ups are then dismissed).
  virtual IMenuDriver* getMenuDriver() { return nullptr; }
  // Keys may reach the editor both from its window and through the host's key calls. Called
  // for a key from the host: true when the window already delivered this key, with result set
  // to what the frame answered then (the key must not be handled again).
  virtual bool filterHostKey(const VstKeyCode& key, bool down, int32_t& result) {
    (void)key;
    (void)down;
    (void)result;
    return false;
  }
  // Called after the frame answered a key from the host, so that the window's copy of the same
  // key is not handled again.
  virtual void noteHostKey(const VstKeyCode& key, bool down, int32_t result) {
    (void)key;
    (void)down;
    (void)result;
  }
};

enum class PlatformType { kDefaultNative, kOffscreen };

// Native platform frames are made by a factory that the window-system layer installs; without
// one, or for PlatformType::kOffscreen, frames open offscreen. A factory returns null when it
// cannot open (for example when no display is available), and the frame's open fails.
using PlatformFrameFactory = IPlatformFrame* (*)(CFrame* frame, void* parentWindow);
void setNativePlatformFrameFactory(PlatformFrameFactory factory);
PlatformFrameFactory getNativePlatformFrameFactory();

}  // namespace VSTGUI
