// Drawing helpers of the artwork generator: everything is given in 100 % coordinates and drawn at
// the bitmap's zoom, with rectangle edges snapped to whole device pixels the way the editor's
// layout truncates its positions.
#pragma once

#include <cairo.h>

#include <string>

#include "include/guiTables.h"

namespace art {

using VSTGUI::CColor;

// The theme: dark greys around the palette of the controls.
inline constexpr CColor kFrameTop(34, 35, 38, 255);
inline constexpr CColor kFrameBottom(22, 23, 25, 255);
inline constexpr CColor kPanel(40, 42, 46, 255);
inline constexpr CColor kPanelLow(31, 33, 36, 255);
inline constexpr CColor kPanelEdgeLight(62, 65, 70, 255);
inline constexpr CColor kPanelEdgeDark(10, 10, 11, 255);
inline constexpr CColor kWell(13, 14, 15, 255);
inline constexpr CColor kWellEdge(52, 55, 60, 255);
inline constexpr CColor kDivider(20, 21, 23, 255);
inline constexpr CColor kUnlit(48, 51, 55, 255);
inline constexpr CColor kDimLed(30, 44, 30, 255);
inline constexpr CColor kVersionStrip(178, 176, 170, 255);
inline constexpr CColor kHeading = SELECTED_TEXT_COLOR;
inline constexpr CColor kLabel = LIGHT_TEXT_COLOR;
inline constexpr CColor kLit = GREEN_LIGHT_LINE_COLOR;

inline CColor withAlpha(CColor c, int alpha) {
  c.alpha = static_cast<uint8_t>(alpha);
  return c;
}
inline CColor mix(CColor a, CColor b, double t) {
  const auto m = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(x + (y - x) * t + 0.5); };
  return CColor(m(a.red, b.red), m(a.green, b.green), m(a.blue, b.blue), m(a.alpha, b.alpha));
}

enum class Align { left, centre, right };

class Painter {
 public:
  // Draws into cr with the zoom s; the caller has set up any translation and clip.
  Painter(cairo_t* cr, double s) : cr(cr), s(s) {}

  double zoom() const { return s; }
  cairo_t* context() const { return cr; }
  // A 100 % coordinate on the device grid, truncated like the layout does.
  double snap(double v) const;
  // Width of a thin line: one device pixel at 100 % and 150 %, two at 200 %.
  double hairline() const;

  void setColour(const CColor& c) const;
  void fillRect(double x, double y, double w, double h, const CColor& c) const;
  void strokeRect(double x, double y, double w, double h, const CColor& c) const;
  void fillRound(double x, double y, double w, double h, double r, const CColor& c) const;
  void verticalGradient(double x, double y, double w, double h, double r, const CColor& top,
                        const CColor& bottom) const;
  void line(double x0, double y0, double x1, double y1, const CColor& c, double width = 0) const;

  // A raised panel (module boxes, buttons) and a recessed well (menu fields, screens, meters).
  void panel(double x, double y, double w, double h, double r) const;
  void well(double x, double y, double w, double h, double r = 2) const;
  // A text line vertically centred in the box; returns its ink (x, y, width, height).
  struct Ink {
    double x, y, w, h;
  };
  Ink text(const std::string& t, double x, double y, double w, double h, double size, const CColor& c,
           Align align = Align::centre) const;
  // The largest size up to maxSize at which t fits the width.
  double fitSize(const std::string& t, double w, double maxSize) const;
  // An LED: dim when off, glowing when on.
  void led(double cx, double cy, double r, bool on) const;

 private:
  void roundPath(double x, double y, double w, double h, double r) const;
  cairo_t* cr;
  double s;
};

}  // namespace art
