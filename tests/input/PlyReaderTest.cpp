// The PLY and delimited text readers, through the loader: what they store, what they refuse and
// how the refusal reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "ReaderTestSupport.h"
#include "TestSupport.h"
#include "input/ByteStream.h"
#include "input/DataFileKind.h"
#include "input/DataFileReader.h"
#include "input/PlyFormat.h"
#include "input/StatusText.h"

namespace ocuvis {
namespace {

using test::Put;
using test::Reader;

std::string Header(const std::string& format, const std::string& elements) {
    return "ply\nformat " + format + " 1.0\ncomment made by a test\n" + elements + "end_header\n";
}

const std::string kXyz = "property float x\nproperty float y\nproperty float z\n";

// Three vertices of float x y z, little-endian, the first count of them written.
std::string BinaryVertices(int written, const std::string& extra = "") {
    std::string file = Header("binary_little_endian", "element vertex 3\n" + kXyz);
    for (int i = 0; i < written * 3; ++i)
        Put(file, static_cast<float>(i), false);
    return file + extra;
}

// Each format holds the same file: a material before the vertices, vertices of mixed types in
// the order y x z, faces as lists, and edges, of which the second goes on from the first.
class PlyFormats : public testing::TestWithParam<std::string> {};

TEST_P(PlyFormats, ReadVerticesThenEdgesAndSkipEverythingElse) {
    const std::string format = GetParam();
    const bool big = format == "binary_big_endian";
    std::string file = Header(format,
                              "element material 1\nproperty float shine\n"
                              "element vertex 3\nproperty float y\nproperty double x\n"
                              "property short z\nproperty uchar intensity\n"
                              "element face 2\nproperty list uchar int vertex_indices\n"
                              "element edge 3\nproperty int vertex1\nproperty int vertex2\n");
    const float y[] = {-2.0f, 5.25f, 8.0f};
    const double x[] = {1.5, 4.0, 7.0};
    const short z[] = {3, -6, 9};
    const std::vector<std::vector<int>> faces = {{0, 1, 2}, {2, 1, 0, 0}};
    const int edges[][2] = {{0, 1}, {1, 2}, {0, 2}};
    if (format == "ascii") {
        file += "0.5\n-2 1.5 3 10\n5.25 4 -6 20\n8 7 9 30\n3 0 1 2\n4 2 1 0 0\n0 1\n1 2\n0 2\n";
    } else {
        Put(file, 0.5f, big);
        for (int i = 0; i < 3; ++i) {
            Put(file, y[i], big);
            Put(file, x[i], big);
            Put(file, z[i], big);
            Put(file, static_cast<unsigned char>(10 * (i + 1)), big);
        }
        for (const std::vector<int>& face : faces) {
            Put(file, static_cast<unsigned char>(face.size()), big);
            for (int index : face)
                Put(file, index, big);
        }
        for (const auto& edge : edges) {
            Put(file, edge[0], big);
            Put(file, edge[1], big);
        }
    }
    test::TempFolder dir;
    Reader reader;
    EXPECT_EQ(reader.Load(dir.Write("mesh.PLY", file)), 10);
    EXPECT_EQ(reader.display.statusText, "Plotted 3 points");
    const std::vector<double> v0 = {1.5, -2, 3}, v1 = {4, 5.25, -6}, v2 = {7, 8, 9};
    test::ExpectRecords(reader.Records(), {v0, v1, v2, {}, v0, v1, v2, {}, v0, v2}, 1e-5);
    EXPECT_EQ(reader.store->dotSizesPresent, 0);
    EXPECT_EQ(reader.recent.latest, dir.Path("mesh.PLY"));

    // Field numbers, the axes not taken by name, pick properties by their place, dot size
    // included.
    reader.input.fields.AxesByName = false;
    reader.input.fields.XIndex = 4;
    reader.input.fields.YIndex = 1;
    reader.input.fields.ZIndex = 2;
    reader.input.fields.DotIndex = 3;
    reader.Load(dir.Path("mesh.PLY"));
    test::ExpectRecords({reader.Records()[2]}, {{30, 8, 7}}, 1e-5);
    EXPECT_EQ(reader.store->dotSizesPresent, 1);

    std::string failure;
    const auto example = ReadExampleRecord(dir.Path("mesh.PLY"), failure, 80);
    ASSERT_TRUE(example) << failure;
    EXPECT_EQ(example->text, "-2 1.5 3 10");
    EXPECT_EQ(example->names, (std::vector<std::string>{"y", "x", "z", "intensity"}));
}

INSTANTIATE_TEST_SUITE_P(AllThree, PlyFormats,
                         testing::Values("ascii", "binary_little_endian", "binary_big_endian"));

// Hostile and awkward files: a failure shows the built-in data with its reason and leaves the
// recent files alone; the rest load with the status they must show.
struct BadInput {
    const char* name;
    std::string fileName;
    std::string content;
    std::string reason;  // empty when the file loads
    std::string status;
    std::int32_t recordLimit = kRecordLimit;
};

std::vector<BadInput> BadInputs() {
    std::string longHeader = "ply\nformat ascii 1.0\n";
    for (int i = 0; i < 1000000; ++i)
        longHeader += "comment\n";
    std::string wideCsv;
    for (int i = 0; i < 10000; ++i) {
        if (i > 0) wideCsv += ',';
        wideCsv += "column";
        wideCsv += std::to_string(i);
    }
    wideCsv += "\n1,2,3\n4,5,6\n";
    std::string bigEndianFaces = Header("binary_big_endian", "element vertex 3\n" + kXyz +
                                                                 "element face 2\n"
                                                                 "property list uchar int v\n");
    for (int i = 0; i < 9; ++i)
        Put(bigEndianFaces, static_cast<float>(i), true);
    bigEndianFaces += std::string("\x03\0\0\0\0\0\0\0\x01\0\0\0\x02\x04", 14);
    std::string edges = BinaryVertices(3);
    edges.replace(edges.find("end_header"), 0,
                  "element edge 2\nproperty int vertex1\n"
                  "property int vertex2\n");
    for (int index : {0, 1, 1, 3})
        Put(edges, index, false);
    std::string chained = BinaryVertices(3);
    chained.replace(chained.find("end_header"), 0,
                    "element edge 2\nproperty uchar vertex1\n"
                    "property uchar vertex2\n");
    chained += std::string("\x00\x01\x01\x02", 4);
    const std::string ascii = Header("ascii", "element vertex 3\n" + kXyz);
    return {
        {"HeaderCutShort", "a.ply", "ply\nformat ascii 1.0\nelement vertex 2\n",
         "the file ends in its header", ""},
        {"MillionLineHeader", "a.ply", longHeader, "the header does not end within 100000 lines",
         ""},
        {"BinaryBodyCutShort", "a.ply", BinaryVertices(2), "the file ends after 2 of 3 vertices",
         ""},
        {"AsciiBodyCutShort", "a.ply", ascii + "0 1 2\n3 4 5\n",
         "the file ends after 2 of 3 vertices", ""},
        {"FaceListCutShort", "a.ply", bigEndianFaces, "the file ends after 1 of 2 'face' items",
         ""},
        {"VertexCountBeyondTheFile", "a.ply",
         Header("binary_little_endian", "element vertex 1099511627776\n" + kXyz),
         "the header declares 1099511627776 vertices, more than the file can hold", ""},
        {"UnknownType", "a.ply", "ply\nformat ascii 1.0\nelement vertex 1\nproperty int64 x\n",
         "line 4: unknown property type 'int64'", ""},
        {"ListInVertex", "a.ply",
         Header("ascii", "element vertex 1\n" + kXyz + "property list uchar int n\n") + "1 2 3 0\n",
         "the vertex element has a list property 'n'", ""},
        {"BytesBeyondTheCounts", "a.ply", BinaryVertices(3, "\n\n\n\n"),
         "the file holds 4 bytes after its last element", ""},
        {"LinesBeyondTheCounts", "a.ply", ascii + "0 1 2\n3 4 5\n6 7 8\n9 10 11\n",
         "line 12: the file holds more lines than its header declares", ""},
        {"ValueMissingOnALine", "a.ply", ascii + "0 1 2\n3 4\n6 7 8\n",
         "line 10: the values do not match the properties of 'vertex'", ""},
        {"EdgeBeyondTheVertices", "a.ply", edges,
         "edge 2 joins vertex 3, but the vertices are numbered 0 to 2", ""},
        // Past the limit an ASCII body is still held to its header.
        {"AsciiBodyPastTheLimit", "a.ply", ascii + "0 1 2\n3 4 5\n6 7\n",
         "line 11: the values do not match the properties of 'vertex'", "", 2},
        // A line of an unknown keyword is a comment; a malformed property line is not.
        {"UnknownKeywordLine", "a.ply",
         "ply\nformat ascii 1.0\nby an old modeller\n" + ascii.substr(ascii.find("element")) +
             "1 2 3\n4 5 6\n7 8 9\n",
         "", "Plotted 3 points"},
        {"MalformedProperty", "a.ply", Header("ascii", "element vertex 1\nproperty float\n"),
         "line 5: a malformed property line", ""},
        // The vertices and the first edge's break and ends fill six records; the second edge
        // goes on from the first and needs one more.
        {"LimitCutsEdges", "a.ply", chained, "", "Plotted 3 of 3 points (limit)", 6},
        {"MixedLineEnds", "a.csv", "x,y,z\r\n1,2,3\n4,5,6\r\n\r7,8,9\n", "", "Plotted 3 points"},
        {"TenThousandColumnHeader", "a.xyz", wideCsv, "", "Plotted 2 points"},
    };
}

class ReaderInputs : public testing::TestWithParam<BadInput> {};

TEST_P(ReaderInputs, FailWithTheirReasonOrLoadWithTheirStatus) {
    const BadInput& input = GetParam();
    test::TempFolder dir;
    const std::string path = dir.Write(input.fileName, input.content);
    Reader reader;
    reader.input.fields.RecordLimit = input.recordLimit;
    reader.Load(path);
    if (input.reason.empty()) {
        EXPECT_EQ(reader.display.statusText, input.status);
        EXPECT_TRUE(reader.loader.outcome().opened);
        return;
    }
    EXPECT_EQ(reader.display.statusText, CannotReadStatusText(path, input.reason));
    EXPECT_FALSE(reader.loader.outcome().opened);
    EXPECT_TRUE(reader.store->defaultDataLoaded);
    EXPECT_EQ(reader.recent.latest, "");
}

INSTANTIATE_TEST_SUITE_P(Table, ReaderInputs, testing::ValuesIn(BadInputs()),
                         [](const auto& info) { return std::string(info.param.name); });

// The example record skips comments and the header row, whose quoted names keep their
// delimiters; how the rows load is the delimited reader's tests'.
TEST(DelimitedText, TheExampleRecordIsTheFirstDataRowWithTheHeaderNames) {
    test::TempFolder dir;
    std::string failure;
    const auto example = ReadExampleRecord(
        dir.Write("survey.csv", "# site 4\n  # calibrated\nx,\"depth, m\",z\n1,2,3\n4,5,6\n"),
        failure, 80);
    ASSERT_TRUE(example) << failure;
    EXPECT_EQ(example->text, "1,2,3");
    EXPECT_EQ(example->names, (std::vector<std::string>{"x", "depth, m", "z"}));

    // A first line of numbers is data, not names; a label line is no header either.
    const std::string plain = dir.Write("plain.xyz", "1 2 3 !top\n4 5 6\n7 8 9\n");
    Reader reader;
    reader.Load(plain);
    EXPECT_EQ(reader.display.statusText, "Plotted 2 points");
    EXPECT_EQ(reader.store->labelCount, 1);
    EXPECT_TRUE(ReadExampleRecord(plain, failure, 80)->names.empty());
}

// Every scalar type name in both binary byte orders, at the format level: the bytes 80 .. 01
// (most significant first) read as a different number for every size and signedness.
TEST(PlyScalarTypes, EveryNameReadsItsSizeAndSignInBothByteOrders) {
    struct Type {
        const char* names[2];
        std::string bytes;  // most significant first
        double value;
    };
    const Type types[] = {
        {{"char", "int8"}, "\x80", -128.0},
        {{"uchar", "uint8"}, "\x80", 128.0},
        {{"short", "int16"}, std::string("\x80\x01", 2), -32767.0},
        {{"ushort", "uint16"}, std::string("\x80\x01", 2), 32769.0},
        {{"int", "int32"}, std::string("\x80\0\0\x01", 4), -2147483647.0},
        {{"uint", "uint32"}, std::string("\x80\0\0\x01", 4), 2147483649.0},
        {{"float", "float32"}, "\xC0\x49\x0F\xDB", static_cast<double>(-3.14159274f)},
        {{"double", "float64"}, "\xC0\x09\x21\xFB\x54\x44\x2D\x18", -3.141592653589793},
    };
    struct Values final : PlyBodySink {
        Want Vertex(const double* values) override {
            read.push_back(values[0]);
            return Want::Values;
        }
        void Edge(std::int64_t, std::int64_t) override {}
        bool Continue(std::int64_t) override { return true; }
        std::vector<double> read;
    };
    for (const Type& type : types) {
        for (const char* name : type.names) {
            for (const bool big : {false, true}) {
                std::string file = std::string("ply\nformat binary_") + (big ? "big" : "little") +
                                   "_endian 1.0\nelement vertex 1\nproperty " + name +
                                   " v\nend_header\n";
                file += big ? type.bytes : std::string(type.bytes.rbegin(), type.bytes.rend());
                const auto stream = ByteStream::FromMemory(file);
                std::string failure;
                const auto header = ReadPlyHeader(*stream, failure);
                ASSERT_TRUE(header) << name << ": " << failure;
                Values values;
                EXPECT_EQ(ReadPlyBody(*stream, *header, {0}, values), "") << name;
                EXPECT_EQ(values.read, std::vector<double>{type.value}) << name << " " << big;
            }
        }
    }
}

std::string AsciiPly(const std::string& properties, const std::string& body,
                     const std::string& extraElements = "") {
    return "ply\nformat ascii 1.0\nelement vertex " +
           std::to_string(std::count(body.begin(), body.end(), '\n')) + "\n" + properties +
           extraElements + "end_header\n" + body;
}

// Lines come from the edge element alone: the vertices are dots, in any number of runs.
TEST(PlyLines, ComeFromTheEdgesAloneAndNotFromTheVertexOrder) {
    test::TempFolder dir;
    Reader reader;
    const std::string xyz = "property float x\nproperty float y\nproperty float z\n";
    const std::string body = "0 0 0\n1 0 0\n2 0 0\n3 0 0\n";
    std::string withEdges =
        AsciiPly(xyz, body, "element edge 2\nproperty int vertex1\nproperty int vertex2\n");
    withEdges += "0 1\n2 3\n";
    EXPECT_EQ(reader.Load(dir.Write("e.ply", withEdges)), 10);
    EXPECT_EQ(reader.store->firstJoinedRecord, 4);
    // After the dots: a break, 0, 1, a break, 2, 3. Nothing joins 1 to 2.
    const std::vector<double> v0 = {0, 0, 0}, v1 = {1, 0, 0}, v2 = {2, 0, 0}, v3 = {3, 0, 0};
    test::ExpectRecords(reader.Records(), {v0, v1, v2, v3, {}, v0, v1, {}, v2, v3}, 1e-5);

    EXPECT_EQ(reader.Load(dir.Write("d.ply", AsciiPly(xyz, body))), 4);
    EXPECT_EQ(reader.store->firstJoinedRecord, 4);
    // Other kinds join every record, as before.
    reader.Load(dir.Write("c.3d", body));
    EXPECT_EQ(reader.store->firstJoinedRecord, 0);
}

// Shared by every reader with names: PLY, delimited text and LAS.
TEST(AxisFieldNumbers, TakeXYZByNameInAnyCaseOrTheNumbersChosen) {
    using Axes = std::array<std::int32_t, 3>;
    const std::tuple<std::vector<std::string>, bool, Axes> cases[] = {
        {{"nx", "ny", "nz", "x", "y", "z"}, true, {4, 5, 6}},
        {{"nx", "ny", "nz", "X", "Y", "Z"}, true, {4, 5, 6}},
        {{"nx", "ny", "nz", "x", "y", "z"}, false, {3, 1, 2}},  // the numbers chosen
        {{"px", "py", "pz", "w", "i", "j"}, true, {1, 2, 3}},   // no x, y, z: the first three
        {{"x", "y", "w", "z", "i", "j"}, true, {1, 2, 4}},
        {{}, true, {3, 1, 2}}};
    for (const auto& [names, byName, axes] : cases) {
        FileInputFields fields{3, 1, 2};
        fields.AxesByName = byName;
        EXPECT_EQ(AxisFieldNumbers(fields, names), axes) << names.size() << " " << byName;
    }
}

// Past the limit the vertices are counted, not decoded: the header's count, or the sampled
// share of it.
TEST(PlyLimit, CountsTheRestFromTheHeaderAndKeepsEdgesToWhatTheStoreHolds) {
    test::TempFolder dir;
    // vertices of float x y z, then edges (i % 3, i % 3 + 1) of one byte each
    const auto binary = [](int vertices, int edges) {
        std::string file = "ply\nformat binary_little_endian 1.0\nelement vertex " +
                           std::to_string(vertices) +
                           "\nproperty float x\nproperty float y\nproperty float z\n"
                           "element edge " +
                           std::to_string(edges) +
                           "\nproperty uchar vertex1\nproperty uchar vertex2\nend_header\n";
        for (int i = 0; i < 3 * vertices; ++i)
            Put(file, static_cast<float>(i % 7), false);
        for (int i = 0; i < edges; ++i)
            file += std::string{static_cast<char>(i % 3), static_cast<char>(i % 3 + 1)};
        return file;
    };
    Reader reader;
    reader.input.fields.RecordLimit = 9;
    EXPECT_EQ(reader.Load(dir.Write("many.ply", binary(1000, 5000))), 9);
    EXPECT_EQ(reader.display.statusText, "Plotted 9 of 1000 points (limit)");
    reader.input.fields.SubSampleEnabled = true;
    reader.input.fields.SamplePercent = 100.0f;
    reader.Load(dir.Path("many.ply"));
    EXPECT_EQ(reader.display.statusText, "Sampled 9 of 9 = 100% (limit)");
    reader.input.fields.SubSampleEnabled = false;
    // Four vertices, then edges 0-1, 1-2, 2-3 fill the store; the rest are counted.
    EXPECT_EQ(reader.Load(dir.Write("edges.ply", binary(4, 200000))), 9);
    EXPECT_EQ(reader.display.statusText, "Plotted 4 of 4 points (limit)");
}

}  // namespace
}  // namespace ocuvis
