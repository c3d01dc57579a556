// The text rules under any input: numbers read as the standard conversions read them, what the
// plug-in writes reads back to itself, and splitting gives back the text it was given.

#include "FuzzSupport.h"
#include "data/TextFormat.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {

using tollmere::fuzz::broken;

// Reading a number either gives the value the C library reads or throws the matching error.
void checkNumbers(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const long long reference = std::strtoll(text.c_str(), &end, 10);
    const bool noDigits = end == text.c_str();
    const bool outOfRange = errno == ERANGE || reference < INT32_MIN || reference > INT32_MAX;
    try {
        const std::int32_t value = tollmere::parseInt(text);
        if (noDigits || outOfRange || value != reference) broken("parseInt differs from strtoll on", text);
        if (tollmere::parseInt(tollmere::formatInt(value)) != value)
            broken("formatInt does not read back:", text);
    } catch (const std::invalid_argument&) {
        if (!noDigits) broken("parseInt refused a number:", text);
    } catch (const std::out_of_range&) {
        if (noDigits || !outOfRange) broken("parseInt called a number out of range:", text);
    }

    try {
        const float value = tollmere::parseFloat(text);
        // What the plug-in writes of a float reads back to a value that writes the same text.
        if (std::isfinite(value)) {
            const std::string once = tollmere::formatFloat(value);
            if (tollmere::formatFloat(tollmere::parseFloat(once)) != once)
                broken("formatFloat drifts:", once);
            const tollmere::Vec3 vec{value, -value, value / 3};
            const std::string written = tollmere::formatVec3(vec);
            const auto pieces = tollmere::splitText(written, ',');
            if (pieces.size() != 3) broken("formatVec3 does not give three numbers:", written);
            const tollmere::Vec3 reread{tollmere::parseFloat(pieces[0]), tollmere::parseFloat(pieces[1]),
                                        tollmere::parseFloat(pieces[2])};
            if (tollmere::formatVec3(reread) != written) broken("formatVec3 drifts:", written);
        }
    } catch (const std::invalid_argument&) {
    } catch (const std::out_of_range&) {
    }
}

// Joining the pieces with the delimiter gives the text back, but for the delimiter that closes
// it (a delimited stream drops the empty piece after the last one).
void checkSplitting(std::string_view text) {
    const auto pieces = tollmere::splitText(text, '=');
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) joined += '=';
        joined += pieces[i];
    }
    if (!text.empty() && text.back() == '=') joined += '=';
    if (joined != text) broken("splitText loses text:", text);

    std::string_view key;
    std::string_view value;
    const bool entry = tollmere::splitEntry(text, key, value);
    if (entry != (pieces.size() == 2)) broken("splitEntry disagrees with splitText on", text);
    if (entry && (key != pieces[0] || value != pieces[1]))
        broken("splitEntry splits elsewhere than splitText:", text);
}

// The lines handed out, joined with line feeds, give back the text less the carriage returns
// that belong to line breaks.
void checkLines(std::string_view text) {
    tollmere::LineReader reader(text);
    std::string_view line;
    std::size_t consumed = 0;
    int lines = 0;
    while (reader.next(line)) {
        ++lines;
        if (line.find('\n') != std::string_view::npos) broken("a line holds a line feed:", text);
        if (line.data() != text.data() + consumed)
            broken("a line does not start where the last ended:", text);
        consumed += line.size();
        if (consumed < text.size() && text[consumed] == '\r') ++consumed;
        if (consumed < text.size() && text[consumed] == '\n') ++consumed;
    }
    if (consumed != text.size()) broken("lines do not cover the text:", text);
    if (lines == 0) broken("no line at all from", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The number readers take C strings, as the files' values are.
    const std::string text(bytes.substr(0, bytes.find('\0')));
    checkNumbers(text);
    checkSplitting(bytes);
    checkLines(bytes);
    return 0;
}
