#pragma once

#include <cstdint>

namespace ocuvis {

// Where a window of the given length starts when it is centred on an area, along one axis, in
// screen pixels. It puts the window's centre pixel on the area's as Qt's rectangles count them:
// the centre of an even length is the pixel before its middle.
constexpr int CentredStart(int areaStart, int areaLength, int length) {
    const auto areaCentre = (2 * static_cast<std::int64_t>(areaStart) + areaLength - 1) / 2;
    return static_cast<int>(areaCentre - (static_cast<std::int64_t>(length) - 1) / 2);
}

}  // namespace ocuvis
