#pragma once

#include <cstdint>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The record's pixel positions truncated as Projection::TruncatePixel truncates each: first
// column, second column, row; in one step for the three.
struct TruncatedRecord {
    int column1, column2, row;
};
inline TruncatedRecord TruncatePixels(const ProjectedRecord& r) {
#if defined(__SSE2__)
    static_assert(sizeof(ProjectedRecord) == 4 * sizeof(float));
    const __m128 limit = _mm_set1_ps(Projection::kPixelLimit);
    // max(v, -limit) is -limit for a NaN too, as TruncatePixel has it.
    const __m128 clamped = _mm_min_ps(
        _mm_max_ps(_mm_loadu_ps(&r.column1), _mm_sub_ps(_mm_setzero_ps(), limit)), limit);
    alignas(16) std::int32_t p[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(p), _mm_cvttps_epi32(clamped));
    return {p[0], p[1], p[2]};
#else
    return {Projection::TruncatePixel(r.column1), Projection::TruncatePixel(r.column2),
            Projection::TruncatePixel(r.row)};
#endif
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

// A record's truncated pixel positions kept for the layers, which visit it again in each band
// it reaches: near is 1 when it has an image within the lines' margin of the frame (as
// MarkRepeats has it), and then the rest are its first column, second column and row as
// TruncatePixels gives them; all 0 otherwise, and for frames too large for 16 bits.
struct RecordPixels {
    std::int16_t column1, column2, row, near;
};

// Marks the records begin+1..end-1 that have an image on the very pixels of the record before,
// in both images, with both near enough a width x height frame that their lines are drawn
// between their truncated positions: repeats[i] is 1 for those, 0 for the rest and for
// record begin. Runs of such records are common in dense data; drawn again, their dots and
// the lines between them would only paint the pixels of the record before once more.
// Sets pixels[begin..end-1] too.
void MarkRepeats(const ProjectedRecord* records, int begin, int end, int width, int height,
                 std::uint8_t* repeats, RecordPixels* pixels);
// Whether r is a repeat, as MarkRepeats has it, of the record before it, which is given.
bool IsRepeat(const ProjectedRecord& before, const ProjectedRecord& r, int width, int height);

// Projects the records begin..end-1 of the frame's store into out[begin..end-1], through the
// same chain, in the same float steps, as every other position of the frame. Sets bit s - 1 of
// dotSizes for each own dot size s.
void ProjectRecords(const FrameContext& frame, int begin, int end, ProjectedRecord* out,
                    std::uint64_t& dotSizes);

}  // namespace ocuvis
