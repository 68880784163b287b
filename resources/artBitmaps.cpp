#include "artBitmaps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "include/knobPlaces.h"

namespace art {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLabelSize = 10;
constexpr double kHeadingSize = 11;

double radians(double degreesFromUp) { return (degreesFromUp - 90.0) * kPi / 180.0; }

void setSource(cairo_t* cr, const CColor& c, double alphaScale = 1.0) {
  cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0 * alphaScale);
}

void label(const Painter& p, const std::string& t, double x, double y, double w, double h = 12,
           Align align = Align::centre) {
  p.text(t, x, y, w, h, kLabelSize, kLabel, align);
}

void heading(const Painter& p, const std::string& t, double x, double y, double w, double h = 14,
             Align align = Align::left) {
  p.text(t, x, y, w, h, kHeadingSize, kHeading, align);
}

// A field under a menu, 2 px larger on every side so that the menus' small per-size corrections
// stay inside it.
void field(const Painter& p, double x, double y, double w, double h) { p.well(x - 2, y - 2, w + 4, h + 4, 3); }

// A dark panel under a graph screen, one pixel larger than the screen.
void screenPanel(const Painter& p, double x, double y, double w, double h) { p.well(x - 1, y - 1, w + 2, h + 2, 2); }

// A seat under a knob image (x, y its top-left corner): a shallow recess round the disc.
void seat(const Painter& p, double x, double y, double side) {
  cairo_t* cr = p.context();
  const double c = side / 2, r = side / 2 + 1.5;
  cairo_new_path(cr);
  cairo_arc(cr, x + c, y + c, r, 0, 2 * kPi);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y + c - r, 0, y + c + r);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.07, 0.075, 0.08);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.2, 0.21, 0.23);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_arc(cr, x + c, y + c, r - p.hairline(), 0, 2 * kPi);
  setSource(cr, kPanelLow);
  cairo_fill(cr);
}

// An unlit meter slot of the level meters.
void meterSlot(const Painter& p, double x, double y, double w, double h) {
  p.well(x - 1, y - 1, w + 2, h + 2, 1);
  for (int k = 1; k < 12; ++k) p.line(x, y + h * k / 12.0, x + w, y + h * k / 12.0, kPanelEdgeDark);
}

// The background of the whole frame.
void frameBackground(const Painter& p, double w, double h) {
  p.verticalGradient(0, 0, w, h, 0, kFrameTop, kFrameBottom);
}

// The product name in the header's settings area.
void productName(const Painter& p, double x, double y, double w, double h) {
  p.text("GRINDLE 2", x, y + 6, w, 40, 36, kHeading, Align::right);
  p.text("STEREO DISTORTION MULTI-EFFECT", x, y + 46, w, 14, 10, GREEN_TEXT_COLOR, Align::right);
}

//------------------------------------------------------------------------------------------------
// Main screen and settings screen.

void mainBackground(const Painter& p) {
  frameBackground(p, 1100, 712);
  // Header.
  p.verticalGradient(0, 0, 1100, 112, 0, mix(kPanel, kFrameTop, 0.3), kFrameTop);
  p.line(0, 111, 1100, 111, kDivider);
  p.line(0, 112, 1100, 112, kPanelEdgeLight);
  label(p, "Preset", 29, 37, 60, 22, Align::right);
  field(p, 97, 37, 213, 22);
  label(p, "Folder", 29, 69, 60, 22, Align::right);
  field(p, 95, 69, 215, 22);
  field(p, 412, 66, 60, 24);
  // The manager area has no bitmap of its own: a text link.
  label(p, "Manager", 482, 71, 90, 15);
  p.line(500, 85, 554, 85, withAlpha(kLabel, 110));
  for (int i = 0; i < 4; ++i) meterSlot(p, i < 2 ? 584 + 7 * i : 612 + 7 * (i - 2), 30, 6, 60);
  label(p, "In", 580, 92, 18, 12);
  label(p, "Out", 606, 92, 26, 12);
  productName(p, 710, 26, 345, 81);
  // The control menu's glyph.
  for (int k = 0; k < 3; ++k) p.fillRect(1060, 27 + 3.5 * k, 12, 1.6, kLabel);
  // Behind the module boxes (the boxes cover this).
  p.well(27, 115, 1046, 324, 4);
  label(p, "Path", 29, 442, 44, 19, Align::right);
  field(p, 79, 442, 456, 19);
  // The tab row joins the bottom box.
  p.fillRect(560, 471, 507, 3, kPanelLow);
  p.well(27, 472, 1046, 213, 4);
}

