#include "render/GridLayer.h"

#include <charconv>

namespace ocuvis {

namespace {

GridAxis AxisOf(float min, float max) {
    GridAxis a{};
    a.range = max - min;
    const float inset = static_cast<float>(2.0L / 9.0L * a.range);
    a.g0 = min + inset;
    a.g1 = max - inset;
    a.gm = (a.g0 + a.g1) * 0.5f;
    a.tick = static_cast<float>(0.02 * a.range);
    return a;
}

// The data value at a box position: undoes the scroll-bar scale and shift, then the loader's
// normalisation. Values within a thousandth of the cube range of zero are zero, so rounding
// residue prints as "0".
float DataValue(float position, float shift, float scale, float dataShift, float dataScale,
                float cubeRange) {
    const float value = static_cast<float>(
        ((static_cast<double>(position) - shift) / scale - dataShift) / dataScale);
    const double bound = 0.001 * cubeRange / dataScale;
    if (-bound < value && value < bound) return 0.0f;
    return value;
}

}  // namespace

GridBox GridBox::Of(const GraphRecord& graph) {
    return {AxisOf(graph.xmin, graph.xmax), AxisOf(graph.ymin, graph.ymax),
            AxisOf(graph.zmin, graph.zmax)};
}

std::string FormatAxisValue(double value) {
    // std::to_chars formats as printf's %.3g does in the C locale, whatever the process
    // locale says.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 3);
    return std::string(buffer, result.ptr);
}

void GridLayer::Draw() {
    if (frame_.view.fullBoxGrid)
        DrawFullBox();
    else
        DrawSimpleGrid();
    if (frame_.view.axisLabels) DrawAxisLabels();
}

void GridLayer::DrawFullBox() {
    const auto& [x, y, z] = box_;
    const auto level = [](const GridAxis& a, int i) {
        return a.g0 + static_cast<float>(i) * (a.g1 - a.g0) * 0.5f;
    };
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            frame_.DrawSegment({x.g0, level(y, j), level(z, i)}, {x.g1, level(y, j), level(z, i)});
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            frame_.DrawSegment({level(x, j), y.g0, level(z, i)}, {level(x, j), y.g1, level(z, i)});
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            frame_.DrawSegment({level(x, j), level(y, i), z.g0}, {level(x, j), level(y, i), z.g1});
}

void GridLayer::DrawSimpleGrid() {
    const auto& [x, y, z] = box_;
    frame_.DrawSegment({x.g0, y.g0, z.gm}, {x.g1, y.g0, z.gm});
    frame_.DrawSegment({x.g0, y.g0, z.gm}, {x.g0, y.g1, z.gm});
    frame_.DrawSegment({x.g0, y.g0, z.g0}, {x.g0, y.g0, z.g1});
    for (const float at : {x.gm, x.g1})
        frame_.DrawSegment({at, y.g0, z.gm}, {at, y.g0 + y.tick, z.gm});
    for (const float at : {y.gm, y.g1})
        frame_.DrawSegment({x.g0, at, z.gm}, {x.g0 + x.tick, at, z.gm});
    for (const float at : {z.g0, (z.g0 + z.gm) * 0.5f, (z.g1 + z.gm) * 0.5f, z.g1}) {
        frame_.DrawSegment({x.g0, y.g0, at}, {x.g0, y.g0 + y.tick, at});
        frame_.DrawSegment({x.g0, y.g0, at}, {x.g0 + x.tick, y.g0, at});
    }
}

void GridLayer::DrawAxisLabels() {
    const auto& [x, y, z] = box_;
    const GraphRecord& g = frame_.graph;
    // The loaded values are relative to the file's origin; the labels say the file's values.
    const auto& [ox, oy, oz] = frame_.store.origin;
    for (int k = 0; k < 3; ++k) {
        const PlotPosition p{x.g0 + static_cast<float>(k) * (x.gm - x.g0), y.g0 - 1.5f * y.tick,
                             z.gm};
        const float value = DataValue(p.x, g.xshift, g.xscale, g.xdataShift, g.xdataScale, x.range);
        frame_.DrawTextInImages(p, TextAlign::Centre, FormatAxisValue(value + ox));
    }
    for (int k = 0; k < 3; ++k) {
        const PlotPosition p{x.g0 - 0.5f * x.tick, y.g0 + static_cast<float>(k) * (y.gm - y.g0),
                             z.gm};
        const float value = DataValue(p.y, g.yshift, g.yscale, g.ydataShift, g.ydataScale, y.range);
        frame_.DrawTextInImages(p, TextAlign::Right, FormatAxisValue(value + oy));
    }
    for (int k = 0; k < 5; ++k) {
        // The middle label would sit on the X axis' start; it goes lower.
        const float below = k == 2 ? 3.0f : 1.2f;
        const PlotPosition p{x.g0 - 0.2f * x.tick, y.g0 - below * y.tick,
                             z.g0 + static_cast<float>(k) * (z.g1 - z.g0) * 0.25f};
        const float value = DataValue(p.z, g.zshift, g.zscale, g.zdataShift, g.zdataScale, z.range);
        frame_.DrawTextInImages(p, TextAlign::Right, FormatAxisValue(value + oz));
    }
}

}  // namespace ocuvis
