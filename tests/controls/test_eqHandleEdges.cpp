// The EQ screen's band handles stay whole inside the screen at every frequency and gain, at
// every zoom: the ends of the frequency range as much as the ends of the gain range.
#include "controlTestKit.h"

using namespace controls_test;

TEST(EQScreenEdges, HandlesStayWholeOnScreenAtEveryEnd) {
  struct Case {
    float freq, gain;
  };
  // Each end alone and the four corners; the middle as a control that nothing moves.
  const Case cases[] = {{0.0f, 0.5f}, {1.0f, 0.5f}, {0.0f, 1.0f}, {1.0f, 0.0f},
                        {0.0f, 0.0f}, {1.0f, 1.0f}, {0.5f, 0.5f}, {0.002f, 0.5f}};
  for (int zoom = 0; zoom < 3; ++zoom) {
    const double W = 505 * SCALE[static_cast<size_t>(zoom)], H = 89 * SCALE[static_cast<size_t>(zoom)];
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "zoom " << zoom << " freq " << c.freq << " gain " << c.gain);
      ControlRig rig(CRect(0, 0, 1200, 400));
      auto* screen = rig.add(new TEQScreen(CRect(20, 20, 20 + W, 20 + H), nullptr, zoom));
      for (int k = 0; k < 4; ++k) {
        rig.plugin->setParameter(EQ_FREQ_TAGS[static_cast<size_t>(k)], c.freq);
        rig.plugin->setParameter(EQ_GAIN_TAGS[static_cast<size_t>(k)], c.gain);
        rig.plugin->setParameter(EQ_BW_TAGS[static_cast<size_t>(k)], 0.5f);
      }
      const auto handles = drawn(screen, Kind::Ellipse);
      ASSERT_EQ(handles.size(), 4u);
      const double r = screen->getHandleRadius();
      for (const auto& h : handles) {
        EXPECT_NEAR(h.rect.getWidth(), 2 * r, 1e-9);  // a whole circle, not a clipped one
        EXPECT_GE(h.rect.left, 20);
        EXPECT_LE(h.rect.right, 20 + screen->getPlotWidth());
        EXPECT_GE(h.rect.top, 20);
        EXPECT_LE(h.rect.bottom, 20 + screen->getPlotHeight());
        // Away from the ends the handle still sits on its own column.
        if (c.freq == 0.5f) {
          EXPECT_EQ((h.rect.left + h.rect.right) / 2, 20 + static_cast<int>(0.5 * screen->getPlotWidth()));
        }
      }
    }
  }
}
