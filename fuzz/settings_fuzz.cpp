// Reads every stored value of the program (view settings, window bounds, recent files, titles,
// file input values, progress window position, scale memory) from a store whose answers are
// arbitrary: any status, type code and bytes. Checks what the readers promise, then that what
// they save reads back and saves again unchanged, without a single message.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "FuzzCheck.h"
#include "render/GraphScaling.h"
#include "settings/FileInputValues.h"
#include "settings/GraphTitles.h"
#include "settings/LastFilesMenu.h"
#include "settings/OrlenRegistry.h"
#include "settings/ProgressBarPosition.h"
#include "settings/RegistryFloatStore.h"
#include "settings/SettingsSchema.h"

using namespace ocuvis;

namespace {

using fuzz::Check;

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return folded;
}

// Every read answers with what the input says; writes go nowhere.
class FuzzedHive final : public RegistryHive {
  public:
    explicit FuzzedHive(FuzzedDataProvider& input) : input_(input) {}

    HiveStatus ReadValue(std::string_view, std::string_view, StoredValue& value) override {
        if (input_.remaining_bytes() == 0) return HiveStatus::Missing;
        const auto choice = input_.ConsumeIntegral<std::uint8_t>();
        switch (choice & 7) {
            case 5:
                return HiveStatus::Missing;
            case 6:
                return HiveStatus::KeyUnavailable;
            case 7:
                return HiveStatus::ValueFailed;
            default:
                break;
        }
        value.type = input_.ConsumeIntegralInRange<std::uint32_t>(0, 5);
        switch ((choice >> 3) & 3) {
            case 0:
                value.data = input_.ConsumeBytes<std::uint8_t>(4);
                break;
            case 1:
                value.data = input_.ConsumeBytes<std::uint8_t>(8);
                break;
            default: {
                const std::string text = input_.ConsumeRandomLengthString(300);
                value.data.assign(text.begin(), text.end());
                if (choice & 0x20) value.data.push_back(0);
                break;
            }
        }
        return HiveStatus::Done;
    }
    HiveStatus WriteValue(std::string_view, std::string_view, const StoredValue&) override {
        return HiveStatus::Done;
    }
    HiveStatus RemoveKey(std::string_view) override { return HiveStatus::Done; }

  private:
    FuzzedDataProvider& input_;
};

// A sound hive in memory, names folded as the real one compares them.
class MemoryHive final : public RegistryHive {
  public:
    HiveStatus ReadValue(std::string_view path, std::string_view name,
                         StoredValue& value) override {
        const auto key = keys.find(Folded(path));
        if (key == keys.end()) return HiveStatus::Missing;
        const auto found = key->second.find(Folded(name));
        if (found == key->second.end()) return HiveStatus::Missing;
        value = found->second;
        return HiveStatus::Done;
    }
    HiveStatus WriteValue(std::string_view path, std::string_view name,
                          const StoredValue& value) override {
        keys[Folded(path)][Folded(name)] = value;
        return HiveStatus::Done;
    }
    HiveStatus RemoveKey(std::string_view path) override {
        const std::string key = Folded(path);
        std::erase_if(keys, [&](const auto& entry) {
            return entry.first == key || entry.first.starts_with(key + "\\");
        });
        return HiveStatus::Done;
    }

    std::map<std::string, std::map<std::string, StoredValue>> keys;
};

// Reads from one hive and writes to another, so that one round's saves are the next one's store.
class SplitHive final : public RegistryHive {
  public:
    SplitHive(RegistryHive& reads, RegistryHive& writes) : reads_(reads), writes_(writes) {}
    HiveStatus ReadValue(std::string_view path, std::string_view name,
                         StoredValue& value) override {
        return reads_.ReadValue(path, name, value);
    }
    HiveStatus WriteValue(std::string_view path, std::string_view name,
                          const StoredValue& value) override {
        return writes_.WriteValue(path, name, value);
    }
    HiveStatus RemoveKey(std::string_view path) override { return writes_.RemoveKey(path); }

