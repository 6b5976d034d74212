// Whole frames of a full data set: 49,999 records in connected runs, 1580 × 480, cross-eyed,
// 1-pixel lines, 2-pixel dots, simple grid with axis labels; with and without fading. Each
// frame is drawn on the fast canvas and on the plain per-primitive QPainter canvas, so one run
// gives the ratio. The same scene with a million records, the record limit raised to match,
// shows how the fast canvas scales. Fast frames are timed by the wall clock, as they use every
// core; their CPU time is that of both threads.
// BM_FrameUnderLoad draws the frames on a busy machine: four processes spin without pause, each
// in a session of its own (as four "yes > /dev/null &" from another terminal would), while
// frames alternate between one thread and the threads the renderer chooses (two on an idle
// machine; it keeps to one for a while after a frame that waited for a held-up worker). It
// reports that frame against the one-thread frame on the machine as it was before the load
// began ("vs_idle_one_thread") and under the same load ("vs_busy_one_thread"). Other work on
// the machine counts as load too.
// BM_PickPoint answers a click on the million-record scene.
// BM_RenderToolRun runs the ocuvis-render executable on a 1,000-record file, default size, to a
// PNG file: a whole process, start-up and all, timed by the wall clock.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchData.h"
#include "app/standalone/StandaloneViewer.h"
#include "render/FrameRenderer.h"
#include "render/PointPick.h"
#include "render/SubsetPacing.h"
#include "render/reference/QPainterCanvas.h"

using namespace ocuvis;

namespace {

constexpr int kWidth = 1580;
constexpr int kHeight = 480;

constexpr std::int32_t kClassicRecords = 49999;
constexpr std::int32_t kMillionRecords = 1000000;

// The benchmark's frame: the file loaded as an open would, then the view of the figures.
struct Scene : StandaloneViewer {
    TitleTexts titles;

    explicit Scene(std::int32_t records) {
        fileInput.fields.RecordLimit = records;
        const std::string path = bench::WriteRunsFile(records);
        Load(path);
        std::remove(path.c_str());
        view.viewType = ViewType::CrossEyes;
        view.lineThickness = 1;
        view.pointSize = 2;
        view.gridThickness = 1;
        view.axisLabels = true;
        scaling.SetAzimuth(30);
        scaling.SetElevation(20);
    }
};

Scene& TheScene(std::int32_t records = kClassicRecords) {
    static std::map<std::int32_t, std::unique_ptr<Scene>> scenes;
    std::unique_ptr<Scene>& scene = scenes[records];
    if (!scene) scene = std::make_unique<Scene>(records);
    return *scene;
}

bool CheckScene(benchmark::State& state, const Scene& scene, std::int32_t records) {
    if (scene.store->pointCount != records || scene.store->dotSizesPresent != 0) {
        state.SkipWithError("the data set did not load as the records wanted without dot sizes");
        return false;
    }
    return true;
}

void BM_FrameFast(benchmark::State& state) {
    const auto records = static_cast<std::int32_t>(state.range(2));
    Scene& scene = TheScene(records);
    if (!CheckScene(state, scene, records)) return;
    scene.view.fadeLines = state.range(0) != 0;
    scene.view.lineThickness = static_cast<int>(state.range(1));
    FrameRenderer renderer;
    renderer.dataThreads = static_cast<int>(state.range(3));
    const FrameSources sources{scene.view, scene.graph, *scene.store, scene.titles};
    for (auto _ : state) {
        QImage frame = renderer.RenderImage(kWidth, kHeight, sources);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetLabel(scene.view.fadeLines ? "fast canvas, fading" : "fast canvas");
    scene.view.lineThickness = 1;
}
// Arguments: fading, line width, records, threads (0: as the machine allows).
BENCHMARK(BM_FrameFast)
    ->Args({0, 1, kClassicRecords, 0})
    ->Args({1, 1, kClassicRecords, 0})
    ->Args({0, 3, kClassicRecords, 0})
    ->Args({0, 1, kMillionRecords, 0})
    ->Args({1, 1, kMillionRecords, 0})
    ->Args({0, 1, kMillionRecords, 1})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The composed stereo views (two eye images, then mixed or packed) against the cross-eyed
// frame of the same scene and size: "vs_cross" is the view's frame time over the cross-eyed
// one's, both as the CPU time of the process (every thread's), timed alternately in the same
// run, so that other load on the machine does not count.
void BM_StereoView(benchmark::State& state) {
    const auto records = static_cast<std::int32_t>(state.range(1));
    Scene& scene = TheScene(records);
    if (!CheckScene(state, scene, records)) return;
    const auto type = static_cast<ViewType>(state.range(0));
    FrameRenderer renderer;
    const FrameSources sources{scene.view, scene.graph, *scene.store, scene.titles};
    const auto cpuSeconds = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    };
    const auto timed = [&](ViewType view) {
        scene.view.viewType = view;
        const double start = cpuSeconds();
        QImage frame = renderer.RenderImage(kWidth, kHeight, sources);
        benchmark::DoNotOptimize(frame.constBits());
        return cpuSeconds() - start;
    };
    double viewTime = 0.0, crossTime = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        crossTime += timed(ViewType::CrossEyes);
        state.ResumeTiming();
        viewTime += timed(type);
    }
    scene.view.viewType = ViewType::CrossEyes;
    state.counters["vs_cross"] = viewTime / crossTime;
    state.SetLabel(std::string(ViewTypeName(type)));
}
BENCHMARK(BM_StereoView)
    ->ArgsProduct(
        {{static_cast<int>(ViewType::RedCyan), static_cast<int>(ViewType::GreenMagenta),
          static_cast<int>(ViewType::AmberBlue), static_cast<int>(ViewType::SideBySideHalf),
          static_cast<int>(ViewType::TopBottom), static_cast<int>(ViewType::TopBottomHalf)},
         {kClassicRecords, kMillionRecords}})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// The million-record frame uncoloured, in colours of its own and coloured by z through the
