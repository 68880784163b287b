// The bitmaps the build draws: the table, every file at three sizes, the pixels that the controls
// rely on, and a repeatable generator.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/bitmapTable.h"
#include "support/childProcess.h"

namespace {

const std::string kResources = std::string(GRINDLE_BINARY_DIR) + "/Grindle2/Resources";

const std::vector<art::BitmapSize>& table() {
  static const std::vector<art::BitmapSize> rows = [] {
    std::string error;
    auto read = art::readBitmapSizes(std::string(GRINDLE_SOURCE_DIR) + "/resources/bitmapSizes.csv", error);
    EXPECT_TRUE(error.empty()) << error;
    return read;
  }();
  return rows;
}

const art::BitmapSize& row(int id) {
  for (const auto& r : table())
    if (r.id == id) return r;
  static const art::BitmapSize none;
  ADD_FAILURE() << "no row " << id;
  return none;
}

// One decoded file as 32-bit premultiplied ARGB pixels.
struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // The pixels of frame f of a strip with frames of height fh.
  std::vector<uint32_t> frame(int f, int fh) const {
    return {pixels.begin() + static_cast<long>(f) * fh * width, pixels.begin() + static_cast<long>(f + 1) * fh * width};
  }
};

Image load(int id, int mode) {
  Image image;
  const std::string path = kResources + "/" + art::bitmapFileName(id, mode);
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(s);
    image.width = cairo_image_surface_get_width(s);
    image.height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const bool opaqueFormat = cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24;
    const unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        uint32_t p = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride)[x];
        image.pixels.push_back(opaqueFormat ? (p | 0xFF000000u) : p);
      }
  }
  cairo_surface_destroy(s);
  return image;
}

// A lit pixel: clearly green (the palette's lit green, premultiplied or not).
bool lit(uint32_t p) {
  const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
  return g > 90 && g > r + 50 && g > b + 50;
}
// Frames compared without printing their pixels.
bool differ(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) { return a != b; }
int litCount(const std::vector<uint32_t>& pixels) {
  int n = 0;
  for (uint32_t p : pixels) n += lit(p);
  return n;
}

TEST(ArtworkTable, HoldsExactlyTheEditorsBitmapIds) {
  std::set<int> expected;
  const std::vector<std::pair<int, int>> ranges = {
      {10000, 10001}, {10004, 10005}, {10010, 10027}, {10030, 10034}, {10040, 10063}, {10070, 10078}, {10080, 10085}, {10090, 10098}};
  for (auto [first, last] : ranges)
    for (int id = first; id <= last; ++id)
      if (id < 10028 || id > 10029) expected.insert(id);
  std::set<int> ids;
  for (const auto& r : table()) EXPECT_TRUE(ids.insert(r.id).second) << "twice: " << r.id;
  EXPECT_EQ(ids.size(), 75u);
  EXPECT_EQ(ids, expected);
}

TEST(ArtworkTable, SizesThatTheLayoutReliesOn) {
  struct Case {
    int id, width, height, frames;
  };
  for (const Case& c : std::vector<Case>{{10000, 1100, 712, 1},
                                         {10010, 616, 320, 1},
                                         {10024, 157, 320, 1},
                                         {10025, 154, 320, 1},
                                         {10026, 115, 320, 1},
                                         {10033, 1042, 209, 1},
                                         {10040, 21, 12, 2},
                                         {10071, 65, 29, 47},
                                         {10073, 24, 48, 69},
                                         {10075, 2, 186, 1},
                                         {10077, 54, 24, 5},
                                         {10080, 40, 40, 137},
                                         {10085, 44, 44, 137}}) {
    const auto& r = row(c.id);
    EXPECT_EQ(r.width, c.width) << c.id;
    EXPECT_EQ(r.height, c.height) << c.id;
    EXPECT_EQ(r.frames, c.frames) << c.id;
  }
  // The module boxes tile the frame's width between its 29 px margins.
  EXPECT_EQ(29 + row(10010).width + row(10024).width + row(10025).width + row(10026).width, 1100 - 29);
  EXPECT_EQ(474 + row(10033).height + 29, 712);
}

