#include "pluginControls.h"

#include <algorithm>
#include <cmath>

#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "vstgui/cbitmap.h"
#include "vstgui/cdrawcontext.h"
#include "vstgui/cframe.h"

using namespace VSTGUI;

namespace {

// fontSize: the size to draw at (0: the font's own).
void drawTextLine(CDrawContext* context, const std::string& text, const CRect& rect, CFontRef font,
                  const CColor& colour, int32_t alignment, CCoord fontSize = 0) {
  if (text.empty()) return;
  context->setFont(font, fontSize, FONT_STYLE);
  context->setFontColor(colour);
  context->drawString(text.c_str(), rect, static_cast<CHoriTxtAlign>(alignment), true);
}

// The size at which text fits room: the font's own, or smaller down to two thirds of it, with a
// little room left for the glyphs' overhang. Long names (a Disrupt knob's destination) stay
// readable instead of losing both ends. Text up to keepUpTo x room wide keeps the font's size.
constexpr double FIT_MARGIN = 0.95;
CCoord fittedFontSize(CDrawContext* context, const std::string& text, CFontRef font, CCoord room,
                      double keepUpTo = FIT_MARGIN) {
  constexpr double MIN_SHRINK = 2.0 / 3.0;
  if (!font || text.empty()) return 0;
  context->setFont(font, 0, FONT_STYLE);
  const CCoord width = context->getStringWidth(text.c_str());
  if (!(width > room * keepUpTo)) return font->getSize();
  return font->getSize() * std::max(MIN_SHRINK, room * FIT_MARGIN / width);
}

// The width of r's part inside bounds, narrowed evenly about r's centre (centred text stays put).
CCoord centredWidthInside(const CRect& r, const CRect& bounds) {
  const CCoord centre = (r.left + r.right) / 2;
  return 2 * std::max<CCoord>(0, std::min({centre - bounds.left, bounds.right - centre, r.getWidth() / 2}));
}

// Disrupt values -1..1 snapped to the quantisation the plug-in is set to (index 0: none).
float quantiseDisrupt(float m, int32_t quant) {
  if (quant <= 0 || quant >= static_cast<int32_t>(DISRUPT_QUANT_DIVIDE.size())) return m;
  const float d = DISRUPT_QUANT_DIVIDE[static_cast<size_t>(quant)];
  return std::floor(m * d + 0.5f) / d;
}

}  // namespace

std::string displayText(APlugin& plugin, int32_t tag) {
  char text[PARAM_DISPLAY_BUFFER] = {};
  plugin.getParameterDisplay(tag, text);
  text[PARAM_DISPLAY_BUFFER - 1] = 0;
  return text;
}

// ---------------------------------------------------------------------------------------------
TOptionMenu::TOptionMenu(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* background,
                         CBitmap* bkhimage, int32_t style, int scale, bool centred, bool withDeltaButtons)
    : COptionMenu(size, listener, tag, background, bkhimage, style),
      deltaButtons(withDeltaButtons),
      deltaButtonWidth(DELTA_BUTTON_WIDTH[static_cast<size_t>(zoomIndex(scale))]),
      font(FONT_SIZE[zoomIndex(scale)]),
      alignment(centred ? kCenterText : kLeftText) {}

void TOptionMenu::setString(const std::string& s) {
  text = s.empty() ? " " : s;
  setDirty();
}

std::string TOptionMenu::textToDraw(APlugin& plugin) const {
  if (tag == COMMAND_MENU_TAG) return {};
  if ((tag >= FOLLOWER_DEST_1_TAG && tag < FOLLOWER_DEST_1_TAG + 3) ||
      (tag >= LFO_DEST_TAGS.front() && tag <= LFO_DEST_TAGS.back()))
    return std::string(shortDestText(plugin.getDestForTag(tag), plugin.getDistortType()));
  if (tag >= LFO_WAVE_TAGS.front() && tag <= LFO_WAVE_TAGS.back()) {
    const int wave = plugin.getLFOWaveByTag(tag);
    return wave >= 0 && wave < static_cast<int>(SHORT_LFO_WAVE_STR.size())
               ? std::string(SHORT_LFO_WAVE_STR[static_cast<size_t>(wave)])
               : std::string();
  }
  if (text.empty() && getNbEntries() > 0 && getCurrentIndex(true) >= 0) return getDisplayText();
  return text;
}

