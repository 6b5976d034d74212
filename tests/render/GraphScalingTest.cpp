#include "GraphScaling.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "ScaleSteps.h"
#include "TestSupport.h"

namespace ocuvis {
namespace {

using test::CountingPresenter;
using ::testing::ElementsAre;

// The shift of an offset position: 2.5 (a float) times the extended 1/45, stored as a float.
float Offset(int position) {
    return static_cast<float>(position * static_cast<long double>(2.5f) * (1.0L / 45.0L));
}

bool SameRecord(const GraphRecord& a, const GraphRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class Scaling : public ::testing::Test {
  protected:
    Scaling() { gate.viewReady = true; }

    std::vector<int> Positions() const {
        return {view.xRangePosition,  view.yRangePosition,  view.zRangePosition,
                view.xOffsetPosition, view.yOffsetPosition, view.zOffsetPosition};
    }
    std::vector<float> Scales() const {
        return {graph.xscale, graph.yscale, graph.zscale, graph.xshift, graph.yshift, graph.zshift};
    }

    // A view moved away from every neutral position.
    void MoveEverything() {
        scaling.SetXRangePosition(40);
        scaling.SetXOffsetPosition(7);
        scaling.SetYRangePosition(3);
        scaling.SetYOffsetPosition(-4);
        scaling.SetZRangePosition(30);
        scaling.SetZOffsetPosition(12);
        scaling.SetAzimuth(30);
        scaling.SetElevation(-20);
        view.z0 = 9.5f;
        graph.xmin = -3.0f;
        graph.zmax = 4.0f;
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
    // Without the angle reset: the angles and the ready flag stay.
    MoveEverything();
    gate.viewReady = false;
    scaling.dragRedrawHold = true;
    scaling.AutoScale(false);
    EXPECT_EQ(view.azimuth, 30);
    EXPECT_EQ(view.elevation, -20);
    EXPECT_FALSE(gate.viewReady);
    EXPECT_FALSE(scaling.dragRedrawHold);

    gate.viewReady = true;
    MoveEverything();
    scaling.AutoScale(true);
    EXPECT_EQ(presenter.frames, 0);
    EXPECT_TRUE(gate.viewReady);
    EXPECT_TRUE(gate.redrawPending);  // the bars' handlers ran
    EXPECT_THAT(Positions(), ElementsAre(21, 21, 21, 0, 0, 0));
    EXPECT_THAT(Scales(), ElementsAre(1.0f, 1.0f, -1.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_THAT((std::vector<float>{graph.xmin, graph.xmax, graph.ymin, graph.ymax, graph.zmin,
                                    graph.zmax}),
                ElementsAre(-1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f));
    EXPECT_EQ(view.z0, 16.0f);
    EXPECT_EQ(view.azimuth, 0);
    EXPECT_EQ(view.elevationRadians, 0.0);
}

TEST_F(Scaling, ZScaleAndShiftFollowTheInversionSign) {
    view.zInvert = true;
    scaling.AutoScale(true);
    EXPECT_EQ(graph.zscale, 1.0f);

    view.zInvert = false;
    scaling.SetZRangePosition(28);
    scaling.SetZOffsetPosition(9);
    EXPECT_EQ(graph.zscale, -10.0f);
    EXPECT_FLOAT_EQ(graph.zshift, -Offset(9));

    view.zInvert = true;
    scaling.ApplyZSign();
    EXPECT_EQ(graph.zscale, 10.0f);
    EXPECT_FLOAT_EQ(graph.zshift, Offset(9));
    EXPECT_EQ(view.zRangePosition, 28);
    EXPECT_EQ(view.zOffsetPosition, 9);
}

TEST_F(Scaling, EachBarSetsItsScaleOrShiftAndRedrawsOnce) {
    scaling.SetXRangePosition(28);
    scaling.SetYRangePosition(14);
    scaling.SetXOffsetPosition(5);
    scaling.SetYOffsetPosition(-20);
    scaling.SetZOffsetPosition(40);  // zInvert off
    EXPECT_EQ(presenter.frames, 5);
    EXPECT_EQ(graph.xscale, 10.0f);
    EXPECT_EQ(graph.yscale, 0.1f);
    EXPECT_EQ(graph.xshift, Offset(5));
    EXPECT_FLOAT_EQ(graph.yshift, -10.0f / 9.0f);
    EXPECT_FLOAT_EQ(graph.zshift, -20.0f / 9.0f);

    // While the view is not ready a redraw only marks the frame.
    gate.viewReady = false;
    gate.redrawPending = false;
    scaling.SetXRangePosition(30);
    EXPECT_EQ(presenter.frames, 5);
    EXPECT_TRUE(gate.redrawPending);
}

TEST_F(Scaling, PositionsStayOnTheirBarsAndAnUnchangedOneDoesNothing) {
    scaling.SetXRangePosition(500);
    scaling.SetYRangePosition(-3);
    scaling.SetZRangePosition(78);
    scaling.SetXOffsetPosition(21);
    scaling.SetYOffsetPosition(-21);
    scaling.SetZOffsetPosition(-99);
    scaling.SetAzimuth(181);
    EXPECT_THAT(Positions(), ElementsAre(77, 0, 77, 20, -20, -40));
    EXPECT_EQ(graph.xscale, 100000000.0f);
    EXPECT_EQ(graph.yscale, 0.001f);
    EXPECT_EQ(view.azimuth, 180);
    presenter.frames = 0;

    // Already there, once clamped: no handler, no redraw, the record untouched.
    graph.xscale = 123.0f;
    const GraphRecord before = graph;
    scaling.SetXRangePosition(77);
    scaling.SetXRangePosition(1000);
    scaling.SetXOffsetPosition(20);
    scaling.SetZOffsetPosition(-40);
    EXPECT_TRUE(SameRecord(graph, before));
    EXPECT_EQ(presenter.frames, 0);
}

TEST_F(Scaling, SaveThenRestoreBringsTheScaleBack) {
    scaling.SetXRangePosition(28);
    scaling.SetXOffsetPosition(5);
    scaling.SetZRangePosition(14);
    scaling.SetZOffsetPosition(-3);
    view.z0 = 12.25f;
    scaling.SaveScaleSettings();
    EXPECT_EQ(store.size(), 19u);
    double value = 0.0;
    ASSERT_TRUE(store.ReadFloat("XRangeScrollBar.Position", value));
    EXPECT_EQ(value, 28.0);

    scaling.AutoScale(true);
    presenter.frames = 0;
    scaling.RestoreScaleSettings();
    EXPECT_EQ(presenter.frames, 0);
    EXPECT_TRUE(gate.viewReady);
    EXPECT_THAT(Positions(), ElementsAre(28, 21, 14, 5, 0, -3));
    EXPECT_EQ(graph.xscale, 10.0f);
    EXPECT_EQ(graph.zscale, -0.1f);
    EXPECT_FLOAT_EQ(graph.zshift, Offset(3));
    EXPECT_EQ(view.z0, 12.25f);
}

TEST_F(Scaling, RestoreWithNothingStoredChangesNothing) {
    MoveEverything();
    const GraphRecord before = graph;
    const std::vector<int> positions = Positions();
    scaling.RestoreScaleSettings();
    EXPECT_TRUE(SameRecord(graph, before));
    EXPECT_EQ(Positions(), positions);
    EXPECT_EQ(view.z0, 9.5f);
    EXPECT_EQ(presenter.frames, 0);
    EXPECT_FALSE(gate.redrawPending);
}

TEST_F(Scaling, RestoreAppliesEachPositionAfterItsScale) {
    // A position that moves the bar lets its handler replace the value just read; one that
    // does not leaves the read value in place.
    store.WriteFloat("graph.xscale", 3.0);
    store.WriteFloat("XRangeScrollBar.Position", 28.0);
    store.WriteFloat("graph.yscale", 3.0);
    store.WriteFloat("YRangeScrollBar.Position", 21.0);
    scaling.RestoreScaleSettings();
    EXPECT_EQ(graph.xscale, 10.0f);
    EXPECT_EQ(graph.yscale, 3.0f);
}

TEST_F(Scaling, RestoreTruncatesClampsAndSkipsValuesThatCannotBeUsed) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    store.WriteFloat("XRangeScrollBar.Position", 27.9);
    store.WriteFloat("XOffsetScrollBar.Position", -3.7);
    store.WriteFloat("YRangeScrollBar.Position", 500.0);
    store.WriteFloat("ZRangeScrollBar.Position", nan);
    store.WriteFloat("ZOffsetScrollBar.Position", 1e300);
    store.WriteFloat("graph.xmin", nan);
    store.WriteFloat("graph.ymax", 1e300);
    store.WriteFloat("graph.zmin", -2.5);
    store.WriteFloat("z0", std::numeric_limits<double>::infinity());
    scaling.RestoreScaleSettings();
    EXPECT_THAT(Positions(), ElementsAre(27, 77, 21, -3, 0, 0));
    EXPECT_EQ(graph.xscale, 8.0f);
    EXPECT_EQ(graph.xmin, -1.0f);
    EXPECT_EQ(graph.ymax, 1.0f);
    EXPECT_EQ(graph.zmin, -2.5f);
    EXPECT_EQ(view.z0, 16.0f);
    EXPECT_EQ(presenter.frames, 0);
    // The eye must stand in front of the cube.
    for (const double z0 : {0.0, -4.0}) {
        store.WriteFloat("z0", z0);
        scaling.RestoreScaleSettings();
        EXPECT_EQ(view.z0, 16.0f) << z0;
    }
}

}  // namespace
}  // namespace ocuvis
