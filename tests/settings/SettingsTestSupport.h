#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ScriptedHive.h"
#include "TestSupport.h"
#include "settings/OrlenRegistry.h"
#include "settings/SqliteHive.h"

namespace ocuvis::test {

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
