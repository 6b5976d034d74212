#include "input/PlyFormat.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "core/AsciiText.h"
#include "input/ByteStream.h"
#include "input/OrlenStrings.h"

namespace ocuvis {

namespace {

constexpr std::size_t kHeaderLineLength = 4999;
constexpr std::size_t kBodyLineLength = 1 << 20;
constexpr std::size_t kBlockBytes = 1 << 20;
constexpr std::int64_t kItemsPerProgress = 1 << 14;

struct TypeName {
    std::string_view name;
    PlyType type;
};
constexpr TypeName kTypeNames[] = {
    {"char", PlyType::Int8},       {"int8", PlyType::Int8},       {"uchar", PlyType::Uint8},
    {"uint8", PlyType::Uint8},     {"short", PlyType::Int16},     {"int16", PlyType::Int16},
    {"ushort", PlyType::Uint16},   {"uint16", PlyType::Uint16},   {"int", PlyType::Int32},
    {"int32", PlyType::Int32},     {"uint", PlyType::Uint32},     {"uint32", PlyType::Uint32},
    {"float", PlyType::Float32},   {"float32", PlyType::Float32}, {"double", PlyType::Float64},
    {"float64", PlyType::Float64},
};

std::optional<PlyType> TypeOf(std::string_view name) {
    for (const TypeName& entry : kTypeNames) {
        if (entry.name == name) return entry.type;
    }
    return std::nullopt;
}

std::size_t SizeOf(PlyType type) {
    switch (type) {
        case PlyType::Int8:
        case PlyType::Uint8:
            return 1;
        case PlyType::Int16:
        case PlyType::Uint16:
            return 2;
        case PlyType::Int32:
        case PlyType::Uint32:
        case PlyType::Float32:
            return 4;
        case PlyType::Float64:
            return 8;
    }
    return 1;
}

bool IsWhole(PlyType type) {
    return type != PlyType::Float32 && type != PlyType::Float64;
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlankOrControl(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlankOrControl(line[i]))
            ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool ParseCount(std::string_view text, std::int64_t& count) {
    // 18 digits cannot overflow; anything longer is beyond every file anyway.
    if (text.empty() || text.size() > 18) return false;
    count = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        count = count * 10 + (c - '0');
    }
    return true;
}

std::string Quoted(std::string_view text) {
    std::string quoted(1, '\'');
    quoted.append(text);
    quoted.push_back('\'');
    return quoted;
}

std::string LineText(std::int64_t line) {
    return "line " + std::to_string(line) + ": ";
}

std::string ItemsName(const PlyElement& element) {
    return element.name == "vertex" ? "vertices" : Quoted(element.name) + " items";
}

std::string Truncated(const PlyElement& element, std::int64_t itemsRead) {
    return "the file ends after " + std::to_string(itemsRead) + " of " +
           std::to_string(element.count) + " " + ItemsName(element);
}

template <typename T>
T LoadValue(const char* bytes, bool swap) {
    T value;
    if (!swap) {
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    char reversed[sizeof(T)];
    std::reverse_copy(bytes, bytes + sizeof(T), reversed);
    std::memcpy(&value, reversed, sizeof value);
    return value;
}

double Decode(const char* bytes, PlyType type, bool swap) {
    switch (type) {
        case PlyType::Int8:
            return LoadValue<std::int8_t>(bytes, false);
        case PlyType::Uint8:
            return LoadValue<std::uint8_t>(bytes, false);
        case PlyType::Int16:
            return LoadValue<std::int16_t>(bytes, swap);
        case PlyType::Uint16:
            return LoadValue<std::uint16_t>(bytes, swap);
        case PlyType::Int32:
            return LoadValue<std::int32_t>(bytes, swap);
        case PlyType::Uint32:
            return LoadValue<std::uint32_t>(bytes, swap);
        case PlyType::Float32:
            return LoadValue<float>(bytes, swap);
        case PlyType::Float64:
            return LoadValue<double>(bytes, swap);
    }
    return 0.0;
}

// One column of count records stride bytes apart, as doubles: a loop per type, so that the
// type and the byte order are settled once for the run rather than for every value.
template <typename T>
void DecodeRun(const char* first, std::size_t stride, std::int64_t count, bool swap, double* out) {
    if (swap) {
        for (std::int64_t i = 0; i < count; ++i, first += stride)
            out[i] = LoadValue<T>(first, true);
        return;
    }
    for (std::int64_t i = 0; i < count; ++i, first += stride) {
        T value;
        std::memcpy(&value, first, sizeof value);
        out[i] = value;
    }
}

void DecodeColumn(const char* first, std::size_t stride, std::int64_t count, PlyType type,
                  bool swap, double* out) {
    switch (type) {
        case PlyType::Int8:
            return DecodeRun<std::int8_t>(first, stride, count, false, out);
        case PlyType::Uint8:
            return DecodeRun<std::uint8_t>(first, stride, count, false, out);
        case PlyType::Int16:
            return DecodeRun<std::int16_t>(first, stride, count, swap, out);
        case PlyType::Uint16:
            return DecodeRun<std::uint16_t>(first, stride, count, swap, out);
        case PlyType::Int32:
            return DecodeRun<std::int32_t>(first, stride, count, swap, out);
        case PlyType::Uint32:
            return DecodeRun<std::uint32_t>(first, stride, count, swap, out);
        case PlyType::Float32:
            return DecodeRun<float>(first, stride, count, swap, out);
        case PlyType::Float64:
            return DecodeRun<double>(first, stride, count, swap, out);
    }
}

// Vertices decoded at a time: their columns stay in the first-level cache.
constexpr std::int64_t kVertexRun = 512;

// Where a vertex property sits in a binary vertex record.
struct Column {
    std::size_t offset = 0;
    PlyType type = PlyType::Float32;
    bool present = false;
};

std::string CheckEdge(const PlyHeader& header, std::int64_t item, double from, double to,
                      std::int64_t& a, std::int64_t& b) {
    const std::int64_t vertices = header.elements[header.vertexElement].count;
    for (const double index : {from, to}) {
        if (!(index >= 0.0 && index < static_cast<double>(vertices)) ||
            index != std::floor(index)) {
            std::string shown = std::isfinite(index) ? std::to_string(index) : "?";
            if (std::isfinite(index) && index == std::floor(index))
                shown = std::to_string(static_cast<long long>(index));
            return "edge " + std::to_string(item + 1) + " joins vertex " + shown +
                   ", but the vertices are numbered 0 to " + std::to_string(vertices - 1);
        }
    }
    a = static_cast<std::int64_t>(from);
    b = static_cast<std::int64_t>(to);
    return {};
}

// Whole blocks of the stream, so that a binary body costs a few large reads and no call per
// value.
class Blocks {
  public:
    explicit Blocks(ByteStream& stream) : stream_(stream), buffer_(kBlockBytes) {}

    // Makes count bytes available at Data(); false when the stream ends first.
    bool Need(std::size_t count) {
        if (end_ - next_ >= count) return true;
        std::memmove(buffer_.data(), buffer_.data() + next_, end_ - next_);
        end_ -= next_;
        next_ = 0;
        if (buffer_.size() < count) buffer_.resize(count);
        end_ += stream_.Read(buffer_.data() + end_, buffer_.size() - end_);
        return end_ - next_ >= count;
    }
    const char* Data() const { return buffer_.data() + next_; }
    std::size_t Available() const { return end_ - next_; }
    void Advance(std::size_t count) { next_ += count; }
    std::int64_t Skip(std::int64_t count) {
        const std::int64_t buffered = static_cast<std::int64_t>(end_ - next_);
        if (count <= buffered) {
            next_ += static_cast<std::size_t>(count);
            return count;
        }
        next_ = end_;
        return buffered + stream_.Skip(count - buffered);
    }
    std::int64_t Position() const {
        return stream_.Position() - static_cast<std::int64_t>(end_ - next_);
    }

  private:
    ByteStream& stream_;
    std::vector<char> buffer_;
    std::size_t next_ = 0;
    std::size_t end_ = 0;
};

class BinaryBody {
  public:
    BinaryBody(ByteStream& stream, const PlyHeader& header, const std::vector<int>& selection,
               PlyBodySink& sink)
        : stream_(stream),
          blocks_(stream),
          header_(header),
          selection_(selection),
          sink_(sink),
          swap_((header.format == PlyFormat::BinaryBigEndian) !=
                (std::endian::native == std::endian::big)) {}

    std::string Read() {
        if (std::string failure = CheckFixedSize(); !failure.empty()) return failure;
        for (std::size_t e = 0; e < header_.elements.size(); ++e) {
            const PlyElement& element = header_.elements[e];
            std::string failure;
            if (static_cast<int>(e) == header_.vertexElement) {
                failure = ReadVertices(element);
            } else {
                failure = ReadOther(element, static_cast<int>(e) == header_.edgeElement);
            }
            if (!failure.empty() || stopped_) return failure;
        }
        const std::int64_t rest = stream_.Size() - blocks_.Position();
        if (rest > 0)
            return "the file holds " + std::to_string(rest) + " bytes after its last element";
        return {};
    }

  private:
    static std::size_t FixedBytes(const PlyElement& element) {
        std::size_t bytes = 0;
        for (const PlyProperty& property : element.properties)
            bytes += SizeOf(property.list ? property.countType : property.type);
        return bytes;
    }

    // Without lists the body's size follows from the header: a mismatch is found before
    // anything is read.
    std::string CheckFixedSize() const {
        for (const PlyElement& element : header_.elements) {
            for (const PlyProperty& property : element.properties)
                if (property.list) return {};
        }
        std::int64_t left = stream_.Size() - stream_.Position();
        for (const PlyElement& element : header_.elements) {
            const auto stride = static_cast<std::int64_t>(FixedBytes(element));
            if (stride == 0) continue;
            if (element.count > left / stride) return Truncated(element, left / stride);
            left -= element.count * stride;
        }
        if (left > 0)
            return "the file holds " + std::to_string(left) + " bytes after its last element";
        return {};
    }

    bool Continue() {
        if (!sink_.Continue(blocks_.Position())) stopped_ = true;
        return !stopped_;
    }

    std::string ReadVertices(const PlyElement& element) {
        const std::size_t stride = FixedBytes(element);
        std::vector<Column> columns(selection_.size());
        for (std::size_t c = 0; c < selection_.size(); ++c) {
            const int index = selection_[c];
            if (index < 0 || index >= static_cast<int>(element.properties.size())) continue;
            std::size_t offset = 0;
            for (int p = 0; p < index; ++p)
                offset += SizeOf(element.properties[static_cast<std::size_t>(p)].type);
            columns[c] = {offset, element.properties[static_cast<std::size_t>(index)].type, true};
        }
        // A column not selected reads as 0 throughout.
        std::vector<double> values(columns.size() * static_cast<std::size_t>(kVertexRun), 0.0);
        std::vector<const double*> columnValues(columns.size());
        for (std::size_t c = 0; c < columns.size(); ++c)
            columnValues[c] = values.data() + c * static_cast<std::size_t>(kVertexRun);
        const std::int64_t perBlock =
            stride == 0
                ? element.count
                : std::max<std::int64_t>(1, static_cast<std::int64_t>(kBlockBytes / stride));
        std::int64_t done = 0;
        while (done < element.count) {
            std::int64_t batch = std::min(element.count - done, perBlock);
            const bool complete = blocks_.Need(static_cast<std::size_t>(batch) * stride);
            if (!complete) batch = static_cast<std::int64_t>(blocks_.Available() / stride);
            const char* const first = blocks_.Data();
            for (std::int64_t start = 0; start < batch; start += kVertexRun) {
                const std::int64_t run = std::min(kVertexRun, batch - start);
                const char* const record = first + static_cast<std::size_t>(start) * stride;
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    if (!columns[c].present) continue;
                    DecodeColumn(record + columns[c].offset, stride, run, columns[c].type, swap_,
                                 values.data() + c * static_cast<std::size_t>(kVertexRun));
                }
                PlyBodySink::Want want = PlyBodySink::Want::Values;
                const std::int64_t taken =
                    sink_.Vertices(columnValues.data(), columns.size(), run, want);
                if (want == PlyBodySink::Want::Values) continue;
                if (want == PlyBodySink::Want::Nothing) {
                    stopped_ = true;
                    return {};
                }
                return SkipVertices(element, done + start + taken,
                                    record + static_cast<std::size_t>(taken) * stride);
            }
            blocks_.Advance(static_cast<std::size_t>(batch) * stride);
            done += batch;
            if (!complete) return Truncated(element, done);
            if (!Continue()) return {};
        }
        return {};
    }

    // Past the vertices from number done on, whose first starts at record in the buffer: a
    // skip of their bytes, not a decode.
    std::string SkipVertices(const PlyElement& element, std::int64_t done, const char* record) {
        blocks_.Advance(static_cast<std::size_t>(record - blocks_.Data()));
        const auto stride = static_cast<std::int64_t>(FixedBytes(element));
        const std::int64_t left = element.count - done;
        const std::int64_t skipped = blocks_.Skip(left * stride);
        if (skipped < left * stride) return Truncated(element, done + skipped / stride);
        sink_.Skipped(left);
        if (!Continue()) return {};
        return {};
    }

    std::string ReadOther(const PlyElement& element, bool edges) {
        const std::size_t fixed = FixedBytes(element);
        const bool hasList = std::any_of(element.properties.begin(), element.properties.end(),
                                         [](const PlyProperty& p) { return p.list; });
        if (!hasList && !edges) {
            const std::int64_t wanted = element.count * static_cast<std::int64_t>(fixed);
            const std::int64_t skipped = blocks_.Skip(wanted);
            if (skipped < wanted)
                return Truncated(element, skipped / static_cast<std::int64_t>(fixed));
            return {};
        }
        const int from = FindPlyProperty(element, "vertex1");
        const int to = FindPlyProperty(element, "vertex2");
        for (std::int64_t item = 0; item < element.count; ++item) {
            double ends[2] = {0.0, 0.0};
            for (std::size_t p = 0; p < element.properties.size(); ++p) {
                const PlyProperty& property = element.properties[p];
                if (property.list) {
                    if (!blocks_.Need(SizeOf(property.countType))) return Truncated(element, item);
                    const double length = Decode(blocks_.Data(), property.countType, swap_);
                    blocks_.Advance(SizeOf(property.countType));
                    if (length < 0.0)
                        return "a " + Quoted(element.name) + " list has a negative length";
                    const auto bytes = static_cast<std::int64_t>(length) *
                                       static_cast<std::int64_t>(SizeOf(property.type));
                    if (blocks_.Skip(bytes) < bytes) return Truncated(element, item);
                    continue;
                }
                const std::size_t size = SizeOf(property.type);
                if (!blocks_.Need(size)) return Truncated(element, item);
                if (edges && (static_cast<int>(p) == from || static_cast<int>(p) == to))
                    ends[static_cast<int>(p) == from ? 0 : 1] =
                        Decode(blocks_.Data(), property.type, swap_);
                blocks_.Advance(size);
            }
            if (edges) {
                std::int64_t a = 0;
                std::int64_t b = 0;
                if (std::string failure = CheckEdge(header_, item, ends[0], ends[1], a, b);
                    !failure.empty())
                    return failure;
                sink_.Edge(a, b);
            }
            if ((item + 1) % kItemsPerProgress == 0 && !Continue()) return {};
        }
        return {};
    }

    ByteStream& stream_;
    Blocks blocks_;
    const PlyHeader& header_;
    const std::vector<int>& selection_;
    PlyBodySink& sink_;
    bool swap_;
    bool stopped_ = false;
};

class AsciiBody {
  public:
    AsciiBody(ByteStream& stream, const PlyHeader& header, const std::vector<int>& selection,
              PlyBodySink& sink)
        : stream_(stream),
          header_(header),
          selection_(selection),
          sink_(sink),
          lineNumber_(header.lineCount) {}

