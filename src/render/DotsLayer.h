#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "render/FrameContext.h"
#include "render/PixelBand.h"
#include "render/RecordProjection.h"

namespace ocuvis {

// The filled circle of each dot size in use, by size; none for sizes not in use.
using DotStamps = std::array<const PixelStamp*, kMaxDotSize + 1>;

class RecordColours;

// Fine dots of one pixel and of 2 x 2 pixels, anchored as dots of size 1 are: the pixel is the
// one the record falls in, the square reaches one pixel up and left of it.
const PixelStamp& FineDotStamp(FinePoints fine);

// A dot on every record that is not a break record, in its own size class or the view's point
// size, after the lines. Dots are never faded.
class DotsLayer {
  public:
    explicit DotsLayer(FrameContext& frame) : frame_(frame) {}

    // Through the canvas.
    void Draw();

    // The dots of the given records into a band, with the stamps of every size in use.
    // With colours that are active, each dot takes its record's colour.
    // With repeats (see MarkRepeats), the repeats' dots are passed over when all dots are of
    // one size and colour.
    // With pixels (see MarkRepeats), records near the frame take their positions from there.
    void DrawInBand(const PixelBand& band, const ProjectedRecord* records, const BandRecords& dots,
                    const DotStamps& stamps, const RecordColours* colours = nullptr,
                    const std::uint8_t* repeats = nullptr,
                    const RecordPixels* pixels = nullptr) const;

    // The size of each record's dot, 0 for none.
    struct Sizes {
        const DataPoint* points;
        bool own;   // the records' size classes, else the view's point size
        int fixed;  // the point size, at most kMaxDotSize

        int Of(int i) const {
            if (!own) return fixed > 0 ? fixed : 0;
            const int s = points[i].SizeClass();
            return s <= 0 ? 0 : std::min(s, kMaxDotSize);
        }
        bool Any() const { return own || fixed > 0; }
    };
    Sizes DotSizes() const {
        return {frame_.store.points.data(), frame_.store.dotSizesPresent != 0, FixedSize()};
    }
    // The view's dot size; fine dots go as size 1, with a stamp of their own.
    int FixedSize() const {
        return frame_.view.finePoints != FinePoints::Off
                   ? 1
                   : std::min(frame_.view.pointSize, kMaxDotSize);
    }

    // The rows a dot of size s may set pixels in, in either image: its stamp reaches half the
    // pen width (s) beyond the 2s × 2s square it is drawn in.
    static RowReach ReachOf(const ProjectedRecord& r, int s) {
        const auto reach = static_cast<float>(ReachOf(s));
        return {r.row - reach, r.row + reach};
    }
    static constexpr int ReachOf(int s) { return 2 * s + 4; }

    // The stamps of the sizes in use: the view's point size, or each size whose bit s - 1 is
    // set in ownSizes when the records carry their own.
    DotStamps StampsInUse(StampCache& cache, std::uint64_t ownSizes) const;

  private:
    void DrawDot(const PlotPosition& p, int s, const RecordColours* colours, int record);
    void DrawColouredInBand(const PixelBand& band, const ProjectedRecord* records,
                            const BandRecords& dots, const DotStamps& stamps,
                            const RecordColours& colours) const;

    FrameContext& frame_;
};

}  // namespace ocuvis
