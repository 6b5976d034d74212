#include "input/DataFileLoader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <future>
#include <string>
#include <tuple>
#include <vector>

#include "ReaderTestSupport.h"
#include "TestSupport.h"
#include "input/SampleGenerator.h"
#include "input/StatusText.h"

namespace ocuvis {
namespace {

// The sampling generator's draws for a seed (multiplier 22695477, increment 1), computed in 128-bit
// arithmetic rather than through SampleGenerator.
std::vector<std::uint32_t> ReferenceDraws(std::uint32_t seed, std::size_t count) {
    unsigned __int128 state =
        (static_cast<unsigned __int128>(seed) * 22695477u + 1u) % (1ull << 32);
    std::vector<std::uint32_t> draws;
    for (std::size_t i = 0; i < count; ++i) {
        state = (state * 22695477u + 1u) % (static_cast<unsigned __int128>(1) << 64);
        draws.push_back(static_cast<std::uint32_t>((state >> 32) & 0x7FFFFFFFu));
    }
    return draws;
}

using Records = std::vector<std::vector<double>>;

// Line i holds x = y = i, z = 1.
std::string NumberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::to_string(i) + " " + std::to_string(i) + " 1\n";
    return text;
}

class Loader : public ::testing::Test {
  protected:
    std::int32_t LoadText(const std::string& content) {
        return h.Load(dir.Write("data.3d", content));
    }
    // The records before normalisation, a break as no values.
    void ExpectRecords(const Records& expected) {
        test::ExpectRecords(h.Records(), expected, 1e-5);
    }

    void ExpectBuiltInData() {
        EXPECT_EQ(h.store->pointCount, 4);
        EXPECT_TRUE(h.store->defaultDataLoaded);
        EXPECT_EQ(h.store->dotSizesPresent, 1);
        EXPECT_NEAR(h.DataX(h.Point(3).x), DefaultDataPoints[3].x, 1e-5);
    }

