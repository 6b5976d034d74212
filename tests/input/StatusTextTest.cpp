#include "StatusText.h"

#include <gtest/gtest.h>

#include <utility>

namespace ocuvis {
namespace {

TEST(SamplePercentText, TakesItsDecimalsFromTheSizeOfThePercentageAndRoundsHalvesUp) {
    const std::pair<double, const char*> cases[] = {
        {100.0, "100"},  {10.0, "10"},    {10.5, "11"},  {9.96, "10.0"}, {9.9, "9.9"},
        {1.0, "1.0"},    {0.999, "1.00"}, {0.5, "0.50"}, {0.1, "0.10"},  {0.0333, "0.033"},
        {0.01, "0.010"}, {0.00999, ""},   {0.0, ""},
    };
    for (const auto& [percent, text] : cases)
        EXPECT_EQ(SamplePercentText(percent), text) << percent;
}

TEST(StatusTexts, SayWhatWasPlottedOfHowMuch) {
    EXPECT_EQ(SampledStatusText(2, 3), "Sampled 2 of 3 = 67%");
    EXPECT_EQ(SampledStatusText(999, 1000), "Sampled 999 of 1000 = 100%");
    EXPECT_EQ(SampledStatusText(1, 10000), "Sampled 1 of 10000 = 0.010%");
    // Below 0.01 percent the figure is left out altogether.
    EXPECT_EQ(SampledStatusText(1, 100000), "Sampled 1 of 100000 = %");
    EXPECT_EQ(LimitedStatusText(49999, 1000000), "Plotted 49999 of 1000000 points (limit)");
    EXPECT_EQ(LimitedStatusText(49999, 0), "Plotted 49999 points (limit)");
}

}  // namespace
}  // namespace ocuvis
