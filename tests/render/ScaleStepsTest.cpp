#include "ScaleSteps.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace ocuvis {
namespace {

TEST(ScaleSteps, NamedEntries) {
    EXPECT_EQ(ScaleSteps[0], 0.001f);
    EXPECT_EQ(ScaleSteps[6], 0.008f);
    EXPECT_EQ(ScaleSteps[7], 0.01f);
    EXPECT_EQ(ScaleSteps[20], 0.8f);
    EXPECT_EQ(ScaleSteps[kNeutralScaleStep], 1.0f);
    EXPECT_EQ(ScaleSteps[22], 1.5f);
    EXPECT_EQ(ScaleSteps[77], 100000000.0f);
}

// Entry 7k + j is m(j) x 10^(k - 3), stored as the float nearest that decimal value: parse the
// decimal text rather than multiply, which could round differently.
TEST(ScaleSteps, EveryEntryIsTheFloatOfItsDecimalValue) {
    const char* mantissas[] = {"1", "1.5", "2", "3", "4", "5", "8"};
    for (int p = 0; p < kScaleStepCount; ++p) {
        const std::string decimal = std::string(mantissas[p % 7]) + "e" + std::to_string(p / 7 - 3);
        EXPECT_EQ(ScaleSteps[p], std::strtof(decimal.c_str(), nullptr)) << p << " " << decimal;
    }
}

TEST(ScaleSteps, RiseStrictly) {
    for (int p = 1; p < kScaleStepCount; ++p)
        EXPECT_LT(ScaleSteps[p - 1], ScaleSteps[p]) << p;
}

}  // namespace
}  // namespace ocuvis
