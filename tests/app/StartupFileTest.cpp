#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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

}  // namespace
}  // namespace ocuvis::test
