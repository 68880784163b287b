// Bitmaps by numeric resource id, loaded from the bundle's Resources folder.
#pragma once

#include <string>

#include "cgeometry.h"

namespace VSTGUI {

class CResourceDescription {
 public:
  constexpr CResourceDescription(int32_t resourceId = -1) : id(resourceId) {}
  int32_t id;
};

class CBitmap : public CBaseObject {
 public:
  // Loads "bmp%05d.png" (the id with five digits) from the resource folder. A missing or
  // unreadable file gives a 0 x 0 bitmap that draws nothing; it is reported once per id.
  CBitmap(const CResourceDescription& desc);
  // A transparent bitmap of the given size (drawing into it is not offered).
  CBitmap(CCoord width, CCoord height);
  ~CBitmap() override;
  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;

  CCoord getWidth() const { return width; }
  CCoord getHeight() const { return height; }
  bool isLoaded() const { return surface != nullptr; }
  const CResourceDescription& getResourceDescription() const { return resource; }
  int32_t getResourceId() const { return resource.id; }

  // Copies the region of the bitmap that starts at offset and is as large as rect into rect,
  // unscaled; film strips rely on this to pick one frame.
  virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0),
                    float alpha = 1.f);
  // The same, honouring the bitmap's own transparency (which draw does as well).
  void drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0));

  cairo_surface_t* getSurface() const { return surface; }

  // Where bitmaps are looked up. Empty (the default) means the "Resources" folder beside the
  // module that contains this code.
  static void setResourceFolder(const std::string& folder);
  static std::string getResourceFolder();
  static std::string resourcePath(int32_t resourceId);

 private:
  CResourceDescription resource;
  cairo_surface_t* surface = nullptr;
  CCoord width = 0;
  CCoord height = 0;
};

}  // namespace VSTGUI
