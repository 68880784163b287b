// The plug-in's own controls, and the fonts and colours they share by zoom index (0 = 100 %,
// 1 = 150 %, 2 = 200 %). The tables are constant-initialised, safe to read from other units'
// initialisers.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "controls/controlRules.h"
#include "controls/uControlEditor.h"
#include "guiTables.h"
#include "vstgui/cbuttons.h"
#include "vstgui/cfont.h"
#include "vstgui/cknob.h"
#include "vstgui/coptionmenu.h"

inline constexpr int FONT_STYLE = VSTGUI::kBoldFace;

// These point at the toolkit's stock fonts, which exist before any dynamic initialisation.
inline VSTGUI::CFontRef const FONT_SIZE[NUM_SCREEN_MODES] = {VSTGUI::kNormalFontSmall, VSTGUI::kNormalFontBig,
                                                             VSTGUI::kNormalFontVeryBig};
inline VSTGUI::CFontRef const BIG_FONT_SIZE[NUM_SCREEN_MODES] = {
    VSTGUI::kNormalFontBig, VSTGUI::kNormalFontVeryBig, VSTGUI::kNormalFontVeryBig};

// EQ band fills, band 1 strongest.
inline constexpr std::array<VSTGUI::CColor, 4> GREEN_TRANS_COLOR = {GREEN_1_TRANS_COLOR, GREEN_2_TRANS_COLOR,
                                                                    GREEN_3_TRANS_COLOR, GREEN_4_TRANS_COLOR};
// EQ band handle labels.
inline constexpr std::array<std::string_view, 4> BAND_STR = {"1", "2", "3", "4"};

// Zoom index of a screen mode, limited to the three sizes.
constexpr int zoomIndex(int scale) {
  return scale < 0 ? 0 : (scale >= NUM_SCREEN_MODES ? NUM_SCREEN_MODES - 1 : scale);
}
// A parameter's value as the plug-in shows it.
std::string displayText(APlugin& plugin, int32_t tag);

// ============================================================================================
// The controls. Each reaches its editor and plug-in through activeContext() whenever it needs
// them; hidden or without both it draws nothing, swallows clicks and leaves the wheel to others.

// Tag of the editor's command menus: they show no text of their own.
inline constexpr int32_t COMMAND_MENU_TAG = 9998;
// Frames of the knob and modulation-ring strips.
inline constexpr int32_t KNOB_FRAMES = 137;
// Frames of the Disrupt slider's animated handle strip; the handle advances two per draw.
inline constexpr int32_t SLIDER_HANDLE_FRAMES = 69;

// Any modifier key held (a switch then asks its listener first).
inline constexpr int32_t ANY_MODIFIER = VSTGUI::kShift | VSTGUI::kControl | VSTGUI::kAlt | VSTGUI::kApple;

// Every pop-up selector: parameter menus with optional step zones, the program selector and the
// folder selector.
class TOptionMenu : public VSTGUI::COptionMenu {
 public:
  TOptionMenu(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
              VSTGUI::CBitmap* background, VSTGUI::CBitmap* bkhimage, int32_t style, int scale, bool centred,
              bool deltaButtons);
  ~TOptionMenu() override = default;

  // Program selector: arrow pair at the right end instead of step zones.
  void setPresetMenu() {
    presetMode = true;
    deltaButtons = false;
  }
  // Folder selector: arrow pair at the left end.
  void setFolderMenu() { folderMode = true; }
  void setGreen() {
    textColour = GREEN_TEXT_COLOR;
    setDirty();
  }
  void setTextOffset(int offset) {
    textOffset = offset;
    setDirty();
  }
  // An empty text (or none) shows a blank, not the current entry.
  void setString(const std::string& s);
  void setString(const char* s) { setString(std::string(s ? s : "")); }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  using VSTGUI::COptionMenu::onWheel;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance,
               const VSTGUI::CButtonState& buttons) override;

 private:
  // The text drawn now (empty for the command menus).
  std::string textToDraw(APlugin& plugin) const;
  // Where the text goes, in the view's parent coordinates; arrowWidth is the right arrow's width.
  VSTGUI::CRect textRect(VSTGUI::CCoord arrowWidth) const;

  bool presetMode = false;
  bool folderMode = false;
  bool deltaButtons;
  int32_t textOffset = 0;
  int32_t deltaButtonWidth;
  std::string text;
  VSTGUI::CFontRef font;
  int32_t alignment;
  VSTGUI::CColor textColour = LIGHT_TEXT_COLOR;
};

