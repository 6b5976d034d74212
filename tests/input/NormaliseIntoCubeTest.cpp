#include "NormaliseIntoCube.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <memory>
#include <vector>

#include "ScaleSteps.h"

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
    void Add(DataPoint p) { store->points[static_cast<std::size_t>(n++)] = p; }
    void Run() { NormaliseIntoCube(*store, n, graph); }
    const DataPoint& operator[](int i) const { return store->points[static_cast<std::size_t>(i)]; }

    int n = 0;
};

struct RangeCase {
    float minimum, maximum;
    int stepIndex;
    float subStep;
    // The range's ends from the walked lower end.
    double below, above;
};

class RoundRangeTable : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RoundRangeTable, WalksTheLowerEndInFloatSubStepsAndKeepsAMarginEachSide) {
    const RangeCase& c = GetParam();
    const RoundedRange r = RoundRange(c.minimum, c.maximum);
    EXPECT_EQ(r.step, ScaleSteps[c.stepIndex]);
    EXPECT_EQ(r.lower, WalkedLower(c.minimum, c.subStep));
    EXPECT_FLOAT_EQ(r.rangeMin, r.lower - c.below);
    EXPECT_FLOAT_EQ(r.rangeMax, r.lower + c.above);
    EXPECT_FLOAT_EQ(r.dataScale, 2.0f / static_cast<float>(c.below + c.above));
}

INSTANTIATE_TEST_SUITE_P(Table, RoundRangeTable,
                         ::testing::Values(RangeCase{0.0f, 10.0f, 28, 1.0f, 4.0, 14.0},
                                           RangeCase{2.5f, 9.9f, 27, 0.8f, 3.2, 11.2},
                                           // Range 0.99 takes step 1, but 0.9 + 1 stays below
                                           // 1.94: step 1.5, the lower end kept.
                                           RangeCase{0.95f, 1.94f, 22, 0.1f, 0.6, 2.1}));

TEST(RoundRange, TheLowerEndIsTheWalkedSumWheneverTheWalkEnds) {
    // Far from zero each float add rounds, so the walk drifts from the multiples of the sub-step;
    // the walk still ends here, and its sum is what the data map is built on.
    for (float minimum : {20000.0f, 50000.0f}) {
        const float walked = WalkedLower(minimum, 0.1f);
        EXPECT_EQ(RoundRange(minimum, minimum + 1.0f).lower, walked)
            << std::setprecision(9) << "minimum " << minimum << ", walked to " << walked;
    }
}

TEST(NormaliseIntoCube, AConstantAxisWidensToMinusOneToOne) {
    Cube cube;
    cube.Add({3.0f, 0.0f, 1.0f, 0.0f});
    cube.Add({3.0f, 0.0f, 2.0f, 0.0f});
    cube.Run();
    EXPECT_FLOAT_EQ(cube.graph.xdataScale, 5.0f / 9.0f);
    EXPECT_NEAR(cube.graph.xdataShift, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(cube[0].x, 5.0f / 3.0f);  // outside the cube
    EXPECT_NEAR(cube[1].y, 0.0f, 1e-6f);
}

TEST(NormaliseIntoCube, SpreadsDotSizesOverSevenClassesLargestFirst) {
    Cube sizes;
    for (float s : {1.0f, 2.0f, 3.0f})
        sizes.Add({0.0f, 0.0f, 0.0f, s});
    sizes.Run();
    EXPECT_EQ(sizes[0].SizeClass(), 6);
    EXPECT_EQ(sizes[1].SizeClass(), 3);
    EXPECT_EQ(sizes[2].SizeClass(), 0);

    Cube builtIn;
    for (const DataPoint& p : DefaultDataPoints)
        builtIn.Add(p);
    builtIn.Run();
    const int expected[] = {5, 3, 1, 0};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(builtIn[i].SizeClass(), expected[i]) << i;

    Cube equal({1.0f, 4.0f, 7.0f});
    equal.Run();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(equal[i].SizeClass(), 3) << i;
}

TEST(NormaliseIntoCube, MapsPointsAndLabelsOntoTheCubeAndLeavesBreaksOut) {
    Cube cube;
    cube.Add(DataPoint::Break());
    cube.Add({0.0f, 0.0f, 0.0f, 0.0f});
    cube.Add(DataPoint::Break());
    cube.Add({10.0f, 10.0f, 10.0f, 0.0f});
    // Labels follow the maps without widening them.
    cube.store->labels[0] = {20.0f, 5.0f, -10.0f, "FAR"};
    cube.store->labelCount = 1;
    cube.Run();
    EXPECT_TRUE(cube[0].IsBreak());
    EXPECT_TRUE(cube[2].IsBreak());
    EXPECT_FLOAT_EQ(cube.graph.xdataScale, 1.0f / 9.0f);
    EXPECT_FLOAT_EQ(cube.graph.xdataShift, -5.0f / 9.0f);
    EXPECT_FLOAT_EQ(cube[1].x, -5.0f / 9.0f);
    EXPECT_FLOAT_EQ(cube[3].z, 5.0f / 9.0f);
    EXPECT_FLOAT_EQ(cube.store->labels[0].x, 15.0f / 9.0f);
    EXPECT_NEAR(cube.store->labels[0].y, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(cube.store->labels[0].z, -15.0f / 9.0f);
}

TEST(NormaliseIntoCube, AllBreaksLeaveTheRecordsAloneAndTheMapsFinite) {
    Cube cube;
    for (int i = 0; i < 5; ++i)
        cube.Add(DataPoint::Break());
    cube.Run();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(cube[i].IsBreak()) << i;
    for (float v : {cube.graph.xdataScale, cube.graph.xdataShift, cube.graph.ydataScale,
                    cube.graph.zdataShift, cube.graph.dotdataScale, cube.graph.dotdataShift}) {
        EXPECT_TRUE(std::isfinite(v));
    }
    EXPECT_GT(cube.graph.xdataScale, 0.0f);
}

TEST(NormaliseIntoCube, DataFarFromZeroFinishAndKeepTheirMargin) {
    // A float walk in steps of 0.1 never reaches 1e7.
    Cube cube({1e7f, 1e7f + 1.0f});
    cube.Run();
    // Range 1 takes step 1 with 0.4 on either side: the data span 1/1.8 of the cube's width.
    EXPECT_FLOAT_EQ(cube.graph.xdataScale, 2.0f / 1.8f);
    EXPECT_NEAR(cube[1].x - cube[0].x, 2.0f / 1.8f, 1e-3f);
    for (int i = 0; i < 2; ++i) {
        EXPECT_GE(cube[i].x, -1.0f) << i;
        EXPECT_LE(cube[i].x, 1.0f) << i;
    }
}

TEST(NormaliseIntoCube, RangesBeyondTheLargestStepFinishWithFiniteMaps) {
    for (float extreme : {1e9f, 1e20f, 3e38f}) {
        Cube cube({-extreme, 0.0f, extreme});
        cube.Run();
        EXPECT_TRUE(std::isfinite(cube.graph.xdataScale)) << extreme;
        EXPECT_TRUE(std::isfinite(cube.graph.xdataShift)) << extreme;
        EXPECT_GT(cube.graph.xdataScale, 0.0f) << extreme;
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(std::isfinite(cube[i].x)) << extreme << " " << i;
        EXPECT_LT(cube[0].x, cube[2].x) << extreme;
    }
}

}  // namespace
}  // namespace ocuvis
