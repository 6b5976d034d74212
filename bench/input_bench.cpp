// Loading and normalising: a classic full data set of 49,999 records of x y z and a dot size, a
// million records from a text file and from a binary PLY file with the limit raised (again into
// the same viewer, and as a first load into a new one), and a ten-million-line file at the
// default limit, whose lines past the limit are only counted.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchData.h"
#include "app/standalone/StandaloneViewer.h"
#include "input/NormaliseIntoCube.h"

using namespace ocuvis;

namespace {

constexpr int kLines = 49999;

void BM_LoadFieldLayout(benchmark::State& state) {
    const std::string path = bench::WriteFieldLayoutFile(kLines);
    StandaloneViewer viewer;
    for (auto _ : state) {
        benchmark::DoNotOptimize(viewer.Load(path));
    }
    if (viewer.display.statusText != "Plotted 49999 points") state.SkipWithError("wrong load");
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadFieldLayout)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

constexpr int kMillion = 1000000;

// Loads again into the same viewer, whose store keeps its memory from the load before; a first
// load (cold) makes a new viewer each time, so its store is allocated and its pages touched
// afresh, as when the program opens its first file. The file stays in the page cache either way.
void LoadMillion(benchmark::State& state, const std::string& path, bool cold) {
    auto viewer = std::make_unique<StandaloneViewer>();
    viewer->fileInput.fields.RecordLimit = kMillion;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            viewer = std::make_unique<StandaloneViewer>();
            viewer->fileInput.fields.RecordLimit = kMillion;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(viewer->Load(path));
    }
    if (viewer->display.statusText != "Plotted 1000000 points") state.SkipWithError("wrong load");
    std::remove(path.c_str());
}

void BM_LoadMillionLineText(benchmark::State& state) {
    LoadMillion(state, bench::WriteXyzFile(kMillion), state.range(0) == 1);
}
BENCHMARK(BM_LoadMillionLineText)
    ->ArgName("cold")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_LoadMillionVertexPly(benchmark::State& state) {
    LoadMillion(state, bench::WritePlyFile(kMillion), state.range(0) == 1);
}
BENCHMARK(BM_LoadMillionVertexPly)
    ->ArgName("cold")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// 10,000,000 lines at the default limit: 49,999 are stored, the rest only counted. Compare with
// BM_LoadFieldLayout and with `wc -l` of the same file (its path is printed).
void BM_CountPastTheLimit(benchmark::State& state) {
    static const std::string path = [] {
        std::string written = bench::WriteXyzFile(10000000);
        static std::string removed = written;
        std::atexit([] { std::remove(removed.c_str()); });
        return written;
    }();
    StandaloneViewer viewer;
    for (auto _ : state) {
        benchmark::DoNotOptimize(viewer.Load(path));
    }
    if (viewer.display.statusText != "Plotted 49999 of 10000000 points (limit)")
        state.SkipWithError("wrong load");
    state.SetLabel(path);
}
BENCHMARK(BM_CountPastTheLimit)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

// Fills the store with 49,999 records around the given centre and spread.
void FillStore(PointStore& store, double centre, double spread) {
    store.points.resize(kLines);
    for (int i = 0; i < kLines; ++i) {
        const double t = i * 0.013;
        store.points[static_cast<std::size_t>(i)] = {
            static_cast<float>(centre + spread * std::sin(t)),
            static_cast<float>(centre + spread * std::cos(t * 0.7)),
            static_cast<float>(centre + spread * std::sin(t * 1.3)), static_cast<float>(i % 11)};
    }
}

void NormaliseAround(benchmark::State& state, double centre, double spread) {
    auto store = std::make_unique<PointStore>();
    auto pristine = std::make_unique<PointStore>();
    FillStore(*pristine, centre, spread);
    GraphRecord graph;
    for (auto _ : state) {
        state.PauseTiming();
        store->points = pristine->points;
        state.ResumeTiming();
        NormaliseIntoCube(*store, kLines, graph);
        benchmark::ClobberMemory();
    }
}

void BM_NormaliseIntoCube(benchmark::State& state) {
    NormaliseAround(state, 0.0, 50.0);
}
BENCHMARK(BM_NormaliseIntoCube)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// Far from zero with a small range (1e7 .. 1e7 + 1): the walk to the minimum is at its longest.
void BM_NormaliseFarFromZero(benchmark::State& state) {
    NormaliseAround(state, 1e7 + 0.5, 0.5);
}
BENCHMARK(BM_NormaliseFarFromZero)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

}  // namespace

BENCHMARK_MAIN();
