#include "cdrawcontext.h"

#include <cairo.h>

#include <cmath>

#include "cbitmap.h"
#include "fontimpl.h"

namespace VSTGUI {

CDrawContext::CDrawContext(cairo_t* context) : cr(context) {
  if (cr) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  }
}

CDrawContext::~CDrawContext() {
  if (cr) cairo_restore(cr);
}

void CDrawContext::setFont(const CFontDesc* newFont, const CCoord& size, const int32_t& style) {
  if (newFont) font = *newFont;
  if (size > 0) font.setSize(size);
  if (style >= 0) font.setStyle(style);
}

void CDrawContext::setClipRect(const CRect& clip) {
  clipRect = clip;
  clipRect.offset(offset);
  if (!cr) return;
  cairo_reset_clip(cr);
  cairo_rectangle(cr, clipRect.left, clipRect.top, clipRect.getWidth(), clipRect.getHeight());
  cairo_clip(cr);
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
  clip = clipRect;
  clip.offsetInverse(offset);
  return clip;
}

void CDrawContext::resetClipRect() {
  clipRect = CRect(-1e9, -1e9, 1e9, 1e9);
  if (cr) cairo_reset_clip(cr);
}

void CDrawContext::setSource(const CColor& color) {
  cairo_set_source_rgba(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0,
                        color.alpha / 255.0 * globalAlpha);
}

CCoord CDrawContext::strokeAdjust() const {
  if (drawMode & kNonIntegralMode) return 0;
  const CCoord w = std::round(lineWidth);
  if (w == lineWidth && static_cast<long>(w) % 2 == 1) return 0.5;
  return 0;
}

void CDrawContext::moveTo(const CPoint& point) { penPosition = point; }

void CDrawContext::lineTo(const CPoint& point) {
  drawLine(penPosition, point);
  penPosition = point;
}

void CDrawContext::drawLine(const CPoint& start, const CPoint& end) { drawPolyline({start, end}); }

void CDrawContext::drawLines(const LineList& lines) {
  for (const auto& line : lines) drawLine(line.first, line.second);
}

