#pragma once

namespace ocuvis {

// A line between two pixel positions given as floats, as whole pixels. Ends far outside the
// frame are pulled in along the line first, so that no pixel position overflows and no
// rasteriser walks millions of pixels; the visible part is unchanged. False when nothing of
// it is near the frame.
struct LineEnds {
    int x1, y1, x2, y2;
};
bool ClipFarLineEnds(float x1, float y1, float x2, float y2, int width, int height, LineEnds& ends);
inline bool PixelLineEnds(float x1, float y1, float x2, float y2, int width, int height,
                          LineEnds& ends) {
    constexpr float kMargin = 4096.0f;
    const float right = static_cast<float>(width) + kMargin;
    const float bottom = static_cast<float>(height) + kMargin;
    const auto inside = [&](float x, float y) {
        return x >= -kMargin && x <= right && y >= -kMargin && y <= bottom;
    };
    if (inside(x1, y1) && inside(x2, y2)) {
        ends = {static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2),
                static_cast<int>(y2)};
        return true;
    }
    return ClipFarLineEnds(x1, y1, x2, y2, width, height, ends);
}

inline bool SameEnds(const LineEnds& a, const LineEnds& b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

}  // namespace ocuvis
