// Whole frames against stored images.
//
// To regenerate after an intended change: run frame_tests, look at each <name>.actual.png it
// writes into its working directory, and copy the ones that are right over
// tests/render/golden/<name>.png.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <cmath>
#include <vector>

#include "FrameFonts.h"
#include "FrameTestSupport.h"

namespace ocuvis::test {
namespace {

// The frames' own data, so that they do not change with the sample file: three runs of a
// trefoil knot in data units, with dot sizes from 1 to 4, and three labels.
void LoadTrefoil(Scene& s) {
    std::vector<DataPoint> points;
    for (int i = 0; i < 600; ++i) {
        if (i % 200 == 199) {
            points.push_back(DataPoint::Break());
            continue;
        }
        const double t = i * (6.283185307179586 / 598.0);
        points.push_back({static_cast<float>(20.0 + 8.0 * (std::sin(t) + 2.0 * std::sin(2.0 * t))),
                          static_cast<float>(5.0 * (std::cos(t) - 2.0 * std::cos(2.0 * t))),
                          static_cast<float>(-3.0 * std::sin(3.0 * t)),
                          static_cast<float>(1.0 + (i % 4))});
    }
    // Labels first: the normalisation maps them with the records.
    s.AddLabel(20.0f, 0.0f, 0.0f, "KNOT");
    s.AddLabel(44.0f, 5.0f, 3.0f, "A LONGER LABEL TEXT HERE");
    s.AddLabel(0.0f, -14.0f, -3.0f, "LOW");
    s.LoadDataPoints(points);
}

struct GoldenCase {
    const char* name;
    ViewType type;
    int azimuth, elevation;
    int lines, points;
    bool fade, box, textLabels;
    bool ownDotSizes;  // the fourth field as dot sizes
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
    LoadTrefoil(s);
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
    s.titles = {"TREFOIL", "X", "", "Z"};

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
