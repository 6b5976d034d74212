#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "TestSupport.h"
#include "ViewerDocument.h"
#include "WindowTestSupport.h"

namespace ocuvis::test {
namespace {

// A progress display whose updates can run a handler, as the user interface's events do while
// a file loads.
struct EventfulProgress final : LoadProgressFactory {
    struct Progress final : LoadProgress {
        explicit Progress(EventfulProgress& owner) : owner_(owner) {}
        void UpdateFileProgress(std::int64_t) override {
            if (owner_.duringLoad) {
                auto handler = std::move(owner_.duringLoad);
                owner_.duringLoad = nullptr;
                handler();
            }
        }
        bool aborted() const override { return false; }
        EventfulProgress& owner_;
    };
    std::unique_ptr<LoadProgress> Create(const std::string&) override {
        return std::make_unique<Progress>(*this);
    }
    std::function<void()> duringLoad;
};

class Document : public ::testing::Test {
  protected:
    Document() {
        gate.SetPresenter(&presenter);
        document.Initialise(bounds);
        gate.viewReady = true;
    }
    ~Document() override {
        for (const auto& file : files_)
            std::filesystem::remove(file);
    }
    std::string File(const std::string& name, const std::string& text) {
        const std::string path = (std::filesystem::temp_directory_path() / name).string();
        std::ofstream(path) << text;
        files_.push_back(path);
        return path;
    }

    TextLoadDisplay display;
    ScriptedDialogs feedback;
    CountingPresenter presenter;
    RedrawGate gate;
    HiveContents contents;
    MemoryHive hive{contents};
    EventfulProgress progress;
    FixedFileInputSetup input;
    WindowBounds bounds;
    ViewerDocument document{display, feedback, gate, hive, progress, input};
    std::vector<std::string> files_;
};

TEST_F(Document, AnOpenDuringALoadWaitsForItAndThenWins) {
    const std::string a = File("ocuvis-doc-a.3d", "1 1 1\n2 2 2\n3 3 3\n4 4 4\n");
    const std::string b = File("ocuvis-doc-b.3d", "5 5 5\n6 6 6\n");
    int framesDuringLoad = -1;
    progress.duringLoad = [&] {
        document.OpenDataFile(b);
        framesDuringLoad = presenter.frames;
    };
    const int before = presenter.frames;
    document.OpenDataFile(a);
    EXPECT_EQ(framesDuringLoad, before);  // nothing renders a half-read store
    EXPECT_EQ(document.view.dataFileName, b);
    EXPECT_EQ(document.store->pointCount, 2);
    EXPECT_EQ(display.statusText, "Plotted 2 points");
    EXPECT_FALSE(document.loading());
    EXPECT_GT(presenter.frames, before);
}

TEST_F(Document, ReOpenKeepsTheViewOfTheFileOnShow) {
    const std::string a = File("ocuvis-doc-reopen.3d", "0 0 0\n10 10 10\n");
    document.OpenDataFile(a);
    document.scaling.SetXRangePosition(30);
    document.scaling.SetAzimuth(40);
    document.ReOpen();
    EXPECT_EQ(document.view.xRangePosition, 30);
    EXPECT_EQ(document.view.azimuth, 40);
    EXPECT_FALSE(document.loader.reopening);
}

// A hive whose every key fails to open, as a store in a folder that cannot be written.
struct BrokenHive final : RegistryHive {
    HiveStatus ReadValue(std::string_view, std::string_view, StoredValue&) override {
        return HiveStatus::KeyUnavailable;
    }
    HiveStatus WriteValue(std::string_view, std::string_view, const StoredValue&) override {
        return HiveStatus::KeyUnavailable;
    }
    HiveStatus RemoveKey(std::string_view) override { return HiveStatus::KeyUnavailable; }
};

TEST(DocumentSettings, AnUnusableStoreIsReportedOnceNotOncePerValue) {
    TextLoadDisplay display;
    ScriptedDialogs feedback;
    RedrawGate gate;
    BrokenHive hive;
    SilentProgressFactory progress;
    FixedFileInputSetup input;
    WindowBounds bounds;
    {
        ViewerDocument document(display, feedback, gate, hive, progress, input);
        document.Initialise(bounds);
        document.SaveAtClose(bounds);
        // The defaults stand.
        EXPECT_EQ(document.view.gridThickness, 1);
        EXPECT_EQ(document.view.viewType, ViewType::CrossEyes);
    }
    ASSERT_FALSE(feedback.messages.empty());
    for (std::size_t i = 1; i < feedback.messages.size(); ++i) {
        EXPECT_NE(feedback.messages[i].text + feedback.messages[i].title,
                  feedback.messages[i - 1].text + feedback.messages[i - 1].title);
    }
    // One per key and kind of failure (some sixty values were read or written).
    EXPECT_LE(feedback.messages.size(), 8u);
}

}  // namespace
}  // namespace ocuvis::test
