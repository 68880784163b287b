#include "artBitmaps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "include/guiTables.h"

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

// The side of a square frame of bitmap `id` at mode m (0 when the table lacks it).
int frameSide(int id, const std::vector<BitmapSize>& table, int mode) {
  for (const BitmapSize& r : table)
    if (r.id == id) return scaledSide(r.width, mode);
  return 0;
}

// One background being painted at one size: the controls' rectangles come from the layout's place
// table at this size, so every field, panel, seat and label follows the per-size corrections.
struct Sheet {
  const Painter& p;
  int mode;
  const std::vector<BitmapSize>& table;
  Inventory* inventory;

  double z() const { return p.zoom(); }
  PixelRect rect(const AreaPlace& a) const { return placeRect(a, mode); }
  PixelRect rect(const BitmapPlace& b) const {
    for (const BitmapSize& r : table)
      if (r.id == b.bitmap) return placeRect(b, mode, scaledSide(r.width, mode), scaledSide(r.height, mode));
    return placeRect(b, mode, 0, 0);
  }
  // A small knob's whole control.
  PixelRect rect(const KnobPlace& k) const { return placeRect(k, mode, frameSide(KNOB_BMP, table, mode)); }
};

// Where a label stands to the control it names; `on` paints it on the face of a control that draws
// no text of its own.
enum class Side { left, right, above, below, on };

// A label beside the control at r (device pixels), `gap` 100 % units clear of it.
void labelBy(const Sheet& s, const std::string& t, const PixelRect& r, const void* names, Side side,
             double gap = 4, double size = kLabelSize, double lineHeight = 12) {
  const CColor& colour = kLabel;
  const double z = s.z(), g = std::round(gap * z) / z, wide = 240;
  const double left = r.left / z, top = r.top / z, right = r.right / z, bottom = r.bottom / z;
  Painter::Ink ink{};
  switch (side) {
    case Side::left:
      ink = s.p.text(t, left - g - wide, top, wide, bottom - top, size, colour, Align::right);
      break;
    case Side::right:
      ink = s.p.text(t, right + g, top, wide, bottom - top, size, colour, Align::left);
      break;
    case Side::above:
      ink = s.p.text(t, left - wide, top - g - lineHeight, right - left + 2 * wide, lineHeight, size, colour);
      break;
    case Side::below:
      ink = s.p.text(t, left - wide, bottom + g, right - left + 2 * wide, lineHeight, size, colour);
      break;
    case Side::on:
      ink = s.p.text(t, left, top, right - left, bottom - top, size, colour);
      break;
  }
  if (s.inventory)
    s.inventory->labels.push_back(
        {t, ink.x * z, ink.y * z, (ink.x + ink.w) * z, (ink.y + ink.h) * z, names, side == Side::on});
}
template <typename Place>
void labelBy(const Sheet& s, const std::string& t, const Place& place, Side side, double gap = 4) {
  labelBy(s, t, s.rect(place), &place, side, gap);
}
// A label that names no control (a heading, a section's name): recorded so that it keeps off them.
void freeLabel(const Sheet& s, const std::string& t, double x, double y, double w, double h,
               Align align = Align::centre, double size = kLabelSize, const CColor& colour = kLabel) {
  const Painter::Ink ink = s.p.text(t, x, y, w, h, size, colour, align);
  const double z = s.z();
  if (s.inventory && ink.w > 0)
    s.inventory->labels.push_back(
        {t, ink.x * z, ink.y * z, (ink.x + ink.w) * z, (ink.y + ink.h) * z, nullptr, false});
}
void freeHeading(const Sheet& s, const std::string& t, double x, double y, double w, double h,
                 Align align = Align::left) {
  freeLabel(s, t, x, y, w, h, align, kHeadingSize, kHeading);
}

// A field under a menu, 2 px larger on every side.
void field(const Sheet& s, const AreaPlace& menu) {
  const PixelRect r = s.rect(menu);
  const double z = s.z(), e = 2;
  s.p.well(r.left / z - e, r.top / z - e, r.width() / z + 2 * e, r.height() / z + 2 * e, 3);
}

// A dark panel under a graph screen, one pixel larger than the screen.
void screenPanel(const Sheet& s, const AreaPlace& screen) {
  const PixelRect r = s.rect(screen);
  const double z = s.z(), e = 1;
  s.p.well(r.left / z - e, r.top / z - e, r.width() / z + 2 * e, r.height() / z + 2 * e, 2);
}

