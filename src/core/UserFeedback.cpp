#include "core/UserFeedback.h"

#include <algorithm>
#include <cstdio>

namespace ocuvis {

void StderrFeedback::ShowMessage(const std::string& text, const std::string& title,
                                 MessageIcon icon) {
    const char* kind = icon == MessageIcon::Warning ? "warning"
                       : icon == MessageIcon::Stop  ? "error"
                                                    : "note";
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "ocuvis: %s: %s: %s\n", kind, title.c_str(), line.c_str());
}

void RepeatFilter::ShowMessage(const std::string& text, const std::string& title,
                               MessageIcon icon) {
    constexpr auto kRepeatWindow = std::chrono::seconds(5);
    const auto now = std::chrono::steady_clock::now();
    const std::string shown = title + '\n' + text;
    // The time counts from the end of the last box shown, which the user may have read slowly.
    if (shown == lastText_ && now - lastShown_ < kRepeatWindow) {
        lastShown_ = now;
        return;
    }
    feedback_.ShowMessage(text, title, icon);
    lastText_ = shown;
    lastShown_ = std::chrono::steady_clock::now();
}

}  // namespace ocuvis
