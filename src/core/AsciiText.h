#pragma once

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

}  // namespace ocuvis
