#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "core/FileInputFields.h"
#include "input/LoaderServices.h"
#include "input/PointStore.h"
#include "input/SampleGenerator.h"

namespace ocuvis {

// How far a load came; the status text is made of these.
struct LoadCounts {
    std::int32_t recordsStored = 0;
    std::int64_t pointsPlotted = 0;
    std::int64_t pointsFound = 0;  // stored or not: more than plotted when the store filled
    std::int64_t passes = 0;       // lines (PLY and LAS: points) read, for the sampled status
    std::int64_t rowsSkipped = 0;  // rows whose x, y or z is empty or no number
    bool endReached = false;       // the last pass found no line
    bool aborted = false;
    bool edgesCut = false;  // the limit left out connecting lines, not points
};

// What every reader writes into: the records of the point store up to the record limit, the
// labels, the sampling draws, the counts and the progress. Coordinates come in as doubles and
// are narrowed here alone, so that what the store holds is decided in one place.
class RecordSink {
  public:
    RecordSink(PointStore& store, const FileInputFields& fields, SampleGenerator& sampler,
               std::int32_t recordLimit, LoadProgress& progress)
        : store_(store),
          fields_(fields),
          sampler_(sampler),
          limit_(recordLimit),
          progress_(progress) {}

    const FileInputFields& fields() const { return fields_; }
    std::int32_t recordLimit() const { return limit_; }
    bool Full() const { return counts.recordsStored >= limit_; }

    // Room for this many more records, held to the limit.
    void Reserve(std::int64_t records) {
        const std::int64_t room = std::max<std::int64_t>(0, limit_ - counts.recordsStored);
        store_.points.reserve(store_.points.size() +
                              static_cast<std::size_t>(std::min(records, room)));
    }

    // One sampling draw, for a line or a point: false when it is left out. Always true without
    // sampling.
    bool Keep() { return !fields_.SubSampleEnabled || sampler_.DrawKeeps(fields_.SamplePercent); }

    // Stores a point in data units and counts it as found and plotted; its record number.
    std::int32_t Point(double x, double y, double z, double size) {
        const DataPoint point{Narrowed(x), Narrowed(y), Narrowed(z), Narrowed(size)};
        store_.points.push_back(point);
        extent.Take(point);
        ++counts.pointsFound;
        ++counts.pointsPlotted;
        return counts.recordsStored++;
    }
    // count points given column by column (x, y, z, dot size), stored as Point would store
    // them one at a time.
    void Points(const double* const* columns, std::int64_t count);
    // A record with the point's place in the file but no point: the classic layout's lines
    // without two fields. Not counted as a point.
    void Break() {
        store_.points.push_back(DataPoint::Break());
        ++counts.recordsStored;
    }
    // A point the limit leaves out: counted, not stored.
    void CountPoints(std::int64_t count) { counts.pointsFound += count; }

    bool LabelRoom() const { return store_.labelCount < kLabelCapacity; }
    void Label(double x, double y, double z, std::string_view text);

    // A connecting line from one stored record to another: a break and both ends, or the far
    // end alone when the line goes on from where the last one ended. False, with nothing
    // stored, when the store has no room for it.
    bool Line(std::int32_t from, std::int32_t to);
    // Records before this one are dots only: their lines come from Line.
    void DotsOnlyBefore(std::int32_t record) { store_.firstJoinedRecord = record; }
    void DotSizesPresent() { store_.dotSizesPresent = 1; }

    // Reports the bytes read so far; false once the user aborted.
    bool Continue(std::int64_t position) {
        progress_.UpdateFileProgress(position);
        counts.aborted = progress_.aborted();
        return !counts.aborted;
    }

    LoadCounts counts;
    // Of every record stored: breaks are left out, and the copies that lines take add nothing.
    PointExtent extent;

  private:
    // A value beyond the float range, or none at all, is the missing value, as in text files.
    static float Narrowed(double value) {
        constexpr double kLargest = 3.4028234663852886e38;
        if (!(std::fabs(value) <= kLargest)) {
            const float narrowed = static_cast<float>(value);
            // Values just above the largest float still round down to it.
            return std::isfinite(value) && std::isfinite(narrowed) ? narrowed : MissingValue;
        }
        return static_cast<float>(value);
    }

    PointStore& store_;
    const FileInputFields& fields_;
    SampleGenerator& sampler_;
    std::int32_t limit_;
    LoadProgress& progress_;
    std::int32_t lastLineEnd_ = -1;
};

}  // namespace ocuvis
