#include <gtest/gtest.h>

#include <QtWidgets>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <tuple>
#include <utility>

#include "DialogTestSupport.h"
#include "input/dialogs/TFileProgressBarForm.h"

namespace ocuvis::test {
namespace {

class ProgressForm : public ::testing::Test {
  protected:
    std::unique_ptr<TFileProgressBarForm> Form(const std::string& name) {
        return std::make_unique<TFileProgressBarForm>(files.Write(name, std::string(10240, '1')),
                                                      settings.progressPosition, settings.feedback);
    }

    TestSettings settings;
    TempFolder files;
};

TEST_F(ProgressForm, ShowsTheBytesReadComesBackWhereItWasLeftAndNamesAMissingFile) {
    auto form = Form("ten.3d");
    EXPECT_EQ(form->windowTitle().toStdString(), files.Path("ten.3d"));
    EXPECT_TRUE(form->isVisible());
    form->UpdateFileProgress(1536);  // 1.5 KB rounds to 2
    EXPECT_EQ(form->ProgressBarLabel->text() + form->PercentIndicatorLabel->text() +
                  QString::number(form->FileLoadProgressBar->value()),
              "Loading File:  2 KB of 10 KB15%15");
    form->move(123, 45);
    form.reset();
    EXPECT_EQ(settings.hive.ValueNames("Software\\Tolvane\\Ocuvis\\ProgressBar"),
              (std::vector<std::string>{"Window Position Left", "Window Position Top"}));
    EXPECT_EQ(Form("ten.3d")->frameGeometry().topLeft(), QPoint(123, 45));

    auto missing = std::make_unique<TFileProgressBarForm>(
        files.Path("nowhere.3d"), settings.progressPosition, settings.feedback);
    EXPECT_EQ(missing->windowTitle(), "Progress Bar Error: File does not exist");
    EXPECT_EQ(settings.feedback.beeps, std::vector<BeepKind>{BeepKind::Hand});
}

TEST(ProgressTexts, KilobytesKeepFiveSignificantDigitsAndPercentagesStayWithinRange) {
    // Halves round up, not to even; 99,999.5 KB rounds up to six digits.
    const std::pair<std::int64_t, const char*> kilobytes[] = {
        {511, "0"},           {512, "1"},         {2560, "3"},
        {102399487, "99999"}, {102399488, "1E5"}, {126418944, "1.2346E5"}};
    for (const auto& [bytes, text] : kilobytes)
        EXPECT_EQ(TFileProgressBarForm::KilobyteText(bytes), text) << bytes;

    // An empty file counts as read; one that grows while it is read stops at the top.
    const std::tuple<std::int64_t, std::int64_t, float> percentages[] = {
        {0, 0, 100.0f}, {0, 10, 0.0f}, {20, 10, 100.0f}, {3, 1000, 0.3f}, {999, 1000, 99.9f}};
    for (const auto& [position, size, percent] : percentages)
        EXPECT_EQ(TFileProgressBarForm::PercentDone(position, size), percent) << position;
}

// Milliseconds of processor time this thread has used: a wait measured in it does not grow
// while a busy machine keeps the test from running at all.
double ThreadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

TEST_F(ProgressForm, PendingEventsRunOftenButNotAtEveryLine) {
    auto form = Form("q.3d");
    // A stream of posted events, each posting the next once it ran; their delays are how long
    // a click or a repaint waits while lines are read.
    double postedAt = 0, longestWait = 0;
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
    int updates = 0;
    while (clock.elapsed() < 400) {
        form->UpdateFileProgress(++updates % 10240);
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

}  // namespace
}  // namespace ocuvis::test
