// Reads every stored value of the program (view settings, window bounds, recent files, titles,
// file input values, progress window position, scale memory) from a store whose answers are
// arbitrary: any status, type code and bytes. Checks what the readers promise; puts every stored
// number through what uses it (the menu and tool-bar commands, every key, the rotation timer, a
// frame drawn, the windows placed on screens, a file loaded with the stored input set-up); then
// checks that what they save reads back and saves again unchanged, without a single message.
#include <fuzzer/FuzzedDataProvider.h>

#include <QGuiApplication>
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "FuzzCheck.h"
#include "LoadFuzz.h"
#include "app/commands/GraphCommands.h"
#include "app/commands/KeyCodes.h"
#include "app/commands/KeyboardCommands.h"
#include "app/commands/RotationControl.h"
#include "app/standalone/StandaloneViewer.h"
#include "render/FrameRenderer.h"
#include "render/GraphScaling.h"
#include "settings/FileInputValues.h"
#include "settings/GraphTitles.h"
#include "settings/LastFilesMenu.h"
#include "settings/OrlenRegistry.h"
#include "settings/ProgressBarPosition.h"
#include "settings/RegistryFloatStore.h"
#include "settings/SettingsSchema.h"
#include "settings/WindowFit.h"

using namespace ocuvis;

namespace {

using fuzz::Check;

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return folded;
}

constexpr std::int32_t kEdgeIntegers[] = {std::numeric_limits<std::int32_t>::max(),
                                          std::numeric_limits<std::int32_t>::min(),
                                          -1,
                                          0,
                                          1,
                                          3,
                                          4,
                                          6,
                                          7,
                                          64,
                                          65,
                                          77,
                                          78,
                                          180,
                                          181,
                                          -181,
                                          1 << 16,
                                          50000000,
                                          50000001};
constexpr double kEdgeFloats[] = {std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::denorm_min(),
                                  -0.0,
                                  1e39,
                                  -1e-39,
                                  16.0,
                                  77.4,
                                  -20.6};