    test::TempFolder dir;
    test::Reader h;
};

TEST_F(Loader, ReadsEveryKindOfLineOfTheFieldLayout) {
    LoadText(
        "; temperature profile\n0, 0, 0\n1.5 2.5 -3E-1\n1.5 , 2.5,,4\n\n2 3\n"
        "2 3 4 !top of, run\n7\n,1,2\n1;2;3\n1/2/3\n! a comment too\n1e3, 2, 3\n"
        "  \t8 9 10\t \r\n");
    ExpectRecords({{0, 0, 0},
                   {1.5, 2.5, -0.3},
                   {1.5, 2.5, 4},
                   {},
                   {2, 3, 0},
                   {},
                   {},
                   {},
                   {},
                   {1000, 2, 3},
                   {8, 9, 10}});
    EXPECT_EQ(h.display.statusText, "Plotted 6 points");
    ASSERT_EQ(h.store->labelCount, 1);
    EXPECT_EQ(h.store->labels[0].text, "TOP OF, RUN");

    // Header words are plotted at the missing value; only the first line can make a table.
    LoadText("x, y, z\n1 2 3\nTABLE3D 1 2\n");
    EXPECT_FALSE(h.loader.table3dFile);
    ExpectRecords({{-9999.9, -9999.9, -9999.9}, {1, 2, 3}, {-9999.9, 1, 2}});
}

TEST_F(Loader, PicksFieldsByNumberAndGivesZeroBeyondTheLine) {
    struct Case {
        FileInputFields fields;
        Records expected;
    };
    const Case cases[] = {// On a two-field line z is 0 even when its field exists.
                          {{5, 1, 2}, {{5, 1, 2}, {10, 6, 7}, {0, 4, 0}}},
                          {{-1, 2, 1}, {{0, 2, 1}, {0, 7, 6}, {0, 5, 0}}},
                          {{6, 3, 0}, {{0, 3, 0}, {0, 8, 0}, {0, 0, 0}}}};
    for (const Case& c : cases) {
        h.input.fields = c.fields;
        LoadText("1 2 3 4 5\n6 7 8 9 10\n4 5\n");
        ExpectRecords(c.expected);
    }
    // Only the first twenty fields of a line are read.
    h.input.fields = {20, 21, 1};
    const std::string line = "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25\n";
    LoadText(line + line);
    ExpectRecords({{20, 0, 1}, {20, 0, 1}});

    // Exactly four fields turn dot sizes on; the next file starts without them, and five fields
    // do not turn them on.
    h.input.fields = {1, 2, 3, 4};
    LoadText("0 0 0 1\n1 1 1 2\n2 2 2 3\n");
    EXPECT_EQ(h.store->dotSizesPresent, 1);
    EXPECT_EQ(h.Point(0).SizeClass(), 6);
    LoadText("0 0 0 1 9\n1 1 1 2 9\n");
    EXPECT_EQ(h.store->dotSizesPresent, 0);
}

TEST_F(Loader, LabelLinesTakeFieldsOneToThreeUpToAHundredLabels) {
    h.input.fields = {2, 1, 3};
    LoadText("1 2 3 !peak A\n1 2 3 !A !B\n0 5 0\n5 0 5\n");
    ExpectRecords({{5, 0, 0}, {0, 5, 5}});
    ASSERT_EQ(h.store->labelCount, 3);
    for (const auto& [i, text] : {std::pair{0, "PEAK A"}, {1, "A !B"}, {2, "B"}})
        EXPECT_EQ(h.store->labels[i].text, text);
    EXPECT_NEAR(h.DataX(h.store->labels[2].x), 1.0, 1e-3);
    EXPECT_NEAR(h.DataZ(h.store->labels[2].z), 3.0, 1e-3);

    // Beyond a hundred a label line is a point, its text two more fields: five, so no dot sizes.
    h.input.fields = {};
    std::string labels;
    for (int i = 0; i < 100; ++i)
        labels += "0 0 0 !L" + std::to_string(i) + "\n";
    LoadText(labels + "1 2 3 !peak A\n7 8 9\n");
    EXPECT_EQ(h.store->labels[99].text, "L99");
    ExpectRecords({{1, 2, 3}, {7, 8, 9}});
    EXPECT_EQ(h.store->dotSizesPresent, 0);
}

TEST_F(Loader, FewerThanTwoRecordsShowTheBuiltInDataAndLeaveTheStatusText) {
    LoadText("TABLE3D 1 2\n1 2 3\n2 3 4\n");
    h.display.statusText = "earlier text";
    // Each file opened: it is remembered, ends the table layout, and its label stays.
    for (const char* content : {"", "1 2 3\n", "; only comments\n1 2 3 !lonely label\n"}) {
        h.recent.latest.clear();
        EXPECT_EQ(LoadText(content), 4);
        ExpectBuiltInData();
        EXPECT_FALSE(h.loader.table3dFile);
        EXPECT_EQ(h.recent.latest, dir.Path("data.3d"));
    }
    EXPECT_EQ(h.store->labelCount, 1);

    // No name: no progress window either.
    h.Load("");
    ExpectBuiltInData();
    EXPECT_EQ(h.display.captions.back(), "Ocuvis  ");
    EXPECT_EQ(h.display.created.size(), 4u);
    EXPECT_EQ(h.display.statusText, "earlier text");

    // Every record a break: nothing seeds the extent, and still nothing breaks.
    EXPECT_EQ(LoadText("\n \n\t\n\r\n"), 4);
    EXPECT_EQ(h.display.statusText, "Plotted 0 points");
    EXPECT_FALSE(h.store->defaultDataLoaded);
}

TEST_F(Loader, WhatCannotBeReadIsNamedWithItsReasonAndNeverRemembered) {
    const std::string table = dir.Write("table.3d", "TABLE3D 1 2\n1 2 3\n2 3 4\n");
    std::filesystem::create_directory(dir.Path("folder.3d"));
    const std::string fifo = dir.Path("pipe.3d");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {dir.Path("missing.3d"), "No such file or directory"},
        {dir.Path("folder.3d"), "Is a directory"},
        {fifo, "Not a regular file"},
        {"/dev/zero", "Not a regular file"}};
    for (const auto& [path, reason] : cases) {
        h.Load(table);
        h.store->labelCount = 1;  // as if the file had a label
        auto load = std::async(std::launch::async, [this, &name = path] { h.Load(name); });
        // A load still blocked is released by a writer: a regression fails instead of hanging.
        if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << path << " blocks the load";
            ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK));
        }
        load.get();
        ExpectBuiltInData();
        EXPECT_EQ(h.display.statusText, "Cannot read " + path + ": " + reason);
        EXPECT_EQ(h.display.captions.back(), "Ocuvis  " + path);
        EXPECT_EQ(h.recent.latest, table) << path;
        EXPECT_EQ(h.store->labelCount, 0) << path;
        EXPECT_TRUE(h.loader.table3dFile) << path;  // the lists keep the last file's layout
    }
}

