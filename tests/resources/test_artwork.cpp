// The bitmaps the build draws: the table, every file at three sizes, the pixels that the controls
// rely on, and a repeatable generator.
#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "bitmapSizesTable.h"
#include "editor/uEditor.h"
#include "resources/bitmapTable.h"
#include "support/childProcess.h"

namespace {

const std::string kResources = std::string(GRINDLE_BINARY_DIR) + "/Grindle2/Resources";
const std::string kG2art = std::string(GRINDLE_BINARY_DIR) + "/resources/g2art";

const std::vector<art::BitmapSize>& table() { return bitmapSizesTable(); }

const art::BitmapSize& row(int id) {
  for (const auto& r : table())
    if (r.id == id) return r;
  static const art::BitmapSize none;
  ADD_FAILURE() << "no row " << id;
  return none;
}

// One decoded file as 32-bit premultiplied ARGB pixels (opaque formats made opaque).
struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  // The pixels of frame f of a strip at screen mode m.
  std::vector<uint32_t> frame(int id, int m, int f) const {
    const long n = static_cast<long>(art::scaledSide(row(id).height, m)) * width;
    return {pixels.begin() + f * n, pixels.begin() + (f + 1) * n};
  }
};

Image load(int id, int mode) {
  Image image;
  cairo_surface_t* s =
      cairo_image_surface_create_from_png((kResources + "/" + art::bitmapFileName(id, mode)).c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(s);
    image.width = cairo_image_surface_get_width(s);
    image.height = cairo_image_surface_get_height(s);
    const uint32_t opaque = cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24 ? 0xFF000000u : 0;
    for (int y = 0; y < image.height; ++y) {
      const auto* line = reinterpret_cast<const uint32_t*>(
          cairo_image_surface_get_data(s) + static_cast<size_t>(y) * cairo_image_surface_get_stride(s));
      for (int x = 0; x < image.width; ++x) image.pixels.push_back(line[x] | opaque);
    }
  }
  cairo_surface_destroy(s);
  return image;
}

// Lit pixels: clearly green (the palette's lit green, premultiplied or not).
int litCount(const std::vector<uint32_t>& pixels) {
  int n = 0;
  for (uint32_t p : pixels) {
    const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    n += g > 90 && g > r + 50 && g > b + 50;
  }
  return n;
}

TEST(ArtworkTable, HoldsTheEditorsBitmapsOnceAndTilesTheFrame) {
  std::set<int> ids, editor;
  for (const auto& r : table()) EXPECT_TRUE(ids.insert(r.id).second) << "twice: " << r.id;
  for (const BitmapRow& r : BITMAP_TABLE) editor.insert(r.base);
  EXPECT_EQ(ids, editor);
  // The module boxes tile the frame's width between its 29 px margins, and the bottom box fits below.
  EXPECT_EQ(29 + row(10010).width + row(10024).width + row(10025).width + row(10026).width, 1100 - 29);
  EXPECT_EQ(474 + row(10033).height + 29, row(10000).height);

  testing_support::TempDir dir;
  for (const char* bad : {"10000,1100,712,1,wallpaper", "10000,0,712,1,background", "9999,1,1,1,unused",
                          "10000;1100;712;1;background", "10000,1100,712"}) {
    std::ofstream(dir.path() + "/sizes.csv") << "id,width,height,frames,role\n" << bad << "\n";
    std::string error;
    EXPECT_TRUE(art::readBitmapSizes(dir.path() + "/sizes.csv", error).empty()) << bad;
    EXPECT_NE(error, "") << bad;
  }
}

TEST(ArtworkFiles, EveryBitmapAtEverySizeHasItsSizeAndDistinctFrames) {
  EXPECT_EQ(load(10000, 0).width, 1100);
  EXPECT_EQ(load(10001, 1).height, 1068);
  EXPECT_EQ(load(10000, 2).width, 2200);
  EXPECT_EQ(load(10001, 2).height, 1424);
  for (int mode = 0; mode < 3; ++mode) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    for (const auto& r : table()) {
      const Image image = load(r.id, mode);
      ASSERT_GT(image.width, 0) << r.id << " does not decode";
      EXPECT_EQ(image.width, art::scaledSide(r.width, mode)) << r.id;
      EXPECT_EQ(image.height, r.frames * art::scaledSide(r.height, mode)) << r.id;
      if (r.role == "background") {
        int transparent = 0;
        for (uint32_t p : image.pixels) transparent += (p >> 24) != 255;
        EXPECT_EQ(transparent, 0) << r.id << " is not opaque";
      }
      EXPECT_TRUE(r.frames != 137 || image.height / 137 == image.width)
          << r.id;  // knobs and rings are square
      // Every state, strip and knob shows something else at its far end.
      const int last = r.frames - 1;
      EXPECT_TRUE(last == 0 || r.role == "unused" ||
                  image.frame(r.id, mode, 0) != image.frame(r.id, mode, last))
          << r.id;
    }
    // Rings: nothing lit at rest (the start, or the centre of a centred ring), lit at the far end;
    // a centred ring lights either side of the top, the same amount both ways.
    for (auto [id, rest] :
         std::vector<std::pair<int, int>>{{10081, 0}, {10084, 0}, {10082, 68}, {10085, 68}}) {
      const Image ring = load(id, mode);
      const int full = litCount(ring.frame(id, mode, 136));
      EXPECT_EQ(litCount(ring.frame(id, mode, rest)), 0) << id;
      EXPECT_GT(full, 0) << id;
      EXPECT_NEAR(litCount(ring.frame(id, mode, rest == 0 ? 136 : 0)), full, full / 10) << id;
    }
    const Image meter = load(10071, mode);
    for (int f = 0; f + 1 < 47; ++f)
      EXPECT_TRUE(meter.frame(10071, mode, f) != meter.frame(10071, mode, f + 1)) << "meter frame " << f;
  }
}

TEST(ArtworkGenerator, TwoRunsWriteTheSameBytesAndBadArgumentsFail) {
  testing_support::TempDir dir;
  const auto run = testing_support::runChild({kG2art, dir.path()});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    ++files;
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(bytes(entry.path().string()) == bytes(kResources + "/" + name)) << name;
  }
  EXPECT_EQ(files, 3 * static_cast<int>(table().size()));

  EXPECT_EQ(testing_support::runChild({kG2art, "--sheet", dir.path() + "/sheet.png", "1"}).exitCode, 0);
  EXPECT_GT(std::filesystem::file_size(dir.path() + "/sheet.png"), 0u);
  // Refused, saying why (on its standard error, collected here).
  const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
      {{kG2art, "--sheet", dir.path() + "/x.png", "3"}, "usage: g2art"},
      {{kG2art}, "usage: g2art"},
      {{kG2art, dir.path(), "--sizes", dir.path() + "/missing.csv"}, "g2art: cannot read " + dir.path()},
      {{kG2art, "/proc/no/such/folder"}, "g2art: cannot write /proc/no/such/folder/bmp1"}};
  for (const auto& [argv, message] : bad) {
    const auto r = testing_support::runChild(argv, true);
    EXPECT_NE(r.exitCode, 0) << argv.back();
    EXPECT_NE(r.output.find(message), std::string::npos) << r.output;
  }
}

}  // namespace
