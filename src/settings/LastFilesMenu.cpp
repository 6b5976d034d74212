#include "settings/LastFilesMenu.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace ocuvis {

namespace {
constexpr std::string_view kCountName = "Number of Files";
constexpr std::string_view kItemPrefix = "LastFile";

std::string PositionName(int position) {
    return std::string(kItemPrefix) + std::to_string(position);
}

// A name relative to the folder the program ran in would name another file, or none, in a run
// started elsewhere.
std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}
}  // namespace

LastFilesMenu::LastFilesMenu(OpenCallback onOpen, RegistryHive& hive, UserFeedback& messages,
                             const std::string& keyName, std::int32_t capacity)
    : store_(hive, messages),
      key_(keyName + "\\Last Opened Files"),
      capacity_(std::clamp(capacity, 0, kSlotCount)),
      onOpen_(std::move(onOpen)) {
    Load();
}

LastFilesMenu::~LastFilesMenu() {
    Save();
}

std::string LastFilesMenu::FileNameOf(std::string_view path) {
#ifdef _WIN32
    constexpr std::string_view kSeparators = "\\:/";
#else
    // ':' and '\' are ordinary characters in a file name here.
    constexpr std::string_view kSeparators = "/";
#endif
    const std::size_t last = path.find_last_of(kSeparators);
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

void LastFilesMenu::Load() {
    std::int32_t stored = 0;
    store_.ReadInteger(key_, kCountName, stored);
    // A stored count above the capacity was never written by us; only the first capacity
    // positions (the most recent files) are read, which keeps every slot below the capacity.
    const int positions = std::min(stored, capacity_);
    for (int i = 0; i < positions; ++i) {
        std::string path;
        if (!store_.ReadString(key_, PositionName(i), path) || path.empty()) continue;
        entries_.push_back(RecentEntry{i, FileNameOf(path), path});
    }
    if (!entries_.empty() && entries_.front().slot == 0) lastOpenedFile_ = entries_.front().path;
}

void LastFilesMenu::AddRecentFile(const std::string& opened) {
    if (capacity_ == 0) return;
    const std::string path = AbsolutePath(opened);
    const std::string caption = FileNameOf(path);
    std::erase_if(entries_, [&](const RecentEntry& entry) { return entry.caption == caption; });
    if (count() >= capacity_) entries_.pop_back();

    int slot = 0;
    while (slot < capacity_ && std::any_of(entries_.begin(), entries_.end(),
                                           [&](const auto& e) { return e.slot == slot; }))
        ++slot;
    entries_.insert(entries_.begin(), RecentEntry{slot, caption, path});
    if (onChanged) onChanged();
}

void LastFilesMenu::Click(std::string_view itemName) {
    if (!itemName.starts_with(kItemPrefix)) return;
    const std::string_view digits = itemName.substr(kItemPrefix.size());
    if (digits.empty() || digits.size() > 2 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return;
    const int slot = std::stoi(std::string(digits));
    for (const RecentEntry& entry : entries_) {
        if (entry.slot == slot) {
            if (onOpen_) onOpen_(entry.path);
            return;
        }
    }
}

void LastFilesMenu::Save() {
    // The old list goes as a whole, so no value of a longer earlier list survives; if it cannot
    // go, the new values are written over it all the same. One batch, so that a kill part-way
    // leaves the old list rather than none.
    OrlenRegistry::Batch batch(store_);
    store_.RemoveKey(key_, false);
    // Each entry writes its own path: matching entries to paths by file name, as a caption
    // lookup would, loses entries whose slots are not 0..count-1 after a load with gaps.
    int written = 0;
    for (const RecentEntry& entry : entries_)
        store_.WriteString(key_, PositionName(written++), entry.path);
    store_.WriteInteger(key_, kCountName, written);
}

}  // namespace ocuvis
