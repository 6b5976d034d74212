#include "render/DotsLayer.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "render/CanvasPens.h"

namespace ocuvis {

void DotsLayer::Draw() {
    const DataPoint* points = frame_.store.points.data();
    const bool ownSizes = frame_.store.dotSizesPresent != 0;
    for (int i = 0; i < frame_.pointCount; ++i) {
        const DataPoint& p = points[i];
        if (p.IsBreak()) continue;
        DrawDot(frame_.PlotOf(p.x, p.y, p.z), ownSizes ? p.SizeClass() : frame_.view.pointSize);
    }
}

void DotsLayer::DrawDot(const PlotPosition& p, int s) {
    // Size 0 shows no dot; negative sizes (stored settings) show none either.
    if (s <= 0) return;
    s = std::min(s, kMaxDotSize);
    Canvas& canvas = frame_.canvas;
    canvas.SetPenWidth(s);
    const Projection& projection = frame_.projection;
    ImagePixels at;
    if (!projection.PixelsOf(projection.Rotate(p.x, p.y, p.z), at)) return;
    const int c = at.column1;
    const int row = at.row;
    const bool anaglyph = frame_.Anaglyph();
    if (anaglyph) {
        canvas.SetPenColour(FrameContext::AnaglyphColour(0));
        canvas.SetBrush(true, FrameContext::AnaglyphColour(0));
    }
    canvas.DrawEllipse({c - s, row - s, c + s, row + s});
    if (frame_.Paired()) {
        if (anaglyph) {
            canvas.SetPenColour(FrameContext::AnaglyphColour(1));
            canvas.SetBrush(true, FrameContext::AnaglyphColour(1));
        }
        const int c2 = at.column2;
        canvas.DrawEllipse({c2 - s, row - s, c2 + s, row + s});
    }
}

DotStamps DotsLayer::StampsInUse(StampCache& cache, std::uint64_t ownSizes) const {
    const int fixedSize = std::min(frame_.view.pointSize, kMaxDotSize);
    const std::uint64_t sizes = frame_.store.dotSizesPresent != 0
                                    ? ownSizes
                                    : (fixedSize > 0 ? std::uint64_t{1} << (fixedSize - 1) : 0);
    DotStamps stamps{};
    for (int s = 1; s <= kMaxDotSize; ++s)
        if ((sizes >> (s - 1)) & 1)
            stamps[static_cast<std::size_t>(s)] = &cache.Ellipse(2 * s, 2 * s, s, true);
    return stamps;
}

namespace {

// Where stamps of one kind have been drawn into a band, by anchor: a bit per pixel of the
// frame's width and of the rows whose stamps reach the band.
class DrawnStamps {
  public:
    DrawnStamps(const PixelBand& band, const PixelStamp& stamp)
        : width_(band.width), perRow_((band.width + 63) / 64), firstTop_(band.top - stamp.bottom) {
        thread_local std::vector<std::uint64_t> words;
        const int rows = band.bottom - stamp.top - firstTop_;
        words.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(perRow_), 0);
        words_ = words.data();
    }

    // False when a stamp was drawn at this anchor before; notes it otherwise. The top must be
    // one whose stamp reaches the band; anchors beyond the sides are never noted.
    bool FirstAt(int left, int top) {
        if (left < 0 || left >= width_) return true;
        std::uint64_t& word = words_[(top - firstTop_) * perRow_ + left / 64];
        const std::uint64_t bit = std::uint64_t{1} << (left % 64);
        if (word & bit) return false;
        word |= bit;
        return true;
    }

  private:
    int width_, perRow_, firstTop_;
    std::uint64_t* words_ = nullptr;
};

}  // namespace

void DotsLayer::DrawInBand(const PixelBand& band, const ProjectedRecord* records,
                           const BandRecords& dots, const DotStamps& stamps) const {
    const Sizes sizes = DotSizes();
    if (!sizes.Any()) return;
    const bool paired = frame_.Paired();
    const bool anaglyph = frame_.Anaglyph();
    const QRgb dot = ToRgb(frame_.view.dotColor);
    const QRgb first = anaglyph ? ToRgb(FrameContext::AnaglyphColour(0)) : dot;
    const QRgb second = anaglyph ? ToRgb(FrameContext::AnaglyphColour(1)) : dot;
    // Dots come after every line of the band. When they are all of one colour and one stamp,
    // a stamp where one was drawn already, in either image, would only paint its pixels again
    // as they are: dense data has many such records, near each other or not.
    const PixelStamp* only = nullptr;
    int stampsInUse = 0;
    for (const PixelStamp* stamp : stamps)
        if (stamp != nullptr) ++stampsInUse, only = stamp;
    if (first == second && stampsInUse == 1) {
        DrawnStamps drawn(band, *only);
        // Runs of records on the same pixels are common enough to be passed over before the
        // bitmap is looked at.
        int lastTop = std::numeric_limits<int>::min(), lastLeft1 = 0, lastLeft2 = 0;
        dots.ForEach([&](int i) {
            const ProjectedRecord& r = records[i];
            if (!HasImage(r)) return;
            const int s = sizes.Of(i);
            if (s == 0) return;
            const int top = Projection::TruncatePixel(r.row) - s;
            if (top + only->bottom < band.top || top + only->top >= band.bottom) return;
            const int left1 = Projection::TruncatePixel(r.column1) - s;
            const int left2 = paired ? Projection::TruncatePixel(r.column2) - s : left1;
            if (top == lastTop && left1 == lastLeft1 && left2 == lastLeft2) return;
            lastTop = top, lastLeft1 = left1, lastLeft2 = left2;
            if (drawn.FirstAt(left1, top)) band.Stamp(*only, left1, top, first);
            if (paired && drawn.FirstAt(left2, top)) band.Stamp(*only, left2, top, second);
        });
        return;
    }
    // Otherwise a record whose dots fall on the pixels of the last one drawn, in both images,
    // would only paint them again as they are (the second dot is drawn last both times).
    int lastSize = 0, lastTop = 0, lastLeft1 = 0, lastLeft2 = 0;
    dots.ForEach([&](int i) {
        const ProjectedRecord& r = records[i];
        if (!HasImage(r)) return;
        const int s = sizes.Of(i);
        if (s == 0) return;
        const PixelStamp& stamp = *stamps[static_cast<std::size_t>(s)];
        const int top = Projection::TruncatePixel(r.row) - s;
        if (top + stamp.bottom < band.top || top + stamp.top >= band.bottom) return;
        const int left1 = Projection::TruncatePixel(r.column1) - s;
        const int left2 = paired ? Projection::TruncatePixel(r.column2) - s : 0;
        if (s == lastSize && top == lastTop && left1 == lastLeft1 && left2 == lastLeft2) return;
        lastSize = s, lastTop = top, lastLeft1 = left1, lastLeft2 = left2;
        band.Stamp(stamp, left1, top, first);
        if (paired) band.Stamp(stamp, left2, top, second);
    });
}

}  // namespace ocuvis
