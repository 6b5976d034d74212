#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "StartupFile.h"

namespace ocuvis::test {
namespace {

namespace fs = std::filesystem;

// Runs in a scratch folder of its own, with or without a sample there and in an "installed"
// data folder beside it.
class StartupFileChoice : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("ocuvis-startup-" + std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "here");
        fs::create_directories(installed_ = root_ / "share" / "ocuvis");
        previous_ = fs::current_path();
        fs::current_path(root_ / "here");
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(root_);
    }
    static void MakeSample(const fs::path& folder) {
        std::ofstream(folder / "Ocuvis.3d") << "1 2 3\n";
    }

    fs::path root_, installed_, previous_;
};

TEST_F(StartupFileChoice, TheSampleHereComesBeforeTheInstalledOne) {
    struct Case {
        const char* lastOpened;
        bool sampleHere;
        bool sampleInstalled;
        bool useInstalledFolder;
        const char* expected;  // "installed" stands for the installed sample's path
    };
    const Case cases[] = {
        {"/d/last.3d", true, true, true, "/d/last.3d"}, {"", true, true, true, "Ocuvis.3d"},
        {"", false, true, true, "installed"},           {"", false, false, true, "Ocuvis.3d"},
        {"", false, true, false, "Ocuvis.3d"},
    };
    for (const Case& c : cases) {
        fs::remove(root_ / "here" / "Ocuvis.3d");
        fs::remove(installed_ / "Ocuvis.3d");
        if (c.sampleHere) MakeSample(root_ / "here");
        if (c.sampleInstalled) MakeSample(installed_);
        const std::string expected = std::string(c.expected) == "installed"
                                         ? (installed_ / "Ocuvis.3d").string()
                                         : c.expected;
        EXPECT_EQ(
            ChooseStartupFile("", c.lastOpened, c.useInstalledFolder ? installed_ : fs::path()),
            expected)
            << "last '" << c.lastOpened << "', here " << c.sampleHere << ", installed "
            << c.sampleInstalled << ", folder given " << c.useInstalledFolder;
    }
}

}  // namespace
}  // namespace ocuvis::test
