#include "input/DataFileKind.h"

#include <charconv>
#include <memory>

#include "core/AsciiText.h"
#include "input/ByteStream.h"
#include "input/DelimitedText.h"
#include "input/OrlenStrings.h"
#include "input/PlyReader.h"

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

namespace {

// The first data line, past comments and blank lines, and the names of a header row before it.
ExampleRecord DelimitedExample(ByteStream& stream, std::size_t maxLength) {
    ExampleRecord record;
    bool lookForHeader = true;
    std::string line;
    while (stream.ReadLine(line, lookForHeader ? std::size_t{1} << 20 : maxLength)) {
        const std::string_view trimmed = TrimmedBlanks(line);
        if (trimmed.empty() || IsHashComment(trimmed) || trimmed.front() == ';' ||
            trimmed.front() == '!')
            continue;
        if (lookForHeader) {
            lookForHeader = false;
            if (auto names = DelimitedHeaderNames(trimmed)) {
                record.names = std::move(*names);
                continue;
            }
        }
        record.text = trimmed.substr(0, maxLength);
        break;
    }
    return record;
}

// Takes the first vertex's values and stops.
class FirstVertex final : public PlyBodySink {
  public:
    explicit FirstVertex(const PlyElement& vertices) : vertices_(vertices) {}
    bool Vertex(const double* values) override {
        for (std::size_t i = 0; i < vertices_.properties.size(); ++i) {
            char number[32];
            // Single-precision values are shown as the file holds them, without the digits
            // the widening to double adds.
            const auto end =
                vertices_.properties[i].type == PlyType::Float32
                    ? std::to_chars(number, number + sizeof number, static_cast<float>(values[i]))
                    : std::to_chars(number, number + sizeof number, values[i]);
            if (!text.empty()) text += ' ';
            text.append(number, end.ptr);
        }
        return false;
    }
    void Edge(std::int64_t, std::int64_t) override {}
    bool Continue(std::int64_t) override { return true; }

    std::string text;

  private:
    const PlyElement& vertices_;
};

std::optional<ExampleRecord> PlyExample(ByteStream& stream, std::string& failure) {
    const std::optional<PlyHeader> header = ReadPlyHeader(stream, failure);
    if (!header) return std::nullopt;
    const PlyElement& vertices = header->elements[static_cast<std::size_t>(header->vertexElement)];
    std::vector<int> everyProperty(vertices.properties.size());
    for (std::size_t i = 0; i < everyProperty.size(); ++i)
        everyProperty[i] = static_cast<int>(i);
    FirstVertex first(vertices);
    failure = ReadPlyBody(stream, *header, everyProperty, first);
    if (!failure.empty()) return std::nullopt;
    ExampleRecord record{std::move(first.text), {}};
    for (const PlyProperty& property : vertices.properties)
        record.names.push_back(property.name);
    return record;
}

}  // namespace

std::optional<ExampleRecord> ReadExampleRecord(const std::string& path, std::string& failure,
                                               std::size_t maxLength) {
    const std::unique_ptr<ByteStream> stream = ByteStream::OpenFile(path, &failure);
    if (!stream) return std::nullopt;
    const DataFileKind kind = DataFileKindOf(path);
    if (kind == DataFileKind::Ply) return PlyExample(*stream, failure);
    if (kind == DataFileKind::Delimited) return DelimitedExample(*stream, maxLength);
    const std::string line =
        OrlenStrings().ReadStreamLine(stream.get(), static_cast<std::int32_t>(maxLength));
    return ExampleRecord{std::string(TrimmedBlanks(line)), {}};
}

}  // namespace ocuvis
