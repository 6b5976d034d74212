#include "input/LasReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "input/ByteStream.h"

namespace ocuvis {

const char* const kLazRefusal = "compressed LAZ is not supported; convert it to LAS";

namespace {

constexpr std::size_t kHeaderBytes10 = 227;  // 1.0 to 1.2
constexpr std::size_t kHeaderBytes13 = 235;
constexpr std::size_t kHeaderBytes14 = 375;
constexpr std::size_t kBlockBytes = 1 << 20;
constexpr int kLargestFormat = 10;
// The bytes of each point format before any extra bytes.
constexpr std::int64_t kFormatBytes[] = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};

template <typename T>
T Little(const char* bytes) {
    // LAS is little-endian, as are the machines this builds for.
    T value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

enum class Kind { X, Y, Z, U16, ReturnBits3, ReturnBits4, Class5, U8, F64 };

struct FieldSpec {
    const char* name;
    int offset;
    Kind kind;
};

std::vector<FieldSpec> FieldSpecs(int format) {
    const bool extended = format >= 6;
    std::vector<FieldSpec> specs = {
        {"X", 0, Kind::X}, {"Y", 4, Kind::Y}, {"Z", 8, Kind::Z}, {"intensity", 12, Kind::U16}};
    if (extended) {
        specs.push_back({"return_number", 14, Kind::ReturnBits4});
        specs.push_back({"classification", 16, Kind::U8});
        specs.push_back({"gps_time", 22, Kind::F64});
    } else {
        specs.push_back({"return_number", 14, Kind::ReturnBits3});
        specs.push_back({"classification", 15, Kind::Class5});
        if (format == 1 || format >= 3) specs.push_back({"gps_time", 20, Kind::F64});
    }
    int colour = -1;
    if (format == 2) colour = 20;
    if (format == 3 || format == 5) colour = 28;
    if (format == 7 || format == 8 || format == 10) colour = 30;
    if (colour >= 0) {
        specs.push_back({"red", colour, Kind::U16});
        specs.push_back({"green", colour + 2, Kind::U16});
        specs.push_back({"blue", colour + 4, Kind::U16});
    }
    if (format == 8 || format == 10) specs.push_back({"nir", 36, Kind::U16});
    return specs;
}

double FieldValue(const LasHeader& header, const FieldSpec& spec, const char* record) {
    const char* at = record + spec.offset;
    switch (spec.kind) {
        case Kind::X:
        case Kind::Y:
        case Kind::Z: {
            const auto axis = static_cast<std::size_t>(spec.kind);
            return Little<std::int32_t>(at) * header.scale[axis] + header.offset[axis];
        }
        case Kind::U16:
            return Little<std::uint16_t>(at);
        case Kind::ReturnBits3:
            return Little<std::uint8_t>(at) & 0x07;
        case Kind::ReturnBits4:
            return Little<std::uint8_t>(at) & 0x0F;
        case Kind::Class5:
            return Little<std::uint8_t>(at) & 0x1F;
        case Kind::U8:
            return Little<std::uint8_t>(at);
        case Kind::F64:
            return Little<double>(at);
    }
    return 0.0;
}

std::string Fail(std::string& failure, std::string reason) {
    failure = std::move(reason);
    return failure;
}

// The header's facts against each other and against the file's size; the reason they
// disagree, else empty.
std::string CheckHeader(const char* bytes, std::int64_t fileSize, LasHeader& header) {
    if (std::memcmp(bytes, "LASF", 4) != 0) return "not a LAS file: it does not begin with 'LASF'";
    const int major = Little<std::uint8_t>(bytes + 24);
    header.versionMinor = Little<std::uint8_t>(bytes + 25);
    if (major != 1 || header.versionMinor > 4)
        return "unknown LAS version " + std::to_string(major) + "." +
               std::to_string(header.versionMinor);
    const int formatByte = Little<std::uint8_t>(bytes + 104);
    if ((formatByte & 0xC0) != 0) return kLazRefusal;
    header.pointFormat = formatByte;
    if (header.pointFormat > kLargestFormat)
        return "unknown point format " + std::to_string(header.pointFormat);
    const std::size_t needed = header.versionMinor >= 4   ? kHeaderBytes14
                               : header.versionMinor == 3 ? kHeaderBytes13
                                                          : kHeaderBytes10;
    const std::size_t headerSize = Little<std::uint16_t>(bytes + 94);
    if (headerSize < needed)
        return "the header size " + std::to_string(headerSize) + " is below the " +
               std::to_string(needed) + " bytes of LAS 1." + std::to_string(header.versionMinor);
    header.pointOffset = Little<std::uint32_t>(bytes + 96);
    if (header.pointOffset < static_cast<std::int64_t>(headerSize) || header.pointOffset > fileSize)
        return "the point data offset " + std::to_string(header.pointOffset) +
               " lies outside the file's " + std::to_string(fileSize) + " bytes after its header";
    header.recordLength = Little<std::uint16_t>(bytes + 105);
    const std::int64_t formatBytes = kFormatBytes[header.pointFormat];
    if (header.recordLength < formatBytes)
        return "the point record length " + std::to_string(header.recordLength) +
               " is shorter than the " + std::to_string(formatBytes) + " bytes of point format " +
               std::to_string(header.pointFormat);
    const std::uint32_t legacyCount = Little<std::uint32_t>(bytes + 107);
    header.pointCount = legacyCount;
    if (header.versionMinor >= 4) {
        const std::uint64_t count = Little<std::uint64_t>(bytes + 247);
        if (legacyCount != 0 && count != legacyCount)
            return "the header's point counts disagree: " + std::to_string(legacyCount) + " and " +
                   std::to_string(count);
        if (count > static_cast<std::uint64_t>(fileSize))
            return "the header declares " + std::to_string(count) +
                   " points, more than the file can hold";
        header.pointCount = static_cast<std::int64_t>(count);
    }
    const char* axes[] = {"X", "Y", "Z"};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        header.scale[axis] = Little<double>(bytes + 131 + 8 * axis);
        header.offset[axis] = Little<double>(bytes + 155 + 8 * axis);
        if (!std::isfinite(header.scale[axis]) || header.scale[axis] == 0.0)
            return std::string("the ") + axes[axis] + " scale factor is not a usable number";
        if (!std::isfinite(header.offset[axis]))
            return std::string("the ") + axes[axis] + " offset is not a finite number";
    }
    const std::int64_t held = (fileSize - header.pointOffset) / header.recordLength;
    if (held < header.pointCount)
        return "the file ends after " + std::to_string(held) + " of " +
               std::to_string(header.pointCount) + " points";
    return {};
}

}  // namespace