    std::string Read() {
        for (std::size_t e = 0; e < header_.elements.size(); ++e) {
            const PlyElement& element = header_.elements[e];
            if (element.properties.empty()) continue;
            const bool vertices = static_cast<int>(e) == header_.vertexElement;
            const bool edges = static_cast<int>(e) == header_.edgeElement;
            for (std::int64_t item = 0; item < element.count; ++item) {
                if (!NextLine()) return Truncated(element, item);
                std::string failure;
                if (vertices && counting_) {
                    if (words_.size() != element.properties.size())
                        failure = CountMismatch(element);
                } else if (vertices) {
                    failure = Vertex(element);
                } else {
                    failure = Other(element, edges, item);
                }
                if (!failure.empty() || stopped_) return failure;
                if ((item + 1) % kItemsPerProgress == 0 && !sink_.Continue(stream_.Position()))
                    return {};
            }
            if (vertices && counting_) sink_.Skipped(element.count - countedFrom_);
        }
        if (NextLine())
            return LineText(lineNumber_) + "the file holds more lines than its header declares";
        return {};
    }

  private:
    // The next line that is not blank, split into words.
    bool NextLine() {
        while (stream_.ReadLine(line_, kBodyLineLength)) {
            ++lineNumber_;
            words_ = Words(line_);
            if (!words_.empty()) return true;
        }
        return false;
    }

