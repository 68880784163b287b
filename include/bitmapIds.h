// The editor's bitmaps by name. Each id exists once per screen size (id + 1000 x screen mode);
// resources/bitmapSizes.csv gives each id's size and role, and the artwork test holds the two
// lists equal. BITMAP_TABLE is the order the editor creates them in; a row of n copies makes n
// objects of the same id.
#pragma once

#include <cstdint>
#include <iterator>

enum BitmapId : int32_t {
  MAIN_BACKGROUND_BMP = 10000,
  SETTINGS_BACKGROUND_BMP = 10001,
  SPARE_BACKGROUND_1_BMP = 10004,  // made by the editor, never drawn
  SPARE_BACKGROUND_2_BMP = 10005,
  // The nine distortion-box backgrounds: entries 0..2 share the first image, then one each.
  DISTORT_BOX_BMP = 10010,
  DISTORT_BOX_LAST_BMP = 10016,
  DISTORT_BOX_OLD_EQ_BMP = 10017,
  DISTORT_BOX_OLD_EQ_LAST_BMP = 10023,
  FILTER_BOX_BMP = 10024,
  COMPRESSOR_BOX_BMP = 10025,
  WIDENER_BOX_BMP = 10026,
  CHORUS_BOX_BMP = 10027,
  // The bottom box's five screens: Disrupt, Follower, WaveShaper, basic and advanced matrix.
  BOTTOM_BOX_BMP = 10030,
  FOLLOWER_BOX_BMP = 10031,
  WAVESHAPER_BOX_BMP = 10032,
  MOD_BOX_BMP = 10033,
  ADVANCED_MOD_BOX_BMP = 10034,
  BOTTOM_BOX_SIZE_BMP = MOD_BOX_BMP,
  SWITCH_BMP = 10040,
  SPARE_SWITCH_1_BMP = 10041,  // 10041..10045: made by the editor, never drawn
  SPARE_SWITCH_5_BMP = 10045,
  TAB_BMP = 10046,  // four: Disrupt, Follower, WaveShaper, Mod/LFO
  TAB_LAST_BMP = 10049,
  MENU_LEFT_ARROW_BMP = 10050,
  MENU_RIGHT_ARROW_BMP = 10051,
  COMPRESSOR_MODE_BMP = 10052,
  EDITED_ON_BMP = 10053,
  EDITED_OFF_BMP = 10054,
  EDITED_BUTTON_BMP = 10055,
  ORIGINAL_BUTTON_BMP = 10056,
  HELP_BUTTON_BMP = 10057,
  BYPASS_SWITCH_BMP = 10058,
  SPARE_BUTTON_1_BMP = 10059,  // 10059..10063: made by the editor, never drawn
  SPARE_BUTTON_5_BMP = 10063,
  WIDENER_DISPLAY_BMP = 10070,
  COMPRESSOR_METER_BMP = 10071,
  VU_BMP = 10072,
  SLIDER_BMP = 10073,
  SLIDER_MOD_BMP = 10074,
  WAVESHAPER_DOT_BMP = 10075,
  ON_LED_BMP = 10076,
  ROCKER_BMP = 10077,
  OLD_EQ_SWITCH_BMP = 10078,
  // Six strips: small knob, its ring, its centred ring, large knob, its ring, its centred ring.
  KNOB_BMP = 10080,
  SMALL_RING_BMP = 10081,
  SMALL_CENTRED_RING_BMP = 10082,
  LARGE_KNOB_BMP = 10083,
  LARGE_RING_BMP = 10084,
  LARGE_CENTRED_RING_BMP = 10085,
  SPARE_LED_BMP = 10090,  // made by the editor, never drawn
  GATE_SWITCH_BMP = 10091,
  HIGH_PASS_SWITCH_BMP = 10092,
  LOW_PASS_SWITCH_BMP = 10093,
  COMPRESSOR_SWITCH_BMP = 10094,
  WIDENER_ON_BMP = 10095,
  CHORUS_ON_BMP = 10096,
  WIDENER_MODE_BMP = 10097,
  GATE_LAMP_BMP = 10098,
};

