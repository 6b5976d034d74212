// The composed stereo views: anaglyph channels, frame packing, swapped eyes and separation.
#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <functional>
#include <string>

#include "FrameTestSupport.h"
#include "render/StereoFrame.h"

using namespace ocuvis;

namespace {

QImage BlackWithDot(int column, QRgb colour) {
    QImage image(8, 3, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    image.setPixel(column, 1, colour);
    return image;
}

struct AnaglyphCase {
    ViewType pair;
    AnaglyphMethod method;
    std::array<int, 3> leftOnly;
    std::array<int, 3> rightOnly;
};

// A dot of (210, 120, 40) in one eye only; plain luminance is 138, the optimised values are
// the published matrices times the colour, rounded and clamped.
class AnaglyphChannels : public testing::TestWithParam<AnaglyphCase> {};

TEST_P(AnaglyphChannels, EachEyesDotLandsInItsFiltersChannels) {
    const AnaglyphCase& c = GetParam();
    const QRgb colour = qRgb(210, 120, 40);
    const QImage out =
        CombineAnaglyph(BlackWithDot(2, colour), BlackWithDot(5, colour), c.pair, c.method);
    ASSERT_EQ(out.size(), QSize(8, 3));
    const auto rgb = [&](int x) {
        const QRgb p = out.pixel(x, 1);
        return std::array<int, 3>{qRed(p), qGreen(p), qBlue(p)};
    };
    EXPECT_EQ(rgb(2), c.leftOnly);
    EXPECT_EQ(rgb(5), c.rightOnly);
    EXPECT_EQ(rgb(0), (std::array<int, 3>{0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, AnaglyphChannels,
    testing::Values(
        AnaglyphCase{ViewType::RedCyan, AnaglyphMethod::Plain, {138, 0, 0}, {0, 138, 138}},
        AnaglyphCase{ViewType::GreenMagenta, AnaglyphMethod::Plain, {0, 138, 0}, {138, 0, 138}},
        AnaglyphCase{ViewType::AmberBlue, AnaglyphMethod::Plain, {138, 138, 0}, {0, 0, 138}},
        AnaglyphCase{ViewType::RedCyan, AnaglyphMethod::Optimised, {152, 0, 0}, {0, 171, 33}},
        AnaglyphCase{ViewType::GreenMagenta, AnaglyphMethod::Optimised, {0, 146, 0}, {197, 0, 48}},
        AnaglyphCase{ViewType::AmberBlue, AnaglyphMethod::Optimised, {210, 106, 0}, {0, 8, 78}}));

// The sample at an angle, with lines and labels, so that the eyes differ in many pixels.
struct StereoScene : test::Scene {
    StereoScene() {
        LoadFile(OCUVIS_SAMPLE_FILE);
        SetAngles(30, 20);
        view.lineThickness = 1;
        view.axisLabels = true;
    }
    QImage Frame(ViewType type, bool swap, int width = 301, int height = 121) {
        view.viewType = type;
        view.swapEyes = swap;
        return renderer.RenderImage(width, height, Sources());
    }
    QImage Eye(ViewType type, EyeImage eye, QSize size) {
        view.viewType = type;
        view.swapEyes = false;
        FrameSources sources = Sources();
        sources.eye = eye;
        return renderer.RenderImage(size.width(), size.height(), sources);
    }
};

// An even-sized image halved along one axis: each pixel the rounded mean of its two.
QImage Halved(const QImage& image, bool across) {
    QImage out = across ? image.copy(0, 0, image.width() / 2, image.height())
                        : image.copy(0, 0, image.width(), image.height() / 2);
    const auto mean = [](int a, int b) { return (a + b + 1) / 2; };
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const QRgb a = image.pixel(across ? 2 * x : x, across ? y : 2 * y);
            const QRgb b = image.pixel(across ? 2 * x + 1 : x, across ? y : 2 * y + 1);
            out.setPixel(
                x, y,
                qRgb(mean(qRed(a), qRed(b)), mean(qGreen(a), qGreen(b)), mean(qBlue(a), qBlue(b))));
        }
    }
    return out;
}

// Each packed part holds its eye, halved where the format halves it (top-bottom draws each eye
// into its part); swapping the eyes exchanges the parts.
TEST(FramePacking, PartsAreTheEyeImagesSqueezedAndSwapExchangesThem) {
    StereoScene scene;
    const int w = 300, h = 120;
    for (const ViewType type :
         {ViewType::SideBySideHalf, ViewType::TopBottom, ViewType::TopBottomHalf}) {
        for (const bool swap : {false, true}) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(type) << " swap " << swap);
            const QImage frame = scene.Frame(type, swap, w, h);
            ASSERT_EQ(frame.size(), QSize(w, h));
            const bool across = type == ViewType::SideBySideHalf;
            const QRect first = across ? QRect(0, 0, w / 2, h) : QRect(0, 0, w, h / 2);
            const QRect second = across ? first.translated(w / 2, 0) : first.translated(0, h / 2);
            const auto expected = [&](EyeImage eye) {
                if (type == ViewType::TopBottom) return scene.Eye(type, eye, first.size());
                return Halved(scene.Eye(type, eye, {w, h}), across);
            };
            const EyeImage inFirst = swap ? EyeImage::Right : EyeImage::Left;
            const EyeImage inSecond = swap ? EyeImage::Left : EyeImage::Right;
            EXPECT_EQ(frame.copy(first), expected(inFirst));
            EXPECT_EQ(frame.copy(second), expected(inSecond));
            EXPECT_NE(frame.copy(first), expected(inSecond));
        }
    }
}

// Swapping the eyes mirrors each view onto its partner: cross onto wall, right-red onto
// right-blue, and in a plain red/cyan the red and green channels trade places.
TEST(SwapEyes, GivesTheMirroredView) {
    StereoScene scene;
    scene.view.modeIndicator = false;
    EXPECT_EQ(scene.Frame(ViewType::CrossEyes, true), scene.Frame(ViewType::WallEyes, false));
    EXPECT_EQ(scene.Frame(ViewType::WallEyes, true), scene.Frame(ViewType::CrossEyes, false));
    EXPECT_EQ(scene.Frame(ViewType::RightRed, true), scene.Frame(ViewType::RightBlue, false));
    EXPECT_NE(scene.Frame(ViewType::CrossEyes, false), scene.Frame(ViewType::WallEyes, false));

    scene.view.anaglyphMethod = AnaglyphMethod::Plain;
    const QImage plain = scene.Frame(ViewType::RedCyan, false);
    const QImage swapped = scene.Frame(ViewType::RedCyan, true);
    int differing = 0;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            const QRgb a = plain.pixel(x, y), b = swapped.pixel(x, y);
            ASSERT_EQ(std::pair(qRed(b), qGreen(b)), std::pair(qGreen(a), qRed(a)))
                << x << "," << y;
            differing += qRed(a) != qGreen(a);
        }
    }
    EXPECT_GT(differing, 100);
}

