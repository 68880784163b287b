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

} // namespace VSTGUI
