// One-pixel lines and dots drawn straight into the frame image, on one thread or two. Each
// thread draws every primitive in the frame's order but sets only the pixels of its own band
// of rows, so the image is the one a single thread would draw, fading and anaglyph overlaps
// included.
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "render/CanvasPens.h"
#include "render/FrameDrawing.h"
#include "render/FrameWorker.h"

namespace ocuvis {

namespace {

constexpr float kNoImage = std::numeric_limits<float>::quiet_NaN();
// Small enough that a thread held up for a moment leaves little undone behind it.
constexpr int kChunks = 16;

bool HasImage(const ProjectedRecord& r) {
    return r.row == r.row;
}

// Sets n >= 1 pixels. Short runs, which small dots are made of, take two overlapping stores
// of two or four pixels instead of a loop of varying length.
inline void FillRun(QRgb* p, int n, const std::array<QRgb, 4>& quad) {
    if (n >= 4 && n <= 8) {
        std::memcpy(p, quad.data(), 16);
        std::memcpy(p + n - 4, quad.data(), 16);
    } else if (n >= 2 && n < 4) {
        std::memcpy(p, quad.data(), 8);
        std::memcpy(p + n - 2, quad.data(), 8);
    } else {
        std::fill_n(p, n, quad[0]);
    }
}

}  // namespace

struct FrameDrawing::Band {
    QRgb* pixels;
    int stride;
    int width;
    int height;
    int top;     // first row of the band
    int bottom;  // first row past it
    QRgb line, dot, blue, red;

    void Line(const LineEnds& e, QRgb rgb) const {
        QRgb* const base = pixels;
        const int step = stride;
        RasteriseThinLine(e.x1, e.y1, e.x2, e.y2, width, height, top, bottom,
                          [=](int x, int y) { base[y * step + x] = rgb; });
    }

