#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

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
        store_.sources.reserve(store_.points.capacity());
    }

    // One sampling draw, for a line or a point: false when it is left out. Always true without
    // sampling.
    bool Keep() { return !fields_.SubSampleEnabled || sampler_.DrawKeeps(fields_.SamplePercent); }

    // Stores a point in data units and counts it as found and plotted; its record number.
    std::int32_t Point(double x, double y, double z, double size) {
        if (!originChosen_) ChooseOrigin(x, y, z);
        const std::array<double, 3>& o = store_.origin;
        const DataPoint point{Narrowed(Shifted(x, o[0])), Narrowed(Shifted(y, o[1])),
                              Narrowed(Shifted(z, o[2])), Narrowed(size)};
        store_.points.push_back(point);
        extent.Take(point);
        store_.sources.push_back(SourceNumber());
        if (colourCells_) store_.colours.push_back(0);
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
        store_.sources.push_back(-1);
        if (colourCells_) store_.colours.push_back(0);
        ++counts.recordsStored;
    }

    // How a reader's colour values run: 0..255, 0..65535, 0..1, or 16-bit unless every value
    // is at most 255.
    enum class ColourScale { Byte, Word, Unit, WordOrByte };
    // From here on each point gets a colour cell: its colour (Colour) or the value of the field
    // that colours it (Value), after its Point.
    void StoreColours(ColourScale scale);
    void StoreValues();
    void Colour(double red, double green, double blue);
    void Value(double value) {
        const float v = Narrowed(value);
        std::memcpy(&store_.colours.back(), &v, sizeof v);
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
    // How a record's source is numbered: the passes counted when it is stored, plus base; as
    // vertices or as lines.
    void NumberSources(std::int32_t base, bool vertices) {
        sourceBase_ = base;
        store_.sourcesAreVertices = vertices;
    }

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
    // Beyond this, floats step by more than 1/128 of a unit.
    static constexpr double kFarFromZero = 65536.0;

    // The file's origin, taken at its first position: none for ordinary values, so that they
    // are stored exactly as before; the position rounded to whole units when any coordinate is
    // far from zero.
    void ChooseOrigin(double x, double y, double z) {
        const double first[3] = {x, y, z};
        // A header line read as numbers says nothing of where the data lie.
        if (x == double{MissingValue} && y == double{MissingValue} && z == double{MissingValue})
            return;
        originChosen_ = true;
        bool far = false;
        for (const double v : first)
            far = far || (std::fabs(v) >= kFarFromZero && std::fabs(v) <= 3.4028234663852886e38);
        for (int axis = 0; axis < 3; ++axis) {
            const double v = first[axis];
            store_.origin[static_cast<std::size_t>(axis)] =
                far && std::fabs(v) <= 3.4028234663852886e38 && v != double{MissingValue}
                    ? std::round(v)
                    : 0.0;
        }
    }
    // The missing value stays what it is.
    static double Shifted(double value, double origin) {
        return origin == 0.0 || value == double{MissingValue} ? value : value - origin;
    }
    std::int32_t SourceNumber() const {
        const std::int64_t n = counts.passes + sourceBase_;
        return n < 0 || n > INT32_MAX ? -1 : static_cast<std::int32_t>(n);
    }

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
    bool originChosen_ = false;
    std::int32_t sourceBase_ = 0;
    bool colourCells_ = false;
    ColourScale scale_ = ColourScale::Byte;
    bool wide_ = false;  // a WordOrByte file has shown a value above 255
};

// The field numbers (from 1) of red, green and blue: the set-up's three when all are chosen,
// else the fields named r/g/b, red/green/blue or diffuse_red/... (any case); zeros for none.
std::array<std::int32_t, 3> ColourFieldNumbers(const FileInputFields& fields,
                                               const std::vector<std::string>& names);

}  // namespace ocuvis
