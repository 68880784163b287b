// The modulation matrix screen: basic and advanced rows, cells edited by drag, click and menu.
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
  // Linear: whole percents counted up from the law's bottom, so an amount just under a whole
  // percent is not rounded up onto it.
  const units::LinearLaw& law = units::BIPOLAR_PERCENT;
  const int n = exponential ? toInt(std::exp2((2.0 * value - 1.0) * 4.0) * 100.0)
                            : toInt(law.slope * value) + toInt(law.offset);
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