// A seat under a knob image (x, y its top-left corner): a shallow recess round the disc, painted
// in two layers (the rim, then the floor) so that joined seats share one floor.
void seat(const Painter& p, double x, double y, double side, int layer) {
  cairo_t* cr = p.context();
  const double c = side / 2, r = side / 2 + 1.5;
  cairo_new_path(cr);
  if (layer == 0) {
    cairo_arc(cr, x + c, y + c, r, 0, 2 * kPi);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y + c - r, 0, y + c + r);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.07, 0.075, 0.08);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.2, 0.21, 0.23);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    return;
  }
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

void mainBackground(const Sheet& s) {
  const Painter& p = s.p;
  frameBackground(p, 1100, 712);
  // Header.
  p.verticalGradient(0, 0, 1100, 112, 0, mix(kPanel, kFrameTop, 0.3), kFrameTop);
  p.line(0, 111, 1100, 111, kDivider);
  p.line(0, 112, 1100, 112, kPanelEdgeLight);
  labelBy(s, "Preset", PRESET_MENU_PLACE, Side::left, 8);
  field(s, PRESET_MENU_PLACE);
  labelBy(s, "Folder", FOLDER_MENU_PLACE, Side::left, 8);
  field(s, FOLDER_MENU_PLACE);
  // The ECS menu draws no text of its own: its field says what it opens.
  field(s, ECS_MENU_PLACE);
  labelBy(s, "ECS", ECS_MENU_PLACE, Side::on);
  // The manager area has no bitmap of its own: a text link.
  {
    const PixelRect r = s.rect(MANAGER_AREA_PLACE);
    // A little above the middle, clear of the underline.
    const int rise = static_cast<int>(std::round(2 * s.z()));
    labelBy(s, "Manager", {r.left, r.top, r.right, r.bottom - rise}, &MANAGER_AREA_PLACE, Side::on);
    const double z = s.z(), under = r.bottom / z - 1;
    p.line(r.left / z + 18, under, r.right / z - 18, under, withAlpha(kLabel, 110));
  }
  for (const BitmapPlace& m : VU_METER_PLACES) {
    const PixelRect r = s.rect(m);
    const double z = s.z();
    meterSlot(p, r.left / z, r.top / z, r.width() / z, r.height() / z);
  }
  {
    // Each pair's name under the pair.
    const PixelRect in0 = s.rect(VU_METER_PLACES[0]), in1 = s.rect(VU_METER_PLACES[1]);
    const PixelRect out0 = s.rect(VU_METER_PLACES[2]), out1 = s.rect(VU_METER_PLACES[3]);
    labelBy(s, "In", {in0.left, in0.top, in1.right, in1.bottom}, &VU_METER_PLACES[0], Side::below, 2);
    labelBy(s, "Out", {out0.left, out0.top, out1.right, out1.bottom}, &VU_METER_PLACES[2], Side::below, 2);
  }
  {
    const PixelRect r = s.rect(SETTINGS_AREA_PLACE);
    productName(p, r.left / s.z(), r.top / s.z(), r.width() / s.z(), r.height() / s.z());
  }
  // The control menu's glyph.
  {
    const PixelRect r = s.rect(CONTROL_MENU_AREA_PLACE);
    const double z = s.z();
    for (int k = 0; k < 3; ++k) p.fillRect(r.left / z + 2, r.top / z + 1 + 3.5 * k, 12, 1.6, kLabel);
  }
  // Behind the module boxes (the boxes cover this).
  p.well(27, 115, 1046, 324, 4);
  labelBy(s, "Path", PATH_MENU_PLACE, Side::left, 6);
  field(s, PATH_MENU_PLACE);
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
  p.well(219, 581, 104, 20, 3);
  label(p, "applies when Grindle 2 is next loaded", 332, 583, 320, 16, Align::left);
}

//------------------------------------------------------------------------------------------------
// Module boxes.

void boxFrame(const Painter& p, double w, double h) {
  p.fillRect(0, 0, w, h, kFrameBottom);
  p.panel(1, 1, w - 2, h - 2, 5);
}

// Seats under the images of knobs that take turns on one spot (a type slot's plain and centred
// knob): one recess round each image, joined where the images stand apart at this size.
void seatsFor(const Sheet& s, std::initializer_list<const KnobPlace*> knobs) {
  const double z = s.z(), side = 40;
  std::vector<std::pair<double, double>> corners;
  for (const KnobPlace* k : knobs) {
    const std::pair<double, double> c{knobImageLeft(*k, s.mode) / z, knobImageTop(*k, s.mode) / z};
    if (std::find(corners.begin(), corners.end(), c) == corners.end()) corners.push_back(c);
  }
  for (int layer = 0; layer < 2; ++layer)
    for (const auto& [x, y] : corners) seat(s.p, x, y, side, layer);
  if (s.inventory)
    for (const auto& [x, y] : corners) s.inventory->seats.push_back({(x + side / 2) * z, (y + side / 2) * z});
}

