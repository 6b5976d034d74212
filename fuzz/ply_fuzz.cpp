// Loads arbitrary bytes as a PLY file (ASCII or binary, as its header says) with the default
// fields, with field numbers, sampling and dot sizes, and with a small record limit, and checks
// the store and how a failure is reported; the example record's values match its names.
#include <cstddef>
#include <cstdint>
#include <string>

#include "LoadFuzz.h"
#include "input/DataFileKind.h"

using namespace ocuvis;
using fuzz::Check;

namespace {

int Words(const std::string& text) {
    int words = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        words += text[i] != ' ' && (i == 0 || text[i - 1] == ' ');
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static StandaloneViewer viewer;
    const std::string path = fuzz::WriteDataFile(data, size, ".ply");
    if (path.empty()) return 0;

    for (int variant = 0; variant < 3; ++variant) {
        FileInputFields& fields = viewer.fileInput.fields;
        fields = FileInputFields{};
        if (variant == 1) {
            fields.AxesByName = false;
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
        fuzz::CheckLoadedRecords(viewer, count);
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
