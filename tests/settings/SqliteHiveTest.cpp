#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "SettingsTestSupport.h"

using namespace ocuvis;
using namespace ocuvis::test;
using namespace std::chrono_literals;

namespace {

const std::string kKey = "Software\\Tolvane\\Ocuvis";

// Runs the usual start-up reads and close-time writes against a file that must be refused: one
// message, naming the file and the cause, that it can be neither read nor saved; one line on
// standard error; and the file left byte for byte.
void ExpectRefused(const std::string& file, const std::string& cause) {
    const auto before = FileBytes(file);
    {
        HiveOnFile use(file);
        std::int32_t pointSize = 2;
        std::string viewType;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(use.store.ReadInteger("Ocuvis", "Point Size", pointSize));
        EXPECT_FALSE(use.store.ReadString("Ocuvis", "View Type", viewType));
        use.store.WriteInteger("Ocuvis", "Point Size", 5);
        use.store.RemoveKey("Ocuvis\\Last Opened Files", false);
        const std::string lines = testing::internal::GetCapturedStderr();
        const std::string summary = "Settings cannot be read or saved: " + cause;
        EXPECT_EQ(
            use.messages.shown,
            (std::vector<ShownMessage>{
                {"Tried to open Windows Registry key \"" + kKey + "\", but failed.\n" + summary,
                 "Registry Key Open Attempt Failed", MessageIcon::Warning}}));
        EXPECT_EQ(lines, "ocuvis: warning: Registry Key Open Attempt Failed: " + summary + "\n");
    }
    EXPECT_EQ(FileBytes(file), before);
}

std::vector<std::string> SiblingFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs body in a child process that never outlives a minute.
pid_t InChild(const std::function<bool()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(60);
        _exit(body() ? 0 : 1);
    }
    return child;
}

// A hive file in a folder of its own.
class HiveFile : public ::testing::Test {
  protected:
    TempFolder folder;
    const std::string file = folder.Path("registry.sqlite");
};

