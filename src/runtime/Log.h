#pragma once
// The plug-in's one log, "Tollmere/Log.log", and the on-screen error notice.

#include "runtime/Platform.h"

#include <string>
#include <string_view>

namespace tollmere {

// Appends one stamped line. The file is opened and closed around every line so that each line is
// on disk when this returns; a log that cannot be written is ignored without a word.
void writeLog(const char* text);
void writeLog(const std::string& text);

// "[day/month/year hour:minute:second] " + message + "\n", numbers without leading zeros.
std::string formatLogLine(const platform::LocalTime& time, std::string_view message);

// Shows the text as a game notice in this frame.
void showErrorNotice(const char* text);

}  // namespace tollmere
