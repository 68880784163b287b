// Drawing into the frame's image: a reference picture compared with one drawn by plain cairo,
// text placement, the stock fonts and point lists.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "support/expectValues.h"
#include "support/vstguiTester.h"

using namespace VSTGUI;
using testing_support::FrameTester;
using testing_support::RecordingDrawContext;

namespace {

// Tables of other units copy the stock fonts while the module loads (in any order of units).
CFontDesc* const kEarlyFonts[3] = {kNormalFontSmall, kNormalFontBig, kNormalFontVeryBig};
const double kEarlySizes[3] = {kNormalFontSmall->getSize(), kNormalFontBig->getSize(),
                               kNormalFontVeryBig->getSize()};

// A view drawing with a function, filling the whole frame.
struct Painter : CView {
  Painter(const CRect& r, std::function<void(CDrawContext*)> f) : CView(r), paint(std::move(f)) {}
  void draw(CDrawContext* c) override { paint(c); }
  std::function<void(CDrawContext*)> paint;
};

int channelDifference(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift < 32; shift += 8)
    worst = std::max(worst,
                     std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255)));
  return worst;
}

}  // namespace

TEST(VstguiDrawing, ShapesMatchAReferenceAndTextIsCentredInItsBox) {
  FrameTester tester(CRect(0, 0, 80, 40));
  auto* box = new CViewContainer(CRect(0, 0, 80, 40));
  box->setBackgroundColor(CColor(30, 60, 90));
  box->addView(new Painter(CRect(0, 0, 80, 40), [](CDrawContext* c) {
    c->setFillColor(CColor(200, 50, 50));
    c->fillRect(CRect(10, 5, 30, 15));
    c->setFrameColor(CColor(0, 255, 0));
    c->setLineWidth(1);
    c->drawLine(CPoint(0, 20), CPoint(79, 20));
    c->setFrameColor(kWhiteCColor);
    c->drawRect(CRect(40, 5, 60, 15), kDrawStroked);
    c->setFillColor(CColor(0, 0, 255));
    c->drawEllipse(CRect(62, 22, 78, 38), kDrawFilled);
    c->setFont(kNormalFontBig, 0, kBoldFace);
    c->setFontColor(kWhiteCColor);
    c->drawString("Gg", CRect(0, 24, 40, 40), kCenterText);
  }));
  tester.frame()->addView(box);
  tester.idle();

  // The same picture without the text, as the shapes are meant to cover pixels.
  cairo_surface_t* expected = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 80, 40);
  cairo_t* cr = cairo_create(expected);
  const struct {
    double l, t, r, b;
    int red, green, blue;
  } boxes[] = {{0, 0, 80, 40, 30, 60, 90},    {10, 5, 30, 15, 200, 50, 50},    {0, 20, 80, 21, 0, 255, 0},
               {40, 5, 60, 6, 255, 255, 255}, {40, 14, 60, 15, 255, 255, 255}, {40, 5, 41, 15, 255, 255, 255},
               {59, 5, 60, 15, 255, 255, 255}};
  for (const auto& b : boxes) {
    cairo_set_source_rgb(cr, b.red / 255.0, b.green / 255.0, b.blue / 255.0);
    cairo_rectangle(cr, b.l, b.t, b.r - b.l, b.b - b.t);
    cairo_fill(cr);
  }
  cairo_set_source_rgb(cr, 0, 0, 1);
  cairo_arc(cr, 70, 30, 8, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(expected);
  const unsigned char* data = cairo_image_surface_get_data(expected);
  const int stride = cairo_image_surface_get_stride(expected);
  const CRect textBox(0, 24, 40, 40);
  int inkLeft = 80, inkRight = -1, inkTop = 40, inkBottom = -1, brightInk = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 80; ++x) {
      const uint32_t want = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
      const uint32_t got = tester.pixel(x, y);
      if (!textBox.pointInside(CPoint(x, y))) {
        ASSERT_LE(channelDifference(got, want), 8) << "pixel " << x << "," << y;
      } else if (got != want) {
        inkLeft = std::min(inkLeft, x);
        inkRight = std::max(inkRight, x);
        inkTop = std::min(inkTop, y);
        inkBottom = std::max(inkBottom, y);
        brightInk += ((got >> 8) & 255) > 200;
      }
    }
  }
  cairo_surface_destroy(expected);
  // Text: present, whitish, inside its box (the row of the line above is untouched), centred.
  ASSERT_GE(inkRight, 0);
  EXPECT_GT(brightInk, 3);
  EXPECT_VALUES({(inkLeft + inkRight + 1) / 2.0, 20.0, 2.0}, {(inkTop + inkBottom + 1) / 2.0, 32.0, 3.0});
  EXPECT_GE(inkTop, 24);
}

