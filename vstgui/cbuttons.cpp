#include "cbuttons.h"

#include "cbitmap.h"
#include "cdrawcontext.h"

namespace VSTGUI {

COnOffButton::COnOffButton(const CRect& viewSize, IControlListener* l, int32_t t, CBitmap* bitmap, int32_t s)
    : CControl(viewSize, l, t, bitmap), style(s) {}

void COnOffButton::draw(CDrawContext* context) {
  if (background && context) {
    const CCoord y = getValueNormalized() >= 0.5f ? background->getHeight() / 2 : 0;
    background->draw(context, size, CPoint(0, y));
  }
  setDirty(false);
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  setValue(getValueNormalized() >= 0.5f ? vmin : vmax);
  beginEdit();
  valueChanged();
  endEdit();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CKickButton::CKickButton(const CRect& viewSize, IControlListener* l, int32_t t, CBitmap* bitmap,
                         const CPoint& sourceOffset)
    : CControl(viewSize, l, t, bitmap), heightOfOneImage(viewSize.getHeight()), offset(sourceOffset) {}

CKickButton::CKickButton(const CRect& viewSize, IControlListener* l, int32_t t, CCoord frameHeight,
                         CBitmap* bitmap, const CPoint& sourceOffset)
    : CControl(viewSize, l, t, bitmap), heightOfOneImage(frameHeight), offset(sourceOffset) {}

void CKickButton::draw(CDrawContext* context) {
  if (background && context) {
    CPoint where(offset);
    if (getValueNormalized() >= 0.5f) where.y += heightOfOneImage;
    background->draw(context, size, where);
  }
  setDirty(false);
}

CMouseEventResult CKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  pressed = true;
  beginEdit();
  setValue(vmax);
  valueChanged();
  // The listener may have removed the button (a screen change); it then gets no release.
  return isAttached() ? kMouseEventHandled : kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!pressed || !buttons.isLeftButton()) return kMouseEventHandled;
  // Only the picture follows the pointer; the listener hears press and release.
  setValue(size.pointInside(where) ? vmax : vmin);
  return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint&, const CButtonState&) {
  if (!pressed) return kMouseEventHandled;
  pressed = false;
  setValue(vmin);
  valueChanged();
  endEdit();
  return kMouseEventHandled;
}

}  // namespace VSTGUI
