#include "app/commands/KeyboardCommands.h"

#include "app/commands/KeyCodes.h"
#include "core/ScrollBarModel.h"

namespace ocuvis {

using key::Plain;
using key::WithShift;

KeyboardCommands::KeyboardCommands(GraphViewState& view, GraphScaling& scaling, RedrawGate& gate,
                                   UserFeedback& feedback, GraphCommands& commands,
                                   RotationControl& rotation, KeyboardHost& host)
    : view_(view),
      scaling_(scaling),
      gate_(gate),
      feedback_(feedback),
      commands_(commands),
      rotation_(rotation),
      host_(host),
      table_(BuildKeyTable()) {}

KeyboardCommands::KeyTable KeyboardCommands::BuildKeyTable() {
    KeyTable table;
    const auto both = [&table](int virtualKey, const std::function<void()>& action) {
        table[Plain(virtualKey)] = action;
        table[WithShift(virtualKey)] = action;
    };
    both(vk::Letter('A'), [this] { commands_.AutoScaleItemClick(); });
    both(vk::Letter('F'), [this] { commands_.FullGridClick(); });
    both(vk::Letter('G'), [this] { commands_.GridSpdBtnClick(); });
    both(vk::Letter('L'), [this] { commands_.LinesSpdBtnClick(); });
    both(vk::Letter('S'), [this] {
        if (view_.rotateSpeedIndex == kFastestSpeedIndex) {
            rotation_.SecClick(0);
        } else {
            rotation_.FasterItemClick();
        }
    });
    both(vk::Letter('X'), [this] { rotation_.ElevationItemClick(); });
    both(vk::Letter('Y'), [this] { rotation_.AzimuthItemClick(); });
    AddAngleKeys(table);
    AddScaleKeys(table);
    // A modifier alone does nothing; any other key outside the table stops the rotation.
    for (const int modifierAlone :
         {WithShift(vk::Shift), key::WithCtrl(vk::Control), key::WithAlt(vk::Alt)})
        table[modifierAlone] = [] {};
    return table;
}

void KeyboardCommands::AddAngleKeys(KeyTable& table) {
    table[Plain(vk::Left)] = [this] {
        rotation_.AzimuthScrollBarScroll();
        scaling_.SetAzimuth(kAngleBar.StepDown(view_.azimuth));
    };
    table[Plain(vk::Up)] = [this] {
        rotation_.ElevationScrollBarScroll();
        scaling_.SetElevation(kAngleBar.StepUp(view_.elevation));
    };
    table[Plain(vk::Right)] = [this] {
        rotation_.AzimuthScrollBarScroll();
        scaling_.SetAzimuth(kAngleBar.StepUp(view_.azimuth));
    };
    table[Plain(vk::Down)] = [this] {
        rotation_.ElevationScrollBarScroll();
        scaling_.SetElevation(kAngleBar.StepDown(view_.elevation));
    };
    // F7 and F8 and their Shift forms run the whole handler again for an arrow, status included.
    const std::pair<int, int> arrowAliases[] = {{Plain(vk::Function(7)), vk::Up},
                                                {Plain(vk::Function(8)), vk::Right},
                                                {WithShift(vk::Function(7)), vk::Down},
                                                {WithShift(vk::Function(8)), vk::Left}};
    for (const auto& [alias, arrow] : arrowAliases)
        table[alias] = [this, arrow = arrow] { FormKeyDown(Plain(arrow)); };
}

void KeyboardCommands::AddScaleKeys(KeyTable& table) {
    using Setter = void (GraphScaling::*)(int);
    // F1..F6 step the X, Y and Z range bars down and up; with Shift, the offset bars.
    const struct {
        int* range;
        Setter setRange;
        int* offset;
        Setter setOffset;
        const ScrollRange& offsetBar;
    } axes[] = {
        {&view_.xRangePosition, &GraphScaling::SetXRangePosition, &view_.xOffsetPosition,
         &GraphScaling::SetXOffsetPosition, kXYOffsetBar},
        {&view_.yRangePosition, &GraphScaling::SetYRangePosition, &view_.yOffsetPosition,
         &GraphScaling::SetYOffsetPosition, kXYOffsetBar},
        {&view_.zRangePosition, &GraphScaling::SetZRangePosition, &view_.zOffsetPosition,
         &GraphScaling::SetZOffsetPosition, kZOffsetBar},
    };
    int function = 1;
    for (const auto& axis : axes) {
        for (const int delta : {-1, +1}) {
            const int virtualKey = vk::Function(function++);
            table[Plain(virtualKey)] = [this, axis, delta] {
                StepRange(*axis.range, delta, axis.setRange);
            };
            table[WithShift(virtualKey)] = [this, axis, delta] {
                StepOffset(*axis.offset, delta, axis.offsetBar.minimum, axis.offsetBar.maximum,
                           axis.setOffset);
            };
        }
    }
    for (const int nearer : {Plain(vk::Function(11)), Plain(vk::Comma), WithShift(vk::Comma)})
        table[nearer] = [this] { Nearer(); };
    for (const int farther : {Plain(vk::Function(12)), Plain(vk::Period), WithShift(vk::Period)})
        table[farther] = [this] { Farther(); };
}

void KeyboardCommands::StepRange(int position, int delta, void (GraphScaling::*setter)(int)) {
    const int next = position + delta;
    if (next < kRangeBar.minimum || next > kRangeBar.maximum) return;
    (scaling_.*setter)(next);
}

void KeyboardCommands::StepOffset(int position, int delta, int minimum, int maximum,
                                  void (GraphScaling::*setter)(int)) {
    const int next = position + delta;
    if (next < minimum || next > maximum) {
        feedback_.MessageBeep(BeepKind::Hand);
        return;
    }
    (scaling_.*setter)(next);
}

// z0 grows by the double 1.1 and shrinks by the extended constant 1/1.1, back into a float.
void KeyboardCommands::Nearer() {
    view_.z0 = static_cast<float>(static_cast<double>(view_.z0) * 1.1);
    gate_.RedrawGraph();
}

void KeyboardCommands::Farther() {
    view_.z0 = static_cast<float>(static_cast<long double>(view_.z0) * (1.0L / 1.1L));
    gate_.RedrawGraph();
}

void KeyboardCommands::FormKeyDown(int keyCode) {
    host_.ShowStatusText("Key Code = " + std::to_string(keyCode));
    // Closing may destroy this object: nothing may run after it, so it stands outside the table.
    if (keyCode == Plain(vk::Escape)) {
        host_.CloseWindow();
        return;
    }
    const auto entry = table_.find(keyCode);
    if (entry == table_.end()) {
        rotation_.StopRotation();
    } else {
        entry->second();
    }
    // The pixel sub-menus follow whatever the keys did to the values.
    commands_.SetGridThickness(view_.gridThickness);
    commands_.SetLineThickness(view_.lineThickness);
    commands_.SetPointSize(view_.pointSize);
}

}  // namespace ocuvis
