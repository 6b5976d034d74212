#include <gtest/gtest.h>

#include <tuple>

#include "SettingsTestSupport.h"
#include "core/ScaleSteps.h"
#include "settings/SettingsSchema.h"

using namespace ocuvis;
using namespace ocuvis::test;

namespace {

const std::string kKey = "Software\\Tolvane\\Ocuvis";

class SettingsSchemaTest : public HiveTest {
  protected:
    // A view and a graph record as the constructor leaves them.
    GraphViewState view;
    GraphRecord graph;
    WindowBounds bounds{0, 0, 364, 790, Placement::Centred};
    SettingsSchema schema{store};

    void Store(const std::string& name, const StoredValue& value) {
        ASSERT_EQ(hive.WriteValue(kKey, name, value), HiveStatus::Done);
    }
    StoredValue Stored(const std::string& name) {
        StoredValue value;
        EXPECT_EQ(hive.ReadValue(kKey, name, value), HiveStatus::Done) << name;
        return value;
    }
};

TEST_F(SettingsSchemaTest, EverySettingSurvivesARestart) {
    const auto stored = [](GraphViewState& v) {
        return std::tie(v.viewType, v.azimuth, v.elevation, v.gridThickness, v.lineThickness,
                        v.pointSize, v.fullBoxGrid, v.rotateAzimuth, v.rotateElevation,
                        v.axisLabels, v.titles, v.textLabels, v.fadeLines, v.modeIndicator,
                        v.fixedAspect, v.zInvert, v.dotColor, v.lineColor, v.gridColor, v.textColor,
                        v.backgroundColor, v.colourBy, v.colourMap, v.colourRangeTyped,
                        v.colourRangeMin, v.colourRangeMax, v.colourLegend, v.finePoints,
                        v.depthShade);
    };
    GraphViewState changed;
    stored(changed) = std::make_tuple(
        ViewType::RightBlue, -45, 30, 3, 2, 6, true, true, true, true, true, true, true, false,
        true, true, 0x123456u, 0x00FF00u, 0xABCDEFu, 0x010203u, 0xFFFFFFu, ColourBy::Y,
        ColourMapKind::Diverging, true, -0.1, 12345.678901234, true, FinePoints::TwoByTwo, true);
    const WindowBounds placed{-20, 1900, 600, 1000, Placement::AsDesigned};
    schema.storedRotateDelay = 250;
    schema.SaveSettings(changed, placed);

    SettingsSchema next(store);
    view.zRangePosition = 28;
    view.zOffsetPosition = 9;
    next.LoadSettings(view, graph, bounds);
    EXPECT_EQ(bounds, placed);
    EXPECT_EQ(next.storedRotateDelay, 250);
    EXPECT_EQ(stored(view), stored(changed));
    EXPECT_EQ(view.azimuthRadians, AngleRadians(-45));
    // An inverted Z turns the sign of the scale and shift the load computes.
    EXPECT_EQ(graph.zscale, ScaleSteps[28]);
    EXPECT_EQ(graph.zshift, OffsetShift(9, 1.0f));
    EXPECT_TRUE(shown.empty());
}

// Angles are kept within their bars; thicknesses out of range and the rotate delay go back as
// they were stored, whatever speed the user picked since. A value of the wrong kind keeps its
// default and the rest still load: the first such is shown, the second goes to standard error.
// A view type must match its name exactly.
TEST_F(SettingsSchemaTest, StoredValuesOutOfRangeOrOfTheWrongKind) {
    Store("Elevation", Dword(500));
    Store("Azimuth", Dword(static_cast<std::uint32_t>(-999)));
    Store("Grid Thickness", Dword(7));
    Store("Rotate Time Delay", Dword(250));
    Store("Point Size", Text(kRegSz, std::string("4\0", 2)));
    Store("Grid Color", Text(kRegSz, std::string("9\0", 2)));
    Store("View Type", Text(kRegSz, std::string("wall eyes\0", 10)));
    Store("Fixed 1-1 Aspect Ratio", Dword(1));
    schema.LoadSettings(view, graph, bounds);
    EXPECT_EQ(std::tie(view.elevation, view.azimuth, view.gridThickness, view.pointSize),
              std::make_tuple(180, -180, 7, 2));
    EXPECT_EQ(view.elevationRadians, AngleRadians(180));
    EXPECT_LT(graph.zscale, 0.0f);  // not inverted
    EXPECT_EQ(view.viewType, ViewType::CrossEyes);
    EXPECT_TRUE(view.fixedAspect);
    EXPECT_EQ(shown, (std::vector<ShownMessage>{
                         {"Tried to read Windows Registry parameter \"Point Size\" but failed, "
                          "does it exist?\nThe stored value is text, not a 4-byte number.",
                          "Registry Parameter Read Attempt Failed", MessageIcon::Warning}}));
    view.rotateDelay = 500;
    schema.SaveSettings(view, bounds);
    EXPECT_EQ(Stored("Elevation"), Dword(180));
    EXPECT_EQ(Stored("Azimuth"), Dword(static_cast<std::uint32_t>(-180)));
    EXPECT_EQ(Stored("Grid Thickness"), Dword(7));
    EXPECT_EQ(Stored("Rotate Time Delay"), Dword(250));
    EXPECT_EQ(Stored("View Type"), Text(kRegSz, std::string("Cross Eyes\0", 11)));
}

// Widths beyond the menus that a frame can still draw load as stored; widths no drawing can
// show (negative, or wider than the widest dot) keep the default, without a message, and the
// default is what the next close writes.
TEST_F(SettingsSchemaTest, StoredWidthsLoadAsStoredWhileDrawable) {
    constexpr std::uint32_t kTop = 0x7FFFFFFF;
    const struct {
        const char* name;
        std::int32_t GraphViewState::*field;
        std::uint32_t stored;
        std::int32_t loaded;
    } rows[] = {
        {"Grid Thickness", &GraphViewState::gridThickness, 5, 5},
        {"Grid Thickness", &GraphViewState::gridThickness, 64, 64},
        {"Grid Thickness", &GraphViewState::gridThickness, 65, 1},
        {"Grid Thickness", &GraphViewState::gridThickness, kTop, 1},
        {"Grid Thickness", &GraphViewState::gridThickness, 0x80000000u, 1},
        {"Connecting Line Thickness", &GraphViewState::lineThickness, 3, 3},
        {"Connecting Line Thickness", &GraphViewState::lineThickness, kTop, 0},
        {"Connecting Line Thickness", &GraphViewState::lineThickness, 0xFFFFFFFEu, 0},
        {"Point Size", &GraphViewState::pointSize, 0, 0},
        {"Point Size", &GraphViewState::pointSize, 9, 9},
        {"Point Size", &GraphViewState::pointSize, kTop, 2},
        {"Point Size", &GraphViewState::pointSize, 0xFFFFFFFFu, 2},
    };
    for (const auto& row : rows) {
        Store(row.name, Dword(row.stored));
        GraphViewState loaded;
        schema.LoadSettings(loaded, graph, bounds);
        EXPECT_EQ(loaded.*row.field, row.loaded) << row.name << " " << row.stored;
        schema.SaveSettings(loaded, bounds);
        EXPECT_EQ(Stored(row.name), Dword(static_cast<std::uint32_t>(row.loaded))) << row.name;
    }
    EXPECT_TRUE(shown.empty());
}

}  // namespace
