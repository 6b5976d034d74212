#include "input/PlyReader.h"

#include <algorithm>

#include "input/ByteStream.h"
#include "input/PlyFormat.h"

namespace ocuvis {

namespace {

// Takes the vertices as points up to the limit, and keeps the edges for the end: as many as
// the store could hold lines for, the rest only counted.
class VertexSink final : public PlyBodySink {
  public:
    static constexpr std::size_t kMostColumns = 7;
    // cells: what follows x, y, z and size among the values: nothing, red, green and blue,
    // or the value that colours the dots.
    enum class Cells { None, Rgb, Value };
    VertexSink(RecordSink& sink, bool mapped, Cells cells)
        : sink_(sink), mapped_(mapped), cells_(cells) {}

    Want Vertex(const double* values) override {
        const std::int64_t index = next_++;
        ++sink_.counts.passes;
        if (!sink_.Keep()) return Want::Values;
        if (mapped_) {
            storedAt_.resize(static_cast<std::size_t>(index), -1);
            storedAt_.push_back(sink_.counts.recordsStored);
        }
        sink_.Point(values[0], values[1], values[2], values[3]);
        if (cells_ == Cells::Rgb) sink_.Colour(values[4], values[5], values[6]);
        if (cells_ == Cells::Value) sink_.Value(values[4]);
        return sink_.Full() ? Want::CountOnly : Want::Values;
    }
    // The same as Vertex one by one, without a call through the base class for each.
    std::int64_t Vertices(const double* const* columns, std::size_t columnCount, std::int64_t count,
                          Want& want) override {
        // Without sampling every vertex is stored while there is room, in one go.
        if (!sink_.fields().SubSampleEnabled && columnCount == 4) {
            const std::int64_t room = sink_.recordLimit() - sink_.counts.recordsStored;
            // Vertex stores one even when the store is full, then says so.
            const std::int64_t taken = std::min(count, std::max<std::int64_t>(room, 1));
            next_ += taken;
            sink_.counts.passes += taken;
            sink_.Points(columns, taken);
            want = sink_.Full() ? Want::CountOnly : Want::Values;
            return taken;
        }
        // x, y, z, the dot size, then up to three colour cells.
        double values[kMostColumns] = {};
        const std::size_t used = std::min<std::size_t>(columnCount, kMostColumns);
        want = Want::Values;
        for (std::int64_t i = 0; i < count; ++i) {
            for (std::size_t c = 0; c < used; ++c)
                values[c] = columns[c][i];
            want = Vertex(values);
            if (want != Want::Values) return i + 1;
        }
        return count;
    }
    void Skipped(std::int64_t count) override {
        if (!sink_.fields().SubSampleEnabled) {
            // Without sampling the header's count is the count.
            sink_.CountPoints(count);
            return;
        }
        // The draws the vertices would have taken, so the count is the sampled one.
        for (std::int64_t i = 0; i < count; ++i)
            if (sink_.Keep()) sink_.CountPoints(1);
    }
    void Edge(std::int64_t from, std::int64_t to) override {
        // Each edge takes at least one record.
        if (static_cast<std::int64_t>(edges_.size()) >= sink_.recordLimit()) {
            sink_.counts.edgesCut = true;
            return;
        }
        edges_.emplace_back(from, to);
    }
    bool Continue(std::int64_t position) override { return sink_.Continue(position); }

    // The connecting lines of the edges whose ends were stored.
    void StoreLines() {
        for (const auto& [from, to] : edges_) {
            const std::int64_t a = StoredAt(from);
            const std::int64_t b = StoredAt(to);
            if (a < 0 || b < 0) {
                // Sampling drops the edges of the vertices it leaves out; without it, the limit
                // did.
                if (!sink_.fields().SubSampleEnabled) sink_.counts.edgesCut = true;
                continue;
            }
            if (!sink_.Line(static_cast<std::int32_t>(a), static_cast<std::int32_t>(b))) {
                sink_.counts.edgesCut = true;
                return;
            }
        }
    }

