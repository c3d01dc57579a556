#pragma once
// Helpers for the data-file tests: a fresh working directory with its own "Tollmere/" folder for
// every test, file reading and writing, the log's messages, and the text of a thrown failure.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tollmere::test {

// Makes a new empty directory, moves the process into it and creates "Tollmere/" there, so the
// log and the data files land in a place of the test's own. Goes back and removes it afterwards.
class ScopedWorkDir {
  public:
    ScopedWorkDir() : previous(std::filesystem::current_path()) {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        do {
            dir = base / ("tollmere-data-" + std::to_string(random()) + std::to_string(random()));
        } while (!std::filesystem::create_directory(dir));
        std::filesystem::current_path(dir);
        std::filesystem::create_directory("Tollmere");
    }
    ~ScopedWorkDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
        std::filesystem::remove_all(dir, ignored);
    }
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

  private:
    std::filesystem::path previous;
    std::filesystem::path dir;
};

inline void writeTextFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

inline std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The messages of "Tollmere/Log.log", each without its "[date time] " stamp.
inline std::vector<std::string> logMessages() {
    std::vector<std::string> messages;
    std::istringstream log(readTextFile("Tollmere/Log.log"));
    std::string line;
    while (std::getline(log, line)) {
        const std::size_t stampEnd = line.find("] ");
        messages.push_back(stampEnd == std::string::npos ? line : line.substr(stampEnd + 2));
    }
    return messages;
}

// The log line for a line that is not "key=value", written out here so a changed text shows.
inline std::string badLineMessage(const std::string& line) {
    return "cannot parse line: " + line +
           ", please make sure it is assembled of the correct format (<setting_name>=<settings_value>).";
}

// What the call threw, as "invalid_argument: <text>" or "out_of_range: <text>", or "no failure".
template <typename Call>
std::string failureOf(Call call) {
    try {
        call();
    } catch (const std::invalid_argument& error) {
        return std::string("invalid_argument: ") + error.what();
    } catch (const std::out_of_range& error) {
        return std::string("out_of_range: ") + error.what();
    }
    return "no failure";
}

// Every test that touches files or the log runs in a fresh working directory.
class FileTest : public ::testing::Test {
  private:
    ScopedWorkDir workDir;
};

}  // namespace tollmere::test
