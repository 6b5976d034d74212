#pragma once

#include <string>

#include "render/Canvas.h"
#include "render/FrameRenderer.h"
#include "render/Projection.h"

namespace ocuvis {

constexpr Colour kAnaglyphBlue = 0xFF0000;
constexpr Colour kAnaglyphRed = 0x0000FF;
// Sizes beyond the menus' 0..6 can come from stored settings; past this they would only
// paint the whole frame and overflow nothing useful.
constexpr int kMaxDotSize = 64;

// A position in plot coordinates: cube units scaled and shifted by the graph record.
struct PlotPosition {
    float x, y, z;
};

// One end of a segment, rotated, and projected once it is needed. Consecutive segments share
// an end, so a run of records is rotated and projected once per pass, not twice.
struct SegmentEnd {
    RotatedPosition r;
    bool drawable = false;
    bool projected = false;
    float column1 = 0.0f, column2 = 0.0f, row = 0.0f;
};

// What every layer of one frame draws with: the canvas and its size, the sources, the
// projection, and the depth range of faded lines, which outlives the frame. The layers keep
// no state of their own between frames.
class FrameContext {
  public:
    FrameContext(Canvas& canvas, int width, int height, const FrameSources& sources,
                 float& fadeNear, float& fadeFar);

    // Plot coordinates of a record or label: each product and sum in double, rounded once.
    PlotPosition PlotOf(float x, float y, float z) const {
        return {static_cast<float>(static_cast<double>(x) * graph.xscale + graph.xshift),
                static_cast<float>(static_cast<double>(y) * graph.yscale + graph.yshift),
                static_cast<float>(static_cast<double>(z) * graph.zscale + graph.zshift)};
    }

    // The images of the frame: the first always, the second in every view but the single one.
    // In the red/blue views each image has a colour of its own that replaces the element's.
    bool Paired() const { return projection.Paired(); }
    bool Anaglyph() const {
        return view.viewType == ViewType::RightRed || view.viewType == ViewType::RightBlue;
    }
    static Colour AnaglyphColour(int image) { return image == 0 ? kAnaglyphBlue : kAnaglyphRed; }

    SegmentEnd EndOf(const PlotPosition& p) const;
    // Projects both ends if both are drawable; false when either has no pixel.
    bool ProjectBoth(SegmentEnd& a, SegmentEnd& b) const;
    // A segment between two plot positions in every image, in the current pen.
    void DrawSegment(const PlotPosition& a, const PlotPosition& b);
    // The lines of a segment whose ends are projected, in every image.
    void DrawSegmentImages(const SegmentEnd& a, const SegmentEnd& b);
    // The same with the current pen in the first image and the given colour in the second.
    void DrawSegmentImages(const SegmentEnd& a, const SegmentEnd& b, Colour second);
    // A text on a plot position in every image, centred on it or ending at it.
    void DrawTextInImages(const PlotPosition& p, TextAlign align, const std::string& text);

    Canvas& canvas;
    const int width;
    const int height;
    const GraphViewState& view;
    const GraphRecord& graph;
    const PointStore& store;
    const TitleTexts& titles;
    const Projection projection;
    // Smallest and largest rotated depth of the last measuring pass.
    float& fadeNear;
    float& fadeFar;
    // The records and labels to draw: a store being filled or a damaged count must not lead
    // past the arrays.
    const int pointCount;
    const int labelCount;

  private:
    // A line between two pixel positions given as floats; far ends are clipped first.
    void DrawPixelLine(float x1, float y1, float x2, float y2);
};

}  // namespace ocuvis
