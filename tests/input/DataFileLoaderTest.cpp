#include "DataFileLoader.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "LoaderFixture.h"
#include "SampleGenerator.h"

namespace ocuvis {
namespace {

using fixture::LoaderHarness;
using test::TempFolder;

struct Xyz {
    double x, y, z;
};
using Record = std::optional<Xyz>;  // nothing: a break record
constexpr std::nullopt_t kBreak = std::nullopt;

// x = y = the line number, z = 1.
std::string DataLine(int i) {
    return std::to_string(i) + " " + std::to_string(i) + " 1\n";
}

std::string NumberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += DataLine(i);
    return text;
}

class Loader : public ::testing::Test {
  protected:
    // A data value read back through a float map is good to a few float steps of the cube.
    static double Tolerance(float dataScale) { return 1e-4 + 4e-7 / std::fabs(dataScale); }

    std::int32_t LoadText(const std::string& content, LoaderHarness& harness) {
        return harness.Load(dir.Write("data.3d", content));
    }
    std::int32_t LoadText(const std::string& content) { return LoadText(content, h); }

    // The records before normalisation, read back through the maps the load wrote.
    void ExpectRecords(const std::vector<Record>& expected, const LoaderHarness& harness) {
        ASSERT_EQ(harness.store->pointCount, static_cast<std::int32_t>(expected.size()));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const DataPoint& p = harness.Point(static_cast<int>(i));
            if (!expected[i]) {
                EXPECT_TRUE(p.IsBreak()) << "record " << i;
                continue;
            }
            ASSERT_FALSE(p.IsBreak()) << "record " << i;
            const GraphRecord& g = harness.graph;
            EXPECT_NEAR(harness.DataX(p.x), expected[i]->x, Tolerance(g.xdataScale)) << i;
            EXPECT_NEAR(harness.DataY(p.y), expected[i]->y, Tolerance(g.ydataScale)) << i;
            EXPECT_NEAR(harness.DataZ(p.z), expected[i]->z, Tolerance(g.zdataScale)) << i;
        }
    }
    void ExpectRecords(const std::vector<Record>& expected) { ExpectRecords(expected, h); }

    void ExpectBuiltInData(const LoaderHarness& harness) {
        EXPECT_EQ(harness.store->pointCount, 4);
        EXPECT_TRUE(harness.store->defaultDataLoaded);
        EXPECT_EQ(harness.store->dotSizesPresent, 1);
        const int classes[] = {5, 3, 1, 0};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(harness.DataX(harness.Point(i).x), DefaultDataPoints[i].x, 1e-5);
            EXPECT_NEAR(harness.DataZ(harness.Point(i).z), DefaultDataPoints[i].z, 1e-5);
            EXPECT_EQ(harness.Point(i).SizeClass(), classes[i]) << i;
        }
    }

    TempFolder dir;
    LoaderHarness h;
};

TEST_F(Loader, ReadsEveryKindOfLineOfTheFieldLayout) {
    LoadText(
        "; temperature profile\n0, 0, 0\n1.5 2.5 -3E-1\n1.5 , 2.5,,4\n\n2 3\n"
        "2 3 4 !top of, run\n7\n,1,2\n1;2;3\n1/2/3\n! a comment too\n1e3, 2, 3\n"
        "  \t8 9 10\t \r\n");
    ExpectRecords({Xyz{0, 0, 0}, Xyz{1.5, 2.5, -0.3}, Xyz{1.5, 2.5, 4}, kBreak, Xyz{2, 3, 0},
                   kBreak, kBreak, kBreak, kBreak, Xyz{1000, 2, 3}, Xyz{8, 9, 10}});
    EXPECT_EQ(h.display.statusText, "Plotted 6 points");
    EXPECT_EQ(h.store->dotSizesPresent, 0);
    EXPECT_FALSE(h.store->defaultDataLoaded);
    EXPECT_FALSE(h.loader.table3dFile);
    ASSERT_EQ(h.store->labelCount, 1);
    const XYZTEXT& label = h.store->labels[0];
    EXPECT_EQ(label.text, "TOP OF, RUN");
    EXPECT_NEAR(h.DataX(label.x), 2.0, 1e-3);
    EXPECT_NEAR(h.DataY(label.y), 3.0, 1e-3);
    EXPECT_NEAR(h.DataZ(label.z), 4.0, 1e-3);
}

