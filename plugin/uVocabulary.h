// The words the user and the host see for every menu-like parameter, distortion knob,
// modulation source and modulation destination.
//
// Every table is a constant array built by the compiler, so it exists before any code
// runs: no static-initialisation order to worry about, nothing to lock, nothing that can
// be written afterwards. Row n of a table is the text of step n of the parameter that
// indexes it. Every row's data() is NUL-terminated, so a row can be handed to C APIs.
//
// The texts are exact, including their odd spellings ("Lo Bitst", "TransBoot", the
// trailing blank of "Flwr Mod Amt "): menus recognise entries by their text and users
// know them by these words.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "modulation.h"

inline constexpr int NUM_DISTORT_TYPES = 52;
inline constexpr int NUM_DISTORT_KNOBS = 8;  // knob k is tag 6 + k and modulation destination 6 + k
static_assert(NUM_DISTORT_KNOBS == DEST_DIST_8 - DEST_DIST_1 + 1);

// The source and destination names, as the modulation numbers' table holds them.
namespace vocab_names {
constexpr std::array<std::string_view, NUM_MOD_SOURCES> sourceNames() {
  std::array<std::string_view, NUM_MOD_SOURCES> names{};
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = MOD_SOURCES[i].name;
  return names;
}
constexpr std::array<std::string_view, NUM_MOD_DESTS> destNames(bool shortForm) {
  std::array<std::string_view, NUM_MOD_DESTS> names{};
  for (std::size_t i = 0; i < names.size(); ++i)
    names[i] = shortForm ? MOD_DESTS[i].shortName : MOD_DESTS[i].name;
  return names;
}
}  // namespace vocab_names

// ---------------------------------------------------------------------------------------
// Plain tables.

inline constexpr std::array<std::string_view, 24> MODULE_PATH_STR = {
    "Path 01: Distort > Filter > Comp > Widen", "Path 02: Distort > Filter > Widen > Comp",
    "Path 03: Distort > Comp > Filter > Widen", "Path 04: Distort > Comp > Widen > Filter",
    "Path 05: Distort > Widen > Filter > Comp", "Path 06: Distort > Widen > Comp > Filter",
    "Path 07: Filter > Distort > Comp > Widen", "Path 08: Filter > Distort > Widen > Comp",
    "Path 09: Filter > Comp > Distort > Widen", "Path 10: Filter > Comp > Widen > Distort",
    "Path 11: Filter > Widen > Distort > Comp", "Path 12: Filter > Widen > Comp > Distort",
    "Path 13: Comp > Distort > Filter > Widen", "Path 14: Comp > Distort > Widen > Filter",
    "Path 15: Comp > Filter > Distort > Widen", "Path 16: Comp > Filter > Widen > Distort",
    "Path 17: Comp > Widen > Distort > Filter", "Path 18: Comp > Widen > Filter > Distort",
    "Path 19: Widen > Distort > Filter > Comp", "Path 20: Widen > Distort > Comp > Filter",
    "Path 21: Widen > Filter > Distort > Comp", "Path 22: Widen > Filter > Comp > Distort",
    "Path 23: Widen > Comp > Distort > Filter", "Path 24: Widen > Comp > Filter > Distort"};

