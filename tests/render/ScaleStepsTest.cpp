#include "core/ScaleSteps.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace ocuvis {
namespace {

// Entry 7k + j is m(j) x 10^(k - 3), stored as the float nearest that decimal value: parse the
// decimal text rather than multiply, which could round differently.
TEST(ScaleSteps, EveryEntryIsTheFloatOfItsDecimalValue) {
    const char* mantissas[] = {"1", "1.5", "2", "3", "4", "5", "8"};
    EXPECT_EQ(ScaleSteps[kNeutralScaleStep], 1.0f);
    for (int p = 0; p < kScaleStepCount; ++p) {
        const std::string decimal = std::string(mantissas[p % 7]) + "e" + std::to_string(p / 7 - 3);
        EXPECT_EQ(ScaleSteps[p], std::strtof(decimal.c_str(), nullptr)) << p << " " << decimal;
    }
}

}  // namespace
}  // namespace ocuvis
