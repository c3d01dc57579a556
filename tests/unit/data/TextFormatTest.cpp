#include "data/TextFormat.h"

#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tollmere {
namespace {

using test::failureOf;

struct SplitCase {
    const char* name;
    std::string text;
    char delimiter;
    std::vector<std::string> pieces;
};

// Catches a split that drops empty pieces, keeps an empty piece after a final delimiter, trims, or
// an entry split that disagrees with the split rule about what a two-piece line is.
TEST(TextFormat, SplitsLikeDelimitedStreamFields) {
    const SplitCase cases[] = {
        {"empty text has no pieces", "", '=', {}},
        {"no delimiter", "abc", '=', {"abc"}},
        {"key and value", "a=b", '=', {"a", "b"}},
        {"empty key counts", "=b", '=', {"", "b"}},
        {"nothing after final delimiter", "a=b=", '=', {"a", "b"}},
        {"key only", "a=", '=', {"a"}},
        {"lone delimiter", "=", '=', {""}},
        {"empty value before final delimiter", "a==", '=', {"a", ""}},
        {"two empties", "==", '=', {"", ""}},
        {"three pieces", "a=b=c", '=', {"a", "b", "c"}},
        {"empty middle piece", "a==b", '=', {"a", "", "b"}},
        {"blanks belong to pieces", " a = b ", '=', {" a ", " b "}},
        {"commas", "1,2,3,4", ',', {"1", "2", "3", "4"}},
        {"commas with trailing one", "1,2,", ',', {"1", "2"}},
    };
    for (const SplitCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(splitText(row.text, row.delimiter), row.pieces);
        if (row.delimiter != '=') continue;
        std::string_view key;
        std::string_view value;
        const bool isEntry = splitEntry(row.text, key, value);
        EXPECT_EQ(isEntry, row.pieces.size() == 2);
        if (isEntry && row.pieces.size() == 2) {
            EXPECT_EQ(key, row.pieces[0]);
            EXPECT_EQ(value, row.pieces[1]);
        }
    }
}

struct LinesCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

// Catches a reader that loses the extra empty line after a final line feed (the line count in
// the log depends on it), or that keeps the carriage return of a Windows line break.
TEST(TextFormat, LineReaderGivesTextModeLines) {
    const LinesCase cases[] = {
        {"empty file is one empty line", "", {""}},
        {"no final line feed", "a=1", {"a=1"}},
        {"final line feed adds an empty line", "a=1\n", {"a=1", ""}},
        {"blank lines kept", "\n\n", {"", "", ""}},
        {"crlf", "a=1\r\nb=2\r\n", {"a=1", "b=2", ""}},
        {"carriage return at the very end", "a=1\r", {"a=1"}},
        {"only one carriage return dropped", "a=1\r\r\n", {"a=1\r", ""}},
        {"carriage return inside a line stays", "a\rb\n", {"a\rb", ""}},
    };
    for (const LinesCase& row : cases) {
        SCOPED_TRACE(row.name);
        LineReader reader(row.text);
        std::vector<std::string> lines;
        std::string_view line;
        while (reader.next(line)) {
            lines.emplace_back(line);
        }
        EXPECT_EQ(lines, row.lines);
    }
}

struct IntCase {
    const char* name;
    std::string text;
    std::int32_t value;
};

struct FailureCase {
    const char* name;
    std::string text;
    const char* failure;
};

// Catches a reader that rejects trailing text or a fraction instead of stopping at it, or that
// loses the sign or the 32-bit limits.
TEST(TextFormat, ParseIntReadsLikeStandardConversion) {
    const IntCase cases[] = {
        {"plain", "42", 42},
        {"negative", "-17", -17},
        {"plus sign", "+5", 5},
        {"leading white space", " \t8", 8},
        {"stops at the point", "7.9", 7},
        {"stops at letters", "12abc", 12},
        {"missing marker", "-999", -999},
        {"largest", "2147483647", 2147483647},
        {"smallest", "-2147483648", -2147483647 - 1},
    };
    for (const IntCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(parseInt(row.text), row.value);
    }
}

// Catches wrong exception kinds or texts (the frame guard logs them as they are), and values past
// 32 bits that slip through on a platform whose long is 64 bits.
TEST(TextFormat, ParseIntFailsWithStandardTexts) {
    const FailureCase cases[] = {
        {"letters", "abc", "invalid_argument: invalid stoi argument"},
        {"empty", "", "invalid_argument: invalid stoi argument"},
        {"sign only", "-", "invalid_argument: invalid stoi argument"},
        {"blank then letters", "  x1", "invalid_argument: invalid stoi argument"},
        {"eleven nines", "99999999999", "out_of_range: stoi argument out of range"},
        {"one past largest", "2147483648", "out_of_range: stoi argument out of range"},
        {"one below smallest", "-2147483649", "out_of_range: stoi argument out of range"},
        {"past 64 bits", "99999999999999999999999", "out_of_range: stoi argument out of range"},
    };
    for (const FailureCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(failureOf([&] { parseInt(row.text); }), row.failure);
    }
}

struct FloatCase {
    const char* name;
    std::string text;
    float value;
};

// Catches a float reader that rejects trailing text, exponents or integers written without a point.
TEST(TextFormat, ParseFloatReadsLikeStandardConversion) {
    const FloatCase cases[] = {
        {"fraction", "0.5", 0.5f},
        {"negative", "-20.25", -20.25f},
        {"integer text", "40", 40.0f},
        {"exponent", "1e3", 1000.0f},
        {"leading white space", "  3", 3.0f},
        {"trailing text", "2.5xyz", 2.5f},
        {"fixed text as saved", "0.750000", 0.75f},
    };
    for (const FloatCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(parseFloat(row.text), row.value);
    }
}

// Catches wrong exception kinds or texts, and overflow that comes back as infinity without a word.
TEST(TextFormat, ParseFloatFailsWithStandardTexts) {
    const FailureCase cases[] = {
        {"letters", "abc", "invalid_argument: invalid stof argument"},
        {"empty", "", "invalid_argument: invalid stof argument"},
        {"point only", ".", "invalid_argument: invalid stof argument"},
        {"too large", "1e39", "out_of_range: stof argument out of range"},
        {"too large negative", "-1e39", "out_of_range: stof argument out of range"},
        {"too small", "1e-50", "out_of_range: stof argument out of range"},
    };
    for (const FailureCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(failureOf([&] { parseFloat(row.text); }), row.failure);
    }
}

struct FormatCase {
    const char* name;
    std::string text;
    std::string expected;
};

// Catches number texts that differ from what the files have always held: "%f" for floats, six
// significant digits without trailing zeros for positions, signed decimals for model hashes.
TEST(TextFormat, FormatsNumbersAsTheFilesHoldThem) {
    const FormatCase cases[] = {
        {"float one", formatFloat(1.0f), "1.000000"},
        {"float half", formatFloat(0.5f), "0.500000"},
        {"float negative", formatFloat(-3.25f), "-3.250000"},
        {"float zero", formatFloat(0.0f), "0.000000"},
        {"float keeps its own rounding", formatFloat(1234.5678f), "1234.567749"},
        {"vector six digits", formatVec3({1234.5678f, -20.25f, 40.0f}), "1234.57,-20.25,40"},
        {"vector rounds", formatVec3({2345.678f, 0.0f, -0.5f}), "2345.68,0,-0.5"},
        {"vector scientific", formatVec3({1234567.0f, 0.0001f, 0.00001f}), "1.23457e+06,0.0001,1e-05"},
        {"int negative", formatInt(-999), "-999"},
        {"int zero", formatInt(0), "0"},
        {"hash above 31 bits", formatHash(0x9FD6BA58u), "-1613317544"},
        {"hash below 31 bits", formatHash(0x578D6513u), "1468884243"},
    };
    for (const FormatCase& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.text, row.expected);
    }
}

}  // namespace
}  // namespace tollmere
