#pragma once

#include <QDialog>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/window/TGraphWindow.h"
#include "app/window/WindowDialogs.h"
#include "settings/RegistryHive.h"

namespace ocuvis::test {

// Dialogs that answer from a script and remember what was asked and shown.
struct ScriptedDialogs final : WindowDialogs {
    void MessageBeep(BeepKind kind) override { beeps.push_back(kind); }
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        messages.push_back({text, title, icon});
    }
    std::optional<Colour> ChooseColour(QWidget*) override {
        ++colourDialogs;
        if (colours.empty()) return std::nullopt;
        const std::optional<Colour> answer = colours.front();
        colours.pop_front();
        return answer;
    }
    std::string ChooseDataFile(QWidget*) override { return Next(files); }
    std::string ChooseSetupDataFile(QWidget*) override { return Next(setupFiles); }
    std::string ChooseGraphSavePath(QWidget*) override { return Next(savePaths); }
    bool SetUpPrinter(QPrinter& printer, QWidget*) override {
        ++printerSetups;
        return printerSetup ? printerSetup(printer) : false;
    }
    // The next scripted step works the dialog as a user would and returns its result; with no
    // step left the dialog is cancelled.
    int RunModal(QDialog& dialog) override {
        shownDialogs.push_back(dialog.objectName().toStdString());
        if (modal.empty()) return QDialog::Rejected;
        const auto step = std::move(modal.front());
        modal.pop_front();
        return step(dialog);
    }

    std::vector<BeepKind> beeps;
    std::vector<ShownMessage> messages;
    std::deque<std::optional<Colour>> colours;
    std::deque<std::string> files;
    std::deque<std::string> setupFiles;
    std::deque<std::string> savePaths;
    std::deque<std::function<int(QDialog&)>> modal;
    std::vector<std::string> shownDialogs;
    std::function<bool(QPrinter&)> printerSetup;
    int colourDialogs = 0;
    int printerSetups = 0;

  private:
    static std::string Next(std::deque<std::string>& answers) {
        if (answers.empty()) return {};
        std::string answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

// The settings of one test, kept in memory across the windows it makes, with a log of writes.
struct HiveContents {
    std::map<std::pair<std::string, std::string>, StoredValue> values;
    std::vector<std::string> writes;  // "key|name" in order; removals as "remove key"
};

class MemoryHive final : public RegistryHive {
  public:
    explicit MemoryHive(HiveContents& contents) : contents_(contents) {}
    HiveStatus ReadValue(std::string_view path, std::string_view name, StoredValue& value) override;
    HiveStatus WriteValue(std::string_view path, std::string_view name,
                          const StoredValue& value) override;
    HiveStatus RemoveKey(std::string_view path) override;

  private:
    HiveContents& contents_;
};

// A window on the given start-up argument, with scripted dialogs and an in-memory hive.
struct WindowUnderTest {
    WindowUnderTest(const std::string& argument, HiveContents& hive);
    ~WindowUnderTest();

    std::unique_ptr<TGraphWindow> window;
    ScriptedDialogs* dialogs = nullptr;
};

}  // namespace ocuvis::test
