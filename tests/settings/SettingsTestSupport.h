#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "settings/OrlenRegistry.h"
#include "settings/RegistryHive.h"
#include "settings/SqliteHive.h"

namespace ocuvis::test {

struct RecordedWrite {
    std::string path;
    std::string name;
    StoredValue value;
};

// Passes every call to a real hive, records the writes in order, and fails the calls it is told
// to fail.
class ScriptedHive final : public RegistryHive {
  public:
    explicit ScriptedHive(RegistryHive& inner) : inner_(inner) {}

    HiveStatus ReadValue(std::string_view path, std::string_view name, StoredValue& value) override;
    HiveStatus WriteValue(std::string_view path, std::string_view name,
                          const StoredValue& value) override;
    HiveStatus RemoveKey(std::string_view path) override;
    HiveStatus BeginBatch() override { return inner_.BeginBatch(); }
    HiveStatus EndBatch() override { return inner_.EndBatch(); }
    std::string FailureCause() const override { return inner_.FailureCause(); }

    bool keysUnavailable = false;
    std::set<std::string> failingValues;  // reads and writes of these names fail
    std::vector<RecordedWrite> writes;
    std::function<void(const std::string& name)> beforeWrite;

  private:
    RegistryHive& inner_;
};

std::vector<char> FileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<char>& bytes);

StoredValue Dword(std::uint32_t value);
StoredValue Text(std::uint32_t type, const std::string& bytes);

// A store over a hive file of its own, with its messages recorded.
struct HiveOnFile {
    explicit HiveOnFile(const std::string& file) : hive(file), store(hive, messages) {}

    SqliteHive hive;
    RecordingFeedback messages;
    OrlenRegistry store;
};

}  // namespace ocuvis::test
