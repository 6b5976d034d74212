#include "render/TextStamps.h"

namespace ocuvis {

TextStamps::Entry& TextStamps::Find(const Key& key) {
    const auto at = entries_.find(key);
    if (at != entries_.end()) return at->second;
    if (entries_.size() >= kMostTexts) entries_.clear();
    return entries_[key];
}

}  // namespace ocuvis
