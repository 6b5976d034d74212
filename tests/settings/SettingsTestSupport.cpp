#include "SettingsTestSupport.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace ocuvis::test {

HiveStatus ScriptedHive::ReadValue(std::string_view path, std::string_view name,
                                   StoredValue& value) {
    if (keysUnavailable) return HiveStatus::KeyUnavailable;
    if (failingValues.contains(std::string(name))) return HiveStatus::ValueFailed;
    return inner_.ReadValue(path, name, value);
}

HiveStatus ScriptedHive::WriteValue(std::string_view path, std::string_view name,
                                    const StoredValue& value) {
    if (keysUnavailable) return HiveStatus::KeyUnavailable;
    if (failingValues.contains(std::string(name))) return HiveStatus::ValueFailed;
    if (beforeWrite) beforeWrite(std::string(name));
    writes.push_back({std::string(path), std::string(name), value});
    return inner_.WriteValue(path, name, value);
}

HiveStatus ScriptedHive::RemoveKey(std::string_view path) {
    if (keysUnavailable) return HiveStatus::KeyUnavailable;
    return inner_.RemoveKey(path);
}

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), {});
}

void WriteFileBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

StoredValue Dword(std::uint32_t value) {
    return {kRegDword,
            {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}};
}

StoredValue Text(std::uint32_t type, const std::string& bytes) {
    return {type, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

}  // namespace ocuvis::test
