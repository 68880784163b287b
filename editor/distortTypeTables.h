// What the editor knows of each distortion type's knobs: how many it uses, which of them are
// bipolar (drawn with the centred knob and ring), and the settings a type starts with before the
// user has touched it. The type-knob memory keeps one record per type in the order of
// DISTORT_VAR_TAGS.
#pragma once

#include <array>
#include <string_view>

#include "plugin/uVocabulary.h"
#include "tags.h"

// The settings a type remembers: its eight knobs, the volume and the main mix.
inline constexpr int NUM_DISTORT_VARS = 10;
inline constexpr std::array<int, NUM_DISTORT_VARS> DISTORT_VAR_TAGS = {DISTORT_KNOB_1_TAG,
                                                                       DISTORT_KNOB_1_TAG + 1,
                                                                       DISTORT_KNOB_1_TAG + 2,
                                                                       DISTORT_KNOB_1_TAG + 3,
                                                                       DISTORT_KNOB_1_TAG + 4,
                                                                       DISTORT_KNOB_1_TAG + 5,
                                                                       DISTORT_KNOB_1_TAG + 6,
                                                                       DISTORT_KNOB_1_TAG + 7,
                                                                       VOLUME_TAG,
                                                                       MIX_TAG};
// The modulation destinations of the eight type knobs.
inline constexpr std::array<int, NUM_DISTORT_KNOBS> DEST_DISTORT_AMT = {
    DEST_DIST_1, DEST_DIST_2, DEST_DIST_3, DEST_DIST_4, DEST_DIST_5, DEST_DIST_6, DEST_DIST_7, DEST_DIST_8};

// Number of type knobs each distortion type shows.
inline constexpr std::array<int, NUM_DISTORT_TYPES> FX_DIALS = {
    0, 5, 4, 6, 8, 4, 5, 4, 6, 4, 4, 4, 5, 4, 6, 4, 4, 5, 4, 7, 4, 4, 5, 4, 3, 5,
    5, 5, 7, 4, 7, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 4, 4, 7, 7, 5, 8, 3, 4, 8};

// The type menu's groups: first type of each, then one past the last type.
inline constexpr std::array<int, 6> DISTORT_GROUP_START = {1, 31, 43, 45, 50, 52};
inline constexpr std::array<std::string_view, 5> DISTORT_GROUP_STR = {"Distortion", "2 Band Distortion",
                                                                      "Amp/Cab", "Modulation", "WaveShaper"};
// The wave-shaper types, the last group, draw their curves on the WaveShaper tab.
inline constexpr int WAVESHAPER_GROUP = 4;

using DistortRecord = std::array<float, NUM_DISTORT_VARS>;

