#include "CommandFixture.h"

namespace ocuvis {
namespace {

using RotationTest = CommandFixture;

TEST_F(RotationTest, TicksTurnOneDegreeWrapPast180AndRenderPerAxisChange) {
    EXPECT_EQ(FramesFrom([&] { rotation.RotateTimerTimer(); }), 0);
    rotation.AzimuthItemClick();
    scaling.SetAzimuth(180);
    EXPECT_EQ(FramesFrom([&] { rotation.RotateTimerTimer(); }), 2);
    EXPECT_EQ(std::pair(view.azimuth, view.elevation), std::pair(-179, 0));
    rotation.ElevationItemClick();
    EXPECT_EQ(FramesFrom([&] { rotation.RotateTimerTimer(); }), 2);
    rotation.AzimuthScrollBarScroll();  // the user's bar stops only its own axis
    EXPECT_TRUE(view.rotateElevation);
    EXPECT_FALSE(view.rotateAzimuth);
}

TEST_F(RotationTest, SpeedCommandsStopAtBothEndsWithABeepAndNeverRedraw) {
    rotation.SecClick(11);
    rotation.FasterItemClick();
    EXPECT_EQ(view.rotateSpeedIndex, 11);
    rotation.SecClick(0);
    rotation.SlowerItemClick();
    EXPECT_EQ(view.rotateSpeedIndex, 0);
    EXPECT_EQ(feedback.beeps, (std::vector<BeepKind>{BeepKind::Hand, BeepKind::Hand}));
    rotation.SecClick(4);
    rotation.FasterItemClick();
    EXPECT_EQ(view.rotateDelay, 167);
    EXPECT_EQ(presenter.frames, 0);
}

TEST_F(RotationTest, DragsTurnFromTheStartRedrawOnceWrapOnceAndClampTheRest) {
    scaling.SetAzimuth(10);
    rotation.GraphBoxMouseDown(true, 100, 100);
    EXPECT_EQ(FramesFrom([&] { rotation.GraphBoxMouseMove(true, 130, 80); }), 1);
    EXPECT_EQ(std::pair(view.azimuth, view.elevation), std::pair(-20, 20));
    // Only one angle changes: its own handler redraws.
    EXPECT_EQ(FramesFrom([&] { rotation.GraphBoxMouseMove(true, 131, 80); }), 1);
    EXPECT_EQ(FramesFrom([&] { rotation.GraphBoxMouseMove(false, 0, 0); }), 0);

    rotation.GraphBoxMouseDown(true, 300, 50);  // from -21, 20
    rotation.GraphBoxMouseMove(true, 50, 50);   // 250 pixels left: 229 - 360
    EXPECT_EQ(view.azimuth, -131);
    rotation.GraphBoxMouseMove(true, 1000, 50);  // 700 pixels right: -721 + 360
    EXPECT_EQ(view.azimuth, -180);
    rotation.GraphBoxMouseDown(false, 0, 0);  // other buttons leave the start alone
    rotation.GraphBoxMouseMove(true, 300, 10);
    EXPECT_EQ(view.elevation, 60);
}

}  // namespace
}  // namespace ocuvis