// Little-endian bytes, as values are stored.
template <typename T>
std::vector<std::uint8_t> Bytes(T value) {
    const auto bits =
        std::bit_cast<std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>(value);
    std::vector<std::uint8_t> bytes(sizeof(T));
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return bytes;
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
            case 3:
                // Numbers at the edges, which random bytes seldom hit.
                if (choice & 0x20) {
                    value = {kRegDword, Bytes(input_.PickValueInArray(kEdgeIntegers))};
                } else {
                    value = {kRegBinary, Bytes(input_.PickValueInArray(kEdgeFloats))};
                }
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

class QuietHost final : public KeyboardHost {
  public:
    void ShowStatusText(const std::string&) override {}
    void CloseWindow() override {}
};

// Every key of the window once, letters and the keys with Shift forms both ways.
std::vector<int> EveryKey() {
    std::vector<int> keys;
    for (const char letter : {'A', 'F', 'G', 'L', 'S', 'X', 'Y', 'Q'}) {
        keys.push_back(key::Plain(vk::Letter(letter)));
        keys.push_back(key::WithShift(vk::Letter(letter)));
    }
    for (int function = 1; function <= 12; ++function) {
        keys.push_back(key::Plain(vk::Function(function)));
        keys.push_back(key::WithShift(vk::Function(function)));
    }
    for (const int other : {vk::Left, vk::Up, vk::Right, vk::Down, vk::Comma, vk::Period})
        keys.push_back(key::Plain(other));
    return keys;
}

// A cycling button from a stored value: one up, and back to 0 past its last item.
void CheckCycle(std::int32_t before, std::int32_t after, std::int32_t last) {
    Check(after == (before < last ? before + 1 : 0));
}

// The view and scale as loaded, through the commands and keys that use them and into frames;
// on copies, so what is saved afterwards is what was loaded.
void UseView(const GraphViewState& loaded, const GraphRecord& loadedGraph, const TitleTexts& titles,
             const PointStore& points) {
    GraphViewState view = loaded;
    GraphRecord graph = loadedGraph;
    RedrawGate gate;
    MemoryFloatStore floats;
    GraphScaling scaling(view, graph, gate, floats);
    CountingMessages feedback;
    GraphCommands commands(view, scaling, gate, feedback);
    RotationControl rotation(view, scaling, gate, feedback);
    QuietHost host;
    KeyboardCommands keys(view, scaling, gate, feedback, commands, rotation, host);

    FrameRenderer renderer;
    const FrameSources sources{view, graph, points, titles};
    const auto frame = [&] {
        const QImage image = renderer.RenderImage(48, 24, sources);
        Check(image.width() == 48 && image.height() == 24);
    };
    frame();
    const std::int32_t points0 = view.pointSize, lines0 = view.lineThickness,
                       grid0 = view.gridThickness;
    commands.PointsSpdBtnClick();
    commands.LinesSpdBtnClick();
    commands.GridSpdBtnClick();
    CheckCycle(points0, view.pointSize, 6);
    CheckCycle(lines0, view.lineThickness, 3);
    CheckCycle(grid0, view.gridThickness, 3);
    view = loaded;
    for (const int key : EveryKey()) {
        keys.FormKeyDown(key);
        Check(view.pointsPixelItem >= 0 && view.pointsPixelItem <= 6);
        Check(view.linesPixelItem >= 0 && view.linesPixelItem <= 3);
        Check(view.gridPixelItem >= 0 && view.gridPixelItem <= 3);
        Check(Within(kAngleBar, view.azimuth) && Within(kAngleBar, view.elevation));
    }
    rotation.RotateTimerTimer();
    frame();
}

constexpr ScreenArea kScreens[] = {{0, 0, 1920, 1040}, {1920, 0, 1280, 1000}};

// Stored bounds as the windows take them: on a screen, the top strip within reach.
void PlaceWindow(const WindowBounds& stored) {
    const WindowBounds placed = FitOnScreens(stored, kScreens);
    Check(placed.width >= 1 && placed.width <= 1920 && placed.height >= 1 && placed.height <= 1040);
    const std::int64_t left = placed.left, top = placed.top;
    Check(std::any_of(std::begin(kScreens), std::end(kScreens), [&](const ScreenArea& s) {
        return left < std::int64_t{s.left} + s.width && left + placed.width > s.left &&
               top < std::int64_t{s.top} + s.height && top + 24 > s.top;
    }));
}

// A small file read with the stored input set-up, as the next open would.
void LoadWithStoredSetup(const FileInputFields& fields, const SeedSetup& seed) {
    static const std::string path = [] {
        std::string text = "! a label line\n";
        for (int i = 0; i < 40; ++i)
            text += std::to_string(i) + " " + std::to_string(i % 7) + " " +
                    std::to_string(i * i % 11) + " " + std::to_string(i % 5) + "\n";
        text += "1 2 3 !label\n\n4 5 6\n";
        return fuzz::WriteDataFile(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
                                   ".3d");
    }();
    if (path.empty()) return;
    StandaloneViewer viewer;
    viewer.fileInput.fields = fields;
    viewer.fileInput.seed = static_cast<std::uint32_t>(seed.Seed);
    const std::int32_t count = viewer.Load(path);
    // Fewer than two records show the built-in data set instead.
    Check(count >= 0 && (viewer.store->defaultDataLoaded || count <= fields.RecordLimit));
    fuzz::CheckLoadedRecords(viewer, count);
}

// Points in the cube, with a break and a label, for the frames.
const PointStore& SomePoints() {
    static const auto store = [] {
        auto points = std::make_unique<PointStore>();
        const DataPoint records[] = {{-1, -1, -1, 1},
                                     {1, 1, 1, 2},
                                     DataPoint::Break(),
                                     {0.5f, -0.5f, 0.2f, 3},
                                     {-0.3f, 0.8f, -0.9f, 0}};
        points->points.assign(std::begin(records), std::end(records));
        points->pointCount = static_cast<std::int32_t>(std::size(records));
        points->labelCount = 1;
        points->labels[0] = {0.1f, 0.2f, 0.3f, "label"};
        return points;
    }();
    return *store;
}

// One run of the program's settings life: everything read with the defaults in place, checked,
// optionally a file opened, then everything saved.
void LoadAndSave(RegistryHive& hive, UserFeedback& messages, int capacity,
                 const std::string* openedFile, bool useValues) {
    OrlenRegistry store(hive, messages);

    SettingsSchema schema(store);
    GraphViewState view;
    GraphRecord graph;
    WindowBounds bounds;
    schema.LoadSettings(view, graph, bounds);
    Check(Within(kAngleBar, view.azimuth) && Within(kAngleBar, view.elevation));
    Check(view.azimuthRadians == AngleRadians(view.azimuth));
    Check(view.elevationRadians == AngleRadians(view.elevation));
    Check(static_cast<int>(view.viewType) >= 0 && view.viewType <= kLastViewType);
    Check(view.eyeSeparationTenths >= 0 && view.eyeSeparationTenths <= kMostEyeSeparationTenths);

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

    if (useValues) {
        UseView(view, graph, {titles.MainTitle, titles.xTitle, titles.yTitle, titles.zTitle},
                SomePoints());
        for (const WindowBounds& window : {bounds, fileInput.dialogBounds, progressBounds})
            PlaceWindow(window);
        LoadWithStoredSetup(fields, seed);
    }

    {
        LastFilesMenu recent(nullptr, hive, messages, kAppKeyName, capacity);
        Check(recent.count() <= recent.capacity());
        std::set<int> usedSlots;
        for (const RecentEntry& entry : recent.entries()) {
            Check(!entry.path.empty());
            Check(entry.slot >= 0 && entry.slot < recent.capacity());
            Check(usedSlots.insert(entry.slot).second);
            Check(entry.caption == LastFilesMenu::FileNameOf(entry.path));
        }
        if (openedFile != nullptr) {
            recent.AddRecentFile(*openedFile);
            Check(recent.count() <= recent.capacity());
            // Kept with its absolute path, so that a run started elsewhere finds it.
            std::error_code error;
            const std::filesystem::path absolute = std::filesystem::absolute(*openedFile, error);
            if (recent.capacity() > 0)
                Check(recent.entries().front().path == (error ? *openedFile : absolute.string()));
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

// Font configuration state that the system library keeps until exit; not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The frames' text needs fonts, fonts need an application; no screen, fixed DPI.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_FONT_DPI", "96", 1);
    // Never destroyed: its destructor at exit would run after Qt's own statics have gone.
    new QGuiApplication(*argc, *argv);
    return 0;
}

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
                    opensFile && !openedFile.empty() ? &openedFile : nullptr, true);
    }
    messages.count = 0;
    {
        SplitHive hive(first, second);
        LoadAndSave(hive, messages, capacity, nullptr, false);
    }
    Check(messages.count == 0);
    Check(first.keys == second.keys);
    return 0;
}
