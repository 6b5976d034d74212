#pragma once

#include <array>
#include <cstdint>

#include "render/FrameContext.h"
#include "render/PixelBand.h"
#include "render/RecordProjection.h"

namespace ocuvis {

// The filled circle of each dot size in use, by size; none for sizes not in use.
using DotStamps = std::array<const PixelStamp*, kMaxDotSize + 1>;

// A dot on every record that is not a break record, in its own size class or the view's point
// size, after the lines. Dots are never faded.
class DotsLayer {
  public:
    explicit DotsLayer(FrameContext& frame) : frame_(frame) {}

    // Through the canvas.
    void Draw();

    // Into a band, from the projected records, with the stamps of every size in use.
    void DrawInBand(const PixelBand& band, const ProjectedRecord* records,
                    const DotStamps& stamps) const;

    // The stamps of the sizes in use: the view's point size, or each size whose bit s - 1 is
    // set in ownSizes when the records carry their own.
    DotStamps StampsInUse(StampCache& cache, std::uint64_t ownSizes) const;

  private:
    void DrawDot(const PlotPosition& p, int s);

    FrameContext& frame_;
};

}  // namespace ocuvis
