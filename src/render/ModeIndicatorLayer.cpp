#include "render/ModeIndicatorLayer.h"

namespace ocuvis {

const char* ModeIndicatorText(ViewType type) {
    switch (type) {
        case ViewType::RightRed:
            return "3D-Rred";
        case ViewType::RightBlue:
            return "3D-Lred";
        case ViewType::CrossEyes:
            return "3D-X";
        case ViewType::WallEyes:
            return "3D-W";
        case ViewType::RedCyan:
            return "3D-RC";
        case ViewType::GreenMagenta:
            return "3D-GM";
        case ViewType::AmberBlue:
            return "3D-AB";
        case ViewType::SideBySideHalf:
            return "3D-SBS";
        case ViewType::TopBottom:
            return "3D-TB";
        case ViewType::TopBottomHalf:
            return "3D-TBH";
        case ViewType::Single:
            break;
    }
    return nullptr;
}

void ModeIndicatorLayer::Draw() {
    ImagePixels origin;
    if (!frame_.projection.PixelsOf({0.0f, 0.0f, 0.0f}, origin)) return;
    const int r = origin.row;
    const ViewType type = frame_.view.viewType;
    const char* text = ModeIndicatorText(type);
    if (text == nullptr || !frame_.view.modeIndicator) return;
    // A composed view's eye images each carry the text, on the same spot; one eye of another
    // view is no longer that view.
    const bool eyeAlone = frame_.projection.eyeImage() != EyeImage::Both;
    if (eyeAlone && !IsComposedView(type)) return;
    Canvas& canvas = frame_.canvas;
    const int c1 = origin.column1;
    const int reach = kIndicatorReach;
    canvas.DrawText({c1 - reach, r - reach, c1 + reach, r + reach}, TextAlign::Centre, text);
    // The red/blue views name themselves once, in the first image.
    if (type == ViewType::CrossEyes || type == ViewType::WallEyes) {
        const int c2 = origin.column2;
        canvas.DrawText({c2 - reach, r - reach, c2 + reach, r + reach}, TextAlign::Centre, text);
    }
}

}  // namespace ocuvis
