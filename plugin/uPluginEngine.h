// Small pieces shared by the engine's sources (sample loop, modulation, start-up, accessors).
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/dspCommon.h"
#include "tags.h"

namespace engine_detail {

// LFO modes, the order of the mode menu.
inline constexpr int LFO_MODE_FREE = 0;
inline constexpr int LFO_MODE_HOST = 1;

// Tags whose smoothed copies the widener and chorus read: amount, width, chorus mix, length.
inline constexpr int WIDEN_SMOOTHED_TAGS[4] = {WIDENER_AMOUNT_TAG, WIDENER_WIDTH_TAG, CHORUS_MIX_TAG,
                                               CHORUS_LENGTH_TAG};

// Modulation destinations the engine reads by number.
enum Dest : int {
  DEST_VOLUME = 1,
  DEST_MIX = 2,
  DEST_PAN = 3,
  DEST_WET_PAN = 4,
  DEST_DRY_PAN = 5,
  DEST_DIST_1 = 6,  // 6..13
  DEST_GATE = 14,   // 14..17
  DEST_PRE_EQ_GAIN = 18,
  DEST_POST_EQ_GAIN = 30,
  DEST_HP_FREQ = 42,
  DEST_HP_Q = 43,
  DEST_LP_FREQ = 44,
  DEST_LP_Q = 45,
  DEST_COMP = 46,  // 46..50
  DEST_WIDEN = 51,  // 51..53
  DEST_CHORUS = 54,  // 54..57
  DEST_DISRUPT = 58,
  DEST_DISRUPT_SMOOTH = 59,
  DEST_DISRUPT_SLOT = 60,  // 60..66
  DEST_LAZY_SPEED = 67,
  DEST_LAZY_PHASE = 68,
  DEST_LAZY_SHAPE = 69,
  DEST_FOLLOWER_SMOOTH = 70,
  DEST_FOLLOWER_BOOST = 71,
  DEST_FOLLOWER_THRESHOLD = 72,
  DEST_FOLLOWER_ATTACK = 73,
  DEST_FOLLOWER_HOLD = 74,
  DEST_FOLLOWER_DECAY = 75,
  DEST_FOLLOWER_AMT = 76,  // 76..78
  DEST_LFO_AMT = 82,       // 82..85
  DEST_LFO_SPEED = 86,     // 86..89
  DEST_LFO_SHAPE = 90,     // 90..93
  DEST_LFO_PHASE = 94,     // 94..97
  DEST_LFO_SMOOTH = 98,    // 98..101
  DEST_MOD_SLOT_AMT = 102, // 102..111
};

// Modulation sources the engine writes.
enum Src : int {
  SRC_LFO_1 = 32,
  SRC_FOLLOWER = 40,
  SRC_DISRUPT = 41,
  SRC_LAZY = 42,
  SRC_LAZY_UNI = 43,
  SRC_LAZY_SIGN = 44,
  SRC_INPUT = 45,
  SRC_SIDE = 46,
  SRC_STAGE_FIRST = 47,  // 47 Distortion, 48 Filter, 49 Compressor, 50 Widen
  SRC_OUTPUT = 51,
  SRC_NOISE = 53,
  SRC_NOISE_UNI = 54,
};

// Follower taps.
inline constexpr int FOLLOW_MAIN = 0, FOLLOW_SIDE = 1, FOLLOW_OUTPUT = 6;
inline constexpr int FOLLOWER_HISTORY = 512;

using dsp::clamp01;
using dsp::clampPM1;

// Plain members that the editor thread reads while the audio thread writes them.
template <typename T>
inline void storeShared(T& slot, T v) noexcept {
  std::atomic_ref<T>(slot).store(v, std::memory_order_relaxed);
}
template <typename T>
inline T loadShared(T& slot) noexcept {
  return std::atomic_ref<T>(slot).load(std::memory_order_relaxed);
}

}  // namespace engine_detail
