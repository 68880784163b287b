// The EQ and distortion screens.
#include <cairo.h>

#include <string>

#include "controlTestKit.h"

using namespace controls_test;

namespace {

struct EQRig : ControlRig {
  explicit EQRig(double width = 505, double height = 89) {
    screen = add(new TEQScreen(CRect(20, 20, 20 + width, 20 + height), nullptr, 0));
  }
  void band(int k, float freq, float gain, float width = 0.5f) {
    plugin->setParameter(EQ_FREQ_TAGS[static_cast<size_t>(k)], freq);
    plugin->setParameter(EQ_GAIN_TAGS[static_cast<size_t>(k)], gain);
    plugin->setParameter(EQ_BW_TAGS[static_cast<size_t>(k)], width);
  }
  // Frame point of the view-relative fractions u (left to right) and v (top to bottom).
  CPoint at(double u, double v) const {
    return CPoint(20 + u * screen->getPlotWidth(), 20 + v * screen->getPlotHeight());
  }
  TEQScreen* screen;
};

}  // namespace

TEST(EQScreen, FlatBandShadesNothingAndSitsOnTheMiddleLine) {
  EQRig rig;
  for (int k = 0; k < 4; ++k) rig.band(k, 0.2f * static_cast<float>(k + 1), 0.5f);
  const auto ops = drawn(rig.screen);
  EXPECT_TRUE(ofKind(ops, Kind::Polygon).empty());
  const auto handles = ofKind(ops, Kind::Ellipse);
  ASSERT_EQ(handles.size(), 4u);
  for (const auto& h : handles) EXPECT_EQ((h.rect.top + h.rect.bottom) / 2, 20 + rig.screen->middleRow());
}

TEST(EQScreen, BandCentreAndHandleColumn) {
  // Value 0.5 is 640 Hz, the middle column; +20 dB there is r = 1 and the handle stays inside.
  EQRig rig(504, 89);
  rig.band(0, 0.5f, 1.0f, 0.3f);
  for (int k = 1; k < 4; ++k) rig.band(k, 0.9f, 0.5f);
  const auto handles = ofKind(drawn(rig.screen), Kind::Ellipse);
  const float* r = rig.screen->bandResponses(0);
  EXPECT_NEAR(r[252], 1.0f, 1e-4);
  for (int x = 0; x <= 504; ++x) EXPECT_LE(r[x], r[252] + 1e-6f) << x;
  ASSERT_EQ(handles.size(), 4u);
  EXPECT_EQ((handles[0].rect.left + handles[0].rect.right) / 2, 20 + 252);
  EXPECT_GE(handles[0].rect.top, 20);
  EXPECT_LE(handles[0].rect.bottom, 20 + 89);
}

TEST(EQScreen, ClickSelectsTheNearestBandLowerOnTies) {
  struct Case {
    float freqs[4];
    double u;
    int band;
  };
  const Case cases[] = {{{0.3f, 0.3f, 0.3f, 0.3f}, 0.3, 0},
                        {{0.8f, 0.3f, 0.3f, 0.1f}, 0.31, 1},
                        {{0.1f, 0.2f, 0.6f, 0.9f}, 1.5, 3},
                        {{0.1f, 0.2f, 0.6f, 0.9f}, -2.0, 0}};
  for (const Case& c : cases) {
    EQRig rig;
    for (int k = 0; k < 4; ++k) rig.band(k, c.freqs[k], 0.5f);
    CPoint p = rig.at(c.u, 0.5);
    rig.screen->onMouseDown(p, kMButton);
    rig.screen->onMouseUp(p, kMButton);
    EXPECT_EQ(rig.screen->getSelectedBand(), c.band) << c.u;
    EXPECT_EQ(rig.editor.count("setEQUndo"), 1);
  }
}

