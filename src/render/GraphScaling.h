#pragma once

#include <array>
#include <string_view>

#include "core/FloatValueStore.h"
#include "core/GraphRecord.h"
#include "core/GraphViewState.h"
#include "core/RedrawGate.h"
#include "core/ScrollBarModel.h"
#include "input/LoaderServices.h"

namespace ocuvis {

// The six scale and offset scroll bars, the two angle bars, and the operations that move them
// together: AutoScale and the memory of the last file's scale. Positions live in the view state;
// setting one keeps it inside its bar's range and runs the bar's change handler only when the
// position really changes, as a scroll bar control does.
class GraphScaling final : public ScaleReset {
  public:
    GraphScaling(GraphViewState& view, GraphRecord& graph, RedrawGate& gate,
                 FloatValueStore& scaleStore);

    void SetXRangePosition(int position);
    void SetYRangePosition(int position);
    void SetZRangePosition(int position);
    void SetXOffsetPosition(int position);
    void SetYOffsetPosition(int position);
    void SetZOffsetPosition(int position);
    void SetAzimuth(int degrees);
    void SetElevation(int degrees);

    // Change handlers: recompute what follows from a bar's position, then redraw.
    void XRangeScrollBarChange();
    void YRangeScrollBarChange();
    void ZRangeScrollBarChange();
    void XOffsetScrollBarChange();
    void YOffsetScrollBarChange();
    void ZOffsetScrollBarChange();
    void AzimuthScrollBarChange();
    void ElevationScrollBarChange();

    // The Z scale and shift after zInvert changed; the bars stay where they are. No redraw.
    void ApplyZSign();

    // Steps the three range bars together, each held to its ends: a wheel notch is one step.
    // One redraw when any bar moved.
    void ZoomAllAxes(int steps);

    void AutoScale(bool resetAngles) override;
    void SaveScaleSettings();
    void RestoreScaleSettings() override;

    // While set, angle changes do not redraw: a drag step that moves both angles redraws once.
    bool dragRedrawHold = false;

    // The 19 stored scale values, in their order.
    static const std::array<std::string_view, 19> kScaleValueNames;

  private:
    GraphViewState& view_;
    GraphRecord& graph_;
    RedrawGate& gate_;
    FloatValueStore& scaleStore_;
};

}  // namespace ocuvis
