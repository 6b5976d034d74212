// Loads arbitrary bytes as a PLY file (ASCII or binary, as its header says) with the default
// fields, with field numbers, sampling and dot sizes, and with a small record limit, and checks
// the store and how a failure is reported; the example record's values match its names.
#include <unistd.h>

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
        char name[] = "/tmp/ocuvis-fuzz-XXXXXX.ply";
        const int fd = mkstemps(name, 4);
        if (fd >= 0) close(fd);
        return std::string(name);
    }();
    return path;
}

int Words(const std::string& text) {
    int words = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        words += text[i] != ' ' && (i == 0 || text[i - 1] == ' ');
    return words;
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
        if (variant == 1) {
            fields.XIndex = 2;
            fields.DotIndex = 4;
            fields.SubSampleEnabled = true;
            fields.SamplePercent = 60.0f;
        }
        fields.RecordLimit = variant == 2 ? 5 : kRecordLimit;
        viewer.fileInput.seed = static_cast<std::uint32_t>(size);

        const std::int32_t count = viewer.Load(path);
        const LoadOutcome& outcome = viewer.loader.outcome();
        Check(count >= 2 && (count <= fields.RecordLimit || viewer.store->defaultDataLoaded));
        // A file that cannot be read is never shown as read.
        Check(outcome.opened || (viewer.store->defaultDataLoaded && !outcome.failure.empty() &&
                                 viewer.display.statusText.rfind("Cannot read ", 0) == 0));
        Check(viewer.store->labelCount == 0);
        for (std::int32_t i = 0; i < count; ++i) {
            const DataPoint& p = viewer.store->points.at(static_cast<std::size_t>(i));
            if (p.IsBreak()) continue;
            Check(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
            Check(p.SizeClass() >= 0 && p.SizeClass() < kSizeClassCount);
        }
        Check(std::isfinite(viewer.graph.xdataScale) && std::isfinite(viewer.graph.zdataShift));
    }

    std::string failure;
    if (const auto example = ReadExampleRecord(path, failure, 200)) {
        Check(example->text.empty() ||
              Words(example->text) == static_cast<int>(example->names.size()));
    } else {
        Check(!failure.empty());
    }
    return 0;
}
