#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ocuvis {

class ByteStream;

constexpr std::string_view FieldDelimiters = ", \t";
constexpr std::string_view NumberStartChars = "0123456789+-";
constexpr std::string_view NumberChars = "0123456789+-.eE";

// Field and number scanning of text lines. Stateless: every operation depends only on its
// arguments. Operations that consume text take it by reference and advance it, so repeated calls
// walk along a line without copying it.
class OrlenStrings {
  public:
    // The text up to the first delimiter; the delimiter run after it is consumed too. A text that
    // starts with a delimiter yields an empty field and loses its leading delimiter run.
    std::string_view NextField(std::string_view& text, std::string_view delimiters) const;

    // Skips to the first character that may start a number (within maxLength characters) and
    // converts the run of number characters there. On a failed conversion the text stays past
    // the run and value is untouched.
    bool NextNumber(std::string_view& text, double& value, std::int32_t maxLength) const;

    float FieldToFloat(std::string_view text, float fallback) const;
    double FieldToDouble(std::string_view text, double fallback) const;

    // One line from the stream's position; the line end and any empty lines after it are
    // consumed, and a line longer than maxLength is cut with its rest left in the stream.
    std::string ReadStreamLine(ByteStream* stream, std::int32_t maxLength) const;
};

// The decimal conversion shared by the number readers: blanks around the text, an optional sign,
// digits with at most one '.', an optional exponent. False for anything else, for an empty text
// and for values beyond the double range.
bool DecimalToDouble(std::string_view text, double& value);

// The common numbers (a sign, at most 19 digits with at most one '.', an exponent that keeps the
// power of ten within 1e22) read from first on, stopping at the first character that is not part
// of one: where the number ends, or nothing, with value untouched, when the text there is not such
// a number. When the number ends at last, value is what DecimalToDouble gives for the same text.
const char* ScanShortDecimal(const char* first, const char* last, double& value);

// Whether DecimalToDouble would take the text, told by its characters alone for the common
// numbers: counting past the record limit needs no values.
bool IsDecimalNumber(std::string_view text);

// Narrows to float; false when the value lies beyond the float range (it would become infinite).
bool NarrowToFloat(double value, float& result);

}  // namespace ocuvis
