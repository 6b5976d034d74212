// Frames drawn without Qt Gui must be the renderer's frames, pixel for pixel, or say they are
// not whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <functional>
#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "TestSupport.h"
#include "render/PlainFrame.h"

namespace ocuvis::test {
namespace {

struct PlainCase {
    std::string name;
    std::function<void(Scene&)> set;
    bool whole;
    int width = 780, height = 239;
    // For a frame that is not whole: whether its view alone shows it.
    bool viewTells = true;
};

TEST(PlainFrame, SameAsTheRendererOrNotWhole) {
    const std::vector<PlainCase> cases = {
        {"first-run defaults", [](Scene&) {}, true},
        {"wall-eyed, turned, one-pixel lines",
         [](Scene& s) {
             s.view.viewType = ViewType::WallEyes;
             s.view.lineThickness = 1;
             s.SetAngles(30, -20);
         },
         true},
        {"red/blue in one image, full box",
         [](Scene& s) {
             s.view.viewType = ViewType::RightRed;
             s.view.fullBoxGrid = true;
         },
         true},
        {"single view, fading lines on their pale background",
         [](Scene& s) {
             s.view.viewType = ViewType::Single;
             s.view.lineThickness = 1;
             s.view.fadeLines = true;
         },
         true},
        {"largest dots, shaded, coloured by z",
         [](Scene& s) {
             s.view.pointSize = 6;
             s.view.depthShade = true;
             s.view.colourBy = ColourBy::Z;
         },
         true},
        {"fine points", [](Scene& s) { s.view.finePoints = FinePoints::TwoByTwo; }, true},
        // The indicator's box reaches past every edge.
        {"small frame", [](Scene&) {}, true, 90, 40},
        {"no grid, no indicator",
         [](Scene& s) {
             s.view.gridThickness = 0;
             s.view.modeIndicator = false;
         },
         true},
        {"axis labels", [](Scene& s) { s.view.axisLabels = true; }, false},
        {"wide grid lines", [](Scene& s) { s.view.gridThickness = 2; }, false},
        {"wide lines", [](Scene& s) { s.view.lineThickness = 2; }, false},
        {"colour legend",
         [](Scene& s) {
             s.view.colourBy = ColourBy::Z;
             s.view.colourLegend = true;
         },
         false},
        {"composed view", [](Scene& s) { s.view.viewType = ViewType::RedCyan; }, false},
        {"text labels",
         [](Scene& s) {
             s.view.textLabels = true;
             s.AddLabel(0.0f, 0.0f, 0.0f, "here");
         },
         false, 780, 239, false},
    };
    for (const PlainCase& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.LoadFile(OCUVIS_SAMPLE_FILE);
        c.set(scene);
        std::vector<QRgb> pixels(static_cast<std::size_t>(c.width) * c.height);
        PlainFrameRenderer plain;
        ASSERT_EQ(plain.Render(pixels.data(), c.width, c.width, c.height, scene.Sources()),
                  c.whole);
        EXPECT_EQ(PlainFrameRenderer::MayBeWhole(scene.view), c.whole || !c.viewTells);
        if (!c.whole) continue;
        const QImage frame = scene.renderer.RenderImage(c.width, c.height, scene.Sources());
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                ASSERT_EQ(pixels[static_cast<std::size_t>(y * c.width + x)], frame.pixel(x, y))
                    << "at " << x << "," << y;
    }
}

// The tables stand only while the files that made them are as they were.
TEST(PlainFrame, TablesStandWhileTheirFilesAreAsRecorded) {
    TempFolder folder;
    const std::string path = folder.Write("font.ttf", "glyphs");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    const RecordedFile as = {path.c_str(), info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    const std::string missing = folder.Path("missing.so");
    const struct {
        const char* name;
        RecordedFile file;
        bool holds;
    } cases[] = {
        {"as recorded", as, true},
        {"another size", {as.path, as.size + 1, as.seconds, as.nanoseconds}, false},
        {"another time", {as.path, as.size, as.seconds - 1, as.nanoseconds}, false},
        {"another nanosecond", {as.path, as.size, as.seconds, as.nanoseconds ^ 1}, false},
        {"gone", {missing.c_str(), as.size, as.seconds, as.nanoseconds}, false},
    };
    for (const auto& c : cases) {
        const RecordedFile files[] = {as, c.file, {nullptr, 0, 0, 0}};
        EXPECT_EQ(FilesAsRecorded(files), c.holds) << c.name;
    }
    const RecordedFile none[] = {{nullptr, 0, 0, 0}};
    EXPECT_TRUE(FilesAsRecorded(none));
}

}  // namespace
}  // namespace ocuvis::test
