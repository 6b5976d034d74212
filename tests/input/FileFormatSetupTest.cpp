#include "FileFormatSetup.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "LoaderFixture.h"

namespace ocuvis {
namespace {

using test::RecordingFeedback;
using test::TempFolder;

// The stored values in memory; counts the writes.
class MemoryFileInputStore final : public FileInputStore {
  public:
    void ReadSetupValues(FileInputFields& f, SeedSetup& s) override {
        if (stored) {
            f = storedFields;
            s = storedSeed;
        }
    }
    void WriteSetupValues(const FileInputFields& f, const SeedSetup& s) override {
        stored = true;
        storedFields = f;
        storedSeed = s;
        ++writes;
    }
    bool stored = false;
    FileInputFields storedFields;
    SeedSetup storedSeed;
    int writes = 0;
};

class FileFormatSetupTest : public ::testing::Test {
  protected:
    // A clock that gives the seeds of clockSeeds in turn, then repeats the last.
    FileFormatSetup::Clock TestClock() {
        return [this] {
            const std::int32_t seed = clockSeeds[std::min(clockCalls, clockSeeds.size() - 1)];
            ++clockCalls;
            return seed;
        };
    }
    std::unique_ptr<FileFormatSetup> Make() {
        return std::make_unique<FileFormatSetup>(store, feedback, TestClock());
    }
    // Loads a file with the set-up as the loader's and returns x, y, z, size of each record.
    std::vector<std::array<float, 4>> LoadWith(FileFormatSetup& setup, const std::string& path) {
        fixture::LoaderHarness h;
        DataFileLoader loader(*h.store, h.graph, h.view,
                              LoaderServices{h.progress, setup, h.recent, h.scaling, h.display});
        const std::int32_t count = loader.LoadDataFile(path);
        lastStatus = h.display.statusText;
        std::vector<std::array<float, 4>> records;
        for (int i = 0; i < count; ++i) {
            const DataPoint& p = h.store->points[static_cast<std::size_t>(i)];
            records.push_back({p.x, p.y, p.z, p.size});
        }
        return records;
    }

