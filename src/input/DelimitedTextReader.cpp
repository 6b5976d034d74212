#include "input/DelimitedTextReader.h"

#include "core/AsciiText.h"
#include "input/ByteStream.h"
#include "input/OrlenStrings.h"

namespace ocuvis {

std::string DelimitedTextReader::Read(ByteStream& stream) {
    LoadCounts& counts = sink_.counts;
    bool lookForHeader = true;
    for (bool firstLine = true;; firstLine = false) {
        const bool lineRead = stream.ReadLine(line_, kRowLength);
        if (stream.LineCut()) stream.SkipLineRest();
        if (!sink_.Continue(stream.Position())) return {};
        ++counts.passes;
        if (!lineRead) {
            counts.endReached = true;
            break;
        }
        std::string_view line = line_;
        if (firstLine) line = WithoutByteOrderMark(line);
        if (IsHashComment(line)) continue;
        if (lookForHeader) {
            const std::string_view trimmed = TrimmedBlanks(line);
            // Blank lines and the field layout's own comments come before a header as well.
            if (!trimmed.empty() && trimmed.front() != ';' && trimmed.front() != '!') {
                lookForHeader = false;
                const std::optional<std::vector<std::string>> names = DelimitedHeaderNames(line);
                const std::vector<std::string> none;
                axes_ = AxisFieldNumbers(sink_.fields(), names ? *names : none);
                rgb_ = ColourFieldNumbers(sink_.fields(), names ? *names : none);
                if (sink_.fields().ValueIndex > 0) {
                    sink_.StoreValues();
                } else if (rgb_[0] > 0) {
                    sink_.StoreColours(RecordSink::ColourScale::Byte);
                }
                if (names) continue;
            }
        }
        ProcessRow(line);
    }
    return {};
}

std::string DelimitedTextReader::NoPointsReason() const {
    // Rows left out by the sampling may have had numbers.
    if (sink_.counts.pointsFound > 0 || sampledOut_ > 0) return {};
    std::vector<std::string> numbers;
    for (const std::int32_t n : axes_) {
        if (n > 0) numbers.push_back(std::to_string(n));
    }
    std::string list;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) list += i + 1 == numbers.size() ? " and " : ", ";
        list += numbers[i];
    }
    return "no row had numbers in field" + std::string(numbers.size() == 1 ? " " : "s ") + list;
}

bool DelimitedTextReader::FieldValue(std::int32_t n, double& value, bool convert) const {
    if (n <= 0) {
        value = 0.0;
        return true;
    }
    if (static_cast<std::size_t>(n) > row_.size()) return false;
    const std::string& text = row_[static_cast<std::size_t>(n - 1)].text;
    if (text.empty()) return false;
    return convert ? DecimalToDouble(text, value) : IsDecimalNumber(text);
}

void DelimitedTextReader::ProcessRow(std::string_view line) {
    if (!sink_.Keep()) {
        ++sampledOut_;
        return;
    }
    const bool store = !sink_.Full();
    const std::string_view trimmed = TrimmedBlanks(line);
    if (trimmed.empty()) {
        if (store) sink_.Break();
        return;
    }
    if (trimmed.front() == ';' || trimmed.front() == '!') return;
    row_.Split(line, kMaxFieldsUsed);
    if (Labels(line)) return;

    double xyz[3] = {0.0, 0.0, 0.0};
    for (int axis = 0; axis < 3; ++axis) {
        if (!FieldValue(axes_[static_cast<std::size_t>(axis)], xyz[axis], store)) {
            ++sink_.counts.rowsSkipped;
            return;
        }
    }
    if (!store) {
        sink_.CountPoints(1);
        return;
    }
    double size = 0.0;
    const std::int32_t dot = sink_.fields().DotIndex;
    if (dot > 0 && FieldValue(dot, size, true)) {
        sink_.DotSizesPresent();
    } else {
        size = 0.0;
    }
    sink_.Point(xyz[0], xyz[1], xyz[2], size);
    // A colour field that is empty or no number reads as 0.
    const auto cell = [this](std::int32_t n) {
        double value = 0.0;
        return FieldValue(n, value, true) ? value : 0.0;
    };
    if (sink_.fields().ValueIndex > 0) {
        double value = 0.0;
        sink_.Value(FieldValue(sink_.fields().ValueIndex, value, true) ? value : MissingValue);
    } else if (rgb_[0] > 0) {
        sink_.Colour(cell(rgb_[0]), cell(rgb_[1]), cell(rgb_[2]));
    }
}

bool DelimitedTextReader::Labels(std::string_view line) {
    const auto isLabel = [this](std::size_t i) {
        const DelimitedRow::Field& field = row_[i];
        return !field.quoted && !field.text.empty() && field.text.front() == '!';
    };
    if (row_.size() < 4 || !isLabel(3) || !sink_.LabelRoom()) return false;
    if (sink_.Full()) return true;
    double xyz[3];
    for (std::size_t i = 0; i < 3; ++i) {
        if (!DecimalToDouble(row_[i].text, xyz[i])) xyz[i] = MissingValue;
    }
    // Each further field that starts with '!' starts another label at the same place; a label
    // runs to the end of the row.
    for (std::size_t i = 3; i < row_.size() && isLabel(i) && sink_.LabelRoom(); ++i) {
        std::string text(TrimmedBlanks(line.substr(row_[i].start + 1)));
        for (char& c : text)
            c = AsciiUpper(c);
        sink_.Label(xyz[0], xyz[1], xyz[2], text);
    }
    return true;
}

}  // namespace ocuvis
