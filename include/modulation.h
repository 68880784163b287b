// The modulation sources and destinations: every number with its name and kind, in one place.
// The engine, the MIDI input, the modulation matrix, the tag map and the menus' texts all take
// their numbers from here; the texts the user sees are the names below, exactly.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// ---- Sources ----
enum ModSource : int {
  SRC_NONE = 0,
  SRC_MOD_WHEEL = 1,
  SRC_MOD_AFTER = 2,
  SRC_CHANNEL_AFTER = 3,
  SRC_POLY_AFTER = 4,
  SRC_NOTE = 5,
  SRC_NOTE_CENTER = 6,
  SRC_NOTE_RND_1 = 7,
  SRC_NOTE_UNI_RND_1 = 8,
  SRC_NOTE_RND_2 = 9,
  SRC_NOTE_UNI_RND_2 = 10,
  SRC_VELOCITY = 11,
  SRC_PITCHBEND = 12,
  SRC_BREATH = 13,
  SRC_FOOT = 14,
  SRC_EXPRESSION = 15,
  SRC_CC16 = 16,
  SRC_CC17 = 17,
  SRC_CC18 = 18,
  SRC_CC19 = 19,
  SRC_CC20 = 20,
  SRC_CC21 = 21,
  SRC_BRIGHTNESS = 22,
  SRC_CC84 = 23,
  SRC_CC85 = 24,
  SRC_CC86 = 25,
  SRC_CC87 = 26,
  SRC_CC88 = 27,
  SRC_CC89 = 28,
  SRC_CC90 = 29,
  SRC_CC113 = 30,
  SRC_CC114 = 31,
  SRC_LFO_1 = 32,
  SRC_UNI_LFO_1 = 33,
  SRC_LFO_2 = 34,
  SRC_UNI_LFO_2 = 35,
  SRC_LFO_3 = 36,
  SRC_UNI_LFO_3 = 37,
  SRC_LFO_4 = 38,
  SRC_UNI_LFO_4 = 39,
  SRC_FOLLOWER = 40,
  SRC_DISRUPT = 41,
  SRC_LAZY = 42,
  SRC_UNI_LAZY = 43,
  SRC_LAZY_SIGN = 44,
  SRC_INPUT = 45,
  SRC_SIDE = 46,
  SRC_DISTORTION = 47,
  SRC_FILTER = 48,
  SRC_COMPRESSOR = 49,
  SRC_WIDEN = 50,
  SRC_OUTPUT = 51,
  SRC_OFFSET = 52,
  SRC_NOISE = 53,
  SRC_UNI_NOISE = 54,
  NUM_MOD_SOURCES
};

// How a source swings: unipolar 0..1; bipolar around zero (the matrix compares its thresholds in
// the -1..1 form); centred sources are bipolar and their threshold slots run -amount..+amount.
enum class SourceKind : uint8_t { Unipolar, Bipolar, Centred };

struct ModSourceInfo {
  std::string_view name;
  SourceKind kind;
};

