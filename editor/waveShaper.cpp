#include "waveShaper.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "dsp/dspCommon.h"
#include "platform/stringHelpers.h"
#include "plugin/uTagMap.h"

namespace waveshaper {

namespace {

constexpr float PI = std::numbers::pi_v<float>;

using dsp::clamp01;

float pow2(float e) noexcept { return std::exp2(e); }
float sign(float x) noexcept { return x > 0.0f ? 1.0f : (x < 0.0f ? -1.0f : 0.0f); }
float frac(float v) noexcept { return v - std::trunc(v); }
// |x| k as an integer; |x| <= 1 and k <= 2^16, so it always fits.
int truncToInt(float v) noexcept { return dsp::saturatingInt(v); }

// "a/b by polarity": with polarity on the negative half (and zero) is shaped by b.
float byPolarity(float a, float b, bool polar, float x) noexcept { return polar && !(x > 0.0f) ? b : a; }

float twoPoint(float a, float b, float ax) noexcept {
  const float A = 0.998f * a + 0.01f;
  const float B = 0.998f * b + 0.01f;
  if (ax < A) return ax * B / A;
  // With A at 1 the second segment has no width: at |x| = 1 the line ends at (1, 1).
  if (!(1.0f - A > 0.0f)) return 1.0f;
  return B + (ax - A) * (1.0f - B) / (1.0f - A);
}

float threePoint(float a, float b, float ax) noexcept {
  float m;
  if (ax < 0.333f) {
    m = ax / 0.333f * a;
  } else if (ax < 0.666f) {
    m = a + (b - a) * (ax - 0.333f) / 0.333f;
  } else {
    m = b + (1.0f - b) * (ax - 0.666f) / 0.334f;
  }
  return clamp01(m);
}

// The cubic through (0, 0), (1, a), (2, b), (3, 1) at u = 3|x|. Worked in double: the terms
// reach about 20 while the result is below 1.
float threePointCubic(float a, float b, float ax) noexcept {
  const double u = 3.0 * ax;
  const double c2 = (3.0 * a - 3.0 * b + 1.0) / 6.0;
  const double c1 = (1.0 - 3.0 * a - 24.0 * c2) / 6.0;
  const double m = ((c2 * u + c1) * u + (a - c1 - c2)) * u;
  return clamp01(static_cast<float>(m));
}

float bitwise(float a, float b, float ax, float s, bool useOr) noexcept {
  const float k = pow2(10.0f * a + 6.0f);
  const int p = truncToInt(ax * k);
  const int q = truncToInt(b * k);
  const int n = useOr ? (p | q) : (p & q);
  return s * static_cast<float>(n) / (k + 0.00001f);
}

float crossTwo(float a, float b, bool polar, float x) noexcept {
  const float hi = 0.95f * pow2(-8.0f * (1.0f - (polar ? b : a)));
  const float lo = polar ? -0.95f * pow2(-8.0f * (1.0f - a)) : 0.0f;
  if (x <= lo) {
    const float width = 1.0f - std::fabs(lo);
    return width <= 0.00001f ? x : (x - lo) / width;
  }
  if (x >= hi) {
    const float width = 1.0f - hi;
    return width <= 0.00001f ? x : (x - hi) / width;
  }
  return 0.0f;
}

float foldover(float a, bool polar, float x, float s) noexcept {
  const float g = 1.0f - 0.89f * a;
  const float r = (x - g) - 4.0f * g * std::trunc((x - g) / (4.0f * g));
  const float v = (std::fabs(std::fabs(r) - 2.0f * g) - g) / g;
  return polar ? v : s * std::fabs(v);
}

float peakRemove(float a, float b, float ax, float s) noexcept {
  const float c = 0.92f * a * a * a + 0.05f;
  if (ax < c) return s * ax / c;
  const float d = (1.0f - c) * b * b * b;
  if (ax < c + d) return s * (1.0f - (ax - c) / d);
  return 0.0f;
}

float shape(int mode, float a, float b, bool polar, float x) noexcept {
  const float ax = std::fabs(x);
  const float s = sign(x);
  const float c = byPolarity(a, b, polar, x);
  switch (mode) {
    case 0:  // "None"
      return x;
    case 1:  // "2 Point"
      return s * twoPoint(a, b, ax);
    case 2:  // "3 Point"
      return s * threePoint(a, b, ax);
    case 3:  // "3 Point Cubic"
      return s * threePointCubic(a, b, ax);
    case 4:  // "And"
      return bitwise(a, b, ax, s, false);
    case 5: {  // "Atan"
      if (ax <= 0.001f) return 0.0f;
      const float k = pow2(5.0f * c) - 0.99f;
      return std::atan(k * x) / std::atan(k);
    }
    case 6: {  // "Bits"
      const float k = pow2(5.0f * a);
      const float q = s * std::trunc(ax * k) / k;
      return b * q + (1.0f - b) * x;
    }
    case 7: {  // "Cos 1"
      const float w = (pow2(5.0f * a) - 1.0f) * PI;
      float k = std::cos(w * x);
      if (!polar) k = 0.5f * k + 0.5f;
      return k * x;
    }
    case 8: {  // "Cos 2"
      const float ka = pow2(4.0f * a - 1.0f);
      const float kb = pow2(4.0f * b - 1.0f);
      return s * (std::fabs(x * std::cos(PI * kb * (1.0f - ax))) +
                  (1.0f - ax) * std::fabs(std::sin(2.0f * PI * ka * ax)));
    }
    case 9: {  // "Cross 1"
      const float v = ax - 0.9f * a;
      return v >= 0.0f ? s * v : 0.0f;
    }
    case 10:  // "Cross 2"
      return crossTwo(a, b, polar, x);
    case 11:  // "Foldover"
      return foldover(a, polar, x, s);
    case 12: {  // "Fuzz"
      const float h = 0.5f * a;
      const float e = pow2(4.0f * b) - 1.0f;
      const float wobble = polar ? std::sin(e * PI * x) : 0.5f - 0.5f * std::cos(e * PI * x);
      return h * (1.0f - x * x) * wobble + x;
    }
    case 13: {  // "Gapper"
      const float k = pow2(5.0f * a);
      const float v = (truncToInt(ax * k) & 1) != 0 ? x : 0.0f;
      return b * v + (1.0f - b) * x;
    }
    case 14: {  // "Hard Distort"
      const float t = pow2((35.0f * a - 40.0f) / 6.0f);
      return s * (t + (ax - t) / (ax - t + pow2(b)));
    }
    case 15: {  // "Hard Limit"
      const float e = pow2(-8.0f * a);
      const float k = 0.99f * b * b * b;
      return s * std::min(e, ax) * (k / e + 1.0f - k);
    }
    case 16:  // "Limiter"
      return std::clamp(x / pow2(-6.0f * c), -1.0f, 1.0f);
    case 17: {  // "Octave 1": b shapes the negative half whatever the polarity
      const float tri = 2.0f * ax <= 1.0f ? 2.0f * ax : 2.0f - 2.0f * ax;
      return x >= 0.0f ? a * tri + (1.0f - a) * x : (1.0f - b) * x - b * tri;
    }
    case 18: {  // "Octave 2"
      float v = ax * pow2(4.0f * a);
      v = v - 2.0f * std::trunc(v / 2.0f);
      const float tri = v <= 1.0f ? v : 2.0f - v;
      return b * s * tri + (1.0f - b) * x;
    }
    case 19: {  // "Octave 3"
      const float v = ax * pow2(5.0f * a);
      return b * s * (v - std::floor(v)) + (1.0f - b) * x;
    }
    case 20:  // "Or"
      return bitwise(a, b, ax, s, true);
    case 21: {  // "Overdrive"
      const float k = pow2(6.0f * c) - 1.0f;
      return x * (ax + k) / (x * x + (k - 1.0f) * ax + 1.0f);
    }
    case 22:  // "Peak Remove"
      return peakRemove(a, b, ax, s);
    case 23: {  // "Power"
      const float p = 0.999f * c;
      const float k = 2.0f * p / (1.0f - p);
      return (1.0f + k) * x / (1.0f + k * ax);
    }
    case 24:  // "Rectifier"
      return x >= 0.0f ? x : (1.0f - 2.0f * a) * x;
    case 25: {  // "Rez"
      const float e = pow2(8.0f * a - 4.0f);
      const float w = std::min(ax, 1.0f - ax);
      return s * (ax + b * w * std::cos(2.0f * PI * e * w)) / (1.0f + w);
    }
    case 26: {  // "Saturator"
      const float k = pow2(4.0f * c) - 1.0f;
      return (x + k * x) / (1.0f + std::fabs(k * x));
    }
    case 27: {  // "Saw"
      const float f1 = frac(pow2(4.0f * a) * ax);
      const float f2 = frac(101.0f - pow2(4.0f * b) * (1.0f - ax));
      return s * (ax * f2 + (1.0f - ax) * f1);
    }
    case 28:  // "Soft Limiter"
      return a * s * (3.0f * ax - x * x) / 2.0f + (1.0f - a) * x;
    case 29: {  // "Square"
      const float q = x >= 0.001f ? 1.0f : (x <= -0.001f ? -1.0f : 0.0f);
      return c * q + (1.0f - c) * x;
    }
    case 30: {  // "Trans": subtracts b, so it reaches far beyond -1..1
      const float k = 0.92f * a * a * a + 0.05f;
      if (ax < k || ax > 2.0f * k) return 0.0f;
      return s * b * (1.0f - (ax - b) / k);
    }
    case 31: {  // "TransBoot"
      const float k = 0.92f * a * a * a + 0.05f;
      const float t = 2.0f * b / (b / (0.5f * k) + 1.0f);
      return ax < t ? s * b * (1.0f - std::fabs(2.0f * ax / k - 1.0f)) : x;
    }
    case 32: {  // "Valve"
      const float k = pow2(5.0f * c) - 0.99f;
      return x * (k + ax) / (1.0f + ax * (k + ax));
    }
    default:
      return 0.0f;
  }
}

}  // namespace

float pointInput(int point) noexcept {
  return 2.0f * std::min(1.0f, static_cast<float>(point) / 256.0f) - 1.0f;
}

float waveShaperY(int mode, float a, float b, bool polar, float x) noexcept {
  if (!std::isfinite(x)) return 0.0f;
  return shape(mode, clamp01(a), clamp01(b), polar, std::clamp(x, -1.0f, 1.0f));
}

float waveShaperValue(int mode, float a, float b, bool polar, int point) noexcept {
  if (point < 0 || point >= WAVESHAPER_POINTS) return 0.0f;
  return clamp01(0.5f * waveShaperY(mode, a, b, polar, pointInput(point)) + 0.5f);
}

void waveShaperCurve(int mode, float a, float b, bool polar, Curve out) noexcept {
  for (int i = 0; i < WAVESHAPER_POINTS; ++i)
    out[static_cast<std::size_t>(i)] = waveShaperValue(mode, a, b, polar, i);
}

// ---- Curve commands ----

void clearCurve(Curve c) noexcept {
  const tagmap::Row& row = tagmap::rowOf(WAVESHAPER_START_TAG[0]);
  for (std::size_t i = 0; i < c.size(); ++i)
    c[i] = row.defaultOf(WAVESHAPER_START_TAG[0] + static_cast<int>(i));
}

void zeroCurve(Curve c) noexcept { std::fill(c.begin(), c.end(), 0.5f); }

void copyCurve(ConstCurve from, Curve to) noexcept { std::copy(from.begin(), from.end(), to.begin()); }

void swapCurves(Curve a, Curve b) noexcept { std::swap_ranges(a.begin(), a.end(), b.begin()); }

void reverseCurve(Curve c, bool polar) noexcept {
  const std::size_t first = polar ? 0 : WAVESHAPER_POINTS / 2;
  std::reverse(c.begin() + static_cast<std::ptrdiff_t>(first), c.end());
}

void mirrorCurve(Curve c) noexcept {
  constexpr std::size_t half = WAVESHAPER_POINTS / 2;
  for (std::size_t i = 0; i < half; ++i) c[half - 1 - i] = 1.0f - c[half + i];
}

void smoothCurve(Curve c) noexcept {
  for (std::size_t k = 1; k + 1 < c.size(); ++k) c[k] = (c[k - 1] + c[k + 1]) * 0.5f;
}

void normalizeCurve(Curve c) noexcept {
  float m = 0.001f;
  for (std::size_t k = 1; k + 1 < c.size(); ++k) m = std::max(m, std::fabs(2.0f * c[k] - 1.0f));
  for (float& v : c) v = clamp01(((2.0f * v - 1.0f) * 0.5f) / m + 0.5f);
}

void scaleCurve(Curve c, float factor) noexcept {
  for (float& v : c) v = clamp01((2.0f * v - 1.0f) * 0.5f * factor + 0.5f);
}

// ---- Preset file ----

namespace {

constexpr std::string_view FILE_VERSION = "V1.0\n";

bool isBlank(char ch) noexcept {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

// The next run of non-blanks from i on; empty at the end of the text.
std::string_view nextToken(std::string_view text, std::size_t& i) noexcept {
  while (i < text.size() && isBlank(text[i])) ++i;
  const std::size_t start = i;
  while (i < text.size() && !isBlank(text[i])) ++i;
  return text.substr(start, i - start);
}

void appendValue(std::string& text, float v) {
  char buffer[32];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, clamp01(v), std::chars_format::fixed, 6);
  (void)ec;  // 0..1 with six decimals is 8 characters
  text.append(buffer, end);
  text.push_back('\n');
}

}  // namespace

std::string formatWaveShaperFile(const Preset& preset) {
  std::string text(FILE_VERSION);
  text.reserve(FILE_VERSION.size() + FILE_VALUE_COUNT * 9);
  appendValue(text, preset.polar);
  for (float v : preset.points) appendValue(text, v);
  return text;
}

bool parseWaveShaperFile(std::string_view text, Preset& out) {
  std::size_t i = 0;
  if (nextToken(text, i).empty()) return false;  // not even a version
  std::array<float, FILE_VALUE_COUNT> values{};
  for (float& v : values) {
    const std::string_view token = nextToken(text, i);
    if (token.empty() || readDecimal(token, v) != token.size()) return false;
  }
  out.polar = values[0];
  std::copy(values.begin() + 1, values.end(), out.points.begin());
  return true;
}

bool loadWaveShaperFile(const std::string& path, Preset& out) {
  std::string text;
  return readFileCapped(path, MAX_FILE_BYTES, text) && parseWaveShaperFile(text, out);
}

bool saveWaveShaperFile(const std::string& path, const Preset& preset) {
  return writeFileAtomically(path, formatWaveShaperFile(preset));
}

}  // namespace waveshaper
