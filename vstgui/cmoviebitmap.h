// A display that shows one frame of a film strip chosen by its value.
#pragma once

#include "cfilmstrip.h"

namespace VSTGUI {

class CMovieBitmap : public CFilmStripControl {
 public:
  CMovieBitmap(const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
               CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));
  // Frames as high as the view; their number follows from the bitmap's height.
  CMovieBitmap(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
               const CPoint& offset = CPoint(0, 0));

  void draw(CDrawContext* context) override;
  // The frame for the normalised value v: v over all frames, rounded to the nearest frame.
  int32_t frameFor(float v) const;
  CBaseObject* newCopy() const override { return new CMovieBitmap(*this); }
};

}  // namespace VSTGUI
