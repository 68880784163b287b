// Small pieces shared by the engine's sources (sample loop, modulation, start-up, accessors).
#pragma once

#include <atomic>
#include <cstdint>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

#include "dsp/dspCommon.h"
#include "tags.h"
#include "uShared.h"

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

// clamp01 as a maximum and a minimum, without branches: for the knob values the sample loop
// limits several times a sample. maxss keeps its first operand only when it is greater, so NaN
// and -0 read as 0 exactly as clamp01 has them. (Written out because the compiler turns the
// plain form into compares and jumps, and the intrinsics into extra register moves.)
inline float limit01(float v) noexcept {
#if defined(__x86_64__) && defined(__GNUC__)
  __asm__("maxss %1, %0" : "+x"(v) : "xm"(0.0f));
  __asm__("minss %1, %0" : "+x"(v) : "xm"(1.0f));
  return v;
#else
  return clamp01(v);
#endif
}
// clampPM1 likewise, for a value that is not NaN.
inline float limitPM1(float x) noexcept {
#if defined(__x86_64__) && defined(__GNUC__)
  __asm__("maxss %1, %0" : "+x"(x) : "xm"(-1.0f));
  __asm__("minss %1, %0" : "+x"(x) : "xm"(1.0f));
  return x;
#else
  return clampPM1(x);
#endif
}

// True when the four samples of a frame are all finite: x - x is 0 for every finite x and NaN
// otherwise. Scalar loads on purpose: the modules have just written the four samples one by one,
// and one 16-byte load of them would wait for those stores to retire instead of taking their values.
inline bool allFinite(const float* f) noexcept {
  return (f[0] - f[0]) + (f[1] - f[1]) + (f[2] - f[2]) + (f[3] - f[3]) == 0.0f;
}

// Both output samples held to +-0.999, NaN as 0 (-0 stays -0), side by side without branches.
inline void clipOutputs(float& left, float& right) noexcept {
#if defined(__SSE2__)
  __m128 v = _mm_unpacklo_ps(_mm_set_ss(left), _mm_set_ss(right));
  v = _mm_and_ps(v, _mm_cmpord_ps(v, v));
  v = _mm_min_ps(_mm_max_ps(v, _mm_set1_ps(-0.999f)), _mm_set1_ps(0.999f));
  left = _mm_cvtss_f32(v);
  right = _mm_cvtss_f32(_mm_shuffle_ps(v, v, 1));
#else
  for (float* x : {&left, &right})
    *x = *x > 0.999f ? 0.999f : (*x < -0.999f ? -0.999f : (*x == *x ? *x : 0.0f));
#endif
}

// out[j] = limit01(a[j] + b_j) for four lanes at once (a and out 16-byte aligned). maxps and
// minps keep limit01's operand order, so NaN and -0 come out as they do there.
inline void limit01Sum4(const float* a, float b0, float b1, float b2, float b3, float* out) noexcept {
#if defined(__SSE2__)
  const __m128 v = _mm_add_ps(_mm_load_ps(a), _mm_setr_ps(b0, b1, b2, b3));
  _mm_store_ps(out, _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(1.0f)));
#else
  const float b[4] = {b0, b1, b2, b3};
  for (int j = 0; j < 4; ++j) out[j] = limit01(a[j] + b[j]);
#endif
}
// The same with b[0..3] side by side in memory.
inline void limit01Sum4(const float* a, const float* b, float* out) noexcept {
#if defined(__SSE2__)
  const __m128 v = _mm_add_ps(_mm_load_ps(a), _mm_loadu_ps(b));
  _mm_store_ps(out, _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(1.0f)));
#else
  limit01Sum4(a, b[0], b[1], b[2], b[3], out);
#endif
}

}  // namespace engine_detail