// Too short for a header, a header of no database, and another program's database; every call
// fails and the program goes on.
TEST_F(HiveFile, AFileOrFolderThatIsNoHiveOfOursIsLeftAsItIs) {
    for (int kind = 0; kind < 3; ++kind) {
        if (kind < 2) {
            folder.Write("registry.sqlite", kind == 0 ? "hi\n" : std::string(6000, '\xA5'));
        } else {
            std::filesystem::remove(file);
            sqlite3* db = nullptr;
            sqlite3_open(file.c_str(), &db);
            sqlite3_exec(db, "CREATE TABLE people (name TEXT)", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        ExpectRefused(file, file + " is not a settings file of this program");
        EXPECT_EQ(SiblingFiles(folder.path()), std::vector<std::string>{"registry.sqlite"});
    }
    // A file where a folder should be, and a folder where the file should be.
    const std::string below = file + "/Tolvane/registry.sqlite";
    ExpectRefused(below, below + " cannot be made: its folder cannot be made");
    std::filesystem::create_directory(folder.Path("a folder"));
    ExpectRefused(folder.Path("a folder"), folder.Path("a folder") + " is not a file");
}

// A wrecked page at the end, found by the check at open, and a wrecked table of tables on the
// first page, found when the tables are listed: both are named as damage.
TEST_F(HiveFile, ADamagedHiveIsNotWrittenAgain) {
    {
        HiveOnFile first(file);
        first.store.WriteInteger("Ocuvis", "Point Size", 4);
        // Enough values elsewhere to fill pages that the start-up calls never visit.
        for (int i = 0; i < 400; ++i)
            first.store.WriteString("Elsewhere", std::to_string(i), std::string(40, 'x'));
    }
    const auto sound = FileBytes(file);
    ASSERT_GT(sound.size(), 4u * 4096);
    // The header stays ours in both.
    const std::pair<std::size_t, std::size_t> wrecked[] = {{sound.size() - 4096, 4096},
                                                           {100, 4096 - 100}};
    for (const auto& [from, length] : wrecked) {
        SCOPED_TRACE(from);
        auto bytes = sound;
        std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(from), length, '\xAB');
        folder.Write("registry.sqlite", bytes);
        ExpectRefused(file, file + " is damaged");
    }
}

TEST_F(HiveFile, MissingFoldersAreMadeAndTheValuesSurviveANewStore) {
    const std::string deep = folder.Path("config/Tolvane/registry.sqlite");
    { HiveOnFile(deep).store.WriteString("Ocuvis\\GraphTitles", "Main Title", "Peaks"); }
    HiveOnFile second(deep);
    std::string title;
    EXPECT_TRUE(second.store.ReadString("Ocuvis\\GraphTitles", "Main Title", title));
    EXPECT_EQ(title, "Peaks");
    // At rest the hive is the one file: no journal is left beside it.
    EXPECT_EQ(SiblingFiles(folder.Path("config/Tolvane")),
              std::vector<std::string>{"registry.sqlite"});

    // A path with an empty part names no key.
    for (const char* path : {"", "\\A", "A\\", "A\\\\B"}) {
        EXPECT_EQ(second.hive.WriteValue(path, "v", Dword(1)), HiveStatus::KeyUnavailable) << path;
        EXPECT_EQ(second.hive.RemoveKey(path), HiveStatus::KeyUnavailable) << path;
    }
}

TEST_F(HiveFile, ALockHeldPastTheTimeoutFailsTheCallAndALaterOneSucceeds) {
    { HiveOnFile(file).store.WriteInteger("Ocuvis", "Point Size", 3); }
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    SqliteHive hive(file, 150ms);
    RecordingFeedback messages;
    OrlenRegistry store(hive, messages);
    const auto start = std::chrono::steady_clock::now();
    store.WriteInteger("Ocuvis", "Point Size", 4);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 100ms);
    EXPECT_LT(waited, 5s);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.ends_with(file + " is in use by another program"))
        << messages.shown[0].text;

    // A lock let go within the timeout is waited for.
    std::thread release([other] {
        std::this_thread::sleep_for(100ms);
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    SqliteHive patient(file, 5000ms);
    OrlenRegistry(patient, messages).WriteInteger("Ocuvis", "Point Size", 6);
    release.join();
    sqlite3_close(other);
    std::int32_t pointSize = 0;
    EXPECT_TRUE(store.ReadInteger("Ocuvis", "Point Size", pointSize));
    EXPECT_EQ(pointSize, 6);
}

TEST_F(HiveFile, AWriterKilledMidWayLeavesEveryFinishedValue) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = InChild([&] {
        SqliteHive hive(file);
        RecordingFeedback messages;
        OrlenRegistry store(hive, messages);
        for (std::int32_t i = 0;; ++i) {
            store.WriteFloat("Ocuvis", std::to_string(i), i * 0.5);
            if (!messages.shown.empty() || write(pipeEnds[1], &i, sizeof i) != sizeof i)
                return false;
        }
    });
    ASSERT_GT(child, 0);
    close(pipeEnds[1]);
    std::int32_t finished = -1;
    for (std::int32_t reported = 0;
         finished < 40 && read(pipeEnds[0], &reported, sizeof reported) == sizeof reported;)
        finished = reported;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(pipeEnds[0]);
    ASSERT_GE(finished, 40);

    HiveOnFile check(file);
    for (std::int32_t i = 0; i <= finished; ++i) {
        double value = -1;
        ASSERT_TRUE(check.store.ReadFloat("Ocuvis", std::to_string(i), value)) << i;
        EXPECT_EQ(value, i * 0.5);
    }
    check.store.WriteInteger("Ocuvis", "after", 1);
    EXPECT_TRUE(check.messages.shown.empty());
}

