#include "render/RecordColours.h"

#include <algorithm>
#include <cmath>

#include "render/CanvasPens.h"
#include "render/RecordProjection.h"

namespace ocuvis {

namespace {

// The background of the frame, towards which far dots shade.
constexpr Colour kFadeBackground = 0xDCDCDC;

}  // namespace

RecordColours::RecordColours(const FrameContext& frame) {
    const GraphViewState& view = frame.view;
    const PointStore& store = frame.store;
    const std::uint32_t* cells = store.ColourCells(frame.pointCount);
    using Column = PointStore::ColourColumn;
    const Column column = cells != nullptr ? store.colourColumn : Column::None;
    switch (view.colourBy) {
        case ColourBy::File:
            if (column == Column::Rgb) mode_ = Mode::Rgb;
            if (column == Column::Value) mode_ = Mode::Value;
            break;
        case ColourBy::Field:
            if (column == Column::Value) mode_ = Mode::Value;
            break;
        case ColourBy::X:
        case ColourBy::Y:
        case ColourBy::Z:
            mode_ = Mode::Axis;
            break;
        case ColourBy::None:
            break;
    }
    // The built-in data set has nothing to colour by but its place.
    if (mode_ == Mode::Value && store.defaultDataLoaded) mode_ = Mode::Plain;
    cells_ = reinterpret_cast<const QRgb*>(cells);
    plain_ = ToRgb(view.dotColor);
    shading_ = view.depthShade;
    anaglyph_ = frame.Anaglyph();
    background_ = ToRgb(view.fadeLines ? kFadeBackground : view.backgroundColor);
    eye_[0] = ToRgb(FrameContext::AnaglyphColour(0));
    eye_[1] = ToRgb(FrameContext::AnaglyphColour(1));
    if (Mapped()) {
        const int axis = view.colourBy == ColourBy::Y ? 1 : (view.colourBy == ColourBy::Z ? 2 : 0);
        axis_ = &store.points.data()->x + axis;
        table_ = ColourMapTable(view.colourMap);
        FindRange(frame, axis);
    }
}

void RecordColours::FindRange(const FrameContext& frame, int axis) {
    const GraphRecord& g = frame.graph;
    const float scales[3] = {g.xdataScale, g.ydataScale, g.zdataScale};
    const float shifts[3] = {g.xdataShift, g.ydataShift, g.zdataShift};
    // Axis values are held in cube units, relative to the file's origin; the legend and a typed
    // range speak the file's own units.
    const bool cube = mode_ == Mode::Axis;
    const double origin = frame.store.origin[static_cast<std::size_t>(axis)];
    const auto toData = [&](double v) {
        return cube ? (v - shifts[axis]) / scales[axis] + origin : v;
    };
    const auto fromData = [&](double v) {
        return static_cast<float>(cube ? (v - origin) * scales[axis] + shifts[axis] : v);
    };
    float low = 0.0f, high = 0.0f;
    if (frame.view.colourRangeTyped) {
        low = fromData(frame.view.colourRangeMin);
        high = fromData(frame.view.colourRangeMax);
        rangeMin = frame.view.colourRangeMin;
        rangeMax = frame.view.colourRangeMax;
    } else {
        bool seeded = false;
        const DataPoint* points = frame.store.points.data();
        for (int i = 0; i < frame.pointCount; ++i) {
            if (points[i].IsBreak()) continue;
            float v;
            if (cube) {
                v = axis_[4 * i];
            } else {
                std::memcpy(&v, &cells_[i], sizeof v);
                if (v == MissingValue || !std::isfinite(v)) continue;
            }
            low = seeded ? std::min(low, v) : v;
            high = seeded ? std::max(high, v) : v;
            seeded = true;
        }
        rangeMin = toData(low);
        rangeMax = toData(high);
    }
    low_ = low;
    // A range of one value puts every record in the middle of the map.
    if (high > low && std::isfinite(255.0f / (high - low))) {
        perStep_ = 255.0f / (high - low);
    } else {
        low_ = low - 127.5f;
        perStep_ = 1.0f;
    }
    if (high < low) std::swap(rangeMin, rangeMax);
}

void RecordColours::ShadedImageColours(QRgb colour, float depth, QRgb& first, QRgb& second) const {
    const bool plain = mode_ == Mode::Plain;
    int step = 0;
    if (shading_) {
        // The steps of the line fading: 0 in front to 208 at the back.
        const float range = farthest_ - nearest_;
        float t = 0.0f;
        if (range > 0.01) t = static_cast<float>((static_cast<double>(depth) - nearest_) / range);
        step = static_cast<int>(208.0f * std::clamp(t, 0.0f, 1.0f));
    }
    if (anaglyph_) {
        if (plain) {
            first = ShadedTowards(eye_[0], background_, step);
            second = ShadedTowards(eye_[1], background_, step);
            return;
        }
        const QRgb shaded = ShadedTowards(colour, background_, step);
        first = LuminanceInEye(shaded, 0);
        second = LuminanceInEye(shaded, 1);
        return;
    }
    first = second = ShadedTowards(colour, background_, step);
}

void RecordColours::MeasureDots(const ProjectedRecord* records, int begin, int end, float& nearest,
                                float& farthest) {
    for (int i = begin; i < end; ++i) {
        const ProjectedRecord& r = records[i];
        if (!HasImage(r)) continue;
        nearest = std::min(nearest, r.depth);
        farthest = std::max(farthest, r.depth);
    }
}

}  // namespace ocuvis
