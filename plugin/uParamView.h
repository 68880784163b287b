// A read-only view of the parameter store: the live value of every tag and the step tables
// that turn a value into a menu step. The store's owner keeps the arrays; readers on any thread
// load the values relaxed (a reader may see a value one write old, never a torn one).
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dsp/dspCommon.h"
#include "tags.h"
#include "uStepRule.h"

struct TParamView {
  const std::atomic<float>* values = nullptr;  // NUM_PARAMS live values
  const int32_t* stepCounts = nullptr;         // per tag: the number of steps, -1 for continuous
  const float* stepScales = nullptr;           // per tag: value x scale = step

  static bool isValidTag(int t) { return static_cast<unsigned>(t) < static_cast<unsigned>(NUM_PARAMS); }

  // Callers pass tags they know to be valid (the engine reads fixed tags).
  float value(int t) const { return dsp::loadFloatRelaxed(values[t]); }
  bool on(int t) const { return value(t) >= 0.5f; }

  // The values of four neighbouring tags t..t + 3. On x86-64 one 16-byte load: each value is
  // read whole (naturally aligned 4-byte lanes), though the four may come from different writes.
  struct alignas(16) Run4 {
    float v[4];
  };
  void run4(int t, Run4& out) const {
    static_assert(sizeof(std::atomic<float>) == sizeof(float) && std::atomic<float>::is_always_lock_free);
#if defined(__SSE2__)
    _mm_store_ps(out.v, _mm_loadu_ps(reinterpret_cast<const float*>(values + t)));
#else
    for (int k = 0; k < 4; ++k) out.v[k] = value(t + k);
#endif
  }
  // True when three runs hold exactly the same bits as three others (NaN and -0 included).
  static bool sameRuns(const Run4 (&a)[3], const Run4 (&b)[3]) {
#if defined(__SSE2__)
    __m128i diff = _mm_setzero_si128();
    for (int k = 0; k < 3; ++k)
      diff = _mm_or_si128(diff, _mm_xor_si128(_mm_load_si128(reinterpret_cast<const __m128i*>(a[k].v)),
                                              _mm_load_si128(reinterpret_cast<const __m128i*>(b[k].v))));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(diff, _mm_setzero_si128())) == 0xFFFF;
#else
    return std::memcmp(a, b, sizeof(a)) == 0;
#endif
  }
  // The reversed switches (Disrupt slots): on at 0.5 and below.
  bool revOn(int t) const { return value(t) <= 0.5f; }
  // The selected step of a stepped tag; 0 for an invalid or continuous tag.
  int step(int t) const {
    if (!isValidTag(t) || stepCounts[t] < 0) return 0;
    return steprule::stepOf(value(t), stepScales[t], stepCounts[t]);
  }
};
