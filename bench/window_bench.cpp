// The main window rotating at its fastest speed, 50 steps a second, on a private X server: the
// frames that reach the server in a second, with a million records (dots only, and with 1-pixel
// lines) and with the classic 49,999. The paint area is 1580 x 480, cross-eyed, 2-pixel dots,
// grid and axis labels.
//
// How frames are counted: the run starts its own Xvfb (a free display found with -displayfd)
// and the window runs on the xcb platform against it. A second X connection asks the server's
// DAMAGE extension for every rectangle drawn into the window (raw rectangles) and adds up the
// part of each that falls in the paint area; frames are that area over the paint area's own.
// So a frame counts once the server has put its pixels into the window, not when the window
// painted it; the angle labels and the status strip, also drawn each step, do not count.
// Without Xvfb every case is skipped with the reason.
//
// A cloud whose whole frame misses the timer turns as a subset of its records; "subset_share"
// is the part of the painted frames that showed one. The cases marked "whole" turn the subset
// off, so they show what the whole cloud reaches. "painted_per_second" counts the window's own
// renders and "steps_per_second" the timer's rotation steps, for comparison; "render_ms" is the
// mean time of a render, so that what a frame spends besides it (showing it, waiting for the
// server, the timer) is 1000 / frames_per_second less that.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchData.h"
#include "PrivateXServer.h"
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

// The private X server of the run, or why there is none.
struct XServer {
    pid_t pid = -1;
    std::string display;
    std::string missing;
};
XServer server;

void StartServer() {
    server.display = xserver::StartXvfb("1920x1080x24", server.pid);
    if (server.display.empty())
        server.missing = server.pid > 0 ? "Xvfb did not start" : "Xvfb is not installed";
}

void EndServer() {
    if (server.pid <= 0) return;
    kill(server.pid, SIGTERM);
    waitpid(server.pid, nullptr, 0);
}

// The pixels the X server has put into a rectangle of a window, counted in whole rectangles,
// through a connection of its own and the DAMAGE extension.
class ServerFrames {
  public:
    ~ServerFrames() {
        notifier_.reset();
        if (connection_ != nullptr) xcb_disconnect(connection_);
    }

