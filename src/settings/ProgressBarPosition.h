#pragma once

#include <string>

#include "core/WindowBounds.h"
#include "settings/OrlenRegistry.h"

namespace ocuvis {

// Where the load progress window stood when it was last closed: "Window Position Top" and
// "Window Position Left" under appKeyName + "\ProgressBar". Our choice: the key lies under the
// program's own key (Software\Tolvane\Ocuvis\ProgressBar), not under a second copy of the root.
class ProgressBarPosition final : public WindowBoundsStore {
  public:
    ProgressBarPosition(OrlenRegistry store, const std::string& appKeyName);

    // True when both values were stored; the window stays centred otherwise.
    bool Restore(WindowBounds& window) override;
    void Save(const WindowBounds& window) override;

    const std::string registryKey;

  private:
    OrlenRegistry store_;
};

}  // namespace ocuvis
