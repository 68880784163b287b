// The formulas of the shared 262,144-entry lookup tables: one small pure function of the entry
// index per table. The build evaluates them once (tools/gen_tables.cpp, compiled with the same
// compiler and floating-point options as the modules) into read-only data of the module, so
// creating an instance computes nothing, every process that loads the module shares the pages,
// and a process pages in only the entries its settings read. The tests compare that data
// with these functions.
#pragma once

#include <cmath>

#include "dsp/dspCommon.h"
#include "dsp/uLfo.h"
#include "dsp/unitLaws.h"

namespace dsp::tableFormula {

// Distortion shaping tables (distort::Tables): x = i / 262144, worked in single precision.
inline float distortX(int i) noexcept {
  const float step = 1.0f / 262144.0f;
  return static_cast<float>(i) * step;
}
inline float distortAngle(int i) noexcept { return 2.0f * distortX(i) * 3.1415925f; }
inline float distortSine(int i) noexcept { return std::sin(distortAngle(i)); }
inline float distortCosine(int i) noexcept { return std::cos(distortAngle(i)); }
// -20 dB .. +20 dB, silent below 0.001.
inline float distortDriveGain(int i) noexcept {
  const float x = distortX(i);
  if (x < 0.001f) return 0.0f;
  const float exponent = units::GAIN_DB.unitOf(x) / 20.0f;
  return static_cast<float>(std::pow(10.0, static_cast<double>(exponent)));
}

// Filter and equaliser tables: x = i / 262143.98, worked in double precision.
inline double tableX(int i) noexcept { return i / static_cast<double>(TABLE_SCALE); }

inline constexpr double PI = 3.14159265358979323846;
inline constexpr double TWO_PI = 6.28318530717958647692;

// FilterTables.
inline float filterFreqPow2(int i) noexcept { return static_cast<float>(units::frequencyHz(tableX(i))); }
inline float filterSine(int i) noexcept { return static_cast<float>(2.0 * std::sin(PI * tableX(i)) + 1e-15); }
inline float filterLo24(int i) noexcept {
  const double x = tableX(i);
  return static_cast<float>(std::cos(PI * x) / (std::sin(PI * x) + 0.0015));
}
inline float filterHi24(int i) noexcept {
  const double x = tableX(i);
  return static_cast<float>(std::sin(PI * x) / (std::cos(PI * x) + 0.0015));
}
inline float filterZTan(int i) noexcept { return static_cast<float>(std::tan(PI * tableX(i))); }
inline float filterZQ(int i) noexcept { return static_cast<float>(0.5 * std::pow(2.0, -5.0 * tableX(i))); }

// EQTables.
inline float eqCosine(int i) noexcept { return static_cast<float>(std::cos(TWO_PI * tableX(i))); }
inline float eqSine(int i) noexcept { return static_cast<float>(std::sin(TWO_PI * tableX(i))); }
inline float eqWidth(int i) noexcept {
  return static_cast<float>(1.0 / (2.0 * std::pow(2.0, 4.0 - 10.0 * tableX(i))));
}
inline float eqGain(int i) noexcept {
  return static_cast<float>(std::pow(10.0, units::GAIN_DB.unitOf(tableX(i)) / 40.0));
}

// The graphic EQ's linear gain, -20 .. +20 dB.
inline float oldEqGain(int i) noexcept {
  return static_cast<float>(std::pow(10.0, units::GAIN_DB.unitOf(tableX(i)) / 20.0));
}

// The LFO sine (TLfo::sineTable), TLfo::SINE_SIZE entries. Its angle step is this constant,
// slightly short of 2 pi, so the last entry is a hair below zero, exactly as the waves were voiced.
inline constexpr float LFO_SINE_TWO_PI = 6.28318f;
inline float lfoSine(int i) noexcept {
  const float step = 1.0f / static_cast<float>(TLfo::SINE_SIZE);
  return std::sin(static_cast<float>(i) * step * LFO_SINE_TWO_PI);
}

// The widener's and chorus's sine 0..1 (widenerSineTable).
inline constexpr int WIDENER_SINE_SIZE = 65536;
inline float widenerSine(int i) noexcept {
  return static_cast<float>(0.5 * std::sin(6.28318 * i / 65536.0) + 0.5);
}

}  // namespace dsp::tableFormula
