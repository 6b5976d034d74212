#include "settings/WindowFit.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ocuvis {

namespace {

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

// The screens' edges cut the window into cells; it lies on the screens when every cell does.
// This holds a window across two screens side by side, and refuses one that hangs below the
// shorter of them.
bool LiesOnScreens(const Span2D& window, std::span<const ScreenArea> screens) {
    std::vector<std::int64_t> xs{window.left, window.right};
    std::vector<std::int64_t> ys{window.top, window.bottom};
    for (const ScreenArea& screen : screens) {
        const Span2D s = Of(screen);
        for (const std::int64_t x : {s.left, s.right})
            if (x > window.left && x < window.right) xs.push_back(x);
        for (const std::int64_t y : {s.top, s.bottom})
            if (y > window.top && y < window.bottom) ys.push_back(y);
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
            const Span2D cell{xs[i], ys[j], xs[i + 1], ys[j + 1]};
            if (cell.left == cell.right || cell.top == cell.bottom) continue;
            const bool covered = std::any_of(screens.begin(), screens.end(), [&](const auto& a) {
                const Span2D s = Of(a);
                return s.left <= cell.left && cell.right <= s.right && s.top <= cell.top &&
                       cell.bottom <= s.bottom;
            });
            if (!covered) return false;
        }
    }
    return true;
}

// A client size that gives a frame of at most `room` pixels, never below one pixel.
std::int32_t ClientWithin(std::int64_t client, std::int64_t margins, std::int64_t room) {
    return static_cast<std::int32_t>(std::max<std::int64_t>(1, std::min(client, room - margins)));
}

}  // namespace

WindowBounds FitOnScreens(const WindowBounds& stored, std::span<const ScreenArea> screens,
                          const FrameMargins& frame) {
    if (screens.empty()) return stored;
    const std::int64_t across = std::int64_t{std::max(0, frame.left)} + std::max(0, frame.right);
    const std::int64_t down = std::int64_t{std::max(0, frame.top)} + std::max(0, frame.bottom);
    const std::int64_t width = std::max(1, stored.width);
    const std::int64_t height = std::max(1, stored.height);
    const Span2D outer{stored.left, stored.top, stored.left + width + across,
                       stored.top + height + down};
    const ScreenArea& screen = TargetScreen(outer, screens);

    WindowBounds fitted = stored;
    fitted.width = ClientWithin(width, across, std::max(1, screen.width));
    fitted.height = ClientWithin(height, down, std::max(1, screen.height));
    const bool sized = fitted.width != width || fitted.height != height;
    if (!sized && LiesOnScreens(outer, screens)) return fitted;

    const Span2D s = Of(screen);
    const std::int64_t outerWidth = fitted.width + across;
    const std::int64_t outerHeight = fitted.height + down;
    fitted.left = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(stored.left, s.left, std::max(s.left, s.right - outerWidth)));
    fitted.top = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(stored.top, s.top, std::max(s.top, s.bottom - outerHeight)));
    return fitted;
}

}  // namespace ocuvis
