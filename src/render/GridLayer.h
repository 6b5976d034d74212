#pragma once

#include <string>

#include "render/FrameContext.h"

namespace ocuvis {

// The box inside the cube that grid, axis labels and titles hang on, worked out from the
// graph record: per axis the cube's range, the box's two ends and middle, and the tick length.
struct GridAxis {
    float range, g0, g1, gm, tick;
};
struct GridBox {
    GridAxis x, y, z;
    static GridBox Of(const GraphRecord& graph);
};

// The reference frame: the simple grid of three axes with ticks or the full 3 × 3 × 3 box,
// then, with axis labels on, the data values at the ticks. Pen and font are set by the caller.
class GridLayer {
  public:
    explicit GridLayer(FrameContext& frame) : frame_(frame), box_(GridBox::Of(frame.graph)) {}
    void Draw();

  private:
    void DrawFullBox();
    void DrawSimpleGrid();
    void DrawAxisLabels();

    FrameContext& frame_;
    const GridBox box_;
};

// The text of an axis label: "%.3g" of the value, the same in every locale.
std::string FormatAxisValue(double value);

}  // namespace ocuvis
