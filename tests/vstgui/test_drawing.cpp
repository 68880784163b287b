// Drawing into the frame's image: shapes cover exactly their pixels, text is placed in its box,
// the stock fonts exist before any other unit's tables copy them.
#include <gtest/gtest.h>

#include <functional>

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

// A view drawing with a function.
struct Painter : CView {
  Painter(const CRect& r, std::function<void(CDrawContext*)> f) : CView(r), paint(std::move(f)) {}
  void draw(CDrawContext* c) override { paint(c); }
  std::function<void(CDrawContext*)> paint;
};

}  // namespace

TEST(VstguiDrawing, ShapesCoverExactlyTheirPixelsAndTextIsCentredInItsBox) {
  FrameTester tester(CRect(0, 0, 80, 80));
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
  tester.frame()->addView(new Painter(CRect(0, 40, 80, 80), [](CDrawContext* c) {
    c->setFrameColor(kWhiteCColor);
    c->drawPolygon({CPoint(2, 42), CPoint(30, 42), CPoint(30, 70)},
                   kDrawStroked);  // no edge back to the start
    c->setFillColor(kWhiteCColor);
    c->drawPolygon({CPoint(42, 74), CPoint(50, 74), CPoint(50, 79), CPoint(42, 79)}, kDrawFilled);
  }));
  tester.idle();
  const uint32_t back = 0xFF1E3C5A, red = 0xFFC83232, green = 0xFF00FF00, white = 0xFFFFFFFF,
                 blue = 0xFF0000FF;
  const uint32_t black = 0xFF000000;
  // Fill, its right and bottom edges; the line's row only; the frame's edge, not its inside; the
  // ellipse, not its box's corner; the open stroke (square ends cover the last pixel) and the fill.
  EXPECT_VALUES({tester.pixel(10, 5), red}, {tester.pixel(29, 14), red}, {tester.pixel(30, 10), back},
                {tester.pixel(20, 15), back}, {tester.pixel(5, 20), green}, {tester.pixel(5, 21), back},
                {tester.pixel(5, 19), back}, {tester.pixel(40, 10), white}, {tester.pixel(59, 14), white},
                {tester.pixel(50, 10), back}, {tester.pixel(70, 30), blue}, {tester.pixel(63, 23), back},
                {tester.pixel(16, 42), white}, {tester.pixel(30, 56), white}, {tester.pixel(30, 70), white},
                {tester.pixel(16, 56), black}, {tester.pixel(45, 76), white}, {tester.pixel(41, 76), black});

  // The text's ink lies inside its box, centred.
  int inkLeft = 80, inkRight = -1, inkTop = 40, inkBottom = -1;
  for (int y = 21; y < 40; ++y) {
    for (int x = 0; x < 60; ++x) {
      if (tester.pixel(x, y) == back) continue;
      inkLeft = std::min(inkLeft, x);
      inkRight = std::max(inkRight, x);
      inkTop = std::min(inkTop, y);
      inkBottom = std::max(inkBottom, y);
    }
  }
  EXPECT_VALUES({(inkLeft + inkRight + 1) / 2.0, 20.0, 2.0}, {(inkTop + inkBottom + 1) / 2.0, 32.0, 3.0},
                {inkTop >= 24, true}, {inkRight < 40, true});
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
