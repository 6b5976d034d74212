#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "SettingsTestSupport.h"

using namespace ocuvis;
using namespace ocuvis::test;

namespace {

const std::string kOcuvisKey = "Software\\Tolvane\\Ocuvis";

class OrlenRegistryTest : public ::testing::Test {
  protected:
    TempFolder folder;
    HiveOnFile file{folder.Path("registry.sqlite")};
    OrlenRegistry& store = file.store;
    SqliteHive& hive = file.hive;
    std::vector<ShownMessage>& shown = file.messages.shown;
};

TEST_F(OrlenRegistryTest, FirstReadOfAnEmptyHiveIsSilentAndLeavesTheKeyCreatedEmpty) {
    std::int32_t number = 17;
    std::string text = "kept";
    EXPECT_FALSE(store.ReadInteger("Ocuvis", "Point Size", number));
    EXPECT_FALSE(store.ReadString("Ocuvis", "View Type", text));
    EXPECT_EQ(number, 17);
    EXPECT_EQ(text, "kept");
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(hive.KeyExists(kOcuvisKey), HiveStatus::Done);
    EXPECT_TRUE(hive.ValueNames(kOcuvisKey).empty());
}

TEST_F(OrlenRegistryTest, EachKindIsStoredWithItsTypeAndExactBytes) {
    store.WriteBool("Ocuvis", "yes", true);
    store.WriteBool("Ocuvis", "no", false);
    store.WriteInteger("Ocuvis", "minus two", -2);
    store.WriteFloat("Ocuvis", "one and a half", 1.5);
    store.WriteString("Ocuvis", "abc", "abc");
    store.WriteString("Ocuvis", "empty", "");
    const struct {
        const char* name;
        StoredValue expected;
    } rows[] = {
        {"yes", {kRegDword, {1, 0, 0, 0}}},
        {"no", {kRegDword, {0, 0, 0, 0}}},
        {"minus two", {kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}}},
        {"one and a half", {kRegBinary, {0, 0, 0, 0, 0, 0, 0xF8, 0x3F}}},
        {"abc", {kRegSz, {'a', 'b', 'c', 0}}},
        {"empty", {kRegSz, {0}}},
    };
    for (const auto& row : rows) {
        StoredValue stored;
        ASSERT_EQ(hive.ReadValue(kOcuvisKey, row.name, stored), HiveStatus::Done) << row.name;
        EXPECT_EQ(stored, row.expected) << row.name;
    }
    EXPECT_TRUE(shown.empty());
}

// A stored value from its raw bytes. (A function rather than a brace list inside the table:
// gcc 12 at -O3 warns falsely about brace-initialised vectors in an array of structs.)
StoredValue Raw(std::uint32_t type, std::vector<std::uint8_t> bytes) {
    return {type, std::move(bytes)};
}

