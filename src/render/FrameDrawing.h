#pragma once

#include <string>

#include "render/Canvas.h"
#include "render/FrameRenderer.h"
#include "render/Projection.h"

namespace ocuvis {

// The layers of one frame and the drawing state they share while it is drawn. Made and used by
// FrameRenderer only.
class FrameDrawing {
  public:
    FrameDrawing(Canvas& canvas, int width, int height, const FrameSources& sources,
                 float& fadeNear, float& fadeFar);

    void RenderFrame();

  private:
    struct PlotPosition {
        float x, y, z;
    };

    // Mode indicator
    void DrawModeIndicator();

    // Grid, box, axis labels and titles
    void DrawGrid();
    void DrawAxisLabels();
    void DrawTitles();
    void DrawGridText(const PlotPosition& p, TextAlign align, const std::string& text);

    // One end of a segment, rotated, and projected once it is needed. Consecutive segments
    // share an end, so a run of records is rotated and projected once per pass, not twice.
    struct SegmentEnd {
        RotatedPosition r;
        bool drawable = false;
        bool projected = false;
        float column1 = 0.0f, column2 = 0.0f, row = 0.0f;
    };
    SegmentEnd EndOf(const PlotPosition& p) const;
    void Project(SegmentEnd& end) const;

    // Lines, dots and text labels
    void DrawLines();
    void DrawAllSegments(bool withClosingSegment);
    void DrawSegment(const PlotPosition& a, const PlotPosition& b);
    void DrawSegment(SegmentEnd& a, SegmentEnd& b);
    Colour FadeGrey(float depth) const;
    void DrawDots();
    void DrawDot(const PlotPosition& p, int s);
    void DrawTextLabels();

    PlotPosition PlotOf(float x, float y, float z) const;
    // A line between two pixel positions given as floats; far ends are clipped first.
    void DrawPixelLine(float x1, float y1, float x2, float y2);
    bool Anaglyph() const;

    Canvas& canvas_;
    int width_;
    int height_;
    const GraphViewState& view_;
    const GraphRecord& graph_;
    const PointStore& store_;
    const TitleTexts& titles_;
    Projection projection_;
    float& fadeNear_;
    float& fadeFar_;
    bool fadeActive_ = false;
    bool fadeMeasuring_ = false;
    int drawPass_ = 0;
    int pointCount_;
    int labelCount_;
};

// The text of an axis label: "%.3g" of the value, the same in every locale.
std::string FormatAxisValue(float value);

// The point size of a text label by its length in characters.
int TextLabelPointSize(int characters);

// Label texts come from data files in whatever 8-bit encoding they were written: valid UTF-8 is
// kept, anything else is read as Latin-1. Returns UTF-8 and counts the characters.
std::string LabelTextAsUtf8(const std::string& raw, int& characters);

}  // namespace ocuvis
