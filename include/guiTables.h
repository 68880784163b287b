// Zoom tables and the colour palette of the editor, shared by the controls, the editor and the
// artwork generator. Everything here is constant-initialised, so other units may read it from
// their own static initialisers.
#pragma once

#include <array>
#include <cstdint>

#include "vstgui/ccolor.h"

// Screen modes: 0 = 100 %, 1 = 150 %, 2 = 200 %.
inline constexpr int NUM_SCREEN_MODES = 3;
inline constexpr std::array<float, NUM_SCREEN_MODES> SCALE{1.0f, 1.5f, 2.0f};

// Width of each of the step zones at the ends of a menu with delta buttons.
inline constexpr std::array<int32_t, NUM_SCREEN_MODES> DELTA_BUTTON_WIDTH{20, 30, 40};
// Height of each of the two text lines under a knob.
inline constexpr std::array<int32_t, NUM_SCREEN_MODES> KNOB_LABEL_OFFSET{10, 13, 17};
// How far the first text line under a knob reaches up into the knob image.
inline constexpr std::array<int32_t, NUM_SCREEN_MODES> KNOB_START_LABEL_OFFSET{2, 6, 8};
// Row height of the modulation matrix screen.
inline constexpr std::array<float, NUM_SCREEN_MODES> MOD_SLOT_HEIGHT{16.0f, 24.0f, 32.0f};
// Side of the LFO position dot.
inline constexpr std::array<int32_t, NUM_SCREEN_MODES> LFO_DOT_SIZE{4, 6, 8};

// Column edges of the matrix screen: n + 1 edges for n columns, the last one the screen width.
inline constexpr int BASIC_MOD_COLUMNS = 5;
inline constexpr int ADV_MOD_COLUMNS = 8;
inline constexpr int32_t BASIC_MOD_COLOUMN[NUM_SCREEN_MODES][BASIC_MOD_COLUMNS + 1] = {
    {0, 26, 56, 236, 416, 500},
    {0, 39, 84, 354, 624, 750},
    {0, 52, 112, 472, 832, 1000},
};
inline constexpr int32_t ADV_MOD_COLUMN[NUM_SCREEN_MODES][ADV_MOD_COLUMNS + 1] = {
    {0, 20, 40, 140, 300, 360, 406, 452, 500},
    {0, 30, 60, 210, 450, 540, 609, 678, 750},
    {0, 40, 80, 280, 600, 720, 812, 904, 1000},
};

// The palette.
inline constexpr VSTGUI::CColor GREEN_LIGHT_LINE_COLOR(77, 250, 50, 255);
inline constexpr VSTGUI::CColor GREEN_LINE_COLOR(27, 200, 0, 255);
inline constexpr VSTGUI::CColor TRANS_GREEN_LINE_COLOR(27, 200, 0, 127);
inline constexpr VSTGUI::CColor TRANS_25_GREEN_LINE_COLOR(27, 200, 0, 31);
inline constexpr VSTGUI::CColor GREEN_TEXT_COLOR(27, 200, 0, 255);
inline constexpr VSTGUI::CColor SELECTED_TEXT_COLOR(221, 221, 221, 255);
inline constexpr VSTGUI::CColor LIGHT_TEXT_COLOR(134, 134, 134, 255);
inline constexpr VSTGUI::CColor LIGHT_TRANS_TEXT_COLOR(153, 153, 153, 63);
inline constexpr VSTGUI::CColor READOUT_COLOR(33, 32, 31, 255);
inline constexpr VSTGUI::CColor BACK_TRANS_COLOR(0, 0, 0, 127);
inline constexpr VSTGUI::CColor GREEN_1_TRANS_COLOR(77, 250, 50, 112);
inline constexpr VSTGUI::CColor GREEN_2_TRANS_COLOR(77, 250, 50, 80);
inline constexpr VSTGUI::CColor GREEN_3_TRANS_COLOR(77, 250, 50, 48);
inline constexpr VSTGUI::CColor GREEN_4_TRANS_COLOR(77, 250, 50, 16);

// ---- Knobs on drawn seats: placed by the editor's layout, seated by the artwork at every size ----

// A knob: its 100 % point (left of the image, top), the inset that widens the control around the
// image, and the corrections of the image's position at 150 % and 200 %.
struct KnobPlace {
  int x, y, size;
  int dx150, dy150, dx200, dy200;
};

// The eight distortion-type knobs (the plain set; the centred knob 4 sits 5 px further right at
// 150 % and 1 px higher at 200 %, on the same seat).
inline constexpr std::array<KnobPlace, 8> TYPE_KNOB_PLACES = {{{157, 53, 16, 1, 2, 9, 1},
                                                               {230, 53, 16, 1, 2, 9, 1},
                                                               {303, 53, 16, 1, 2, 9, 1},
                                                               {376, 53, 16, 0, 2, 8, 1},
                                                               {157, 131, 16, 0, 3, 9, 3},
                                                               {230, 131, 16, 1, 3, 9, 3},
                                                               {303, 131, 16, 0, 3, 9, 3},
                                                               {376, 131, 16, 0, 3, 8, 3}}};
inline constexpr std::array<KnobPlace, 4> OLD_EQ_KNOB_PLACES = {{{44, 253, 16, 2, 1, 6, 0},
                                                                 {174, 253, 16, 2, 1, 5, 0},
                                                                 {304, 253, 16, 2, 1, 6, 0},
                                                                 {434, 253, 16, 2, 1, 6, 0}}};
inline constexpr std::array<KnobPlace, 7> DISRUPT_KNOB_PLACES = {{{87, 130, 46, 13, 1, 24, 2},
                                                                  {218, 130, 46, 13, 1, 24, 2},
                                                                  {351, 130, 46, 13, 1, 24, 2},
                                                                  {483, 130, 46, 13, 1, 24, 2},
                                                                  {619, 130, 46, 13, 1, 24, 2},
                                                                  {759, 130, 46, 13, 1, 24, 2},
                                                                  {895, 130, 46, 13, 1, 24, 2}}};

// A 100 % coordinate at screen mode m (0, 1, 2): truncated, then corrected.
constexpr int scaledPosition(int v, int mode, int off150, int off200) {
  if (mode == 1) return static_cast<int>(static_cast<float>(v) * SCALE[1]) + off150;
  if (mode == 2) return static_cast<int>(static_cast<float>(v) * SCALE[2]) + off200;
  return v;
}
// The control's left edge: the image point less half the scaled inset.
constexpr int knobLeft(int x, int size, int mode, int dx150, int dx200) {
  const int scaledSize =
      mode == 0 ? size : static_cast<int>(static_cast<float>(size) * SCALE[static_cast<size_t>(mode)]);
  return scaledPosition(x, mode, dx150, dx200) - scaledSize / 2;
}
// The knob image's top-left corner at screen mode m: the image sits half the unscaled inset in.
constexpr int knobImageLeft(const KnobPlace& k, int mode) {
  return knobLeft(k.x, k.size, mode, k.dx150, k.dx200) + k.size / 2;
}
constexpr int knobImageTop(const KnobPlace& k, int mode) {
  return scaledPosition(k.y, mode, k.dy150, k.dy200);
}
