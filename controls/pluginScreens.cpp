#include "pluginScreens.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "guiTables.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "pluginControls.h"
#include "tags.h"
#include "vstgui/cbitmap.h"
#include "vstgui/cframe.h"
#include "vstgui/coptionmenu.h"

using namespace VSTGUI;

namespace {

constexpr int FOLLOWER_SOURCES = static_cast<int>(FOLLOWER_SRC_STR.size());
constexpr int NUM_TEST_WAVES = static_cast<int>(TDistortScreen::WAVE_NAMES.size());

// Truncation toward zero that stays defined for any input (NaN gives 0).
int toInt(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}

template <typename T>
T clampTo(T v, T lo, T hi) {
  return v < lo ? lo : (v > hi ? hi : v);
}

float clampUnit(float v) { return v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : 0.0f; }

std::string intText(int v) {
  char buffer[16];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
  return std::string(buffer, end);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Shared parts

TGraphScreen::TGraphScreen(const CRect& size, IControlListener* listener, int scale)
    : CControl(size, listener, NO_PARAM_TAG), zoomIdx(zoomIndex(scale)), font(FONT_SIZE[zoomIdx]) {}

TGraphScreen::TGraphScreen(const TGraphScreen& other)
    : CControl(other), zoomIdx(other.zoomIdx), font(other.font) {}

bool TGraphScreen::removed(CView* parent) {
  endGesture();
  dragging = false;
  return CControl::removed(parent);
}

void TGraphScreen::beginGesture(int32_t tag) {
  endGesture();
  if (CFrame* frame = getFrame()) {
    frame->beginEdit(tag);
    gestureTag = tag;
  }
}

void TGraphScreen::endGesture() {
  if (gestureTag < 0) return;
  if (CFrame* frame = getFrame()) frame->endEdit(gestureTag);
  gestureTag = -1;
}

void TGraphScreen::drawHelpBands(CDrawContext* context, const std::string& top,
                                 const std::string& bottom) const {
  context->setFontColor(LIGHT_TEXT_COLOR);
  context->setFont(font, 0, FONT_STYLE);
  context->setFillColor(BACK_TRANS_COLOR);
  context->setFrameColor(BACK_TRANS_COLOR);
  const int fh = toInt(font->getSize());
  const CRect topBand(size.left, size.top, size.right, size.top + fh);
  context->fillRect(topBand);
  context->drawString(top, topBand, kLeftText, true);
  const CRect bottomBand(size.left, size.bottom - fh - 2, size.right, size.bottom - 2);
  context->fillRect(bottomBand);
  context->drawString(bottom, bottomBand, kLeftText, true);
}

bool TGraphScreen::takePoint(const CPoint& where) {
  if (where == lastPoint) return false;
  lastPoint = where;
  return true;
}

void TGraphScreen::startDrag(const CPoint& where) {
  dragging = true;
  firstPoint = where;
  lastPoint = CPoint(-1, -1);
}

CMouseEventResult TGraphScreen::onMouseUp(CPoint&, const CButtonState&) {
  dragging = false;
  setDirty();
  return kMouseEventHandled;
}

bool TGraphScreen::onWheel(const CPoint& where, const float& distance, const CButtonState&) {
  const ControlContext c = activeContext(this);
  if (!c) return false;
  if (const int sign = wheelSign(distance)) wheelStep(c, where, distance, sign);
  setDirty();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Follower

namespace {
constexpr int FOLLOWER_RESET_TAGS[] = {FOLLOWER_SOURCE_TAG, FOLLOWER_THRESHOLD_TAG, FOLLOWER_BOOST_TAG,
                                       FOLLOWER_SMOOTH_TAG, FOLLOWER_ATTACK_TAG,    FOLLOWER_HOLD_TAG,
                                       FOLLOWER_DECAY_TAG};
}

TFollowerScreen::TFollowerScreen(const CRect& size, IControlListener* listener, int scale)
    : TGraphScreen(size, listener, scale),
      plotHeight(static_cast<float>(size.getHeight() - 1)),
      plotWidth(static_cast<float>(size.getWidth())) {}

void TFollowerScreen::update(int counter) {
  if (counter == refreshCount) return;
  refreshCount = counter;
  setDirty();
}

void TFollowerScreen::draw(CDrawContext* context) {
  setDirty(false);
  const ControlContext c = activeContext(this);
  if (!c || !context) return;
  context->setLineWidth(1);
  context->setFrameColor(TRANS_GREEN_LINE_COLOR);
  points.clear();
  const int width = toInt(getWidth());
  for (int x = 0; x < width; x += 2) {
    const float v = c.plugin->getFollowerValue(static_cast<float>(x) / plotWidth);
    points.emplace_back(size.left + x, size.bottom - 1 - toInt(v * plotHeight));
  }
  context->drawPolyline(points);
  if (dragging)
    drawHelpBands(context,
                  "Boost: " + displayText(*c.plugin, FOLLOWER_BOOST_TAG) +
                      ", Smooth: " + displayText(*c.plugin, FOLLOWER_SMOOTH_TAG),
                  "U/D - Boost, L/R - Smooth, Right/Scroll Wheel -Source");
}

CMouseEventResult TFollowerScreen::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = activeContext(this);
  if (!c) return MOUSE_DONE;
  dragging = false;
  if (buttons & kRButton) {
    int s = c.plugin->getFollowerSource() + 1;
    if (s >= FOLLOWER_SOURCES) s = 0;
    c.plugin->setSteppedValue(FOLLOWER_SOURCE_TAG, s);
    setDirty();
    return MOUSE_DONE;
  }
  if (isResetClick(buttons)) {
    for (int t : FOLLOWER_RESET_TAGS) c.plugin->setToDefault(t);
    setDirty();
    return MOUSE_DONE;
  }
  startDrag(where);
  const float step = dragStep(getRange(), buttons, 200.0f, 2000.0f);
  boostDrag.start(c.plugin->getParameter(FOLLOWER_BOOST_TAG), step);
  smoothDrag.start(c.plugin->getParameter(FOLLOWER_SMOOTH_TAG), step);
  onMouseMoved(where, buttons);
  return kMouseEventHandled;
}

CMouseEventResult TFollowerScreen::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = controlContext(this);
  if (!c || !dragging || !buttons.isLeftButton() || !takePoint(where)) return kMouseEventHandled;
  const float step = dragStep(getRange(), buttons, 200.0f, 2000.0f);
  const float boost = boostDrag.follow(static_cast<float>(firstPoint.y - where.y), step);
  const float smooth = smoothDrag.follow(static_cast<float>(where.x - firstPoint.x), step);
  c.plugin->setParameterAutomated(FOLLOWER_BOOST_TAG, clampUnit(boost));
  c.plugin->setParameterAutomated(FOLLOWER_SMOOTH_TAG, clampUnit(smooth));
  setDirty();
  return kMouseEventHandled;
}

void TFollowerScreen::wheelStep(const ControlContext& c, const CPoint&, float, int sign) {
  c.plugin->setSteppedValue(FOLLOWER_SOURCE_TAG, c.plugin->getSteppedValue(FOLLOWER_SOURCE_TAG) - sign);
}

// ---------------------------------------------------------------------------------------------
// Wave shaper

TWaveShaperScreen::TWaveShaperScreen(const CRect& size, IControlListener* listener, int shaperIndex,
                                     int scale)
    : TGraphScreen(size, listener, scale),
      shaper(shaperIndex == 1 ? 1 : 0),
      plotWidth(std::max(static_cast<float>(size.getWidth()), 1.0f)),
      plotHeight(std::max(static_cast<float>(size.getHeight()), 1.0f)),
      zoom(SCALE[static_cast<size_t>(zoomIdx)]) {}

void TWaveShaperScreen::setDrawMode(int mode) {
  if (mode < kFreehand || mode > kErase) return;
  drawMode = mode;
  setDirty();
}

int TWaveShaperScreen::pointAt(int column) const {
  const float u = static_cast<float>(column) / plotWidth;
  return independent ? toInt(u * 255.0f) : toInt(u * 127.9999f);
}

int TWaveShaperScreen::columnAt(double x) const { return clampTo(toInt(x - size.left), 0, toInt(plotWidth)); }

float TWaveShaperScreen::levelAt(double y) const {
  return clampUnit(static_cast<float>((y - size.top) / plotHeight));
}

float TWaveShaperScreen::getPointValue(int x) {
  const ControlContext c = controlContext(this);
  if (!c) return 0.0f;
  const float u = clampUnit(static_cast<float>(x) / plotWidth);
  const int first = WAVESHAPER_START_TAG[static_cast<size_t>(shaper)];
  if (independent) return c.plugin->getParameter(first + toInt(255.0f * u));
  return 2.0f * c.plugin->getParameter(first + 128 + toInt(127.9999f * u)) - 1.0f;
}

void TWaveShaperScreen::setPointValue(int i, float v) {
  const ControlContext c = controlContext(this);
  if (!c) return;
  const int first = WAVESHAPER_START_TAG[static_cast<size_t>(shaper)];
  if (independent) {
    if (i >= 0 && i < WAVESHAPER_POINTS) c.plugin->setParameter(first + i, v);
    return;
  }
  if (i < 0 || i >= WAVESHAPER_POINTS / 2) return;
  const float p = v * 0.5f + 0.5f;
  c.plugin->setParameter(first + 128 + i, p);
  c.plugin->setParameter(first + 127 - i, 1.0f - p);
}

void TWaveShaperScreen::writeSpan(int loColumn, float loLevel, int hiColumn, float hiLevel, bool line) {
  const int i0 = pointAt(loColumn);
  const int i1 = pointAt(hiColumn);
  // A finished line in the symmetric mode also writes its higher end; a stroke leaves that
  // point to its next sample.
  const bool inclusive = line && !independent;
  if (inclusive && i1 == i0) {
    setPointValue(i0, 1.0f - loLevel);
    return;
  }
  if (i1 <= i0) return;
  const int n = i1 - i0;
  const float slope = (hiLevel - loLevel) / static_cast<float>(n);
  for (int k = 0; k < n + (inclusive ? 1 : 0); ++k)
    setPointValue(i0 + k, 1.0f - (loLevel + static_cast<float>(k) * slope));
}

void TWaveShaperScreen::draw(CDrawContext* context) {
  setDirty(false);
  const ControlContext c = activeContext(this);
  if (!c || !context) return;
  APlugin& plugin = *c.plugin;
  const float W = plotWidth, H = plotHeight, s = zoom;
  const int left = toInt(size.left), top = toInt(size.top), right = toInt(size.right),
            bottom = toInt(size.bottom);
  context->setLineWidth(1);
  context->setFrameColor(TRANS_25_GREEN_LINE_COLOR);
  context->setFont(font, 0, FONT_STYLE);
  context->setFontColor(LIGHT_TEXT_COLOR);
  independent = plugin.getOnOff(WAVESHAPER_POLAR_TAG);
  const int mode = plugin.getWaveShaperDistortMode(shaper);

  for (int k = 0; k <= 4; ++k) {
    const int y = top + toInt((H - 1) * static_cast<float>(k) / 4.0f);
    context->drawLine(CPoint(left, y), CPoint(right - 1, y));
    const int x = left + toInt((W - 1) * static_cast<float>(k) / 4.0f);
    context->drawLine(CPoint(x, top), CPoint(x, bottom - 1));
  }

  const int boxW = toInt(20 * s), boxH = toInt(10 * s);
  auto label = [&](const char* text, int x, int y, CHoriTxtAlign align) {
    context->drawString(text, CRect(x, y, x + boxW, y + boxH), align, true);
  };
  const int midX = left + toInt(W / 2), midY = top + toInt(H / 2);
  if (!independent) {
    label("0", left, bottom - boxH, kLeftText);
    label("1", left, top, kLeftText);
    label("1", right - boxW, bottom - boxH, kCenterText);
  } else {
    label("0", midX, midY, kLeftText);
    label("-1", left, midY, kLeftText);
    label("+1", right - boxW, midY, kCenterText);
    label("1", midX, top, kLeftText);
    label("-1", midX - boxW, bottom - boxH, kCenterText);
  }

  // Bars: from the curve down to the bottom (symmetric) or from the centre line to the curve.
  const int columns = toInt(W);
  const int iH = toInt(H);
  const int centre = iH / 2;
  const int first = WAVESHAPER_START_TAG[static_cast<size_t>(shaper)];
  if (CBitmap* dot = c.editor->waveShaperDotBitmap()) {
    for (int i = 0; i < columns; ++i) {
      const float u = clampUnit(static_cast<float>(i) / W);
      const float v = independent ? plugin.getParameter(first + toInt(255.0f * u))
                                  : 2.0f * plugin.getParameter(first + 128 + toInt(127.9999f * u)) - 1.0f;
      // A point below the centre in the symmetric view (drawn in the independent mode or
      // loaded) has no bar rather than one turned upside down.
      const int r = clampTo(toInt((1.0f - v) * H), 0, iH);
      const int a = independent ? std::min(r, centre) : r;
      const int b = independent ? std::max(r, centre) : iH;
      if (b > a) dot->draw(context, CRect(left + i, top + a, left + i + 1, top + b));
    }
  }

  if (mode != 0) {
    context->setFrameColor(GREEN_LIGHT_LINE_COLOR);
    const float M = independent ? 255.0f : 127.9999f;
    const int offset = independent ? 0 : 128;
    points.clear();
    for (int i = 0; i < columns; ++i) {
      const float g =
          c.editor->getWaveShaperDistortValues(shaper, toInt(static_cast<float>(i) / W * M) + offset);
      const float level = independent ? g : 2.0f * g - 1.0f;
      points.emplace_back(left + i, top + toInt(H - level * H));
    }
    context->drawPolyline(points);
  }

  if (lineActive) {
    context->setFrameColor(kWhiteCColor);
    context->drawLine(lineStart + size.getTopLeft(), lineEnd + size.getTopLeft());
  }
}

CMouseEventResult TWaveShaperScreen::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = activeContext(this);
  if (!c) return MOUSE_DONE;
  if (buttons.isLeftButton()) {
    c.editor->setWaveShaperUndo();
    independent = c.plugin->getOnOff(WAVESHAPER_POLAR_TAG);
    if (isResetClick(buttons)) {
      const int first = WAVESHAPER_START_TAG[static_cast<size_t>(shaper)];
      for (int i = 0; i < WAVESHAPER_POINTS; ++i) c.plugin->setToDefault(first + i);
      setDirty();
      return MOUSE_DONE;
    }
    const int column = columnAt(where.x);
    lastColumn = previousColumn = column;
    lastLevel = previousLevel = levelAt(where.y);
    lineActive = false;
    if (drawMode == kLine) lineStart = CPoint(column, toInt(where.y - size.top));
    startDrag(where);
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
  }
  if (buttons.isRightButton()) c.editor->showWaveShaperMenu(framePoint(this, where), shaper);
  return MOUSE_DONE;
}

