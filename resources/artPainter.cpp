#include "artPainter.h"

#include <algorithm>
#include <cmath>

#include "vstgui/fontimpl.h"

namespace art {

double Painter::snap(double v) const { return std::trunc(v * s) / s; }

double Painter::hairline() const { return std::max(1.0, std::trunc(s)) / s; }

void Painter::setColour(const CColor& c) const {
  cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void Painter::roundPath(double x, double y, double w, double h, double r) const {
  const double x0 = snap(x), y0 = snap(y), x1 = snap(x + w), y1 = snap(y + h);
  r = std::min({r, (x1 - x0) / 2, (y1 - y0) / 2});
  cairo_new_path(cr);
  if (r <= 0) {
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    return;
  }
  constexpr double kPi = 3.14159265358979323846;
  cairo_arc(cr, x1 - r, y0 + r, r, -kPi / 2, 0);
  cairo_arc(cr, x1 - r, y1 - r, r, 0, kPi / 2);
  cairo_arc(cr, x0 + r, y1 - r, r, kPi / 2, kPi);
  cairo_arc(cr, x0 + r, y0 + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void Painter::fillRect(double x, double y, double w, double h, const CColor& c) const {
  fillRound(x, y, w, h, 0, c);
}

void Painter::strokeRect(double x, double y, double w, double h, const CColor& c) const {
  const double lw = hairline();
  cairo_new_path(cr);
  const double x0 = snap(x) + lw / 2, y0 = snap(y) + lw / 2;
  cairo_rectangle(cr, x0, y0, snap(x + w) - snap(x) - lw, snap(y + h) - snap(y) - lw);
  setColour(c);
  cairo_set_line_width(cr, lw);
  cairo_stroke(cr);
}

void Painter::fillRound(double x, double y, double w, double h, double r, const CColor& c) const {
  roundPath(x, y, w, h, r);
  setColour(c);
  cairo_fill(cr);
}

void Painter::verticalGradient(double x, double y, double w, double h, double r, const CColor& top,
                               const CColor& bottom) const {
  roundPath(x, y, w, h, r);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, snap(y), 0, snap(y + h));
  cairo_pattern_add_color_stop_rgba(g, 0, top.red / 255.0, top.green / 255.0, top.blue / 255.0,
                                    top.alpha / 255.0);
  cairo_pattern_add_color_stop_rgba(g, 1, bottom.red / 255.0, bottom.green / 255.0, bottom.blue / 255.0,
                                    bottom.alpha / 255.0);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void Painter::line(double x0, double y0, double x1, double y1, const CColor& c, double width) const {
  const double lw = width > 0 ? width : hairline();
  const double half = (x0 == x1 || y0 == y1) ? lw / 2 : 0;
  cairo_new_path(cr);
  if (y0 == y1) {
    cairo_move_to(cr, snap(x0), snap(y0) + half);
    cairo_line_to(cr, snap(x1), snap(y1) + half);
  } else if (x0 == x1) {
    cairo_move_to(cr, snap(x0) + half, snap(y0));
    cairo_line_to(cr, snap(x1) + half, snap(y1));
  } else {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
  }
  setColour(c);
  cairo_set_line_width(cr, lw);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_stroke(cr);
}

void Painter::panel(double x, double y, double w, double h, double r) const {
  fillRound(x, y, w, h, r, kPanelEdgeDark);
  const double e = hairline();
  verticalGradient(x + e, y + e, w - 2 * e, h - 2 * e, r, kPanelEdgeLight, kPanelLow);
  verticalGradient(x + 2 * e, y + 2 * e, w - 4 * e, h - 3 * e, r, kPanel, kPanelLow);
}

void Painter::well(double x, double y, double w, double h, double r) const {
  fillRound(x, y, w, h, r, kWellEdge);
  const double e = hairline();
  fillRound(x, y, w, h - e, r, kPanelEdgeDark);
  fillRound(x + e, y + e, w - 2 * e, h - 2 * e, r, kWell);
}

Painter::Ink Painter::text(const std::string& t, double x, double y, double w, double h, double size,
                           const CColor& c, Align align) const {
  if (t.empty()) return {x, y, 0, 0};
  cairo_save(cr);
  cairo_set_font_face(cr, VSTGUI::detail::fontFaceFor(VSTGUI::kBoldFace));
  cairo_set_font_size(cr, size);
  VSTGUI::detail::applyFontOptions(cr, true);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_text_extents_t te;
  cairo_text_extents(cr, t.c_str(), &te);
  double left = x;
  if (align == Align::centre) left = x + (w - te.x_advance) / 2;
  if (align == Align::right) left = x + w - te.x_advance;
  // Baselines on whole device pixels keep the glyphs crisp.
  const double base = std::round((y + (h + fe.ascent - fe.descent) / 2) * s) / s;
  const double origin = std::round(left * s) / s;
  cairo_move_to(cr, origin, base);
  setColour(c);
  cairo_show_text(cr, t.c_str());
  cairo_restore(cr);
  return {origin + te.x_bearing, base + te.y_bearing, te.width, te.height};
}

double Painter::fitSize(const std::string& t, double w, double maxSize) const {
  cairo_save(cr);
  cairo_set_font_face(cr, VSTGUI::detail::fontFaceFor(VSTGUI::kBoldFace));
  double size = maxSize;
  for (; size > 5; size -= 0.5) {
    cairo_set_font_size(cr, size);
    cairo_text_extents_t te;
    cairo_text_extents(cr, t.c_str(), &te);
    if (te.x_advance <= w) break;
  }
  cairo_restore(cr);
  return size;
}

void Painter::led(double cx, double cy, double r, bool on) const {
  constexpr double kPi = 3.14159265358979323846;
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, r + hairline(), 0, 2 * kPi);
  setColour(kPanelEdgeDark);
  cairo_fill(cr);
  cairo_pattern_t* g = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, 0, cx, cy, r);
  const CColor centre = on ? mix(kLit, VSTGUI::kWhiteCColor, 0.55) : mix(kDimLed, kUnlit, 0.5);
  const CColor edge = on ? GREEN_LINE_COLOR : kDimLed;
  cairo_pattern_add_color_stop_rgb(g, 0, centre.red / 255.0, centre.green / 255.0, centre.blue / 255.0);
  cairo_pattern_add_color_stop_rgb(g, 1, edge.red / 255.0, edge.green / 255.0, edge.blue / 255.0);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

}  // namespace art
