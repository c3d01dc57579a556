// The log line and the keyboard table.

#include "runtime/Keyboard.h"
#include "runtime/Log.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tollmere
