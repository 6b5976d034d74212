#include "SettingsMessages.h"

#include <cstdio>

namespace ocuvis {

void StderrSettingsMessages::ShowMessage(const std::string& text, const std::string& title,
                                         MessageIcon icon) {
    const char* kind = icon == MessageIcon::Warning ? "warning"
                       : icon == MessageIcon::Stop  ? "error"
                                                    : "note";
    std::fprintf(stderr, "ocuvis: %s: %s: %s\n", kind, title.c_str(), text.c_str());
}

}  // namespace ocuvis
