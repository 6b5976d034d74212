#pragma once

#include <string>

#include "GraphCommands.h"
#include "RotationControl.h"

namespace ocuvis {

// What a key press needs of the window besides the view state.
class KeyboardHost {
  public:
    virtual ~KeyboardHost() = default;
    virtual void ShowStatusText(const std::string& text) = 0;
    virtual void CloseWindow() = 0;
};

// The key table: every key press of the window, as its key code (see KeyCodes.h).
class KeyboardCommands {
  public:
    KeyboardCommands(GraphViewState& view, GraphScaling& scaling, RedrawGate& gate,
                     UserFeedback& feedback, GraphCommands& commands, RotationControl& rotation,
                     KeyboardHost& host);

    void FormKeyDown(int keyCode);

  private:
    // Moves an offset bar one step, or beeps at its end.
    void StepOffset(int position, int delta, int minimum, int maximum,
                    void (GraphScaling::*setter)(int));

    GraphViewState& view_;
    GraphScaling& scaling_;
    RedrawGate& gate_;
    UserFeedback& feedback_;
    GraphCommands& commands_;
    RotationControl& rotation_;
    KeyboardHost& host_;
};

}  // namespace ocuvis
