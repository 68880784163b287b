// Every background drawn at every size against the layout's rectangles at that size: seats under
// their knobs, labels off the controls and clear of the ones they name.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "bitmapSizesTable.h"
#include "resources/artBitmaps.h"

namespace {

const std::vector<art::BitmapSize>& table() { return bitmapSizesTable(); }

art::Inventory paint(const art::BitmapSize& b, int mode) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, art::scaledSide(b.width, mode),
                                                        art::scaledSide(b.height, mode));
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, SCALE[mode], SCALE[mode]);
  art::Inventory inventory;
  art::drawFrame(art::Painter(cr, SCALE[mode]), b, 0, table(), &inventory);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return inventory;
}

// The clear space between two rectangles (negative when they overlap).
double clearance(const art::PaintedLabel& l, const PixelRect& r) {
  return std::max({r.left - l.right, l.left - r.right, r.top - l.bottom, l.top - r.bottom});
}
// The clear space between a label and the disc of a knob's image.
double clearance(const art::PaintedLabel& l, const PixelRect& image, bool round) {
  if (!round) return clearance(l, image);
  const double cx = (image.left + image.right) / 2.0, cy = (image.top + image.bottom) / 2.0;
  const double dx = std::max({l.left - cx, 0.0, cx - l.right}),
               dy = std::max({l.top - cy, 0.0, cy - l.bottom});
  return std::hypot(dx, dy) - image.width() / 2.0;
}

std::string where(int id, int mode, const std::string& what) {
  return "bitmap " + std::to_string(id) + " at " + std::to_string(static_cast<int>(SCALE[mode] * 100)) +
         " %: " + what;
}

constexpr double kSeatTolerance = 1;   // px between a seat's centre and its knob image's centre
constexpr double kNamedClearance = 2;  // px from a label to the control it names
constexpr double kOtherClearance = 1;  // px from a label to any other control

TEST(ArtworkGeometry, SeatsAndLabelsSitOnTheLayoutAtEverySize) {
  int backgrounds = 0, labels = 0, seats = 0;
  for (const art::BitmapSize& b : table()) {
    const std::vector<art::ControlOnArt> controls = art::controlsOn(b.id);
    if (controls.empty()) continue;
    ++backgrounds;
    for (int mode = 0; mode < NUM_SCREEN_MODES; ++mode) {
      const art::Inventory painted = paint(b, mode);
      labels += static_cast<int>(painted.labels.size());
      seats += static_cast<int>(painted.seats.size());
      // A seat under every seated knob, and none without one.
      const auto seatedOn = [&](const art::PaintedSeat& s, const art::ControlOnArt& c) {
        const PixelRect image = art::knobImage(c, mode, table());
        return std::abs((image.left + image.right) / 2.0 - s.x) <= kSeatTolerance &&
               std::abs((image.top + image.bottom) / 2.0 - s.y) <= kSeatTolerance;
      };
      for (const art::ControlOnArt& c : controls) {
        if (!c.seated) continue;
        const PixelRect image = art::knobImage(c, mode, table());
        EXPECT_TRUE(std::any_of(painted.seats.begin(), painted.seats.end(),
                                [&](const art::PaintedSeat& s) { return seatedOn(s, c); }))
            << where(b.id, mode, "no seat under the knob whose image is at ") << image.left << ", "
            << image.top;
      }
      for (const art::PaintedSeat& s : painted.seats)
        EXPECT_TRUE(std::any_of(controls.begin(), controls.end(),
                                [&](const art::ControlOnArt& c) { return c.seated && seatedOn(s, c); }))
            << where(b.id, mode, "a seat with no knob at ") << s.x << ", " << s.y;
      // Labels: inside the picture, off every control, clear of the one they name or on its face.
      for (const art::PaintedLabel& l : painted.labels) {
        const std::string label = where(b.id, mode, "\"" + l.text + "\"");
        EXPECT_TRUE(l.left >= 0 && l.top >= 0 && l.right <= art::scaledSide(b.width, mode) &&
                    l.bottom <= art::scaledSide(b.height, mode))
            << label << " leaves the picture";
        bool named = l.names == nullptr;
        for (const art::ControlOnArt& c : controls) {
          const bool knob =
              c.kind != art::ControlOnArt::Kind::bitmap && c.kind != art::ControlOnArt::Kind::area;
          std::vector<std::pair<PixelRect, bool>> covered;  // rectangle, round
          if (knob) covered.push_back({art::knobImage(c, mode, table()), true});
          for (const PixelRect& r : art::coveredBy(c, mode, table())) covered.push_back({r, false});
          for (const auto& [r, round] : covered) {
            const double clear = clearance(l, r, round);
            if (c.place != l.names) {
              EXPECT_GE(clear, kOtherClearance)
                  << label << " runs into a control at " << r.left << ", " << r.top;
              continue;
            }
            named = true;
            if (l.onFace)
              EXPECT_TRUE(l.left - r.left >= kNamedClearance && r.right - l.right >= kNamedClearance &&
                          l.top - r.top >= kNamedClearance && r.bottom - l.bottom >= kNamedClearance)
                  << label << " does not fit the face of its control: " << l.left << ", " << l.top << ", "
                  << l.right << ", " << l.bottom << " in " << r.left << ", " << r.top << ", " << r.right
                  << ", " << r.bottom;
            else
              EXPECT_GE(clear, kNamedClearance) << label << " is too close to its control at " << r.left;
          }
        }
        EXPECT_TRUE(named) << label << " names a control that is not on this picture";
      }
    }
  }
  // Every box and screen, their labels and the type, old EQ and Disrupt seats were looked at.
  EXPECT_EQ(backgrounds, 1 + 14 + 4 + 5);
  EXPECT_GT(labels, 3 * 150);
  EXPECT_GT(seats, 3 * 60);
}

// The ECS menu draws no text: the header's art says what it opens, on its face.
TEST(ArtworkGeometry, TheECSMenuCarriesItsName) {
  for (int mode = 0; mode < NUM_SCREEN_MODES; ++mode) {
    const auto main =
        std::find_if(table().begin(), table().end(), [](const auto& r) { return r.id == 10000; });
    ASSERT_NE(main, table().end());
    const art::Inventory painted = paint(*main, mode);
    EXPECT_TRUE(std::any_of(
        painted.labels.begin(), painted.labels.end(),
        [](const art::PaintedLabel& l) { return l.names == &ECS_MENU_PLACE && l.onFace && l.text == "ECS"; }))
        << "mode " << mode;
  }
}

}  // namespace
