// The wave-shaper screen drawn against a small model of its two modes: symmetric (the upper half
// of the curve, a bar from the curve down to the bottom) and independent (all 256 points, a bar
// from the centre line to the curve), with the generator's overlay only when a mode is chosen.
#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

#include "controlTestKit.h"

using namespace controls_test;

namespace {

constexpr int LEFT = 20, TOP = 20, W = 186, H = 186;

// A curve with no symmetry, different on the two shapers, so that a wrong half, a wrong shaper or
// a mirrored column shows.
float pointValue(int ws, int k) {
  return ws == 1 ? 0.04f + 0.92f * static_cast<float>((k * 37) % 256) / 255.0f
                 : 0.3f + 0.1f * static_cast<float>(k % 3);
}
float overlay(int ws, int point) {
  return ws == 1 ? 0.1f + 0.8f * static_cast<float>(point) / 255.0f : 0.95f;
}

using Rect = std::tuple<int, int, int, int>;

}  // namespace

TEST(WaveShaperModes, BarsAndOverlayFollowTheMode) {
  for (bool independent : {false, true})
    for (int mode : {0, 7}) {
      const std::string what =
          std::string(independent ? "independent" : "symmetric") + " mode " + std::to_string(mode);
      ControlRig rig;
      rig.plugin->setParameter(WAVESHAPER_POLAR_TAG, independent ? 1.0f : 0.0f);
      for (int ws = 0; ws < 2; ++ws) {
        for (int k = 0; k < WAVESHAPER_POINTS; ++k)
          rig.plugin->setParameter(WAVESHAPER_START_TAG[ws] + k, pointValue(ws, k));
        rig.plugin->setSteppedValue(WAVESHAPER_DISTORT_MODE_TAGS[ws], ws == 1 ? mode : 3);
      }
      auto* screen = rig.add(new TWaveShaperScreen(CRect(LEFT, TOP, LEFT + W, TOP + H), nullptr, 1, 0));
      TestBitmap dot(1, 400);
      rig.editor.waveShaperDot = dot;
      rig.editor.waveShaperValue = overlay;

      std::multiset<Rect> want, got;
      std::vector<int> wantY;
      for (int i = 0; i < W; ++i) {
        const float u = static_cast<float>(i) / W;
        const float v = independent ? pointValue(1, static_cast<int>(255 * u))
                                    : 2 * pointValue(1, 128 + static_cast<int>(127.9999f * u)) - 1;
        const int r = static_cast<int>((1 - v) * H), c = H / 2;
        const int top = independent ? std::min(r, c) : r, bottom = independent ? std::max(r, c) : H;
        if (top < bottom) want.insert({LEFT + i, TOP + top, LEFT + i + 1, TOP + bottom});
        const float g = independent ? overlay(1, static_cast<int>(u * 255))
                                    : overlay(1, static_cast<int>(u * 127.9999f) + 128);
        const float level = independent ? g : 2 * g - 1;
        wantY.push_back(TOP + static_cast<int>(H - level * H));
      }
      const auto ops = drawn(screen);
      for (const DrawOp& op : ofKind(ops, Kind::Bitmap))
        if (op.rect.top < op.rect.bottom)
          got.insert({static_cast<int>(op.rect.left), static_cast<int>(op.rect.top),
                      static_cast<int>(op.rect.right), static_cast<int>(op.rect.bottom)});
      EXPECT_EQ(got, want) << what;
      EXPECT_GT(want.size(), 80u) << what;  // most columns have a bar to get wrong

      const auto lines = ofKind(ops, Kind::Polyline);
      ASSERT_EQ(lines.size(), mode ? 1u : 0u) << what;
      if (!mode) continue;
      ASSERT_EQ(lines[0].points.size(), static_cast<size_t>(W)) << what;
      for (int i = 0; i < W; ++i) {
        EXPECT_EQ(lines[0].points[static_cast<size_t>(i)].x, LEFT + i) << what;
        EXPECT_EQ(lines[0].points[static_cast<size_t>(i)].y, wantY[static_cast<size_t>(i)])
            << what << " column " << i;
      }
      rig.editor.waveShaperDot = nullptr;
    }
}
