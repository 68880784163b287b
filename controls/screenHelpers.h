// Small number helpers the graph screens share: conversions that stay defined for any input and
// locale-independent integer text.
#pragma once

#include <charconv>
#include <string>

namespace screen_helpers {

// Truncation toward zero that stays defined for any input (NaN gives 0).
inline int toInt(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}

template <typename T>
T clampTo(T v, T lo, T hi) {
  return v < lo ? lo : (v > hi ? hi : v);
}

inline float clampUnit(float v) { return v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : 0.0f; }

inline std::string intText(int v) {
  char buffer[16];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
  return std::string(buffer, end);
}

}  // namespace screen_helpers
