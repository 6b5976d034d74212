#include "input/FileFormatSetup.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>

#include "core/AsciiText.h"
#include "input/DataFileKind.h"
#include "input/DataFileLoader.h"
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

FileFormatSetup::FileFormatSetup(FileInputStore& store, UserFeedback& feedback, Clock clock)
    : store_(store), feedback_(feedback), clock_(std::move(clock)) {
    RestoreDefaults();
    ReadSetupValues();
}

std::int32_t FileFormatSetup::UtcClockSeed() {
    using namespace std::chrono;
    const auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<std::int32_t>(now % kMillisecondsPerDay);
}

std::int32_t FileFormatSetup::DrawClockSeed() {
    lastClockSeed_ = clock_();
    return lastClockSeed_;
}

std::vector<std::string> FileFormatSetup::SelectorEntryTexts(bool noneEntry) const {
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

int FileFormatSetup::Entry(std::int32_t index) const {
    return index >= 0 && index < controls.selectorEntries ? static_cast<int>(index) : -1;
}

void FileFormatSetup::ShowControls() {
    if (controlsChanged) controlsChanged();
}

void FileFormatSetup::PrepareSampling(SampleGenerator& generator) {
    if (controls.SeedRadioGrp == kRandomSeed) {
        seed.Seed = DrawClockSeed();
        controls.SeedEdit = std::to_string(seed.Seed);
        ShowControls();
    }
    generator.Seed(static_cast<std::uint32_t>(seed.Seed));
}

std::optional<std::string> FileFormatSetup::LoadExampleRecord(const std::string& fileName) {
    // The loader completes a name without an extension; the example comes from the file it read.
    const std::string path = fileName.empty() ? fileName : DataFileLoader::FileNameToOpen(fileName);
    std::string failure;
    const std::optional<ExampleRecord> example =
        ReadExampleRecord(path, failure, kExampleLineLength);
    if (!example) return OpenFailure(fileName, failure);
    TakeExampleRecord(fileName, *example);
    return std::nullopt;
}

void FileFormatSetup::TakeExampleRecord(const std::string& fileName, const ExampleRecord& example) {
    controls.FileNameLabel = fileName;
    exampleRecord = example.text;
    exampleNames = example.names;
    namedAxes_ = {};
    if (DataFileKindOf(fileName) == DataFileKind::Ply) {
        const char* const axes[] = {"x", "y", "z"};
        for (std::size_t axis = 0; axis < 3; ++axis) {
            const auto at = std::find(exampleNames.begin(), exampleNames.end(), axes[axis]);
            if (at == exampleNames.end()) {
                namedAxes_ = {};
                break;
            }
            namedAxes_[axis] = static_cast<std::int32_t>(at - exampleNames.begin()) + 1;
        }
    }

    const OrlenStrings scanner;
    exampleFieldCount = 0;
    for (std::string_view rest = exampleRecord; !rest.empty(); ++exampleFieldCount)
        scanner.NextField(rest, FieldDelimiters);
    controls.selectorEntries = exampleFieldCount + 1;
    ShowFields();
}

void FileFormatSetup::ShowFields() {
    namedAxesShown_ =
        namedAxes_[0] > 0 && fields.XIndex == 1 && fields.YIndex == 2 && fields.ZIndex == 3;
    controls.XComboBox = Entry(namedAxesShown_ ? namedAxes_[0] : fields.XIndex);
    controls.YComboBox = Entry(namedAxesShown_ ? namedAxes_[1] : fields.YIndex);
    controls.ZComboBox = Entry(namedAxesShown_ ? namedAxes_[2] : fields.ZIndex);
    controls.DotComboBox = Entry(fields.DotIndex);
    controls.SubSampleEnabledChkBx = fields.SubSampleEnabled;
    controls.samplingControlsEnabled = fields.SubSampleEnabled;
    controls.PercentEditBx = GeneralText(static_cast<double>(fields.SamplePercent));
    controls.SeedRadioGrp = seed.SeedType <= kFixedSeed ? seed.SeedType : -1;
    controls.SeedEdit = std::to_string(seed.Seed);
    controls.RecordLimitEdit = std::to_string(fields.RecordLimit);
    ShowExampleRecord();
    ShowControls();
}

void FileFormatSetup::ShowExampleRecord() {
    if (exampleRecord.empty()) return;
    const OrlenStrings scanner;
    std::string text = " ";
    std::string_view rest = exampleRecord;
    for (int i = 1; i <= exampleFieldCount; ++i) {
        if (controls.XComboBox == i) text += "X=";
        if (controls.YComboBox == i) text += "Y=";
        if (controls.ZComboBox == i) text += "Z=";
        if (controls.DotComboBox == i) text += "DotSize=";
        text += scanner.NextField(rest, FieldDelimiters);
        if (!rest.empty()) text += ",  ";
    }
    controls.ExampleRecordLabel = text;
    ShowControls();
}

bool FileFormatSetup::OkBitBtnClick() {
    if (RecordLimitFromText(controls.RecordLimitEdit)) return true;
    feedback_.ShowMessage("The record limit must be a whole number from 1 to 50,000,000.",
                          "Error Message", MessageIcon::Information);
    return false;
}

void FileFormatSetup::ApplyControls() {
    fields.XIndex = controls.XComboBox;
    fields.YIndex = controls.YComboBox;
    fields.ZIndex = controls.ZComboBox;
    fields.DotIndex = controls.DotComboBox;
    // The named axes, left as shown, stay 1, 2, 3: other files keep their first three fields.
    if (namedAxesShown_ && fields.XIndex == namedAxes_[0] && fields.YIndex == namedAxes_[1] &&
        fields.ZIndex == namedAxes_[2]) {
        fields.XIndex = 1;
        fields.YIndex = 2;
        fields.ZIndex = 3;
    }
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

void FileFormatSetup::RestoreDefaults() {
    fields = FileInputFields{};
    seed = SeedSetup{0, lastClockSeed_};
    ShowFields();
}

void FileFormatSetup::ReadSetupValues() {
    store_.ReadSetupValues(fields, seed);
    ShowFields();
}

void FileFormatSetup::WriteSetupValues() {
    store_.WriteSetupValues(fields, seed);
}

void FileFormatSetup::XComboBoxChange() {
    if (controls.XComboBox == 0) {
        feedback_.ShowMessage("Invalid selection, must select a field for X-axis.", "Error Message",
                              MessageIcon::Information);
        controls.XComboBox = Entry(1);
    }
    ShowExampleRecord();
    ShowControls();
}

void FileFormatSetup::YComboBoxChange() {
    if (controls.YComboBox == 0) {
        feedback_.ShowMessage("Invalid selection, must select a field for Y-axis.", "Error Message",
                              MessageIcon::Information);
        controls.YComboBox = Entry(2);
    }
    ShowExampleRecord();
    ShowControls();
}

void FileFormatSetup::SeedRadioGrpClick() {
    if (controls.SeedRadioGrp == kRandomSeed) {
        controls.SeedEdit = std::to_string(DrawClockSeed());
        ShowControls();
    }
}

void FileFormatSetup::SubSampleEnabledChkBxClick() {
    controls.samplingControlsEnabled = controls.SubSampleEnabledChkBx;
    ShowControls();
}

void FileFormatSetup::RetryBitBtnClick() {
    feedback_.MessageBeep(BeepKind::Default);
    RestoreDefaults();
}

}  // namespace ocuvis