void distortionBox(const Sheet& s, int knobs, bool oldEQ) {
  const Painter& p = s.p;
  boxFrame(p, 616, 320);
  freeHeading(s, "DISTORTION", 10, 5, 140, 20);
  labelBy(s, "Type", DISTORT_TYPE_MENU_PLACE, Side::left, 6);
  field(s, DISTORT_TYPE_MENU_PLACE);
  labelBy(s, "Curve", DISTORT_SCREEN_PLACE, Side::above, 2);
  screenPanel(s, DISTORT_SCREEN_PLACE);
  p.well(145, 44, 288, 150, 4);
  for (size_t i = 0; i < static_cast<size_t>(knobs); ++i)
    seatsFor(s, {&TYPE_KNOB_PLACES[i], &TYPE_KNOB_CENTRED_PLACES[i]});
  labelBy(s, "Output", MAIN_MIX_KNOB_PLACE, Side::above, 2);
  // EQ row: each EQ's name before its view radio, then its on switch.
  labelBy(s, "Pre-EQ", EQ_VIEW_BUTTON_PLACES[0], Side::left);
  labelBy(s, "On", PRE_EQ_SWITCH_PLACE, Side::left, 5);
  labelBy(s, "Post-EQ", EQ_VIEW_BUTTON_PLACES[1], Side::left);
  labelBy(s, "On", POST_EQ_SWITCH_PLACE, Side::left, 5);
  if (oldEQ) {
    const PixelRect r = s.rect(EQ_SCREEN_PLACE);
    const double z = s.z();
    p.well(r.left / z, r.top / z, r.width() / z, r.height() / z, 3);
    freeLabel(s, "GRINDLE 1 EQ", r.left / z + 6, r.top / z + 2, 200, 14, Align::left, 9);
    for (const KnobPlace& k : OLD_EQ_KNOB_PLACES) seatsFor(s, {&k});
  } else {
    screenPanel(s, EQ_SCREEN_PLACE);
  }
  // The noise gate's column.
  p.line(516, 8, 516, 312, kDivider);
  p.line(517, 8, 517, 312, kPanelEdgeLight);
  {
    const PixelRect r = s.rect(GATE_LAMP_PLACE);
    const double z = s.z();
    p.well(r.left / z - 2, r.top / z - 2, r.width() / z + 4, r.height() / z + 4, 2);
  }
}

void filterBox(const Sheet& s) {
  const Painter& p = s.p;
  boxFrame(p, 157, 320);
  for (int half = 0; half < 2; ++half) {
    const auto& types = half == 0 ? HIGH_PASS_TYPE_PLACES : LOW_PASS_TYPE_PLACES;
    labelBy(s, "12 dB", types[0], Side::left, 3);
    labelBy(s, "24 dB", types[1], Side::left, 3);
    labelBy(s, "ZD", half == 0 ? HIGH_PASS_ZD_SWITCH_PLACE : LOW_PASS_ZD_SWITCH_PLACE, Side::above, 1);
  }
  p.line(6, 143, 151, 143, kDivider);
  p.line(6, 144, 151, 144, kPanelEdgeLight);
}

void compressorBox(const Sheet& s) {
  boxFrame(s.p, 154, 320);
  labelBy(s, "Gain Reduction", COMPRESSOR_METER_PLACE, Side::above, 2);
  screenPanel(s, COMPRESSOR_METER_PLACE);
}

void widenerBox(const Sheet& s, bool chorus) {
  boxFrame(s.p, 115, 320);
  screenPanel(s, WIDENER_DISPLAY_PLACE);
  labelBy(s, chorus ? "Chorus" : "Stereo Width", WIDENER_DISPLAY_PLACE, Side::below, 2);
}

//------------------------------------------------------------------------------------------------
// The bottom box's five screens.

void bottomFrame(const Painter& p) { boxFrame(p, 1042, 209); }

