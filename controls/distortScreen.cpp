// The distortion screen: the type's curve on a test wave.
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
constexpr int NUM_TEST_WAVES = static_cast<int>(TDistortScreen::WAVE_NAMES.size());
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
