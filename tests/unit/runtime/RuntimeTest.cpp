// The log line, the keyboard table and the UTF-8 rules of shown text.

#include "runtime/Keyboard.h"
#include "runtime/Log.h"
#include "runtime/Utf8.h"

#include <gtest/gtest.h>

#include <string_view>
#include <tuple>

namespace tollmere {
namespace {

struct StampCase {
    const char* name;
    platform::LocalTime time;
    const char* message;
    const char* expected;
    friend std::ostream& operator<<(std::ostream& out, const StampCase& c) { return out << c.name; }
};

class LogLineTest : public ::testing::TestWithParam<StampCase> {};

// Catches leading zeros, a month counted from 0, a short year, or a message altered on the way.
TEST_P(LogLineTest, StampsWithoutLeadingZerosAndKeepsTheMessageAsItIs) {
    EXPECT_EQ(formatLogLine(GetParam().time, GetParam().message), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    , LogLineTest,
    ::testing::Values(StampCase{"morning", {6, 12, 2026, 9, 5, 3}, "hello", "[6/12/2026 9:5:3] hello\n"},
                      StampCase{"midnight", {1, 1, 2027, 0, 0, 0}, "x", "[1/1/2027 0:0:0] x\n"},
                      StampCase{"empty", {31, 10, 2026, 23, 59, 59}, "", "[31/10/2026 23:59:59] \n"},
                      StampCase{"lineFeed", {2, 3, 2026, 4, 5, 6}, "a\nb", "[2/3/2026 4:5:6] a\nb\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Catches key code 255 written or read past the table, and an older message overriding a newer one.
TEST(KeyboardTable, KeepsTheLatestMessagePerKeyAndIgnoresCodesPastTheTable) {
    recordKey(65, 1, 0, 0);
    recordKey(65, 0, 1, 1);
    EXPECT_EQ(keyState(65).isWithAlt, 0);
    EXPECT_EQ(keyState(65).wasDownBefore, 1);
    EXPECT_EQ(keyState(65).isUpNow, 1);

    recordKey(255, 1, 1, 1);
    recordKey(1000, 1, 1, 1);
    EXPECT_EQ(keyState(255).isWithAlt, 0);
    EXPECT_EQ(keyState(254).isWithAlt, 0);
    const KeyState& never = keyState(1000);
    EXPECT_EQ(std::tie(never.time, never.isWithAlt, never.wasDownBefore, never.isUpNow),
              std::make_tuple(0u, 0, 0, 0));
    EXPECT_EQ(&keyState(255), &never) << "code 255 is read from past the table";
}

// Catches a malformed form a player's editor can write taken for a letter (surrogates as some
// editors save them, overlong forms, code points past the last, a character cut by the line's end),
// or a letter of the shipped translations refused. Each follows a letter, so a check that looks at
// the wrong byte shows.
TEST(Utf8Test, OnlyWellFormedCharactersAreText) {
    struct Case {
        std::string_view text;
        std::size_t firstInvalid;
    };
    constexpr std::size_t kNone = std::string_view::npos;
    for (const auto& [text, firstInvalid] : {
             Case{"\xC5\x81\xC3\xB3\xD0\xB4\xC5\xBA \xE2\x82\xAC \xF0\x9F\x9A\xA3", kNone},
             Case{"a\xED\x9F\xBF\xEE\x80\x80", kNone},  // the last letter before the surrogates, and the first after
             Case{"a\xED\xA0\x80", 1},                  // a surrogate
             Case{"a\xE0\x80\xAF", 1},                  // "/" in three bytes
             Case{"a\xC0\xAF", 1},                      // and in two
             Case{"a\xF0\x8F\xBF\xBF", 1},              // U+FFFF in four
             Case{"a\xF4\x90\x80\x80", 1},              // past U+10FFFF
             Case{"a\xF5\x80\x80\x80", 1},              // and by its first byte
             Case{"ab\xE2\x82", 2},                     // cut short
             Case{"a\x80", 1},                          // a stray continuation
         }) {
        EXPECT_EQ(utf8::firstInvalidByte(text), firstInvalid) << "in \"" << text << "\"";
    }
}

}  // namespace
}  // namespace tollmere
