// A control drawn from a film strip: frames of equal height stacked vertically in one bitmap.
#pragma once

#include "ccontrol.h"

namespace VSTGUI {

class CFilmStripControl : public CControl {
 public:
  CFilmStripControl(const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
                    CCoord heightOfOneImage, CBitmap* background, const CPoint& offset);
  // Frames as high as the view; their number follows from the bitmap's height.
  CFilmStripControl(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                    const CPoint& offset);

  int32_t getNumSubPixmaps() const { return subPixmaps; }
  void setNumSubPixmaps(int32_t n) { subPixmaps = n; }
  CCoord getHeightOfOneImage() const { return heightOfOneImage; }
  void setHeightOfOneImage(CCoord h) { heightOfOneImage = h; }

 protected:
  int32_t subPixmaps;
  CCoord heightOfOneImage;
  CPoint offset;
};

}  // namespace VSTGUI