void disruptScreen(const Sheet& s) {
  const Painter& p = s.p;
  bottomFrame(p);
  labelBy(s, "Spring Time", DISRUPT_SPRING_MENU_PLACE, Side::above, 2);
  field(s, DISRUPT_SPRING_MENU_PLACE);
  labelBy(s, "Quantize", DISRUPT_QUANT_MENU_PLACE, Side::above, 2);
  field(s, DISRUPT_QUANT_MENU_PLACE);
  // The slider's track: the handle (24 wide) travels over the rest; centre, eighths and ends marked.
  const PixelRect slider = s.rect(DISRUPT_SLIDER_PLACE);
  const double z = s.z(), sx = slider.left / z, sy = slider.top / z, sw = slider.width() / z;
  p.well(sx, sy, sw, 48, 4);
  const double travel = sw - 24, first = sx + 12;
  p.fillRound(first, sy + 21, travel, 6, 3, kPanelEdgeDark);
  p.fillRound(first + 1, sy + 22, travel - 2, 4, 2, kUnlit);
  for (int k = 0; k <= 8; ++k) {
    const double x = std::round(first + travel * k / 8.0);
    const bool major = k % 4 == 0;
    p.line(x, sy + (major ? 4 : 8), x, sy + (major ? 14 : 12), major ? kLabel : kUnlit);
    p.line(x, sy + (major ? 34 : 36), x, sy + (major ? 44 : 40), major ? kLabel : kUnlit);
  }
  labelBy(s, "Reset to Center", DISRUPT_RESET_BUTTON_PLACE, Side::right, 4);
  // Disrupt slots: the knob's seat and the name of its on switch.
  for (const KnobPlace& k : DISRUPT_KNOB_PLACES) seatsFor(s, {&k});
  for (const BitmapPlace& on : DISRUPT_ON_SWITCH_PLACES) labelBy(s, "On", on, Side::above, 1);
  // The rule between the slider and the slots stops short of the lazy column's labels.
  p.line(8, 118, 976, 118, kDivider);
  p.line(8, 119, 976, 119, kPanelEdgeLight);
  // Lazy mode.
  freeHeading(s, "Lazy Mode", 919, 2, 118, 14, Align::centre);
  {
    // Under the switch's left part: centred, the word would reach the speed knob's ring.
    const PixelRect r = s.rect(DISRUPT_SYNC_SWITCH_PLACE);
    labelBy(s, "Sync", {r.left, r.top, r.left + r.width() * 2 / 3, r.bottom}, &DISRUPT_SYNC_SWITCH_PLACE,
            Side::below, 1);
  }
  labelBy(s, "On", DISRUPT_LAZY_ON_SWITCH_PLACE, Side::below, 1);
  labelBy(s, "Lazy Mode", DISRUPT_ROCKER_PLACE, Side::below, 1);
}

void followerScreen(const Sheet& s) {
  const Painter& p = s.p;
  bottomFrame(p);
  screenPanel(s, FOLLOWER_SCREEN_PLACE);
  freeLabel(s, "Follower", 20, 4, 407, 12, Align::left);
  labelBy(s, "Source", FOLLOWER_SOURCE_MENU_PLACE, Side::left, 6);
  field(s, FOLLOWER_SOURCE_MENU_PLACE);
  p.line(452, 8, 452, 201, kDivider);
  p.line(453, 8, 453, 201, kPanelEdgeLight);
  for (size_t j = 0; j < 3; ++j) {
    const std::string n = std::to_string(j + 1);
    labelBy(s, "Destination " + n, FOLLOWER_DEST_MENU_PLACES[j], Side::above, 2);
    field(s, FOLLOWER_DEST_MENU_PLACES[j]);
    labelBy(s, "Bypass", FOLLOWER_ON_SWITCH_PLACES[j], Side::above, 2);
    labelBy(s, "Mod Source " + n, FOLLOWER_MOD_SOURCE_MENU_PLACES[j], Side::above, 2);
    field(s, FOLLOWER_MOD_SOURCE_MENU_PLACES[j]);
  }
}

void waveShaperScreen(const Sheet& s) {
  bottomFrame(s.p);
  freeLabel(s, "Mode", 20, 2, 100, 12, Align::left);
  labelBy(s, "Uni-Polar", POLARITY_BUTTON_PLACES[0], Side::left, 6);
  labelBy(s, "Polar", POLARITY_BUTTON_PLACES[1], Side::left, 6);
  freeLabel(s, "Draw", 20, 78, 100, 12, Align::left);
  static constexpr std::array<const char*, 3> kDraw = {"Point", "Line", "Erase"};
  for (size_t i = 0; i < 3; ++i) labelBy(s, kDraw[i], DRAW_MODE_BUTTON_PLACES[i], Side::left, 6);
  for (size_t k = 0; k < 2; ++k) {
    labelBy(s, k == 0 ? "WaveShaper 1" : "WaveShaper 2", WAVESHAPER_SCREEN_PLACES[k], Side::above, 2);
    screenPanel(s, WAVESHAPER_SCREEN_PLACES[k]);
    labelBy(s, "Distort Mode", WAVESHAPER_MODE_MENU_PLACES[k], Side::above, 1);
    field(s, WAVESHAPER_MODE_MENU_PLACES[k]);
    // Above its button: beside it the word would run into the amount knob's caption.
    labelBy(s, "Apply", APPLY_BUTTON_PLACES[k], Side::above, 2);
  }
}

