#include "plugin/FrameErrorReporter.h"

#include "host/Natives.h"
#include "runtime/Log.h"

#include <stdexcept>

namespace tollmere {

namespace {

constexpr std::int32_t kRepeatSummaryIntervalMs = 60000;

std::string describe(const std::exception_ptr& error) {
    if (!error) return "No exception captured.";
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return std::string("Fatal: ") + e.what() + ", check the logs for more info.";
    } catch (...) {
        return "Fatal: unknown exception, check the logs for more info.";
    }
}

}  // namespace

void FrameErrorReporter::reportFailure(const std::exception_ptr& error, bool notify) {
    std::string message = describe(error);
    if (failing_ && message == lastMessage_) {
        ++repeats_;
        const std::int32_t now = native::getGameTimer();
        if (now - windowStartMs_ >= kRepeatSummaryIntervalMs) {
            writeRepeats(" more times in the last 60 s and is still repeating");
            windowStartMs_ = now;
        }
        return;
    }
    if (failing_) endRun();

    writeLog("Something wrong happened");
    writeLog(message);
    if (error && notify) showErrorNotice("An error has occured, please check the logs and report it");

    failing_ = true;
    lastMessage_ = std::move(message);
    repeats_ = 0;
    windowStartMs_ = native::getGameTimer();
}

void FrameErrorReporter::endRun() {
    writeRepeats(" more times");
    failing_ = false;
}

void FrameErrorReporter::writeRepeats(const char* tail) {
    if (repeats_ > 0) writeLog("the error above repeated " + std::to_string(repeats_) + tail);
    repeats_ = 0;
}

}  // namespace tollmere
