// The graph screens' shared base: gestures, help bands, point drags and the wheel.
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