inline constexpr std::array<ModSourceInfo, NUM_MOD_SOURCES> MOD_SOURCES = {{
    {"None", SourceKind::Unipolar},            // SRC_NONE
    {"Mod Wheel", SourceKind::Unipolar},       // SRC_MOD_WHEEL
    {"Mod/After", SourceKind::Unipolar},       // SRC_MOD_AFTER
    {"Channel After", SourceKind::Unipolar},   // SRC_CHANNEL_AFTER
    {"Poly After", SourceKind::Unipolar},      // SRC_POLY_AFTER
    {"Note", SourceKind::Unipolar},            // SRC_NOTE
    {"Note Center", SourceKind::Centred},      // SRC_NOTE_CENTER
    {"Note Rnd 1", SourceKind::Centred},       // SRC_NOTE_RND_1
    {"Note Uni Rnd 1", SourceKind::Unipolar},  // SRC_NOTE_UNI_RND_1
    {"Note Rnd 2", SourceKind::Centred},       // SRC_NOTE_RND_2
    {"Note Uni Rnd 2", SourceKind::Unipolar},  // SRC_NOTE_UNI_RND_2
    {"Velocity", SourceKind::Unipolar},        // SRC_VELOCITY
    {"Pitchbend", SourceKind::Centred},        // SRC_PITCHBEND
    {"Breath", SourceKind::Unipolar},          // SRC_BREATH
    {"Foot", SourceKind::Unipolar},            // SRC_FOOT
    {"Expression", SourceKind::Unipolar},      // SRC_EXPRESSION
    {"CC16", SourceKind::Unipolar},            // SRC_CC16
    {"CC17", SourceKind::Unipolar},            // SRC_CC17
    {"CC18", SourceKind::Unipolar},            // SRC_CC18
    {"CC19", SourceKind::Unipolar},            // SRC_CC19
    {"CC20", SourceKind::Unipolar},            // SRC_CC20
    {"CC21", SourceKind::Unipolar},            // SRC_CC21
    {"Brightness", SourceKind::Unipolar},      // SRC_BRIGHTNESS
    {"CC84", SourceKind::Unipolar},            // SRC_CC84
    {"CC85", SourceKind::Unipolar},            // SRC_CC85
    {"CC86", SourceKind::Unipolar},            // SRC_CC86
    {"CC87", SourceKind::Unipolar},            // SRC_CC87
    {"CC88", SourceKind::Unipolar},            // SRC_CC88
    {"CC89", SourceKind::Unipolar},            // SRC_CC89
    {"CC90", SourceKind::Unipolar},            // SRC_CC90
    {"CC113", SourceKind::Unipolar},           // SRC_CC113
    {"CC114", SourceKind::Unipolar},           // SRC_CC114
    {"LFO 1", SourceKind::Bipolar},            // SRC_LFO_1
    {"Uni LFO 1", SourceKind::Unipolar},       // SRC_UNI_LFO_1
    {"LFO 2", SourceKind::Bipolar},            // SRC_LFO_2
    {"Uni LFO 2", SourceKind::Unipolar},       // SRC_UNI_LFO_2
    {"LFO 3", SourceKind::Bipolar},            // SRC_LFO_3
    {"Uni LFO 3", SourceKind::Unipolar},       // SRC_UNI_LFO_3
    {"LFO 4", SourceKind::Bipolar},            // SRC_LFO_4
    {"Uni LFO 4", SourceKind::Unipolar},       // SRC_UNI_LFO_4
    {"Follower", SourceKind::Unipolar},        // SRC_FOLLOWER
    {"Disrupt", SourceKind::Centred},          // SRC_DISRUPT
    {"Lazy", SourceKind::Bipolar},             // SRC_LAZY
    {"Uni Lazy", SourceKind::Unipolar},        // SRC_UNI_LAZY
    {"Lazy Sign", SourceKind::Centred},        // SRC_LAZY_SIGN
    {"Input", SourceKind::Centred},            // SRC_INPUT
    {"Side", SourceKind::Centred},             // SRC_SIDE
    {"Distortion", SourceKind::Centred},       // SRC_DISTORTION
    {"Filter", SourceKind::Centred},           // SRC_FILTER
    {"Compressor", SourceKind::Centred},       // SRC_COMPRESSOR
    {"Widen", SourceKind::Centred},            // SRC_WIDEN
    {"Output", SourceKind::Centred},           // SRC_OUTPUT
    {"Offset", SourceKind::Unipolar},          // SRC_OFFSET
    {"Noise", SourceKind::Centred},            // SRC_NOISE
    {"Uni-Noise", SourceKind::Unipolar},       // SRC_UNI_NOISE
}};

// The LFOs' bipolar and unipolar sources, and the audio taps of the four stages in stage order.
inline constexpr std::array<int, 4> SRC_LFO = {SRC_LFO_1, SRC_LFO_2, SRC_LFO_3, SRC_LFO_4};
inline constexpr std::array<int, 4> SRC_LFO_UNI = {SRC_UNI_LFO_1, SRC_UNI_LFO_2, SRC_UNI_LFO_3,
                                                   SRC_UNI_LFO_4};
