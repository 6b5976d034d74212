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

// Runs the usual start-up reads and close-time writes against a hive file and returns what
// the store showed; the defaults must survive whatever the file holds.
std::vector<ShownMessage> UseTheStore(const std::string& file) {
    HiveOnFile use(file);
    std::int32_t pointSize = 2;
    std::string viewType = "Cross Eyes";
    EXPECT_FALSE(use.store.ReadInteger("Ocuvis", "Point Size", pointSize));
    EXPECT_FALSE(use.store.ReadString("Ocuvis", "View Type", viewType));
    EXPECT_EQ(pointSize, 2);
    EXPECT_EQ(viewType, "Cross Eyes");
    use.store.WriteInteger("Ocuvis", "Point Size", 5);
    use.store.RemoveKey("Ocuvis\\Last Opened Files", false);
    return use.messages.shown;
}

// One message for the reads and one for the writes, each naming the file and the cause.
void ExpectRefused(const std::vector<ShownMessage>& shown, const std::string& cause) {
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Tried to open Windows Registry key \"" + kKey +
                                 "\", but failed.\nSettings cannot be read: " + cause);
    EXPECT_EQ(shown[1].text, "Tried to open/create Windows Registry key \"" + kKey +
                                 "\", but failed.\nSettings cannot be saved: " + cause);
    EXPECT_EQ(shown[0].title, "Registry Key Open Attempt Failed");
}

