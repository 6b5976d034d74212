#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace ocuvis {

// Data type codes of stored values, as the platform registry numbers them, so that a value
// written by another tool keeps its meaning.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// One named value: its type code and its raw bytes, exactly as written.
struct StoredValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const StoredValue&) const = default;
};

enum class HiveStatus {
    Done,
    Missing,         // no such value (reads) or no such key (removal)
    KeyUnavailable,  // the key cannot be opened or created: the hive is unusable, locked, or
                     // the path is malformed
    ValueFailed,     // the key is there, but the value could not be read or written
};

// A per-user tree of keys addressed by backslash-separated paths, each key holding named typed
// values. Key and value names compare without regard to ASCII case. Each call is complete in
// itself: it opens the key, does its one thing and leaves nothing open, so a failure part-way
// leaves every earlier value as it was.
class RegistryHive {
  public:
    virtual ~RegistryHive() = default;

    // Opens path, creating it and any missing parents, and reads the value.
    virtual HiveStatus ReadValue(std::string_view path, std::string_view name,
                                 StoredValue& value) = 0;
    // Opens path, creating it and any missing parents, and writes the value.
    virtual HiveStatus WriteValue(std::string_view path, std::string_view name,
                                  const StoredValue& value) = 0;
    // Removes path with every key and value below it.
    virtual HiveStatus RemoveKey(std::string_view path) = 0;
};

}  // namespace ocuvis
