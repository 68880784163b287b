// What the engine benchmarks share: 48 kHz in 512-sample blocks, a host that reports a playing
// transport at 120 BPM, a guitar-like test signal and one plug-in instance set up as a host would.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include "plugin/uPlugin.h"

namespace bench_guitar {

inline constexpr double kRate = 48000.0;
inline constexpr int kBlock = 512;

inline VstTimeInfo& benchTime() {
  static VstTimeInfo time = [] {
    VstTimeInfo t{};
    t.tempo = 120.0;
    t.sampleRate = kRate;
    t.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
    return t;
  }();
  return time;
}

inline intptr_t benchHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  if (opcode == kHostVersion) return 2400;
  if (opcode == kHostGetTime) return reinterpret_cast<intptr_t>(&benchTime());
  return 0;
}

// A guitar-like test signal: decaying plucks of a few partials, left and right apart.
inline void fillSignal(std::vector<float>& l, std::vector<float>& r, size_t n) {
  l.resize(n);
  r.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double env = std::exp(-3.0 * std::fmod(t, 0.5));
    const double s = std::sin(6.2831853 * 110.0 * t) + 0.5 * std::sin(6.2831853 * 220.0 * t) +
                     0.25 * std::sin(6.2831853 * 331.0 * t);
    l[i] = static_cast<float>(0.3 * env * s);
    r[i] = static_cast<float>(0.3 * env * std::sin(6.2831853 * 164.8 * t + 0.3));
  }
}

// One instance switched on at the benchmark's rate and block size.
inline std::unique_ptr<APlugin> makePlugin() {
  auto p = std::make_unique<APlugin>(&benchHost);
  p->setSampleRate(static_cast<float>(kRate));
  p->setBlockSize(kBlock);
  p->resume();
  return p;
}

}  // namespace bench_guitar
