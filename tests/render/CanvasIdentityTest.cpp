// The fast canvas must set exactly the pixels the plain QPainter canvas sets.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "render/ImageCanvas.h"
#include "render/reference/QPainterCanvas.h"

namespace ocuvis::test {
namespace {

// The first pixel that differs, if any.
template <class Draw>
testing::AssertionResult DrawnAlike(int width, int height, Draw draw, StampCache* kept = nullptr) {
    QImage plain = FrameRenderer::NewFrameImage(width, height);
    plain.fill(0xff000000u);
    QImage fast = plain.copy();
    draw(*std::make_unique<QPainterCanvas>(plain));  // the painter ends with the statement
    StampCache fresh(PaintedShapes());
    ImageCanvas canvas(fast, kept != nullptr ? *kept : fresh);
    draw(canvas);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (plain.pixel(x, y) != fast.pixel(x, y))
                return testing::AssertionFailure()
                       << "pixels differ, the first at " << x << "," << y;
    return testing::AssertionSuccess();
}

TEST(CanvasIdentity, RandomLinesOfEveryWidth) {
    std::mt19937 random(7);
    // Ends inside, near and far outside the 97 × 61 image, including lines of no length.
    std::uniform_int_distribution<int> near(-30, 130), far(-5000, 5000), step(-35, 35);
    for (int width = 1; width <= 3; ++width)
        for (int i = 0; i < 1500; ++i) {
            auto& pick = i % 4 == 3 ? far : near;
            const int x1 = pick(random), y1 = pick(random) - 20;
            int x2 = pick(random), y2 = pick(random) - 20;
            // Short ones, the stamped kind for wide pens, across every edge too.
            if (i % 4 == 1) x2 = x1 + step(random), y2 = y1 + step(random);
            if (i % 10 == 0) x2 = x1, y2 = y1 + i % 3;
            const auto line = [&](Canvas& c) {
                c.SetPenColour(0x00FFFF);
                c.SetPenWidth(width);
                c.DrawLine(x1, y1, x2, y2);
            };
            ASSERT_TRUE(DrawnAlike(97, 61, line))
                << "width " << width << ": " << x1 << "," << y1 << " to " << x2 << "," << y2;
        }
}

TEST(CanvasIdentity, EllipsesByPenBrushAndPlace) {
    std::mt19937 random(11);
    // Centres inside and across every edge.
    std::uniform_int_distribution<int> column(-10, 50), row(-10, 30);
    for (int s = 1; s <= 9; ++s)
        for (const bool filled : {true, false})
            for (int i = 0; i < 40; ++i) {
                const int c = column(random), r = row(random), pen = i % 3 == 0 ? 1 : s;
                const auto ellipse = [&](Canvas& canvas) {
                    canvas.SetPenColour(0x0000FF);
                    canvas.SetPenWidth(pen);
                    canvas.SetBrush(filled, 0x00FF00);
                    canvas.DrawEllipse({c - s, r - s, c + s, r + s});
                };
                ASSERT_TRUE(DrawnAlike(41, 21, ellipse))
                    << "s " << s << " pen " << pen << " filled " << filled << " at " << c << ","
                    << r;
            }
}

// Texts come back frame after frame at new places; from the second time on the fast canvas
// copies what it kept of a text where all the pixels it may reach are one colour. Texts here
// come back across the edges, over each other and on two backgrounds, in each font and
// alignment.
TEST(CanvasIdentity, TextsDrawnAgainAtOtherPlaces) {
    const std::vector<std::string> texts = {"3D-X", "-1.25", "0.5", "Wg"};
    StampCache stamps(PaintedShapes());  // kept over the drawings, as frames keep it
    for (const FontFace face : {FontFace::Sans, FontFace::Serif})
        for (const bool bold : {false, true})
            EXPECT_TRUE(DrawnAlike(
                600, 240,
                [&](Canvas& canvas) {
                    std::mt19937 random(5);  // the same places on both canvases
                    std::uniform_int_distribution<int> column(-60, 620), row(-40, 250);
                    canvas.SetFont({face, bold ? 14 : 10, bold});
                    canvas.SetBrush(true, 0x203040);
                    canvas.FillRect({300, 0, 600, 240});
                    for (int i = 0; i < 40; ++i) {
                        const std::size_t k = static_cast<std::size_t>(i) % texts.size();
                        canvas.SetTextColour(i % 8 == 0 ? 0xFF8000 : 0xFFFFFF);
                        const int left = column(random), top = row(random);
                        const int width = k % 2 == 0 ? 40 : 200;
                        canvas.DrawText({left, top, left + width, top + 20},
                                        k == 3 ? TextAlign::Right : TextAlign::Centre, texts[k]);
                    }
                },
                &stamps))
                << static_cast<int>(face) << bold;
}

// A whole frame that uses every primitive, texts and the background fill included. Constant
// data far from zero lands millions of cube units out; some records lie behind the eye.
TEST(CanvasIdentity, WholeFrameWithFarAndHiddenPositions) {
    Scene s;
    s.LoadDataPoints({{3.0e6f, 1, 1}, {3.0e6f, 2, 2}, {3.0e6f, 3, 1}});
    s.SetCubePoints({{0, 0, 0},
                     {1.7e6f, 0.3f, 0.1f},
                     {-0.2f, 0.5f, -0.3f},
                     {0.1f, -9.0e5f, 0.2f},
                     {0.3f, 0.2f, 30.0f},
                     {0.4f, 0.1f, 0.0f}});
    s.AddLabel(1.7e6f, 0, 0, "FAR");
    s.AddLabel(0, 0, 30.0f, "BEHIND");
    s.AddLabel(0.1f, 0.2f, 0.1f, "NEAR");
    s.view.z0 = 3.0f;
    s.view.axisLabels = s.view.titles = s.view.textLabels = true;
    s.titles = {"MAIN", "X", "Y", "Z"};
    s.view.pointSize = 4;
    for (const int width : {1, 2, 3}) {
        s.view.lineThickness = s.view.gridThickness = width;
        s.view.fadeLines = width == 2;
        s.view.fullBoxGrid = width == 3;
        EXPECT_TRUE(DrawnAlike(300, 120, [&](Canvas& canvas) {
            FrameRenderer().Render(canvas, 300, 120, s.Sources());
        })) << width;
    }
}

}  // namespace
}  // namespace ocuvis::test
