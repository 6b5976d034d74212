#pragma once

#include <cstdint>
#include <set>
#include <string>
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

    // Calls between the two are kept or lost together: a writer killed in between leaves the
    // hive as it was before. Batches nest; the outermost end keeps them. Without a batch, or
    // when one cannot start, each call stands alone.
    virtual HiveStatus BeginBatch() { return HiveStatus::Done; }
    virtual HiveStatus EndBatch() { return HiveStatus::Done; }

    // Why the latest call failed, naming the hive: "/home/u/.config/x.sqlite is read-only".
    // Empty when the hive cannot tell.
    virtual std::string FailureCause() const { return {}; }
    // Whether the latest failure holds for reads and writes alike: the hive cannot be used at
    // all, rather than only for that call's kind (a read-only hive still reads).
    virtual bool FailureIsWhole() const { return false; }

    // True the first time a report is made on this hive: a hive that cannot be used fails every
    // call, and the user needs to hear it once, not once per value.
    bool FirstReportOf(const std::string& report) { return reported_.insert(report).second; }

  private:
    std::set<std::string> reported_;
};

}  // namespace ocuvis
