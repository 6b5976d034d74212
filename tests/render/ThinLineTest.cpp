// A one-pixel line drawn band by band: each band of rows gets exactly the pixels the whole line
// has there, whatever the slope, including slopes whose rows change on exact pixel steps.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

#include "render/PixelBand.h"
#include "render/ThinLine.h"

using namespace ocuvis;

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels Rasterised(int x1, int y1, int x2, int y2, int rowBegin, int rowEnd) {
    Pixels pixels;
    RasteriseThinLine(x1, y1, x2, y2, 40, 30, rowBegin, rowEnd, [&](int x, int y) {
        pixels.insert({x, y});
    });
    return pixels;
}

TEST(ThinLineBands, TogetherGiveTheWholeLine) {
    struct Line {
        int x1, y1, x2, y2;
    };
    std::vector<Line> lines{{0, 0, 20, 10},  {0, 10, 20, 0},    {-5, 3, 39, 14}, {2, 29, 34, 21},
                            {3, 7, 35, 7},   {45, -4, -8, 33},  {0, 0, 32, 12},  {32, 1, 0, 13},
                            {10, 2, 11, 28}, {-20, 50, 60, -20}};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-10, 50);
    for (int i = 0; i < 200; ++i)
        lines.push_back(
            {coordinate(random), coordinate(random), coordinate(random), coordinate(random)});
    for (const Line& l : lines) {
        const Pixels whole = Rasterised(l.x1, l.y1, l.x2, l.y2, 0, 30);
        for (int split = 1; split < 30; ++split) {
            Pixels banded = Rasterised(l.x1, l.y1, l.x2, l.y2, 0, split);
            banded.merge(Rasterised(l.x1, l.y1, l.x2, l.y2, split, 30));
            ASSERT_EQ(banded, whole)
                << l.x1 << "," << l.y1 << " " << l.x2 << "," << l.y2 << " split at row " << split;
        }
    }
}

// A band's short lines take short cuts: they set what the rasteriser sets, at and beyond the
// frame's edges and the band's, and so do the lines just too long for them.
TEST(ThinLineBands, ShortLinesSetWhatTheRasteriserSets) {
    constexpr int kWidth = 6, kHeight = 5;
    std::vector<QRgb> image(kWidth * kHeight);
    for (const auto& [top, bottom] : {std::pair{0, kHeight}, {1, 3}, {2, 3}})
        for (int x = -3; x <= kWidth + 2; ++x)
            for (int y = -3; y <= kHeight + 2; ++y)
                for (int dx = -kShortThinLine - 1; dx <= kShortThinLine + 1; ++dx)
                    for (int dy = -kShortThinLine - 1; dy <= kShortThinLine + 1; ++dy) {
                        std::fill(image.begin(), image.end(), 0u);
                        const PixelBand band{image.data(), kWidth, kWidth, kHeight, top, bottom};
                        band.Line({x, y, x + dx, y + dy}, 1);
                        Pixels set;
                        for (int i = 0; i < kWidth * kHeight; ++i)
                            if (image[static_cast<std::size_t>(i)] != 0)
                                set.insert({i % kWidth, i / kWidth});
                        Pixels expected;
                        RasteriseThinLine(x, y, x + dx, y + dy, kWidth, kHeight, top, bottom,
                                          [&](int px, int py) {
                                              expected.insert({px, py});
                                          });
                        ASSERT_EQ(set, expected) << x << "," << y << " by " << dx << "," << dy
                                                 << " in rows " << top << ".." << bottom;
                    }
}

}  // namespace
