// Internal: turns a font description into a cairo face.
#pragma once

#include <cairo.h>

#include "cfont.h"

namespace VSTGUI::detail {

// A face for the given style bits (bold, italic). The face is owned by a process-wide cache
// and stays valid until the process ends.
cairo_font_face_t* fontFaceFor(int32_t style);

// Font options that make text rendering independent of the desktop's settings.
void applyFontOptions(cairo_t* cr, bool antialias);

}  // namespace VSTGUI::detail