std::optional<LasHeader> ReadLasHeader(ByteStream& stream, std::string& failure) {
    char bytes[kHeaderBytes14] = {};
    const std::size_t got = stream.Read(bytes, sizeof bytes);
    if (got < kHeaderBytes10) {
        Fail(failure, got >= 4 && std::memcmp(bytes, "LASF", 4) == 0
                          ? "the file ends in its header"
                          : "not a LAS file: it does not begin with 'LASF'");
        return std::nullopt;
    }
    LasHeader header;
    if (!Fail(failure, CheckHeader(bytes, stream.Size(), header)).empty()) return std::nullopt;
    const std::int64_t toPoints = header.pointOffset - stream.Position();
    if (toPoints >= 0) {
        stream.Skip(toPoints);
    } else {
        // The header was read past a short one: the points start within what was read.
        for (std::int64_t i = 0; i < -toPoints; ++i)
            stream.StepBack();
    }
    return header;
}

std::vector<std::string> LasFieldNames(int pointFormat) {
    std::vector<std::string> names;
    for (const FieldSpec& spec : FieldSpecs(pointFormat))
        names.emplace_back(spec.name);
    return names;
}

std::vector<double> LasFieldValues(const LasHeader& header, const char* record) {
    std::vector<double> values;
    for (const FieldSpec& spec : FieldSpecs(header.pointFormat))
        values.push_back(FieldValue(header, spec, record));
    return values;
}

