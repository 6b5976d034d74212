// ocuvis-render on the sample data, in process and as the real executable.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <filesystem>
#include <set>
#include <sstream>

#include "DecodedAnimation.h"
#include "TestSupport.h"
#include "app/cli/RenderCommand.h"

namespace ocuvis::cli {
namespace {

namespace fs = std::filesystem;

// The loader's status line, whose counts the loader's own tests check.
bool IsStatusLine(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0 && text.find('\n') == text.size() - 1;
}

class RenderTool : public testing::Test {
  protected:
    std::string Path(const std::string& name) const { return dir_.Path(name); }
    QImage Image(const std::string& name) const {
        return QImage(QString::fromStdString(Path(name)));
    }

    int Run(std::vector<std::string> arguments) {
        std::ostringstream out, err;
        const int status = RenderMain(arguments, out, err);
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    test::TempFolder dir_;
    std::string out_, err_;
};

// A sample of the records, reported as the status line, drawn in the colours and size asked.
TEST_F(RenderTool, SampledFrameInTheOptionsColoursAndSize) {
    ASSERT_EQ(Run({"--sample", "50", "--size", "300x120", "--background", "#204060", "--dot-color",
                   "#00FF00", "--grid", "0", "--no-mode-indicator", "-o", Path("c.bmp"),
                   OCUVIS_SAMPLE_FILE}),
              kExitOk);
    EXPECT_TRUE(IsStatusLine(out_, "Sampled ")) << out_;
    const QImage frame = Image("c.bmp");
    ASSERT_EQ(frame.size(), QSize(300, 120));
    std::set<QRgb> colours;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            colours.insert(frame.pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(colours, (std::set<QRgb>{0x204060, 0x00FF00}));
}

TEST_F(RenderTool, FramesStepTheAzimuthAndWrap) {
    ASSERT_EQ(
        Run({"--frames", "3", "--azimuth", "179", "-o", Path("turn.png"), OCUVIS_SAMPLE_FILE}),
        kExitOk);
    // Azimuth 179, 180, -179: the third frame is the one a direct render at -179 gives.
    ASSERT_EQ(Run({"--azimuth", "-179", "-o", Path("direct.png"), OCUVIS_SAMPLE_FILE}), kExitOk);
    EXPECT_EQ(Image("turn-0003.png"), Image("direct.png"));
    EXPECT_NE(Image("turn-0003.png"), Image("turn-0001.png"));
}

// Wheel notches move the three ranges from where --range put them, each stopping at its end.
TEST_F(RenderTool, ZoomStepsTheThreeRanges) {
    ASSERT_EQ(Run({"--zoom", "-5", "--range", "0,7,77", "-o", Path("z.png"), OCUVIS_SAMPLE_FILE}),
              0);
    ASSERT_EQ(Run({"--range", "0,2,72", "-o", Path("r.png"), OCUVIS_SAMPLE_FILE}), kExitOk);
    EXPECT_EQ(Image("z.png"), Image("r.png"));
}

// Each turntable frame is the picture of its azimuth, at the kind's delay; how each kind of
// file holds its frames is the writer's tests'. The sample has few colours, so the GIF keeps
// them exactly.
TEST_F(RenderTool, AnimationsDecodeToTheFramesOfTheirAzimuths) {
    const std::vector<std::string> common = {"--size", "90x40", "--view", "red-cyan",
                                             OCUVIS_SAMPLE_FILE};
    const auto run = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), common.begin(), common.end());
        return Run(arguments);
    };
    std::vector<QImage> expected;
    for (const char* azimuth : {"30", "150", "-90"}) {
        ASSERT_EQ(run({"--azimuth", azimuth, "-o", Path("direct.png")}), kExitOk);
        expected.push_back(Image("direct.png").convertToFormat(QImage::Format_RGB32));
    }
    ASSERT_EQ(
        run({"--animate", "turntable", "--step", "120", "--azimuth", "30", "-o", Path("turn.gif")}),
        kExitOk)
        << err_;
    const test::Decoded turn = test::ReadGif(QString::fromStdString(Path("turn.gif")));
    EXPECT_EQ(turn.frames, expected);
    EXPECT_EQ(turn.delaysMs, std::vector<int>(3, 40));
    ASSERT_EQ(run({"--animate", "wiggle", "-o", Path("wiggle.webp")}), kExitOk) << err_;
    const test::Decoded wiggle = test::ReadWebP(QString::fromStdString(Path("wiggle.webp")));
    ASSERT_EQ(wiggle.frames.size(), 2u);
    EXPECT_NE(wiggle.frames[0], wiggle.frames[1]);
    EXPECT_EQ(wiggle.delaysMs, (std::vector<int>{150, 150}));
}

TEST_F(RenderTool, FailuresExitWithTheirStatusAndWriteNoImage) {
    const std::string missing = Path("no-such-file.3d");
    const std::string empty = dir_.Write("names.csv", "x,y,z\n");
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"-o", Path("x.png"), missing},
         kExitUnreadable,
         "ocuvis-render: cannot read '" + missing + "': No such file or directory\n"},
        {{"-o", Path("x.png"), empty},
         kExitUnreadable,
         "ocuvis-render: No points in " + empty + ": no row had numbers in fields 1, 2 and 3\n"},
        {{"-o", Path("no/x.png"), OCUVIS_SAMPLE_FILE},
         kExitFailed,
         "cannot write '" + Path("no/x.png") + "': "},
        {{"--view", "sideways", "-o", Path("x.png"), OCUVIS_SAMPLE_FILE},
         kExitUsage,
         "malformed value 'sideways' for option '--view'\nTry 'ocuvis-render --help'"}};
    for (const auto& [arguments, status, message] : cases) {
        EXPECT_EQ(Run(arguments), status) << message;
        EXPECT_NE(err_.find(message), std::string::npos) << err_;
        EXPECT_FALSE(fs::exists(Path("x.png"))) << message;
    }
    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_EQ(out_, RenderUsage());
    EXPECT_EQ(Run({"--version"}), kExitOk);
    EXPECT_TRUE(out_.starts_with("ocuvis-render ")) << out_;
}

