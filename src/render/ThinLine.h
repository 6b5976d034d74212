#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace ocuvis {

// Clips a line to the frame and one pixel of margin, in floating point as Qt does; false when
// nothing of it is left.
inline bool ClipThinLine(double& x1, double& y1, double& x2, double& y2, int width, int height) {
    const double xmin = -1.0, xmax = width + 1.0, ymin = -1.0, ymax = height + 1.0;
    if (x1 < xmin) {
        if (x2 <= xmin) return false;
        y1 += (y2 - y1) / (x2 - x1) * (xmin - x1);
        x1 = xmin;
    } else if (x1 > xmax) {
        if (x2 >= xmax) return false;
        y1 += (y2 - y1) / (x2 - x1) * (xmax - x1);
        x1 = xmax;
    }
    if (x2 < xmin) {
        y2 += (y2 - y1) / (x2 - x1) * (xmin - x2);
        x2 = xmin;
    } else if (x2 > xmax) {
        y2 += (y2 - y1) / (x2 - x1) * (xmax - x2);
        x2 = xmax;
    }
    if (y1 < ymin) {
        if (y2 <= ymin) return false;
        x1 += (x2 - x1) / (y2 - y1) * (ymin - y1);
        y1 = ymin;
    } else if (y1 > ymax) {
        if (y2 >= ymax) return false;
        x1 += (x2 - x1) / (y2 - y1) * (ymax - y1);
        y1 = ymax;
    }
    if (y2 < ymin) {
        x2 += (x2 - x1) / (y2 - y1) * (ymin - y2);
        y2 = ymin;
    } else if (y2 > ymax) {
        x2 += (x2 - x1) / (y2 - y1) * (ymax - y2);
        y2 = ymax;
    }
    return true;
}

// Whether whole-pixel ends lie within the frame's one pixel of margin, where clipping leaves
// them as they are.
inline bool EndsWithinClipMargin(int x1, int y1, int x2, int y2, int width, int height) {
    const auto within = [](int v, int size) { return v >= -1 && v <= size + 1; };
    return within(x1, width) && within(x2, width) && within(y1, height) && within(y2, height);
}

// The pixels of an aliased one-pixel line with flat caps, the same pixels Qt's raster engine
// sets for QPainter::drawLine with such a pen: 26.6 fixed-point ends, a 16.16 fixed-point step
// along the major axis, the end at the larger major coordinate left out. Lines are clipped to
// the frame (one pixel of margin, in floating point as Qt does) before stepping, so a far end
// costs nothing. plot(x, y) is called for pixels inside width × height and within rows
// rowBegin..rowEnd-1 only (0 <= rowBegin <= rowEnd <= height): a band of rows gets exactly the
// pixels the whole line has there.
template <class Plot>
void RasteriseThinLine(int ix1, int iy1, int ix2, int iy2, int width, int height, int rowBegin,
                       int rowEnd, Plot&& plot) {
    if (ix1 == ix2 && iy1 == iy2) {
        // A line of no length sets its one pixel.
        if (ix1 >= 0 && ix1 < width && iy1 >= rowBegin && iy1 < rowEnd) plot(ix1, iy1);
        return;
    }
    int fx1, fy1, fx2, fy2;
    if (EndsWithinClipMargin(ix1, iy1, ix2, iy2, width, height)) {
        // Clipping leaves such ends as they are, and whole pixels convert exactly.
        fx1 = ix1 * 64, fy1 = iy1 * 64, fx2 = ix2 * 64, fy2 = iy2 * 64;
    } else {
        double x1 = ix1, y1 = iy1, x2 = ix2, y2 = iy2;
        if (!ClipThinLine(x1, y1, x2, y2, width, height)) return;
        fx1 = static_cast<int>(x1 * 64.0);
        fy1 = static_cast<int>(y1 * 64.0);
        fx2 = static_cast<int>(x2 * 64.0);
        fy2 = static_cast<int>(y2 * 64.0);
    }
    const int dx = std::abs(fx2 - fx1);
    const int dy = std::abs(fy2 - fy1);
    const auto fixedDiv = [](int a, int b) {
        return static_cast<int>(static_cast<std::int64_t>(a) * 65536 / b);
    };

    if (dx < dy) {
        if (fy1 > fy2) {
            std::swap(fy1, fy2);
            std::swap(fx1, fx2);
        }
        const int xinc = fixedDiv(fx2 - fx1, fy2 - fy1);
        int x = fx1 * 1024;
        int y = (fy1 + 32) >> 6;
        const int ys = (fy2 + 32) >> 6;
        const int round = xinc > 0 ? 32 : 0;
        if (y == ys) return;
        x += static_cast<int>((static_cast<std::int64_t>(y * 64 + round - fy1) * xinc) >> 6);
        // Rows above the band are stepped over in one go.
        if (y < rowBegin) {
            x += (rowBegin - y) * xinc;
            y = rowBegin;
        }
        const int yEnd = ys < rowEnd ? ys : rowEnd;
        for (; y < yEnd; ++y, x += xinc) {
            const int px = x >> 16;
            if (px >= 0 && px < width) plot(px, y);
        }
    } else {
        if (dx == 0) return;
        if (fx1 > fx2) {
            std::swap(fx1, fx2);
            std::swap(fy1, fy2);
        }
        const int yinc = fixedDiv(fy2 - fy1, fx2 - fx1);
        int y = fy1 * 1024;
        int x = (fx1 + 32) >> 6;
        const int xs = (fx2 + 32) >> 6;
        const int round = yinc > 0 ? 32 : 0;
        if (x == xs) return;
        y += static_cast<int>((static_cast<std::int64_t>(x * 64 + round - fx1) * yinc) >> 6);
        if (x < 0) {
            y += -x * yinc;
            x = 0;
        }
        int xEnd = xs < width ? xs : width;
        // The row changes monotonically along the line: the columns before it reaches the band
        // and after it leaves are stepped over in one go.
        if (yinc != 0 && x < xEnd) {
            const std::int64_t enter =
                yinc > 0 ? std::int64_t{rowBegin} << 16 : (std::int64_t{rowEnd} << 16) - 1;
            const std::int64_t leave =
                yinc > 0 ? std::int64_t{rowEnd} << 16 : (std::int64_t{rowBegin} << 16) - 1;
            const std::int64_t step = yinc > 0 ? yinc : -std::int64_t{yinc};
            // Steps until y has passed a bound (yinc > 0: y >= bound; yinc < 0: y <= bound).
            const auto stepsTo = [&](std::int64_t bound) -> std::int64_t {
                const std::int64_t gap = yinc > 0 ? bound - y : y - bound;
                return gap <= 0 ? 0 : (gap + step - 1) / step;
            };
            const std::int64_t skip = stepsTo(enter);
            if (skip >= xEnd - x) return;
            x += static_cast<int>(skip);
            y += static_cast<int>(skip) * yinc;
            const std::int64_t last = x + stepsTo(leave);
            if (last < xEnd) xEnd = static_cast<int>(last);
        }
        for (; x < xEnd; ++x, y += yinc) {
            const int py = y >> 16;
            if (py >= rowBegin && py < rowEnd) plot(x, py);
        }
    }
}

