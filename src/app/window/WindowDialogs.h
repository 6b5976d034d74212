#pragma once

#include <QColor>
#include <optional>
#include <string>

#include "core/UserFeedback.h"
#include "core/ViewType.h"

class QDialog;
class QPrinter;
class QWidget;

namespace ocuvis {

// The standard dialogs, beeps and message boxes the main window uses. Tests hand in fakes.
class WindowDialogs : public UserFeedback {
  public:
    // The colour dialog; it opens on the colour last chosen in it. Nothing when cancelled.
    virtual std::optional<Colour> ChooseColour(QWidget* parent) = 0;
    // The open dialog for data files; empty when cancelled.
    virtual std::string ChooseDataFile(QWidget* parent) = 0;
    // The input setup's own open dialog, for a new example record; empty when cancelled.
    virtual std::string ChooseSetupDataFile(QWidget* parent) = 0;
    // The save dialog for the graph picture; empty when cancelled.
    virtual std::string ChooseGraphSavePath(QWidget* parent) = 0;
    // The printer set-up dialog on the printer that later prints use; true when confirmed.
    virtual bool SetUpPrinter(QPrinter& printer, QWidget* parent) = 0;
    // Shows a dialog modally; its result, QDialog::Accepted or QDialog::Rejected.
    virtual int RunModal(QDialog& dialog) = 0;
};

class QtWindowDialogs final : public WindowDialogs {
  public:
    void MessageBeep(BeepKind kind) override;
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    std::optional<Colour> ChooseColour(QWidget* parent) override;
    std::string ChooseDataFile(QWidget* parent) override;
    std::string ChooseSetupDataFile(QWidget* parent) override;
    std::string ChooseGraphSavePath(QWidget* parent) override;
    bool SetUpPrinter(QPrinter& printer, QWidget* parent) override;
    int RunModal(QDialog& dialog) override;

  private:
    QColor lastColour_ = Qt::white;
};

}  // namespace ocuvis
