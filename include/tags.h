// Parameter tags and the shared tables of tag numbers. A tag is an integer 0..1023
// naming one setting; its value is a float 0..1.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "modulation.h"

inline constexpr int NUM_PARAMS = 1024;
inline constexpr int NUM_PROGRAM_VALUES = 912;  // tags 0..911 hold program values

// Single tags that several layers name.
enum Tag : int {
  VOLUME_TAG = 1,
  MIX_TAG = 2,
  BYPASS_TAG = 3,
  DC_FILTER_TAG = 4,
  DISTORT_KNOB_1_TAG = 6,  // 6..13
  PRE_EQ_ON_TAG = 14,
  POST_EQ_ON_TAG = 27,
  GATE_ON_TAG = 40,
  GATE_THRESHOLD_TAG = 41,
  GATE_ATTACK_TAG = 42,
  GATE_HOLD_TAG = 43,
  GATE_RELEASE_TAG = 44,
  HP_ON_TAG = 45,
  HP_TYPE_TAG = 46,
  HP_ZD_TAG = 47,
  HP_FREQ_TAG = 48,
  HP_Q_TAG = 49,
  LP_ON_TAG = 50,
  LP_TYPE_TAG = 51,
  LP_ZD_TAG = 52,
  LP_FREQ_TAG = 53,
  LP_Q_TAG = 54,
  COMP_ON_TAG = 55,
  COMP_THRESHOLD_TAG = 56,
  COMP_RATIO_TAG = 57,
  COMP_ATTACK_TAG = 58,
  COMP_RELEASE_TAG = 59,
  COMP_VOLUME_TAG = 60,
  WIDENER_ON_TAG = 61,
  WIDENER_AMOUNT_TAG = 62,
  WIDENER_WIDTH_TAG = 63,
  WIDENER_SPEED_TAG = 64,
  CHORUS_MIX_TAG = 65,
  CHORUS_LENGTH_TAG = 66,
  CHORUS_WIDTH_TAG = 67,
  CHORUS_SPEED_TAG = 68,
  DISRUPT_AMOUNT_TAG = 69,
  DISRUPT_SLOT_AMT_1_TAG = 70,  // 70..76
  DISRUPT_LAZY_SPEED_TAG = 84,
  DISRUPT_LAZY_SYNC_TAG = 85,
  FOLLOWER_THRESHOLD_TAG = 86,
  FOLLOWER_BOOST_TAG = 87,
  FOLLOWER_SMOOTH_TAG = 88,
  FOLLOWER_ATTACK_TAG = 89,
  FOLLOWER_HOLD_TAG = 90,
  FOLLOWER_DECAY_TAG = 91,
  FOLLOWER_AMT_1_TAG = 92,      // 92..94
  FOLLOWER_MOD_AMT_1_TAG = 95,  // 95..97
  MODULE_PATH_TAG = 128,
  DISTORT_TYPE_TAG = 129,
  OLD_EQ_TAG = 130,
  CHORUS_MODE_TAG = 131,
  DISRUPT_LAZY_ON_TAG = 132,
  DISRUPT_QUANT_TAG = 133,
  DISRUPT_SPRING_TAG = 134,
  DISRUPT_LAZY_MODE_TAG = 135,
  FOLLOWER_SOURCE_TAG = 143,
  FOLLOWER_DEST_1_TAG = 144,     // 144..146
  FOLLOWER_BYPASS_1_TAG = 147,   // 147..149
  FOLLOWER_MOD_SRC_1_TAG = 150,  // 150..152
  MOD_ADVANCED_TAG = 169,
  OLD_EQ_LOW_TAG = 230,  // 230..233
  COMP_MODE_TAG = 234,
  WAVESHAPER_POLAR_TAG = 246,
  LOAD_PROGRAM_TAG = 800,
  PROGRAM_NAME_FIRST_TAG = 912,  // 912..939
};

inline constexpr int PROGRAM_NAME_LENGTH = 28;
inline constexpr int WAVESHAPER_POINTS = 256;

inline constexpr std::array<int, 4> LFO_AMT_TAGS = {98, 99, 100, 101};
inline constexpr std::array<int, 4> LFO_SPEED_TAGS = {102, 103, 104, 105};
inline constexpr std::array<int, 4> LFO_SYNC_TAGS = {106, 107, 108, 109};
inline constexpr std::array<int, 4> LFO_HUM_TAGS = {110, 111, 112, 113};
inline constexpr std::array<int, 4> LFO_SHAPE_TAGS = {114, 115, 116, 117};
inline constexpr std::array<int, 4> LFO_WAVE_TAGS = {153, 154, 155, 156};
inline constexpr std::array<int, 4> LFO_DEST_TAGS = {157, 158, 159, 160};
inline constexpr std::array<int, 4> LFO_MODE_TAGS = {161, 162, 163, 164};
inline constexpr std::array<int, 4> LFO_TRIGGER_TAGS = {165, 166, 167, 168};

inline constexpr std::array<int, 8> EQ_GAIN_TAGS = {15, 16, 17, 18, 28, 29, 30, 31};
inline constexpr std::array<int, 8> EQ_FREQ_TAGS = {19, 20, 21, 22, 32, 33, 34, 35};
inline constexpr std::array<int, 8> EQ_BW_TAGS = {23, 24, 25, 26, 36, 37, 38, 39};
inline constexpr int EQ_VAR_TAGS[2][12] = {{15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26},
                                           {28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39}};

