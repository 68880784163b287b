// The LFO screen: the shown LFO's wave, its shape by drag.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "dsp/unitLaws.h"
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
    drawHelpBands(context, "Shape: " + intText(toInt(units::PERCENT.unitOf(plugin.getParameter(tag)))) + "%",
                  "Scr-Wave");
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