namespace distort_tables_detail {

// A knob is bipolar when its value text is centred on the knob's middle: the pre-boost in dB,
// signed percentages, symmetric boosts and the low/high mixes.
struct Centred {
  int type;
  int knob;
};
inline constexpr Centred CENTRED_KNOBS[] = {{3, 5},  {4, 4},  {4, 7},  {8, 5},  {12, 4}, {19, 6},
                                            {21, 2}, {28, 3}, {30, 6}, {31, 7}, {32, 7}, {33, 7},
                                            {34, 7}, {35, 7}, {37, 7}, {38, 7}, {39, 7}, {41, 7},
                                            {42, 7}, {48, 7}, {40, 3}, {40, 5}, {40, 7}};

constexpr std::array<std::array<int, NUM_DISTORT_KNOBS>, NUM_DISTORT_TYPES> makeCentred() {
  std::array<std::array<int, NUM_DISTORT_KNOBS>, NUM_DISTORT_TYPES> t{};
  for (int type = 1; type < NUM_DISTORT_TYPES; ++type) t[type][0] = 1;  // "Pre", in dB around 0
  for (const Centred& c : CENTRED_KNOBS) t[c.type][c.knob] = 1;
  return t;
}

// What a type sets differently from the common start: knob k of the type gets value v.
struct Start {
  int type;
  int knob;
  float value;
};
// clang-format off
inline constexpr Start TYPE_STARTS[] = {
    {1, 2, 1.f}, {1, 3, 0.98f}, {1, 4, 1.f},
    {2, 2, 0.3f}, {2, 3, 1.f},
    {3, 2, 1.f}, {3, 4, 1.f}, {3, 5, 0.5f},
    {4, 4, 0.5f}, {4, 5, 1.f}, {4, 7, 0.5f},
    {5, 2, 0.5f}, {5, 3, 1.f},
    {6, 4, 1.f},
    {7, 1, 1.f}, {7, 2, 0.5f}, {7, 3, 1.f},
    {8, 2, 1.f}, {8, 4, 1.f}, {8, 5, 0.5f},
    {9, 1, 1.f}, {9, 2, 0.8f}, {9, 3, 1.f},
    {10, 2, 0.75f}, {10, 3, 0.25f},
    {11, 2, 0.5f}, {11, 3, 1.f},
    {12, 2, 0.5f}, {12, 3, 1.f}, {12, 4, 0.5f},
    {13, 1, 1.f}, {13, 2, 1.f}, {13, 3, 0.25f},
    {14, 2, 0.5f}, {14, 3, 0.5f}, {14, 5, 1.f},
    {15, 2, 1.f}, {15, 3, 1.f},
    {16, 1, 1.f}, {16, 2, 0.75f}, {16, 3, 1.f},
    {17, 2, 0.5f}, {17, 3, 1.f}, {17, 4, 0.5f},
    {18, 1, 1.f}, {18, 2, 1.f}, {18, 3, 1.f},
    {19, 4, 0.5f}, {19, 5, 1.f}, {19, 6, 0.5f},
    {20, 2, 0.5f}, {20, 3, 1.f},
    {21, 2, 1.f}, {21, 3, 1.f},
    {22, 2, 0.75f}, {22, 3, 1.f}, {22, 4, 1.f},
    {23, 1, 1.f}, {23, 2, 0.5f}, {23, 3, 1.f},
    {24, 2, 1.f},
    {25, 1, 1.f}, {25, 2, 1.f}, {25, 3, 1.f}, {25, 4, 0.9f},
    {26, 1, 1.f}, {26, 2, 0.2f}, {26, 3, 1.f}, {26, 4, 1.f},
    {27, 2, 0.3f}, {27, 3, 1.f}, {27, 4, 1.f},
    {28, 2, 1.f}, {28, 4, 0.2f}, {28, 5, 0.6f}, {28, 6, 0.1f},
    {29, 3, 1.f},
    {30, 3, 0.5f}, {30, 4, 0.5f}, {30, 5, 1.f}, {30, 6, 0.5f},
    {40, 2, 0.5f}, {40, 3, 0.5f}, {40, 5, 0.5f}, {40, 7, 0.5f},
    {43, 2, 0.2504174f}, {43, 3, 0.2f},
    {44, 2, 0.3759398f}, {44, 3, 0.2f},
    {45, 3, 0.5f}, {45, 4, 1.f}, {45, 5, 0.5f}, {45, 6, 1.f},
    {46, 3, 0.5f}, {46, 4, 1.f}, {46, 5, 0.5f}, {46, 6, 1.f},
    {47, 3, 0.5f}, {47, 4, 1.f},
    {48, 2, 0.5f}, {48, 3, 0.5f}, {48, 4, 1.f}, {48, 5, 0.5f}, {48, 6, 1.f}, {48, 7, 0.5f},
    {49, 2, 1.f},
    {50, 3, 1.f},
    {51, 2, 0.5f}, {51, 4, 1.f}, {51, 6, 1.f}, {51, 7, 0.5f},
};
// clang-format on
// The two-band types 31..39, 41 and 42 share one start: split and mix in the middle.
inline constexpr int TWO_BAND_SHARED_START[] = {31, 32, 33, 34, 35, 36, 37, 38, 39, 41, 42};

constexpr std::array<DistortRecord, NUM_DISTORT_TYPES> makeDefaults() {
  // Pre-boost in the middle, the other knobs at 0, volume at 0 dB, fully wet.
  constexpr DistortRecord common = {0.5f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.75f, 1.0f};
  std::array<DistortRecord, NUM_DISTORT_TYPES> t{};
  for (DistortRecord& r : t) r = common;
  for (int type : TWO_BAND_SHARED_START) t[type][2] = t[type][7] = 0.5f;
  for (const Start& s : TYPE_STARTS) t[s.type][s.knob] = s.value;
  return t;
}

}  // namespace distort_tables_detail

// 1 where knob k of a type is bipolar, else 0.
inline constexpr std::array<std::array<int, NUM_DISTORT_KNOBS>, NUM_DISTORT_TYPES> FX_DIAL_IS_CENTERED =
    distort_tables_detail::makeCentred();
// The record each type starts with, in the order of DISTORT_VAR_TAGS.
inline constexpr std::array<DistortRecord, NUM_DISTORT_TYPES> DISTORT_TYPE_DEFAULTS =
    distort_tables_detail::makeDefaults();
