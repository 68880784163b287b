// Where the knobs that sit on drawn seats are placed, shared by the editor's layout (which makes
// the knobs) and the artwork (which draws a seat under each knob image at every size).
#pragma once

#include <array>

#include "guiTables.h"

// A knob: its 100 % point (left of the image, top), the inset that widens the control around the
// image, and the corrections of the image's position at 150 % and 200 %.
struct KnobPlace {
  int x, y, size;
  int dx150, dy150, dx200, dy200;
};

// The eight distortion-type knobs (the plain set; the centred knob 4 sits 5 px further right at
// 150 % and 1 px higher at 200 %, on the same seat).
inline constexpr std::array<KnobPlace, 8> TYPE_KNOB_PLACES = {{{157, 53, 16, 1, 2, 9, 1},
                                                               {230, 53, 16, 1, 2, 9, 1},
                                                               {303, 53, 16, 1, 2, 9, 1},
                                                               {376, 53, 16, 0, 2, 8, 1},
                                                               {157, 131, 16, 0, 3, 9, 3},
                                                               {230, 131, 16, 1, 3, 9, 3},
                                                               {303, 131, 16, 0, 3, 9, 3},
                                                               {376, 131, 16, 0, 3, 8, 3}}};
inline constexpr std::array<KnobPlace, 4> OLD_EQ_KNOB_PLACES = {{{44, 253, 16, 2, 1, 6, 0},
                                                                 {174, 253, 16, 2, 1, 5, 0},
                                                                 {304, 253, 16, 2, 1, 6, 0},
                                                                 {434, 253, 16, 2, 1, 6, 0}}};
inline constexpr std::array<KnobPlace, 7> DISRUPT_KNOB_PLACES = {{{87, 130, 46, 13, 1, 24, 2},
                                                                  {218, 130, 46, 13, 1, 24, 2},
                                                                  {351, 130, 46, 13, 1, 24, 2},
                                                                  {483, 130, 46, 13, 1, 24, 2},
                                                                  {619, 130, 46, 13, 1, 24, 2},
                                                                  {759, 130, 46, 13, 1, 24, 2},
                                                                  {895, 130, 46, 13, 1, 24, 2}}};

// A 100 % coordinate at screen mode m (0, 1, 2): truncated, then corrected.
constexpr int scaledPosition(int v, int mode, int off150, int off200) {
  if (mode == 1) return static_cast<int>(static_cast<float>(v) * SCALE[1]) + off150;
  if (mode == 2) return static_cast<int>(static_cast<float>(v) * SCALE[2]) + off200;
  return v;
}
// The control's left edge: the image point less half the scaled inset.
constexpr int knobLeft(int x, int size, int mode, int dx150, int dx200) {
  const int scaledSize =
      mode == 0 ? size : static_cast<int>(static_cast<float>(size) * SCALE[static_cast<size_t>(mode)]);
  return scaledPosition(x, mode, dx150, dx200) - scaledSize / 2;
}
// The knob image's top-left corner at screen mode m: the image sits half the unscaled inset in.
constexpr int knobImageLeft(const KnobPlace& k, int mode) {
  return knobLeft(k.x, k.size, mode, k.dx150, k.dx200) + k.size / 2;
}
constexpr int knobImageTop(const KnobPlace& k, int mode) {
  return scaledPosition(k.y, mode, k.dy150, k.dy200);
}
