#include "input/DelimitedText.h"

#include "core/AsciiText.h"
#include "input/OrlenStrings.h"

namespace ocuvis {

namespace {

bool IsDelimiter(char c) {
    return FieldDelimiters.find(c) != std::string_view::npos;
}

}  // namespace

bool IsHashComment(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlankOrControl(line[i]))
        ++i;
    return i < line.size() && line[i] == '#';
}

std::optional<std::vector<std::string>> DelimitedHeaderNames(std::string_view line) {
    while (!line.empty() && IsBlankOrControl(line.back()))
        line.remove_suffix(1);
    std::vector<std::string> names;
    bool header = false;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (IsDelimiter(line[i]) || IsBlankOrControl(line[i])))
            ++i;
        if (i == line.size()) break;
        std::string name;
        bool quoted = false;
        if (line[i] == '"') {
            quoted = true;
            for (++i; i < line.size(); ++i) {
                if (line[i] != '"') {
                    name += line[i];
                } else if (i + 1 < line.size() && line[i + 1] == '"') {
                    name += '"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        }
        while (i < line.size() && !IsDelimiter(line[i]))
            name += line[i++];
        // The field layout reads a fourth field that starts with '!' as a label, not a value.
        if (names.size() == 3 && !quoted && name.front() == '!') break;
        double value = 0.0;
        if (quoted || !DecimalToDouble(name, value)) header = true;
        names.push_back(std::move(name));
    }
    if (!header) return std::nullopt;
    return names;
}

}  // namespace ocuvis