  private:
    // The record of a vertex of the file; -1 when it was not stored.
    std::int64_t StoredAt(std::int64_t index) const {
        if (!mapped_) return index < sink_.counts.pointsPlotted ? index : -1;
        return index < static_cast<std::int64_t>(storedAt_.size())
                   ? storedAt_[static_cast<std::size_t>(index)]
                   : -1;
    }

    RecordSink& sink_;
    bool mapped_;
    Cells cells_;
    std::int64_t next_ = 0;
    std::vector<std::int32_t> storedAt_;  // by vertex number, when sampling leaves gaps
    std::vector<std::pair<std::int64_t, std::int64_t>> edges_;
};

}  // namespace

std::string PlyReader::Read(ByteStream& stream) {
    std::string failure;
    const std::optional<PlyHeader> header = ReadPlyHeader(stream, failure);
    if (!header) return failure;
    const PlyElement& vertices = header->elements[static_cast<std::size_t>(header->vertexElement)];
    const int propertyCount = static_cast<int>(vertices.properties.size());
    const auto column = [propertyCount](std::int32_t number) {
        return number >= 1 && number <= propertyCount ? number - 1 : -1;
    };
    const FileInputFields& fields = sink_.fields();
    const auto axes = AxisFieldNumbers(fields, PropertyNames(vertices));
    std::vector<int> selection = {column(axes[0]), column(axes[1]), column(axes[2]),
                                  column(fields.DotIndex)};
    if (selection[3] >= 0) sink_.DotSizesPresent();
    // The colour cells: a chosen value field, else the file's colours.
    auto cells = VertexSink::Cells::None;
    const auto rgb = ColourFieldNumbers(fields, PropertyNames(vertices));
    if (column(fields.ValueIndex) >= 0) {
        cells = VertexSink::Cells::Value;
        selection.push_back(column(fields.ValueIndex));
    } else if (column(rgb[0]) >= 0 && column(rgb[1]) >= 0 && column(rgb[2]) >= 0) {
        cells = VertexSink::Cells::Rgb;
        for (const std::int32_t number : rgb)
            selection.push_back(column(number));
    }

    // The vertices are reserved ahead, as growing by doubling would hold two copies at once.
    // The count is held to the limit and to what the body can hold: a value takes at least a
    // byte, in ASCII a character and a separator.
    const int valueBytes = header->format == PlyFormat::Ascii ? 2 : 1;
    const std::int64_t bodyFits =
        (stream.Size() - stream.Position()) / (valueBytes * propertyCount);
    sink_.Reserve(std::min({vertices.count, bodyFits, std::int64_t{sink_.recordLimit()}}));

    if (cells == VertexSink::Cells::Value) sink_.StoreValues();
    if (cells == VertexSink::Cells::Rgb) {
        // Integer colours of 8 bits are 0..255, wider ones 0..65535; floating ones 0..1.
        switch (vertices.properties[static_cast<std::size_t>(rgb[0] - 1)].type) {
            case PlyType::Float32:
            case PlyType::Float64:
                sink_.StoreColours(RecordSink::ColourScale::Unit);
                break;
            case PlyType::Int16:
            case PlyType::Uint16:
                sink_.StoreColours(RecordSink::ColourScale::Word);
                break;
            default:
                sink_.StoreColours(RecordSink::ColourScale::Byte);
                break;
        }
    }
    VertexSink body(sink_, fields.SubSampleEnabled && header->edgeElement >= 0, cells);
    failure = ReadPlyBody(stream, *header, selection, body);
    if (!failure.empty() || sink_.counts.aborted) return failure;
    // Vertices are dots; lines come from the edges alone.
    sink_.DotsOnlyBefore(sink_.counts.recordsStored);
    body.StoreLines();
    return {};
}

}  // namespace ocuvis