CRect TOptionMenu::textRect(CCoord arrowWidth) const {
  // Centred on whole pixels as the artwork expects: half the spare height, rounded down, one
  // lower for even heights.
  const int32_t viewHeight = static_cast<int32_t>(size.getHeight());
  const int32_t fontHeight = static_cast<int32_t>(font->getSize());
  CRect r(size);
  r.top = size.top + (viewHeight - fontHeight) / 2 + textOffset + (viewHeight % 2 == 0 ? 1 : 0);
  r.bottom = r.top + fontHeight;
  if (folderMode) r.left += 2 * arrowWidth;
  return r;
}

void TOptionMenu::draw(CDrawContext* context) {
  setDirty(false);
  const ControlContext c = activeContext(this);
  if (!c || !context) return;
  CBitmap* left = c.editor->menuLeftArrowBitmap();
  CBitmap* right = c.editor->menuRightArrowBitmap();
  const CCoord w = left ? left->getWidth() : 0;
  const CCoord rightWidth = right ? right->getWidth() : 0;
  const CCoord arrowHeight = right ? std::floor(right->getHeight() / 2) : 0;
  const CCoord y0 = size.top + static_cast<int32_t>((size.getHeight() - arrowHeight) / 2);
  auto arrow = [&](CBitmap* bitmap, CCoord x) {
    if (bitmap) bitmap->draw(context, CRect(x, y0, x + bitmap->getWidth(), y0 + arrowHeight));
  };
  if (deltaButtons) {
    arrow(left, size.left);
    arrow(right, size.right - rightWidth);
  }
  if (presetMode) {
    arrow(left, size.right - 2 * w);
    arrow(right, size.right - w);
  }
  if (folderMode) {
    arrow(left, size.left);
    arrow(right, size.left + w);
  }
  drawTextLine(context, textToDraw(*c.plugin), textRect(rightWidth), font, textColour, alignment);
}

CMouseEventResult TOptionMenu::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = activeContext(this);
  if (!c) return MOUSE_DONE;
  const CCoord dx = where.x - size.left;
  if (deltaButtons) {
    const int32_t x = static_cast<int32_t>(dx);
    if (x < deltaButtonWidth) {
      c.plugin->changeDelta(tag, -1);
      return MOUSE_DONE;
    }
    if (x > static_cast<int32_t>(size.getWidth()) - deltaButtonWidth) {
      c.plugin->changeDelta(tag, 1);
      return MOUSE_DONE;
    }
  }
  if (presetMode) {
    CBitmap* right = c.editor->menuRightArrowBitmap();
    const int32_t w = right ? static_cast<int32_t>(right->getWidth()) : 0;
    if (where.x > size.right - 2 * w) {
      c.editor->changeProgramDelta(where.x > size.right - w ? 1 : -1);
      return MOUSE_DONE;
    }
  }
  if (folderMode) {
    CBitmap* right = c.editor->menuRightArrowBitmap();
    const int32_t w = right ? static_cast<int32_t>(right->getWidth()) : 0;
    if (where.x < size.left + 2 * w) {
      c.editor->changeFolderDelta();
      return MOUSE_DONE;
    }
  }
  // The toolkit's pop-up; it closes the edit it opens whether an entry was chosen or not.
  COptionMenu::onMouseDown(where, buttons);
  return MOUSE_DONE;
}

