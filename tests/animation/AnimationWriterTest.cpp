#include "render/animation/AnimationWriter.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <webp/demux.h>

#include <QImage>
#include <QImageReader>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

#include "DecodedAnimation.h"
#include "TestSupport.h"
#include "render/animation/GifEncoder.h"

namespace ocuvis {
namespace {

namespace fs = std::filesystem;
using test::Decoded;
using test::ReadGif;
using test::ReadWebP;

// Frames of one-pixel dots on black, one dot of each colour in a cell of its own, each dot
// stepping within its cell from frame to frame, so every colour appears in what changes.
std::vector<QImage> MovingDots(int frames, const std::vector<QRgb>& colours, int cell = 3) {
    const int across = static_cast<int>(std::ceil(std::sqrt(colours.size())));
    const int side = across * cell;
    std::vector<QImage> result;
    for (int f = 0; f < frames; ++f) {
        QImage image(side + 5, side + 3, QImage::Format_RGB32);
        image.fill(Qt::black);
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const int step = (f + static_cast<int>(i)) % (cell - 1);
            image.setPixel(static_cast<int>(i) % across * cell + step,
                           static_cast<int>(i) / across * cell + (f % 3 == 2 ? 1 : 0), colours[i]);
        }
        result.push_back(image);
    }
    return result;
}

// n distinct colours, none black.
std::vector<QRgb> Colours(int n) {
    std::vector<QRgb> colours;
    for (int i = 1; i <= n; ++i)
        colours.push_back(qRgb(i * 37 % 256, i * 91 % 256, (i / 7 + 1) * 53 % 256 | 1));
    return colours;
}

// Six hues darkened in many steps: a shaded point cloud's colours.
std::vector<QRgb> ShadedColours(int n) {
    const QRgb hues[] = {0xFFFFFF, 0xFF4040, 0x40FF40, 0x4080FF, 0xFFFF40, 0xC040FF};
    std::vector<QRgb> colours;
    for (int i = 0; i < n; ++i) {
        const QRgb hue = hues[i % 6];
        const double light = 0.3 + 0.7 * (i / 6) / (n / 6.0);
        colours.push_back(qRgb(static_cast<int>(qRed(hue) * light),
                               static_cast<int>(qGreen(hue) * light) | 1,
                               static_cast<int>(qBlue(hue) * light)));
    }
    return colours;
}

// The largest distance in RGB between a pixel of one image and the same pixel of the other.
double WorstError(const QImage& a, const QImage& b) {
    double worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max(
                worst, std::hypot(qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)));
        }
    return worst;
}

class AnimationWriterTest : public testing::Test {
  protected:
    QString Path(const char* name) const { return QString::fromStdString(dir_.Path(name)); }
    std::optional<QString> Write(const QString& path, const std::vector<QImage>& frames,
                                 int delayMs = 40) {
        AnimationWriter writer;
        if (auto failure = writer.Open(path, frames.front().size(), delayMs)) return failure;
        for (const QImage& frame : frames)
            if (auto failure = writer.AddFrame(frame)) return failure;
        EXPECT_EQ(writer.frameCount(), static_cast<int>(frames.size()));
        return writer.Finish();
    }

    test::TempFolder dir_;
};

TEST(AnimationFormatOfName, TheLastExtensionInAnyCaseDecides) {
    const std::pair<const char*, std::optional<AnimationFormat>> cases[] = {
        {"turn.gif", AnimationFormat::Gif},   {"turn.GiF", AnimationFormat::Gif},
        {"turn.webp", AnimationFormat::WebP}, {"turn.gif.WEBP", AnimationFormat::WebP},
        {"turn.png", std::nullopt},           {"gif", std::nullopt},
        {"a.webp/turn", std::nullopt}};
    for (const auto& [name, format] : cases)
        EXPECT_EQ(AnimationFormatOfName(name), format) << name;
}

TEST(GifDelayHundredths, RoundsToHundredthsAndKeepsToWhatBrowsersPlay) {
    const std::pair<int, int> cases[] = {{0, 2},          {1, 2},         {14, 2},   {25, 3},
                                         {40, 4},         {104, 10},      {105, 11}, {1000, 100},
                                         {655350, 65535}, {700000, 65535}};
    for (const auto& [ms, hundredths] : cases)
        EXPECT_EQ(GifDelayHundredths(ms), hundredths) << ms;
}

// Up to 256 colours in what changes each frame come back exactly, GIF with room for a
// transparent index, with 255 that fill the palette with it, and with 256 that leave none; GIF
// delays in hundredths, and both kinds loop for ever. The name chooses the format, in any case;
// a name of neither kind gets a GIF.
TEST_F(AnimationWriterTest, FramesDecodeExactlyWithDelayAndLoop) {
    const std::tuple<const char*, int, int, int, bool> cases[] = {
        {"exact.gif", 1, 40, 40, true},     {"exact.GIF", 40, 40, 40, true},
        {"exact.gif", 254, 100, 100, true}, {"exact.gif", 255, 30, 30, true},
        {"exact.png", 15, 5, 20, true},     {"turn.WebP", 3, 40, 40, false},
        {"turn.webp", 1000, 33, 33, false}};
    for (const auto& [name, dotColours, delayMs, decodedDelay, gif] : cases) {
        SCOPED_TRACE(testing::Message() << name << " " << dotColours << " colours");
        const std::vector<QImage> frames = MovingDots(7, Colours(dotColours));
        ASSERT_EQ(Write(Path(name), frames, delayMs), std::nullopt);
        std::ifstream file(dir_.Path(name), std::ios::binary);
        EXPECT_EQ(file.get(), gif ? 'G' : 'R');  // "GIF89a" or "RIFF"
        const Decoded decoded = gif ? ReadGif(Path(name)) : ReadWebP(Path(name));
        EXPECT_EQ(decoded.frames, frames);
        EXPECT_EQ(decoded.delaysMs, std::vector<int>(frames.size(), decodedDelay));
        EXPECT_EQ(decoded.loopCount, gif ? -1 : 0);
    }
}