void settingsBackground(const Painter& p) {
  frameBackground(p, 1100, 712);
  p.verticalGradient(0, 0, 1100, 112, 0, mix(kPanel, kFrameTop, 0.3), kFrameTop);
  p.line(0, 111, 1100, 111, kDivider);
  p.line(0, 112, 1100, 112, kPanelEdgeLight);
  productName(p, 710, 20, 345, 70);
  // The version readout draws dark text: it sits on a light strip.
  p.fillRound(664, 96, 363, 14, 2, kVersionStrip);
  heading(p, "SETTINGS", 40, 40, 300, 30);
  label(p, "Click anywhere else to show the front screen", 40, 70, 400, 14, Align::left);
  p.panel(100, 390, 580, 240, 6);
  heading(p, "Preferences", 120, 402, 300, 16);
  static const std::array<const char*, 5> kSwitches = {"Computer Keyboard", "MIDI Preset", "MIDI Bank",
                                                       "External MIDI Capture Mode", "Distort DC Filter"};
  for (int i = 0; i < 5; ++i) {
    p.well(299, 430 + 30 * i, 25, 16, 2);
    label(p, kSwitches[i], 332, 430 + 30 * i, 300, 16, Align::left);
  }
  label(p, "Screen Size", 120, 583, 94, 16, Align::right);
  field(p, 221, 583, 100, 16);
  label(p, "applies when the editor is next opened", 332, 583, 320, 16, Align::left);
}

//------------------------------------------------------------------------------------------------
// Module boxes.

void boxFrame(const Painter& p, double w, double h) {
  p.fillRect(0, 0, w, h, kFrameBottom);
  p.panel(1, 1, w - 2, h - 2, 5);
}

// A seat under the image of a knob the layout places at k, at this bitmap's size.
void seatFor(const Painter& p, const KnobPlace& k) {
  const double s = p.zoom();
  const int mode = s > 1.75 ? 2 : (s > 1.25 ? 1 : 0);
  seat(p, knobImageLeft(k, mode) / s, knobImageTop(k, mode) / s, 40);
}

void distortionBox(const Painter& p, int knobs, bool oldEQ) {
  boxFrame(p, 616, 320);
  heading(p, "DISTORTION", 10, 5, 140, 20);
  label(p, "Type", 128, 6, 40, 19, Align::right);
  field(p, 174, 6, 171, 19);
  label(p, "Curve", 22, 51, 100, 12);
  screenPanel(p, 22, 66, 100, 101);
  p.well(145, 44, 288, 150, 4);
  for (int i = 0; i < knobs; ++i) seatFor(p, TYPE_KNOB_PLACES[static_cast<size_t>(i)]);
  label(p, "Output", 440, 14, 66, 14);
  // EQ row: each EQ's name on its view radio, then its on switch.
  label(p, "Pre-EQ", 50, 208, 56, 12, Align::right);
  label(p, "On", 131, 208, 26, 12);
  label(p, "Post-EQ", 245, 208, 58, 12, Align::right);
  label(p, "On", 328, 208, 26, 12);
  if (oldEQ) {
    p.well(6, 229, 505, 89, 3);
    p.text("GRINDLE 1 EQ", 12, 231, 200, 14, 9, kLabel, Align::left);
    for (const KnobPlace& k : OLD_EQ_KNOB_PLACES) seatFor(p, k);
  } else {
    screenPanel(p, 6, 229, 505, 89);
  }
  // The noise gate's column.
  p.line(516, 8, 516, 312, kDivider);
  p.line(517, 8, 517, 312, kPanelEdgeLight);
  p.well(599, 12, 10, 10, 2);
}

