// The delimited text reader (.csv, .xyz), through the loader: how rows split into fields, which
// rows are points, what is skipped and counted, and what the status says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReaderTestSupport.h"
#include "TestSupport.h"
#include "input/DelimitedText.h"

namespace ocuvis {
namespace {

using test::Reader;
using Records = std::vector<std::vector<double>>;

TEST(DelimitedRow, SplitsAsSpreadsheetsAndScannersWriteRows) {
    using Fields = std::vector<std::string>;
    const std::pair<std::string, Fields> cases[] = {
        {"1,2,3", {"1", "2", "3"}},
        {"1;2;3", {"1", "2", "3"}},
        {"1\t2\t3", {"1", "2", "3"}},
        {"  1   2  3  ", {"1", "2", "3"}},
        {"1 , 2 ;3", {"1", "2", "3"}},
        // One separator each: a run of them encloses empty fields.
        {"1,,3", {"1", "", "3"}},
        {",2,3,", {"", "2", "3", ""}},
        {"1\t\t3", {"1", "", "3"}},
        {"\"1.5\",\"2\",\"3\"", {"1.5", "2", "3"}},
        {"\"a, b\";\"say \"\"hi\"\"\" ,c", {"a, b", "say \"hi\"", "c"}},
        {"\"\",\"\"", {"", ""}},
        {"   ", {}},
    };
    DelimitedRow row;
    for (const auto& [text, expected] : cases) {
        row.Split(text, 20);
        Fields fields;
        for (std::size_t i = 0; i < row.size(); ++i)
            fields.push_back(row[i].text);
        EXPECT_EQ(fields, expected) << text;
    }
    row.Split("1,2,3,4,5", 3);
    EXPECT_EQ(row.size(), 3u);
}

TEST(DelimitedHeaderNames, AFirstRowIsAHeaderOnlyWhenAFieldIsNoNumber) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(DelimitedHeaderNames("x,\"depth, m\",z"), (Names{"x", "depth, m", "z"}));
    EXPECT_EQ(DelimitedHeaderNames("id;east;;north"), (Names{"id", "east", "", "north"}));
    for (const char* data : {"\"2019\",\"2020\",\"2021\"", "1,,3", "1 2 3 !label", "4;5;6"})
        EXPECT_FALSE(DelimitedHeaderNames(data)) << data;
}

struct RowCase {
    const char* name;
    std::string fileName;
    std::string content;
    Records records;
    std::string status;
    FileInputFields fields = {};
    int dotSizes = 0;
};

const char* const kNamed = "id,Z,y,X\n1,2,3,4\n5,6,7,8\n";

FileInputFields NumberedAxes() {
    FileInputFields fields;
    fields.AxesByName = false;
    return fields;
}

std::vector<RowCase> RowCases() {
    std::string wide;  // three rows of 800 numbers; x runs 1, 2, 3
    for (int row = 1; row <= 3; ++row) {
        wide += std::to_string(row);
        for (int i = 1; i < 800; ++i) {
            wide += ',';
            wide += std::to_string(10000 + i);
        }
        wide += "\n";
    }
    return {
        {"ByteOrderMark",
         "a.csv",
         "\xEF\xBB\xBF"
         "1,2,3\n4,5,6\n",
         {{1, 2, 3}, {4, 5, 6}},
         "Plotted 2 points"},
        {"ByteOrderMarkBeforeAHeader",
         "a.csv",
         "\xEF\xBB\xBFx,y,z\n1,2,3\n4,5,6\n",
         {{1, 2, 3}, {4, 5, 6}},
         "Plotted 2 points"},
        {"WideRows",
         "a.csv",
         wide,
         {{1, 10001, 10002}, {2, 10001, 10002}, {3, 10001, 10002}},
         "Plotted 3 points"},
        {"EmptyFieldsKeepTheirColumn",
         "a.csv",
         "1,,3\n4,5,6\n7,8,\n9,10,11\n",
         {{4, 5, 6}, {9, 10, 11}},
         "Plotted 2 points, 2 rows skipped"},
        {"WordsAreSkippedNotPlotted",
         "a.xyz",
         "1 2 3\nn/a 5 6\n7 8 9\n4 5\n",
         {{1, 2, 3}, {7, 8, 9}},
         "Plotted 2 points, 2 rows skipped"},
        // Blank lines lift the pen; '#' lines are nothing at all.
        {"CommentsAndBreaks",
         "a.csv",
         "# site 4\nx,y,z\n1,2,3\n# between\n4,5,6\n\n7,8,9\n",
         {{1, 2, 3}, {4, 5, 6}, {}, {7, 8, 9}},
         "Plotted 3 points"},
        // A scanner's intensity is no dot size; a field chosen for them is.
        {"FourthColumnIsNoDotSize",
         "a.xyz",
         "0 0 0 10\n1 1 1 250\n",
         {{0, 0, 0}, {1, 1, 1}},
         "Plotted 2 points"},
        {"DotSizesFromAChosenField",
         "a.xyz",
         "0 0 0 250\n1 1 1 10\n",
         {{0, 0, 0}, {1, 1, 1}},
         "Plotted 2 points",
         {1, 2, 3, 4},
         1},
        // Named axes by default; the field numbers when asked.
        {"NamedHeaderGivesTheAxes", "a.csv", kNamed, {{4, 3, 2}, {8, 7, 6}}, "Plotted 2 points"},
        {"NamedHeaderByNumbers",
         "a.csv",
         kNamed,
         {{1, 2, 3}, {5, 6, 7}},
         "Plotted 2 points",
         NumberedAxes()},
    };
}

class DelimitedRows : public testing::TestWithParam<RowCase> {};

TEST_P(DelimitedRows, ReadAsTheirFieldsSay) {
    const RowCase& c = GetParam();
    test::TempFolder dir;
    Reader reader;
    reader.input.fields = c.fields;
    reader.Load(dir.Write(c.fileName, c.content));
    EXPECT_EQ(reader.display.statusText, c.status);
    test::ExpectRecords(reader.Records(), c.records, 2e-3);
    EXPECT_EQ(reader.store->dotSizesPresent, c.dotSizes);
    // The largest dot is in the first record: class 0 only when the dot comes from its field.
    if (c.dotSizes) {
        EXPECT_EQ(reader.store->points[0].SizeClass(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DelimitedRows, testing::ValuesIn(RowCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DelimitedText, AFileWithoutAPointSaysSoAndShowsNoPictureOfItsOwn) {
    test::TempFolder dir;
    Reader reader;
    const std::string path = dir.Write("europe.csv", "1,5;2,5\n3,5;4,5\n");
    reader.input.fields.ZIndex = 0;
    reader.input.fields.XIndex = 2;
    reader.input.fields.YIndex = 5;
    reader.input.fields.AxesByName = false;
    reader.Load(dir.Write("none.csv", "a;b\nx;y\n"));
    EXPECT_EQ(reader.display.statusText,
              "No points in " + dir.Path("none.csv") + ": no row had numbers in fields 2 and 5");
    reader.input.fields = {};
    reader.Load(dir.Write("words.csv", "name,place,kind\nfir,north,tree\n"));
    EXPECT_EQ(reader.display.statusText, "No points in " + dir.Path("words.csv") +
                                             ": no row had numbers in fields 1, 2 and 3");
    EXPECT_TRUE(reader.store->defaultDataLoaded);
    EXPECT_FALSE(reader.loader.outcome().opened);
    EXPECT_EQ(reader.recent.latest, dir.Path("words.csv"));
    // A decimal comma splits each number in two: fields 1, 2, 3 are 1, 5 and 2.
    reader.Load(path);
    EXPECT_EQ(reader.display.statusText, "Plotted 2 points");
}

TEST(DelimitedText, CountsPastTheLimitOnlyRowsWithPoints) {
    test::TempFolder dir;
    Reader reader;
    reader.input.fields.RecordLimit = 2;
    reader.Load(dir.Write("a.csv",
                          "1,2,3\n4,5,6\n# a comment\n  # another\n7,8,9\n,8,9\n\n"
                          "\"10\",\"11\",\"12\"\n13,14,x\n"));
    EXPECT_EQ(reader.display.statusText, "Plotted 2 of 4 points (limit), 2 rows skipped");
}

}  // namespace
}  // namespace ocuvis
