// Loads arbitrary bytes as a delimited text file, with and without sampling and dot sizes and
// with a small record limit, checks the store, and reads its example record.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzCheck.h"
#include "app/standalone/StandaloneViewer.h"
#include "input/DataFileKind.h"
#include "input/NormaliseIntoCube.h"

using namespace ocuvis;
using fuzz::Check;

namespace {

std::string TempPath() {
    static const std::string path = [] {
        char name[] = "/tmp/ocuvis-fuzz-XXXXXX.csv";
        const int fd = mkstemps(name, 4);
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

    for (int variant = 0; variant < 3; ++variant) {
        FileInputFields& fields = viewer.fileInput.fields;
        fields = FileInputFields{};
        fields.SubSampleEnabled = variant == 1;
        fields.SamplePercent = 60.0f;
        fields.DotIndex = variant == 1 ? 4 : 0;
        fields.RecordLimit = variant == 2 ? 3 : kRecordLimit;
        viewer.fileInput.seed = static_cast<std::uint32_t>(size);

        const std::int32_t count = viewer.Load(path);
        Check(viewer.loader.outcome().opened);
        Check(count >= 2 && count <= std::max(fields.RecordLimit, 4));
        Check(viewer.store->labelCount >= 0 && viewer.store->labelCount <= kLabelCapacity);
        for (std::int32_t i = 0; i < count; ++i) {
            const DataPoint& p = viewer.store->points.at(static_cast<std::size_t>(i));
            if (p.IsBreak()) continue;
            Check(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
            Check(p.SizeClass() >= 0 && p.SizeClass() < kSizeClassCount);
        }
        Check(std::isfinite(viewer.graph.ydataScale) && std::isfinite(viewer.graph.ydataShift));
    }

    std::string failure;
    const auto example = ReadExampleRecord(path, failure, 100);
    Check(example && example->text.size() <= 100);
    return 0;
}
