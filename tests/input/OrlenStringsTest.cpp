#include "OrlenStrings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ByteStream.h"
#include "LoaderFixture.h"

namespace ocuvis {
namespace {

const OrlenStrings scanner;

TEST(NextField, WalksAlongALineTakingDelimiterRunsAsOneSeparator) {
    std::string_view text = "1, 2,,3";
    EXPECT_EQ(scanner.NextField(text, FieldDelimiters), "1");
    EXPECT_EQ(text, "2,,3");
    EXPECT_EQ(scanner.NextField(text, FieldDelimiters), "2");
    EXPECT_EQ(scanner.NextField(text, FieldDelimiters), "3");
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(scanner.NextField(text, FieldDelimiters), "");

    std::string_view leading = ", \t,1 2";
    EXPECT_EQ(scanner.NextField(leading, FieldDelimiters), "");
    EXPECT_EQ(leading, "1 2");

    std::string_view untouched = "1 2";
    EXPECT_EQ(scanner.NextField(untouched, ""), "");
    EXPECT_EQ(untouched, "1 2");
}

TEST(NextNumber, ScansPastAnythingThatCannotStartANumber) {
    std::string_view text = "abc-12.5e1xyz 7";
    double value = 0.0;
    ASSERT_TRUE(scanner.NextNumber(text, value, 5000));
    EXPECT_EQ(value, -125.0);
    EXPECT_EQ(text, "xyz 7");
    ASSERT_TRUE(scanner.NextNumber(text, value, 5000));
    EXPECT_EQ(value, 7.0);
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(scanner.NextNumber(text, value, 5000));
    EXPECT_EQ(value, 7.0);

    std::string_view pointFirst = ".5";
    ASSERT_TRUE(scanner.NextNumber(pointFirst, value, 5000));
    EXPECT_EQ(value, 5.0);

    // Blanks and control characters after a number go with it.
    std::string_view trailing = "12 \t\x01 x";
    ASSERT_TRUE(scanner.NextNumber(trailing, value, 5000));
    EXPECT_EQ(trailing, "x");
}

TEST(NextNumber, AFailedRunIsConsumedAndLeavesTheValueAlone) {
    double value = 42.0;
    std::string_view text = "1-2 3";
    EXPECT_FALSE(scanner.NextNumber(text, value, 5000));
    EXPECT_EQ(text, "3");
    EXPECT_EQ(value, 42.0);

    std::string_view lone = "- 7";
    EXPECT_FALSE(scanner.NextNumber(lone, value, 5000));
    EXPECT_EQ(lone, "7");

    std::string_view blanks = " \t  ";
    EXPECT_FALSE(scanner.NextNumber(blanks, value, 5000));
    std::string_view words = "  abc";
    EXPECT_FALSE(scanner.NextNumber(words, value, 5000));
    EXPECT_EQ(words, "abc");
    EXPECT_EQ(value, 42.0);
}

TEST(NextNumber, MaxLengthLimitsTheTextTheSearchAndTheRun) {
    double value = 42.0;
    std::string_view tooLong = "  12345";
    EXPECT_FALSE(scanner.NextNumber(tooLong, value, 4));
    EXPECT_EQ(tooLong, "12345");

    // A run as long as maxLength is refused, one shorter is taken.
    std::string_view fullRun = "1234";
    EXPECT_FALSE(scanner.NextNumber(fullRun, value, 4));
    EXPECT_EQ(value, 42.0);
    std::string_view shorterRun = "x123";
    ASSERT_TRUE(scanner.NextNumber(shorterRun, value, 4));
    EXPECT_EQ(value, 123.0);

    std::string_view lastPosition = "abcd5";
    ASSERT_TRUE(scanner.NextNumber(lastPosition, value, 5));
    EXPECT_EQ(value, 5.0);
}

struct Conversion {
    const char* text;
    bool accepted;
    double value;
};

class DecimalConversion : public ::testing::TestWithParam<Conversion> {};

TEST_P(DecimalConversion, AcceptsOnlyPlainDecimalsAndFallsBackOtherwise) {
    const Conversion& c = GetParam();
    const double fallback = -9999.9;
    const double asDouble = scanner.FieldToDouble(c.text, fallback);
    const float asFloat = scanner.FieldToFloat(c.text, static_cast<float>(fallback));
    if (c.accepted) {
        EXPECT_EQ(asDouble, c.value);
        EXPECT_EQ(asFloat, static_cast<float>(c.value));
    } else {
        EXPECT_EQ(asDouble, fallback);
        EXPECT_EQ(asFloat, static_cast<float>(fallback));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DecimalConversion,
    ::testing::Values(
        Conversion{"1.5e2", true, 150.0}, Conversion{"  -2.5  ", true, -2.5},
        Conversion{"+7", true, 7.0}, Conversion{"-.5", true, -0.5}, Conversion{"5.", true, 5.0},
        Conversion{".", true, 0.0}, Conversion{"1E-1", true, 0.1}, Conversion{"3e+2", true, 300.0},
        Conversion{"2e", true, 2.0}, Conversion{"2e-", true, 2.0}, Conversion{"1e3", true, 1000.0},
        Conversion{"abc", false, 0}, Conversion{"1,5", false, 0}, Conversion{"", false, 0},
        Conversion{"   ", false, 0}, Conversion{"1.2.3", false, 0}, Conversion{"e5", false, 0},
        Conversion{"1 5", false, 0}, Conversion{"--1", false, 0}, Conversion{"0x1A", false, 0},
        Conversion{"1e400", false, 0}, Conversion{"-1e400", false, 0}, Conversion{"nan", false, 0},
        Conversion{"inf", false, 0}, Conversion{"1;2;3", false, 0}, Conversion{"X", false, 0}));

TEST(DecimalDigits, DigitStringsAreJudgedByValueNotByLength) {
    EXPECT_EQ(scanner.FieldToDouble(std::string(10000, '9'), -1.0), -1.0);
    EXPECT_EQ(scanner.FieldToFloat(std::string(400, '1'), -1.0f), -1.0f);
    EXPECT_EQ(scanner.FieldToDouble(std::string(9999, '0') + "7", -1.0), 7.0);
    // Within the double range but not the float one: the double keeps it.
    EXPECT_EQ(scanner.FieldToDouble("1e39", -1.0), 1e39);
    EXPECT_FALSE(std::isinf(scanner.FieldToFloat("1e39", -1.0f)));
}

TEST(ReadStreamLine, ConsumesTheLineEndWithTheEmptyLinesAfterIt) {
    auto stream = ByteStream::FromMemory("ab\r\n\r\ncd\n\n\nef");
    EXPECT_EQ(scanner.ReadStreamLine(stream.get(), 100), "ab");
    EXPECT_EQ(stream->Position(), 6);
    EXPECT_EQ(scanner.ReadStreamLine(stream.get(), 100), "cd");
    EXPECT_EQ(scanner.ReadStreamLine(stream.get(), 100), "ef");
    EXPECT_TRUE(stream->AtEnd());
    EXPECT_EQ(scanner.ReadStreamLine(stream.get(), 100), "");
    EXPECT_EQ(scanner.ReadStreamLine(nullptr, 100), "");
}

TEST(ReadStreamLine, MaxLengthCountsEveryByteAndLeavesTheRestInTheStream) {
    auto one = ByteStream::FromMemory("ab\r\n\r\ncd");
    EXPECT_EQ(scanner.ReadStreamLine(one.get(), 1), "a");
    EXPECT_EQ(one->Position(), 1);

    auto cut = ByteStream::FromMemory("abcdef\nxyz");
    EXPECT_EQ(scanner.ReadStreamLine(cut.get(), 3), "abc");
    EXPECT_EQ(scanner.ReadStreamLine(cut.get(), 100), "def");
    EXPECT_EQ(scanner.ReadStreamLine(cut.get(), 100), "xyz");

    // The carriage return is the third byte; the line feed stays for the next call.
    auto atLimit = ByteStream::FromMemory("ab\r\nc");
    EXPECT_EQ(scanner.ReadStreamLine(atLimit.get(), 3), "ab");
    EXPECT_EQ(atLimit->Position(), 3);
}

TEST(FileNamePart, TakesThePartAfterTheLastSeparator) {
    EXPECT_EQ(scanner.FileNamePart("C:\\data\\run.3d"), "run.3d");
    EXPECT_EQ(scanner.FileNamePart("C:run.3d"), "run.3d");
    EXPECT_EQ(scanner.FileNamePart("run.3d"), "run.3d");
    EXPECT_EQ(scanner.FileNamePart("/home/u/data/run.3d"), "run.3d");
    EXPECT_EQ(scanner.FileNamePart("C:\\data\\"), "");
}

TEST(NumberAfterLast, ReadsUpToTwoDigitsAfterTheLastDelimiter) {
    EXPECT_EQ(scanner.NumberAfterLast("LastFile3", "LastFile"), 3);
    EXPECT_EQ(scanner.NumberAfterLast("LastFile10", "LastFile"), 10);
    EXPECT_EQ(scanner.NumberAfterLast("LastFile123", "LastFile"), 12);
    EXPECT_EQ(scanner.NumberAfterLast("LastFile", "LastFile"), std::nullopt);
    EXPECT_EQ(scanner.NumberAfterLast("LastFileX", "LastFile"), std::nullopt);
}

std::vector<std::string> ReadAllLines(ByteStream& stream, std::size_t maxLength) {
    std::vector<std::string> lines;
    std::string line;
    while (stream.ReadLine(line, maxLength))
        lines.push_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(ByteStreamReadLine, SplitsOnLineFeedsAndDropsTheCarriageReturnBeforeThem) {
    auto stream = ByteStream::FromMemory("ab\ncd\r\n\nef\rgh\n");
    EXPECT_EQ(ReadAllLines(*stream, 100), (Lines{"ab", "cd", "", "ef\rgh"}));
    EXPECT_EQ(stream->Position(), stream->Size());

    auto empty = ByteStream::FromMemory("");
    std::string line = "stale";
    EXPECT_FALSE(empty->ReadLine(line, 100));
    EXPECT_TRUE(line.empty());
}

TEST(ByteStreamReadLine, LongLinesComeInPiecesAndALineEndAfterAFullPieceBelongsToIt) {
    EXPECT_EQ(ReadAllLines(*ByteStream::FromMemory("abcdefg\nh"), 3),
              (Lines{"abc", "def", "g", "h"}));
    EXPECT_EQ(ReadAllLines(*ByteStream::FromMemory("abc\ndef\r\nghi"), 3),
              (Lines{"abc", "def", "ghi"}));
    EXPECT_EQ(ReadAllLines(*ByteStream::FromMemory("abcdef\n\nx"), 3),
              (Lines{"abc", "def", "", "x"}));
    // A lone carriage return after a full piece is not a line end.
    EXPECT_EQ(ReadAllLines(*ByteStream::FromMemory("abc\rd\n"), 3), (Lines{"abc", "\rd"}));
}

TEST(ByteStreamReadLine, ACarriageReturnThatFillsThePieceIsStillPartOfTheLineEnd) {
    // "abc" is shorter than the piece length; its CRLF must not leave a '\r' behind.
    EXPECT_EQ(ReadAllLines(*ByteStream::FromMemory("abc\r\ndef"), 4), (Lines{"abc", "def"}));
}

// The pieces ReadLine must give: split on LF, drop one CR before it, cut into maxLength pieces.
Lines ExpectedPieces(const std::string& content, std::size_t maxLength) {
    Lines pieces;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        const bool ended = end != std::string::npos;
        if (!ended) end = content.size();
        std::string line = content.substr(start, end - start);
        if (ended && !line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) pieces.emplace_back();
        for (std::size_t at = 0; at < line.size(); at += maxLength)
            pieces.push_back(line.substr(at, maxLength));
        start = end + 1;
    }
    return pieces;
}

TEST(ByteStreamReadLine, ReadsAFileLargerThanItsBufferAcrossEveryBoundary) {
    constexpr std::size_t kPiece = DataFileLoader::kLinePieceLength;
    constexpr std::size_t kBuffer = 1 << 16;
    std::string content;
    auto fillTo = [&](std::size_t offset) {
        while (offset - content.size() > 120)
            content += std::string(99, 'f') + "\n";
        if (offset > content.size())
            content += std::string(offset - content.size() - 1, 'g') + "\n";
        ASSERT_EQ(content.size(), offset);
    };
    fillTo(kBuffer - 10);  // a CRLF split by the first buffer boundary
    content += "crlf-line\r\n";
    fillTo(2 * kBuffer - kPiece);  // a full piece whose LF opens the third buffer
    content += std::string(kPiece, 'p') + "\n";
    fillTo(3 * kBuffer - 1 - kPiece);  // a full piece, then a lone CR that ends the third buffer
    content += std::string(kPiece, 'q') + "\rtail of q\n";
    fillTo(3 * kBuffer + 20000);
    content += std::string(12000, 'r') + "\r\nlast line without end";

    test::TempFolder dir;
    auto stream = ByteStream::OpenFile(dir.Write("big.txt", content));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Size(), static_cast<std::int64_t>(content.size()));
    const Lines expected = ExpectedPieces(content, kPiece);
    const Lines actual = ReadAllLines(*stream, kPiece);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(actual[i], expected[i]) << i;
    EXPECT_EQ(stream->Position(), static_cast<std::int64_t>(content.size()));
}

}  // namespace
}  // namespace ocuvis
