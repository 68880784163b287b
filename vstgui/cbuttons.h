// Two-state switch and momentary button, drawn from two frames stacked vertically.
#pragma once

#include "ccontrol.h"

namespace VSTGUI {

enum { kPreListenerUpdate = 0, kPostListenerUpdate = 1 << 0 };

class COnOffButton : public CControl {
 public:
  COnOffButton(const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
               CBitmap* background = nullptr, int32_t style = kPreListenerUpdate);

  // Off is the upper half of the bitmap, on the lower.
  void draw(CDrawContext* context) override;
  // The left button toggles and reports.
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  int32_t getStyle() const { return style; }
  CBaseObject* newCopy() const override { return new COnOffButton(*this); }

 protected:
  int32_t style;
};

// Reports value 1 when pressed and 0 when released, both to the listener.
class CKickButton : public CControl {
 public:
  CKickButton(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
              const CPoint& offset = CPoint(0, 0));
  CKickButton(const CRect& size, IControlListener* listener, int32_t tag, CCoord heightOfOneImage,
              CBitmap* background, const CPoint& offset = CPoint(0, 0));

  // Released frame on top, pressed frame below.
  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CBaseObject* newCopy() const override { return new CKickButton(*this); }

 protected:
  CCoord heightOfOneImage;
  CPoint offset;
  bool pressed = false;
};

}  // namespace VSTGUI
