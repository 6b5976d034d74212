#pragma once

#include <string_view>

namespace ocuvis {

// Upper-casing of a-z only: the C library's toupper follows the process locale, which Qt sets
// from the environment, and data files must read the same everywhere.
constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// Characters of code 32 or less (blanks, tabs, control characters) are stripped at line ends.
constexpr bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

constexpr std::string_view TrimmedBlanks(std::string_view text) {
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace ocuvis