struct BitmapRow {
  int32_t base;
  int32_t copies;
};
inline constexpr BitmapRow BITMAP_TABLE[] = {
    {MAIN_BACKGROUND_BMP, 1},
    {SETTINGS_BACKGROUND_BMP, 1},
    {SPARE_BACKGROUND_1_BMP, 1},
    {SPARE_BACKGROUND_2_BMP, 1},
    {DISTORT_BOX_BMP, 3},
    {DISTORT_BOX_BMP + 1, 1},
    {DISTORT_BOX_BMP + 2, 1},
    {DISTORT_BOX_BMP + 3, 1},
    {DISTORT_BOX_BMP + 4, 1},
    {DISTORT_BOX_BMP + 5, 1},
    {DISTORT_BOX_LAST_BMP, 1},
    {DISTORT_BOX_OLD_EQ_BMP, 3},
    {DISTORT_BOX_OLD_EQ_BMP + 1, 1},
    {DISTORT_BOX_OLD_EQ_BMP + 2, 1},
    {DISTORT_BOX_OLD_EQ_BMP + 3, 1},
    {DISTORT_BOX_OLD_EQ_BMP + 4, 1},
    {DISTORT_BOX_OLD_EQ_BMP + 5, 1},
    {DISTORT_BOX_OLD_EQ_LAST_BMP, 1},
    {FILTER_BOX_BMP, 1},
    {COMPRESSOR_BOX_BMP, 1},
    {WIDENER_BOX_BMP, 1},
    {CHORUS_BOX_BMP, 1},
    {BOTTOM_BOX_BMP, 1},
    {FOLLOWER_BOX_BMP, 1},
    {WAVESHAPER_BOX_BMP, 1},
    {MOD_BOX_BMP, 1},
    {ADVANCED_MOD_BOX_BMP, 1},
    {SWITCH_BMP, 1},
    {SPARE_SWITCH_1_BMP, 1},
    {SPARE_SWITCH_1_BMP + 1, 1},
    {SPARE_SWITCH_1_BMP + 2, 1},
    {SPARE_SWITCH_1_BMP + 3, 1},
    {SPARE_SWITCH_5_BMP, 1},
    {TAB_BMP, 1},
    {TAB_BMP + 1, 1},
    {TAB_BMP + 2, 1},
    {TAB_LAST_BMP, 1},
    {MENU_LEFT_ARROW_BMP, 1},
    {MENU_RIGHT_ARROW_BMP, 1},
    {COMPRESSOR_MODE_BMP, 1},
    {EDITED_ON_BMP, 1},
    {EDITED_OFF_BMP, 1},
    {EDITED_BUTTON_BMP, 1},
    {ORIGINAL_BUTTON_BMP, 1},
    {HELP_BUTTON_BMP, 1},
    {BYPASS_SWITCH_BMP, 1},
    {SPARE_BUTTON_1_BMP, 1},
    {SPARE_BUTTON_1_BMP + 1, 1},
    {SPARE_BUTTON_1_BMP + 2, 1},
    {SPARE_BUTTON_1_BMP + 3, 1},
    {SPARE_BUTTON_5_BMP, 1},
    {WIDENER_DISPLAY_BMP, 1},
    {COMPRESSOR_METER_BMP, 1},
    {VU_BMP, 1},
    {SLIDER_BMP, 1},
    {SLIDER_MOD_BMP, 1},
    {WAVESHAPER_DOT_BMP, 1},
    {ON_LED_BMP, 1},
    {ROCKER_BMP, 1},
    {OLD_EQ_SWITCH_BMP, 1},
    {KNOB_BMP, 1},
    {SMALL_RING_BMP, 1},
    {SMALL_CENTRED_RING_BMP, 1},
    {LARGE_KNOB_BMP, 1},
    {LARGE_RING_BMP, 1},
    {LARGE_CENTRED_RING_BMP, 1},
    {SPARE_LED_BMP, 1},
    {GATE_SWITCH_BMP, 1},
    {HIGH_PASS_SWITCH_BMP, 1},
    {LOW_PASS_SWITCH_BMP, 1},
    {COMPRESSOR_SWITCH_BMP, 1},
    {WIDENER_ON_BMP, 1},
    {CHORUS_ON_BMP, 1},
    {WIDENER_MODE_BMP, 1},
    {GATE_LAMP_BMP, 1},
};
inline constexpr int NUM_BITMAP_ROWS = static_cast<int>(std::size(BITMAP_TABLE));
constexpr int bitmapObjectCount() {
  int n = 0;
  for (const BitmapRow& row : BITMAP_TABLE) n += row.copies;
  return n;
}
inline constexpr int NUM_BITMAP_OBJECTS = bitmapObjectCount();
// The object index of copy `copy` of base `base`, or -1 when the table has no such object.
constexpr int bitmapSlot(int32_t base, int copy = 0) {
  int n = 0;
  for (const BitmapRow& row : BITMAP_TABLE) {
    if (row.base == base) return copy >= 0 && copy < row.copies ? n + copy : -1;
    n += row.copies;
  }
  return -1;
}
