#pragma once

#include <chrono>
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

// For tools without a window, and for the time before the window exists: one line each on
// standard error, so a failure is never silent. Beeps are dropped.
class StderrFeedback final : public UserFeedback {
  public:
    void MessageBeep(BeepKind) override {}
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
};

// The settings store fails once per value when it cannot be opened, and loading or saving the
// settings touches some thirty of them: a message that repeats the one just shown, within a few
// seconds, is left out, so the user sees each failure once instead of a row of identical boxes.
class RepeatFilter final : public UserFeedback {
  public:
    explicit RepeatFilter(UserFeedback& feedback) : feedback_(feedback) {}
    void MessageBeep(BeepKind kind) override { feedback_.MessageBeep(kind); }
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;

  private:
    UserFeedback& feedback_;
    std::string lastText_;
    std::chrono::steady_clock::time_point lastShown_{};
};

}  // namespace ocuvis