void filterBox(const Painter& p) {
  boxFrame(p, 157, 320);
  for (int half = 0; half < 2; ++half) {
    const double y = 148.0 * half;
    label(p, "12 dB", 6, y + 107, 40, 12, Align::right);
    label(p, "24 dB", 6, y + 127, 40, 12, Align::right);
    label(p, "ZD", 110, y + 104, 27, 12);
  }
  p.line(6, 143, 151, 143, kDivider);
  p.line(6, 144, 151, 144, kPanelEdgeLight);
}

void compressorBox(const Painter& p) {
  boxFrame(p, 154, 320);
  label(p, "Gain Reduction", 20, 32, 114, 12);
  screenPanel(p, 43, 46, 65, 29);
}

void widenerBox(const Painter& p, bool chorus) {
  boxFrame(p, 115, 320);
  screenPanel(p, 27, 55, 50, 32);
  label(p, chorus ? "Chorus" : "Stereo Width", 4, 89, 107, 12);
}

//------------------------------------------------------------------------------------------------
// The bottom box's five screens.

void bottomFrame(const Painter& p) { boxFrame(p, 1042, 209); }

void disruptScreen(const Painter& p) {
  bottomFrame(p);
  label(p, "Spring Time", 35, 11, 87, 12);
  field(p, 35, 25, 87, 14);
  label(p, "Quantize", 35, 57, 87, 12);
  field(p, 35, 71, 87, 14);
  // The slider's track: the handle (24 wide) travels over 759 px; centre, eighths and ends marked.
  p.well(131, 26, 783, 48, 4);
  const double travel = 783 - 24, first = 131 + 12;
  p.fillRound(first, 47, travel, 6, 3, kPanelEdgeDark);
  p.fillRound(first + 1, 48, travel - 2, 4, 2, kUnlit);
  for (int k = 0; k <= 8; ++k) {
    const double x = std::round(first + travel * k / 8.0);
    const bool major = k % 4 == 0;
    p.line(x, major ? 30 : 34, x, major ? 40 : 38, major ? kLabel : kUnlit);
    p.line(x, major ? 60 : 62, x, major ? 70 : 66, major ? kLabel : kUnlit);
  }
  label(p, "Reset to Center", 537, 14, 100, 12, Align::left);
  // Disrupt slots: knob x and on switch at (x + 56, 144).
  for (const KnobPlace& k : DISRUPT_KNOB_PLACES) {
    seatFor(p, k);
    label(p, "On", k.x + 51, 131, 31, 12);
  }
  p.line(8, 118, 1034, 118, kDivider);
  p.line(8, 119, 1034, 119, kPanelEdgeLight);
  // Lazy mode.
  heading(p, "Lazy Mode", 919, 2, 118, 14, Align::centre);
  label(p, "Sync", 919, 34, 40, 10);
  label(p, "On", 986, 34, 40, 10);
  label(p, "Lazy Mode", 983, 114, 54, 12);
}

void followerScreen(const Painter& p) {
  bottomFrame(p);
  screenPanel(p, 20, 17, 407, 83);
  label(p, "Follower", 20, 4, 407, 12, Align::left);
  label(p, "Source", 60, 107, 70, 19, Align::right);
  field(p, 136, 107, 175, 19);
  p.line(452, 8, 452, 201, kDivider);
  p.line(453, 8, 453, 201, kPanelEdgeLight);
  for (int j = 0; j < 3; ++j) {
    const double y = 18 + 69 * j - (j == 2 ? 1 : 0);
    const std::string n = std::to_string(j + 1);
    label(p, "Destination " + n, 475, y - 14, 154, 12);
    field(p, 475, y, 154, 19);
    label(p, "Bypass", 718, y - 14, 44, 12);
    label(p, "Mod Source " + n, 796, y - 14, 154, 12);
    field(p, 796, y, 154, 19);
  }
}

