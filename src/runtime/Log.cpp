#include "runtime/Log.h"

#include "host/Natives.h"

#include <string>

namespace tollmere {

namespace {
constexpr const char* kLogPath = "Tollmere/Log.log";
}

std::string formatLogLine(const platform::LocalTime& time, std::string_view message) {
    std::string line;
    line.reserve(message.size() + 24);
    line += '[';
    line += std::to_string(time.day);
    line += '/';
    line += std::to_string(time.month);
    line += '/';
    line += std::to_string(time.year);
    line += ' ';
    line += std::to_string(time.hour);
    line += ':';
    line += std::to_string(time.minute);
    line += ':';
    line += std::to_string(time.second);
    line += "] ";
    line += message;
    line += '\n';
    return line;
}

void writeLog(const char* text) {
    // A log that cannot be written must never stop the game; the result is ignored on purpose.
    platform::appendToSharedFile(kLogPath, formatLogLine(platform::localTimeNow(), text));
}

void writeLog(const std::string& text) { writeLog(text.c_str()); }

void showErrorNotice(const char* text) {
    native::setNoticeText(native::createVarString(10, "LITERAL_STRING", text));
    native::showNoticeText();
    native::clearNoticeText();
}

}  // namespace tollmere
