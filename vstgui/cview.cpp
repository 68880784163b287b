#include "cview.h"

#include <cstring>

#include "cbitmap.h"
#include "cdrawcontext.h"
#include "cframe.h"

namespace VSTGUI {

void CBaseObject::forget() {
  if (--nbReference == 0) delete this;
}

CView::CView(const CRect& viewSize) : size(viewSize), mouseableArea(viewSize) {}

CView::CView(const CView& other)
    : CBaseObject(other),
      size(other.size),
      mouseableArea(other.mouseableArea),
      background(other.background),
      visible(other.visible),
      dirty(false),
      mouseEnabled(other.mouseEnabled),
      attributes(other.attributes) {
  if (background) background->remember();
}

CView::~CView() {
  if (background) background->forget();
}

void CView::draw(CDrawContext* context) {
  if (background && context) background->draw(context, size);
  setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect& /*updateRect*/) { draw(context); }

void CView::invalid() { invalidRect(size); }

void CView::invalidRect(const CRect& rect) {
  if (parentView) parentView->invalidRect(rect);
}

void CView::setViewSize(const CRect& newSize, bool invalidate) {
  if (invalidate) invalid();
  if (mouseableArea == size) mouseableArea = newSize;
  size = newSize;
  if (invalidate) invalid();
}

bool CView::hitTest(const CPoint& where, const CButtonState&) { return mouseableArea.pointInside(where); }

void CView::setVisible(bool state) {
  if (visible == state) return;
  visible = state;
  invalid();
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
bool CView::onWheel(const CPoint&, const float&, const CButtonState&) { return false; }

bool CView::onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                    const CButtonState& buttons) {
  if (axis != kMouseWheelAxisY) return false;
  return onWheel(where, distance, buttons);
}

int32_t CView::onKeyDown(VstKeyCode&) { return -1; }
int32_t CView::onKeyUp(VstKeyCode&) { return -1; }

VSTGUIEditorInterface* CView::getEditor() const { return parentFrame ? parentFrame->getEditor() : nullptr; }

bool CView::attached(CView* parent) {
  parentView = parent;
  parentFrame = parent ? parent->getFrame() : nullptr;
  attachedFlag = parentFrame != nullptr;
  return true;
}

bool CView::removed(CView*) {
  if (parentFrame && parentFrame != this) parentFrame->onViewRemoved(this);
  parentFrame = nullptr;
  attachedFlag = false;
  return true;
}

CPoint& CView::frameToLocal(CPoint& point) const {
  if (parentView) parentView->frameToLocal(point);
  return point;
}

CPoint& CView::localToFrame(CPoint& point) const {
  if (parentView) parentView->localToFrame(point);
  return point;
}

CRect CView::getFrameRect() const {
  CRect r(size);
  CPoint origin(0, 0);
  if (parentView) parentView->localToFrame(origin);
  r.offset(origin);
  return r;
}

bool CView::setAttribute(CViewAttributeID id, uint32_t inSize, const void* buffer) {
  if (inSize > 0 && !buffer) return false;
  const char* bytes = static_cast<const char*>(buffer);
  attributes[id] = std::vector<char>(bytes, bytes + inSize);
  return true;
}

bool CView::getAttributeSize(CViewAttributeID id, uint32_t& outSize) const {
  auto it = attributes.find(id);
  if (it == attributes.end()) return false;
  outSize = static_cast<uint32_t>(it->second.size());
  return true;
}

bool CView::getAttribute(CViewAttributeID id, uint32_t inSize, void* buffer, uint32_t& outSize) const {
  auto it = attributes.find(id);
  if (it == attributes.end() || inSize < it->second.size() || (!buffer && !it->second.empty())) return false;
  outSize = static_cast<uint32_t>(it->second.size());
  if (outSize) std::memcpy(buffer, it->second.data(), outSize);
  return true;
}

bool CView::removeAttribute(CViewAttributeID id) { return attributes.erase(id) > 0; }

void CView::setTooltipText(const std::string& text) {
  setAttribute(kCViewTooltipAttribute, static_cast<uint32_t>(text.size() + 1), text.c_str());
}

std::string CView::getTooltipText() const {
  auto it = attributes.find(kCViewTooltipAttribute);
  if (it == attributes.end() || it->second.empty()) return {};
  // Up to the first NUL: the attribute carries its terminator.
  return std::string(it->second.data(), strnlen(it->second.data(), it->second.size()));
}

void CView::setBackground(CBitmap* bitmap) {
  if (bitmap == background) return;
  if (bitmap) bitmap->remember();
  if (background) background->forget();
  background = bitmap;
  setDirty();
}

}  // namespace VSTGUI
