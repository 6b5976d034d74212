#include "core/ScaleSteps.h"

namespace ocuvis {

// Written out as decimal literals so every entry is the float nearest to its decimal value;
// computing them as m × 10^k would round differently for some entries.
// One decade per row.
// clang-format off
const std::array<float, kScaleStepCount> ScaleSteps = {
    0.001f, 0.0015f, 0.002f, 0.003f, 0.004f, 0.005f, 0.008f,
    0.01f, 0.015f, 0.02f, 0.03f, 0.04f, 0.05f, 0.08f,
    0.1f, 0.15f, 0.2f, 0.3f, 0.4f, 0.5f, 0.8f,
    1.0f, 1.5f, 2.0f, 3.0f, 4.0f, 5.0f, 8.0f,
    10.0f, 15.0f, 20.0f, 30.0f, 40.0f, 50.0f, 80.0f,
    100.0f, 150.0f, 200.0f, 300.0f, 400.0f, 500.0f, 800.0f,
    1e3f, 1.5e3f, 2e3f, 3e3f, 4e3f, 5e3f, 8e3f,
    1e4f, 1.5e4f, 2e4f, 3e4f, 4e4f, 5e4f, 8e4f,
    1e5f, 1.5e5f, 2e5f, 3e5f, 4e5f, 5e5f, 8e5f,
    1e6f, 1.5e6f, 2e6f, 3e6f, 4e6f, 5e6f, 8e6f,
    1e7f, 1.5e7f, 2e7f, 3e7f, 4e7f, 5e7f, 8e7f,
    1e8f,
};
// clang-format on

}  // namespace ocuvis
