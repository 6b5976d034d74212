// What the progress window costs a load: 49,999 lines of x y z and a dot size, read once with no
// progress display and once with the real window shown (offscreen platform), which reports every
// line and lets events run at most every 20 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchData.h"
#include "app/standalone/StandaloneViewer.h"
#include "input/dialogs/TFileProgressBarForm.h"

using namespace ocuvis;

namespace {

constexpr int kLines = 49999;

// A position that is never kept, and feedback nobody hears: the window's position and beeps are
// not what is measured.
class NoPosition final : public WindowBoundsStore {
  public:
    bool Restore(WindowBounds&) override { return false; }
    void Save(const WindowBounds&) override {}
};

class Quiet final : public UserFeedback {
  public:
    void MessageBeep(BeepKind) override {}
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
};

void Load(benchmark::State& state, LoadProgressFactory& progress) {
    const std::string path = bench::WriteFieldLayoutFile(kLines);
    StandaloneViewer viewer(progress);
    for (auto _ : state) {
        benchmark::DoNotOptimize(viewer.Load(path));
    }
    if (viewer.display.statusText != "Plotted 49999 points") state.SkipWithError("wrong load");
    std::remove(path.c_str());
}

void BM_LoadWithoutProgressWindow(benchmark::State& state) {
    SilentProgressFactory silent;
    Load(state, silent);
}
BENCHMARK(BM_LoadWithoutProgressWindow)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_LoadWithProgressWindow(benchmark::State& state) {
    NoPosition position;
    Quiet quiet;
    FileProgressFactory windows(position, quiet);
    Load(state, windows);
}
BENCHMARK(BM_LoadWithProgressWindow)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
