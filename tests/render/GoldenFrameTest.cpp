// Whole frames against stored images.
//
// To regenerate after an intended change: run frame_tests, look at each <name>.actual.png it
// writes into its working directory, and copy the ones that are right over
// tests/render/golden/<name>.png.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>

#include "FrameFonts.h"
#include "FrameTestSupport.h"

namespace ocuvis::test {
namespace {

struct GoldenCase {
    const char* name;
    ViewType type;
    int azimuth, elevation;
    int lines, points;
    bool fade, box, textLabels;
    bool ownDotSizes;  // the sample's fourth field as dot sizes
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

class GoldenFrame : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenFrame, MatchesTheStoredImage) {
    const GoldenCase& c = GetParam();
    ASSERT_TRUE(FrameFonts::Instance().LoadedFromFiles())
        << "the stored images were made with the Liberation fonts (fonts-liberation)";
    Scene s;
    LoadFile(s, OCUVIS_SAMPLE_FILE);
    s.view.viewType = c.type;
    s.SetAngles(c.azimuth, c.elevation);
    s.view.lineThickness = c.lines;
    s.view.pointSize = c.points;
    s.view.fadeLines = c.fade;
    s.view.fullBoxGrid = c.box;
    s.view.textLabels = c.textLabels;
    s.store->dotSizesPresent = c.ownDotSizes ? 1 : 0;
    s.view.axisLabels = true;
    s.view.titles = true;
    s.titles = {"LORENZ", "X", "", "Z"};

    const QImage actual = s.renderer.RenderImage(320, 120, s.Sources());
    const QString goldenPath = QStringLiteral(OCUVIS_GOLDEN_DIR "/%1.png").arg(c.name);
    const QImage golden = QImage(goldenPath).convertToFormat(QImage::Format_RGB32);
    if (golden != actual.convertToFormat(QImage::Format_RGB32)) {
        const QString actualPath = QStringLiteral("%1.actual.png").arg(c.name);
        actual.save(actualPath);
        FAIL() << "frame differs from " << goldenPath.toStdString() << "; wrote "
               << QFileInfo(actualPath).absoluteFilePath().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    SampleData, GoldenFrame,
    testing::Values(
        GoldenCase{"cross_lines_labels", ViewType::CrossEyes, 30, 15, 1, 1, false, false, true,
                   false},
        GoldenCase{"wall_box_dots", ViewType::WallEyes, -40, 10, 0, 2, false, true, false, true},
        GoldenCase{"cross_faded", ViewType::CrossEyes, 60, 25, 1, 0, true, false, true, false},
        GoldenCase{"right_red_box", ViewType::RightRed, 20, -15, 1, 1, false, true, false, false},
        GoldenCase{"single_titles", ViewType::Single, 0, 0, 2, 0, false, false, true, false}),
    [](const testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ocuvis::test