TEST(EQScreen, DragsMoveTheHandleAndShiftSetsTheWidth) {
  // Shift: width = (level at mouse-down - v) + 3 |u - frequency|: down narrows, sideways widens
  // three times as fast as up.
  struct Case {
    int32_t buttons;
    double du, dv;
    int tag;
    float value;
  };
  const Case cases[] = {{kLButton, 0.2, 0.1, 19, 0.7f},          {kLButton, 0.2, 0.1, 15, 0.4f},
                        {kLButton | kShift, 0.0, 0.1, 23, 0.0f}, {kLButton | kShift, 0.0, -0.1, 23, 0.1f},
                        {kLButton | kShift, 0.1, 0.0, 23, 0.3f}, {kLButton | kShift, -0.1, 0.0, 23, 0.3f},
                        {kLButton | kShift, 0.1, -0.1, 23, 0.4f}};
  for (const Case& c : cases) {
    EQRig rig;
    rig.band(0, 0.5f, 0.5f, 0.5f);
    for (int k = 1; k < 4; ++k) rig.band(k, 0.95f, 0.5f);
    rig.tester.drag(rig.at(0.5, 0.5), rig.at(0.5 + c.du, 0.5 + c.dv), 3, c.buttons);
    EXPECT_NEAR(rig.plugin->getParameter(c.tag), c.value, 1e-5) << c.tag << " " << c.du << " " << c.dv;
    EXPECT_EQ(rig.hostCount(kHostAutomate), 0);  // EQ edits are not automated
  }
}

TEST(EQScreen, MenuAndResetClicks) {
  EQRig rig;
  rig.screen->setEQ(1);
  rig.screen->setEQ(2);
  EXPECT_EQ(rig.screen->getEQ(), 1);
  rig.tester.click(100, 50, kRButton);
  EXPECT_EQ(rig.editor.names(), std::vector<std::string>{"showEQMenu"});
  EXPECT_EQ(rig.editor.calls[0].arg, 1);
  for (int t : {28, 32, 36}) rig.plugin->setParameter(t, 0.05f);
  rig.plugin->setParameter(33, 0.9f);
  rig.tester.click(rig.at(0.0, 0.5).x, 50, kLButton | kControl);
  for (int t : {28, 32, 36}) EXPECT_EQ(rig.plugin->getParameter(t), rig.plugin->getDefault(t)) << t;
  EXPECT_EQ(rig.plugin->getParameter(33), 0.9f);
  EXPECT_FALSE(rig.screen->isDragging());
}

TEST(EQScreen, FillPolygonCoversExactlyThePixelsOfTheColumnLines) {
  constexpr int W = 300, H = 90, middle = H / 2;
  // Real responses and hand-made rows: runs on the middle row, crossings, both edges, steps.
  EQRig rig(W, H);
  rig.band(0, 0.3f, 0.95f, 0.6f);
  rig.band(1, 0.6f, 0.1f, 0.2f);
  rig.band(2, 0.45f, 0.5f);
  rig.band(3, 0.8f, 0.7f, 0.9f);
  rig.screen->computeResponses(*rig.plugin);
  std::vector<std::vector<int32_t>> rowSets;
  for (int k = 0; k < 4; ++k) rowSets.emplace_back(rig.screen->bandRows(k), rig.screen->bandRows(k) + W);
  std::vector<int32_t> rows(W);
  uint32_t seed = 12345;
  for (int x = 0; x < W; ++x) {
    seed = seed * 1664525u + 1013904223u;
    const int pick = static_cast<int>(seed >> 24) % 7;
    rows[static_cast<size_t>(x)] =
        pick < 2 ? middle : (pick == 2 ? 0 : (pick == 3 ? H : static_cast<int>(seed >> 8) % (H + 1)));
  }
  rowSets.push_back(rows);

  auto render = [&](const std::vector<int32_t>& r, bool polygon) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, W + 10, H + 10);
    cairo_t* cr = cairo_create(surface);
    {
      CDrawContext context(cr);
      context.setOffset(CPoint(3, 4));
      const CColor colour = GREEN_TRANS_COLOR[1];
      if (polygon) {
        std::vector<CPoint> points;
        TEQScreen::fillOutline(r.data(), W, middle, CPoint(0, 0), points);
        context.setFillColor(colour);
        if (!points.empty()) context.drawPolygon(points, kDrawFilled);
      } else {
        context.setFrameColor(colour);
        for (int x = 0; x < W; ++x) context.drawLine(CPoint(x, middle), CPoint(x, r[static_cast<size_t>(x)]));
      }
    }
    cairo_surface_flush(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<unsigned char> pixels(cairo_image_surface_get_data(surface),
                                      cairo_image_surface_get_data(surface) + stride * (H + 10));
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return pixels;
  };
  for (const auto& r : rowSets) EXPECT_EQ(render(r, true), render(r, false));
}

