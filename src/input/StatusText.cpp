#include "input/StatusText.h"

#include <charconv>
#include <cmath>

namespace ocuvis {

std::string PlottedStatusText(std::int64_t pointsPlotted) {
    return "Plotted " + std::to_string(pointsPlotted) + " points";
}

std::string LimitedStatusText(std::int64_t pointsPlotted, std::int64_t pointsInFile) {
    const std::string total = pointsInFile > 0 ? " of " + std::to_string(pointsInFile) : "";
    return "Plotted " + std::to_string(pointsPlotted) + total + " points (limit)";
}

std::string CannotReadStatusText(const std::string& path, const std::string& reason) {
    return "Cannot read " + path + ": " + reason;
}

std::string NoPointsStatusText(const std::string& path, const std::string& reason) {
    return "No points in " + path + ": " + reason;
}

std::string SkippedRowsText(std::int64_t rowsSkipped) {
    if (rowsSkipped <= 0) return {};
    return ", " + std::to_string(rowsSkipped) + (rowsSkipped == 1 ? " row" : " rows") + " skipped";
}

std::string SamplePercentText(double percent) {
    int decimals;
    if (percent >= 10.0) {
        decimals = 0;
    } else if (percent >= 1.0) {
        decimals = 1;
    } else if (percent >= 0.1) {
        decimals = 2;
    } else if (percent >= 0.01) {
        decimals = 3;
    } else {
        return {};
    }
    // Halves round away from zero (10.5 -> 11), the rounding a reader expects of a percentage;
    // printf would round an exact binary half to even.
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::floor(percent * scale + 0.5) / scale;
    // to_chars, not printf: the decimal point must not follow the process locale.
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

std::string SampledStatusText(std::int64_t pointsPlotted, std::int64_t linesRead) {
    const double percent =
        linesRead > 0 ? static_cast<double>(pointsPlotted) / static_cast<double>(linesRead) * 100.0
                      : 0.0;
    return "Sampled " + std::to_string(pointsPlotted) + " of " + std::to_string(linesRead) + " = " +
           SamplePercentText(percent) + "%";
}

}  // namespace ocuvis