    // Dots have pen and brush of one colour, so the stamp's solid spans will do.
    void Stamp(const PixelStamp& stamp, int x, int y, QRgb rgb) const {
        if (x + stamp.left >= 0 && x + stamp.right <= width && y + stamp.top >= top &&
            y + stamp.bottom < bottom) {
            const std::array<QRgb, 4> quad{rgb, rgb, rgb, rgb};
            for (const PixelStamp::Span& span : stamp.solidSpans)
                FillRun(pixels + (y + span.row) * stride + x + span.begin, span.end - span.begin,
                        quad);
            return;
        }
        for (const PixelStamp::Span& span : stamp.solidSpans) {
            const int row = y + span.row;
            if (row < top || row >= bottom) continue;
            const int begin = std::max(0, x + span.begin);
            const int end = std::min(width, x + span.end);
            if (begin < end)
                std::fill(pixels + row * stride + begin, pixels + row * stride + end, rgb);
        }
    }
};

namespace {

// The row above which half of the records' image rows lie (both images counted); the middle
// row when there are none.
int HalfwayRow(const std::vector<int>& rowCounts, int height) {
    std::int64_t total = 0;
    for (int row = 0; row < height; ++row)
        total += rowCounts[row] + rowCounts[height + row];
    if (total == 0) return height / 2;
    std::int64_t above = 0;
    int split = 0;
    while (split < height && 2 * above < total) {
        above += rowCounts[split] + rowCounts[height + split];
        ++split;
    }
    return split;
}

// Kept from frame to frame, but not far beyond what the store needs.
ProjectedRecord* SizedFor(std::vector<ProjectedRecord>& projected, int count) {
    if (projected.capacity() > 2 * static_cast<std::size_t>(count) + 4096)
        std::vector<ProjectedRecord>().swap(projected);
    projected.resize(static_cast<std::size_t>(count));
    return projected.data();
}

// Widens the depth range by the segments from records[from] to records[to] that have an image.
void MeasureDepths(const ProjectedRecord* records, int from, int to, float& nearest,
                   float& farthest) {
    for (int i = from; i < to; ++i) {
        const ProjectedRecord& a = records[i];
        const ProjectedRecord& b = records[i + 1];
        if (!HasImage(a) || !HasImage(b)) continue;
        nearest = std::min({nearest, a.depth, b.depth});
        farthest = std::max({farthest, a.depth, b.depth});
    }
}

using DotStamps = std::array<const PixelStamp*, kMaxDotSize + 1>;

// The filled circle of every dot size whose bit is set (bit s - 1 for size s), by size.
DotStamps StampsOfSizes(StampCache& cache, std::uint64_t sizes) {
    DotStamps stamps{};
    for (int s = 1; s <= kMaxDotSize; ++s)
        if ((sizes >> (s - 1)) & 1)
            stamps[static_cast<std::size_t>(s)] = &cache.Ellipse(2 * s, 2 * s, s, true);
    return stamps;
}

}  // namespace

void FrameDrawing::DrawDataDirect() {
    DirectPixels& direct = *direct_;
    const int count = pointCount_;
    ProjectedRecord* const records = SizedFor(direct.projected, count);

    // With two threads the records go in chunks and the rows in two bands, each taken by
    // whichever thread comes for it first: a thread the machine keeps waiting leaves its share
    // to the other.
    const int parts = direct.worker != nullptr ? 2 : 1;
    const auto share = [&](const std::function<void(int)>& job) {
        if (parts == 2)
            direct.worker->Share(job);
        else
            job(0);
    };
    const int chunks = parts == 2 ? kChunks : 1;
    const auto chunkBegin = [&](int chunk) {
        return static_cast<int>(static_cast<std::int64_t>(count) * chunk / chunks);
    };
    const bool lines = view_.lineThickness != 0;
    const bool fading = lines && view_.fadeLines;

    // The records are projected and the segments within each chunk measured; each thread
    // counts into its own totals.
    std::vector<int> rowCounts(static_cast<std::size_t>(2 * height_));
    std::array<std::uint64_t, 2> dotSizes{};
    std::array<float, 2> nearest{1.0f, 1.0f}, farthest{-1.0f, -1.0f};
    std::atomic<int> nextChunk{0};
    share([&](int thread) {
        for (int chunk; (chunk = nextChunk.fetch_add(1)) < chunks;) {
            const int begin = chunkBegin(chunk), end = chunkBegin(chunk + 1);
            ProjectRecords(begin, end, records, rowCounts.data() + thread * height_,
                           dotSizes[thread]);
            if (fading) MeasureDepths(records, begin, end - 1, nearest[thread], farthest[thread]);
        }
    });
    if (fading) {
        float near = std::min(nearest[0], nearest[1]);
        float far = std::max(farthest[0], farthest[1]);
        for (int chunk = 1; chunk < chunks; ++chunk) {
            const int joint = chunkBegin(chunk);
            if (joint >= 1 && joint < count) MeasureDepths(records, joint - 1, joint, near, far);
        }
        fadeNear_ = near;
        fadeFar_ = far;
    }

    // Stamps are made here, as the cache is not for two threads.
    const bool ownSizes = store_.dotSizesPresent != 0;
    const int fixedSize = std::min(view_.pointSize, kMaxDotSize);
    const std::uint64_t sizes = ownSizes
                                    ? dotSizes[0] | dotSizes[1]
                                    : (fixedSize > 0 ? std::uint64_t{1} << (fixedSize - 1) : 0);
    const DotStamps dotStamps = StampsOfSizes(direct.stamps, sizes);

    int split = height_;
    if (parts == 2) {
        split = direct.bandSplit >= 0 ? direct.bandSplit : HalfwayRow(rowCounts, height_);
        split = std::clamp(split, 0, height_);
    }

    std::atomic<int> nextBand{0};
    share([&](int) {
        for (int part; (part = nextBand.fetch_add(1)) < parts;) {
            const Band band{direct.pixels,
                            direct.stride,
                            width_,
                            height_,
                            part == 0 ? 0 : split,
                            part == 0 ? split : height_,
                            ToRgb(view_.lineColor),
                            ToRgb(view_.dotColor),
                            ToRgb(kAnaglyphBlue),
                            ToRgb(kAnaglyphRed)};
            if (lines) {
                if (fading) DrawSegmentsInBand(band, records, 0);
                DrawSegmentsInBand(band, records, 1);
            }
            DrawDotsInBand(band, records, dotStamps.data());
        }
    });
}

void FrameDrawing::ProjectRecords(int begin, int end, ProjectedRecord* out, int* rowCounts,
                                  std::uint64_t& dotSizes) const {
    const DataPoint* points = store_.points.data();
    const bool paired = projection_.Paired();
    const bool ownSizes = store_.dotSizesPresent != 0;
    const float height = static_cast<float>(height_);
    std::uint64_t sizes = 0;
    for (int i = begin; i < end; ++i) {
        const DataPoint& p = points[i];
        ProjectedRecord& o = out[i];
        o.row = kNoImage;
        if (p.IsBreak()) continue;
        const PlotPosition q = PlotOf(p.x, p.y, p.z);
        const RotatedPosition r = projection_.Rotate(q.x, q.y, q.z);
        if (!projection_.IsDrawable(r)) continue;
        const float column1 = projection_.FirstImageColumn(r);
        const float column2 = paired ? projection_.SecondImageColumn(r) : column1;
        const float row = projection_.ImageRow(r);
        // A finite rotated position can still project beyond the float range.
        if (!std::isfinite(column1) || !std::isfinite(column2) || !std::isfinite(row)) continue;
        o = {column1, column2, row, r.Z};
        if (row >= 0.0f && row < height) ++rowCounts[static_cast<int>(row)];
        if (ownSizes) {
            const int s = p.SizeClass();
            if (s > 0) sizes |= std::uint64_t{1} << (std::min(s, kMaxDotSize) - 1);
        }
    }
    dotSizes |= sizes;
}

// The lines of one segment as drawn: a segment that would draw exactly the lines of the one
// drawn just before it, in the same colours, would only paint their pixels again as they are.
struct FrameDrawing::DrawnSegment {
    QRgb rgb = 0;
    bool first = false, second = false;
    LineEnds ends1{}, ends2{};
};

namespace {

bool SameEnds(const LineEnds& a, const LineEnds& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

}  // namespace

void FrameDrawing::DrawSegmentsInBand(const Band& band, const ProjectedRecord* records,
                                      int pass) const {
    DrawnSegment last;
    const int count = pointCount_;
    for (int i = 0; i + 1 < count; ++i) {
        const ProjectedRecord& a = records[i];
        const ProjectedRecord& b = records[i + 1];
        if (HasImage(a) && HasImage(b)) DrawSegmentInBand(band, a, b, pass, last);
    }
    // The built-in figure is closed: its last record joins the first.
    if (store_.defaultDataLoaded && count > 1 && HasImage(records[count - 1]) &&
        HasImage(records[0]))
        DrawSegmentInBand(band, records[count - 1], records[0], pass, last);
}

void FrameDrawing::DrawSegmentInBand(const Band& band, const ProjectedRecord& a,
                                     const ProjectedRecord& b, int pass, DrawnSegment& last) const {
    // Both images share the rows. A line's pixels lie within a row of the rows of its ends,
    // clipped or not, so a segment well clear of the band is passed over here.
    const float low = std::min(a.row, b.row), high = std::max(a.row, b.row);
    if (high < static_cast<float>(band.top - 3) || low > static_cast<float>(band.bottom + 3))
        return;
    QRgb rgb = band.line;
    if (view_.fadeLines) {
        const Colour grey =
            FadeGreyOf(std::min({1.0f, a.depth, b.depth}), fadeNear_, fadeFar_, pass);
        if (grey == kSkipGrey) return;
        rgb = ToRgb(grey);
    }
    const bool anaglyph = Anaglyph();
    if (anaglyph) rgb = band.blue;
    LineEnds ends1, ends2;
    const bool first = PixelLineEnds(a.column1, a.row, b.column1, b.row, width_, height_, ends1);
    const bool second = projection_.Paired() &&
                        PixelLineEnds(a.column2, a.row, b.column2, b.row, width_, height_, ends2);
    if (rgb == last.rgb && first == last.first && second == last.second &&
        (!first || SameEnds(ends1, last.ends1)) && (!second || SameEnds(ends2, last.ends2)))
        return;
    last = {rgb, first, second, ends1, ends2};
    if (first) band.Line(ends1, rgb);
    if (second) band.Line(ends2, anaglyph ? band.red : rgb);
}

void FrameDrawing::DrawDotsInBand(const Band& band, const ProjectedRecord* records,
                                  const PixelStamp* const* dotStamps) const {
    const DataPoint* points = store_.points.data();
    const bool ownSizes = store_.dotSizesPresent != 0;
    const int fixedSize = std::min(view_.pointSize, kMaxDotSize);
    if (!ownSizes && fixedSize <= 0) return;
    const bool paired = projection_.Paired();
    const bool anaglyph = Anaglyph();
    const QRgb first = anaglyph ? band.blue : band.dot;
    const QRgb second = anaglyph ? band.red : band.dot;
    // A record whose dots fall on the pixels of the last one drawn, in both images, would
    // only paint them again as they are (the second dot is drawn last both times); dense
    // data has long series of such records.
    int lastSize = 0, lastTop = 0, lastLeft1 = 0, lastLeft2 = 0;
    const int count = pointCount_;
    for (int i = 0; i < count; ++i) {
        const ProjectedRecord& r = records[i];
        if (!HasImage(r)) continue;
        int s = ownSizes ? points[i].SizeClass() : fixedSize;
        if (s <= 0) continue;
        s = std::min(s, kMaxDotSize);
        const PixelStamp& stamp = *dotStamps[s];
        const int top = Projection::TruncatePixel(r.row) - s;
        if (top + stamp.bottom < band.top || top + stamp.top >= band.bottom) continue;
        const int left1 = Projection::TruncatePixel(r.column1) - s;
        const int left2 = paired ? Projection::TruncatePixel(r.column2) - s : 0;
        if (s == lastSize && top == lastTop && left1 == lastLeft1 && left2 == lastLeft2) continue;
        lastSize = s, lastTop = top, lastLeft1 = left1, lastLeft2 = left2;
        band.Stamp(stamp, left1, top, first);
        if (paired) band.Stamp(stamp, left2, top, second);
    }
}

}  // namespace ocuvis
