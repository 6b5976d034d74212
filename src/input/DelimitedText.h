#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ocuvis {

// The conventions of delimited text files (.csv, .xyz) on top of the field layout's rules.

// A line whose first non-blank character is '#' is a comment: it yields nothing, not even a break.
bool IsHashComment(std::string_view line);

// A line that holds a field that is not a number (a label field in fourth place aside) is a header
// row: its fields are the names of the columns. A name in double quotes is one name, delimiters
// included, without the quotes ("" stands for a quote). Nothing for a line of data or no fields.
std::optional<std::vector<std::string>> DelimitedHeaderNames(std::string_view line);

}  // namespace ocuvis