// More colours than a palette holds are reduced, each pixel staying near its colour. A frame of
// few colours after them decodes exactly again, the reduced pixels it keeps included, and the
// many colours that come back after it are drawn again.
TEST_F(AnimationWriterTest, GifFramesOfMoreColoursStayNearAndFewerColoursAfterThemAreExact) {
    std::vector<QImage> frames = MovingDots(5, ShadedColours(900));
    const QImage many = frames.back();
    // The dots where the frame before had them: the reduced ones must go.
    QImage few = frames[frames.size() - 2].copy();
    for (int y = 0; y < few.height(); ++y)
        for (int x = 0; x < few.width(); ++x)
            if (few.pixel(x, y) != qRgb(0, 0, 0)) few.setPixel(x, y, qRgb(200, 200, 200));
    frames.push_back(few);
    frames.push_back(many);
    const QString path = Path("shaded.gif");
    ASSERT_EQ(Write(path, frames), std::nullopt);
    const Decoded decoded = ReadGif(path);
    ASSERT_EQ(decoded.frames.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (i == frames.size() - 2) {
            EXPECT_EQ(decoded.frames[i], few);
        } else {
            EXPECT_LE(WorstError(decoded.frames[i], frames[i]), 8) << "frame " << i;
        }
    }
}

// What each GIF frame holds, read with giflib: the first the whole screen, every later one
// the bounding rectangle of the pixels that changed (one pixel when none did), drawn over
// the frame before; frames whose colours the first frame had need no palette of their own.
TEST_F(AnimationWriterTest, GifFramesHoldOnlyTheRectangleThatChanged) {
    std::vector<QImage> frames = MovingDots(4, Colours(30));
    frames.push_back(frames.back());
    QImage grown = frames.back().copy();
    grown.setPixel(grown.width() - 1, grown.height() - 1, qRgb(1, 2, 3));
    grown.setPixel(2, 1, qRgb(1, 2, 3));
    frames.push_back(grown);
    const QString path = Path("rects.gif");
    ASSERT_EQ(Write(path, frames), std::nullopt);

    int error = 0;
    GifFileType* gif = DGifOpenFileName(dir_.Path("rects.gif").c_str(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, static_cast<int>(frames.size()));
    EXPECT_EQ(gif->SWidth, frames[0].width());
    EXPECT_EQ(gif->SHeight, frames[0].height());
    for (int i = 0; i < gif->ImageCount; ++i) {
        QRect changed = frames[0].rect();
        if (i > 0) {
            changed = {};
            for (int y = 0; y < frames[i].height(); ++y)
                for (int x = 0; x < frames[i].width(); ++x)
                    if (frames[i].pixel(x, y) != frames[i - 1].pixel(x, y))
                        changed |= QRect(x, y, 1, 1);
            if (changed.isEmpty()) changed = QRect(0, 0, 1, 1);
        }
        const GifImageDesc& desc = gif->SavedImages[i].ImageDesc;
        EXPECT_EQ(QRect(desc.Left, desc.Top, desc.Width, desc.Height), changed) << "frame " << i;
        GraphicsControlBlock control{};
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        EXPECT_EQ(control.DisposalMode, DISPOSE_DO_NOT) << "frame " << i;
        EXPECT_EQ(control.DelayTime, 4) << "frame " << i;
        EXPECT_EQ(desc.ColorMap == nullptr, i < gif->ImageCount - 1) << "frame " << i;
    }
    DGifCloseFile(gif, &error);
}

TEST_F(AnimationWriterTest, AFailedAnimationLeavesNoFileAndRepeatsItsReason) {
    const QString path = Path("turn.gif");
    const std::vector<QImage> frames = MovingDots(2, Colours(3));
    AnimationWriter wrongSize;
    ASSERT_EQ(wrongSize.Open(path, frames[0].size() + QSize(1, 0), 40), std::nullopt);
    const std::optional<QString> failure = wrongSize.AddFrame(frames[0]);
    EXPECT_NE(failure, std::nullopt);
    EXPECT_EQ(wrongSize.Finish(), failure);

    AnimationWriter empty;
    ASSERT_EQ(empty.Open(path, frames[0].size(), 40), std::nullopt);
    EXPECT_NE(empty.Finish(), std::nullopt);

    const std::pair<const char*, QSize> tooLarge[] = {
        {"wide.webp", {16384, 1}}, {"tall.gif", {1, 65536}}, {"none.gif", {0, 5}}};
    for (const auto& [name, size] : tooLarge) {
        AnimationWriter writer;
        EXPECT_NE(writer.Open(Path(name), size, 40), std::nullopt) << name;
    }

    AnimationWriter missingFolder;
    EXPECT_EQ(missingFolder.Open(Path("missing/turn.webp"), frames[0].size(), 40),
              QString::fromLocal8Bit(std::strerror(ENOENT)));
    EXPECT_EQ(missingFolder.AddFrame(frames[0]), QString::fromLocal8Bit(std::strerror(ENOENT)));
    EXPECT_TRUE(fs::is_empty(dir_.path()));
}

}  // namespace
}  // namespace ocuvis
