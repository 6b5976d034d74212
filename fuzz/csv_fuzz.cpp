// Loads arbitrary bytes as a delimited text file, with and without sampling and dot sizes,
// with the axes by number and with a small record limit, checks the store, and reads its
// example record.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "LoadFuzz.h"
#include "input/DataFileKind.h"

using namespace ocuvis;
using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static StandaloneViewer viewer;
    const std::string path = fuzz::WriteDataFile(data, size, ".csv");
    if (path.empty()) return 0;

    for (int variant = 0; variant < 3; ++variant) {
        FileInputFields& fields = viewer.fileInput.fields;
        fields = FileInputFields{};
        fields.SubSampleEnabled = variant == 1;
        fields.SamplePercent = 60.0f;
        fields.DotIndex = variant == 1 ? 4 : 0;
        fields.RecordLimit = variant == 2 ? 3 : kRecordLimit;
        fields.AxesByName = variant != 1;
        viewer.fileInput.seed = static_cast<std::uint32_t>(size);

        const std::int32_t count = viewer.Load(path);
        // Delimited text is never refused; a file without a point says so.
        const LoadOutcome& outcome = viewer.loader.outcome();
        Check(outcome.opened != outcome.noPoints);
        Check(!outcome.noPoints || (viewer.store->defaultDataLoaded &&
                                    viewer.display.statusText.rfind("No points in ", 0) == 0));
        Check(count >= 2 && count <= std::max(fields.RecordLimit, 4));
        fuzz::CheckLoadedRecords(viewer, count);
    }

    std::string failure;
    const auto example = ReadExampleRecord(path, failure, 100);
    Check(example && example->text.size() <= 100 && example->fields.size() <= 20);
    return 0;
}
