#pragma once

#include "UserFeedback.h"

namespace ocuvis {

// Sounds a system beep; the window plays it, tests record it.
class Beeper {
  public:
    virtual ~Beeper() = default;
    virtual void MessageBeep(BeepKind kind) = 0;
};

}  // namespace ocuvis
