#pragma once

// A loader with plain services, for the tests of each reader: files made in the test are loaded
// and their records read back in data units.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "input/DataFileLoader.h"

namespace ocuvis::test {

// What the loader reports through its services. Every caption is kept: a load shows the name as
// passed before the completed one. From update number abortAtUpdate on (from 1) Abort is pressed.
struct Recorder final : LoadProgressFactory, ScaleReset, LoadDisplay {
    struct Window final : LoadProgress {
        explicit Window(Recorder& owner) : o(owner) {}
        void UpdateFileProgress(std::int64_t position) override { o.positions.push_back(position); }
        bool aborted() const override { return o.positions.size() >= o.abortAtUpdate; }
        Recorder& o;
    };
    std::unique_ptr<LoadProgress> Create(const std::string& fileName) override {
        created.push_back(fileName);
        return std::make_unique<Window>(*this);
    }
    void AutoScale(bool resetAngles) override {
        scaleCalls.push_back(resetAngles ? "AutoScale(true)" : "AutoScale(false)");
    }
    void RestoreScaleSettings() override { scaleCalls.push_back("RestoreScaleSettings"); }
    void SetCaption(const std::string& text) override { captions.push_back(text); }
    void SetStatusText(const std::string& text) override { statusText = text; }
    std::size_t abortAtUpdate = SIZE_MAX;
    std::vector<std::string> created, scaleCalls, captions;
    std::vector<std::int64_t> positions;
    std::string statusText;
};

// A loader with its store and services: files made in the test are loaded and their records
// read back in data units.
struct Reader {
    explicit Reader(std::string lastOpened = "unrelated-previous.3d")
        : recent(std::move(lastOpened)) {}

    // Loads like the window does: the result becomes pointCount.
    std::int32_t Load(const std::string& path) {
        return store->pointCount = loader.LoadDataFile(path);
    }
    const DataPoint& Point(int i) const { return store->points[static_cast<std::size_t>(i)]; }
    // Data values back from cube coordinates, through the maps the load wrote.
    double DataX(float cube) const { return (cube - graph.xdataShift) / double(graph.xdataScale); }
    double DataY(float cube) const { return (cube - graph.ydataShift) / double(graph.ydataScale); }
    double DataZ(float cube) const { return (cube - graph.zdataShift) / double(graph.zdataScale); }
    // The records as data values again, the file's origin added back; breaks as they are.
    std::vector<std::vector<double>> Records() const {
        std::vector<std::vector<double>> records;
        const auto& [ox, oy, oz] = store->origin;
        for (std::int32_t i = 0; i < store->HeldCount(store->pointCount); ++i) {
            const DataPoint& p = Point(i);
            if (p.IsBreak())
                records.push_back({});
            else
                records.push_back({DataX(p.x) + ox, DataY(p.y) + oy, DataZ(p.z) + oz});
        }
        return records;
    }

    std::unique_ptr<PointStore> store = std::make_unique<PointStore>();
    GraphRecord graph;
    GraphViewState view;
    Recorder display;
    FixedLoaderInput input;
    MemoryRecentFiles recent;
    DataFileLoader loader{*store, graph, view,
                          LoaderServices{display, input, recent, display, display}};
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