// RasteriseThinLine's line when it is at most kShortThinLine pixels long each way and has both
// ends within the clipping margin, stepped as that steps it but without the clipping, the
// fixed-point set-up and the divisions: lines of dense data are mostly this short. False,
// drawing nothing, for any other line.
constexpr int kShortThinLine = 4;
template <class Plot>
bool ShortThinLine(int x1, int y1, int x2, int y2, int width, int height, int rowBegin, int rowEnd,
                   Plot&& plot) {
    constexpr int kMost = kShortThinLine;
    const int dx = x2 - x1, dy = y2 - y1;
    if (dx < -kMost || dx > kMost || dy < -kMost || dy > kMost) return false;
    if (!EndsWithinClipMargin(x1, y1, x2, y2, width, height)) return false;
    // The 16.16 step along the minor axis for a major run of n and a minor one of d.
    static constexpr auto kSteps = [] {
        std::array<std::array<int, 2 * kMost + 1>, kMost + 1> steps{};
        for (int n = 1; n <= kMost; ++n)
            for (int d = -n; d <= n; ++d) {
                const int column = d + kMost;
                steps[static_cast<std::size_t>(n)][static_cast<std::size_t>(column)] =
                    static_cast<int>(std::int64_t{d} * 65536 / n);
            }
        return steps;
    }();
    const auto inside = [&](int x, int y) {
        return x >= 0 && x < width && y >= rowBegin && y < rowEnd;
    };
    if (dx == 0 && dy == 0) {
        if (inside(x1, y1)) plot(x1, y1);
        return true;
    }
    // Stepped from the end with the lower major coordinate; the other end is left out.
    if (std::abs(dx) < std::abs(dy)) {
        const bool down = dy > 0;
        const int n = down ? dy : -dy, column = (down ? dx : -dx) + kMost;
        const int y = down ? y1 : y2;
        const int inc = kSteps[static_cast<std::size_t>(n)][static_cast<std::size_t>(column)];
        int x = (down ? x1 : x2) * 65536 + (inc > 0 ? inc >> 1 : 0);
        for (int k = 0; k < n; ++k, x += inc)
            if (inside(x >> 16, y + k)) plot(x >> 16, y + k);
    } else {
        const bool right = dx > 0;
        const int n = right ? dx : -dx, column = (right ? dy : -dy) + kMost;
        const int x = right ? x1 : x2;
        const int inc = kSteps[static_cast<std::size_t>(n)][static_cast<std::size_t>(column)];
        int y = (right ? y1 : y2) * 65536 + (inc > 0 ? inc >> 1 : 0);
        for (int k = 0; k < n; ++k, y += inc)
            if (inside(x + k, y >> 16)) plot(x + k, y >> 16);
    }
    return true;
}

template <class Plot>
void RasteriseThinLine(int ix1, int iy1, int ix2, int iy2, int width, int height, Plot&& plot) {
    RasteriseThinLine(ix1, iy1, ix2, iy2, width, height, 0, height, plot);
}

}  // namespace ocuvis
