#pragma once

#include <QIcon>

namespace ocuvis {

enum class ToolbarIcon {
    None,
    FileSetup,
    ReOpen,
    Open,
    CrossEyes,
    WallEyes,
    RightRed,
    RightBlue,
    Plain,
    ZInvert,
    AutoScale,
    ModeIndicator,
    Lines,
    Points,
    Grid,
    FullGrid,
    AxisLabels,
    Titles,
    RotateAzimuth,
    RotateElevation,
    Faster,
    Slower,
    Program,
};

// The tool-bar faces and the program icon, drawn in code: simple line pictures on a transparent
// 20 × 20 ground (32 × 32 for the program icon).
QIcon MakeToolbarIcon(ToolbarIcon icon);

}  // namespace ocuvis