    // Empty when counting, else why not.
    std::string Watch(const std::string& display, xcb_window_t window, const QRect& area) {
        connection_ = xcb_connect(display.c_str(), nullptr);
        if (xcb_connection_has_error(connection_) != 0) return "no connection to " + display;
        const xcb_query_extension_reply_t* damage =
            xcb_get_extension_data(connection_, &xcb_damage_id);
        if (damage == nullptr || damage->present == 0) return "the X server has no DAMAGE";
        firstEvent_ = damage->first_event;
        // The version must be asked for before the extension serves this client.
        free(xcb_damage_query_version_reply(
            connection_,
            xcb_damage_query_version(connection_, XCB_DAMAGE_MAJOR_VERSION,
                                     XCB_DAMAGE_MINOR_VERSION),
            nullptr));
        if (xcb_generic_error_t* error = xcb_request_check(
                connection_,
                xcb_damage_create_checked(connection_, xcb_generate_id(connection_), window,
                                          XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES))) {
            free(error);
            return "the X server reports no damage on the window";
        }
        area_ = area;
        notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_),
                                                      QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Take(); });
        Sync();
        return {};
    }

    // Every rectangle the server has drawn so far is counted.
    void Sync() {
        free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
        Take();
    }

    // Whole paint areas drawn: frames.
    double frames() const {
        return static_cast<double>(pixels_) / (static_cast<double>(area_.width()) * area_.height());
    }
    long reports() const { return reports_; }

  private:
    void Take() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            if ((event->response_type & 0x7f) == firstEvent_ + XCB_DAMAGE_NOTIFY) {
                const auto* notify = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                const QRect drawn(notify->area.x, notify->area.y, notify->area.width,
                                  notify->area.height);
                const QRect counted = drawn.intersected(area_);
                pixels_ += static_cast<long long>(counted.width()) * counted.height();
                ++reports_;
            }
            free(event);
        }
    }

    xcb_connection_t* connection_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
    uint8_t firstEvent_ = 0;
    QRect area_;
    long long pixels_ = 0;
    long reports_ = 0;
};

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
    // A cloud of dots without lines, as a binary PLY file: quick to write and read at any size.
    const std::string& CloudOf(int records) {
        auto& path = paths_[-records];
        if (path.empty()) path = bench::WritePlyFile(records);
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
        if (!server.missing.empty()) {
            failure_ = "needs Xvfb: " + server.missing;
            return;
        }
        if (QGuiApplication::platformName() != "xcb") {
            failure_ = "the xcb platform could not connect to " + server.display;
            return;
        }
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
        // Wholly on the screen: the server draws no pixels off it, and reports none.
        window_->move(0, 0);
        RunEvents(100);
        // What is drawn, chosen from the menus as a user would.
        const MainMenus& m = window_->menus();
        m.PointsPixel[2]->trigger();
        m.GridPixel[1]->trigger();
        if (!window_->document().view.axisLabels) m.AxisLabels->trigger();
        m.Sec[kFastestSpeedIndex]->trigger();
        QObject::connect(window_->RotateTimer, &QTimer::timeout, [this] { ++steps_; });
        // The paint area as the X window has it: the top level is the only native window.
        const QRect area(window_->GraphBoxWidget->mapTo(window_.get(), QPoint(0, 0)),
                         window_->GraphBoxWidget->size());
        if (failure_.empty())
            failure_ = serverFrames_.Watch(server.display, window_->windowHandle()->winId(), area);
    }

    // Empty when the window holds the records and rotates, else what went wrong.
    std::string Prepare(int records, int lineThickness, bool whole) {
        if (!failure_.empty()) return failure_;
        const MainMenus& m = window_->menus();
        // At rest while the case is set up, so that its first whole frame sets the pacing.
        if (window_->document().view.rotateAzimuth) m.AzimuthItem->trigger();
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
        m.LinesPixel[lineThickness]->trigger();
        window_->subsetWhileMoving = !whole;
        RunEvents(2 * TGraphWindow::kRestMilliseconds);
        m.AzimuthItem->trigger();
        return {};
    }

    // Empty when the window holds the cloud and is at rest, else what went wrong.
    std::string PrepareCloud(int records) {
        if (!failure_.empty()) return failure_;
        if (window_->document().view.rotateAzimuth) window_->menus().AzimuthItem->trigger();
        window_->subsetWhileMoving = true;
        if (-records != loaded_) {
            window_->fileInput().fields.RecordLimit = records;
            window_->OpenDataFile(Files().CloudOf(records));
            loaded_ = -records;
        }
        if (window_->document().store->pointCount != records)
            return "load gave \"" + window_->MsgLabel->text().toStdString() + "\" " +
                   dialogs_->lastMessage;
        RunEvents(2 * TGraphWindow::kRestMilliseconds);
        return {};
    }

    // Whether a whole frame at rest may be drawn on a thread of its own.
    void DrawWholeFramesApart(bool apart) {
        window_->backgroundFrameSeconds = apart ? 0.05 : std::numeric_limits<double>::infinity();
    }

    // A key pressed on the paint area, as the server would hand it over.
    void PressKey(Qt::Key key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(window_->GraphBoxWidget, &press);
        QApplication::sendEvent(window_->GraphBoxWidget, &release);
    }

    int frames() const { return window_->framesRendered(); }
    bool subsetShown() const { return window_->subsetShown(); }
    double wholeFrameSeconds() const { return window_->wholeFrameSeconds(); }
    int subsetFrames() const { return window_->subsetFramesRendered(); }
    double renderSeconds() const { return window_->renderSeconds(); }
    long steps() const { return steps_; }
    ServerFrames& serverFrames() { return serverFrames_; }

  private:
    std::unique_ptr<TGraphWindow> window_;
    NoDialogs* dialogs_ = nullptr;
    std::string failure_;
    ServerFrames serverFrames_;
    int loaded_ = 0;
    long steps_ = 0;
};

// Made at the first benchmark and gone before the application is.
std::unique_ptr<RotatingWindow> rotatingWindow;

RotatingWindow& Window() {
    if (!rotatingWindow) rotatingWindow = std::make_unique<RotatingWindow>();
    return *rotatingWindow;
}

