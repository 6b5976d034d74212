#include "input/DataFileKind.h"

#include <charconv>
#include <memory>

#include "core/AsciiText.h"
#include "input/ByteStream.h"
#include "input/DelimitedTextReader.h"
#include "input/LasReader.h"
#include "input/OrlenStrings.h"
#include "input/PlyFormat.h"

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
    if (extension == "LAS") return DataFileKind::Las;
    if (extension == "LAZ") return DataFileKind::Laz;
    return DataFileKind::Classic;
}

namespace {

// The first data line, past comments and blank lines, and the names of a header row before it.
ExampleRecord DelimitedExample(ByteStream& stream, std::size_t maxLength) {
    ExampleRecord record;
    bool lookForHeader = true;
    std::string line;
    for (bool firstLine = true; stream.ReadLine(line, std::size_t{1} << 20); firstLine = false) {
        if (stream.LineCut()) stream.SkipLineRest();
        std::string_view text = firstLine ? WithoutByteOrderMark(line) : line;
        const std::string_view trimmed = TrimmedBlanks(text);
        if (trimmed.empty() || IsHashComment(trimmed) || trimmed.front() == ';' ||
            trimmed.front() == '!')
            continue;
        if (lookForHeader) {
            lookForHeader = false;
            if (auto names = DelimitedHeaderNames(text)) {
                record.names = std::move(*names);
                continue;
            }
        }
        record.text = trimmed.substr(0, maxLength);
        // The fields as the reader takes them, as many as it uses.
        DelimitedRow row;
        row.Split(text, DelimitedTextReader::kMaxFieldsUsed);
        for (std::size_t i = 0; i < row.size(); ++i)
            record.fields.push_back(row[i].text);
        break;
    }
    return record;
}

// Takes the first vertex's values and stops.
class FirstVertex final : public PlyBodySink {
  public:
    explicit FirstVertex(const PlyElement& vertices) : vertices_(vertices) {}
    Want Vertex(const double* values) override {
        for (std::size_t i = 0; i < vertices_.properties.size(); ++i) {
            char number[32];
            // Single-precision values are shown as the file holds them, without the digits
            // the widening to double adds.
            const auto end =
                vertices_.properties[i].type == PlyType::Float32
                    ? std::to_chars(number, number + sizeof number, static_cast<float>(values[i]))
                    : std::to_chars(number, number + sizeof number, values[i]);
            fields.emplace_back(number, end.ptr);
            if (!text.empty()) text += ' ';
            text += fields.back();
        }
        return Want::Nothing;
    }
    void Edge(std::int64_t, std::int64_t) override {}
    bool Continue(std::int64_t) override { return true; }

    std::string text;
    std::vector<std::string> fields;

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
    return ExampleRecord{std::move(first.text), PropertyNames(vertices), std::move(first.fields)};
}

std::optional<ExampleRecord> LasExample(ByteStream& stream, std::string& failure) {
    const std::optional<LasHeader> header = ReadLasHeader(stream, failure);
    if (!header) return std::nullopt;
    ExampleRecord record{{}, LasFieldNames(header->pointFormat), {}};
    std::vector<char> bytes(static_cast<std::size_t>(header->recordLength));
    if (header->pointCount == 0 || stream.Read(bytes.data(), bytes.size()) < bytes.size())
        return record;
    for (const double value : LasFieldValues(*header, bytes.data())) {
        char number[32];
        const auto end = std::to_chars(number, number + sizeof number, value);
        record.fields.emplace_back(number, end.ptr);
        if (!record.text.empty()) record.text += ' ';
        record.text += record.fields.back();
    }
    return record;
}

}  // namespace

std::optional<ExampleRecord> ReadExampleRecord(const std::string& path, std::string& failure,
                                               std::size_t maxLength) {
    const std::unique_ptr<ByteStream> stream = ByteStream::OpenFile(path, &failure);
    if (!stream) return std::nullopt;
    const DataFileKind kind = DataFileKindOf(path);
    if (kind == DataFileKind::Ply) return PlyExample(*stream, failure);
    if (kind == DataFileKind::Las) return LasExample(*stream, failure);
    if (kind == DataFileKind::Laz) {
        failure = kLazRefusal;
        return std::nullopt;
    }
    if (kind == DataFileKind::Delimited) return DelimitedExample(*stream, maxLength);
    const std::string line =
        OrlenStrings().ReadStreamLine(stream.get(), static_cast<std::int32_t>(maxLength));
    return ExampleRecord{std::string(TrimmedBlanks(line)), {}, {}};
}

}  // namespace ocuvis
