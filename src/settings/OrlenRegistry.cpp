#include "settings/OrlenRegistry.h"

#include <bit>
#include <cstring>

namespace ocuvis {

namespace {

const std::string kKeyOpenTitle = "Registry Key Open Attempt Failed";
const std::string kWriteTitle = "Registry Parameter Write Attempt Failed";
const std::string kReadTitle = "Registry Parameter Read Attempt Failed";
const std::string kChangeTitle = "Registry Change Notification";

constexpr std::string_view kHeight = "Window Height";
constexpr std::string_view kWidth = "Window Width";
constexpr std::string_view kTop = "Window Position Top";
constexpr std::string_view kLeft = "Window Position Left";
constexpr std::string_view kNumber = "a 4-byte number";

std::string Quoted(std::string_view text) {
    // Built by appends: gcc 12 warns falsely (-Wrestrict) on a literal plus a string here.
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    return quoted;
}

// Stored numbers are little-endian whatever the machine.
StoredValue Dword(std::uint32_t value) {
    StoredValue stored{kRegDword, std::vector<std::uint8_t>(4)};
    for (int i = 0; i < 4; ++i)
        stored.data[static_cast<std::size_t>(i)] = (value >> (8 * i)) & 0xFF;
    return stored;
}

std::uint32_t DwordOf(const StoredValue& stored) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t{stored.data[static_cast<std::size_t>(i)]} << (8 * i);
    return value;
}

bool IsDword(const StoredValue& stored) {
    return stored.type == kRegDword && stored.data.size() == 4;
}

}  // namespace

OrlenRegistry::OrlenRegistry(RegistryHive& hive, UserFeedback& messages)
    : hive_(hive), messages_(messages) {}

OrlenRegistry::Batch::Batch(OrlenRegistry& store) : store_(store) {
    // A batch that cannot start leaves each call to stand alone and report for itself.
    store_.hive_.BeginBatch();
}

OrlenRegistry::Batch::~Batch() {
    if (store_.hive_.EndBatch() != HiveStatus::Done)
        store_.Warn(Failure::KeepBatch, "The settings of this run were not kept.", kWriteTitle);
}

void OrlenRegistry::Warn(Failure failure, std::string text, const std::string& title,
                         const std::string& valueCause) {
    // A failure the hive explains is one fault of the hive, whichever key or value met it: it is
    // shown once, with its cause, and its one-line summary is the line on standard error. Other
    // failures concern one value each: the first of each kind is shown, and each value's text
    // has its line.
    std::string shownOnce;
    std::string line;
    if (const std::string cause = hive_.FailureCause(); !cause.empty()) {
        const bool reading = failure == Failure::ReadKey || failure == Failure::ReadValue;
        line = (hive_.FailureIsWhole() ? "Settings cannot be read or saved: "
                : reading              ? "Settings cannot be read: "
                                       : "Settings cannot be saved: ") +
               cause;
        text += '\n' + line;
        shownOnce = "cause " + cause;
    } else {
        if (!valueCause.empty()) text += '\n' + valueCause;
        line = text;
        shownOnce = "kind " + std::to_string(static_cast<int>(failure));
    }
    if (hive_.FirstReportOf(shownOnce)) messages_.ShowMessage(text, title, MessageIcon::Warning);
    if (hive_.FirstReportOf("line " + line))
        StderrFeedback().ShowMessage(line, title, MessageIcon::Warning);
}

void OrlenRegistry::Write(std::string_view key, std::string_view name, Kind kind,
                          const StoredValue& value) {
    const std::string fullKey = rootKey + std::string(key);
    switch (hive_.WriteValue(fullKey, name, value)) {
        case HiveStatus::Done:
            return;
        case HiveStatus::KeyUnavailable:
            Warn(Failure::WriteKey,
                 "Tried to open/create Windows Registry key " + Quoted(fullKey) + ", but failed.",
                 kKeyOpenTitle);
            return;
        case HiveStatus::Missing:
        case HiveStatus::ValueFailed:
            // The boolean's text differs from the others'; users and support notes know both.
            Warn(Failure::WriteValue,
                 std::string(kind == Kind::Bool ? "Tried to write Windows OrlenRegistry parameter "
                                                : "Tried to write Windows Registry parameter ") +
                     Quoted(name) + " but failed.",
                 kWriteTitle);
            return;
    }
}

bool OrlenRegistry::Read(std::string_view key, std::string_view name, StoredValue& value) {
    const std::string fullKey = rootKey + std::string(key);
    switch (hive_.ReadValue(fullKey, name, value)) {
        case HiveStatus::Done:
            return true;
        case HiveStatus::Missing:
            return false;
        case HiveStatus::KeyUnavailable:
            Warn(Failure::ReadKey,
                 "Tried to open Windows Registry key " + Quoted(fullKey) + ", but failed.",
                 kKeyOpenTitle);
            return false;
        case HiveStatus::ValueFailed:
            break;
    }
    return ReadFailed(name);
}

bool OrlenRegistry::ReadFailed(std::string_view name, const std::string& cause) {
    Warn(Failure::ReadValue,
         "Tried to read Windows Registry parameter " + Quoted(name) + " but failed, does it exist?",
         kReadTitle, cause);
    return false;
}

bool OrlenRegistry::WrongKind(std::string_view name, const StoredValue& stored,
                              std::string_view wanted) {
    std::string held;
    if (stored.type == kRegSz || stored.type == kRegExpandSz) {
        held = "text";
    } else if (stored.type == kRegDword) {
        held = stored.data.size() == 4
                   ? std::string(kNumber)
                   : "a number of " + std::to_string(stored.data.size()) + " bytes";
    } else if (stored.type == kRegBinary) {
        held = std::to_string(stored.data.size()) + " bytes of binary data";
    } else {
        held = std::to_string(stored.data.size()) + " bytes of data of type " +
               std::to_string(stored.type);
    }
    return ReadFailed(name, "The stored value is " + held + ", not " + std::string(wanted) + ".");
}