std::string LasReader::Read(ByteStream& stream) {
    std::string failure;
    const std::optional<LasHeader> header = ReadLasHeader(stream, failure);
    if (!header) return failure;
    const std::vector<FieldSpec> specs = FieldSpecs(header->pointFormat);
    const FileInputFields& fields = sink_.fields();
    const auto axes = AxisFieldNumbers(fields, LasFieldNames(header->pointFormat));
    // The fields of x, y, z and dot size; none where a number names no field.
    const FieldSpec* chosen[4] = {};
    const std::int32_t numbers[4] = {axes[0], axes[1], axes[2], fields.DotIndex};
    for (std::size_t c = 0; c < 4; ++c) {
        if (numbers[c] >= 1 && numbers[c] <= static_cast<std::int32_t>(specs.size()))
            chosen[c] = &specs[static_cast<std::size_t>(numbers[c] - 1)];
    }
    if (chosen[3] != nullptr) sink_.DotSizesPresent();
    sink_.Reserve(header->pointCount);
    // The colour cells: a chosen value field, else the colour channels.
    const auto fieldOf = [&specs](std::int32_t number) -> const FieldSpec* {
        return number >= 1 && number <= static_cast<std::int32_t>(specs.size())
                   ? &specs[static_cast<std::size_t>(number - 1)]
                   : nullptr;
    };
    const auto rgbNumbers = ColourFieldNumbers(fields, LasFieldNames(header->pointFormat));
    const FieldSpec* const valueField = fieldOf(fields.ValueIndex);
    const FieldSpec* const rgb[3] = {fieldOf(rgbNumbers[0]), fieldOf(rgbNumbers[1]),
                                     fieldOf(rgbNumbers[2])};
    const bool colours = valueField == nullptr && rgb[0] && rgb[1] && rgb[2];
    if (valueField != nullptr) sink_.StoreValues();
    if (colours) sink_.StoreColours(RecordSink::ColourScale::WordOrByte);

    const std::size_t stride = static_cast<std::size_t>(header->recordLength);
    std::vector<char> block(std::max(kBlockBytes / stride, std::size_t{1}) * stride);
    std::int64_t done = 0;
    while (done < header->pointCount && !sink_.Full()) {
        const std::int64_t batch = std::min<std::int64_t>(
            header->pointCount - done, static_cast<std::int64_t>(block.size() / stride));
        const std::size_t bytes = static_cast<std::size_t>(batch) * stride;
        if (stream.Read(block.data(), bytes) < bytes)
            return "the file ends after " + std::to_string(done) + " of " +
                   std::to_string(header->pointCount) + " points";
        for (std::int64_t i = 0; i < batch && !sink_.Full(); ++i, ++done) {
            const char* record = block.data() + static_cast<std::size_t>(i) * stride;
            ++sink_.counts.passes;
            if (!sink_.Keep()) continue;
            double values[4] = {0.0, 0.0, 0.0, 0.0};
            for (std::size_t c = 0; c < 4; ++c)
                if (chosen[c] != nullptr) values[c] = FieldValue(*header, *chosen[c], record);
            sink_.Point(values[0], values[1], values[2], values[3]);
            if (valueField != nullptr) sink_.Value(FieldValue(*header, *valueField, record));
            if (colours)
                sink_.Colour(FieldValue(*header, *rgb[0], record),
                             FieldValue(*header, *rgb[1], record),
                             FieldValue(*header, *rgb[2], record));
        }
        if (!sink_.Continue(stream.Position())) return {};
    }
    // The rest is counted, not read: the header's count was checked against the file's size.
    const std::int64_t rest = header->pointCount - done;
    if (!fields.SubSampleEnabled) {
        sink_.CountPoints(rest);
    } else {
        for (std::int64_t i = 0; i < rest; ++i)
            if (sink_.Keep()) sink_.CountPoints(1);
    }
    return {};
}

std::string LazRefusal::Read(ByteStream&) {
    return kLazRefusal;
}

}  // namespace ocuvis
