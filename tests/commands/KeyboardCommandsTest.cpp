#include <QKeyEvent>

#include "CommandFixture.h"
#include "KeyCodes.h"

namespace ocuvis {
namespace {

using KeyboardTest = CommandFixture;

TEST(KeyCodes, ModifiersAddOneTermOnly) {
    EXPECT_EQ(KeyCode(VirtualKeyFromQt(Qt::Key_A), Qt::ControlModifier | Qt::ShiftModifier), 2065);
    EXPECT_EQ(KeyCode(VirtualKeyFromQt(Qt::Key_Shift), Qt::ShiftModifier), 1016);
    EXPECT_EQ(KeyCode(VirtualKeyFromQt(Qt::Key_Control), Qt::ControlModifier), 2017);
    EXPECT_EQ(KeyCode(VirtualKeyFromQt(Qt::Key_Alt), Qt::AltModifier), 3018);
    EXPECT_EQ(KeyCode(VirtualKeyFromQt(Qt::Key_Shift), Qt::NoModifier), 1016);
    EXPECT_EQ(KeyCode(VirtualKeyFromQt(Qt::Key_F2), Qt::ShiftModifier), 1113);
    // Shift+comma arrives as '<' and is still the comma key.
    EXPECT_EQ(KeyCode(VirtualKeyFromQt(Qt::Key_Less), Qt::ShiftModifier), 1188);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Escape), 27);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Down), 40);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F12), 123);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Period), 190);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_5, Qt::KeypadModifier), 101);
}

TEST_F(KeyboardTest, ArrowsWrapAtTheAngleEnds) {
    scaling.SetAzimuth(180);
    keys.FormKeyDown(39);
    EXPECT_EQ(view.azimuth, -179);
    scaling.SetAzimuth(-180);
    keys.FormKeyDown(37);
    EXPECT_EQ(view.azimuth, 179);
    scaling.SetElevation(180);
    keys.FormKeyDown(38);
    EXPECT_EQ(view.elevation, -179);
    scaling.SetElevation(-180);
    keys.FormKeyDown(40);
    EXPECT_EQ(view.elevation, 179);
    EXPECT_EQ(host.status, "Key Code = 40");
}

TEST_F(KeyboardTest, RangeKeysStopSilentlyAndOffsetKeysBeepAtTheirEnds) {
    scaling.SetXRangePosition(77);
    EXPECT_EQ(FramesFrom([&] { keys.FormKeyDown(113); }), 0);
    EXPECT_EQ(view.xRangePosition, 77);
    EXPECT_TRUE(feedback.beeps.empty());

    scaling.SetXOffsetPosition(20);
    keys.FormKeyDown(1113);
    EXPECT_EQ(view.xOffsetPosition, 20);
    ASSERT_EQ(feedback.beeps.size(), 1u);
    EXPECT_EQ(feedback.beeps[0], BeepKind::Hand);

    scaling.SetZOffsetPosition(-40);
    keys.FormKeyDown(1116);
    EXPECT_EQ(feedback.beeps.size(), 2u);
    EXPECT_EQ(FramesFrom([&] { keys.FormKeyDown(1117); }), 1);
    EXPECT_EQ(view.zOffsetPosition, -39);
    EXPECT_EQ(FramesFrom([&] { keys.FormKeyDown(114); }), 1);
    EXPECT_EQ(view.yRangePosition, 20);
}

TEST_F(KeyboardTest, GCyclesTheGridAndTheCheckMarkFollows) {
    const int expected[] = {2, 3, 0, 1};
    for (int width : expected) {
        EXPECT_EQ(FramesFrom([&] { keys.FormKeyDown(71); }), 1);
        EXPECT_EQ(view.gridThickness, width);
        EXPECT_EQ(view.gridPixelItem, width);
    }
    commands.SetGridThickness(7);
    keys.FormKeyDown(1071);
    EXPECT_EQ(view.gridThickness, 0);
}

