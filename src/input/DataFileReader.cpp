#include "input/DataFileReader.h"

#include <algorithm>

#include "core/AsciiText.h"
#include "input/ClassicTextReader.h"
#include "input/DelimitedTextReader.h"
#include "input/LasReader.h"
#include "input/PlyReader.h"

namespace ocuvis {

std::unique_ptr<DataFileReader> MakeDataFileReader(DataFileKind kind, RecordSink& sink) {
    switch (kind) {
        case DataFileKind::Classic:
            break;
        case DataFileKind::Delimited:
            return std::make_unique<DelimitedTextReader>(sink);
        case DataFileKind::Ply:
            return std::make_unique<PlyReader>(sink);
        case DataFileKind::Las:
            return std::make_unique<LasReader>(sink);
        case DataFileKind::Laz:
            return std::make_unique<LazRefusal>();
    }
    return std::make_unique<ClassicTextReader>(sink);
}

std::array<std::int32_t, 3> AxisFieldNumbers(const FileInputFields& fields,
                                             const std::vector<std::string>& names) {
    if (!fields.AxesByName || names.empty()) return {fields.XIndex, fields.YIndex, fields.ZIndex};
    const auto named = [&names](char axis) -> std::int32_t {
        const auto at = std::find_if(names.begin(), names.end(), [axis](const std::string& name) {
            return name.size() == 1 && AsciiUpper(name[0]) == AsciiUpper(axis);
        });
        return at == names.end() ? 0 : static_cast<std::int32_t>(at - names.begin()) + 1;
    };
    const std::array<std::int32_t, 3> axes = {named('x'), named('y'), named('z')};
    if (axes[0] > 0 && axes[1] > 0 && axes[2] > 0) return axes;
    return {1, 2, 3};
}

}  // namespace ocuvis
