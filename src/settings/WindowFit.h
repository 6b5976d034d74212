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

// What the window manager's frame adds around the client area, title bar included.
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Stored bounds as they may be applied on the given screens. The bounds hold the frame's
// position and the client area's size; the frame is the client area with `frame` around it.
// A frame that lies wholly on the screens is kept where it is. One larger than the screen it
// goes on is made as large as that screen; one that fits but lies partly or wholly off the
// screens is moved onto the screen it covers most, else the nearest, as little as it takes.
// Stored values come from a file the user can edit, so any 32-bit value is taken without
// overflow. With no screen, unchanged.
WindowBounds FitOnScreens(const WindowBounds& stored, std::span<const ScreenArea> screens,
                          const FrameMargins& frame = {});

}  // namespace ocuvis
