#include "settings/WindowFit.h"

#include <algorithm>
#include <cstdint>

namespace ocuvis {

namespace {

// What must show of the top strip of a window for the user to take hold of it.
constexpr std::int64_t kTitleHeight = 24;
constexpr std::int64_t kGripWidth = 40;
constexpr std::int64_t kGripHeight = 12;

// Rectangles in 64 bits: a stored left near the 32-bit limit plus a width must not overflow.
struct Span2D {
    std::int64_t left, top, right, bottom;
};

Span2D Of(const ScreenArea& area) {
    return {area.left, area.top, std::int64_t{area.left} + area.width,
            std::int64_t{area.top} + area.height};
}

std::int64_t Overlap(std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1) {
    return std::max<std::int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

std::int64_t Gap(std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1) {
    return std::max<std::int64_t>({0, b0 - a1, a0 - b1});
}

// The screen the window covers most, else the one closest to it.
const ScreenArea& TargetScreen(const Span2D& window, std::span<const ScreenArea> screens) {
    const ScreenArea* best = &screens.front();
    std::int64_t bestCover = -1;
    double bestDistance = 0;
    for (const ScreenArea& screen : screens) {
        const Span2D s = Of(screen);
        const std::int64_t cover = Overlap(window.left, window.right, s.left, s.right) *
                                   Overlap(window.top, window.bottom, s.top, s.bottom);
        const double dx = static_cast<double>(Gap(window.left, window.right, s.left, s.right));
        const double dy = static_cast<double>(Gap(window.top, window.bottom, s.top, s.bottom));
        const double distance = dx * dx + dy * dy;
        if (cover > bestCover || (cover == 0 && bestCover == 0 && distance < bestDistance)) {
            best = &screen;
            bestCover = cover;
            bestDistance = distance;
        }
    }
    return *best;
}

bool TitleShows(const Span2D& window, std::span<const ScreenArea> screens) {
    const std::int64_t width = window.right - window.left;
    return std::any_of(screens.begin(), screens.end(), [&](const ScreenArea& screen) {
        const Span2D s = Of(screen);
        return Overlap(window.left, window.right, s.left, s.right) >= std::min(kGripWidth, width) &&
               Overlap(window.top, window.top + kTitleHeight, s.top, s.bottom) >= kGripHeight;
    });
}

}  // namespace

WindowBounds FitOnScreens(const WindowBounds& stored, std::span<const ScreenArea> screens) {
    if (screens.empty()) return stored;
    const std::int64_t width = std::max(1, stored.width);
    const std::int64_t height = std::max(1, stored.height);
    const ScreenArea& screen =
        TargetScreen({stored.left, stored.top, stored.left + width, stored.top + height}, screens);

    WindowBounds fitted = stored;
    fitted.width =
        static_cast<std::int32_t>(std::min<std::int64_t>(width, std::max(1, screen.width)));
    fitted.height =
        static_cast<std::int32_t>(std::min<std::int64_t>(height, std::max(1, screen.height)));
    const Span2D placed{stored.left, stored.top, stored.left + std::int64_t{fitted.width},
                        stored.top + std::int64_t{fitted.height}};
    const bool sized = fitted.width != width || fitted.height != height;
    if (!sized && TitleShows(placed, screens)) return fitted;

    const Span2D s = Of(screen);
    fitted.left = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(stored.left, s.left, std::max(s.left, s.right - fitted.width)));
    fitted.top = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(stored.top, s.top, std::max(s.top, s.bottom - fitted.height)));
    return fitted;
}

}  // namespace ocuvis
