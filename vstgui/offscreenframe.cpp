#include "offscreenframe.h"

namespace VSTGUI {

void COffscreenPlatformFrame::present(cairo_surface_t*, const CRect& region) { presented.push_back(region); }

void COffscreenPlatformFrame::showTooltip(const CRect& viewRect, const std::string& text) {
  tooltipRect = viewRect;
  tooltipText = text;
  tooltipVisible = true;
  ++tooltipShows;
}

void COffscreenPlatformFrame::hideTooltip() {
  tooltipVisible = false;
  tooltipText.clear();
}

}  // namespace VSTGUI

#include <cairo.h>

#include "cframe.h"

namespace VSTGUI {

uint32_t readFramePixel(const CFrame& frame, int x, int y) {
  cairo_surface_t* image = frame.getImage();
  if (!image) return 0;
  cairo_surface_flush(image);
  const int w = cairo_image_surface_get_width(image);
  const int h = cairo_image_surface_get_height(image);
  if (x < 0 || y < 0 || x >= w || y >= h) return 0;
  const unsigned char* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
  return reinterpret_cast<const uint32_t*>(row)[x];
}

}  // namespace VSTGUI
