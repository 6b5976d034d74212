#include "NormaliseIntoCube.h"

#include <cmath>

#include "ScaleSteps.h"

namespace ocuvis {

namespace {

constexpr float kDegenerateRange = 1e-10f;
constexpr double kSubStepFactor = 0.1;
constexpr double kMarginFactor = 0.4;

// The sub-step walk from 0 to the minimum is done add by add in float, as the rounding of each
// sum decides where it ends. Far from zero it would take millions of adds, or never end once an
// add no longer changes the sum; beyond this many sub-steps the multiple of the sub-step at or
// below the minimum is computed directly instead.
constexpr double kMaxSubSteps = 1 << 17;

float DirectLower(float minimum, float subStep) {
    const double multiples = std::floor(static_cast<double>(minimum) / subStep);
    float lower = static_cast<float>(multiples * subStep);
    if (!std::isfinite(lower)) return minimum;
    while (lower > minimum)
        lower = std::nextafter(lower, -INFINITY);
    return lower;
}

float LowerBound(float minimum, float subStep) {
    if (std::fabs(static_cast<double>(minimum)) / subStep > kMaxSubSteps)
        return DirectLower(minimum, subStep);
    float lower = 0.0f;
    while (lower < minimum)
        lower = lower + subStep;
    while (lower > minimum)
        lower = lower - subStep;
    return lower;
}

int StepIndexFor(float range) {
    for (int i = 0; i < kScaleStepCount; ++i) {
        if (range <= ScaleSteps[i]) return i;
    }
    // Beyond the table the largest step is used; such data reach outside the cube.
    return kScaleStepCount - 1;
}

struct Extent {
    float minimum;
    float maximum;

    void Widen(float v) {
        if (v > maximum) {
            maximum = v;
        } else if (v < minimum) {
            minimum = v;
        }
    }
};

// Products and sums in double, stored as float: as close as this platform gets to the extended
// arithmetic whose float results the maps were defined by.
float ApplyMap(float scale, float shift, float value) {
    return static_cast<float>(static_cast<double>(scale) * value + shift);
}

}  // namespace

RoundedRange RoundRange(float minimum, float maximum) {
    float range = maximum - minimum;
    if (std::fabs(range) < kDegenerateRange) {
        minimum = -1.0f;
        maximum = 1.0f;
        range = 2.0f;
    }
    const int index = StepIndexFor(range);
    float step = ScaleSteps[index];
    const float subStep = static_cast<float>(step * kSubStepFactor);
    const float lower = LowerBound(minimum, subStep);
    if (static_cast<double>(lower) + step < maximum && index + 1 < kScaleStepCount)
        step = ScaleSteps[index + 1];

    RoundedRange r{};
    r.lower = lower;
    r.step = step;
    r.rangeMin = static_cast<float>(lower - kMarginFactor * step);
    r.rangeMax = static_cast<float>(lower + step + kMarginFactor * step);
    const double width = static_cast<double>(r.rangeMax) - r.rangeMin;
    r.dataScale = static_cast<float>(2.0 / width);
    r.dataShift = static_cast<float>(-(2.0 * r.rangeMin / width + 1.0));
    if (!(width > 0.0) || !std::isfinite(r.dataScale) || !std::isfinite(r.dataShift)) {
        // Near the ends of the float range the largest step vanishes below the float
        // resolution and the rounded range collapses; map the data's own extent instead.
        const double lo = minimum - kMarginFactor * (static_cast<double>(maximum) - minimum);
        const double hi = maximum + kMarginFactor * (static_cast<double>(maximum) - minimum);
        r.dataScale = static_cast<float>(2.0 / (hi - lo));
        r.dataShift = static_cast<float>(-(2.0 * lo / (hi - lo) + 1.0));
    }
    return r;
}

void NormaliseIntoCube(PointStore& store, std::int32_t n, GraphRecord& graph) {
    if (n > kPointCapacity) n = kPointCapacity;
    DataPoint* const points = store.points.data();

    // With no record to seed it (every record a break) the extent is 0..0, which the degenerate
    // rule turns into -1..+1.
    Extent x{0, 0}, y{0, 0}, z{0, 0}, size{0, 0};
    bool seeded = false;
    for (std::int32_t i = 0; i < n; ++i) {
        const DataPoint& p = points[i];
        if (p.IsBreak()) continue;
        if (!seeded) {
            x = {p.x, p.x};
            y = {p.y, p.y};
            z = {p.z, p.z};
            size = {p.size, p.size};
            seeded = true;
            continue;
        }
        x.Widen(p.x);
        y.Widen(p.y);
        z.Widen(p.z);
        size.Widen(p.size);
    }

    const RoundedRange rx = RoundRange(x.minimum, x.maximum);
    const RoundedRange ry = RoundRange(y.minimum, y.maximum);
    const RoundedRange rz = RoundRange(z.minimum, z.maximum);
    graph.xdataScale = rx.dataScale;
    graph.xdataShift = rx.dataShift;
    graph.ydataScale = ry.dataScale;
    graph.ydataShift = ry.dataShift;
    graph.zdataScale = rz.dataScale;
    graph.zdataShift = rz.dataShift;

    if (std::fabs(size.maximum - size.minimum) < kDegenerateRange) size = {-1.0f, 1.0f};
    const double sizeWidth = static_cast<double>(size.maximum) - size.minimum;
    graph.dotdataScale = static_cast<float>(2.0 / sizeWidth);
    graph.dotdataShift = static_cast<float>(-(2.0 * size.minimum / sizeWidth + 1.0));

    for (std::int32_t i = 0; i < n; ++i) {
        DataPoint& p = points[i];
        if (p.IsBreak()) continue;
        p.x = ApplyMap(graph.xdataScale, graph.xdataShift, p.x);
        p.y = ApplyMap(graph.ydataScale, graph.ydataShift, p.y);
        p.z = ApplyMap(graph.zdataScale, graph.zdataShift, p.z);
        const float s = ApplyMap(graph.dotdataScale, graph.dotdataShift, p.size);
        const double classValue = (1.0 - static_cast<double>(s)) * 0.5 * (kSizeClassCount - 1);
        // Rounding can put s a hair outside -1..+1; a class outside 0..6 would draw nothing sane.
        std::int32_t sizeClass = 3;
        if (std::isfinite(classValue)) {
            sizeClass = classValue <= 0.0                   ? 0
                        : classValue >= kSizeClassCount - 1 ? kSizeClassCount - 1
                                                            : static_cast<std::int32_t>(classValue);
        }
        p.SetSizeClass(sizeClass);
    }

    const std::int32_t labelCount =
        store.labelCount < 0
            ? 0
            : (store.labelCount > kLabelCapacity ? kLabelCapacity : store.labelCount);
    for (std::int32_t i = 0; i < labelCount; ++i) {
        XYZTEXT& label = store.labels[i];
        label.x = ApplyMap(graph.xdataScale, graph.xdataShift, label.x);
        label.y = ApplyMap(graph.ydataScale, graph.ydataShift, label.y);
        label.z = ApplyMap(graph.zdataScale, graph.zdataShift, label.z);
    }
}

}  // namespace ocuvis
