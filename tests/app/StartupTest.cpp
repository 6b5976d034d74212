#include <gtest/gtest.h>

#include <QRegularExpression>
#include <filesystem>

#include "StartupWindow.h"

using namespace ocuvis;

namespace {

TEST(StartupWindow, LoadsTheShippedSampleAndShowsItsStatus) {
    StartupWindow window(OCUVIS_SAMPLE_FILE);
    EXPECT_EQ(window.windowTitle().toStdString(), kProgramTitle + "  " + OCUVIS_SAMPLE_FILE);
    EXPECT_EQ(window.statusText(), QStringLiteral("Plotted 4000 points"));
    const PointStore& store = *window.document().store;
    EXPECT_FALSE(store.defaultDataLoaded);
    EXPECT_EQ(store.labelCount, 3);
    EXPECT_EQ(store.dotSizesPresent, 1);
    // 4000 points in runs of 250: fifteen breaks between the sixteen runs.
    EXPECT_EQ(store.pointCount, 4015);
    EXPECT_TRUE(window.document().gate.viewReady);
}

TEST(StartupWindow, MissingFileShowsTheBuiltInDataSet) {
    const std::string missing =
        (std::filesystem::temp_directory_path() / "ocuvis-no-such-file").string();
    StartupWindow window(missing);
    const PointStore& store = *window.document().store;
    EXPECT_TRUE(store.defaultDataLoaded);
    EXPECT_EQ(store.pointCount, 4);
    EXPECT_TRUE(window.statusText().isEmpty());
    // The caption keeps the name as given, since the file never opened.
    EXPECT_EQ(window.windowTitle().toStdString(), kProgramTitle + "  " + missing);
}

TEST(ViewerDocument, StartupFileRule) {
    TextLoadDisplay display;
    ViewerDocument document(display);
    EXPECT_EQ(document.StartupFile("my data.3d"), "my data.3d");
    EXPECT_EQ(document.StartupFile(""), kDefaultDataFile);
}

}  // namespace
