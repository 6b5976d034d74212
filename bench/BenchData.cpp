#include "BenchData.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace ocuvis::bench {

std::string WriteFieldLayoutFile(int lines) {
    char name[] = "/tmp/ocuvis-bench-XXXXXX.3d";
    const int fd = mkstemps(name, 3);
    std::FILE* file = fdopen(fd, "w");
    for (int i = 0; i < lines; ++i) {
        const double t = i * 0.01;
        std::fprintf(file, "%.5f %.5f %.5f %.3f\n", std::cos(t) * (2 + std::cos(1.5 * t)),
                     std::sin(t) * (2 + std::cos(1.5 * t)), std::sin(1.5 * t), 1 + (i % 7) * 0.5);
    }
    std::fclose(file);
    return name;
}

}  // namespace ocuvis::bench
