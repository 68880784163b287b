#include "cbitmap.h"

#include <cairo.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>

#include "cdrawcontext.h"

namespace VSTGUI {

namespace {

struct ResourceState {
  std::mutex lock;
  std::string folder;
  std::set<int32_t> reportedMissing;
  std::set<int32_t> reportedBroken;
};

// Both states are objects of the module itself, not of the heap: a host that unloads the module
// must get back everything the module took.
ResourceState& resourceState() {
  static ResourceState state;
  return state;
}

// One decoded image per file, shared while the cache has owners.
struct ImageCache {
  struct Entry {
    cairo_surface_t* surface;
    int64_t fileSize;
    int64_t fileTime;
  };
  std::mutex lock;
  std::map<std::string, Entry> images;
  std::atomic<int32_t> owners{0};
  std::atomic<uint64_t> decodes{0};

  void clearLocked() {
    for (auto& [path, entry] : images) cairo_surface_destroy(entry.surface);
    images.clear();
  }
  ~ImageCache() { clearLocked(); }
};

ImageCache& imageCache() {
  static ImageCache cache;
  return cache;
}

std::string moduleResourceFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&moduleResourceFolder), &info) == 0 || !info.dli_fname)
    return "Resources";
  std::string path(info.dli_fname);
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return "Resources";
  return path.substr(0, slash) + "/Resources";
}

void reportOnce(std::set<int32_t> ResourceState::*which, int32_t id, const char* what,
                const std::string& path) {
  auto& state = resourceState();
  std::lock_guard<std::mutex> guard(state.lock);
  if ((state.*which).insert(id).second)
    std::fprintf(stderr, "Grindle2: bitmap %d %s (%s)\n", static_cast<int>(id), what, path.c_str());
}

uint32_t bigEndian32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// The image size from a PNG's signature and IHDR chunk; false when they are not there. Sizes
// beyond what cairo can hold count as unreadable.
bool readPngHeader(FILE* file, int& w, int& h) {
  static constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  unsigned char head[24];
  if (std::fread(head, 1, sizeof(head), file) != sizeof(head)) return false;
  for (int i = 0; i < 8; ++i)
    if (head[i] != kSignature[i]) return false;
  if (bigEndian32(head + 8) != 13 || head[12] != 'I' || head[13] != 'H' || head[14] != 'D' || head[15] != 'R')
    return false;
  const uint32_t pw = bigEndian32(head + 16), ph = bigEndian32(head + 20);
  if (pw == 0 || ph == 0 || pw > 32767 || ph > 32767) return false;
  w = static_cast<int>(pw);
  h = static_cast<int>(ph);
  return true;
}

}  // namespace

void CBitmap::setResourceFolder(const std::string& folder) {
  auto& state = resourceState();
  std::lock_guard<std::mutex> guard(state.lock);
  state.folder = folder;
  state.reportedMissing.clear();
  state.reportedBroken.clear();
}

std::string CBitmap::getResourceFolder() {
  auto& state = resourceState();
  {
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.folder.empty()) return state.folder;
  }
  return moduleResourceFolder();
}

std::string CBitmap::resourcePath(int32_t resourceId) {
  char name[32];
  std::snprintf(name, sizeof(name), "bmp%05d.png", static_cast<int>(resourceId));
  return getResourceFolder() + "/" + name;
}

CBitmap::CBitmap(const CResourceDescription& desc) : resource(desc), path(resourcePath(desc.id)) {
  int w = 0, h = 0;
  bool readable = false;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    struct stat info {};
    if (fstat(fileno(file), &info) == 0 && readPngHeader(file, w, h)) {
      readable = true;
      fileSize = info.st_size;
      fileTime = int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
    }
    std::fclose(file);
  }
  if (!readable) {
    reportOnce(&ResourceState::reportedMissing, desc.id, "not found or unreadable", path);
    return;
  }
  width = w;
  height = h;
}

CBitmap::CBitmap(CCoord w, CCoord h) {
  if (w >= 1 && h >= 1) {
    cairo_surface_t* created =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(w), static_cast<int>(h));
    if (cairo_surface_status(created) == CAIRO_STATUS_SUCCESS) {
      surface = created;
      width = static_cast<int>(w);
      height = static_cast<int>(h);
    } else {
      cairo_surface_destroy(created);
    }
  }
}

CBitmap::~CBitmap() {
  if (surface) cairo_surface_destroy(surface);
}

cairo_surface_t* CBitmap::getSurface() const {
  if (!surface && !decodeFailed && width > 0) decode();
  return surface;
}

void CBitmap::decode() const {
  auto& cache = imageCache();
  const auto sameFile = [this](const ImageCache::Entry& e) {
    return e.fileSize == fileSize && e.fileTime == fileTime;
  };
  if (cache.owners.load() > 0) {
    std::lock_guard<std::mutex> guard(cache.lock);
    auto found = cache.images.find(path);
    if (found != cache.images.end() && sameFile(found->second)) {
      surface = cairo_surface_reference(found->second.surface);
      return;
    }
  }
  // Decoded outside the lock: another editor's GUI thread may be drawing meanwhile.
  cairo_surface_t* decoded = cairo_image_surface_create_from_png(path.c_str());
  cache.decodes.fetch_add(1);
  // The controls were laid out by the header's size; pixels of another size are not used.
  if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS ||
      cairo_image_surface_get_width(decoded) != width || cairo_image_surface_get_height(decoded) != height) {
    cairo_surface_destroy(decoded);
    decodeFailed = true;
    reportOnce(&ResourceState::reportedBroken, resource.id, "could not be decoded", path);
    return;
  }
  surface = decoded;
  std::lock_guard<std::mutex> guard(cache.lock);
  if (cache.owners.load() <= 0) return;
  auto [it, inserted] = cache.images.try_emplace(path, ImageCache::Entry{nullptr, fileSize, fileTime});
  if (!inserted && sameFile(it->second)) {
    // Decoded twice at the same time: keep the one the cache already shares.
    cairo_surface_destroy(surface);
    surface = cairo_surface_reference(it->second.surface);
    return;
  }
  if (it->second.surface) cairo_surface_destroy(it->second.surface);
  it->second = {cairo_surface_reference(surface), fileSize, fileTime};
}

void CBitmap::acquireImageCache() {
  auto& cache = imageCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  cache.owners.fetch_add(1);
}

void CBitmap::releaseImageCache() {
  auto& cache = imageCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  if (cache.owners.load() <= 0) return;  // unpaired release: nothing to give back
  if (cache.owners.fetch_sub(1) == 1) cache.clearLocked();
}

CBitmap::ImageCacheStats CBitmap::imageCacheStats() {
  auto& cache = imageCache();
  std::lock_guard<std::mutex> guard(cache.lock);
  ImageCacheStats stats;
  stats.owners = cache.owners.load();
  stats.images = cache.images.size();
  for (const auto& [path, entry] : cache.images)
    stats.bytes += static_cast<size_t>(cairo_image_surface_get_stride(entry.surface)) *
                   static_cast<size_t>(cairo_image_surface_get_height(entry.surface));
  stats.decodes = cache.decodes.load();
  return stats;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha) {
  if (context) context->drawBitmap(this, rect, offset, alpha);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
  draw(context, rect, offset, 1.f);
}

}  // namespace VSTGUI