// An invisible click area that opens the editor's settings menu.
class TControlMenu : public VSTGUI::CControl {
 public:
  TControlMenu(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener);
  ~TControlMenu() override = default;
  TControlMenu(const TControlMenu&) = default;
  CBaseObject* newCopy() const override { return new TControlMenu(*this); }
  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
};

// A two-state switch: off frame on top, on frame below. On from 0.5, like the parameter's switch.
class TOnOff : public VSTGUI::COnOffButton {
 public:
  TOnOff(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag, VSTGUI::CBitmap* bitmap);
  ~TOnOff() override = default;
  void draw(VSTGUI::CDrawContext* context) override;
  // Any mouse button toggles.
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
};

// A button that can only be switched on (the editor switches its siblings off).
class TRadioButton : public VSTGUI::CControl {
 public:
  TRadioButton(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, VSTGUI::CBitmap* bitmap);
  ~TRadioButton() override = default;
  TRadioButton(const TRadioButton&) = default;
  CBaseObject* newCopy() const override { return new TRadioButton(*this); }
  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
};

// A button stepping through `positions` states of a stepped parameter, one frame each.
class TRockerButton : public VSTGUI::CControl {
 public:
  TRockerButton(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
                VSTGUI::CBitmap* bitmap, int32_t positions, float stepScale);
  ~TRockerButton() override = default;
  TRockerButton(const TRockerButton&) = default;
  CBaseObject* newCopy() const override { return new TRockerButton(*this); }
  // The frame shown for the current value.
  int32_t frame() const;
  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

 private:
  int32_t positions;
  float stepScale;
};

// The animated knob of every continuous parameter: modulation ring under the knob, caption and
// live value text below it.
class TKnob : public VSTGUI::CAnimKnob {
 public:
  TKnob(const VSTGUI::CRect& size, VSTGUI::CCoord frameHeight, VSTGUI::IControlListener* listener,
        int32_t tag, VSTGUI::CBitmap* knobBitmap, VSTGUI::CBitmap* ringBitmap, int scale, int32_t knobInset,
        int32_t labelShift);
  ~TKnob() override;
  TKnob(const TKnob&) = delete;
  TKnob& operator=(const TKnob&) = delete;

  // The caption; an empty one shows a blank.
  void setString(const std::string& s);
  const std::string& getString() const { return label; }
  void setGreenText() {
    textColour = GREEN_TEXT_COLOR;
    setDirty();
  }
  // Modulation amount 0..1 shown by the ring; redraws only when the ring frame changes.
  void setMod(float m);
  int32_t getModFrame() const { return modFrame; }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  // The toolkit's wheel, once the knob is live in an editor.
  using VSTGUI::CAnimKnob::onWheel;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance,
               const VSTGUI::CButtonState& buttons) override;
  // Taken away mid-gesture: the modulation drag ends with the edit.
  bool removed(VSTGUI::CView* parent) override;

  // The line the value text is centred in, in the view's parent coordinates.
  VSTGUI::CRect valueRect() const;
  // The font size the value text is drawn at: the font's own, or smaller where the text would
  // not fit the part of its line inside the view.
  VSTGUI::CCoord valueTextSize(VSTGUI::CDrawContext* context, const std::string& text);

 private:
  // Where the knob image and the caption go, in the view's parent coordinates.
  VSTGUI::CRect imageRect() const;
  VSTGUI::CRect captionRect() const;
  void releaseDrop();

  VSTGUI::CBitmap* knobBitmap;
  VSTGUI::CBitmap* ringBitmap;
  int32_t knobInset;
  int32_t labelShift;
  int32_t labelHeight;
  int32_t labelRise;
  int32_t modFrame = 0;
  DragAxis drag;
  std::string label;
  VSTGUI::CCoord captionSize = 0;  // the caption's font size, fitted at its first draw
  std::string fittedValue;         // the value text valueSize was fitted for
  VSTGUI::CCoord valueSize = 0;
  VSTGUI::CFontRef font;
  VSTGUI::CPoint firstPoint;
  VSTGUI::CPoint lastPoint{-1, -1};
  VSTGUI::CColor textColour = LIGHT_TEXT_COLOR;
  bool dropOpen = false;  // setDropTag sent, releasedDropDial not yet
};

