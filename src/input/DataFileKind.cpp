#include "input/DataFileKind.h"

#include <memory>

#include "core/AsciiText.h"
#include "input/ByteStream.h"
#include "input/OrlenStrings.h"

namespace ocuvis {

DataFileKind DataFileKindOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return DataFileKind::Classic;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = AsciiUpper(c);
    if (extension == "PLY") return DataFileKind::Ply;
    if (extension == "CSV" || extension == "XYZ") return DataFileKind::Delimited;
    return DataFileKind::Classic;
}

std::optional<ExampleRecord> ReadExampleRecord(const std::string& path, std::string& failure,
                                               std::size_t maxLength) {
    const std::unique_ptr<ByteStream> stream = ByteStream::OpenFile(path, &failure);
    if (!stream) return std::nullopt;
    const std::string line =
        OrlenStrings().ReadStreamLine(stream.get(), static_cast<std::int32_t>(maxLength));
    std::string_view trimmed(line);
    while (!trimmed.empty() && IsBlankOrControl(trimmed.front()))
        trimmed.remove_prefix(1);
    while (!trimmed.empty() && IsBlankOrControl(trimmed.back()))
        trimmed.remove_suffix(1);
    return ExampleRecord{std::string(trimmed), {}};
}

}  // namespace ocuvis
