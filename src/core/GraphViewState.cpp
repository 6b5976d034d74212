#include "core/GraphViewState.h"

#include <array>

namespace ocuvis {

double AngleRadians(std::int32_t degrees) {
    constexpr long double kOneEightieth = 1.0L / 180.0L;
    return static_cast<double>(static_cast<long double>(degrees) * 3.14159L * kOneEightieth);
}

namespace {
constexpr std::array<std::string_view, 11> kViewTypeNames = {
    "Cross Eyes",    "Wall Eyes",  "Right Red",         "Right Blue", "Single View",    "Red Cyan",
    "Green Magenta", "Amber Blue", "Side By Side Half", "Top Bottom", "Top Bottom Half"};
static_assert(kViewTypeNames.size() == static_cast<std::size_t>(kLastViewType) + 1);

}  // namespace

std::string_view ViewTypeName(ViewType type) {
    return kViewTypeNames[static_cast<std::size_t>(type)];
}

std::optional<ViewType> ViewTypeFromName(std::string_view name) {
    for (std::size_t i = 0; i < kViewTypeNames.size(); ++i) {
        if (name == kViewTypeNames[i]) return static_cast<ViewType>(i);
    }
    return std::nullopt;
}

}  // namespace ocuvis
