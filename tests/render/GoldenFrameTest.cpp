// Whole frames against stored images.
//
// To regenerate after an intended change: run frame_tests, look at each <name>.actual.png it
// writes into its working directory, and copy the ones that are right over
// tests/render/golden/<name>.png.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <cmath>
#include <string_view>
#include <vector>

#include "FrameTestSupport.h"
#include "render/FrameFonts.h"

namespace ocuvis::test {
namespace {

struct GoldenCase {
    const char* name;
    ViewType type;
    int azimuth, elevation, lines, points;
    // Any of "fade", "box", "labels", "sizes" (own dot sizes), "fine", "fine2" (fine dots),
    // "shade" (depth shading) and "byz" (coloured by z).
    std::string_view options;
};

// Names the case in failure messages instead of dumping its bytes.
void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

class GoldenFrame : public testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenFrame, MatchesTheStoredImage) {
    const GoldenCase& c = GetParam();
    ASSERT_TRUE(FrameFonts::Instance().LoadedFromFiles())
        << "the stored images were made with the Liberation fonts (fonts-liberation)";
    // The frames' own data, so that they do not change with the sample file: three runs of a
    // trefoil knot in data units, with dot sizes from 1 to 4, and three labels.
    Scene s;
    std::vector<DataPoint> points;
    for (int i = 0; i < 600; ++i) {
        const double t = i * (6.283185307179586 / 598.0);
        points.push_back(i % 200 == 199
                             ? DataPoint::Break()
                             : DataPoint{static_cast<float>(20 + 8 * (sin(t) + 2 * sin(2 * t))),
                                         static_cast<float>(5 * (cos(t) - 2 * cos(2 * t))),
                                         static_cast<float>(-3 * sin(3 * t)),
                                         static_cast<float>(1 + i % 4)});
    }
    // Labels first: the normalisation maps them with the records.
    s.AddLabel(20.0f, 0.0f, 0.0f, "KNOT");
    s.AddLabel(44.0f, 5.0f, 3.0f, "A LONGER LABEL TEXT HERE");
    s.AddLabel(0.0f, -14.0f, -3.0f, "LOW");
    s.LoadDataPoints(points);
    s.view.viewType = c.type;
    s.SetAngles(c.azimuth, c.elevation);
    s.view.lineThickness = c.lines;
    s.view.pointSize = c.points;
    s.view.fadeLines = c.options.find("fade") != std::string_view::npos;
    s.view.fullBoxGrid = c.options.find("box") != std::string_view::npos;
    s.view.textLabels = c.options.find("labels") != std::string_view::npos;
    s.store->dotSizesPresent = c.options.find("sizes") != std::string_view::npos;
    s.view.finePoints = c.options.find("fine2") != std::string_view::npos  ? FinePoints::TwoByTwo
                        : c.options.find("fine") != std::string_view::npos ? FinePoints::OnePixel
                                                                           : FinePoints::Off;
    s.view.depthShade = c.options.find("shade") != std::string_view::npos;
    if (c.options.find("byz") != std::string_view::npos) s.view.colourBy = ColourBy::Z;
    s.view.axisLabels = s.view.titles = true;
    s.titles = {"TREFOIL", "X", "", "Z"};

    const QImage actual = s.renderer.RenderImage(320, 120, s.Sources());
    const QString goldenPath = QStringLiteral(OCUVIS_GOLDEN_DIR "/%1.png").arg(c.name);
    if (QImage(goldenPath).convertToFormat(QImage::Format_RGB32) !=
        actual.convertToFormat(QImage::Format_RGB32)) {
        const QString actualPath = QStringLiteral("%1.actual.png").arg(c.name);
        actual.save(actualPath);
        FAIL() << "frame differs from " << goldenPath.toStdString() << "; wrote "
               << QFileInfo(actualPath).absoluteFilePath().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    SampleData, GoldenFrame,
    testing::Values(GoldenCase{"cross_lines_labels", ViewType::CrossEyes, 30, 15, 1, 1, "labels"},
                    GoldenCase{"wall_box_dots", ViewType::WallEyes, -40, 10, 0, 2, "box sizes"},
                    GoldenCase{"cross_faded", ViewType::CrossEyes, 60, 25, 1, 0, "fade labels"},
                    GoldenCase{"right_red_box", ViewType::RightRed, 20, -15, 1, 1, "box"},
                    GoldenCase{"single_titles", ViewType::Single, 0, 0, 2, 0, "labels"},
                    GoldenCase{"cross_fine_shaded", ViewType::CrossEyes, 30, 15, 0, 2,
                               "fine shade"},
                    GoldenCase{"single_fine2_by_z", ViewType::Single, -20, 30, 0, 2, "fine2 byz"}),
    [](const testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ocuvis::test