bool TOptionMenu::onWheel(const CPoint&, const float& distance, const CButtonState&) {
  const ControlContext c = activeContext(this);
  if (!c) return false;
  const int sign = wheelSign(distance);
  if (presetMode) {
    if (sign != 0) c.editor->changeProgramDelta(-sign);
  } else if (folderMode) {
    c.editor->changeFolderDelta();
  } else if (deltaButtons) {
    if (sign != 0) c.plugin->changeDelta(tag, -sign);
  } else {
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
TControlMenu::TControlMenu(const CRect& size, IControlListener* listener)
    : CControl(size, listener, NO_PARAM_TAG) {}

void TControlMenu::draw(CDrawContext*) { setDirty(false); }

CMouseEventResult TControlMenu::onMouseDown(CPoint& where, const CButtonState&) {
  const ControlContext c = activeContext(this);
  if (!c) return MOUSE_DONE;
  c.editor->showControlMenu(framePoint(this, where));
  setDirty();
  return MOUSE_DONE;
}

// ---------------------------------------------------------------------------------------------
TOnOff::TOnOff(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* bitmap)
    : COnOffButton(size, listener, tag, bitmap, kPreListenerUpdate) {}

void TOnOff::draw(CDrawContext* context) {
  // The parameter behind a switch reads as on from 0.5, so the picture does too.
  if (background && context && activeContext(this)) {
    const CCoord y = value >= 0.5f ? std::floor(background->getHeight() / 2) : 0;
    background->draw(context, size, CPoint(0, y));
  }
  setDirty(false);
}

CMouseEventResult TOnOff::onMouseDown(CPoint&, const CButtonState& buttons) {
  if (!activeContext(this)) return MOUSE_DONE;
  if ((buttons & ANY_MODIFIER) && listener && listener->controlModifierClicked(this, buttons) != 0)
    return MOUSE_DONE;
  setValue(value >= 0.5f ? 0.f : 1.f);
  beginEdit();
  valueChanged();
  endEdit();
  return MOUSE_DONE;
}

// ---------------------------------------------------------------------------------------------
TRadioButton::TRadioButton(const CRect& size, IControlListener* listener, CBitmap* bitmap)
    : CControl(size, listener, NO_PARAM_TAG, bitmap) {}

void TRadioButton::draw(CDrawContext* context) {
  if (background && context && activeContext(this))
    background->draw(context, size, CPoint(0, size.getHeight() * static_cast<int32_t>(value)));
  setDirty(false);
}

CMouseEventResult TRadioButton::onMouseDown(CPoint&, const CButtonState&) {
  if (!activeContext(this)) return MOUSE_DONE;
  if (value < 0.5f) {
    setValue(1.f);
    setDirty();
    valueChanged();
  }
  return MOUSE_DONE;
}

// ---------------------------------------------------------------------------------------------
TRockerButton::TRockerButton(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* bitmap,
                             int32_t positionCount, float scale)
    : CControl(size, listener, tag, bitmap), positions(positionCount), stepScale(scale) {}

int32_t TRockerButton::frame() const {
  // float on purpose: the step scale is a little below the count (4.99 for five steps), and in
  // float each stored step times the scale lands back on its own frame.
  return std::clamp(static_cast<int32_t>(stepScale * value), 0, std::max(positions - 1, 0));
}

void TRockerButton::draw(CDrawContext* context) {
  if (background && context && positions > 0 && activeContext(this)) {
    const CCoord frameHeight = background->getHeight() / positions;
    background->draw(context, size, CPoint(0, std::floor(frameHeight * frame())));
  }
  setDirty(false);
}

CMouseEventResult TRockerButton::onMouseDown(CPoint&, const CButtonState&) {
  if (!activeContext(this) || positions < 1 || !(stepScale > 0.f)) return MOUSE_DONE;
  const int32_t next = (static_cast<int32_t>(value * stepScale) + 1) % positions;
  const float before = value;
  setValue(static_cast<float>(next) / stepScale);
  valueChangedFrom(before);
  return MOUSE_DONE;
}

// ---------------------------------------------------------------------------------------------
TKnob::TKnob(const CRect& size, CCoord frameHeight, IControlListener* listener, int32_t tag, CBitmap* knob,
             CBitmap* ring, int scale, int32_t inset, int32_t shift)
    : CAnimKnob(size, listener, tag, KNOB_FRAMES, frameHeight, knob, CPoint(0, 0)),
      knobBitmap(knob),
      ringBitmap(ring),
      knobInset(inset),
      labelShift(shift),
      labelHeight(KNOB_LABEL_OFFSET[static_cast<size_t>(zoomIndex(scale))]),
      labelRise(KNOB_START_LABEL_OFFSET[static_cast<size_t>(zoomIndex(scale))]),
      font(FONT_SIZE[zoomIndex(scale)]) {
  if (ringBitmap) ringBitmap->remember();
}

TKnob::~TKnob() {
  if (ringBitmap) ringBitmap->forget();
}

void TKnob::setString(const std::string& s) {
  label = s.empty() ? " " : s;
  captionSize = 0;
  setDirty();
}

void TKnob::setMod(float m) {
  if (!(m >= 0.f)) m = 0.f;  // NaN too
  m = std::min(m, 1.f);
  const int32_t f = static_cast<int32_t>(static_cast<float>(KNOB_FRAMES - 1) * m + 0.1f);
  if (f == modFrame) return;
  modFrame = f;
  setDirty();
}

CRect TKnob::imageRect() const {
  const CCoord left = size.left + knobInset / 2;
  return CRect(left, size.top, left + heightOfOneImage, size.top + heightOfOneImage);
}

CRect TKnob::captionRect() const {
  const CCoord left = size.left + labelShift;
  const CCoord top = size.top + heightOfOneImage - labelRise;
  return CRect(left, top, left + size.getWidth(), top + labelHeight);
}

CRect TKnob::valueRect() const {
  CRect r(captionRect());
  r.offset(0, labelHeight + 1);
  return r;
}

void TKnob::draw(CDrawContext* context) {
  setDirty(false);
  const ControlContext c = activeContext(this);
  // Without whole frames there is no frame to snap to.
  if (!c || !context || heightOfOneImage < 1) return;
  const CRect image(imageRect());
  if (ringBitmap) ringBitmap->draw(context, image, CPoint(0, modFrame * heightOfOneImage));
  if (knobBitmap) knobBitmap->draw(context, image, frameOffsetFor(value));
  // The caption is centred under the image, which need not be the view's middle: what fits is
  // what lies inside the view on both sides of that centre. Measured once per caption.
  if (captionSize <= 0)
    captionSize = fittedFontSize(context, label, font, centredWidthInside(captionRect(), size));
  drawTextLine(context, label, captionRect(), font, textColour, kCenterText, captionSize);
  const std::string shown = displayText(*c.plugin, tag);
  drawTextLine(context, shown, valueRect(), font, textColour, kCenterText, valueTextSize(context, shown));
}

CCoord TKnob::valueTextSize(CDrawContext* context, const std::string& text) {
  // Value texts come and go with every turn: the last one's size is kept, not each one's. One
  // that fits keeps the font's size, so the readouts of a box differ only where one would be cut.
  if (valueSize <= 0 || text != fittedValue) {
    valueSize = fittedFontSize(context, text, font, centredWidthInside(valueRect(), size), 1.0);
    fittedValue = text;
  }
  return valueSize;
}

CMouseEventResult TKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = activeContext(this);
  if (!c || tag == NO_PARAM_TAG) return MOUSE_DONE;
  if (where.y - size.top > heightOfOneImage) {
    // Under a Disrupt amount knob: the destination selector of the same slot.
    const int32_t slot = tag - DISRUPT_SLOT_AMT_1_TAG;
    if (slot >= 0 && slot < NUM_DISRUPT_SLOTS)
      c.editor->showDestMenu(framePoint(this, where), DISRUPT_DEST_TAGS[static_cast<size_t>(slot)]);
    return MOUSE_DONE;
  }
  beginEdit();
  if (buttons & (kRButton | kApple)) {
    remember();  // the menu may rebuild the box this knob lives in
    c.editor->showMIDIMenu(this, framePoint(this, where));
    endEdit();
    forget();
    return MOUSE_DONE;
  }
  if (isResetClick(buttons)) {
    const float before = value;
    setValue(defaultValue);
    valueChangedFrom(before);
    endEdit();
    return MOUSE_DONE;
  }
  if (c.editor->isDroppable(tag)) {
    c.editor->setDropTag(tag);
    dropOpen = true;
  }
  firstPoint = where;
  lastPoint = CPoint(-1, -1);
  drag.start(value, dragStep(getRange(), buttons, 200.f, 10000.f));
  onMouseMoved(where, buttons);
  // The edit (and a modulation drag) stay open until mouse-up, so the frame must send it
  // whatever the first move made of this press.
  return kMouseEventHandled;
}

CMouseEventResult TKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  if (where == lastPoint) return kMouseEventHandled;
  lastPoint = where;
  setValue(
      drag.follow(static_cast<float>(firstPoint.y - where.y), dragStep(getRange(), buttons, 200.f, 10000.f)));
  valueChanged();
  return kMouseEventHandled;
}

