#include "input/StatusText.h"

#include <gtest/gtest.h>

#include <utility>

namespace ocuvis {
namespace {

TEST(SamplePercentText, TakesItsDecimalsFromTheSizeOfThePercentageAndRoundsHalvesUp) {
    const std::pair<double, const char*> cases[] = {
        {10.0, "10"},    {10.5, "11"},  {9.96, "10.0"},  {1.0, "1.0"},
        {0.999, "1.00"}, {0.1, "0.10"}, {0.01, "0.010"}, {0.00999, ""},
    };
    for (const auto& [percent, text] : cases)
        EXPECT_EQ(SamplePercentText(percent), text) << percent;
    // Below 0.01 percent the figure is left out of the status text altogether.
    EXPECT_EQ(SampledStatusText(1, 100000), "Sampled 1 of 100000 = %");
    EXPECT_EQ(LimitedStatusText(49999, 0), "Plotted 49999 points (limit)");
}

}  // namespace
}  // namespace ocuvis
