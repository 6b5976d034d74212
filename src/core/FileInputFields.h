#pragma once

#include <cstdint>

namespace ocuvis {

// Reading stops once this many records are stored. The default keeps every data file reading
// as it always has: 50,000 slots, of which a field-layout file never uses the last.
constexpr std::int32_t kRecordLimit = 49999;
constexpr std::int32_t kLargestRecordLimit = 50000000;

// The file input set-up as the loader reads it: field numbers are 1-based, 0 or less for none.
struct FileInputFields {
    std::int32_t XIndex = 1;
    std::int32_t YIndex = 2;
    std::int32_t ZIndex = 3;
    std::int32_t DotIndex = 0;
    bool SubSampleEnabled = false;
    float SamplePercent = 10.0f;
    std::int32_t RecordLimit = kRecordLimit;  // 1..kLargestRecordLimit
    // In files that name their fields (PLY, LAS, delimited text with a header row) x, y and z
    // are the fields of those names rather than XIndex, YIndex and ZIndex.
    bool AxesByName = true;
    // Fields of red, green and blue, all three above 0 to be used; otherwise files that name
    // their fields give the ones named r, g, b, red, green, blue or diffuse_red... (any case).
    std::int32_t RedIndex = 0;
    std::int32_t GreenIndex = 0;
    std::int32_t BlueIndex = 0;
    // A field whose values colour the dots through a colour map; kept instead of colours.
    std::int32_t ValueIndex = 0;
};

// How the sub-sampling generator is seeded: SeedType 0 "Random" (a new clock seed at every load),
// 1 "Fixed" (Seed as it is).
struct SeedSetup {
    std::uint8_t SeedType = 0;
    std::int32_t Seed = 0;
};

// Where the file input set-up keeps its values between runs.
class FileInputStore {
  public:
    virtual ~FileInputStore() = default;
    // A value that is missing leaves its field as it is.
    virtual void ReadSetupValues(FileInputFields& fields, SeedSetup& seed) = 0;
    virtual void WriteSetupValues(const FileInputFields& fields, const SeedSetup& seed) = 0;
};

}  // namespace ocuvis
