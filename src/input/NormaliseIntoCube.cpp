#include "input/NormaliseIntoCube.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/ScaleSteps.h"

namespace ocuvis {

namespace {

constexpr float kDegenerateRange = 1e-10f;
constexpr double kSubStepFactor = 0.1;
constexpr double kMarginFactor = 0.4;

// Only when the walk would never end (an add no longer changes the sum): the largest multiple
// of the sub-step not above the minimum.
float DirectLower(float minimum, float subStep) {
    const double multiples = std::floor(static_cast<double>(minimum) / subStep);
    float lower = static_cast<float>(multiples * subStep);
    if (!std::isfinite(lower)) return minimum;
    while (lower > minimum)
        lower = std::nextafter(lower, -INFINITY);
    return lower;
}

bool SameBinade(float a, float b) {
    return a > 0.0f && b > 0.0f && std::ilogb(a) == std::ilogb(b);
}

// Adds step to x in float until x >= target, ending exactly where the adds one by one would.
// Within one binade every add after the first gives the same increment (the sum stays on that
// binade's grid, and even a tie rounds the same way each time), so runs of adds are taken in one
// jump: a walk to 1e7 in steps of 0.1 costs a few hundred adds, not a hundred million. Nothing
// when an add no longer changes x, where the walk would never end.
std::optional<float> WalkUp(float x, float target, float step) {
    while (x < target) {
        const float next = x + step;
        if (next == x) return std::nullopt;
        const float after = next + step;
        if (next < target && SameBinade(x, next) && SameBinade(next, after)) {
            const double increment = static_cast<double>(after) - next;
            const double binadeEnd = std::ldexp(1.0, std::ilogb(next) + 1);
            const double limit = std::min(static_cast<double>(target), binadeEnd);
            // The largest n with next + n * increment still below the limit.
            double n = std::max(0.0, std::ceil((limit - next) / increment) - 1.0);
            while (n > 0.0 && next + n * increment >= limit)
                n -= 1.0;
            while (next + (n + 1.0) * increment < limit)
                n += 1.0;
            x = static_cast<float>(next + n * increment);
            continue;
        }
        x = next;
    }
    return x;
}

// Subtracts step from x until x <= target; round-to-nearest is symmetric, so this is the upward
// walk mirrored.
std::optional<float> WalkDown(float x, float target, float step) {
    const std::optional<float> mirrored = WalkUp(-x, -target, step);
    if (!mirrored) return std::nullopt;
    return -*mirrored;
}

// The multiple of the sub-step at or just below the minimum, as the float sums of stepping from
// 0 up past the minimum and back down give it.
float LowerBound(float minimum, float subStep) {
    const std::optional<float> up = WalkUp(0.0f, minimum, subStep);
    if (!up) return DirectLower(minimum, subStep);
    const std::optional<float> down = WalkDown(*up, minimum, subStep);
    if (!down) return DirectLower(minimum, subStep);
    return *down;
}

int StepIndexFor(float range) {
    for (int i = 0; i < kScaleStepCount; ++i) {
        if (range <= ScaleSteps[i]) return i;
    }
    // Beyond the table the largest step is used; such data reach outside the cube.
    return kScaleStepCount - 1;
}

struct Range {
    float minimum;
    float maximum;
};

// Products and sums in double, stored as float: as close as this platform gets to the extended
// arithmetic whose float results the maps were defined by.
float ApplyMap(float scale, float shift, float value) {
    return static_cast<float>(static_cast<double>(scale) * value + shift);
}

// The class of a dot size, 0 (largest) to 6.
std::int32_t SizeClassOf(const GraphRecord& graph, float size) {
    const float s = ApplyMap(graph.dotdataScale, graph.dotdataShift, size);
    const double classValue = (1.0 - static_cast<double>(s)) * 0.5 * (kSizeClassCount - 1);
    // Rounding can put s a hair outside -1..+1; a class outside 0..6 would draw nothing sane.
    if (!std::isfinite(classValue)) return 3;
    return classValue <= 0.0                   ? 0
           : classValue >= kSizeClassCount - 1 ? kSizeClassCount - 1
                                               : static_cast<std::int32_t>(classValue);
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
    // Kept in double: rounded to float, the margins would vanish for data far from zero.
    r.rangeMin = lower - kMarginFactor * step;
    r.rangeMax = lower + static_cast<double>(step) + kMarginFactor * step;
    const double width = r.rangeMax - r.rangeMin;
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

void NormaliseIntoCube(PointStore& store, std::int32_t n, GraphRecord& graph,
                       const PointExtent* taken) {
    n = store.HeldCount(n);
    DataPoint* const points = store.points.data();

    // With no record to seed it (every record a break) the extent is 0..0, which the degenerate
    // rule turns into -1..+1.
    PointExtent extent;
    if (taken != nullptr) {
        extent = *taken;
    } else {
        for (std::int32_t i = 0; i < n; ++i)
            extent.Take(points[i]);
    }
    const Range x{extent.minimum.x, extent.maximum.x};
    const Range y{extent.minimum.y, extent.maximum.y};
    const Range z{extent.minimum.z, extent.maximum.z};
    Range size{extent.minimum.size, extent.maximum.size};

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

    // Sizes all alike, as when a file has none: their class is worked out once.
    const bool sameSizes = extent.minimum.size == extent.maximum.size;
    const float commonSize = extent.minimum.size;
    const std::int32_t commonClass = SizeClassOf(graph, commonSize);
    for (std::int32_t i = 0; i < n; ++i) {
        DataPoint& p = points[i];
        if (p.IsBreak()) continue;
        p.x = ApplyMap(graph.xdataScale, graph.xdataShift, p.x);
        p.y = ApplyMap(graph.ydataScale, graph.ydataShift, p.y);
        p.z = ApplyMap(graph.zdataScale, graph.zdataShift, p.z);
        p.SetSizeClass(sameSizes && p.size == commonSize ? commonClass
                                                         : SizeClassOf(graph, p.size));
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