    TempFolder dir;
    MemoryFileInputStore store;
    RecordingFeedback feedback;
    std::vector<std::int32_t> clockSeeds{1000};
    std::size_t clockCalls = 0;
    std::string lastStatus;
};

TEST_F(FileFormatSetupTest, TheExampleRecordMarksTheChosenFields) {
    auto setup = Make();
    ASSERT_FALSE(setup->LoadExampleRecord(dir.Write("a.3d", "  1.0 2.0 3.0 0.5  \r\n4 5 6 7\n")));
    EXPECT_EQ(setup->exampleRecord, "1.0 2.0 3.0 0.5");
    EXPECT_EQ(setup->exampleFieldCount, 4);
    EXPECT_EQ(setup->controls.ExampleRecordLabel, " X=1.0,  Y=2.0,  Z=3.0,  0.5");
    EXPECT_EQ(setup->SelectorEntryTexts(false),
              (std::vector<std::string>{"N/A", "Field 1", "Field 2", "Field 3", "Field 4"}));
    EXPECT_EQ(setup->SelectorEntryTexts(true).front(), "none");

    setup->controls.DotComboBox = 4;
    setup->DotComboBoxChange();
    EXPECT_EQ(setup->controls.ExampleRecordLabel, " X=1.0,  Y=2.0,  Z=3.0,  DotSize=0.5");

    // One field chosen twice carries both marks; "none" for z is allowed.
    setup->controls.YComboBox = 1;
    setup->YComboBoxChange();
    setup->controls.ZComboBox = 0;
    setup->ZComboBoxChange();
    EXPECT_EQ(setup->controls.ExampleRecordLabel, " X=Y=1.0,  2.0,  3.0,  DotSize=0.5");
    EXPECT_TRUE(feedback.shown.empty());
}

TEST_F(FileFormatSetupTest, FieldsAreCountedAsTheLoaderSplitsThem) {
    auto setup = Make();
    // A leading delimiter makes an empty first field; a delimiter run counts once.
    ASSERT_FALSE(setup->LoadExampleRecord(dir.Write("b.3d", ",7,\t 8 ,9\n")));
    EXPECT_EQ(setup->exampleFieldCount, 4);
    EXPECT_EQ(setup->controls.ExampleRecordLabel, " X=,  Y=7,  Z=8,  9");

    // The example is the first line only, cut at 240 characters.
    ASSERT_FALSE(setup->LoadExampleRecord(dir.Write("c.3d", std::string(300, '5') + " 6\n")));
    EXPECT_EQ(setup->exampleRecord, std::string(240, '5'));
    EXPECT_EQ(setup->exampleFieldCount, 1);
    EXPECT_EQ(setup->controls.selectorEntries, 2);
    EXPECT_EQ(setup->controls.YComboBox, -1);  // there is no "Field 2"
}

TEST_F(FileFormatSetupTest, AFileThatCannotBeOpenedChangesNothingAndSaysWhy) {
    auto setup = Make();
    const std::string first = dir.Write("first.3d", "1 2 3\n");
    ASSERT_FALSE(setup->LoadExampleRecord(first));

    const std::string missing = dir.Path("missing.3d");
    const auto failure = setup->LoadExampleRecord(missing);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("\"" + missing + "\""), std::string::npos) << *failure;
    EXPECT_NE(failure->find("No such file or directory"), std::string::npos) << *failure;
    std::filesystem::create_directory(dir.Path("folder.3d"));
    const auto folder = setup->LoadExampleRecord(dir.Path("folder.3d"));
    ASSERT_TRUE(folder);
    EXPECT_NE(folder->find("Is a directory"), std::string::npos) << *folder;
    EXPECT_TRUE(setup->LoadExampleRecord(""));
    EXPECT_EQ(setup->controls.FileNameLabel, first);
    EXPECT_EQ(setup->exampleRecord, "1 2 3");