inline constexpr int SRC_STAGE_FIRST = SRC_DISTORTION;  // + stage: Distortion, Filter, Compressor, Widen
static_assert(SRC_UNI_LFO_1 == SRC_LFO_1 + 1 && SRC_LFO_2 == SRC_LFO_1 + 2,
              "each LFO's two sources side by side");
static_assert(SRC_WIDEN == SRC_STAGE_FIRST + 3);

// ---- Destinations ----
enum ModDest : int {
  DEST_NONE = 0,
  DEST_VOLUME = 1,
  DEST_MIX = 2,
  DEST_PAN = 3,
  DEST_WET_PAN = 4,
  DEST_DRY_PAN = 5,
  DEST_DIST_1 = 6,
  DEST_DIST_2 = 7,
  DEST_DIST_3 = 8,
  DEST_DIST_4 = 9,
  DEST_DIST_5 = 10,
  DEST_DIST_6 = 11,
  DEST_DIST_7 = 12,
  DEST_DIST_8 = 13,
  DEST_GATE_THRESHOLD = 14,
  DEST_GATE_ATTACK = 15,
  DEST_GATE_HOLD = 16,
  DEST_GATE_RELEASE = 17,
  DEST_PRE_EQ_GAIN_1 = 18,
  DEST_PRE_EQ_GAIN_2 = 19,
  DEST_PRE_EQ_GAIN_3 = 20,
  DEST_PRE_EQ_GAIN_4 = 21,
  DEST_PRE_EQ_FREQ_1 = 22,
  DEST_PRE_EQ_FREQ_2 = 23,
  DEST_PRE_EQ_FREQ_3 = 24,
  DEST_PRE_EQ_FREQ_4 = 25,
  DEST_PRE_EQ_BW_1 = 26,
  DEST_PRE_EQ_BW_2 = 27,
  DEST_PRE_EQ_BW_3 = 28,
  DEST_PRE_EQ_BW_4 = 29,
  DEST_POST_EQ_GAIN_1 = 30,
  DEST_POST_EQ_GAIN_2 = 31,
  DEST_POST_EQ_GAIN_3 = 32,
  DEST_POST_EQ_GAIN_4 = 33,
  DEST_POST_EQ_FREQ_1 = 34,
  DEST_POST_EQ_FREQ_2 = 35,
  DEST_POST_EQ_FREQ_3 = 36,
  DEST_POST_EQ_FREQ_4 = 37,
  DEST_POST_EQ_BW_1 = 38,
  DEST_POST_EQ_BW_2 = 39,
  DEST_POST_EQ_BW_3 = 40,
  DEST_POST_EQ_BW_4 = 41,
  DEST_HP_FREQ = 42,
  DEST_HP_Q = 43,
  DEST_LP_FREQ = 44,
  DEST_LP_Q = 45,
  DEST_COMP_THRESHOLD = 46,
  DEST_COMP_RATIO = 47,
  DEST_COMP_ATTACK = 48,
  DEST_COMP_RELEASE = 49,
  DEST_COMP_VOLUME = 50,
  DEST_WIDENER_AMOUNT = 51,
  DEST_WIDENER_WIDTH = 52,
  DEST_WIDENER_SPEED = 53,
  DEST_CHORUS_MIX = 54,
  DEST_CHORUS_LENGTH = 55,
  DEST_CHORUS_WIDTH = 56,
  DEST_CHORUS_SPEED = 57,
  DEST_DISRUPT = 58,
  DEST_DISRUPT_SMOOTH = 59,
  DEST_DISRUPT_1 = 60,
  DEST_DISRUPT_2 = 61,
  DEST_DISRUPT_3 = 62,
  DEST_DISRUPT_4 = 63,
  DEST_DISRUPT_5 = 64,
  DEST_DISRUPT_6 = 65,
  DEST_DISRUPT_7 = 66,
  DEST_LAZY_SPEED = 67,
  DEST_LAZY_PHASE = 68,
  DEST_LAZY_SHAPE = 69,
  DEST_FOLLOWER_SMOOTH = 70,
  DEST_FOLLOWER_BOOST = 71,
  DEST_FOLLOWER_THRESHOLD = 72,
  DEST_FOLLOWER_ATTACK = 73,
  DEST_FOLLOWER_HOLD = 74,
  DEST_FOLLOWER_DECAY = 75,
  DEST_FOLLOWER_AMT_1 = 76,
  DEST_FOLLOWER_AMT_2 = 77,
  DEST_FOLLOWER_AMT_3 = 78,
  DEST_FOLLOWER_MOD_AMT_1 = 79,
  DEST_FOLLOWER_MOD_AMT_2 = 80,
  DEST_FOLLOWER_MOD_AMT_3 = 81,
  DEST_LFO_AMT_1 = 82,
  DEST_LFO_AMT_2 = 83,
  DEST_LFO_AMT_3 = 84,
  DEST_LFO_AMT_4 = 85,
  DEST_LFO_SPEED_1 = 86,
  DEST_LFO_SPEED_2 = 87,
  DEST_LFO_SPEED_3 = 88,
  DEST_LFO_SPEED_4 = 89,
  DEST_LFO_SHAPE_1 = 90,
  DEST_LFO_SHAPE_2 = 91,
  DEST_LFO_SHAPE_3 = 92,
  DEST_LFO_SHAPE_4 = 93,
  DEST_LFO_PHASE_1 = 94,
  DEST_LFO_PHASE_2 = 95,
  DEST_LFO_PHASE_3 = 96,
  DEST_LFO_PHASE_4 = 97,
  DEST_LFO_SMOOTH_1 = 98,
  DEST_LFO_SMOOTH_2 = 99,
  DEST_LFO_SMOOTH_3 = 100,
  DEST_LFO_SMOOTH_4 = 101,
  DEST_MOD_AMT_1 = 102,
  DEST_MOD_AMT_2 = 103,
  DEST_MOD_AMT_3 = 104,
  DEST_MOD_AMT_4 = 105,
  DEST_MOD_AMT_5 = 106,
  DEST_MOD_AMT_6 = 107,
  DEST_MOD_AMT_7 = 108,
  DEST_MOD_AMT_8 = 109,
  DEST_MOD_AMT_9 = 110,
  DEST_MOD_AMT_10 = 111,
  NUM_MOD_DESTS
};