CMouseEventResult TWaveShaperScreen::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (!dragging || !buttons.isLeftButton()) return kMouseEventHandled;
  if (drawMode == kLine) {
    lineEnd = CPoint(columnAt(where.x), toInt(where.y - size.top));
    lineActive = true;
  } else {
    previousColumn = lastColumn;
    lastColumn = columnAt(where.x);
    previousLevel = lastLevel;
    lastLevel = levelAt(where.y);
    if (drawMode == kErase) previousLevel = lastLevel = independent ? 0.5f : 1.0f;
    if (previousColumn == lastColumn)
      setPointValue(pointAt(lastColumn), 1.0f - lastLevel);
    else if (previousColumn < lastColumn)
      writeSpan(previousColumn, previousLevel, lastColumn, lastLevel, false);
    else
      writeSpan(lastColumn, lastLevel, previousColumn, previousLevel, false);
  }
  setDirty();
  return kMouseEventHandled;
}

CMouseEventResult TWaveShaperScreen::onMouseUp(CPoint&, const CButtonState&) {
  dragging = false;
  if (!controlContext(this)) return kMouseEventHandled;
  if (lineActive) {
    const int startColumn = toInt(lineStart.x), endColumn = toInt(lineEnd.x);
    const float startLevel = clampUnit(static_cast<float>(lineStart.y / plotHeight));
    const float endLevel = clampUnit(static_cast<float>(lineEnd.y / plotHeight));
    if (startColumn == endColumn)
      setPointValue(pointAt(endColumn), 1.0f - lastLevel);
    else if (startColumn < endColumn)
      writeSpan(startColumn, startLevel, endColumn, endLevel, true);
    else
      writeSpan(endColumn, endLevel, startColumn, startLevel, true);
    lineActive = false;
  }
  setDirty();
  return kMouseEventHandled;
}

