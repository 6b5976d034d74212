#pragma once

#include "core/GraphRecord.h"
#include "core/GraphViewState.h"
#include "core/RedrawGate.h"
#include "render/GraphScaling.h"

namespace ocuvis {

// Moving the picture by dragging: the drag is carried onto the offset bars of the two axes that
// lie flattest on the screen, in whole bar steps, so the picture follows the mouse as closely
// as the steps allow.
class PanDrag {
  public:
    PanDrag(GraphViewState& view, GraphRecord& graph, GraphScaling& scaling, RedrawGate& gate)
        : view_(view), graph_(graph), scaling_(scaling), gate_(gate) {}

    // The drag starts at (x, y) of a frame of this size.
    void Start(int x, int y, int width, int height);
    void Move(int x, int y);

  private:
    GraphViewState& view_;
    GraphRecord& graph_;
    GraphScaling& scaling_;
    RedrawGate& gate_;
    int startX_ = 0, startY_ = 0;
    int startOffsets_[3] = {};
    int axes_[2] = {0, 1};
    // The pixels one bar step of each chosen axis moves the picture by, as columns and rows.
    double step_[2][2] = {{1, 0}, {0, 1}};
};

}  // namespace ocuvis
