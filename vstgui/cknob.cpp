#include "cknob.h"

#include <cmath>

#include "cbitmap.h"
#include "cdrawcontext.h"

namespace VSTGUI {

CAnimKnob::CAnimKnob(const CRect& viewSize, IControlListener* l, int32_t t, int32_t frames,
                     CCoord frameHeight, CBitmap* bitmap, const CPoint& sourceOffset)
    : CFilmStripControl(viewSize, l, t, frames, frameHeight, bitmap, sourceOffset) {}

CAnimKnob::CAnimKnob(const CRect& viewSize, IControlListener* l, int32_t t, CBitmap* bitmap,
                     const CPoint& sourceOffset)
    : CFilmStripControl(viewSize, l, t, bitmap, sourceOffset) {}

CPoint CAnimKnob::frameOffsetFor(float v) const {
  CPoint where(offset);
  const int32_t h = static_cast<int32_t>(heightOfOneImage);
  if (v >= 0.f && h > 0 && subPixmaps > 0) {
    if (bInverseBitmap) v = 1.f - v;
    const double total = static_cast<double>(h) * (subPixmaps - 1);
    int64_t y = static_cast<int64_t>(total * std::min(v, 1.f));
    y -= y % h;
    where.y += static_cast<CCoord>(y);
  }
  return where;
}

void CAnimKnob::draw(CDrawContext* context) {
  if (background && context) background->draw(context, size, frameOffsetFor(getValueNormalized()));
  setDirty(false);
}

CMouseEventResult CAnimKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  beginEdit();
  if (buttons.isDoubleClick() || buttons.getModifierState() == kControl) {
    const float before = value;
    setValue(defaultValue);
    valueChangedFrom(before);
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  dragStart = where;
  dragStartValue = getValueNormalized();
  dragging = true;
  return kMouseEventHandled;
}

CMouseEventResult CAnimKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!dragging || !buttons.isLeftButton()) return kMouseEventNotHandled;
  const float perPixel = (buttons & kShift) ? 1.f / 2000.f : 1.f / 200.f;
  const float before = value;
  setValueNormalized(dragStartValue + static_cast<float>(dragStart.y - where.y) * perPixel);
  valueChangedFrom(before);
  return kMouseEventHandled;
}

CMouseEventResult CAnimKnob::onMouseUp(CPoint&, const CButtonState&) {
  if (dragging) {
    dragging = false;
    endEdit();
  }
  return kMouseEventHandled;
}

bool CAnimKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
  const float step = (buttons & kShift) ? 0.01f : 0.1f;
  const float before = value;
  setValueNormalized(getValueNormalized() + distance * step);
  if (value != before || isDirty()) {
    beginEdit();
    valueChanged();
    endEdit();
  }
  return true;
}

}  // namespace VSTGUI
