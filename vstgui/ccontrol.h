// Controls: views with a value, a tag and a listener.
#pragma once

#include "cview.h"

namespace VSTGUI {

class IControlListener {
 public:
  virtual ~IControlListener() = default;
  virtual void valueChanged(CControl* control) = 0;
  // Asked first when a control is clicked with a modifier held; non-zero ends the click.
  virtual int32_t controlModifierClicked(CControl* control, CButtonState button) {
    (void)control;
    (void)button;
    return 0;
  }
  virtual void controlBeginEdit(CControl* control) { (void)control; }
  virtual void controlEndEdit(CControl* control) { (void)control; }
};

class CControl : public CView {
 public:
  CControl(const CRect& size, IControlListener* listener = nullptr, int32_t tag = 0,
           CBitmap* background = nullptr);
  CControl(const CControl& other);

  // Stores the value, bounded to min .. max; nothing else (GUI thread, like every view call:
  // the next idle pass redraws the control because its value moved).
  virtual void setValue(float val);
  float getValue() const { return value; }
  virtual void setValueNormalized(float val);
  float getValueNormalized() const;
  virtual void setMin(float val) { vmin = val; }
  float getMin() const { return vmin; }
  virtual void setMax(float val) { vmax = val; }
  float getMax() const { return vmax; }
  float getRange() const { return vmax - vmin; }
  virtual void setDefaultValue(float val) { defaultValue = val; }
  float getDefaultValue() const { return defaultValue; }
  virtual void setTag(int32_t val) { tag = val; }
  int32_t getTag() const { return tag; }
  virtual void setListener(IControlListener* l) { listener = l; }
  IControlListener* getListener() const { return listener; }

  // Edit gestures are counted: the first begin and the last end reach the frame (which tells
  // the editor the tag) and the listener.
  virtual void beginEdit();
  virtual void endEdit();
  bool isEditing() const { return editing > 0; }

  // Reports the current value to the listener.
  virtual void valueChanged();
  // Reports the value when a step moved it from `before` (or a redraw is pending). Compared with
  // the value before the step, not the one last drawn: two steps between idle passes that come
  // back to the drawn value must still reach the host.
  void valueChangedFrom(float before);
  // Brings a value outside min .. max back into the range.
  virtual void bounceValue();

  // Dirty when marked so or when the value moved since the last draw.
  bool isDirty() const override;
  void setDirty(bool state = true) override;

  bool removed(CView* parent) override;
  void draw(CDrawContext* context) override;
  CBaseObject* newCopy() const override { return new CControl(*this); }

 protected:
  IControlListener* listener;
  int32_t tag;
  float value = 0.f;
  float oldValue = 1.f;
  float defaultValue = 0.5f;
  float vmin = 0.f;
  float vmax = 1.f;
  int32_t editing = 0;
};

}  // namespace VSTGUI
