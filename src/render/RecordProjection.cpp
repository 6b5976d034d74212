#include "render/RecordProjection.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ocuvis {

void ProjectRecords(const FrameContext& frame, int begin, int end, ProjectedRecord* out,
                    std::uint64_t& dotSizes) {
    constexpr float kNoImage = std::numeric_limits<float>::quiet_NaN();
    const Projection& projection = frame.projection;
    const DataPoint* points = frame.store.points.data();
    const bool paired = projection.Paired();
    const bool ownSizes = frame.store.dotSizesPresent != 0;
    std::uint64_t sizes = 0;
    for (int i = begin; i < end; ++i) {
        const DataPoint& p = points[i];
        ProjectedRecord& o = out[i];
        o.row = kNoImage;
        if (p.IsBreak()) continue;
        const PlotPosition q = frame.PlotOf(p.x, p.y, p.z);
        const RotatedPosition r = projection.Rotate(q.x, q.y, q.z);
        if (!projection.IsDrawable(r)) continue;
        const float column1 = projection.FirstImageColumn(r);
        const float column2 = paired ? projection.SecondImageColumn(r) : column1;
        const float row = projection.ImageRow(r);
        // A finite rotated position can still project beyond the float range.
        if (!std::isfinite(column1) || !std::isfinite(column2) || !std::isfinite(row)) continue;
        o = {column1, column2, row, r.Z};
        if (ownSizes) {
            const int s = p.SizeClass();
            if (s > 0) sizes |= std::uint64_t{1} << (std::min(s, kMaxDotSize) - 1);
        }
    }
    dotSizes |= sizes;
}

}  // namespace ocuvis