void waveShaperScreen(const Painter& p) {
  bottomFrame(p);
  label(p, "Mode", 20, 2, 100, 12, Align::left);
  label(p, "Uni-Polar", 20, 15, 98, 12, Align::right);
  label(p, "Polar", 20, 45, 98, 12, Align::right);
  label(p, "Draw", 20, 78, 100, 12, Align::left);
  static constexpr std::array<const char*, 3> kDraw = {"Point", "Line", "Erase"};
  for (int i = 0; i < 3; ++i) label(p, kDraw[i], 20, 93 + 40 * i, 98, 12, Align::right);
  for (int s = 0; s < 2; ++s) {
    const double dx = 423.0 * s;
    label(p, s == 0 ? "WaveShaper 1" : "WaveShaper 2", 238 + dx, 2, 186, 12);
    screenPanel(p, 238 + dx, 16, 186, 186);
    label(p, "Distort Mode", 453 + dx, 1, 130, 12);
    field(p, 453 + dx, 14, 130, 19);
    // Above its button: beside it the word would run into the amount knob's caption.
    label(p, "Apply", 543.5 + dx, 160, 48, 12);
  }
}

void modScreen(const Painter& p, bool advanced) {
  bottomFrame(p);
  heading(p, advanced ? "Advanced Mod Matrix" : "Mod Matrix", 14, 2, 300, 14);
  label(p, "Advanced", 400, 3, 90, 12, Align::right);
  // The matrix: column headings at the column edges, rows striped, edges ruled.
  screenPanel(p, 14, 45, 500, 160);
  const int32_t* edges = advanced ? ADV_MOD_COLUMN[0] : BASIC_MOD_COLOUMN[0];
  const int columns = advanced ? ADV_MOD_COLUMNS : BASIC_MOD_COLUMNS;
  static constexpr std::array<const char*, 8> kHeadings = {"#", "Byp", "Source", "Destination",
                                                           "Amount", "Offset", "Lower", "Upper"};
  for (int r = 1; r < 10; r += 2) p.fillRect(14, 45 + 16 * r, 500, 16, mix(kWell, kPanelLow, 0.45));
  for (int c = 0; c < columns; ++c) {
    label(p, kHeadings[c], 14 + edges[c], 31, edges[c + 1] - edges[c], 12);
    if (c > 0) p.line(14 + edges[c], 45, 14 + edges[c], 205, mix(kWell, kPanelEdgeLight, 0.35));
  }
  // LFO pages.
  p.line(532, 8, 532, 201, kDivider);
  p.line(533, 8, 533, 201, kPanelEdgeLight);
  label(p, "LFO", 534, 6, 50, 12);
  for (int l = 0; l < 4; ++l) label(p, std::to_string(l + 1), 535, 23 + 28 * l, 12, 12);
  label(p, "Sync", 664, 24, 29, 12);
  screenPanel(p, 581, 92, 77, 77);
  label(p, "Wave", 540, 176, 38, 19, Align::right);
  field(p, 580, 176, 80, 19);
  label(p, "Destination", 822, 24, 125, 12);
  field(p, 822, 38, 125, 19);
  label(p, "Trigger", 790, 168, 54, 19, Align::right);
  field(p, 848, 168, 126, 19);
  label(p, "Mode", 979, 88, 60, 12);
  static constexpr std::array<const char*, 4> kModes = {"Free", "Host", "Note", "MIDI"};
  for (int k = 0; k < 4; ++k) label(p, kModes[k], 1002, 101 + 22 * k, 38, 12, Align::left);
}

//------------------------------------------------------------------------------------------------
// Buttons.

// A raised button face; pressed buttons are darker and their content moves down a pixel.
void buttonFace(const Painter& p, double w, double h, bool pressed) {
  p.fillRound(0, 0, w, h, 3, kPanelEdgeDark);
  const double e = p.hairline();
  if (pressed) {
    p.verticalGradient(e, e, w - 2 * e, h - 2 * e, 3, kPanelLow, mix(kPanelLow, kWell, 0.5));
  } else {
    p.verticalGradient(e, e, w - 2 * e, h - 2 * e, 3, mix(kPanelEdgeLight, kPanel, 0.3), kPanelLow);
    p.line(3, e, w - 3, e, withAlpha(kHeading, 40));
  }
}

