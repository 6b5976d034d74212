#include "input/OrlenStrings.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/AsciiText.h"
#include "input/ByteStream.h"

namespace ocuvis {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool Contains(std::string_view set, char c) {
    return set.find(c) != std::string_view::npos;
}

void SkipBlanksAndControls(std::string_view& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlankOrControl(text[i]))
        ++i;
    text.remove_prefix(i);
}

// Exact powers of ten: every one up to 1e22 is a double without rounding.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

const char* ScanShortDecimal(const char* p, const char* end, double& value) {
    if (p == end) return nullptr;
    const bool negative = *p == '-';
    p += (*p == '-' || *p == '+') ? 1 : 0;
    // Leading zeros count too: at most 19 digits cannot overflow.
    std::uint64_t digits = 0;
    const char* const first = p;
    unsigned d = 0;
    while (p != end && (d = static_cast<unsigned char>(*p) - '0') <= 9) {
        digits = digits * 10 + d;
        ++p;
    }
    std::ptrdiff_t count = p - first;
    int power = 0;
    if (p != end && *p == '.') {
        const char* const fraction = ++p;
        while (p != end && (d = static_cast<unsigned char>(*p) - '0') <= 9) {
            digits = digits * 10 + d;
            ++p;
        }
        power = -static_cast<int>(p - fraction);
        count += p - fraction;
    }
    if (count == 0 || count > 19) return nullptr;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negativeExponent = false;
        if (p != end && (*p == '+' || *p == '-')) negativeExponent = *p++ == '-';
        int exponent = 0;
        while (p != end && (d = static_cast<unsigned char>(*p) - '0') <= 9) {
            if (exponent > 99) return nullptr;
            exponent = exponent * 10 + static_cast<int>(d);
            ++p;
        }
        power += negativeExponent ? -exponent : exponent;
    }
    if (digits > (std::uint64_t{1} << 53) || power < -22 || power > 22) return nullptr;
    // Both exact: one rounding, the correct one.
    const double whole = static_cast<double>(digits);
    const double magnitude = power < 0 ? whole / kExactPowers[-power] : whole * kExactPowers[power];
    value = negative ? -magnitude : magnitude;
    return p;
}

bool DecimalToDouble(std::string_view text, double& value) {
    if (double quick = 0.0;
        !text.empty() && ScanShortDecimal(text.data(), text.data() + text.size(), quick) ==
                             text.data() + text.size()) {
        value = quick;
        return true;
    }
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);

    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    bool seenPoint = false;
    bool anyDigit = false;
    std::size_t pointOffset = std::string_view::npos;
    std::size_t firstNonZeroOffset = std::string_view::npos;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            anyDigit = true;
            if (c != '0' && firstNonZeroOffset == std::string_view::npos)
                firstNonZeroOffset = i - mantissaStart;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            pointOffset = i - mantissaStart;
        } else {
            break;
        }
    }
    const std::size_t mantissaEnd = i;
    if (mantissaEnd == mantissaStart) return false;  // needs a digit or the point

    long long exponent = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (i != text.size()) return false;

    if (!anyDigit || firstNonZeroOffset == std::string_view::npos) {
        value = negative ? -0.0 : 0.0;
        return true;
    }
    // from_chars takes no '+' sign and no empty exponent, so hand it the checked parts: the
    // mantissa as written, and the exponent only when it has digits.
    double magnitude = 0.0;
    const char* first = text.data() + mantissaStart;
    auto [end, error] =
        std::from_chars(first, text.data() + text.size(), magnitude, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too small to represent reads as zero; too large is not a number of the double range.
        // Decimal exponent of the leading digit, to tell underflow from overflow.
        if (pointOffset == std::string_view::npos) pointOffset = mantissaEnd - mantissaStart;
        const long long leadExponent =
            firstNonZeroOffset < pointOffset
                ? static_cast<long long>(pointOffset - firstNonZeroOffset) - 1
                : static_cast<long long>(pointOffset) - static_cast<long long>(firstNonZeroOffset);
        if (leadExponent + exponent < 0) {
            value = negative ? -0.0 : 0.0;
            return true;
        }
        return false;
    }
    if (error != std::errc() || end < text.data() + mantissaEnd) return false;
    if (!std::isfinite(magnitude)) return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

bool IsDecimalNumber(std::string_view text) {
    const std::size_t size = text.size();
    if (size == 0 || size > 40 || text.front() == ' ' || text.back() == ' ') {
        double value = 0.0;
        return DecimalToDouble(text, value);
    }
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-') ++i;
    const std::size_t mantissa = i;
    bool point = false;
    for (; i < size; ++i) {
        if (text[i] == '.' && !point) {
            point = true;
        } else if (!IsDigit(text[i])) {
            break;
        }
    }
    if (i == mantissa) return false;
    if (i == size) return true;
    // An exponent may take the value beyond the double range; that needs the conversion.
    double value = 0.0;
    return DecimalToDouble(text, value);
}

bool NarrowToFloat(double value, float& result) {
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
        // Values just above the largest float still round down to it.
        const float narrowed = static_cast<float>(value);
        if (std::isinf(narrowed)) return false;
        result = narrowed;
        return true;
    }
    result = static_cast<float>(value);
    return true;
}

std::string_view OrlenStrings::NextField(std::string_view& text,
                                         std::string_view delimiters) const {
    if (delimiters.empty()) return {};
    std::size_t end = 0;
    while (end < text.size() && !Contains(delimiters, text[end]))
        ++end;
    const std::string_view field = text.substr(0, end);
    std::size_t next = end;
    while (next < text.size() && Contains(delimiters, text[next]))
        ++next;
    text.remove_prefix(next);
    return field;
}

bool OrlenStrings::NextNumber(std::string_view& text, double& value, std::int32_t maxLength) const {
    SkipBlanksAndControls(text);
    if (text.empty() || maxLength < 0 || text.size() > static_cast<std::size_t>(maxLength))
        return false;

    const std::size_t limit = std::min(text.size(), static_cast<std::size_t>(maxLength));
    std::size_t start = 0;
    while (start < limit && !Contains(NumberStartChars, text[start]))
        ++start;
    if (start == limit) return false;
    text.remove_prefix(start);

    std::size_t run = 0;
    while (run < text.size() && Contains(NumberChars, text[run]))
        ++run;
    if (run == static_cast<std::size_t>(maxLength)) return false;

    const std::string_view numberText = text.substr(0, run);
    text.remove_prefix(run);
    SkipBlanksAndControls(text);
    return DecimalToDouble(numberText, value);
}

float OrlenStrings::FieldToFloat(std::string_view text, float fallback) const {
    double value = 0.0;
    float narrowed = 0.0f;
    if (!DecimalToDouble(text, value) || !NarrowToFloat(value, narrowed)) return fallback;
    return narrowed;
}

double OrlenStrings::FieldToDouble(std::string_view text, double fallback) const {
    double value = 0.0;
    return DecimalToDouble(text, value) ? value : fallback;
}

std::string OrlenStrings::ReadStreamLine(ByteStream* stream, std::int32_t maxLength) const {
    std::string result;
    if (stream == nullptr) return result;
    std::int32_t read = 0;
    while (!stream->AtEnd() && read < maxLength) {
        const unsigned char byte = stream->ReadByte();
        ++read;
        if (byte == '\r' || byte == '\n') break;
        result.push_back(static_cast<char>(byte));
    }
    while (!stream->AtEnd() && read < maxLength) {
        const unsigned char byte = stream->ReadByte();
        ++read;
        if (byte == '\r' || byte == '\n') continue;
        stream->StepBack();
        break;
    }
    return result;
}

}  // namespace ocuvis
