#pragma once
// Reports what the main loop's guard caught: two log lines and a notice for an error, and nothing
// more while the very same error repeats frame after frame. A broken value read every frame would
// otherwise write two lines and flash a notice sixty times a second, growing the log by tens of
// megabytes an hour. When the run of repeats ends, or every 60 s of game time while it lasts, one
// line says how many repeats were held back.

#include <cstdint>
#include <exception>
#include <string>

namespace tollmere {

class FrameErrorReporter {
public:
    // A frame (or start-up) ended with this exception; null when there was none to take. Without
    // notify, the caller shows a notice of its own.
    void reportFailure(const std::exception_ptr& error, bool notify = true);

    // A frame ran through; cheap, since it runs every frame.
    void reportCleanFrame() {
        if (failing_) endRun();
    }

private:
    void endRun();
    void writeRepeats(const char* tail);

    bool failing_ = false;
    // Set as each run of failures starts, and read only while one goes on.
    std::string lastMessage_;
    int repeats_{};
    std::int32_t windowStartMs_{};
};

}  // namespace tollmere