void OrlenRegistry::WriteBool(std::string_view key, std::string_view name, bool value) {
    Write(key, name, Kind::Bool, Dword(value ? 1 : 0));
}

void OrlenRegistry::WriteInteger(std::string_view key, std::string_view name, std::int32_t value) {
    Write(key, name, Kind::Integer, Dword(static_cast<std::uint32_t>(value)));
}

void OrlenRegistry::WriteFloat(std::string_view key, std::string_view name, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    StoredValue stored{kRegBinary, std::vector<std::uint8_t>(8)};
    for (int i = 0; i < 8; ++i)
        stored.data[static_cast<std::size_t>(i)] = (bits >> (8 * i)) & 0xFF;
    Write(key, name, Kind::Float, stored);
}

void OrlenRegistry::WriteString(std::string_view key, std::string_view name,
                                std::string_view value) {
    StoredValue stored{kRegSz, std::vector<std::uint8_t>(value.begin(), value.end())};
    stored.data.push_back(0);
    Write(key, name, Kind::String, stored);
}

bool OrlenRegistry::ReadBool(std::string_view key, std::string_view name, bool& value) {
    StoredValue stored;
    if (!Read(key, name, stored)) return false;
    if (!IsDword(stored)) return WrongKind(name, stored, kNumber);
    value = DwordOf(stored) != 0;
    return true;
}

bool OrlenRegistry::ReadInteger(std::string_view key, std::string_view name, std::int32_t& value) {
    StoredValue stored;
    if (!Read(key, name, stored)) return false;
    if (!IsDword(stored)) return WrongKind(name, stored, kNumber);
    value = static_cast<std::int32_t>(DwordOf(stored));
    return true;
}

bool OrlenRegistry::ReadFloat(std::string_view key, std::string_view name, double& value) {
    StoredValue stored;
    if (!Read(key, name, stored)) return false;
    if (stored.type != kRegBinary || stored.data.size() != 8)
        return WrongKind(name, stored, "8 bytes of binary data");
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= std::uint64_t{stored.data[static_cast<std::size_t>(i)]} << (8 * i);
    value = std::bit_cast<double>(bits);
    return true;
}

bool OrlenRegistry::ReadString(std::string_view key, std::string_view name, std::string& value) {
    StoredValue stored;
    if (!Read(key, name, stored)) return false;
    // Taken as stored: environment references in an expandable string stay unexpanded.
    if (stored.type != kRegSz && stored.type != kRegExpandSz)
        return WrongKind(name, stored, "text");
    std::size_t length = 0;
    while (length < stored.data.size() && stored.data[length] != 0)
        ++length;
    value.assign(reinterpret_cast<const char*>(stored.data.data()), length);
    return true;
}

bool OrlenRegistry::RemoveKey(std::string_view key, bool announce) {
    const std::string fullKey = rootKey + std::string(key);
    if (const HiveStatus removed = hive_.RemoveKey(fullKey); removed != HiveStatus::Done) {
        // A hive that cannot be changed at all is one failure to save, however it shows.
        Warn(removed == HiveStatus::Missing ? Failure::RemoveKey : Failure::WriteKey,
             "Tried to remove " + fullKey +
                 " 'Key' from Windows Registry but failed, does it exist?",
             kChangeTitle);
        return false;
    }
    if (announce) {
        messages_.ShowMessage(fullKey + " 'Key' removed from Windows Registry.", kChangeTitle,
                              MessageIcon::Information);
    }
    return true;
}

bool OrlenRegistry::RestoreFormSize(std::string_view key, WindowBounds& window) {
    const Placement remembered = window.placement;
    window.placement = Placement::AsDesigned;
    std::int32_t height = window.height;
    std::int32_t width = window.width;
    const bool heightFound = ReadInteger(key, kHeight, height);
    const bool widthFound = ReadInteger(key, kWidth, width);
    window.height = height;
    window.width = width;
    if (heightFound && widthFound) return true;
    // Without a whole stored size a centred window is centred again.
    window.placement = remembered;
    return false;
}

bool OrlenRegistry::RestoreFormPosition(std::string_view key, WindowBounds& window) {
    std::int32_t top = window.top;
    std::int32_t left = window.left;
    const bool topFound = ReadInteger(key, kTop, top);
    const bool leftFound = ReadInteger(key, kLeft, left);
    window.top = top;
    window.left = left;
    return topFound && leftFound;
}

bool OrlenRegistry::RestoreFormBounds(std::string_view key, WindowBounds& window) {
    std::int32_t top = window.top;
    std::int32_t left = window.left;
    const bool topFound = ReadInteger(key, kTop, top);
    const bool leftFound = ReadInteger(key, kLeft, left);
    const bool sizeFound = RestoreFormSize(key, window);
    window.top = top;
    window.left = left;
    return topFound && leftFound && sizeFound;
}

void OrlenRegistry::SaveFormSize(std::string_view key, const WindowBounds& window) {
    WriteInteger(key, kHeight, window.height);
    WriteInteger(key, kWidth, window.width);
}

void OrlenRegistry::SaveFormPosition(std::string_view key, const WindowBounds& window) {
    WriteInteger(key, kTop, window.top);
    WriteInteger(key, kLeft, window.left);
}

void OrlenRegistry::SaveFormBounds(std::string_view key, const WindowBounds& window) {
    SaveFormSize(key, window);
    SaveFormPosition(key, window);
}

}  // namespace ocuvis
