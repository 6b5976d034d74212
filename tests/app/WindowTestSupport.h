#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QTest>
#include <cctype>
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
        return Next(colours);
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
        const auto step = Next(modal);
        return step ? step(dialog) : QDialog::Rejected;
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
    template <typename T>
    static T Next(std::deque<T>& answers) {
        if (answers.empty()) return {};
        T answer = std::move(answers.front());
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
    HiveStatus ReadValue(std::string_view path, std::string_view name,
                         StoredValue& value) override {
        const auto it = contents_.values.find({Folded(path), Folded(name)});
        if (it == contents_.values.end()) return HiveStatus::Missing;
        value = it->second;
        return HiveStatus::Done;
    }
    HiveStatus WriteValue(std::string_view path, std::string_view name,
                          const StoredValue& value) override {
        contents_.values[{Folded(path), Folded(name)}] = value;
        contents_.writes.push_back(std::string(path) + "|" + std::string(name));
        return HiveStatus::Done;
    }
    HiveStatus RemoveKey(std::string_view path) override {
        const std::string key = Folded(path);
        std::erase_if(contents_.values, [&](const auto& entry) {
            return entry.first.first == key || entry.first.first.rfind(key + "\\", 0) == 0;
        });
        contents_.writes.push_back("remove " + std::string(path));
        return HiveStatus::Done;
    }

  private:
    static std::string Folded(std::string_view text) {
        std::string folded(text);
        for (char& c : folded)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return folded;
    }
    HiveContents& contents_;
};

const std::string kSample = OCUVIS_SAMPLE_FILE;

// A window on a start-up argument, with scripted dialogs and an in-memory hive kept across the
// windows of one test.
class WindowTest : public ::testing::Test {
  protected:
    void Open(const std::string& argument = kSample) {
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs_ = scripted.get();
        TGraphWindow::Services services;
        services.dialogs = std::move(scripted);
        services.hive = std::make_unique<MemoryHive>(hive_);
        window_.reset();
        window_ = std::make_unique<TGraphWindow>(argument, std::move(services));
    }
    // Opens the window on the screen, as the user sees it.
    void Show() {
        Open();
        w().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
    }
    TGraphWindow& w() { return *window_; }
    ScriptedDialogs& d() { return *dialogs_; }
    const GraphViewState& view() { return w().document().view; }
    const MainMenus& m() { return w().menus(); }

    TempFolder dir_;  // outlives the window
    HiveContents hive_;
    std::unique_ptr<TGraphWindow> window_;
    ScriptedDialogs* dialogs_ = nullptr;
};

}  // namespace ocuvis::test
