// The main window under a real window manager, whose frame and title bar the offscreen platform
// does not have: a private X server (Xvfb) with openbox on it, started for the run. Without
// them every test is skipped with the reason.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QScreen>
#include <QWindow>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "PrivateXServer.h"
#include "WindowTestSupport.h"

namespace ocuvis::test {
namespace {

namespace fs = std::filesystem;

// The X server and the window manager this run started, or why there are none.
struct XSession {
    pid_t server = -1;
    pid_t manager = -1;
    std::string missing;
};
XSession session;

using xserver::Spawn;

std::string StartServer() {
    return xserver::StartXvfb("1024x768x24", session.server);
}

// openbox runs its start-up command once it manages the screen.
bool StartManager(const fs::path& folder) {
    const fs::path ready = folder / "managing";
    session.manager = Spawn({"openbox", "--startup", "touch " + ready.string()});
    if (session.manager <= 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(ready) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return fs::exists(ready);
}

void StartSession(const fs::path& folder) {
    const std::string display = StartServer();
    if (display.empty()) {
        session.missing = session.server > 0 ? "Xvfb did not start" : "Xvfb is not installed";
        return;
    }
    setenv("DISPLAY", display.c_str(), 1);
    if (!StartManager(folder))
        session.missing =
            session.manager > 0 ? "openbox did not start" : "openbox is not installed";
}

void EndSession() {
    for (const pid_t pid : {session.manager, session.server}) {
        if (pid <= 0) continue;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

// Each test keeps its settings in a fresh hive of its own.
struct FreshSettingsHive final : ::testing::EmptyTestEventListener {
    std::string folder;
    int tests = 0;
    void OnTestStart(const ::testing::TestInfo&) override {
        const std::string file = folder + "/registry-" + std::to_string(++tests) + ".sqlite";
        setenv("OCUVIS_REGISTRY", file.c_str(), 1);
    }
};

class FramedWindow : public WindowTest {
  protected:
    void SetUp() override {
        if (!session.missing.empty()) GTEST_SKIP() << "needs Xvfb and openbox: " << session.missing;
        available_ = QGuiApplication::primaryScreen()->availableGeometry();
    }
    void StoreBounds(const QRect& r) {
        RecordingFeedback quiet;
        OrlenRegistry(settings_, quiet)
            .SaveFormBounds("Ocuvis", {r.top(), r.left(), r.height(), r.width()});
    }
    // Shown and framed by the window manager.
    void ShowFramed() {
        Open();
        w().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w().windowHandle()->frameMargins().isNull(); }))
            << "the window manager gave the window no frame";
    }
    bool FrameOnScreen() {
        return QTest::qWaitFor([&] { return available_.contains(w().frameGeometry()); });
    }

    QRect available_;
};

// The stored client size is the whole screen's: the frame is fitted, so the title bar and the
// bottom rows, the scroll bars among them, stay on the screen.
TEST_F(FramedWindow, AWindowStoredAsLargeAsTheScreenKeepsItsWholeFrameOnIt) {
    StoreBounds(available_);
    ShowFramed();
    EXPECT_TRUE(FrameOnScreen()) << w().frameGeometry().bottom() << " " << available_.bottom();
    const QRect bar(w().AzimuthScrollBar->mapToGlobal(QPoint(0, 0)), w().AzimuthScrollBar->size());
    EXPECT_TRUE(available_.contains(bar));
}

// A place kept from a run at another scale, most of the window off the screen: it fits, so it
// is moved onto the screen at its own size.
TEST_F(FramedWindow, AStoredPlaceMostlyOffTheScreenIsMovedOntoIt) {
    const QSize size(400, 250);
    StoreBounds(QRect(available_.bottomRight() - QPoint(100, 60), size));
    ShowFramed();
    EXPECT_TRUE(FrameOnScreen());
    EXPECT_EQ(w().size(), size);
}

// A place that fits, frame and all, is where the window shows.
TEST_F(FramedWindow, AStoredPlaceOnTheScreenIsKept) {
    const QRect stored(available_.topLeft() + QPoint(20, 30), QSize(400, 250));
    StoreBounds(stored);
    ShowFramed();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w().pos() == stored.topLeft(); }))
        << w().pos().x() << "," << w().pos().y();
    EXPECT_EQ(w().size(), stored.size());
}

}  // namespace
}  // namespace ocuvis::test

int main(int argc, char** argv) {
    using namespace ocuvis::test;
    ::testing::InitGoogleTest(&argc, argv);
    std::string folder = (fs::temp_directory_path() / "ocuvis-framed-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) return 1;
    const bool listing = ::testing::GTEST_FLAG(list_tests);
    if (!listing) StartSession(folder);
    if (listing || !session.missing.empty())
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    else
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("QT_FONT_DPI", "96", 1);
    // The private X server has no session bus; without this, libdbus tries to start one for
    // Qt's desktop integration, fails, and leaks its error.
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    int result = 0;
    {
        QApplication app(argc, argv);
        auto* hive = new FreshSettingsHive;  // the listeners own it
        hive->folder = folder;
        ::testing::UnitTest::GetInstance()->listeners().Append(hive);
        result = RUN_ALL_TESTS();
    }
    EndSession();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return result;
}
