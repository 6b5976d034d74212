#include "StatusText.h"

#include <gtest/gtest.h>

namespace ocuvis {
namespace {

struct Sampled {
    std::int64_t points;
    std::int64_t lines;
    const char* text;
};

class SampledStatusTextTest : public ::testing::TestWithParam<Sampled> {};

TEST_P(SampledStatusTextTest, TakesItsDecimalsFromTheSizeOfThePercentage) {
    EXPECT_EQ(SampledStatusText(GetParam().points, GetParam().lines), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, SampledStatusTextTest,
                         ::testing::Values(Sampled{103, 1000, "Sampled 103 of 1000 = 10%"},
                                           Sampled{53, 1000, "Sampled 53 of 1000 = 5.3%"},
                                           Sampled{5, 1000, "Sampled 5 of 1000 = 0.50%"},
                                           Sampled{1000, 1000, "Sampled 1000 of 1000 = 100%"},
                                           Sampled{2, 3, "Sampled 2 of 3 = 67%"},
                                           Sampled{999, 1000, "Sampled 999 of 1000 = 100%"},
                                           Sampled{99, 1000, "Sampled 99 of 1000 = 9.9%"},
                                           Sampled{1, 30, "Sampled 1 of 30 = 3.3%"},
                                           Sampled{1, 300, "Sampled 1 of 300 = 0.33%"},
                                           Sampled{1, 1000, "Sampled 1 of 1000 = 0.10%"},
                                           Sampled{1, 3000, "Sampled 1 of 3000 = 0.033%"},
                                           Sampled{1, 2000, "Sampled 1 of 2000 = 0.050%"},
                                           Sampled{1, 10000, "Sampled 1 of 10000 = 0.010%"},
                                           // Below 0.01 percent the figure is left out altogether.
                                           Sampled{1, 100000, "Sampled 1 of 100000 = %"}));

TEST(SamplePercentText, ChangesDecimalsExactlyAtEachPowerOfTen) {
    EXPECT_EQ(SamplePercentText(10.0), "10");
    EXPECT_EQ(SamplePercentText(9.96), "10.0");
    EXPECT_EQ(SamplePercentText(1.0), "1.0");
    EXPECT_EQ(SamplePercentText(0.999), "1.00");
    EXPECT_EQ(SamplePercentText(0.1), "0.10");
    EXPECT_EQ(SamplePercentText(0.01), "0.010");
    EXPECT_EQ(SamplePercentText(0.00999), "");
    EXPECT_EQ(SamplePercentText(0.0), "");
}

TEST(LimitedStatusText, LeavesOutTheTotalWhenItIsNotKnown) {
    EXPECT_EQ(LimitedStatusText(49999, 1000000), "Plotted 49999 of 1000000 points (limit)");
    EXPECT_EQ(LimitedStatusText(49999, 0), "Plotted 49999 points (limit)");
}

}  // namespace
}  // namespace ocuvis
