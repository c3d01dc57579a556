#include "data/TextFormat.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace tollmere {

std::vector<std::string> splitText(std::string_view text, char delimiter) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(delimiter, start);
        if (end == std::string_view::npos) {
            pieces.emplace_back(text.substr(start));
            break;
        }
        pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

bool splitEntry(std::string_view line, std::string_view& key, std::string_view& value) {
    // Two pieces means: one '=' with anything after it, or two '=' with the second one last.
    const std::size_t first = line.find('=');
    if (first == std::string_view::npos) return false;
    const std::size_t valueStart = first + 1;
    if (valueStart == line.size()) return false;
    const std::size_t second = line.find('=', valueStart);
    if (second != std::string_view::npos && second + 1 != line.size()) return false;
    key = line.substr(0, first);
    value = line.substr(valueStart, (second == std::string_view::npos ? line.size() : second) - valueStart);
    return true;
}

std::string cannotParseLineMessage(std::string_view line) {
    std::string message = "cannot parse line: ";
    message += line;
    message += ", please make sure it is assembled of the correct format (<setting_name>=<settings_value>).";
    return message;
}

std::int32_t parseInt(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text) throw std::invalid_argument("invalid stoi argument");
    // long is 32 bits on the target platform and 64 here: check both ways of overflowing.
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) {
        throw std::out_of_range("stoi argument out of range");
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t parseInt(const std::string& text) {
    return parseInt(text.c_str());
}

float parseFloat(const char* text) {
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(text, &end);
    if (end == text) throw std::invalid_argument("invalid stof argument");
    if (errno == ERANGE) throw std::out_of_range("stof argument out of range");
    return value;
}

float parseFloat(const std::string& text) {
    return parseFloat(text.c_str());
}

std::string formatInt(std::int32_t value) {
    return std::to_string(value);
}

std::string formatHash(Hash hash) {
    return formatInt(static_cast<std::int32_t>(hash));
}

std::string formatFloat(float value) {
    // The largest float in "%f" is 39 digits, the point and six decimals.
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value));
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string formatVec3(const Vec3& value) {
    // "%g" is what a default-formatted stream uses for a float, without the stream's locale.
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%g,%g,%g", static_cast<double>(value.x),
                                     static_cast<double>(value.y), static_cast<double>(value.z));
    return std::string(buffer, static_cast<std::size_t>(length));
}

bool readWholeFile(const char* path, std::string& content) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    content.clear();
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, count);
    }
    std::fclose(file);
    return true;
}

std::string_view withoutByteOrderMark(std::string_view text) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    if (text.starts_with(kMark)) text.remove_prefix(kMark.size());
    return text;
}

bool LineReader::next(std::string_view& line) {
    if (finished) return false;
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) {
        line = rest;
        finished = true;
    } else {
        line = rest.substr(0, end);
        rest.remove_prefix(end + 1);
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}

}  // namespace tollmere
