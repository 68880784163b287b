// Small pieces shared by the engine's sources (sample loop, modulation, start-up, accessors).
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/dspCommon.h"
#include "uShared.h"
#include "tags.h"

namespace engine_detail {

// Tags whose smoothed copies the widener and chorus read: amount, width, chorus mix, length.
inline constexpr int WIDEN_SMOOTHED_TAGS[4] = {WIDENER_AMOUNT_TAG, WIDENER_WIDTH_TAG, CHORUS_MIX_TAG,
                                               CHORUS_LENGTH_TAG};

// Follower taps.
inline constexpr int FOLLOW_MAIN = 0, FOLLOW_SIDE = 1, FOLLOW_OUTPUT = 6;
inline constexpr int FOLLOWER_HISTORY = 512;
// Scales a 0..1 position (the write phase, a display's x) to an entry of the history.
inline constexpr double FOLLOWER_INDEX_SCALE = 511.9999;

using dsp::clamp01;
using dsp::clampPM1;

}  // namespace engine_detail
