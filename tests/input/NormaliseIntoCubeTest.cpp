#include "input/NormaliseIntoCube.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

#include "core/ScaleSteps.h"

namespace ocuvis {
namespace {

// The rounded range's lower end as the sub-step walk finds it: one float add at a time from 0
// up past the minimum, then back down to it.
float WalkedLower(float minimum, float subStep) {
    float lower = 0.0f;
    while (lower < minimum)
        lower = lower + subStep;
    while (lower > minimum)
        lower = lower - subStep;
    return lower;
}

struct Cube {
    std::unique_ptr<PointStore> store = std::make_unique<PointStore>();
    GraphRecord graph;

    // x = y = z = v for every value, dot size 0.
    explicit Cube(const std::vector<float>& xs = {}) {
        for (float v : xs)
            Add({v, v, v, 0.0f});
    }
    void Add(DataPoint p) { store->points.push_back(p); }
    void Run() { NormaliseIntoCube(*store, static_cast<int>(store->points.size()), graph); }
    const DataPoint& operator[](int i) const { return store->points[static_cast<std::size_t>(i)]; }
};

TEST(RoundRange, WalksTheLowerEndInFloatSubStepsAndKeepsAMarginEachSide) {
    // Minimum, maximum, the step's index, its sub-step, the ends' distances from the lower end.
    const std::tuple<float, float, int, float, double, double> cases[] = {
        {0.0f, 10.0f, 28, 1.0f, 4.0, 14.0},
        {2.5f, 9.9f, 27, 0.8f, 3.2, 11.2},
        // Range 0.99 takes step 1, but 0.9 + 1 stays below 1.94: step 1.5, the lower end kept.
        {0.95f, 1.94f, 22, 0.1f, 0.6, 2.1}};
    for (const auto& [minimum, maximum, stepIndex, subStep, below, above] : cases) {
        const RoundedRange r = RoundRange(minimum, maximum);
        EXPECT_EQ(r.step, ScaleSteps[stepIndex]);
        EXPECT_EQ(r.lower, WalkedLower(minimum, subStep));
        EXPECT_FLOAT_EQ(r.rangeMin, r.lower - below);
        EXPECT_FLOAT_EQ(r.rangeMax, r.lower + above);
        EXPECT_FLOAT_EQ(r.dataScale, 2.0f / static_cast<float>(below + above));
    }
    // Far from zero each float add rounds, so the walk drifts from the multiples of the sub-step;
    // the walk still ends here, and its sum is what the data map is built on.
    for (float minimum : {20000.0f, 50000.0f})
        EXPECT_EQ(RoundRange(minimum, minimum + 1.0f).lower, WalkedLower(minimum, 0.1f));
}

TEST(NormaliseIntoCube, SpreadsDotSizesOverSevenClassesLargestFirst) {
    const std::pair<std::vector<float>, std::vector<int>> cases[] = {
        {{1.0f, 2.0f, 3.0f}, {6, 3, 0}}, {{0.0f, 0.0f}, {3, 3}}};
    for (const auto& [sizes, classes] : cases) {
        Cube cube;
        for (float s : sizes)
            cube.Add({0.0f, 0.0f, 0.0f, s});
        cube.Run();
        for (std::size_t i = 0; i < classes.size(); ++i)
            EXPECT_EQ(cube[static_cast<int>(i)].SizeClass(), classes[i]) << sizes[i];
    }
}

TEST(NormaliseIntoCube, MapsPointsAndLabelsOntoTheCubeLeavesBreaksOutAndWidensAConstantAxis) {
    Cube cube;
    cube.Add(DataPoint::Break());
    cube.Add({0.0f, 3.0f, 0.0f, 0.0f});
    cube.Add(DataPoint::Break());
    cube.Add({10.0f, 3.0f, 10.0f, 0.0f});
    // Labels follow the maps without widening them.
    cube.store->labels[0] = {20.0f, 5.0f, -10.0f, "FAR"};
    cube.store->labelCount = 1;
    cube.Run();
    EXPECT_TRUE(cube[0].IsBreak() && cube[2].IsBreak());
    EXPECT_FLOAT_EQ(cube[1].x, -5.0f / 9.0f);
    EXPECT_FLOAT_EQ(cube[3].z, 5.0f / 9.0f);
    EXPECT_FLOAT_EQ(cube.store->labels[0].x, 15.0f / 9.0f);
    EXPECT_FLOAT_EQ(cube.store->labels[0].z, -15.0f / 9.0f);
    // The constant y widens to -1..1, which leaves its value outside the cube.
    EXPECT_FLOAT_EQ(cube.graph.ydataScale, 5.0f / 9.0f);
    EXPECT_FLOAT_EQ(cube[3].y, 5.0f / 3.0f);

    // Every record a break: the records stay as they are and the maps finite.
    Cube breaks;
    for (int i = 0; i < 3; ++i)
        breaks.Add(DataPoint::Break());
    breaks.Run();
    EXPECT_TRUE(breaks[1].IsBreak());
    EXPECT_FLOAT_EQ(breaks.graph.xdataScale, 5.0f / 9.0f);
    EXPECT_FLOAT_EQ(breaks.graph.dotdataScale, 1.0f);
}

TEST(NormaliseIntoCube, DataFarFromZeroFinishAndKeepTheirMargin) {
    // A float walk in steps of 0.1 never reaches 1e7.
    Cube cube({1e7f, 1e7f + 1.0f});
    cube.Run();
    // Range 1 takes step 1 with 0.4 on either side: the data span 1/1.8 of the cube's width.
    EXPECT_FLOAT_EQ(cube.graph.xdataScale, 2.0f / 1.8f);
    EXPECT_NEAR(cube[1].x - cube[0].x, 2.0f / 1.8f, 1e-3f);
    EXPECT_TRUE(cube[0].x >= -1.0f && cube[1].x <= 1.0f);

    // Beyond the largest step the maps stay finite and keep the order.
    for (float extreme : {1e9f, 1e20f, 3e38f}) {
        Cube wide({-extreme, 0.0f, extreme});
        wide.Run();
        EXPECT_GT(wide.graph.xdataScale, 0.0f) << extreme;
        EXPECT_TRUE(std::isfinite(wide[0].x) && std::isfinite(wide[2].x)) << extreme;
        EXPECT_LT(wide[0].x, wide[2].x) << extreme;
    }
}

}  // namespace
}  // namespace ocuvis
