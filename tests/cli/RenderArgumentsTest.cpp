#include <gtest/gtest.h>

#include <tuple>

#include "app/cli/RenderCommand.h"

namespace ocuvis::cli {
namespace {

// Every option once, in both value forms.
// clang-format off
const std::vector<std::string> kEveryOption = {
    "--view", "right-blue", "--azimuth=-30", "--elevation", "45", "--points", "0", "--lines=3",
    "--grid", "2", "--box", "--axis-labels", "--titles", "--title-main", "Main title",
    "--title-x", "X", "--title-y=Y", "--title-z", "", "--text-labels", "--fade",
    "--no-mode-indicator", "--z-invert", "--range", "0,28,77", "--offset", "-20,20,-40",
    "--zoom", "-3", "--z0", "2.5", "--background", "#102030", "--text-color", "#FFFFFF", "--dot-color", "#ff0000",
    "--line-color", "#00ff00", "--grid-color", "#0000ff", "--fields", "2,1,0,4", "--sample",
    "12.5", "--seed", "4294967295", "--frames", "12", "--size", "100x50", "-o", "out/frame.BMP",
    "--format", "bmp", "--one-to-one", "--max-records", "50000000", "--colour-by", "7",
    "--colour-map=turbo", "--colour-range", "-2.5,1e3", "--legend", "--depth-shade", "--",
    "--file.txt"};
// clang-format on

TEST(RenderArguments, EveryOptionReachesItsFieldAndTheHelp) {
    std::string error;
    const auto o = ParseRenderArguments(kEveryOption, error);
    ASSERT_TRUE(o) << error;
    const GraphViewState& v = o->view;
    EXPECT_EQ(std::tuple(v.viewType, v.azimuth, v.elevation, v.pointSize, v.lineThickness,
                         v.gridThickness),
              std::tuple(ViewType::RightBlue, -30, 45, 0, 3, 2));
    EXPECT_TRUE(v.fullBoxGrid && v.axisLabels && v.titles && v.textLabels && v.fadeLines &&
                v.zInvert && !v.modeIndicator);
    EXPECT_EQ(std::tie(o->titles.mainTitle, o->titles.yTitle, o->titles.zTitle),
              std::tuple("Main title", "Y", ""));
    EXPECT_EQ(o->rangePositions, (std::array<int, 3>{0, 28, 77}));
    EXPECT_EQ(o->offsetPositions, (std::array<int, 3>{-20, 20, -40}));
    EXPECT_EQ(o->zoomSteps, -3);
    // Colours are 0x00BBGGRR.
    EXPECT_EQ(std::tuple(v.backgroundColor, v.dotColor, v.gridColor),
              std::tuple(0x302010u, 0x0000FFu, 0xFF0000u));
    EXPECT_EQ(
        std::tuple(o->fields.XIndex, o->fields.ZIndex, o->fields.DotIndex,
                   o->fields.SubSampleEnabled, o->fields.SamplePercent, o->fields.RecordLimit),
        std::tuple(2, 0, 4, true, 12.5f, 50000000));
    // The width follows the height, as 1:1 sets it for a single image.
    EXPECT_EQ(std::tuple(*o->z0, o->seed, o->frames, o->width, o->height),
              std::tuple(2.5f, 4294967295u, 12, 50, 50));
    EXPECT_EQ(o->output, "out/frame.BMP");
    EXPECT_EQ(o->format, ImageFileFormat::Bmp);
    EXPECT_EQ(o->dataFile, "--file.txt");  // after "--" a name is never an option
    EXPECT_EQ(std::tuple(v.colourBy, o->fields.ValueIndex, v.colourMap, v.colourRangeTyped,
                         v.colourRangeMin, v.colourRangeMax, v.colourLegend, v.depthShade),
              std::tuple(ColourBy::Field, 7, ColourMapKind::Turbo, true, -2.5, 1000.0, true, true));

    const std::string usage = RenderUsage();
    for (const std::string& argument : kEveryOption)
        if (argument.rfind("--", 0) == 0 && argument.size() > 2 && argument != "--file.txt") {
            EXPECT_NE(usage.find(argument.substr(0, argument.find('='))), std::string::npos)
                << argument;
        }
    // The limits a script may hit: the image size and the unreadable-file status.
    EXPECT_NE(usage.find("each side 1..16384"), std::string::npos);
    EXPECT_NE(usage.find("3 when the data file could not be read"), std::string::npos);
}

TEST(RenderArguments, PointsAndColourByTakeWordsOrNumbers) {
    struct Case {
        std::vector<std::string> arguments;
        FinePoints fine;
        int pointSize;
        ColourBy by;
        int valueField;
    };
    const Case cases[] = {
        {{"--points", "fine"}, FinePoints::OnePixel, 2, ColourBy::File, 0},
        {{"--points", "fine2"}, FinePoints::TwoByTwo, 2, ColourBy::File, 0},
        {{"--points", "fine", "--points", "5"}, FinePoints::Off, 5, ColourBy::File, 0},
        {{"--colour-by", "none"}, FinePoints::Off, 2, ColourBy::None, 0},
        {{"--colour-by", "4", "--colour-by", "rgb"}, FinePoints::Off, 2, ColourBy::File, 0},
        {{"--colour-by", "z"}, FinePoints::Off, 2, ColourBy::Z, 0},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("a.ply");
        std::string error;
        const auto o = ParseRenderArguments(arguments, error);
        ASSERT_TRUE(o) << error;
        EXPECT_EQ(std::tuple(o->view.finePoints, o->view.pointSize, o->view.colourBy,
                             o->fields.ValueIndex),
                  std::tuple(c.fine, c.pointSize, c.by, c.valueField))
            << arguments[1];
    }
}

// 1.96 times the height for the side-by-side pairs, truncated; the height itself otherwise.
TEST(RenderArguments, OneToOneSetsTheWidthFromTheHeight) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"cross", "10x239", 468},  {"wall", "780x100", 196},       {"single", "780x239", 239},
        {"right-red", "1x50", 50}, {"right-blue", "9x8359", 8359}, {"cross", "1x1", 1},
        {"cross", "1x8359", 16383}};
    std::string error;
    for (const auto& [view, size, width] : cases) {
        const auto o =
            ParseRenderArguments({"--one-to-one", "--view", view, "--size", size, "a.3d"}, error);
        ASSERT_TRUE(o) << error;
        EXPECT_EQ(o->width, width) << view << " " << size;
    }
}