// The spring-loaded Disrupt slider with its modulation marker.
class THorizontalSlider : public VSTGUI::CControl {
 public:
  THorizontalSlider(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, int32_t tag,
                    int32_t handleWidth);
  ~THorizontalSlider() override = default;
  THorizontalSlider(const THorizontalSlider& other);
  CBaseObject* newCopy() const override { return new THorizontalSlider(*this); }

  // Live Disrupt value -1..1; recomputed at most once per refresh key.
  void setMod(float m, int key);
  float getModValue() const { return modValue; }
  int32_t getAnimFrame() const { return animFrame; }

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  using VSTGUI::CControl::onWheel;
  bool onWheel(const VSTGUI::CPoint& where, const float& distance,
               const VSTGUI::CButtonState& buttons) override;
  // Taken away mid-drag: the host edit ends and the spring comes back on.
  bool removed(VSTGUI::CView* parent) override;

 private:
  // Left edge of the handle (or marker) for a value -1..1.
  VSTGUI::CCoord handleLeft(float h) const;
  // The gesture's end: host edit closed, spring on.
  void finishGesture(APlugin& plugin);

  int32_t handleWidth;
  float travel;
  int32_t lastX = 0;
  float dragValue = 0.f;
  int32_t animFrame = 0;
  int32_t modKey = 0;
  float modValue = 0.f;
  bool dragging = false;
};

// A static text in the readout colour.
class TReadout : public VSTGUI::CControl {
 public:
  TReadout(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener, const std::string& text, int scale,
           bool centred, bool big);
  ~TReadout() override = default;
  TReadout(const TReadout&) = default;
  CBaseObject* newCopy() const override { return new TReadout(*this); }
  // Redraws only when the text changed; an empty text stays empty.
  void setString(const std::string& s);
  const std::string& getString() const { return text; }
  void draw(VSTGUI::CDrawContext* context) override;
  // Live, clicks go to the views below.
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

 private:
  std::string text;
  int32_t alignment;
  VSTGUI::CFontRef font;
};

// A static white text, large and centred.
class TReadoutString : public VSTGUI::CParamDisplay {
 public:
  TReadoutString(const VSTGUI::CRect& size, const std::string& text);
  ~TReadoutString() override = default;
  // An empty text shows a blank.
  void setString(const std::string& s);
  const std::string& getString() const { return text; }
  void draw(VSTGUI::CDrawContext* context) override;
  // Live, clicks go to the views below.
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

 private:
  std::string text;
};

// One bar of the level meter: the lit part of the meter artwork below the level line.
class TVu : public VSTGUI::CControl {
 public:
  TVu(const VSTGUI::CRect& size, VSTGUI::IControlListener* listener);
  ~TVu() override = default;
  TVu(const TVu&) = default;
  CBaseObject* newCopy() const override { return new TVu(*this); }
  // Level 0..1 (larger levels light the whole bar, NaN none); redraws only on change.
  void setVuValue(float v);
  int32_t getBarTop() const { return barTop; }
  void draw(VSTGUI::CDrawContext* context) override;
  // Live, clicks go to the views below.
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;

 private:
  int32_t barTop;
};
