#include "runtime/Utf8.h"

#include <gtest/gtest.h>

#include <string_view>

namespace tollmere {
namespace {

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