// A composed view projects its records once and draws both eyes' lines and dots in one pass,
// each into its own image, which it keeps from frame to frame, noting what it draws on them so
// that the next background fill and the mixing pass over the rest. Whatever the threads,
// colours, fading and line widths, and after any earlier frame, a frame must still be the one
// its eye images drawn alone give.
TEST(ComposedFrame, IsTheOneItsEyeImagesDrawnAloneGiveAfterAnyEarlierFrame) {
    StereoScene scene;
    scene.AddLabel(0.9f, 0.9f, 0.0f, "far corner");
    // Forty marks stacked on one letter reach far above its line, the second of the label.
    std::string stacked = "\xE2\x80\xA8\xCF\x80";
    for (int i = 0; i < 40; ++i)
        stacked += "\xCD\x82";
    scene.AddLabel(0.0f, 0.0f, -1.8f, stacked);
    scene.titles = {"Main title", "x title", "y title", "z title"};
    struct Step {
        const char* what;
        std::function<void(StereoScene&)> change;
        ViewType type;
        QSize size;
    };
    const QSize size(301, 121);
    const auto nothing = [](StereoScene&) {};
    const Step steps[] = {
        {"first", nothing, ViewType::RedCyan, size},
        {"turned", [](StereoScene& s) { s.SetAngles(80, -10); }, ViewType::RedCyan, size},
        {"titles, labels and legend",
         [](StereoScene& s) {
             s.view.titles = s.view.textLabels = s.view.colourLegend = true;
             s.view.colourBy = ColourBy::Z;
         },
         ViewType::GreenMagenta, size},
        {"no titles, white background",
         [](StereoScene& s) {
             s.view.titles = s.view.colourLegend = false;
             s.view.backgroundColor = 0xFFFFFF;
         },
         ViewType::AmberBlue, size},
        {"fading", [](StereoScene& s) { s.view.fadeLines = true; }, ViewType::RedCyan, size},
        {"two threads, uncoloured, unfaded",
         [](StereoScene& s) {
             s.renderer.dataThreads = 2;
             s.view.colourBy = ColourBy::None;
             s.view.fadeLines = false;
         },
         ViewType::RedCyan, size},
        {"faded, shaded, 2 x 2",
         [](StereoScene& s) {
             s.view.fadeLines = s.view.depthShade = true;
             s.view.finePoints = FinePoints::TwoByTwo;
         },
         ViewType::RedCyan, size},
        {"by z, no fine dots",
         [](StereoScene& s) {
             s.view.colourBy = ColourBy::Z;
             s.view.finePoints = FinePoints::Off;
         },
         ViewType::RedCyan, size},
        {"one thread, large dots, wide lines",
         [](StereoScene& s) {
             s.renderer.dataThreads = 1;
             s.view.fadeLines = s.view.depthShade = false;
             s.view.pointSize = 6;
             s.view.lineThickness = 3;
         },
         ViewType::RedCyan, size},
        {"smaller", [](StereoScene& s) { s.SetAngles(-30, 45); }, ViewType::RedCyan, {240, 100}},
        {"halves side by side", nothing, ViewType::SideBySideHalf, size},
        {"top-bottom",
         [](StereoScene& s) { s.view.lineThickness = 1; },
         ViewType::TopBottom,
         {300, 120}},
        {"halves top and bottom", [](StereoScene& s) { s.SetAngles(10, 10); },
         ViewType::TopBottomHalf, size},
    };
    // Frames are let go of at once, so each is written into the frame before.
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change(scene);
        const QImage frame = scene.Frame(step.type, false, step.size.width(), step.size.height());
        const auto eye = [&](EyeImage which) {
            return scene.Eye(step.type, which,
                             EyeImageSize(step.type, step.size.width(), step.size.height(), which));
        };
        const QImage alone = IsAnaglyphPair(step.type)
                                 ? CombineAnaglyph(eye(EyeImage::Left), eye(EyeImage::Right),
                                                   step.type, scene.view.anaglyphMethod)
                                 : PackEyeImages(eye(EyeImage::Left), eye(EyeImage::Right),
                                                 step.type, step.size.width(), step.size.height());
        EXPECT_EQ(frame, alone);
    }
    // Eyes of unequal heights, drawn apart.
    const QImage odd = scene.Frame(ViewType::TopBottom, false, 300, 121);
    EXPECT_EQ(odd.copy(0, 0, 300, 61), scene.Eye(ViewType::TopBottom, EyeImage::Left, {300, 61}));
    EXPECT_EQ(odd.copy(0, 61, 300, 60), scene.Eye(ViewType::TopBottom, EyeImage::Right, {300, 60}));
}

// At no separation both eyes draw the same image; at the usual one they differ (and draw the
// golden frames, which GoldenFrameTest checks).
TEST(EyeSeparation, NoneGivesEqualEyes) {
    StereoScene scene;
    for (const int tenths : {0, 10}) {
        scene.view.eyeSeparationTenths = tenths;
        EXPECT_EQ(scene.Eye(ViewType::RedCyan, EyeImage::Left, {301, 121}) ==
                      scene.Eye(ViewType::RedCyan, EyeImage::Right, {301, 121}),
                  tenths == 0);
    }
}

}  // namespace
