#pragma once

// A loader with plain services, for the tests of each reader: files made in the test are loaded
// and their records read back in data units.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "input/DataFileLoader.h"

namespace ocuvis::test {

struct NoScaling final : ScaleReset {
    void AutoScale(bool) override {}
    void RestoreScaleSettings() override {}
};

struct Reader {
    std::int32_t Load(const std::string& path) {
        return store->pointCount = loader.LoadDataFile(path);
    }
    // The records as data values again, the file's origin added back; breaks as they are.
    std::vector<std::vector<double>> Records() const {
        std::vector<std::vector<double>> records;
        const auto& [ox, oy, oz] = store->origin;
        for (std::int32_t i = 0; i < store->HeldCount(store->pointCount); ++i) {
            const DataPoint& p = store->points[static_cast<std::size_t>(i)];
            if (p.IsBreak()) {
                records.push_back({});
                continue;
            }
            records.push_back({(p.x - graph.xdataShift) / double{graph.xdataScale} + ox,
                               (p.y - graph.ydataShift) / double{graph.ydataScale} + oy,
                               (p.z - graph.zdataShift) / double{graph.zdataScale} + oz});
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

// Records against the expected data values, each within tolerance times (1 + its size).
inline void ExpectRecords(const std::vector<std::vector<double>>& records,
                          const std::vector<std::vector<double>>& expected, double tolerance) {
    ASSERT_EQ(records.size(), expected.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        ASSERT_EQ(records[i].size(), expected[i].size()) << "record " << i;
        for (std::size_t k = 0; k < records[i].size(); ++k)
            EXPECT_NEAR(records[i][k], expected[i][k], tolerance * (1 + std::abs(expected[i][k])))
                << "record " << i;
    }
}

// Appends a value as bytes in the byte order asked for.
template <typename T>
void Put(std::string& bytes, T value, bool bigEndian) {
    char raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof raw);
    if (bigEndian) std::reverse(raw, raw + sizeof raw);
    bytes.append(raw, sizeof raw);
}

}  // namespace ocuvis::test
