#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ScriptedHive.h"
#include "TestSupport.h"
#include "app/window/TGraphWindow.h"
#include "app/window/WindowDialogs.h"
#include "settings/SqliteHive.h"

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

const std::string kSample = OCUVIS_SAMPLE_FILE;

// A window on a start-up argument, with scripted dialogs, over the settings hive of the test.
class WindowTest : public ::testing::Test {
  protected:
    void Open(const std::string& argument = kSample) {
        TGraphWindow::Services services{std::make_unique<ScriptedDialogs>(),
                                        std::make_unique<ScriptedHive>(settings_)};
        dialogs_ = static_cast<ScriptedDialogs*>(services.dialogs.get());
        hive_ = static_cast<ScriptedHive*>(services.hive.get());
        window_.reset();
        window_ = std::make_unique<TGraphWindow>(argument, std::move(services));
    }
    // Opens the window on the screen, as the user sees it.
    void Show() {
        Open();
        w().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
        QApplication::processEvents();
    }
    TGraphWindow& w() { return *window_; }
    ScriptedDialogs& d() { return *dialogs_; }
    const GraphViewState& view() { return w().document().view; }
    const MainMenus& m() { return w().menus(); }

    TempFolder dir_;                                  // outlives the window
    SqliteHive settings_{SqliteHive::DefaultPath()};  // the fresh hive of this test
    ScriptedHive* hive_ = nullptr;                    // the window's, with its writes
    std::unique_ptr<TGraphWindow> window_;
    ScriptedDialogs* dialogs_ = nullptr;
};

}  // namespace ocuvis::test
