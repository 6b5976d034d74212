#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/StartupFile.h"

namespace ocuvis::test {
namespace {

namespace fs = std::filesystem;

// Run from a scratch folder of its own, with or without a sample there and in an "installed"
// data folder beside it.
TEST(StartupFileChoice, TheSampleHereComesBeforeTheInstalledOne) {
    TempFolder root;
    const fs::path here = root.Path("here"), installed = root.Path("share/ocuvis");
    fs::create_directories(here);
    fs::create_directories(installed);
    const fs::path previous = fs::current_path();
    fs::current_path(here);
    const std::string sample = (installed / "Ocuvis.3d").string();
    const struct {
        const char* lastOpened;
        bool sampleHere, sampleInstalled, folderGiven;
        std::string expected;
    } cases[] = {
        {"/d/last.3d", true, true, true, "/d/last.3d"},
        {"", true, true, true, "Ocuvis.3d"},
        {"", false, true, true, sample},
        {"", false, false, true, "Ocuvis.3d"},
        {"", false, true, false, "Ocuvis.3d"},
    };
    for (const auto& c : cases) {
        fs::remove(here / "Ocuvis.3d");
        fs::remove(sample);
        if (c.sampleHere) std::ofstream(here / "Ocuvis.3d") << "1 2 3\n";
        if (c.sampleInstalled) std::ofstream(sample) << "1 2 3\n";
        EXPECT_EQ(ChooseStartupFile("", c.lastOpened, c.folderGiven ? installed : fs::path()),
                  c.expected)
            << "case " << &c - cases;
    }
    fs::current_path(previous);
}

// The viewer itself, started as from a shell: without a display it says so, points to the tool
// that needs none, and ends with status 1; help and version never need a display.
TEST(ViewerStart, WithoutADisplayItSaysSoAndEndsWithStatusOne) {
    const struct {
        const char* display;  // nullptr: not set at all
        std::vector<QString> arguments;
        int status;
        const char* printed;  // on stderr for 1, on stdout for 0
    } cases[] = {
        {":63999", {}, 1, "ocuvis: no display could be opened (DISPLAY is \":63999\")."},
        {nullptr, {}, 1, "ocuvis: no display could be opened."},
        {":63999", {"data file.3d"}, 1, "use ocuvis-render"},
        {nullptr, {"--help"}, 0, "Usage: ocuvis [FILE]"},
        {":63999", {"--version"}, 0, "ocuvis "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.display == nullptr ? "no DISPLAY" : c.display);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY",
                                 "XDG_SESSION_TYPE", "QT_QPA_PLATFORMTHEME"})
            environment.remove(QString::fromLatin1(name));
        if (c.display != nullptr) environment.insert("DISPLAY", c.display);
        QProcess viewer;
        viewer.setProcessEnvironment(environment);
        viewer.start(QStringLiteral(OCUVIS_VIEWER_EXECUTABLE),
                     QStringList(c.arguments.begin(), c.arguments.end()));
        ASSERT_TRUE(viewer.waitForFinished(60000));
        EXPECT_EQ(viewer.exitStatus(), QProcess::NormalExit);  // no abort
        EXPECT_EQ(viewer.exitCode(), c.status);
        const std::string out = viewer.readAllStandardOutput().toStdString();
        const std::string err = viewer.readAllStandardError().toStdString();
        EXPECT_NE((c.status == 0 ? out : err).find(c.printed), std::string::npos) << out << err;
        EXPECT_EQ(err.find("Reinstalling"), std::string::npos) << err;
        EXPECT_EQ(err.find("offscreen"), std::string::npos) << err;
    }
}

}  // namespace
}  // namespace ocuvis::test