// Arguments: records, line thickness (0 or 1), 1 to draw every frame whole.
void BM_WindowRotatingFramesPerSecond(benchmark::State& state) {
    RotatingWindow& window = Window();
    if (const std::string failure =
            window.Prepare(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                           state.range(2) != 0);
        !failure.empty()) {
        state.SkipWithError(failure.c_str());
        return;
    }
    RunEvents(100);  // the rotation under way
    ServerFrames& server = window.serverFrames();
    double shown = 0.0;
    long frames = 0, subsetFrames = 0, steps = 0, reports = 0;
    double seconds = 0.0, renderSeconds = 0.0;
    for (auto _ : state) {
        server.Sync();
        const double shownBefore = server.frames();
        const long reportsBefore = server.reports();
        const int framesBefore = window.frames();
        const int subsetFramesBefore = window.subsetFrames();
        const long stepsBefore = window.steps();
        const double renderSecondsBefore = window.renderSeconds();
        QElapsedTimer clock;
        clock.start();
        RunEvents(kMeasuredMilliseconds);
        server.Sync();
        seconds += static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        shown += server.frames() - shownBefore;
        reports += server.reports() - reportsBefore;
        frames += window.frames() - framesBefore;
        subsetFrames += window.subsetFrames() - subsetFramesBefore;
        steps += window.steps() - stepsBefore;
        renderSeconds += window.renderSeconds() - renderSecondsBefore;
    }
    state.counters["frames_per_second"] = shown / seconds;
    state.counters["painted_per_second"] = static_cast<double>(frames) / seconds;
    state.counters["steps_per_second"] = static_cast<double>(steps) / seconds;
    state.counters["damage_reports"] = static_cast<double>(reports);
    state.counters["render_ms"] =
        frames > 0 ? 1e3 * renderSeconds / static_cast<double>(frames) : 0.0;
    state.counters["subset_share"] =
        frames > 0 ? static_cast<double>(subsetFrames) / static_cast<double>(frames) : 0.0;
}
BENCHMARK(BM_WindowRotatingFramesPerSecond)
    ->ArgNames({"records", "lines", "whole"})
    ->Args({49999, 1, 0})
    ->Args({1000000, 0, 0})
    ->Args({1000000, 1, 0})
    ->Args({1000000, 0, 1})
    ->Args({1000000, 1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// A key pressed while the whole frame of a large cloud at rest is being drawn. The view is
// turned by a key, so that it moves as a subset; 30 ms after it has come to rest, when its whole
// frame is under way, a second key is pressed, from a timer of the event loop, as a key would
// come in from the server. "key_ms" is the time from that press until the window has drawn the
// frame the key asked for: a whole frame drawn on the window's own thread would hold the key
// until it is done ("whole_ms", the whole frame's time as the window last measured it), which
// the case with "apart" 0 shows.
void BM_WindowKeyDuringWholeFrame(benchmark::State& state) {
    RotatingWindow& window = Window();
    const auto records = static_cast<int>(state.range(0));
    if (const std::string failure = window.PrepareCloud(records); !failure.empty()) {
        state.SkipWithError(failure.c_str());
        return;
    }
    window.DrawWholeFramesApart(state.range(1) != 0);
    constexpr int kPressAfter = TGraphWindow::kRestMilliseconds + 30;
    double latency = 0.0, worst = 0.0;
    for (auto _ : state) {
        window.PressKey(Qt::Key_Right);
        RunEvents(1);
        QElapsedTimer clock;
        clock.start();
        int before = -1;
        QTimer::singleShot(kPressAfter, Qt::PreciseTimer, [&] {
            before = window.frames();
            window.PressKey(Qt::Key_Left);
        });
        double painted = -1.0;
        while (clock.elapsed() < 20000) {
            RunEvents(1);
            if (before >= 0 && window.frames() > before) {
                painted = static_cast<double>(clock.nsecsElapsed()) * 1e-6;
                break;
            }
        }
        if (painted < 0.0) {
            state.SkipWithError("the key's frame was never drawn");
            return;
        }
        latency += painted - kPressAfter;
        worst = std::max(worst, painted - kPressAfter);
        // At rest again, its whole frame shown, before the next press.
        RunEvents(TGraphWindow::kRestMilliseconds);
        for (int wait = 0; wait < 200 && window.subsetShown(); ++wait)
            RunEvents(50);
    }
    state.counters["key_ms"] = latency / static_cast<double>(state.iterations());
    state.counters["worst_key_ms"] = worst;
    state.counters["whole_ms"] = 1e3 * window.wholeFrameSeconds();
    window.DrawWholeFramesApart(true);
}
BENCHMARK(BM_WindowKeyDuringWholeFrame)
    ->ArgNames({"records", "apart"})
    ->Args({50000000, 1})
    ->Args({50000000, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    // Listing the cases needs no server.
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::string(argv[i]).starts_with("--benchmark_list_tests");
    if (!listing) StartServer();
    if (server.display.empty()) {
        if (server.missing.empty()) server.missing = "not started for a listing";
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else {
        setenv("DISPLAY", server.display.c_str(), 1);
        // Offscreen where the xcb platform cannot connect, so that the cases say why they skip.
        setenv("QT_QPA_PLATFORM", "xcb;offscreen", 1);
    }
    // The private server has no session bus; without this, libdbus tries to start one.
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    // Fixed metrics, as the widget tests have them, and settings of this run only.
    setenv("QT_FONT_DPI", "96", 1);
    setenv("QT_SCALE_FACTOR", "1", 1);
    const auto settings = std::filesystem::temp_directory_path() /
                          ("ocuvis-window-bench-" + std::to_string(getpid()) + ".sqlite");
    setenv("OCUVIS_REGISTRY", settings.c_str(), 1);
    int result = 0;
    {
        QApplication app(argc, argv);
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
            result = 1;
        } else {
            benchmark::RunSpecifiedBenchmarks();
            benchmark::Shutdown();
        }
        rotatingWindow.reset();
    }
    EndServer();
    std::error_code ignored;
    std::filesystem::remove(settings, ignored);
    return result;
}
