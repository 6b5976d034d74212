#pragma once

#include <cstdint>
#include <string>

#include "core/FileInputFields.h"
#include "core/WindowBounds.h"
#include "settings/OrlenRegistry.h"

namespace ocuvis {

// The file input set-up's stored values under appKeyName + "\File Format": the four field
// numbers, the sampling switch and share, the seed type and the seed, the record limit, whether
// the axes are taken by name, and the dialog's size.
class FileInputValues final : public FileInputStore, public WindowBoundsStore {
  public:
    FileInputValues(OrlenRegistry store, const std::string& appKeyName);

    // The dialog's stored size (the dialog is then centred), then the ten values; a value that
    // is missing leaves its field as it is.
    void ReadSetupValues(FileInputFields& fields, SeedSetup& seed, WindowBounds& window);
    // The ten values in their order, then the dialog's size.
    void WriteSetupValues(const FileInputFields& fields, const SeedSetup& seed,
                          const WindowBounds& window);

    // The same for the set-up itself; the dialog's size travels in dialogBounds, which the
    // dialog applies after a read and updates before a write.
    void ReadSetupValues(FileInputFields& fields, SeedSetup& seed) override;
    void WriteSetupValues(const FileInputFields& fields, const SeedSetup& seed) override;
    // The dialog's size alone: dialogBounds, and on a save also the store, which the dialog
    // reaches when it closes.
    bool Restore(WindowBounds& window) override;
    void Save(const WindowBounds& window) override;

    const std::string registryKey;
    // The dialog's design size until a stored one is read.
    WindowBounds dialogBounds{0, 0, 360, 465, Placement::Centred};

  private:
    OrlenRegistry store_;
};

}  // namespace ocuvis
