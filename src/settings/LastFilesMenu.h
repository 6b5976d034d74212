#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/RecentFileList.h"
#include "settings/OrlenRegistry.h"

namespace ocuvis {

// One entry of the recent files block of the File menu.
struct RecentEntry {
    int slot = 0;         // 0..99; written into the item name
    std::string caption;  // the file name of the path
    std::string path;

    std::string itemName() const { return "LastFile" + std::to_string(slot); }
};

// The last files opened, most recent first, kept under appKeyName + "\Last Opened Files". The
// list is read when it is made and written when it is destroyed, so a run that ends without
// closing the main window leaves the previous list in place. The menu binding shows entries()
// and rebuilds its items whenever onChanged fires.
class LastFilesMenu final : public RecentFileList {
  public:
    using OpenCallback = std::function<void(const std::string& path)>;
    static constexpr int kSlotCount = 100;

    LastFilesMenu(OpenCallback onOpen, RegistryHive& hive, UserFeedback& messages,
                  const std::string& keyName, std::int32_t capacity);
    ~LastFilesMenu() override;
    LastFilesMenu(const LastFilesMenu&) = delete;
    LastFilesMenu& operator=(const LastFilesMenu&) = delete;

    // The path at the top of the list as it was loaded; it never changes during the run.
    std::string lastOpenedFile() const override { return lastOpenedFile_; }
    // Puts a file that has just opened at the top, with its absolute path. Files are told apart
    // by their file name alone, compared exactly: the same name from another folder replaces
    // the older entry.
    void AddRecentFile(const std::string& opened) override;

    // A click on the entry with this item name ("LastFile" and its slot) opens its path.
    void Click(std::string_view itemName);

    const std::vector<RecentEntry>& entries() const { return entries_; }
    std::int32_t count() const { return static_cast<std::int32_t>(entries_.size()); }
    std::int32_t capacity() const { return capacity_; }
    const std::string& key() const { return key_; }

    std::function<void()> onChanged;

    // The text after the last '/' ('\', ':' or '/' on Windows); the whole path without one.
    static std::string FileNameOf(std::string_view path);

  private:
    void Load();
    void Save();

    OrlenRegistry store_;
    std::string key_;
    std::int32_t capacity_;
    std::vector<RecentEntry> entries_;  // menu order, the top first
    std::string lastOpenedFile_;
    OpenCallback onOpen_;
};

}  // namespace ocuvis
