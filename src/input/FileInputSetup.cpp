#include "input/FileInputSetup.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>

#include "core/AsciiText.h"
#include "input/DataFileKind.h"
#include "input/DataFileLoader.h"
#include "input/DataFileReader.h"
#include "input/OrlenStrings.h"

namespace ocuvis {

namespace {

constexpr std::int32_t kMillisecondsPerDay = 86'400'000;

// The general decimal form with up to 15 significant digits, '.' as the decimal point whatever
// the locale: 10 shows as "10", the float 12.3 as "12.3000001907349".
std::string GeneralText(double value) {
    char text[32];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    return std::string(text, result.ptr);
}

float PercentFromText(const std::string& text) {
    const double value = OrlenStrings().FieldToDouble(text, 100.0);
    float percent = 100.0f;
    // A number beyond the float range is no percentage; it falls back like any other non-number.
    if (!NarrowToFloat(value, percent)) return 100.0f;
    return percent;
}

std::int32_t SeedFromText(const std::string& text) {
    const double whole = std::trunc(OrlenStrings().FieldToDouble(text, 100.0));
    // Seeds are used as unsigned 32-bit values: a typed number beyond the int32 range keeps its
    // low 32 bits, as an integer assignment would. Beyond 64 bits there is no sensible seed.
    if (!(std::fabs(whole) < 9.2e18)) return 100;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(whole)));
}

// Digits only, within 1..kLargestRecordLimit; anything else is no limit.
std::optional<std::int32_t> RecordLimitFromText(const std::string& text) {
    std::int32_t limit = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, limit);
    if (text.empty() || text.front() == '-' || result.ec != std::errc() || result.ptr != end ||
        limit < 1 || limit > kLargestRecordLimit)
        return std::nullopt;
    return limit;
}

std::string OpenFailure(const std::string& fileName, const std::string& reason) {
    return "Cannot open file \"" + fileName + "\". " + reason + ".";
}

}  // namespace

FileInputSetup::FileInputSetup(FileInputStore& store, UserFeedback& feedback, Clock clock)
    : store_(store), feedback_(feedback), clock_(std::move(clock)) {
    RestoreDefaults();
    ReadSetupValues();
}

std::int32_t FileInputSetup::UtcClockSeed() {
    using namespace std::chrono;
    const auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<std::int32_t>(now % kMillisecondsPerDay);
}

std::int32_t FileInputSetup::DrawClockSeed() {
    lastClockSeed_ = clock_();
    return lastClockSeed_;
}

std::vector<std::string> FileInputSetup::SelectorEntryTexts(bool noneEntry) const {
    std::vector<std::string> entries;
    if (controls.selectorEntries <= 0) return entries;
    entries.emplace_back(noneEntry ? "none" : "N/A");
    for (int i = 1; i < controls.selectorEntries; ++i) {
        const auto name = static_cast<std::size_t>(i - 1);
        const bool named = name < exampleNames.size() && !exampleNames[name].empty();
        entries.push_back("Field " + std::to_string(i) + (named ? ": " + exampleNames[name] : ""));
    }
    return entries;
}

int FileInputSetup::Entry(std::int32_t index) const {
    return index >= 0 && index < controls.selectorEntries ? static_cast<int>(index) : -1;
}

void FileInputSetup::ShowControls() {
    if (controlsChanged) controlsChanged();
}

void FileInputSetup::PrepareSampling(SampleGenerator& generator) {
    if (controls.SeedRadioGrp == kRandomSeed) {
        seed.Seed = DrawClockSeed();
        controls.SeedEdit = std::to_string(seed.Seed);
        ShowControls();
    }
    generator.Seed(static_cast<std::uint32_t>(seed.Seed));
}

std::optional<std::string> FileInputSetup::LoadExampleRecord(const std::string& fileName) {
    // The loader completes a name without an extension; the example comes from the file it read.
    const std::string path = fileName.empty() ? fileName : DataFileLoader::FileNameToOpen(fileName);
    std::string failure;
    const std::optional<ExampleRecord> example =
        ReadExampleRecord(path, failure, kExampleLineLength);
    if (!example) return OpenFailure(fileName, failure);
    TakeExampleRecord(fileName, *example);
    return std::nullopt;
}

