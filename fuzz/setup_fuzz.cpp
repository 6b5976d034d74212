// Drives the file input set-up with arbitrary stored values, an arbitrary example record and
// arbitrary typed percentages, seeds and selections, and checks that what the controls show
// reads back as the values they came from.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "input/FileInputSetup.h"

using namespace ocuvis;

namespace {

using fuzz::Check;

std::string TempPath() {
    static const std::string path = [] {
        char name[] = "/tmp/ocuvis-setup-fuzz-XXXXXX.3d";
        const int fd = mkstemps(name, 3);
        if (fd >= 0) close(fd);
        return std::string(name);
    }();
    return path;
}

// Stored values as a damaged or hand-edited store may hold them: any number at all.
class FuzzedStore final : public FileInputStore {
  public:
    explicit FuzzedStore(FuzzedDataProvider& input) : input_(input) {}
    void ReadSetupValues(FileInputFields& fields, SeedSetup& seed) override {
        if (!input_.ConsumeBool()) return;
        fields.XIndex = input_.ConsumeIntegral<std::int32_t>();
        fields.YIndex = input_.ConsumeIntegral<std::int32_t>();
        fields.ZIndex = input_.ConsumeIntegral<std::int32_t>();
        fields.DotIndex = input_.ConsumeIntegral<std::int32_t>();
        fields.SubSampleEnabled = input_.ConsumeBool();
        const std::uint32_t bits = input_.ConsumeIntegral<std::uint32_t>();
        std::memcpy(&fields.SamplePercent, &bits, sizeof bits);
        seed.SeedType = input_.ConsumeIntegral<std::uint8_t>();
        seed.Seed = input_.ConsumeIntegral<std::int32_t>();
    }
    void WriteSetupValues(const FileInputFields& fields, const SeedSetup& seed) override {
        written = fields;
        writtenSeed = seed;
    }
    FileInputFields written;
    SeedSetup writtenSeed;

  private:
    FuzzedDataProvider& input_;
};

class QuietFeedback final : public UserFeedback {
  public:
    void MessageBeep(BeepKind) override {}
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
};

bool SameFloat(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void CheckControls(const FileInputSetup& setup) {
    const FileInputSetup::Controls& c = setup.controls;
    for (const int entry : {c.XComboBox, c.YComboBox, c.ZComboBox, c.DotComboBox})
        Check(entry >= -1 && entry < std::max(c.selectorEntries, 0));
    Check(setup.SelectorEntryTexts(true).size() ==
          static_cast<std::size_t>(std::max(c.selectorEntries, 0)));
    Check(c.SeedRadioGrp >= -1 && c.SeedRadioGrp <= FileInputSetup::kFixedSeed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzedStore store(input);
    QuietFeedback feedback;
    const std::int32_t clockSeed = input.ConsumeIntegral<std::int32_t>();
    FileInputSetup setup(store, feedback, [clockSeed] { return clockSeed; });
    CheckControls(setup);

    const std::string record = input.ConsumeRandomLengthString(600);
    if (std::FILE* file = std::fopen(TempPath().c_str(), "wb")) {
        std::fwrite(record.data(), 1, record.size(), file);
        std::fclose(file);
        Check(!setup.LoadExampleRecord(TempPath()).has_value());
        Check(setup.exampleRecord.size() <= FileInputSetup::kExampleLineLength);
        Check(setup.controls.selectorEntries == setup.exampleFieldCount + 1);
        CheckControls(setup);
    }

    while (input.remaining_bytes() > 0) {
        FileInputSetup::Controls& c = setup.controls;
        const int entries = c.selectorEntries;
        switch (input.ConsumeIntegralInRange(0, 10)) {
            case 0:
                c.XComboBox = input.ConsumeIntegralInRange(-1, entries - 1);
                setup.XComboBoxChange();
                Check(c.XComboBox != 0);
                break;
            case 1:
                c.YComboBox = input.ConsumeIntegralInRange(-1, entries - 1);
                setup.YComboBoxChange();
                Check(c.YComboBox != 0);
                break;
            case 2:
                c.ZComboBox = input.ConsumeIntegralInRange(-1, entries - 1);
                c.DotComboBox = input.ConsumeIntegralInRange(-1, entries - 1);
                setup.ZComboBoxChange();
                break;
            case 3:
                c.PercentEditBx = input.ConsumeRandomLengthString(40);
                break;
            case 4:
                c.SeedEdit = input.ConsumeRandomLengthString(40);
                break;
            case 5:
                c.SeedRadioGrp = input.ConsumeIntegralInRange(-1, 1);
                setup.SeedRadioGrpClick();
                break;
            case 10:
                c.AxesByNameChkBx = input.ConsumeBool();
                setup.AxesByNameChkBxClick();
                break;
            case 6:
                c.SubSampleEnabledChkBx = input.ConsumeBool();
                setup.SubSampleEnabledChkBxClick();
                Check(c.samplingControlsEnabled == c.SubSampleEnabledChkBx);
                break;
            case 7: {
                // OK, then the dialog shown again and OK once more: nothing may drift.
                setup.ApplyControls();
                const FileInputFields applied = setup.fields;
                const SeedSetup seed = setup.seed;
                Check(std::isfinite(applied.SamplePercent));
                // No field number is ever stored outside what the selectors offer.
                constexpr std::int32_t kLargest = FileInputSetup::kLargestFieldNumber;
                Check(applied.XIndex >= 1 && applied.XIndex <= kLargest);
                Check(applied.YIndex >= 1 && applied.YIndex <= kLargest);
                Check(applied.ZIndex >= 0 && applied.ZIndex <= kLargest);
                Check(applied.DotIndex >= 0 && applied.DotIndex <= kLargest);
                Check(SameFloat(store.written.SamplePercent, applied.SamplePercent));
                setup.ShowFields();
                setup.ApplyControls();
                Check(setup.fields.XIndex == applied.XIndex);
                Check(setup.fields.YIndex == applied.YIndex);
                Check(setup.fields.ZIndex == applied.ZIndex);
                Check(setup.fields.DotIndex == applied.DotIndex);
                Check(setup.fields.SubSampleEnabled == applied.SubSampleEnabled);
                Check(SameFloat(setup.fields.SamplePercent, applied.SamplePercent));
                Check(setup.seed.Seed == seed.Seed && setup.seed.SeedType == seed.SeedType);
                break;
            }
            case 8: {
                SampleGenerator generator;
                setup.PrepareSampling(generator);
                if (c.SeedRadioGrp == FileInputSetup::kRandomSeed)
                    Check(setup.seed.Seed == clockSeed);
                break;
            }
            case 9:
                setup.RetryBitBtnClick();
                break;
        }
        CheckControls(setup);
    }
    return 0;
}
