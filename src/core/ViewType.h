#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ocuvis {

enum class ViewType : std::int32_t {
    CrossEyes,
    WallEyes,
    RightRed,
    RightBlue,
    Single,
    // Drawn as two whole eye images, then combined per pixel or packed into one frame.
    RedCyan,
    GreenMagenta,
    AmberBlue,
    SideBySideHalf,
    TopBottom,
    TopBottomHalf,
};
constexpr ViewType kLastViewType = ViewType::TopBottomHalf;

// The views made of two separately drawn eye images.
constexpr bool IsComposedView(ViewType type) {
    return type >= ViewType::RedCyan && type <= kLastViewType;
}
constexpr bool IsAnaglyphPair(ViewType type) {
    return type >= ViewType::RedCyan && type <= ViewType::AmberBlue;
}

// How a combined anaglyph turns the eye images into its channels: the least-squares matrices,
// or each eye's luminance alone.
enum class AnaglyphMethod : std::int32_t { Optimised, Plain };

// The stored names of the view types.
std::string_view ViewTypeName(ViewType type);
// Matches the stored names exactly (case too); nothing for any other text.
std::optional<ViewType> ViewTypeFromName(std::string_view name);

// Colours are 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;

constexpr Colour ColourFromRgb(int red, int green, int blue) {
    return static_cast<Colour>(red & 0xFF) | static_cast<Colour>(green & 0xFF) << 8 |
           static_cast<Colour>(blue & 0xFF) << 16;
}
constexpr int RedOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

}  // namespace ocuvis