TEST(RenderArguments, StereoAndAnimationOptions) {
    std::string error;
    const auto o = ParseRenderArguments(
        {"--view", "top-bottom-half", "--anaglyph", "plain", "--swap-eyes", "--eye-separation",
         "0.7", "--animate", "wiggle", "--step", "5", "a.3d"},
        error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(std::tuple(o->view.viewType, o->view.anaglyphMethod, o->view.swapEyes,
                         o->view.eyeSeparationTenths, o->stepDegrees, *o->delayMs, o->output),
              std::tuple(ViewType::TopBottomHalf, AnaglyphMethod::Plain, true, 7, 5, 150,
                         std::string("ocuvis.gif")));
    EXPECT_EQ(*ParseRenderArguments({"--animate", "turntable", "a.3d"}, error)->delayMs, 40);
    const std::pair<const char*, ViewType> views[] = {
        {"red-cyan", ViewType::RedCyan},     {"green-magenta", ViewType::GreenMagenta},
        {"amber-blue", ViewType::AmberBlue}, {"sbs-half", ViewType::SideBySideHalf},
        {"top-bottom", ViewType::TopBottom}, {"top-bottom-half", ViewType::TopBottomHalf}};
    for (const auto& [name, type] : views) {
        EXPECT_EQ(ParseRenderArguments({"--view", name, "a.3d"}, error)->view.viewType, type);
        EXPECT_NE(RenderUsage().find(name), std::string::npos) << name;
    }
}

TEST(RenderArguments, RejectsWithAReason) {
    // One value per way a value can be wrong.
    // clang-format off
    const std::pair<const char*, const char*> malformed[] = {
        {"--azimuth", "181"}, {"--azimuth", "12.5"}, {"--elevation", ""}, {"--view", "stereo"},
        {"--range", "21,21"}, {"--range", "21,21,21,"}, {"--offset", "21,0,0"},
        {"--offset", "0,0,41"}, {"--z0", "0"}, {"--z0", "nan"}, {"--background", "#12345"},
        {"--dot-color", "red"}, {"--fields", "1,2,3"}, {"--sample", "101"}, {"--seed", "-1"},
        {"--format", "jpg"}, {"--zoom", "78"}, {"--eye-separation", "2.1"},
        {"--eye-separation", "0.75"}, {"--anaglyph", "dubois"}, {"--animate", "spin"},
        {"--step", "7"}, {"--delay", "5"}, {"--points", "fine3"}, {"--colour-by", "0"},
        {"--colour-by", "red"}, {"--colour-map", "jet"}, {"--colour-range", "2,1"},
        {"--colour-range", "1"}, {"--colour-range", "0,inf"}};
    // clang-format on
    std::string error;
    for (const auto& [option, value] : malformed) {
        EXPECT_FALSE(ParseRenderArguments({option, value, "a.3d"}, error))
            << option << " " << value;
        EXPECT_EQ(error.substr(0, error.find(" (")),
                  std::string("malformed value '") + value + "' for option '" + option + "'");
    }
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-x", "a.3d"}, "unknown option '-x'"},
        {{"a.3d", "--azimuth"}, "option '--azimuth' needs a value"},
        {{"--box=yes", "a.3d"}, "option '--box' takes no value"},
        {{"--size", "100000x100000", "a.3d"},
         "malformed value '100000x100000' for option '--size' (width and height from 1 to "
         "16384)"},
        {{"-o", "picture.jpg", "a.3d"},
         "malformed value 'picture.jpg' for option '-o' (the image name must end in .png or "
         ".bmp, or be - for standard output; an animation's in .gif or .webp)"},
        {{"-o", "turn.gif", "a.3d"},
         "the image name 'turn.gif' must end in .png or .bmp (.gif and .webp need --animate)"},
        {{"--animate", "wiggle", "-o", "a.png", "a.3d"},
         "the animation name 'a.png' must end in .gif or .webp"},
        {{"--animate", "wiggle", "--frames", "3", "a.3d"},
         "'--animate' makes one file; it takes neither '--frames' nor '--format'"},
        {{"--format", "png", "-o", "picture.bmp", "a.3d"},
         "option '--format png' does not agree with the image name 'picture.bmp'"},
        {{"--one-to-one", "--size", "9x8360", "a.3d"},
         "'--one-to-one' makes the image 16385 pixels wide; the most is 16384"},
        {{}, "no data file given"},
        {{"a.3d", "b.3d"}, "more than one data file given"},
        {{"--max-records=50000001", "a.3d"},
         "malformed value '50000001' for option '--max-records' (a whole number from 1 to "
         "50000000)"},
        {{"--max-records", "1e6", "a.3d"},
         "malformed value '1e6' for option '--max-records' (a whole number from 1 to 50000000)"},
    };
    for (const auto& [arguments, message] : cases) {
        EXPECT_FALSE(ParseRenderArguments(arguments, error)) << message;
        EXPECT_EQ(error, message);
    }
}

TEST(FrameFileNames, NumberedByPatternOrSuffix) {
    const std::tuple<const char*, int, int, const char*> cases[] = {
        {"out.png", 1, 1, "out.png"},
        {"out.png", 3, 10, "out-0003.png"},
        {"dir.v2/out", 12, 20, "dir.v2/out-0012"},
        {"f%03d.bmp", 7, 10, "f007.bmp"},
        {"f%3d.png", 7, 10, "f  7.png"},
        {"100%.png", 2, 3, "100%-0002.png"}};
    for (const auto& [pattern, number, count, name] : cases)
        EXPECT_EQ(FrameFileName(pattern, number, count), name) << pattern;
}

}  // namespace
}  // namespace ocuvis::cli