// map, with fine dots and depth shading; in one run, as the budget is a ratio. The colours'
// bytes per record are reported (0 when the file has none).
void BM_FrameColoured(benchmark::State& state) {
    Scene& scene = TheScene(kMillionRecords);
    if (!CheckScene(state, scene, kMillionRecords)) return;
    const int mode = static_cast<int>(state.range(0));
    PointStore& store = *scene.store;
    if (mode != 0) {
        store.colourColumn = PointStore::ColourColumn::Rgb;
        store.colours.resize(store.points.size());
        for (std::size_t i = 0; i < store.colours.size(); ++i)
            store.colours[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    }
    scene.view.colourBy = mode == 2 ? ColourBy::Z : ColourBy::File;
    scene.view.depthShade = mode == 3;
    scene.view.finePoints = mode == 3 ? FinePoints::OnePixel : FinePoints::Off;
    FrameRenderer renderer;
    const FrameSources sources{scene.view, scene.graph, store, scene.titles};
    for (auto _ : state) {
        QImage frame = renderer.RenderImage(kWidth, kHeight, sources);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["colour_bytes_per_record"] =
        static_cast<double>(store.colours.capacity() * sizeof(std::uint32_t)) /
        static_cast<double>(store.points.size());
    const char* labels[] = {"uncoloured", "file colours", "by z, viridis",
                            "file colours, fine, depth shaded"};
    state.SetLabel(labels[mode]);
    store.colourColumn = PointStore::ColourColumn::None;
    std::vector<std::uint32_t>().swap(store.colours);
    scene.view.colourBy = ColourBy::File;
    scene.view.depthShade = false;
    scene.view.finePoints = FinePoints::Off;
}
// Argument: 0 uncoloured, 1 file colours, 2 by z, 3 file colours with fine dots and shading.
BENCHMARK(BM_FrameColoured)
    ->DenseRange(0, 3)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

constexpr std::int32_t kTenMillionRecords = 10000000;

// Frames while the view moves, as the window draws them: a second whole frame is timed, as at rest,
// and the subset step the window would take for a frame budget (four fifths of the interval)
// follows from it; then the subset frames are timed. "step" is the subset's step (1: whole),
// "whole_ms" the whole frame's time.
void BM_FrameMoving(benchmark::State& state) {
    const auto records = static_cast<std::int32_t>(state.range(0));
    Scene& scene = TheScene(records);
    if (!CheckScene(state, scene, records)) return;
    scene.view.fadeLines = false;
    FrameRenderer renderer;
    const FrameSources sources{scene.view, scene.graph, *scene.store, scene.titles};
    renderer.RenderImage(kWidth, kHeight, sources);  // the first frame's memory is not timed
    const auto start = std::chrono::steady_clock::now();
    renderer.RenderImage(kWidth, kHeight, sources);
    const double whole =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    SubsetPacing pacing;
    pacing.NoteWholeFrame(records, whole);
    renderer.subsetStep = pacing.StepFor(records, 0.8e-3 * static_cast<double>(state.range(1)));
    for (auto _ : state) {
        QImage frame = renderer.RenderImage(kWidth, kHeight, sources);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["step"] = renderer.subsetStep;
    state.counters["whole_ms"] = 1000.0 * whole;
    state.SetLabel("moving, a frame every " + std::to_string(state.range(1)) + " ms");
}
// Arguments: records, the frame interval in milliseconds (20: the timer's fastest; 33: 30 a
// second).
BENCHMARK(BM_FrameMoving)
    ->Args({kMillionRecords, 20})
    ->Args({kTenMillionRecords, 33})
    ->Args({kTenMillionRecords, 20})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Processes that keep the cores busy until it goes, each in a session of its own as another
// program's would be (the scheduler shares the cores out between sessions first).
class BusyLoad {
  public:
    explicit BusyLoad(int processes) {
        for (int i = 0; i < processes; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                setsid();
                // Gone with the benchmark, however it ends.
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (getppid() == 1) _exit(0);
                for (std::uint64_t n = 0;; ++n)
                    benchmark::DoNotOptimize(n);
            }
            if (pid > 0) children_.push_back(pid);
        }
    }
    ~BusyLoad() {
        for (const pid_t pid : children_)
            kill(pid, SIGKILL);
        for (const pid_t pid : children_)
            waitpid(pid, nullptr, 0);
    }

  private:
    std::vector<pid_t> children_;
};

void BM_FrameUnderLoad(benchmark::State& state) {
    const auto records = static_cast<std::int32_t>(state.range(1));
    Scene& scene = TheScene(records);
    if (!CheckScene(state, scene, records)) return;
    scene.view.fadeLines = state.range(0) != 0;
    FrameRenderer one, two;
    one.dataThreads = 1;
    two.dataThreads = 0;
    const FrameSources sources{scene.view, scene.graph, *scene.store, scene.titles};
    const auto timed = [&](FrameRenderer& renderer) {
        const auto start = std::chrono::steady_clock::now();
        QImage frame = renderer.RenderImage(kWidth, kHeight, sources);
        benchmark::DoNotOptimize(frame.constBits());
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    // The yardstick: the least of a few one-thread frames before the load starts.
    double unloaded = timed(one);
    for (int i = 0; i < 4; ++i)
        unloaded = std::min(unloaded, timed(one));
    const BusyLoad load(static_cast<int>(state.range(2)));
    double oneTotal = 0.0, twoTotal = 0.0;
    for (auto _ : state) {
        oneTotal += timed(one);
        const double seconds = timed(two);
        twoTotal += seconds;
        state.SetIterationTime(seconds);
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["idle_one_thread_ms"] = 1000.0 * unloaded;
    state.counters["busy_one_thread_ms"] = 1000.0 * oneTotal / frames;
    state.counters["vs_idle_one_thread"] = twoTotal / frames / unloaded;
    state.counters["vs_busy_one_thread"] = twoTotal / oneTotal;
    state.SetLabel(scene.view.fadeLines ? "two threads on a busy machine; fading"
                                        : "two threads on a busy machine");
}
// Arguments: fading, records, busy processes.
BENCHMARK(BM_FrameUnderLoad)
    ->Args({0, kClassicRecords, 4})
    ->Args({1, kClassicRecords, 4})
    ->Args({0, kMillionRecords, 4})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_FramePlainQPainter(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!CheckScene(state, scene, kClassicRecords)) return;
    scene.view.fadeLines = state.range(0) != 0;
    FrameRenderer renderer;
    const FrameSources sources{scene.view, scene.graph, *scene.store, scene.titles};
    for (auto _ : state) {
        QImage frame = FrameRenderer::NewFrameImage(kWidth, kHeight);
        {
            QPainterCanvas canvas(frame);
            renderer.Render(canvas, kWidth, kHeight, sources);
        }
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetLabel(scene.view.fadeLines ? "plain QPainter, fading" : "plain QPainter");
}
BENCHMARK(BM_FramePlainQPainter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A click on the million-record scene: every record projected as the frame does, the nearest
// dot within reach found. The window answers a click with this.
void BM_PickPoint(benchmark::State& state) {
    Scene& scene = TheScene(kMillionRecords);
    if (!CheckScene(state, scene, kMillionRecords)) return;
    const FrameSources sources{scene.view, scene.graph, *scene.store, scene.titles};
    int found = 0;
    for (auto _ : state) {
        const PickedPoint picked = PickPoint(sources, kWidth, kHeight, kWidth / 4, kHeight / 2);
        found += picked.record >= 0;
        benchmark::DoNotOptimize(picked);
    }
    state.counters["found"] = found;
}
BENCHMARK(BM_PickPoint)->Unit(benchmark::kMillisecond);

// ocuvis-render draws such a frame (the first-run defaults: dots, grid, mode indicator) without
// loading Qt; frames that need the painter go to ocuvis-render-full, a second process.
// Where a run's time went (2-core virtual machine; means and medians of repeated runs):
//   before, with Qt Gui: 32.5 ms, 17 of them exec and Qt's 48 libraries loaded, relocated and
//     initialised, 2.5 to 5 the QGuiApplication, then fonts, the frame, PNG and the file;
//   now: an empty main 1.9 ms, ocuvis-render --version 4.6 ms (libstdc++, libpng, zlib), the
//     whole run about 12 ms: the file read and scaled, the frame drawn from the stamps made at
//     build time, PNG encoding, the file written with fsync and renamed (about 1 ms).
// A frame handed over costs the full renderer's run and about 5 ms more.
void BM_RenderToolRun(benchmark::State& state) {
    const std::string data = bench::WriteXyzFile(1000);
    const std::string image = data + ".png";
    std::vector<std::string> words = {OCUVIS_RENDER_EXECUTABLE, "-o", image, data};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t child = 0;
        int status = -1;
        if (posix_spawn(&child, argv[0], &quiet, nullptr, argv.data(), environ) != 0 ||
            waitpid(child, &status, 0) != child || status != 0) {
            state.SkipWithError("ocuvis-render failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&quiet);
    std::remove(image.c_str());
    std::remove(data.c_str());
}
BENCHMARK(BM_RenderToolRun)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
