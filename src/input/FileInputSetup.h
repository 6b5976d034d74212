#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/UserFeedback.h"
#include "input/DataFileKind.h"
#include "input/LoaderServices.h"

namespace ocuvis {

// The file input set-up: the field numbers and sub-sampling the loader reads, the rules of its
// dialog's controls, the example record and the stored values.
class FileInputSetup final : public LoaderInput {
  public:
    // What the controls of the "Setup File Input" dialog show, held here so that the rules
    // between fields and controls run without widgets. The dialog copies every user change in
    // before it calls a handler and shows the controls again after each change made here.
    struct Controls {
        std::string FileNameLabel;
        std::string ExampleRecordLabel;
        // Entries of each field selector: "N/A" or "none", then "Field 1" .. "Field n". 0 until
        // a file's example record has been read.
        int selectorEntries = 0;
        // The selected entry of XComboBox, YComboBox, ZComboBox, DotComboBox; -1 when none.
        int XComboBox = -1;
        int YComboBox = -1;
        int ZComboBox = -1;
        int DotComboBox = -1;
        // The colour fields, entry 0 ("none") for the file's own names.
        int RedComboBox = -1;
        int GreenComboBox = -1;
        int BlueComboBox = -1;
        // A field whose values colour the dots through the colour map; entry 0 for none.
        int ValueComboBox = -1;
        // While checked, the x, y and z selectors show the fields the file names so.
        bool AxesByNameChkBx = true;
        bool SubSampleEnabledChkBx = false;
        // PercentEditBx, SeedRadioGrp and SeedEdit follow the check box.
        bool samplingControlsEnabled = false;
        std::string PercentEditBx = "10";
        int SeedRadioGrp = 0;  // 0 "Random", 1 "Fixed", -1 none
        std::string SeedEdit = "0";
        std::string RecordLimitEdit = "49999";
    };

    static constexpr int kRandomSeed = 0;
    static constexpr int kFixedSeed = 1;
    static constexpr std::int32_t kExampleLineLength = 240;
    // The selectors offer at most this many fields, and no stored field number goes beyond.
    static constexpr std::int32_t kLargestFieldNumber = 240;

    // Milliseconds since midnight: the clock seed.
    using Clock = std::function<std::int32_t()>;

    // Defaults, then the stored values; a stored value that no session could have written (a
    // field number outside what the selectors offer, an unknown seed type) reads as the default.
    FileInputSetup(FileInputStore& store, UserFeedback& feedback, Clock clock = UtcClockSeed);

    // The time of day of the system clock in UTC, in milliseconds since midnight.
    static std::int32_t UtcClockSeed();

    // The entry texts of a selector: x and y start with "N/A", z and dot size with "none", then
    // "Field 1" .. "Field n", each followed by ": name" where the file names its field.
    std::vector<std::string> SelectorEntryTexts(bool noneEntry) const;

    // LoaderInput
    const FileInputFields& Fields() const override { return fields; }
    // In "Random" mode a new clock seed, which becomes Seed and shows in SeedEdit.
    void PrepareSampling(SampleGenerator& generator) override;

    // Reads the first line of the file as the example record and rebuilds the selectors. When
    // the file cannot be opened, nothing changes and the failure's text comes back.
    std::optional<std::string> LoadExampleRecord(const std::string& fileName);
    // The example record of fileName as read: shown, with the selectors rebuilt for its fields.
    void TakeExampleRecord(const std::string& fileName, const ExampleRecord& example);
    // The cancel step: the fields into the controls.
    void ShowFields();
    // The check before the accept step: false, with a message, when a control holds a value
    // that cannot be taken (a record limit that is no whole number from 1 to 50,000,000).
    bool OkBitBtnClick();
    // The accept step: the controls into the fields, then the store. A record limit that
    // cannot be taken, and a selector left empty, leave their values as they were; the x, y
    // and z shown by name keep the field numbers for files without names.
    void ApplyControls();
    void RestoreDefaults();
    void ReadSetupValues();
    void WriteSetupValues();
    void ShowExampleRecord();

    void XComboBoxChange();
    void YComboBoxChange();
    void ZComboBoxChange();
    void DotComboBoxChange() { ShowExampleRecord(); }
    void AxesByNameChkBxClick();
    void SeedRadioGrpClick();
    void SubSampleEnabledChkBxClick();
    void RetryBitBtnClick();

    FileInputFields fields;
    SeedSetup seed;
    std::string exampleRecord;
    std::int32_t exampleFieldCount = 0;
    std::vector<std::string> exampleNames;   // names[i] names field i + 1; may be short
    std::vector<std::string> exampleFields;  // the example's fields, as its reader splits them
    Controls controls;

    // Called whenever the controls changed here, so the dialog can show them.
    std::function<void()> controlsChanged;

  private:
    std::int32_t DrawClockSeed();
    int Entry(std::int32_t index) const;
    void ShowControls();
    // The x, y and z selectors as the by-name box and the field numbers have them.
    void ShowAxes();
    // An axis chosen by the user while its field is taken by name: numbers from now on.
    void AxisChosen();
    bool AxesShownByName() const { return controls.AxesByNameChkBx && !exampleNames.empty(); }
    void CheckStoredValues();

    FileInputStore& store_;
    UserFeedback& feedback_;
    Clock clock_;
    std::int32_t lastClockSeed_ = 0;
};

}  // namespace ocuvis
