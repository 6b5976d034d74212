#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/FileInputFields.h"

namespace ocuvis {

constexpr std::int32_t kLabelCapacity = 100;

// All four cells of a break record hold this; it lifts the pen between runs of points.
constexpr float BreakMarker = -9999.0f;
// What a field that is not a number reads as. Not a break.
constexpr float MissingValue = -9999.9f;

// Four 32-bit cells. The size cell holds the dot size value while loading and the integer size
// class (0..6) after normalisation, stored bit for bit as an int32.
struct DataPoint {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float size = 0.0f;

    bool IsBreak() const {
        return x == BreakMarker && y == BreakMarker && z == BreakMarker && size == BreakMarker;
    }
    static DataPoint Break() { return {BreakMarker, BreakMarker, BreakMarker, BreakMarker}; }

    std::int32_t SizeClass() const {
        std::int32_t sizeClass;
        std::memcpy(&sizeClass, &size, sizeof sizeClass);
        return sizeClass;
    }
    void SetSizeClass(std::int32_t sizeClass) { std::memcpy(&size, &sizeClass, sizeof size); }
};
static_assert(sizeof(DataPoint) == 16);

// The least and greatest value of each cell over the records that are not breaks, widened one
// record at a time in store order from the first such record; all 0 while there is none. The
// normalisation needs it; readers take it as they store, so that no pass of its own is needed.
// Taking a copy of a record already taken changes nothing.
struct PointExtent {
    DataPoint minimum;
    DataPoint maximum;
    bool seeded = false;

    void Take(const DataPoint& p) {
        if (p.IsBreak()) return;
        if (!seeded) {
            minimum = maximum = p;
            seeded = true;
            return;
        }
        Widen(minimum.x, maximum.x, p.x);
        Widen(minimum.y, maximum.y, p.y);
        Widen(minimum.z, maximum.z, p.z);
        Widen(minimum.size, maximum.size, p.size);
    }

  private:
    static void Widen(float& least, float& greatest, float v) {
        if (v > greatest) {
            greatest = v;
        } else if (v < least) {
            least = v;
        }
    }
};

// A text label at a position (data values while loading, cube coordinates afterwards).
struct XYZTEXT {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::string text;
};

// The one data set on show. The records grow with the file up to the record limit; a load
// starts them afresh, so points.size() can be below pointCount while one is under way.
struct PointStore {
    std::vector<DataPoint> points;
    std::int32_t pointCount = 0;  // set by the caller of the loader from its result
    // The records a reader may visit: a count being set or a damaged one never leads past the
    // records held.
    std::int32_t HeldCount(std::int32_t count) const {
        if (count <= 0) return 0;
        return static_cast<std::size_t>(count) < points.size()
                   ? count
                   : static_cast<std::int32_t>(points.size());
    }
    std::array<XYZTEXT, kLabelCapacity> labels{};
    std::int32_t labelCount = 0;
    std::int32_t dotSizesPresent = 0;  // used as a boolean
    bool defaultDataLoaded = false;
    // Connecting lines join records from this one on; those before it are dots only (a PLY
    // file's vertices, whose lines come from its edges and follow them).
    std::int32_t firstJoinedRecord = 0;
    // Subtracted from every coordinate in double before it was narrowed to float, so that data
    // far from zero keep their fine steps; added back wherever data units are shown.
    std::array<double, 3> origin{};
    // Per record: where the file has it, its line (from 1) or its vertex (from 0); -1 for none.
    std::vector<std::int32_t> sources;
    bool sourcesAreVertices = false;
    // One cell a record beside the points, held only when the file has colours or a field
    // colours the dots: 0xFFRRGGBB colours, or the field's values as float bits. Breaks hold 0.
    enum class ColourColumn : std::uint8_t { None, Rgb, Value };
    ColourColumn colourColumn = ColourColumn::None;
    std::vector<std::uint32_t> colours;
    // The cells of the records a frame may draw; none when they are not all there.
    const std::uint32_t* ColourCells(std::int32_t count) const {
        return colourColumn != ColourColumn::None && count >= 0 &&
                       colours.size() >= static_cast<std::size_t>(count)
                   ? colours.data()
                   : nullptr;
    }
};

// Shown when a file yields fewer than two records (x, y, z, dot size).
constexpr std::array<DataPoint, 4> DefaultDataPoints = {{
    {-0.75f, 0.0f, 0.0f, 0.01f},
    {0.0f, -0.75f, -1.5f, 1.02f},
    {0.75f, 1.0f, 0.0f, 2.03f},
    {0.0f, 0.75f, 1.5f, 3.04f},
}};

}  // namespace ocuvis