void CDrawContext::drawPolyline(const PointList& points) {
  if (!cr || points.size() < 2) return;
  const CCoord a = strokeAdjust();
  cairo_set_antialias(cr, drawMode & kAntiAliasing ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  cairo_new_path(cr);
  cairo_move_to(cr, points[0].x + offset.x + a, points[0].y + offset.y + a);
  for (size_t i = 1; i < points.size(); ++i)
    cairo_line_to(cr, points[i].x + offset.x + a, points[i].y + offset.y + a);
  cairo_set_line_width(cr, lineWidth);
  // Square caps: a line covers both of its end pixels, as pixel artwork expects.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  setSource(frameColor);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void CDrawContext::drawPolygon(const PointList& points, CDrawStyle style) {
  if (!cr || points.size() < 2) return;
  // A stroked point list is an open line, drawn like drawPolyline; only fills close the outline.
  if (style == kDrawStroked) {
    drawPolyline(points);
    return;
  }
  cairo_set_antialias(cr, drawMode & kAntiAliasing ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  cairo_new_path(cr);
  cairo_move_to(cr, points[0].x + offset.x, points[0].y + offset.y);
  for (size_t i = 1; i < points.size(); ++i)
    cairo_line_to(cr, points[i].x + offset.x, points[i].y + offset.y);
  cairo_close_path(cr);
  setSource(fillColor);
  if (style == kDrawFilled) {
    cairo_fill(cr);
    return;
  }
  cairo_fill(cr);
  drawPolyline(points);
}

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) {
  if (!cr || rect.isEmpty()) return;
  CRect r(rect);
  r.offset(offset);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  if (style != kDrawStroked) {
    cairo_new_path(cr);
    cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
    setSource(fillColor);
    cairo_fill(cr);
  }
  if (style != kDrawFilled) {
    // The outline lies inside the rectangle.
    const CCoord half = lineWidth / 2;
    cairo_new_path(cr);
    cairo_rectangle(cr, r.left + half, r.top + half, r.getWidth() - lineWidth, r.getHeight() - lineWidth);
    cairo_set_line_width(cr, lineWidth);
    setSource(frameColor);
    cairo_stroke(cr);
  }
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
}

void CDrawContext::drawEllipse(const CRect& rect, CDrawStyle style) {
  if (!cr || rect.isEmpty()) return;
  CRect r(rect);
  r.offset(offset);
  cairo_set_antialias(cr, drawMode & kAntiAliasing ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  auto path = [&](CCoord inset) {
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, r.left + r.getWidth() / 2, r.top + r.getHeight() / 2);
    cairo_scale(cr, std::max(r.getWidth() / 2 - inset, 0.01), std::max(r.getHeight() / 2 - inset, 0.01));
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
  };
  if (style != kDrawStroked) {
    path(0);
    setSource(fillColor);
    cairo_fill(cr);
  }
  if (style != kDrawFilled) {
    path(lineWidth / 2);
    cairo_set_line_width(cr, lineWidth);
    setSource(frameColor);
    cairo_stroke(cr);
  }
}

void CDrawContext::applyFont(bool antialias) {
  cairo_set_font_face(cr, detail::fontFaceFor(font.getStyle()));
  cairo_set_font_size(cr, font.getSize() > 0 ? font.getSize() : 12);
  detail::applyFontOptions(cr, antialias);
}

void CDrawContext::drawString(const char* string, const CRect& rect, CHoriTxtAlign hAlign, bool antialias) {
  if (!cr || !string || !*string) return;
  applyFont(antialias);
  // The text is turned into glyphs once and the same run is measured and shown: editors
  // redraw many short labels, and the conversion is most of their cost.
  cairo_scaled_font_t* scaledFont = cairo_get_scaled_font(cr);
  cairo_glyph_t* glyphs = nullptr;
  int count = 0;
  if (cairo_scaled_font_text_to_glyphs(scaledFont, 0, 0, string, -1, &glyphs, &count, nullptr, nullptr,
                                       nullptr) != CAIRO_STATUS_SUCCESS)
    return;
  cairo_font_extents_t fe;
  cairo_scaled_font_extents(scaledFont, &fe);
  cairo_text_extents_t te;
  cairo_scaled_font_glyph_extents(scaledFont, glyphs, count, &te);
  CRect r(rect);
  r.offset(offset);
  CCoord x = r.left;
  if (hAlign == kCenterText)
    x = r.left + (r.getWidth() - te.x_advance) / 2;
  else if (hAlign == kRightText)
    x = r.right - te.x_advance;
  const CCoord y = r.top + (r.getHeight() + fe.ascent - fe.descent) / 2;
  const double originX = std::round(x), originY = std::round(y);
  for (int i = 0; i < count; ++i) {
    glyphs[i].x += originX;
    glyphs[i].y += originY;
  }
  cairo_save(cr);
  cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
  cairo_clip(cr);
  setSource(fontColor);
  cairo_show_glyphs(cr, glyphs, count);
  cairo_restore(cr);
  cairo_glyph_free(glyphs);
}

void CDrawContext::drawString(const char* string, const CPoint& point, bool antialias) {
  if (!cr || !string || !*string) return;
  applyFont(antialias);
  setSource(fontColor);
  cairo_move_to(cr, std::round(point.x + offset.x), std::round(point.y + offset.y));
  cairo_show_text(cr, string);
}

CCoord CDrawContext::getStringWidth(const char* string) {
  if (!string || !*string) return 0;
  cairo_surface_t* scratch = nullptr;
  cairo_t* measure = cr;
  if (!measure) {
    scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    measure = cairo_create(scratch);
  }
  cairo_save(measure);
  cairo_set_font_face(measure, detail::fontFaceFor(font.getStyle()));
  cairo_set_font_size(measure, font.getSize() > 0 ? font.getSize() : 12);
  detail::applyFontOptions(measure, true);
  cairo_text_extents_t te;
  cairo_text_extents(measure, string, &te);
  cairo_restore(measure);
  if (scratch) {
    cairo_destroy(measure);
    cairo_surface_destroy(scratch);
  }
  return te.x_advance;
}

void CDrawContext::drawBitmap(CBitmap* bitmap, const CRect& dest, const CPoint& sourceOffset, float alpha) {
  if (!cr || !bitmap || dest.isEmpty()) return;
  cairo_surface_t* pixels = bitmap->getSurface();  // decodes on the first draw
  if (!pixels) return;
  CRect r(dest);
  r.offset(offset);
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_rectangle(cr, r.left, r.top, r.getWidth(), r.getHeight());
  cairo_clip(cr);
  cairo_set_source_surface(cr, pixels, r.left - sourceOffset.x, r.top - sourceOffset.y);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint_with_alpha(cr, alpha * globalAlpha);
  cairo_restore(cr);
}

}  // namespace VSTGUI
