#pragma once

#include <QColor>
#include <optional>
#include <string>

#include "UserFeedback.h"
#include "ViewType.h"

class QWidget;

namespace ocuvis {

// The standard dialogs, beeps and message boxes the main window uses. Tests hand in fakes.
class WindowDialogs : public UserFeedback {
  public:
    // The colour dialog; it opens on the colour last chosen in it. Nothing when cancelled.
    virtual std::optional<Colour> ChooseColour(QWidget* parent) = 0;
    // The open dialog for data files; empty when cancelled.
    virtual std::string ChooseDataFile(QWidget* parent) = 0;
};

class QtWindowDialogs final : public WindowDialogs {
  public:
    void MessageBeep(BeepKind kind) override;
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    std::optional<Colour> ChooseColour(QWidget* parent) override;
    std::string ChooseDataFile(QWidget* parent) override;

  private:
    QColor lastColour_ = Qt::white;
};

}  // namespace ocuvis
