#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <thread>

#include "DataFileLoader.h"
#include "DialogTestSupport.h"
#include "TFileProgressBarForm.h"

namespace ocuvis::test {
namespace {

class ProgressForm : public ::testing::Test {
  protected:
    std::unique_ptr<TFileProgressBarForm> Form(const std::string& path) {
        return std::make_unique<TFileProgressBarForm>(path, settings.progressPosition,
                                                      settings.feedback);
    }

    TestSettings settings;
    TempFolder files;
};

TEST_F(ProgressForm, TheMessageAndPercentageFollowTheBytesRead) {
    const std::string path = files.Write("ten.3d", std::string(10240, '1'));
    auto form = Form(path);
    EXPECT_EQ(form->windowTitle().toStdString(), path);
    EXPECT_EQ(form->fileSize, 10240);
    EXPECT_TRUE(form->isVisible());

    form->UpdateFileProgress(1536);  // 1.5 KB rounds to 2
    EXPECT_EQ(form->ProgressBarLabel->text(), "Loading File:  2 KB of 10 KB");
    EXPECT_EQ(form->PercentIndicatorLabel->text(), "15%");
    EXPECT_EQ(form->FileLoadProgressBar->value(), 15);
    EXPECT_EQ(form->percentDone, 15.0f);

    form->UpdateFileProgress(10240);
    EXPECT_EQ(form->ProgressBarLabel->text(), "Loading File:  10 KB of 10 KB");
    EXPECT_EQ(form->PercentIndicatorLabel->text(), "100%");
    EXPECT_EQ(form->FileLoadProgressBar->value(), 100);
    EXPECT_FALSE(form->aborted());
    EXPECT_TRUE(settings.feedback.beeps.empty());
}

TEST_F(ProgressForm, AnEmptyFileIsReadAtOnceAndAGrowingOneStopsAtTheTop) {
    auto empty = Form(files.Write("empty.3d", ""));
    empty->UpdateFileProgress(0);
    EXPECT_EQ(empty->ProgressBarLabel->text(), "Loading File:  0 KB of 0 KB");
    EXPECT_EQ(empty->PercentIndicatorLabel->text(), "100%");
    EXPECT_EQ(empty->FileLoadProgressBar->value(), 100);

    auto grown = Form(files.Write("small.3d", std::string(100, '1')));
    grown->UpdateFileProgress(4096);
    EXPECT_EQ(grown->PercentIndicatorLabel->text(), "100%");
    EXPECT_EQ(grown->ProgressBarLabel->text(), "Loading File:  4 KB of 0 KB");
}

struct KilobyteCase {
    std::int64_t bytes;
    const char* text;
};

TEST(ProgressTexts, KilobytesKeepFiveSignificantDigits) {
    const KilobyteCase cases[] = {
        {0, "0"},
        {511, "0"},
        {512, "1"},
        {1536, "2"},
        {2560, "3"},  // halves round up, not to even
        {102399487, "99999"},
        {102399488, "1E5"},  // 99,999.5 KB rounds up to six digits
        {126418944, "1.2346E5"},
        {1024LL * 1000000, "1E6"},
    };
    for (const KilobyteCase& c : cases)
        EXPECT_EQ(TFileProgressBarForm::KilobyteText(c.bytes), c.text) << c.bytes;
}

TEST(ProgressTexts, PercentagesStayWithinZeroAndAHundred) {
    EXPECT_EQ(TFileProgressBarForm::PercentDone(0, 0), 100.0f);
    EXPECT_EQ(TFileProgressBarForm::PercentDone(7, 0), 100.0f);
    EXPECT_EQ(TFileProgressBarForm::PercentDone(0, 10), 0.0f);
    EXPECT_EQ(TFileProgressBarForm::PercentDone(20, 10), 100.0f);
    EXPECT_EQ(TFileProgressBarForm::PercentDone(3, 1000), 0.3f);
    EXPECT_EQ(TFileProgressBarForm::PercentDone(999, 1000), 99.9f);
}

TEST_F(ProgressForm, AMissingFileSaysSoWithTheErrorBeep) {
    auto form = Form(files.Path("nowhere.3d"));
    EXPECT_EQ(form->windowTitle(), "Progress Bar Error: File does not exist");
    EXPECT_EQ(settings.feedback.beeps, std::vector<BeepKind>{BeepKind::Hand});
    EXPECT_EQ(form->fileSize, 0);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(form->size(), QSize(410, 120));
    EXPECT_EQ(form->FileLoadProgressBar->geometry(), QRect(10, 12, 384, 20));
    EXPECT_EQ(form->PercentIndicatorLabel->geometry().left(), 280);

    TProgressBarForm plain(settings.progressPosition, 40);
    EXPECT_EQ(plain.windowTitle(), "Progress Indicator");
    EXPECT_EQ(plain.FileLoadProgressBar->value(), 40);
    EXPECT_EQ(plain.ProgressBarLabel->text(), "Loading File...");
}

TEST_F(ProgressForm, TheWindowComesBackWhereItWasLeft) {
    const std::string path = files.Write("p.3d", "1 2 3\n");
    {
        auto first = Form(path);
        first->move(123, 45);
    }
    std::int32_t top = -1;
    std::int32_t left = -1;
    EXPECT_TRUE(settings.store.ReadInteger("Ocuvis\\ProgressBar", "Window Position Top", top));
    EXPECT_TRUE(settings.store.ReadInteger("Ocuvis\\ProgressBar", "Window Position Left", left));
    EXPECT_EQ(top, 45);
    EXPECT_EQ(left, 123);
    auto second = Form(path);
    EXPECT_EQ(second->frameGeometry().topLeft(), QPoint(123, 45));
    EXPECT_TRUE(settings.feedback.shown.empty());
}

// Milliseconds of processor time this thread has used: a wait measured in it does not grow
// while a busy machine keeps the test from running at all.
double ThreadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

TEST_F(ProgressForm, PendingEventsRunOftenButNotAtEveryLine) {
    auto form = Form(files.Write("q.3d", std::string(10240, '1')));
    // A stream of posted events, each posting the next once it ran; their delays are how long
    // a click or a repaint waits while lines are read.
    double postedAt = 0;
    double longestWait = 0;
    int handled = 0;
    std::function<void()> post = [&] {
        postedAt = ThreadMilliseconds();
        QTimer::singleShot(0, form.get(), [&] {
            longestWait = std::max(longestWait, ThreadMilliseconds() - postedAt);
            ++handled;
            post();
        });
    };
    post();
    QElapsedTimer clock;
    clock.start();
    std::int64_t position = 0;
    int updates = 0;
    while (clock.elapsed() < 400) {
        form->UpdateFileProgress(position++ % 10240);
        ++updates;
        // About a line's worth of work between reports.
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(50);
        while (std::chrono::steady_clock::now() < until) {
        }
    }
    EXPECT_LT(longestWait, 50.0);
    EXPECT_GE(handled, 5);
    // At most one run of events per interval, however many lines there were.
    EXPECT_LE(handled, 400 / TProgressBarForm::kEventIntervalMs + 2);
    EXPECT_GT(updates, 10 * handled);
}

// The real progress window in a load; posts a click on Abort when the first half of the file
// has been read and gives the window time to see it at that report.
class AbortingProgress final : public LoadProgressFactory {
  public:
    AbortingProgress(TestSettings& settings, std::int64_t abortAt)
        : settings_(settings), abortAt_(abortAt) {}
    std::unique_ptr<LoadProgress> Create(const std::string& fileName) override {
        struct Wrapped final : LoadProgress {
            void UpdateFileProgress(std::int64_t position) override {
                if (position >= owner->abortAt_ && !owner->clicked) {
                    owner->clicked = true;
                    QMetaObject::invokeMethod(form->AbortProgressBarBitBtn, &QPushButton::click,
                                              Qt::QueuedConnection);
                    std::this_thread::sleep_for(
                        std::chrono::milliseconds(TProgressBarForm::kEventIntervalMs + 5));
                }
                form->UpdateFileProgress(position);
            }
            bool aborted() const override { return form->aborted(); }
            std::unique_ptr<TFileProgressBarForm> form;
            AbortingProgress* owner = nullptr;
        };
        auto wrapped = std::make_unique<Wrapped>();
        wrapped->form = std::make_unique<TFileProgressBarForm>(fileName, settings_.progressPosition,
                                                               settings_.feedback);
        wrapped->owner = this;
        return wrapped;
    }
    bool clicked = false;

