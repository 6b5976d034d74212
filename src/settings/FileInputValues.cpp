#include "settings/FileInputValues.h"

#include <cmath>

#include <utility>

namespace ocuvis {

FileInputValues::FileInputValues(OrlenRegistry store, const std::string& appKeyName)
    : registryKey(appKeyName + "\\File Format"), store_(std::move(store)) {}

void FileInputValues::ReadSetupValues(FileInputFields& fields, SeedSetup& seed,
                                      WindowBounds& window) {
    store_.RestoreFormSize(registryKey, window);
    window.placement = Placement::Centred;

    store_.ReadInteger(registryKey, "XIndex", fields.XIndex);
    store_.ReadInteger(registryKey, "YIndex", fields.YIndex);
    store_.ReadInteger(registryKey, "ZIndex", fields.ZIndex);
    store_.ReadInteger(registryKey, "DotIndex", fields.DotIndex);
    store_.ReadInteger(registryKey, "RedIndex", fields.RedIndex);
    store_.ReadInteger(registryKey, "GreenIndex", fields.GreenIndex);
    store_.ReadInteger(registryKey, "BlueIndex", fields.BlueIndex);
    store_.ReadInteger(registryKey, "ValueIndex", fields.ValueIndex);
    store_.ReadBool(registryKey, "SubSampleEnabled", fields.SubSampleEnabled);
    // A share that is no number (hand-edited) counts as missing, so the default is kept and
    // written back.
    if (double percent = 0.0; store_.ReadFloat(registryKey, "SamplePercent", percent) &&
                              std::isfinite(static_cast<float>(percent)))
        fields.SamplePercent = static_cast<float>(percent);
    // The seed type is an 8-bit index: only the low byte of what is stored counts.
    if (std::int32_t type = 0; store_.ReadInteger(registryKey, "SeedType", type))
        seed.SeedType = static_cast<std::uint8_t>(type & 0xFF);
    store_.ReadInteger(registryKey, "Seed", seed.Seed);
    // A limit out of range (hand-edited) is ignored rather than clamped: the default is kept.
    if (std::int32_t limit = 0; store_.ReadInteger(registryKey, "RecordLimit", limit) &&
                                limit >= 1 && limit <= kLargestRecordLimit)
        fields.RecordLimit = limit;
    // Before this value was stored, field numbers 1, 2, 3 were what took the axes by name.
    if (!store_.ReadBool(registryKey, "AxesByName", fields.AxesByName))
        fields.AxesByName = fields.XIndex == 1 && fields.YIndex == 2 && fields.ZIndex == 3;
}

void FileInputValues::WriteSetupValues(const FileInputFields& fields, const SeedSetup& seed,
                                       const WindowBounds& window) {
    store_.WriteInteger(registryKey, "XIndex", fields.XIndex);
    store_.WriteInteger(registryKey, "YIndex", fields.YIndex);
    store_.WriteInteger(registryKey, "ZIndex", fields.ZIndex);
    store_.WriteInteger(registryKey, "DotIndex", fields.DotIndex);
    store_.WriteInteger(registryKey, "RedIndex", fields.RedIndex);
    store_.WriteInteger(registryKey, "GreenIndex", fields.GreenIndex);
    store_.WriteInteger(registryKey, "BlueIndex", fields.BlueIndex);
    store_.WriteInteger(registryKey, "ValueIndex", fields.ValueIndex);
    store_.WriteBool(registryKey, "SubSampleEnabled", fields.SubSampleEnabled);
    store_.WriteFloat(registryKey, "SamplePercent", static_cast<double>(fields.SamplePercent));
    store_.WriteInteger(registryKey, "SeedType", seed.SeedType);
    store_.WriteInteger(registryKey, "Seed", seed.Seed);
    store_.WriteInteger(registryKey, "RecordLimit", fields.RecordLimit);
    store_.WriteBool(registryKey, "AxesByName", fields.AxesByName);
    // The size goes with the values on OK; the dialog also stores it when it closes.
    store_.SaveFormSize(registryKey, window);
}

bool FileInputValues::Restore(WindowBounds& window) {
    window = dialogBounds;
    return true;
}

void FileInputValues::Save(const WindowBounds& window) {
    dialogBounds = window;
    store_.SaveFormSize(registryKey, dialogBounds);
}

void FileInputValues::ReadSetupValues(FileInputFields& fields, SeedSetup& seed) {
    ReadSetupValues(fields, seed, dialogBounds);
}

void FileInputValues::WriteSetupValues(const FileInputFields& fields, const SeedSetup& seed) {
    WriteSetupValues(fields, seed, dialogBounds);
}

}  // namespace ocuvis
