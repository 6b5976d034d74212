#include "SettingsMessages.h"

#include <algorithm>
#include <cstdio>

namespace ocuvis {

void StderrSettingsMessages::ShowMessage(const std::string& text, const std::string& title,
                                         MessageIcon icon) {
    const char* kind = icon == MessageIcon::Warning ? "warning"
                       : icon == MessageIcon::Stop  ? "error"
                                                    : "note";
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "ocuvis: %s: %s: %s\n", kind, title.c_str(), line.c_str());
}

}  // namespace ocuvis