inline constexpr std::array<std::string_view, NUM_DISTORT_TYPES> DISTORT_TYPE_STR = {"None",
                                                                                     "And",
                                                                                     "Atan",
                                                                                     "Clipper 1",
                                                                                     "Clipper 2",
                                                                                     "Cos 1",
                                                                                     "Cos 2",
                                                                                     "Cross Type 1",
                                                                                     "Cross Type 2",
                                                                                     "Foldover",
                                                                                     "Fuzz",
                                                                                     "Gapper",
                                                                                     "Hard Distort",
                                                                                     "Hard Limiter",
                                                                                     "Low-Fi",
                                                                                     "Octave 1",
                                                                                     "Octave 2",
                                                                                     "Octave 3",
                                                                                     "Overdrive",
                                                                                     "Peak Remove",
                                                                                     "Power",
                                                                                     "Rectify",
                                                                                     "Rez",
                                                                                     "Saturate",
                                                                                     "Soft Limiter",
                                                                                     "Squarify",
                                                                                     "Transient",
                                                                                     "Transient Boost",
                                                                                     "Tube Simulator",
                                                                                     "Valve",
                                                                                     "Waveshaper",
                                                                                     "Two Band Cos",
                                                                                     "Two Band Foldover",
                                                                                     "Two Band Fuzz",
                                                                                     "Two Band Gapper",
                                                                                     "Two Band Limiter",
                                                                                     "Two Band Low-FI",
                                                                                     "Two Band Octave",
                                                                                     "Two Band Overdrive",
                                                                                     "Two Band Power",
                                                                                     "Two Band Rectify",
                                                                                     "Two Band Saturate",
                                                                                     "Two Band Valve",
                                                                                     "Amp Simulator",
                                                                                     "Cabinet Simulator",
                                                                                     "FM",
                                                                                     "PM",
                                                                                     "Ring Mod",
                                                                                     "Two Band Ring Mod",
                                                                                     "Side Ring Mod",
                                                                                     "Dual Wave-Shaper",
                                                                                     "Two Band Wave-Shaper"};

inline constexpr std::array<std::string_view, 4> CAB_MODEL_STR = {"None", "Fender", "Marshall", "Off Axis"};

inline constexpr std::array<std::string_view, 6> AMP_MODEL_STR = {"None", "4x10",  "4x12",
                                                                  "Bass", "Combo", "Radio"};

inline constexpr std::array<std::string_view, 4> DISTORT_WAVE_STR = {"Sine", "Saw", "Square", "Triangle"};

inline constexpr std::array<std::string_view, 5> DISRUPT_LAZY_MODE_STR = {"Left/Right", "Left", "Right",
                                                                          "Left Saw", "Right Saw"};

// Row n labels divisor n of DISRUPT_QUANT_DIVIDE (row 7 "8" divides by 6).
inline constexpr std::array<std::string_view, 13> DISRUPT_QUANT_STR = {
    "Off", "32", "24", "20", "16", "12", "10", "8", "6", "5", "4", "3", "2"};

inline constexpr std::array<std::string_view, 18> DISRUPT_SPRING_TIME_STR = {
    "Off",    "Instant", "1/32T QB", "1/32 QB", "1/32* QB", "1/16T QB", "1/16 QB", "1/16* QB", "1/8T QB",
    "1/8 QB", "1/8* QB", "1/4T QB",  "1/4 QB",  "1/4* QB",  "1/2T QB",  "1/2 QB",  "1/2* QB",  "1 QB"};

inline constexpr std::array<std::string_view, 7> FOLLOWER_SRC_STR = {
    "Input", "Side Input", "Distort", "Filter", "Compressor", "Widen/Chorus", "Output"};

inline constexpr std::array<std::string_view, 33> WAVESHAPER_DISTORT_MODE_STR = {
    "None",         "2 Point",     "3 Point", "3 Point Cubic", "And",      "Atan",      "Bits",
    "Cos 1",        "Cos 2",       "Cross 1", "Cross 2",       "Foldover", "Fuzz",      "Gapper",
    "Hard Distort", "Hard Limit",  "Limiter", "Octave 1",      "Octave 2", "Octave 3",  "Or",
    "Overdrive",    "Peak Remove", "Power",   "Rectifier",     "Rez",      "Saturator", "Saw",
    "Soft Limiter", "Square",      "Trans",   "TransBoot",     "Valve"};

inline constexpr std::array<std::string_view, NUM_MOD_SOURCES> SRC_STR = vocab_names::sourceNames();

// Headings of the source menu: row 0 heads sources 1..31, row 1 sources 32..54;
// source 0 "None" stands outside both.
inline constexpr std::array<std::string_view, 2> SRC_HEADER_STR = {"MIDI Source", "Modulation Source"};

