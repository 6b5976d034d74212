// Lines and dots shared out between two threads by bands of rows must give the very frame one
// thread draws through the canvas, wherever the bands meet.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <string_view>
#include <vector>

#include "FrameTestSupport.h"
#include "render/ImageCanvas.h"

namespace ocuvis::test {
namespace {

struct BandCase {
    const char* name;
    ViewType type;
    int lines, points;
    bool fade, ownSizes, closed;
    // Any of "rgb", "x", "z" (what colours the records), "shade", "fine", "fine2", "joined"
    // (records before 150 dots only; "joined250", before 250).
    std::string_view colour = {};
};

bool Has(std::string_view options, std::string_view option) {
    return options.find(option) != std::string_view::npos;
}

// A knotted run across every row, cut every 97 records, with a record millions of units out,
// one behind the eye, a stretch where records share pixels, and the deepest segment alone where
// the records are split in two.
// The frame as the canvas draws it, a primitive at a time: what the direct pass must give.
QImage CanvasFrame(int width, int height, const FrameSources& sources) {
    QImage image = FrameRenderer::NewFrameImage(width, height);
    {
        StampCache stamps(PaintedShapes());
        ImageCanvas canvas(image, stamps);  // its painter ends with the block
        FrameRenderer().Render(canvas, width, height, sources);
    }
    return image;
}

std::vector<DataPoint> KnottedRun() {
    std::vector<DataPoint> points;
    for (int i = 0; i < 800; ++i) {
        const double t = i < 200 || i > 300 ? i * 0.05 : 10 + i * 0.002;  // a dense stretch
        DataPoint p{static_cast<float>(0.7 * std::cos(t)),
                    static_cast<float>(0.7 * std::sin(1.7 * t)),
                    static_cast<float>(0.6 * std::sin(0.6 * t)), 0.0f};
        p.SetSizeClass(i % 11 == 0 ? i % 7 : 0);
        points.push_back(i % 97 == 96 ? DataPoint::Break() : p);
    }
    points[300] = {1.7e6f, 0.3f, 0.1f, 0.0f};
    points[600] = {0.3f, 0.2f, 30.0f, 0.0f};
    points[398] = points[401] = DataPoint::Break();
    points[399] = {0.1f, 0.1f, 2.0f, 0.0f};
    points[400] = {0.1f, 0.2f, -2.0f, 0.0f};
    return points;
}

TEST(ParallelFrame, TwoBandsDrawTheFrameOfOneThread) {
    constexpr int kWidth = 301, kHeight = 97;
    const BandCase cases[] = {
        {"cross-eyed", ViewType::CrossEyes, 1, 1, false, false, false},
        {"wall-eyed, faded", ViewType::WallEyes, 1, 0, true, false, false},
        {"red right over blue", ViewType::RightRed, 1, 2, false, false, true},
        {"red left, faded, own sizes", ViewType::RightBlue, 1, 0, true, true, false},
        {"single, own sizes, faded", ViewType::Single, -1, 0, true, true, true},
        {"dots only", ViewType::CrossEyes, 0, 3, false, false, false},
        {"lines only", ViewType::CrossEyes, 1, 0, false, false, false},
        {"lines only, red right", ViewType::RightRed, 1, 0, false, false, false},
        {"lines only, joined within the dense stretch", ViewType::CrossEyes, 1, 0, false, false,
         false, "joined250"},
        {"file colours, shaded, fine", ViewType::CrossEyes, 1, 0, false, false, false,
         "rgb shade fine joined"},
        {"red right, by z, faded, shaded", ViewType::RightRed, 1, 3, true, false, false, "z shade"},
        {"single, by x, 2 x 2", ViewType::Single, 1, 0, false, false, true, "x fine2 joined"},
    };
    const std::vector<DataPoint> points = KnottedRun();
    for (const BandCase& c : cases) {
        Scene s;
        s.SetCubePoints(points);
        s.store->dotSizesPresent = c.ownSizes;
        s.store->defaultDataLoaded = c.closed;
        s.AddLabel(0.5f, 0.5f, 0.2f, "LABEL");
        s.AddLabel(-0.4f, -0.6f, -0.5f, "DEEP");
        s.view.textLabels = s.view.axisLabels = true;
        s.view.z0 = 3.0f;
        s.view.viewType = c.type;
        s.view.lineThickness = c.lines;
        s.view.pointSize = c.points;
        s.view.fadeLines = c.fade;
        s.view.lineColor = 0x00FF00;
        s.view.dotColor = 0xFF00FF;
        s.SetAngles(35, 20);
        if (Has(c.colour, "rgb")) {
            s.store->colourColumn = PointStore::ColourColumn::Rgb;
            for (std::size_t i = 0; i < points.size(); ++i)
                s.store->colours.push_back(0xFF000000u |
                                           static_cast<std::uint32_t>(i * 2654435761u));
        }
        if (Has(c.colour, "x")) s.view.colourBy = ColourBy::X;
        if (Has(c.colour, "z")) s.view.colourBy = ColourBy::Z;
        s.view.depthShade = Has(c.colour, "shade");
        s.view.finePoints = Has(c.colour, "fine2")  ? FinePoints::TwoByTwo
                            : Has(c.colour, "fine") ? FinePoints::OnePixel
                                                    : FinePoints::Off;
        if (Has(c.colour, "joined")) s.store->firstJoinedRecord = Has(c.colour, "250") ? 250 : 150;

        const QImage expected = CanvasFrame(kWidth, kHeight, s.Sources());
        // One thread; bands of the chosen height; seven bands of one row, or of two, and the
        // rest in the last; bands of odd heights; one band short of the frame's height, or as
        // high.
        for (const int rows : {-1, 0, 1, 2, 7, 37, kHeight - 1, kHeight}) {
            FrameRenderer renderer;
            renderer.dataThreads = rows < 0 ? 1 : 2;
            renderer.bandRows = rows;
            EXPECT_TRUE(renderer.RenderImage(kWidth, kHeight, s.Sources()) == expected)
                << c.name << ", bands of " << rows << " rows";
            // Again, the bands begun in the order of the time each took.
            EXPECT_TRUE(renderer.RenderImage(kWidth, kHeight, s.Sources()) == expected)
                << c.name << ", bands of " << rows << " rows, second frame";
        }
    }
}

// Pixel positions past 16 bits: the second image of a frame 40,000 pixels wide.
TEST(ParallelFrame, FrameWiderThanSixteenBitPositions) {
    constexpr int kWidth = 40000, kHeight = 24;
    Scene s;
    s.SetCubePoints(KnottedRun());
    s.view.z0 = 3.0f;
    s.view.viewType = ViewType::CrossEyes;
    s.view.pointSize = 2;
    s.SetAngles(35, 20);
    const QImage expected = CanvasFrame(kWidth, kHeight, s.Sources());
    FrameRenderer renderer;
    renderer.dataThreads = 1;
    EXPECT_TRUE(renderer.RenderImage(kWidth, kHeight, s.Sources()) == expected);
}

// A subset frame is the frame of a store holding only the subset's pairs, apart; faded or
// not, with own dot sizes or not.
TEST(ParallelFrame, SubsetFrameIsTheFrameOfItsPairs) {
    constexpr int kWidth = 301, kHeight = 97;
    const std::vector<DataPoint> points = KnottedRun();
    for (const int step : {2, 3, 7})
        for (const bool faded : {false, true}) {
            std::vector<DataPoint> pairs;
            for (std::size_t i = 0; i < points.size(); i += static_cast<std::size_t>(step)) {
                pairs.push_back(points[i]);
                if (i + 1 < points.size()) pairs.push_back(points[i + 1]);
                pairs.push_back(DataPoint::Break());
            }
            Scene s, subset;
            for (Scene* scene : {&s, &subset}) {
                scene->SetCubePoints(scene == &s ? points : pairs);
                scene->store->dotSizesPresent = step == 3;
                scene->view.z0 = 3.0f;
                scene->view.viewType = ViewType::CrossEyes;
                scene->view.pointSize = 2;
                scene->view.fadeLines = faded;
                scene->SetAngles(35, 20);
            }
            const QImage expected = CanvasFrame(kWidth, kHeight, subset.Sources());
            // Asked for two threads, as a large store would be.
            FrameRenderer renderer;
            renderer.dataThreads = 2;
            renderer.subsetStep = step;
            EXPECT_TRUE(renderer.RenderImage(kWidth, kHeight, s.Sources()) == expected)
                << "every " << step << ", faded " << faded;
        }
}

}  // namespace
}  // namespace ocuvis::test
