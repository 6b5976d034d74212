#include "render/Projection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "render/RecordProjection.h"

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

// The frame's extents and the eyes' offset of each kind of view are seen through the pixels
// they give; the golden frames have them in every part of the frame.
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
    for (const auto& [column, pixel] : pixels) {
        EXPECT_EQ(Projection::TruncatePixel(column), pixel) << column;
        // A record's three positions are truncated together, each in its own lane.
        const TruncatedRecord together = TruncatePixels({column, -column, column / 2, 0.0f});
        EXPECT_EQ(together.column1, pixel) << column;
        EXPECT_EQ(together.column2, Projection::TruncatePixel(-column)) << column;
        EXPECT_EQ(together.row, Projection::TruncatePixel(column / 2)) << column;
    }
}

// Records are projected several at a time; each must come out with the bits of the
// projection of that record alone, awkward records among ordinary ones, at any start.
TEST(Projection, RecordsProjectedTogetherAsEachAlone) {
    test::Scene scene;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> cube(-1.5f, 1.5f);
    std::vector<DataPoint> points;
    for (int i = 0; i < 64; ++i)
        points.push_back({cube(random), cube(random), cube(random), 0.0f});
    const DataPoint awkward[] = {DataPoint::Break(),
                                 {0, 0, -3.99f, 0},
                                 {0, 0, -4.0f, 0},
                                 {0, 0, -40.0f, 0},
                                 {kNaN, 0, 0, 0},
                                 {0, kInf, 0, 0},
                                 {1e30f, 0, 0, 0},
                                 {0, -1e30f, 0, 0},
                                 {0, 0, 3e38f, 0},
                                 // the marker's position with a size: not a break
                                 {BreakMarker, BreakMarker, BreakMarker, 0}};
    for (std::size_t i = 0; i < std::size(awkward); ++i)
        points[3 + 5 * i] = awkward[i];
    scene.SetCubePoints(points);
    const ViewType types[] = {ViewType::Single, ViewType::CrossEyes, ViewType::WallEyes,
                              ViewType::RightRed, ViewType::RightBlue};
    for (const ViewType type : types)
        for (const int azimuth : {0, 30, 137}) {
            scene.view.viewType = type;
            scene.view.z0 = 4.0f;
            scene.SetAngles(azimuth, azimuth / 3);
            RecordingCanvas canvas;
            float fadeNear = 0, fadeFar = 0;
            const FrameContext frame(canvas, 1580, 480, scene.Sources(), fadeNear, fadeFar);
            std::vector<ProjectedRecord> out(points.size());
            std::uint64_t sizes = 0;
            ProjectRecords(frame, 1, 6, out.data(), sizes);
            ProjectRecords(frame, 6, static_cast<int>(points.size()), out.data(), sizes);
            for (std::size_t i = 1; i < points.size(); ++i) {
                const DataPoint& p = points[i];
                const PlotPosition q = frame.PlotOf(p.x, p.y, p.z);
                const RotatedPosition r = frame.projection.Rotate(q.x, q.y, q.z);
                ImagePixels pixels;
                const bool image = !p.IsBreak() && frame.projection.PixelsOf(r, pixels);
                SCOPED_TRACE(std::string(ViewTypeName(type)) + " " + std::to_string(azimuth) +
                             " record " + std::to_string(i));
                ASSERT_EQ(HasImage(out[i]), image);
                if (!image) continue;
                const Projection& j = frame.projection;
                const float expected[] = {
                    j.FirstImageColumn(r),
                    j.Paired() ? j.SecondImageColumn(r) : j.FirstImageColumn(r), j.ImageRow(r),
                    r.Z};
                const float actual[] = {out[i].column1, out[i].column2, out[i].row, out[i].depth};
                EXPECT_EQ(std::memcmp(expected, actual, sizeof expected), 0)
                    << actual[0] << " " << actual[1] << " " << actual[2] << " " << actual[3];
            }
        }
}

// A repeat lies on the truncated pixels of the record before, in both images, both near the
// frame; the first record handed over is never one.
TEST(Projection, RepeatsAreRecordsOnThePixelsOfTheRecordBefore) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        ProjectedRecord record;
        bool repeat;  // of the record before
    };
    const Case block[] = {
        {{10.2f, 20.2f, 5.5f, 0.1f}, false},    // after the block before's last
        {{10.7f, 20.9f, 5.1f, 0.9f}, true},     // depth takes no part
        {{10.9f, 21.0f, 5.9f, 0.1f}, false},    // second column
        {{10.1f, 21.5f, 5.0f, 0.1f}, true},     //
        {{10.1f, 21.5f, kNaN, 0.1f}, false},    // no image
        {{10.1f, 21.5f, 5.0f, 0.1f}, false},    // after one without
        {{10.1f, 21.5f, 5.0f, 0.1f}, true},     //
        {{-0.5f, 21.5f, 5.0f, 0.1f}, false},    // first column
        {{0.4f, 21.5f, 5.0f, 0.1f}, true},      // both truncated to 0
        {{9000.2f, 21.5f, 5.0f, 0.1f}, false},  // beyond the lines' margin
        {{9000.4f, 21.5f, 5.0f, 0.1f}, false},  //
        {{10.1f, 21.5f, -4000.5f, 0.1f}, false},
        {{10.9f, 21.2f, -4000.1f, 0.1f}, true},  // within it
    };
    // Blocks in a row, so that records fall in every lane of a vector, and the rest after.
    std::vector<ProjectedRecord> records;
    std::vector<std::uint8_t> expected;
    for (int copy = 0; copy < 3; ++copy)
        for (const Case& c : block) {
            records.push_back(c.record);
            expected.push_back(c.repeat);
        }
    for (const int begin : {0, 1, 2, 3, 6}) {
        std::vector<std::uint8_t> repeats(records.size(), 9);
        std::vector<RecordPixels> pixels(records.size());
        MarkRepeats(records.data(), begin, static_cast<int>(records.size()), 1580, 480,
                    repeats.data(), pixels.data());
        for (std::size_t i = static_cast<std::size_t>(begin); i < records.size(); ++i)
            EXPECT_EQ(repeats[i], i == static_cast<std::size_t>(begin) ? 0 : expected[i])
                << "record " << i << " of those from " << begin;
    }
}

}  // namespace
}  // namespace ocuvis