TEST(CandidateNames, CompleteOnlyNamesWithoutAPointBeforeTheEnd) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(DataFileLoader::CandidateNames("data"), (Names{"data.3D", "data.3d", "data"}));
    EXPECT_EQ(DataFileLoader::CandidateNames("data."), (Names{"data.3D", "data.3d", "data."}));
    EXPECT_EQ(DataFileLoader::CandidateNames("/runs.old/data"), Names{"/runs.old/data"});
}

TEST_F(Loader, OpensTheFirstCandidateThatExistsAndShowsItOnceOpened) {
    const std::string upper = dir.Write("data.3D", "1 2 3\n4 5 6\n");
    const std::string bare = dir.Write("bare", "1 2 3\n4 5 6\n");
    dir.Write("data", "7 8 9\n");
    const std::string linked = dir.Path("linked.3d");
    ASSERT_EQ(::symlink(upper.c_str(), linked.c_str()), 0);
    const std::pair<std::string, std::string> cases[] = {
        {dir.Path("data"), upper}, {bare, bare}, {linked, linked}};
    for (const auto& [name, opened] : cases) {
        test::Reader harness;
        EXPECT_EQ(harness.Load(name), 2) << name;
        EXPECT_EQ(harness.view.dataFileName, name);
        EXPECT_EQ(harness.display.created, std::vector<std::string>{opened});
        EXPECT_EQ(harness.recent.latest, opened);
        EXPECT_EQ(harness.display.captions,
                  (std::vector<std::string>{"Ocuvis  " + name, "Ocuvis  " + opened}));
    }
    // Nothing there: the message names the first name tried.
    h.Load(dir.Path("gone"));
    EXPECT_EQ(h.display.statusText,
              "Cannot read " + dir.Path("gone.3D") + ": No such file or directory");
}

TEST_F(Loader, EndsWithTheSavedScaleOnlyForTheFileShownBefore) {
    const std::tuple<const char*, const char*, bool> sameFile[] = {
        {"abcdef", "abcdefgh", true},
        {"abcde", "abcdef", false},
        {"abcdeX.3d", "abcdeY.3d", false},
        {"Runs/a.3d", "runs/a.3d", false}};
    for (const auto& [current, previous, same] : sameFile) {
        h.view.dataFileName = current;
        EXPECT_EQ(h.loader.IsSameDataFile(previous), same) << current << " / " << previous;
    }

    const std::string path = dir.Write("data.3d", "1 2 3\n4 5 6\n");
    auto endOfLoad = [](const std::string& previous, bool reopening, const std::string& name) {
        test::Reader harness(previous);
        harness.loader.reopening = reopening;
        harness.Load(name);
        return harness.display.scaleCalls;
    };
    using Calls = std::vector<std::string>;
    EXPECT_EQ(endOfLoad("elsewhere.3d", false, path), Calls{"AutoScale(false)"});
    EXPECT_EQ(endOfLoad("elsewhere.3d", true, path), Calls{"RestoreScaleSettings"});
    EXPECT_EQ(endOfLoad(path, false, path), Calls{"RestoreScaleSettings"});
    EXPECT_EQ(endOfLoad("elsewhere.3d", false, dir.Path("missing.3d")), Calls{"AutoScale(false)"});
}

