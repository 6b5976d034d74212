#include "render/LineEnds.h"

#include <algorithm>

namespace ocuvis {

bool ClipFarLineEnds(float x1, float y1, float x2, float y2, int width, int height,
                     LineEnds& ends) {
    // Liang-Barsky in doubles, against the frame and the margin PixelLineEnds allows.
    constexpr float kMargin = 4096.0f;
    const float left = -kMargin, top = -kMargin;
    const float right = static_cast<float>(width) + kMargin;
    const float bottom = static_cast<float>(height) + kMargin;
    const double dx = static_cast<double>(x2) - x1;
    const double dy = static_cast<double>(y2) - y1;
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {static_cast<double>(x1) - left, right - static_cast<double>(x1),
                         static_cast<double>(y1) - top, bottom - static_cast<double>(y1)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const auto clampToBox = [](double v, double lo, double hi) { return std::clamp(v, lo, hi); };
    ends = {static_cast<int>(clampToBox(x1 + t0 * dx, left, right)),
            static_cast<int>(clampToBox(y1 + t0 * dy, top, bottom)),
            static_cast<int>(clampToBox(x1 + t1 * dx, left, right)),
            static_cast<int>(clampToBox(y1 + t1 * dy, top, bottom))};
    return true;
}

}  // namespace ocuvis
