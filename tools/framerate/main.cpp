// Runs the plug-in in the simulated game for a number of frames (5000 unless given) after start-up
// and prints the host loop's frames per second and the process's peak memory. The native build
// links the plug-in's code in; the Windows build loads the real Tollmere.asi and runs under Wine.
// scripts/measure runs both, one line each, so the two can be compared.

#include "support/Harness.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace {

double peakMemoryMiB() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
#endif
}

#ifdef _WIN32
constexpr const char* kBuild = "windows (Tollmere.asi under Wine)";
#else
constexpr const char* kBuild = "native";
#endif

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 5000;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: tollmere_framerate [FRAMES]\n");
        return 2;
    }
    try {
        tollmere::testing::Harness game;
        game.start();
        game.runFor(500);
        for (int frame = 0; frame < 600 && game.host().callsTo("displayHud").empty(); ++frame)
            game.runFrame();
        if (game.host().callsTo("displayHud").empty()) {
            std::fprintf(stderr, "framerate: the plug-in did not finish starting up\n");
            return 1;
        }
        // The game records nothing; neither does the measured loop.
        game.host().recordCalls = false;

        const auto start = std::chrono::steady_clock::now();
        game.runFrames(frames);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        std::printf("%s: %d frames in %.3f s, %.0f frames per second, peak memory %.1f MiB\n", kBuild, frames,
                    elapsed.count(), frames / elapsed.count(), peakMemoryMiB());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "framerate: %s\n", error.what());
        return 1;
    }
    return 0;
}
