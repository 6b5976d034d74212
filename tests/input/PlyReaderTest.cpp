// The PLY and delimited text readers, through the loader: what they store, what they refuse and
// how the refusal reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "input/DataFileKind.h"
#include "input/DataFileLoader.h"
#include "input/StatusText.h"

namespace ocuvis {
namespace {

struct NoScaling final : ScaleReset {
    void AutoScale(bool) override {}
    void RestoreScaleSettings() override {}
};

struct Reader {
    std::int32_t Load(const std::string& path) {
        return store->pointCount = loader.LoadDataFile(path);
    }
    // The records as data values again, breaks as they are.
    std::vector<std::vector<float>> Records() const {
        std::vector<std::vector<float>> records;
        for (std::int32_t i = 0; i < store->HeldCount(store->pointCount); ++i) {
            const DataPoint& p = store->points[static_cast<std::size_t>(i)];
            if (p.IsBreak()) {
                records.push_back({});
                continue;
            }
            records.push_back({(p.x - graph.xdataShift) / graph.xdataScale,
                               (p.y - graph.ydataShift) / graph.ydataScale,
                               (p.z - graph.zdataShift) / graph.zdataScale});
        }
        return records;
    }

    std::unique_ptr<PointStore> store = std::make_unique<PointStore>();
    GraphRecord graph;
    GraphViewState view;
    SilentProgressFactory progress;
    FixedLoaderInput input;
    MemoryRecentFiles recent;
    NoScaling scaling;
    TextLoadDisplay display;
    DataFileLoader loader{*store, graph, view,
                          LoaderServices{progress, input, recent, scaling, display}};
};

template <typename T>
void Put(std::string& bytes, T value, bool bigEndian) {
    char raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof raw);
    if (bigEndian) std::reverse(raw, raw + sizeof raw);
    bytes.append(raw, sizeof raw);
}

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

std::vector<std::vector<float>> Expected(std::initializer_list<std::vector<float>> records) {
    return records;
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
    const std::vector<float> v0 = {1.5f, -2.0f, 3.0f}, v1 = {4.0f, 5.25f, -6.0f},
                             v2 = {7.0f, 8.0f, 9.0f};
    const auto records = reader.Records();
    ASSERT_EQ(records.size(), 10u);
    const auto expected = Expected({v0, v1, v2, {}, v0, v1, v2, {}, v0, v2});
    for (std::size_t i = 0; i < records.size(); ++i) {
        ASSERT_EQ(records[i].size(), expected[i].size()) << "record " << i;
        for (std::size_t k = 0; k < records[i].size(); ++k)
            EXPECT_NEAR(records[i][k], expected[i][k], 1e-4) << "record " << i;
    }
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
    EXPECT_NEAR(reader.Records()[2][0], 30.0f, 1e-4);
    EXPECT_NEAR(reader.Records()[2][1], 8.0f, 1e-4);
    EXPECT_NEAR(reader.Records()[2][2], 7.0f, 1e-4);
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
        {"LimitCutsVertices", "a.ply", BinaryVertices(3), "", "Plotted 2 of 3 points (limit)", 2},
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

// '#' lines are comments and no breaks, the first row of names is a header, quoted names keep
// their delimiters; blank lines are breaks as in the field layout.
TEST(DelimitedText, CommentsAndAHeaderRow) {
    test::TempFolder dir;
    const std::string path =
        dir.Write("survey.csv",
                  "# site 4\n  # calibrated\nx,\"depth, m\",z\n1,2,3\n# between\n4,5,6\n\n7,8,9\n");
    Reader reader;
    reader.Load(path);
    EXPECT_EQ(reader.display.statusText, "Plotted 3 points");
    const auto records = reader.Records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_NEAR(records[1][0], 4.0f, 1e-4);
    EXPECT_TRUE(records[2].empty());

    std::string failure;
    const auto example = ReadExampleRecord(path, failure, 80);
    ASSERT_TRUE(example);
    EXPECT_EQ(example->text, "1,2,3");
    EXPECT_EQ(example->names, (std::vector<std::string>{"x", "depth, m", "z"}));

    // A first line of numbers is data, not names; a label line is no header either.
    const std::string plain = dir.Write("plain.xyz", "1 2 3 !top\n4 5 6\n7 8 9\n");
    reader.Load(plain);
    EXPECT_EQ(reader.display.statusText, "Plotted 2 points");
    EXPECT_EQ(reader.store->labelCount, 1);
    EXPECT_TRUE(ReadExampleRecord(plain, failure, 80)->names.empty());
}

}  // namespace
}  // namespace ocuvis
