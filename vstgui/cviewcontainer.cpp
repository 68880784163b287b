#include "cviewcontainer.h"

#include <algorithm>

#include "cbitmap.h"
#include "cdrawcontext.h"

namespace VSTGUI {

CViewContainer::CViewContainer(const CRect& viewSize) : CView(viewSize) {}

CViewContainer::CViewContainer(const CViewContainer& other)
    : CView(other), backgroundColor(other.backgroundColor), offscreen(other.offscreen) {}

CViewContainer::~CViewContainer() { removeAll(true); }

bool CViewContainer::addView(CView* view) { return addView(view, nullptr); }

bool CViewContainer::addView(CView* view, CView* before) {
  if (!view || view == this || isChild(view) || view->getParentView()) return false;
  auto pos = std::find(children.begin(), children.end(), before);
  children.insert(pos, view);
  view->attached(this);
  view->setDirty(false);
  view->invalid();
  return true;
}

bool CViewContainer::removeView(CView* view, bool withForget) {
  auto it = std::find(children.begin(), children.end(), view);
  if (it == children.end()) return false;
  if (mouseDownView == view) clearMouseDownView();
  view->invalid();
  children.erase(it);
  view->removed(this);
  view->parentView = nullptr;
  if (withForget) view->forget();
  return true;
}

bool CViewContainer::removeAll(bool withForget) {
  clearMouseDownView();
  if (!children.empty()) invalid();
  while (!children.empty()) {
    CView* view = children.back();
    children.pop_back();
    view->removed(this);
    view->parentView = nullptr;
    if (withForget) view->forget();
  }
  return true;
}

bool CViewContainer::isChild(CView* view) const {
  return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::getView(int32_t index) const {
  if (index < 0 || index >= getNbViews()) return nullptr;
  return children[static_cast<size_t>(index)];
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* child = *it;
    if (!child->isVisible() || !child->getMouseableArea().pointInside(where)) continue;
    if (deep) {
      if (CViewContainer* container = child->asViewContainer()) {
        CPoint inner(where);
        inner.offset(-container->getViewSize().left, -container->getViewSize().top);
        if (CView* found = container->getViewAt(inner, true)) return found;
      }
    }
    return child;
  }
  return nullptr;
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& updateRect) {
  if (backgroundColor.alpha > 0) {
    CRect r(updateRect);
    r.bound(size);
    context->setFillColor(backgroundColor);
    context->fillRect(r);
  }
  if (background) background->draw(context, size);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
  CRect area(updateRect);
  area.bound(size);
  if (area.isEmpty() || !context) return;
  CRect oldClip;
  context->getClipRect(oldClip);
  const CPoint oldOffset = context->getOffset();

  CRect clip(area);
  clip.bound(oldClip);
  context->setClipRect(clip);
  drawBackgroundRect(context, area);

  CRect local(clip);
  local.offset(-size.left, -size.top);
  context->setOffset(oldOffset + size.getTopLeft());
  // A view may be removed while its siblings draw (rare, but a draw must not crash then).
  const std::vector<CView*> snapshot(children);
  for (CView* child : snapshot) {
    if (!child->isVisible()) continue;
    CRect childClip(child->getViewSize());
    childClip.bound(local);
    if (childClip.isEmpty()) continue;
    context->setClipRect(childClip);
    child->drawRect(context, childClip);
    child->setDirty(false);
  }
  context->setOffset(oldOffset);
  context->setClipRect(oldClip);
  setDirty(false);
}

void CViewContainer::invalid() {
  if (parentView) parentView->invalidRect(size);
}

void CViewContainer::invalidRect(const CRect& rect) {
  if (!parentView) return;
  CRect r(rect);
  r.offset(size.left, size.top);
  r.bound(size);
  if (!r.isEmpty()) parentView->invalidRect(r);
}

void CViewContainer::clearMouseDownView() {
  if (mouseDownView) {
    CView* view = mouseDownView;
    mouseDownView = nullptr;
    view->forget();
  }
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
  clearMouseDownView();
  CPoint local(where);
  local.offset(-size.left, -size.top);
  const std::vector<CView*> snapshot(children);
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    CView* child = *it;
    if (!isChild(child) || !child->isVisible() || !child->getMouseEnabled() ||
        !child->hitTest(local, buttons))
      continue;
    child->remember();
    CPoint p(local);
    const CMouseEventResult result = child->onMouseDown(p, buttons);
    if (result == kMouseEventNotHandled || result == kMouseEventNotImplemented) {
      child->forget();
      continue;
    }
    // A view that removed itself (or was removed) during its own click gets no more events.
    if (result == kMouseEventHandled && isChild(child))
      mouseDownView = child;  // keeps the reference taken above
    else
      child->forget();
    return result;
  }
  return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons) {
  if (!mouseDownView) return kMouseEventNotHandled;
  CView* view = mouseDownView;
  view->remember();
  CPoint p(where);
  p.offset(-size.left, -size.top);
  const CMouseEventResult result = view->onMouseUp(p, buttons);
  if (mouseDownView == view) clearMouseDownView();
  view->forget();
  return result;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!mouseDownView) return kMouseEventNotHandled;
  CView* view = mouseDownView;
  view->remember();
  CPoint p(where);
  p.offset(-size.left, -size.top);
  const CMouseEventResult result = view->onMouseMoved(p, buttons);
  if (result == kMouseMoveEventHandledButDontNeedMoreEvents && mouseDownView == view) clearMouseDownView();
  view->forget();
  return result;
}

bool CViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                             const CButtonState& buttons) {
  CPoint local(where);
  local.offset(-size.left, -size.top);
  const std::vector<CView*> snapshot(children);
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    CView* child = *it;
    if (!isChild(child) || !child->isVisible() || !child->getMouseEnabled() ||
        !child->getMouseableArea().pointInside(local))
      continue;
    child->remember();
    const bool handled = child->onWheel(local, axis, distance, buttons);
    child->forget();
    if (handled) return true;
  }
  return false;
}

bool CViewContainer::attached(CView* parent) {
  CView::attached(parent);
  for (CView* child : children) child->attached(this);
  return true;
}

bool CViewContainer::removed(CView* parent) {
  clearMouseDownView();
  for (CView* child : children) child->removed(this);
  return CView::removed(parent);
}

CPoint& CViewContainer::frameToLocal(CPoint& point) const {
  if (parentView) parentView->frameToLocal(point);
  point.offset(-size.left, -size.top);
  return point;
}

CPoint& CViewContainer::localToFrame(CPoint& point) const {
  point.offset(size.left, size.top);
  if (parentView) parentView->localToFrame(point);
  return point;
}

}  // namespace VSTGUI
