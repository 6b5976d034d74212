// Loads arbitrary bytes as a LAS file with the default fields, with field numbers, sampling and
// a dot size, and with a small record limit, and checks the store and how a failure is
// reported; the example record has a value for every field it names.
#include <cstddef>
#include <cstdint>
#include <string>

#include "LoadFuzz.h"
#include "input/DataFileKind.h"

using namespace ocuvis;
using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static StandaloneViewer viewer;
    const std::string path = fuzz::WriteDataFile(data, size, ".las");
    if (path.empty()) return 0;

    for (int variant = 0; variant < 3; ++variant) {
        FileInputFields& fields = viewer.fileInput.fields;
        fields = FileInputFields{};
        if (variant == 1) {
            fields.AxesByName = false;
            fields.XIndex = 4;
            fields.DotIndex = 7;
            fields.SubSampleEnabled = true;
            fields.SamplePercent = 60.0f;
        }
        fields.RecordLimit = variant == 2 ? 2 : kRecordLimit;
        viewer.fileInput.seed = static_cast<std::uint32_t>(size);

        const std::int32_t count = viewer.Load(path);
        const LoadOutcome& outcome = viewer.loader.outcome();
        Check(count >= 2 && (count <= fields.RecordLimit || viewer.store->defaultDataLoaded));
        // A file that cannot be read is never shown as read.
        Check(outcome.opened || (viewer.store->defaultDataLoaded && !outcome.failure.empty() &&
                                 viewer.display.statusText.rfind("Cannot read ", 0) == 0));
        Check(viewer.store->labelCount == 0);
        fuzz::CheckLoadedRecords(viewer, count);
    }

    std::string failure;
    if (const auto example = ReadExampleRecord(path, failure, 200)) {
        Check(example->names.size() >= 6);
        Check(example->fields.empty() || example->fields.size() == example->names.size());
    } else {
        Check(!failure.empty());
    }
    return 0;
}
