// The operating system as the plug-in sees it: the clocks it stamps the log with, and writes that
// fail as a full disk, a missing folder or a folder in the file's place make them fail.

#include "runtime/Platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace tollmere {
namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Each failure is reported, and none leaves a half-written file where the old one was.
TEST(OperatingSystem, WritesThatFailSaySoAndLeaveTheOldFile) {
    const fs::path dir = fs::temp_directory_path() / ("tollmere-os-" + std::to_string(std::time(nullptr)));
    fs::create_directories(dir / "folder");
    const std::string file = (dir / "kept.dat").string();
    const std::string missing = (dir / "gone" / "x.dat").string();
    const std::string folder = (dir / "folder").string();

    EXPECT_TRUE(platform::appendToSharedFile(file.c_str(), "a=1\n"));
    EXPECT_TRUE(platform::appendToSharedFile(file.c_str(), "b=2\n"));
    EXPECT_EQ(readAll(file), "a=1\nb=2\n");
    EXPECT_FALSE(platform::appendToSharedFile("/dev/full", "a=1\n"));
    EXPECT_FALSE(platform::appendToSharedFile(missing.c_str(), "a=1\n"));

    EXPECT_EQ(platform::replaceFileContents(file.c_str(), "c=3\n"), platform::ReplaceResult::replaced);
    EXPECT_EQ(platform::replaceFileContents(missing.c_str(), "c=3\n"), platform::ReplaceResult::cannotOpen);
    EXPECT_EQ(platform::replaceFileContents(folder.c_str(), "c=3\n"), platform::ReplaceResult::writeFailed);
    EXPECT_EQ(readAll(file), "c=3\n");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_FALSE(platform::removeUnfinishedReplacement(file.c_str()));
    EXPECT_FALSE(platform::removeUnfinishedReplacement(folder.c_str())) << "the failed replace left its file";
    std::ofstream(file + ".new") << "c=";
    EXPECT_TRUE(platform::removeUnfinishedReplacement(file.c_str()));
    EXPECT_FALSE(fs::exists(file + ".new"));
    fs::remove_all(dir);
}

#ifndef _WIN32
// A disk that fills part-way through a replacement (here a file size limit of 4 bytes): what did
// reach the disk must not take the old file's place, however well the rest syncs.
TEST(OperatingSystem, AReplacementCutShortKeepsTheOldFile) {
    const fs::path file = fs::temp_directory_path() / ("tollmere-short-" + std::to_string(std::time(nullptr)));
    std::ofstream(file) << "old=1\n";
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit unlimited = limit;
    limit.rlim_cur = 4;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto result = platform::replaceFileContents(file.c_str(), "new=22222\n");
    setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(result, platform::ReplaceResult::writeFailed);
    EXPECT_EQ(readAll(file.string()), "old=1\n");
    fs::remove(file);
}
#endif

// The stamp reads as the calendar does, and the tick count runs in milliseconds across a whole
// second (allowing for a tick count that moves in steps of a frame's length, as on Windows).
TEST(OperatingSystem, TheClocksReadAsTheSystemsDo) {
    const std::time_t now = std::time(nullptr);
    const platform::LocalTime stamp = platform::localTimeNow();
    char calendar[16];
    std::strftime(calendar, sizeof calendar, "%d %m %Y", std::localtime(&now));
    int day = 0, month = 0, year = 0;
    ASSERT_EQ(std::sscanf(calendar, "%d %d %d", &day, &month, &year), 3);
    EXPECT_EQ(stamp.day, day);
    EXPECT_EQ(stamp.month, month);
    EXPECT_EQ(stamp.year, year);

    const auto started = std::chrono::steady_clock::now();
    const std::uint32_t first = platform::tickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const std::uint32_t ticks = platform::tickCount() - first;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    EXPECT_GE(ticks, 1080u);
    EXPECT_LE(ticks, static_cast<std::uint32_t>(elapsed.count()) + 20);
}

}  // namespace
}  // namespace tollmere
