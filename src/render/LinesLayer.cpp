#include "render/LinesLayer.h"

#include <algorithm>

#include "render/CanvasPens.h"
#include "render/DepthFade.h"

namespace ocuvis {

void LinesLayer::Draw() {
    const GraphViewState& view = frame_.view;
    if (view.fadeLines) {
        frame_.fadeNear = 1.0f;
        frame_.fadeFar = -1.0f;
        measuring_ = true;
        DrawAllSegments(false);
        measuring_ = false;
    }
    frame_.canvas.SetPenColour(view.lineColor);
    frame_.canvas.SetPenWidth(view.lineThickness);
    pass_ = 0;
    if (view.fadeLines) DrawAllSegments(true);
    pass_ = 1;
    DrawAllSegments(true);
    pass_ = 0;
}

void LinesLayer::DrawAllSegments(bool withClosingSegment) {
    const DataPoint* points = frame_.store.points.data();
    const int count = frame_.pointCount;
    SegmentEnd shared;  // the end the previous segment and this one have in common
    bool haveShared = false;
    for (int i = 0; i + 1 < count; ++i) {
        const DataPoint& a = points[i];
        const DataPoint& b = points[i + 1];
        if (a.IsBreak() || b.IsBreak()) {
            haveShared = false;
            continue;
        }
        SegmentEnd first = haveShared ? shared : frame_.EndOf(frame_.PlotOf(a.x, a.y, a.z));
        shared = frame_.EndOf(frame_.PlotOf(b.x, b.y, b.z));
        DrawSegment(first, shared);
        haveShared = true;
    }
    // The built-in figure is closed: its last record joins the first.
    if (withClosingSegment && frame_.store.defaultDataLoaded && count > 1) {
        const DataPoint& a = points[count - 1];
        const DataPoint& b = points[0];
        if (!a.IsBreak() && !b.IsBreak()) {
            SegmentEnd first = frame_.EndOf(frame_.PlotOf(a.x, a.y, a.z));
            SegmentEnd second = frame_.EndOf(frame_.PlotOf(b.x, b.y, b.z));
            DrawSegment(first, second);
        }
    }
}

void LinesLayer::DrawSegment(SegmentEnd& a, SegmentEnd& b) {
    const float za = a.r.Z, zb = b.r.Z;
    // A segment with an end at or behind the eye, or with an end whose pixel overflows, has no
    // image; it is neither drawn nor measured, so it cannot stretch the fade range either.
    if (measuring_) {
        if (!frame_.ProjectBoth(a, b)) return;
        frame_.fadeNear = std::min({frame_.fadeNear, za, zb});
        frame_.fadeFar = std::max({frame_.fadeFar, za, zb});
        return;
    }
    if (frame_.view.fadeLines) {
        const Colour grey =
            FadeGreyOf(std::min({1.0f, za, zb}), frame_.fadeNear, frame_.fadeFar, pass_);
        frame_.canvas.SetPenColour(grey);
        if (grey == kSkipGrey) return;
    }
    if (frame_.ProjectBoth(a, b)) frame_.DrawSegmentImages(a, b);
}

void LinesLayer::MeasureDepths(const ProjectedRecord* records, int from, int to, float& nearest,
                               float& farthest) {
    for (int i = from; i < to; ++i) {
        const ProjectedRecord& a = records[i];
        const ProjectedRecord& b = records[i + 1];
        if (!HasImage(a) || !HasImage(b)) continue;
        nearest = std::min({nearest, a.depth, b.depth});
        farthest = std::max({farthest, a.depth, b.depth});
    }
}

// What every segment of one pass into a band is drawn with.
struct LinesLayer::BandPass {
    const PixelBand& band;
    int pass;
    bool fading, paired;
    float fadeNear, fadeFar;
    QRgb line;      // without fading
    bool anaglyph;  // then the images' own colours replace the line's
    QRgb first, second;
};

// The lines of one segment as drawn: a segment that would draw exactly the lines of the one
// drawn just before it, in the same colours, would only paint their pixels again as they are.
struct LinesLayer::DrawnSegment {
    QRgb rgb = 0;
    bool first = false, second = false;
    LineEnds ends1{}, ends2{};
};

void LinesLayer::DrawInBand(const PixelBand& band, const ProjectedRecord* records,
                            const BandRecords& segments, int pass) const {
    const bool anaglyph = frame_.Anaglyph();
    const BandPass with{band,
                        pass,
                        frame_.view.fadeLines,
                        frame_.Paired(),
                        frame_.fadeNear,
                        frame_.fadeFar,
                        ToRgb(frame_.view.lineColor),
                        anaglyph,
                        ToRgb(FrameContext::AnaglyphColour(0)),
                        ToRgb(FrameContext::AnaglyphColour(1))};
    DrawnSegment last;
    segments.ForEach([&](int i) {
        const ProjectedRecord& a = records[i];
        const ProjectedRecord& b = records[i + 1];
        if (HasImage(a) && HasImage(b)) DrawSegmentInBand(with, a, b, last);
    });
    const int count = frame_.pointCount;
    // The built-in figure is closed: its last record joins the first.
    if (frame_.store.defaultDataLoaded && count > 1 && HasImage(records[count - 1]) &&
        HasImage(records[0]))
        DrawSegmentInBand(with, records[count - 1], records[0], last);
}

void LinesLayer::DrawSegmentInBand(const BandPass& with, const ProjectedRecord& a,
                                   const ProjectedRecord& b, DrawnSegment& last) {
    const PixelBand& band = with.band;
    // Both images share the rows.
    if (ReachOf(a, b).Misses(band)) return;
    QRgb rgb = with.line;
    if (with.fading) {
        const Colour grey =
            FadeGreyOf(std::min({1.0f, a.depth, b.depth}), with.fadeNear, with.fadeFar, with.pass);
        if (grey == kSkipGrey) return;
        rgb = ToRgb(grey);
    }
    if (with.anaglyph) rgb = with.first;
    LineEnds ends1, ends2;
    const bool first =
        PixelLineEnds(a.column1, a.row, b.column1, b.row, band.width, band.height, ends1);
    const bool second = with.paired && PixelLineEnds(a.column2, a.row, b.column2, b.row, band.width,
                                                     band.height, ends2);
    if (rgb == last.rgb && first == last.first && second == last.second &&
        (!first || SameEnds(ends1, last.ends1)) && (!second || SameEnds(ends2, last.ends2)))
        return;
    last = {rgb, first, second, ends1, ends2};
    if (first) band.Line(ends1, rgb);
    if (second) band.Line(ends2, with.anaglyph ? with.second : rgb);
}

}  // namespace ocuvis
