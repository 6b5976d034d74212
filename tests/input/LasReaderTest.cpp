// The LAS reader, through the loader and on its own: every point format, the scaled
// coordinates, the fields it names, and the files it refuses with their reasons.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ReaderTestSupport.h"
#include "TestSupport.h"
#include "input/DataFileKind.h"
#include "input/LasReader.h"
#include "input/StatusText.h"

namespace ocuvis {
namespace {

using test::Reader;

constexpr int kFormatBytes[] = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};

struct LasPoint {
    std::int32_t x, y, z;
    std::uint16_t intensity;
};

// A LAS file as a writer makes it: header, one VLR's room of padding, point records of the
// given length (extra bytes zero). Colours are the intensity again, GPS time its negative.
struct LasFile {
    int minor = 2;
    int format = 0;
    int recordLength = 0;  // 0: the format's own
    // A centimetre apart in x and y, far from zero, where floats step by 3 and 25 cm.
    std::vector<LasPoint> points = {{100, 200, 300, 5}, {101, 201, 350, 9}, {120, 210, 390, 7}};
    double scale[3] = {0.01, 0.01, 0.001};
    double offset[3] = {500000.0, 4000000.0, 0.0};
    std::uint32_t legacyCount = UINT32_MAX;  // UINT32_MAX: the number of points

