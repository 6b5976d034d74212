#include "input/ClassicTextReader.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/AsciiText.h"
#include "input/ByteStream.h"
#include "input/OrlenStrings.h"

namespace ocuvis {

namespace {

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

// The field delimiters by byte value: a look-up instead of three compares per character.
constexpr std::array<bool, 256> kFieldDelimiters = [] {
    std::array<bool, 256> table{};
    table[static_cast<unsigned char>(',')] = true;
    table[static_cast<unsigned char>(' ')] = true;
    table[static_cast<unsigned char>('\t')] = true;
    return table;
}();

bool IsFieldDelimiter(char c) {
    return kFieldDelimiters[static_cast<unsigned char>(c)];
}

// A label's text is read in capitals, like everything of the classic layouts; the numbers do not
// need it, so only labels are upper-cased.
std::string UpperCased(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = AsciiUpper(c);
    return upper;
}

// Whether a trimmed line that begins with a field holds a delimiter with a field character
// after it. Counting past the limit asks this of millions of lines: lines of up to 32
// characters are looked at 16 at a time, without a branch per character.
// readable: how many bytes from the line's start may be read, the line's own and after it.
bool HasSecondField(std::string_view line, std::size_t readable) {
    const std::size_t size = line.size();
#if defined(__SSE2__)
    if (size <= 32 && size >= 2 && readable >= 32) {
        const char* bytes = line.data();
        const auto delimiters = [](const char* at) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
            const __m128i found =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(',')),
                                          _mm_cmpeq_epi8(chunk, _mm_set1_epi8(' '))),
                             _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\t')));
            return static_cast<std::uint32_t>(_mm_movemask_epi8(found));
        };
        const std::uint32_t inLine = size == 32 ? ~0u : (1u << size) - 1u;
        const std::uint32_t delimiter = (delimiters(bytes) | delimiters(bytes + 16) << 16) & inLine;
        const std::uint32_t field = ~delimiter & inLine;
        return (delimiter & (field >> 1)) != 0;
    }
#else
    (void)readable;
#endif
    std::size_t i = 0;
    while (i < size && !IsFieldDelimiter(line[i]))
        ++i;
    while (i < size && IsFieldDelimiter(line[i]))
        ++i;
    return i < size;
}

}  // namespace

std::string ClassicTextReader::Read(ByteStream& stream) {
    // Room for a record per eight bytes ahead: growing by doubling would copy the records and
    // touch twice the memory. A line of the field layout is rarely shorter.
    sink_.Reserve(stream.Size() / 8 + 1);
    ReadLines(stream);
    return {};
}

