#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/RedrawGate.h"
#include "core/UserFeedback.h"

namespace ocuvis::test {

struct ShownMessage {
    std::string text;
    std::string title;
    MessageIcon icon;

    bool operator==(const ShownMessage&) const = default;
};

inline void PrintTo(const ShownMessage& m, std::ostream* os) {
    *os << "icon " << static_cast<int>(m.icon) << " [" << m.title << "] " << m.text;
}

// Beeps and message boxes, remembered in order.
class RecordingFeedback final : public UserFeedback {
  public:
    void MessageBeep(BeepKind kind) override { beeps.push_back(kind); }
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        shown.push_back({text, title, icon});
    }
    std::vector<BeepKind> beeps;
    std::vector<ShownMessage> shown;
};

class CountingPresenter final : public FramePresenter {
  public:
    void ShowFrame() override { ++frames; }
    int frames = 0;
};

// A private folder for the files of one test, removed with its contents afterwards. Its path
// holds no '.', so the loader's extension completion only ever sees the names a test chooses.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string Path(const std::string& name) const { return path_ + "/" + name; }
    // Writes the file whole and returns its path.
    std::string Write(const std::string& name, const std::string& content) const;

  private:
    std::string path_;
};

}  // namespace ocuvis::test