inline constexpr int NUM_MOD_SLOTS = 10;
inline constexpr std::array<int, 10> MOD_SLOT_AMT_TAGS = {118, 119, 120, 121, 122, 123, 124, 125, 126, 127};
inline constexpr std::array<int, 10> MOD_SLOT_SRC_TAGS = {170, 171, 172, 173, 174, 175, 176, 177, 178, 179};
inline constexpr std::array<int, 10> MOD_SLOT_DEST_TAGS = {180, 181, 182, 183, 184, 185, 186, 187, 188, 189};
inline constexpr std::array<int, 10> MOD_SLOT_BY_TAGS = {190, 191, 192, 193, 194, 195, 196, 197, 198, 199};
inline constexpr std::array<int, 10> MOD_SLOT_LOWER_THRESH_TAGS = {200, 201, 202, 203, 204,
                                                                   205, 206, 207, 208, 209};
inline constexpr std::array<int, 10> MOD_SLOT_UPPER_THRESH_TAGS = {210, 211, 212, 213, 214,
                                                                   215, 216, 217, 218, 219};
inline constexpr std::array<int, 10> MOD_SLOT_OFFSET_TAGS = {220, 221, 222, 223, 224,
                                                             225, 226, 227, 228, 229};
// Row s of the matrix: bypass, source, destination, amount, offset, lower, upper.
inline constexpr int MOD_SLOT_ROW_TAGS[10][7] = {
    {190, 170, 180, 118, 220, 200, 210}, {191, 171, 181, 119, 221, 201, 211},
    {192, 172, 182, 120, 222, 202, 212}, {193, 173, 183, 121, 223, 203, 213},
    {194, 174, 184, 122, 224, 204, 214}, {195, 175, 185, 123, 225, 205, 215},
    {196, 176, 186, 124, 226, 206, 216}, {197, 177, 187, 125, 227, 207, 217},
    {198, 178, 188, 126, 228, 208, 218}, {199, 179, 189, 127, 229, 209, 219}};

// The whole matrix as its menu copies and restores it: for each slot the bypass, source,
// destination, amount, lower threshold, upper threshold and offset tags.
inline constexpr std::array<int, 7 * NUM_MOD_SLOTS> MOD_COMMANDS_TAGS = [] {
  std::array<int, 7 * NUM_MOD_SLOTS> tags{};
  for (int s = 0; s < NUM_MOD_SLOTS; ++s) {
    const auto i = static_cast<std::size_t>(s);
    const int row[7] = {MOD_SLOT_BY_TAGS[i],    MOD_SLOT_SRC_TAGS[i],          MOD_SLOT_DEST_TAGS[i],
                        MOD_SLOT_AMT_TAGS[i],   MOD_SLOT_LOWER_THRESH_TAGS[i], MOD_SLOT_UPPER_THRESH_TAGS[i],
                        MOD_SLOT_OFFSET_TAGS[i]};
    for (std::size_t k = 0; k < 7; ++k) tags[7 * i + k] = row[k];
  }
  return tags;
}();

inline constexpr int NUM_DISRUPT_SLOTS = 7;
inline constexpr std::array<int, 7> DISRUPT_ON_TAGS = {77, 78, 79, 80, 81, 82, 83};
inline constexpr std::array<int, 7> DISRUPT_DEST_TAGS = {136, 137, 138, 139, 140, 141, 142};

inline constexpr std::array<int, 2> WAVESHAPER_START_TAG = {250, 506};
inline constexpr std::array<int, 2> WAVESHAPER_START_UNI_TAG = {378, 634};
inline constexpr std::array<int, 2> WAVESHAPER_DISTORT_MODE_TAGS = {240, 243};
inline constexpr std::array<int, 2> WAVESHAPER_DISTORT_1_TAGS = {241, 244};
inline constexpr std::array<int, 2> WAVESHAPER_DISTORT_2_TAGS = {242, 245};

// Modulator slots of matrix rows 1-10.
inline constexpr std::array<int, 10> SLOT_MOD = {4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

inline constexpr int NUM_MODULE_PATHS = 24;

// The 24 orders of the stages 0 distortion, 1 filter, 2 compressor, 3 widener, in lexicographic order.
inline constexpr int MODULE_PATHS[24][4] = {
    {0, 1, 2, 3}, {0, 1, 3, 2}, {0, 2, 1, 3}, {0, 2, 3, 1}, {0, 3, 1, 2}, {0, 3, 2, 1},
    {1, 0, 2, 3}, {1, 0, 3, 2}, {1, 2, 0, 3}, {1, 2, 3, 0}, {1, 3, 0, 2}, {1, 3, 2, 0},
    {2, 0, 1, 3}, {2, 0, 3, 1}, {2, 1, 0, 3}, {2, 1, 3, 0}, {2, 3, 0, 1}, {2, 3, 1, 0},
    {3, 0, 1, 2}, {3, 0, 2, 1}, {3, 1, 0, 2}, {3, 1, 2, 0}, {3, 2, 0, 1}, {3, 2, 1, 0}};

inline constexpr std::array<float, 13> DISRUPT_QUANT_DIVIDE = {0, 31, 23, 19, 15, 11, 9, 6, 5, 4, 3, 2, 1};
inline constexpr std::array<float, 18> DISRUPT_SPRING_TIME_ARRAY = {
    0.0f,         0.0f,         1.0f / 48.0f, 1.0f / 32.0f, 3.0f / 64.0f, 1.0f / 24.0f,
    1.0f / 16.0f, 3.0f / 32.0f, 1.0f / 12.0f, 1.0f / 8.0f,  3.0f / 16.0f, 1.0f / 6.0f,
    1.0f / 4.0f,  3.0f / 8.0f,  1.0f / 3.0f,  1.0f / 2.0f,  3.0f / 4.0f,  1.0f};
