#include "KeyboardCommands.h"

#include "ScrollBarModel.h"

namespace ocuvis {

KeyboardCommands::KeyboardCommands(GraphViewState& view, GraphScaling& scaling, RedrawGate& gate,
                                   UserFeedback& feedback, GraphCommands& commands,
                                   RotationControl& rotation, KeyboardHost& host)
    : view_(view),
      scaling_(scaling),
      gate_(gate),
      feedback_(feedback),
      commands_(commands),
      rotation_(rotation),
      host_(host) {}

void KeyboardCommands::StepOffset(int position, int delta, int minimum, int maximum,
                                  void (GraphScaling::*setter)(int)) {
    const int next = position + delta;
    if (next < minimum || next > maximum) {
        feedback_.MessageBeep(BeepKind::Hand);
        return;
    }
    (scaling_.*setter)(next);
}

void KeyboardCommands::FormKeyDown(int keyCode) {
    host_.ShowStatusText("Key Code = " + std::to_string(keyCode));
    bool redraw = false;
    // z0 grows by the double 1.1 and shrinks by the extended constant 1/1.1, back into a float.
    const auto nearer = [&] {
        view_.z0 = static_cast<float>(static_cast<double>(view_.z0) * 1.1);
        redraw = true;
    };
    const auto farther = [&] {
        view_.z0 = static_cast<float>(static_cast<long double>(view_.z0) * (1.0L / 1.1L));
        redraw = true;
    };

    switch (keyCode) {
        case 27:
            host_.CloseWindow();
            return;
        case 37:
            view_.rotateAzimuth = false;
            scaling_.SetAzimuth(kAngleBar.StepDown(view_.azimuth));
            break;
        case 38:
            view_.rotateElevation = false;
            scaling_.SetElevation(kAngleBar.StepUp(view_.elevation));
            break;
        case 39:
            view_.rotateAzimuth = false;
            scaling_.SetAzimuth(kAngleBar.StepUp(view_.azimuth));
            break;
        case 40:
            view_.rotateElevation = false;
            scaling_.SetElevation(kAngleBar.StepDown(view_.elevation));
            break;
        case 65:
        case 1065:
            scaling_.AutoScale(true);
            redraw = true;
            break;
        case 70:
        case 1070:
            view_.fullBoxGrid = !view_.fullBoxGrid;
            if (view_.gridThickness == 0) view_.gridThickness = 1;
            redraw = true;
            break;
        case 71:
        case 1071:
            view_.gridThickness = view_.gridThickness + 1 > 3 ? 0 : view_.gridThickness + 1;
            redraw = true;
            break;
        case 76:
        case 1076:
            view_.lineThickness = view_.lineThickness + 1 > 3 ? 0 : view_.lineThickness + 1;
            redraw = true;
            break;
        case 83:
        case 1083:
            if (view_.rotateSpeedIndex == kFastestSpeedIndex) {
                rotation_.SecClick(0);
            } else {
                rotation_.FasterItemClick();
            }
            break;
        case 88:
        case 1088:
            view_.rotateElevation = !view_.rotateElevation;
            break;
        case 89:
        case 1089:
            view_.rotateAzimuth = !view_.rotateAzimuth;
            break;
        case 112:
            if (view_.xRangePosition > kRangeBar.minimum)
                scaling_.SetXRangePosition(view_.xRangePosition - 1);
            break;
        case 113:
            if (view_.xRangePosition < kRangeBar.maximum)
                scaling_.SetXRangePosition(view_.xRangePosition + 1);
            break;
        case 114:
            if (view_.yRangePosition > kRangeBar.minimum)
                scaling_.SetYRangePosition(view_.yRangePosition - 1);
            break;
        case 115:
            if (view_.yRangePosition < kRangeBar.maximum)
                scaling_.SetYRangePosition(view_.yRangePosition + 1);
            break;
        case 116:
            if (view_.zRangePosition > kRangeBar.minimum)
                scaling_.SetZRangePosition(view_.zRangePosition - 1);
            break;
        case 117:
            if (view_.zRangePosition < kRangeBar.maximum)
                scaling_.SetZRangePosition(view_.zRangePosition + 1);
            break;
        // F7 and F8 and their Shift forms run the whole handler again for an arrow.
        case 118:
            FormKeyDown(38);
            break;
        case 119:
            FormKeyDown(39);
            break;
        case 1118:
            FormKeyDown(40);
            break;
        case 1119:
            FormKeyDown(37);
            break;
        case 122:
        case 188:
        case 1188:
            nearer();
            break;
        case 123:
        case 190:
        case 1190:
            farther();
            break;
        case 1112:
            StepOffset(view_.xOffsetPosition, -1, kXYOffsetBar.minimum, kXYOffsetBar.maximum,
                       &GraphScaling::SetXOffsetPosition);
            break;
        case 1113:
            StepOffset(view_.xOffsetPosition, +1, kXYOffsetBar.minimum, kXYOffsetBar.maximum,
                       &GraphScaling::SetXOffsetPosition);
            break;
        case 1114:
            StepOffset(view_.yOffsetPosition, -1, kXYOffsetBar.minimum, kXYOffsetBar.maximum,
                       &GraphScaling::SetYOffsetPosition);
            break;
        case 1115:
            StepOffset(view_.yOffsetPosition, +1, kXYOffsetBar.minimum, kXYOffsetBar.maximum,
                       &GraphScaling::SetYOffsetPosition);
            break;
        case 1116:
            StepOffset(view_.zOffsetPosition, -1, kZOffsetBar.minimum, kZOffsetBar.maximum,
                       &GraphScaling::SetZOffsetPosition);
            break;
        case 1117:
            StepOffset(view_.zOffsetPosition, +1, kZOffsetBar.minimum, kZOffsetBar.maximum,
                       &GraphScaling::SetZOffsetPosition);
            break;
        case 1016:
        case 2017:
        case 3018:
            break;  // a modifier alone
        default:
            rotation_.StopRotation();
            break;
    }

    // The pixel sub-menus follow whatever the keys did to the values.
    commands_.SetGridThickness(view_.gridThickness);
    commands_.SetLineThickness(view_.lineThickness);
    commands_.SetPointSize(view_.pointSize);
    if (redraw) gate_.RedrawGraph();
}

}  // namespace ocuvis
