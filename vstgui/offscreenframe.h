// A platform frame without a window: it keeps what the frame presents and the tool-tip state,
// for tests and for drawing editor snapshots.
#pragma once

#include <vector>

#include "iplatformframe.h"

namespace VSTGUI {

class COffscreenPlatformFrame : public IPlatformFrame {
 public:
  void present(cairo_surface_t* image, const CRect& region) override;
  void showTooltip(const CRect& viewRect, const std::string& text) override;
  void hideTooltip() override;
  void setSize(const CRect& newSize) override { size = newSize; }
  IMenuDriver* getMenuDriver() override { return menuDriver; }

  void setMenuDriver(IMenuDriver* driver) { menuDriver = driver; }
  const std::vector<CRect>& getPresentedRegions() const { return presented; }
  void clearPresentedRegions() { presented.clear(); }
  bool isTooltipVisible() const { return tooltipVisible; }
  const std::string& getTooltipText() const { return tooltipText; }
  const CRect& getTooltipRect() const { return tooltipRect; }
  int32_t getTooltipShowCount() const { return tooltipShows; }

 private:
  std::vector<CRect> presented;
  CRect size;
  CRect tooltipRect;
  std::string tooltipText;
  bool tooltipVisible = false;
  int32_t tooltipShows = 0;
  IMenuDriver* menuDriver = nullptr;
};

}  // namespace VSTGUI

namespace VSTGUI {
// The pixel at (x, y) of a frame's image as 0xAARRGGBB (premultiplied), 0 outside.
uint32_t readFramePixel(const CFrame& frame, int x, int y);
}  // namespace VSTGUI
