// Loads arbitrary bytes as a data file, in the field layout with and without sampling and dot
// sizes (a leading TABLE3D in the input selects the table layout), and checks the store.
#include <cstddef>
#include <cstdint>
#include <string>

#include "LoadFuzz.h"

using namespace ocuvis;
using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static StandaloneViewer viewer;
    const std::string path = fuzz::WriteDataFile(data, size, ".3d");
    if (path.empty()) return 0;

    for (int variant = 0; variant < 2; ++variant) {
        FileInputFields& fields = viewer.fileInput.fields;
        fields.SubSampleEnabled = variant == 1;
        fields.SamplePercent = 60.0f;
        fields.DotIndex = variant == 1 ? 4 : 0;
        viewer.fileInput.seed = static_cast<std::uint32_t>(size);

        const std::int32_t count = viewer.Load(path);
        Check(count >= 2 && count <= kRecordLimit + 1);
        fuzz::CheckLoadedRecords(viewer, count);
    }
    return 0;
}