// "-o -" puts the image on standard output, PNG unless asked for BMP, and the status line
// beside it on standard error; the picture is the one a file gets.
TEST_F(RenderTool, StandardOutputTakesTheImage) {
    ASSERT_EQ(Run({"-o", Path("file.png"), OCUVIS_SAMPLE_FILE}), kExitOk);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-o", "-", OCUVIS_SAMPLE_FILE}, "\x89PNG"},
        {{"--format", "bmp", "-o", "-", OCUVIS_SAMPLE_FILE}, "BM"},
        {{"--frames", "2", "-o", "-", OCUVIS_SAMPLE_FILE}, "\x89PNG"}};
    for (const auto& [arguments, magic] : cases) {
        ASSERT_EQ(Run(arguments), kExitOk) << err_;
        EXPECT_TRUE(IsStatusLine(err_, "Plotted ")) << err_;
        EXPECT_EQ(out_.substr(0, magic.size()), magic);
        QImage image;
        EXPECT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(out_.data()),
                                       static_cast<int>(out_.size())));
        EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32),
                  Image("file.png").convertToFormat(QImage::Format_RGB32));
    }
    // Two frames are two images, one after the other.
    const std::string frames = out_;
    ASSERT_EQ(Run({"-o", "-", OCUVIS_SAMPLE_FILE}), kExitOk);
    EXPECT_GT(frames.size(), out_.size());
    EXPECT_EQ(frames.find("\x89PNG", 1), out_.size());
    EXPECT_FALSE(fs::exists("-"));
    EXPECT_FALSE(fs::exists("--0001"));
}

