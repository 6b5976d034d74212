#pragma once

#include <cstdint>
#include <string>

namespace ocuvis::bench {

// A temporary data file of the given number of lines of x y z and a dot size, in the field
// layout; the caller removes it. The name ends in ".3d": without a '.' the loader would add one.
std::string WriteFieldLayoutFile(int lines);

// A temporary ".3d" file of x y z lines in connected runs of 399 points along a curve, a fifth
// more lines than the records wanted; a larger set follows the curve in finer steps. The scene
// of the frame and window benchmarks.
std::string WriteRunsFile(std::int32_t records);

// A temporary ".3d" file of x y z lines, a cloud of the given size.
std::string WriteXyzFile(int lines);

// A temporary binary little-endian PLY file of float x y z vertices, the same cloud.
std::string WritePlyFile(int vertices);

}  // namespace ocuvis::bench
