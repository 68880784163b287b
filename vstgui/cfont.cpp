#include "cfont.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <mutex>

#include "fontimpl.h"

namespace VSTGUI {

namespace {
constinit CFontDesc gNormalFontSmall("Liberation Sans", 11, kNormalFace);
constinit CFontDesc gNormalFontBig("Liberation Sans", 14, kNormalFace);
constinit CFontDesc gNormalFontVeryBig("Liberation Sans", 18, kNormalFace);
constinit CFontDesc gNormalFont("Liberation Sans", 12, kNormalFace);
}  // namespace

CFontDesc* const kNormalFontSmall = &gNormalFontSmall;
CFontDesc* const kNormalFontBig = &gNormalFontBig;
CFontDesc* const kNormalFontVeryBig = &gNormalFontVeryBig;
CFontDesc* const kNormalFont = &gNormalFont;

namespace detail {

namespace {

// Regular, bold, italic, bold italic: the files are read directly, not looked up through the
// desktop's font configuration, so that the same text gives the same pixels everywhere.
constexpr const char* kLiberationFiles[4] = {
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Italic.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-BoldItalic.ttf",
};
constexpr const char* kLiberation2Files[4] = {
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Italic.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-BoldItalic.ttf",
};
constexpr const char* kDejaVuFiles[4] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Oblique.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf",
};

struct FaceCache {
  std::mutex lock;
  FT_Library library = nullptr;
  bool libraryTried = false;
  std::array<cairo_font_face_t*, 4> faces{};
};

FaceCache& cache() {
  // Never destroyed: faces may be in use by drawing contexts until the very end.
  static FaceCache* instance = new FaceCache;
  return *instance;
}

cairo_user_data_key_t gFaceKey;

void releaseFtFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

cairo_font_face_t* loadFace(FT_Library library, const char* path) {
  FT_Face ftFace = nullptr;
  if (FT_New_Face(library, path, 0, &ftFace) != 0) return nullptr;
  cairo_font_face_t* face = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
  if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_set_user_data(face, &gFaceKey, ftFace, releaseFtFace) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(face);
    FT_Done_Face(ftFace);
    return nullptr;
  }
  return face;
}

}  // namespace

cairo_font_face_t* fontFaceFor(int32_t style) {
  const int index = ((style & kBoldFace) ? 1 : 0) + ((style & kItalicFace) ? 2 : 0);
  FaceCache& c = cache();
  std::lock_guard<std::mutex> guard(c.lock);
  if (c.faces[index]) return c.faces[index];
  if (!c.libraryTried) {
    c.libraryTried = true;
    if (FT_Init_FreeType(&c.library) != 0) c.library = nullptr;
  }
  cairo_font_face_t* face = nullptr;
  if (c.library) {
    for (const auto* files : {kLiberationFiles, kLiberation2Files, kDejaVuFiles}) {
      face = loadFace(c.library, files[index]);
      if (face) break;
    }
  }
  if (!face) {
    // No known font file: whatever sans face the system offers.
    face = cairo_toy_font_face_create(
        "sans-serif", (style & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
        (style & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  }
  c.faces[index] = face;
  return face;
}

void applyFontOptions(cairo_t* cr, bool antialias) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

}  // namespace detail
}  // namespace VSTGUI
