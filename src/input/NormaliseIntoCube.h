#pragma once

#include <cstdint>

#include "core/GraphRecord.h"
#include "input/PointStore.h"

namespace ocuvis {

constexpr int kSizeClassCount = 7;

// Maps records 0..n-1 and every label in use of the store onto rounded ranges inside the cube
// (-1..+1, data within about ±5/9), replaces each dot size with its size class, and writes the
// data maps into the graph record. taken: the extent of exactly those records, when the reader
// took it while storing them; without it the records are walked for it.
void NormaliseIntoCube(PointStore& store, std::int32_t n, GraphRecord& graph,
                       const PointExtent* taken = nullptr);

// The rounded range of one axis as the normalisation finds it; exposed for tests and tools.
struct RoundedRange {
    float lower;
    float step;
    double rangeMin;
    double rangeMax;
    float dataScale;
    float dataShift;
};
RoundedRange RoundRange(float minimum, float maximum);

}  // namespace ocuvis
