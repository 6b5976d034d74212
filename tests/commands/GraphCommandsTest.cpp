#include <limits>

#include "CommandFixture.h"

namespace ocuvis {
namespace {

using GraphCommandsTest = CommandFixture;

// A stored value may be anything: the step wraps past the last item without overflowing, and
// values below the first item step up as the classic cycle does. The checked menu item follows
// values within the menu; one outside it leaves the item as it was.
TEST_F(GraphCommandsTest, CyclingFromAnyStoredValue) {
    constexpr std::int32_t kTop = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kBottom = std::numeric_limits<std::int32_t>::min();
    using V = GraphViewState;
    const struct {
        void (GraphCommands::*button)();
        std::int32_t V::*value, V::*item;
        std::int32_t last;
    } buttons[] = {{&GraphCommands::PointsSpdBtnClick, &V::pointSize, &V::pointsPixelItem, 6},
                   {&GraphCommands::LinesSpdBtnClick, &V::lineThickness, &V::linesPixelItem, 3},
                   {&GraphCommands::GridSpdBtnClick, &V::gridThickness, &V::gridPixelItem, 3}};
    for (const auto& b : buttons) {
        const std::pair<std::int32_t, std::int32_t> steps[] = {
            {0, 1},   {b.last - 1, b.last},  {b.last, 0}, {5 + b.last, 0}, {kTop, 0},
            {-5, -4}, {kBottom, kBottom + 1}};
        for (const auto& [from, to] : steps) {
            view.*b.value = from;
            view.*b.item = 99;
            EXPECT_EQ(FramesFrom([&] { (commands.*b.button)(); }), 1);
            EXPECT_EQ(view.*b.value, to) << "last " << b.last << ", from " << from;
            EXPECT_EQ(view.*b.item, to >= 0 ? to : 99) << "last " << b.last << ", from " << from;
        }
    }
    commands.SetGridThickness(2);
    commands.SetGridThickness(7);  // as a stored value may be
    EXPECT_EQ(std::pair(view.gridThickness, view.gridPixelItem), std::pair(7, 2));
}

TEST_F(GraphCommandsTest, FullBoxForcesAHiddenGridBackEitherWay) {
    for (const bool box : {true, false}) {
        commands.SetGridThickness(0);
        EXPECT_EQ(FramesFrom([&] { commands.FullGridClick(); }), 1);
        EXPECT_EQ(view.fullBoxGrid, box);
        EXPECT_EQ(view.gridPixelItem, 1);
    }
    commands.SetGridThickness(3);
    commands.FullGridClick();
    EXPECT_EQ(view.gridThickness, 3);
}

// Titles shown by an edit and the aspect button, which only stores, besides the scale.
TEST_F(GraphCommandsTest, ScaleTitleAndAspectCommandsRedrawOnlyWhenTheFrameChanges) {
    scaling.SetZRangePosition(28);
    EXPECT_EQ(FramesFrom([&] { commands.ZInvertItemClick(); }), 1);
    EXPECT_FLOAT_EQ(graph.zscale, 10.0f);
    commands.ZInvertSpdBtnClick(false);
    EXPECT_FLOAT_EQ(graph.zscale, -10.0f);
    scaling.SetAzimuth(30);
    EXPECT_EQ(FramesFrom([&] { commands.AutoScaleItemClick(); }), 1);
    EXPECT_EQ(std::pair(view.zRangePosition, view.azimuth), std::pair(21, 0));
    EXPECT_EQ(FramesFrom([&] { commands.TitlesEdited(); }), 1);
    EXPECT_TRUE(view.titles);
    EXPECT_EQ(FramesFrom([&] { commands.AspectRatioSpdBtnClick(true); }), 0);
    EXPECT_TRUE(view.fixedAspect);
}

TEST_F(GraphCommandsTest, ForegroundColoursMustDifferFromTheBackground) {
    const struct {
        void (GraphCommands::*command)(ColorChooser&);
        Colour GraphViewState::*field;
        std::string name;
        MessageIcon icon;
    } cases[] = {{&GraphCommands::DotsColorSetupItemClick, &GraphViewState::dotColor, "Dots",
                  MessageIcon::Information},
                 {&GraphCommands::LinesColorSetupItemClick, &GraphViewState::lineColor, "Lines",
                  MessageIcon::Stop},
                 {&GraphCommands::GridColorSetupItemClick, &GraphViewState::gridColor, "Grid",
                  MessageIcon::Stop},
                 {&GraphCommands::TextColorSetupItemClick, &GraphViewState::textColor, "Text",
                  MessageIcon::Stop}};
    ScriptedChooser chooser;
    for (const auto& c : cases) {
        const Colour before = view.*c.field;
        chooser.answers = {0x000000, 0x00FF00};  // the background, then another
        (commands.*c.command)(chooser);
        EXPECT_EQ(view.*c.field, before) << c.name;
        EXPECT_EQ(feedback.shown.back(),
                  (test::ShownMessage{c.name + " color cannot be same as Background color.",
                                      "Ocuvis Error Message", c.icon}));
        EXPECT_EQ(FramesFrom([&] { (commands.*c.command)(chooser); }), 1);
        EXPECT_EQ(view.*c.field, 0x00FF00u) << c.name;
    }
}

TEST_F(GraphCommandsTest, ABackgroundLikeAForegroundStaysAndWarnsOnce) {
    ScriptedChooser chooser;
    chooser.answers = {0xFFFFFF, std::nullopt};  // the text and dot colour, then cancelled
    EXPECT_EQ(FramesFrom([&] { commands.BackgoundColorSetupItemClick(chooser); }), 1);
    EXPECT_EQ(FramesFrom([&] { commands.BackgoundColorSetupItemClick(chooser); }), 0);
    EXPECT_EQ(view.backgroundColor, 0xFFFFFFu);
    ASSERT_EQ(feedback.shown.size(), 1u);
    EXPECT_EQ(feedback.shown[0].title + ": " + feedback.shown[0].text,
              "Ocuvis Warning Message: Warning:  One or more of Dots, Lines, Grid, and Text colors "
              "are same as Background color.");
    commands.DefaultColorsSetupItemClick();
    EXPECT_EQ(view.backgroundColor, 0x000000u);
}

}  // namespace
}  // namespace ocuvis