void modScreen(const Sheet& s, bool advanced) {
  const Painter& p = s.p;
  bottomFrame(p);
  freeHeading(s, advanced ? "Advanced Mod Matrix" : "Mod Matrix", 14, 2, 300, 14);
  labelBy(s, "Advanced", ADVANCED_SWITCH_PLACE, Side::left, 4);
  // The matrix: column headings at the column edges, rows striped, edges ruled.
  const PixelRect m = s.rect(MOD_SCREEN_PLACE);
  const double z = s.z(), mx = m.left / z, my = m.top / z;
  screenPanel(s, MOD_SCREEN_PLACE);
  const int32_t* edges = advanced ? ADV_MOD_COLUMN[0] : BASIC_MOD_COLOUMN[0];
  const int columns = advanced ? ADV_MOD_COLUMNS : BASIC_MOD_COLUMNS;
  static constexpr std::array<const char*, 8> kHeadings = {"#",      "Byp",    "Source", "Destination",
                                                           "Amount", "Offset", "Lower",  "Upper"};
  for (int r = 1; r < 10; r += 2) p.fillRect(mx, my + 16 * r, 500, 16, mix(kWell, kPanelLow, 0.45));
  for (int c = 0; c < columns; ++c) {
    freeLabel(s, kHeadings[static_cast<size_t>(c)], mx + edges[c], my - 14, edges[c + 1] - edges[c], 12);
    if (c > 0) p.line(mx + edges[c], my, mx + edges[c], my + 160, mix(kWell, kPanelEdgeLight, 0.35));
  }
  // LFO pages.
  p.line(532, 8, 532, 201, kDivider);
  p.line(533, 8, 533, 201, kPanelEdgeLight);
  freeLabel(s, "LFO", 534, 6, 50, 12);
  for (size_t l = 0; l < 4; ++l) labelBy(s, std::to_string(l + 1), LFO_PAGE_BUTTON_PLACES[l], Side::left, 2);
  labelBy(s, "Sync", LFO_SYNC_SWITCH_PLACE, Side::above, 2);
  screenPanel(s, LFO_SCREEN_PLACE);
  labelBy(s, "Wave", LFO_WAVE_MENU_PLACE, Side::left, 6);
  field(s, LFO_WAVE_MENU_PLACE);
  labelBy(s, "Destination", LFO_DEST_MENU_PLACE, Side::above, 2);
  field(s, LFO_DEST_MENU_PLACE);
  labelBy(s, "Trigger", LFO_TRIGGER_MENU_PLACE, Side::left, 6);
  field(s, LFO_TRIGGER_MENU_PLACE);
  freeLabel(s, "Mode", 979, 89, 60, 12);
  static constexpr std::array<const char*, 4> kModes = {"Free", "Host", "Note", "MIDI"};
  for (size_t k = 0; k < 4; ++k) labelBy(s, kModes[k], LFO_MODE_BUTTON_PLACES[k], Side::right, 2);
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
  p.text(text, left, 0, width, h, p.fitSize(text, width, h > 20 ? 12 : 10), on ? kHeading : kLabel,
         Align::centre);
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
KnobGeometry knobGeometry(double side) { return {side / 2, side * 0.335, side * 0.43, side * 0.085}; }

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
  static constexpr std::array<const char*, 5> kModes = {"Left/Right", "Left", "Right", "Left Saw",
                                                        "Right Saw"};
  p.well(0, 0, w, h, 3);
  p.text(kModes[mode], 2, 1, w - 4, h - 7, p.fitSize(kModes[mode], w - 6, 10), kHeading);
  for (int k = 0; k < 5; ++k) {
    const double x = w / 2 + (k - 2) * 7;
    p.fillRound(x - 1.5, h - 6, 3, 3, 1.5, k == mode ? kLit : kUnlit);
  }
}

}  // namespace