// A button with an LED left of its label; lit when on.
void ledButton(const Painter& p, double w, double h, const std::string& text, bool on) {
  buttonFace(p, w, h, false);
  const double r = std::min(h * 0.2, 3.5);
  p.led(4 + r + 2, h / 2, r, on);
  const double left = 4 + 2 * r + 6, width = w - left - 4;
  p.text(text, left, 0, width, h, p.fitSize(text, width, h > 20 ? 12 : 10), on ? kHeading : kLabel, Align::centre);
}

// A kick button: frame 0 released, frame 1 pressed; lamp: -1 none, 0 dim, 1 lit.
void kickButton(const Painter& p, double w, double h, const std::string& text, bool pressed, int lamp) {
  buttonFace(p, w, h, pressed);
  const double d = pressed ? 1 : 0;
  double left = 4;
  if (lamp >= 0) {
    p.led(10, h / 2 + d, 3, lamp == 1);
    left = 16;
  }
  p.text(text, left, d, w - left - 4, h, 11, pressed ? kHeading : kLabel);
}

// The common switch: a small bar that glows when on.
void switchBar(const Painter& p, double w, double h, bool on) {
  p.well(0, 0, w, h, 3);
  const double e = p.hairline();
  const double x = 3, y = 3, bw = w - 6, bh = h - 6;
  if (on) {
    p.fillRound(x - e, y - e, bw + 2 * e, bh + 2 * e, 2, withAlpha(kLit, 90));
    p.verticalGradient(x, y, bw, bh, 1.5, mix(kLit, VSTGUI::kWhiteCColor, 0.45), GREEN_LINE_COLOR);
  } else {
    p.verticalGradient(x, y, bw, bh, 1.5, kUnlit, mix(kUnlit, kWell, 0.5));
  }
}

void tab(const Painter& p, double w, double h, const std::string& text, bool on) {
  p.fillRect(0, 0, w, h, kFrameBottom);
  if (on) {
    p.verticalGradient(0, 0, w, h, 0, mix(kPanelEdgeLight, kPanel, 0.4), kPanelLow);
    p.fillRect(0, 0, w, 2, kLit);
  } else {
    p.verticalGradient(0, 2, w, h - 2, 0, kPanelLow, mix(kPanelLow, kWell, 0.6));
  }
  p.line(0, 0, 0, h, kPanelEdgeDark);
  p.line(w - p.hairline(), 0, w - p.hairline(), h, kPanelEdgeDark);
  p.text(text, 0, 1, w, h, 12, on ? kHeading : kLabel);
}

void arrow(const Painter& p, double w, double h, bool right, bool pressed) {
  cairo_t* cr = p.context();
  const double cx = w / 2, cy = h / 2, a = h * 0.32;
  cairo_new_path(cr);
  if (right) {
    cairo_move_to(cr, cx - a * 0.8, cy - a);
    cairo_line_to(cr, cx + a * 0.9, cy);
    cairo_line_to(cr, cx - a * 0.8, cy + a);
  } else {
    cairo_move_to(cr, cx + a * 0.8, cy - a);
    cairo_line_to(cr, cx - a * 0.9, cy);
    cairo_line_to(cr, cx + a * 0.8, cy + a);
  }
  cairo_close_path(cr);
  setSource(cr, pressed ? kLit : kLabel);
  cairo_fill(cr);
}

// The widener/chorus mode: both words, the chosen one lit.
void modeSwitch(const Painter& p, double w, double h, bool chorus) {
  buttonFace(p, w, h, false);
  for (int row = 0; row < 2; ++row) {
    const bool lit = (row == 1) == chorus;
    const double y = 3 + (h - 6) / 2 * row;
    p.led(9, y + (h - 6) / 4, 3, lit);
    p.text(row == 0 ? "WIDENER" : "CHORUS", 15, y, w - 18, (h - 6) / 2, 10, lit ? kHeading : kLabel);
  }
}

//------------------------------------------------------------------------------------------------
// Knobs and rings.

struct KnobGeometry {
  double centre, disc, ring, ringWidth;
};
KnobGeometry knobGeometry(double side) {
  return {side / 2, side * 0.335, side * 0.43, side * 0.085};
}

