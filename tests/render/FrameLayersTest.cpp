// What each layer of a frame draws, through the recording canvas; whole frames are pinned by
// the golden images.
#include <gtest/gtest.h>

#include <QImage>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FrameTestSupport.h"
#include "TestSupport.h"
#include "core/ScaleSteps.h"
#include "render/GridLayer.h"
#include "render/TextLabelsLayer.h"

namespace ocuvis::test {
namespace {

using Kind = RecordingCanvas::Kind;
using Op = RecordingCanvas::Operation;
using Texts = std::vector<std::string>;

Texts TextsOf(const RecordingCanvas& canvas) {
    Texts texts;
    for (const Op& op : canvas.Of(Kind::Text))
        texts.push_back(op.text);
    return texts;
}

// The layer under test alone, in the single view.
struct BareScene : Scene {
    BareScene() {
        view.gridThickness = view.pointSize = 0;
        view.modeIndicator = false;
        view.viewType = ViewType::Single;
    }
};

// The other modes' indicators are in the golden frames, at angles other than zero.
TEST(ModeIndicator, NamesTheModeAtTheImageCentreWhereverTheGraphIsShifted) {
    BareScene s;
    s.view.modeIndicator = true;
    s.view.viewType = ViewType::RightBlue;
    s.graph.xshift = OffsetShift(7);
    const std::vector<Op> texts = s.Record().Of(Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(std::pair(texts[0].text, (texts[0].rect.left + texts[0].rect.right) / 2),
              std::pair(std::string("3D-Lred"), 390));
}

TEST(Lines, TheBuiltInFigureIsClosed) {
    BareScene s;
    s.view.lineThickness = 1;
    s.LoadFile("");  // no name: the built-in data
    const RecordingCanvas canvas = s.Record();
    const std::vector<Op> lines = canvas.Of(Kind::Line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(std::pair(lines[3].x2, lines[3].y2), std::pair(lines[0].x1, lines[0].y1));
    // Size classes 5, 3, 1 and 0: the largest dot size shows no dot, pointSize 0 or not.
    std::vector<int> radii;
    for (const Op& dot : canvas.Of(Kind::Ellipse))
        radii.push_back((dot.rect.right - dot.rect.left) / 2);
    EXPECT_EQ(radii, (std::vector<int>{5, 3, 1}));
    s.store->dotSizesPresent = 0;
    s.view.pointSize = -4;  // a damaged setting
    EXPECT_TRUE(s.Record().Of(Kind::Ellipse).empty());
}

// Each element twice, blue image then red image (colours as 0x00BBGGRR); text labels once, never
// recoloured. The pairs of every kind of element are in the right-red golden frame.
TEST(Anaglyph, BlueImageThenRedButTextLabelsOnce) {
    BareScene s;
    s.view.viewType = ViewType::RightBlue;
    s.view.lineThickness = 1;
    s.view.textLabels = true;
    s.SetCubePoints({{-0.3f, 0, 0}, {0.3f, 0.1f, 0.2f}});
    s.AddLabel(0, 0, 0, "A");
    const RecordingCanvas canvas = s.Record();
    const std::vector<Op> lines = canvas.Of(Kind::Line), texts = canvas.Of(Kind::Text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(std::pair(lines[0].penColour, lines[1].penColour), std::pair(0xFF0000u, 0x0000FFu));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].textColour, s.view.lineColor);
}

// Dots as a user sees them, drawn straight into the pixels (one-pixel lines) and through the
// canvas (wider ones): the first image blue, the second red, never the dot colour. A record in
// front of the centre shows its images apart, the blue one right of the red one when the right
// eye sees red.
TEST(Anaglyph, DotsTakeTheColourOfTheirImage) {
    const struct {
        const char* name;
        ViewType type;
        int lines;
        bool blueRightOfRed;
    } cases[] = {{"right red, into the pixels", ViewType::RightRed, 1, true},
                 {"right red, through the canvas", ViewType::RightRed, 2, true},
                 {"right blue, into the pixels", ViewType::RightBlue, 1, false},
                 {"right blue, through the canvas", ViewType::RightBlue, 2, false}};
    for (const auto& c : cases) {
        BareScene s;
        s.view.viewType = c.type;
        s.view.lineThickness = c.lines;
        s.view.pointSize = 3;
        s.view.dotColor = 0x00FF00;
        s.SetCubePoints({{0.0f, 0.0f, 0.8f}});  // plot z -0.8: nearer than the centre
        const QImage frame = s.renderer.RenderImage(780, 239, s.Sources());
        std::map<QRgb, std::pair<long, long>> columns;  // RGB: pixels and sum of their columns
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x) {
                auto& [pixels, sum] = columns[frame.pixel(x, y) & 0xFFFFFF];
                ++pixels, sum += x;
            }
        const auto [blue, blueColumns] = columns[0x0000FF];
        const auto [red, redColumns] = columns[0xFF0000];
        EXPECT_EQ(columns[0x00FF00].first, 0) << c.name;
        ASSERT_TRUE(blue > 0 && red > 0) << c.name;
        EXPECT_EQ(blueColumns / blue > redColumns / red, c.blueRightOfRed) << c.name;
    }
}

TEST(Fading, WithoutADepthRangeEverythingIsBlackInTheNearPass) {
    BareScene s;
    s.view.backgroundColor = 0x123456;
    s.view.textLabels = s.view.fadeLines = true;
    s.view.lineThickness = 1;
    s.AddLabel(0, 0, 0.9f, "FRONT");
    s.AddLabel(0, 0, -0.9f, "BACK");
    // Labels only, nothing measured; then every record at one depth (plot z is -cube z).
    for (const std::size_t lineCount : {0u, 2u}) {
        if (lineCount > 0)
            s.SetCubePoints({{-0.5f, -0.5f, 0.2f}, {0.5f, -0.5f, 0.2f}, {0.5f, 0.5f, 0.2f}});
        const RecordingCanvas canvas = s.Record();
        EXPECT_EQ(canvas.operations.front().brushColour, 0xDCDCDCu);  // light grey behind fades
        EXPECT_EQ(canvas.Of(Kind::Line).size(), lineCount);
        for (const Op& op : canvas.operations)
            if (op.kind != Kind::Fill) {
                EXPECT_EQ(op.kind == Kind::Text ? op.textColour : op.penColour, 0u);
            }
        EXPECT_EQ(TextsOf(canvas), (Texts{"FRONT", "BACK"}));
    }
    EXPECT_FLOAT_EQ(s.renderer.fadeNear, -0.2f);
    EXPECT_FLOAT_EQ(s.renderer.fadeFar, -0.2f);
}

TEST(Fading, GreyLevels) {
    // fadeNear -1, fadeFar 1: the near pass takes depths below 0, each grey 208 × (depth + 1) / 2.
    // Labels beyond the measured range keep to the ends of the scale. The order of the passes
    // and the greys of lines are in the faded golden frame.
    const std::pair<float, Colour> cases[] = {{-1.0f, 0x000000}, {-0.01f, 0x666666},
                                              {0.0f, 0x686868},  {0.5f, 0x9C9C9C},
                                              {3.0f, 0xD0D0D0},  {-3.0f, 0x000000}};
    for (const auto& [depth, grey] : cases) {
        BareScene s;
        s.view.textLabels = s.view.fadeLines = true;
        s.renderer.fadeNear = -1.0f;
        s.renderer.fadeFar = 1.0f;
        s.AddLabel(0, 0, -depth, "L");  // plot z = -cube z
        const std::vector<Op> texts = s.Record().Of(Kind::Text);
        ASSERT_EQ(texts.size(), 1u) << depth;
        EXPECT_EQ(texts[0].textColour, grey) << depth;
    }
}

TEST(TextLabels, FontSizeByLengthAndEightBitTextsAsLatin1) {
    for (const auto& [length, points] : {std::pair{18, 12}, {19, 11}, {21, 11}, {22, 9}}) {
        BareScene s;
        s.view.textLabels = true;
        s.AddLabel(0, 0, 0, std::string(static_cast<std::size_t>(length), 'W'));
        EXPECT_EQ(s.Record().Of(Kind::Text).at(0).font, (TextFont{FontFace::Serif, points, true}))
            << length;
    }
    int characters = 0;
    for (const char* text : {"CAF\xC9", "CAF\xC3\x89"}) {
        EXPECT_EQ(LabelTextAsUtf8(text, characters), "CAF\xC3\x89");
        EXPECT_EQ(characters, 4);
    }
}

// How labels were read when Qt decoded them, which the reading without Qt must keep.
std::string QtReadLabel(const std::string& raw, int& characters) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(raw.data(), static_cast<qsizetype>(raw.size())));
    if (utf8.hasError()) text = QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size()));
    characters = static_cast<int>(text.toUcs4().size());
    return text.toStdString();
}