TEST_F(Loader, HeaderWordsArePlottedAtTheMissingValue) {
    LoadText("x, y, z\n1 2 3\nTABLE3D 1 2\n");  // only the first line can make a table
    EXPECT_FALSE(h.loader.table3dFile);
    ExpectRecords({Xyz{-9999.9, -9999.9, -9999.9}, Xyz{1, 2, 3}, Xyz{-9999.9, 1, 2}});
}

TEST_F(Loader, LabelLinesStoreLabelsAndNoPoints) {
    h.input.fields.XIndex = 2;  // labels always take fields 1, 2, 3
    h.input.fields.YIndex = 1;
    LoadText("1 2 3 !peak A\n1 2 3 !A !B\n0 5 0\n5 0 5\n");
    ExpectRecords({Xyz{5, 0, 0}, Xyz{0, 5, 5}});
    ASSERT_EQ(h.store->labelCount, 3);
    const char* texts[] = {"PEAK A", "A !B", "B"};
    for (int i = 0; i < 3; ++i) {
        const XYZTEXT& label = h.store->labels[static_cast<std::size_t>(i)];
        EXPECT_EQ(label.text, texts[i]);
        EXPECT_NEAR(h.DataX(label.x), 1.0, 1e-3) << i;
        EXPECT_NEAR(h.DataY(label.y), 2.0, 1e-3) << i;
        EXPECT_NEAR(h.DataZ(label.z), 3.0, 1e-3) << i;
    }
}

TEST_F(Loader, AfterAHundredLabelsALabelLineIsAPoint) {
    std::string labels;
    for (int i = 0; i < 100; ++i)
        labels += "0 0 0 !L" + std::to_string(i) + "\n";
    LoadText(labels + "1 2 3 !peak A\n7 8 9\n");
    EXPECT_EQ(h.store->labelCount, 100);
    EXPECT_EQ(h.store->labels[99].text, "L99");
    ExpectRecords({Xyz{1, 2, 3}, Xyz{7, 8, 9}});
    EXPECT_EQ(h.store->dotSizesPresent, 0);  // five fields

    LoaderHarness four;
    LoadText(labels + "1 2 3 !peak\n7 8 9\n", four);
    EXPECT_EQ(four.store->pointCount, 2);
    EXPECT_EQ(four.store->dotSizesPresent, 1);
}

struct FieldNumbers {
    std::int32_t x, y, z;
    std::vector<Record> expected;
};

class LoaderFieldNumbers : public Loader, public ::testing::WithParamInterface<FieldNumbers> {};