void drawFrame(const Painter& p, const BitmapSize& b, int f, const std::vector<BitmapSize>& table,
               Inventory* inventory) {
  const double w = b.width, h = b.height;
  const double zoom = p.zoom();
  const Sheet s{p, zoom > 1.75 ? 2 : (zoom > 1.25 ? 1 : 0), table, inventory};
  const bool on = f == 1;
  const int id = b.id;
  if (b.role == "unused") return;
  if (id == MAIN_BACKGROUND_BMP) return mainBackground(s);
  if (id == SETTINGS_BACKGROUND_BMP) return settingsBackground(p);
  // Entries 0..2 of each set share its first image.
  if (id >= DISTORT_BOX_BMP && id <= DISTORT_BOX_LAST_BMP)
    return distortionBox(s, id == DISTORT_BOX_BMP ? 0 : id - DISTORT_BOX_BMP + 2, false);
  if (id >= DISTORT_BOX_OLD_EQ_BMP && id <= DISTORT_BOX_OLD_EQ_LAST_BMP)
    return distortionBox(s, id == DISTORT_BOX_OLD_EQ_BMP ? 0 : id - DISTORT_BOX_OLD_EQ_BMP + 2, true);
  switch (id) {
    case FILTER_BOX_BMP:
      return filterBox(s);
    case COMPRESSOR_BOX_BMP:
      return compressorBox(s);
    case WIDENER_BOX_BMP:
      return widenerBox(s, false);
    case CHORUS_BOX_BMP:
      return widenerBox(s, true);
    case BOTTOM_BOX_BMP:
      return disruptScreen(s);
    case FOLLOWER_BOX_BMP:
      return followerScreen(s);
    case WAVESHAPER_BOX_BMP:
      return waveShaperScreen(s);
    case MOD_BOX_BMP:
      return modScreen(s, false);
    case ADVANCED_MOD_BOX_BMP:
      return modScreen(s, true);
    case SWITCH_BMP:
      return switchBar(p, w, h, on);
    case TAB_BMP:
      return tab(p, w, h, "Disrupt", on);
    case TAB_BMP + 1:
      return tab(p, w, h, "Follower", on);
    case TAB_BMP + 2:
      return tab(p, w, h, "WaveShaper", on);
    case TAB_LAST_BMP:
      return tab(p, w, h, "Mod/LFO", on);
    case MENU_LEFT_ARROW_BMP:
      return arrow(p, w, h, false, on);
    case MENU_RIGHT_ARROW_BMP:
      return arrow(p, w, h, true, on);
    case COMPRESSOR_MODE_BMP:
      return ledButton(p, w, h, on ? "Mode 2" : "Mode 1", on);
    case EDITED_ON_BMP:
      return kickButton(p, w, h, "Edited", on, 1);
    case EDITED_OFF_BMP:
    case EDITED_BUTTON_BMP:
      return kickButton(p, w, h, "Edited", on, 0);
    case ORIGINAL_BUTTON_BMP:
      return kickButton(p, w, h, "Original", on, -1);
    case HELP_BUTTON_BMP:
      return kickButton(p, w, h, "Help", on, -1);
    case BYPASS_SWITCH_BMP:
      return ledButton(p, w, h, "Bypass", on);
    case WIDENER_DISPLAY_BMP:
      return widenerDisplay(p, w, h, f);
    case COMPRESSOR_METER_BMP:
      return compressorMeter(p, w, h, f);
    case VU_BMP:
      return levelMeter(p, w, h);
    case SLIDER_BMP:
      return sliderHandle(p, w, h, f, false);
    case SLIDER_MOD_BMP:
      return sliderHandle(p, w, h, 0, true);
    case WAVESHAPER_DOT_BMP:
      return waveShaperDot(p, w, h);
    case ON_LED_BMP:
      return ledButton(p, w, h, "On", on);
    case ROCKER_BMP:
      return rocker(p, w, h, f);
    case OLD_EQ_SWITCH_BMP:
      return ledButton(p, w, h, "G1 EQ", on);
    case KNOB_BMP:
    case LARGE_KNOB_BMP:
      return knob(p, w, f);
    case SMALL_RING_BMP:
    case LARGE_RING_BMP:
      return ring(p, w, f, false);
    case SMALL_CENTRED_RING_BMP:
    case LARGE_CENTRED_RING_BMP:
      return ring(p, w, f, true);
    case GATE_SWITCH_BMP:
      return ledButton(p, w, h, "GATE", on);
    case HIGH_PASS_SWITCH_BMP:
      return ledButton(p, w, h, "HIGH-PASS", on);
    case LOW_PASS_SWITCH_BMP:
      return ledButton(p, w, h, "LOW-PASS", on);
    case COMPRESSOR_SWITCH_BMP:
      return ledButton(p, w, h, "COMPRESSOR", on);
    case WIDENER_ON_BMP:
    case CHORUS_ON_BMP:
      return ledButton(p, w, h, "On", on);
    case WIDENER_MODE_BMP:
      return modeSwitch(p, w, h, on);
    case GATE_LAMP_BMP:
      return p.led(w / 2, h / 2, w / 2 - 0.5, on);
    default:
      return;
  }
}

namespace {

using Kind = ControlOnArt::Kind;

template <typename Place, size_t N>
void addAll(std::vector<ControlOnArt>& out, Kind kind, const std::array<Place, N>& places,
            bool seated = false) {
  for (const Place& p : places) out.push_back({kind, &p, seated});
}

}  // namespace