    std::string Bytes() const {
        const int headerSize = minor >= 4 ? 375 : minor == 3 ? 235 : 227;
        const int length = recordLength > 0 ? recordLength : kFormatBytes[format];
        std::string bytes(static_cast<std::size_t>(headerSize + 60), '\0');
        const auto put = [&bytes](std::size_t at, auto value) {
            std::memcpy(bytes.data() + at, &value, sizeof value);
        };
        std::memcpy(bytes.data(), "LASF", 4);
        put(24, std::uint8_t{1});
        put(25, static_cast<std::uint8_t>(minor));
        put(94, static_cast<std::uint16_t>(headerSize));
        put(96, static_cast<std::uint32_t>(headerSize + 60));
        put(104, static_cast<std::uint8_t>(format));
        put(105, static_cast<std::uint16_t>(length));
        const auto count = static_cast<std::uint32_t>(points.size());
        put(107, legacyCount == UINT32_MAX ? count : legacyCount);
        for (int axis = 0; axis < 3; ++axis) {
            put(131 + 8 * axis, scale[axis]);
            put(155 + 8 * axis, offset[axis]);
        }
        if (minor >= 4) put(247, std::uint64_t{count});
        const bool extended = format >= 6;
        for (const LasPoint& p : points) {
            // Room for the whole format, cut to the length the header gives.
            std::string record(static_cast<std::size_t>(std::max(length, kFormatBytes[format])),
                               '\0');
            const auto at = [&record](std::size_t offset, auto value) {
                std::memcpy(record.data() + offset, &value, sizeof value);
            };
            at(0, p.x);
            at(4, p.y);
            at(8, p.z);
            at(12, p.intensity);
            at(14, std::uint8_t{0x12});  // return 2 of 2 (formats 0-5), return 2 (6-10)
            at(extended ? 16 : 15,
               static_cast<std::uint8_t>(extended ? 6 : 0x26));  // class 6 + flag
            const double time = -static_cast<double>(p.intensity);
            if (extended) at(22, time);
            if (format == 1 || (format >= 3 && format <= 5)) at(20, time);
            const int colour = format == 2                                  ? 20
                               : format == 3 || format == 5                 ? 28
                               : format == 7 || format == 8 || format == 10 ? 30
                                                                            : -1;
            if (colour >= 0)
                for (int c = 0; c < 3; ++c)
                    at(static_cast<std::size_t>(colour + 2 * c),
                       static_cast<std::uint16_t>(p.intensity + c));
            if (format == 8 || format == 10) at(36, static_cast<std::uint16_t>(p.intensity * 2));
            bytes += record.substr(0, static_cast<std::size_t>(length));
        }
        return bytes;
    }
};

class LasFormats : public testing::TestWithParam<int> {};

TEST_P(LasFormats, ReadScaledCoordinatesAndNameTheirFields) {
    const int format = GetParam();
    LasFile las;
    las.format = format;
    las.minor = format >= 6 ? 4 : 2;
    las.recordLength = kFormatBytes[format] + 3;  // extra bytes: the header's length is the stride
    if (format == 6) las.legacyCount = 0;  // a count beyond 32 bits leaves the legacy count 0
    test::TempFolder dir;
    const std::string path = dir.Write("cloud.LAS", las.Bytes());
    Reader reader;
    EXPECT_EQ(reader.Load(path), 3);
    EXPECT_EQ(reader.display.statusText, "Plotted 3 points");
    const auto records = reader.Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_NEAR(records[1][0], 500001.01, 1e-3);
    EXPECT_NEAR(records[1][1], 4000002.01, 1e-3);
    EXPECT_NEAR(records[1][2], 0.35, 1e-4);
    EXPECT_EQ(reader.store->sources, (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_TRUE(reader.store->sourcesAreVertices);
    EXPECT_EQ(reader.store->dotSizesPresent, 0);
    EXPECT_EQ(reader.store->firstJoinedRecord, 0);
    const bool coloured =
        format == 2 || format == 3 || format == 5 || format == 7 || format == 8 || format == 10;
    // Colour channels of 16 bits holding 8-bit values, as every value is at most 255.
    const std::vector<std::uint32_t> eightBit = {0xFF050607, 0xFF090A0B, 0xFF070809};
    EXPECT_EQ(reader.store->colours, coloured ? eightBit : std::vector<std::uint32_t>());
    if (coloured) {
        // One value above 255 makes them all 16-bit ones, those read before it too.
        las.points[2].intensity = 60000;
        reader.Load(dir.Write("wide.las", las.Bytes()));
        EXPECT_EQ(reader.store->colours,
                  (std::vector<std::uint32_t>{0xFF000000, 0xFF000000, 0xFFE9E9E9}));
    }

    std::string failure;
    const auto example = ReadExampleRecord(path, failure, 240);
    ASSERT_TRUE(example) << failure;
    std::vector<std::string> names = {
        "X", "Y", "Z", "intensity", "return_number", "classification"};
    std::vector<std::string> values = {"500001", "4000002", "0.3", "5", "2", "6"};
    if (format != 0 && format != 2) {
        names.push_back("gps_time");
        values.push_back("-5");
    }
    if (coloured) {
        names.insert(names.end(), {"red", "green", "blue"});
        values.insert(values.end(), {"5", "6", "7"});
    }
    if (format == 8 || format == 10) {
        names.push_back("nir");
        values.push_back("10");
    }
    EXPECT_EQ(example->names, names);
    EXPECT_EQ(example->fields, values);

    // The intensity as dot size, chosen by its number; past the limit points are only counted.
    reader.input.fields.DotIndex = 4;
    reader.input.fields.RecordLimit = 2;
    reader.Load(path);
    EXPECT_EQ(reader.display.statusText, "Plotted 2 of 3 points (limit)");
    EXPECT_EQ(reader.store->dotSizesPresent, 1);
    EXPECT_EQ(reader.store->points[0].SizeClass(), 6);
    EXPECT_EQ(reader.store->points[1].SizeClass(), 0);
}

INSTANTIATE_TEST_SUITE_P(ZeroToTen, LasFormats, testing::Range(0, 11));

struct Refusal {
    const char* name;
    std::string fileName;
    std::string bytes;
    std::string reason;
};

std::vector<Refusal> Refusals() {
    const auto edited = [](auto edit) {
        LasFile las;
        edit(las);
        return las.Bytes();
    };
    const auto patched = [](std::string bytes, std::size_t at, std::string with) {
        bytes.replace(at, with.size(), with);
        return bytes;
    };
    const std::string plain = LasFile().Bytes();
    return {
        {"CompressedFormatByte", "a.las", patched(plain, 104, "\x83"),
         "compressed LAZ is not supported; convert it to LAS"},
        {"LazName", "a.laz", plain, "compressed LAZ is not supported; convert it to LAS"},
        {"NoSignature", "a.las", patched(plain, 0, "LASX"),
         "not a LAS file: it does not begin with 'LASF'"},
        {"Tiny", "a.las", "LASF\1\2", "the file ends in its header"},
        {"Version2", "a.las", patched(plain, 24, "\2"), "unknown LAS version 2.2"},
        {"Format11", "a.las", patched(plain, 104, "\x0b"), "unknown point format 11"},
        {"HeaderTooShort", "a.las", patched(plain, 94, std::string("\xe2\0", 2)),
         "the header size 226 is below the 227 bytes of LAS 1.2"},
        {"OffsetBeyondTheFile", "a.las", patched(plain, 96, std::string("\xff\xff\0\0", 4)),
         "the point data offset 65535 lies outside the file's 347 bytes after its header"},
        {"RecordShorterThanItsFormat", "a.las",
         edited([](LasFile& l) { l.format = 3, l.recordLength = 30; }),
         "the point record length 30 is shorter than the 34 bytes of point format 3"},
        {"CountsDisagree", "a.las", edited([](LasFile& l) { l.minor = 4, l.legacyCount = 2; }),
         "the header's point counts disagree: 2 and 3"},
        {"BodyCutShort", "a.las", plain.substr(0, plain.size() - 1),
         "the file ends after 2 of 3 points"},
        {"ScaleZero", "a.las", edited([](LasFile& l) { l.scale[1] = 0.0; }),
         "the Y scale factor is not a usable number"},
    };
}

class LasRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(LasRefusals, NameTheirReasonAndShowTheBuiltInData) {
    const Refusal& r = GetParam();
    test::TempFolder dir;
    const std::string path = dir.Write(r.fileName, r.bytes);
    Reader reader;
    reader.Load(path);
    EXPECT_EQ(reader.display.statusText, CannotReadStatusText(path, r.reason));
    EXPECT_TRUE(reader.store->defaultDataLoaded);
    EXPECT_EQ(reader.recent.latest, "");
}

INSTANTIATE_TEST_SUITE_P(Table, LasRefusals, testing::ValuesIn(Refusals()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ocuvis
