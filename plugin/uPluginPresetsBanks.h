// The built-in bank: fifty programs written down as the values each one changes from the
// defaults, expanded once per process into full rows of 1024 values that carry their own
// name in the name tags.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "tags.h"

inline constexpr int NUM_DEMO_PROGRAMS = 50;
// The program that holds the defaults, by name and by place.
inline constexpr int DEFAULT_DEMO_PROGRAM = 3;
// Hosts give a program name 24 bytes, terminator included.
inline constexpr int DEMO_NAME_MAX = 23;

namespace presets {

// How the number of a change reads; the expansion turns it into the stored 0..1 value.
enum class Unit : uint8_t {
  Value,       // the stored value itself
  Step,        // step index n of a stepped tag: (n + 0.1) / scale
  Hz,          // a filter or EQ frequency: 20 x 2^(10 v) Hz
  Ratio,       // compressor ratio r:1 = 2^(7 v)
  LfoHz,       // free-running LFO or lazy-mode rate in Hz (units::lfoRateValue)
  FollowerMs,  // follower attack, hold or decay: 2^(14 v) ms
  CurveSoft,   // a whole wave-shaper curve (tag = its first point): tanh(k x) / tanh(k), k = value
  CurveFold,   // sin(k x pi/2 x x), folding back once k passes 1
  CurveAsym,   // soft positive half (k = value), negative half scaled by 0.4
  CurveSteps,  // a staircase of `value` levels
};

struct Change {
  int tag;
  float value;
  Unit unit = Unit::Value;
};

// One program: its name and the changes from the defaults, applied in order.
struct Design {
  static constexpr std::size_t CAPACITY = 40;
  std::string_view name;
  std::array<Change, CAPACITY> changes{};
  std::size_t count = 0;

  constexpr Design(std::string_view n, std::initializer_list<Change> list) : name(n) {
    for (const Change& c : list) {
      if (count == CAPACITY) throw "too many changes in one program";  // stops compilation
      changes[count++] = c;
    }
  }
};

// The fifty designs in bank order.
const std::array<Design, NUM_DEMO_PROGRAMS>& bankDesigns();

// Name of built-in program i; empty outside 0..49.
std::string_view demoProgramName(int i);
// The 1024 values of built-in program i (tags 912..939 spell its name); null outside 0..49.
// Built on first use, thread-safely, and shared by every instance.
const float* demoProgramRow(int i);
// The program whose name equals text exactly; the last match wins; 0 when none matches.
int findDemoProgram(const char* text);

// What is wrong with a design (a tag out of range or reserved, a step that is not one, a value
// outside its range); empty when nothing is.
std::string checkDesign(const Design& design);

}  // namespace presets
