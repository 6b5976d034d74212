#pragma once

#include <cstdint>
#include <string>

namespace ocuvis {

// "Plotted N points".
std::string PlottedStatusText(std::int64_t pointsPlotted);

// "Plotted N of M points (limit)": the store filled before the file's M points were read. M is
// left out when it is not known (0).
std::string LimitedStatusText(std::int64_t pointsPlotted, std::int64_t pointsInFile);

// "Cannot read PATH: REASON".
std::string CannotReadStatusText(const std::string& path, const std::string& reason);

// "No points in PATH: REASON": a file that was read but gave no point.
std::string NoPointsStatusText(const std::string& path, const std::string& reason);

// ", N rows skipped" (", 1 row skipped"), for rows whose x, y or z is no number; empty for none.
std::string SkippedRowsText(std::int64_t rowsSkipped);

// "Sampled N of M = P%", P = N / M × 100 with decimals by its size: none from 10 up, one from 1,
// two from 0.1, three from 0.01, and no digits at all below 0.01.
std::string SampledStatusText(std::int64_t pointsPlotted, std::int64_t linesRead);

// The percentage part of the sampled text alone.
std::string SamplePercentText(double percent);

}  // namespace ocuvis
