// Colours read beside the points: which fields give them, how each kind's values scale to
// 8 bits, the field chosen to colour by, and no colour cells at all for a file without colours.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ReaderTestSupport.h"
#include "TestSupport.h"

namespace ocuvis {
namespace {

constexpr const char* kPlyHead =
    "ply\nformat ascii 1.0\nelement vertex 2\n"
    "property float x\nproperty float y\nproperty float z\n";

struct CellCase {
    const char* name;
    const char* file;
    std::string content;
    FileInputFields fields;
    PointStore::ColourColumn column;
    std::vector<std::uint32_t> cells;  // colours as 0xFFRRGGBB, or float bits of values
};

std::uint32_t Bits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

FileInputFields Chosen(int red, int green, int blue, int value = 0) {
    FileInputFields fields;
    fields.RedIndex = red;
    fields.GreenIndex = green;
    fields.BlueIndex = blue;
    fields.ValueIndex = value;
    return fields;
}

using Column = PointStore::ColourColumn;

// Binary vertices come to the reader in runs of columns, not one at a time.
std::string BinaryPly() {
    std::string file =
        "ply\nformat binary_big_endian 1.0\nelement vertex 2\nproperty double x\n"
        "property double y\nproperty double z\nproperty uchar red\nproperty uchar green\n"
        "property uchar blue\nproperty int label\nend_header\n";
    for (const int i : {1, 2}) {
        for (int axis = 0; axis < 3; ++axis)
            test::Put(file, 596648.0 + i, true);
        for (const int channel : {10, 20, 30})
            test::Put(file, static_cast<std::uint8_t>(channel * i), true);
        test::Put(file, std::int32_t{7}, true);
    }
    return file;
}

std::vector<CellCase> Cases() {
    return {
        {"PlyBinaryFarOff", "a.ply", BinaryPly(), {}, Column::Rgb, {0xFF0A141E, 0xFF14283C}},
        {"PlyUchar",
         "a.ply",
         std::string(kPlyHead) +
             "property uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n"
             "0 0 0 10 20 30\n1 1 1 255 0 128\n",
         {},
         Column::Rgb,
         {0xFF0A141E, 0xFFFF0080}},
        {"PlyUshortDiffuse",
         "a.ply",
         std::string(kPlyHead) +
             "property ushort diffuse_red\nproperty ushort diffuse_green\n"
             "property ushort diffuse_blue\nend_header\n0 0 0 65535 0 25700\n1 1 1 257 514 0\n",
         {},
         Column::Rgb,
         {0xFFFF0064, 0xFF010200}},
        {"PlyFloatHeldTo0To1",
         "a.ply",
         std::string(kPlyHead) +
             "property float r\nproperty float g\nproperty float b\nend_header\n"
             "0 0 0 1 0.5 0\n1 1 1 2 -1 0.2\n",
         {},
         Column::Rgb,
         {0xFFFF8000, 0xFFFF0033}},
        {"PlyEdgesCarryTheirEndsColours",
         "a.ply",
         "ply\nformat ascii 1.0\nelement vertex 2\nproperty float x\nproperty float y\n"
         "property float z\nproperty uchar red\nproperty uchar green\nproperty uchar blue\n"
         "element edge 1\nproperty int vertex1\nproperty int vertex2\nend_header\n"
         "0 0 0 1 2 3\n1 1 1 4 5 6\n1 0\n",
         {},
         Column::Rgb,
         {0xFF010203, 0xFF040506, 0, 0xFF040506, 0xFF010203}},
        {"CsvNamedAnyCaseHeldTo0To255",
         "a.csv",
         "x,y,z,Red,GREEN,blue\n0,0,0,300,-5,7\n1,1,1,1,2,3\n",
         {},
         Column::Rgb,
         {0xFFFF0007, 0xFF010203}},
        {"CsvRgbEmptyReads0BlankRowABreak",
         "a.xyz",
         "x y z r g b\n0 0 0 9 8 7\n\n1 1 1 1 x 3\n",
         {},
         Column::Rgb,
         {0xFF090807, 0, 0xFF010003}},
        {"CsvChosenFields",
         "a.csv",
         "x,y,z,a,b,c\n0,0,0,1,2,3\n1,1,1,4,5,6\n",
         Chosen(6, 5, 4),
         Column::Rgb,
         {0xFF030201, 0xFF060504}},
        {"CsvColourByAFieldKeepsItsValues",
         "a.csv",
         "x,y,z,red,green,blue,w\n0,0,0,1,2,3,0.25\n1,1,1,4,5,6,-7\n",
         Chosen(0, 0, 0, 7),
         Column::Value,
         {Bits(0.25f), Bits(-7.0f)}},
        {"CsvWithoutColoursHasNoCells",
         "a.csv",
         "x,y,z,red,green\n0,0,0,1,2\n1,1,1,3,4\n",
         {},
         Column::None,
         {}},
    };
}

class ColourCells : public testing::TestWithParam<CellCase> {};

TEST_P(ColourCells, HoldTheFilesColoursInEightBits) {
    const CellCase& c = GetParam();
    test::TempFolder dir;
    test::Reader reader;
    reader.input.fields = c.fields;
    reader.Load(dir.Write(c.file, c.content));
    EXPECT_EQ(reader.store->colourColumn, c.column);
    EXPECT_EQ(reader.store->colours, c.cells);
    // A later file without colours leaves none behind.
    reader.input.fields = {};
    reader.Load(dir.Write("plain.csv", "1,2,3\n4,5,6\n"));
    EXPECT_EQ(reader.store->colourColumn, Column::None);
    EXPECT_TRUE(reader.store->colours.empty());
}

INSTANTIATE_TEST_SUITE_P(Table, ColourCells, testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ocuvis