void knob(const Painter& p, double side, int frame) {
  cairo_t* cr = p.context();
  const auto g = knobGeometry(side);
  const double c = g.centre, r = g.disc;
  // Shadow, body with a light from the top left, rim and cap.
  cairo_new_path(cr);
  cairo_arc(cr, c, c + r * 0.08, r + side * 0.035, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  cairo_fill(cr);
  cairo_pattern_t* body = cairo_pattern_create_linear(c - r, c - r, c + r, c + r);
  cairo_pattern_add_color_stop_rgb(body, 0, 0.36, 0.37, 0.4);
  cairo_pattern_add_color_stop_rgb(body, 1, 0.1, 0.105, 0.115);
  cairo_arc(cr, c, c, r, 0, 2 * kPi);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);
  cairo_pattern_t* cap = cairo_pattern_create_radial(c - r * 0.3, c - r * 0.35, r * 0.05, c, c, r * 0.82);
  cairo_pattern_add_color_stop_rgb(cap, 0, 0.3, 0.31, 0.33);
  cairo_pattern_add_color_stop_rgb(cap, 1, 0.15, 0.155, 0.17);
  cairo_arc(cr, c, c, r * 0.8, 0, 2 * kPi);
  cairo_set_source(cr, cap);
  cairo_fill(cr);
  cairo_pattern_destroy(cap);
  // Pointer.
  const double a = radians(knobAngle(frame));
  const double ca = std::cos(a), sa = std::sin(a);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, side * 0.06);
  cairo_move_to(cr, c + ca * r * 0.28, c + sa * r * 0.28);
  cairo_line_to(cr, c + ca * r * 0.92, c + sa * r * 0.92);
  setSource(cr, kHeading);
  cairo_stroke(cr);
}

// The modulation ring: a dim track all round and the lit arc from the start (or from the top when
// centred) to the frame's angle.
void ring(const Painter& p, double side, int frame, bool centred) {
  cairo_t* cr = p.context();
  const auto g = knobGeometry(side);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_width(cr, g.ringWidth);
  cairo_new_path(cr);
  cairo_arc(cr, g.centre, g.centre, g.ring, radians(-135), radians(135));
  setSource(cr, kUnlit);
  cairo_stroke(cr);
  const double from = centred ? 0.0 : -135.0, to = knobAngle(frame);
  if (std::abs(to - from) < 1e-9) return;
  const double a0 = radians(std::min(from, to)), a1 = radians(std::max(from, to));
  cairo_new_path(cr);
  cairo_arc(cr, g.centre, g.centre, g.ring, a0, a1);
  cairo_set_line_width(cr, g.ringWidth * 1.9);
  setSource(cr, withAlpha(kLit, 55));
  cairo_stroke_preserve(cr);
  cairo_set_line_width(cr, g.ringWidth);
  setSource(cr, kLit);
  cairo_stroke(cr);
}

//------------------------------------------------------------------------------------------------
// Displays and strips.

// The widener display: a stereo field as wide as the step (0 mono .. 4 widest).
void widenerDisplay(const Painter& p, double w, double h, int step) {
  cairo_t* cr = p.context();
  p.fillRect(0, 0, w, h, kWell);
  const double cx = w / 2, base = h - 4;
  p.line(cx, 3, cx, h - 3, withAlpha(kLabel, 70));
  const double spread = 2 + (w / 2 - 5) * step / 4.0;
  cairo_new_path(cr);
  cairo_move_to(cr, cx, base);
  cairo_line_to(cr, cx - spread, 5);
  cairo_curve_to(cr, cx - spread * 0.5, 2, cx + spread * 0.5, 2, cx + spread, 5);
  cairo_close_path(cr);
  setSource(cr, withAlpha(kLit, 70));
  cairo_fill_preserve(cr);
  setSource(cr, kLit);
  cairo_set_line_width(cr, std::max(1.0, p.zoom()) / p.zoom());
  cairo_stroke(cr);
}