inline constexpr std::array<std::string_view, NUM_MOD_DESTS> DEST_STR = vocab_names::destNames(false);

inline constexpr std::array<std::string_view, NUM_MOD_DESTS> SHORT_DEST_STR = vocab_names::destNames(true);

// Headings of the destination menu. Heading h covers the destinations from
// DEST_SUB_MENU_START[h] up to DEST_SUB_MENU_START[h + 1] - 1; destination 0 "None"
// stands outside the sub-menus.
inline constexpr std::array<std::string_view, 8> DEST_HEADER_STR = {"Main",    "Distort",  "EQ",  "Modules",
                                                                    "Disrupt", "Follower", "LFO", "Mod"};
inline constexpr std::array<int, 9> DEST_SUB_MENU_START = {
    DEST_VOLUME,          DEST_DIST_1,    DEST_PRE_EQ_GAIN_1, DEST_HP_FREQ, DEST_DISRUPT,
    DEST_FOLLOWER_SMOOTH, DEST_LFO_AMT_1, DEST_MOD_AMT_1,     NUM_MOD_DESTS};
constexpr bool subMenusCoverTheDestinations() {
  for (std::size_t h = 0; h + 1 < DEST_SUB_MENU_START.size(); ++h)
    if (DEST_SUB_MENU_START[h] >= DEST_SUB_MENU_START[h + 1]) return false;
  return DEST_SUB_MENU_START.front() == DEST_NONE + 1 && DEST_SUB_MENU_START.back() == NUM_MOD_DESTS &&
         DEST_HEADER_STR.size() + 1 == DEST_SUB_MENU_START.size();
}
static_assert(subMenusCoverTheDestinations(), "the destination menu's headings cover every destination once");

inline constexpr std::array<std::string_view, 4> LFO_STR = {"LFO 1", "LFO 2", "LFO 3", "LFO 4"};

inline constexpr std::array<std::string_view, 8> LFO_WAVE_STR = {
    "Sine", "Triangle", "Saw Up", "Saw Down", "Square", "Sample And Hold", "WaveShaper1", "WaveShaper2"};

inline constexpr std::array<std::string_view, 8> SHORT_LFO_WAVE_STR = {
    "Sine", "Triangle", "Saw Up", "Saw Dn", "Square", "S And H", "Shaper1", "Shaper2"};

inline constexpr std::array<std::string_view, NUM_LFO_MODES> LFO_MODE_STR = LFO_MODE_NAMES;

inline constexpr std::array<std::string_view, 19> LFO_TRIGGER_STR = {
    "None", "Mod Wheel", "Pitch Bend", "Breath", "Foot", "Expression", "CC16", "CC17", "CC18", "CC19",
    "CC20", "CC21",      "CC84",       "CC85",   "CC86", "CC87",       "CC88", "CC89", "CC90"};

// Row n names tempo-synced period n (lengths in PERIOD_ARRAY of the LFO); a sync value v names
// row steprule::stepOf(v, SYNC_PERIOD_SCALE, 31).
inline constexpr float SYNC_PERIOD_SCALE = 30.99f;
inline constexpr std::array<std::string_view, 31> PERIOD_STR = {
    "Off",  "16/1*", "16/1", "16/1T", "8/1*", "8/1",   "8/1T",  "4/1*", "4/1",  "4/1T", "2/1*",
    "2/1",  "2/1T",  "1/1*", "1/1",   "1/1T", "1/2*",  "1/2",   "1/2T", "1/4*", "1/4",  "1/4T",
    "1/8*", "1/8",   "1/8T", "1/16*", "1/16", "1/16T", "1/32*", "1/32", "1/32T"};

inline constexpr std::array<std::string_view, 3> SCREEN_SIZE_STR = {
    "Set to 100% Screen Size", "Set to 150% Screen Size", "Set to 200% Screen Size"};

inline constexpr std::array<std::string_view, 3> SHORT_SCREEN_SIZE_STR = {
    "100% Screen Size", "150% Screen Size", "200% Screen Size"};