void TWaveShaperScreen::wheelStep(const ControlContext& c, const CPoint&, float, int sign) {
  const int tag = WAVESHAPER_DISTORT_MODE_TAGS[static_cast<size_t>(shaper)];
  c.plugin->setSteppedValue(tag, c.plugin->getSteppedValue(tag) - sign);
}

// ---------------------------------------------------------------------------------------------
// Modulation matrix

namespace {
// Destinations whose matrix amount is a factor 1/16 .. 16 rather than -100 .. 100 %.
bool exponentialAmount(int dest) {
  return (dest >= DEST_LFO_SPEED_1 && dest <= DEST_LFO_SPEED_4) || dest == DEST_LAZY_SPEED;
}
}  // namespace

TModScreen::TModScreen(const CRect& size, IControlListener* listener, int scale, bool advanced)
    : TGraphScreen(size, listener, scale),
      columnCount(advanced ? ADV_MOD_COLUMNS : BASIC_MOD_COLUMNS),
      rowHeight(MOD_SLOT_HEIGHT[static_cast<size_t>(zoomIdx)]) {
  const int32_t* edges = advanced ? ADV_MOD_COLUMN[zoomIdx] : BASIC_MOD_COLOUMN[zoomIdx];
  for (int j = 0; j <= columnCount; ++j) columnEdges[j] = edges[j];
  for (int j = 0; j < columnCount; ++j) columnWidths[j] = columnEdges[j + 1] - columnEdges[j];
}

