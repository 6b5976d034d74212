#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ocuvis {

// The conventions of delimited text files (.csv, .xyz).

// A line whose first non-blank character is '#' is a comment: it yields nothing, not even a break.
bool IsHashComment(std::string_view line);

// The line without a UTF-8 byte-order mark at its start (spreadsheet exports write one).
std::string_view WithoutByteOrderMark(std::string_view line);

// The fields of one row. Fields are separated by one ',', ';' or tab each, so two in a row
// enclose an empty field; blanks around a field are padding, and blanks alone between two
// fields separate them too (as .xyz files are written). A field in double quotes is one field,
// separators included, without its quotes ("" inside stands for one quote).
class DelimitedRow {
  public:
    struct Field {
        std::string text;
        std::size_t start = 0;  // where the field begins in the row
        bool quoted = false;
    };

    // Splits the row into at most maxFields fields; a row of blanks has none.
    void Split(std::string_view row, std::size_t maxFields);
    std::size_t size() const { return count_; }
    const Field& operator[](std::size_t i) const { return fields_[i]; }

  private:
    std::vector<Field> fields_;  // kept between rows, so the texts keep their room
    std::size_t count_ = 0;
};

// A row one of whose fields is not a number (empty fields aside; a label field in fourth place
// and what follows it aside) is a header row: its fields are the names of the columns. Nothing
// for a row of data or of no fields.
std::optional<std::vector<std::string>> DelimitedHeaderNames(std::string_view row);

}  // namespace ocuvis
