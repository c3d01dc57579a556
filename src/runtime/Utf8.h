#pragma once
// UTF-8 rules for the texts the player sees. Translations carry letters of two to four bytes, and
// the game shows a character cut in half as garbage, so every byte limit on shown text cuts at a
// character boundary.

#include <cstddef>
#include <string_view>

namespace tollmere::utf8 {

// Bytes in the well-formed character starting at text[at], or 0 when none starts there (a stray
// continuation byte, an overlong form, a surrogate, beyond U+10FFFF or cut short by the end).
inline std::size_t characterLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : (lead & 0xF0) == 0xE0        ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) return 0;
    }
    const unsigned char second = byte(at + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
        return 0;
    }
    return length;
}

// Where the first byte that is not part of a well-formed character sits, or npos when the whole
// text is UTF-8.
inline std::size_t firstInvalidByte(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = characterLength(text, i);
        if (length == 0) return i;
        i += length;
    }
    return std::string_view::npos;
}

// The longest length of at most maxBytes that does not end inside a character: the start of the
// character that would be cut is where the text stops.
inline std::size_t cutLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return end;
}

// Characters in a text, each malformed byte counted as one.
inline std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const std::size_t length = characterLength(text, i);
        i += length == 0 ? 1 : length;
    }
    return count;
}

}  // namespace tollmere::utf8
