// A view that holds other views; its children's sizes are given in its own coordinates,
// whose origin is the container's top-left corner.
#pragma once

#include <vector>

#include "ccolor.h"
#include "cview.h"

namespace VSTGUI {

class CViewContainer : public CView {
 public:
  explicit CViewContainer(const CRect& size);
  // Copies the settings, not the children.
  CViewContainer(const CViewContainer& other);
  ~CViewContainer() override;

  // Takes over the caller's reference.
  virtual bool addView(CView* view);
  virtual bool addView(CView* view, CView* before);
  // withForget false keeps the view alive for the caller.
  virtual bool removeView(CView* view, bool withForget = true);
  virtual bool removeAll(bool withForget = true);
  bool isChild(CView* view) const;
  int32_t getNbViews() const { return static_cast<int32_t>(children.size()); }
  CView* getView(int32_t index) const;

  // The topmost visible view whose mouseable area holds where; where is in this container's
  // own coordinates (for a frame: frame coordinates). deep descends into containers.
  CView* getViewAt(const CPoint& where, bool deep = false) const;

  void setBackgroundColor(const CColor& color) { backgroundColor = color; }
  const CColor& getBackgroundColor() const { return backgroundColor; }
  // Accepted for compatibility; drawing always goes to the frame's image.
  void useOffscreen(bool state) { offscreen = state; }
  bool isUsingOffscreen() const { return offscreen; }

  void drawRect(CDrawContext* context, const CRect& updateRect) override;
  virtual void drawBackgroundRect(CDrawContext* context, const CRect& updateRect);
  void invalid() override;
  // rect in this container's own coordinates.
  void invalidRect(const CRect& rect) override;

  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
  using CView::onWheel;
  bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
               const CButtonState& buttons) override;

  bool attached(CView* parent) override;
  bool removed(CView* parent) override;
  CPoint& frameToLocal(CPoint& point) const override;
  CPoint& localToFrame(CPoint& point) const override;

  CView* getMouseDownView() const { return mouseDownView; }
  // Walks every view below this container, depth first, parents before children.
  template <typename F>
  void forEachDescendant(F&& f) const {
    for (CView* child : children) {
      f(child);
      if (auto* container = dynamic_cast<CViewContainer*>(child)) container->forEachDescendant(f);
    }
  }

  CViewContainer* asViewContainer() override { return this; }
  CBaseObject* newCopy() const override { return new CViewContainer(*this); }

 protected:
  void clearMouseDownView();

  std::vector<CView*> children;
  CView* mouseDownView = nullptr;
  CColor backgroundColor = kTransparentCColor;
  bool offscreen = false;
};

}  // namespace VSTGUI
