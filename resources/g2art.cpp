// g2art: draws every bitmap of the editor at 100, 150 and 200 % during the build.
//
//   g2art OUTDIR [--sizes bitmapSizes.csv]           writes OUTDIR/bmp{id + 1000 m}.png, m = 0, 1, 2
//   g2art --sheet OUT.png m [--sizes bitmapSizes.csv]  one size's bitmaps on one page, for review
#include <cairo.h>
#include <png.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "artBitmaps.h"
#include "bitmapTable.h"

namespace {

using art::BitmapSize;

// The whole strip of one bitmap at one size: frames stacked, each drawn in its own clip.
cairo_surface_t* renderStrip(const BitmapSize& b, int mode, const std::vector<BitmapSize>& table) {
  const int fw = art::scaledSide(b.width, mode), fh = art::scaledSide(b.height, mode);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, fw, fh * b.frames);
  cairo_t* cr = cairo_create(surface);
  for (int f = 0; f < b.frames; ++f) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, static_cast<double>(f) * fh, fw, fh);
    cairo_clip(cr);
    cairo_translate(cr, 0, static_cast<double>(f) * fh);
    cairo_scale(cr, SCALE[mode], SCALE[mode]);
    art::Painter painter(cr, SCALE[mode]);
    art::drawFrame(painter, b, f, table);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  return surface;
}

// Whether every pixel is opaque: such pictures are stored without alpha.
bool opaque(cairo_surface_t* surface) {
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < w; ++x)
      if ((row[x] >> 24) != 255) return false;
  }
  return true;
}

