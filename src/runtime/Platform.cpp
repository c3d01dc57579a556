#include "runtime/Platform.h"

#include <cstdio>
#include <ctime>
#include <string>

#ifdef _WIN32
#include <share.h>
#include <windows.h>
#include <io.h>
#else
#include <time.h>
#include <unistd.h>
#endif

namespace tollmere::platform {

namespace {

// Writes everything and closes; a short write, a failed flush or a failed close all count as
// failure, because any of them can leave a truncated file behind.
bool writeAndClose(std::FILE* file, std::string_view text, bool sync) {
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
#ifdef _WIN32
    if (sync && ok) ok = _commit(_fileno(file)) == 0;
#else
    if (sync && ok) ok = fsync(fileno(file)) == 0;
#endif
    return std::fclose(file) == 0 && ok;
}

std::string temporaryBeside(const char* path) { return std::string(path) + ".new"; }

}  // namespace

#ifdef _WIN32

std::uint32_t tickCount() { return GetTickCount(); }

LocalTime localTimeNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute, t.wSecond};
}

bool appendToSharedFile(const char* path, std::string_view text) {
    std::FILE* file = _fsopen(path, "a", _SH_DENYNO);
    return file != nullptr && writeAndClose(file, text, false);
}

ReplaceResult replaceFileContents(const char* path, std::string_view content) {
    const std::string temporary = temporaryBeside(path);
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) return ReplaceResult::cannotOpen;
    if (!writeAndClose(file, content, true) ||
        !MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return ReplaceResult::writeFailed;
    }
    return ReplaceResult::replaced;
}

bool removeUnfinishedReplacement(const char* path) { return DeleteFileA(temporaryBeside(path).c_str()) != 0; }

#else

std::uint32_t tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

LocalTime localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return {t.tm_mday, t.tm_mon + 1, t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec};
}

bool appendToSharedFile(const char* path, std::string_view text) {
    std::FILE* file = std::fopen(path, "a");
    return file != nullptr && writeAndClose(file, text, false);
}

ReplaceResult replaceFileContents(const char* path, std::string_view content) {
    const std::string temporary = temporaryBeside(path);
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) return ReplaceResult::cannotOpen;
    if (!writeAndClose(file, content, true) || std::rename(temporary.c_str(), path) != 0) {
        std::remove(temporary.c_str());
        return ReplaceResult::writeFailed;
    }
    return ReplaceResult::replaced;
}

bool removeUnfinishedReplacement(const char* path) { return std::remove(temporaryBeside(path).c_str()) == 0; }

#endif

}  // namespace tollmere::platform
