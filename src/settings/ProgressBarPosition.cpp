#include "settings/ProgressBarPosition.h"

#include <utility>

namespace ocuvis {

ProgressBarPosition::ProgressBarPosition(OrlenRegistry store, const std::string& appKeyName)
    : registryKey(appKeyName + "\\ProgressBar"), store_(std::move(store)) {}

bool ProgressBarPosition::Restore(WindowBounds& window) {
    return store_.RestoreFormPosition(registryKey, window);
}

void ProgressBarPosition::Save(const WindowBounds& window) {
    store_.SaveFormPosition(registryKey, window);
}

}  // namespace ocuvis
