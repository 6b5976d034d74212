#include "render/GraphScaling.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "core/ScaleSteps.h"

namespace ocuvis {
namespace {

using test::CountingPresenter;
using ::testing::ElementsAre;

// Entry 7k + j is m(j) x 10^(k - 3), stored as the float nearest that decimal value: parse the
// decimal text rather than multiply, which could round differently.
TEST(ScaleSteps, EveryEntryIsTheFloatOfItsDecimalValue) {
    const char* mantissas[] = {"1", "1.5", "2", "3", "4", "5", "8"};
    EXPECT_EQ(ScaleSteps[kNeutralScaleStep], 1.0f);
    for (int p = 0; p < kScaleStepCount; ++p) {
        const std::string decimal = std::string(mantissas[p % 7]) + "e" + std::to_string(p / 7 - 3);
        EXPECT_EQ(ScaleSteps[p], std::strtof(decimal.c_str(), nullptr)) << p << " " << decimal;
    }
}

// The shift of an offset position: 2.5 (a float) times the extended 1/45, stored as a float.
float Offset(int position) {
    return static_cast<float>(position * static_cast<long double>(2.5f) * (1.0L / 45.0L));
}

class Scaling : public ::testing::Test {
  protected:
    Scaling() { gate.viewReady = true; }

    std::vector<int> Positions() const {
        return {view.xRangePosition,  view.yRangePosition,  view.zRangePosition,
                view.xOffsetPosition, view.yOffsetPosition, view.zOffsetPosition};
    }
    // Every bar away from neutral, the angles turned, the eye and the extent moved.
    void MoveEverything() {
        scaling.SetXRangePosition(40);
        scaling.SetXOffsetPosition(7);
        scaling.SetYOffsetPosition(-4);
        scaling.SetZRangePosition(30);
        scaling.SetAzimuth(30);
        view.z0 = 9.5f;
        graph.xmin = -3.0f;
        presenter.frames = 0;
        gate.redrawPending = false;
    }