std::vector<ControlOnArt> controlsOn(int id) {
  std::vector<ControlOnArt> c;
  if (id == MAIN_BACKGROUND_BMP) {
    for (const AreaPlace* a : {&PRESET_MENU_PLACE, &FOLDER_MENU_PLACE, &MANAGER_AREA_PLACE, &ECS_MENU_PLACE,
                               &SETTINGS_AREA_PLACE, &CONTROL_MENU_AREA_PLACE, &PATH_MENU_PLACE})
      c.push_back({Kind::area, a});
    for (const BitmapPlace* b :
         {&EDITED_BUTTON_PLACE, &ORIGINAL_BUTTON_PLACE, &HELP_BUTTON_PLACE, &HEADER_SWITCH_PLACE})
      c.push_back({Kind::bitmap, b});
    addAll(c, Kind::bitmap, VU_METER_PLACES);
    addAll(c, Kind::bitmap, TAB_BUTTON_PLACES);
    c.push_back({Kind::knob, &HEADER_VOLUME_KNOB_PLACE});
  } else if ((id >= DISTORT_BOX_BMP && id <= DISTORT_BOX_LAST_BMP) ||
             (id >= DISTORT_BOX_OLD_EQ_BMP && id <= DISTORT_BOX_OLD_EQ_LAST_BMP)) {
    const bool oldEQ = id >= DISTORT_BOX_OLD_EQ_BMP;
    const int k = id - (oldEQ ? DISTORT_BOX_OLD_EQ_BMP : DISTORT_BOX_BMP);
    const size_t knobs = k == 0 ? 0 : static_cast<size_t>(k + 2);
    for (size_t i = 0; i < knobs; ++i) {
      c.push_back({Kind::knob, &TYPE_KNOB_PLACES[i], true});
      c.push_back({Kind::knob, &TYPE_KNOB_CENTRED_PLACES[i], true});
    }
    if (oldEQ) {
      addAll(c, Kind::knob, OLD_EQ_KNOB_PLACES, true);
      c.push_back({Kind::bitmap, &OLD_EQ_SWITCH_PLACE});
    } else {
      c.push_back({Kind::area, &EQ_SCREEN_PLACE});
    }
    for (const KnobPlace* kp : {&MAIN_MIX_KNOB_PLACE, &DISTORT_VOLUME_KNOB_PLACE})
      c.push_back({Kind::knob, kp});
    addAll(c, Kind::knob, GATE_KNOB_PLACES);
    for (const AreaPlace* a : {&DISTORT_TYPE_MENU_PLACE, &DISTORT_SCREEN_PLACE, &GATE_LAMP_PLACE})
      c.push_back({Kind::area, a});
    for (const BitmapPlace* b : {&PRE_EQ_SWITCH_PLACE, &POST_EQ_SWITCH_PLACE, &GATE_SWITCH_PLACE})
      c.push_back({Kind::bitmap, b});
    addAll(c, Kind::bitmap, EQ_VIEW_BUTTON_PLACES);
  } else if (id == FILTER_BOX_BMP) {
    addAll(c, Kind::knob, FILTER_KNOB_PLACES);
    for (const BitmapPlace* b : {&HIGH_PASS_SWITCH_PLACE, &HIGH_PASS_ZD_SWITCH_PLACE, &LOW_PASS_SWITCH_PLACE,
                                 &LOW_PASS_ZD_SWITCH_PLACE})
      c.push_back({Kind::bitmap, b});
    addAll(c, Kind::bitmap, HIGH_PASS_TYPE_PLACES);
    addAll(c, Kind::bitmap, LOW_PASS_TYPE_PLACES);
  } else if (id == COMPRESSOR_BOX_BMP) {
    addAll(c, Kind::knob, COMPRESSOR_KNOB_PLACES);
    c.push_back({Kind::bitmap, &COMPRESSOR_SWITCH_PLACE});
    c.push_back({Kind::bitmap, &COMPRESSOR_MODE_SWITCH_PLACE});
    c.push_back({Kind::area, &COMPRESSOR_METER_PLACE});
  } else if (id == WIDENER_BOX_BMP || id == CHORUS_BOX_BMP) {
    addAll(c, Kind::knob, WIDENER_KNOB_PLACES);
    c.push_back({Kind::bitmap, id == WIDENER_BOX_BMP ? &WIDENER_ON_SWITCH_PLACE : &CHORUS_ON_SWITCH_PLACE});
    c.push_back({Kind::bitmap, &WIDENER_MODE_SWITCH_PLACE});
    c.push_back({Kind::area, &WIDENER_DISPLAY_PLACE});
  } else if (id == BOTTOM_BOX_BMP) {
    addAll(c, Kind::knob, DISRUPT_KNOB_PLACES, true);
    c.push_back({Kind::largeKnob, &DISRUPT_SPEED_KNOB_PLACE});
    addAll(c, Kind::bitmap, DISRUPT_ON_SWITCH_PLACES);
    for (const BitmapPlace* b : {&DISRUPT_SYNC_SWITCH_PLACE, &DISRUPT_LAZY_ON_SWITCH_PLACE,
                                 &DISRUPT_ROCKER_PLACE, &DISRUPT_RESET_BUTTON_PLACE})
      c.push_back({Kind::bitmap, b});
    for (const AreaPlace* a : {&DISRUPT_SPRING_MENU_PLACE, &DISRUPT_QUANT_MENU_PLACE, &DISRUPT_SLIDER_PLACE})
      c.push_back({Kind::area, a});
  } else if (id == FOLLOWER_BOX_BMP) {
    addAll(c, Kind::knob, FOLLOWER_KNOB_PLACES);
    addAll(c, Kind::knob, FOLLOWER_AMOUNT_KNOB_PLACES);
    addAll(c, Kind::knob, FOLLOWER_MOD_AMOUNT_KNOB_PLACES);
    addAll(c, Kind::bitmap, FOLLOWER_ON_SWITCH_PLACES);
    addAll(c, Kind::area, FOLLOWER_DEST_MENU_PLACES);
    addAll(c, Kind::area, FOLLOWER_MOD_SOURCE_MENU_PLACES);
    c.push_back({Kind::area, &FOLLOWER_SOURCE_MENU_PLACE});
    c.push_back({Kind::area, &FOLLOWER_SCREEN_PLACE});
  } else if (id == WAVESHAPER_BOX_BMP) {
    addAll(c, Kind::knob, WAVESHAPER_KNOB_PLACES);
    addAll(c, Kind::bitmap, POLARITY_BUTTON_PLACES);
    addAll(c, Kind::bitmap, DRAW_MODE_BUTTON_PLACES);
    addAll(c, Kind::bitmap, APPLY_BUTTON_PLACES);
    addAll(c, Kind::area, WAVESHAPER_MODE_MENU_PLACES);
    addAll(c, Kind::area, WAVESHAPER_SCREEN_PLACES);
  } else if (id == MOD_BOX_BMP || id == ADVANCED_MOD_BOX_BMP) {
    c.push_back({Kind::bitmap, &ADVANCED_SWITCH_PLACE});
    c.push_back({Kind::area, &MOD_SCREEN_PLACE});
    addAll(c, Kind::bitmap, LFO_PAGE_BUTTON_PLACES);
    addAll(c, Kind::bitmap, LFO_MODE_BUTTON_PLACES);
    for (const KnobPlace* k :
         {&LFO_SPEED_KNOB_PLACE, &LFO_HUMANIZE_KNOB_PLACE, &LFO_SHAPE_KNOB_PLACE, &LFO_AMOUNT_KNOB_PLACE})
      c.push_back({Kind::knob, k});
    c.push_back({Kind::bitmap, &LFO_SYNC_SWITCH_PLACE});
    for (const AreaPlace* a :
         {&LFO_WAVE_MENU_PLACE, &LFO_TRIGGER_MENU_PLACE, &LFO_DEST_MENU_PLACE, &LFO_SCREEN_PLACE})
      c.push_back({Kind::area, a});
  }
  return c;
}

