// The fast canvas must set exactly the pixels the plain QPainter canvas sets.
#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "FrameTestSupport.h"
#include "ImageCanvas.h"
#include "QPainterCanvas.h"

namespace ocuvis::test {
namespace {

QImage Blank(int width, int height) {
    QImage image = FrameRenderer::NewFrameImage(width, height);
    image.fill(0xff000000u);
    return image;
}

// Pixels that differ, with the first few listed.
testing::AssertionResult SamePixels(const QImage& plain, const QImage& fast) {
    int differing = 0;
    std::string where;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if (plain.pixel(x, y) != fast.pixel(x, y) && ++differing <= 5)
                where += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
    if (differing == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << differing << " pixels differ:" << where;
}

template <class Draw>
testing::AssertionResult DrawnAlike(int width, int height, Draw draw) {
    QImage plain = Blank(width, height);
    QImage fast = Blank(width, height);
    {
        QPainterCanvas canvas(plain);
        draw(canvas);
    }
    {
        StampCache stamps;
        ImageCanvas canvas(fast, stamps);
        draw(canvas);
    }
    return SamePixels(plain, fast);
}

TEST(CanvasIdentity, RandomLinesOfEveryWidth) {
    std::mt19937 random(7);
    for (int width = 1; width <= 3; ++width) {
        // Ends inside, near and far outside the 97 × 61 image, including lines of no length.
        std::uniform_int_distribution<int> near(-30, 130);
        std::uniform_int_distribution<int> far(-5000, 5000);
        for (int i = 0; i < 1500; ++i) {
            auto& pick = i % 4 == 3 ? far : near;
            const int x1 = pick(random), y1 = pick(random) - 20;
            int x2 = pick(random), y2 = pick(random) - 20;
            if (i % 4 == 1) {
                // Short ones, the stamped kind for wide pens, across every edge too.
                x2 = x1 + static_cast<int>(random() % 71) - 35;
                y2 = y1 + static_cast<int>(random() % 71) - 35;
            }
            if (i % 10 == 0) x2 = x1, y2 = y1 + static_cast<int>(random() % 3);
            ASSERT_TRUE(DrawnAlike(97, 61,
                                   [&](Canvas& c) {
                                       c.SetPenColour(0x00FFFF);
                                       c.SetPenWidth(width);
                                       c.DrawLine(x1, y1, x2, y2);
                                   }))
                << "width " << width << ": " << x1 << "," << y1 << " to " << x2 << "," << y2;
        }
    }
}

TEST(CanvasIdentity, EllipsesByPenBrushAndPlace) {
    std::mt19937 random(11);
    for (int s = 1; s <= 9; ++s)
        for (const bool filled : {true, false})
            for (int i = 0; i < 40; ++i) {
                // Centres inside and across every edge.
                const int c = static_cast<int>(random() % 61) - 10;
                const int r = static_cast<int>(random() % 41) - 10;
                const int pen = i % 3 == 0 ? 1 : s;
                ASSERT_TRUE(DrawnAlike(41, 21,
                                       [&](Canvas& canvas) {
                                           canvas.SetPenColour(0x0000FF);
                                           canvas.SetPenWidth(pen);
                                           canvas.SetBrush(filled, 0x00FF00);
                                           canvas.DrawEllipse({c - s, r - s, c + s, r + s});
                                       }))
                    << "s " << s << " pen " << pen << " filled " << filled << " at " << c << ","
                    << r;
            }
}

// A whole frame that uses every primitive, texts and the background fill included. Constant data
// far from zero lands millions of cube units out; a small viewing distance puts part of the data
// behind the eye. Both canvases must draw the rest alike, quickly.
TEST(CanvasIdentity, WholeFrameWithFarAndHiddenPositions) {
    Scene s;
    s.LoadDataPoints({{3.0e6f, 1, 1, 0}, {3.0e6f, 2, 2, 0}, {3.0e6f, 3, 1, 0}});
    s.SetCubePoints({{0, 0, 0, 0},
                     {1.7e6f, 0.3f, 0.1f, 0},
                     {-0.2f, 0.5f, -0.3f, 0},
                     {0.1f, -9.0e5f, 0.2f, 0},
                     {0.3f, 0.2f, 30.0f, 0},  // behind the eye at distance 3
                     {0.4f, 0.1f, 0.0f, 0}});
    s.AddLabel(1.7e6f, 0, 0, "FAR");
    s.AddLabel(0, 0, 30.0f, "BEHIND");
    s.AddLabel(0.1f, 0.2f, 0.1f, "NEAR");
    s.view.z0 = 3.0f;
    s.view.axisLabels = true;
    s.view.titles = true;
    s.view.textLabels = true;
    s.titles = {"MAIN", "X", "Y", "Z"};
    s.view.pointSize = 4;
    for (const int width : {1, 2, 3}) {
        s.view.lineThickness = width;
        s.view.gridThickness = width;
        s.view.fadeLines = width == 2;
        s.view.fullBoxGrid = width == 3;
        QImage plain = FrameRenderer::NewFrameImage(300, 120);
        {
            QPainterCanvas canvas(plain);
            FrameRenderer renderer;
            renderer.Render(canvas, 300, 120, s.Sources());
        }
        FrameRenderer renderer;
        EXPECT_TRUE(SamePixels(plain, renderer.RenderImage(300, 120, s.Sources()))) << width;
    }
}

}  // namespace
}  // namespace ocuvis::test
