#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "OrlenRegistry.h"
#include "RegistryHive.h"
#include "SettingsMessages.h"
#include "SqliteHive.h"

namespace ocuvis::test {

struct ShownMessage {
    std::string text;
    std::string title;
    MessageIcon icon;

    bool operator==(const ShownMessage&) const = default;
};

inline void PrintTo(const ShownMessage& m, std::ostream* os) {
    const char* icon = m.icon == MessageIcon::Warning       ? "warning "
                       : m.icon == MessageIcon::Information ? "information "
                                                            : "stop ";
    *os << icon << "[" << m.title << "] " << m.text;
}

class RecordingMessages final : public SettingsMessages {
  public:
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        shown.push_back({text, title, icon});
    }
    std::vector<ShownMessage> shown;
};

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

// A private folder for one test, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

std::vector<char> FileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<char>& bytes);

StoredValue Dword(std::uint32_t value);
StoredValue Text(std::uint32_t type, const std::string& bytes);

// A store over a hive file of its own, with its messages recorded.
struct HiveOnFile {
    explicit HiveOnFile(const std::string& file) : hive(file), store(hive, messages) {}

    SqliteHive hive;
    RecordingMessages messages;
    OrlenRegistry store;
};

}  // namespace ocuvis::test
