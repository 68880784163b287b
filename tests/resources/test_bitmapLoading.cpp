// Resource bitmaps: size from the PNG header, pixels at the first draw, broken files, and the
// process-wide image cache that editors share.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/childProcess.h"
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
  std::string bytes(int id) const {
    std::ifstream in(CBitmap::resourcePath(id), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void put(int id, const std::string& content) const {
    std::ofstream(CBitmap::resourcePath(id), std::ios::binary) << content;
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

uint64_t decodes() { return CBitmap::imageCacheStats().decodes; }

constexpr uint32_t kGreen = 0xFF00FF00, kBlack = 0xFF000000;

TEST(BitmapLoading, SizeIsKnownAtOnceAndPixelsOnlyWhenDrawn) {
  Resources res;
  res.write(10040, 21, 24);
  const uint64_t before = decodes();
  auto* bitmap = new CBitmap(10040);
  EXPECT_EQ(bitmap->getWidth(), 21);
  EXPECT_EQ(bitmap->getHeight(), 24);
  EXPECT_TRUE(bitmap->isLoaded());
  EXPECT_FALSE(bitmap->isDecoded());
  EXPECT_EQ(decodes(), before);
  EXPECT_EQ(drawn(bitmap), kGreen);
  EXPECT_TRUE(bitmap->isDecoded());
  EXPECT_EQ(drawn(bitmap), kGreen);
  EXPECT_EQ(decodes(), before + 1);
  bitmap->forget();
}

TEST(BitmapLoading, ABrokenBodyDrawsNothingAndIsReportedOnce) {
  Resources res;
  res.write(10071, 30, 30);
  std::string png = res.bytes(10071);
  for (size_t i = 40; i < png.size(); ++i) png[i] = static_cast<char>(png[i] ^ 0x5A);
  res.put(10071, png);
  testing::internal::CaptureStderr();
  auto* first = new CBitmap(10071);
  auto* second = new CBitmap(10071);
  EXPECT_EQ(first->getWidth(), 30);  // the header still reads
  EXPECT_EQ(drawn(first), kBlack);
  EXPECT_EQ(drawn(first), kBlack);
  EXPECT_EQ(drawn(second), kBlack);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_NE(log.find("10071"), std::string::npos);
  EXPECT_FALSE(first->isLoaded());
  EXPECT_FALSE(first->isDecoded());
  first->forget();
  second->forget();
}

TEST(BitmapLoading, HostileHeadersGiveAnEmptyBitmap) {
  Resources res;
  res.write(10000, 4, 4);
  const std::string good = res.bytes(10000);
  const auto withByte = [&](size_t at, char value) {
    std::string s = good;
    s[at] = value;
    return s;
  };
  const std::vector<std::string> hostile = {
      "",
      good.substr(0, 20),                     // cut inside the header
      withByte(1, 'X'),                       // not the PNG signature
      withByte(11, 14),                       // IHDR of the wrong length
      withByte(12, 'J'),                      // another chunk first
      withByte(19, 0),                        // width 0
      withByte(16, '\x7F'),                   // width beyond what cairo holds
      withByte(20, '\xFF'),                   // height beyond it too
  };
  testing::internal::CaptureStderr();
  for (size_t i = 0; i < hostile.size(); ++i) {
    res.put(10000, hostile[i]);
    auto* bitmap = new CBitmap(10000);
    EXPECT_EQ(bitmap->getWidth(), 0) << "case " << i;
    EXPECT_EQ(bitmap->getHeight(), 0) << "case " << i;
    EXPECT_FALSE(bitmap->isLoaded()) << "case " << i;
    EXPECT_EQ(drawn(bitmap), kBlack) << "case " << i;
    bitmap->forget();
  }
  testing::internal::GetCapturedStderr();
}

TEST(ImageCache, OwnersShareOneDecodePerFileUntilTheLastGoes) {
  Resources res;
  res.write(10080, 40, 40);
  res.write(10081, 20, 10);
  const auto openAndDraw = [] {
    auto* a = new CBitmap(10080);
    auto* b = new CBitmap(10080);
    auto* c = new CBitmap(10081);
    drawn(a);
    drawn(b);
    drawn(c);
    a->forget();
    b->forget();
    c->forget();
  };
  uint64_t before = decodes();
  openAndDraw();  // without an owner every bitmap decodes its own copy
  EXPECT_EQ(decodes(), before + 3);
  EXPECT_EQ(CBitmap::imageCacheStats().images, 0u);

  {
    CBitmap::ImageCacheOwner editor;
    before = decodes();
    openAndDraw();
    EXPECT_EQ(decodes(), before + 2);
    const auto stats = CBitmap::imageCacheStats();
    EXPECT_EQ(stats.owners, 1);
    EXPECT_EQ(stats.images, 2u);
    EXPECT_EQ(stats.bytes, 40u * 4 * 40 + 20u * 4 * 10);
    openAndDraw();  // a reopen decodes nothing
    EXPECT_EQ(decodes(), before + 2);
    {
      CBitmap::ImageCacheOwner secondEditor;
      openAndDraw();
      EXPECT_EQ(decodes(), before + 2);
    }
    EXPECT_EQ(CBitmap::imageCacheStats().images, 2u);  // one owner is left
    // A file rewritten on disk is decoded again, with its new pixels.
    res.write(10081, 20, 12, 0.5);
    auto* changed = new CBitmap(10081);
    EXPECT_EQ(drawn(changed), 0xFF008000u);
    EXPECT_EQ(decodes(), before + 3);
    changed->forget();
  }
  EXPECT_EQ(CBitmap::imageCacheStats().images, 0u);
  EXPECT_EQ(CBitmap::imageCacheStats().bytes, 0u);
  CBitmap::releaseImageCache();  // unpaired: harmless
  EXPECT_EQ(CBitmap::imageCacheStats().owners, 0);
}

TEST(ImageCache, ABitmapOutlivesTheCache) {
  Resources res;
  res.write(10073, 24, 96);
  auto* held = new CBitmap(10073);
  {
    CBitmap::ImageCacheOwner editor;
    drawn(held);
  }
  EXPECT_EQ(CBitmap::imageCacheStats().images, 0u);
  EXPECT_EQ(drawn(held), kGreen);
  held->forget();
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
        for (int id = 10040; id < 10046; ++id) {
          auto* bitmap = new CBitmap(id);
          EXPECT_EQ(drawn(bitmap), kGreen);
          bitmap->forget();
        }
      }
    });
  for (auto& t : threads) t.join();
  // Threads may decode a file at the same moment once; after that all share it.
  EXPECT_LE(decodes() - before, 6u * 4);
  EXPECT_EQ(CBitmap::imageCacheStats().images, 6u);
}

}  // namespace
