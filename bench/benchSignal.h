// A cheap deterministic test signal (a sawtooth within ±0.8) so the optimiser cannot fold
// the measured work away.
#pragma once

struct BenchSignal {
  float phase = 0.0f;
  float next() {
    phase += 0.0137f;
    if (phase > 1.0f) phase -= 2.0f;
    return phase * 0.8f;
  }
};
