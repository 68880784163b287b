// A read-only view of the parameter store: the live value of every tag and the step tables
// that turn a value into a menu step. The store's owner keeps the arrays; readers on any thread
// load the values relaxed (a reader may see a value one write old, never a torn one).
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/dspCommon.h"
#include "tags.h"

struct TParamView {
  const std::atomic<float>* values = nullptr;  // NUM_PARAMS live values
  const int32_t* stepCounts = nullptr;         // per tag: the number of steps, -1 for continuous
  const float* stepScales = nullptr;           // per tag: value x scale = step

  static bool isValidTag(int t) { return static_cast<unsigned>(t) < static_cast<unsigned>(NUM_PARAMS); }

  // Step n of a value: trunc(v x scale + 0.1) limited to 0..count - 1.
  static int stepOf(float v, float scale, int count) {
    const int n = dsp::saturatingInt(v * scale + 0.1f);
    if (n < 0) return 0;
    if (n >= count) return count - 1 < 0 ? 0 : count - 1;
    return n;
  }

  // Callers pass tags they know to be valid (the engine reads fixed tags).
  float value(int t) const { return values[t].load(std::memory_order_relaxed); }
  bool on(int t) const { return value(t) >= 0.5f; }
  // The reversed switches (Disrupt slots): on at 0.5 and below.
  bool revOn(int t) const { return value(t) <= 0.5f; }
  // The selected step of a stepped tag; 0 for an invalid or continuous tag.
  int step(int t) const {
    if (!isValidTag(t) || stepCounts[t] < 0) return 0;
    return stepOf(value(t), stepScales[t], stepCounts[t]);
  }
};