TEST(VstguiDrawing, TextAlignsToTheSidesOfItsBox) {
  FrameTester tester(CRect(0, 0, 120, 20));
  tester.frame()->addView(new Painter(CRect(0, 0, 120, 20), [](CDrawContext* c) {
    c->setFont(kNormalFontSmall, 0, kBoldFace);
    c->setFontColor(kWhiteCColor);
    c->drawString("Left", CRect(0, 0, 60, 20), kLeftText);
    c->drawString("Right", CRect(60, 0, 120, 20), kRightText);
  }));
  tester.idle();
  int first = -1, last = -1;
  for (int x = 0; x < 120; ++x) {
    for (int y = 0; y < 20; ++y) {
      if (tester.pixel(x, y) == 0xFF000000u) continue;
      first = first < 0 ? x : first;
      last = x;
    }
  }
  EXPECT_LE(first, 2);
  EXPECT_GE(last, 116);
}

TEST(VstguiDrawing, StockFontsExistBeforeOtherUnitsAndTextKeepsContainerOffsets) {
  EXPECT_EQ(kEarlyFonts[0], kNormalFontSmall);
  EXPECT_EQ(kEarlyFonts[2], kNormalFontVeryBig);
  EXPECT_VALUES({kEarlySizes[0], 11}, {kEarlySizes[1], 14}, {kEarlySizes[2], 18});
  EXPECT_STREQ(kNormalFontSmall->getName(), "Liberation Sans");

  FrameTester tester(CRect(0, 0, 200, 100));
  auto* box = new CViewContainer(CRect(50, 20, 150, 80));
  auto* display = new CParamDisplay(CRect(10, 10, 60, 30));
  display->setFont(kNormalFontVeryBig);
  display->setValue(0.25f);
  display->setBackColor(kTransparentCColor);
  tester.frame()->addView(box);
  box->addView(display);
  RecordingDrawContext rec;
  tester.frame()->drawRect(&rec, CRect(0, 0, 200, 100));
  const auto texts = rec.of(RecordingDrawContext::Kind::String);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "0.25");
  EXPECT_EQ(texts[0].rect, CRect(60, 30, 110, 50));
  EXPECT_EQ(texts[0].fontSize, 18);
}

TEST(VstguiDrawing, StrokedPointListsStayOpenAndFilledOnesClose) {
  FrameTester tester(CRect(0, 0, 40, 40));
  tester.frame()->addView(new Painter(CRect(0, 0, 40, 40), [](CDrawContext* c) {
    c->setFrameColor(kWhiteCColor);
    c->drawPolygon({CPoint(2, 2), CPoint(30, 2), CPoint(30, 30)}, kDrawStroked);  // no edge back to the start
    c->setFillColor(kWhiteCColor);
    c->drawPolygon({CPoint(2, 34), CPoint(10, 34), CPoint(10, 39), CPoint(2, 39)}, kDrawFilled);
  }));
  tester.idle();
  // Square ends cover the last pixel; the diagonal closing edge is not drawn.
  EXPECT_VALUES({tester.pixel(16, 2), 0xFFFFFFFFu}, {tester.pixel(30, 16), 0xFFFFFFFFu},
                {tester.pixel(30, 30), 0xFFFFFFFFu}, {tester.pixel(16, 16), 0xFF000000u},
                {tester.pixel(5, 36), 0xFFFFFFFFu});
}
