// Drawing into the frame's image: a reference picture compared with one drawn by plain cairo,
// text placement, image capture, and a full frame of every control created, drawn and destroyed.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/vstguiTester.h"
#include "support/expectValues.h"

using namespace VSTGUI;
using testing_support::FrameTester;
using testing_support::RecordingDrawContext;

namespace {

// Tables of other units copy the stock fonts while the module loads (in any order of units).
CFontDesc* const kEarlyFonts[3] = {kNormalFontSmall, kNormalFontBig, kNormalFontVeryBig};
const double kEarlySizes[3] = {kNormalFontSmall->getSize(), kNormalFontBig->getSize(),
                               kNormalFontVeryBig->getSize()};

class ShapesView : public CView {
 public:
  ShapesView() : CView(CRect(0, 0, 80, 40)) {}
  void draw(CDrawContext* c) override {
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
  }
};

// The same picture without the text, as the shapes are meant to cover pixels.
cairo_surface_t* expectedShapes() {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 80, 40);
  cairo_t* cr = cairo_create(s);
  auto box = [&](double l, double t, double r, double b, double red, double green, double blue) {
    cairo_set_source_rgb(cr, red, green, blue);
    cairo_rectangle(cr, l, t, r - l, b - t);
    cairo_fill(cr);
  };
  box(0, 0, 80, 40, 30 / 255.0, 60 / 255.0, 90 / 255.0);
  box(10, 5, 30, 15, 200 / 255.0, 50 / 255.0, 50 / 255.0);
  box(0, 20, 80, 21, 0, 1, 0);
  box(40, 5, 60, 6, 1, 1, 1);
  box(40, 14, 60, 15, 1, 1, 1);
  box(40, 5, 41, 15, 1, 1, 1);
  box(59, 5, 60, 15, 1, 1, 1);
  cairo_set_source_rgb(cr, 0, 0, 1);
  cairo_arc(cr, 70, 30, 8, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(s);
  return s;
}

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
  box->addView(new ShapesView);
  tester.frame()->addView(box);
  tester.idle();

  cairo_surface_t* expected = expectedShapes();
  const unsigned char* data = cairo_image_surface_get_data(expected);
  const int stride = cairo_image_surface_get_stride(expected);
  const CRect textBox(0, 24, 40, 40);
  int inkLeft = 80, inkRight = -1, inkTop = 40, inkBottom = -1, brightInk = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 80; ++x) {
      const uint32_t want = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
      const uint32_t got = tester.pixel(x, y);
      if (textBox.pointInside(CPoint(x, y)) && !(x >= 62 && y >= 22)) {
        if (got != want) {
          inkLeft = std::min(inkLeft, x);
          inkRight = std::max(inkRight, x);
          inkTop = std::min(inkTop, y);
          inkBottom = std::max(inkBottom, y);
          brightInk += ((got >> 8) & 255) > 200;
        }
        continue;
      }
      ASSERT_LE(channelDifference(got, want), 8) << "pixel " << x << "," << y;
    }
  }
  cairo_surface_destroy(expected);
  // Text: present, whitish, inside its box (the row of the line above is untouched), centred.
  ASSERT_GE(inkRight, 0);
  EXPECT_GT(brightInk, 3);
  EXPECT_NEAR((inkLeft + inkRight + 1) / 2.0, 20.0, 2.0);
  EXPECT_GE(inkTop, 24);
  EXPECT_LE(inkBottom, 39);
  EXPECT_NEAR((inkTop + inkBottom + 1) / 2.0, 32.0, 3.0);
}

TEST(VstguiDrawing, TextAlignmentAndCaptureToPng) {
  FrameTester tester(CRect(0, 0, 120, 20));
  struct Texts : CView {
    Texts() : CView(CRect(0, 0, 120, 20)) {}
    void draw(CDrawContext* c) override {
      c->setFont(kNormalFontSmall, 0, kBoldFace);
      c->setFontColor(kWhiteCColor);
      c->drawString("Left", CRect(0, 0, 60, 20), kLeftText);
      c->drawString("Right", CRect(60, 0, 120, 20), kRightText);
    }
  };
  tester.frame()->addView(new Texts);
  tester.idle();
  auto columnHasInk = [&](int x) {
    for (int y = 0; y < 20; ++y)
      if (tester.pixel(x, y) != 0xFF000000u) return true;
    return false;
  };
  int first = -1, last = -1;
  for (int x = 0; x < 120; ++x)
    if (columnHasInk(x)) {
      if (first < 0) first = x;
      last = x;
    }
  EXPECT_LE(first, 2);
  EXPECT_GE(last, 116);

  char pattern[] = "/tmp/grindle-capture-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string path = folder + "/frame.png";
  ASSERT_TRUE(tester.capturePNG(path));
  cairo_surface_t* back = cairo_image_surface_create_from_png(path.c_str());
  EXPECT_VALUES(
      {cairo_surface_status(back), CAIRO_STATUS_SUCCESS}, {cairo_image_surface_get_width(back), 120},
      {cairo_image_surface_get_height(back), 20});
  cairo_surface_destroy(back);
  std::filesystem::remove_all(folder);
}

