#pragma once

#include <algorithm>

#include "render/FrameContext.h"
#include "render/PixelBand.h"
#include "render/RecordProjection.h"

namespace ocuvis {

class RecordColours;

// The connecting lines between consecutive records, broken at break records and closed for
// the built-in figure. With fading, the depth range is measured first and the lines are drawn
// in two passes, far half first, each line in the grey of its nearer end.
class LinesLayer {
  public:
    explicit LinesLayer(FrameContext& frame) : frame_(frame) {}

    // Through the canvas, in the pen width of the view.
    void Draw();

    // One pass of one-pixel lines into a band: of the segments from each of the given records
    // to the next, then the closing one; pass 0 is the far half of a faded frame, pass 1 the
    // near half or, without fading, every line.
    // With colours that colour the records, each line takes the colour of its first end.
    // With repeats (see MarkRepeats), the segments between repeats are passed over when all
    // lines are of one colour. In a subset of every step-th segment, a segment's first record
    // is marked as a repeat of the record before it in the subset.
    // With pixels (see MarkRepeats), segments between records near the frame take their ends
    // from there.
    void DrawInBand(const PixelBand& band, const ProjectedRecord* records,
                    const BandRecords& segments, int pass, const RecordColours* colours = nullptr,
                    const std::uint8_t* repeats = nullptr, int step = 1,
                    const RecordPixels* pixels = nullptr) const;

    // The rows the line from a to b may set pixels in, in either image: a line's pixels lie
    // within a row of the rows of its ends, clipped or not.
    static RowReach ReachOf(const ProjectedRecord& a, const ProjectedRecord& b) {
        constexpr auto reach = static_cast<float>(kReach);
        return {std::min(a.row, b.row) - reach, std::max(a.row, b.row) + reach};
    }
    static constexpr int kReach = 3;

    // Widens the depth range by the segments from records[from] to records[to] that have an
    // image.
    static void MeasureDepths(const ProjectedRecord* records, int from, int to, float& nearest,
                              float& farthest);

  private:
    void DrawAllSegments(bool withClosingSegment);
    void DrawSegment(SegmentEnd& a, SegmentEnd& b, int first = -1);
    struct BandPass;
    static void DrawSegmentInBand(const BandPass& pass, const ProjectedRecord& a,
                                  const ProjectedRecord& b);
    static void DrawNearSegmentInBand(const BandPass& pass, const ProjectedRecord* records, int i,
                                      RecordPixels a, RecordPixels b);
    static void DrawLines(const BandPass& pass, QRgb rgb, bool first, bool second,
                          const LineEnds& ends1, const LineEnds& ends2);
    void DrawColouredInBand(const BandPass& with, const ProjectedRecord* records,
                            const BandRecords& segments, const RecordColours& colours) const;

    FrameContext& frame_;
    bool measuring_ = false;
    int pass_ = 0;
    const RecordColours* colours_ = nullptr;
};

}  // namespace ocuvis
