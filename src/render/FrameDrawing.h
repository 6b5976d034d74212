#pragma once

#include <QRgb>
#include <cstdint>
#include <string>
#include <vector>

#include "render/Canvas.h"
#include "render/FrameRenderer.h"
#include "render/Projection.h"
#include "render/ThinLine.h"

namespace ocuvis {

class FrameWorker;

constexpr Colour kAnaglyphBlue = 0xFF0000;
constexpr Colour kAnaglyphRed = 0x0000FF;
// Sizes beyond the menus' 0..6 can come from stored settings; past this they would only
// paint the whole frame and overflow nothing useful.
constexpr int kMaxDotSize = 64;

// The pixel buffer of an RGB32 frame image, for the lines and dots drawn straight into it, and
// what that needs: stamps, the projected records and the second thread, if any.
struct DirectPixels {
    QRgb* pixels;
    int stride;  // in pixels
    StampCache& stamps;
    std::vector<ProjectedRecord>& projected;
    FrameWorker* worker;  // none: all on the calling thread
    int bandSplit;        // negative: halve the records
};

// The layers of one frame and the drawing state they share while it is drawn. Made and used by
// FrameRenderer only.
class FrameDrawing {
  public:
    // With direct pixels, one-pixel lines and dots go straight into them (the canvas must then
    // draw on the same image); everything else goes through the canvas.
    FrameDrawing(Canvas& canvas, int width, int height, const FrameSources& sources,
                 float& fadeNear, float& fadeFar, DirectPixels* direct = nullptr);

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

    // Lines and dots into the direct pixels: every record projected once, in chunks shared by
    // the threads; then each band of rows gets every primitive in order, but only its own
    // pixels. ProjectRecords adds to the counts and sizes it is given.
    struct Band;
    void DrawDataDirect();
    void ProjectRecords(int begin, int end, ProjectedRecord* out, int* rowCounts,
                        std::uint64_t& dotSizes) const;
    struct DrawnSegment;
    void DrawSegmentsInBand(const Band& band, const ProjectedRecord* records, int pass) const;
    void DrawSegmentInBand(const Band& band, const ProjectedRecord& a, const ProjectedRecord& b,
                           int pass, DrawnSegment& last) const;
    void DrawDotsInBand(const Band& band, const ProjectedRecord* records,
                        const PixelStamp* const* dotStamps) const;

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
    DirectPixels* direct_;
};

// A line between two pixel positions given as floats, as whole pixels. Ends far outside the
// frame are pulled in along the line first, so that no pixel position overflows and no
// rasteriser walks millions of pixels; the visible part is unchanged. False when nothing of
// it is near the frame.
struct LineEnds {
    int x1, y1, x2, y2;
};
bool ClipFarLineEnds(float x1, float y1, float x2, float y2, int width, int height, LineEnds& ends);
inline bool PixelLineEnds(float x1, float y1, float x2, float y2, int width, int height,
                          LineEnds& ends) {
    constexpr float kMargin = 4096.0f;
    const float right = static_cast<float>(width) + kMargin;
    const float bottom = static_cast<float>(height) + kMargin;
    const auto inside = [&](float x, float y) {
        return x >= -kMargin && x <= right && y >= -kMargin && y <= bottom;
    };
    if (inside(x1, y1) && inside(x2, y2)) {
        ends = {static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2),
                static_cast<int>(y2)};
        return true;
    }
    return ClipFarLineEnds(x1, y1, x2, y2, width, height, ends);
}

// The grey of a faded line or label at a depth, or kSkipGrey when it belongs to the other
// pass: pass 0 draws the far half of the measured range, pass 1 the near half.
constexpr Colour kSkipGrey = 0xFFFFFF;
inline Colour FadeGreyOf(float depth, float fadeNear, float fadeFar, int pass) {
    const float range = fadeFar - fadeNear;
    float t = 0.0f;
    if (range > 0.01) t = static_cast<float>((static_cast<double>(depth) - fadeNear) / range);
    const bool below = t < 0.5f;
    if ((pass == 0 && !below) || (pass == 1 && below)) {
        // Text labels may lie outside the range the lines were measured over; their grey is
        // held at the ends of the scale (black in front, 208 at the back).
        const float held = t > 1.0f ? 1.0f : (t > 0.0f ? t : 0.0f);
        const int g = static_cast<int>(208.0f * held);
        return static_cast<Colour>(g) * 0x010101u;
    }
    return kSkipGrey;
}

// The text of an axis label: "%.3g" of the value, the same in every locale.
std::string FormatAxisValue(float value);

// The point size of a text label by its length in characters.
int TextLabelPointSize(int characters);

// Label texts come from data files in whatever 8-bit encoding they were written: valid UTF-8 is
// kept, anything else is read as Latin-1. Returns UTF-8 and counts the characters.
std::string LabelTextAsUtf8(const std::string& raw, int& characters);

}  // namespace ocuvis
