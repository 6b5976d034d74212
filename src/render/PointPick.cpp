#include "render/PointPick.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "render/FrameContext.h"

namespace ocuvis {

PickedPoint PickPoint(const FrameSources& sources, int width, int height, int x, int y, int reach) {
    PickedPoint best;
    const PointStore& store = sources.store;
    const GraphRecord& g = sources.graph;
    const Projection projection(sources.view, sources.graph, width, height);
    const bool paired = projection.Paired();
    const bool ownSizes = store.dotSizesPresent != 0;
    const int n = store.HeldCount(store.pointCount);
    const DataPoint* points = store.points.data();
    double bestDistance = 0.0;
    for (int i = 0; i < n; ++i) {
        const DataPoint& p = points[i];
        if (p.IsBreak()) continue;
        const int s = std::min(ownSizes ? p.SizeClass() : sources.view.pointSize, kMaxDotSize);
        if (s <= 0) continue;
        // The plot position as the frame takes it: each product and sum in double, rounded once.
        const float px = static_cast<float>(static_cast<double>(p.x) * g.xscale + g.xshift);
        const float py = static_cast<float>(static_cast<double>(p.y) * g.yscale + g.yshift);
        const float pz = static_cast<float>(static_cast<double>(p.z) * g.zscale + g.zshift);
        // The row first: most records lie too far above or below to need their columns.
        const RotatedPosition r = projection.Rotate(px, py, pz);
        if (!projection.IsDrawable(r)) continue;
        const float rowValue = projection.ImageRow(r);
        if (!std::isfinite(rowValue)) continue;
        // The pen of width s drawn on the circle of radius s reaches half its width beyond, in
        // whole pixels.
        const int halfPen = s / 2;
        const double within = s + halfPen + reach;
        if (std::fabs(Projection::TruncatePixel(rowValue) - 0.5 - y) > within) continue;
        ImagePixels at;
        if (!projection.PixelsOf(r, at)) continue;
        // The dot's rectangle runs from centre - s to centre + s, its last pixels excluded: its
        // middle is half a pixel up and left of the centre.
        const double dy = at.row - 0.5 - y;
        const double dx1 = at.column1 - 0.5 - x;
        const double dx2 = paired ? at.column2 - 0.5 - x : dx1;
        const double distance = std::min(dx1 * dx1, dx2 * dx2) + dy * dy;
        if (distance > within * within) continue;
        if (best.record >= 0 && distance >= bestDistance) continue;
        best = {i, at.column1, at.column2, at.row, s + s / 2};
        bestDistance = distance;
    }
    return best;
}

std::string PickedValueText(float cube, float dataScale, float dataShift, double origin) {
    const double residual = (static_cast<double>(cube) - dataShift) / dataScale;
    const double value = residual + origin;
    // What the store can tell apart: a step of the cube coordinate through the map, or of the
    // float the value was held in before.
    const float cubeStep = std::nextafter(std::fabs(cube), INFINITY) - std::fabs(cube);
    const auto held = static_cast<float>(residual);
    const float heldStep = std::nextafter(std::fabs(held), INFINITY) - std::fabs(held);
    const double resolution =
        std::max(static_cast<double>(cubeStep) / std::fabs(dataScale), double{heldStep});
    char buffer[64];
    std::to_chars_result result{};
    if (!std::isfinite(value) || std::fabs(value) >= 1e15 ||
        (value != 0.0 && std::fabs(value) < 1e-4) || !(resolution > 0.0)) {
        result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 9);
        return std::string(buffer, result.ptr);
    }
    const int decimals = std::clamp(static_cast<int>(std::floor(-std::log10(resolution))), 0, 12);
    result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

std::string PickedPointText(const PointStore& store, const GraphRecord& graph, int record) {
    const DataPoint& p = store.points[static_cast<std::size_t>(record)];
    std::string text =
        "x " + PickedValueText(p.x, graph.xdataScale, graph.xdataShift, store.origin[0]) + "  y " +
        PickedValueText(p.y, graph.ydataScale, graph.ydataShift, store.origin[1]) + "  z " +
        PickedValueText(p.z, graph.zdataScale, graph.zdataShift, store.origin[2]);
    if (static_cast<std::size_t>(record) < store.sources.size()) {
        const std::int32_t source = store.sources[static_cast<std::size_t>(record)];
        if (source >= 0)
            text += (store.sourcesAreVertices ? "  vertex " : "  line ") + std::to_string(source);
    }
    // A label belongs to the dot at its place.
    const int labels = std::clamp(store.labelCount, 0, kLabelCapacity);
    for (int i = 0; i < labels; ++i) {
        const XYZTEXT& label = store.labels[static_cast<std::size_t>(i)];
        if (label.x == p.x && label.y == p.y && label.z == p.z) {
            text += "  " + label.text;
            break;
        }
    }
    return text;
}

}  // namespace ocuvis
