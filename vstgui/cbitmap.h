// Bitmaps by numeric resource id, loaded from the bundle's Resources folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "cgeometry.h"

namespace VSTGUI {

class CResourceDescription {
 public:
  constexpr CResourceDescription(int32_t resourceId = -1) : id(resourceId) {}
  int32_t id;
};

// A resource bitmap reads only the PNG header when it is made: its size is known at once, its
// pixels are decoded the first time it is drawn (an editor makes all its bitmaps at open but one
// screen shows fewer than half of them). A file whose header reads but whose body does not
// decode draws nothing; that is reported once per id.
//
// Decoded images can be shared by the whole process (see ImageCacheOwner below): while at least
// one owner exists, every resource bitmap that decodes a file keeps the result in a process-wide
// cache, and later bitmaps of the same file use it without decoding again.
class CBitmap : public CBaseObject {
 public:
  // Loads "bmp%05d.png" (the id with five digits) from the resource folder. A missing file or one
  // without a readable PNG header gives a 0 x 0 bitmap that draws nothing; it is reported once per
  // id.
  CBitmap(const CResourceDescription& desc);
  // A transparent bitmap of the given size (drawing into it is not offered).
  CBitmap(CCoord width, CCoord height);
  ~CBitmap() override;
  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;

  CCoord getWidth() const { return width; }
  CCoord getHeight() const { return height; }
  // The size is known and the pixels have not (yet) failed to decode.
  bool isLoaded() const { return width > 0 && height > 0 && !decodeFailed; }
  // The pixels are in memory (decoded, or taken from the process-wide cache).
  bool isDecoded() const { return surface != nullptr; }
  const CResourceDescription& getResourceDescription() const { return resource; }
  int32_t getResourceId() const { return resource.id; }

  // Copies the region of the bitmap that starts at offset and is as large as rect into rect,
  // unscaled; film strips rely on this to pick one frame.
  virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0),
                    float alpha = 1.f);
  // The same, honouring the bitmap's own transparency (which draw does as well).
  void drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0));

  // The pixels, decoded on the first call (GUI thread); null when there are none.
  cairo_surface_t* getSurface() const;

  // Where bitmaps are looked up. Empty (the default) means the "Resources" folder beside the
  // module that contains this code.
  static void setResourceFolder(const std::string& folder);
  static std::string getResourceFolder();
  static std::string resourcePath(int32_t resourceId);

  //---------------------------------------------------------------------------------------------
  // The process-wide image cache.
  //
  // The cache holds one decoded image per file while its owner count is above zero. An editor
  // holds one owner from its construction to its destruction (a member ImageCacheOwner, or
  // acquireImageCache() / releaseImageCache() in pairs): every editor instance of the process then
  // shares one decoded copy of each image, a reopened editor decodes nothing, and when the last
  // owner goes the cache is emptied (bitmaps still alive keep their own reference to the image).
  // Without an owner each bitmap decodes and frees its own pixels. Thread-safe; a file changed on
  // disk (size or modification time) is decoded again.
  static void acquireImageCache();
  static void releaseImageCache();

  class ImageCacheOwner {
   public:
    ImageCacheOwner() { acquireImageCache(); }
    ~ImageCacheOwner() { releaseImageCache(); }
    ImageCacheOwner(const ImageCacheOwner&) = delete;
    ImageCacheOwner& operator=(const ImageCacheOwner&) = delete;
  };

  struct ImageCacheStats {
    int32_t owners = 0;
    size_t images = 0;     // decoded images held by the cache
    size_t bytes = 0;      // their pixel memory
    uint64_t decodes = 0;  // PNG bodies decoded by this process so far (cached or not)
  };
  static ImageCacheStats imageCacheStats();

 private:
  void decode() const;

  CResourceDescription resource;
  std::string path;
  int64_t fileSize = 0;
  int64_t fileTime = 0;  // modification time, nanoseconds
  mutable cairo_surface_t* surface = nullptr;
  mutable bool decodeFailed = false;
  CCoord width = 0;
  CCoord height = 0;
};

}  // namespace VSTGUI
