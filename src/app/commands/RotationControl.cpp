#include "app/commands/RotationControl.h"

#include "core/ScrollBarModel.h"

namespace ocuvis {

RotationControl::RotationControl(GraphViewState& view, GraphScaling& scaling, RedrawGate& gate,
                                 UserFeedback& feedback)
    : view_(view), scaling_(scaling), gate_(gate), feedback_(feedback) {}

// Toggling a rotation does not redraw: the next tick does.
void RotationControl::AzimuthItemClick() {
    view_.rotateAzimuth = !view_.rotateAzimuth;
}
void RotationControl::ElevationItemClick() {
    view_.rotateElevation = !view_.rotateElevation;
}

void RotationControl::FasterItemClick() {
    if (view_.rotateSpeedIndex >= kFastestSpeedIndex) {
        feedback_.MessageBeep(BeepKind::Hand);
        return;
    }
    SecClick(view_.rotateSpeedIndex + 1);
}

void RotationControl::SlowerItemClick() {
    if (view_.rotateSpeedIndex <= 0) {
        feedback_.MessageBeep(BeepKind::Hand);
        return;
    }
    SecClick(view_.rotateSpeedIndex - 1);
}

void RotationControl::SecClick(std::int32_t index) {
    if (index < 0 || index > kFastestSpeedIndex) return;
    view_.rotateSpeedIndex = index;
    view_.rotateDelay = rotateDelayTable[static_cast<std::size_t>(index)];
}

void RotationControl::StopRotation() {
    view_.rotateAzimuth = false;
    view_.rotateElevation = false;
}

void RotationControl::RotateTimerTimer() {
    if (view_.rotateElevation) scaling_.SetElevation(kAngleBar.StepUp(view_.elevation));
    if (view_.rotateAzimuth) scaling_.SetAzimuth(kAngleBar.StepUp(view_.azimuth));
    if (view_.rotateAzimuth || view_.rotateElevation) gate_.RedrawGraph();
}

void RotationControl::AzimuthScrollBarScroll() {
    view_.rotateAzimuth = false;
}
void RotationControl::ElevationScrollBarScroll() {
    view_.rotateElevation = false;
}

void RotationControl::GraphBoxMouseDown(bool leftButton, int x, int y) {
    if (!leftButton) return;
    dragStartAzimuth = view_.azimuth;
    dragStartElevation = view_.elevation;
    dragStartX = x;
    dragStartY = y;
}

namespace {
// One pixel is one degree; a value past an end comes back in from the other, and whatever is
// still outside is left for the bar to clamp.
int WrapDragAngle(long long angle) {
    const long long span = kAngleBar.maximum - kAngleBar.minimum;
    if (angle > kAngleBar.maximum) angle -= span;
    if (angle < kAngleBar.minimum) angle += span;
    if (angle > kAngleBar.maximum) return kAngleBar.maximum;
    if (angle < kAngleBar.minimum) return kAngleBar.minimum;
    return static_cast<int>(angle);
}
}  // namespace

void RotationControl::GraphBoxMouseMove(bool leftButton, int x, int y) {
    if (!leftButton) return;
    const int a = WrapDragAngle(static_cast<long long>(dragStartAzimuth) - (x - dragStartX));
    const int e = WrapDragAngle(static_cast<long long>(dragStartElevation) - (y - dragStartY));
    if (a != view_.azimuth && e != view_.elevation) {
        // Both angles change: one redraw for the pair, not one each.
        scaling_.dragRedrawHold = true;
        scaling_.SetAzimuth(a);
        scaling_.SetElevation(e);
        scaling_.dragRedrawHold = false;
        gate_.RedrawGraph();
    } else {
        scaling_.SetAzimuth(a);
        scaling_.SetElevation(e);
    }
}

}  // namespace ocuvis