// The compressor meter: a bar lit to step k of 46 over a dim track, with a scale below. The lit
// length is a whole number of device pixels and grows by at least one pixel per step.
void compressorMeter(const Painter& p, double w, double h, int step) {
  p.fillRect(0, 0, w, h, kWell);
  const double s = p.zoom();
  const double x0 = p.snap(4), usablePx = std::trunc((w - 8) * s);
  const double top = 5, barHeight = h - 15;
  p.fillRect(x0, top, usablePx / s, barHeight, kUnlit);
  const double litPx = std::round(usablePx * step / 46.0);
  if (litPx > 0) {
    cairo_t* cr = p.context();
    cairo_pattern_t* g = cairo_pattern_create_linear(x0, 0, x0 + usablePx / s, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, GREEN_LINE_COLOR.red / 255.0, GREEN_LINE_COLOR.green / 255.0,
                                     GREEN_LINE_COLOR.blue / 255.0);
    cairo_pattern_add_color_stop_rgb(g, 1, kLit.red / 255.0, kLit.green / 255.0, kLit.blue / 255.0);
    cairo_new_path(cr);
    cairo_rectangle(cr, x0, p.snap(top), litPx / s, p.snap(top + barHeight) - p.snap(top));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  // Segment marks over the bar, the scale under it.
  for (int k = 1; k < 23; ++k) {
    const double x = x0 + std::trunc(usablePx * k / 23.0) / s;
    p.line(x, top, x, top + barHeight, withAlpha(kWell, 150));
  }
  for (int k = 0; k <= 4; ++k) {
    const double x = x0 + std::trunc((usablePx - 1) * k / 4.0) / s;
    p.line(x, h - 8, x, h - 4, kLabel);
  }
}

// The lit level meter: green at the bottom to red at the top, segments on a transparent ground.
void levelMeter(const Painter& p, double w, double h) {
  const int segments = 12;
  for (int k = 0; k < segments; ++k) {
    const double t = 1.0 - (k + 0.5) / segments;  // 0 bottom .. 1 top
    const CColor c = t < 0.6 ? mix(GREEN_LINE_COLOR, kLit, t / 0.6)
                             : mix(CColor(230, 220, 40), CColor(240, 50, 30), (t - 0.6) / 0.4);
    p.fillRect(0, h * k / segments + 0.5, w, h / segments - 1, withAlpha(c, 235));
  }
}

// The Disrupt slider's handle; the strip animates a light running down its grip.
void sliderHandle(const Painter& p, double w, double h, int frame, bool ghost) {
  cairo_t* cr = p.context();
  if (ghost) {
    p.fillRound(1, 1, w - 2, h - 2, 3, withAlpha(kLit, 45));
    cairo_new_path(cr);
    cairo_rectangle(cr, 1.5, 1.5, w - 3, h - 3);
    setSource(cr, withAlpha(kLit, 150));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return;
  }
  p.fillRound(0, 0, w, h, 3, kPanelEdgeDark);
  p.verticalGradient(1, 1, w - 2, h - 2, 3, mix(kPanelEdgeLight, kHeading, 0.25), kPanelLow);
  const double phase = frame / 69.0;
  for (int k = 0; k < 8; ++k) {
    const double y = 6 + (h - 12) * k / 7.0;
    double glow = std::fmod(phase - k / 8.0 + 1.0, 1.0);
    glow = std::pow(1.0 - glow, 3.0);
    p.line(5, y, w - 5, y, mix(kPanelEdgeDark, kLit, 0.15 + 0.85 * glow), 1.2);
  }
  p.line(w / 2, 3, w / 2, h - 3, withAlpha(kHeading, 70), 1);
}

// The wave-shaper's column: its top row sits on the curve, the rest fades downwards.
void waveShaperDot(const Painter& p, double w, double h) {
  cairo_t* cr = p.context();
  const double top = p.hairline();
  p.fillRect(0, 0, w, top, kLit);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, top, 0, h);
  cairo_pattern_add_color_stop_rgba(g, 0, kLit.red / 255.0, kLit.green / 255.0, kLit.blue / 255.0, 0.6);
  cairo_pattern_add_color_stop_rgba(g, 1, GREEN_LINE_COLOR.red / 255.0, GREEN_LINE_COLOR.green / 255.0,
                                    GREEN_LINE_COLOR.blue / 255.0, 0.06);
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, top, w, h - top);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

