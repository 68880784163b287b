// Small helpers shared by every audio module: safe table indexing, phase wrapping,
// saturating float-to-int conversion and the per-instance random generators.
// Nothing here allocates, locks or depends on the plug-in or the GUI.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace dsp {

// Size of the large shared lookup tables of the audio modules.
inline constexpr int TABLE_SIZE = 262144;
// Index scale of the shaping tables ...
inline constexpr float TABLE_SCALE = 262143.98f;
// ... and of the filter tables.
inline constexpr float FILTER_TABLE_SCALE = 262143.0f;

// Float to int that saturates instead of invoking undefined behaviour:
// NaN gives 0, values beyond the int range give its ends. Truncates toward zero.
inline int saturatingInt(double x) noexcept {
  if (!(x == x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(x);
}

// Maps a normalised value to an index 0..size-1: v is clamped to 0..1 (NaN reads as 0),
// then int(v * scale) is taken and clamped once more, so no input can read outside the table.
inline int tableIndex(float v, float scale, int size) noexcept {
  if (!(v > 0.0f)) return 0;  // also catches NaN
  if (v > 1.0f) v = 1.0f;
  int i = static_cast<int>(v * scale);
  if (i >= size) i = size - 1;
  return i;
}

// Index into one of the 262,144-entry tables with the shaping scale.
inline int tableIndex(float v) noexcept { return tableIndex(v, TABLE_SCALE, TABLE_SIZE); }

// Index into one of the 262,144-entry filter tables.
inline int filterTableIndex(float v) noexcept { return tableIndex(v, FILTER_TABLE_SCALE, TABLE_SIZE); }

// Wraps a phase into [0, 1). A non-finite phase becomes 0, so one bad increment
// can never leave an oscillator stuck on NaN.
template <typename T>
inline T wrapPhase(T x) noexcept {
  if (!std::isfinite(x)) return T(0);
  x -= std::floor(x);
  if (x >= T(1)) x = T(0);  // rounding of tiny negative values
  return x;
}

// The C library's 15-bit generator law as a per-instance object: each draw is
// (r & 0x7FFF) / 32767 in 0..1. Replaces rand(), which is shared with the host and locks.
class Rand15 {
 public:
  explicit Rand15(uint32_t seed = 1) noexcept : state_(seed) {}
  void seed(uint32_t s) noexcept { state_ = s; }
  // Next raw value 0..32767.
  int nextInt() noexcept {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }
  // Next value 0..1 (32767 / 32767 = 1 is the largest).
  float next() noexcept { return static_cast<float>(nextInt()) / 32767.0f; }

 private:
  uint32_t state_;
};

// The multiplicative sequence seeded by `RandSeed`: t = seed * 16807 (32-bit wrap),
// seed becomes t + 1, the value is t as a signed 32-bit integer times 2^-31, in [-1, 1).
// One per plug-in instance, shared by its distortion stage and its LFO-screen table.
struct RandSeed {
  int32_t seed = 1;
  float next() noexcept {
    const uint32_t t = static_cast<uint32_t>(seed) * 16807u;
    seed = static_cast<int32_t>(t + 1u);
    return static_cast<float>(static_cast<int32_t>(t) * 4.656612873077393e-10);
  }
};

// Adding this in recursions keeps them out of denormal numbers.
inline constexpr float ANTI_DENORMAL = 1e-15f;

// Limits to 0..1; NaN reads as 0.
inline float clamp01(float v) noexcept {
  if (!(v > 0.0f)) return 0.0f;
  return v > 1.0f ? 1.0f : v;
}

// Limits to -1..1; NaN reads as 0.
inline float clampPM1(float x) noexcept {
  if (x > 1.0f) return 1.0f;
  if (x < -1.0f) return -1.0f;
  return x == x ? x : 0.0f;
}

// Left and right channel in the first two lanes of one register, so that both channels of a
// stereo recursion take the same instructions. The arithmetic is lane by lane with the same
// rounding as the scalar code (no contraction), so the results are the scalar results.
typedef float StereoLanes __attribute__((vector_size(16)));
inline StereoLanes stereoLanes(float left, float right) noexcept { return StereoLanes{left, right, 0.0f, 0.0f}; }
inline StereoLanes splatLanes(float v) noexcept { return StereoLanes{v, v, v, v}; }
// Four consecutive floats into the four lanes.
inline StereoLanes loadLanes(const float* p) noexcept {
  StereoLanes v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
// Lane-wise absolute value: the sign bits cleared, as fabs does.
typedef uint32_t LaneBits __attribute__((vector_size(16)));
inline StereoLanes laneAbs(StereoLanes x) noexcept {
  return reinterpret_cast<StereoLanes>(reinterpret_cast<LaneBits>(x) & 0x7FFFFFFFu);
}

// clamp01 lane by lane.
inline StereoLanes laneClamp01(StereoLanes x) noexcept {
  const StereoLanes y = x > 0.0f ? x : splatLanes(0.0f);
  return y > 1.0f ? splatLanes(1.0f) : y;
}

// clampPM1 lane by lane.
inline StereoLanes laneClampPM1(StereoLanes x) noexcept {
  StereoLanes y = x == x ? x : splatLanes(0.0f);
  y = x < -1.0f ? splatLanes(-1.0f) : y;
  return x > 1.0f ? splatLanes(1.0f) : y;
}

}  // namespace dsp