int TModScreen::getSlot(double y) const { return clampTo(toInt(y / rowHeight), 0, NUM_MOD_SLOTS - 1); }

int TModScreen::columnAt(double x) const {
  const int xi = toInt(x);
  for (int j = 0; j < columnCount; ++j)
    if (xi > columnEdges[j] && xi < columnEdges[j + 1]) return j;
  return -1;
}

std::string TModScreen::percentText(float value, bool exponential) {
  const int n =
      exponential ? toInt(std::exp2((2.0 * value - 1.0) * 4.0) * 100.0) : toInt(200.0f * value) - 100;
  return intText(n) + " %";
}

std::string TModScreen::cellText(APlugin& plugin, int row, int kind, int distortType) const {
  const int* tags = MOD_SLOT_ROW_TAGS[row];
  switch (kind) {
    case 0:
      return intText(row + 1);
    case 1:
      return plugin.getOnOff(tags[0]) ? "X" : " ";
    case 2:
      return std::string(
          SRC_STR[static_cast<size_t>(clampTo(plugin.getSrcForModSlot(row), 0, NUM_MOD_SOURCES - 1))]);
    case 3:
      return std::string(destText(plugin.getDestForModSlot(row), distortType));
    case 4:
      return percentText(plugin.getParameter(tags[3]), exponentialAmount(plugin.getDestForModSlot(row)));
    default:
      return kind <= 7 ? percentText(plugin.getParameter(tags[kind - 1]), false) : std::string();
  }
}

void TModScreen::draw(CDrawContext* context) {
  setDirty(false);
  const ControlContext c = activeContext(this);
  if (!c || !context) return;
  APlugin& plugin = *c.plugin;
  const int type = plugin.getDistortType();
  context->setFont(font, 0, FONT_STYLE);
  const int cellHeight = toInt(rowHeight);
  for (int r = 0; r < NUM_MOD_SLOTS; ++r) {
    const bool bypassed = plugin.getOnOff(MOD_SLOT_BY_TAGS[static_cast<size_t>(r)]);
    const double y = size.top + toInt(rowHeight * static_cast<float>(r));
    for (int j = 0; j < columnCount; ++j) {
      CColor colour = LIGHT_TEXT_COLOR;
      if (dragging && r == activeRow) colour = SELECTED_TEXT_COLOR;
      if (j >= 2 && bypassed) colour = LIGHT_TRANS_TEXT_COLOR;
      context->setFontColor(colour);
      const double x = size.left + columnEdges[j];
      context->drawString(cellText(plugin, r, j, type), CRect(x, y, x + columnWidths[j], y + cellHeight),
                          kCenterText, true);
    }
  }
}

void TModScreen::chooseSource(int row) {
  CFrame* frame = getFrame();
  const ControlContext c = controlContext(this);
  if (!frame || !c) return;
  CPoint at;
  frame->getCurrentMouseLocation(at);
  auto* menu =
      new COptionMenu(CRect(at.x, at.y, at.x + 1, at.y + 20), nullptr, NO_PARAM_TAG, nullptr, nullptr, 0x110);
  menu->addEntry(std::string(SRC_STR[0]));
  auto addGroup = [&](std::string_view heading, int from, int to) {
    auto* group = new COptionMenu();
    for (int i = from; i <= to; ++i) group->addEntry(std::string(SRC_STR[static_cast<size_t>(i)]));
    menu->addEntry(group, std::string(heading));
    group->forget();
  };
  addGroup(SRC_HEADER_STR[0], 1, 31);
  addGroup(SRC_HEADER_STR[1], 32, NUM_MOD_SOURCES - 1);
  remember();
  frame->addView(menu);
  menu->popup();
  frame->looseFocus();
  int32_t index = -1;
  // A dismissed pop-up chose nothing.
  if (const COptionMenu* chosen = menu->getLastItemMenu(index)) {
    if (const CMenuItem* item = chosen->getEntry(index)) {
      for (int i = 0; i < NUM_MOD_SOURCES; ++i)
        if (item->getTitle() == SRC_STR[static_cast<size_t>(i)])
          c.plugin->setSrcForTag(MOD_SLOT_SRC_TAGS[static_cast<size_t>(row)], i);
    }
  }
  frame->removeView(menu, true);
  forget();
}

