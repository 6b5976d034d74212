#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace ocuvis {

// What gives the dots and lines their colours. File takes the file's own colours when it has
// any (or the values of the field it was read with); None is the view's dot and line colour.
enum class ColourBy : std::int32_t { File, None, X, Y, Z, Field };
enum class ColourMapKind : std::int32_t { Viridis, Diverging, Turbo, Grey };

// The names the settings and ocuvis-render use.
constexpr std::array<std::string_view, 6> kColourByNames = {"file", "none", "x", "y", "z", "field"};
constexpr std::array<std::string_view, 4> kColourMapNames = {"viridis", "diverging", "turbo",
                                                             "grey"};

template <class Kind, std::size_t N>
std::optional<Kind> ChoiceFromName(const std::array<std::string_view, N>& names,
                                   std::string_view name) {
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == name) return static_cast<Kind>(i);
    return std::nullopt;
}

template <class Kind, std::size_t N>
std::string_view ChoiceName(const std::array<std::string_view, N>& names, Kind kind) {
    const auto i = static_cast<std::size_t>(kind);
    return i < N ? names[i] : names[0];
}

// Fine dots: drawn as one pixel or a 2 x 2 square instead of the view's point size.
enum class FinePoints : std::int32_t { Off, OnePixel, TwoByTwo };

}  // namespace ocuvis
