// The follower screen: the envelope follower's curve, its boost and smoothing by drag.
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

namespace {
constexpr int FOLLOWER_SOURCES = static_cast<int>(FOLLOWER_SRC_STR.size());
constexpr int FOLLOWER_RESET_TAGS[] = {FOLLOWER_SOURCE_TAG, FOLLOWER_THRESHOLD_TAG, FOLLOWER_BOOST_TAG,
                                       FOLLOWER_SMOOTH_TAG, FOLLOWER_ATTACK_TAG,    FOLLOWER_HOLD_TAG,
                                       FOLLOWER_DECAY_TAG};
}  // namespace

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