void FileInputSetup::TakeExampleRecord(const std::string& fileName, const ExampleRecord& example) {
    controls.FileNameLabel = fileName;
    exampleRecord = example.text;
    exampleNames = example.names;
    exampleFields = example.fields;
    if (exampleFields.empty()) {
        const OrlenStrings scanner;
        for (std::string_view rest = exampleRecord; !rest.empty();)
            exampleFields.emplace_back(scanner.NextField(rest, FieldDelimiters));
    }
    if (exampleFields.size() > static_cast<std::size_t>(kLargestFieldNumber))
        exampleFields.resize(static_cast<std::size_t>(kLargestFieldNumber));
    exampleFieldCount = static_cast<std::int32_t>(exampleFields.size());
    controls.selectorEntries = exampleFieldCount + 1;
    ShowFields();
}

void FileInputSetup::ShowAxes() {
    FileInputFields shown = fields;
    shown.AxesByName = controls.AxesByNameChkBx;
    const std::array<std::int32_t, 3> axes = AxisFieldNumbers(shown, exampleNames);
    controls.XComboBox = Entry(axes[0]);
    controls.YComboBox = Entry(axes[1]);
    controls.ZComboBox = Entry(axes[2]);
}

void FileInputSetup::ShowFields() {
    controls.AxesByNameChkBx = fields.AxesByName;
    ShowAxes();
    controls.DotComboBox = Entry(fields.DotIndex);
    controls.RedComboBox = Entry(fields.RedIndex);
    controls.GreenComboBox = Entry(fields.GreenIndex);
    controls.BlueComboBox = Entry(fields.BlueIndex);
    controls.ValueComboBox = Entry(fields.ValueIndex);
    controls.SubSampleEnabledChkBx = fields.SubSampleEnabled;
    controls.samplingControlsEnabled = fields.SubSampleEnabled;
    controls.PercentEditBx = GeneralText(static_cast<double>(fields.SamplePercent));
    controls.SeedRadioGrp = seed.SeedType <= kFixedSeed ? seed.SeedType : -1;
    controls.SeedEdit = std::to_string(seed.Seed);
    controls.RecordLimitEdit = std::to_string(fields.RecordLimit);
    ShowExampleRecord();
    ShowControls();
}

void FileInputSetup::ShowExampleRecord() {
    if (exampleRecord.empty()) return;
    std::string text = " ";
    for (int i = 1; i <= exampleFieldCount; ++i) {
        if (controls.XComboBox == i) text += "X=";
        if (controls.YComboBox == i) text += "Y=";
        if (controls.ZComboBox == i) text += "Z=";
        if (controls.DotComboBox == i) text += "DotSize=";
        text += exampleFields[static_cast<std::size_t>(i - 1)];
        if (i < exampleFieldCount) text += ",  ";
    }
    controls.ExampleRecordLabel = text;
    ShowControls();
}

bool FileInputSetup::OkBitBtnClick() {
    if (RecordLimitFromText(controls.RecordLimitEdit)) return true;
    feedback_.ShowMessage("The record limit must be a whole number from 1 to 50,000,000.",
                          "Error Message", MessageIcon::Information);
    return false;
}

void FileInputSetup::ApplyControls() {
    // A selector left empty (a stored field beyond this example) keeps the stored number.
    const auto take = [](std::int32_t& index, int entry) {
        if (entry >= 0) index = entry;
    };
    // Axes shown by name are the file's, not numbers for every file.
    if (!AxesShownByName()) {
        take(fields.XIndex, controls.XComboBox);
        take(fields.YIndex, controls.YComboBox);
        take(fields.ZIndex, controls.ZComboBox);
    }
    take(fields.DotIndex, controls.DotComboBox);
    take(fields.RedIndex, controls.RedComboBox);
    take(fields.GreenIndex, controls.GreenComboBox);
    take(fields.BlueIndex, controls.BlueComboBox);
    take(fields.ValueIndex, controls.ValueComboBox);
    fields.AxesByName = controls.AxesByNameChkBx;
    fields.SubSampleEnabled = controls.SubSampleEnabledChkBx;
    fields.SamplePercent = PercentFromText(controls.PercentEditBx);
    // With no seed type selected (a stored type the group does not have) the type stays.
    if (controls.SeedRadioGrp >= 0)
        seed.SeedType = static_cast<std::uint8_t>(controls.SeedRadioGrp);
    seed.Seed = SeedFromText(controls.SeedEdit);
    if (const auto limit = RecordLimitFromText(controls.RecordLimitEdit))
        fields.RecordLimit = *limit;
    ShowExampleRecord();
    WriteSetupValues();
}

