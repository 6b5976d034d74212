// ocuvis-render on the sample data, in process and as the real executable.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QImage>
#include <QProcess>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>

#include "RenderCommand.h"

namespace ocuvis::cli {
namespace {

namespace fs = std::filesystem;

// The loader's status line, whose counts the loader's own tests check.
bool IsStatusLine(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0 && text.find('\n') == text.size() - 1;
}

class RenderTool : public testing::Test {
  protected:
    void SetUp() override {
        std::random_device seed;
        do {
            dir_ = fs::path("/tmp") / ("ocuvis-render-test-" + std::to_string(seed()));
        } while (!fs::create_directory(dir_));
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    int Run(std::vector<std::string> arguments) {
        std::ostringstream out, err;
        const int status = RenderMain(arguments, out, err);
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    fs::path dir_;
    std::string out_;
    std::string err_;
};

// The distinct colours of an image.
std::set<QRgb> Colours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & 0xFFFFFF);
    return colours;
}

TEST_F(RenderTool, ColoursAndSizeFromTheOptions) {
    const std::string image = Path("c.bmp");
    ASSERT_EQ(Run({"--size", "300x120", "--background", "#204060", "--dot-color", "#00FF00",
                   "--grid", "0", "--no-mode-indicator", "-o", image, OCUVIS_SAMPLE_FILE}),
              kExitOk);
    const QImage frame(QString::fromStdString(image));
    ASSERT_EQ(frame.size(), QSize(300, 120));
    EXPECT_EQ(Colours(frame), (std::set<QRgb>{0x204060, 0x00FF00}));
}

TEST_F(RenderTool, FramesStepTheAzimuthAndWrap) {
    ASSERT_EQ(
        Run({"--frames", "3", "--azimuth", "179", "-o", Path("turn.png"), OCUVIS_SAMPLE_FILE}),
        kExitOk);
    for (const char* name : {"turn-0001.png", "turn-0002.png", "turn-0003.png"})
        EXPECT_TRUE(fs::exists(dir_ / name)) << name;
    EXPECT_FALSE(fs::exists(dir_ / "turn.png"));

    // Azimuth 179, 180, -179: the third frame is the one a direct render at -179 gives.
    ASSERT_EQ(Run({"--azimuth", "-179", "-o", Path("direct.png"), OCUVIS_SAMPLE_FILE}), kExitOk);
    const QImage third(QString::fromStdString(Path("turn-0003.png")));
    EXPECT_EQ(third, QImage(QString::fromStdString(Path("direct.png"))));
    EXPECT_NE(third, QImage(QString::fromStdString(Path("turn-0001.png"))));
}

TEST_F(RenderTool, SamplingReportsAsTheStatusLine) {
    ASSERT_EQ(Run({"--sample", "50", "--seed", "7", "-o", Path("s.png"), OCUVIS_SAMPLE_FILE}),
              kExitOk);
    EXPECT_TRUE(IsStatusLine(out_, "Sampled ")) << out_;
    const std::string first = out_;
    ASSERT_EQ(Run({"--sample", "50", "--seed", "7", "-o", Path("s.png"), OCUVIS_SAMPLE_FILE}),
              kExitOk);
    EXPECT_EQ(out_, first);  // a fixed seed picks the same lines
}

TEST_F(RenderTool, AnUnreadableFileFailsAndWritesNoImage) {
    fs::create_directory(Path("folder.3d"));
    const std::string image = Path("unread.png");
    const std::pair<std::string, std::string> cases[] = {
        {Path("no-such-file.3d"), "No such file or directory"},
        {Path("folder.3d"), "Is a directory"},
        {"/dev/zero", "Not a regular file"},  // tried as given, not as /dev/zero.3D
    };
    for (const auto& [path, reason] : cases) {
        EXPECT_EQ(Run({"-o", image, path}), kExitUnreadable) << path;
        EXPECT_EQ(err_, "ocuvis-render: cannot read '" + path + "': " + reason + "\n");
        EXPECT_EQ(out_, "");
        EXPECT_FALSE(fs::exists(image)) << path;
    }
}

TEST_F(RenderTool, AnUnwritableImageFails) {
    EXPECT_EQ(Run({"-o", Path("no/such/dir/x.png"), OCUVIS_SAMPLE_FILE}), kExitFailed);
    EXPECT_NE(err_.find("cannot write"), std::string::npos);
}

TEST_F(RenderTool, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Run({"--view", "sideways", OCUVIS_SAMPLE_FILE}), kExitUsage);
    EXPECT_NE(err_.find("malformed value 'sideways' for option '--view'"), std::string::npos);
    EXPECT_NE(err_.find("--help"), std::string::npos);
    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_EQ(out_, RenderUsage());
}

// The real executable: exit statuses as a script sees them, without any display.
TEST_F(RenderTool, ExecutableExitStatuses) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(environment);
    const auto run = [&](const QStringList& arguments) {
        process.start(QStringLiteral(OCUVIS_RENDER_EXECUTABLE), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return process.exitCode();
    };
    const QString image = QString::fromStdString(Path("exe.png"));
    EXPECT_EQ(run({QStringLiteral("-o"), image, QStringLiteral(OCUVIS_SAMPLE_FILE)}), 0);
    EXPECT_TRUE(IsStatusLine(process.readAllStandardOutput().toStdString(), "Plotted "));
    EXPECT_EQ(process.readAllStandardError().toStdString(), "");  // nothing but its own lines
    EXPECT_TRUE(fs::exists(Path("exe.png")));
    EXPECT_EQ(run({QStringLiteral("--frobnicate"), QStringLiteral(OCUVIS_SAMPLE_FILE)}), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("unknown option '--frobnicate'"));
    EXPECT_EQ(run({QStringLiteral("-o"), image, QString::fromStdString(Path("none.3d"))}), 3);
    EXPECT_TRUE(process.readAllStandardError().contains("cannot read"));
    // A FIFO is refused, not waited on.
    const std::string fifo = Path("pipe.3d");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(run({QStringLiteral("-o"), image, QString::fromStdString(fifo)}), 3);
}

}  // namespace
}  // namespace ocuvis::cli
