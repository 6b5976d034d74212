#include "CommandFixture.h"
#include "ScaleSteps.h"

namespace ocuvis {
namespace {

using GraphCommandsTest = CommandFixture;

TEST_F(GraphCommandsTest, PixelSettersCheckTheMatchingItemAndKeepItForValuesOutsideTheMenu) {
    commands.SetGridThickness(3);
    EXPECT_EQ(view.gridPixelItem, 3);
    commands.SetGridThickness(7);  // as a stored value may be
    EXPECT_EQ(view.gridThickness, 7);
    EXPECT_EQ(view.gridPixelItem, 3);
    commands.SetPointSize(0);
    EXPECT_EQ(view.pointsPixelItem, 0);
    commands.SetLineThickness(-1);
    EXPECT_EQ(view.lineThickness, -1);
    EXPECT_EQ(view.linesPixelItem, 0);
}

TEST_F(GraphCommandsTest, CyclingButtonsWrapToNoneAndRedrawOnce) {
    view.pointSize = 6;
    EXPECT_EQ(FramesFrom([&] { commands.PointsSpdBtnClick(); }), 1);
    EXPECT_EQ(view.pointSize, 0);
    EXPECT_EQ(view.pointsPixelItem, 0);
    commands.PointsSpdBtnClick();
    EXPECT_EQ(view.pointSize, 1);

    commands.SetGridThickness(7);
    commands.GridSpdBtnClick();
    EXPECT_EQ(view.gridThickness, 0);
    EXPECT_EQ(view.gridPixelItem, 0);
    view.lineThickness = 2;
    commands.LinesSpdBtnClick();
    commands.LinesSpdBtnClick();
    EXPECT_EQ(view.lineThickness, 0);
}

TEST_F(GraphCommandsTest, FullBoxForcesAHiddenGridBackEitherWay) {
    commands.SetGridThickness(0);
    commands.FullGridClick();
    EXPECT_TRUE(view.fullBoxGrid);
    EXPECT_EQ(view.gridThickness, 1);
    EXPECT_EQ(view.gridPixelItem, 1);

    commands.SetGridThickness(0);
    commands.FullGridClick();
    EXPECT_FALSE(view.fullBoxGrid);
    EXPECT_EQ(view.gridThickness, 1);

    commands.SetGridThickness(3);
    commands.FullGridClick();
    EXPECT_EQ(view.gridThickness, 3);
}

TEST_F(GraphCommandsTest, ZInversionFlipsScaleAndShiftWithoutMovingTheBars) {
    scaling.SetZRangePosition(28);
    scaling.SetZOffsetPosition(9);
    EXPECT_FLOAT_EQ(graph.zscale, -10.0f);
    EXPECT_LT(graph.zshift, 0.0f);

    EXPECT_EQ(FramesFrom([&] { commands.ZInvertItemClick(); }), 1);
    EXPECT_TRUE(view.zInvert);
    EXPECT_FLOAT_EQ(graph.zscale, 10.0f);
    EXPECT_FLOAT_EQ(graph.zshift, 9 * 2.5f / 45.0f);
    EXPECT_EQ(view.zRangePosition, 28);
    EXPECT_EQ(view.zOffsetPosition, 9);

    commands.ZInvertSpdBtnClick(false);
    EXPECT_FLOAT_EQ(graph.zscale, -10.0f);
}

TEST_F(GraphCommandsTest, AutoPutsBarsAndAnglesBackWithOneRedraw) {
    scaling.SetXRangePosition(40);
    scaling.SetXOffsetPosition(7);
    scaling.SetAzimuth(30);
    EXPECT_EQ(FramesFrom([&] { commands.AutoScaleItemClick(); }), 1);
    EXPECT_EQ(view.xRangePosition, 21);
    EXPECT_EQ(view.xOffsetPosition, 0);
    EXPECT_EQ(view.azimuth, 0);
    EXPECT_EQ(graph.xscale, ScaleSteps[21]);
    EXPECT_EQ(view.azimuthRadians, 0.0);
}

TEST_F(GraphCommandsTest, ForegroundColoursMustDifferFromTheBackground) {
    ScriptedChooser chooser;
    chooser.answers = {0x000000};  // the background
    commands.DotsColorSetupItemClick(chooser);
    ASSERT_EQ(feedback.shown.size(), 1u);
    EXPECT_EQ(feedback.shown[0].text, "Dots color cannot be same as Background color.");
    EXPECT_EQ(feedback.shown[0].title, "Ocuvis Error Message");
    EXPECT_EQ(feedback.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(view.dotColor, 0xFFFFFFu);

    struct Case {
        void (GraphCommands::*command)(ColourChooser&);
        Colour GraphViewState::*field;
        const char* text;
    };
    const Case cases[] = {
        {&GraphCommands::LinesColorSetupItemClick, &GraphViewState::lineColor,
         "Lines color cannot be same as Background color."},
        {&GraphCommands::GridColorSetupItemClick, &GraphViewState::gridColor,
         "Grid color cannot be same as Background color."},
        {&GraphCommands::TextColorSetupItemClick, &GraphViewState::textColor,
         "Text color cannot be same as Background color."},
    };
    for (const Case& c : cases) {
        const Colour before = view.*c.field;
        chooser.answers = {0x000000, 0x00FF00};
        (commands.*c.command)(chooser);
        EXPECT_EQ(view.*c.field, before) << c.text;
        EXPECT_EQ(feedback.shown.back().text, c.text);
        EXPECT_EQ(feedback.shown.back().icon, MessageIcon::Stop);
        EXPECT_EQ(FramesFrom([&] { (commands.*c.command)(chooser); }), 1);
        EXPECT_EQ(view.*c.field, 0x00FF00u) << c.text;
    }
}

TEST_F(GraphCommandsTest, ABackgroundLikeAForegroundStaysAndWarnsOnce) {
    ScriptedChooser chooser;
    chooser.answers = {0xFFFFFF};  // the text and dot colour
    EXPECT_EQ(FramesFrom([&] { commands.BackgoundColorSetupItemClick(chooser); }), 1);
    EXPECT_EQ(view.backgroundColor, 0xFFFFFFu);
    ASSERT_EQ(feedback.shown.size(), 1u);
    EXPECT_EQ(feedback.shown[0].title, "Ocuvis Warning Message");
    EXPECT_EQ(feedback.shown[0].text,
              "Warning:  One or more of Dots, Lines, Grid, and Text colors are same as "
              "Background color.");

    chooser.answers = {std::nullopt};  // cancelled
    EXPECT_EQ(FramesFrom([&] { commands.BackgoundColorSetupItemClick(chooser); }), 0);
    EXPECT_EQ(view.backgroundColor, 0xFFFFFFu);

    commands.DefaultColorsSetupItemClick();
    EXPECT_EQ(view.backgroundColor, 0x000000u);
    EXPECT_EQ(view.lineColor, 0xFF0000u);
    EXPECT_EQ(view.gridColor, 0x0000FFu);
}

}  // namespace
}  // namespace ocuvis
