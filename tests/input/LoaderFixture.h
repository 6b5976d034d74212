#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "input/DataFileLoader.h"

namespace ocuvis::fixture {

class RecordingScaleReset final : public ScaleReset {
  public:
    void AutoScale(bool resetAngles) override {
        calls.push_back(resetAngles ? "AutoScale(true)" : "AutoScale(false)");
    }
    void RestoreScaleSettings() override { calls.push_back("RestoreScaleSettings"); }

    std::vector<std::string> calls;
};

// Keeps every caption, not just the last: a load shows the name as passed before the completed one.
class RecordingDisplay final : public LoadDisplay {
  public:
    void SetCaption(const std::string& text) override { captions.push_back(text); }
    void SetStatusText(const std::string& text) override { statusText = text; }

    std::vector<std::string> captions;
    std::string statusText;
};

// Progress windows that record what the loader reports; from update number abortAtUpdate on
// (counting from 1) they say Abort was pressed. 0 never aborts.
class FakeProgressFactory final : public LoadProgressFactory {
  public:
    std::unique_ptr<LoadProgress> Create(const std::string& fileName) override;

    int abortAtUpdate = 0;
    std::vector<std::string> created;
    std::vector<std::int64_t> positions;
};

// A loader with its store and services; the store lives on the heap (it is about a megabyte).
struct LoaderHarness {
    explicit LoaderHarness(std::string lastOpened = "unrelated-previous.3d");

    // Loads like the window does: the result becomes pointCount.
    std::int32_t Load(const std::string& path);

    const DataPoint& Point(int i) const { return store->points[static_cast<std::size_t>(i)]; }
    // Data values back from cube coordinates, through the maps the load wrote.
    double DataX(float cube) const { return (cube - graph.xdataShift) / double(graph.xdataScale); }
    double DataY(float cube) const { return (cube - graph.ydataShift) / double(graph.ydataScale); }
    double DataZ(float cube) const { return (cube - graph.zdataShift) / double(graph.zdataScale); }

    std::unique_ptr<PointStore> store = std::make_unique<PointStore>();
    GraphRecord graph;
    GraphViewState view;
    FakeProgressFactory progress;
    FixedFileInputSetup input;
    MemoryRecentFiles recent;
    RecordingScaleReset scaling;
    RecordingDisplay display;
    DataFileLoader loader;
};

// The sampling generator's draws for a seed (multiplier 22695477, increment 1), computed in 128-bit
// arithmetic rather than through SampleGenerator.
std::vector<std::uint32_t> ReferenceDraws(std::uint32_t seed, std::size_t count);

// Which of lineCount lines a sampled load keeps at the given percentage.
std::vector<bool> ReferenceKept(std::uint32_t seed, float percent, std::size_t lineCount);

}  // namespace ocuvis::fixture
