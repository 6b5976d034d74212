#include "render/LinesLayer.h"

#include <algorithm>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/CanvasPens.h"
#include "render/DepthFade.h"
#include "render/RecordColours.h"

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
    const RecordColours colours(frame_);
    colours_ = colours.Colouring() ? &colours : nullptr;
    pass_ = 0;
    if (view.fadeLines) DrawAllSegments(true);
    pass_ = 1;
    DrawAllSegments(true);
    pass_ = 0;
    colours_ = nullptr;
}

void LinesLayer::DrawAllSegments(bool withClosingSegment) {
    const DataPoint* points = frame_.store.points.data();
    const int count = frame_.pointCount;
    SegmentEnd shared;  // the end the previous segment and this one have in common
    bool haveShared = false;
    // Records before the first joined one are dots only.
    for (int i = std::max(0, frame_.store.firstJoinedRecord); i + 1 < count; ++i) {
        const DataPoint& a = points[i];
        const DataPoint& b = points[i + 1];
        if (a.IsBreak() || b.IsBreak()) {
            haveShared = false;
            continue;
        }
        SegmentEnd first = haveShared ? shared : frame_.EndOf(frame_.PlotOf(a.x, a.y, a.z));
        shared = frame_.EndOf(frame_.PlotOf(b.x, b.y, b.z));
        DrawSegment(first, shared, i);
        haveShared = true;
    }
    // The built-in figure is closed: its last record joins the first.
    if (withClosingSegment && frame_.store.defaultDataLoaded && count > 1) {
        const DataPoint& a = points[count - 1];
        const DataPoint& b = points[0];
        if (!a.IsBreak() && !b.IsBreak()) {
            SegmentEnd first = frame_.EndOf(frame_.PlotOf(a.x, a.y, a.z));
            SegmentEnd second = frame_.EndOf(frame_.PlotOf(b.x, b.y, b.z));
            DrawSegment(first, second, count - 1);
        }
    }
}

void LinesLayer::DrawSegment(SegmentEnd& a, SegmentEnd& b, int firstRecord) {
    const float za = a.r.Z, zb = b.r.Z;
    // A segment with an end at or behind the eye, or with an end whose pixel overflows, has no
    // image; it is neither drawn nor measured, so it cannot stretch the fade range either.
    if (measuring_) {
        if (!frame_.ProjectBoth(a, b)) return;
        frame_.fadeNear = std::min({frame_.fadeNear, za, zb});
        frame_.fadeFar = std::max({frame_.fadeFar, za, zb});
        return;
    }
    Colour grey = 0;
    if (frame_.view.fadeLines) {
        grey = FadeGreyOf(std::min({1.0f, za, zb}), frame_.fadeNear, frame_.fadeFar, pass_);
        frame_.canvas.SetPenColour(grey);
        if (grey == kSkipGrey) return;
    }
    if (!frame_.ProjectBoth(a, b)) return;
    if (colours_ == nullptr || firstRecord < 0) {
        frame_.DrawSegmentImages(a, b);
        return;
    }
    // In the colour of the first end, as the direct pass draws it.
    const QRgb c = colours_->Of(firstRecord);
    const auto pen = [&](int image) {
        if (frame_.Anaglyph()) {
            const QRgb eye = LuminanceInEye(c, image);
            return ColourFromRgb(qRed(eye), qGreen(eye), qBlue(eye));
        }
        return frame_.view.fadeLines ? grey : ColourFromRgb(qRed(c), qGreen(c), qBlue(c));
    };
    frame_.canvas.SetPenColour(pen(0));
    frame_.DrawSegmentImages(a, b, pen(1));
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

namespace {

// Where a segment's ends go in each image, as PixelLineEnds has them. Nearly every segment has
// both ends near the frame in both images: those are compared with the frame and truncated a
// record at a time, as one vector of its columns, row and depth.
struct SegmentEnds {
    LineEnds ends1{}, ends2{};
    bool first = false, second = false;

    SegmentEnds(const ProjectedRecord& a, const ProjectedRecord& b, int width, int height,
                bool paired) {
#if defined(__SSE2__)
        static_assert(sizeof(ProjectedRecord) == 4 * sizeof(float));
        constexpr float kMargin = 4096.0f;  // PixelLineEnds's
        constexpr float kAny = std::numeric_limits<float>::infinity();
        const float right = static_cast<float>(width) + kMargin;
        const float bottom = static_cast<float>(height) + kMargin;
        const __m128 low = _mm_setr_ps(-kMargin, -kMargin, -kMargin, -kAny);
        const __m128 high = _mm_setr_ps(right, right, bottom, kAny);
        const __m128 va = _mm_loadu_ps(&a.column1), vb = _mm_loadu_ps(&b.column1);
        const __m128 near = _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(va, low), _mm_cmple_ps(va, high)),
                                       _mm_and_ps(_mm_cmpge_ps(vb, low), _mm_cmple_ps(vb, high)));
        if (_mm_movemask_ps(near) == 0xF) {
            // Within the margin, truncation is plain.
            const TruncatedRecord pa = TruncatePixels(a), pb = TruncatePixels(b);
            ends1 = {pa.column1, pa.row, pb.column1, pb.row};
            ends2 = {pa.column2, pa.row, pb.column2, pb.row};
            first = true;
            second = paired;
            return;
        }
#endif
        first = PixelLineEnds(a.column1, a.row, b.column1, b.row, width, height, ends1);
        second = paired && PixelLineEnds(a.column2, a.row, b.column2, b.row, width, height, ends2);
    }
};

}  // namespace

