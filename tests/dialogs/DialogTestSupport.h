#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Beeper.h"
#include "OrlenRegistry.h"
#include "SettingsMessages.h"
#include "SqliteHive.h"
#include "UserFeedback.h"

namespace ocuvis::test {

struct ShownMessage {
    std::string text;
    std::string title;
    MessageIcon icon;
};

// Beeps and message boxes, from the dialogs and the settings store alike, remembered.
class RecordingFeedback final : public UserFeedback, public SettingsMessages, public Beeper {
  public:
    void MessageBeep(BeepKind kind) override { beeps.push_back(kind); }
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        shown.push_back({text, title, icon});
    }
    std::vector<BeepKind> beeps;
    std::vector<ShownMessage> shown;
};

// The settings of one test: the fresh hive the test main names for it.
struct TestSettings {
    SqliteHive hive{SqliteHive::DefaultPath()};
    RecordingFeedback feedback;
    OrlenRegistry store{hive, feedback};
};

// Files of one test in a folder of their own, removed afterwards. The folder's path holds no
// '.', so the loader's name completion sees only the names a test chooses.
class TestFiles {
  public:
    TestFiles() {
        std::string pattern = "/tmp/ocuvis-dialogs-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
    }
    ~TestFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    TestFiles(const TestFiles&) = delete;
    TestFiles& operator=(const TestFiles&) = delete;

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Write(const std::string& name, const std::string& content) const {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

  private:
    std::filesystem::path dir_;
};

}  // namespace ocuvis::test