void FileInputSetup::RestoreDefaults() {
    fields = FileInputFields{};
    seed = SeedSetup{0, lastClockSeed_};
    ShowFields();
}

void FileInputSetup::ReadSetupValues() {
    store_.ReadSetupValues(fields, seed);
    CheckStoredValues();
    ShowFields();
}

void FileInputSetup::CheckStoredValues() {
    const FileInputFields defaults;
    const auto inRange = [](std::int32_t& index, std::int32_t lowest, std::int32_t fallback) {
        if (index < lowest || index > kLargestFieldNumber) index = fallback;
    };
    // x and y always have a field: "N/A" is refused for them.
    inRange(fields.XIndex, 1, defaults.XIndex);
    inRange(fields.YIndex, 1, defaults.YIndex);
    // Below 0 is what an empty selector once stored for z and dot size: none, as 0 says.
    if (fields.ZIndex < 0) fields.ZIndex = 0;
    if (fields.DotIndex < 0) fields.DotIndex = 0;
    inRange(fields.ZIndex, 0, defaults.ZIndex);
    inRange(fields.DotIndex, 0, defaults.DotIndex);
    for (std::int32_t* colour :
         {&fields.RedIndex, &fields.GreenIndex, &fields.BlueIndex, &fields.ValueIndex})
        inRange(*colour, 0, 0);
    if (!std::isfinite(fields.SamplePercent)) fields.SamplePercent = defaults.SamplePercent;
    if (fields.RecordLimit < 1 || fields.RecordLimit > kLargestRecordLimit)
        fields.RecordLimit = defaults.RecordLimit;
    if (seed.SeedType > kFixedSeed) seed.SeedType = SeedSetup{}.SeedType;
}

void FileInputSetup::WriteSetupValues() {
    store_.WriteSetupValues(fields, seed);
}

void FileInputSetup::ZComboBoxChange() {
    AxisChosen();
    ShowExampleRecord();
    ShowControls();
}

void FileInputSetup::AxesByNameChkBxClick() {
    ShowAxes();
    ShowExampleRecord();
    ShowControls();
}

void FileInputSetup::AxisChosen() {
    // The axes stay where they are shown, from now on by number.
    if (AxesShownByName()) controls.AxesByNameChkBx = false;
}

void FileInputSetup::XComboBoxChange() {
    AxisChosen();
    if (controls.XComboBox == 0) {
        feedback_.ShowMessage("Invalid selection, must select a field for X-axis.", "Error Message",
                              MessageIcon::Information);
        controls.XComboBox = Entry(1);
    }
    ShowExampleRecord();
    ShowControls();
}

void FileInputSetup::YComboBoxChange() {
    AxisChosen();
    if (controls.YComboBox == 0) {
        feedback_.ShowMessage("Invalid selection, must select a field for Y-axis.", "Error Message",
                              MessageIcon::Information);
        controls.YComboBox = Entry(2);
    }
    ShowExampleRecord();
    ShowControls();
}

void FileInputSetup::SeedRadioGrpClick() {
    if (controls.SeedRadioGrp == kRandomSeed) {
        controls.SeedEdit = std::to_string(DrawClockSeed());
        ShowControls();
    }
}

void FileInputSetup::SubSampleEnabledChkBxClick() {
    controls.samplingControlsEnabled = controls.SubSampleEnabledChkBx;
    ShowControls();
}

void FileInputSetup::RetryBitBtnClick() {
    feedback_.MessageBeep(BeepKind::Default);
    RestoreDefaults();
}

}  // namespace ocuvis
