#include "app/commands/PanDrag.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "render/Projection.h"

namespace ocuvis {

void PanDrag::Start(int x, int y, int width, int height) {
    startX_ = x;
    startY_ = y;
    startOffsets_[0] = view_.xOffsetPosition;
    startOffsets_[1] = view_.yOffsetPosition;
    startOffsets_[2] = view_.zOffsetPosition;
    // Where one step of each offset bar takes the middle of the cube on the screen.
    const Projection projection(view_, graph_, width, height);
    const float base[3] = {graph_.xshift, graph_.yshift, graph_.zshift};
    const float moved[3] = {OffsetShift(view_.xOffsetPosition + 1),
                            OffsetShift(view_.yOffsetPosition + 1),
                            OffsetShift(view_.zOffsetPosition + 1, view_.ZSign())};
    const auto pixel = [&](const float* p) {
        const RotatedPosition r = projection.Rotate(p[0], p[1], p[2]);
        return std::pair<double, double>{projection.FirstImageColumn(r), projection.ImageRow(r)};
    };
    const auto [column0, row0] = pixel(base);
    double steps[3][2];
    for (int axis = 0; axis < 3; ++axis) {
        float p[3] = {base[0], base[1], base[2]};
        p[axis] = moved[axis];
        const auto [column, row] = pixel(p);
        steps[axis][0] = column - column0;
        steps[axis][1] = row - row0;
    }
    // The pair that spans the screen best, so that a drag in any direction can be followed.
    double bestArea = 0.0;
    for (const auto& [a, b] : {std::pair{0, 1}, std::pair{0, 2}, std::pair{1, 2}}) {
        const double area = std::fabs(steps[a][0] * steps[b][1] - steps[a][1] * steps[b][0]);
        if (std::isfinite(area) && area > bestArea) {
            bestArea = area;
            axes_[0] = a, axes_[1] = b;
        }
    }
    if (!(bestArea > 1e-6)) {
        axes_[0] = 0, axes_[1] = 1;
        step_[0][0] = 10, step_[0][1] = 0, step_[1][0] = 0, step_[1][1] = -10;
        return;
    }
    for (int k = 0; k < 2; ++k)
        for (int c = 0; c < 2; ++c)
            step_[k][c] = steps[axes_[k]][c];
}

void PanDrag::Move(int x, int y) {
    // The drag as a sum of the two axes' bar steps: a 2 x 2 system.
    const double dx = x - startX_, dy = y - startY_;
    const double det = step_[0][0] * step_[1][1] - step_[0][1] * step_[1][0];
    const double a = (dx * step_[1][1] - dy * step_[1][0]) / det;
    const double b = (step_[0][0] * dy - step_[0][1] * dx) / det;
    using Setter = void (GraphScaling::*)(int);
    const Setter setters[3] = {&GraphScaling::SetXOffsetPosition, &GraphScaling::SetYOffsetPosition,
                               &GraphScaling::SetZOffsetPosition};
    const std::int32_t before[3] = {view_.xOffsetPosition, view_.yOffsetPosition,
                                    view_.zOffsetPosition};
    {
        RedrawGate::Hold hold(gate_);
        const double moves[2] = {a, b};
        for (int k = 0; k < 2; ++k) {
            const double wanted = startOffsets_[axes_[k]] + std::round(moves[k]);
            if (std::isfinite(wanted))
                (scaling_.*setters[axes_[k]])(static_cast<int>(std::clamp(wanted, -1e6, 1e6)));
        }
    }
    if (before[0] != view_.xOffsetPosition || before[1] != view_.yOffsetPosition ||
        before[2] != view_.zOffsetPosition)
        gate_.RedrawGraph();
}

}  // namespace ocuvis
