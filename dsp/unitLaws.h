// The unit laws of the parameters: how a stored value 0..1 reads in the unit the user sees (dB,
// percent, Hz) and back. The modules, the engine, the texts, typed entry and the built-in
// programs all take a law from here, so a law is written once.
//
// A law keeps the caller's precision: unitOf works in float for a float and in double for a
// double, as slope x v + offset, which is bit for bit what "40 v - 30" was where it was written
// out (a - b is a + (-b) in IEEE arithmetic).
#pragma once

#include <cmath>

namespace units {

// unit = slope x v + offset.
struct LinearLaw {
  float slope;
  float offset;

  template <class T>
  constexpr T unitOf(T v) const noexcept {
    return static_cast<T>(slope) * v + static_cast<T>(offset);
  }
  // The stored value of x in the unit (not limited to 0..1).
  constexpr float valueOf(float x) const noexcept { return (x - offset) / slope; }

  constexpr bool operator==(const LinearLaw&) const = default;
};

// Output volume and compressor make-up: -30 .. +10 dB.
inline constexpr LinearLaw LEVEL_DB{40.0f, -30.0f};
// EQ gains and the distortion's drive: -20 .. +20 dB.
inline constexpr LinearLaw GAIN_DB{40.0f, -20.0f};
// Gate, compressor and follower thresholds: -40 .. 0 dB.
inline constexpr LinearLaw THRESHOLD_DB{40.0f, -40.0f};
// Follower boost and the shapers' boost knobs: -30 .. +30 dB.
inline constexpr LinearLaw BOOST_DB{60.0f, -30.0f};
// Amounts that swing both ways: -100 .. +100 %.
inline constexpr LinearLaw BIPOLAR_PERCENT{200.0f, -100.0f};
// Plain shares of a range: 0 .. 100 %.
inline constexpr LinearLaw PERCENT{100.0f, 0.0f};

// Filter and EQ frequencies: 20 x 2^(10 v) Hz, 20 Hz .. 20480 Hz, in the caller's precision.
inline constexpr float LOWEST_HZ = 20.0f;
inline constexpr float FREQUENCY_OCTAVES = 10.0f;
inline float frequencyHz(float v) noexcept { return std::pow(2.0f, FREQUENCY_OCTAVES * v) * LOWEST_HZ; }
inline double frequencyHz(double v) noexcept {
  return static_cast<double>(LOWEST_HZ) * std::pow(2.0, static_cast<double>(FREQUENCY_OCTAVES) * v);
}
// The stored value of a frequency: log2(f / 20) / 10 (not limited to 0..1; f must be positive).
inline float frequencyValue(float hz) noexcept { return std::log2(hz / LOWEST_HZ) / FREQUENCY_OCTAVES; }

// Compressor ratio r:1 = 2^(7 v), 1:1 .. 128:1.
inline constexpr float RATIO_OCTAVES = 7.0f;
inline float ratioOf(float v) noexcept { return std::pow(2.0f, RATIO_OCTAVES * v); }
inline float ratioValue(float ratio) noexcept { return std::log2(ratio) / RATIO_OCTAVES; }

// Envelope times in ms: attacks 2^(8 v); holds, releases and the follower's times 2^(14 v).
inline constexpr float ATTACK_OCTAVES = 8.0f;
inline constexpr float TIME_OCTAVES = 14.0f;
inline float followerMsValue(float ms) noexcept { return std::log2(ms) / TIME_OCTAVES; }

// Free-running LFO and lazy-mode rates: 2^(10 v) x 55 / 2048 Hz.
inline constexpr float LFO_OCTAVES = 10.0f;
inline constexpr float LFO_RATE_DIVISOR = 2048.0f;
inline float lfoRateValue(float hz) noexcept {
  return std::log2(hz * LFO_RATE_DIVISOR / 55.0f) / LFO_OCTAVES;
}

// Distortion knobs the texts show in units: the And shaper's scale 2^(10 v + 6) and Low-Fi's
// hold of 2^(10 v) samples (counted at 44.1 kHz).
inline float andScale(float v) noexcept { return std::exp2(10.0f * v + 6.0f); }
inline float holdSamples(float v) noexcept { return std::exp2(10.0f * v); }

}  // namespace units
