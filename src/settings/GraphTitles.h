#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/UserFeedback.h"
#include "settings/OrlenRegistry.h"

namespace ocuvis {

// The four titles of the graph and their memory under appKeyName + "\GraphTitles". The titles
// dialog edits these four texts directly and the renderer draws them as they stand, so a redraw
// while the dialog is open shows what has been typed so far. They reach the store only by OK.
class GraphTitles {
  public:
    static constexpr std::string_view kCaption = "GraphTitles";
    // The labels above the four edit fields, in tab order.
    static constexpr std::array<std::string_view, 4> kFieldLabels = {
        "Graph Title", "X-Axis [horizontal]", "Y-Axis [vertical]", "Z-Axis [depth]"};
    // The stored value of each field, in the same order.
    static constexpr std::array<std::string_view, 4> kValueNames = {"Main Title", "X-Axis Title",
                                                                    "Y-Axis Title", "Z-Axis Title"};

    // Loads the stored titles at once.
    GraphTitles(OrlenRegistry store, const std::string& appKeyName, UserFeedback& feedback);

    // Each stored title replaces its text; a missing one keeps the text it has.
    void LoadTitles();
    // Stores all four, empty ones included, then the asterisk beep.
    void OkBtnClick();
    // Undoes every change since the last OK, then the hand beep.
    void CancelBtnClick();
    // Empties the four texts; nothing is stored.
    void ClearAllBtnClick();

    std::string MainTitle;
    std::string xTitle;
    std::string yTitle;
    std::string zTitle;

    const std::string titlesKey;

  private:
    std::array<std::string*, 4> Fields() { return {&MainTitle, &xTitle, &yTitle, &zTitle}; }

    OrlenRegistry store_;
    UserFeedback& feedback_;
};

}  // namespace ocuvis