TEST_F(Loader, StopsAtTheRecordLimitSaysSoAndNeverUsesTheLastSlot) {
    const std::string path = dir.Write("many.3d", NumberedLines(60000) + "; a comment\n");
    EXPECT_EQ(h.Load(path), kRecordLimit);
    EXPECT_EQ(h.display.statusText, "Plotted 49999 of 60000 points (limit)");
    EXPECT_NEAR(h.DataX(h.Point(kRecordLimit - 1).x), 49998.0, 0.5);
    EXPECT_EQ(h.store->points.size(), std::size_t{kRecordLimit});
    EXPECT_EQ(h.display.positions.back(),
              static_cast<std::int64_t>(std::filesystem::file_size(path)));

    h.input.fields.SubSampleEnabled = true;
    h.input.fields.SamplePercent = 100.0f;
    h.Load(path);
    EXPECT_EQ(h.display.statusText, "Sampled 49999 of 49999 = 100% (limit)");

    // A file that just fills the store loses nothing.
    h.input.fields.SubSampleEnabled = false;
    EXPECT_EQ(LoadText(NumberedLines(kRecordLimit) + "; a comment\n\n"), kRecordLimit);
    EXPECT_EQ(h.display.statusText, "Plotted 49999 points");
}

// Lines past the limit are counted without their numbers, by the rules that store them.
TEST_F(Loader, CountsTheLinesPastTheLimitAsTheyWouldBeStored) {
    std::string labels;
    for (int i = 0; i < 100; ++i)
        labels += "0 0 " + std::to_string(i) + " !L\n";
    const std::string past =
        "7 8\n9\n; 1 2 3\n! 1 2 3\n,1,2\n1 2 3 !label\n1,2,3,4,5\n\n x y z \n\t1\t2\r\n" +
        std::string(10000, '1') + " 2 3\n";
    const std::pair<std::string, const char*> cases[] = {
        {"1 2 3\n4 5 6\n" + past, "Plotted 2 of 7 points (limit)"},
        // With the labels full, a label line is a point.
        {labels + "1 2 3\n4 5 6\n" + past, "Plotted 2 of 8 points (limit)"},
    };
    h.input.fields.RecordLimit = 2;
    for (const auto& [content, status] : cases) {
        LoadText(content);
        EXPECT_EQ(h.display.statusText, status);
    }
}

TEST_F(Loader, Table3dReadsRowsOverTheColumnKeys) {
    const std::pair<const char*, Records> cases[] = {
        {"TABLE3D 0 10 20\n1 5.0 5.5 6.0\n2 4.0 4.5\n",
         {{1, 5, 0}, {1, 5.5, 10}, {1, 6, 20}, {}, {2, 4, 0}, {2, 4.5, 10}, {}}},
        {"my Table3d: 1 2 3\n10 5 6\n", {{10, 5, 1}, {10, 6, 2}, {}}},
        // The character after the keyword is dropped, here the column key 1.
        {"TABLE3D1 2 3\n10 5 6 7\n20 1 1\n",
         {{10, 5, 2}, {10, 6, 3}, {}, {20, 1, 2}, {20, 1, 3}, {}}},
        // A lone '-' fails as a value; a line without numbers is nothing; ';' starts no comment.
        {"TABLE3D 1 2 3\n5 - 7 8\nno numbers here\n; 4, 5\n",
         {{5, 7, 2}, {5, 8, 3}, {}, {4, 5, 1}, {}}}};
    for (const auto& [content, expected] : cases) {
        SCOPED_TRACE(content);
        LoadText(content);
        EXPECT_TRUE(h.loader.table3dFile);
        ExpectRecords(expected);
    }
}

TEST_F(Loader, Table3dReadsAtMostFiveHundredKeysAndNeverWritesPastTheStore) {
    // A header of keyCount column keys 1, 2, ..., then rowCount rows of as many values 1.
    const auto table = [](int keyCount, int rowCount) {
        std::string keys, row;
        for (int key = 1; key <= keyCount; ++key) {
            keys += " " + std::to_string(key);
            row += " 1";
        }
        std::string text = "TABLE3D" + keys + "\n";
        for (int i = 0; i < rowCount; ++i)
            text += std::to_string(i) + row + "\n";
        return text;
    };
    EXPECT_EQ(LoadText(table(600, 1)), 501);
    EXPECT_NEAR(h.DataZ(h.Point(499).z), 500.0, 1e-2);
    EXPECT_TRUE(h.Point(500).IsBreak());
    EXPECT_EQ(h.display.statusText, "Plotted 500 points");

    const std::int32_t count = LoadText(table(500, 101));
    ASSERT_LE(count, kRecordLimit + 1);
    EXPECT_GT(count, kRecordLimit - 500);
    EXPECT_TRUE(h.Point(count - 1).IsBreak());
    const auto points = std::count_if(&h.Point(0), &h.Point(0) + count,
                                      [](const DataPoint& p) { return !p.IsBreak(); });
    EXPECT_EQ(h.display.statusText,
              "Plotted " + std::to_string(points) + " of 50500 points (limit)");
}

