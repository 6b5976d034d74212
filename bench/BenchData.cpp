#include "BenchData.h"

#include <unistd.h>

#include <algorithm>
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

namespace {

// A point of a wound band: spread in all three axes, so no axis collapses in the normalisation.
void CloudPoint(int i, float point[3]) {
    const double t = i * 0.001;
    point[0] = static_cast<float>(std::cos(t) * (2 + std::cos(7 * t)));
    point[1] = static_cast<float>(std::sin(t) * (2 + std::cos(7 * t)));
    point[2] = static_cast<float>(std::sin(7 * t) + (i % 13) * 0.01);
}

}  // namespace

std::string WriteXyzFile(int lines) {
    char name[] = "/tmp/ocuvis-bench-XXXXXX.3d";
    std::FILE* file = fdopen(mkstemps(name, 3), "w");
    for (int i = 0; i < lines; ++i) {
        float p[3];
        CloudPoint(i, p);
        std::fprintf(file, "%.5f %.5f %.5f\n", p[0], p[1], p[2]);
    }
    std::fclose(file);
    return name;
}

std::string WritePlyFile(int vertices) {
    char name[] = "/tmp/ocuvis-bench-XXXXXX.ply";
    std::FILE* file = fdopen(mkstemps(name, 4), "wb");
    std::fprintf(file,
                 "ply\nformat binary_little_endian 1.0\nelement vertex %d\n"
                 "property float x\nproperty float y\nproperty float z\nend_header\n",
                 vertices);
    // Written as the host holds floats: the benchmarks run on little-endian machines.
    for (int i = 0; i < vertices; ++i) {
        float p[3];
        CloudPoint(i, p);
        std::fwrite(p, sizeof p, 1, file);
    }
    std::fclose(file);
    return name;
}

std::string WriteRunsFile(std::int32_t records) {
    char name[] = "/tmp/ocuvis-render-bench-XXXXXX.3d";
    const int fd = mkstemps(name, 3);
    std::FILE* file = fdopen(fd, "w");
    const double finer = std::max(1, records / 50000);
    const int lines = records / 5 * 6;
    for (int i = 0; i < lines; ++i) {
        if (i % 400 == 399) {
            std::fputs("\n", file);
            continue;
        }
        const double t = i * 0.004 / finer;
        std::fprintf(file, "%.5f %.5f %.5f\n", std::cos(t) * (2 + std::cos(1.5 * t)),
                     std::sin(t) * (2 + std::cos(1.5 * t)), std::sin(1.5 * t) + 0.001 * i / finer);
    }
    std::fclose(file);
    return name;
}

}  // namespace ocuvis::bench