// A single PNG frame is drawn without Qt Gui where it can be, as the full run draws and tells
// it; any other is left to the full run with nothing written or told.
TEST_F(RenderTool, PlainRunDrawsWhatItCanAndLeavesTheRest) {
    const struct {
        std::vector<std::string> options;
        std::string output;
        bool plain;
    } cases[] = {
        {{}, "a.png", true},
        {{"--view", "wall", "--lines", "1", "--azimuth", "40", "--points", "4"}, "a.png", true},
        {{"--view", "single", "--fade", "--size", "300x200"}, "a-%02d.png", true},
        {{}, "-", true},
        {{"--axis-labels"}, "a.png", false},
        {{"--view", "red-cyan"}, "a.png", false},
        {{}, "a.bmp", false},
        {{"--format", "bmp"}, "-", false},
        {{"--frames", "2"}, "a.png", false},
        {{"--animate", "wiggle"}, "a.gif", false},
    };
    int number = 0;
    for (const auto& c : cases) {
        // Each case's own names.
        const std::string plainRun = "plain" + std::to_string(++number) + "-";
        const std::string fullRun = "full" + std::to_string(number) + "-";
        const auto arguments = [&](const std::string& run) {
            std::vector<std::string> all = c.options;
            all.insert(all.end(), {"-o", c.output == "-" ? c.output : Path(run + c.output),
                                   OCUVIS_SAMPLE_FILE});
            return all;
        };
        SCOPED_TRACE(testing::PrintToString(arguments("")));
        std::string error;
        const auto options = ParseRenderArguments(arguments(plainRun), error);
        ASSERT_TRUE(options) << error;
        std::ostringstream out, err;
        const std::optional<int> status = RunPlainRender(*options, out, err);
        if (!c.plain) {
            EXPECT_FALSE(status);
            EXPECT_EQ(out.str() + err.str(), "");
            EXPECT_FALSE(fs::exists(Path(plainRun + FrameFileName(c.output, 1, 1))));
            continue;
        }
        ASSERT_EQ(status, kExitOk) << err.str();
        ASSERT_EQ(Run(arguments(fullRun)), kExitOk);
        EXPECT_EQ(err.str(), err_);
        if (c.output == "-") {
            EXPECT_EQ(out.str(), out_);
            continue;
        }
        EXPECT_EQ(out.str(), out_);
        const std::string name = FrameFileName(c.output, 1, 1);
        const QImage plain = Image(plainRun + name), full = Image(fullRun + name);
        ASSERT_FALSE(plain.isNull());
        EXPECT_EQ(plain, full);
    }
}

// The real executable: exit statuses as a script sees them, without any display. It draws
// ASCII text without the system's font configuration; the glyphs are those of a process that
// has it, as this one.
TEST_F(RenderTool, ExecutableExitStatusesAndText) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "XDG_RUNTIME_DIR"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    const auto run = [&](const std::vector<std::string>& arguments) {
        QStringList list;
        for (const std::string& argument : arguments)
            list << QString::fromStdString(argument);
        process.start(QStringLiteral(OCUVIS_RENDER_EXECUTABLE), list);
        EXPECT_TRUE(process.waitForFinished(60000));
        return process.exitCode();
    };
    const std::vector<std::string> text = {"--axis-labels",
                                           "--titles",
                                           "--title-main",
                                           "Knot {gjpqy} 0.5",
                                           "--text-labels",
                                           "--colour-by",
                                           "z",
                                           "--legend",
                                           "-o"};
    std::vector<std::string> arguments = text;
    arguments.insert(arguments.end(), {Path("exe.png"), OCUVIS_SAMPLE_FILE});
    EXPECT_EQ(run(arguments), 0);
    EXPECT_TRUE(IsStatusLine(process.readAllStandardOutput().toStdString(), "Plotted "));
    EXPECT_EQ(process.readAllStandardError().toStdString(), "");  // nothing but its own lines
    arguments.end()[-2] = Path("here.png");
    ASSERT_EQ(Run(arguments), kExitOk);
    EXPECT_EQ(Image("exe.png"), Image("here.png"));
    // The frames it draws itself, and those it hands over, alike.
    for (const char* view : {"cross", "red-cyan"}) {
        ASSERT_EQ(run({"--view", view, "-o", Path("exe.png"), OCUVIS_SAMPLE_FILE}), 0);
        ASSERT_EQ(Run({"--view", view, "-o", Path("here.png"), OCUVIS_SAMPLE_FILE}), kExitOk);
        EXPECT_EQ(process.readAllStandardOutput().toStdString(), out_);
        EXPECT_EQ(Image("exe.png"), Image("here.png"));
    }
    EXPECT_EQ(run({"-o", Path("exe.png"), Path("missing.3d")}), 3);
    EXPECT_TRUE(process.readAllStandardError().contains("cannot read"));
}

}  // namespace
}  // namespace ocuvis::cli