// What each read makes of a stored value: its result, or the read message with the target kept.
TEST_F(OrlenRegistryTest, ReadsAcceptOnlyTheirOwnKinds) {
    enum Read { Bool, Integer, Float, String };
    const struct {
        const char* what;
        StoredValue stored;
        Read read;
        bool accepted;
        std::string result;  // the target afterwards, as text
    } rows[] = {
        {"dword 7 as boolean", Dword(7), Bool, true, "1"},
        {"dword 0 as boolean", Dword(0), Bool, true, "0"},
        {"string as integer", Text(kRegSz, std::string("12\0", 3)), Integer, false, "99"},
        {"string as boolean", Text(kRegSz, std::string("1\0", 2)), Bool, false, "0"},
        {"short dword", Raw(kRegDword, {5, 0}), Integer, false, "99"},
        {"long dword", Raw(kRegDword, {5, 0, 0, 0, 0, 0, 0, 0}), Integer, false, "99"},
        {"dword as integer", Dword(0xFFFFFFFF), Integer, true, "-1"},
        {"4-byte binary as float", Raw(kRegBinary, {0, 0, 0xC0, 0x3F}), Float, false, "99"},
        {"9-byte binary as float", Raw(kRegBinary, std::vector<std::uint8_t>(9)), Float, false,
         "99"},
        {"8-byte binary as float", Raw(kRegBinary, {0, 0, 0, 0, 0, 0, 0xF8, 0x3F}), Float, true,
         "1.5"},
        {"dword as float", Dword(1), Float, false, "99"},
        {"expandable string", Text(kRegExpandSz, std::string("%HOME%\\x\0", 9)), String, true,
         "%HOME%\\x"},
        {"no bytes at all", Text(kRegSz, ""), String, true, ""},
        {"text ends at the first NUL", Text(kRegSz, std::string("ab\0cd\0", 6)), String, true,
         "ab"},
        {"text without NUL", Text(kRegSz, "abc"), String, true, "abc"},
        {"dword as string", Dword(3), String, false, "99"},
        {"binary as string", Raw(kRegBinary, {'a', 0}), String, false, "99"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(hive.WriteValue(kOcuvisKey, "Value", row.stored), HiveStatus::Done);
        shown.clear();
        // A hive of its own per row: each shows its first failure.
        SqliteHive rowHive(hive.databasePath());
        OrlenRegistry store(rowHive, file.messages);
        bool flag = false;
        std::int32_t number = 99;
        double real = 99;
        std::string text = "99";
        bool found = false;
        std::string result;
        switch (row.read) {
            case Bool:
                found = store.ReadBool("Ocuvis", "Value", flag);
                result = flag ? "1" : "0";
                break;
            case Integer:
                found = store.ReadInteger("Ocuvis", "Value", number);
                result = std::to_string(number);
                break;
            case Float:
                found = store.ReadFloat("Ocuvis", "Value", real);
                result = real == 1.5 ? "1.5" : (real == 99 ? "99" : "other");
                break;
            case String:
                found = store.ReadString("Ocuvis", "Value", text);
                result = text;
                break;
        }
        EXPECT_EQ(found, row.accepted);
        EXPECT_EQ(result, row.result);
        if (row.accepted) {
            EXPECT_TRUE(shown.empty());
        } else {
            EXPECT_EQ(shown,
                      (std::vector<ShownMessage>{
                          {"Tried to read Windows Registry parameter \"Value\" but failed, "
                           "does it exist?",
                           "Registry Parameter Read Attempt Failed", MessageIcon::Warning}}));
        }
    }
}

// Every failure the store reports, with its exact text, title and icon; each on a hive of its
// own, since a hive shows each kind of failure once.
TEST_F(OrlenRegistryTest, FailureMessages) {
    const auto warning = [](std::string text, std::string title) {
        return ShownMessage{std::move(text), std::move(title), MessageIcon::Warning};
    };
    const std::string keyOpen = "Registry Key Open Attempt Failed";
    const std::string write = "Registry Parameter Write Attempt Failed";
    const std::string change = "Registry Change Notification";
    enum Fault { NoKey, NoValue, Nothing };
    const struct {
        Fault fault;
        std::function<void(OrlenRegistry&)> call;
        ShownMessage expected;
    } rows[] = {
        {NoKey, [](OrlenRegistry& s) { s.WriteFloat("Ocuvis\\Sub", "F", 1); },
         warning("Tried to open/create Windows Registry key "
                 "\"Software\\Tolvane\\Ocuvis\\Sub\", but failed.",
                 keyOpen)},
        {NoKey,
         [](OrlenRegistry& s) {
             std::string text;
             EXPECT_FALSE(s.ReadString("Ocuvis\\Sub", "S", text));
         },
         warning("Tried to open Windows Registry key \"Software\\Tolvane\\Ocuvis\\Sub\", but "
                 "failed.",
                 keyOpen)},
        // The key opens but the value cannot be written or read; the boolean's text is its own.
        {NoValue, [](OrlenRegistry& s) { s.WriteBool("Ocuvis", "B", true); },
         warning("Tried to write Windows OrlenRegistry parameter \"B\" but failed.", write)},
        {NoValue, [](OrlenRegistry& s) { s.WriteString("Ocuvis", "S", "s"); },
         warning("Tried to write Windows Registry parameter \"S\" but failed.", write)},
        {NoValue,
         [](OrlenRegistry& s) {
             double real = 0;
             EXPECT_FALSE(s.ReadFloat("Ocuvis", "F", real));
             EXPECT_EQ(real, 0);
         },
         warning("Tried to read Windows Registry parameter \"F\" but failed, does it exist?",
                 "Registry Parameter Read Attempt Failed")},
        {Nothing, [](OrlenRegistry& s) { EXPECT_FALSE(s.RemoveKey("Ocuvis\\Gone", true)); },
         warning("Tried to remove Software\\Tolvane\\Ocuvis\\Gone 'Key' from "
                 "Windows Registry but failed, does it exist?",
                 change)},
        {Nothing,
         [](OrlenRegistry& s) {
             s.WriteInteger("Ocuvis\\Quiet", "N", 1);
             EXPECT_TRUE(s.RemoveKey("Ocuvis\\Quiet", false));
             s.WriteInteger("Ocuvis\\Old", "N", 1);
             EXPECT_TRUE(s.RemoveKey("Ocuvis\\Old", true));
         },
         {"Software\\Tolvane\\Ocuvis\\Old 'Key' removed from Windows Registry.", change,
          MessageIcon::Information}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected.text);
        ScriptedHive scripted(hive);
        scripted.keysUnavailable = row.fault == NoKey;
        if (row.fault == NoValue) scripted.failingValues = {"B", "S", "F"};
        OrlenRegistry failing(scripted, file.messages);
        shown.clear();
        row.call(failing);
        EXPECT_EQ(shown, std::vector<ShownMessage>{row.expected});
    }
}

// The user hears once that the settings cannot be kept, and why; the values still load.
TEST_F(OrlenRegistryTest, AReadOnlyHiveLoadsAndTellsOnceThatItCannotSave) {
    store.WriteInteger("Ocuvis", "Point Size", 5);
    const std::string path = hive.databasePath();
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const auto bytes = FileBytes(path);
    // Two stores on one hive, as the window and its side windows have.
    SqliteHive readOnly(path);
    RecordingFeedback mainMessages, sideMessages;
    OrlenRegistry main(readOnly, mainMessages), side(readOnly, sideMessages);
    std::int32_t number = 0;
    EXPECT_TRUE(main.ReadInteger("Ocuvis", "Point Size", number));
    EXPECT_EQ(number, 5);
    EXPECT_FALSE(side.ReadInteger("Ocuvis\\File Format", "XIndex", number));

    testing::internal::CaptureStderr();
    {
        OrlenRegistry::Batch batch(main);
        for (const char* name : {"A", "B", "C"}) {
            main.WriteInteger("Ocuvis", name, 1);
            side.WriteString("Ocuvis\\File Format", name, "x");
        }
        side.RemoveKey("Ocuvis\\Last Opened Files", false);
    }
    const std::string later = testing::internal::GetCapturedStderr();
    EXPECT_EQ(mainMessages.shown,
              (std::vector<ShownMessage>{
                  {"Tried to open/create Windows Registry key \"Software\\Tolvane\\Ocuvis\", but "
                   "failed.\nSettings cannot be saved: " +
                       path + " is read-only",
                   "Registry Key Open Attempt Failed", MessageIcon::Warning}}));
    EXPECT_TRUE(sideMessages.shown.empty());
    // The other five writes and the removal, a line each.
    EXPECT_EQ(std::count(later.begin(), later.end(), '\n'), 6) << later;
    EXPECT_EQ(FileBytes(path), bytes);
}

TEST_F(OrlenRegistryTest, KeyAndValueNamesIgnoreAsciiCase) {
    store.WriteInteger("Ocuvis", "Grid Thickness", 3);
    store.WriteInteger("OCUVIS", "GRID THICKNESS", 2);
    std::int32_t value = 0;
    EXPECT_TRUE(store.ReadInteger("ocuvis", "grid thickness", value));
    EXPECT_EQ(value, 2);
    // The name keeps the case of its first writing.
    EXPECT_EQ(hive.ValueNames("software\\tolvane\\ocuvis"),
              std::vector<std::string>{"Grid Thickness"});
    // Letters beyond ASCII are not folded.
    store.WriteInteger("Ocuvis", "\xC3\x84", 1);
    EXPECT_FALSE(store.ReadInteger("Ocuvis", "\xC3\xA4", value));
}

TEST_F(OrlenRegistryTest, RemoveKeyTakesTheWholeTreeAndNothingBeside) {
    store.WriteInteger("Ocuvis\\List", "Number of Files", 2);
    store.WriteString("Ocuvis\\List\\Deeper", "a", "1");
    store.WriteString("Ocuvis\\List\\Deeper\\Deepest", "b", "2");
    store.WriteString("Ocuvis\\Listing", "kept", "3");
    EXPECT_TRUE(store.RemoveKey("Ocuvis\\List", false));
    EXPECT_EQ(hive.KeyExists("Software\\Tolvane\\Ocuvis\\List"), HiveStatus::Missing);
    EXPECT_EQ(hive.KeyExists("Software\\Tolvane\\Ocuvis\\List\\Deeper\\Deepest"),
              HiveStatus::Missing);
    EXPECT_EQ(hive.ValueNames("Software\\Tolvane\\Ocuvis\\Listing"),
              std::vector<std::string>{"kept"});
    EXPECT_TRUE(shown.empty());
    // A key made again after removal starts empty.
    std::int32_t count = 7;
    EXPECT_FALSE(store.ReadInteger("Ocuvis\\List", "Number of Files", count));
    EXPECT_EQ(count, 7);
}

TEST_F(OrlenRegistryTest, BoundsComeBackWholeOrInPartsAndUnclamped) {
    store.SaveFormBounds("Ocuvis", WindowBounds{-32000, 99999, 364, 790, Placement::Centred});
    WindowBounds window{0, 0, 100, 100, Placement::Centred};
    EXPECT_TRUE(store.RestoreFormBounds("Ocuvis", window));
    EXPECT_EQ(window, (WindowBounds{-32000, 99999, 364, 790, Placement::AsDesigned}));

    // A partial size keeps the current width and centres again; a whole size without a
    // position is kept as designed at the current position.
    store.WriteInteger("Ocuvis\\Sized", "Window Height", 400);
    window = {5, 6, 364, 790, Placement::Centred};
    EXPECT_FALSE(store.RestoreFormBounds("Ocuvis\\Sized", window));
    EXPECT_EQ(window, (WindowBounds{5, 6, 400, 790, Placement::Centred}));
    store.WriteInteger("Ocuvis\\Sized", "Window Width", 500);
    EXPECT_TRUE(store.RestoreFormSize("Ocuvis\\Sized", window));
    EXPECT_EQ(window, (WindowBounds{5, 6, 400, 500, Placement::AsDesigned}));
    EXPECT_TRUE(shown.empty());
}

}  // namespace
