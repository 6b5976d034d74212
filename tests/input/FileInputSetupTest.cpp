#include "input/FileInputSetup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "TestSupport.h"

namespace ocuvis {
namespace {

// The stored values in memory.
class MemoryFileInputStore final : public FileInputStore {
  public:
    void ReadSetupValues(FileInputFields& f, SeedSetup& s) override {
        if (stored) std::tie(f, s) = std::tie(fields, seed);
    }
    void WriteSetupValues(const FileInputFields& f, const SeedSetup& s) override {
        std::tie(fields, seed, stored) = std::tuple(f, s, true);
    }
    bool stored = false;
    FileInputFields fields;
    SeedSetup seed;
};

using Shown = test::ShownMessage;
using test::RecordingFeedback;

class FileInputSetupTest : public ::testing::Test {
  protected:
    test::TempFolder dir;
    MemoryFileInputStore store;
    RecordingFeedback feedback;
    // The clock gives the seeds of clockSeeds in turn, then repeats the last.
    std::vector<std::int32_t> clockSeeds{1000};
    std::size_t clockCalls = 0;
    FileInputSetup setup{store, feedback, [this] {
                             return clockSeeds[std::min(clockCalls++, clockSeeds.size() - 1)];
                         }};
};

TEST_F(FileInputSetupTest, TheExampleRecordMarksTheChosenFieldsAndRefusesNoneForXOrY) {
    ASSERT_FALSE(setup.LoadExampleRecord(dir.Write("a.3d", "  1.0 2.0 3.0 0.5  \r\n4 5 6 7\n")));
    EXPECT_EQ(setup.exampleRecord, "1.0 2.0 3.0 0.5");
    EXPECT_EQ(setup.controls.ExampleRecordLabel, " X=1.0,  Y=2.0,  Z=3.0,  0.5");
    EXPECT_EQ(setup.SelectorEntryTexts(false),
              (std::vector<std::string>{"N/A", "Field 1", "Field 2", "Field 3", "Field 4"}));
    EXPECT_EQ(setup.SelectorEntryTexts(true).front(), "none");

    // One field chosen twice carries both marks; "none" for z is allowed.
    setup.controls.DotComboBox = 4;
    setup.DotComboBoxChange();
    setup.controls.YComboBox = 1;
    setup.YComboBoxChange();
    setup.controls.ZComboBox = 0;
    setup.ZComboBoxChange();
    EXPECT_EQ(setup.controls.ExampleRecordLabel, " X=Y=1.0,  2.0,  3.0,  DotSize=0.5");

    setup.controls.XComboBox = 0;
    setup.XComboBoxChange();
    EXPECT_EQ(setup.controls.XComboBox, 1);
    setup.controls.YComboBox = 0;
    setup.YComboBoxChange();
    EXPECT_EQ(setup.controls.YComboBox, 2);
    const char* error = "Error Message";
    EXPECT_EQ(feedback.shown,
              (std::vector<Shown>{{"Invalid selection, must select a field for X-axis.", error,
                                   MessageIcon::Information},
                                  {"Invalid selection, must select a field for Y-axis.", error,
                                   MessageIcon::Information}}));

    // The example is the first line only, cut at 240 characters.
    ASSERT_FALSE(setup.LoadExampleRecord(dir.Write("c.3d", std::string(300, '5') + " 6\n")));
    EXPECT_EQ(setup.exampleRecord, std::string(240, '5'));
    EXPECT_EQ(setup.controls.YComboBox, -1);  // there is no "Field 2"
}

TEST_F(FileInputSetupTest, AFileThatCannotBeOpenedChangesNothingAndSaysWhy) {
    const std::string first = dir.Write("first.3d", "1 2 3\n");
    ASSERT_FALSE(setup.LoadExampleRecord(first));
    const std::string missing = dir.Path("missing.3d");
    EXPECT_EQ(setup.LoadExampleRecord(missing),
              "Cannot open file \"" + missing + "\". No such file or directory.");
    EXPECT_TRUE(setup.LoadExampleRecord(""));
    EXPECT_EQ(setup.controls.FileNameLabel, first);
    EXPECT_EQ(setup.exampleRecord, "1 2 3");

    // A name without an extension is the file the loader opened for it.
    dir.Write("plain.3D", "4 5\n");
    ASSERT_FALSE(setup.LoadExampleRecord(dir.Path("plain")));
    EXPECT_EQ(setup.controls.FileNameLabel, dir.Path("plain"));
    EXPECT_EQ(setup.exampleRecord, "4 5");
}

TEST_F(FileInputSetupTest, TypedTextsBecomeNumbersWithTheirFallbacks) {
    const std::tuple<const char*, const char*, float, std::int32_t> cases[] = {
        {"12.3", "12.9", 12.3f, 12},
        {"abc", "", 100.0f, 100},
        {"9e99", "-7.9", 100.0f, -7},  // beyond the float range: no percentage
        // No range check on the percentage; the seed keeps 32 bits.
        {"-5", "4294967295", -5.0f, -1},
        {"10", "1e30", 10.0f, 100}};
    for (const auto& [percentText, seedText, percent, seed] : cases) {
        setup.controls.PercentEditBx = percentText;
        setup.controls.SeedEdit = seedText;
        setup.ApplyControls();
        EXPECT_EQ(store.fields.SamplePercent, percent) << percentText;
        EXPECT_EQ(store.seed.Seed, seed) << seedText;
    }

    // A float is shown with all its digits, which read back as the same float.
    setup.controls.PercentEditBx = "12.3";
    setup.ApplyControls();
    setup.ShowFields();
    EXPECT_EQ(setup.controls.PercentEditBx, "12.3000001907349");
    setup.ApplyControls();
    EXPECT_EQ(setup.fields.SamplePercent, 12.3f);
}

TEST_F(FileInputSetupTest, RestoreDefaultsStaysInForceAfterCancel) {
    clockSeeds = {777};
    ASSERT_FALSE(setup.LoadExampleRecord(dir.Write("f.3d", "1 2 3 4 5\n")));
    setup.controls.ZComboBox = 5;
    setup.controls.SubSampleEnabledChkBx = true;
    setup.controls.SeedRadioGrp = FileInputSetup::kFixedSeed;
    setup.SeedRadioGrpClick();
    setup.controls.SeedEdit = "31";
    setup.ApplyControls();
    EXPECT_EQ(clockCalls, 0u);  // choosing "Fixed" draws no seed

    setup.controls.SeedRadioGrp = FileInputSetup::kRandomSeed;
    setup.SeedRadioGrpClick();
    EXPECT_EQ(setup.controls.SeedEdit, "777");
    EXPECT_EQ(setup.seed.Seed, 31);  // only OK takes the shown seed

    setup.RetryBitBtnClick();
    setup.ShowFields();  // the cancel step
    EXPECT_EQ(feedback.beeps, std::vector<BeepKind>{BeepKind::Default});
    // The seed is the latest clock seed of this run.
    EXPECT_EQ(std::tie(setup.fields.SubSampleEnabled, setup.seed.SeedType, setup.seed.Seed),
              std::tuple(false, 0, 777));
    EXPECT_EQ(setup.controls.ExampleRecordLabel, " X=1,  Y=2,  Z=3,  4,  5");
    // Nothing was stored by the defaults: the store still has what OK wrote.
    EXPECT_EQ(store.fields.ZIndex, 5);
}

TEST_F(FileInputSetupTest, RandomSeedsComeFromTheClockAndRepeatAsFixed) {
    clockSeeds = {4242, 99999};
    // That the dialog shows the new seed is the dialog's test.
    SampleGenerator random;
    setup.PrepareSampling(random);
    EXPECT_EQ(setup.controls.SeedEdit, "4242");
    SampleGenerator otherRandom;
    setup.PrepareSampling(otherRandom);
    EXPECT_NE(otherRandom.state(), random.state());

    setup.controls.SeedRadioGrp = FileInputSetup::kFixedSeed;
    setup.controls.SeedEdit = "4242";
    setup.ApplyControls();
    for (int load = 0; load < 2; ++load) {
        SampleGenerator fixed;
        setup.PrepareSampling(fixed);
        EXPECT_EQ(fixed.state(), random.state());
    }
}

TEST_F(FileInputSetupTest, ConstructionReadsTheStoredValuesOverTheDefaults) {
    store.stored = true;
    store.fields.XIndex = 5;
    store.fields.DotIndex = 4;
    store.fields.SubSampleEnabled = true;
    store.fields.SamplePercent = 0.5f;
    store.seed = {1, 55};
    FileInputSetup setup(store, feedback);
    const auto& shown = setup.controls;
    EXPECT_EQ(std::tie(shown.PercentEditBx, shown.SeedRadioGrp, shown.SeedEdit,
                       shown.samplingControlsEnabled),
              std::tuple(std::string("0.5"), 1, std::string("55"), true));

    // A field beyond the example record leaves its selector empty, and OK on the untouched
    // selector keeps the stored choice rather than storing none.
    ASSERT_FALSE(setup.LoadExampleRecord(dir.Write("e.3d", "1 2 3 4\n")));
    EXPECT_EQ(setup.controls.XComboBox, -1);
    EXPECT_EQ(setup.controls.ExampleRecordLabel, " 1,  Y=2,  Z=3,  DotSize=4");
    setup.ApplyControls();
    EXPECT_EQ(store.fields.XIndex, 5);
    ASSERT_FALSE(setup.LoadExampleRecord(dir.Write("f.3d", "1\n")));
    setup.ApplyControls();
    EXPECT_EQ(std::tie(store.fields.XIndex, store.fields.YIndex, store.fields.ZIndex,
                       store.fields.DotIndex),
              std::make_tuple(5, 2, 3, 4));
}

TEST_F(FileInputSetupTest, StoredValuesNoSessionCouldWriteReadAsTheDefaults) {
    // x, y, z, dot, percent, seed type, record limit: as stored, then as read.
    using Values = std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t, float, int,
                              std::int32_t>;
    const float nan = std::nanf("");
    const std::pair<Values, Values> cases[] = {
        // A typed share far below 0 is kept: it keeps no line, as any share of 0 or less.
        {{7, 240, 240, 0, -1e33f, 1, kLargestRecordLimit},
         {7, 240, 240, 0, -1e33f, 1, kLargestRecordLimit}},
        {{-1, -1, -1, -1, nan, 2, 0}, {1, 2, 0, 0, 10.0f, 0, kRecordLimit}},
        {{0, 241, 241, 100000, 1e30f, 255, kLargestRecordLimit + 1},
         {1, 2, 3, 0, 1e30f, 0, kRecordLimit}}};
    for (const auto& [in, read] : cases) {
        const auto& [x, y, z, dot, percent, seedType, limit] = in;
        store.stored = true;
        store.fields = {x, y, z, dot, true, percent, limit};
        store.seed = {static_cast<std::uint8_t>(seedType), 9};
        FileInputSetup loaded(store, feedback);
        const FileInputFields& f = loaded.fields;
        EXPECT_EQ(Values(f.XIndex, f.YIndex, f.ZIndex, f.DotIndex, f.SamplePercent,
                         loaded.seed.SeedType, f.RecordLimit),
                  read)
            << x << " " << y << " " << z << " " << dot;
    }
}

TEST_F(FileInputSetupTest, ARecordLimitOutsideOneToFiftyMillionIsRefusedAndNotStored) {
    // 0: refused, the stored limit stays the last one taken.
    const std::pair<const char*, std::int32_t> cases[] = {
        {"1", 1},   {"49999", 49999}, {"50000000", 50000000}, {"50000001", 0}, {"0", 0}, {"-5", 0},
        {"abc", 0}, {"", 0},          {"99999999999", 0}};
    std::int32_t stored = kRecordLimit;
    for (const auto& [text, limit] : cases) {
        feedback.shown.clear();
        setup.controls.RecordLimitEdit = text;
        EXPECT_EQ(setup.OkBitBtnClick(), limit != 0) << text;
        EXPECT_EQ(feedback.shown.size(), limit != 0 ? 0u : 1u) << text;
        setup.ApplyControls();
        if (limit != 0) stored = limit;
        EXPECT_EQ(store.fields.RecordLimit, stored) << text;
    }
    EXPECT_EQ(feedback.shown.at(0).text,
              "The record limit must be a whole number from 1 to 50,000,000.");
    setup.ShowFields();
    EXPECT_EQ(setup.controls.RecordLimitEdit, "50000000");
}

TEST_F(FileInputSetupTest, FieldNamesOfTheFileFollowTheFieldNumbersInTheSelectors) {
    setup.TakeExampleRecord("a.csv", ExampleRecord{"1,2,3,4", {"east", "", "depth"}, {}});
    EXPECT_EQ(setup.SelectorEntryTexts(true),
              (std::vector<std::string>{"none", "Field 1: east", "Field 2", "Field 3: depth",
                                        "Field 4"}));
    // More names than fields, and then a file without names.
    setup.TakeExampleRecord("b.csv", ExampleRecord{"1,2", {"u", "v", "w"}, {}});
    EXPECT_EQ(setup.SelectorEntryTexts(false),
              (std::vector<std::string>{"N/A", "Field 1: u", "Field 2: v"}));
    setup.TakeExampleRecord("c.3d", ExampleRecord{"1 2", {}, {}});
    EXPECT_EQ(setup.SelectorEntryTexts(false),
              (std::vector<std::string>{"N/A", "Field 1", "Field 2"}));
}

TEST_F(FileInputSetupTest, AxesByNameShowTheNamedFieldsUntilTheUserChoosesOne) {
    const ExampleRecord normalsFirst{"0 0 1 4 5 6", {"nx", "ny", "nz", "X", "Y", "Z"}, {}};
    const auto shown = [this] {
        return std::make_tuple(setup.controls.XComboBox, setup.controls.YComboBox,
                               setup.controls.ZComboBox, setup.controls.AxesByNameChkBx);
    };
    const auto stored = [this] {
        return std::make_tuple(store.fields.XIndex, store.fields.YIndex, store.fields.ZIndex,
                               store.fields.AxesByName);
    };
    // Names in capitals are found as the loader finds them; OK keeps the numbers for files
    // without names.
    setup.TakeExampleRecord("n.ply", normalsFirst);
    EXPECT_EQ(shown(), std::make_tuple(4, 5, 6, true));
    EXPECT_EQ(setup.controls.ExampleRecordLabel, " 0,  0,  1,  X=4,  Y=5,  Z=6");
    setup.ApplyControls();
    EXPECT_EQ(stored(), std::make_tuple(1, 2, 3, true));

    // Choosing one axis turns to numbers; the others stay where they were shown.
    setup.controls.XComboBox = 1;
    setup.XComboBoxChange();
    EXPECT_EQ(shown(), std::make_tuple(1, 5, 6, false));
    setup.ApplyControls();
    EXPECT_EQ(stored(), std::make_tuple(1, 5, 6, false));

    // Checked again: the names; a file that names no x, y and z gives its first three fields;
    // a file without names shows the numbers.
    setup.controls.AxesByNameChkBx = true;
    setup.AxesByNameChkBxClick();
    EXPECT_EQ(shown(), std::make_tuple(4, 5, 6, true));
    setup.ApplyControls();
    setup.TakeExampleRecord("p.ply", ExampleRecord{"1 2 3 4", {"px", "py", "pz", "i"}, {}});
    EXPECT_EQ(shown(), std::make_tuple(1, 2, 3, true));
    setup.TakeExampleRecord("n.3d", ExampleRecord{"1 2 3 4 5 6", {}, {}});
    EXPECT_EQ(shown(), std::make_tuple(1, 5, 6, true));
    // Choosing an axis of a file without names leaves the box as it is.
    setup.controls.ZComboBox = 2;
    setup.ZComboBoxChange();
    EXPECT_EQ(shown(), std::make_tuple(1, 5, 2, true));
}

}  // namespace
}  // namespace ocuvis