TEST_P(LoaderFieldNumbers, PickCellsByFieldNumberAndGiveZeroBeyondTheLine) {
    h.input.fields.XIndex = GetParam().x;
    h.input.fields.YIndex = GetParam().y;
    h.input.fields.ZIndex = GetParam().z;
    LoadText("1 2 3 4 5\n6 7 8 9 10\n4 5\n");
    ExpectRecords(GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoaderFieldNumbers,
    ::testing::Values(FieldNumbers{1, 2, 3, {Xyz{1, 2, 3}, Xyz{6, 7, 8}, Xyz{4, 5, 0}}},
                      // On a two-field line z is 0 even when its field exists.
                      FieldNumbers{5, 1, 2, {Xyz{5, 1, 2}, Xyz{10, 6, 7}, Xyz{0, 4, 0}}},
                      FieldNumbers{-1, 2, 1, {Xyz{0, 2, 1}, Xyz{0, 7, 6}, Xyz{0, 5, 0}}},
                      FieldNumbers{6, 3, 0, {Xyz{0, 3, 0}, Xyz{0, 8, 0}, Xyz{0, 0, 0}}}));

TEST_F(Loader, ExactlyFourFieldsTurnOnDotSizes) {
    h.input.fields.DotIndex = 4;
    LoadText("0 0 0 1\n1 1 1 2\n2 2 2 3\n");
    EXPECT_EQ(h.store->dotSizesPresent, 1);
    EXPECT_EQ(h.Point(0).SizeClass(), 6);
    EXPECT_EQ(h.Point(1).SizeClass(), 3);
    EXPECT_EQ(h.Point(2).SizeClass(), 0);

    // The next file that opens starts without dot sizes; five fields do not turn them on.
    LoadText("0 0 0 1 9\n1 1 1 2 9\n");
    EXPECT_EQ(h.store->dotSizesPresent, 0);
}

TEST_F(Loader, OnlyTheFirstTwentyFieldsCount) {
    std::string line;
    for (int i = 1; i <= 25; ++i)
        line += std::to_string(i) + " ";
    h.input.fields.XIndex = 20;
    h.input.fields.YIndex = 21;
    h.input.fields.ZIndex = 1;
    h.input.fields.DotIndex = 4;
    LoadText(line + "\n" + line + "\n");
    ExpectRecords({Xyz{20, 0, 1}, Xyz{20, 0, 1}});
    EXPECT_EQ(h.store->dotSizesPresent, 0);
}

TEST_F(Loader, FewerThanTwoRecordsShowTheBuiltInData) {
    h.display.statusText = "earlier text";
    LoadText("1 2 3\n");
    ExpectBuiltInData(h);
    EXPECT_EQ(h.display.statusText, "earlier text");

    LoadText("; only comments\n1 2 3 !lonely label\n");
    ExpectBuiltInData(h);
    ASSERT_EQ(h.store->labelCount, 1);  // the file opened: its label stays
    EXPECT_EQ(h.store->labels[0].text, "LONELY LABEL");
}

TEST_F(Loader, AFileThatDoesNotOpenKeepsTheListsButDropsTheOldLabels) {
    const std::string good = dir.Write("good.3d", "TABLE3D 1 2\n1 2 3\n2 3 4\n");
    h.Load(good);
    ASSERT_TRUE(h.loader.table3dFile);
    h.store->labelCount = 1;  // as if the file had a label

    const std::string missing = dir.Path("missing.3d");
    h.Load(missing);
    ExpectBuiltInData(h);
    EXPECT_EQ(h.store->labelCount, 0);
    EXPECT_TRUE(h.loader.table3dFile);
    EXPECT_EQ(h.recent.latest, good);
    EXPECT_EQ(h.display.captions.back(), "Ocuvis  " + missing);
    EXPECT_EQ(h.view.dataFileName, missing);

    const std::size_t progressWindows = h.progress.created.size();
    h.display.statusText = "earlier text";
    h.Load("");
    ExpectBuiltInData(h);
    EXPECT_EQ(h.display.captions.back(), "Ocuvis  ");
    EXPECT_EQ(h.progress.created.size(), progressWindows);
    EXPECT_EQ(h.display.statusText, "earlier text");
}

// Loads path on another thread; a load still blocked after the deadline is released by a
// writer, so a regression fails the test instead of hanging it.
bool LoadsWithin(LoaderHarness& harness, const std::string& path, std::chrono::seconds deadline) {
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread load([&] {
        harness.Load(path);
        done.set_value();
    });
    const bool inTime = finished.wait_for(deadline) == std::future_status::ready;
    if (!inTime) {
        const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    load.join();
    return inTime;
}

TEST_F(Loader, WhatCannotBeReadIsNamedWithItsReasonAndNeverRemembered) {
    const std::string good = dir.Write("good.3d", "1 2 3\n4 5 6\n");
    std::filesystem::create_directory(dir.Path("folder.3d"));
    const std::string fifo = dir.Path("pipe.3d");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::symlink(fifo.c_str(), dir.Path("link.3d").c_str()), 0);
    const std::pair<std::string, std::string> cases[] = {
        {dir.Path("missing.3d"), "No such file or directory"},
        {dir.Path("folder.3d"), "Is a directory"},
        {fifo, "Not a regular file"},
        {dir.Path("link.3d"), "Not a regular file"},
        {"/dev/zero", "Not a regular file"},
    };
    for (const auto& [path, reason] : cases) {
        h.Load(good);
        ASSERT_TRUE(LoadsWithin(h, path, std::chrono::seconds(10))) << path;
        ExpectBuiltInData(h);
        EXPECT_EQ(h.display.statusText, "Cannot read " + path + ": " + reason);
        EXPECT_EQ(h.recent.latest, good) << path;
        EXPECT_FALSE(h.loader.outcome().opened) << path;
        EXPECT_EQ(h.loader.outcome().path, path);
    }
}

TEST(CandidateNames, CompleteOnlyNamesWithoutAPointBeforeTheEnd) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(DataFileLoader::CandidateNames("data"), (Names{"data.3D", "data.3d", "data"}));
    EXPECT_EQ(DataFileLoader::CandidateNames("data."), (Names{"data.3D", "data.3d", "data."}));
    EXPECT_EQ(DataFileLoader::CandidateNames("a.b\\data"), Names{"a.b\\data"});
    EXPECT_EQ(DataFileLoader::CandidateNames("/runs.old/data"), Names{"/runs.old/data"});
    EXPECT_EQ(DataFileLoader::CandidateNames("run.txt"), Names{"run.txt"});
}

