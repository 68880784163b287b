// The compressor meter's 47 frames at every size: step k lights k/46 of the track from its left
// end, nothing at step 0 and all of it at step 46, and every step lights more than the one before.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "resources/bitmapTable.h"

namespace {

constexpr int METER = 10071, STEPS = 46, W = 65, H = 29;  // a frame at 100 %
const std::string kResources = std::string(GRINDLE_BINARY_DIR) + "/Grindle2/Resources";

// Row y of every frame of the strip at screen mode m.
std::vector<std::vector<uint32_t>> rowOfFrames(int mode, int y) {
  std::vector<std::vector<uint32_t>> out;
  cairo_surface_t* s =
      cairo_image_surface_create_from_png((kResources + "/" + art::bitmapFileName(METER, mode)).c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(s);
    const int w = cairo_image_surface_get_width(s), fh = art::scaledSide(H, mode);
    for (int f = 0; f * fh < cairo_image_surface_get_height(s); ++f) {
      const auto* line = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) +
                                                           static_cast<size_t>(f * fh + y) *
                                                               cairo_image_surface_get_stride(s));
      out.emplace_back(line, line + w);
    }
  }
  cairo_surface_destroy(s);
  return out;
}

}  // namespace

TEST(MeterSteps, EachStepLightsItsShareOfTheTrack) {
  for (int mode = 0; mode < 3; ++mode) {
    const double s = SCALE[static_cast<size_t>(mode)];
    const int x0 = static_cast<int>(std::round(4 * s)), usable = static_cast<int>(std::trunc((W - 8) * s));
    const auto rows = rowOfFrames(mode, static_cast<int>(12 * s));  // the middle of the bar
    ASSERT_EQ(rows.size(), static_cast<size_t>(STEPS + 1)) << "mode " << mode;
    int previous = -1;
    for (int k = 0; k <= STEPS; ++k) {
      // Lit: what differs from the unlit frame; it starts at the track's left end without gaps.
      int lit = 0;
      for (size_t x = 0; x < rows[0].size(); ++x)
        if (rows[static_cast<size_t>(k)][x] != rows[0][x]) {
          EXPECT_EQ(static_cast<int>(x), x0 + lit) << "mode " << mode << " step " << k;
          ++lit;
        }
      EXPECT_NEAR(lit, usable * k / static_cast<double>(STEPS), 1.0) << "mode " << mode << " step " << k;
      EXPECT_GT(lit, previous) << "mode " << mode << " step " << k;
      previous = lit;
    }
    EXPECT_EQ(previous, usable) << "mode " << mode;
  }
}
