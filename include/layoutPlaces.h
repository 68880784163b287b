// Where every control of the main screen sits: its 100 % point in its container (the frame for
// the header) and the corrections added at 150 % and 200 %, where truncated scaling alone would
// leave a control off its artwork. The editor's layout makes its controls from these rows and the
// artwork generator paints the fields, panels, seats and labels round the same rectangles, so a
// correction moves a control and its art together.
#pragma once

#include <array>
#include <cstddef>

#include "bitmapIds.h"

// Screen modes: 0 = 100 %, 1 = 150 %, 2 = 200 %.
inline constexpr int NUM_SCREEN_MODES = 3;
inline constexpr std::array<float, NUM_SCREEN_MODES> SCALE{1.0f, 1.5f, 2.0f};

// ---- Knobs on drawn seats ----

// A knob: its 100 % point (left of the image, top), the inset that widens the control around the
// image, and the corrections of the image's position at 150 % and 200 %.
struct KnobPlace {
  int x, y, size;
  int dx150, dy150, dx200, dy200;
};

// The eight distortion-type knobs: the plain set and the centred set (the type decides which of
// each pair is shown). The two sets share the box's art, so a slot's seat lies under both.
inline constexpr std::array<KnobPlace, 8> TYPE_KNOB_PLACES = {{{157, 53, 16, 1, 2, 9, 1},
                                                               {230, 53, 16, 1, 2, 9, 1},
                                                               {303, 53, 16, 1, 2, 9, 1},
                                                               {376, 53, 16, 0, 2, 8, 1},
                                                               {157, 131, 16, 0, 3, 9, 3},
                                                               {230, 131, 16, 1, 3, 9, 3},
                                                               {303, 131, 16, 0, 3, 9, 3},
                                                               {376, 131, 16, 0, 3, 8, 3}}};