TEST_F(Loader, OpensTheFirstCandidateThatExistsAndShowsItOnceOpened) {
    const std::string upper = dir.Write("data.3D", "1 2 3\n4 5 6\n");
    const std::string lower = dir.Write("low.3d", "1 2 3\n4 5 6\n");
    const std::string bare = dir.Write("bare", "1 2 3\n4 5 6\n");
    dir.Write("data", "7 8 9\n");
    const std::string linked = dir.Path("linked.3d");
    ASSERT_EQ(::symlink(upper.c_str(), linked.c_str()), 0);
    const std::pair<std::string, std::string> cases[] = {
        {dir.Path("data"), upper},
        {dir.Path("data."), upper},
        {dir.Path("low"), lower},
        {dir.Path("low."), lower},
        {bare, bare},
        {linked, linked},
    };
    for (const auto& [name, opened] : cases) {
        LoaderHarness harness;
        EXPECT_EQ(harness.Load(name), 2) << name;
        EXPECT_EQ(harness.view.dataFileName, name);
        EXPECT_EQ(harness.progress.created, std::vector<std::string>{opened});
        EXPECT_EQ(harness.recent.latest, opened);
        EXPECT_EQ(harness.display.captions,
                  (std::vector<std::string>{"Ocuvis  " + name, "Ocuvis  " + opened}));
    }
    std::filesystem::create_directory(dir.Path("a.b"));
    const std::string dotted = dir.Write("a.b/data", "1 2 3\n4 5 6\n");
    EXPECT_EQ(h.Load(dotted), 2);
    EXPECT_EQ(h.recent.latest, dotted);

    // Nothing there: the message names the first name tried.
    h.Load(dir.Path("gone"));
    EXPECT_EQ(h.display.statusText,
              "Cannot read " + dir.Path("gone.3D") + ": No such file or directory");
}

TEST(IsSameDataFile, ComparesWholeNamesOrTheFirstSixCharacters) {
    LoaderHarness h;
    auto same = [&](const std::string& current, const std::string& previous) {
        h.view.dataFileName = current;
        return h.loader.IsSameDataFile(previous);
    };
    EXPECT_TRUE(same("a.3d", "a.3d"));
    EXPECT_TRUE(same("", ""));
    EXPECT_TRUE(same("runs01/a.3d", "runs01/b.3d"));
    EXPECT_TRUE(same("abcdef", "abcdefgh"));
    EXPECT_FALSE(same("abcde", "abcdef"));
    EXPECT_FALSE(same("abcdeX.3d", "abcdeY.3d"));
    EXPECT_FALSE(same("Runs/a.3d", "runs/a.3d"));
}

TEST_F(Loader, EndsWithTheSavedScaleOnlyForTheFileShownBefore) {
    const std::string path = dir.Write("data.3d", "1 2 3\n4 5 6\n");
    auto endOfLoad = [](const std::string& previous, bool reopening, const std::string& name) {
        LoaderHarness harness(previous);
        harness.loader.reopening = reopening;
        harness.Load(name);
        return harness.scaling.calls;
    };
    using Calls = std::vector<std::string>;
    EXPECT_EQ(endOfLoad("elsewhere.3d", false, path), Calls{"AutoScale(false)"});
    EXPECT_EQ(endOfLoad("elsewhere.3d", true, path), Calls{"RestoreScaleSettings"});
    EXPECT_EQ(endOfLoad(path, false, path), Calls{"RestoreScaleSettings"});
    EXPECT_EQ(endOfLoad(dir.Path("other.3d"), false, path), Calls{"RestoreScaleSettings"});
    EXPECT_EQ(endOfLoad("elsewhere.3d", false, dir.Path("missing.3d")), Calls{"AutoScale(false)"});
}

