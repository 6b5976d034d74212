// Widget tests run without a screen and with fixed metrics, so they read the same everywhere.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    // Each run keeps its settings in a hive of its own, never in the user's.
    std::string folder = (std::filesystem::temp_directory_path() / "ocuvis-app-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) return 1;
    setenv("OCUVIS_REGISTRY", (folder + "/registry.sqlite").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_FONT_DPI", "96", 1);
    setenv("QT_SCALE_FACTOR", "1", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return result;
}