CMouseEventResult TModScreen::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = activeContext(this);
  if (!c) return MOUSE_DONE;
  endGesture();
  dragging = false;
  dragTag = -1;
  lastPoint = CPoint(-1, -1);
  activeRow = getSlot(where.y - size.top);
  if (!buttons.isLeftButton()) {
    c.editor->showModMenu(framePoint(this, where), activeRow);
    return MOUSE_DONE;
  }
  c.editor->setModUndo();
  const int kind = columnAt(where.x - size.left);
  if (kind <= 0) return MOUSE_DONE;
  const int tag = MOD_SLOT_ROW_TAGS[activeRow][kind - 1];
  if (isResetClick(buttons)) {
    c.plugin->setToDefault(tag);
  } else if (kind == 1) {
    c.plugin->toggleOnOff(tag);
  } else if (kind == 3) {
    c.editor->showDestMenu(framePoint(this, where), tag);
  } else if (kind == 2) {
    chooseSource(activeRow);
  } else {
    startDrag(where);
    dragTag = tag;
    drag.start(c.plugin->getParameter(tag), dragStep(getRange(), buttons, 200.0f, 2000.0f));
    beginGesture(tag);
    onMouseMoved(where, buttons);
    return kMouseEventHandled;
  }
  setDirty();
  return MOUSE_DONE;
}

CMouseEventResult TModScreen::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = controlContext(this);
  if (!c || dragTag < 0 || !buttons.isLeftButton() || !takePoint(where)) return kMouseEventHandled;
  const float d = static_cast<float>((where.x - firstPoint.x) + (firstPoint.y - where.y));
  const float v = drag.follow(d, dragStep(getRange(), buttons, 200.0f, 2000.0f));
  c.plugin->setParameterAutomated(dragTag, clampUnit(v));
  setDirty();
  return kMouseEventHandled;
}

CMouseEventResult TModScreen::onMouseUp(CPoint& where, const CButtonState& buttons) {
  endGesture();
  dragTag = -1;
  return TGraphScreen::onMouseUp(where, buttons);
}

void TModScreen::wheelStep(const ControlContext& c, const CPoint& where, float distance, int) {
  const int tag = MOD_SLOT_AMT_TAGS[static_cast<size_t>(getSlot(where.y - size.top))];
  c.plugin->setParameterAutomated(tag, clampUnit(c.plugin->getParameter(tag) + distance / 100.0f));
}

// ---------------------------------------------------------------------------------------------
// LFO

TLFOScreen::TLFOScreen(const CRect& size, IControlListener* listener, int index, int scale)
    : TGraphScreen(size, listener, scale),
      dotSize(LFO_DOT_SIZE[static_cast<size_t>(zoomIdx)]),
      plotLeft(2 * dotSize),
      plotRight(toInt(size.getWidth()) - 2 * dotSize),
      plotTop(2 * dotSize),
      plotBottom(toInt(size.getHeight()) - 2 * dotSize),
      plotWidth(std::max(plotRight - plotLeft, 1)),
      plotWidthF(static_cast<float>(plotWidth)),
      plotHeight(std::max(plotBottom - plotTop, 0)),
      lfoIndex(APlugin::isValidLFO(index) ? index : 0) {}

void TLFOScreen::setLFO(int index) {
  if (!APlugin::isValidLFO(index)) return;
  lfoIndex = index;
  setDirty();
}

void TLFOScreen::update(int counter) {
  if (counter == refreshCount) return;
  refreshCount = counter;
  const ControlContext c = controlContext(this);
  if (!c) return;
  const int position = c.plugin->getLFOPos(lfoIndex, plotWidthF);
  const int wave = c.plugin->getLFOWave(lfoIndex);
  if (position == lastPosition && wave == lastWave) return;
  lastPosition = position;
  lastWave = wave;
  setDirty();
}

void TLFOScreen::draw(CDrawContext* context) {
  setDirty(false);
  const ControlContext c = activeContext(this);
  if (!c || !context) return;
  APlugin& plugin = *c.plugin;
  const double left = size.left + plotLeft, top = size.top + plotTop, bottom = size.top + plotBottom;
  context->setLineWidth(1);
  context->setFrameColor(TRANS_GREEN_LINE_COLOR);
  points.clear();
  for (int x = 0; x < plotWidth; ++x)
    points.emplace_back(left + x, bottom - plugin.getLFOScreenValue(
                                               lfoIndex, static_cast<float>(x) / plotWidthF, plotHeight));
  context->drawPolyline(points);

  const int wave = plugin.getLFOWave(lfoIndex);
  if (wave == 2 || wave == 4)
    context->drawLine(CPoint(left + plotWidth, bottom), CPoint(left + plotWidth, top));
  if (wave == 3 || wave == 4) context->drawLine(CPoint(left, bottom), CPoint(left, top));

  context->setFillColor(GREEN_TEXT_COLOR);
  const double cx = left + lastPosition;
  const double cy =
      bottom - plugin.getLFOScreenValue(lfoIndex, static_cast<float>(lastPosition) / plotWidthF, plotHeight);
  context->drawEllipse(CRect(cx - dotSize, cy - dotSize, cx + dotSize, cy + dotSize), kDrawFilled);

  if (dragging) {
    const int tag = gestureTag >= 0 ? gestureTag : LFO_SHAPE_TAGS[static_cast<size_t>(lfoIndex)];
    drawHelpBands(context, "Shape: " + intText(toInt(100.0f * plugin.getParameter(tag))) + "%", "Scr-Wave");
  }
}

CMouseEventResult TLFOScreen::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = activeContext(this);
  if (!c) return MOUSE_DONE;
  endGesture();
  dragging = false;
  const int tag = LFO_SHAPE_TAGS[static_cast<size_t>(lfoIndex)];
  if (isResetClick(buttons)) {
    c.plugin->setToDefault(tag);
    setDirty();
    return MOUSE_DONE;
  }
  startDrag(where);
  drag.start(c.plugin->getParameter(tag), dragStep(getRange(), buttons, 200.0f, 2000.0f));
  // The gesture names the shape parameter the drag writes: the host drops tag 9999.
  beginGesture(tag);
  onMouseMoved(where, buttons);
  return kMouseEventHandled;
}