// What every segment of one pass into a band is drawn with.
struct LinesLayer::BandPass {
    const PixelBand& band;
    PixelBand secondBand;  // where the second image's lines go
    int pass;
    bool fading, paired;
    float fadeNear, fadeFar;
    QRgb line;      // without fading
    bool anaglyph;  // then the images' own colours replace the line's
    QRgb first, second;
};

void LinesLayer::DrawInBand(const PixelBand& band, const ProjectedRecord* records,
                            const BandRecords& segments, int pass, const RecordColours* colours,
                            const std::uint8_t* repeats, int step,
                            const RecordPixels* pixels) const {
    const bool anaglyph = frame_.Anaglyph();
    const BandPass with{band,
                        band.Second(),
                        pass,
                        frame_.view.fadeLines,
                        frame_.Paired(),
                        frame_.fadeNear,
                        frame_.fadeFar,
                        ToRgb(frame_.view.lineColor),
                        anaglyph,
                        ToRgb(FrameContext::AnaglyphColour(0)),
                        ToRgb(FrameContext::AnaglyphColour(1))};
    const int firstJoined = frame_.store.firstJoinedRecord;
    const int count = frame_.pointCount;
    const bool closing = frame_.store.defaultDataLoaded && count > 1 &&
                         HasImage(records[count - 1]) && HasImage(records[0]);
    if (colours != nullptr && colours->Colouring()) {
        DrawColouredInBand(with, records, segments, *colours);
        return;
    }
    // A segment from a repeat to a repeat, after one from a repeat, is the segment drawn
    // before it again (step records before), in the same colour: drawn or passed over as that
    // one was. Faded lines take their colours from their depths.
    const std::uint8_t* passOver = with.fading ? nullptr : repeats;
    // Whole frames leave those segments out as they scan the band's.
    const BandRecords listed = passOver != nullptr && step == 1
                                   ? segments.Without(passOver, firstJoined + 1, true)
                                   : segments;
    listed.ForEach([&](int i) {
        if (passOver != nullptr && i >= step && i - step >= firstJoined &&
            (passOver[i - step + 1] & passOver[i] & passOver[i + 1]) != 0)
            return;
        if (i < firstJoined) return;
        if (pixels != nullptr && (pixels[i].near & pixels[i + 1].near) != 0) {
            DrawNearSegmentInBand(with, records, i, pixels[i], pixels[i + 1]);
            return;
        }
        const ProjectedRecord& a = records[i];
        const ProjectedRecord& b = records[i + 1];
        if (HasImage(a) && HasImage(b)) DrawSegmentInBand(with, a, b);
    });
    // The built-in figure is closed: its last record joins the first.
    if (closing) DrawSegmentInBand(with, records[count - 1], records[0]);
}