    std::string CountMismatch(const PlyElement& element) const {
        return LineText(lineNumber_) + "the values do not match the properties of " +
               Quoted(element.name);
    }

    std::string Vertex(const PlyElement& element) {
        ++vertexNumber_;
        if (words_.size() != element.properties.size()) return CountMismatch(element);
        values_.assign(selection_.size(), 0.0);
        for (std::size_t c = 0; c < selection_.size(); ++c) {
            const int index = selection_[c];
            if (index < 0 || static_cast<std::size_t>(index) >= words_.size()) continue;
            // A word that is no number reads as the missing value, as in text files.
            if (!DecimalToDouble(words_[static_cast<std::size_t>(index)], values_[c]))
                values_[c] = std::numeric_limits<double>::quiet_NaN();
        }
        const PlyBodySink::Want want = sink_.Vertex(values_.data());
        if (want == PlyBodySink::Want::Nothing) stopped_ = true;
        if (want == PlyBodySink::Want::CountOnly) {
            counting_ = true;
            countedFrom_ = vertexNumber_;
        }
        return {};
    }

    std::string Other(const PlyElement& element, bool edges, std::int64_t item) {
        const int from = FindPlyProperty(element, "vertex1");
        const int to = FindPlyProperty(element, "vertex2");
        double ends[2] = {-1.0, -1.0};
        std::size_t w = 0;
        for (std::size_t p = 0; p < element.properties.size(); ++p) {
            if (w >= words_.size()) return CountMismatch(element);
            if (element.properties[p].list) {
                std::int64_t length = 0;
                if (!ParseCount(words_[w], length)) return CountMismatch(element);
                if (length > static_cast<std::int64_t>(words_.size() - w - 1))
                    return CountMismatch(element);
                w += 1 + static_cast<std::size_t>(length);
                continue;
            }
            if (edges && (static_cast<int>(p) == from || static_cast<int>(p) == to)) {
                double& end = ends[static_cast<int>(p) == from ? 0 : 1];
                if (!DecimalToDouble(words_[w], end)) end = -1.0;
            }
            ++w;
        }
        if (w != words_.size()) return CountMismatch(element);
        if (!edges) return {};
        std::int64_t a = 0;
        std::int64_t b = 0;
        std::string failure = CheckEdge(header_, item, ends[0], ends[1], a, b);
        if (failure.empty()) sink_.Edge(a, b);
        return failure;
    }

