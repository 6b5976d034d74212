#pragma once

#include <functional>
#include <map>
#include <string>

#include "app/commands/GraphCommands.h"
#include "app/commands/RotationControl.h"

namespace ocuvis {

// What a key press needs of the window besides the view state.
class KeyboardHost {
  public:
    virtual ~KeyboardHost() = default;
    virtual void ShowStatusText(const std::string& text) = 0;
    virtual void CloseWindow() = 0;
};

// The key table: every key press of the window, as its key code (see KeyCodes.h). Keys that
// have a menu item or a tool button run the same command.
class KeyboardCommands {
  public:
    KeyboardCommands(GraphViewState& view, GraphScaling& scaling, RedrawGate& gate,
                     UserFeedback& feedback, GraphCommands& commands, RotationControl& rotation,
                     KeyboardHost& host);

    void FormKeyDown(int keyCode);

  private:
    using KeyTable = std::map<int, std::function<void()>>;

    KeyTable BuildKeyTable();
    void AddAngleKeys(KeyTable& table);
    void AddScaleKeys(KeyTable& table);
    // Moves a range bar one step; nothing at its end.
    void StepRange(int position, int delta, void (GraphScaling::*setter)(int));
    // Moves an offset bar one step, or beeps at its end.
    void StepOffset(int position, int delta, int minimum, int maximum,
                    void (GraphScaling::*setter)(int));
    void Nearer();
    void Farther();

    GraphViewState& view_;
    GraphScaling& scaling_;
    RedrawGate& gate_;
    UserFeedback& feedback_;
    GraphCommands& commands_;
    RotationControl& rotation_;
    KeyboardHost& host_;
    const KeyTable table_;
};

}  // namespace ocuvis