TEST(TextLabels, ReadAsQtsDecoderReadsThem) {
    std::vector<std::string> texts = {"", "\xEF\xBB\xBF",
                                      "\xEF\xBB\xBF\xEF\xBB\xBF"
                                      "A",
                                      "A\xEF\xBB\xBF", "\xEF\xBB\xBF\xC9"};
    // Every text of one and two bytes; longer sequences over the bytes where the rules change.
    const unsigned char edges[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0,
                                   0xC1, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    const auto text = [](std::initializer_list<unsigned> bytes) {
        std::string t;
        for (const unsigned b : bytes)
            t += static_cast<char>(b);
        return t;
    };
    for (unsigned a = 0; a < 256; ++a) {
        texts.push_back(text({a}));
        for (unsigned b = 0; b < 256; ++b)
            texts.push_back(text({a, b}));
    }
    for (unsigned a = 0xC0; a < 256; ++a)
        for (const unsigned b : edges)
            for (const unsigned c : edges) {
                texts.push_back(text({a, b, c}));
                if (a >= 0xF0)
                    for (const unsigned d : edges)
                        texts.push_back(text({a, b, c, d}));
            }
    std::mt19937 random(5);
    std::uniform_int_distribution<std::size_t> length(1, 12), pick(0, std::size(edges) - 1);
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        for (std::size_t n = length(random); n > 0; --n)
            t += static_cast<char>(edges[pick(random)]);
        texts.push_back(t);
    }
    for (const std::string& raw : texts) {
        int ours = 0, qts = 0;
        const std::string read = LabelTextAsUtf8(raw, ours);
        ASSERT_EQ(read, QtReadLabel(raw, qts)) << testing::PrintToString(raw);
        ASSERT_EQ(ours, qts) << testing::PrintToString(raw);
    }
}

