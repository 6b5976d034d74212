// Which bands of rows a record's line and dot are noted for, when a frame is shared out in
// bands: every band the primitive's reach does not miss, wherever its row lies, and no band
// more than a row or two beyond it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "input/PointStore.h"
#include "render/BandBits.h"
#include "render/LinesLayer.h"

namespace ocuvis::test {
namespace {

constexpr int kHeight = 100, kRows = 13, kBands = 8;  // the last band takes rows 91..99

PixelBand BandAt(int band) {
    const int top = band * kRows;
    return {nullptr, 0, 1, kHeight, top, band == kBands - 1 ? kHeight : top + kRows};
}

ProjectedRecord AtRow(float row) {
    return {10.0f, 20.0f, row, 0.0f};
}

// Checks the bands record `record` is visited in against its reach.
testing::AssertionResult NotedFor(const BandBits& bits, bool segment, const RowReach& reach,
                                  int record = 0) {
    const RowReach wider{reach.low - 2.0f, reach.high + 2.0f};
    for (int band = 0; band < kBands; ++band) {
        bool visited = false;
        (segment ? bits.Segments(band) : bits.Dots(band)).ForEach([&](int i) {
            visited = visited || i == record;
        });
        if (!reach.Misses(BandAt(band)) && !visited)
            return testing::AssertionFailure() << "band " << band << " left out";
        if (wider.Misses(BandAt(band)) && visited)
            return testing::AssertionFailure() << "band " << band << " taken in";
    }
    return testing::AssertionSuccess();
}

TEST(BandBits, EveryBandTheReachMeetsAndNoneFarBeyond) {
    std::vector<DataPoint> points(2);
    BandBits bits;
    // Rows across every band edge and beyond the frame, in quarter rows.
    for (float row = -40.0f; row <= 140.0f; row += 0.25f) {
        // Dots of the view's size and of the largest size class, by table, and of a size
        // beyond the table.
        for (const auto& [size, own] : {std::pair{1, false}, {4, false}, {6, true}, {9, true}}) {
            points[0].SetSizeClass(size);
            const ProjectedRecord records[] = {AtRow(row)};
            bits.Reset(1, kHeight, kRows, kBands, own ? 6 : size,
                       DotsLayer::ReachOf(own ? 6 : size));
            bits.Note(0, 1, records, false, {points.data(), own, own ? 0 : size});
            ASSERT_TRUE(NotedFor(bits, false, DotsLayer::ReachOf(records[0], size)))
                << "dot of size " << size << " on row " << row;
        }
        // Lines within the frame, across it, and out to where a far end is clipped.
        for (const float rise : {0.0f, 0.5f, -6.0f, 30.0f, 3.0e6f}) {
            const ProjectedRecord records[] = {AtRow(row), AtRow(row + rise)};
            bits.Reset(2, kHeight, kRows, kBands, 0, DotsLayer::ReachOf(0));
            bits.Note(0, 2, records, true, {points.data(), false, 0});
            ASSERT_TRUE(NotedFor(bits, true, LinesLayer::ReachOf(records[0], records[1])))
                << "line from row " << row << " rising " << rise;
            // Noted on its own, as the line across two chunks is.
            bits.Reset(2, kHeight, kRows, kBands, 0, DotsLayer::ReachOf(0));
            bits.NoteSegment(0, records);
            ASSERT_TRUE(NotedFor(bits, true, LinesLayer::ReachOf(records[0], records[1])))
                << "line from row " << row << " rising " << rise << ", noted alone";
        }
    }
    // Noted in one go, as a frame's chunk is: the rows above in turn, each followed by one
    // a rise away, and now and then a record without an image; lines, then dots.
    for (const auto& [rise, size] : {std::pair{0.0f, 2}, {0.5f, 3}, {-6.0f, 1}, {30.0f, 2}}) {
        std::vector<ProjectedRecord> records;
        for (float row = -40.0f; row <= 140.0f; row += 0.25f) {
            records.push_back(AtRow(row));
            records.push_back(AtRow(records.size() % 37 == 0 ? NAN : row + rise));
        }
        const int count = static_cast<int>(records.size());
        const RowReach none{1e9f, -1e9f};
        const auto has = [&](int i) {
            return !std::isnan(records[static_cast<std::size_t>(i)].row);
        };
        bits.Reset(count, kHeight, kRows, kBands, 0, DotsLayer::ReachOf(0));
        bits.Note(0, count, records.data(), true, {points.data(), false, 0});
        for (int i = 0; i + 1 < count; ++i) {
            const ProjectedRecord &r = records[static_cast<std::size_t>(i)], &next = (&r)[1];
            ASSERT_TRUE(
                NotedFor(bits, true, has(i) && has(i + 1) ? LinesLayer::ReachOf(r, next) : none, i))
                << "line from row " << r.row << " to " << next.row;
        }
        bits.Reset(count, kHeight, kRows, kBands, size, DotsLayer::ReachOf(size));
        bits.Note(0, count, records.data(), false, {points.data(), false, size});
        for (int i = 0; i < count; ++i) {
            const ProjectedRecord& r = records[static_cast<std::size_t>(i)];
            ASSERT_TRUE(NotedFor(bits, false, has(i) ? DotsLayer::ReachOf(r, size) : none, i))
                << "dot of size " << size << " on row " << r.row;
        }
    }
    // A record without an image has neither dot nor line.
    const ProjectedRecord records[] = {AtRow(std::numeric_limits<float>::quiet_NaN()), AtRow(50)};
    bits.Reset(2, kHeight, kRows, kBands, 2, DotsLayer::ReachOf(2));
    bits.Note(0, 2, records, true, {points.data(), false, 2});
    for (int band = 0; band < kBands; ++band) {
        bits.Segments(band).ForEach([](int i) { ADD_FAILURE() << "line of record " << i; });
        bits.Dots(band).ForEach([](int i) { EXPECT_EQ(i, 1); });
    }
}

// Leaving out records whose skip bytes are set, from a given record on: the band's own list,
// a run of every record, and every record of a subset's steps, each through the vector scan's
// blocks and the tail after them.
TEST(BandRecords, WithoutLeavesOutTheSkippedFromTheFirstRecordGiven) {
    constexpr int kCount = 200, kBand = 3;
    std::vector<std::uint8_t> bits(kCount + 8), skip(kCount + 1);
    for (int i = 0; i < kCount; ++i) {
        bits[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 3 != 0 ? 1 << kBand : 2);
        skip[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 5 < 2 || i % 7 == 0);
    }
    const BandRecords lists[] = {{bits.data(), kCount, kBand}, BandRecords(kCount), {kCount, 4, 2}};
    for (const BandRecords& listed : lists)
        for (const int from : {0, 1, 63, 64, 65, 130, 199})
            for (const bool withNext : {false, true}) {
                std::vector<int> expected, visited;
                listed.ForEach([&](int i) {
                    const auto at = static_cast<std::size_t>(i);
                    if (i < from || (skip[at] && (!withNext || skip[at + 1])) == 0)
                        expected.push_back(i);
                });
                listed.Without(skip.data(), from, withNext).ForEach([&](int i) {
                    visited.push_back(i);
                });
                ASSERT_FALSE(expected.empty());
                ASSERT_EQ(visited, expected) << "from " << from << (withNext ? ", with next" : "");
            }
}

}  // namespace
}  // namespace ocuvis::test