CMouseEventResult TKnob::onMouseUp(CPoint&, const CButtonState&) {
  endEdit();
  setDirty();
  releaseDrop();
  return kMouseEventHandled;
}

bool TKnob::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
  if (!activeContext(this) || tag == NO_PARAM_TAG) return false;
  return CAnimKnob::onWheel(where, distance, buttons);
}

void TKnob::releaseDrop() {
  if (!dropOpen) return;
  dropOpen = false;
  if (const ControlContext c = controlContext(this)) c.editor->releasedDropDial();
}

bool TKnob::removed(CView* parent) {
  releaseDrop();
  return CAnimKnob::removed(parent);
}

// ---------------------------------------------------------------------------------------------
THorizontalSlider::THorizontalSlider(const CRect& size, IControlListener* listener, int32_t tag,
                                     int32_t width)
    : CControl(size, listener, tag),
      handleWidth(width),
      travel(static_cast<float>(size.getWidth()) - static_cast<float>(width)) {}

THorizontalSlider::THorizontalSlider(const THorizontalSlider& other)
    : CControl(other),
      handleWidth(other.handleWidth),
      travel(other.travel),
      lastX(other.lastX),
      dragValue(other.dragValue),
      animFrame(other.animFrame),
      modKey(other.modKey),
      modValue(other.modValue) {}