TEST(Grid, GatedByThicknessThenLabelsThenTitles) {
    BareScene s;
    s.view.axisLabels = s.view.titles = true;
    s.titles = {"MAIN", "X", "Y", "Z"};
    EXPECT_EQ(s.Record().operations.size(), 1u);  // grid thickness 0: the background alone
    s.view.gridThickness = 3;
    const RecordingCanvas canvas = s.Record();
    EXPECT_EQ(canvas.Of(Kind::Line).size(), 15u);
    EXPECT_EQ(canvas.Of(Kind::Line)[0].penWidth, 3);
    EXPECT_EQ(canvas.Of(Kind::Text).size(), 11u + 4);
    s.view.axisLabels = false;
    EXPECT_TRUE(s.Record().Of(Kind::Text).empty());
    s.view.axisLabels = true;
    s.view.titles = false;
    EXPECT_EQ(s.Record().Of(Kind::Text).size(), 11u);
}

TEST(AxisLabels, DataValuesAtTheirEnds) {
    Scene s;
    s.view.viewType = ViewType::Single;
    s.view.modeIndicator = false;
    s.view.axisLabels = true;
    s.LoadDataPoints({{-5, 0, 0, 0}, {5, 10, 10, 0}});
    // The labels at the neutral scale are in the golden frames. A scale of ten shows values ten
    // times smaller; a residue just off zero still prints "0".
    s.graph.xscale = 10.0f;
    s.graph.xshift = 1.0e-7f;
    // The Z labels name the data drawn at their depth: inverting swaps them end for end.
    s.view.zInvert = true;
    s.graph.zscale = -s.graph.zscale;
    EXPECT_EQ(TextsOf(s.Record()),
              (Texts{"-0.5", "0", "0.5", "0", "5", "10", "0", "2.5", "5", "7.5", "10"}));
    // Three significant digits, as printf's %.3g.
    const std::pair<float, const char*> formats[] = {
        {1234.5f, "1.23e+03"}, {0.000123f, "0.000123"}, {1e-5f, "1e-05"}, {999.6f, "1e+03"}};
    for (const auto& [value, text] : formats)
        EXPECT_EQ(FormatAxisValue(value), text) << value;
}

