#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "SettingsTestSupport.h"
#include "settings/LastFilesMenu.h"

using namespace ocuvis;
using namespace ocuvis::test;

namespace {

const std::string kListKey = "Software\\Tolvane\\Ocuvis\\Last Opened Files";

class LastFilesMenuTest : public HiveTest {
  protected:
    std::vector<std::string> opened;

    std::unique_ptr<LastFilesMenu> Make(std::int32_t capacity = 10) {
        return std::make_unique<LastFilesMenu>(
            [this](const std::string& path) { opened.push_back(path); }, file.hive, file.messages,
            "Ocuvis", capacity);
    }
    void StoreList(std::int32_t count, const std::vector<std::string>& paths) {
        store.WriteInteger("Ocuvis\\Last Opened Files", "Number of Files", count);
        for (std::size_t i = 0; i < paths.size(); ++i)
            store.WriteString("Ocuvis\\Last Opened Files", "LastFile" + std::to_string(i),
                              paths[i]);
    }
    // The stored list: "Number of Files" first, then the paths in order.
    std::vector<std::string> StoredList() {
        std::int32_t count = -1;
        store.ReadInteger("Ocuvis\\Last Opened Files", "Number of Files", count);
        std::vector<std::string> list{std::to_string(count)};
        for (const auto& name : hive.ValueNames(kListKey)) {
            if (name == "Number of Files") continue;
            std::string path;
            store.ReadString("Ocuvis\\Last Opened Files", name, path);
            list.push_back(name + "=" + path);
        }
        return list;
    }
    static std::vector<std::string> Shown(const LastFilesMenu& menu) {
        std::vector<std::string> shown;
        for (const auto& entry : menu.entries())
            shown.push_back(entry.itemName() + " " + entry.caption + " " + entry.path);
        return shown;
    }
};

TEST_F(LastFilesMenuTest, EntriesAreToldApartByTheirExactFileName) {
    auto menu = Make();
    // ':' and '\' belong to the name.
    for (const char* path :
         {"/a/data.3d", "/b/data.3d", "/home/ann/Data.3d", "/runs/run:12.3d", "/runs/run\\12.3d"})
        menu->AddRecentFile(path);
    EXPECT_EQ(Shown(*menu),
              (std::vector<std::string>{
                  "LastFile3 run\\12.3d /runs/run\\12.3d", "LastFile2 run:12.3d /runs/run:12.3d",
                  "LastFile1 Data.3d /home/ann/Data.3d", "LastFile0 data.3d /b/data.3d"}));
}

// Started on "Ocuvis.3d" in one folder, the next run, started in another, opens that file.
TEST_F(LastFilesMenuTest, ANameRelativeToTheFolderOfTheRunIsKeptWithThatFolder) {
    TempFolder first, other;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(first.path());
    Make()->AddRecentFile("Ocuvis.3d");
    std::filesystem::current_path(other.path());
    auto next = Make();
    std::filesystem::current_path(previous);
    EXPECT_EQ(Shown(*next),
              std::vector<std::string>{"LastFile0 Ocuvis.3d " + first.Path("Ocuvis.3d")});
    EXPECT_EQ(next->lastOpenedFile(), first.Path("Ocuvis.3d"));
}

// Slots are the entries' item names: a click opens only an entry's own.
TEST_F(LastFilesMenuTest, TheEleventhFilePushesOutTheOldestAndAnOpenMovesItsEntryUp) {
    auto menu = Make();
    for (int i = 1; i <= 11; ++i)
        menu->AddRecentFile("/d/f" + std::to_string(i) + ".3d");
    EXPECT_EQ(menu->entries().front().slot, 0);  // the oldest entry's slot is free again
    menu->AddRecentFile("/d/f10.3d");
    EXPECT_EQ(menu->entries()[0].path, "/d/f10.3d");
    EXPECT_EQ(menu->entries()[1].path, "/d/f11.3d");
    EXPECT_EQ(menu->entries().back().path, "/d/f2.3d");
    for (const char* name : {"LastFile", "LastFile10", "LastFile007", "LastFilex", "LastFile-1"})
        menu->Click(name);
    EXPECT_TRUE(opened.empty());
    menu->Click("LastFile02");
    EXPECT_EQ(opened, std::vector<std::string>{"/d/f3.3d"});
}

TEST_F(LastFilesMenuTest,
       AGapInTheStoredListIsSkippedNoEntryIsLostAtSaveAndTheNewestStartsTheNextRun) {
    StoreList(3, {"/d/a.3d", "", "/d/c.3d"});
    {
        auto menu = Make();
        EXPECT_EQ(Shown(*menu),
                  (std::vector<std::string>{"LastFile0 a.3d /d/a.3d", "LastFile2 c.3d /d/c.3d"}));
        menu->AddRecentFile("/d/new.3d");
        EXPECT_EQ(menu->entries().front().slot, 1);
        // The start-up file does not follow the additions of this run; the next run's does.
        EXPECT_EQ(menu->lastOpenedFile(), "/d/a.3d");
    }
    EXPECT_EQ(Make()->lastOpenedFile(), "/d/new.3d");
    EXPECT_EQ(StoredList(), (std::vector<std::string>{"3", "LastFile0=/d/new.3d",
                                                      "LastFile1=/d/a.3d", "LastFile2=/d/c.3d"}));
}

// More than the slot tables could hold, were the count taken as stored; none and less than
// none hold nothing.
TEST_F(LastFilesMenuTest, TheStoredCountIsKeptWithinTheCapacity) {
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i)
        paths.push_back("/d/f" + std::to_string(i) + ".3d");
    StoreList(150, paths);
    {
        auto menu = Make();
        EXPECT_EQ(menu->entries().back().path, "/d/f9.3d");
        menu->AddRecentFile("/d/latest.3d");
        EXPECT_EQ(menu->entries().front().slot, 9);
    }
    // The whole old list goes: nothing of the longer one survives.
    const auto stored = StoredList();
    ASSERT_EQ(stored.size(), 11u);
    EXPECT_EQ(stored[1], "LastFile0=/d/latest.3d");
    StoreList(-4, {"/d/a.3d"});
    EXPECT_TRUE(Make()->entries().empty());
    auto none = Make(0);
    none->AddRecentFile("/d/b.3d");
    EXPECT_TRUE(none->entries().empty());
}