// Lines in the colours of their first ends. Of a series of segments with the same pixels only
// the last is drawn: it covers the others wholly, whatever their colours.
void LinesLayer::DrawColouredInBand(const BandPass& with, const ProjectedRecord* records,
                                    const BandRecords& segments,
                                    const RecordColours& colours) const {
    const PixelBand& band = with.band;
    // The segment held back: its lines in each image, if any, and their colours.
    bool held = false, held1 = false, held2 = false;
    LineEnds ends1{}, ends2{};
    QRgb rgb1 = 0, rgb2 = 0;
    const auto draw = [&] {
        if (held1) band.Line(ends1, rgb1);
        if (held2) with.secondBand.Line(ends2, rgb2);
    };
    const auto segment = [&](const ProjectedRecord& a, const ProjectedRecord& b, int colourOf) {
        if (ReachOf(a, b).Misses(band)) return;
        const auto [next1, next2, first, second] =
            SegmentEnds(a, b, band.width, band.height, with.paired);
        if (!first && !second) return;
        QRgb c1 = colours.Of(colourOf), c2 = c1;
        if (with.fading) {
            const Colour grey = FadeGreyOf(std::min({1.0f, a.depth, b.depth}), with.fadeNear,
                                           with.fadeFar, with.pass);
            if (grey == kSkipGrey) return;
            if (!with.anaglyph) c1 = c2 = ToRgb(grey);
        }
        if (with.anaglyph) {
            c2 = LuminanceInEye(c1, 1);
            c1 = LuminanceInEye(c1, 0);
        }
        if (!held || first != held1 || second != held2 || (first && !SameEnds(next1, ends1)) ||
            (second && !SameEnds(next2, ends2))) {
            draw();
            held = true;
            held1 = first;
            held2 = second;
            if (first) ends1 = next1;
            if (second) ends2 = next2;
        }
        rgb1 = c1;
        rgb2 = c2;
    };
    const int firstJoined = frame_.store.firstJoinedRecord;
    segments.ForEach([&](int i) {
        const ProjectedRecord& a = records[i];
        const ProjectedRecord& b = records[i + 1];
        if (i >= firstJoined && HasImage(a) && HasImage(b)) segment(a, b, i);
    });
    const int count = frame_.pointCount;
    if (frame_.store.defaultDataLoaded && count > 1 && HasImage(records[count - 1]) &&
        HasImage(records[0]))
        segment(records[count - 1], records[0], count - 1);
    draw();
}

[[gnu::always_inline]] inline void LinesLayer::DrawSegmentInBand(const BandPass& with,
                                                                 const ProjectedRecord& a,
                                                                 const ProjectedRecord& b) {
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
    const auto [ends1, ends2, first, second] =
        SegmentEnds(a, b, band.width, band.height, with.paired);
    DrawLines(with, rgb, first, second, ends1, ends2);
}

// The segment from record i to the next, both near the frame: their kept pixels are its ends.
[[gnu::always_inline]] inline void LinesLayer::DrawNearSegmentInBand(const BandPass& with,
                                                                     const ProjectedRecord* records,
                                                                     int i, RecordPixels a,
                                                                     RecordPixels b) {
    const PixelBand& band = with.band;
    // ReachOf's test, or wider: a row lies within a pixel of its truncated row.
    if (std::max(a.row, b.row) + kReach + 1 < band.top ||
        std::min(a.row, b.row) - kReach - 1 > band.bottom)
        return;
    QRgb rgb = with.line;
    if (with.fading) {
        const Colour grey = FadeGreyOf(std::min({1.0f, records[i].depth, records[i + 1].depth}),
                                       with.fadeNear, with.fadeFar, with.pass);
        if (grey == kSkipGrey) return;
        rgb = ToRgb(grey);
    }
    if (with.anaglyph) rgb = with.first;
    DrawLines(with, rgb, true, with.paired, {a.column1, a.row, b.column1, b.row},
              {a.column2, a.row, b.column2, b.row});
}

// A segment's lines in each image. One that would draw exactly the lines of the segment before
// it would only paint their pixels again, but telling them apart cost more than drawing them:
// nearly all are a pixel long, and repeats are left out as the band's segments are scanned.
[[gnu::always_inline]] inline void LinesLayer::DrawLines(const BandPass& with, QRgb rgb, bool first,
                                                         bool second, const LineEnds& ends1,
                                                         const LineEnds& ends2) {
    if (first) with.band.Line(ends1, rgb);
    if (second) with.secondBand.Line(ends2, with.anaglyph ? with.second : rgb);
}

}  // namespace ocuvis