TEST(Robustness, PositionsBehindTheEyeAreSkipped) {
    BareScene s;
    s.view.lineThickness = 1;
    s.view.pointSize = 2;
    s.view.textLabels = true;
    s.view.z0 = 2.0f;
    // Plot z = -cube z: cube z 3 lies at depth -3, behind the eye at distance 2.
    s.SetCubePoints({{0, 0, 0, 0}, {0.2f, 0.2f, 3.0f, 0}, {0.4f, 0, 0, 0}, {0.5f, 0, 0, 0}});
    s.AddLabel(0, 0, 2.5f, "BEHIND");
    s.AddLabel(0, 0, 0, "SEEN");
    const RecordingCanvas canvas = s.Record();
    EXPECT_EQ(canvas.Of(Kind::Line).size(), 1u);     // only the segment between the last two
    EXPECT_EQ(canvas.Of(Kind::Ellipse).size(), 3u);  // not the one behind
    EXPECT_EQ(TextsOf(canvas), Texts{"SEEN"});
    // The cube's near face at the eye: a frame without extent draws only the background.
    s.view.z0 = 1.0f;
    s.view.gridThickness = 1;
    s.view.axisLabels = true;
    EXPECT_EQ(s.Record().operations.size(), 1u);
}

// Every line end within a few thousand pixels of the 780 x 239 frame, whether the data lie
// millions of cube units out or a projection overflows to infinity.
TEST(Robustness, HugeCoordinatesAndOverflowingPixelsStayWithinReach) {
    Scene huge, overflow;
    huge.view.lineThickness = huge.view.gridThickness = overflow.view.lineThickness = 1;
    huge.view.pointSize = overflow.view.pointSize = 2;
    huge.view.axisLabels = overflow.view.axisLabels = overflow.view.textLabels = true;
    huge.SetCubePoints(
        {{0, 0, 0}, {3.0e6f, 1.0e6f, 0}, {-2.0e7f, 5.0e6f, 0.5f}, {3.0e38f, -3.0e38f, 0}});
    huge.graph.xscale = 1.0e8f;  // overflows the last record to infinity
    // A viewing distance near the float limit: the far record's rotated position is finite,
    // its projection is not.
    overflow.view.z0 = 1.0e36f;
    overflow.SetAngles(0, 90);
    overflow.LoadDataPoints({{1, 2, 3, 0}, {7, 81, 3.4e38f, 0}});
    const DataPoint& far = overflow.store->points[1];
    overflow.AddLabel(far.x, far.y, far.z, "FAR");
    overflow.graph.zscale = ScaleSteps[72];
    for (Scene* s : {&huge, &overflow}) {
        const RecordingCanvas canvas = s->Record();
        EXPECT_FALSE(canvas.Of(Kind::Line).empty());
        // Not std::abs: a pixel made from NaN is INT_MIN, whose absolute value overflows.
        for (const Op& line : canvas.Of(Kind::Line))
            EXPECT_TRUE(std::min(line.x1, line.x2) >= -4876 && std::max(line.x1, line.x2) <= 4876 &&
                        std::min(line.y1, line.y2) >= -4335 && std::max(line.y1, line.y2) <= 4335)
                << line.x1 << "," << line.y1 << " " << line.x2 << "," << line.y2;
    }
    const RecordingCanvas canvas = overflow.Record();
    EXPECT_EQ(canvas.Of(Kind::Ellipse).size(), 2u);  // the near record only, in both images
    const Texts texts = TextsOf(canvas);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "FAR"), 0);
}

TEST(Robustness, CountsBeyondTheStoreAreHeldToIt) {
    BareScene s;
    s.view.pointSize = 1;
    s.view.textLabels = true;
    s.store->points.resize(5000, {0.1f, 0.2f, 0.3f, 0.0f});
    s.store->pointCount = 5500;
    s.store->labelCount = 1000;
    const RecordingCanvas canvas = s.Record();
    EXPECT_EQ(canvas.Of(Kind::Ellipse).size(), std::size_t{5000});
    EXPECT_EQ(canvas.Of(Kind::Text).size(), std::size_t{kLabelCapacity});
}

// What the README promises of the sample data, at the first-run settings.
TEST(SampleData, LinesShowBetweenTheDotsAndTheDotSizeFieldMakesPearlsWithoutLosingADot) {
    std::set<std::pair<int, int>> centres[2];
    std::set<int> sizes;
    for (const int dotIndex : {0, 4}) {
        Scene s;
        FileInputFields fields;
        fields.DotIndex = dotIndex;
        s.LoadFile(OCUVIS_SAMPLE_FILE, fields);
        for (const int lines : {0, 1}) {
            if (dotIndex > 0) break;
            s.view.lineThickness = lines;
            const QImage frame = s.renderer.RenderImage(780, 239, s.Sources());
            int count = 0;  // pixels in lineColor, as RGB
            for (int y = 0; y < frame.height(); ++y)
                for (int x = 0; x < frame.width(); ++x)
                    count += (frame.pixel(x, y) & 0xFFFFFF) == 0x0000FF;
            // Several pixels of line between neighbouring dots, over 96 gaps in the two images;
            // dense dots would cover the lines all but completely.
            EXPECT_TRUE(lines ? count > 300 : count == 0) << count;
        }
        s.view.lineThickness = 0;
        for (const Op& dot : s.Record().Of(Kind::Ellipse)) {
            centres[dotIndex > 0].insert(
                {dot.rect.left + dot.rect.right, dot.rect.top + dot.rect.bottom});
            if (dotIndex > 0) sizes.insert(dot.penWidth);
        }
    }
    EXPECT_GE(sizes.size(), 5u);
    // Every place that has a dot of the middle size has one of its own size too.
    EXPECT_EQ(centres[1], centres[0]);
}