// A knob destination adds to the value of a parameter (the tag map names which); a
// modulation-only destination (pans, Disrupt smoothing, lazy and LFO phase and smoothing) has
// no knob and is 0 when nothing modulates it.
enum class DestKind : uint8_t { None, Knob, ModOnly };

struct ModDestInfo {
  std::string_view name;       // the destination menu and the parameter texts
  std::string_view shortName;  // where room is short
  DestKind kind;
};

inline constexpr std::array<ModDestInfo, NUM_MOD_DESTS> MOD_DESTS = {{
    {"None", "None", DestKind::None},
    {"Volume", "Volume", DestKind::Knob},
    {"Mix", "Mix", DestKind::Knob},
    {"Pan", "Pan", DestKind::ModOnly},
    {"Wet Pan", "Wet Pan", DestKind::ModOnly},
    {"Dry Pan", "Dry Pan", DestKind::ModOnly},
    {"Dist1", "Dist1", DestKind::Knob},
    {"Dist2", "Dist2", DestKind::Knob},
    {"Dist3", "Dist3", DestKind::Knob},
    {"Dist4", "Dist4", DestKind::Knob},
    {"Dist5", "Dist5", DestKind::Knob},
    {"Dist6", "Dist6", DestKind::Knob},
    {"Dist7", "Dist7", DestKind::Knob},
    {"Dist8", "Dist8", DestKind::Knob},
    {"Gate Threshold", "Gate Threshold", DestKind::Knob},
    {"Gate Attack", "Gate Attack", DestKind::Knob},
    {"Gate Hold", "Gate Hold", DestKind::Knob},
    {"Gate Release", "Gate Release", DestKind::Knob},
    {"Pre-EQ Band 1 Gain", "PreEQ 1 Gain", DestKind::Knob},
    {"Pre-EQ Band 2 Gain", "PreEQ 2 Gain", DestKind::Knob},
    {"Pre-EQ Band 3 Gain", "PreEQ 3 Gain", DestKind::Knob},
    {"Pre-EQ Band 4 Gain", "PreEQ 4 Gain", DestKind::Knob},
    {"Pre-EQ Band 1 Freq", "PreEQ 1 Freq", DestKind::Knob},
    {"Pre-EQ Band 2 Freq", "PreEQ 2 Freq", DestKind::Knob},
    {"Pre-EQ Band 3 Freq", "PreEQ 3 Freq", DestKind::Knob},
    {"Pre-EQ Band 4 Freq", "PreEQ 4 Freq", DestKind::Knob},
    {"Pre-EQ Band 1 BW", "PreEQ 1 BW", DestKind::Knob},
    {"Pre-EQ Band 2 BW", "PreEQ 2 BW", DestKind::Knob},
    {"Pre-EQ Band 3 BW", "PreEQ 3 BW", DestKind::Knob},
    {"Pre-EQ Band 4 BW", "PreEQ 4 BW", DestKind::Knob},
    {"Post-EQ Band 1 Gain", "PostEQ 1 Gain", DestKind::Knob},
    {"Post-EQ Band 2 Gain", "PostEQ 2 Gain", DestKind::Knob},
    {"Post-EQ Band 3 Gain", "PostEQ 3 Gain", DestKind::Knob},
    {"Post-EQ Band 4 Gain", "PostEQ 4 Gain", DestKind::Knob},
    {"Post-EQ Band 1 Freq", "PostEQ 1 Freq", DestKind::Knob},
    {"Post-EQ Band 2 Freq", "PostEQ 2 Freq", DestKind::Knob},
    {"Post-EQ Band 3 Freq", "PostEQ 3 Freq", DestKind::Knob},
    {"Post-EQ Band 4 Freq", "PostEQ 4 Freq", DestKind::Knob},
    {"Post-EQ Band 1 BW", "PostEQ 1 BW", DestKind::Knob},
    {"Post-EQ Band 2 BW", "PostEQ 2 BW", DestKind::Knob},
    {"Post-EQ Band 3 BW", "PostEQ 3 BW", DestKind::Knob},
    {"Post-EQ Band 4 BW", "PostEQ 4 BW", DestKind::Knob},
    {"Filter High Frequency", "Filter High Freq", DestKind::Knob},
    {"Filter High Q", "Filter High Q", DestKind::Knob},
    {"Filter Low Frequency", "Filter Low Freq", DestKind::Knob},
    {"Filter Low Q", "Filter Low Q", DestKind::Knob},
    {"Compressor Threshold", "Comp Thresh", DestKind::Knob},
    {"Compressor Ratio", "Comp Ratio", DestKind::Knob},
    {"Compressor Attack", "Comp Attack", DestKind::Knob},
    {"Compressor Release", "Comp Release", DestKind::Knob},
    {"Compressor Volume", "Comp Volume", DestKind::Knob},
    {"Widener Amount", "Widener Amount", DestKind::Knob},
    {"Widener Width", "Widener Width", DestKind::Knob},
    {"Widen Speed", "Widen Speed", DestKind::Knob},
    {"Chorus Mix", "Chorus Mix", DestKind::Knob},
    {"Chorus Length", "Chorus Length", DestKind::Knob},
    {"Chorus Width", "Chorus Width", DestKind::Knob},
    {"Chorus Speed", "Chorus Speed", DestKind::Knob},
    {"Disrupt", "Disrupt", DestKind::Knob},
    {"Disrupt Smooth", "Disrupt Smooth", DestKind::ModOnly},
    {"Disrupt 1", "Disrupt 1", DestKind::Knob},
    {"Disrupt 2", "Disrupt 2", DestKind::Knob},
    {"Disrupt 3", "Disrupt 3", DestKind::Knob},
    {"Disrupt 4", "Disrupt 4", DestKind::Knob},
    {"Disrupt 5", "Disrupt 5", DestKind::Knob},
    {"Disrupt 6", "Disrupt 6", DestKind::Knob},
    {"Disrupt 7", "Disrupt 7", DestKind::Knob},
    {"Lazy Mode Speed", "Lazy Speed", DestKind::Knob},
    {"Lazy Mode Phase", "Lazy Phase", DestKind::ModOnly},
    {"Lazy Mode Shape", "Lazy Shape", DestKind::ModOnly},
    {"Follower Smooth", "Flwr Smooth", DestKind::Knob},
    {"Follower Boost", "Flwr Boost", DestKind::Knob},
    {"Follower Threshold", "Flwr Thresh", DestKind::Knob},
    {"Follower Attack", "Flwr Attack", DestKind::Knob},
    {"Follower Hold", "Flwr Hold", DestKind::Knob},
    {"Follower Decay", "Follower Decay", DestKind::Knob},
    {"Follower 1 Amount", "Flwr Amt 1", DestKind::Knob},
    {"Follower 2 Amount", "Flwr Amt 2", DestKind::Knob},
    {"Follower 3 Amount", "Flwr Amt 3", DestKind::Knob},
    {"Follower 1 Mod Amount", "Flwr Mod Amt 1", DestKind::Knob},
    {"Follower 2 Mod Amount", "Flwr Mod Amt ", DestKind::Knob},
    {"Follower 3 Mod Amount", "Flwr Mod Amt 3", DestKind::Knob},
    {"LFO 1 Amount", "LFO 1 Amount", DestKind::Knob},
    {"LFO 2 Amount", "LFO 2 Amount", DestKind::Knob},
    {"LFO 3 Amount", "LFO 3 Amount", DestKind::Knob},
    {"LFO 4 Amount", "LFO 4 Amount", DestKind::Knob},
    {"LFO 1 Speed", "LFO 1 Speed", DestKind::Knob},
    {"LFO 2 Speed", "LFO 2 Speed", DestKind::Knob},
    {"LFO 3 Speed", "LFO 3 Speed", DestKind::Knob},
    {"LFO 4 Speed", "LFO 4 Speed", DestKind::Knob},
    {"LFO 1 Shape", "LFO 1 Shape", DestKind::Knob},
    {"LFO 2 Shape", "LFO 2 Shape", DestKind::Knob},
    {"LFO 3 Shape", "LFO 3 Shape", DestKind::Knob},
    {"LFO 4 Shape", "LFO 4 Shape", DestKind::Knob},
    {"LFO 1 Phase", "LFO 1 Phase", DestKind::ModOnly},
    {"LFO 2 Phase", "LFO 2 Phase", DestKind::ModOnly},
    {"LFO 3 Phase", "LFO 3 Phase", DestKind::ModOnly},
    {"LFO 4 Phase", "LFO 4 Phase", DestKind::ModOnly},
    {"LFO 1 Smooth", "LFO 1 Smooth", DestKind::ModOnly},
    {"LFO 2 Smooth", "LFO 2 Smooth", DestKind::ModOnly},
    {"LFO 3 Smooth", "LFO 3 Smooth", DestKind::ModOnly},
    {"LFO 4 Smooth", "LFO 4 Smooth", DestKind::ModOnly},
    {"Mod 1 Amount", "Mod 1 Amount", DestKind::Knob},
    {"Mod 2 Amount", "Mod 2 Amount", DestKind::Knob},
    {"Mod 3 Amount", "Mod 3 Amount", DestKind::Knob},
    {"Mod 4 Amount", "Mod 4 Amount", DestKind::Knob},
    {"Mod 5 Amount", "Mod 5 Amount", DestKind::Knob},
    {"Mod 6 Amount", "Mod 6 Amount", DestKind::Knob},
    {"Mod 7 Amount", "Mod 7 Amount", DestKind::Knob},
    {"Mod 8 Amount", "Mod 8 Amount", DestKind::Knob},
    {"Mod 9 Amount", "Mod 9 Amount", DestKind::Knob},
    {"Mod 10 Amount", "Mod 10 Amount", DestKind::Knob},
}};

// ---- LFO modes: when an LFO runs (the order of the mode menu) ----
enum LfoMode : int { LFO_MODE_FREE, LFO_MODE_HOST, LFO_MODE_NOTE, LFO_MODE_MIDI, NUM_LFO_MODES };
inline constexpr std::array<std::string_view, NUM_LFO_MODES> LFO_MODE_NAMES = {"Free", "Host", "Note",
                                                                               "MIDI"};
