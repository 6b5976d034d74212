#pragma once

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "app/standalone/StandaloneViewer.h"
#include "input/NormaliseIntoCube.h"

namespace ocuvis::fuzz {

// Writes the input to a temporary file whose extension chooses the reader; one file serves the
// whole run. Empty when it cannot be written.
inline std::string WriteDataFile(const std::uint8_t* data, std::size_t size,
                                 const char* extension) {
    static const std::string path = [extension] {
        std::string name = std::string("/tmp/ocuvis-fuzz-XXXXXX") + extension;
        const int fd = mkstemps(name.data(), static_cast<int>(std::strlen(extension)));
        if (fd >= 0) close(fd);
        return name;
    }();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {};
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

// What every load promises of what it leaves: labels within their limit, finite positions and
// size classes in range, finite maps.
inline void CheckLoadedRecords(const StandaloneViewer& viewer, std::int32_t count) {
    Check(viewer.store->labelCount >= 0 && viewer.store->labelCount <= kLabelCapacity);
    for (std::int32_t i = 0; i < count; ++i) {
        const DataPoint& p = viewer.store->points.at(static_cast<std::size_t>(i));
        if (p.IsBreak()) continue;
        Check(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        Check(p.SizeClass() >= 0 && p.SizeClass() < kSizeClassCount);
    }
    const GraphRecord& g = viewer.graph;
    Check(std::isfinite(g.xdataScale) && std::isfinite(g.xdataShift));
    Check(std::isfinite(g.ydataScale) && std::isfinite(g.ydataShift));
    Check(std::isfinite(g.zdataScale) && std::isfinite(g.zdataShift));
    Check(std::isfinite(g.dotdataScale));
}

}  // namespace ocuvis::fuzz
