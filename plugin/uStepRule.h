// The rule of stepped values, in one place: which step a stored value selects and which value a
// step is stored as. The engine, the host's and the editor's texts, the menus, typed entry and
// the built-in programs all go through these two, so at a value an ulp from a step boundary
// every one of them names the same step. The arithmetic is the engine's (single precision): the
// sound is what the texts must describe.
#pragma once

#include "dsp/dspCommon.h"

namespace steprule {

// Step of v: trunc(v x scale + 0.1) limited to 0..count - 1; NaN and count <= 0 give 0.
inline int stepOf(float v, float scale, int count) noexcept {
  if (count <= 0) return 0;
  const int n = dsp::saturatingInt(v * scale + 0.1f);
  if (n < 0) return 0;
  if (n >= count) return count - 1;
  return n;
}

// The value step n is stored as, (n + 0.1) / scale: well inside the step, so it reads back as n.
constexpr float valueOfStep(float n, float scale) noexcept { return (n + 0.1f) / scale; }
constexpr float valueOfStep(int n, float scale) noexcept { return valueOfStep(static_cast<float>(n), scale); }

}  // namespace steprule
