#pragma once

#include <string>

namespace ocuvis {

// The system's message sounds, numbered as the platform's message beep takes them: Hand is the
// error sound (the one of a stop icon), Asterisk the information sound, Default the plain one.
enum class BeepKind : unsigned { Default = 0x00, Hand = 0x10, Asterisk = 0x40 };

// The icon of a modal message box with an OK button.
enum class MessageIcon { Warning, Information, Stop };

// Beeps and message boxes reach the user through this, so the logic that raises them runs
// without a screen; the window plays and shows them, tests record them.
class UserFeedback {
  public:
    virtual ~UserFeedback() = default;
    virtual void MessageBeep(BeepKind kind) = 0;
    virtual void ShowMessage(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;
};

}  // namespace ocuvis
