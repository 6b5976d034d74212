#include "input/OrlenStrings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "input/ByteStream.h"
#include "input/ClassicTextReader.h"

namespace ocuvis {
namespace {

const OrlenStrings scanner;

TEST(NextNumber, ScansPastWhatCannotStartANumberWithinMaxLength) {
    // The text, maxLength, the number found (nothing: none, the value left alone), the rest.
    const std::tuple<const char*, std::int32_t, std::optional<double>, const char*> cases[] = {
        {"abc-12.5e1xyz 7", 5000, -125.0, "xyz 7"},
        {".5", 5000, 5.0, ""},
        {"12 \t\x01 x", 5000, 12.0, "x"},    // blanks and controls after a number go with it
        {"1-2 3", 5000, std::nullopt, "3"},  // a failed run is consumed
        {" \t  ", 5000, std::nullopt, ""},
        {"  abc", 5000, std::nullopt, "abc"},
        // maxLength limits the text, the search and the run: a run as long is refused.
        {"  12345", 4, std::nullopt, "12345"},
        {"1234", 4, std::nullopt, "1234"},
        {"x123", 4, 123.0, ""}};
    for (const auto& [input, maxLength, number, rest] : cases) {
        std::string_view text = input;
        double value = 42.0;
        EXPECT_EQ(scanner.NextNumber(text, value, maxLength), number.has_value()) << input;
        EXPECT_EQ(value, number.value_or(42.0)) << input;
        EXPECT_EQ(text, rest) << input;
    }
}

TEST(DecimalConversion, AcceptsOnlyPlainDecimalsJudgedByValueAndFallsBackOtherwise) {
    // clang-format off
    const std::pair<std::string, double> accepted[] = {
        {"1.5e2", 150.0}, {"  -2.5  ", -2.5}, {"+7", 7.0}, {"-.5", -0.5}, {"5.", 5.0}, {".", 0.0},
        {"1E-1", 0.1}, {"2e", 2.0}, {"2e-", 2.0}, {"3e+2", 300.0}, {std::string(9999, '0') + "7", 7}};
    // clang-format on
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(scanner.FieldToDouble(text, -1.0), value) << text;
        EXPECT_EQ(scanner.FieldToFloat(text, -1.0f), static_cast<float>(value)) << text;
    }
    const std::string refused[] = {
        "abc", "1,5",  "",      "   ", "1.2.3", "e5",    "1 5",
        "--1", "0x1A", "1e400", "nan", "inf",   "1;2;3", std::string(10000, '9')};
    for (const std::string& text : refused) {
        EXPECT_EQ(scanner.FieldToDouble(text, -1.0), -1.0) << text;
        EXPECT_EQ(scanner.FieldToFloat(text, -1.0f), -1.0f) << text;
    }
    // Within the double range but not the float one: the double keeps it.
    EXPECT_EQ(scanner.FieldToDouble("1e39", -1.0), 1e39);
    EXPECT_FALSE(std::isinf(scanner.FieldToFloat("1e39", -1.0f)));
}

// The example record's reader; the set-up's tests check the first line and its length limit.
TEST(ReadStreamLine, ConsumesTheLineEndWithTheEmptyLinesAfterItWithinMaxLength) {
    auto stream = ByteStream::FromMemory("ab\r\n\r\ncd");
    EXPECT_EQ(scanner.ReadStreamLine(stream.get(), 100), "ab");
    EXPECT_EQ(stream->Position(), 6);
    EXPECT_EQ(scanner.ReadStreamLine(nullptr, 100), "");
    // The carriage return is the third byte; the line feed stays for the next call.
    auto atLimit = ByteStream::FromMemory("ab\r\nc");
    EXPECT_EQ(scanner.ReadStreamLine(atLimit.get(), 3), "ab");
    EXPECT_EQ(atLimit->Position(), 3);
}

std::vector<std::string> ReadAllLines(ByteStream& stream, std::size_t maxLength) {
    std::vector<std::string> lines;
    std::string line;
    while (stream.ReadLine(line, maxLength))
        lines.push_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(ByteStreamReadLine, SplitsOnLineFeedsDropsOneCarriageReturnAndCutsLongLines) {
    const std::tuple<const char*, std::size_t, Lines> cases[] = {
        {"ab\ncd\r\n\nef\rgh\n", 100, {"ab", "cd", "", "ef\rgh"}},
        {"", 100, {}},
        {"abcdefg\nh", 3, {"abc", "def", "g", "h"}},
        // A line end after a full piece belongs to that piece.
        {"abc\ndef\r\nghi", 3, {"abc", "def", "ghi"}},
        // A lone carriage return after a full piece is not a line end.
        {"abc\rd\n", 3, {"abc", "\rd"}},
        // A CRLF whose carriage return fills the piece leaves no '\r' behind.
        {"abc\r\ndef", 4, {"abc", "def"}}};
    for (const auto& [content, maxLength, lines] : cases) {
        auto stream = ByteStream::FromMemory(content);
        EXPECT_EQ(ReadAllLines(*stream, maxLength), lines) << content;
        EXPECT_EQ(stream->Position(), stream->Size());
        std::string line = "stale";
        EXPECT_FALSE(stream->ReadLine(line, maxLength));
        EXPECT_TRUE(line.empty());
    }
}

TEST(ByteStreamReadLine, ReadsAFileLargerThanItsBufferAcrossEveryBoundary) {
    constexpr std::size_t kPiece = ClassicTextReader::kLinePieceLength;
    constexpr std::size_t kBuffer = 1 << 16;
    std::string content;
    Lines expected;
    // Appends a line with its end, and the pieces it must come back as.
    const auto add = [&](const std::string& line, const char* end) {
        content += line + end;
        if (line.empty()) expected.emplace_back();
        for (std::size_t at = 0; at < line.size(); at += kPiece)
            expected.push_back(line.substr(at, kPiece));
    };
    const auto fillTo = [&](std::size_t offset) {
        while (offset - content.size() > 120)
            add(std::string(99, 'f'), "\n");
        if (offset > content.size()) add(std::string(offset - content.size() - 1, 'g'), "\n");
        ASSERT_EQ(content.size(), offset);
    };
    fillTo(kBuffer - 10);  // a CRLF split by the first buffer boundary
    add("crlf-line", "\r\n");
    fillTo(2 * kBuffer - kPiece);  // a full piece whose LF opens the third buffer
    add(std::string(kPiece, 'p'), "\n");
    fillTo(3 * kBuffer - 1 - kPiece);  // a full piece, then a lone CR that ends the third buffer
    add(std::string(kPiece, 'q'), "");
    add("\rtail of q", "\n");
    fillTo(3 * kBuffer + 20000);
    add(std::string(12000, 'r'), "\r\n");
    add("last line without end", "");

    test::TempFolder dir;
    auto stream = ByteStream::OpenFile(dir.Write("big.txt", content));
    ASSERT_NE(stream, nullptr);
    const Lines actual = ReadAllLines(*stream, kPiece);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(actual[i], expected[i]) << i;
    EXPECT_EQ(stream->Position(), static_cast<std::int64_t>(content.size()));
}

}  // namespace
}  // namespace ocuvis