    GraphViewState view;
    GraphRecord graph;
    CountingPresenter presenter;
    RedrawGate gate{&presenter};
    MemoryFloatStore store;
    GraphScaling scaling{view, graph, gate, store};
};

TEST_F(Scaling, AutoScaleReturnsEveryBarToNeutralWithoutRendering) {
    // Without the angle reset the angles and the ready flag stay.
    MoveEverything();
    gate.viewReady = false;
    scaling.dragRedrawHold = true;
    view.zInvert = true;
    scaling.AutoScale(false);
    EXPECT_EQ(std::pair(view.azimuth, graph.zscale), std::pair(30, 1.0f));
    EXPECT_FALSE(gate.viewReady || scaling.dragRedrawHold);
    view.zInvert = false;

    gate.viewReady = true;
    MoveEverything();
    scaling.AutoScale(true);
    EXPECT_EQ(presenter.frames, 0);
    EXPECT_TRUE(gate.viewReady && gate.redrawPending);  // the bars' handlers ran
    EXPECT_THAT(Positions(), ElementsAre(21, 21, 21, 0, 0, 0));
    EXPECT_THAT((std::vector<float>{graph.xscale, graph.yscale, graph.zscale, graph.xshift,
                                    graph.yshift, graph.zshift, graph.xmin}),
                ElementsAre(1.0f, 1.0f, -1.0f, 0.0f, 0.0f, 0.0f, -1.0f));
    EXPECT_EQ(std::pair(view.z0, view.azimuth), std::pair(16.0f, 0));
}

TEST_F(Scaling, EachBarSetsItsValueOnItsBarAndRedrawsOnlyOnChange) {
    scaling.SetXRangePosition(28);
    scaling.SetYRangePosition(-3);  // clamped to 0
    scaling.SetZRangePosition(78);  // clamped to 77
    scaling.SetXOffsetPosition(5);
    scaling.SetYOffsetPosition(-21);
    scaling.SetZOffsetPosition(40);
    scaling.SetAzimuth(181);
    EXPECT_EQ(std::pair(presenter.frames, view.azimuth), std::pair(7, 180));
    EXPECT_THAT(Positions(), ElementsAre(28, 0, 77, 5, -20, 40));
    EXPECT_THAT((std::vector<float>{graph.xscale, graph.yscale, graph.zscale, graph.xshift,
                                    graph.yshift, graph.zshift}),
                ElementsAre(10.0f, 0.001f, -100000000.0f, Offset(5), Offset(-20), -Offset(40)));
    // The z scale and shift carry the inversion sign.
    const float zshift = graph.zshift;
    view.zInvert = true;
    scaling.ApplyZSign();
    EXPECT_EQ(std::pair(graph.zscale, graph.zshift), std::pair(100000000.0f, -zshift));

    // Already there, once clamped: no handler, no redraw, the record untouched.
    graph.xscale = 123.0f;
    const GraphRecord before = graph;
    scaling.SetXRangePosition(28);
    scaling.SetZRangePosition(1000);
    scaling.SetYOffsetPosition(-40);
    EXPECT_TRUE(std::memcmp(&graph, &before, sizeof graph) == 0);
    EXPECT_EQ(presenter.frames, 7);

    // While the view is not ready a redraw only marks the frame.
    gate.viewReady = false;
    scaling.SetXRangePosition(30);
    EXPECT_EQ(presenter.frames, 7);
    EXPECT_TRUE(gate.redrawPending);
}

TEST_F(Scaling, SaveThenRestoreBringsTheScaleBack) {
    // Nothing stored: nothing changes.
    MoveEverything();
    const GraphRecord moved = graph;
    scaling.RestoreScaleSettings();
    EXPECT_TRUE(std::memcmp(&graph, &moved, sizeof graph) == 0 && view.z0 == 9.5f &&
                !gate.redrawPending);
    EXPECT_THAT(Positions(), ElementsAre(40, 21, 30, 7, -4, 0));

    scaling.SetZOffsetPosition(-3);
    scaling.SaveScaleSettings();
    EXPECT_EQ(store.size(), 19u);
    scaling.AutoScale(true);
    presenter.frames = 0;
    scaling.RestoreScaleSettings();
    EXPECT_TRUE(presenter.frames == 0 && gate.viewReady);
    EXPECT_THAT(Positions(), ElementsAre(40, 21, 30, 7, -4, -3));
    EXPECT_EQ(std::tuple(graph.xmin, graph.zshift, view.z0), std::tuple(-3.0f, Offset(3), 9.5f));
}

TEST_F(Scaling, RestoreAppliesEachPositionAfterItsScaleAndSkipsWhatCannotBeUsed) {
    // A position that moves the bar lets its handler replace the value just read; one that
    // does not leaves the read value in place.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // clang-format off
    const std::pair<const char*, double> stored[] = {
        {"graph.xscale", 3.0}, {"XRangeScrollBar.Position", 27.9}, {"graph.yscale", 3.0},
        {"YRangeScrollBar.Position", 21.0}, {"XOffsetScrollBar.Position", -3.7},
        {"ZRangeScrollBar.Position", 500.0}, {"ZOffsetScrollBar.Position", nan},
        {"YOffsetScrollBar.Position", 1e300}, {"graph.xmin", nan}, {"graph.ymax", 1e300},
        {"graph.zmin", -2.5}, {"z0", std::numeric_limits<double>::infinity()}};
    // clang-format on
    for (const auto& [name, value] : stored)
        store.WriteFloat(name, value);
    scaling.RestoreScaleSettings();
    EXPECT_THAT(Positions(), ElementsAre(27, 21, 77, -3, 0, 0));
    EXPECT_THAT(
        (std::vector<float>{graph.xscale, graph.yscale, graph.xmin, graph.ymax, graph.zmin}),
        ElementsAre(8.0f, 3.0f, -1.0f, 1.0f, -2.5f));
    EXPECT_EQ(presenter.frames, 0);
    // The eye must stand in front of the cube.
    for (const double z0 : {std::numeric_limits<double>::infinity(), 0.0, -4.0}) {
        store.WriteFloat("z0", z0);
        scaling.RestoreScaleSettings();
        EXPECT_EQ(view.z0, 16.0f) << z0;
    }
}

}  // namespace
}  // namespace ocuvis
