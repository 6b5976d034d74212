#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "render/DotsLayer.h"
#include "render/PixelBand.h"
#include "render/RecordProjection.h"

namespace ocuvis {

// For each record, a byte with a bit for each band of rows its dot may reach and one with a
// bit for each band the line from it to the next record may reach: every band that does not
// miss the primitive's reach, and perhaps one a few rows beyond it. Cheap enough to note for
// every record of a frame: the bands within a margin of each row are looked up, not worked
// out.
class BandBits {
  public:
    static constexpr int kMaxBands = 8;

    // For a frame of records and height rows in bands of rowsPerBand rows, the last of the
    // (at most kMaxBands) bands taking the rest; dots of up to dotSize are noted by table, as
    // reaching dotReach rows from their rows (DotsLayer::ReachOf(dotSize) at most).
    void Reset(int records, int height, int rowsPerBand, int bands, int dotSize, int dotReach);

    // The dots of records from..to-1 (when they have dots) and the lines from each of them but
    // the last to the next (when lines are drawn). Ranges that do not overlap may be noted on
    // two threads at once.
    void Note(int from, int to, const ProjectedRecord* records, bool lines,
              const DotsLayer::Sizes& dotSizes);
    // The line from record i to the next.
    void NoteSegment(int i, const ProjectedRecord* records);

    // The records whose line or dot may reach a band.
    BandRecords Segments(int band) const { return {segments_.data(), records_, band}; }
    BandRecords Dots(int band) const { return {dots_.data(), records_, band}; }

  private:
    class Noter;

    // Per row, the lowest and highest band a primitive on it reaches with a margin of rows, as
    // 1 << band and 2 << band: their difference has the bits of both and of every band between.
    struct MarginBands {
        const std::uint16_t* low;
        const std::uint16_t* high;

        std::uint8_t Of(int row) const { return static_cast<std::uint8_t>(high[row] - low[row]); }
        std::uint8_t Join(int a, int b) const {
            return static_cast<std::uint8_t>(std::max(high[a], high[b]) - std::min(low[a], low[b]));
        }
    };
    // Indexed by row + extension, for rows up to extension rows outside the frame.
    struct MarginTable {
        std::vector<std::uint16_t> low, high;
        void Build(const std::vector<std::uint8_t>& bandOfRow, int margin, int extension);
        MarginBands View() const { return {low.data(), high.data()}; }
    };

    // The bits of a reach worked out, for dots too large for the table.
    std::uint8_t BitsOf(const RowReach& reach) const;

    std::vector<std::uint8_t> segments_, dots_;
    std::vector<std::uint8_t> bandOfRow_;
    MarginTable segmentRows_, dotRows_;
    int records_ = 0, height_ = 1, dotSize_ = 0, dotReach_ = 0, extension_ = 0;
    int rowsPerBand_ = 1, bands_ = 1;
};

}  // namespace ocuvis
