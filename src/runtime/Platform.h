#pragma once
// The few operating-system services the plug-in needs. Only Platform.cpp includes OS headers.

#include <cstdint>
#include <string_view>

namespace tollmere::platform {

// Milliseconds since the system started, wrapping like the Windows tick count.
std::uint32_t tickCount();

struct LocalTime {
    int day;
    int month;  // 1 to 12
    int year;   // all digits
    int hour;
    int minute;
    int second;
};
LocalTime localTimeNow();

// Opens the file for appending in text mode, letting other processes read and write it at the
// same time, writes the text and closes it, so the text is on disk on return. Creates the file
// when it is missing; false when it cannot be opened or written.
bool appendToSharedFile(const char* path, std::string_view text);

// Success comes last: a result nobody set is never taken for a file replaced.
enum class ReplaceResult { cannotOpen, writeFailed, replaced };

// Writes the content (text mode) to a file beside the path, checks that it was written, flushed
// and closed in full, then replaces the path with it in one step. On any failure the old file is
// left exactly as it was.
ReplaceResult replaceFileContents(const char* path, std::string_view content);

// Removes the file a replaceFileContents of this path that was cut short (the game killed while
// saving) left beside it. True when there was one.
bool removeUnfinishedReplacement(const char* path);

}  // namespace tollmere::platform