CMouseEventResult TLFOScreen::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = controlContext(this);
  if (!c || !dragging || !buttons.isLeftButton() || !takePoint(where)) return kMouseEventHandled;
  const float v =
      drag.follow(static_cast<float>(where.x - firstPoint.x), dragStep(getRange(), buttons, 200.0f, 2000.0f));
  // The drag stays on the LFO it began on even when the page changed under it.
  const int tag = gestureTag >= 0 ? gestureTag : LFO_SHAPE_TAGS[static_cast<size_t>(lfoIndex)];
  c.plugin->setParameterAutomated(tag, clampUnit(v));
  setDirty();
  return kMouseEventHandled;
}

CMouseEventResult TLFOScreen::onMouseUp(CPoint& where, const CButtonState& buttons) {
  endGesture();
  return TGraphScreen::onMouseUp(where, buttons);
}

void TLFOScreen::wheelStep(const ControlContext& c, const CPoint&, float, int sign) {
  c.plugin->changeDelta(LFO_WAVE_TAGS[static_cast<size_t>(lfoIndex)], -sign);
}

// ---------------------------------------------------------------------------------------------
// EQ

namespace {
// The screen's frequency axis and filter design use this rate, whatever the host runs at.
constexpr double EQ_REFERENCE_RATE = 88100.0;
double eqOmega(double octaves) {
  return 2.0 * std::numbers::pi * 20.0 * std::exp2(10.0 * octaves) / EQ_REFERENCE_RATE;
}
}  // namespace

TEQScreen::TEQScreen(const CRect& size, IControlListener* listener, int scale)
    : TGraphScreen(size, listener, scale),
      plotWidth(clampTo(toInt(size.getWidth()), 1, MAX_WIDTH)),
      plotHeight(std::max(toInt(size.getHeight()), 1)),
      handleRadius(toInt(6.0f * SCALE[static_cast<size_t>(zoomIdx)])),
      zoom(SCALE[static_cast<size_t>(zoomIdx)]) {
  for (int x = 0; x <= plotWidth; ++x) {
    const double w = eqOmega(static_cast<double>(x) / plotWidth);
    cosTable[static_cast<size_t>(x)] = std::cos(w);
    cos2Table[static_cast<size_t>(x)] = std::cos(2.0 * w);
  }
}

void TEQScreen::setEQ(int e) {
  if ((e != 0 && e != 1) || e == eq) return;
  eq = e;
  setDirty();
}

void TEQScreen::computeResponses(APlugin& plugin) {
  for (int k = 0; k < NUM_BANDS; ++k) {
    const BandValues values{plugin.getParameter(tagOf(EQ_FREQ_TAGS, k)),
                            plugin.getParameter(tagOf(EQ_GAIN_TAGS, k)),
                            plugin.getParameter(tagOf(EQ_BW_TAGS, k))};
    if (values == bandValues[static_cast<size_t>(k)]) continue;
    bandValues[static_cast<size_t>(k)] = values;

    // The peaking filter of the audio EQ cookbook, normalised by a0.
    Coefficients& q = bandCoefficients[static_cast<size_t>(k)];
    q.gainDB = 40.0 * values.gain - 20.0;
    const double w0 = eqOmega(values.freq);
    const double Q = std::exp2(4.0 - 10.0 * values.width);
    const double A = std::pow(10.0, q.gainDB / 40.0);
    const double alpha = std::sin(w0) / (2.0 * Q);
    const double d = 1.0 + alpha / A;
    q.b0 = (1.0 + alpha * A) / d;
    q.b1 = q.a1 = -2.0 * std::cos(w0) / d;
    q.b2 = (1.0 - alpha * A) / d;
    q.a2 = (1.0 - alpha / A) / d;

    auto& response = bandResponse[static_cast<size_t>(k)];
    auto& rows = bandY[static_cast<size_t>(k)];
    const bool flat = std::fabs(q.gainDB) < 0.01;
    for (int x = 0; x <= plotWidth; ++x) {
      double r = 0.0;
      if (!flat) {
        const double c1 = cosTable[static_cast<size_t>(x)], c2 = cos2Table[static_cast<size_t>(x)];
        const double N = q.b0 * q.b0 + q.b1 * q.b1 + q.b2 * q.b2 + 2.0 * q.b1 * (q.b0 + q.b2) * c1 +
                         2.0 * q.b0 * q.b2 * c2;
        const double D = 1.0 + q.a1 * q.a1 + q.a2 * q.a2 + 2.0 * q.a1 * (1.0 + q.a2) * c1 + 2.0 * q.a2 * c2;
        r = 0.5 * std::log10(N / D);
        if (!std::isfinite(r)) r = 0.0;
      }
      response[static_cast<size_t>(x)] = static_cast<float>(r);
      rows[static_cast<size_t>(x)] = toInt((1.0 - r) * plotHeight / 2.0);
    }
  }
}

void TEQScreen::fillOutline(const int32_t* rows, int count, int middle, const CPoint& origin,
                            std::vector<CPoint>& out) {
  out.clear();
  // A 1-px line with square caps from the middle row to row y covers the pixels between the
  // two rows, both included; a line of no length covers nothing.
  auto topOf = [&](int x) { return std::min(rows[x], middle); };
  auto bottomOf = [&](int x) { return rows[x] == middle ? middle : std::max(rows[x], middle) + 1; };
  bool covers = false;
  for (int x = 0; x < count && !covers; ++x) covers = rows[x] != middle;
  if (!covers) return;
  auto add = [&](int x, int y) { out.emplace_back(origin.x + x, origin.y + y); };
  add(0, topOf(0));
  for (int x = 1; x < count; ++x) {
    if (topOf(x) == topOf(x - 1)) continue;
    add(x, topOf(x - 1));
    add(x, topOf(x));
  }
  add(count, topOf(count - 1));
  add(count, bottomOf(count - 1));
  for (int x = count - 1; x > 0; --x) {
    if (bottomOf(x) == bottomOf(x - 1)) continue;
    add(x, bottomOf(x));
    add(x, bottomOf(x - 1));
  }
  add(0, bottomOf(0));
}