TEST_F(Loader, StopsAtTheRecordLimitSaysSoAndNeverUsesTheLastSlot) {
    const DataPoint sentinel{1.0f, 2.0f, 3.0f, 4.0f};
    h.store->points[kPointCapacity - 1] = sentinel;
    const std::string path = dir.Write("many.3d", NumberedLines(60000) + "; a comment\n");
    EXPECT_EQ(h.Load(path), kRecordLimit);
    EXPECT_EQ(h.display.statusText, "Plotted 49999 of 60000 points (limit)");
    EXPECT_NEAR(h.DataX(h.Point(kRecordLimit - 1).x), 49998.0, 0.5);
    EXPECT_EQ(std::memcmp(&h.store->points[kPointCapacity - 1], &sentinel, sizeof sentinel), 0);
    EXPECT_EQ(h.progress.positions.back(),
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

struct TableCase {
    const char* content;
    std::vector<Record> expected;
};

class LoaderTable3d : public Loader, public ::testing::WithParamInterface<TableCase> {};

TEST_P(LoaderTable3d, ReadsRowsOverTheColumnKeys) {
    LoadText(GetParam().content);
    EXPECT_TRUE(h.loader.table3dFile);
    EXPECT_EQ(h.store->dotSizesPresent, 0);
    ExpectRecords(GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoaderTable3d,
    ::testing::Values(
        TableCase{"TABLE3D 0 10 20\n1 5.0 5.5 6.0\n2 4.0 4.5\n",
                  {Xyz{1, 5, 0}, Xyz{1, 5.5, 10}, Xyz{1, 6, 20}, kBreak, Xyz{2, 4, 0},
                   Xyz{2, 4.5, 10}, kBreak}},
        TableCase{"my Table3d: 1 2 3\n10 5 6\n", {Xyz{10, 5, 1}, Xyz{10, 6, 2}, kBreak}},
        // The character after the keyword is dropped, here the column key 1.
        TableCase{"TABLE3D1 2 3\n10 5 6 7\n20 1 1\n",
                  {Xyz{10, 5, 2}, Xyz{10, 6, 3}, kBreak, Xyz{20, 1, 2}, Xyz{20, 1, 3}, kBreak}},
        // A lone '-' fails as a value; a line without numbers is nothing; ';' starts no comment.
        TableCase{"TABLE3D 1 2 3\n5 - 7 8\nno numbers here\n; 4, 5\n",
                  {Xyz{5, 7, 2}, Xyz{5, 8, 3}, kBreak, Xyz{4, 5, 1}, kBreak}}));

// A header of keyCount column keys 1, 2, ..., then rowCount rows of valueCount values 1.
std::string Table(int keyCount, int rowCount, int valueCount) {
    std::string text = "TABLE3D";
    for (int key = 1; key <= keyCount; ++key) {
        text += ' ';
        text += std::to_string(key);
    }
    for (int row = 0; row < rowCount; ++row) {
        text += '\n';
        text += std::to_string(row);
        for (int value = 0; value < valueCount; ++value)
            text += " 1";
    }
    return text + "\n";
}

TEST_F(Loader, Table3dReadsAtMostFiveHundredColumnKeys) {
    EXPECT_EQ(LoadText(Table(600, 1, 600)), 501);
    EXPECT_NEAR(h.DataZ(h.Point(499).z), 500.0, 1e-2);
    EXPECT_TRUE(h.Point(500).IsBreak());
    EXPECT_EQ(h.display.statusText, "Plotted 500 points");
}

TEST_F(Loader, Table3dRowsNeverWritePastTheStore) {
    const std::int32_t count = LoadText(Table(500, 101, 500));
    ASSERT_LE(count, kPointCapacity);
    EXPECT_GT(count, kRecordLimit - 500);
    EXPECT_TRUE(h.Point(count - 1).IsBreak());
    int points = 0;
    for (int i = 0; i < count; ++i)
        points += h.Point(i).IsBreak() ? 0 : 1;
    EXPECT_EQ(h.display.statusText,
              "Plotted " + std::to_string(points) + " of 50500 points (limit)");
}

TEST(SampleGenerator, SeedsAndDrawsByTheLinearCongruentialRule) {
    SampleGenerator zero;
    zero.Seed(0);
    EXPECT_EQ(zero.state(), 1u);
    for (std::uint32_t expected : {0u, 119927u, 950081144u, 759785117u})
        EXPECT_EQ(zero.Draw(), expected);

    for (std::uint32_t seed : {1u, 12345u, 0xFFFFFFFFu}) {
        SampleGenerator generator;
        generator.Seed(seed);
        for (std::uint32_t expected : fixture::ReferenceDraws(seed, 1000))
            ASSERT_EQ(generator.Draw(), expected) << seed;
    }
}

TEST(SampleGenerator, KeepsTheShareAskedFor) {
    constexpr int kDraws = 50000;
    for (double percent : {0.1, 0.5, 1.0, 2.5, 10.0, 14.0, 33.3, 50.0, 70.0, 99.0, 100.0}) {
        for (std::uint32_t seed : {0u, 99u}) {
            SampleGenerator generator;
            generator.Seed(seed);
            int kept = 0;
            for (int i = 0; i < kDraws; ++i)
                kept += generator.DrawKeeps(percent) ? 1 : 0;
            const double expected = kDraws * percent / 100.0;
            // 3 % of the share, or three standard deviations of a binomial count if wider.
            const double noise = 3.0 * std::sqrt(expected * (1.0 - percent / 100.0));
            EXPECT_NEAR(kept, expected, std::max(0.03 * expected, noise))
                << percent << "% seed " << seed;
        }
    }
}

TEST_F(Loader, SamplingKeepsTheLinesTheSeedPicksOnEveryLoad) {
    constexpr int kLines = 300;
    constexpr std::uint32_t kSeed = 12345;
    const std::vector<bool> kept = fixture::ReferenceKept(kSeed, 30.0f, kLines);
    std::string content;
    std::vector<Record> expected;
    int points = 0;
    for (int i = 0; i < kLines; ++i) {
        // Comments and blank lines take their draw like any other line.
        if (i % 10 == 3) {
            content += "; comment\n";
        } else if (i % 7 == 5) {
            content += "\n";
            if (kept[i]) expected.push_back(kBreak);
        } else {
            content += DataLine(i);
            if (kept[i]) expected.push_back(Xyz{double(i), double(i), 1});
            points += kept[i] ? 1 : 0;
        }
    }
    h.input.fields.SubSampleEnabled = true;
    h.input.fields.SamplePercent = 30.0f;
    h.input.seed = kSeed;
    LoadText(content);
    ExpectRecords(expected);
    EXPECT_EQ(h.display.statusText.rfind("Sampled " + std::to_string(points) + " of 300 = ", 0), 0u)
        << h.display.statusText;

    const std::vector<DataPoint> first(h.store->points.begin(),
                                       h.store->points.begin() + h.store->pointCount);
    LoadText(content);
    ASSERT_EQ(h.store->pointCount, static_cast<std::int32_t>(first.size()));
    EXPECT_EQ(std::memcmp(h.store->points.data(), first.data(), first.size() * sizeof(DataPoint)),
              0);
}

TEST_F(Loader, SamplingAtAHundredPercentKeepsAllAndAtZeroNone) {
    h.input.fields.SubSampleEnabled = true;
    h.input.fields.SamplePercent = 100.0f;
    EXPECT_EQ(LoadText(NumberedLines(50)), 50);
    EXPECT_EQ(h.display.statusText, "Sampled 50 of 50 = 100%");

    h.input.fields.SamplePercent = 0.0f;
    LoadText(NumberedLines(50));
    ExpectBuiltInData(h);
    EXPECT_EQ(h.display.statusText, "Sampled 50 of 50 = 100%");

    // Sampling does not apply to a table, but its status text is the sampled one.
    LoadText("TABLE3D 0 10 20\n1 5.0 5.5 6.0\n2 4.0 4.5\n");
    EXPECT_EQ(h.store->pointCount, 7);
    EXPECT_EQ(h.display.statusText, "Sampled 5 of 3 = 167%");
}

TEST_F(Loader, SampledStatusTextCountsPointsAgainstLines) {
    constexpr std::uint32_t kSeed = 7;
    const std::vector<bool> kept = fixture::ReferenceKept(kSeed, 15.0f, 1000);
    ASSERT_GE(std::count(kept.begin(), kept.end(), true), 103);
    const std::pair<int, const char*> cases[] = {{103, "10%"}, {53, "5.3%"}, {5, "0.50%"}};
    for (const auto& [wanted, percent] : cases) {
        LoaderHarness harness;
        harness.input.fields.SubSampleEnabled = true;
        harness.input.fields.SamplePercent = 15.0f;
        harness.input.seed = kSeed;
        std::string content;
        int taken = 0;
        for (int i = 0; i < 1000; ++i) {
            const bool point = !kept[i] || taken++ < wanted;
            content += point ? DataLine(i) : "; kept but not a point\n";
        }
        LoadText(content, harness);
        EXPECT_EQ(harness.display.statusText,
                  "Sampled " + std::to_string(wanted) + " of 1000 = " + percent);
    }
}

TEST_F(Loader, AbortKeepsWhatWasReadAndNormalisesItOnItsOwn) {
    h.progress.abortAtUpdate = 5;  // the fifth line is dropped
    EXPECT_EQ(LoadText(NumberedLines(10)), 4);
    EXPECT_EQ(h.progress.positions.size(), 5u);
    EXPECT_EQ(h.display.statusText, "Plotted 4 points");
    EXPECT_FLOAT_EQ(h.Point(0).x, -5.0f / 9.0f);
    EXPECT_FLOAT_EQ(h.Point(3).x, 5.0f / 9.0f);
    EXPECT_FLOAT_EQ(h.graph.xdataScale, 2.0f / 5.4f);

    LoaderHarness sampled;
    sampled.progress.abortAtUpdate = 5;
    sampled.input.fields.SubSampleEnabled = true;
    sampled.input.fields.SamplePercent = 100.0f;
    LoadText(NumberedLines(10), sampled);
    EXPECT_EQ(sampled.display.statusText, "Sampled 4 of 4 = 100%");
}

TEST_F(Loader, ReportsTheBytePositionAfterEveryLine) {
    const std::string content = NumberedLines(3);
    LoadText(content);
    EXPECT_EQ(h.progress.positions,
              (std::vector<std::int64_t>{6, 12, 18, static_cast<std::int64_t>(content.size())}));
}

TEST_F(Loader, EmptyAndBlankFilesDoNotBreakIt) {
    LoadText("TABLE3D 1 2\n1 2 3\n2 3 4\n");
    h.display.statusText = "earlier text";
    const std::string empty = dir.Write("empty.3d", "");
    h.Load(empty);
    ExpectBuiltInData(h);
    EXPECT_FALSE(h.loader.table3dFile);
    EXPECT_EQ(h.recent.latest, empty);
    EXPECT_EQ(h.display.statusText, "earlier text");

    // Every record a break: nothing seeds the extent, yet the maps must stay usable.
    EXPECT_EQ(LoadText("\n \n\t\n\r\n"), 4);
    EXPECT_EQ(h.display.statusText, "Plotted 0 points");
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(h.Point(i).IsBreak()) << i;
    for (float v : {h.graph.xdataScale, h.graph.xdataShift, h.graph.ydataScale, h.graph.ydataShift,
                    h.graph.zdataScale, h.graph.zdataShift}) {
        EXPECT_TRUE(std::isfinite(v));
    }
}

TEST_F(Loader, HostileBytesBecomeBreaksOrMissingValues) {
    // Control bytes are stripped at line ends; inside a field they make it no number.
    constexpr char kBytes[] = "\0\x01\x7f\xff\n1 2 3\n4\0 5 6\n7 8 9\n";
    LoadText(std::string(kBytes, sizeof kBytes - 1));
    ExpectRecords({kBreak, Xyz{1, 2, 3}, Xyz{-9999.9, 5, 6}, Xyz{7, 8, 9}});

    LoadText("1e400 2 3\nnan 5 6\n1 2 3\n");
    ExpectRecords({Xyz{-9999.9, 2, 3}, Xyz{-9999.9, 5, 6}, Xyz{1, 2, 3}});

    // 10,000 digits come in pieces of 4,999: two lone fields, then "11 2 3".
    LoadText(std::string(10000, '1') + " 2 3\n4 5 6\n7 8 9\n");
    ExpectRecords({kBreak, kBreak, Xyz{11, 2, 3}, Xyz{4, 5, 6}, Xyz{7, 8, 9}});
}

TEST_F(Loader, AVeryLongLineIsReadAsPieces) {
    std::string line;
    while (line.size() < 100000)
        line += "1 2 3 ";
    line.resize(100000);
    EXPECT_EQ(LoadText(line + "\n"), 21);
    EXPECT_EQ(h.display.statusText, "Plotted 21 points");
}

}  // namespace
}  // namespace ocuvis
