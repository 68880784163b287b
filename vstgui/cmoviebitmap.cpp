#include "cmoviebitmap.h"

#include <algorithm>

#include "cbitmap.h"
#include "cdrawcontext.h"

namespace VSTGUI {

CMovieBitmap::CMovieBitmap(const CRect& viewSize, IControlListener* l, int32_t t, int32_t frames,
                           CCoord frameHeight, CBitmap* bitmap, const CPoint& sourceOffset)
    : CFilmStripControl(viewSize, l, t, frames, frameHeight, bitmap, sourceOffset) {}

CMovieBitmap::CMovieBitmap(const CRect& viewSize, IControlListener* l, int32_t t, CBitmap* bitmap,
                           const CPoint& sourceOffset)
    : CFilmStripControl(viewSize, l, t, bitmap, sourceOffset) {}

int32_t CMovieBitmap::frameFor(float v) const {
  if (subPixmaps <= 1 || !(v > 0.f)) return 0;
  const int32_t frame = static_cast<int32_t>(std::min(v, 1.f) * static_cast<float>(subPixmaps - 1) + 0.5f);
  return std::clamp(frame, 0, subPixmaps - 1);
}

void CMovieBitmap::draw(CDrawContext* context) {
  if (background && context) {
    CPoint where(offset);
    where.y += heightOfOneImage * frameFor(getValueNormalized());
    background->draw(context, size, where);
  }
  setDirty(false);
}

}  // namespace VSTGUI