void THorizontalSlider::setMod(float m, int key) {
  if (key == modKey) return;
  modKey = key;
  m = std::isnan(m) ? 0.f : std::clamp(m, -1.f, 1.f);  // the marker stays on the slider
  if (const ControlContext c = controlContext(this)) m = quantiseDisrupt(m, c.plugin->getDisruptQuant());
  modValue = m;
  setDirty();
}

CCoord THorizontalSlider::handleLeft(float h) const {
  return size.left + static_cast<int32_t>((h * 0.5f + 0.5f) * travel);
}

void THorizontalSlider::draw(CDrawContext* context) {
  setDirty(false);
  const ControlContext c = activeContext(this);
  if (!c || !context) return;
  auto strip = [&](CBitmap* bitmap, float h, CCoord sourceY) {
    const CCoord x = handleLeft(h);
    if (bitmap) bitmap->draw(context, CRect(x, size.top, x + handleWidth, size.bottom), CPoint(0, sourceY));
  };
  if (c.editor->getModDial()) strip(c.editor->sliderModBitmap(), modValue, 0);
  const float h = quantiseDisrupt(2.f * value - 1.f, c.plugin->getDisruptQuant());
  animFrame = (animFrame + 2) % SLIDER_HANDLE_FRAMES;
  strip(c.editor->sliderBitmap(), h, size.getHeight() * animFrame);
}

CMouseEventResult THorizontalSlider::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = activeContext(this);
  // Locked, or no room to move the handle: nothing to do.
  if (!c || c.plugin->getOnOff(DISRUPT_LAZY_ON_TAG) || travel < 1.f) return MOUSE_DONE;
  CFrame* frame = getFrame();
  c.plugin->setDisruptSpringOff();
  if (buttons & kRButton) {
    // Bracketed like a reset, and the spring is back on when the menu closes.
    remember();
    frame->remember();
    frame->beginEdit(tag);
    c.editor->showMIDIMenu(this, framePoint(this, where));
    frame->endEdit(tag);
    c.plugin->setDisruptSpringOn();
    frame->forget();
    forget();
    return MOUSE_DONE;
  }
  frame->beginEdit(tag);
  if (isResetClick(buttons)) {
    const float before = value;
    setValue(defaultValue);
    valueChangedFrom(before);
    finishGesture(*c.plugin);
    return MOUSE_DONE;
  }
  dragValue = std::clamp(
      (static_cast<float>(where.x - size.left) - static_cast<float>(handleWidth / 2)) / travel, 0.f, 1.f);
  setValue(dragValue);
  lastX = static_cast<int32_t>(where.x);
  dragging = true;
  onMouseMoved(where, buttons);
  // The edit is open and the spring off until mouse-up: the frame must send it.
  return kMouseEventHandled;
}

CMouseEventResult THorizontalSlider::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton() || !dragging) return kMouseEventNotHandled;
  float step = static_cast<float>(where.x - lastX) / travel;
  if (buttons & kShift) step /= 20.f;
  dragValue = std::clamp(dragValue + step, 0.f, 1.f);
  setValue(dragValue);
  if (isDirty()) valueChanged();
  lastX = static_cast<int32_t>(where.x);
  setDirty();
  return kMouseEventHandled;
}

