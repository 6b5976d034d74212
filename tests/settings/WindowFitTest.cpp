#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "settings/WindowFit.h"

namespace ocuvis {
namespace {

constexpr ScreenArea kMain{0, 0, 1920, 1040};
constexpr ScreenArea kRight{1920, 0, 1280, 1000};

struct FitCase {
    const char* name;
    WindowBounds stored;  // top, left, height, width
    std::vector<ScreenArea> screens;
    WindowBounds expected;
};

TEST(WindowFit, KeepsWhatFitsAndBringsTheRestBackOnAScreen) {
    const FitCase cases[] = {
        {"partly off, title grabbable", {30, 1800, 364, 790}, {kMain}, {30, 1800, 364, 790}},
        {"too large", {0, 0, INT_MAX, INT_MAX}, {kMain}, {0, 0, 1040, 1920}},
        {"left at the integer limit", {30, 2147483000, 364, 790}, {kMain}, {30, 1130, 364, 790}},
        {"title a sliver at the right", {30, 1900, 364, 790}, {kMain}, {30, 1130, 364, 790}},
        {"above the top", {-500, 100, 364, 790}, {kMain}, {0, 100, 364, 790}},
        {"below the bottom", {1030, 100, 364, 790}, {kMain}, {676, 100, 364, 790}},
        {"far off at the lowest", {INT_MIN, INT_MIN, 364, 790}, {kMain}, {0, 0, 364, 790}},
        {"nearest of two screens", {30, 5000, 364, 790}, {kMain, kRight}, {30, 2410, 364, 790}},
        {"across two screens", {30, 1500, 364, 790}, {kMain, kRight}, {30, 1500, 364, 790}},
        {"sized by its own screen", {0, 2000, 1040, 1920}, {kMain, kRight}, {0, 1920, 1000, 1280}},
        {"no screen at all", {30, 2147483000, 364, 790}, {}, {30, 2147483000, 364, 790}},
    };
    for (const FitCase& c : cases)
        EXPECT_EQ(FitOnScreens(c.stored, c.screens), c.expected) << c.name;
}

}  // namespace
}  // namespace ocuvis