double TEQScreen::pointerU(double x) const { return std::clamp((x - size.left) / plotWidth, 0.0, 1.0); }
double TEQScreen::pointerV(double y) const { return std::clamp((y - size.top) / plotHeight, 0.0, 1.0); }

void TEQScreen::draw(CDrawContext* context) {
  setDirty(false);
  const ControlContext c = activeContext(this);
  if (!c || !context) return;
  APlugin& plugin = *c.plugin;
  const double left = size.left, top = size.top;
  const int W = plotWidth, H = plotHeight;
  context->setFont(font, 0, FONT_STYLE);
  context->setFontColor(LIGHT_TEXT_COLOR);
  context->setLineWidth(1);
  if (dragging) {
    const int band = selectedBand;
    const int textHeight = toInt(14.0f * zoom);
    const std::string info = "Band " + intText(band + 1) +
                             " - Freq: " + displayText(plugin, tagOf(EQ_FREQ_TAGS, band)) +
                             ", Gain: " + displayText(plugin, tagOf(EQ_GAIN_TAGS, band)) +
                             ", BW: " + displayText(plugin, tagOf(EQ_BW_TAGS, band));
    context->drawString(info, CRect(left, size.bottom - textHeight, left + W, size.bottom), kCenterText,
                        true);
    context->drawString("L/R - Freq, U/D - Gain, Shift/Scroll - BW",
                        CRect(left, top, left + W, top + textHeight), kCenterText, true);
  }

  computeResponses(plugin);
  const int middle = middleRow();
  // Each band's boost or cut is shaded, earlier bands more opaque: one polygon per band over
  // exactly the pixels of a vertical line per column.
  for (int k = 0; k < NUM_BANDS; ++k) {
    fillOutline(bandRows(k), W, middle, CPoint(left, top), points);
    if (points.empty()) continue;
    context->setFillColor(GREEN_TRANS_COLOR[static_cast<size_t>(k)]);
    context->drawPolygon(points, kDrawFilled);
  }

  context->setFrameColor(TRANS_GREEN_LINE_COLOR);
  for (int k = 0; k < NUM_BANDS; ++k) {
    points.clear();
    for (int x = 0; x <= W; x += 2)
      points.emplace_back(left + x, top + bandY[static_cast<size_t>(k)][static_cast<size_t>(x)]);
    context->drawPolyline(points);
  }

  context->setFrameColor(GREEN_LINE_COLOR);
  context->drawLine(CPoint(left, top + middle), CPoint(left + W - 1, top + middle));

  const int R = handleRadius;
  for (int k = 0; k < NUM_BANDS; ++k) {
    const int x = clampTo(toInt(bandValues[static_cast<size_t>(k)].freq * static_cast<float>(W)), 0, W);
    const int y = std::max(R, std::min(bandY[static_cast<size_t>(k)][static_cast<size_t>(x)], H - R));
    // The handle stays whole on screen at either end of the range, as it does at +/-20 dB; its
    // height is still the response at the band's own column.
    const int hx = std::max(R, std::min(x, W - R));
    const bool selected = dragging && k == selectedBand;
    context->setFillColor(selected ? SELECTED_TEXT_COLOR : GREEN_LIGHT_LINE_COLOR);
    context->drawEllipse(CRect(left + hx - R, top + y - R, left + hx + R, top + y + R), kDrawFilled);
    double lx = left + hx + 2 * R, ly = top + y + R + 8;
    if (x > W - 10.0f * zoom) lx -= 30.0f * zoom;
    if (y > H - 15.0f * zoom) ly -= 30.0f * zoom;
    context->setFontColor(selected ? SELECTED_TEXT_COLOR : LIGHT_TEXT_COLOR);
    context->drawString(std::string(BAND_STR[static_cast<size_t>(k)]), CRect(lx - R, ly - R, lx + R, ly + R),
                        kCenterText, true);
  }
}

CMouseEventResult TEQScreen::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = activeContext(this);
  if (!c) return MOUSE_DONE;
  dragging = false;
  if ((buttons & (kLButton | kRButton)) == kRButton) {
    c.editor->showEQMenu(framePoint(this, where), eq);
    setDirty();
    return MOUSE_DONE;
  }
  const double u = pointerU(where.x), v = pointerV(where.y);
  int best = 0;
  double bestDistance = 2.0;
  for (int k = 0; k < NUM_BANDS; ++k) {
    const double distance = std::fabs(c.plugin->getParameter(tagOf(EQ_FREQ_TAGS, k)) - u);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = k;
    }
  }
  selectedBand = best;
  bandLevel = static_cast<float>(v);
  c.editor->setEQUndo();
  setDirty();
  if (isResetClick(buttons)) {
    for (const auto* tags : {&EQ_BW_TAGS, &EQ_GAIN_TAGS, &EQ_FREQ_TAGS})
      c.plugin->setToDefault(tagOf(*tags, best));
    return MOUSE_DONE;
  }
  // Any other press is a gesture that the release ends, so the info texts never stay up.
  startDrag(where);
  if (buttons.isLeftButton()) onMouseMoved(where, buttons);
  return kMouseEventHandled;
}

