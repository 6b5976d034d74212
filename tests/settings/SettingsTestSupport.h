#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "settings/OrlenRegistry.h"
#include "settings/RegistryHive.h"
#include "settings/SqliteHive.h"

namespace ocuvis::test {

// Passes every call to a real hive, records the names written in order, and fails the calls it
// is told to fail.
class ScriptedHive final : public RegistryHive {
  public:
    explicit ScriptedHive(RegistryHive& inner) : inner_(inner) {}

    HiveStatus ReadValue(std::string_view path, std::string_view name,
                         StoredValue& value) override {
        if (failingValues.contains(std::string(name))) return HiveStatus::ValueFailed;
        return inner_.ReadValue(path, name, value);
    }
    HiveStatus WriteValue(std::string_view path, std::string_view name,
                          const StoredValue& value) override {
        if (failingValues.contains(std::string(name))) return HiveStatus::ValueFailed;
        if (beforeWrite) beforeWrite(std::string(name));
        writes.emplace_back(name);
        return inner_.WriteValue(path, name, value);
    }
    HiveStatus RemoveKey(std::string_view path) override { return inner_.RemoveKey(path); }
    HiveStatus BeginBatch() override { return inner_.BeginBatch(); }
    HiveStatus EndBatch() override { return inner_.EndBatch(); }
    std::string FailureCause() const override { return inner_.FailureCause(); }

    std::set<std::string> failingValues;  // reads and writes of these names fail
    std::vector<std::string> writes;
    std::function<void(const std::string& name)> beforeWrite;

  private:
    RegistryHive& inner_;
};

// Empty for a folder or a missing file.
inline std::string FileBytes(const std::string& path) {
    if (!std::filesystem::is_regular_file(path)) return {};
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

inline StoredValue Dword(std::uint32_t value) {
    return {kRegDword,
            {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}};
}

inline StoredValue Text(std::uint32_t type, const std::string& bytes) {
    return {type, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

// A store over a hive file of its own, with its messages recorded.
struct HiveOnFile {
    explicit HiveOnFile(const std::string& file) : hive(file), store(hive, messages) {}

    SqliteHive hive;
    RecordingFeedback messages;
    OrlenRegistry store;
};

// A hive file of its own for each test.
class HiveTest : public ::testing::Test {
  protected:
    TempFolder folder;
    HiveOnFile file{folder.Path("registry.sqlite")};
    OrlenRegistry& store = file.store;
    SqliteHive& hive = file.hive;
    std::vector<ShownMessage>& shown = file.messages.shown;
};

}  // namespace ocuvis::test
