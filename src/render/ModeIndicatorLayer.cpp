#include "render/ModeIndicatorLayer.h"

namespace ocuvis {

void ModeIndicatorLayer::Draw() {
    ImagePixels origin;
    if (!frame_.projection.PixelsOf({0.0f, 0.0f, 0.0f}, origin)) return;
    const int c1 = origin.column1;
    const int r = origin.row;
    const int c2 = origin.column2;
    const CanvasRect r1{c1 - 100, r - 100, c1 + 100, r + 100};
    const CanvasRect r2{c2 - 100, r - 100, c2 + 100, r + 100};
    const ViewType type = frame_.view.viewType;
    if (type == ViewType::Single || !frame_.view.modeIndicator) return;
    Canvas& canvas = frame_.canvas;
    switch (type) {
        case ViewType::RightRed:
            canvas.DrawText(r1, TextAlign::Centre, "3D-Rred");
            break;
        case ViewType::RightBlue:
            canvas.DrawText(r1, TextAlign::Centre, "3D-Lred");
            break;
        case ViewType::CrossEyes:
            canvas.DrawText(r1, TextAlign::Centre, "3D-X");
            canvas.DrawText(r2, TextAlign::Centre, "3D-X");
            break;
        case ViewType::WallEyes:
            canvas.DrawText(r1, TextAlign::Centre, "3D-W");
            canvas.DrawText(r2, TextAlign::Centre, "3D-W");
            break;
        case ViewType::Single:
            break;
    }
}

}  // namespace ocuvis