CMouseEventResult TEQScreen::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = controlContext(this);
  if (!c || !dragging || !buttons.isLeftButton() || !takePoint(where)) return kMouseEventHandled;
  const double u = pointerU(where.x), v = pointerV(where.y);
  const int band = selectedBand;
  if (!(buttons & kShift)) {
    c.plugin->setParameter(tagOf(EQ_FREQ_TAGS, band), static_cast<float>(u));
    c.plugin->setParameter(tagOf(EQ_GAIN_TAGS, band), static_cast<float>(1.0 - v));
  } else {
    const double freq = c.plugin->getParameter(tagOf(EQ_FREQ_TAGS, band));
    const double width = std::clamp((bandLevel - v) + 3.0 * std::fabs(u - freq), 0.0, 1.0);
    c.plugin->setParameter(tagOf(EQ_BW_TAGS, band), static_cast<float>(width));
  }
  setDirty();
  return kMouseEventHandled;
}

void TEQScreen::wheelStep(const ControlContext& c, const CPoint&, float, int sign) {
  c.plugin->changeDelta(tagOf(EQ_BW_TAGS, selectedBand), sign);
}

// ---------------------------------------------------------------------------------------------
// Distortion curve

namespace {
// The distortion knobs, Dist2 first.
constexpr int DISTORT_RESET_TAGS[] = {DISTORT_KNOB_1_TAG + 1, DISTORT_KNOB_1_TAG,     DISTORT_KNOB_1_TAG + 2,
                                      DISTORT_KNOB_1_TAG + 3, DISTORT_KNOB_1_TAG + 4, DISTORT_KNOB_1_TAG + 5,
                                      DISTORT_KNOB_1_TAG + 6, DISTORT_KNOB_1_TAG + 7};
constexpr float DISTORT_PICTURE_LIMIT = 0.95f;
}  // namespace

TDistortScreen::TDistortScreen(const CRect& size, IControlListener* listener, int scale)
    : TGraphScreen(size, listener, scale),
      plotLeft(2),
      plotTop(2),
      plotRight(toInt(size.getWidth()) - 2),
      plotBottom(toInt(size.getHeight()) - 2),
      plotWidth(clampTo(plotRight - plotLeft, 0, MAX_POINTS)),
      plotHeight(static_cast<float>(plotBottom - plotTop)) {}

void TDistortScreen::reset() {
  gain = 1.0f;
  peak = 1.0f;
  setDirty();
}

float TDistortScreen::limitGain(float g, float p) {
  if (std::fabs(g) * p > DISTORT_PICTURE_LIMIT) return std::copysign(DISTORT_PICTURE_LIMIT / p, g);
  return g;
}

void TDistortScreen::update(int counter) {
  if (counter == refreshCount) return;
  refreshCount = counter;
  const ControlContext c = controlContext(this);
  if (!c) return;
  const bool changed = c.plugin->distortDisplayUpdated();
  c.plugin->getDistortDisplay(samples.data(), plotWidth, testWave, frequency);
  peak = 0.0f;
  for (int i = 0; i < plotWidth; ++i) peak = std::max(peak, std::fabs(samples[static_cast<size_t>(i)]));
  if (std::fabs(gain) * peak > DISTORT_PICTURE_LIMIT) {
    gain = limitGain(gain, peak);
    lastWave = testWave;
    setDirty();
  } else if (changed || testWave != lastWave) {
    lastWave = testWave;
    setDirty();
  }
}

void TDistortScreen::draw(CDrawContext* context) {
  setDirty(false);
  const ControlContext c = activeContext(this);
  if (!c || !context) return;
  const double left = size.left + plotLeft, bottom = size.top + plotBottom;
  context->setLineWidth(1);
  context->setFrameColor(TRANS_GREEN_LINE_COLOR);
  points.clear();
  for (int i = 0; i < plotWidth; ++i)
    points.emplace_back(left + i,
                        bottom - toInt((samples[static_cast<size_t>(i)] * 0.5f * gain + 0.5f) * plotHeight));
  context->drawPolyline(points);
  if (dragging)
    drawHelpBands(context,
                  "A:" + intText(toInt(100.0f * gain)) + "%,F:" + intText(toInt(1000.0f * frequency)) + "%",
                  std::string("R/Scr Wave:") + WAVE_NAMES[static_cast<size_t>(testWave)]);
}

CMouseEventResult TDistortScreen::onMouseDown(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = activeContext(this);
  if (!c) return MOUSE_DONE;
  if (buttons.isRightButton() || isResetClick(buttons)) {
    if (buttons.isRightButton()) {
      testWave = (testWave + 1) % NUM_TEST_WAVES;
    } else {
      for (int t : DISTORT_RESET_TAGS) c.plugin->setToDefault(t);
      frequency = 0.0f;
      gain = 1.0f;
      testWave = 0;
    }
    dragging = false;
    setDirty();
    return MOUSE_DONE;
  }
  startDrag(where);
  const float step = dragStep(getRange(), buttons, 100.0f, 2000.0f);
  frequencyDrag.start(frequency, step);
  gainDrag.start(gain, step);
  onMouseMoved(where, buttons);
  return kMouseEventHandled;
}

CMouseEventResult TDistortScreen::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  const ControlContext c = controlContext(this);
  if (!c || !dragging || !buttons.isLeftButton() || !takePoint(where)) return kMouseEventHandled;
  const float step = dragStep(getRange(), buttons, 100.0f, 2000.0f);
  frequency = std::clamp(frequencyDrag.follow(static_cast<float>(where.x - firstPoint.x), step), 0.0f, 1.0f);
  gain = std::clamp(gainDrag.follow(static_cast<float>(firstPoint.y - where.y), step), -1.0f, 1.0f);
  gain = limitGain(gain, peak);
  setDirty();
  return kMouseEventHandled;
}

void TDistortScreen::wheelStep(const ControlContext& c, const CPoint&, float, int sign) {
  c.editor->updateDistort(c.plugin->getDistortType() - sign);
}
