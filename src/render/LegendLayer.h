#pragma once

#include <string>

#include "render/FrameContext.h"

namespace ocuvis {

class RecordColours;

// The colour map as a bar at the frame's right edge, the range's top and bottom in data
// units beside it, when records are coloured by a field.
class LegendLayer {
  public:
    explicit LegendLayer(FrameContext& frame) : frame_(frame) {}

    // In the current font and text colour.
    void Draw(const RecordColours& colours);

    // A value at full precision: the shortest text that reads back as the same double.
    static std::string ValueText(double value);

  private:
    FrameContext& frame_;
};

}  // namespace ocuvis
