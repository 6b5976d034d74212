#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "SettingsTestSupport.h"

using namespace ocuvis;
using namespace ocuvis::test;

namespace {

const std::string kOcuvisKey = "Software\\Tolvane\\Ocuvis";

using OrlenRegistryTest = HiveTest;

// A stored value from its raw bytes. (A function rather than a brace list inside a table: gcc 12
// at -O3 warns falsely about brace-initialised vectors in an array of structs.)
StoredValue Raw(std::uint32_t type, std::vector<std::uint8_t> bytes) {
    return {type, std::move(bytes)};
}

TEST_F(OrlenRegistryTest, EachKindIsStoredWithItsTypeAndExactBytes) {
    // The first read of an empty hive is silent and makes the key.
    std::int32_t number = 17;
    EXPECT_FALSE(store.ReadInteger("Ocuvis", "Point Size", number));
    EXPECT_EQ(hive.KeyExists(kOcuvisKey), HiveStatus::Done);

    store.WriteBool("Ocuvis", "yes", true);
    store.WriteInteger("Ocuvis", "minus two", -2);
    store.WriteFloat("Ocuvis", "one and a half", 1.5);
    store.WriteString("Ocuvis", "abc", "abc");
    store.WriteString("Ocuvis", "empty", "");
    const std::pair<const char*, StoredValue> rows[] = {
        {"yes", Dword(1)},
        {"minus two", Raw(kRegDword, {0xFE, 0xFF, 0xFF, 0xFF})},
        {"one and a half", Raw(kRegBinary, {0, 0, 0, 0, 0, 0, 0xF8, 0x3F})},
        {"abc", Raw(kRegSz, {'a', 'b', 'c', 0})},
        {"empty", Raw(kRegSz, {0})},
    };
    for (const auto& [name, expected] : rows) {
        StoredValue stored;
        ASSERT_EQ(hive.ReadValue(kOcuvisKey, name, stored), HiveStatus::Done) << name;
        EXPECT_EQ(stored, expected) << name;
    }
    EXPECT_TRUE(shown.empty());
}

// What each read makes of a stored value: its result, or a message with the target kept.
TEST_F(OrlenRegistryTest, ReadsAcceptOnlyTheirOwnKinds) {
    enum Read { Bool, Integer, Float, String };
    const struct {
        StoredValue stored;
        Read read;
        bool accepted;
        std::string result;  // the target afterwards, as text
        std::string held;    // what a refusal says the value holds
    } rows[] = {
        {Dword(7), Bool, true, "1", ""},
        {Text(kRegSz, std::string("1\0", 2)), Bool, false, "0", "text, not a 4-byte number"},
        {Text(kRegSz, std::string("12\0", 3)), Integer, false, "99", "text, not a 4-byte number"},
        {Raw(kRegDword, {5, 0}), Integer, false, "99", "a number of 2 bytes, not a 4-byte number"},
        {Dword(0xFFFFFFFF), Integer, true, "-1", ""},
        {Raw(kRegBinary, {0, 0, 0xC0, 0x3F}), Float, false, "99.000000",
         "4 bytes of binary data, not 8 bytes of binary data"},
        {Raw(kRegBinary, {0, 0, 0, 0, 0, 0, 0xF8, 0x3F}), Float, true, "1.500000", ""},
        {Dword(1), Float, false, "99.000000", "a 4-byte number, not 8 bytes of binary data"},
        {Text(kRegExpandSz, std::string("%HOME%\\x\0", 9)), String, true, "%HOME%\\x", ""},
        {Text(kRegSz, ""), String, true, "", ""},
        {Text(kRegSz, std::string("ab\0cd\0", 6)), String, true, "ab", ""},
        {Text(kRegSz, "abc"), String, true, "abc", ""},
        {Dword(3), String, false, "99", "a 4-byte number, not text"},
        {Text(7, "ab"), String, false, "99", "2 bytes of data of type 7, not text"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        ASSERT_EQ(hive.WriteValue(kOcuvisKey, "Value", row.stored), HiveStatus::Done);
        shown.clear();
        // A hive of its own per row: each shows its first failure.
        SqliteHive rowHive(hive.databasePath());
        OrlenRegistry store(rowHive, file.messages);
        bool flag = false;
        std::int32_t number = 99;
        double real = 99;
        std::string text = "99";
        const bool found = row.read == Bool      ? store.ReadBool("Ocuvis", "Value", flag)
                           : row.read == Integer ? store.ReadInteger("Ocuvis", "Value", number)
                           : row.read == Float   ? store.ReadFloat("Ocuvis", "Value", real)
                                                 : store.ReadString("Ocuvis", "Value", text);
        EXPECT_EQ(found, row.accepted);
        EXPECT_EQ(row.read == Bool      ? std::string(flag ? "1" : "0")
                  : row.read == Integer ? std::to_string(number)
                  : row.read == Float   ? std::to_string(real)
                                        : text,
                  row.result);
        ASSERT_EQ(shown.size(), row.accepted ? 0u : 1u);
        if (!row.accepted) {
            EXPECT_TRUE(shown[0].text.ends_with("?\nThe stored value is " + row.held + "."))
                << shown[0].text;
        }
    }
}

// The failures of values and keys, with their exact text, title and icon (a key that cannot be
// opened is the hive tests'); each on a hive of its own, since a hive shows each kind once.
TEST_F(OrlenRegistryTest, FailureMessages) {
    const auto warning = [](std::string text, std::string title) {
        return ShownMessage{std::move(text), std::move(title), MessageIcon::Warning};
    };
    const std::string write = "Registry Parameter Write Attempt Failed";
    const std::string change = "Registry Change Notification";
    const struct {
        bool valuesFail;
        std::function<void(OrlenRegistry&)> call;
        ShownMessage expected;
    } rows[] = {
        // The boolean's text is its own.
        {true, [](OrlenRegistry& s) { s.WriteBool("Ocuvis", "B", true); },
         warning("Tried to write Windows OrlenRegistry parameter \"B\" but failed.", write)},
        {true, [](OrlenRegistry& s) { s.WriteString("Ocuvis", "S", "s"); },
         warning("Tried to write Windows Registry parameter \"S\" but failed.", write)},
        {false, [](OrlenRegistry& s) { EXPECT_FALSE(s.RemoveKey("Ocuvis\\Gone", true)); },
         warning("Tried to remove Software\\Tolvane\\Ocuvis\\Gone 'Key' from "
                 "Windows Registry but failed, does it exist?",
                 change)},
        {false,
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
        if (row.valuesFail) scripted.failingValues = {"B", "S"};
        OrlenRegistry failing(scripted, file.messages);
        shown.clear();
        row.call(failing);
        EXPECT_EQ(shown, std::vector<ShownMessage>{row.expected});
    }
}

// The user hears once that the settings cannot be kept, and why, and standard error has one
// line of it however many values fail; the values still load.
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
    // The same fault, met by five more writes and a removal on other keys, is one line.
    EXPECT_EQ(later,
              "ocuvis: warning: Registry Key Open Attempt Failed: Settings cannot be saved: " +
                  path + " is read-only\n");
    EXPECT_EQ(FileBytes(path), bytes);
}

// Names ignore ASCII case and keep the case of their first writing; a tree goes whole; bounds
// come back whole or in parts, unclamped.
TEST_F(OrlenRegistryTest, KeysValuesAndBounds) {
    store.WriteInteger("Ocuvis", "Grid Thickness", 3);
    store.WriteInteger("OCUVIS", "GRID THICKNESS", 2);
    std::int32_t value = 0;
    EXPECT_TRUE(store.ReadInteger("ocuvis", "grid thickness", value));
    EXPECT_EQ(value, 2);
    EXPECT_EQ(hive.ValueNames("software\\tolvane\\ocuvis"),
              std::vector<std::string>{"Grid Thickness"});
    // Letters beyond ASCII are not folded.
    store.WriteInteger("Ocuvis", "\xC3\x84", 1);
    EXPECT_FALSE(store.ReadInteger("Ocuvis", "\xC3\xA4", value));

    store.WriteString("Ocuvis\\List\\Deeper", "a", "1");
    store.WriteString("Ocuvis\\Listing", "kept", "3");
    EXPECT_TRUE(store.RemoveKey("Ocuvis\\List", false));
    EXPECT_EQ(hive.KeyExists(kOcuvisKey + "\\List"), HiveStatus::Missing);
    EXPECT_EQ(hive.ValueNames(kOcuvisKey + "\\Listing"), std::vector<std::string>{"kept"});

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
