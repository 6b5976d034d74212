#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

#include "WindowTestSupport.h"
#include "app/ViewerDocument.h"

namespace ocuvis::test {
namespace {

// A progress display whose next update runs a handler, as the user interface's events do while
// a file loads.
struct EventfulProgress final : LoadProgressFactory {
    struct Progress final : LoadProgress {
        explicit Progress(std::function<void()>& handler) : handler_(handler) {}
        void UpdateFileProgress(std::int64_t) override {
            if (const auto handler = std::exchange(handler_, nullptr)) handler();
        }
        bool aborted() const override { return false; }
        std::function<void()>& handler_;
    };
    std::unique_ptr<LoadProgress> Create(const std::string&) override {
        return std::make_unique<Progress>(duringLoad);
    }
    std::function<void()> duringLoad;
};

class Document : public ::testing::Test {
  protected:
    Document() {
        gate.SetPresenter(&frames);
        document.Initialise(bounds);
        gate.viewReady = true;
    }

    TempFolder dir_;
    TextLoadDisplay display;
    ScriptedDialogs feedback;
    test::CountingPresenter frames;
    RedrawGate gate;
    SqliteHive hive{SqliteHive::DefaultPath()};
    EventfulProgress progress;
    FixedLoaderInput input;
    WindowBounds bounds;
    ViewerDocument document{display, feedback, gate, hive, progress, input};
};

TEST_F(Document, AnOpenDuringALoadWaitsForItAndThenWins) {
    const std::string a = dir_.Write("ocuvis-doc-a.3d", "1 1 1\n2 2 2\n3 3 3\n4 4 4\n");
    const std::string b = dir_.Write("ocuvis-doc-b.3d", "5 5 5\n6 6 6\n");
    int framesDuringLoad = -1;
    progress.duringLoad = [&] {
        document.OpenDataFile(b);
        framesDuringLoad = frames.frames;
    };
    const int before = frames.frames;
    document.OpenDataFile(a);
    EXPECT_EQ(framesDuringLoad, before);  // nothing renders a half-read store
    EXPECT_EQ(document.view.dataFileName, b);
    EXPECT_EQ(document.store->pointCount, 2);
    EXPECT_FALSE(document.loading());
    EXPECT_GT(frames.frames, before);
}

// Opening stops the rotations; opening again keeps the view of the file on show.
TEST_F(Document, ReOpenKeepsTheViewOfTheFileOnShow) {
    document.OpenDataFile(dir_.Write("ocuvis-doc-reopen.3d", "0 0 0\n10 10 10\n"));
    document.scaling.SetXRangePosition(30);
    document.scaling.SetAzimuth(40);
    document.view.rotateAzimuth = document.view.rotateElevation = true;
    document.ReOpen();
    EXPECT_EQ(document.view.xRangePosition, 30);
    EXPECT_EQ(document.view.azimuth, 40);
    EXPECT_FALSE(document.view.rotateAzimuth || document.view.rotateElevation);
    EXPECT_FALSE(document.loader.reopening);
}

// Every store of the document shares the one hive, which tells of each kind of failure once.
TEST_F(Document, AnUnusableStoreIsReportedOnceNotOncePerValue) {
    SqliteHive unusable("/dev/null/Tolvane/registry.sqlite");  // its folder cannot be made
    feedback.messages.clear();
    WindowBounds placed;
    {
        ViewerDocument other(display, feedback, gate, unusable, progress, input);
        other.Initialise(placed);
        other.SaveAtClose(placed);
        EXPECT_EQ(other.view.gridThickness, 1);  // the defaults stand
        EXPECT_EQ(placed, WindowBounds{});
    }
    std::set<std::string> distinct;
    for (const ShownMessage& message : feedback.messages)
        distinct.insert(message.title + message.text);
    // One per key and kind of failure, where some sixty values were read or written.
    EXPECT_EQ(distinct.size(), feedback.messages.size());
    EXPECT_GE(distinct.size(), 1u);
    EXPECT_LE(distinct.size(), 8u);
}

}  // namespace
}  // namespace ocuvis::test