TEST_F(LastFilesMenuTest, ASaveKilledPartWayLeavesTheOldList) {
    // Written and let go before the fork: the child shares no connection with this process.
    {
        HiveOnFile old(hive.databasePath());
        old.store.WriteInteger("Ocuvis\\Last Opened Files", "Number of Files", 2);
        old.store.WriteString("Ocuvis\\Last Opened Files", "LastFile0", "/d/a.3d");
        old.store.WriteString("Ocuvis\\Last Opened Files", "LastFile1", "/d/b.3d");
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(60);
        SqliteHive own(hive.databasePath());
        ScriptedHive scripted(own);
        // Killed after the old list is gone and the first new entry is written.
        scripted.beforeWrite = [](const std::string& name) {
            if (name == "LastFile1") raise(SIGKILL);
        };
        RecordingFeedback messages;
        LastFilesMenu(nullptr, scripted, messages, "Ocuvis", 10).AddRecentFile("/d/c.3d");
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(StoredList(),
              (std::vector<std::string>{"2", "LastFile0=/d/a.3d", "LastFile1=/d/b.3d"}));
}

TEST_F(LastFilesMenuTest, AListThatCannotBeRemovedIsWrittenOverAllTheSame) {
    StoreList(2, {"/d/a.3d", "/d/b.3d"});
    {
        LastFilesMenu menu(nullptr, file.hive, file.messages, "Ocuvis", 10);
        hive.RemoveKey(kListKey);  // gone behind the list's back
        menu.AddRecentFile("/d/c.3d");
    }
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(StoredList(), (std::vector<std::string>{"3", "LastFile0=/d/c.3d", "LastFile1=/d/a.3d",
                                                      "LastFile2=/d/b.3d"}));
}

}  // namespace
