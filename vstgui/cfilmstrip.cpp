#include "cfilmstrip.h"

#include <algorithm>

#include "cbitmap.h"

namespace VSTGUI {

CFilmStripControl::CFilmStripControl(const CRect& viewSize, IControlListener* l, int32_t t, int32_t frames,
                                     CCoord frameHeight, CBitmap* bitmap, const CPoint& sourceOffset)
    : CControl(viewSize, l, t, bitmap),
      subPixmaps(frames),
      heightOfOneImage(frameHeight),
      offset(sourceOffset) {}

CFilmStripControl::CFilmStripControl(const CRect& viewSize, IControlListener* l, int32_t t, CBitmap* bitmap,
                                     const CPoint& sourceOffset)
    : CControl(viewSize, l, t, bitmap),
      subPixmaps(1),
      heightOfOneImage(viewSize.getHeight()),
      offset(sourceOffset) {
  if (bitmap && heightOfOneImage > 0)
    subPixmaps = std::max(1, static_cast<int32_t>(bitmap->getHeight() / heightOfOneImage));
}

}  // namespace VSTGUI
