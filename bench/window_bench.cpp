// The main window rotating at its fastest speed, 50 steps a second, on the offscreen platform:
// the frames it actually paints in a second, with a million records and with the classic 49,999.
// The paint area is 1580 x 480, cross-eyed, 1-pixel lines, 2-pixel dots, grid and axis labels.
// A cloud whose whole frame misses the timer turns as a subset of its records; "subset_share"
// is the part of the frames that showed one.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "BenchData.h"
#include "app/window/TGraphWindow.h"

using namespace ocuvis;

namespace {

constexpr int kPaintWidth = 1580;
constexpr int kPaintHeight = 480;
// Long enough to even out the timer's jitter, short enough for the one-pass check.
constexpr int kMeasuredMilliseconds = 2000;

// Runs the event loop for the given time, as the application would between user actions.
void RunEvents(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Dialogs nobody answers: any message box would stop the run.
class NoDialogs final : public WindowDialogs {
  public:
    void MessageBeep(BeepKind) override {}
    void ShowMessage(const std::string& text, const std::string&, MessageIcon) override {
        lastMessage = text;
    }
    std::optional<Colour> ChooseColour(QWidget*) override { return std::nullopt; }
    std::string ChooseDataFile(QWidget*) override { return {}; }
    std::string ChooseSetupDataFile(QWidget*) override { return {}; }
    std::string ChooseGraphSavePath(QWidget*) override { return {}; }
    bool SetUpPrinter(QPrinter&, QWidget*) override { return false; }
    int RunModal(QDialog&) override { return 0; }
    std::string lastMessage;
};

// The data files, written once for the whole run.
class DataFiles {
  public:
    ~DataFiles() {
        for (const auto& [records, path] : paths_)
            std::remove(path.c_str());
    }
    const std::string& Of(int records) {
        auto& path = paths_[records];
        if (path.empty()) path = bench::WriteRunsFile(records);
        return path;
    }

  private:
    std::map<int, std::string> paths_;
};

DataFiles& Files() {
    static DataFiles files;
    return files;
}

// One window for the run; it loads another file only when the record count changes, so the
// repetitions measure rotation alone.
class RotatingWindow {
  public:
    RotatingWindow() {
        auto dialogs = std::make_unique<NoDialogs>();
        dialogs_ = dialogs.get();
        TGraphWindow::Services services;
        services.dialogs = std::move(dialogs);
        window_ = std::make_unique<TGraphWindow>(std::string(), std::move(services));
        window_->show();
        for (int wait = 0; wait < 100 && !window_->windowHandle()->isExposed(); ++wait)
            RunEvents(10);
        if (!window_->windowHandle()->isExposed()) failure_ = "the window was not shown";
        // The paint area at the frame size under test; the rest of the window around it.
        const QSize around = window_->size() - window_->GraphBoxWidget->size();
        window_->resize(around + QSize(kPaintWidth, kPaintHeight));
        QApplication::processEvents();
        // What is drawn, chosen from the menus as a user would.
        const MainMenus& m = window_->menus();
        m.LinesPixel[1]->trigger();
        m.PointsPixel[2]->trigger();
        m.GridPixel[1]->trigger();
        if (!window_->document().view.axisLabels) m.AxisLabels->trigger();
        m.Sec[kFastestSpeedIndex]->trigger();
        QObject::connect(window_->RotateTimer, &QTimer::timeout, [this] { ++steps_; });
    }

    // Empty when the window holds the records and rotates, else what went wrong.
    std::string Prepare(int records) {
        if (!failure_.empty()) return failure_;
        if (records != loaded_) {
            // The limit as the input setup would set it, then the window's own open path.
            window_->fileInput().fields.RecordLimit = records;
            window_->OpenDataFile(Files().Of(records));
            loaded_ = records;
        }
        if (window_->document().store->pointCount != records)
            return "load gave \"" + window_->MsgLabel->text().toStdString() + "\" " +
                   dialogs_->lastMessage;
        if (window_->GraphBoxWidget->size() != QSize(kPaintWidth, kPaintHeight))
            return "the paint area is not 1580 x 480";
        if (!window_->document().view.rotateAzimuth) window_->menus().AzimuthItem->trigger();
        return {};
    }

    int frames() const { return window_->framesRendered(); }
    int subsetFrames() const { return window_->subsetFramesRendered(); }
    long steps() const { return steps_; }

  private:
    std::unique_ptr<TGraphWindow> window_;
    NoDialogs* dialogs_ = nullptr;
    std::string failure_;
    int loaded_ = 0;
    long steps_ = 0;
};

// Made at the first benchmark and gone before the application is.
std::unique_ptr<RotatingWindow> rotatingWindow;

RotatingWindow& Window() {
    if (!rotatingWindow) rotatingWindow = std::make_unique<RotatingWindow>();
    return *rotatingWindow;
}

void BM_WindowRotatingFramesPerSecond(benchmark::State& state) {
    RotatingWindow& window = Window();
    if (const std::string failure = window.Prepare(static_cast<int>(state.range(0)));
        !failure.empty()) {
        state.SkipWithError(failure.c_str());
        return;
    }
    RunEvents(100);  // the first frame of a new load is no rotation step
    long frames = 0, subsetFrames = 0;
    long steps = 0;
    double seconds = 0.0;
    for (auto _ : state) {
        const int framesBefore = window.frames();
        const int subsetFramesBefore = window.subsetFrames();
        const long stepsBefore = window.steps();
        QElapsedTimer clock;
        clock.start();
        RunEvents(kMeasuredMilliseconds);
        seconds += static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        frames += window.frames() - framesBefore;
        subsetFrames += window.subsetFrames() - subsetFramesBefore;
        steps += window.steps() - stepsBefore;
    }
    state.counters["frames_per_second"] = static_cast<double>(frames) / seconds;
    state.counters["steps_per_second"] = static_cast<double>(steps) / seconds;
    state.counters["subset_share"] =
        frames > 0 ? static_cast<double>(subsetFrames) / static_cast<double>(frames) : 0.0;
}
BENCHMARK(BM_WindowRotatingFramesPerSecond)
    ->Arg(49999)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Fixed metrics, as the widget tests have them, and settings of this run only.
    setenv("QT_FONT_DPI", "96", 1);
    setenv("QT_SCALE_FACTOR", "1", 1);
    const auto settings = std::filesystem::temp_directory_path() /
                          ("ocuvis-window-bench-" + std::to_string(getpid()) + ".sqlite");
    setenv("OCUVIS_REGISTRY", settings.c_str(), 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    rotatingWindow.reset();
    std::error_code ignored;
    std::filesystem::remove(settings, ignored);
    return 0;
}
