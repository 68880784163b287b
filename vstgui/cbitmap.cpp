#include "cbitmap.h"

#include <cairo.h>
#include <dlfcn.h>

#include <cstdio>
#include <mutex>
#include <set>

#include "cdrawcontext.h"

namespace VSTGUI {

namespace {

struct ResourceState {
  std::mutex lock;
  std::string folder;
  std::set<int32_t> reportedMissing;
};

ResourceState& resourceState() {
  static ResourceState* state = new ResourceState;
  return *state;
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

}  // namespace

void CBitmap::setResourceFolder(const std::string& folder) {
  auto& state = resourceState();
  std::lock_guard<std::mutex> guard(state.lock);
  state.folder = folder;
  state.reportedMissing.clear();
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

CBitmap::CBitmap(const CResourceDescription& desc) : resource(desc) {
  const std::string path = resourcePath(desc.id);
  cairo_surface_t* loaded = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(loaded) == CAIRO_STATUS_SUCCESS) {
    surface = loaded;
    width = cairo_image_surface_get_width(loaded);
    height = cairo_image_surface_get_height(loaded);
    return;
  }
  cairo_surface_destroy(loaded);
  auto& state = resourceState();
  std::lock_guard<std::mutex> guard(state.lock);
  if (state.reportedMissing.insert(desc.id).second)
    std::fprintf(stderr, "Grindle2: bitmap %d not found or unreadable (%s)\n", static_cast<int>(desc.id),
                 path.c_str());
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

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha) {
  if (context) context->drawBitmap(this, rect, offset, alpha);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
  draw(context, rect, offset, 1.f);
}

}  // namespace VSTGUI