// The lazy-mode rocker: the mode's name and five position dots.
void rocker(const Painter& p, double w, double h, int mode) {
  static constexpr std::array<const char*, 5> kModes = {"Left/Right", "Left", "Right", "Left Saw", "Right Saw"};
  p.well(0, 0, w, h, 3);
  p.text(kModes[mode], 2, 1, w - 4, h - 7, p.fitSize(kModes[mode], w - 6, 10), kHeading);
  for (int k = 0; k < 5; ++k) {
    const double x = w / 2 + (k - 2) * 7;
    p.fillRound(x - 1.5, h - 6, 3, 3, 1.5, k == mode ? kLit : kUnlit);
  }
}

}  // namespace

void drawFrame(const Painter& p, const BitmapSize& b, int f) {
  const double w = b.width, h = b.height;
  const bool on = f == 1;
  const int id = b.id;
  if (b.role == "unused") return;
  if (id == 10000) return mainBackground(p);
  if (id == 10001) return settingsBackground(p);
  if (id >= 10010 && id <= 10016) return distortionBox(p, id == 10010 ? 0 : id - 10008, false);
  if (id >= 10017 && id <= 10023) return distortionBox(p, id == 10017 ? 0 : id - 10015, true);
  switch (id) {
    case 10024: return filterBox(p);
    case 10025: return compressorBox(p);
    case 10026: return widenerBox(p, false);
    case 10027: return widenerBox(p, true);
    case 10030: return disruptScreen(p);
    case 10031: return followerScreen(p);
    case 10032: return waveShaperScreen(p);
    case 10033: return modScreen(p, false);
    case 10034: return modScreen(p, true);
    case 10040: return switchBar(p, w, h, on);
    case 10046: return tab(p, w, h, "Disrupt", on);
    case 10047: return tab(p, w, h, "Follower", on);
    case 10048: return tab(p, w, h, "WaveShaper", on);
    case 10049: return tab(p, w, h, "Mod/LFO", on);
    case 10050: return arrow(p, w, h, false, on);
    case 10051: return arrow(p, w, h, true, on);
    case 10052: return ledButton(p, w, h, on ? "Mode 2" : "Mode 1", on);
    case 10053: return kickButton(p, w, h, "Edited", on, 1);
    case 10054:
    case 10055: return kickButton(p, w, h, "Edited", on, 0);
    case 10056: return kickButton(p, w, h, "Original", on, -1);
    case 10057: return kickButton(p, w, h, "Help", on, -1);
    case 10058: return ledButton(p, w, h, "Bypass", on);
    case 10070: return widenerDisplay(p, w, h, f);
    case 10071: return compressorMeter(p, w, h, f);
    case 10072: return levelMeter(p, w, h);
    case 10073: return sliderHandle(p, w, h, f, false);
    case 10074: return sliderHandle(p, w, h, 0, true);
    case 10075: return waveShaperDot(p, w, h);
    case 10076: return ledButton(p, w, h, "On", on);
    case 10077: return rocker(p, w, h, f);
    case 10078: return ledButton(p, w, h, "G1 EQ", on);
    case 10080:
    case 10083: return knob(p, w, f);
    case 10081:
    case 10084: return ring(p, w, f, false);
    case 10082:
    case 10085: return ring(p, w, f, true);
    case 10091: return ledButton(p, w, h, "GATE", on);
    case 10092: return ledButton(p, w, h, "HIGH-PASS", on);
    case 10093: return ledButton(p, w, h, "LOW-PASS", on);
    case 10094: return ledButton(p, w, h, "COMPRESSOR", on);
    case 10095:
    case 10096: return ledButton(p, w, h, "On", on);
    case 10097: return modeSwitch(p, w, h, on);
    case 10098: return p.led(w / 2, h / 2, w / 2 - 0.5, on);
    default: return;
  }
}

}  // namespace art
