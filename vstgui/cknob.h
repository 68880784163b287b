// A knob drawn from a film strip: frames of equal height stacked vertically.
#pragma once

#include "cfilmstrip.h"

namespace VSTGUI {

class CAnimKnob : public CFilmStripControl {
 public:
  CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, int32_t subPixmaps,
            CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint(0, 0));
  // Frames as high as the view; their number follows from the bitmap's height.
  CAnimKnob(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
            const CPoint& offset = CPoint(0, 0));

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  using CControl::onWheel;
  bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;

  void setInverseBitmap(bool state) { bInverseBitmap = state; }
  bool getInverseBitmap() const { return bInverseBitmap; }
  // Source offset of the frame that shows the normalised value v: the value scaled over all
  // frames, truncated and snapped down to the start of a frame; 0 for negative values.
  CPoint frameOffsetFor(float v) const;

  CBaseObject* newCopy() const override { return new CAnimKnob(*this); }

 protected:
  bool bInverseBitmap = false;
  // Linear drag: 200 px of vertical travel for the whole range, ten times finer with Shift.
  CPoint dragStart;
  float dragStartValue = 0.f;
  bool dragging = false;
};

}  // namespace VSTGUI
