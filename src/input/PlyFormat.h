#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ocuvis {

class ByteStream;

enum class PlyFormat { Ascii, BinaryLittleEndian, BinaryBigEndian };
enum class PlyType : std::uint8_t { Int8, Uint8, Int16, Uint16, Int32, Uint32, Float32, Float64 };

struct PlyProperty {
    std::string name;
    PlyType type = PlyType::Float32;  // of the values; for a list, of its items
    bool list = false;
    PlyType countType = PlyType::Uint8;  // lists only
};

struct PlyElement {
    std::string name;
    std::int64_t count = 0;
    std::vector<PlyProperty> properties;
};

struct PlyHeader {
    PlyFormat format = PlyFormat::Ascii;
    std::vector<PlyElement> elements;
    int vertexElement = -1;  // index into elements
    int edgeElement = -1;
    std::int64_t lineCount = 0;  // of the header, for line numbers in ASCII errors
};

// The header caps: a file whose header runs on longer is refused, not read to its end.
constexpr std::int64_t kPlyHeaderLineLimit = 100000;
constexpr std::int64_t kPlyHeaderByteLimit = 1 << 20;

// Reads the header from the start of the stream and leaves the stream at the body. Element counts
// are checked against the stream's size here, so that no caller ever allocates for a count the
// file cannot hold.
std::optional<PlyHeader> ReadPlyHeader(ByteStream& stream, std::string& failure);

// The vertex property of the given name, any case; -1 when there is none.
int FindPlyProperty(const PlyElement& element, const std::string& name);

// The names of an element's properties, in order.
std::vector<std::string> PropertyNames(const PlyElement& element);

// What the body reader hands on. Vertex gets the selected columns' values as doubles (0 for a
// column of -1), in selection order, and says what it wants of the vertices after it.
class PlyBodySink {
  public:
    enum class Want {
        Values,     // the next vertex's values
        CountOnly,  // no more values: the rest are checked, not decoded, and handed to Skipped
        Nothing,    // stop reading here, without a failure
    };
    virtual ~PlyBodySink() = default;
    virtual Want Vertex(const double* values) = 0;
    // A run of count vertices, column by column: columns[c][i] is value c of vertex i. Takes
    // them in order as Vertex would, up to the first that wants more than values; returns how
    // many it took, with what the last one wanted in want.
    virtual std::int64_t Vertices(const double* const* columns, std::size_t columnCount,
                                  std::int64_t count, Want& want);
    // The vertices left after a CountOnly, once the body has been read past them.
    virtual void Skipped(std::int64_t) {}
    virtual void Edge(std::int64_t from, std::int64_t to) = 0;
    // Called every few thousand items with the stream position; false aborts the read.
    virtual bool Continue(std::int64_t position) = 0;
};

// Reads the body after ReadPlyHeader: every element in order, the vertices to the sink with the
// selected property columns, the edges' vertex1 and vertex2, everything else skipped. Empty when
// the body matches its header; else the reason it does not. Stopped reads return empty too.
std::string ReadPlyBody(ByteStream& stream, const PlyHeader& header,
                        const std::vector<int>& selection, PlyBodySink& sink);

}  // namespace ocuvis
