#pragma once

#include <string>

namespace ocuvis {

// The recent files list as the loader sees it.
class RecentFileList {
  public:
    virtual ~RecentFileList() = default;
    // The most recent file of the previous run; it does not change during this run.
    virtual std::string lastOpenedFile() const = 0;
    virtual void AddRecentFile(const std::string& path) = 0;
};

}  // namespace ocuvis
