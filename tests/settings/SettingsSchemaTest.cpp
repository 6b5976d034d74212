#include <gtest/gtest.h>

#include <tuple>

#include "SettingsTestSupport.h"
#include "core/ScaleSteps.h"
#include "settings/SettingsSchema.h"

using namespace ocuvis;
using namespace ocuvis::test;

namespace {

const std::string kKey = "Software\\Tolvane\\Ocuvis";

class SettingsSchemaTest : public ::testing::Test {
  protected:
    // A view and a graph record as the constructor leaves them.
    GraphViewState view;
    GraphRecord graph;
    WindowBounds bounds{0, 0, 364, 790, Placement::Centred};

    TempFolder folder;
    HiveOnFile file{folder.Path("registry.sqlite")};
    OrlenRegistry& store = file.store;
    SettingsSchema schema{store};
    std::vector<ShownMessage>& shown = file.messages.shown;

    void Store(const std::string& name, const StoredValue& value) {
        ASSERT_EQ(file.hive.WriteValue(kKey, name, value), HiveStatus::Done);
    }
    StoredValue Stored(const std::string& name) {
        StoredValue value;
        EXPECT_EQ(file.hive.ReadValue(kKey, name, value), HiveStatus::Done) << name;
        return value;
    }
};

TEST_F(SettingsSchemaTest, EverySettingSurvivesARestart) {
    GraphViewState changed;
    changed.viewType = ViewType::RightBlue;
    std::tie(changed.azimuth, changed.elevation) = std::make_tuple(-45, 30);
    std::tie(changed.gridThickness, changed.lineThickness, changed.pointSize) =
        std::make_tuple(3, 2, 6);
    changed.fullBoxGrid = changed.rotateAzimuth = changed.rotateElevation = true;
    changed.axisLabels = changed.titles = changed.textLabels = changed.fadeLines = true;
    changed.modeIndicator = false;
    changed.fixedAspect = changed.zInvert = true;
    std::tie(changed.dotColor, changed.lineColor, changed.gridColor, changed.textColor,
             changed.backgroundColor) =
        std::make_tuple(0x123456u, 0x00FF00u, 0xABCDEFu, 0x010203u, 0xFFFFFFu);
    const WindowBounds placed{-20, 1900, 600, 1000, Placement::AsDesigned};
    schema.storedRotateDelay = 250;
    schema.SaveSettings(changed, placed);
    EXPECT_EQ(file.hive.ValueNames(kKey).size(), 26u);

    SettingsSchema next(store);
    view.zRangePosition = 28;
    view.zOffsetPosition = 9;
    next.LoadSettings(view, graph, bounds);
    EXPECT_EQ(bounds, placed);
    EXPECT_EQ(next.storedRotateDelay, 250);
    EXPECT_EQ(view.viewType, ViewType::RightBlue);
    EXPECT_EQ(view.azimuthRadians, AngleRadians(-45));
    EXPECT_EQ(view.elevationRadians, AngleRadians(30));
    EXPECT_EQ(std::tie(view.gridThickness, view.lineThickness, view.pointSize),
              std::make_tuple(3, 2, 6));
    EXPECT_TRUE(view.fullBoxGrid && view.rotateAzimuth && view.rotateElevation && view.axisLabels &&
                view.titles && view.textLabels && view.fadeLines && view.fixedAspect);
    EXPECT_FALSE(view.modeIndicator);
    EXPECT_EQ(std::tie(view.dotColor, view.lineColor, view.gridColor, view.textColor,
                       view.backgroundColor),
              std::make_tuple(0x123456u, 0x00FF00u, 0xABCDEFu, 0x010203u, 0xFFFFFFu));
    // An inverted Z turns the sign of the scale and shift the load computes.
    EXPECT_TRUE(view.zInvert);
    EXPECT_EQ(graph.zscale, ScaleSteps[28]);
    EXPECT_EQ(graph.zshift, OffsetShift(9, 1.0f));
    EXPECT_TRUE(shown.empty());
}

// Angles are kept within their bars; thicknesses out of range and the rotate delay go back as
// they were stored, whatever speed the user picked since. A value of the wrong kind keeps its
// default and the rest still load: the first such is shown, the second goes to standard error.
TEST_F(SettingsSchemaTest, StoredValuesOutOfRangeOrOfTheWrongKind) {
    Store("Elevation", Dword(500));
    Store("Azimuth", Dword(static_cast<std::uint32_t>(-999)));
    Store("Grid Thickness", Dword(7));
    Store("Rotate Time Delay", Dword(250));
    Store("Point Size", Text(kRegSz, std::string("4\0", 2)));
    Store("View Type", Dword(2));
    Store("Fixed 1-1 Aspect Ratio", Dword(1));
    schema.LoadSettings(view, graph, bounds);
    EXPECT_EQ(std::tie(view.elevation, view.azimuth, view.gridThickness, view.pointSize),
              std::make_tuple(180, -180, 7, 2));
    EXPECT_EQ(view.elevationRadians, AngleRadians(180));
    EXPECT_LT(graph.zscale, 0.0f);  // not inverted
    EXPECT_EQ(view.viewType, ViewType::CrossEyes);
    EXPECT_TRUE(view.fixedAspect);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              "Tried to read Windows Registry parameter \"Point Size\" but failed, does it exist?");
    view.rotateDelay = 500;
    schema.SaveSettings(view, bounds);
    EXPECT_EQ(Stored("Elevation"), Dword(180));
    EXPECT_EQ(Stored("Azimuth"), Dword(static_cast<std::uint32_t>(-180)));
    EXPECT_EQ(Stored("Grid Thickness"), Dword(7));
    EXPECT_EQ(Stored("Rotate Time Delay"), Dword(250));
}

TEST_F(SettingsSchemaTest, ViewTypeTextsMatchExactly) {
    // A text that is not exactly a name leaves the view as it was.
    const std::pair<std::string, ViewType> rows[] = {
        {"Wall Eyes", ViewType::WallEyes},   {"Single View", ViewType::Single},
        {"Right Red", ViewType::RightRed},   {"wall eyes", ViewType::CrossEyes},
        {"Wall Eyes ", ViewType::CrossEyes}, {"Anaglyph", ViewType::CrossEyes},
    };
    for (const auto& [stored, loaded] : rows) {
        SCOPED_TRACE(stored);
        Store("View Type", Text(kRegSz, stored + '\0'));
        GraphViewState fresh;
        schema.LoadSettings(fresh, graph, bounds);
        EXPECT_EQ(fresh.viewType, loaded);
        schema.SaveSettings(fresh, bounds);
        const std::string written = loaded == ViewType::CrossEyes ? "Cross Eyes" : stored;
        EXPECT_EQ(Stored("View Type"), Text(kRegSz, written + '\0'));
    }
    EXPECT_TRUE(shown.empty());
}

}  // namespace