TEST(ArtworkTable, MalformedRowsAreRejected) {
  testing_support::TempDir dir;
  for (const char* bad : {"10000,1100,712,1,wallpaper", "10000,0,712,1,background", "9999,1,1,1,unused",
                                 "10000;1100;712;1;background", "10000,1100,712"}) {
    const std::string path = dir.path() + "/sizes.csv";
    std::ofstream(path) << "id,width,height,frames,role\n" << bad << "\n";
    std::string error;
    EXPECT_TRUE(art::readBitmapSizes(path, error).empty()) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(ArtworkFiles, EveryBitmapAtEverySizeHasItsScaledSize) {
  for (int mode = 0; mode < 3; ++mode) {
    const double s = 1.0 + 0.5 * mode;
    for (const auto& r : table()) {
      const Image image = load(r.id, mode);
      const int fw = static_cast<int>(std::trunc(r.width * s)), fh = static_cast<int>(std::trunc(r.height * s));
      ASSERT_GT(image.width, 0) << r.id << " at mode " << mode << " does not decode";
      EXPECT_EQ(image.width, fw) << r.id << " mode " << mode;
      EXPECT_EQ(image.height, r.frames * fh) << r.id << " mode " << mode;
      if (r.frames == 137) {
        EXPECT_EQ(static_cast<int>(image.height / 137.0), image.width) << r.id;
      }
      if (r.role == "background") {
        int transparent = 0;
        for (uint32_t p : image.pixels) transparent += (p >> 24) != 255;
        EXPECT_EQ(transparent, 0) << r.id << " mode " << mode << " is not opaque";
      }
    }
  }
  EXPECT_EQ(load(10000, 0).width, 1100);
  EXPECT_EQ(load(10001, 1).height, 1068);
  EXPECT_EQ(load(10000, 2).width, 2200);
  EXPECT_EQ(load(10001, 2).height, 1424);
}

TEST(ArtworkPixels, StatesFramesAndRingsDiffer) {
  for (int mode = 0; mode < 3; ++mode) {
    const auto frameHeight = [mode](int id) { return art::scaledSide(row(id).height, mode); };
    for (const auto& r : table()) {
      if (r.role != "twoState") continue;
      const Image image = load(r.id, mode);
      EXPECT_TRUE(differ(image.frame(0, frameHeight(r.id)), image.frame(1, frameHeight(r.id)))) << r.id << " mode " << mode;
    }
    for (int id : {10080, 10083}) {
      const Image knob = load(id, mode);
      EXPECT_TRUE(differ(knob.frame(0, frameHeight(id)), knob.frame(136, frameHeight(id)))) << id;
    }
    // Rings: nothing lit at rest (start, or centre for the centred rings), lit at the far end.
    for (auto [id, rest] : std::vector<std::pair<int, int>>{{10081, 0}, {10084, 0}, {10082, 68}, {10085, 68}}) {
      const Image ring = load(id, mode);
      EXPECT_EQ(litCount(ring.frame(rest, frameHeight(id))), 0) << id << " mode " << mode;
      EXPECT_GT(litCount(ring.frame(136, frameHeight(id))), 0) << id << " mode " << mode;
    }
    // A centred ring lights either side of the top, the same amount both ways.
    const Image centred = load(10082, mode);
    EXPECT_GT(litCount(centred.frame(0, frameHeight(10082))), 0);
    EXPECT_NEAR(litCount(centred.frame(0, frameHeight(10082))), litCount(centred.frame(136, frameHeight(10082))),
                litCount(centred.frame(136, frameHeight(10082))) / 10);
    const Image meter = load(10071, mode);
    for (int f = 0; f + 1 < 47; ++f)
      EXPECT_TRUE(differ(meter.frame(f, frameHeight(10071)), meter.frame(f + 1, frameHeight(10071)))) << "meter frame " << f;
  }
}

TEST(ArtworkPixels, WaveShaperColumnIsBrightestOnTheCurve) {
  const Image dot = load(10075, 0);
  const auto alpha = [&](int y) { return dot.at(0, y) >> 24; };
  EXPECT_EQ(alpha(0), 255u);
  EXPECT_GT(alpha(1), alpha(dot.height / 2));
  EXPECT_GT(alpha(dot.height / 2), alpha(dot.height - 1));
}

TEST(ArtworkGenerator, TwoRunsWriteTheSameBytes) {
  testing_support::TempDir dir;
  const auto run = testing_support::runChild({std::string(GRINDLE_BINARY_DIR) + "/resources/g2art", dir.path()});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    ++files;
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(bytes(entry.path().string()), bytes(kResources + "/" + name)) << name;
  }
  EXPECT_EQ(files, 225);
}

TEST(ArtworkGenerator, SheetAndBadArguments) {
  testing_support::TempDir dir;
  const std::string g2art = std::string(GRINDLE_BINARY_DIR) + "/resources/g2art";
  EXPECT_EQ(testing_support::runChild({g2art, "--sheet", dir.path() + "/sheet.png", "1"}).exitCode, 0);
  EXPECT_TRUE(std::filesystem::file_size(dir.path() + "/sheet.png") > 0);
  EXPECT_NE(testing_support::runChild({g2art, "--sheet", dir.path() + "/x.png", "3"}).exitCode, 0);
  EXPECT_NE(testing_support::runChild({g2art}).exitCode, 0);
  EXPECT_NE(testing_support::runChild({g2art, dir.path(), "--sizes", dir.path() + "/missing.csv"}).exitCode, 0);
  EXPECT_NE(testing_support::runChild({g2art, "/proc/no/such/folder"}).exitCode, 0);
}

}  // namespace
