#pragma once

#include <cstdio>
#include <cstdlib>

namespace ocuvis::fuzz {

// A broken promise aborts, which libFuzzer reports as a crash; the failing line goes to the
// log, so the report says which promise broke.
inline void Check(bool condition, int line = __builtin_LINE()) {
    if (condition) return;
    std::fprintf(stderr, "check failed at line %d\n", line);
    std::abort();
}

}  // namespace ocuvis::fuzz