inline constexpr std::array<KnobPlace, 8> TYPE_KNOB_CENTRED_PLACES = {{{157, 53, 16, 1, 2, 9, 1},
                                                                       {230, 53, 16, 1, 2, 9, 1},
                                                                       {303, 53, 16, 1, 2, 9, 1},
                                                                       {376, 53, 16, 0, 2, 8, 1},
                                                                       {157, 131, 16, 5, 3, 9, 2},
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

// A control sized by its bitmap (switches, radios, buttons, meters): the bitmap's id and the
// corrections of its point.
struct BitmapPlace {
  int x, y;
  int bitmap;
  int dx150 = 0, dy150 = 0, dx200 = 0, dy200 = 0;
};

// A control sized in numbers (menus, graph screens, kick areas): width and height are scaled; the
// point and the width may be corrected.
struct AreaPlace {
  int x, y, w, h;
  int dx150 = 0, dy150 = 0, dx200 = 0, dy200 = 0;
  int dw150 = 0, dw200 = 0;
};

// A rectangle in device pixels of one screen mode, relative to the control's container.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
};

constexpr int scaledSize(int v, int mode) { return scaledPosition(v, mode, 0, 0); }

// A bitmap control's rectangle, given one frame of its bitmap at this mode.
constexpr PixelRect placeRect(const BitmapPlace& b, int mode, int frameWidth, int frameHeight) {
  const int left = scaledPosition(b.x, mode, b.dx150, b.dx200),
            top = scaledPosition(b.y, mode, b.dy150, b.dy200);
  return {left, top, left + frameWidth, top + frameHeight};
}
constexpr PixelRect placeRect(const AreaPlace& a, int mode) {
  const int left = scaledPosition(a.x, mode, a.dx150, a.dx200),
            top = scaledPosition(a.y, mode, a.dy150, a.dy200);
  return {left, top, left + scaledPosition(a.w, mode, a.dw150, a.dw200), top + scaledSize(a.h, mode)};
}
// A knob control, given the side of its image at this mode: the image, widened by the scaled inset
// and lengthened by the two text lines under it.
constexpr PixelRect placeRect(const KnobPlace& k, int mode, int imageSide) {
  const int left = knobLeft(k.x, k.size, mode, k.dx150, k.dx200), top = knobImageTop(k, mode);
  return {left, top, left + imageSide + scaledSize(k.size, mode), top + imageSide + scaledSize(24, mode)};
}
// The knob's image square.
constexpr PixelRect knobImageRect(const KnobPlace& k, int mode, int imageSide) {
  const int left = knobImageLeft(k, mode), top = knobImageTop(k, mode);
  return {left, top, left + imageSide, top + imageSide};
}

// ---- Boxes (relative to the frame) ----
// Where each box starts at 100 %: the four module boxes in the order of the stages (the path
// lays them out along the row from the first one's point, in its order) and the bottom box.
struct BoxOrigin {
  int x, y;
};
inline constexpr std::array<BoxOrigin, 4> MODULE_BOX_ORIGINS = {
    {{29, 117}, {645, 117}, {802, 117}, {956, 117}}};
inline constexpr BoxOrigin BOTTOM_BOX_ORIGIN{29, 474};

// ---- Header (relative to the frame) ----
inline constexpr AreaPlace PRESET_MENU_PLACE{97, 37, 213, 22, 0, 1, 0, -1};
inline constexpr AreaPlace FOLDER_MENU_PLACE{95, 69, 215, 22, 0, 1, 0, -1};
inline constexpr BitmapPlace EDITED_BUTTON_PLACE{336, 35, EDITED_BUTTON_BMP};
inline constexpr BitmapPlace ORIGINAL_BUTTON_PLACE{332, 61, ORIGINAL_BUTTON_BMP};
inline constexpr BitmapPlace HELP_BUTTON_PLACE{415, 34, HELP_BUTTON_BMP};
inline constexpr AreaPlace MANAGER_AREA_PLACE{482, 71, 90, 15};
inline constexpr AreaPlace ECS_MENU_PLACE{412, 66, 60, 24};
inline constexpr BitmapPlace HEADER_SWITCH_PLACE{504, 32, BYPASS_SWITCH_BMP};
inline constexpr AreaPlace SETTINGS_AREA_PLACE{710, 26, 345, 81};
inline constexpr AreaPlace CONTROL_MENU_AREA_PLACE{1058, 26, 16, 10};
inline constexpr std::array<BitmapPlace, 4> VU_METER_PLACES = {
    {{584, 30, VU_BMP}, {591, 30, VU_BMP}, {612, 30, VU_BMP}, {619, 30, VU_BMP}}};
inline constexpr KnobPlace HEADER_VOLUME_KNOB_PLACE{648, 33, 16, 5, 2, 9, 1};
inline constexpr std::array<BitmapPlace, 4> TAB_BUTTON_PLACES = {
    {{564, 448, TAB_BMP}, {690, 448, TAB_BMP + 1}, {816, 448, TAB_BMP + 2}, {943, 448, TAB_BMP + 3}}};
inline constexpr AreaPlace PATH_MENU_PLACE{79, 442, 456, 19, 0, 0, 0, 0, 1, 0};

// ---- Distortion box ----
inline constexpr KnobPlace MAIN_MIX_KNOB_PLACE{453, 30, 16, 4, 2, 10, 2};
inline constexpr KnobPlace DISTORT_VOLUME_KNOB_PLACE{453, 104, 16, 4, 2, 10, 2};
inline constexpr AreaPlace DISTORT_TYPE_MENU_PLACE{174, 6, 171, 19, -4, 0, 0, -1, 2, 0};
inline constexpr std::array<KnobPlace, 4> GATE_KNOB_PLACES = {{{554, 30, 16, 1, 2, 10, 2},
                                                               {554, 104, 16, 1, 2, 10, 2},
                                                               {554, 178, 16, 1, 2, 10, 2},
                                                               {554, 252, 16, 1, 2, 10, 2}}};
inline constexpr AreaPlace DISTORT_SCREEN_PLACE{22, 66, 100, 101, -4, 0, 0, 1};
inline constexpr AreaPlace EQ_SCREEN_PLACE{6, 229, 505, 89, -2, 0, 2, 0};
inline constexpr BitmapPlace PRE_EQ_SWITCH_PLACE{157, 208, SWITCH_BMP, -7, 0, -4, 0};
inline constexpr BitmapPlace POST_EQ_SWITCH_PLACE{354, 208, SWITCH_BMP, -5, 0, -1, 0};
inline constexpr BitmapPlace OLD_EQ_SWITCH_PLACE{390, 208, OLD_EQ_SWITCH_BMP, -4, 0, 0, 0};
inline constexpr std::array<BitmapPlace, 2> EQ_VIEW_BUTTON_PLACES = {
    {{110, 208, SWITCH_BMP, -6, 0, -3, 0}, {307, 208, SWITCH_BMP, -3, 0, 0, 0}}};
inline constexpr BitmapPlace GATE_SWITCH_PLACE{522, 0, GATE_SWITCH_BMP};
inline constexpr AreaPlace GATE_LAMP_PLACE{601, 14, 6, 6};

// ---- Filter box ----
inline constexpr std::array<KnobPlace, 4> FILTER_KNOB_PLACES = {{{18, 30, 16, 4, 2, 8, 2},
                                                                 {86, 30, 16, 5, 2, 8, 2},
                                                                 {18, 178, 16, 4, 2, 8, 3},
                                                                 {86, 178, 16, 5, 2, 8, 3}}};
inline constexpr BitmapPlace HIGH_PASS_SWITCH_PLACE{0, 0, HIGH_PASS_SWITCH_BMP};
inline constexpr BitmapPlace HIGH_PASS_ZD_SWITCH_PLACE{113, 117, SWITCH_BMP};
inline constexpr BitmapPlace LOW_PASS_SWITCH_PLACE{0, 148, LOW_PASS_SWITCH_BMP};
inline constexpr BitmapPlace LOW_PASS_ZD_SWITCH_PLACE{113, 266, SWITCH_BMP};
inline constexpr std::array<BitmapPlace, 2> HIGH_PASS_TYPE_PLACES = {
    {{49, 107, SWITCH_BMP}, {49, 127, SWITCH_BMP}}};
inline constexpr std::array<BitmapPlace, 2> LOW_PASS_TYPE_PLACES = {
    {{49, 256, SWITCH_BMP}, {49, 276, SWITCH_BMP}}};

// ---- Compressor box ----
inline constexpr std::array<KnobPlace, 5> COMPRESSOR_KNOB_PLACES = {{{51, 104, 16, 5, 1, 8, 4},
                                                                     {18, 178, 16, 4, 2, 8, 3},
                                                                     {86, 178, 16, 4, 2, 8, 2},
                                                                     {18, 252, 16, 4, 2, 8, 2},
                                                                     {86, 252, 16, 4, 2, 8, 2}}};
inline constexpr BitmapPlace COMPRESSOR_SWITCH_PLACE{0, 0, COMPRESSOR_SWITCH_BMP};
inline constexpr BitmapPlace COMPRESSOR_MODE_SWITCH_PLACE{0, 80, COMPRESSOR_MODE_BMP};
inline constexpr AreaPlace COMPRESSOR_METER_PLACE{43, 46, 65, 29, -1, 0, 0, 0};

// ---- Widener box (the chorus knobs sit where the widener's do) ----
inline constexpr std::array<KnobPlace, 3> WIDENER_KNOB_PLACES = {
    {{27, 104, 16, 6, 2, 8, 2}, {27, 178, 16, 6, 2, 8, 3}, {27, 252, 16, 6, 2, 8, 2}}};
inline constexpr BitmapPlace WIDENER_ON_SWITCH_PLACE{70, 2, WIDENER_ON_BMP};
inline constexpr BitmapPlace CHORUS_ON_SWITCH_PLACE{70, 24, CHORUS_ON_BMP};
inline constexpr BitmapPlace WIDENER_MODE_SWITCH_PLACE{0, 0, WIDENER_MODE_BMP};
inline constexpr AreaPlace WIDENER_DISPLAY_PLACE{27, 55, 50, 32, 1, 2, -1, 0};

// ---- Bottom box, Disrupt tab ----
inline constexpr KnobPlace DISRUPT_SPEED_KNOB_PLACE{937, 44, 16, 5, 0, 9, 0};
inline constexpr std::array<BitmapPlace, 7> DISRUPT_ON_SWITCH_PLACES = {{{143, 144, SWITCH_BMP},
                                                                         {274, 144, SWITCH_BMP},
                                                                         {407, 144, SWITCH_BMP},
                                                                         {539, 144, SWITCH_BMP},
                                                                         {675, 144, SWITCH_BMP},
                                                                         {815, 144, SWITCH_BMP},
                                                                         {952, 144, SWITCH_BMP}}};
inline constexpr BitmapPlace DISRUPT_SYNC_SWITCH_PLACE{919, 18, ON_LED_BMP};
inline constexpr BitmapPlace DISRUPT_LAZY_ON_SWITCH_PLACE{986, 18, ON_LED_BMP, -1, 0, -1, 0};
inline constexpr BitmapPlace DISRUPT_ROCKER_PLACE{983, 89, ROCKER_BMP, 0, -4, 0, -6};
inline constexpr BitmapPlace DISRUPT_RESET_BUTTON_PLACE{512, 14, SWITCH_BMP};
inline constexpr AreaPlace DISRUPT_SPRING_MENU_PLACE{35, 25, 87, 14, 0, 1, 0, 0, 2, 0};
inline constexpr AreaPlace DISRUPT_QUANT_MENU_PLACE{35, 71, 87, 14, 0, 1, 0, 0, 2, 0};
// The slider's height is its handle's (SLIDER_MOD_BMP).
inline constexpr AreaPlace DISRUPT_SLIDER_PLACE{131, 26, 783, 48};

// ---- Bottom box, Follower tab ----
inline constexpr std::array<KnobPlace, 6> FOLLOWER_KNOB_PLACES = {{{27, 137, 16, 5, 2, 9, 3},
                                                                   {97, 137, 16, 5, 2, 9, 3},
                                                                   {168, 137, 16, 5, 2, 9, 3},
                                                                   {237, 137, 16, 5, 2, 9, 3},
                                                                   {307, 137, 16, 5, 2, 9, 3},
                                                                   {377, 137, 16, 5, 2, 9, 3}}};
inline constexpr std::array<KnobPlace, 3> FOLLOWER_AMOUNT_KNOB_PLACES = {
    {{655, 3, 16, 6, 3, 9, 3}, {655, 71, 16, 6, 3, 9, 3}, {655, 139, 16, 6, 3, 9, 3}}};
inline constexpr std::array<KnobPlace, 3> FOLLOWER_MOD_AMOUNT_KNOB_PLACES = {
    {{976, 3, 16, 4, 4, 9, 3}, {976, 71, 16, 4, 4, 9, 3}, {976, 139, 16, 4, 4, 9, 3}}};
inline constexpr std::array<BitmapPlace, 3> FOLLOWER_ON_SWITCH_PLACES = {
    {{729, 17, SWITCH_BMP, 0, 1, 0, 0},
     {729, 85, SWITCH_BMP, 0, 1, 0, 0},
     {729, 154, SWITCH_BMP, 0, 1, 0, 0}}};
inline constexpr AreaPlace FOLLOWER_SOURCE_MENU_PLACE{136, 107, 175, 19, 0, 0, 0, -1};
inline constexpr AreaPlace FOLLOWER_SCREEN_PLACE{20, 17, 407, 83};
inline constexpr std::array<AreaPlace, 3> FOLLOWER_DEST_MENU_PLACES = {
    {{475, 18, 154, 19, 0, 0, 0, -1, 2, 0},
     {475, 87, 154, 19, 0, 0, 0, -1, 2, 0},
     {475, 156, 154, 19, 0, 0, 0, -1, 2, 0}}};
inline constexpr std::array<AreaPlace, 3> FOLLOWER_MOD_SOURCE_MENU_PLACES = {
    {{796, 18, 154, 19, 0, 0, 0, -1, 1, 0},
     {796, 87, 154, 19, 0, 0, 0, -1, 1, 0},
     {796, 156, 154, 19, 0, 0, 0, -1, 1, 0}}};

// ---- Bottom box, WaveShaper tab ----
inline constexpr std::array<KnobPlace, 4> WAVESHAPER_KNOB_PLACES = {{{493, 63, 16, 5, 1, 9, 2},
                                                                     {493, 139, 16, 5, 1, 9, 2},
                                                                     {917, 63, 16, 5, 1, 9, 2},
                                                                     {917, 139, 16, 5, 1, 9, 2}}};
inline constexpr std::array<BitmapPlace, 2> POLARITY_BUTTON_PLACES = {
    {{124, 15, SWITCH_BMP}, {124, 45, SWITCH_BMP}}};
inline constexpr std::array<BitmapPlace, 3> DRAW_MODE_BUTTON_PLACES = {
    {{124, 93, SWITCH_BMP}, {124, 133, SWITCH_BMP}, {124, 173, SWITCH_BMP}}};
inline constexpr std::array<BitmapPlace, 2> APPLY_BUTTON_PLACES = {
    {{557, 174, SWITCH_BMP}, {981, 174, SWITCH_BMP}}};
inline constexpr std::array<AreaPlace, 2> WAVESHAPER_MODE_MENU_PLACES = {
    {{453, 14, 130, 19, 0, 0, 0, 0, 3, 0}, {876, 14, 130, 19, 0, 0, 0, 0, 3, 0}}};
inline constexpr std::array<AreaPlace, 2> WAVESHAPER_SCREEN_PLACES = {
    {{238, 16, 186, 186}, {661, 16, 186, 186}}};

// ---- Bottom box, Mod/LFO tab (one set of LFO controls per page, all on the same places) ----
inline constexpr BitmapPlace ADVANCED_SWITCH_PLACE{494, 3, SWITCH_BMP, 4, 0, 2, 0};
inline constexpr AreaPlace MOD_SCREEN_PLACE{14, 45, 500, 160, 0, 1, 0, 0};
inline constexpr std::array<BitmapPlace, 4> LFO_PAGE_BUTTON_PLACES = {
    {{548, 23, SWITCH_BMP}, {548, 51, SWITCH_BMP}, {548, 79, SWITCH_BMP}, {548, 107, SWITCH_BMP}}};
inline constexpr std::array<BitmapPlace, 4> LFO_MODE_BUTTON_PLACES = {
    {{979, 101, SWITCH_BMP}, {979, 123, SWITCH_BMP}, {979, 145, SWITCH_BMP}, {979, 167, SWITCH_BMP}}};
inline constexpr KnobPlace LFO_SPEED_KNOB_PLACE{596, 25, 16, 5, 1, 9, 2};
inline constexpr KnobPlace LFO_HUMANIZE_KNOB_PLACE{712, 25, 16, 5, 1, 9, 2};
inline constexpr KnobPlace LFO_SHAPE_KNOB_PLACE{712, 110, 16, 5, 1, 9, 3};
inline constexpr KnobPlace LFO_AMOUNT_KNOB_PLACE{965, 25, 16, 6, 1, 9, 2};
inline constexpr BitmapPlace LFO_SYNC_SWITCH_PLACE{668, 37, SWITCH_BMP};
inline constexpr AreaPlace LFO_WAVE_MENU_PLACE{580, 176, 80, 19, 0, 0, 0, -1, 1, 0};
inline constexpr AreaPlace LFO_TRIGGER_MENU_PLACE{848, 168, 126, 19, 0, 0, 0, -1};
inline constexpr AreaPlace LFO_DEST_MENU_PLACE{822, 38, 125, 19, 0, 0, 0, -1};
inline constexpr AreaPlace LFO_SCREEN_PLACE{581, 92, 77, 77};
