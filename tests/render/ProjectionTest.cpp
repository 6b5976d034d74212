#include "render/Projection.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "FrameTestSupport.h"

namespace ocuvis {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

Projection ProjectionOf(ViewType type, int azimuth = 0, int elevation = 0, float z0 = 16.0f) {
    GraphViewState view;
    view.viewType = type;
    view.azimuthRadians = AngleRadians(azimuth);
    view.elevationRadians = AngleRadians(elevation);
    view.z0 = z0;
    return Projection(view, GraphRecord{}, 780, 239);
}

TEST(Projection, FrameExtentsOfTheDefaultCube) {
    const struct {
        ViewType type;
        float halfWidth, eyeOffset;
    } cases[] = {{ViewType::WallEyes, 2.13333f, 1},
                 {ViewType::RightBlue, 1.06667f, 1},
                 {ViewType::Single, 1.06667f, 0}};
    for (const auto& c : cases) {
        const Projection p = ProjectionOf(c.type);
        const float actual[] = {p.frameLeft, p.frameRight, p.frameBottom, p.frameTop, p.eyeOffset};
        const float expected[] = {-c.halfWidth, c.halfWidth, -1.04118f, 0.96667f, c.eyeOffset};
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(actual[i], expected[i], 5e-5) << ViewTypeName(c.type) << " " << i;
    }
}

TEST(Projection, PixelPositionsAt780By239) {
    const struct {
        ViewType type;
        int azimuth, elevation;
        float x, y, z;  // plot coordinates
        int first, second, row;
    } cases[] = {{ViewType::Single, 0, 0, 0, 0, 0, 390, 0, 115},
                 {ViewType::CrossEyes, 0, 0, 0, 0, 0, 572, 207, 115},
                 // Both anaglyph images of the centre fall on one column.
                 {ViewType::RightRed, 0, 0, 0, 0, 0, 390, 390, 115},
                 // Nearer, they part: blue right of red in right-red, left of it in right-blue.
                 {ViewType::RightRed, 0, 0, 0, 0, -0.5f, 401, 378, 115},
                 {ViewType::RightBlue, 0, 0, 0, 0, -0.5f, 378, 401, 115},
                 {ViewType::CrossEyes, 30, 20, 0.5f, 0.5f, 0.5f, 691, 333, 67},
                 {ViewType::WallEyes, 30, 20, 0.5f, 0.5f, 0.5f, 698, 325, 67},
                 {ViewType::Single, 30, 20, 0.5f, 0.5f, 0.5f, 634, 0, 67}};
    for (const auto& c : cases) {
        const Projection p = ProjectionOf(c.type, c.azimuth, c.elevation);
        const RotatedPosition r = p.Rotate(c.x, c.y, c.z);
        SCOPED_TRACE(std::string(ViewTypeName(c.type)) + " " + std::to_string(c.azimuth));
        EXPECT_EQ(p.FirstImageX(r.X, r.Y, r.Z), c.first);
        EXPECT_EQ(p.ImageY(r.X, r.Y, r.Z), c.row);
        if (p.Paired()) {
            EXPECT_EQ(p.SecondImageX(r.X, r.Y, r.Z), c.second);
        }
    }
}

TEST(Projection, RefusesPositionsAtOrBehindTheEyeOrNotFiniteAndHoldsPixels) {
    const Projection p = ProjectionOf(ViewType::CrossEyes, 0, 0, 4.0f);
    const std::pair<RotatedPosition, bool> cases[] = {{{0, 0, -3.9f}, true},
                                                      {{0, 0, -4.0f}, false},
                                                      {{kNaN, 0, 0}, false},
                                                      {{0, kInf, 0}, false},
                                                      {{0, 0, kNaN}, false}};
    for (const auto& [r, drawable] : cases)
        EXPECT_EQ(p.IsDrawable(r), drawable) << r.X << " " << r.Y << " " << r.Z;
    EXPECT_TRUE(p.FrameUsable());
    // The cube's near face at the eye: every frame edge divides by zero.
    const Projection flat = ProjectionOf(ViewType::CrossEyes, 0, 0, 1.0f);
    EXPECT_FALSE(flat.FrameUsable());
    EXPECT_FALSE(flat.IsDrawable({0.0f, 0.0f, 0.0f}));
    // Pixels are truncated and held to a range every canvas can take.
    const std::pair<float, int> pixels[] = {{12.9f, 12},        {-12.9f, -12},
                                            {3.0e9f, 16777216}, {-3.0e9f, -16777216},
                                            {kInf, 16777216},   {kNaN, -16777216}};
    for (const auto& [column, pixel] : pixels)
        EXPECT_EQ(Projection::TruncatePixel(column), pixel) << column;
}

}  // namespace
}  // namespace ocuvis
