#pragma once

#include <string>

#include "UserFeedback.h"

namespace ocuvis {

// Where the settings store's messages go. The window routes them to modal message boxes with an
// OK button; tests record them.
class SettingsMessages {
  public:
    virtual ~SettingsMessages() = default;
    virtual void ShowMessage(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;
};

// For tools without a window, and for the time before the window routes them: one line each on
// standard error, so a settings failure is never silent.
class StderrSettingsMessages final : public SettingsMessages {
  public:
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
};

}  // namespace ocuvis
