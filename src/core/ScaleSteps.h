#pragma once

#include <array>

namespace ocuvis {

constexpr int kScaleStepCount = 78;
constexpr int kNeutralScaleStep = 21;  // ScaleSteps[21] == 1.0

// The 78 scale factors 0.001 .. 100,000,000: 1, 1.5, 2, 3, 4, 5, 8 per decade. Shared by the
// range scroll bars and by the rounding of data ranges during normalisation.
extern const std::array<float, kScaleStepCount> ScaleSteps;

}  // namespace ocuvis
