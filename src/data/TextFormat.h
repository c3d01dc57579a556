#pragma once
// Text rules shared by the data files and the settings: splitting, number reading and writing,
// and walking a file's lines.

#include "host/Types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tollmere {

// Pieces of the text between delimiters, read the way delimited fields come out of a stream:
// every delimiter ends a piece (empty ones included), text after the last delimiter is a piece
// only when it is not empty, and the empty text has no pieces. "a=b=" gives {"a", "b"}, "=b"
// gives {"", "b"}, "a=" gives {"a"}.
std::vector<std::string> splitText(std::string_view text, char delimiter);

// A "key=value" line: true with both halves when splitting at '=' gives exactly two pieces.
// Nothing is trimmed. The views point into the line.
bool splitEntry(std::string_view line, std::string_view& key, std::string_view& value);

// The log text for a line that is not "key=value".
std::string cannotParseLineMessage(std::string_view line);

// Decimal integer by the standard string-to-int rules: leading white space, optional sign,
// digits, stop at the first other character ("12abc" and "7.9" read as 12 and 7). Throws
// std::invalid_argument("invalid stoi argument") when no digits start the text and
// std::out_of_range("stoi argument out of range") outside 32 bits.
std::int32_t parseInt(const char* text);
std::int32_t parseInt(const std::string& text);

// Decimal float as the standard string-to-float conversion reads it, trailing text ignored.
// Throws std::invalid_argument("invalid stof argument") when no number starts the text and
// std::out_of_range("stof argument out of range") when the conversion reports a range error
// (overflow or underflow).
float parseFloat(const char* text);
float parseFloat(const std::string& text);

// Signed decimal, no plus sign, no leading zeros.
std::string formatInt(std::int32_t value);

// A model hash as data-file keys write it: its bits taken as a signed 32-bit number, so hashes
// above 0x7FFFFFFF come out negative (0x9FD6BA58 gives "-1613317544").
std::string formatHash(Hash hash);

// C's "%f": fixed, six digits after the point (0.5 gives "0.500000").
std::string formatFloat(float value);

// "x,y,z", each number as a default-formatted output stream writes a float: six significant
// digits, "%g" rules, no trailing zeros (2345.678 gives "2345.68", 40 gives "40").
std::string formatVec3(const Vec3& value);

// Reads the whole file in binary; false when it cannot be opened. A read error after the open
// keeps what was read so far.
bool readWholeFile(const char* path, std::string& content);

// The text without the UTF-8 byte-order mark some editors put at the start of a file, which would
// otherwise become part of the first key.
std::string_view withoutByteOrderMark(std::string_view text);

// Hands out a file's lines the way the game reads a text-mode file until end of file, testing
// for the end before each read: every line feed ends a line, and whatever follows the last one
// is one more line, even when empty. So "a\nb\n" gives "a", "b" and "", and an empty file gives
// one empty line. One carriage return before a line feed (or at the very end) belongs to the
// line break and is dropped, as text mode does on the target platform.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : rest(text) {}

    // The next line without its line break, viewing the text given at construction; false once
    // every line has been handed out.
    bool next(std::string_view& line);

  private:
    std::string_view rest;
    bool finished = false;
};

}  // namespace tollmere
