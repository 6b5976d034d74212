// The reference frame: simple grid or full box, axis labels in data units, titles.
#include <charconv>
#include <cmath>

#include "render/FrameDrawing.h"

namespace ocuvis {

namespace {

// The box inside the cube that grid, labels and titles hang on; per axis its two ends, middle
// and tick length.
struct GridAxis {
    float range, g0, g1, gm, tick;
};

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

std::string FormatAxisValue(float value) {
    // std::to_chars formats as printf's %.3g does in the C locale, whatever the process
    // locale says.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::general, 3);
    return std::string(buffer, result.ptr);
}

void FrameDrawing::DrawGrid() {
    const GridAxis x = AxisOf(graph_.xmin, graph_.xmax);
    const GridAxis y = AxisOf(graph_.ymin, graph_.ymax);
    const GridAxis z = AxisOf(graph_.zmin, graph_.zmax);

    if (view_.fullBoxGrid) {
        const auto level = [](const GridAxis& a, int i) {
            return a.g0 + static_cast<float>(i) * (a.g1 - a.g0) * 0.5f;
        };
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                DrawSegment({x.g0, level(y, j), level(z, i)}, {x.g1, level(y, j), level(z, i)});
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                DrawSegment({level(x, j), y.g0, level(z, i)}, {level(x, j), y.g1, level(z, i)});
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                DrawSegment({level(x, j), level(y, i), z.g0}, {level(x, j), level(y, i), z.g1});
    } else {
        DrawSegment({x.g0, y.g0, z.gm}, {x.g1, y.g0, z.gm});
        DrawSegment({x.g0, y.g0, z.gm}, {x.g0, y.g1, z.gm});
        DrawSegment({x.g0, y.g0, z.g0}, {x.g0, y.g0, z.g1});
        for (const float at : {x.gm, x.g1})
            DrawSegment({at, y.g0, z.gm}, {at, y.g0 + y.tick, z.gm});
        for (const float at : {y.gm, y.g1})
            DrawSegment({x.g0, at, z.gm}, {x.g0 + x.tick, at, z.gm});
        for (const float at : {z.g0, (z.g0 + z.gm) * 0.5f, (z.g1 + z.gm) * 0.5f, z.g1}) {
            DrawSegment({x.g0, y.g0, at}, {x.g0, y.g0 + y.tick, at});
            DrawSegment({x.g0, y.g0, at}, {x.g0 + x.tick, y.g0, at});
        }
    }

    if (view_.axisLabels) {
        DrawAxisLabels();
        DrawTitles();
    }
}

void FrameDrawing::DrawAxisLabels() {
    const GridAxis x = AxisOf(graph_.xmin, graph_.xmax);
    const GridAxis y = AxisOf(graph_.ymin, graph_.ymax);
    const GridAxis z = AxisOf(graph_.zmin, graph_.zmax);
    const GraphRecord& g = graph_;

    for (int k = 0; k < 3; ++k) {
        const PlotPosition p{x.g0 + static_cast<float>(k) * (x.gm - x.g0), y.g0 - 1.5f * y.tick,
                             z.gm};
        const float value = DataValue(p.x, g.xshift, g.xscale, g.xdataShift, g.xdataScale, x.range);
        DrawGridText(p, TextAlign::Centre, FormatAxisValue(value));
    }
    for (int k = 0; k < 3; ++k) {
        const PlotPosition p{x.g0 - 0.5f * x.tick, y.g0 + static_cast<float>(k) * (y.gm - y.g0),
                             z.gm};
        const float value = DataValue(p.y, g.yshift, g.yscale, g.ydataShift, g.ydataScale, y.range);
        DrawGridText(p, TextAlign::Right, FormatAxisValue(value));
    }
    for (int k = 0; k < 5; ++k) {
        // The middle label would sit on the X axis' start; it goes lower.
        const float below = k == 2 ? 3.0f : 1.2f;
        const PlotPosition p{x.g0 - 0.2f * x.tick, y.g0 - below * y.tick,
                             z.g0 + static_cast<float>(k) * (z.g1 - z.g0) * 0.25f};
        const float value = DataValue(p.z, g.zshift, g.zscale, g.zdataShift, g.zdataScale, z.range);
        DrawGridText(p, TextAlign::Right, FormatAxisValue(value));
    }
}

void FrameDrawing::DrawTitles() {
    if (!view_.titles) return;
    const GridAxis x = AxisOf(graph_.xmin, graph_.xmax);
    const GridAxis y = AxisOf(graph_.ymin, graph_.ymax);
    const GridAxis z = AxisOf(graph_.zmin, graph_.zmax);
    const struct {
        const std::string& text;
        PlotPosition at;
    } titles[] = {
        {titles_.mainTitle, {x.gm + 0.5f * (x.gm - x.g0), y.g1 + 8.0f * y.tick, z.gm}},
        {titles_.xTitle, {x.gm, y.g0 - 5.0f * y.tick, z.gm}},
        {titles_.yTitle, {x.g0, y.g1 + 3.0f * y.tick, z.gm}},
        {titles_.zTitle, {x.g0, y.g0 - 3.0f * y.tick, z.g0 - 0.125f * (z.g1 - z.g0)}},
    };
    for (const auto& title : titles)
        if (!title.text.empty()) DrawGridText(title.at, TextAlign::Centre, title.text);
}

void FrameDrawing::DrawGridText(const PlotPosition& p, TextAlign align, const std::string& text) {
    ImagePixels at;
    if (!projection_.PixelsOf(projection_.Rotate(p.x, p.y, p.z), at)) return;
    const int row = at.row;
    const auto box = [&](int column) {
        return align == TextAlign::Right
                   ? CanvasRect{column - 100, row - 100, column, row + 100}
                   : CanvasRect{column - 100, row - 100, column + 100, row + 100};
    };
    if (Anaglyph()) canvas_.SetTextColour(kAnaglyphBlue);
    canvas_.DrawText(box(at.column1), align, text);
    if (projection_.Paired()) {
        if (Anaglyph()) canvas_.SetTextColour(kAnaglyphRed);
        canvas_.DrawText(box(at.column2), align, text);
    }
}

}  // namespace ocuvis
