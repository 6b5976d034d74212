#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "settings/WindowFit.h"

namespace ocuvis {
namespace {

constexpr ScreenArea kMain{0, 0, 1920, 1040};
constexpr ScreenArea kRight{1920, 0, 1280, 1000};
// The main screen as a scale factor of 2 shows it.
constexpr ScreenArea kHalved{0, 0, 960, 520};
// A title bar of 24 rows and a border of 4 pixels.
constexpr FrameMargins kFrame{4, 24, 4, 4};

struct FitCase {
    const char* name;
    WindowBounds stored;  // top, left, height, width: the frame's place, the client's size
    std::vector<ScreenArea> screens;
    FrameMargins frame;
    WindowBounds expected;
};

TEST(WindowFit, KeepsWhatLiesOnTheScreensAndMovesOrShrinksTheRest) {
    const FitCase cases[] = {
        {"on the screen", {30, 100, 364, 790}, {kMain}, {}, {30, 100, 364, 790}},
        {"partly off at the right", {30, 1800, 364, 790}, {kMain}, {}, {30, 1130, 364, 790}},
        {"too large", {0, 0, INT_MAX, INT_MAX}, {kMain}, {}, {0, 0, 1040, 1920}},
        {"left at int limit", {30, 2147483000, 364, 790}, {kMain}, {}, {30, 1130, 364, 790}},
        {"above the top", {-500, 100, 364, 790}, {kMain}, {}, {0, 100, 364, 790}},
        {"below the bottom", {1030, 100, 364, 790}, {kMain}, {}, {676, 100, 364, 790}},
        {"far off at the lowest", {INT_MIN, INT_MIN, 364, 790}, {kMain}, {}, {0, 0, 364, 790}},
        {"nearest of two screens", {30, 5000, 364, 790}, {kMain, kRight}, {}, {30, 2410, 364, 790}},
        {"across two screens", {30, 1500, 364, 790}, {kMain, kRight}, {}, {30, 1500, 364, 790}},
        {"below the shorter", {800, 1500, 220, 790}, {kMain, kRight}, {}, {800, 1130, 220, 790}},
        {"sized by its screen", {0, 2000, 1040, 1920}, {kMain, kRight}, {}, {0, 1920, 1000, 1280}},
        {"no screen at all", {30, 2147483000, 364, 790}, {}, {}, {30, 2147483000, 364, 790}},
        // A place kept from a run at scale 1 leaves most of the window off the halved screen.
        {"scale changed", {400, 700, 300, 500}, {kHalved}, {}, {220, 460, 300, 500}},
        // The frame counts: a client as large as the screen leaves its frame's bottom rows off.
        {"client as large as the screen", {0, 0, 1040, 1920}, {kMain}, kFrame, {0, 0, 1012, 1912}},
        {"frame past the bottom", {700, 100, 320, 790}, {kMain}, kFrame, {692, 100, 320, 790}},
        {"frame beyond any screen", {0, 0, 364, 790}, {{0, 0, 20, 20}}, kFrame, {0, 0, 1, 12}},
    };
    for (const FitCase& c : cases)
        EXPECT_EQ(FitOnScreens(c.stored, c.screens, c.frame), c.expected) << c.name;
}

// The last row of the frame on the screen's last row stays; one row further is moved back.
// The same at the other three edges.
TEST(WindowFit, AFrameOnTheScreensEdgeStaysAndOneRowPastItMoves) {
    const int height = 1040 - 24 - 4 - 100;  // the frame's height is 1040 - 100
    const int width = 1920 - 8 - 200;        // the frame's width is 1920 - 200
    const struct {
        WindowBounds stored, expected;
    } cases[] = {
        {{100, 0, height, 790}, {100, 0, height, 790}},
        {{101, 0, height, 790}, {100, 0, height, 790}},
        {{0, 0, height, 790}, {0, 0, height, 790}},
        {{-1, 0, height, 790}, {0, 0, height, 790}},
        {{0, 200, 364, width}, {0, 200, 364, width}},
        {{0, 201, 364, width}, {0, 200, 364, width}},
        {{0, -1, 364, width}, {0, 0, 364, width}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitOnScreens(c.stored, std::vector{kMain}, kFrame), c.expected)
            << "top " << c.stored.top << " left " << c.stored.left;
}

}  // namespace
}  // namespace ocuvis