TEST_F(KeyboardTest, FSwitchesTheBoxAndForcesTheGridOn) {
    commands.SetGridThickness(0);
    keys.FormKeyDown(70);
    EXPECT_TRUE(view.fullBoxGrid);
    EXPECT_EQ(view.gridThickness, 1);
    EXPECT_EQ(view.gridPixelItem, 1);
    commands.SetGridThickness(0);
    keys.FormKeyDown(1070);
    EXPECT_FALSE(view.fullBoxGrid);
    EXPECT_EQ(view.gridThickness, 1);
}

TEST_F(KeyboardTest, SSpeedsUpAndWrapsFromTheFastest) {
    rotation.SecClick(11);
    keys.FormKeyDown(83);
    EXPECT_EQ(view.rotateSpeedIndex, 0);
    EXPECT_EQ(view.rotateDelay, 1000);
    rotation.SecClick(10);
    keys.FormKeyDown(1083);
    EXPECT_EQ(view.rotateSpeedIndex, 11);
    EXPECT_EQ(view.rotateDelay, 20);
    EXPECT_TRUE(feedback.beeps.empty());
}

TEST_F(KeyboardTest, UnknownKeysStopRotationButKnownOnesAndModifiersDoNot) {
    view.rotateAzimuth = view.rotateElevation = true;
    keys.FormKeyDown(112);   // F1
    keys.FormKeyDown(1016);  // Shift alone
    EXPECT_EQ(host.status, "Key Code = 1016");
    EXPECT_TRUE(view.rotateAzimuth && view.rotateElevation);

    keys.FormKeyDown(81);  // Q
    EXPECT_FALSE(view.rotateAzimuth || view.rotateElevation);

    view.rotateAzimuth = true;
    keys.FormKeyDown(2065);  // Ctrl+Shift+A is not A: no auto scale
    EXPECT_FALSE(view.rotateAzimuth);
    EXPECT_EQ(view.xRangePosition, 20);  // where F1 left it
}

TEST_F(KeyboardTest, XAndYToggleTheRotationsAndArrowsStopTheirAxis) {
    keys.FormKeyDown(89);
    keys.FormKeyDown(1088);
    EXPECT_TRUE(view.rotateAzimuth && view.rotateElevation);
    keys.FormKeyDown(40);
    EXPECT_FALSE(view.rotateElevation);
    EXPECT_TRUE(view.rotateAzimuth);
    keys.FormKeyDown(37);
    EXPECT_FALSE(view.rotateAzimuth);
}

TEST_F(KeyboardTest, F7AndF8RunTheArrowThroughTheWholeHandler) {
    EXPECT_EQ(FramesFrom([&] { keys.FormKeyDown(118); }), 1);
    EXPECT_EQ(view.elevation, 1);
    EXPECT_EQ(host.status, "Key Code = 38");
    keys.FormKeyDown(119);
    EXPECT_EQ(view.azimuth, 1);
    keys.FormKeyDown(1118);
    EXPECT_EQ(view.elevation, 0);
    keys.FormKeyDown(1119);
    EXPECT_EQ(view.azimuth, 0);
    EXPECT_EQ(host.status, "Key Code = 37");
}

TEST_F(KeyboardTest, PerspectiveKeysMultiplyTheUnboundedDistance) {
    keys.FormKeyDown(122);
    EXPECT_EQ(view.z0, static_cast<float>(16.0f * 1.1));
    keys.FormKeyDown(1188);
    EXPECT_EQ(view.z0, static_cast<float>(static_cast<float>(16.0f * 1.1) * 1.1));
    view.z0 = 16.0f;
    keys.FormKeyDown(190);
    EXPECT_EQ(view.z0, static_cast<float>(16.0L / 1.1L));
    for (int i = 0; i < 300; ++i)
        keys.FormKeyDown(188);
    EXPECT_GT(view.z0, 1e12f);
}

TEST_F(KeyboardTest, AResetsTheScaleWithOneRedrawAndEscCloses) {
    scaling.SetYRangePosition(30);
    scaling.SetElevation(45);
    EXPECT_EQ(FramesFrom([&] { keys.FormKeyDown(65); }), 1);
    EXPECT_EQ(view.yRangePosition, 21);
    EXPECT_EQ(view.elevation, 0);
    keys.FormKeyDown(27);
    EXPECT_EQ(host.closes, 1);
}

}  // namespace
}  // namespace ocuvis
