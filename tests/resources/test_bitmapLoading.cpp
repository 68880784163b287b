// Resource bitmaps: size from the PNG header, pixels at the first draw, broken files, and the
// process-wide image cache that editors share.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialogTestSupport.h"
#include "support/expectValues.h"
#include "vstgui/vstgui.h"

using namespace VSTGUI;

namespace {

// A temporary resource folder; bitmap id is filled with one colour.
class Resources {
 public:
  Resources() { CBitmap::setResourceFolder(dir.path()); }
  ~Resources() { CBitmap::setResourceFolder(""); }
  void write(int id, int w, int h, double green = 1.0) const {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 0, green, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_write_to_png(s, CBitmap::resourcePath(id).c_str());
    cairo_surface_destroy(s);
  }
  testing_support::TempDir dir;
};

// Draws the bitmap at (0, 0) into a black 64 x 64 image and returns the pixel at (1, 1).
uint32_t drawn(CBitmap* bitmap) {
  cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 64);
  cairo_t* cr = cairo_create(target);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  {
    CDrawContext context(cr);
    bitmap->draw(&context, CRect(0, 0, 32, 32));
  }
  cairo_surface_flush(target);
  const uint32_t pixel = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(target) +
                                                           cairo_image_surface_get_stride(target))[1];
  cairo_destroy(cr);
  cairo_surface_destroy(target);
  return pixel;
}
// The same for a bitmap of `id` made for this draw only.
uint32_t drawnOnce(int id) {
  auto* bitmap = new CBitmap(id);
  const uint32_t pixel = drawn(bitmap);
  bitmap->forget();
  return pixel;
}

uint64_t decodes() { return CBitmap::imageCacheStats().decodes; }

constexpr uint32_t kGreen = 0xFF00FF00, kBlack = 0xFF000000;

TEST(BitmapLoading, SizeIsKnownAtOnceAndPixelsOnlyWhenDrawn) {
  Resources res;
  res.write(10040, 21, 24);
  const uint64_t before = decodes();
  auto* bitmap = new CBitmap(10040);
  EXPECT_VALUES({bitmap->getWidth(), 21}, {bitmap->getHeight(), 24}, {bitmap->isLoaded(), true},
                {bitmap->isDecoded(), false}, {decodes(), before});
  EXPECT_EQ(drawn(bitmap), kGreen);
  EXPECT_EQ(drawn(bitmap), kGreen);
  EXPECT_VALUES({bitmap->isDecoded(), true}, {decodes(), before + 1});
  bitmap->forget();
}

TEST(BitmapLoading, BrokenFilesDrawNothingAndABrokenBodyIsReportedOnce) {
  Resources res;
  res.write(10071, 30, 30);
  std::string png = dialogtest::readFile(CBitmap::resourcePath(10071));
  for (size_t i = 40; i < png.size(); ++i) png[i] = static_cast<char>(png[i] ^ 0x5A);
  dialogtest::writeFile(CBitmap::resourcePath(10071), png);
  testing::internal::CaptureStderr();
  auto* first = new CBitmap(10071);
  EXPECT_EQ(first->getWidth(), 30);  // the header still reads
  EXPECT_VALUES({drawn(first), kBlack}, {drawn(first), kBlack}, {drawnOnce(10071), kBlack},
                {first->isLoaded(), false}, {first->isDecoded(), false});
  first->forget();
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_NE(log.find("10071"), std::string::npos);

  res.write(10000, 4, 4);
  const std::string good = dialogtest::readFile(CBitmap::resourcePath(10000));
  const auto withByte = [&](size_t at, char value) {
    std::string s = good;
    s[at] = value;
    return s;
  };
  const std::string hostile[] = {
      "",
      good.substr(0, 20),    // cut inside the header
      withByte(1, 'X'),      // not the PNG signature
      withByte(11, 14),      // IHDR of the wrong length
      withByte(12, 'J'),     // another chunk first
      withByte(19, 0),       // width 0
      withByte(16, '\x7F'),  // width beyond what cairo holds
      withByte(20, '\xFF')   // height beyond it too
  };
  testing::internal::CaptureStderr();
  for (size_t i = 0; i < std::size(hostile); ++i) {
    dialogtest::writeFile(CBitmap::resourcePath(10000), hostile[i]);
    auto* bitmap = new CBitmap(10000);
    SCOPED_TRACE("case " + std::to_string(i));
    EXPECT_VALUES({bitmap->getWidth(), 0}, {bitmap->getHeight(), 0}, {bitmap->isLoaded(), false},
                  {drawn(bitmap), kBlack});
    bitmap->forget();
  }
  testing::internal::GetCapturedStderr();
}

TEST(ImageCache, OwnersShareOneDecodePerFileUntilTheLastGoes) {
  Resources res;
  res.write(10080, 40, 40);
  res.write(10081, 20, 10);
  const auto openAndDraw = [] {
    for (int id : {10080, 10080, 10081}) drawnOnce(id);
  };
  uint64_t before = decodes();
  openAndDraw();  // without an owner every bitmap decodes its own copy
  EXPECT_VALUES({decodes(), before + 3}, {CBitmap::imageCacheStats().images, 0});
  auto* held = new CBitmap(10080);
  {
    CBitmap::ImageCacheOwner editor;
    before = decodes();
    openAndDraw();
    openAndDraw();  // a reopen decodes nothing
    {
      CBitmap::ImageCacheOwner secondEditor;
      openAndDraw();
    }
    const auto stats = CBitmap::imageCacheStats();
    EXPECT_VALUES({decodes(), before + 2}, {stats.owners, 1}, {stats.images, 2},
                  {stats.bytes, 40 * 4 * 40 + 20 * 4 * 10});
    drawn(held);
    // A file rewritten on disk is decoded again, with its new pixels.
    res.write(10081, 20, 12, 0.5);
    EXPECT_VALUES({drawnOnce(10081), 0xFF008000u}, {decodes(), before + 3});
  }
  EXPECT_VALUES({CBitmap::imageCacheStats().images, 0}, {CBitmap::imageCacheStats().bytes, 0});
  EXPECT_EQ(drawn(held), kGreen);  // a bitmap outlives the cache
  held->forget();
  CBitmap::releaseImageCache();  // unpaired: harmless
  EXPECT_EQ(CBitmap::imageCacheStats().owners, 0);
}

TEST(ImageCache, EditorsOnSeveralThreads) {
  Resources res;
  for (int id = 10040; id < 10046; ++id) res.write(id, 16 + id % 7, 16);
  const uint64_t before = decodes();
  CBitmap::ImageCacheOwner host;  // keeps the cache between the threads' editors
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([] {
      for (int round = 0; round < 25; ++round) {
        CBitmap::ImageCacheOwner editor;
        for (int id = 10040; id < 10046; ++id) EXPECT_EQ(drawnOnce(id), kGreen);
      }
    });
  for (auto& t : threads) t.join();
  // Threads may decode a file at the same moment once; after that all share it.
  EXPECT_LE(decodes() - before, 6u * 4);
  EXPECT_EQ(CBitmap::imageCacheStats().images, 6u);
}

}  // namespace
