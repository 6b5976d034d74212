#include "input/DelimitedText.h"

#include "core/AsciiText.h"
#include "input/OrlenStrings.h"

namespace ocuvis {

namespace {

bool IsSeparator(char c) {
    return c == ',' || c == ';' || c == '\t';
}

bool IsPadding(char c) {
    return IsBlankOrControl(c) && c != '\t';
}

std::size_t SkipPadding(std::string_view row, std::size_t i) {
    while (i < row.size() && IsPadding(row[i]))
        ++i;
    return i;
}

}  // namespace

bool IsHashComment(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlankOrControl(line[i]))
        ++i;
    return i < line.size() && line[i] == '#';
}

std::string_view WithoutByteOrderMark(std::string_view line) {
    if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    return line;
}

void DelimitedRow::Split(std::string_view row, std::size_t maxFields) {
    count_ = 0;
    std::size_t i = SkipPadding(row, 0);
    if (i == row.size()) return;
    while (count_ < maxFields) {
        if (fields_.size() == count_) fields_.emplace_back();
        Field& field = fields_[count_++];
        field.text.clear();
        field.start = i;
        field.quoted = i < row.size() && row[i] == '"';
        if (field.quoted) {
            for (++i; i < row.size(); ++i) {
                if (row[i] != '"') {
                    field.text += row[i];
                } else if (i + 1 < row.size() && row[i + 1] == '"') {
                    field.text += '"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        }
        const std::size_t rest = i;
        while (i < row.size() && !IsSeparator(row[i]) && !IsPadding(row[i]))
            ++i;
        field.text.append(row.substr(rest, i - rest));
        i = SkipPadding(row, i);
        if (i == row.size()) return;
        if (IsSeparator(row[i])) i = SkipPadding(row, i + 1);
    }
}

std::optional<std::vector<std::string>> DelimitedHeaderNames(std::string_view row) {
    DelimitedRow fields;
    fields.Split(row, std::string_view::npos);
    std::vector<std::string> names;
    bool header = false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const DelimitedRow::Field& field = fields[i];
        // A fourth field that starts with '!' is a label, not a value.
        if (i == 3 && !field.quoted && !field.text.empty() && field.text.front() == '!') break;
        double value = 0.0;
        if (!field.text.empty() && !DecimalToDouble(field.text, value)) header = true;
        names.push_back(field.text);
    }
    if (!header) return std::nullopt;
    return names;
}

}  // namespace ocuvis
