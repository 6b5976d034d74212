// Loads arbitrary bytes as a data file, in the field layout with and without sampling and dot
// sizes (a leading TABLE3D in the input selects the table layout), and checks the store.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/standalone/StandaloneViewer.h"
#include "input/NormaliseIntoCube.h"

using namespace ocuvis;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::string TempPath() {
    static const std::string path = [] {
        char name[] = "/tmp/ocuvis-fuzz-XXXXXX.3d";
        const int fd = mkstemps(name, 3);
        if (fd >= 0) close(fd);
        return std::string(name);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static StandaloneViewer viewer;
    const std::string path = TempPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    for (int variant = 0; variant < 2; ++variant) {
        FileInputFields& fields = viewer.fileInput.fields;
        fields.SubSampleEnabled = variant == 1;
        fields.SamplePercent = 60.0f;
        fields.DotIndex = variant == 1 ? 4 : 0;
        viewer.fileInput.seed = static_cast<std::uint32_t>(size);

        const std::int32_t count = viewer.Load(path);
        Check(count >= 2 && count <= kRecordLimit + 1);
        Check(viewer.store->labelCount >= 0 && viewer.store->labelCount <= kLabelCapacity);
        for (std::int32_t i = 0; i < count; ++i) {
            const DataPoint& p = viewer.store->points.at(static_cast<std::size_t>(i));
            if (p.IsBreak()) continue;
            Check(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
            Check(p.SizeClass() >= 0 && p.SizeClass() < kSizeClassCount);
        }
        Check(std::isfinite(viewer.graph.xdataScale) && std::isfinite(viewer.graph.xdataShift));
        Check(std::isfinite(viewer.graph.dotdataScale));
    }
    return 0;
}