    ByteStream& stream_;
    const PlyHeader& header_;
    const std::vector<int>& selection_;
    PlyBodySink& sink_;
    std::int64_t lineNumber_;
    std::string line_;
    std::vector<std::string_view> words_;
    std::vector<double> values_;
    bool stopped_ = false;
    bool counting_ = false;  // the vertices from countedFrom_ on are only checked
    std::int64_t vertexNumber_ = 0;
    std::int64_t countedFrom_ = 0;
};

}  // namespace

std::int64_t PlyBodySink::Vertices(const double* const* columns, std::size_t columnCount,
                                   std::int64_t count, Want& want) {
    std::vector<double> values(columnCount);
    want = Want::Values;
    for (std::int64_t i = 0; i < count; ++i) {
        for (std::size_t c = 0; c < columnCount; ++c)
            values[c] = columns[c][i];
        want = Vertex(values.data());
        if (want != Want::Values) return i + 1;
    }
    return count;
}

int FindPlyProperty(const PlyElement& element, const std::string& name) {
    for (std::size_t i = 0; i < element.properties.size(); ++i) {
        const std::string& candidate = element.properties[i].name;
        if (candidate.size() == name.size() &&
            std::equal(candidate.begin(), candidate.end(), name.begin(),
                       [](char a, char b) { return AsciiUpper(a) == AsciiUpper(b); }))
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<std::string> PropertyNames(const PlyElement& element) {
    std::vector<std::string> names;
    for (const PlyProperty& property : element.properties)
        names.push_back(property.name);
    return names;
}

namespace {

// One header line after the first, by its keyword; the reason it is not sound, else empty.
std::string TakeHeaderLine(const std::vector<std::string_view>& words, PlyHeader& header,
                           bool& formatSeen) {
    const std::string_view keyword = words[0];
    if (keyword == "comment" || keyword == "obj_info") return {};
    if (keyword == "format") {
        if (words.size() != 3) return "a malformed format line";
        if (words[1] == "ascii") {
            header.format = PlyFormat::Ascii;
        } else if (words[1] == "binary_little_endian") {
            header.format = PlyFormat::BinaryLittleEndian;
        } else if (words[1] == "binary_big_endian") {
            header.format = PlyFormat::BinaryBigEndian;
        } else {
            return "unknown format " + Quoted(words[1]);
        }
        if (words[2] != "1.0") return "unknown format version " + Quoted(words[2]);
        formatSeen = true;
        return {};
    }
    if (keyword == "element") {
        PlyElement element;
        if (words.size() != 3) return "a malformed element line";
        element.name = words[1];
        if (!ParseCount(words[2], element.count))
            return "the element count " + Quoted(words[2]) + " is not a whole number";
        header.elements.push_back(std::move(element));
        return {};
    }
    // Some writers put remarks in the header without the comment keyword.
    if (keyword != "property") return {};
    if (header.elements.empty()) return "a property before any element";
    PlyProperty property;
    const bool list = words.size() >= 2 && words[1] == "list";
    if (words.size() != (list ? 5u : 3u)) return "a malformed property line";
    const std::string_view typeName = words[list ? 3 : 1];
    const std::optional<PlyType> type = TypeOf(typeName);
    if (!type) return "unknown property type " + Quoted(typeName);
    property.type = *type;
    property.name = words.back();
    property.list = list;
    if (list) {
        const std::optional<PlyType> countType = TypeOf(words[2]);
        if (!countType || !IsWhole(*countType))
            return "unknown list length type " + Quoted(words[2]);
        property.countType = *countType;
    }
    header.elements.back().properties.push_back(std::move(property));
    return {};
}

// The counts against the bytes the body has, and the vertex and edge elements the reader
// needs; the reason the header cannot be read, else empty.
std::string CheckElements(PlyHeader& header, std::int64_t bodyBytes) {
    for (std::size_t e = 0; e < header.elements.size(); ++e) {
        const PlyElement& element = header.elements[e];
        // Every item of an element with properties takes at least one byte (a line in ASCII).
        if (!element.properties.empty() && element.count > bodyBytes)
            return "the header declares " + std::to_string(element.count) + " " +
                   ItemsName(element) + ", more than the file can hold";
        if (element.name == "vertex" && header.vertexElement < 0)
            header.vertexElement = static_cast<int>(e);
        if (element.name == "edge" && header.edgeElement < 0)
            header.edgeElement = static_cast<int>(e);
    }
    if (header.vertexElement < 0) return "the file has no vertex element";
    if (header.elements[header.vertexElement].properties.empty())
        return "the vertex element has no properties";
    for (const PlyProperty& property : header.elements[header.vertexElement].properties) {
        if (property.list) return "the vertex element has a list property " + Quoted(property.name);
    }
    if (header.edgeElement >= 0) {
        const PlyElement& edges = header.elements[header.edgeElement];
        const int from = FindPlyProperty(edges, "vertex1");
        const int to = FindPlyProperty(edges, "vertex2");
        if (from < 0 || to < 0 || edges.properties[from].list || edges.properties[to].list)
            return "the edge element has no vertex1 and vertex2 properties";
    }
    return {};
}

}  // namespace

std::optional<PlyHeader> ReadPlyHeader(ByteStream& stream, std::string& failure) {
    const auto fail = [&failure](std::string reason) -> std::optional<PlyHeader> {
        failure = std::move(reason);
        return std::nullopt;
    };
    PlyHeader header;
    bool formatSeen = false;
    std::string line;
    for (;;) {
        if (header.lineCount >= kPlyHeaderLineLimit)
            return fail("the header does not end within " + std::to_string(kPlyHeaderLineLimit) +
                        " lines");
        if (stream.Position() >= kPlyHeaderByteLimit)
            return fail("the header does not end within its first " +
                        std::to_string(kPlyHeaderByteLimit >> 20) + " MB");
        if (!stream.ReadLine(line, kHeaderLineLength)) return fail("the file ends in its header");
        const std::int64_t number = ++header.lineCount;
        if (line.size() >= kHeaderLineLength)
            return fail(LineText(number) + "the line is too long");
        const std::vector<std::string_view> words = Words(line);
        if (number == 1) {
            if (words.size() != 1 || words[0] != "ply")
                return fail("not a PLY file: the first line is not 'ply'");
            continue;
        }
        if (words.empty()) continue;
        if (words[0] == "end_header") break;
        if (std::string reason = TakeHeaderLine(words, header, formatSeen); !reason.empty())
            return fail(LineText(number) + reason);
    }
    if (!formatSeen) return fail("the header has no format line");
    if (std::string reason = CheckElements(header, stream.Size() - stream.Position());
        !reason.empty())
        return fail(std::move(reason));
    return header;
}

std::string ReadPlyBody(ByteStream& stream, const PlyHeader& header,
                        const std::vector<int>& selection, PlyBodySink& sink) {
    if (header.format == PlyFormat::Ascii) return AsciiBody(stream, header, selection, sink).Read();
    return BinaryBody(stream, header, selection, sink).Read();
}

}  // namespace ocuvis
