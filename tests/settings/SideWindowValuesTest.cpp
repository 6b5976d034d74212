#include <gtest/gtest.h>

#include <cmath>

#include "FileInputValues.h"
#include "GraphScaling.h"
#include "GraphTitles.h"
#include "ProgressBarPosition.h"
#include "RegistryFloatStore.h"
#include "ScaleSteps.h"
#include "SettingsTestSupport.h"

using namespace ocuvis;
using namespace ocuvis::test;

namespace {

class SideWindowValuesTest : public ::testing::Test {
  protected:
    TempFolder folder;
    HiveOnFile file{folder.Path("registry.sqlite")};
    ScriptedHive scripted{file.hive};
    OrlenRegistry store{scripted, file.messages};
    RecordingFeedback beeper;

    std::vector<std::string> WrittenNames() const {
        std::vector<std::string> names;
        for (const auto& w : scripted.writes)
            names.push_back(w.name);
        return names;
    }
};

TEST_F(SideWindowValuesTest, TitlesStartEmptyAndReachTheStoreOnlyByOk) {
    GraphTitles titles(store, "Ocuvis", beeper);
    EXPECT_EQ(titles.titlesKey, "Ocuvis\\GraphTitles");
    EXPECT_EQ(titles.MainTitle + titles.xTitle + titles.yTitle + titles.zTitle, "");
    titles.MainTitle = "Peaks";
    titles.zTitle = "Depth";
    titles.CancelBtnClick();
    EXPECT_TRUE(scripted.writes.empty());
    EXPECT_TRUE(file.hive.ValueNames("Software\\Tolvane\\Ocuvis\\GraphTitles").empty());
    EXPECT_EQ(beeper.beeps, std::vector<BeepKind>{BeepKind::Hand});
    EXPECT_TRUE(file.messages.shown.empty());
}

TEST_F(SideWindowValuesTest, ClearAllIsUndoneByCancelAndStoredByOk) {
    {
        GraphTitles first(store, "Ocuvis", beeper);
        first.MainTitle = "Peaks";
        first.xTitle = "Time";
        first.yTitle = "Height";
        first.zTitle = "Depth";
        first.OkBtnClick();
    }
    GraphTitles titles(store, "Ocuvis", beeper);
    EXPECT_EQ(titles.yTitle, "Height");
    titles.ClearAllBtnClick();
    EXPECT_EQ(titles.MainTitle + titles.xTitle + titles.yTitle + titles.zTitle, "");
    titles.CancelBtnClick();
    EXPECT_EQ(titles.MainTitle, "Peaks");
    EXPECT_EQ(titles.zTitle, "Depth");

    // Changing one title writes all four again, in order.
    scripted.writes.clear();
    titles.zTitle = "Width";
    titles.OkBtnClick();
    EXPECT_EQ(WrittenNames(), (std::vector<std::string>{"Main Title", "X-Axis Title",
                                                        "Y-Axis Title", "Z-Axis Title"}));

    titles.ClearAllBtnClick();
    titles.OkBtnClick();
    for (const auto& name : GraphTitles::kValueNames) {
        StoredValue stored;
        ASSERT_EQ(file.hive.ReadValue("Software\\Tolvane\\Ocuvis\\GraphTitles", name, stored),
                  HiveStatus::Done);
        EXPECT_EQ(stored, Text(kRegSz, std::string(1, '\0')));
    }
    EXPECT_EQ(beeper.beeps, (std::vector<BeepKind>{BeepKind::Asterisk, BeepKind::Hand,
                                                   BeepKind::Asterisk, BeepKind::Asterisk}));
}

TEST_F(SideWindowValuesTest, ATitleThatCannotBeWrittenLeavesTheOthersWritten) {
    GraphTitles titles(store, "Ocuvis", beeper);
    titles.MainTitle = "M";
    titles.xTitle = "X";
    scripted.failingValues = {"X-Axis Title"};
    titles.OkBtnClick();
    EXPECT_EQ(WrittenNames(),
              (std::vector<std::string>{"Main Title", "Y-Axis Title", "Z-Axis Title"}));
    ASSERT_EQ(file.messages.shown.size(), 1u);
    EXPECT_EQ(file.messages.shown[0].text,
              "Tried to write Windows Registry parameter \"X-Axis Title\" but failed.");
    EXPECT_EQ(beeper.beeps, std::vector<BeepKind>{BeepKind::Asterisk});
}

TEST_F(SideWindowValuesTest, FileInputSetupRoundTripsWithItsKindsAndOrder) {
    FileInputValues values(store, "Ocuvis");
    EXPECT_EQ(values.registryKey, "Ocuvis\\File Format");
    FileInputFields fields;
    fields.XIndex = 5;
    fields.YIndex = -1;
    fields.ZIndex = 0;
    fields.DotIndex = 4;
    fields.SubSampleEnabled = true;
    fields.SamplePercent = 12.3f;
    values.WriteSetupValues(fields, SeedSetup{1, 4242}, WindowBounds{0, 0, 300, 500});
    EXPECT_EQ(WrittenNames(),
              (std::vector<std::string>{"XIndex", "YIndex", "ZIndex", "DotIndex",
                                        "SubSampleEnabled", "SamplePercent", "SeedType", "Seed",
                                        "Window Height", "Window Width"}));
    // The float is widened, so the stored double shows its float rounding.
    double percent = 0;
    EXPECT_TRUE(store.ReadFloat("Ocuvis\\File Format", "SamplePercent", percent));
    EXPECT_EQ(percent, 12.300000190734863);

    FileInputFields loaded;
    SeedSetup seed;
    WindowBounds dialog{0, 0, 328, 465, Placement::Centred};
    values.ReadSetupValues(loaded, seed, dialog);
    EXPECT_EQ(loaded.XIndex, 5);
    EXPECT_EQ(loaded.YIndex, -1);
    EXPECT_EQ(loaded.ZIndex, 0);
    EXPECT_EQ(loaded.DotIndex, 4);
    EXPECT_TRUE(loaded.SubSampleEnabled);
    EXPECT_EQ(loaded.SamplePercent, 12.3f);
    EXPECT_EQ(seed.SeedType, 1);
    EXPECT_EQ(seed.Seed, 4242);
    EXPECT_EQ(dialog, (WindowBounds{0, 0, 300, 500, Placement::Centred}));
    EXPECT_TRUE(file.messages.shown.empty());
}

TEST_F(SideWindowValuesTest, FileInputSetupKeepsItsFieldsWhereNothingUsableIsStored) {
    store.WriteInteger("Ocuvis\\File Format", "SeedType", 257);
    store.WriteInteger("Ocuvis\\File Format", "ZIndex", 7);
    // A share that is no number would sample nothing.
    store.WriteFloat("Ocuvis\\File Format", "SamplePercent", std::nan(""));
    FileInputFields fields;
    SeedSetup seed{0, 99};
    WindowBounds dialog{0, 0, 328, 465, Placement::Centred};
    FileInputValues(store, "Ocuvis").ReadSetupValues(fields, seed, dialog);
    EXPECT_EQ(seed.SeedType, 1);  // only the low byte is a seed type
    EXPECT_EQ(seed.Seed, 99);
    EXPECT_EQ(fields.XIndex, 1);
    EXPECT_EQ(fields.ZIndex, 7);
    EXPECT_EQ(fields.SamplePercent, 10.0f);
    EXPECT_EQ(dialog, (WindowBounds{0, 0, 328, 465, Placement::Centred}));
}

TEST_F(SideWindowValuesTest, TheProgressWindowPositionLivesUnderTheProgramKey) {
    ProgressBarPosition position(store, "Ocuvis");
    WindowBounds window{0, 0, 120, 410, Placement::Centred};
    EXPECT_FALSE(position.Restore(window));
    position.Save(WindowBounds{333, 444, 120, 410});
    EXPECT_EQ(file.hive.ValueNames("Software\\Tolvane\\Ocuvis\\ProgressBar"),
              (std::vector<std::string>{"Window Position Left", "Window Position Top"}));
    EXPECT_TRUE(ProgressBarPosition(store, "Ocuvis").Restore(window));
    EXPECT_EQ(window, (WindowBounds{333, 444, 120, 410, Placement::Centred}));
}

TEST_F(SideWindowValuesTest, TheScaleOfTheLastFileSurvivesARestart) {
    RegistryFloatStore floats(store);
    {
        GraphViewState view;
        GraphRecord graph;
        RedrawGate gate;
        GraphScaling scaling(view, graph, gate, floats);
        scaling.AutoScale(true);
        scaling.SetXRangePosition(28);
        scaling.SetXOffsetPosition(5);
        scaling.SetZRangePosition(14);
        view.z0 = 16.0f * 1.1f;
        scaling.SaveScaleSettings();
    }
    for (const auto& name : GraphScaling::kScaleValueNames) {
        StoredValue stored;
        ASSERT_EQ(file.hive.ReadValue("Software\\Tolvane\\Ocuvis", name, stored), HiveStatus::Done)
            << name;
        EXPECT_EQ(stored.type, kRegBinary);
        EXPECT_EQ(stored.data.size(), 8u);
    }

    GraphViewState view;
    GraphRecord graph;
    RedrawGate gate;
    RegistryFloatStore nextRun(store);
    GraphScaling scaling(view, graph, gate, nextRun);
    scaling.AutoScale(true);
    scaling.RestoreScaleSettings();
    EXPECT_EQ(view.xRangePosition, 28);
    EXPECT_EQ(graph.xscale, 10.0f);
    EXPECT_EQ(view.xOffsetPosition, 5);
    EXPECT_EQ(graph.xshift, OffsetShift(5));
    EXPECT_NEAR(graph.xshift, 0.2778f, 1e-4f);
    EXPECT_EQ(view.zRangePosition, 14);
    EXPECT_EQ(graph.zscale, -ScaleSteps[14]);
    EXPECT_EQ(view.z0, 16.0f * 1.1f);
    EXPECT_TRUE(file.messages.shown.empty());
}

}  // namespace
