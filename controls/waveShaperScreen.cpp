// The wave-shaper screens: the drawn curve of 256 points, point, line and erase drawing.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "guiTables.h"
#include "plugin/uPlugin.h"
#include "plugin/uVocabulary.h"
#include "pluginControls.h"
#include "pluginScreens.h"
#include "screenHelpers.h"
#include "tags.h"
#include "vstgui/cbitmap.h"
#include "vstgui/cframe.h"
#include "vstgui/coptionmenu.h"

using namespace VSTGUI;
using namespace screen_helpers;

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
  // Symmetric: the upper half's points, mirrored below the centre.
  const int upper = WAVESHAPER_START_UNI_TAG[static_cast<size_t>(shaper)];
  return 2.0f * c.plugin->getParameter(upper + toInt(127.9999f * u)) - 1.0f;
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
  const int upper = WAVESHAPER_START_UNI_TAG[static_cast<size_t>(shaper)];
  c.plugin->setParameter(upper + i, p);
  c.plugin->setParameter(upper - 1 - i, 1.0f - p);
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
  const int upper = WAVESHAPER_START_UNI_TAG[static_cast<size_t>(shaper)];
  if (CBitmap* dot = c.editor->waveShaperDotBitmap()) {
    for (int i = 0; i < columns; ++i) {
      const float u = clampUnit(static_cast<float>(i) / W);
      const float v = independent ? plugin.getParameter(first + toInt(255.0f * u))
                                  : 2.0f * plugin.getParameter(upper + toInt(127.9999f * u)) - 1.0f;
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
