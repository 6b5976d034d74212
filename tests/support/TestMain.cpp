// Tests run without a screen and at fixed DPI, so they read the same everywhere. The renderer
// needs a QGuiApplication for fonts; widget tests get a QApplication.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#ifdef OCUVIS_WIDGET_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

namespace {

// Each test keeps its settings in a fresh hive of its own, never in the user's: what one test
// leaves there (the recent files, the scale) would change what the next one starts with.
struct FreshSettingsHive final : ::testing::EmptyTestEventListener {
    std::string folder;
    int tests = 0;
    void OnTestStart(const ::testing::TestInfo&) override {
        const std::string file = folder + "/registry-" + std::to_string(++tests) + ".sqlite";
        setenv("OCUVIS_REGISTRY", file.c_str(), 1);
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::string folder = (std::filesystem::temp_directory_path() / "ocuvis-app-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) return 1;
    setenv("OCUVIS_REGISTRY", (folder + "/registry.sqlite").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_FONT_DPI", "96", 1);
    setenv("QT_SCALE_FACTOR", "1", 1);
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    auto* hive = new FreshSettingsHive;  // the listeners own it
    hive->folder = folder;
    ::testing::UnitTest::GetInstance()->listeners().Append(hive);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return result;
}
