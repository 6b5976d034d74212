#include "render/DotsLayer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/CanvasPens.h"
#include "render/RecordColours.h"

namespace ocuvis {

const PixelStamp& FineDotStamp(FinePoints fine) {
    static const PixelStamp one = [] {
        PixelStamp stamp;
        stamp.spans = stamp.solidSpans = {{1, 1, 2, false}};
        stamp.top = stamp.bottom = stamp.left = 1;
        stamp.right = 2;
        return stamp;
    }();
    static const PixelStamp square = [] {
        PixelStamp stamp;
        stamp.spans = stamp.solidSpans = {{0, 0, 2, false}, {1, 0, 2, false}};
        stamp.bottom = 1;
        stamp.right = 2;
        return stamp;
    }();
    return fine == FinePoints::OnePixel ? one : square;
}

void DotsLayer::Draw() {
    const DataPoint* points = frame_.store.points.data();
    const bool ownSizes = frame_.store.dotSizesPresent != 0;
    const int fixed = FixedSize();
    RecordColours colours(frame_);
    const RecordColours* coloured = colours.Active() ? &colours : nullptr;
    if (colours.Shading()) {
        // The dots' depth range first, as the direct pass measures it.
        const Projection& projection = frame_.projection;
        float nearest = 1e30f, farthest = -1e30f;
        for (int i = 0; i < frame_.pointCount; ++i) {
            const DataPoint& p = points[i];
            if (p.IsBreak()) continue;
            const PlotPosition q = frame_.PlotOf(p.x, p.y, p.z);
            const RotatedPosition r = projection.Rotate(q.x, q.y, q.z);
            ImagePixels at;
            if (!projection.PixelsOf(r, at)) continue;
            nearest = std::min(nearest, r.Z);
            farthest = std::max(farthest, r.Z);
        }
        colours.SetDepthRange(nearest, farthest);
    }
    for (int i = 0; i < frame_.pointCount; ++i) {
        const DataPoint& p = points[i];
        if (p.IsBreak()) continue;
        DrawDot(frame_.PlotOf(p.x, p.y, p.z), ownSizes ? p.SizeClass() : fixed, coloured, i);
    }
}

void DotsLayer::DrawDot(const PlotPosition& p, int s, const RecordColours* colours, int record) {
    // Size 0 shows no dot; negative sizes (stored settings) show none either.
    if (s <= 0) return;
    s = std::min(s, kMaxDotSize);
    Canvas& canvas = frame_.canvas;
    canvas.SetPenWidth(s);
    const Projection& projection = frame_.projection;
    const RotatedPosition rotated = projection.Rotate(p.x, p.y, p.z);
    ImagePixels at;
    if (!projection.PixelsOf(rotated, at)) return;
    const int c = at.column1;
    const int row = at.row;
    const bool anaglyph = frame_.Anaglyph();
    Colour own[2] = {0, 0};
    if (colours != nullptr) {
        QRgb first, second;
        colours->ImageColours(colours->Of(record), rotated.Z, first, second);
        own[0] = ColourFromRgb(qRed(first), qGreen(first), qBlue(first));
        own[1] = ColourFromRgb(qRed(second), qGreen(second), qBlue(second));
    }
    const bool fine =
        frame_.store.dotSizesPresent == 0 && frame_.view.finePoints != FinePoints::Off;
    const auto dot = [&](int column, int image) {
        if (colours != nullptr) {
            canvas.SetPenColour(own[image]);
            canvas.SetBrush(true, own[image]);
        } else if (anaglyph) {
            canvas.SetPenColour(FrameContext::AnaglyphColour(image));
            canvas.SetBrush(true, FrameContext::AnaglyphColour(image));
        }
        if (!fine)
            canvas.DrawEllipse({column - s, row - s, column + s, row + s});
        else if (frame_.view.finePoints == FinePoints::OnePixel)
            canvas.FillRect({column, row, column + 1, row + 1});
        else
            canvas.FillRect({column - 1, row - 1, column + 1, row + 1});
    };
    dot(c, 0);
    if (frame_.Paired()) dot(at.column2, 1);
}

DotStamps DotsLayer::StampsInUse(StampCache& cache, std::uint64_t ownSizes) const {
    const int fixedSize = FixedSize();
    const std::uint64_t sizes = frame_.store.dotSizesPresent != 0
                                    ? ownSizes
                                    : (fixedSize > 0 ? std::uint64_t{1} << (fixedSize - 1) : 0);
    DotStamps stamps{};
    for (int s = 1; s <= kMaxDotSize; ++s)
        if ((sizes >> (s - 1)) & 1)
            stamps[static_cast<std::size_t>(s)] = &cache.Ellipse(2 * s, 2 * s, s, true);
    if (frame_.store.dotSizesPresent == 0 && frame_.view.finePoints != FinePoints::Off)
        stamps[1] = &FineDotStamp(frame_.view.finePoints);
    return stamps;
}

namespace {

// Where record i's dots fall in a band: the size class, its stamp, the top row and the two
// images' left columns (0 for the second when the view is not paired).
struct DotPlace {
    const PixelStamp* stamp = nullptr;
    int s = 0, top = 0, left1 = 0, left2 = 0;
};

// False when the record has no image or no dot, or its dots miss the band.
template <typename Sizes>
bool PlaceDot(const ProjectedRecord* records, int i, const Sizes& sizes, const DotStamps& stamps,
              const PixelBand& band, bool paired, DotPlace& place) {
    const ProjectedRecord& r = records[i];
    if (!HasImage(r)) return false;
    place.s = sizes.Of(i);
    if (place.s == 0) return false;
    place.stamp = stamps[static_cast<std::size_t>(place.s)];
    const TruncatedRecord pixels = TruncatePixels(r);
    place.top = pixels.row - place.s;
    if (place.top + place.stamp->bottom < band.top || place.top + place.stamp->top >= band.bottom)
        return false;
    place.left1 = pixels.column1 - place.s;
    place.left2 = paired ? pixels.column2 - place.s : 0;
    return true;
}

// Where stamps of one kind have been drawn into a band, by anchor: a bit per pixel of the
// frame's width and of the rows whose stamps reach the band.
class DrawnStamps {
  public:
    // Each image a band draws into keeps a bitmap of its own.
    DrawnStamps(const PixelBand& band, const PixelStamp& stamp, int image)
        : width_(band.width), perRow_((band.width + 63) / 64), firstTop_(band.top - stamp.bottom) {
        thread_local std::array<std::vector<std::uint64_t>, 2> kept;
        std::vector<std::uint64_t>& words = kept[static_cast<std::size_t>(image)];
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
                           const BandRecords& dots, const DotStamps& stamps,
                           const RecordColours* colours, const std::uint8_t* repeats,
                           const RecordPixels* kept) const {
    if (colours != nullptr && colours->Active()) {
        DrawColouredInBand(band, records, dots, stamps, *colours);
        return;
    }
    const Sizes sizes = DotSizes();
    if (!sizes.Any()) return;
    const bool paired = frame_.Paired();
    const PixelBand secondBand = band.Second();
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
        DrawnStamps drawn(band, *only, 0);
        // Apart, the second image's pixels are not the first's.
        std::optional<DrawnStamps> drawnApart;
        if (band.apart != nullptr) drawnApart.emplace(band, *only, 1);
        DrawnStamps& drawn2 = drawnApart ? *drawnApart : drawn;
        // A repeat of a record with a dot of the same size has its stamps where that one's
        // went, in this band or not.
        const std::uint8_t* sameAsLast = sizes.own ? nullptr : repeats;
        const BandRecords listed = sameAsLast != nullptr ? dots.Without(sameAsLast) : dots;
        listed.ForEach([&](int i) __attribute__((always_inline)) {
            TruncatedRecord pixels;
            if (kept != nullptr && kept[i].near != 0) {
                pixels = {kept[i].column1, kept[i].column2, kept[i].row};
            } else {
                const ProjectedRecord& r = records[i];
                if (!HasImage(r)) return;
                pixels = TruncatePixels(r);
            }
            const int s = sizes.Of(i);
            if (s == 0) return;
            const int top = pixels.row - s;
            if (top + only->bottom < band.top || top + only->top >= band.bottom) return;
            const int left1 = pixels.column1 - s;
            const int left2 = paired ? pixels.column2 - s : left1;
            if (drawn.FirstAt(left1, top)) band.Stamp(*only, left1, top, first);
            if (paired && drawn2.FirstAt(left2, top)) secondBand.Stamp(*only, left2, top, second);
        });
        return;
    }
    // Otherwise a record whose dots fall on the pixels of the last one drawn, in both images,
    // would only paint them again as they are (the second dot is drawn last both times).
    DotPlace last;
    dots.ForEach([&](int i) {
        DotPlace at;
        if (!PlaceDot(records, i, sizes, stamps, band, paired, at)) return;
        if (at.s == last.s && at.top == last.top && at.left1 == last.left1 &&
            at.left2 == last.left2)
            return;
        last = at;
        band.Stamp(*at.stamp, at.left1, at.top, first);
        if (paired) secondBand.Stamp(*at.stamp, at.left2, at.top, second);
    });
}

void DotsLayer::DrawColouredInBand(const PixelBand& band, const ProjectedRecord* records,
                                   const BandRecords& dots, const DotStamps& stamps,
                                   const RecordColours& colours) const {
    const Sizes sizes = DotSizes();
    if (!sizes.Any()) return;
    const bool paired = frame_.Paired();
    const PixelBand secondBand = band.Second();
    // Of a series of records whose dots fall on the same pixels only the last is drawn: its
    // dots cover the others' wholly, whatever their colours.
    DotPlace held;
    QRgb first = 0, second = 0;
    const auto draw = [&] {
        if (held.stamp == nullptr) return;
        band.Stamp(*held.stamp, held.left1, held.top, first);
        if (paired) secondBand.Stamp(*held.stamp, held.left2, held.top, second);
    };
    dots.ForEach([&](int i) {
        DotPlace at;
        if (!PlaceDot(records, i, sizes, stamps, band, paired, at)) return;
        if (at.s != held.s || at.top != held.top || at.left1 != held.left1 ||
            at.left2 != held.left2) {
            draw();
            held = at;
        }
        colours.ImageColours(colours.Of(i), records[i].depth, first, second);
    });
    draw();
}

}  // namespace ocuvis
