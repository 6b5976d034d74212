#pragma once

#include <span>

#include "core/WindowBounds.h"

namespace ocuvis {

// The part of one screen that windows may use, in screen pixels.
struct ScreenArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Stored bounds as they may be applied on the given screens. Bounds that fit are kept. A window
// larger than the screen it goes on is made as large as that screen and put on it; one that
// would not show enough of its title bar to be grabbed is moved onto the nearest screen. Stored
// values come from a file the user can edit, so any 32-bit value is taken without overflow. With no
// screen, unchanged.
WindowBounds FitOnScreens(const WindowBounds& stored, std::span<const ScreenArea> screens);

}  // namespace ocuvis