TEST(SampleGenerator, DrawsAsTheReferenceAndKeepsTheShareAskedFor) {
    for (std::uint32_t seed : {0u, 1u, 12345u, 0xFFFFFFFFu}) {
        SampleGenerator generator;
        generator.Seed(seed);
        for (std::uint32_t expected : ReferenceDraws(seed, 1000))
            ASSERT_EQ(generator.Draw(), expected) << seed;
    }

    constexpr int kDraws = 50000;
    for (double percent : {0.1, 0.5, 1.0, 2.5, 10.0, 14.0, 33.3, 50.0, 70.0, 99.0, 100.0}) {
        SampleGenerator generator;
        generator.Seed(99);
        int kept = 0;
        for (int i = 0; i < kDraws; ++i)
            kept += generator.DrawKeeps(percent) ? 1 : 0;
        const double expected = kDraws * percent / 100.0;
        // 3 % of the share, or three standard deviations of a binomial count if wider.
        const double noise = 3.0 * std::sqrt(expected * (1.0 - percent / 100.0));
        EXPECT_NEAR(kept, expected, std::max(0.03 * expected, noise)) << percent << "%";
    }
}

TEST(SamplePercentText, TakesItsDecimalsFromTheSizeOfThePercentageAndRoundsHalvesUp) {
    const std::pair<double, const char*> cases[] = {
        {10.0, "10"},    {10.5, "11"},  {9.96, "10.0"},  {1.0, "1.0"},
        {0.999, "1.00"}, {0.1, "0.10"}, {0.01, "0.010"}, {0.00999, ""}};
    for (const auto& [percent, text] : cases)
        EXPECT_EQ(SamplePercentText(percent), text) << percent;
    // Below 0.01 percent the figure is left out of the status text altogether.
    EXPECT_EQ(SampledStatusText(1, 100000), "Sampled 1 of 100000 = %");
    EXPECT_EQ(LimitedStatusText(49999, 0), "Plotted 49999 points (limit)");
}

TEST_F(Loader, SamplingKeepsTheLinesTheSeedPicksOnEveryLoad) {
    const std::vector<std::uint32_t> draws = ReferenceDraws(12345, 300);
    std::string content;
    Records expected;
    for (int i = 0; i < 300; ++i) {
        // Comments and blank lines take their draw like any other line.
        const bool comment = i % 10 == 3, blank = !comment && i % 7 == 5;
        content += comment ? "; comment\n"
                   : blank ? "\n"
                           : std::to_string(i) + " " + std::to_string(i) + " 1\n";
        if (draws[i] < 2147483648.0 * 0.01 * 30.0f && !comment)
            expected.push_back(blank ? std::vector<double>{}
                                     : std::vector<double>{double(i), double(i), 1});
    }
    const auto points = std::count_if(expected.begin(), expected.end(),
                                      [](const std::vector<double>& r) { return !r.empty(); });
    h.input.fields.SubSampleEnabled = true;
    h.input.fields.SamplePercent = 30.0f;
    h.input.seed = 12345;
    for (int load = 0; load < 2; ++load) {
        LoadText(content);
        ExpectRecords(expected);
    }
    EXPECT_EQ(h.display.statusText.rfind("Sampled " + std::to_string(points) + " of 300 = ", 0), 0u)
        << h.display.statusText;

    // At 0 % nothing is kept: the built-in data.
    h.input.fields.SamplePercent = 0.0f;
    LoadText(content);
    ExpectBuiltInData();
    // A table is not sampled, but its status text is the sampled one.
    LoadText("TABLE3D 0 10 20\n1 5.0 5.5 6.0\n2 4.0 4.5\n");
    EXPECT_EQ(h.store->pointCount, 7);
    EXPECT_EQ(h.display.statusText, "Sampled 5 of 3 = 167%");
}

