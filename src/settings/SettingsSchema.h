#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/GraphRecord.h"
#include "core/GraphViewState.h"
#include "core/WindowBounds.h"
#include "settings/OrlenRegistry.h"

namespace ocuvis {

// The main window's view settings and bounds under the program's key: loaded once after the
// defaults are in place, saved once at close. Each value that is missing or unreadable keeps
// its default and the rest still load. The window brings its controls in line with the view
// state afterwards (check marks, tool buttons, pixel sub-items, angle labels).
class SettingsSchema {
  public:
    explicit SettingsSchema(OrlenRegistry& store, std::string appKeyName = kAppKeyName);

    // Reads the bounds, then the view settings; the Z scale and the radians follow from what was
    // read, found or not.
    void LoadSettings(GraphViewState& view, GraphRecord& graph, WindowBounds& bounds);
    // Writes the bounds and every value, changed or not.
    void SaveSettings(const GraphViewState& view, const WindowBounds& bounds);

    // "Rotate Time Delay": read at start-up and written back unchanged at close. The rotation
    // timer's own interval is never stored, so each run starts at the form's speed.
    std::int32_t storedRotateDelay = 0;

  private:
    // A thickness or point size, as stored when some drawing can honour it.
    void ReadWidth(std::string_view name, std::int32_t& width);
    // Swap, separation and anaglyph method; values out of their range keep what is there.
    void LoadStereoSettings(GraphViewState& view);
    // Colouring, fine dots and depth shading.
    void LoadColourSettings(GraphViewState& view);
    void SaveColourSettings(const GraphViewState& view);

    OrlenRegistry& store_;
    std::string key_;
};

}  // namespace ocuvis
