#pragma once

#include <cstdint>

namespace ocuvis {

// Where the window system puts a top-level window when it is first shown.
enum class Placement { AsDesigned, Centred };

// A top-level window's outer bounds in screen pixels, as the settings see it; the window copies
// them in before a save and applies them after a restore.
struct WindowBounds {
    std::int32_t top = 0;
    std::int32_t left = 0;
    std::int32_t height = 0;
    std::int32_t width = 0;
    Placement placement = Placement::AsDesigned;

    bool operator==(const WindowBounds&) const = default;
};

// Where a window keeps its bounds between runs, so a dialog needs no settings class.
class WindowBoundsStore {
  public:
    virtual ~WindowBoundsStore() = default;
    // False when nothing was stored; the window is then left as it is.
    virtual bool Restore(WindowBounds& window) = 0;
    virtual void Save(const WindowBounds& window) = 0;
};

}  // namespace ocuvis
