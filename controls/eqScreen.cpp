// The EQ screen: the four bands' response, bands moved by drag and wheel.
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
// The screen's frequency axis and filter design use this rate, whatever the host runs at.
constexpr double EQ_REFERENCE_RATE = 88100.0;
// The frequency law's constants in exp2 form, as the picture has always been drawn (pow would
// round some columns an ulp apart).
double eqOmega(double octaves) {
  return 2.0 * std::numbers::pi * static_cast<double>(units::LOWEST_HZ) *
         std::exp2(static_cast<double>(units::FREQUENCY_OCTAVES) * octaves) / EQ_REFERENCE_RATE;
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
    q.gainDB = units::GAIN_DB.unitOf(static_cast<double>(values.gain));
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
