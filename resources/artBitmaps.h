// The pictures of the editor's bitmaps.
#pragma once

#include <string>
#include <vector>

#include "artPainter.h"
#include "bitmapTable.h"
#include "include/layoutPlaces.h"

namespace art {

// What a background paints round the controls that sit on it, in device pixels of its size: the
// labels (their ink) and the seats under knobs (their centres).
struct PaintedLabel {
  std::string text;
  double left, top, right, bottom;
  const void* names;  // the place of the control the label names, or null
  bool onFace;        // painted on the face of a control that draws no text of its own
};
struct PaintedSeat {
  double x, y;
};
struct Inventory {
  std::vector<PaintedLabel> labels;
  std::vector<PaintedSeat> seats;
};

// Draws frame `frame` of the bitmap into the painter, whose origin is the frame's top-left corner
// and whose coordinates are 100 % ones; `table` gives the sizes of the controls' bitmaps. What is
// painted round the controls is added to the inventory when one is given.
void drawFrame(const Painter& p, const BitmapSize& bitmap, int frame, const std::vector<BitmapSize>& table,
               Inventory* inventory = nullptr);

// A control that sits on a background: its place and how it is sized. Knobs also say whether the
// background seats them.
struct ControlOnArt {
  enum class Kind { knob, largeKnob, bitmap, area } kind;
  const void* place;
  bool seated = false;
};
// The controls that may be shown on background `id` (nothing for other bitmaps).
std::vector<ControlOnArt> controlsOn(int id);
// The rectangles a control covers at screen mode m: a knob the band of its two text lines (its
// image is round: knobImage), any other control its whole rectangle.
std::vector<PixelRect> coveredBy(const ControlOnArt& c, int mode, const std::vector<BitmapSize>& table);
// A knob's image square at mode m; the knob and its ring fill the circle inside it.
PixelRect knobImage(const ControlOnArt& c, int mode, const std::vector<BitmapSize>& table);

// Knob frames: the pointer angle of frame f of 137, in degrees from straight up, clockwise.
inline double knobAngle(int frame) { return -135.0 + 270.0 * frame / 136.0; }

}  // namespace art