void ClassicTextReader::ReadLines(ByteStream& stream) {
    LoadCounts& counts = sink_.counts;
    for (;;) {
        // A view into the stream's buffer: lines are not copied, and only the first is
        // upper-cased whole, for its keyword.
        std::string_view line;
        const bool lineRead = stream.ReadLineView(line, kLinePieceLength);
        if (!sink_.Continue(stream.Position())) return;
        line = TrimmedBlanks(line);
        if (counts.passes == 0) {
            line_ = UpperCased(line);
            table3dFile_ = line_.find("TABLE3D") != std::string::npos;
            if (table3dFile_) ReadTableHeader(line_);
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
    if (table3dFile_) {
        while (stream.ReadLine(line_, kLinePieceLength)) {
            ProcessTableRow(UpperTrimmed(line_), false);
            if (!sink_.Continue(stream.Position())) return;
        }
        return;
    }
    const bool sampling = sink_.fields().SubSampleEnabled;
    std::int64_t points = 0;
    // Whole buffers at a time: a line costs a search for its end and a look at its first two
    // fields. Lines that cross a buffer's end, or are longer than a piece, go by ReadLineView.
    for (;;) {
        const std::string_view buffered = stream.Buffered();
        if (buffered.empty()) break;
        const char* next = buffered.data();
        const char* const end = next + buffered.size();
        // No line before the buffer's first '!' can be a label line.
        const char* bang = static_cast<const char*>(std::memchr(next, '!', buffered.size()));
        if (bang == nullptr) bang = end;
        for (;;) {
            const std::size_t wanted = std::min<std::size_t>(end - next, kLinePieceLength);
            const char* lineEnd = static_cast<const char*>(std::memchr(next, '\n', wanted));
            if (lineEnd == nullptr) break;
            std::string_view line(next, static_cast<std::size_t>(lineEnd - next));
            next = lineEnd + 1;
            if (sampling && !sink_.Keep()) continue;
            points +=
                FieldLineIsPoint(line, lineEnd <= bang, static_cast<std::size_t>(end - line.data()))
                    ? 1
                    : 0;
        }
        stream.Consume(static_cast<std::size_t>(next - buffered.data()));
        std::string_view line;
        if (next != end && stream.ReadLineView(line, kLinePieceLength) &&
            (!sampling || sink_.Keep()))
            points += FieldLineIsPoint(line, false, line.size()) ? 1 : 0;
        if (!sink_.Continue(stream.Position())) {
            sink_.CountPoints(points);
            return;
        }
    }
    sink_.CountPoints(points);
}

bool ClassicTextReader::FieldLineIsPoint(std::string_view line, bool noLabel,
                                         std::size_t readable) const {
    const char* start = line.data();
    line = TrimmedBlanks(line);
    if (line.empty() || line.front() == ';' || line.front() == '!' || line.front() == ',')
        return false;
    // Fields are the runs between delimiters; a fourth that begins with '!' makes a label line
    // while labels have room. Case plays no part here.
    const std::size_t size = line.size();
    std::size_t i = 0;
    // No label possible: a second field is all it takes, that is a delimiter with a field
    // character after it.
    if (noLabel || !sink_.LabelRoom())
        return HasSecondField(line, readable - (line.data() - start));
    int fields = 0;
    while (i < size) {
        if (fields == 3) return line[i] != '!';
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
    // Doubles until the sink narrows them, past the file's origin.
    double values[kMaxFieldsUsed + 1] = {};
    int k = 0;
    bool labelLine = false;
    const char* next = line.data();
    const char* const end = next + line.size();
    while (k < kMaxFieldsUsed && next != end) {
        // A field is the run up to a delimiter; the delimiter run after it goes with it. A
        // delimiter where a field should start ends the line's fields.
        const char* const start = next;
        // Most fields are short numbers, read in the same pass that finds their end.
        double number = 0.0;
        const char* const numberEnd = ScanShortDecimal(start, end, number);
        if (numberEnd != nullptr && (numberEnd == end || IsFieldDelimiter(*numberEnd))) {
            next = numberEnd;
            while (next != end && IsFieldDelimiter(*next))
                ++next;
            // At most 2^53 times 1e22: always within the float range, and narrowed by the sink
            // as a slow-path double would be.
            values[k + 1] = number;
            ++k;
            continue;
        }
        while (next != end && !IsFieldDelimiter(*next))
            ++next;
        if (next == start) break;
        const std::string_view field(start, static_cast<std::size_t>(next - start));
        while (next != end && IsFieldDelimiter(*next))
            ++next;
        // A field right after a label's that begins with '!' starts another label.
        if (k == 3 && sink_.LabelRoom() && *start == '!') {
            // Always fields 1, 2 and 3, whatever the field numbers say; the text runs to the
            // line's end.
            sink_.Label(
                values[1], values[2], values[3],
                UpperCased(std::string_view(start + 1, static_cast<std::size_t>(end - start - 1))));
            labelLine = true;
            continue;
        }
        values[k + 1] = scanner.FieldToDouble(field, MissingValue);
        ++k;
    }
    if (labelLine) return;

    if (k < 2) {
        sink_.Break();
        return;
    }
    const FileInputFields& fields = sink_.fields();
    auto take = [&](std::int32_t n) { return n > 0 && n <= k ? values[n] : 0.0; };
    const double z = k == 2 ? 0.0 : take(fields.ZIndex);
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