TEST_F(Loader, ReportsTheBytePositionAfterEveryLineAndAnAbortKeepsWhatWasRead) {
    EXPECT_EQ(LoadText(NumberedLines(3)), 3);
    EXPECT_EQ(h.display.positions, (std::vector<std::int64_t>{6, 12, 18, 18}));

    h.display.positions.clear();
    h.display.abortAtUpdate = 5;  // the fifth line is dropped
    EXPECT_EQ(LoadText(NumberedLines(10)), 4);
    EXPECT_EQ(h.display.statusText, "Plotted 4 points");
    EXPECT_FLOAT_EQ(h.Point(3).x, 5.0f / 9.0f);  // the four read make the whole range

    // Sampled, the lines counted are the lines read.
    h.display.positions.clear();
    h.input.fields.SubSampleEnabled = true;
    h.input.fields.SamplePercent = 100.0f;
    LoadText(NumberedLines(10));
    EXPECT_EQ(h.display.statusText, "Sampled 4 of 4 = 100%");
}

TEST_F(Loader, HostileBytesBecomeBreaksOrMissingValues) {
    // Control bytes are stripped at line ends; inside a field they make it no number.
    constexpr char kBytes[] = "\0\x01\x7f\xff\n1 2 3\n4\0 5 6\n7 8 9\n";
    LoadText(std::string(kBytes, sizeof kBytes - 1));
    ExpectRecords({{}, {1, 2, 3}, {-9999.9, 5, 6}, {7, 8, 9}});

    // 10,000 digits come in pieces of 4,999: two lone fields, then "11 2 3".
    LoadText(std::string(10000, '1') + " 2 3\n4 5 6\n7 8 9\n");
    ExpectRecords({{}, {}, {11, 2, 3}, {4, 5, 6}, {7, 8, 9}});
}

// Map coordinates a centimetre apart, where floats step by 3 and 25 cm: every kind keeps the
// centimetres, labels too, and each record knows its line or vertex.
TEST_F(Loader, FarCoordinatesKeepTheirCentimetresAndTheirSource) {
    const std::string rows = "512345.67 4012345.89 300.5\n512345.68 4012345.90 300.51\n";
    const std::tuple<const char*, std::string, std::vector<std::int32_t>> cases[] = {
        {"far.3d", "; survey\n" + rows + "512345.69 4012345.91 300.52 !peg\n", {2, 3}},
        {"far.csv", "x,y,z\n" + rows, {2, 3}},
        {"far.ply",
         "ply\nformat ascii 1.0\nelement vertex 2\nproperty double x\n"
         "property double y\nproperty double z\nend_header\n" +
             rows,
         {0, 1}}};
    for (const auto& [name, content, sources] : cases) {
        h.Load(dir.Write(name, content));
        ASSERT_EQ(h.store->pointCount, 2) << name;
        const auto [ox, oy, oz] = h.store->origin;
        for (int i = 0; i < 2; ++i) {
            EXPECT_NEAR(h.DataX(h.Point(i).x) + ox, 512345.67 + 0.01 * i, 1e-3) << name;
            EXPECT_NEAR(h.DataY(h.Point(i).y) + oy, 4012345.89 + 0.01 * i, 1e-3) << name;
            EXPECT_NEAR(h.DataZ(h.Point(i).z) + oz, 300.5 + 0.01 * i, 1e-3) << name;
        }
        EXPECT_EQ(h.store->sources, sources) << name;
    }
    h.Load(dir.Write("far.3d", std::get<1>(cases[0])));
    EXPECT_NEAR(h.DataX(h.store->labels[0].x) + h.store->origin[0], 512345.69, 1e-3);
    // Ordinary values are stored as they always were.
    LoadText("0.5 2 3\n70000 1 1\n");
    EXPECT_EQ(h.store->origin, (std::array<double, 3>{}));
}

}  // namespace
}  // namespace ocuvis