TEST(VstguiDrawing, RecordingContextSeesTextFontsAndContainerOffsets) {
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
  EXPECT_EQ(kEarlyFonts[0], kNormalFontSmall);
  EXPECT_EQ(kEarlyFonts[2], kNormalFontVeryBig);
  EXPECT_EQ(kEarlySizes[0], 11);
  EXPECT_EQ(kEarlySizes[1], 14);
  EXPECT_EQ(kEarlySizes[2], 18);
  EXPECT_EQ(kNormalFontSmall->getSize(), 11);
  EXPECT_EQ(kNormalFontBig->getSize(), 14);
  EXPECT_STREQ(kNormalFontSmall->getName(), "Liberation Sans");
}

TEST(VstguiDrawing, StrokedPointListsStayOpenAndFilledOnesClose) {
  FrameTester tester(CRect(0, 0, 40, 40));
  struct Lines : CView {
    Lines() : CView(CRect(0, 0, 40, 40)) {}
    void draw(CDrawContext* c) override {
      c->setFrameColor(kWhiteCColor);
      c->drawPolygon({CPoint(2, 2), CPoint(30, 2), CPoint(30, 30)},
                     kDrawStroked);  // no edge back to the start
      c->setFillColor(kWhiteCColor);
      c->drawPolygon({CPoint(2, 34), CPoint(10, 34), CPoint(10, 39), CPoint(2, 39)}, kDrawFilled);
    }
  };
  tester.frame()->addView(new Lines);
  tester.idle();
  EXPECT_EQ(tester.pixel(16, 2), 0xFFFFFFFFu);
  EXPECT_EQ(tester.pixel(30, 16), 0xFFFFFFFFu);
  EXPECT_EQ(tester.pixel(30, 30), 0xFFFFFFFFu);  // square ends cover the last pixel
  EXPECT_EQ(tester.pixel(16, 16), 0xFF000000u);  // the diagonal closing edge is not drawn
  EXPECT_EQ(tester.pixel(5, 36), 0xFFFFFFFFu);
}

// Run under AddressSanitizer, this is the leak check of a whole frame's life.
TEST(VstguiLifetime, FrameWithEveryControlIsCreatedDrawnAndDestroyedCleanly) {
  struct Listener : IControlListener {
    void valueChanged(CControl*) override { ++changes; }
    int changes = 0;
  } listener;
  FrameTester tester(CRect(0, 0, 400, 200));
  auto* strip = new CBitmap(20, 40);
  auto* missing = new CBitmap(12345);
  CFrame* frame = tester.frame();
  new CTooltipSupport(frame, 100);
  frame->setBackground(strip);
  auto* box = new CViewContainer(CRect(0, 0, 200, 200));
  box->useOffscreen(false);
  box->setBackground(missing);
  frame->addView(box);
  box->addView(new CView(CRect(0, 0, 10, 10)));
  box->addView(new CControl(CRect(10, 0, 20, 10), &listener, 1, strip));
  box->addView(new CAnimKnob(CRect(20, 0, 40, 20), &listener, 2, 2, 20, strip));
  box->addView(new COnOffButton(CRect(40, 0, 60, 20), &listener, 3, strip));
  box->addView(new CKickButton(CRect(60, 0, 80, 20), &listener, 4, strip));
  box->addView(new CMovieBitmap(CRect(80, 0, 100, 20), &listener, 5, strip));
  box->addView(new CParamDisplay(CRect(100, 0, 150, 20), nullptr, 0));
  auto* menu = new COptionMenu(CRect(0, 50, 100, 70), &listener, 6);
  auto* sub = new COptionMenu();
  sub->addEntry("Inner");
  menu->addEntry("-GHeading");
  menu->addEntry("Outer");
  menu->addEntry(sub, "Sub");
  sub->forget();
  box->addView(menu);
  auto* kept = new CAnimKnob(CRect(300, 0, 320, 20), &listener, 7, strip);
  frame->addView(kept);
  kept->setTooltipText("Kept");

  for (int i = 0; i < box->getNbViews(); ++i) {
    if (auto* copy = box->getView(i)->newCopy()) copy->forget();
  }
  tester.move(305, 5);
  tester.advanceClock(200);
  tester.idle();
  tester.menus().chooseTitle("Inner");
  tester.click(10, 55);
  tester.drag(CPoint(30, 10), CPoint(30, 0));
  tester.click(70, 10);
  tester.click(50, 10);
  tester.wheel(30, 10, 1.f);
  tester.idle();
  EXPECT_GE(listener.changes, 5);

  frame->removeAll(false);  // the editor's way of emptying a screen: the references come back to us
  EXPECT_EQ(box->getNbReference(), 1);
  box->forget();
  frame->addView(kept);  // and go to the frame again
  tester.idle();
  strip->forget();
  missing->forget();
  // The tester closes the frame, which releases the views, the tool-tip support and the bitmaps.
}
