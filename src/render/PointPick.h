#pragma once

#include <string>

#include "render/FrameRenderer.h"

namespace ocuvis {

// A record found under the mouse, and where its dot is drawn.
struct PickedPoint {
    int record = -1;  // -1: none within reach
    int column1 = 0, column2 = 0, row = 0;
    int size = 0;  // how far the dot reaches from its centre, in pixels
};

// The record whose dot, in either image of a frame of this size, lies nearest to (x, y) and no
// farther than reach pixels from the dot's edge. Positions as the frame draws them.
PickedPoint PickPoint(const FrameSources& sources, int width, int height, int x, int y,
                      int reach = 4);

// "x 512345.67  y 4012345.89  z 300.5  line 12  TOP": a record in the file's own units, as
// many digits as the store holds, with its line or vertex and a label at the same place.
std::string PickedPointText(const PointStore& store, const GraphRecord& graph, int record);

// A data value from a cube coordinate through an axis map, the origin added back, printed with
// the digits the map keeps.
std::string PickedValueText(float cube, float dataScale, float dataShift, double origin);

}  // namespace ocuvis
