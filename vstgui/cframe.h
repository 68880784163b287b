// The root container of an editor window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cviewcontainer.h"
#include "iplatformframe.h"

namespace VSTGUI {

class CTooltipSupport;

// What the toolkit asks of the editor that owns a frame.
class VSTGUIEditorInterface {
 public:
  virtual ~VSTGUIEditorInterface() = default;
  virtual void doIdleStuff() {}
  virtual int32_t getKnobMode() const { return -1; }
  virtual void beginEdit(int32_t index) { (void)index; }
  virtual void endEdit(int32_t index) { (void)index; }
  virtual CFrame* getFrame() const { return frame; }

 protected:
  CFrame* frame = nullptr;
};

// Sees every key before the views do; a result other than -1 means the key was used.
class IKeyboardHook {
 public:
  virtual ~IKeyboardHook() = default;
  virtual int32_t onKeyDown(const VstKeyCode& code, CFrame* frame) = 0;
  virtual int32_t onKeyUp(const VstKeyCode& code, CFrame* frame) = 0;
};

class CFrame : public CViewContainer {
 public:
  CFrame(const CRect& size, VSTGUIEditorInterface* editor);
  CFrame(const CFrame&) = delete;

  // Creates the frame's image and its platform frame inside parentWindow.
  bool open(void* parentWindow, PlatformType type = PlatformType::kDefaultNative);
  // Removes (and releases) all views, closes the platform frame and releases the frame.
  void close();
  bool isOpen() const { return platformFrame != nullptr; }

  // The idle pass: tool-tip timing, then every dirty or invalidated area is redrawn into the
  // frame's image and presented. Re-entrant calls (from inside a modal pop-up) do nothing.
  void idle();

  VSTGUIEditorInterface* getEditor() const override { return editor; }
  IPlatformFrame* getPlatformFrame() const { return platformFrame.get(); }
  cairo_surface_t* getImage() const { return image; }
  // Writes the frame's image as PNG; false when there is none or writing failed.
  bool writePNG(const std::string& path) const;

  // Events from the platform frame (or a test). Positions are frame coordinates.
  CMouseEventResult platformOnMouseDown(CPoint& where, const CButtonState& buttons);
  CMouseEventResult platformOnMouseMoved(CPoint& where, const CButtonState& buttons);
  CMouseEventResult platformOnMouseUp(CPoint& where, const CButtonState& buttons);
  bool platformOnMouseWheel(const CPoint& where, const CMouseWheelAxis& axis, const float& distance,
                            const CButtonState& buttons);
  int32_t platformOnKeyDown(VstKeyCode& keyCode);
  int32_t platformOnKeyUp(VstKeyCode& keyCode);

  // The last mouse position the platform reported, in frame coordinates.
  bool getCurrentMouseLocation(CPoint& where) const;
  CButtonState getCurrentMouseButtons() const { return mouseButtons; }

  void registerKeyboardHook(IKeyboardHook* hook);
  void unregisterKeyboardHook(IKeyboardHook* hook);
  // Whether a click into the frame's window takes the window system's keyboard focus (off by
  // default: some hosts pass no keys to an editor, which then only gets them this way).
  void setKeyboardFocusOnClick(bool state) { keyboardFocusOnClick = state; }
  bool getKeyboardFocusOnClick() const { return keyboardFocusOnClick; }

  // Tells the editor that the parameter tag is being edited (host automation gestures).
  void beginEdit(int32_t tag);
  void endEdit(int32_t tag);

  void setFocusView(CView* view) { focusView = view; }
  CView* getFocusView() const { return focusView; }
  void looseFocus() { focusView = nullptr; }

  // The menu driver in use: the one installed here, else the platform frame's, else null.
  void setMenuDriver(IMenuDriver* driver) { menuDriver = driver; }
  IMenuDriver* getMenuDriver() const;

  // Tool-tips: the frame owns its tool-tip support (one at a time).
  void enableTooltips(bool state, uint32_t delayMs = 1000);
  void setTooltipSupport(CTooltipSupport* support);
  CTooltipSupport* getTooltipSupport() const { return tooltipSupport; }

  void invalid() override;
  void invalidRect(const CRect& rect) override;
  void setViewSize(const CRect& newSize, bool invalidate = true) override;
  // Areas waiting for the next idle pass (frame coordinates).
  const std::vector<CRect>& getInvalidRegions() const { return invalidRegions; }

  // Called by every view that leaves this frame.
  void onViewRemoved(CView* view);

  // Knob mode that knobs use unless the editor says otherwise.
  static int32_t kDefaultKnobMode;

  CBaseObject* newCopy() const override { return nullptr; }

 protected:
  ~CFrame() override;

 private:
  void collectDirty(CViewContainer* container, std::vector<CRect>& regions);
  void addRegion(std::vector<CRect>& regions, CRect rect) const;
  void paint(const CRect& region);
  bool createImage();
  void destroyImage();

  VSTGUIEditorInterface* editor;
  std::unique_ptr<IPlatformFrame> platformFrame;
  cairo_surface_t* image = nullptr;
  std::vector<CRect> invalidRegions;
  std::vector<IKeyboardHook*> keyboardHooks;
  IMenuDriver* menuDriver = nullptr;
  CTooltipSupport* tooltipSupport = nullptr;
  CView* focusView = nullptr;
  CPoint mouseLocation;
  CButtonState mouseButtons;
  bool inIdle = false;
  bool closing = false;
  bool keyboardFocusOnClick = false;
};

}  // namespace VSTGUI
