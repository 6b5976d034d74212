#pragma once

#include <cstdint>
#include <limits>

#include "render/FrameContext.h"

namespace ocuvis {

// One record after projection, kept while a frame's lines and dots are drawn: its pixel
// positions before truncation and its rotated depth. A record without an image (a break, at or
// behind the eye, overflowing) has a NaN row.
struct ProjectedRecord {
    float column1, column2, row, depth;
};

inline bool HasImage(const ProjectedRecord& r) {
    return r.row == r.row;
}

// The smallest and largest columns, in each image, and rows of the records that have an image.
struct RecordExtent {
    static constexpr float kNone = std::numeric_limits<float>::infinity();
    float column1Low = kNone, column1High = -kNone;
    float column2Low = kNone, column2High = -kNone;
    float rowLow = kNone, rowHigh = -kNone;

    void Take(const ProjectedRecord* records, int begin, int end);
    void Take(const RecordExtent& other);
    bool Empty() const { return rowLow > rowHigh; }
};

// Projects the records begin..end-1 of the frame's store into out[begin..end-1], through the
// same chain, in the same float steps, as every other position of the frame. Sets bit s - 1 of
// dotSizes for each own dot size s.
void ProjectRecords(const FrameContext& frame, int begin, int end, ProjectedRecord* out,
                    std::uint64_t& dotSizes);

}  // namespace ocuvis