    // A name without an extension is the file the loader opened for it.
    dir.Write("plain.3D", "4 5\n");
    ASSERT_FALSE(setup->LoadExampleRecord(dir.Path("plain")));
    EXPECT_EQ(setup->controls.FileNameLabel, dir.Path("plain"));
    EXPECT_EQ(setup->exampleRecord, "4 5");
}

TEST_F(FileFormatSetupTest, NoFieldForXOrYIsRefusedWithAMessage) {
    auto setup = Make();
    ASSERT_FALSE(setup->LoadExampleRecord(dir.Write("d.3d", "1 2 3 4\n")));
    setup->controls.XComboBox = 0;
    setup->XComboBoxChange();
    EXPECT_EQ(setup->controls.XComboBox, 1);
    setup->controls.YComboBox = 0;
    setup->YComboBoxChange();
    EXPECT_EQ(setup->controls.YComboBox, 2);
    ASSERT_EQ(feedback.shown.size(), 2u);
    EXPECT_EQ(feedback.shown[0].text, "Invalid selection, must select a field for X-axis.");
    EXPECT_EQ(feedback.shown[1].text, "Invalid selection, must select a field for Y-axis.");
    EXPECT_EQ(feedback.shown[0].title, "Error Message");
    EXPECT_EQ(feedback.shown[1].icon, MessageIcon::Information);
}

TEST_F(FileFormatSetupTest, AFieldBeyondTheExampleLeavesItsSelectorEmptyAndStoresNone) {
    store.stored = true;
    store.storedFields.XIndex = 5;
    auto setup = Make();
    EXPECT_EQ(setup->fields.XIndex, 5);
    const std::string path = dir.Write("e.3d", "1 2 3\n4 5 6\n7 8 9\n");
    ASSERT_FALSE(setup->LoadExampleRecord(path));
    EXPECT_EQ(setup->controls.XComboBox, -1);
    EXPECT_EQ(setup->controls.ExampleRecordLabel, " 1,  Y=2,  Z=3");

    setup->ApplyControls();
    EXPECT_EQ(setup->fields.XIndex, -1);
    EXPECT_EQ(store.storedFields.XIndex, -1);
    const auto records = LoadWith(*setup, path);
    ASSERT_EQ(records.size(), 3u);
    // Every x is 0 before normalisation, so all of them land on the same cube coordinate.
    EXPECT_EQ(records[0][0], records[1][0]);
    EXPECT_EQ(records[1][0], records[2][0]);
    EXPECT_LT(records[0][1], records[2][1]);
}

TEST_F(FileFormatSetupTest, TypedTextsBecomeNumbersWithTheirFallbacks) {
    auto setup = Make();
    const auto apply = [&](const std::string& percent, const std::string& seed) {
        setup->controls.PercentEditBx = percent;
        setup->controls.SeedEdit = seed;
        setup->ApplyControls();
    };
    apply("12.3", "12.9");
    EXPECT_EQ(setup->fields.SamplePercent, 12.3f);
    EXPECT_EQ(setup->seed.Seed, 12);
    setup->ShowFields();
    EXPECT_EQ(setup->controls.PercentEditBx, "12.3000001907349");
    EXPECT_EQ(setup->controls.SeedEdit, "12");
    setup->ApplyControls();  // the long text reads back as the same float
    EXPECT_EQ(setup->fields.SamplePercent, 12.3f);

    apply("abc", "");
    EXPECT_EQ(setup->fields.SamplePercent, 100.0f);
    EXPECT_EQ(setup->seed.Seed, 100);
    apply("9e99", "-7.9");  // beyond the float range: no percentage
    EXPECT_EQ(setup->fields.SamplePercent, 100.0f);
    EXPECT_EQ(setup->seed.Seed, -7);
    apply("-5", "4294967295");  // no range check on the percentage; the seed keeps 32 bits
    EXPECT_EQ(setup->fields.SamplePercent, -5.0f);
    EXPECT_EQ(setup->seed.Seed, -1);
    apply("10", "1e30");
    EXPECT_EQ(setup->seed.Seed, 100);
    setup->ShowFields();
    EXPECT_EQ(setup->controls.PercentEditBx, "10");
    EXPECT_EQ(store.writes, 6);
}

TEST_F(FileFormatSetupTest, RestoreDefaultsStaysInForceAfterCancel) {
    clockSeeds = {777};
    auto setup = Make();
    ASSERT_FALSE(setup->LoadExampleRecord(dir.Write("f.3d", "1 2 3 4 5\n")));
    setup->controls.ZComboBox = 5;
    setup->controls.SubSampleEnabledChkBx = true;
    setup->SubSampleEnabledChkBxClick();
    setup->controls.PercentEditBx = "50";
    setup->controls.SeedRadioGrp = FileFormatSetup::kFixedSeed;
    setup->SeedRadioGrpClick();
    setup->controls.SeedEdit = "31";
    setup->ApplyControls();
    EXPECT_EQ(setup->fields.ZIndex, 5);
    EXPECT_TRUE(setup->controls.samplingControlsEnabled);
    EXPECT_EQ(clockCalls, 0u);  // choosing "Fixed" draws no seed

    setup->controls.SeedRadioGrp = FileFormatSetup::kRandomSeed;
    setup->SeedRadioGrpClick();
    EXPECT_EQ(setup->controls.SeedEdit, "777");
    EXPECT_EQ(setup->seed.Seed, 31);  // only OK takes the shown seed

    setup->RetryBitBtnClick();
    setup->ShowFields();  // the cancel step
    EXPECT_EQ(feedback.beeps, std::vector<BeepKind>{BeepKind::Default});
    EXPECT_EQ(setup->fields.ZIndex, 3);
    EXPECT_FALSE(setup->fields.SubSampleEnabled);
    EXPECT_EQ(setup->fields.SamplePercent, 10.0f);
    EXPECT_EQ(setup->seed.SeedType, 0);
    EXPECT_EQ(setup->seed.Seed, 777);  // the latest clock seed of this run
    EXPECT_EQ(setup->controls.PercentEditBx, "10");
    EXPECT_FALSE(setup->controls.samplingControlsEnabled);
    EXPECT_EQ(setup->controls.ExampleRecordLabel, " X=1,  Y=2,  Z=3,  4,  5");
    // Nothing was stored by the defaults: the store still has what OK wrote.
    EXPECT_EQ(store.storedFields.ZIndex, 5);
}

TEST_F(FileFormatSetupTest, ARandomLoadIsRepeatedByItsSeedAsFixed) {
    std::string text;
    for (int i = 0; i < 400; ++i)
        text +=
            std::to_string(i) + " " + std::to_string(i % 17) + " " + std::to_string(i % 5) + "\n";
    const std::string path = dir.Write("g.3d", text);
    clockSeeds = {4242, 99999, 123};
    auto setup = Make();
    ASSERT_FALSE(setup->LoadExampleRecord(path));
    setup->controls.SubSampleEnabledChkBx = true;
    setup->controls.PercentEditBx = "20";
    setup->ApplyControls();

    int shown = 0;
    setup->controlsChanged = [&] { ++shown; };
    const auto randomLoad = LoadWith(*setup, path);
    EXPECT_EQ(setup->seed.Seed, 4242);
    EXPECT_EQ(setup->controls.SeedEdit, "4242");
    EXPECT_GT(shown, 0);  // the dialog learns the new seed
    const std::string randomStatus = lastStatus;
    EXPECT_EQ(randomStatus.rfind("Sampled ", 0), 0u) << randomStatus;

    const auto otherRandom = LoadWith(*setup, path);
    EXPECT_EQ(setup->controls.SeedEdit, "99999");
    EXPECT_NE(otherRandom, randomLoad);

    setup->controls.SeedRadioGrp = FileFormatSetup::kFixedSeed;
    setup->controls.SeedEdit = "4242";
    setup->ApplyControls();
    EXPECT_EQ(store.storedSeed.SeedType, 1);
    EXPECT_EQ(store.storedSeed.Seed, 4242);
    const std::size_t clockBefore = clockCalls;
    EXPECT_EQ(LoadWith(*setup, path), randomLoad);
    EXPECT_EQ(lastStatus, randomStatus);
    EXPECT_EQ(LoadWith(*setup, path), randomLoad);
    EXPECT_EQ(clockCalls, clockBefore);
}

TEST_F(FileFormatSetupTest, ConstructionReadsTheStoredValuesOverTheDefaults) {
    store.stored = true;
    store.storedFields.DotIndex = 4;
    store.storedFields.SubSampleEnabled = true;
    store.storedFields.SamplePercent = 0.5f;
    store.storedSeed = {1, 55};
    auto setup = Make();
    EXPECT_EQ(setup->Fields().DotIndex, 4);
    EXPECT_EQ(setup->controls.PercentEditBx, "0.5");
    EXPECT_EQ(setup->controls.SeedRadioGrp, 1);
    EXPECT_EQ(setup->controls.SeedEdit, "55");
    EXPECT_TRUE(setup->controls.samplingControlsEnabled);
    EXPECT_EQ(store.writes, 0);

    SampleGenerator fixed;
    setup->PrepareSampling(fixed);
    SampleGenerator expected;
    expected.Seed(55);
    EXPECT_EQ(fixed.state(), expected.state());
    EXPECT_EQ(clockCalls, 0u);
}

TEST(FileFormatClock, TheClockSeedIsTheTimeOfDayInMilliseconds) {
    const std::int32_t seed = FileFormatSetup::UtcClockSeed();
    EXPECT_GE(seed, 0);
    EXPECT_LT(seed, 86'400'000);
}

}  // namespace
}  // namespace ocuvis