  private:
    RegistryHive& reads_;
    RegistryHive& writes_;
};

class CountingMessages final : public UserFeedback {
  public:
    void MessageBeep(BeepKind) override {}
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override { ++count; }
    int count = 0;
};

bool Within(ScrollRange range, int value) {
    return value >= range.minimum && value <= range.maximum;
}

// One run of the program's settings life: everything read with the defaults in place, checked,
// optionally a file opened, then everything saved.
void LoadAndSave(RegistryHive& hive, UserFeedback& messages, int capacity,
                 const std::string* openedFile) {
    OrlenRegistry store(hive, messages);

    SettingsSchema schema(store);
    GraphViewState view;
    GraphRecord graph;
    WindowBounds bounds;
    schema.LoadSettings(view, graph, bounds);
    Check(Within(kAngleBar, view.azimuth) && Within(kAngleBar, view.elevation));
    Check(view.azimuthRadians == AngleRadians(view.azimuth));
    Check(view.elevationRadians == AngleRadians(view.elevation));
    Check(static_cast<int>(view.viewType) >= 0 && view.viewType <= ViewType::Single);

    RegistryFloatStore floats(store);
    RedrawGate gate;
    GraphScaling scaling(view, graph, gate, floats);
    scaling.RestoreScaleSettings();
    Check(Within(kRangeBar, view.xRangePosition) && Within(kRangeBar, view.yRangePosition) &&
          Within(kRangeBar, view.zRangePosition));
    Check(Within(kXYOffsetBar, view.xOffsetPosition) &&
          Within(kXYOffsetBar, view.yOffsetPosition) && Within(kZOffsetBar, view.zOffsetPosition));
    Check(gate.viewReady == RedrawGate().viewReady);

    GraphTitles titles(store, kAppKeyName, messages);

    FileInputValues fileInput(store, kAppKeyName);
    FileInputFields fields;
    SeedSetup seed;
    fileInput.ReadSetupValues(fields, seed);
    Check(fileInput.dialogBounds.placement == Placement::Centred);

    ProgressBarPosition progress(store, kAppKeyName);
    WindowBounds progressBounds;
    progress.Restore(progressBounds);

    {
        LastFilesMenu recent(nullptr, hive, messages, kAppKeyName, capacity);
        Check(recent.count() <= recent.capacity());
        std::set<int> slots;
        for (const RecentEntry& entry : recent.entries()) {
            Check(!entry.path.empty());
            Check(entry.slot >= 0 && entry.slot < recent.capacity());
            Check(slots.insert(entry.slot).second);
            Check(entry.caption == LastFilesMenu::FileNameOf(entry.path));
        }
        if (openedFile != nullptr) {
            recent.AddRecentFile(*openedFile);
            Check(recent.count() <= recent.capacity());
            if (recent.capacity() > 0) Check(recent.entries().front().path == *openedFile);
        }
        // Saved when it goes, as at close.
    }

    scaling.SaveScaleSettings();
    schema.SaveSettings(view, bounds);
    titles.OkBtnClick();
    fileInput.WriteSetupValues(fields, seed);
    progress.Save(progressBounds);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int capacity = input.ConsumeIntegralInRange(-2, 102);
    const bool opensFile = input.ConsumeBool();
    // A path as the file system gives it: no NUL inside.
    std::string openedFile = input.ConsumeRandomLengthString(200);
    openedFile.resize(std::min(openedFile.find('\0'), openedFile.size()));

    FuzzedHive fuzzed(input);
    MemoryHive first;
    MemoryHive second;
    CountingMessages messages;
    {
        SplitHive hive(fuzzed, first);
        LoadAndSave(hive, messages, capacity,
                    opensFile && !openedFile.empty() ? &openedFile : nullptr);
    }
    messages.count = 0;
    {
        SplitHive hive(first, second);
        LoadAndSave(hive, messages, capacity, nullptr);
    }
    Check(messages.count == 0);
    Check(first.keys == second.keys);
    return 0;
}
