#include "WindowTestSupport.h"

#include <algorithm>
#include <cctype>

namespace ocuvis::test {

namespace {
std::string Folded(std::string_view text) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}
}  // namespace

HiveStatus MemoryHive::ReadValue(std::string_view path, std::string_view name, StoredValue& value) {
    const auto it = contents_.values.find({Folded(path), Folded(name)});
    if (it == contents_.values.end()) return HiveStatus::Missing;
    value = it->second;
    return HiveStatus::Done;
}

HiveStatus MemoryHive::WriteValue(std::string_view path, std::string_view name,
                                  const StoredValue& value) {
    contents_.values[{Folded(path), Folded(name)}] = value;
    contents_.writes.push_back(std::string(path) + "|" + std::string(name));
    return HiveStatus::Done;
}

HiveStatus MemoryHive::RemoveKey(std::string_view path) {
    const std::string key = Folded(path);
    std::erase_if(contents_.values, [&](const auto& entry) {
        const std::string& stored = entry.first.first;
        return stored == key || stored.rfind(key + "\\", 0) == 0;
    });
    contents_.writes.push_back("remove " + std::string(path));
    return HiveStatus::Done;
}

WindowUnderTest::WindowUnderTest(const std::string& argument, HiveContents& hive) {
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    TGraphWindow::Services services;
    services.dialogs = std::move(scripted);
    services.hive = std::make_unique<MemoryHive>(hive);
    window = std::make_unique<TGraphWindow>(argument, std::move(services));
}

WindowUnderTest::~WindowUnderTest() = default;

}  // namespace ocuvis::test
