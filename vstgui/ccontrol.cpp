#include "ccontrol.h"

#include "cbitmap.h"
#include "cdrawcontext.h"
#include "cframe.h"

namespace VSTGUI {

CControl::CControl(const CRect& viewSize, IControlListener* l, int32_t t, CBitmap* bitmap)
    : CView(viewSize), listener(l), tag(t) {
  if (bitmap) setBackground(bitmap);
  dirty = false;
}

CControl::CControl(const CControl& other)
    : CView(other),
      listener(other.listener),
      tag(other.tag),
      value(other.value),
      oldValue(other.oldValue),
      defaultValue(other.defaultValue),
      vmin(other.vmin),
      vmax(other.vmax),
      editing(0) {}

void CControl::setValue(float val) {
  if (val < vmin)
    val = vmin;
  else if (val > vmax)
    val = vmax;
  value = val;
}

void CControl::setValueNormalized(float val) {
  if (val < 0.f)
    val = 0.f;
  else if (val > 1.f)
    val = 1.f;
  setValue(vmin + val * (vmax - vmin));
}

float CControl::getValueNormalized() const {
  const float range = vmax - vmin;
  if (range == 0.f) return 0.f;
  return (value - vmin) / range;
}

void CControl::beginEdit() {
  if (++editing != 1) return;
  if (parentFrame) parentFrame->beginEdit(tag);
  if (listener) listener->controlBeginEdit(this);
}

void CControl::endEdit() {
  if (editing <= 0) {
    editing = 0;
    return;
  }
  if (--editing != 0) return;
  if (listener) listener->controlEndEdit(this);
  if (parentFrame) parentFrame->endEdit(tag);
}

void CControl::valueChanged() {
  if (listener) listener->valueChanged(this);
}

void CControl::valueChangedFrom(float before) {
  if (value != before || isDirty()) valueChanged();
}

void CControl::bounceValue() {
  if (value > vmax)
    value = vmax;
  else if (value < vmin)
    value = vmin;
}

bool CControl::isDirty() const { return oldValue != value || CView::isDirty(); }

void CControl::setDirty(bool state) {
  CView::setDirty(state);
  if (state)
    oldValue = value != -1.f ? -1.f : 0.f;
  else
    oldValue = value;
}

bool CControl::removed(CView* parent) {
  // A control taken away in the middle of a gesture closes it, so that the host sees every
  // begin matched by an end.
  if (editing > 0) {
    editing = 1;
    endEdit();
  }
  return CView::removed(parent);
}

void CControl::draw(CDrawContext* context) {
  if (background && context) background->draw(context, size);
  setDirty(false);
}

}  // namespace VSTGUI
