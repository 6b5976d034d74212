#pragma once

#include "core/ViewType.h"

namespace ocuvis {

// The grey of a faded line or label at a depth, or kSkipGrey when it belongs to the other
// pass: pass 0 draws the far half of the measured range, pass 1 the near half.
constexpr Colour kSkipGrey = 0xFFFFFF;
inline Colour FadeGreyOf(float depth, float fadeNear, float fadeFar, int pass) {
    const float range = fadeFar - fadeNear;
    float t = 0.0f;
    if (range > 0.01) t = static_cast<float>((static_cast<double>(depth) - fadeNear) / range);
    const bool below = t < 0.5f;
    if ((pass == 0 && !below) || (pass == 1 && below)) {
        // Text labels may lie outside the range the lines were measured over; their grey is
        // held at the ends of the scale (black in front, 208 at the back).
        const float held = t > 1.0f ? 1.0f : (t > 0.0f ? t : 0.0f);
        const int g = static_cast<int>(208.0f * held);
        return static_cast<Colour>(g) * 0x010101u;
    }
    return kSkipGrey;
}

}  // namespace ocuvis