// ---------------------------------------------------------------------------------------
// Per-type knob tables: DISTORT_LABEL_STR (knob captions), DISTORT_READOUT_STR (long knob
// names, also the parameter names of tags 6..13) and DISTORT_DEST_STR (names of the
// modulation destinations 6..13). Row type x 8 + k belongs to knob k of that type.
//
// They are generated by the compiler from the one table below, which holds only what
// differs from type to type, and the rules that fill in the rest:
// - knobs 0 and 1 are the same for every type ("Pre" / "Norm");
// - a knob a type does not use shows its column letter ("C" for knob 2 .. "H" for knob 7,
//   "Dist C" .. "Dist H" for the "None" type) and the long name "Distort: Distort k-1";
// - the destination name is "Dist: " + caption, except in the cells listed in
//   DISTORT_DEST_CAPTION_ONLY, which carry the caption alone.

namespace vocab_detail {

struct KnobCell {
  std::string_view caption;  // empty: the knob is unused by this type
  std::string_view longName;
};

// Knobs 2..7 of every type.
inline constexpr KnobCell DISTORT_KNOB_CELLS[NUM_DISTORT_TYPES][6] = {
    /* 0 None */ {},
    /* 1 And */
    {{"Mult", "Distort: Multiply"}, {"And", "Distort: And"}, {"Amount", "Distort: Amount"}},
    /* 2 Atan */ {{"Distort", "Distort: Distortion"}, {"Amount", "Distort: Amount"}},
    /* 3 Clipper 1 */
    {{"Neg", "Distort: Negative Limit"},
     {"Pos", "Distort: Positive Limit"},
     {"Amount", "Distort: Amount"},
     {"Boost", "Distort: Boost"}},
    /* 4 Clipper 2 */
    {{"Tone", "Distort: Tone"},
     {"Limit", "Distort: Limit"},
     {"Sym", "Distort: Sym"},
     {"LP", "Distort: LP Filter"},
     {"HP", "Distort: HP Filter"},
     {"Boost", "Distort: Boost"}},
    /* 5 Cos 1 */ {{"Freq", "Distort: Frequency"}, {"Amount", "Distort: Amount"}},
    /* 6 Cos 2 */
    {{"Start", "Distort: Start Freq"}, {"End", "Distort: End Frequency"}, {"Amount", "Distort: Amount"}},
    /* 7 Cross Type 1 */ {{"Cross", "Distort: Cross Level"}, {"Amount", "Distort: Amount"}},
    /* 8 Cross Type 2 */
    {{"Neg", "Distort: Negative Level"},
     {"Pos", "Distort: Positive Level"},
     {"Amount", "Distort: Amount"},
     {"Boost", "Distort: Boost"}},
    /* 9 Foldover */ {{"Freq", "Distort: Frequency"}, {"Amount", "Distort: Amount"}},
    /* 10 Fuzz */ {{"Freq", "Distort: Frequency"}, {"Amount", "Distort: Amount"}},
    /* 11 Gapper */ {{"Freq", "Distort: Frequency"}, {"Amount", "Distort: Amount"}},
    /* 12 Hard Distort */
    {{"Limit", "Distort: Limit"}, {"Amount", "Distort: Amount"}, {"Sym", "Distort: Symmetry"}},
    /* 13 Hard Limiter */ {{"Limit", "Distort: Limit"}, {"Amount", "Distort: Amount"}},
    /* 14 Low-Fi */
    {{"Bits", "Distort: Bits"},
     {"S&H", "Distort: S&H"},
     {"Noise", "Distort: Noise"},
     {"Amount", "Distort: Amount"}},
    /* 15 Octave 1 */ {{"Neg", "Distort: Negative Amount"}, {"Pos", "Distort: Positive Amount"}},
    /* 16 Octave 2 */ {{"Freq", "Distort: Frequency"}, {"Amount", "Distort: Amount"}},
    /* 17 Octave 3 */
    {{"Start", "Distort: Start Frequency"}, {"End", "Distort: End Frequency"}, {"Amount", "Distort: Amount"}},
    /* 18 Overdrive */ {{"Distort", "Distort: Distortion"}, {"Amount", "Distort: Amount"}},
    /* 19 Peak Remove */
    {{"Start", "Distort: Start"},
     {"End", "Distort: End"},
     {"Limit", "Distort: Limit"},
     {"Amount", "Distort: Amount"},
     {"Boost", "Distort: Boost"}},
    /* 20 Power */ {{"Distort", "Distort: Distortion"}, {"Amount", "Distort: Amount"}},
    /* 21 Rectify */ {{"Rect", "Distort: Rectify"}, {"Amount", "Distort: Amount"}},
    /* 22 Rez */
    {{"Freq", "Distort: Frequency"}, {"Distort", "Distort: Distort"}, {"Amount", "Distort: Amount"}},
    /* 23 Saturate */ {{"Sat", "Distort: Level"}, {"Amount", "Distort: Amount"}},
    /* 24 Soft Limiter */ {{"Amount", "Distort: Amount"}},
    /* 25 Squarify */
    {{"Neg", "Distort: Negative Mix"}, {"Pos", "Distort: Positive Mix"}, {"Filter", "Distort: Filter"}},
    /* 26 Transient */
    {{"Range", "Distort: Range"}, {"Trans", "Distort: Trans"}, {"Amount", "Distort: Amount"}},
    /* 27 Transient Boost */
    {{"Range", "Distort: Range"}, {"Boost", "Distort: Boost"}, {"Amount", "Distort: Amount"}},
    /* 28 Tube Simulator */
    {{"Limit", "Distort: Limiter"},
     {"Rect", "Distort: Rectify"},
     {"Sat", "Distort: Saturate"},
     {"Tone", "Distort: Tone"},
     {"Emph", "Distort: Emphasis"}},
    /* 29 Valve */ {{"Distort", "Distort: Distort"}, {"Amount", "Distort: Amount"}},
    /* 30 Waveshaper */
    {{"Neg", "Distort: Negative"},
     {"Pos", "Distort: Positive"},
     {"Rect", "Distort: Rectify"},
     {"Amount", "Distort: Amount"},
     {"Boost", "Distort: Boost"}},
    /* 31 Two Band Cos */
    {{"Split", "Distort: Split Freq"},
     {"Lo Freq", "Distort: Low Freq"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Freq", "Distort: High Freq"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 32 Two Band Foldover */
    {{"Split", "Distort: Split Freq"},
     {"Lo Freq", "Distort: Low Freq"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Freq", "Distort: High Freq"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 33 Two Band Fuzz */
    {{"Split", "Distort: Split Freq"},
     {"Lo Freq", "Distort: Low Freq"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Freq", "Distort: High Freq"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 34 Two Band Gapper */
    {{"Split", "Distort: Split Freq"},
     {"Lo Freq", "Distort: Low Freq"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Freq", "Distort: High Freq"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 35 Two Band Limiter */
    {{"Split", "Distort: Split Freq"},
     {"Lo Limit", "Distort: Low Limit"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Limit", "Distort: High Limit"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 36 Two Band Low-FI */
    {{"Split", "Distort: Split Freq"},
     {"Lo Bitst", "Distort: Low Bits"},
     {"Lo Rate", "Distort: Low Rate"},
     {"Hi Bits", "Distort: High Bits"},
     {"Hi Rate", "Distort: High Rate"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 37 Two Band Octave */
    {{"Split", "Distort: Split Freq"},
     {"Lo Freq", "Distort: Low Freq"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Freq", "Distort: High Freq"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 38 Two Band Overdrive */
    {{"Split", "Distort: Split Freq"},
     {"Lo Dist", "Distort: Low Distortion"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Dist", "Distort: High Distortion"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 39 Two Band Power */
    {{"Split", "Distort: Split Freq"},
     {"Lo Dist", "Distort: Low Distortion"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Dist", "Distort: High Distortion"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 40 Two Band Rectify */
    {{"Split", "Distort: Split Freq"},
     {"Lo Rect", "Distort: Low Rectify"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Rect", "Distort: High Rectify"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 41 Two Band Saturate */
    {{"Split", "Distort: Split Freq"},
     {"Lo Sat", "Distort: Low Saturate"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Sat", "Distort: High Saturate"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 42 Two Band Valve */
    {{"Split", "Distort: Split Freq"},
     {"Lo Dist", "Distort: Low Distortion"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Dist", "Distort: High Distortion"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 43 Amp Simulator */ {{"Type", "Distort: Type"}, {"Distort", "Distort: Distort"}},
    /* 44 Cabinet Simulator */ {{"Type", "Distort: Type"}, {"Distort", "Distort: Distort"}},
    /* 45 FM */
    {{"Wave", "Distort: Wave"},
     {"Freq", "Distort: Frequency"},
     {"LP", "Distort: LP Filter"},
     {"FM", "Distort: FM"},
     {"Amount", "Distort: Amount"}},
    /* 46 PM */
    {{"Wave", "Distort: Wave"},
     {"Freq", "Distort: Frequency"},
     {"LP", "Distort: LP Filter"},
     {"PM", "Distort: PM"},
     {"Amount", "Distort: Amount"}},
    /* 47 Ring Mod */
    {{"Wave", "Distort: Wave"}, {"Freq", "Distort: Frequency"}, {"Amount", "Distort: Amount"}},
    /* 48 Two Band Ring Mod */
    {{"Split", "Distort: Split Freq"},
     {"Lo Freq", "Distort: Low Freq"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi Freq", "Distort: High Freq"},
     {"Hi Amt", "Distort: High Amount"},
     {"L/H Mix", "Distort: Low/High Amount"}},
    /* 49 Side Ring Mod */ {{"Amount", "Distort: Amount"}},
    /* 50 Dual Wave-Shaper */ {{"1/2 Mix", "Distort: 1/2 Mix"}, {"Amount", "Distort: Amount"}},
    /* 51 Two Band Wave-Shaper */
    {{"Split", "Distort: Split Freq"},
     {"Lo 1/2", "Distort: Low 1/2 Mix"},
     {"Lo Amt", "Distort: Low Amount"},
     {"Hi 1/2", "Distort: High 1/2 Mix"},
     {"Hi Amt", "Distort: High Amount"},
     {"Amount", "Distort: Low/High Mix"}},
};

struct TypeKnob {
  int type;
  int knob;
};

// Destination names that carry the knob caption without the "Dist: " prefix.
inline constexpr TypeKnob DISTORT_DEST_CAPTION_ONLY[] = {
    {1, 3},  {12, 3}, {24, 4}, {25, 4}, {30, 3}, {30, 5}, {31, 3}, {32, 3}, {33, 3}, {34, 3}, {35, 3},
    {36, 3}, {37, 3}, {38, 3}, {39, 3}, {40, 3}, {41, 3}, {42, 3}, {48, 3}, {51, 3}, {43, 4}, {44, 4}};

// A short text held inside the table itself, so a view of it is a compile-time constant.
struct FixedText {
  static constexpr std::size_t CAPACITY = 32;
  char chars[CAPACITY] = {};
  std::size_t length = 0;

  constexpr FixedText& append(std::string_view s) {
    for (char c : s) {
      if (length + 1 >= CAPACITY) throw "FixedText capacity exceeded";  // stops compilation
      chars[length++] = c;
    }
    chars[length] = '\0';
    return *this;
  }
  constexpr FixedText& append(char c) { return append(std::string_view(&c, 1)); }
  constexpr std::string_view view() const { return std::string_view(chars, length); }
};

inline constexpr int DISTORT_ROWS = NUM_DISTORT_TYPES * NUM_DISTORT_KNOBS;

constexpr bool isCaptionOnlyDest(int type, int knob) {
  for (const TypeKnob& tk : DISTORT_DEST_CAPTION_ONLY)
    if (tk.type == type && tk.knob == knob) return true;
  return false;
}

constexpr FixedText text(std::string_view s) {
  FixedText t;
  t.append(s);
  return t;
}

constexpr FixedText knobCaption(int type, int knob) {
  if (knob == 0) return text("Pre");
  if (knob == 1) return text("Norm");
  const KnobCell& cell = DISTORT_KNOB_CELLS[type][knob - 2];
  if (!cell.caption.empty()) return text(cell.caption);
  // Unused knob: its column letter. The side ring modulator's two unused knobs after its
  // only one are lettered one column early.
  char letter = static_cast<char>('A' + knob);
  if (type == 49 && (knob == 3 || knob == 4)) letter = static_cast<char>('A' + knob - 1);
  FixedText t = text(type == 0 ? "Dist " : "");
  t.append(letter);
  return t;
}

constexpr FixedText knobReadout(int type, int knob) {
  if (knob == 0) return text("Distort: Pre-Boost");
  if (knob == 1) return text("Distort: Normalize");
  const KnobCell& cell = DISTORT_KNOB_CELLS[type][knob - 2];
  if (!cell.longName.empty()) return text(cell.longName);
  FixedText t = text("Distort: Distort ");
  t.append(static_cast<char>('0' + knob - 1));
  return t;
}

constexpr FixedText knobDest(int type, int knob) {
  FixedText t = text(isCaptionOnlyDest(type, knob) ? "" : "Dist: ");
  t.append(knobCaption(type, knob).view());
  return t;
}

template <FixedText (*Rule)(int, int)>
constexpr std::array<FixedText, DISTORT_ROWS> buildKnobRows() {
  std::array<FixedText, DISTORT_ROWS> rows{};
  for (int type = 0; type < NUM_DISTORT_TYPES; ++type)
    for (int knob = 0; knob < NUM_DISTORT_KNOBS; ++knob)
      rows[type * NUM_DISTORT_KNOBS + knob] = Rule(type, knob);
  return rows;
}

inline constexpr std::array<FixedText, DISTORT_ROWS> DISTORT_LABEL_ROWS = buildKnobRows<knobCaption>();
inline constexpr std::array<FixedText, DISTORT_ROWS> DISTORT_READOUT_ROWS = buildKnobRows<knobReadout>();
inline constexpr std::array<FixedText, DISTORT_ROWS> DISTORT_DEST_ROWS = buildKnobRows<knobDest>();

template <const std::array<FixedText, DISTORT_ROWS>& Rows>
constexpr std::array<std::string_view, DISTORT_ROWS> viewsOf() {
  std::array<std::string_view, DISTORT_ROWS> views{};
  for (std::size_t i = 0; i < Rows.size(); ++i) views[i] = Rows[i].view();
  return views;
}

}  // namespace vocab_detail

inline constexpr std::array<std::string_view, vocab_detail::DISTORT_ROWS> DISTORT_LABEL_STR =
    vocab_detail::viewsOf<vocab_detail::DISTORT_LABEL_ROWS>();
inline constexpr std::array<std::string_view, vocab_detail::DISTORT_ROWS> DISTORT_READOUT_STR =
    vocab_detail::viewsOf<vocab_detail::DISTORT_READOUT_ROWS>();
inline constexpr std::array<std::string_view, vocab_detail::DISTORT_ROWS> DISTORT_DEST_STR =
    vocab_detail::viewsOf<vocab_detail::DISTORT_DEST_ROWS>();

// ---------------------------------------------------------------------------------------
// The two destination texts that several readers share. A distortion knob destination
// (6..13) is named after the knob of the given distortion type. A destination outside
// 0..111 gives the empty text; a type outside 0..51 is clamped.

// Long form: DEST_STR, or the knob's long name.
std::string_view destText(int dest, int distortType);
// Short form: SHORT_DEST_STR, or the knob's destination name.
std::string_view shortDestText(int dest, int distortType);