// A cloud a centimetre apart and the same cloud moved to map coordinates draw the same dots,
// and the axis labels name the moved values.
TEST(AxisLabels, FarCoordinatesDrawAsNearOnesAndAreNamedInFull) {
    TempFolder dir;
    std::string files[2];
    char line[96];
    for (int i = 0; i < 144; ++i)
        for (int k = 0; k < 2; ++k) {
            std::snprintf(line, sizeof line, "%.2f %.2f %.2f\n", 0.01 * (i % 12) + 512000 * k,
                          0.01 * (i / 12) + 4012000 * k, 0.01 * (i % 5) + 300 * k);
            files[k] += line;
        }
    RecordingCanvas frames[2];
    for (int k = 0; k < 2; ++k) {
        Scene s;
        s.view.axisLabels = true;
        s.LoadFile(dir.Write(k == 0 ? "near.3d" : "far.3d", files[k]));
        s.SetAngles(30, 20);
        frames[k] = s.Record();
    }
    const std::vector<Op> near = frames[0].Of(Kind::Ellipse), far = frames[1].Of(Kind::Ellipse);
    ASSERT_EQ(near.size(), 2u * 144u);
    ASSERT_EQ(far.size(), near.size());
    for (std::size_t i = 0; i < near.size(); ++i)
        EXPECT_TRUE(std::abs(far[i].rect.left - near[i].rect.left) <= 1 &&
                    std::abs(far[i].rect.top - near[i].rect.top) <= 1)
            << i;
    // Three X, three Y and five Z labels in each image.
    const Texts texts = TextsOf(frames[1]);
    EXPECT_EQ(std::tuple(std::count(texts.begin(), texts.end(), "5.12e+05"),
                         std::count(texts.begin(), texts.end(), "4.01e+06"),
                         std::count(texts.begin(), texts.end(), "300")),
              std::tuple(6, 6, 10));
}

// One point set in the three kinds of data file draws the same dots. (A PLY file's vertices
// are never joined, so lines are left out.)
TEST(FileKinds, SamePointsDrawTheSameFrame) {
    std::string classic = "; classic layout\n";
    std::string csv = "# the same points\neast,north,\"height m\"\n";
    std::string ply =
        "ply\nformat binary_little_endian 1.0\nelement vertex 400\nproperty float x\n"
        "property float y\nproperty float z\nend_header\n";
    char line[96];
    for (int i = 0; i < 400; ++i) {
        const float t = static_cast<float>(i) * 0.05f;
        const float point[3] = {std::cos(t) * (3.0f + t), std::sin(t) * 2.0f, t * 0.25f - 4.0f};
        std::snprintf(line, sizeof line, "%.9g %.9g %.9g\n", point[0], point[1], point[2]);
        classic += line;
        std::snprintf(line, sizeof line, "%.9g,%.9g,%.9g\n", point[0], point[1], point[2]);
        csv += line;
        ply.append(reinterpret_cast<const char*>(point), sizeof point);  // little-endian host
    }
    TempFolder dir;
    const std::pair<const char*, std::string> files[] = {
        {"cloud.3d", classic}, {"cloud.csv", csv}, {"cloud.ply", ply}};
    QImage first;
    for (const auto& [name, content] : files) {
        Scene s;
        s.LoadFile(dir.Write(name, content));
        ASSERT_EQ(s.store->pointCount, 400) << name;
        s.view.lineThickness = 0;
        s.SetAngles(30, 0);
        const QImage frame = s.renderer.RenderImage(400, 200, s.Sources());
        if (first.isNull()) first = frame;
        EXPECT_TRUE(frame == first) << name;
    }
}

}  // namespace
}  // namespace ocuvis::test
