#include "input/RecordSink.h"

#include "core/AsciiText.h"

namespace ocuvis {

void RecordSink::Label(double x, double y, double z, std::string_view text) {
    if (!originChosen_) ChooseOrigin(x, y, z);
    const std::array<double, 3>& o = store_.origin;
    XYZTEXT& label = store_.labels[static_cast<std::size_t>(store_.labelCount++)];
    label.x = Narrowed(Shifted(x, o[0]));
    label.y = Narrowed(Shifted(y, o[1]));
    label.z = Narrowed(Shifted(z, o[2]));
    label.text.assign(text);
}

void RecordSink::Points(const double* const* columns, std::int64_t count) {
    if (count <= 0) return;
    const std::size_t first = store_.points.size();
    store_.points.resize(first + static_cast<std::size_t>(count));
    DataPoint* const out = store_.points.data() + first;
    const double* const x = columns[0];
    const double* const y = columns[1];
    const double* const z = columns[2];
    const double* const size = columns[3];
    for (std::int64_t i = 0; i < count && !originChosen_; ++i)
        ChooseOrigin(x[i], y[i], z[i]);
    const std::array<double, 3>& o = store_.origin;
    for (std::int64_t i = 0; i < count; ++i)
        out[i] = {Narrowed(Shifted(x[i], o[0])), Narrowed(Shifted(y[i], o[1])),
                  Narrowed(Shifted(z[i], o[2])), Narrowed(size[i])};
    for (std::int64_t i = 0; i < count; ++i)
        extent.Take(out[i]);
    // The passes are counted before the call, as Point finds them counted for its own.
    const std::int64_t firstPass = counts.passes - count + 1;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t n = firstPass + i + sourceBase_;
        store_.sources.push_back(n < 0 || n > INT32_MAX ? -1 : static_cast<std::int32_t>(n));
    }
    if (colourCells_) store_.colours.resize(store_.points.size(), 0);
    counts.pointsFound += count;
    counts.pointsPlotted += count;
    counts.recordsStored += static_cast<std::int32_t>(count);
}

bool RecordSink::Line(std::int32_t from, std::int32_t to) {
    const bool goesOn = from == lastLineEnd_;
    if (counts.recordsStored + (goesOn ? 1 : 3) > limit_) return false;
    if (!goesOn) {
        const DataPoint start = store_.points[static_cast<std::size_t>(from)];
        store_.points.push_back(DataPoint::Break());
        store_.points.push_back(start);
        store_.sources.push_back(-1);
        store_.sources.push_back(store_.sources[static_cast<std::size_t>(from)]);
        if (colourCells_) {
            store_.colours.push_back(0);
            store_.colours.push_back(store_.colours[static_cast<std::size_t>(from)]);
        }
        counts.recordsStored += 2;
    }
    const DataPoint end = store_.points[static_cast<std::size_t>(to)];
    store_.points.push_back(end);
    store_.sources.push_back(store_.sources[static_cast<std::size_t>(to)]);
    if (colourCells_) store_.colours.push_back(store_.colours[static_cast<std::size_t>(to)]);
    ++counts.recordsStored;
    lastLineEnd_ = to;
    return true;
}

void RecordSink::StoreColours(ColourScale scale) {
    colourCells_ = true;
    scale_ = scale;
    store_.colourColumn = PointStore::ColourColumn::Rgb;
    store_.colours.reserve(store_.points.capacity());
}

void RecordSink::StoreValues() {
    colourCells_ = true;
    store_.colourColumn = PointStore::ColourColumn::Value;
    store_.colours.reserve(store_.points.capacity());
}

namespace {

std::uint32_t Channel(double value, double scale, double most) {
    const double v = value * scale;
    if (!(v > 0.0)) return 0;
    return v >= most ? static_cast<std::uint32_t>(most)
                     : static_cast<std::uint32_t>(std::lround(v));
}

std::uint32_t Packed(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

// 16-bit channels to 8 bits, rounded.
std::uint32_t Narrow16(std::uint32_t c) {
    return (c + 128) / 257;
}

}  // namespace

void RecordSink::Colour(double red, double green, double blue) {
    std::uint32_t c[3];
    const double values[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i) {
        switch (scale_) {
            case ColourScale::Byte:
                c[i] = Channel(values[i], 1.0, 255.0);
                break;
            case ColourScale::Unit:
                c[i] = Channel(values[i], 255.0, 255.0);
                break;
            case ColourScale::Word:
                c[i] = Narrow16(Channel(values[i], 1.0, 65535.0));
                break;
            case ColourScale::WordOrByte:
                c[i] = Channel(values[i], 1.0, 65535.0);
                break;
        }
    }
    if (scale_ == ColourScale::WordOrByte) {
        if (!wide_ && (c[0] > 255 || c[1] > 255 || c[2] > 255)) {
            // The colours so far were 16-bit ones too: each channel at most 255 of 65535.
            wide_ = true;
            for (std::uint32_t& cell : store_.colours)
                if (cell != 0)
                    cell = Packed(Narrow16(cell >> 16 & 0xFF), Narrow16(cell >> 8 & 0xFF),
                                  Narrow16(cell & 0xFF));
        }
        if (wide_)
            for (std::uint32_t& channel : c)
                channel = Narrow16(channel);
    }
    store_.colours.back() = Packed(c[0], c[1], c[2]);
}

std::array<std::int32_t, 3> ColourFieldNumbers(const FileInputFields& fields,
                                               const std::vector<std::string>& names) {
    if (fields.RedIndex > 0 && fields.GreenIndex > 0 && fields.BlueIndex > 0)
        return {fields.RedIndex, fields.GreenIndex, fields.BlueIndex};
    const auto named = [&names](std::string_view wanted) -> std::int32_t {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::string& name = names[i];
            if (name.size() == wanted.size() &&
                std::equal(name.begin(), name.end(), wanted.begin(),
                           [](char a, char b) { return AsciiUpper(a) == AsciiUpper(b); }))
                return static_cast<std::int32_t>(i) + 1;
        }
        return 0;
    };
    constexpr std::array<std::array<std::string_view, 3>, 3> kNameSets = {{
        {"red", "green", "blue"},
        {"r", "g", "b"},
        {"diffuse_red", "diffuse_green", "diffuse_blue"},
    }};
    for (const auto& set : kNameSets) {
        const std::array<std::int32_t, 3> found = {named(set[0]), named(set[1]), named(set[2])};
        if (found[0] > 0 && found[1] > 0 && found[2] > 0) return found;
    }
    return {0, 0, 0};
}

}  // namespace ocuvis
