#pragma once

#include <string>

namespace ocuvis::bench {

// A temporary data file of the given number of lines of x y z and a dot size, in the field
// layout; the caller removes it. The name ends in ".3d": without a '.' the loader would add one.
std::string WriteFieldLayoutFile(int lines);

}  // namespace ocuvis::bench
