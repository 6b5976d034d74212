#include <gtest/gtest.h>

#include "RenderCommand.h"

namespace ocuvis::cli {
namespace {

std::optional<RenderOptions> Parse(std::vector<std::string> arguments,
                                   std::string* error = nullptr) {
    std::string message;
    auto options = ParseRenderArguments(arguments, message);
    if (error) *error = message;
    return options;
}

// Every option once, in both value forms.
// clang-format off
const std::vector<std::string> kEveryOption = {
    "--view", "right-blue", "--azimuth=-30", "--elevation", "45", "--points", "0", "--lines=3",
    "--grid", "2", "--box", "--axis-labels", "--titles", "--title-main", "Main title",
    "--title-x", "X", "--title-y=Y", "--title-z", "", "--text-labels", "--fade",
    "--no-mode-indicator", "--z-invert", "--range", "0,28,77", "--offset", "-20,20,-40",
    "--z0", "2.5", "--background", "#102030", "--text-color", "#FFFFFF", "--dot-color", "#ff0000",
    "--line-color", "#00ff00", "--grid-color", "#0000ff", "--fields", "2,1,0,4", "--sample",
    "12.5", "--seed", "4294967295", "--frames", "12", "--size", "100x50", "-o", "out/frame.BMP",
    "--", "--file.txt"};
// clang-format on

TEST(RenderArguments, EveryOptionReachesItsField) {
    const auto o = Parse(kEveryOption);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->view.viewType, ViewType::RightBlue);
    EXPECT_EQ(o->view.azimuth, -30);
    EXPECT_EQ(o->view.elevation, 45);
    EXPECT_EQ(o->view.pointSize, 0);
    EXPECT_EQ(o->view.lineThickness, 3);
    EXPECT_EQ(o->view.gridThickness, 2);
    EXPECT_TRUE(o->view.fullBoxGrid && o->view.axisLabels && o->view.titles && o->view.textLabels &&
                o->view.fadeLines && o->view.zInvert);
    EXPECT_FALSE(o->view.modeIndicator);
    EXPECT_EQ(o->titles.mainTitle, "Main title");
    EXPECT_EQ(o->titles.yTitle, "Y");
    EXPECT_EQ(o->titles.zTitle, "");
    EXPECT_EQ(o->rangePositions, (std::array<int, 3>{0, 28, 77}));
    EXPECT_EQ(o->offsetPositions, (std::array<int, 3>{-20, 20, -40}));
    EXPECT_EQ(o->z0, 2.5f);
    // Colours are 0x00BBGGRR.
    EXPECT_EQ(o->view.backgroundColor, 0x302010u);
    EXPECT_EQ(o->view.dotColor, 0x0000FFu);
    EXPECT_EQ(o->view.gridColor, 0xFF0000u);
    EXPECT_EQ(o->fields.XIndex, 2);
    EXPECT_EQ(o->fields.ZIndex, 0);
    EXPECT_EQ(o->fields.DotIndex, 4);
    EXPECT_TRUE(o->fields.SubSampleEnabled);
    EXPECT_EQ(o->fields.SamplePercent, 12.5f);
    EXPECT_EQ(o->seed, 4294967295u);
    EXPECT_EQ(o->frames, 12);
    EXPECT_EQ(o->width, 100);
    EXPECT_EQ(o->height, 50);
    EXPECT_EQ(o->output, "out/frame.BMP");
    EXPECT_EQ(o->dataFile, "--file.txt");  // after "--" a name is never an option
}

TEST(RenderArguments, RejectsWithAReason) {
    // Values outside their option's range or form.
    // clang-format off
    const std::pair<const char*, const char*> malformed[] = {
        {"--azimuth", "181"}, {"--azimuth", "12.5"}, {"--elevation", ""}, {"--view", "stereo"},
        {"--points", "7"}, {"--lines", "-1"}, {"--grid", "4"}, {"--range", "21,21"},
        {"--range", "21,21,78"}, {"--range", "21,21,21,"}, {"--offset", "21,0,0"},
        {"--offset", "0,0,41"}, {"--z0", "0"}, {"--z0", "nan"}, {"--background", "#12345"},
        {"--dot-color", "red"}, {"--fields", "1,2,3"}, {"--sample", "101"}, {"--seed", "-1"},
        {"--frames", "0"}};
    // clang-format on
    for (const auto& [option, value] : malformed) {
        std::string error;
        EXPECT_FALSE(Parse({option, value, "a.3d"}, &error)) << option << " " << value;
        EXPECT_EQ(error,
                  std::string("malformed value '") + value + "' for option '" + option + "'");
    }
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--frobnicate", "a.3d"}, "unknown option '--frobnicate'"},
        {{"-x", "a.3d"}, "unknown option '-x'"},
        {{"a.3d", "--azimuth"}, "option '--azimuth' needs a value"},
        {{"--box=yes", "a.3d"}, "option '--box' takes no value"},
        {{"--size", "100000x100000", "a.3d"},
         "malformed value '100000x100000' for option '--size' (width and height from 1 to "
         "16384)"},
        {{"-o", "picture.jpg", "a.3d"},
         "malformed value 'picture.jpg' for option '-o' (the image name must end in .png or "
         ".bmp)"},
        {{}, "no data file given"},
        {{"a.3d", "b.3d"}, "more than one data file given"},
    };
    for (const auto& [arguments, message] : cases) {
        std::string error;
        EXPECT_FALSE(Parse(arguments, &error)) << message;
        EXPECT_EQ(error, message);
    }
}

TEST(RenderArguments, HelpListsEveryOption) {
    const auto options = Parse({"--help"});
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->help);
    const std::string usage = RenderUsage();
    for (const std::string& argument : kEveryOption) {
        const std::string name = argument.substr(0, argument.find('='));
        if (name.size() > 2 && name[0] == '-' && name[1] == '-' && name != "--file.txt")
            EXPECT_NE(usage.find(name), std::string::npos) << name;
    }
    // The limits a script may hit: the image size and the unreadable-file status.
    EXPECT_NE(usage.find("each side 1..16384"), std::string::npos);
    EXPECT_NE(usage.find("3 when the data file could not be read"), std::string::npos);
}

TEST(FrameFileNames, NumberedByPatternOrSuffix) {
    EXPECT_EQ(FrameFileName("out.png", 1, 1), "out.png");
    EXPECT_EQ(FrameFileName("out.png", 3, 10), "out-0003.png");
    EXPECT_EQ(FrameFileName("dir.v2/out", 12, 20), "dir.v2/out-0012");
    EXPECT_EQ(FrameFileName("f%03d.bmp", 7, 10), "f007.bmp");
    EXPECT_EQ(FrameFileName("f%3d.png", 7, 10), "f  7.png");
    EXPECT_EQ(FrameFileName("100%.png", 2, 3), "100%-0002.png");
}

}  // namespace
}  // namespace ocuvis::cli
