#include "Projection.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>

#include "FrameTestSupport.h"

namespace ocuvis {
namespace {

GraphViewState ViewOf(ViewType type, int azimuth = 0, int elevation = 0, float z0 = 16.0f) {
    GraphViewState view;
    view.viewType = type;
    view.azimuth = azimuth;
    view.elevation = elevation;
    view.azimuthRadians = AngleRadians(azimuth);
    view.elevationRadians = AngleRadians(elevation);
    view.z0 = z0;
    return view;
}

struct ExtentCase {
    ViewType type;
    float left, right, bottom, top, eyeOffset;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ExtentCase& c, std::ostream* os) {
    *os << ViewTypeName(c.type);
}

class FrameExtents : public testing::TestWithParam<ExtentCase> {};

TEST_P(FrameExtents, OfTheDefaultCube) {
    const ExtentCase& c = GetParam();
    const GraphViewState view = ViewOf(c.type);
    const Projection p(view, GraphRecord{}, 780, 239);
    EXPECT_NEAR(p.frameLeft, c.left, 5e-5);
    EXPECT_NEAR(p.frameRight, c.right, 5e-5);
    EXPECT_NEAR(p.frameBottom, c.bottom, 5e-5);
    EXPECT_NEAR(p.frameTop, c.top, 5e-5);
    EXPECT_EQ(p.eyeOffset, c.eyeOffset);
    EXPECT_TRUE(p.FrameUsable());
}

INSTANTIATE_TEST_SUITE_P(
    AllViewTypes, FrameExtents,
    testing::Values(ExtentCase{ViewType::CrossEyes, -2.13333f, 2.13333f, -1.04118f, 0.96667f, 1},
                    ExtentCase{ViewType::WallEyes, -2.13333f, 2.13333f, -1.04118f, 0.96667f, 1},
                    ExtentCase{ViewType::RightRed, -1.06667f, 1.06667f, -1.04118f, 0.96667f, 1},
                    ExtentCase{ViewType::RightBlue, -1.06667f, 1.06667f, -1.04118f, 0.96667f, 1},
                    ExtentCase{ViewType::Single, -1.06667f, 1.06667f, -1.04118f, 0.96667f, 0}));

struct PixelCase {
    ViewType type;
    int azimuth, elevation;
    float x, y, z;  // plot coordinates
    int first, second, row;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const PixelCase& c, std::ostream* os) {
    *os << ViewTypeName(c.type) << " " << c.azimuth << "/" << c.elevation;
}

class PixelPositions : public testing::TestWithParam<PixelCase> {};

TEST_P(PixelPositions, At780By239) {
    const PixelCase& c = GetParam();
    const GraphViewState view = ViewOf(c.type, c.azimuth, c.elevation);
    const Projection p(view, GraphRecord{}, 780, 239);
    const RotatedPosition r = p.Rotate(c.x, c.y, c.z);
    EXPECT_EQ(p.FirstImageX(r.X, r.Y, r.Z), c.first);
    EXPECT_EQ(p.ImageY(r.X, r.Y, r.Z), c.row);
    if (p.Paired()) {
        EXPECT_EQ(p.SecondImageX(r.X, r.Y, r.Z), c.second);
    }
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, PixelPositions,
    testing::Values(PixelCase{ViewType::Single, 0, 0, 0, 0, 0, 390, 0, 115},
                    PixelCase{ViewType::CrossEyes, 0, 0, 0, 0, 0, 572, 207, 115},
                    PixelCase{ViewType::WallEyes, 0, 0, 0, 0, 0, 572, 207, 115},
                    // Both anaglyph images of the centre fall on one column.
                    PixelCase{ViewType::RightRed, 0, 0, 0, 0, 0, 390, 390, 115},
                    PixelCase{ViewType::RightBlue, 0, 0, 0, 0, 0, 390, 390, 115},
                    PixelCase{ViewType::CrossEyes, 30, 20, 0.5f, 0.5f, 0.5f, 691, 333, 67},
                    PixelCase{ViewType::Single, 30, 20, 0.5f, 0.5f, 0.5f, 634, 0, 67}));

TEST(Projection, RotatesAzimuth30Elevation20) {
    const GraphViewState view = ViewOf(ViewType::CrossEyes, 30, 20);
    const Projection p(view, GraphRecord{}, 780, 239);
    const RotatedPosition r = p.Rotate(0.5f, 0.5f, 0.5f);
    EXPECT_NEAR(r.X, 0.6830, 5e-5);
    EXPECT_NEAR(r.Y, 0.4073, 5e-5);
    EXPECT_NEAR(r.Z, 0.3430, 5e-5);
    EXPECT_EQ(r.X, static_cast<float>(p.RotateX(0.5f, 0.5f, 0.5f)));
}

TEST(Projection, IsTheIdentityAtZeroAngles) {
    const GraphViewState view = ViewOf(ViewType::Single);
    const Projection p(view, GraphRecord{}, 780, 239);
    const RotatedPosition r = p.Rotate(0.25f, -0.5f, 0.75f);
    EXPECT_EQ(r.X, 0.25f);
    EXPECT_EQ(r.Y, -0.5f);
    EXPECT_EQ(r.Z, 0.75f);
}

TEST(Projection, Azimuth90TurnsPlusXTowardTheViewer) {
    const GraphViewState view = ViewOf(ViewType::Single, 90, 0);
    const Projection p(view, GraphRecord{}, 780, 239);
    const RotatedPosition r = p.Rotate(0.5f, 0.0f, 0.0f);
    EXPECT_NEAR(r.X, 0.0f, 1e-5);
    EXPECT_NEAR(r.Z, -0.5f, 1e-5);
}

TEST(Projection, AnaglyphSeparationGrowsForNearPoints) {
    const GraphViewState view = ViewOf(ViewType::RightRed);
    const Projection p(view, GraphRecord{}, 780, 239);
    const RotatedPosition nearPoint{0.0f, 0.0f, -0.5f};
    const float blue = p.FirstImageColumn(nearPoint);
    const float red = p.SecondImageColumn(nearPoint);
    // 2h × D / (Z + D) - 2h projected units, at 780 / (2 × 1.0667) pixels per unit.
    const double units = 2.0 * 16.0 / 15.5 - 2.0;
    EXPECT_NEAR(blue - red, units * 780.0 / (p.frameRight - p.frameLeft), 1e-3);
    EXPECT_GT(blue, red);
}

TEST(Projection, LargerViewingDistanceFlattensTheFrame) {
    const GraphViewState view = ViewOf(ViewType::CrossEyes, 0, 0, 1.0e6f);
    const Projection p(view, GraphRecord{}, 780, 239);
    EXPECT_NEAR(p.frameLeft, -2.0f, 1e-4);
    EXPECT_NEAR(p.frameRight, 2.0f, 1e-4);
}

TEST(Projection, RefusesPositionsAtOrBehindTheEye) {
    const GraphViewState view = ViewOf(ViewType::CrossEyes, 0, 0, 4.0f);
    const Projection p(view, GraphRecord{}, 780, 239);
    EXPECT_TRUE(p.IsDrawable({0.0f, 0.0f, -3.9f}));
    EXPECT_FALSE(p.IsDrawable({0.0f, 0.0f, -4.0f}));
    EXPECT_FALSE(p.IsDrawable({0.0f, 0.0f, -40.0f}));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(p.IsDrawable({nan, 0.0f, 0.0f}));
    EXPECT_FALSE(p.IsDrawable({0.0f, inf, 0.0f}));
    EXPECT_FALSE(p.IsDrawable({0.0f, 0.0f, nan}));
}

TEST(Projection, AFrameWithoutExtentPlacesNothing) {
    // The cube's near face at the eye: every frame edge divides by zero.
    const GraphViewState view = ViewOf(ViewType::CrossEyes, 0, 0, 1.0f);
    const Projection p(view, GraphRecord{}, 780, 239);
    EXPECT_FALSE(p.FrameUsable());
    EXPECT_FALSE(p.IsDrawable({0.0f, 0.0f, 0.0f}));
}

TEST(Projection, PixelTruncationIsGuarded) {
    EXPECT_EQ(Projection::TruncatePixel(12.9f), 12);
    EXPECT_EQ(Projection::TruncatePixel(-12.9f), -12);
    EXPECT_EQ(Projection::TruncatePixel(3.0e9f), 16777216);
    EXPECT_EQ(Projection::TruncatePixel(-3.0e9f), -16777216);
    EXPECT_EQ(Projection::TruncatePixel(std::numeric_limits<float>::infinity()), 16777216);
    EXPECT_EQ(Projection::TruncatePixel(std::numeric_limits<float>::quiet_NaN()), -16777216);
}

TEST(Projection, FarPositionsGiveHeldPixels) {
    // Constant data far from zero normalises to millions of cube units.
    const GraphViewState view = ViewOf(ViewType::CrossEyes);
    const Projection p(view, GraphRecord{}, 780, 239);
    const RotatedPosition r = p.Rotate(4.0e7f, -4.0e7f, 0.0f);
    ASSERT_TRUE(p.IsDrawable(r));
    EXPECT_EQ(p.FirstImageX(r.X, r.Y, r.Z), 16777216);
    EXPECT_EQ(p.ImageY(r.X, r.Y, r.Z), 16777216);
}

}  // namespace
}  // namespace ocuvis