std::vector<std::string> SiblingFiles(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SqliteHive, AFileThatIsNoHiveOfOursIsLeftByteForByte) {
    TempFolder folder;
    const std::string file = folder.Path("registry.sqlite");
    std::vector<char> garbage(6000);
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>(i * 7 + 3);
    const std::function<void()> makers[] = {
        [&] { WriteFileBytes(file, garbage); },
        [&] {
            WriteFileBytes(file, {'h', 'i', '\n'});
        },
        [&] {  // another program's database
            std::filesystem::remove(file);
            sqlite3* db = nullptr;
            sqlite3_open(file.c_str(), &db);
            sqlite3_exec(db, "CREATE TABLE people (name TEXT); INSERT INTO people VALUES ('ann');",
                         nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }};
    for (const auto& make : makers) {
        make();
        const auto before = FileBytes(file);
        ExpectRefused(UseTheStore(file), file + " is not a settings file of this program");
        EXPECT_EQ(FileBytes(file), before);
        EXPECT_EQ(SiblingFiles(folder.path()), std::vector<std::string>{"registry.sqlite"});
    }
}

TEST(SqliteHive, ADamagedHiveIsNotWrittenAgain) {
    TempFolder folder;
    const std::string file = folder.Path("registry.sqlite");
    {
        HiveOnFile first(file);
        first.store.WriteInteger("Ocuvis", "Point Size", 4);
        // Enough values elsewhere to fill pages that the start-up calls never visit.
        for (int i = 0; i < 400; ++i)
            first.store.WriteString("Elsewhere", "v" + std::to_string(i), std::string(40, 'x'));
    }
    auto bytes = FileBytes(file);
    ASSERT_GT(bytes.size(), 4u * 4096);
    // The header stays ours; one page at the end is wrecked.
    std::fill(bytes.end() - 4096, bytes.end(), '\xAB');
    WriteFileBytes(file, bytes);
    ExpectRefused(UseTheStore(file), file + " is damaged");
    EXPECT_EQ(FileBytes(file), bytes);
}

TEST(SqliteHive, AFolderThatCannotBeMadeFailsEveryCallAndTheProgramGoesOn) {
    TempFolder folder;
    WriteFileBytes(folder.Path("plain file"), {'x'});
    const std::string below = folder.Path("plain file") + "/Tolvane/registry.sqlite";
    ExpectRefused(UseTheStore(below), below + " cannot be made: its folder cannot be made");
    // A folder where the file should be.
    std::filesystem::create_directory(folder.Path("a folder"));
    ExpectRefused(UseTheStore(folder.Path("a folder")), folder.Path("a folder") + " is not a file");
}

TEST(SqliteHive, MissingFoldersAreMadeAndTheValuesSurviveANewStore) {
    TempFolder folder;
    const std::string file = folder.Path("config/Tolvane/registry.sqlite");
    {
        HiveOnFile first(file);
        first.store.WriteString("Ocuvis\\GraphTitles", "Main Title", "Peaks");
        EXPECT_TRUE(first.messages.shown.empty());
    }
    HiveOnFile second(file);
    std::string title;
    EXPECT_TRUE(second.store.ReadString("Ocuvis\\GraphTitles", "Main Title", title));
    EXPECT_EQ(title, "Peaks");
    // At rest the hive is the one file: no journal is left beside it.
    EXPECT_EQ(SiblingFiles(folder.Path("config/Tolvane")),
              std::vector<std::string>{"registry.sqlite"});
}

TEST(SqliteHive, ALockHeldPastTheTimeoutFailsTheCallAndALaterOneSucceeds) {
    TempFolder folder;
    const std::string file = folder.Path("registry.sqlite");
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
    EXPECT_EQ(messages.shown[0].title, "Registry Key Open Attempt Failed");

    // A lock let go within the timeout is waited for.
    std::thread release([other] {
        std::this_thread::sleep_for(100ms);
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    SqliteHive patient(file, 5000ms);
    OrlenRegistry waiting(patient, messages);
    waiting.WriteInteger("Ocuvis", "Point Size", 6);
    release.join();
    sqlite3_close(other);
    std::int32_t pointSize = 0;
    EXPECT_TRUE(store.ReadInteger("Ocuvis", "Point Size", pointSize));
    EXPECT_EQ(pointSize, 6);
    EXPECT_EQ(messages.shown.size(), 1u);
}

// Waits for a child, killing it when it overruns; true when it exited with 0.
bool ChildSucceeded(pid_t child, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SqliteHive, TwoProcessesWritingAtOnceLoseNothing) {
    TempFolder folder;
    const std::string file = folder.Path("registry.sqlite");
    constexpr int kValues = 120;
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SqliteHive hive(file, 10000ms);
            RecordingFeedback messages;
            OrlenRegistry store(hive, messages);
            for (int i = 0; i < kValues; ++i) {
                // One shared key (and each writer's own sub-key), made by whichever comes first.
                const std::string name = "w" + std::to_string(writer) + "." + std::to_string(i);
                store.WriteInteger("Ocuvis", name, i);
                store.WriteString("Ocuvis\\Writer" + std::to_string(writer), name, name);
            }
            _exit(messages.shown.empty() ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children)
        EXPECT_TRUE(ChildSucceeded(child, 60s));

    HiveOnFile check(file);
    EXPECT_EQ(check.hive.ValueNames(kKey).size(), 2u * kValues);
    for (int writer = 0; writer < 2; ++writer) {
        const std::string key = kKey + "\\Writer" + std::to_string(writer);
        EXPECT_EQ(check.hive.ValueNames(key).size(), static_cast<std::size_t>(kValues)) << key;
    }
    std::int32_t last = -1;
    EXPECT_TRUE(check.store.ReadInteger("Ocuvis", "w1." + std::to_string(kValues - 1), last));
    EXPECT_EQ(last, kValues - 1);
    EXPECT_TRUE(check.messages.shown.empty());
}

TEST(SqliteHive, AWriterKilledMidWayLeavesEveryFinishedValue) {
    TempFolder folder;
    const std::string file = folder.Path("registry.sqlite");
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeEnds[0]);
        alarm(60);  // never outlives the test
        SqliteHive hive(file);
        RecordingFeedback messages;
        OrlenRegistry store(hive, messages);
        for (std::int32_t i = 0;; ++i) {
            store.WriteFloat("Ocuvis", "v" + std::to_string(i), i * 0.5);
            if (!messages.shown.empty() || write(pipeEnds[1], &i, sizeof i) != sizeof i) _exit(1);
        }
    }
    close(pipeEnds[1]);
    std::int32_t finished = -1;
    for (std::int32_t reported = 0;
         finished < 40 && read(pipeEnds[0], &reported, sizeof reported) == sizeof reported;)
        finished = reported;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipeEnds[0]);
    ASSERT_GE(finished, 40);

    HiveOnFile check(file);
    for (std::int32_t i = 0; i <= finished; ++i) {
        double value = -1;
        ASSERT_TRUE(check.store.ReadFloat("Ocuvis", "v" + std::to_string(i), value)) << i;
        EXPECT_EQ(value, i * 0.5);
    }
    check.store.WriteInteger("Ocuvis", "after", 1);
    EXPECT_TRUE(check.messages.shown.empty());
}

