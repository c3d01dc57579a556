#pragma once
// What every fuzz target shares: a working folder of its own with a "Tollmere/" folder, as the
// game's, so the log and the files land there, and a loud stop that libFuzzer records as a crash.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace tollmere::fuzz {

// Moves the process into a fresh folder under the temporary directory, once per process.
inline void enterWorkFolder() {
    static const bool entered = [] {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("tollmere-fuzz-" + std::to_string(static_cast<long long>(::getpid())));
        std::filesystem::create_directories(dir / "Tollmere");
        std::filesystem::current_path(dir);
        return true;
    }();
    (void)entered;
}

inline void writeFile(const char* path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

inline std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The log grows with every rejected line; it is of no use to a fuzz run, so it starts empty for
// every input.
inline void clearLog() {
    std::filesystem::remove("Tollmere/Log.log");
}

[[noreturn]] inline void broken(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "broken: %s %.*s\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

}  // namespace tollmere::fuzz
