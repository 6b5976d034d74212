#include "CommandFixture.h"

namespace ocuvis {
namespace {

using RotationTest = CommandFixture;

TEST_F(RotationTest, TicksTurnOneDegreeAndWrapPast180) {
    rotation.AzimuthItemClick();
    scaling.SetAzimuth(179);
    rotation.RotateTimerTimer();
    EXPECT_EQ(view.azimuth, 180);
    rotation.RotateTimerTimer();
    EXPECT_EQ(view.azimuth, -179);
    EXPECT_EQ(view.elevation, 0);
}

TEST_F(RotationTest, ATickRendersTwiceWithOneOrBothAxesAndNeverWithNone) {
    EXPECT_EQ(FramesFrom([&] { rotation.RotateTimerTimer(); }), 0);
    rotation.AzimuthItemClick();
    EXPECT_EQ(FramesFrom([&] { rotation.RotateTimerTimer(); }), 2);
    rotation.ElevationItemClick();
    EXPECT_EQ(FramesFrom([&] { rotation.RotateTimerTimer(); }), 2);
    rotation.AzimuthItemClick();
    EXPECT_EQ(FramesFrom([&] { rotation.RotateTimerTimer(); }), 2);
}

TEST_F(RotationTest, SpeedCommandsStopAtBothEndsWithABeep) {
    rotation.SecClick(11);
    rotation.FasterItemClick();
    EXPECT_EQ(view.rotateSpeedIndex, 11);
    rotation.SecClick(0);
    rotation.SlowerItemClick();
    EXPECT_EQ(view.rotateSpeedIndex, 0);
    EXPECT_EQ(feedback.beeps, (std::vector<BeepKind>{BeepKind::Hand, BeepKind::Hand}));

    rotation.SecClick(4);
    EXPECT_EQ(view.rotateDelay, 200);
    rotation.FasterItemClick();
    EXPECT_EQ(view.rotateSpeedIndex, 5);
    EXPECT_EQ(view.rotateDelay, 167);
    rotation.SecClick(10);
    EXPECT_EQ(view.rotateDelay, 33);
    EXPECT_EQ(presenter.frames, 0);  // speed changes never redraw
}

TEST_F(RotationTest, DraggingBothAnglesRedrawsOnce) {
    scaling.SetAzimuth(10);
    rotation.GraphBoxMouseDown(true, 100, 100);
    EXPECT_EQ(FramesFrom([&] { rotation.GraphBoxMouseMove(true, 130, 80); }), 1);
    EXPECT_EQ(view.azimuth, -20);
    EXPECT_EQ(view.elevation, 20);
    // Only one angle changes: its own handler redraws.
    EXPECT_EQ(FramesFrom([&] { rotation.GraphBoxMouseMove(true, 131, 80); }), 1);
    EXPECT_EQ(view.azimuth, -21);
    EXPECT_EQ(FramesFrom([&] { rotation.GraphBoxMouseMove(false, 0, 0); }), 0);
}

TEST_F(RotationTest, DragWrapsOnceAndClampsTheRest) {
    rotation.GraphBoxMouseDown(true, 300, 50);
    rotation.GraphBoxMouseMove(true, 50, 50);  // 250 pixels left
    EXPECT_EQ(view.azimuth, -110);
    rotation.GraphBoxMouseMove(true, 1000, 50);  // 700 pixels right: -700 + 360
    EXPECT_EQ(view.azimuth, -180);
    rotation.GraphBoxMouseDown(false, 0, 0);  // other buttons leave the start alone
    rotation.GraphBoxMouseMove(true, 300, 10);
    EXPECT_EQ(view.elevation, 40);
}

TEST_F(RotationTest, UserScrollingStopsOnlyItsAxis) {
    view.rotateAzimuth = view.rotateElevation = true;
    rotation.AzimuthScrollBarScroll();
    EXPECT_FALSE(view.rotateAzimuth);
    EXPECT_TRUE(view.rotateElevation);
    rotation.ElevationScrollBarScroll();
    EXPECT_FALSE(view.rotateElevation);
}

}  // namespace
}  // namespace ocuvis
