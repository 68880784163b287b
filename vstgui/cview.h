// The base of everything shown in a frame.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "cgeometry.h"

namespace VSTGUI {

using CViewAttributeID = uint32_t;
// The tool-tip text of a view: the characters with their terminating NUL.
inline constexpr CViewAttributeID kCViewTooltipAttribute = 0x63767474;  // 'cvtt'

// A view's size and mouse positions are given in its parent container's coordinates. Setting a
// value or marking a view dirty only sets fields; the frame's idle pass does all drawing. Views
// belong to the GUI thread: no other thread may call them.
class CView : public CBaseObject {
  friend class CViewContainer;

 public:
  explicit CView(const CRect& size);
  CView(const CView& other);
  ~CView() override;
  CView& operator=(const CView&) = delete;

  // Drawing, called by the frame's idle pass with the view's area as clip.
  virtual void draw(CDrawContext* context);
  virtual void drawRect(CDrawContext* context, const CRect& updateRect);

  virtual bool isDirty() const { return dirty; }
  virtual void setDirty(bool state = true) { dirty = state; }
  // Asks the frame to redraw the view's area at the next idle pass (GUI thread only).
  virtual void invalid();
  // rect in the coordinates of this view's parent.
  virtual void invalidRect(const CRect& rect);

  virtual void setViewSize(const CRect& newSize, bool invalidate = true);
  const CRect& getViewSize() const { return size; }
  CRect& getViewSize(CRect& rect) const { return rect = size; }
  CCoord getWidth() const { return size.getWidth(); }
  CCoord getHeight() const { return size.getHeight(); }
  // The area that receives mouse clicks; it follows setViewSize while it equals the view size.
  virtual void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
  const CRect& getMouseableArea() const { return mouseableArea; }
  CRect& getMouseableArea(CRect& rect) const { return rect = mouseableArea; }
  virtual bool hitTest(const CPoint& where, const CButtonState& buttons = CButtonState());

  virtual void setVisible(bool state);
  bool isVisible() const { return visible; }
  void setMouseEnabled(bool state) { mouseEnabled = state; }
  bool getMouseEnabled() const { return mouseEnabled; }

  // Mouse: where is in the parent's coordinates. A view that answers kMouseEventHandled to a
  // mouse-down receives the moved and up events until the button is released.
  virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
  virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
  virtual bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons);
  virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                       const CButtonState& buttons);
  // Keys: 1 (or another value) when used, -1 when not.
  virtual int32_t onKeyDown(VstKeyCode& keyCode);
  virtual int32_t onKeyUp(VstKeyCode& keyCode);

  CView* getParentView() const { return parentView; }
  CFrame* getFrame() const { return parentFrame; }
  virtual VSTGUIEditorInterface* getEditor() const;
  bool isAttached() const { return attachedFlag; }
  virtual bool attached(CView* parent);
  virtual bool removed(CView* parent);

  // Conversions between frame coordinates and the coordinates this view's size is given in.
  virtual CPoint& frameToLocal(CPoint& point) const;
  virtual CPoint& localToFrame(CPoint& point) const;
  // The view's rectangle in frame coordinates.
  CRect getFrameRect() const;

  bool setAttribute(CViewAttributeID id, uint32_t inSize, const void* buffer);
  bool getAttributeSize(CViewAttributeID id, uint32_t& outSize) const;
  bool getAttribute(CViewAttributeID id, uint32_t inSize, void* buffer, uint32_t& outSize) const;
  bool removeAttribute(CViewAttributeID id);
  // Convenience over kCViewTooltipAttribute.
  void setTooltipText(const std::string& text);
  std::string getTooltipText() const;

  virtual void setBackground(CBitmap* bitmap);
  CBitmap* getBackground() const { return background; }
  CBitmap* getDrawBackground() const { return background; }

  // The view as a container, or null: cheaper than a dynamic_cast in the frame's idle pass,
  // which asks it of every view.
  virtual CViewContainer* asViewContainer() { return nullptr; }

  CBaseObject* newCopy() const override { return new CView(*this); }

 protected:
  CRect size;
  CRect mouseableArea;
  CView* parentView = nullptr;
  CFrame* parentFrame = nullptr;
  CBitmap* background = nullptr;
  bool visible = true;
  bool dirty = false;
  bool mouseEnabled = true;
  bool attachedFlag = false;

 private:
  std::map<CViewAttributeID, std::vector<char>> attributes;
};

}  // namespace VSTGUI
