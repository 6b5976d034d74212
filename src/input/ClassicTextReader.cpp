#include "input/ClassicTextReader.h"

#include <algorithm>

#include "core/AsciiText.h"
#include "input/ByteStream.h"
#include "input/OrlenStrings.h"

namespace ocuvis {

namespace {

// Lines counted past the limit between two progress reports: a report per line would cost
// more than the counting.
constexpr int kLinesPerReport = 4096;

// Upper-cases the line in place and returns it without the characters of code 32 or less at
// either end.
std::string_view UpperTrimmed(std::string& line) {
    for (char& c : line)
        c = AsciiUpper(c);
    return TrimmedBlanks(line);
}

bool ReadTableNumber(std::string_view& text, float& value) {
    const OrlenStrings scanner;
    double number = 0.0;
    if (!scanner.NextNumber(text, number, ClassicTextReader::kNumberScanLength)) return false;
    // A number beyond the float range cannot be plotted: it counts as no number.
    return NarrowToFloat(number, value);
}

bool IsFieldDelimiter(char c) {
    return c == ',' || c == ' ' || c == '\t';
}

}  // namespace

std::string ClassicTextReader::Read(ByteStream& stream) {
    ReadLines(stream);
    return {};
}

void ClassicTextReader::ReadLines(ByteStream& stream) {
    LoadCounts& counts = sink_.counts;
    for (;;) {
        const bool lineRead = stream.ReadLine(line_, kLinePieceLength);
        if (!sink_.Continue(stream.Position())) return;
        const std::string_view line = UpperTrimmed(line_);
        if (counts.passes == 0) {
            table3dFile_ = line.find("TABLE3D") != std::string_view::npos;
            if (table3dFile_) ReadTableHeader(line);
        }
        if (lineRead) {
            if (!table3dFile_) {
                ProcessFieldLine(line);
            } else if (counts.passes > 0) {
                ProcessTableRow(line, true);
            }
        }
        ++counts.passes;
        if (!lineRead) {
            counts.endReached = true;
            return;
        }
        if (sink_.Full()) break;
    }
    CountRest(stream);
}

void ClassicTextReader::CountRest(ByteStream& stream) {
    const bool sampling = sink_.fields().SubSampleEnabled;
    std::string_view line;
    int sinceReport = 0;
    while (stream.ReadLineView(line, kLinePieceLength)) {
        if (++sinceReport == kLinesPerReport) {
            sinceReport = 0;
            if (!sink_.Continue(stream.Position())) return;
        }
        if (table3dFile_) {
            line_.assign(line);
            ProcessTableRow(UpperTrimmed(line_), false);
            continue;
        }
        // Drawn for every line, as when the line is stored.
        if (sampling && !sink_.Keep()) continue;
        if (FieldLineIsPoint(line)) sink_.CountPoints(1);
    }
    sink_.Continue(stream.Position());
}

bool ClassicTextReader::FieldLineIsPoint(std::string_view line) const {
    line = TrimmedBlanks(line);
    if (line.empty() || line.front() == ';' || line.front() == '!' || line.front() == ',')
        return false;
    // Fields are the runs between delimiters; a fourth that begins with '!' makes a label line
    // while labels have room. Case plays no part here.
    int fields = 0;
    std::size_t i = 0;
    const std::size_t size = line.size();
    while (i < size) {
        if (fields == 3) return line[i] != '!' || !sink_.LabelRoom();
        ++fields;
        while (i < size && !IsFieldDelimiter(line[i]))
            ++i;
        while (i < size && IsFieldDelimiter(line[i]))
            ++i;
    }
    return fields >= 2;
}

void ClassicTextReader::ProcessFieldLine(std::string_view line) {
    // Drawn for every line, comments and blanks included, so a fixed seed always picks the same
    // lines of the same file.
    if (!sink_.Keep()) return;
    if (!line.empty() && (line.front() == ';' || line.front() == '!')) return;

    const OrlenStrings scanner;
    float values[kMaxFieldsUsed + 1] = {};
    int k = 0;
    bool labelLine = false;
    while (k < kMaxFieldsUsed && !line.empty()) {
        const std::string_view rest = line;
        const std::string_view field = scanner.NextField(line, FieldDelimiters);
        if (field.empty()) break;
        // A field right after a label's that begins with '!' starts another label.
        if (k == 3 && sink_.LabelRoom() && field.front() == '!') {
            // Always fields 1, 2 and 3, whatever the field numbers say.
            sink_.Label(values[1], values[2], values[3], rest.substr(1));
            labelLine = true;
            continue;
        }
        values[k + 1] = scanner.FieldToFloat(field, MissingValue);
        ++k;
    }
    if (labelLine) return;

    if (k < 2) {
        sink_.Break();
        return;
    }
    const FileInputFields& fields = sink_.fields();
    auto take = [&](std::int32_t n) { return n > 0 && n <= k ? values[n] : 0.0f; };
    const float z = k == 2 ? 0.0f : take(fields.ZIndex);
    if (k == 4) sink_.DotSizesPresent();
    sink_.Point(take(fields.XIndex), take(fields.YIndex), z, take(fields.DotIndex));
}

void ClassicTextReader::ReadTableHeader(std::string_view line) {
    const std::size_t keyword = line.find("TABLE3D");
    // The character right after the keyword is a separator and is always dropped.
    line.remove_prefix(std::min(line.size(), keyword + 7 + 1));
    columnKeyCount_ = 0;
    float key = 0.0f;
    while (columnKeyCount_ < kMaxColumnKeys && ReadTableNumber(line, key)) {
        columnKeys_[columnKeyCount_++] = key;
    }
}

void ClassicTextReader::ProcessTableRow(std::string_view line, bool store) {
    float rowKey = 0.0f;
    if (!ReadTableNumber(line, rowKey)) return;
    // A row can hold up to 501 records while the limit is tested per line: points stop where
    // only the slot for the closing break is left, so a row never stores more than the limit
    // and one more record.
    const std::int32_t lastPointSlot = sink_.recordLimit() - 1;
    for (int j = 0; j < columnKeyCount_; ++j) {
        float value = 0.0f;
        if (!ReadTableNumber(line, value)) continue;
        if (!store || sink_.counts.recordsStored > lastPointSlot) {
            sink_.CountPoints(1);
            continue;
        }
        sink_.Point(rowKey, value, columnKeys_[j], 0.0f);
    }
    if (store) sink_.Break();
}

}  // namespace ocuvis