CMouseEventResult THorizontalSlider::onMouseUp(CPoint&, const CButtonState&) {
  if (dragging) {
    dragging = false;
    if (const ControlContext c = controlContext(this)) finishGesture(*c.plugin);
  }
  return kMouseEventHandled;
}

void THorizontalSlider::finishGesture(APlugin& plugin) {
  if (CFrame* frame = getFrame()) frame->endEdit(tag);
  plugin.setDisruptSpringOn();
}

bool THorizontalSlider::removed(CView* parent) {
  if (dragging) {
    dragging = false;
    if (const ControlContext c = controlContext(this)) finishGesture(*c.plugin);
  }
  return CControl::removed(parent);
}

bool THorizontalSlider::onWheel(const CPoint&, const float& distance, const CButtonState&) {
  const ControlContext c = activeContext(this);
  if (!c || c.plugin->getOnOff(DISRUPT_LAZY_ON_TAG) || c.plugin->getDisruptSpringTime() != 0) return false;
  const int sign = wheelSign(distance);
  if (sign != 0) c.plugin->changeDelta(tag, sign);
  setDirty();
  return true;
}

// ---------------------------------------------------------------------------------------------
TReadout::TReadout(const CRect& size, IControlListener* listener, const std::string& s, int scale,
                   bool centred, bool big)
    : CControl(size, listener, NO_PARAM_TAG),
      text(s),
      alignment(centred ? kCenterText : kLeftText),
      font(big ? BIG_FONT_SIZE[zoomIndex(scale)] : FONT_SIZE[zoomIndex(scale)]) {}

void TReadout::setString(const std::string& s) {
  if (s == text) return;
  text = s;
  setDirty();
}

void TReadout::draw(CDrawContext* context) {
  setDirty(false);
  if (context && activeContext(this)) drawTextLine(context, text, size, font, READOUT_COLOR, alignment);
}

CMouseEventResult TReadout::onMouseDown(CPoint& where, const CButtonState& buttons) {
  return activeContext(this) ? CControl::onMouseDown(where, buttons) : MOUSE_DONE;
}

// ---------------------------------------------------------------------------------------------
TReadoutString::TReadoutString(const CRect& size, const std::string& s)
    : CParamDisplay(size, nullptr, 0), text(s) {}

void TReadoutString::setString(const std::string& s) {
  text = s.empty() ? " " : s;
  setDirty();
}

void TReadoutString::draw(CDrawContext* context) {
  setDirty(false);
  if (context && activeContext(this))
    drawTextLine(context, text, size, kNormalFontVeryBig, kWhiteCColor, kCenterText);
}

CMouseEventResult TReadoutString::onMouseDown(CPoint& where, const CButtonState& buttons) {
  return activeContext(this) ? CParamDisplay::onMouseDown(where, buttons) : MOUSE_DONE;
}

// ---------------------------------------------------------------------------------------------
TVu::TVu(const CRect& size, IControlListener* listener)
    : CControl(size, listener, NO_PARAM_TAG), barTop(static_cast<int32_t>(size.getHeight())) {}

void TVu::setVuValue(float v) {
  // The engine feeds a boosted level that often exceeds 1; the bar simply fills.
  v = v >= 0.f ? std::min(v, 1.f) : 0.f;  // NaN too
  const int32_t top = static_cast<int32_t>((1.f - v) * static_cast<float>(size.getHeight()));
  if (top == barTop) return;
  barTop = top;
  setDirty();
}

void TVu::draw(CDrawContext* context) {
  setDirty(false);
  const ControlContext c = activeContext(this);
  if (!c || !context) return;
  CBitmap* bitmap = c.editor->vuBitmap();
  if (bitmap && barTop < size.getHeight())
    bitmap->drawTransparent(context, CRect(size.left, size.top + barTop, size.right, size.bottom),
                            CPoint(0, barTop));
}

CMouseEventResult TVu::onMouseDown(CPoint& where, const CButtonState& buttons) {
  return activeContext(this) ? CControl::onMouseDown(where, buttons) : MOUSE_DONE;
}
