// The pictures of the editor's bitmaps.
#pragma once

#include "artPainter.h"
#include "bitmapTable.h"

namespace art {

// Draws frame `frame` of the bitmap into the painter, whose origin is the frame's top-left corner
// and whose coordinates are 100 % ones.
void drawFrame(const Painter& p, const BitmapSize& bitmap, int frame);

// Knob frames: the pointer angle of frame f of 137, in degrees from straight up, clockwise.
inline double knobAngle(int frame) { return -135.0 + 270.0 * frame / 136.0; }

}  // namespace art
