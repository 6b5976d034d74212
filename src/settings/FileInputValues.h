#pragma once

#include <cstdint>
#include <string>

#include "LoaderServices.h"
#include "OrlenRegistry.h"
#include "WindowBounds.h"

namespace ocuvis {

// How the sub-sampling generator is seeded: SeedType 0 "Random" (a new clock seed at every load),
// 1 "Fixed" (Seed as it is).
struct SeedSetup {
    std::uint8_t SeedType = 0;
    std::int32_t Seed = 0;
};

// The file input set-up's stored values under appKeyName + "\File Format": the four field
// numbers, the sampling switch and share, the seed type and the seed, and the dialog's size.
class FileInputValues {
  public:
    FileInputValues(OrlenRegistry store, const std::string& appKeyName);

    // The dialog's stored size (the dialog is then centred), then the eight values; a value that
    // is missing leaves its field as it is.
    void ReadSetupValues(FileInputFields& fields, SeedSetup& seed, WindowBounds& window);
    // The eight values in their order, then the dialog's size.
    void WriteSetupValues(const FileInputFields& fields, const SeedSetup& seed,
                          const WindowBounds& window);

    const std::string registryKey;

  private:
    OrlenRegistry store_;
};

}  // namespace ocuvis
