// What the plug-in's controls and screens need from the editor they live in. The editor
// implements it; tests use a fake. A control keeps no pointer to either: it asks its frame each
// time (controlContext), so a control whose frame has no editor yet simply does nothing.
#pragma once

#include <cstdint>

#include "vstgui/cview.h"

namespace VSTGUI {
class CBitmap;
class CControl;
}  // namespace VSTGUI

class APlugin;

class IControlEditor {
 public:
  virtual ~IControlEditor() = default;

  virtual APlugin* getPlugin() = 0;

  // Steps the built-in program (preset menu arrows and wheel).
  virtual void changeProgramDelta(int delta) = 0;
  // The folder menu's arrows and wheel: kept for the menu's sake, does nothing.
  virtual void changeFolderDelta(int delta = 0) = 0;
  // Selects distortion type `type`; out-of-range types are limited by the editor.
  virtual void updateDistort(int type) = 0;

  // Modulation drag-and-drop: a knob was pressed (tag) and later released.
  virtual void setDropTag(int tag) = 0;
  virtual void releasedDropDial() = 0;
  virtual bool isDroppable(int tag) = 0;
  // Whether modulation rings and the slider's modulation marker are shown.
  virtual bool getModDial() = 0;

  // The generated wave-shaper curve of shaper ws at point 0..255, in 0..1.
  virtual float getWaveShaperDistortValues(int ws, int point) = 0;

  // Shared artwork (null when it did not load).
  virtual VSTGUI::CBitmap* menuLeftArrowBitmap() = 0;
  virtual VSTGUI::CBitmap* menuRightArrowBitmap() = 0;
  virtual VSTGUI::CBitmap* vuBitmap() = 0;
  virtual VSTGUI::CBitmap* sliderBitmap() = 0;
  virtual VSTGUI::CBitmap* sliderModBitmap() = 0;
  virtual VSTGUI::CBitmap* waveShaperDotBitmap() = 0;

  // Pop-up command menus, opened at p (frame coordinates).
  virtual void showMIDIMenu(VSTGUI::CControl* control, const VSTGUI::CPoint& p) = 0;
  virtual void showControlMenu(const VSTGUI::CPoint& p) = 0;
  virtual void showDestMenu(const VSTGUI::CPoint& p, int tag) = 0;
  virtual void showModMenu(const VSTGUI::CPoint& p, int row) = 0;
  virtual void showEQMenu(const VSTGUI::CPoint& p, int eq) = 0;
  virtual void showWaveShaperMenu(const VSTGUI::CPoint& p, int shaper) = 0;

  // One-step undo snapshots, taken before a screen edit.
  virtual void setEQUndo() = 0;
  virtual void setModUndo() = 0;
  virtual void setWaveShaperUndo() = 0;
};

// The editor and plug-in a view reaches through its frame; both null unless both exist.
struct ControlContext {
  IControlEditor* editor = nullptr;
  APlugin* plugin = nullptr;
  explicit operator bool() const { return editor != nullptr && plugin != nullptr; }
};
ControlContext controlContext(const VSTGUI::CView* view);