// Id 0 marks the top of the tree; a key given it by another program makes the tree loop. The
// loop appears while a viewer has the hive open: its removal of the list must end, untouched.
TEST_F(HiveFile, AKeyTreeThatLoopsIsNeverWalkedForEverNorWrittenAgain) {
    { HiveOnFile(file).store.WriteString("Ocuvis\\Last Opened Files", "LastFile0", "/d/a.3d"); }
    const pid_t child = InChild([&] {
        HiveOnFile viewer(file);
        std::string path;
        viewer.store.ReadString("Ocuvis\\Last Opened Files", "LastFile0", path);
        sqlite3* other = nullptr;
        sqlite3_open(file.c_str(), &other);
        const int looped = sqlite3_exec(other,
                                        "INSERT INTO hive_keys (id, parent, name) SELECT 0, id, "
                                        "'loop' FROM hive_keys WHERE name = 'Last Opened Files'",
                                        nullptr, nullptr, nullptr);
        sqlite3_close(other);
        const auto before = FileBytes(file);
        const bool removed = viewer.store.RemoveKey("Ocuvis\\Last Opened Files", false);
        const auto& shown = viewer.messages.shown;
        return looped == SQLITE_OK && !removed && FileBytes(file) == before && shown.size() == 1 &&
               shown[0].text.ends_with(file + " is damaged");
    });
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);  // an endless walk dies by alarm
    // The next viewer refuses the hive at once.
    ExpectRefused(file, file + " is damaged");
}

// A call that fails inside a batch undoes only itself: the keys it made on the way go with it,
// and the batch's other values are kept when it ends.
TEST_F(HiveFile, ACallThatFailsInABatchUndoesOnlyItself) {
    { HiveOnFile(file).store.WriteInteger("Ocuvis", "Before", 1); }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER refuse BEFORE INSERT ON hive_values "
                           "WHEN NEW.name = 'Refused' BEGIN SELECT RAISE(ABORT, 'refused'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    SqliteHive hive(file);
    ASSERT_EQ(hive.BeginBatch(), HiveStatus::Done);
    EXPECT_EQ(hive.WriteValue(kKey, "Kept", Dword(2)), HiveStatus::Done);
    EXPECT_EQ(hive.WriteValue(kKey + "\\Half\\Made", "Refused", Dword(3)), HiveStatus::ValueFailed);
    EXPECT_NE(hive.FailureCause(), "");
    EXPECT_EQ(hive.WriteValue(kKey, "After", Dword(4)), HiveStatus::Done);
    EXPECT_EQ(hive.EndBatch(), HiveStatus::Done);

    SqliteHive check(file);
    EXPECT_EQ(check.ValueNames(kKey), (std::vector<std::string>{"After", "Before", "Kept"}));
    EXPECT_EQ(check.KeyExists(kKey + "\\Half"), HiveStatus::Missing);
}

TEST(SqliteHive, DefaultPathFollowsTheEnvironment) {
    const char* names[] = {"OCUVIS_REGISTRY", "XDG_CONFIG_HOME", "HOME"};
    std::optional<std::string> saved[3];
    for (int i = 0; i < 3; ++i)
        if (const char* value = std::getenv(names[i])) saved[i] = value;
    setenv("HOME", "/home/ann", 1);
    setenv("OCUVIS_REGISTRY", "/tmp/portable.sqlite", 1);
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(SqliteHive::DefaultPath(), "/tmp/portable.sqlite");
    unsetenv("OCUVIS_REGISTRY");
    EXPECT_EQ(SqliteHive::DefaultPath(), "/cfg/Tolvane/registry.sqlite");
    setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    EXPECT_EQ(SqliteHive::DefaultPath(), "/home/ann/.config/Tolvane/registry.sqlite");
    for (int i = 0; i < 3; ++i)
        saved[i] ? setenv(names[i], saved[i]->c_str(), 1) : unsetenv(names[i]);
}

}  // namespace
