#pragma once

namespace ocuvis {

// The system's message sounds, numbered as the platform's message beep takes them.
enum class BeepKind : unsigned { Hand = 0x10, Asterisk = 0x40 };

// Sounds a system beep; the window plays it, tests record it.
class Beeper {
  public:
    virtual ~Beeper() = default;
    virtual void MessageBeep(BeepKind kind) = 0;
};

}  // namespace ocuvis