  private:
    TestSettings& settings_;
    std::int64_t abortAt_;
};

struct NoScale final : ScaleReset {
    void AutoScale(bool) override {}
    void RestoreScaleSettings() override {}
};

TEST_F(ProgressForm, AbortShowsTheFirstPartNormalisedOnItsOwn) {
    // x runs 0..10 in the first half and 1000..2000 in the second.
    std::string text;
    for (int i = 0; i < 1500; ++i)
        text += std::to_string(i % 11) + " 1 2\n";
    const auto half = static_cast<std::int64_t>(text.size());
    for (int i = 0; i < 1500; ++i)
        text += std::to_string(1000 + i) + " 1 2\n";
    const std::string path = files.Write("long.3d", text);

    AbortingProgress progress(settings, half + 1);
    FixedFileInputSetup input;
    MemoryRecentFiles recent;
    NoScale scaling;
    TextLoadDisplay display;
    auto store = std::make_unique<PointStore>();
    GraphRecord graph;
    GraphViewState view;
    DataFileLoader loader(*store, graph, view,
                          LoaderServices{progress, input, recent, scaling, display});
    const std::int32_t count = loader.LoadDataFile(path);

    EXPECT_TRUE(progress.clicked);
    EXPECT_EQ(count, 1500);
    EXPECT_EQ(display.statusText, "Plotted 1500 points");
    float largest = -2.0f;
    for (int i = 0; i < count; ++i)
        largest = std::max(largest, store->points[static_cast<std::size_t>(i)].x);
    // 0..10 alone: step 10, range -4..14, so 10 maps to 5/9.
    EXPECT_NEAR(largest, 5.0f / 9.0f, 1e-4f);
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TFileProgressBarForm*>(window), nullptr);
}

}  // namespace
}  // namespace ocuvis::test