// Id 0 marks the top of the tree; a key given it by another program makes the tree loop.
TEST(SqliteHive, AKeyTreeThatLoopsIsNeverWalkedForEverNorWrittenAgain) {
    TempFolder folder;
    const std::string file = folder.Path("registry.sqlite");
    { HiveOnFile(file).store.WriteString("Ocuvis\\Last Opened Files", "LastFile0", "/d/a.3d"); }
    const auto values = [&] {
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_stmt* count = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM hive_values", -1, &count, nullptr);
        const int rows = sqlite3_step(count) == SQLITE_ROW ? sqlite3_column_int(count, 0) : -1;
        sqlite3_finalize(count);
        sqlite3_close(db);
        return rows;
    };

    // The loop appears while a viewer has the hive open; its removal of the list must end.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(60);
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
        const bool removed = viewer.store.RemoveKey("Ocuvis\\Last Opened Files", false);
        const auto& shown = viewer.messages.shown;
        _exit(looped == SQLITE_OK && !removed && shown.size() == 1 &&
                      shown[0].text.ends_with(file + " is damaged")
                  ? 0
                  : 1);
    }
    ASSERT_TRUE(ChildSucceeded(child, 20s));
    EXPECT_EQ(values(), 1);

    // The next viewer refuses the hive at once.
    const auto before = FileBytes(file);
    ExpectRefused(UseTheStore(file), file + " is damaged");
    EXPECT_EQ(FileBytes(file), before);
}

TEST(SqliteHive, DefaultPathFollowsTheEnvironment) {
    const char* names[] = {"OCUVIS_REGISTRY", "XDG_CONFIG_HOME", "HOME"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names)
        saved.push_back(std::getenv(name) ? std::optional<std::string>(std::getenv(name))
                                          : std::nullopt);
    setenv("HOME", "/home/ann", 1);
    setenv("OCUVIS_REGISTRY", "/tmp/portable.sqlite", 1);
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(SqliteHive::DefaultPath(), "/tmp/portable.sqlite");
    unsetenv("OCUVIS_REGISTRY");
    EXPECT_EQ(SqliteHive::DefaultPath(), "/cfg/Tolvane/registry.sqlite");
    setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    EXPECT_EQ(SqliteHive::DefaultPath(), "/home/ann/.config/Tolvane/registry.sqlite");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SqliteHive::DefaultPath(), "/home/ann/.config/Tolvane/registry.sqlite");
    for (std::size_t i = 0; i < saved.size(); ++i)
        saved[i] ? setenv(names[i], saved[i]->c_str(), 1) : unsetenv(names[i]);
}

TEST(SqliteHive, PathsWithEmptyPartsNameNoKey) {
    TempFolder folder;
    SqliteHive hive(folder.Path("registry.sqlite"));
    StoredValue value{kRegDword, {1, 0, 0, 0}};
    for (const char* path : {"", "\\A", "A\\", "A\\\\B"}) {
        EXPECT_EQ(hive.WriteValue(path, "v", value), HiveStatus::KeyUnavailable) << path;
        EXPECT_EQ(hive.RemoveKey(path), HiveStatus::KeyUnavailable) << path;
    }
    EXPECT_EQ(hive.WriteValue("A\\B", "v", value), HiveStatus::Done);
    EXPECT_EQ(hive.RemoveKey("a"), HiveStatus::Done);
    EXPECT_EQ(hive.RemoveKey("a"), HiveStatus::Missing);
}

}  // namespace