// ---- Distortion ----

namespace {

struct DistortRig : ControlRig {
  DistortRig() { screen = add(new TDistortScreen(CRect(20, 20, 120, 121), nullptr, 0)); }
  TDistortScreen* screen;
};

}  // namespace

TEST(DistortScreen, RightClickCyclesTheTestWave) {
  DistortRig rig;
  for (int wave : {1, 2, 3, 4, 0}) {
    EXPECT_EQ(rig.tester.mouseDown(70, 70, kRButton), MOUSE_DONE);
    EXPECT_EQ(rig.screen->getTestWave(), wave);
    EXPECT_FALSE(rig.screen->isDragging());
  }
}

TEST(DistortScreen, DragScalesFrequencyAndGain) {
  DistortRig rig;
  rig.tester.mouseDown(70, 70);
  rig.tester.move(95, 80, kLButton);
  rig.tester.move(120, 100, kLButton);
  EXPECT_NEAR(rig.screen->getFrequency(), 0.5f, 1e-6);  // 50 px right
  EXPECT_NEAR(rig.screen->getGain(), 0.7f, 1e-6);       // 30 px down
  std::vector<std::string> texts;
  for (const auto& op : ofKind(drawn(rig.screen), Kind::String)) texts.push_back(op.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"A:70%,F:500%", "R/Scr Wave:Sin"}));
  rig.tester.mouseUp(120, 100);
  EXPECT_TRUE(ofKind(drawn(rig.screen), Kind::String).empty());
  rig.screen->reset();
  EXPECT_EQ(rig.screen->getGain(), 1.0f);
  EXPECT_EQ(rig.hostCount(kHostAutomate), 0);  // display settings only
}

TEST(DistortScreen, GainIsHeldSoThePictureFits) {
  struct Case {
    float gain, peak, held;
  };
  const Case cases[] = {{1.0f, 2.0f, 0.475f}, {-1.0f, 2.0f, -0.475f}, {0.4f, 2.0f, 0.4f}, {1.0f, 0.0f, 1.0f}};
  for (const Case& c : cases) EXPECT_FLOAT_EQ(TDistortScreen::limitGain(c.gain, c.peak), c.held);

  // Whatever the type, the curve stays inside the plot once the screen has seen it.
  DistortRig rig;
  for (int k = 6; k <= 13; ++k) rig.plugin->setParameter(k, 1.0f);
  int counter = 1;
  for (int type = 0; type < 52; type += 3) {
    rig.plugin->setSteppedValue(DISTORT_TYPE_TAG, type);
    rig.screen->update(counter++);
    for (const auto& line : ofKind(drawn(rig.screen), Kind::Polyline))
      for (const CPoint& p : line.points) {
        EXPECT_GE(p.y, 20 + 2 - 1) << type;
        EXPECT_LE(p.y, 121 - 2 + 1) << type;
      }
  }
}

TEST(DistortScreen, CommandClickResetsKnobsAndDisplay) {
  DistortRig rig;
  rig.tester.mouseDown(70, 70, kRButton);
  rig.tester.drag(CPoint(70, 70), CPoint(90, 60));
  for (int k = 6; k <= 13; ++k) rig.plugin->setParameter(k, 0.97f);
  EXPECT_EQ(rig.tester.mouseDown(70, 70, kLButton | kDoubleClick),
            kMouseDownEventHandledButDontNeedMovedOrUpEvents);
  for (int k = 6; k <= 13; ++k) EXPECT_EQ(rig.plugin->getParameter(k), rig.plugin->getDefault(k)) << k;
  EXPECT_EQ(rig.screen->getTestWave(), 0);
  EXPECT_EQ(rig.screen->getFrequency(), 0.0f);
  EXPECT_EQ(rig.screen->getGain(), 1.0f);
}