PixelRect knobImage(const ControlOnArt& c, int mode, const std::vector<BitmapSize>& table) {
  const int side = frameSide(c.kind == Kind::largeKnob ? LARGE_KNOB_BMP : KNOB_BMP, table, mode);
  return knobImageRect(*static_cast<const KnobPlace*>(c.place), mode, side);
}

std::vector<PixelRect> coveredBy(const ControlOnArt& c, int mode, const std::vector<BitmapSize>& table) {
  switch (c.kind) {
    case Kind::knob:
    case Kind::largeKnob: {
      const PixelRect image = knobImage(c, mode, table);
      const int side = image.width();
      const PixelRect whole = placeRect(*static_cast<const KnobPlace*>(c.place), mode, side);
      // The two text lines start a little inside the image and run the control's width.
      const int rise = KNOB_START_LABEL_OFFSET[static_cast<size_t>(mode)];
      return {{whole.left, image.bottom - rise, whole.right, whole.bottom}};
    }
    case Kind::bitmap: {
      const auto& b = *static_cast<const BitmapPlace*>(c.place);
      for (const BitmapSize& r : table)
        if (r.id == b.bitmap)
          return {placeRect(b, mode, scaledSide(r.width, mode), scaledSide(r.height, mode))};
      return {};
    }
    case Kind::area:
      return {placeRect(*static_cast<const AreaPlace*>(c.place), mode)};
  }
  return {};
}

}  // namespace art
