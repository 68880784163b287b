// The VST 2 editor binding: an AEffEditor whose window is a toolkit frame.
#pragma once

#include "cframe.h"
#include "vst2/aeffect.h"
#include "vst2/aeffeditor.h"

namespace VSTGUI {

class AEffGUIEditor : public AEffEditor, public VSTGUIEditorInterface {
 public:
  explicit AEffGUIEditor(AudioEffect* effect);
  ~AEffGUIEditor() override;

  // Parameter notification from the plug-in; the binding does nothing with it.
  virtual void setParameter(int32_t index, float value);

  // The editor rectangle (rect), valid before open as hosts ask for it first.
  bool getRect(ERect** ppRect) override;
  // Remembers the host's window; a derived editor then creates frame inside it.
  bool open(void* ptr) override;
  // Closes and releases the frame.
  void close() override;
  // The frame's idle pass (window events, redraw, tool-tips).
  void idle() override;
  // Only the window's pending events (mouse, keys, exposure), without the redraw. An editor
  // whose idle skips passes to save work calls this on every host idle call, so the window
  // answers at the host's rate.
  void pumpEvents();
  void draw(ERect* pRect) override;
  // Keys from the host's key calls; a key the window already delivered is not handled again.
  bool onKeyDown(VstKeyCode& keyCode) override;
  bool onKeyUp(VstKeyCode& keyCode) override;
  // The wheel goes to the view under the last known mouse position.
  bool onWheel(float distance) override;
  bool setKnobMode(int32_t val) override;
  int32_t getKnobMode() const override { return knobMode; }
  void doIdleStuff() override;
  // Edit gestures of a parameter, for the host's automation.
  void beginEdit(int32_t index) override;
  void endEdit(int32_t index) override;
  virtual bool beforeSizeChange(const CRect& newSize, const CRect& oldSize);

  // Milliseconds of a monotonic clock, wrapping at 2^32 (compare by unsigned difference).
  // Tests replace the clock with Ticks::setSource.
  uint32_t getTicks() const { return Ticks::now(); }

 protected:
  bool hostKey(VstKeyCode& keyCode, bool down);

  ERect rect{0, 0, 0, 0};
  int32_t knobMode = kCircularMode;
  bool inIdle = false;
};

}  // namespace VSTGUI
