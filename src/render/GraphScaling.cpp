#include "render/GraphScaling.h"

#include <algorithm>
#include <cmath>

#include "core/ScaleSteps.h"

namespace ocuvis {

const std::array<std::string_view, 19> GraphScaling::kScaleValueNames = {
    "graph.xmin",
    "graph.xmax",
    "graph.xscale",
    "graph.xshift",
    "XRangeScrollBar.Position",
    "XOffsetScrollBar.Position",
    "graph.ymin",
    "graph.ymax",
    "graph.yscale",
    "graph.yshift",
    "YRangeScrollBar.Position",
    "YOffsetScrollBar.Position",
    "graph.zmin",
    "graph.zmax",
    "graph.zscale",
    "graph.zshift",
    "ZRangeScrollBar.Position",
    "ZOffsetScrollBar.Position",
    "z0",
};

GraphScaling::GraphScaling(GraphViewState& view, GraphRecord& graph, RedrawGate& gate,
                           FloatValueStore& scaleStore)
    : view_(view), graph_(graph), gate_(gate), scaleStore_(scaleStore) {}

namespace {
// Sets a bar position within its range; true when it changed.
bool MoveBar(std::int32_t& position, int wanted, ScrollRange range) {
    const int clamped = range.Clamp(wanted);
    if (clamped == position) return false;
    position = clamped;
    return true;
}
}  // namespace

void GraphScaling::SetXRangePosition(int p) {
    if (MoveBar(view_.xRangePosition, p, kRangeBar)) XRangeScrollBarChange();
}
void GraphScaling::SetYRangePosition(int p) {
    if (MoveBar(view_.yRangePosition, p, kRangeBar)) YRangeScrollBarChange();
}
void GraphScaling::SetZRangePosition(int p) {
    if (MoveBar(view_.zRangePosition, p, kRangeBar)) ZRangeScrollBarChange();
}
void GraphScaling::SetXOffsetPosition(int p) {
    if (MoveBar(view_.xOffsetPosition, p, kXYOffsetBar)) XOffsetScrollBarChange();
}
void GraphScaling::SetYOffsetPosition(int p) {
    if (MoveBar(view_.yOffsetPosition, p, kXYOffsetBar)) YOffsetScrollBarChange();
}
void GraphScaling::SetZOffsetPosition(int p) {
    if (MoveBar(view_.zOffsetPosition, p, kZOffsetBar)) ZOffsetScrollBarChange();
}
void GraphScaling::SetAzimuth(int degrees) {
    if (MoveBar(view_.azimuth, degrees, kAngleBar)) AzimuthScrollBarChange();
}
void GraphScaling::SetElevation(int degrees) {
    if (MoveBar(view_.elevation, degrees, kAngleBar)) ElevationScrollBarChange();
}

void GraphScaling::XRangeScrollBarChange() {
    graph_.xscale = ScaleSteps[view_.xRangePosition];
    gate_.RedrawGraph();
}
void GraphScaling::YRangeScrollBarChange() {
    graph_.yscale = ScaleSteps[view_.yRangePosition];
    gate_.RedrawGraph();
}
void GraphScaling::ZRangeScrollBarChange() {
    graph_.zscale = view_.ZSign() * ScaleSteps[view_.zRangePosition];
    gate_.RedrawGraph();
}
void GraphScaling::XOffsetScrollBarChange() {
    graph_.xshift = OffsetShift(view_.xOffsetPosition);
    gate_.RedrawGraph();
}
void GraphScaling::YOffsetScrollBarChange() {
    graph_.yshift = OffsetShift(view_.yOffsetPosition);
    gate_.RedrawGraph();
}
void GraphScaling::ZOffsetScrollBarChange() {
    graph_.zshift = OffsetShift(view_.zOffsetPosition, view_.ZSign());
    gate_.RedrawGraph();
}

void GraphScaling::AzimuthScrollBarChange() {
    view_.azimuthRadians = AngleRadians(view_.azimuth);
    if (!dragRedrawHold) gate_.RedrawGraph();
}

void GraphScaling::ElevationScrollBarChange() {
    view_.elevationRadians = AngleRadians(view_.elevation);
    // With both rotations on, the azimuth change of the same tick redraws.
    if (!(view_.rotateElevation && view_.rotateAzimuth) && !dragRedrawHold) gate_.RedrawGraph();
}

void GraphScaling::ApplyZSign() {
    graph_.zscale = view_.ZSign() * ScaleSteps[view_.zRangePosition];
    graph_.zshift = OffsetShift(view_.zOffsetPosition, view_.ZSign());
}

void GraphScaling::ZoomAllAxes(int steps) {
    const auto stepped = [steps](std::int32_t position) {
        return static_cast<int>(std::clamp<long long>(static_cast<long long>(position) + steps,
                                                      kRangeBar.minimum, kRangeBar.maximum));
    };
    const std::int32_t before[] = {view_.xRangePosition, view_.yRangePosition,
                                   view_.zRangePosition};
    {
        RedrawGate::Hold hold(gate_);
        SetXRangePosition(stepped(before[0]));
        SetYRangePosition(stepped(before[1]));
        SetZRangePosition(stepped(before[2]));
    }
    if (before[0] != view_.xRangePosition || before[1] != view_.yRangePosition ||
        before[2] != view_.zRangePosition)
        gate_.RedrawGraph();
}

void GraphScaling::AutoScale(bool resetAngles) {
    RedrawGate::Hold hold(gate_);
    const float zSign = view_.ZSign();

    graph_.xmin = -1.0f;
    graph_.xmax = 1.0f;
    SetXRangePosition(kNeutralScaleStep);
    graph_.xscale = ScaleSteps[view_.xRangePosition];
    SetXOffsetPosition(0);
    graph_.xshift = 0.0f;

    graph_.ymin = -1.0f;
    graph_.ymax = 1.0f;
    SetYRangePosition(kNeutralScaleStep);
    graph_.yscale = ScaleSteps[view_.yRangePosition];
    SetYOffsetPosition(0);
    graph_.yshift = 0.0f;

    graph_.zmin = -1.0f;
    graph_.zmax = 1.0f;
    SetZRangePosition(kNeutralScaleStep);
    graph_.zscale = zSign * ScaleSteps[view_.zRangePosition];
    SetZOffsetPosition(0);
    graph_.zshift = 0.0f;

    view_.z0 = 16.0f;
    if (resetAngles) {
        SetAzimuth(0);
        SetElevation(0);
    }
    dragRedrawHold = false;
}

void GraphScaling::SaveScaleSettings() {
    RedrawGate::Hold hold(gate_);
    const double values[19] = {
        graph_.xmin,
        graph_.xmax,
        graph_.xscale,
        graph_.xshift,
        static_cast<double>(view_.xRangePosition),
        static_cast<double>(view_.xOffsetPosition),
        graph_.ymin,
        graph_.ymax,
        graph_.yscale,
        graph_.yshift,
        static_cast<double>(view_.yRangePosition),
        static_cast<double>(view_.yOffsetPosition),
        graph_.zmin,
        graph_.zmax,
        graph_.zscale,
        graph_.zshift,
        static_cast<double>(view_.zRangePosition),
        static_cast<double>(view_.zOffsetPosition),
        view_.z0,
    };
    for (std::size_t i = 0; i < kScaleValueNames.size(); ++i) {
        scaleStore_.WriteFloat(kScaleValueNames[i], values[i]);
    }
    dragRedrawHold = false;
}

namespace {
// A stored position read back as an int; values no int can hold count as missing.
bool ToPosition(double value, int& position) {
    if (!std::isfinite(value) || value < -2147483648.0 || value >= 2147483648.0) return false;
    position = static_cast<int>(value);  // truncation toward zero
    return true;
}

// A stored value that is not a finite float (a hand-edited or damaged store) counts as missing:
// it would turn every frame into garbage.
bool ToGraphFloat(double value, float& result) {
    if (!std::isfinite(value) || std::fabs(value) > 3.4028234663852886e38) return false;
    result = static_cast<float>(value);
    return true;
}
}  // namespace

void GraphScaling::RestoreScaleSettings() {
    RedrawGate::Hold hold(gate_);
    float* const floats[] = {&graph_.xmin, &graph_.xmax, &graph_.xscale, &graph_.xshift,
                             &graph_.ymin, &graph_.ymax, &graph_.yscale, &graph_.yshift,
                             &graph_.zmin, &graph_.zmax, &graph_.zscale, &graph_.zshift};
    using Setter = void (GraphScaling::*)(int);
    const Setter setters[] = {&GraphScaling::SetXRangePosition, &GraphScaling::SetXOffsetPosition,
                              &GraphScaling::SetYRangePosition, &GraphScaling::SetYOffsetPosition,
                              &GraphScaling::SetZRangePosition, &GraphScaling::SetZOffsetPosition};
    for (int axis = 0; axis < 3; ++axis) {
        for (int f = 0; f < 4; ++f) {
            double value = 0.0;
            float narrowed = 0.0f;
            if (scaleStore_.ReadFloat(kScaleValueNames[axis * 6 + f], value) &&
                ToGraphFloat(value, narrowed)) {
                *floats[axis * 4 + f] = narrowed;
            }
        }
        for (int b = 0; b < 2; ++b) {
            double value = 0.0;
            int position = 0;
            if (scaleStore_.ReadFloat(kScaleValueNames[axis * 6 + 4 + b], value) &&
                ToPosition(value, position)) {
                (this->*setters[axis * 2 + b])(position);
            }
        }
    }
    double z0 = 0.0;
    float narrowedZ0 = 0.0f;
    // The eye must stand in front of the cube: a distance of 0 or less draws nothing.
    if (scaleStore_.ReadFloat(kScaleValueNames[18], z0) && ToGraphFloat(z0, narrowedZ0) &&
        narrowedZ0 > 0.0f)
        view_.z0 = narrowedZ0;
    dragRedrawHold = false;
}

}  // namespace ocuvis