// The PNG of a cairo image (premultiplied ARGB), without row filters: the editor decodes
// unfiltered rows about twice as fast, and these pictures compress as well without them.
bool encodePng(cairo_surface_t* surface, FILE* file) {
  cairo_surface_flush(surface);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const bool rgb = opaque(surface);
  std::vector<unsigned char> row(static_cast<size_t>(w) * 4);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
               rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) {
    const auto* src = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    unsigned char* out = row.data();
    for (int x = 0; x < w; ++x) {
      const uint32_t p = src[x];
      const unsigned a = p >> 24;
      unsigned r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
      if (a != 0 && a != 255) {  // straight alpha in the file
        r = (r * 255 + a / 2) / a;
        g = (g * 255 + a / 2) / a;
        b = (b * 255 + a / 2) / a;
      }
      *out++ = static_cast<unsigned char>(r);
      *out++ = static_cast<unsigned char>(g);
      *out++ = static_cast<unsigned char>(b);
      if (!rgb) *out++ = static_cast<unsigned char>(a);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

// Written beside the target and renamed, so a stopped build never leaves half a file.
bool writePng(cairo_surface_t* surface, const std::string& path) {
  const std::string temporary = path + ".part";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  const bool encoded = encodePng(surface, file);
  const bool closed = std::fclose(file) == 0;
  if (!encoded || !closed) {
    std::remove(temporary.c_str());
    return false;
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

int writeAll(const std::vector<BitmapSize>& table, const std::string& folder) {
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  struct Job {
    const BitmapSize* bitmap;
    int mode;
  };
  std::vector<Job> jobs;
  for (int mode = 0; mode < 3; ++mode)
    for (const auto& b : table) jobs.push_back({&b, mode});
  // The biggest pictures first, so the threads finish together.
  std::stable_sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) {
    const auto area = [](const Job& j) {
      return static_cast<long>(j.bitmap->width) * j.bitmap->height * j.bitmap->frames * (2 + j.mode);
    };
    return area(a) > area(b);
  });
  std::atomic<size_t> next{0};
  std::atomic<int> failures{0};
  const auto worker = [&] {
    for (size_t i = next++; i < jobs.size() && failures == 0; i = next++) {
      cairo_surface_t* strip = renderStrip(*jobs[i].bitmap, jobs[i].mode, table);
      const std::string path = folder + "/" + art::bitmapFileName(jobs[i].bitmap->id, jobs[i].mode);
      if (cairo_surface_status(strip) != CAIRO_STATUS_SUCCESS || !writePng(strip, path)) {
        std::fprintf(stderr, "g2art: cannot write %s\n", path.c_str());
        ++failures;
      }
      cairo_surface_destroy(strip);
    }
  };
  const unsigned count = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
  std::vector<std::thread> threads;
  for (unsigned t = 1; t < count; ++t) threads.emplace_back(worker);
  worker();
  for (auto& t : threads) t.join();
  return failures == 0 ? 0 : 1;
}

// The review page: every bitmap with its file id and size; strips show up to 18 frames spread over
// the whole strip (first and last included), on a checkerboard that shows transparency.
int writeSheet(const std::vector<BitmapSize>& table, const std::string& out, int mode) {
  constexpr int kMaxFrames = 18, kMargin = 12, kCaption = 18;
  struct Item {
    const BitmapSize* bitmap;
    std::vector<int> frames;
    int x = 0, y = 0, w = 0, h = 0;
  };
  std::vector<Item> items;
  const int pageWidth = art::scaledSide(1100, mode) + 2 * kMargin;
  int x = kMargin, y = kMargin, rowHeight = 0;
  for (const auto& b : table) {
    if (b.role == "unused") continue;
    Item item{&b, {}};
    const int shown = std::min(b.frames, kMaxFrames);
    for (int k = 0; k < shown; ++k)
      item.frames.push_back(shown == 1 ? 0
                                       : static_cast<int>(std::lround(k * (b.frames - 1.0) / (shown - 1))));
    const int fw = art::scaledSide(b.width, mode), fh = art::scaledSide(b.height, mode);
    const int perRow = std::max(1, (pageWidth - 2 * kMargin) / (fw + 4));
    const int rows = (shown + perRow - 1) / perRow;
    item.w = std::max(std::min(shown, perRow) * (fw + 4), 150);
    item.h = rows * (fh + 4) + kCaption;
    if (x + item.w > pageWidth - kMargin) {
      x = kMargin;
      y += rowHeight + kMargin;
      rowHeight = 0;
    }
    item.x = x;
    item.y = y;
    x += item.w + kMargin;
    rowHeight = std::max(rowHeight, item.h);
    items.push_back(item);
  }
  const int pageHeight = y + rowHeight + kMargin;
  cairo_surface_t* page = cairo_image_surface_create(CAIRO_FORMAT_RGB24, pageWidth, pageHeight);
  cairo_t* cr = cairo_create(page);
  cairo_set_source_rgb(cr, 0.42, 0.42, 0.44);
  cairo_paint(cr);
  for (int cy = 0; cy < pageHeight; cy += 8)
    for (int cx = (cy / 8) % 2 * 8; cx < pageWidth; cx += 16) cairo_rectangle(cr, cx, cy, 8, 8);
  cairo_set_source_rgb(cr, 0.5, 0.5, 0.52);
  cairo_fill(cr);
  art::Painter captions(cr, 1.0);
  for (const auto& item : items) {
    const BitmapSize& b = *item.bitmap;
    const int fw = art::scaledSide(b.width, mode), fh = art::scaledSide(b.height, mode);
    char caption[96];
    std::snprintf(caption, sizeof(caption), "%d  %dx%d x%d", b.id + 1000 * mode, fw, fh, b.frames);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_rectangle(cr, item.x, item.y, item.w, kCaption - 3);
    cairo_fill(cr);
    captions.text(caption, item.x + 3, item.y, item.w - 6, kCaption - 3, 11, VSTGUI::kWhiteCColor,
                  art::Align::left);
    cairo_surface_t* strip = renderStrip(b, mode, table);
    const int perRow = std::max(1, item.w / (fw + 4));
    for (size_t k = 0; k < item.frames.size(); ++k) {
      const int px = item.x + static_cast<int>(k % perRow) * (fw + 4);
      const int py = item.y + kCaption + static_cast<int>(k / perRow) * (fh + 4);
      cairo_save(cr);
      cairo_rectangle(cr, px, py, fw, fh);
      cairo_clip(cr);
      cairo_set_source_surface(cr, strip, px, py - static_cast<double>(item.frames[k]) * fh);
      cairo_paint(cr);
      cairo_restore(cr);
    }
    cairo_surface_destroy(strip);
  }
  cairo_destroy(cr);
  const bool written = writePng(page, out);
  cairo_surface_destroy(page);
  if (!written) std::fprintf(stderr, "g2art: cannot write %s\n", out.c_str());
  return written ? 0 : 1;
}

int usage() {
  std::fprintf(
      stderr,
      "usage: g2art OUTDIR [--sizes bitmapSizes.csv]\n"
      "       g2art --sheet OUT.png MODE [--sizes bitmapSizes.csv]   (MODE 0, 1, 2 = 100, 150, 200 %%)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string sizes = G2ART_DEFAULT_SIZES;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--sizes") {
      if (i + 1 >= args.size()) return usage();
      sizes = args[i + 1];
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
      break;
    }
  }
  std::string error;
  const auto table = art::readBitmapSizes(sizes, error);
  if (table.empty()) {
    std::fprintf(stderr, "g2art: %s\n", error.c_str());
    return 1;
  }
  int result = 0;
  if (args.size() == 3 && args[0] == "--sheet") {
    if (args[2] != "0" && args[2] != "1" && args[2] != "2") return usage();
    result = writeSheet(table, args[1], args[2][0] - '0');
  } else if (args.size() == 1 && args[0].rfind("--", 0) != 0) {
    result = writeAll(table, args[0]);
  } else {
    return usage();
  }
  return result;
}
