#include "render/animation/ColourQuantizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace ocuvis {
namespace {

int Channel(std::uint32_t colour, int shift) {
    return colour >> shift & 0xFF;
}

double Distance(std::uint32_t a, std::uint32_t b) {
    double sum = 0;
    for (int shift : {0, 8, 16}) {
        const double d = Channel(a, shift) - Channel(b, shift);
        sum += d * d;
    }
    return std::sqrt(sum);
}

std::uint32_t Rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(b);
}

std::vector<ColourCount> RandomColours(int count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<ColourCount> colours;
    std::vector<std::uint32_t> seen;
    while (static_cast<int>(colours.size()) < count) {
        const std::uint32_t colour = random() & 0xFFFFFF;
        if (std::find(seen.begin(), seen.end(), colour) != seen.end()) continue;
        seen.push_back(colour);
        colours.push_back({colour, 1 + static_cast<std::uint32_t>(random() % 20)});
    }
    return colours;
}

// Six hues, each darkened in 170 steps, as a point cloud shaded by depth.
std::vector<ColourCount> ShadedHues() {
    const std::uint32_t hues[] = {0xFFFFFF, 0xFF4040, 0x40FF40, 0x4080FF, 0xFFFF40, 0xC040FF};
    std::vector<ColourCount> colours;
    for (std::uint32_t hue : hues) {
        for (int step = 0; step < 170; ++step) {
            const double light = 0.3 + 0.7 * step / 169.0;
            const auto shade = [&](int shift) {
                return static_cast<int>(std::lround(Channel(hue, shift) * light));
            };
            colours.push_back({Rgb(shade(16), shade(8), shade(0)), 3});
        }
    }
    return colours;
}

TEST(ChoosePalette, AsManyColoursAsAllowedOrFewerAreKeptExactly) {
    const std::pair<int, int> cases[] = {{1, 256}, {17, 256}, {256, 256}, {255, 255}};
    for (const auto& [count, allowed] : cases) {
        const std::vector<ColourCount> colours = RandomColours(count, 3);
        std::vector<std::uint32_t> expected;
        for (const ColourCount& c : colours)
            expected.push_back(c.colour);
        std::vector<std::uint32_t> palette = ChoosePalette(colours, allowed);
        std::sort(palette.begin(), palette.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(palette, expected) << count << " of " << allowed;
    }
}

// A palette fitted well keeps every colour near an entry. The bounds leave some room over what
// a good fit reaches and are well below what a poor one does: a fixed grid of colours
// (6 x 7 x 6 levels) misses the shaded hues and the random colours by 23 on average.
TEST(ChoosePalette, MoreColoursAreEachNearAnEntryOfTheAllowedNumber) {
    struct Case {
        const char* name;
        std::vector<ColourCount> colours;
        int allowed;
        double worst;
        double mean;
    };
    std::vector<ColourCount> ramp;
    for (int i = 0; i < 1024; ++i)
        ramp.push_back({Rgb(i / 4, 255 - i / 4, (i * 3 / 4) % 256), 5});
    const Case cases[] = {
        {"a ramp of 1024 colours", ramp, 255, 4, 1.5},
        {"six hues shaded by depth", ShadedHues(), 255, 6, 2},
        {"colours spread at random", RandomColours(3000, 11), 255, 55, 20},
        {"random colours into 16", RandomColours(500, 12), 16, 110, 55},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint32_t> palette = ChoosePalette(c.colours, c.allowed);
        EXPECT_EQ(static_cast<int>(palette.size()), c.allowed) << c.name;
        const NearestColour nearest(palette);
        double worst = 0, sum = 0, pixels = 0;
        for (const ColourCount& colour : c.colours) {
            const double error = Distance(colour.colour, palette[nearest(colour.colour)]);
            worst = std::max(worst, error);
            sum += error * colour.count;
            pixels += colour.count;
        }
        EXPECT_LE(worst, c.worst) << c.name;
        EXPECT_LE(sum / pixels, c.mean) << c.name;
    }
}

TEST(ChoosePalette, TheBackgroundThatFillsMostOfTheFrameKeepsItsColour) {
    std::vector<ColourCount> colours = RandomColours(2000, 5);
    colours.push_back({0x000000, 500000});
    colours.push_back({0x010101, 2});
    const std::vector<std::uint32_t> palette = ChoosePalette(colours, 255);
    EXPECT_NE(std::find(palette.begin(), palette.end(), 0x000000u), palette.end());
}

TEST(NearestColour, FindsTheClosestEntryAndTheLowestIndexAmongEqualOnes) {
    std::mt19937 random(9);
    for (int size : {1, 2, 7, 64, 256}) {
        std::vector<std::uint32_t> palette;
        for (int i = 0; i < size; ++i)
            palette.push_back(random() & 0xFFFFFF);
        // Repeated entries and coarse colours make ties.
        palette.push_back(palette.front());
        for (int i = 0; i < size; ++i)
            palette.push_back(random() & 0xC0C0C0);
        const NearestColour nearest(palette);
        for (int probe = 0; probe < 2000; ++probe) {
            const std::uint32_t colour = probe % 2 ? random() & 0xFFFFFF : random() & 0xE0E0E0;
            int expected = 0;
            for (int i = 1; i < static_cast<int>(palette.size()); ++i)
                if (Distance(colour, palette[i]) < Distance(colour, palette[expected]))
                    expected = i;
            ASSERT_EQ(nearest(colour), expected) << size << " entries, colour " << colour;
        }
    }
}

}  // namespace
}  // namespace ocuvis
