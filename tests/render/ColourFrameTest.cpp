// Colour in the frame: the maps, the records' own colours on dots and lines, the red/blue
// views' brightness rule, the legend, and dots-only records left unjoined.
#include <gtest/gtest.h>

#include <QImage>
#include <set>

#include "FrameTestSupport.h"
#include "render/ColourMaps.h"

namespace ocuvis::test {
namespace {

TEST(ColourMaps, EndsAndMiddle) {
    struct Case {
        ColourMapKind map;
        double t;
        QRgb expected;
    };
    const Case cases[] = {
        {ColourMapKind::Viridis, 0.0, qRgb(68, 1, 84)},
        {ColourMapKind::Viridis, 0.5, qRgb(38, 130, 142)},
        {ColourMapKind::Viridis, 1.0, qRgb(253, 231, 37)},
        {ColourMapKind::Diverging, 0.0, qRgb(33, 102, 172)},
        {ColourMapKind::Diverging, 0.5, qRgb(247, 247, 247)},
        {ColourMapKind::Diverging, 1.0, qRgb(178, 24, 43)},
        {ColourMapKind::Grey, 0.0, qRgb(0, 0, 0)},
        {ColourMapKind::Grey, 0.5, qRgb(128, 128, 128)},
        {ColourMapKind::Grey, 1.0, qRgb(255, 255, 255)},
        // Beyond the range: the end colours.
        {ColourMapKind::Viridis, -3.0, qRgb(68, 1, 84)},
        {ColourMapKind::Grey, 7.0, qRgb(255, 255, 255)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColourMapAt(c.map, c.t), c.expected) << static_cast<int>(c.map) << " at " << c.t;
    // The rainbow runs dark blue, bright green in the middle, dark red.
    const QRgb low = ColourMapAt(ColourMapKind::Turbo, 0.0);
    const QRgb middle = ColourMapAt(ColourMapKind::Turbo, 0.5);
    const QRgb high = ColourMapAt(ColourMapKind::Turbo, 1.0);
    EXPECT_LT(qGray(low), 60);
    EXPECT_GT(qGreen(middle), 200);
    EXPECT_GT(qRed(high), 3 * qBlue(high));
    EXPECT_LT(qGray(high), 80);
}

// The colours of a frame's pixels.
std::set<QRgb> Colours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours;
}

// Two records, red then blue, joined by a line, in the middle of a frame without a grid.
void TwoColouredRecords(Scene& s) {
    s.SetCubePoints({{-0.3f, 0.0f, 0.8f}, {0.3f, 0.1f, -0.8f}});
    s.store->colourColumn = PointStore::ColourColumn::Rgb;
    s.store->colours = {0xFFFF0000, 0xFF0000FF};
    s.view.gridThickness = 0;
    s.view.modeIndicator = false;
    s.view.viewType = ViewType::Single;
}

TEST(ColourFrame, RecordsDrawInTheirColoursAndLinesInTheirFirstEnds) {
    struct Case {
        const char* name;
        ViewType type;
        ColourBy by;
        int lines, points;
        std::set<QRgb> expected;
    };
    const QRgb black = qRgb(0, 0, 0), red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    const QRgb white = qRgb(255, 255, 255), green = qRgb(0, 255, 0);
    // Red's brightness is 76, blue's 29: each in the channel of the eye's filter.
    const std::set<QRgb> redBlueEyes = {black, qRgb(0, 0, 76), qRgb(76, 0, 0), qRgb(0, 0, 29),
                                        qRgb(29, 0, 0)};
    const Case cases[] = {
        {"dots in the file's colours", ViewType::Single, ColourBy::File, 0, 2, {black, red, blue}},
        {"the line takes its first end's", ViewType::Single, ColourBy::File, 1, 0, {black, red}},
        {"none: the dot colour", ViewType::Single, ColourBy::None, 0, 2, {black, white}},
        {"none: the line colour", ViewType::Single, ColourBy::None, 1, 0, {black, green}},
        {"red right: brightness per eye", ViewType::RightRed, ColourBy::File, 0, 2, redBlueEyes},
    };
    for (const Case& c : cases) {
        Scene s;
        TwoColouredRecords(s);
        s.view.viewType = c.type;
        s.view.colourBy = c.by;
        s.view.lineThickness = c.lines;
        s.view.pointSize = c.points;
        s.view.lineColor = 0x00FF00;
        EXPECT_EQ(Colours(s.renderer.RenderImage(200, 100, s.Sources())), c.expected) << c.name;
    }
}

TEST(ColourFrame, LegendShowsTheRangeInDataUnits) {
    Scene s;
    s.LoadDataPoints({{10.0f, 0.0f, -2.5f}, {20.0f, 1.0f, 0.125f}, {30.0f, 2.0f, 4.0f}});
    s.view.colourBy = ColourBy::Z;
    s.view.colourLegend = true;
    const auto texts = [&s] {
        std::set<std::string> shown;
        for (const auto& op : s.Record().Of(RecordingCanvas::Kind::Text))
            shown.insert(op.text);
        return shown;
    };
    EXPECT_TRUE(texts().count("-2.5") && texts().count("4")) << "the field's own range";
    s.store->origin = {0.0, 0.0, 4012000.0};
    EXPECT_TRUE(texts().count("4011997.5") && texts().count("4012004")) << "a far file's range";
    s.view.colourRangeTyped = true;
    s.view.colourRangeMin = 0.1;
    s.view.colourRangeMax = 1234567.125;
    EXPECT_TRUE(texts().count("0.1") && texts().count("1234567.125")) << "a typed range";
}

TEST(ColourFrame, RecordsBeforeTheFirstJoinedOneAreNotJoined) {
    // Three vertices, then the one edge from the first to the third.
    Scene s;
    const DataPoint a{-0.5f, -0.5f, 0.0f}, b{0.5f, 0.5f, 0.0f}, c{0.5f, -0.5f, 0.0f};
    s.SetCubePoints({a, b, c, DataPoint::Break(), a, c});
    s.store->firstJoinedRecord = 3;
    s.view.pointSize = 0;
    s.view.lineThickness = 1;
    Scene edgeOnly;
    edgeOnly.SetCubePoints({DataPoint::Break(), a, c});
    edgeOnly.view = s.view;
    EXPECT_TRUE(s.renderer.RenderImage(300, 100, s.Sources()) ==
                edgeOnly.renderer.RenderImage(300, 100, edgeOnly.Sources()));
}

}  // namespace
}  // namespace ocuvis::test
