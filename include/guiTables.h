// Zoom tables and the colour palette of the editor, shared by the controls, the editor and the
// artwork generator (the screen modes and the controls' places are in layoutPlaces.h). Everything here is
// constant-initialised, so other units may read it from their own static initialisers.
#pragma once

#include <array>
#include <cstdint>

#include "layoutPlaces.h"
#include "vstgui/ccolor.h"

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
