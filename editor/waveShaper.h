// The wave-shaper curves as plain data: the 33 generated shapes, the editing commands of the
// curve menu and the preset file (".wsr"). Nothing here needs a frame or a plug-in object:
// the editor reads the parameters, calls these and writes the results back.
//
// A curve is 256 stored point values 0..1; 0.5 is an output of zero and the signed output of
// a point is 2v - 1.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "tags.h"

namespace waveshaper {

using Curve = std::span<float, WAVESHAPER_POINTS>;
using ConstCurve = std::span<const float, WAVESHAPER_POINTS>;

// ---- Curve generator ----

inline constexpr int NUM_MODES = 33;

// The input of point p: x = 2 min(1, p / 256) - 1 (-1 at point 0, 0.9921875 at point 255).
float pointInput(int point) noexcept;

// The signed output y of shaping mode `mode` (0..32; any other mode gives 0) for the input x
// (-1..1), with the amounts a and b (0..1; anything else is limited to 0..1, NaN reads 0) and
// the polarity switch. Some shapes reach beyond -1..1 ("Or", "Trans"); y is always finite.
float waveShaperY(int mode, float a, float b, bool polar, float x) noexcept;

// The stored value of point `point` (0..255) of a generated curve: 0.5 y + 0.5 limited to
// 0..1, so the applied curve and the screen's overlay stay in range. 0.0 for a point outside
// 0..255.
float waveShaperValue(int mode, float a, float b, bool polar, int point) noexcept;

// All 256 points of a generated curve.
void waveShaperCurve(int mode, float a, float b, bool polar, Curve out) noexcept;

// ---- Curve commands ----

// The straight line i / 255, the curve's default.
void clearCurve(Curve c) noexcept;
// Every point 0.5: no output.
void zeroCurve(Curve c) noexcept;
void copyCurve(ConstCurve from, Curve to) noexcept;
void swapCurves(Curve a, Curve b) noexcept;
// With polarity on all 256 points are reversed; with it off only the upper half (points
// 128..255, the part a uni-polar curve uses) is reversed among itself.
void reverseCurve(Curve c, bool polar) noexcept;
// The lower half becomes the point reflection of the upper half: c[127 - i] = 1 - c[128 + i].
void mirrorCurve(Curve c) noexcept;
// One pass of neighbour averaging in rising order, in place: each point averages the already
// smoothed left neighbour and the old right one. The end points stay.
void smoothCurve(Curve c) noexcept;
// Scales the output so the largest |y| among points 1..254 (at least 0.001) becomes 1,
// limiting every point to 0..1.
void normalizeCurve(Curve c) noexcept;
// Scales the output by `factor`, limiting every point to 0..1.
void scaleCurve(Curve c, float factor) noexcept;
inline constexpr float BOOST_FACTOR = 1.1f;
// The single-precision 1 / BOOST_FACTOR: Boost then Reduce nearly restores a curve.
inline constexpr float REDUCE_FACTOR = 0.909090877f;

// ---- Preset file ----

// What a ".wsr" file keeps: the polar mode (tag 246) and both curves (tags 250..761 in order).
struct Preset {
  float polar = 0.0f;
  std::array<float, 2 * WAVESHAPER_POINTS> points{};
};

inline constexpr int FILE_VALUE_COUNT = 1 + 2 * WAVESHAPER_POINTS;
// Larger files are refused unread: a valid one is under 5 KB.
inline constexpr std::size_t MAX_FILE_BYTES = 64 * 1024;

// "V1.0\n", then the 513 values, each with six decimals and a line feed ("0.500000\n"),
// written the same in every locale. Values are limited to 0..1 (NaN writes 0).
std::string formatWaveShaperFile(const Preset& preset);

// Reads a file's text: a first token (any run of non-blanks, the version) is skipped, then
// come 513 blank-separated decimal numbers, each wholly a number ("0.5", "-1e-3"; not "nan",
// "0,5" or "0.5abc"); whatever follows them is ignored. Values are kept as read (the
// parameter store limits them). False, with `out` untouched, for anything else.
bool parseWaveShaperFile(std::string_view text, Preset& out);

// Reads and parses the file at `path` (a regular file of at most MAX_FILE_BYTES; a FIFO, a
// folder or a device is refused at once). False, with `out` untouched, on any failure.
bool loadWaveShaperFile(const std::string& path, Preset& out);

// Writes the file so that a failure never leaves half a file behind. False when it failed.
bool saveWaveShaperFile(const std::string& path, const Preset& preset);

}  // namespace waveshaper
