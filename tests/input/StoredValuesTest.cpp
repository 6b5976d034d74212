// What the readers store, against values worked out from the file's own bytes by other means: the
// C library's conversion for text, the bytes themselves for binary PLY. Also the extent the
// readers take while storing, against a walk over what they stored.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ReaderTestSupport.h"
#include "input/ByteStream.h"
#include "input/ClassicTextReader.h"
#include "input/PlyReader.h"
#include "input/RecordSink.h"

namespace ocuvis {
namespace {

bool SameBits(const DataPoint& a, const DataPoint& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Reads bytes with one reader into a store of its own.
struct Read {
    template <typename ReaderType>
    Read(const std::string& bytes, std::int32_t limit, std::int32_t dotIndex, ReaderType*) {
        fields.DotIndex = dotIndex;
        const std::unique_ptr<LoadProgress> progress = SilentProgressFactory().Create("");
        RecordSink sink(store, fields, sampler, limit, *progress);
        std::unique_ptr<ByteStream> stream = ByteStream::FromMemory(bytes);
        ReaderType reader(sink);
        failure = reader.Read(*stream);
        counts = sink.counts;
        extent = sink.extent;
    }
    // The extent as a walk over the store finds it.
    bool ExtentHolds() const {
        PointExtent walked;
        for (const DataPoint& p : store.points)
            walked.Take(p);
        return walked.seeded == extent.seeded && SameBits(walked.minimum, extent.minimum) &&
               SameBits(walked.maximum, extent.maximum);
    }

    PointStore store;
    FileInputFields fields;
    SampleGenerator sampler;
    std::string failure;
    LoadCounts counts;
    PointExtent extent;
};

// A field of the text layout as the C library reads it: a number only when the whole field is
// one, and within the float range once narrowed; otherwise the missing value.
float Expected(const std::string& field) {
    char* end = nullptr;
    const double value = std::strtod(field.c_str(), &end);
    const auto narrowed = static_cast<float>(value);
    return *end == '\0' && std::isfinite(narrowed) ? narrowed : MissingValue;
}

// Up to 24 digits with the point anywhere, signs, exponents that keep the value exact or take it
// past the double range, and fields that are no number.
std::string RandomField(std::mt19937& random) {
    const auto pick = [&random](int n) { return static_cast<int>(random() % n); };
    if (pick(20) == 0) return pick(2) ? "1x" : "abc";
    std::string field = pick(3) == 0 ? std::string(1, "+-"[pick(2)]) : "";
    const int digits = 1 + pick(24), point = pick(4) == 0 ? -1 : pick(digits + 1);
    for (int i = 0; i < digits; ++i) {
        if (i == point) field.push_back('.');
        field.push_back(static_cast<char>('0' + (pick(5) ? pick(10) : 0)));
    }
    if (point == digits) field.push_back('.');
    if (pick(3) == 0) field.append(pick(2) ? "e" : "E-").append(std::to_string(pick(420)));
    return field;
}

TEST(StoredValues, TextFieldsAreTheNumbersTheCLibraryReadsEveryLineAcrossBufferEnds) {
    std::mt19937 random(2026);
    std::string file;
    std::vector<DataPoint> expected;
    const char* const delimiters[] = {" ", ",", "\t", ", ", " \t "};
    // Long enough to cross the stream's buffer ends many times.
    for (int line = 0; line < 12000; ++line) {
        std::string fields[4];
        for (std::string& field : fields)
            field = RandomField(random);
        for (int i = 0; i < 4; ++i)
            file += fields[i] + (i < 3 ? delimiters[random() % 5] : "\n");
        expected.push_back(
            {Expected(fields[0]), Expected(fields[1]), Expected(fields[2]), Expected(fields[3])});
    }
    const Read read(file, 1000000, 4, static_cast<ClassicTextReader*>(nullptr));
    ASSERT_EQ(read.store.points.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_TRUE(SameBits(read.store.points[i], expected[i])) << "line " << i + 1;
    EXPECT_TRUE(read.ExtentHolds());
}

// Vertices in runs of any length: the limit can fall anywhere in a run, and the vertices after it
// are counted, not stored.
TEST(StoredValues, BinaryPlyVerticesAreTheirBytesUpToTheLimitInEitherByteOrder) {
    constexpr int kVertices = 1300;
    for (const bool big : {false, true}) {
        std::string file = std::string("ply\nformat binary_") + (big ? "big" : "little") +
                           "_endian 1.0\nelement vertex " + std::to_string(kVertices) +
                           "\nproperty short a\nproperty float x\nproperty double y\n"
                           "property int z\nproperty float s\nend_header\n";
        std::vector<std::array<double, 4>> values;
        for (int i = 0; i < kVertices; ++i) {
            const float x = i % 97 == 0 ? NAN : std::ldexp(static_cast<float>(i) - 600.5f, i % 40);
            const double y = std::sin(i) * 1e30 + (i % 50 == 0 ? 1e300 : 0.0);
            const std::int32_t z = i * 1000003 - 600000000;
            test::Put(file, static_cast<std::int16_t>(i), big);
            test::Put(file, x, big);
            test::Put(file, y, big);
            test::Put(file, z, big);
            test::Put(file, static_cast<float>(i % 7), big);
            values.push_back({x, y, static_cast<double>(z), static_cast<double>(i % 7)});
        }
        // Less the file's origin, in double; not a number, and beyond the float range: the
        // missing value.
        const auto expected = [&values](const PointStore& store, std::size_t i) {
            const auto stored = [](double value, double origin) {
                const double shifted = value - origin;
                return std::isnan(shifted) || std::fabs(shifted) > 1e39
                           ? MissingValue
                           : static_cast<float>(shifted);
            };
            const std::array<double, 4>& v = values[i];
            return DataPoint{stored(v[0], store.origin[0]), stored(v[1], store.origin[1]),
                             stored(v[2], store.origin[2]), stored(v[3], 0.0)};
        };
        for (const std::int32_t limit : {1, 511, 512, 513, kVertices, 5000}) {
            const Read read(file, limit, 5, static_cast<PlyReader*>(nullptr));
            ASSERT_EQ(read.failure, "");
            const std::size_t stored = std::min<std::size_t>(limit, kVertices);
            ASSERT_EQ(read.store.points.size(), stored) << limit;
            for (std::size_t i = 0; i < stored; ++i)
                ASSERT_TRUE(SameBits(read.store.points[i], expected(read.store, i)))
                    << big << " " << i;
            EXPECT_EQ(read.counts.pointsFound, kVertices) << limit;
            EXPECT_EQ(read.counts.passes, static_cast<std::int64_t>(stored)) << limit;
            EXPECT_TRUE(read.ExtentHolds()) << limit;
        }
    }
}

}  // namespace
}  // namespace ocuvis
