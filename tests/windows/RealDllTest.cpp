// What only the real Tollmere.asi can show: Windows text files, the file replacement, the local
// clock, exceptions unwinding on the script's fiber and the loader's detach. Built for Windows only.

#include "e2e/PluginTest.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <tuple>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;

const char* const kBoatAtDock4 =
    "dock_id=4\r\nhealth=1.000000\r\nlantern_propset_index=0\r\nmax_health=1000\r\nowned_boat_model=-"
    "1613317544\r\n"
    "propset_index=1\r\ntint=2\r\n";

std::string withCrlf(const std::string& text) {
    std::string converted;
    for (char c : text) {
        if (c == '\n') converted += '\r';
        if (c != '\r') converted += c;
    }
    return converted;
}

// Every line ends in CRLF: no bare line feed, no doubled carriage return.
void expectCrlfOnly(const std::string& bytes, const std::string& file) {
    ASSERT_FALSE(bytes.empty()) << file;
    EXPECT_EQ(bytes.find("\r\r"), std::string::npos) << file;
    for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
        ASSERT_TRUE(at > 0 && bytes[at - 1] == '\r') << file << ": bare line feed at byte " << at;
    }
    EXPECT_TRUE(bytes.ends_with("\r\n")) << file;
}

std::uint64_t fileIndex(const std::filesystem::path& path) {
    HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
}

// Catches text files read with their carriage returns left in the values, or written back with bare
// line feeds (or doubled carriage returns) where a player's editor left CRLF.
TEST_F(PluginTest, CrlfDataFilesAreReadAndSavedAsCrlf) {
    for (const char* file : {"Settings.ini", "Lang.dat", "Configs.dat"}) {
        game.writeFile(file, withCrlf(game.readBytes(file)));
    }
    game.writeFile("PlayerBoat.dat", kBoatAtDock4);
    startAndSettle();
    ASSERT_EQ(game.world().vehicles().size(), 1u) << "the boat record was not read";
    const sim::Entity& boat = *game.world().vehicles().front();
    EXPECT_EQ(boat.tint, 2);
    const sim::Blip* blip = game.world().blipOn(boat.handle);
    ASSERT_NE(blip, nullptr);
    EXPECT_EQ(blip->name, game.world().player.name + "'s " + langText("blips.boat"));
    EXPECT_EQ(blip->name.find('\r'), std::string::npos);

    game.world().putPlayerInVehicle(boat.handle);
    game.world().moveVehicle(boat.handle, sim::Vec3{2075.89f + 41.0f, -266.766f, 40.6027f});
    game.runFrames(2);
    ASSERT_GE(game.findLog("player has left dock: 4"), 0);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "dock_id"), "0");
    EXPECT_EQ(valueIn("PlayerBoat.dat", "tint"), "2");
    for (const char* file : {"PlayerBoat.dat", "TutorialFlags.dat", "Log.log"}) {
        expectCrlfOnly(game.readBytes(file), file);
    }
}

// Catches a save that rewrites the file in place (a crash mid-write would lose the boat) or leaves
// its temporary file behind.
TEST_F(PluginTest, ASaveReplacesTheFileAndLeavesNoTemporaryFile) {
    game.writeFile("PlayerBoat.dat", withCrlf(kBoatAtDock4));
    startAndSettle();
    const auto record = game.folder() / "Tollmere" / "PlayerBoat.dat";
    const std::uint64_t before = fileIndex(record);
    ASSERT_NE(before, 0u);

    game.world().entity(game.world().vehicles().front()->handle)->health = 700;
    game.world().setScriptTimer(15001);
    game.runFrames(1);
    ASSERT_GE(game.findLog("file saved: Tollmere/PlayerBoat.dat"), 0);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "health"), "0.700000");
    EXPECT_NE(fileIndex(record), before) << "the record was written in place, not replaced";

    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(game.folder() / "Tollmere")) {
        files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    EXPECT_THAT(files, ElementsAre("Configs.dat", "Lang.dat", "Log.log", "PlayerBoat.dat", "Settings.ini",
                                   "TutorialFlags.dat"));
}

using Stamp = std::tuple<int, int, int, int, int, int>;  // year, month, day, hour, minute, second

Stamp localNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

Stamp universalNow() {
    SYSTEMTIME t;
    GetSystemTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::vector<Stamp> logStamps(const std::string& log) {
    static const std::regex stamp(R"(^\[(\d+)/(\d+)/(\d+) (\d+):(\d+):(\d+)\] )");
    std::vector<Stamp> stamps;
    std::istringstream lines(log);
    std::string line;
    std::smatch match;
    while (std::getline(lines, line)) {
        if (!std::regex_search(line, match, stamp)) continue;
        const auto part = [&match](int i) { return std::stoi(match[i].str()); };
        stamps.emplace_back(part(3), part(2), part(1), part(4), part(5), part(6));
    }
    return stamps;
}

// The game started again: a second process plays in the folder the first one left.
constexpr const char* kSecondStartFolder = "TOLLMERE_SECOND_START_FOLDER";

bool startAgainInChildProcess(const std::filesystem::path& folder) {
    std::wstring program(MAX_PATH, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string(test->test_suite_name()) + "." + test->name();
    std::wstring commandLine =
        L"\"" + program + L"\" --gtest_filter=" + std::wstring(filter.begin(), filter.end());

    SetEnvironmentVariableW(L"TOLLMERE_SECOND_START_FOLDER", folder.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool created = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableW(L"TOLLMERE_SECOND_START_FOLDER", nullptr);
    if (!created) return false;
    WaitForSingleObject(process.hProcess, 120000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode == 0;
}

// Catches a second start that truncates the log, and stamps in universal rather than local time (the
// tests run under a time zone 5:45 away from it, so the two cannot agree).
TEST(RealDllLogTest, ASecondStartAppendsToTheLogWithLocalTimeStamps) {
    if (const char* folder = std::getenv(kSecondStartFolder)) {
        Harness again{std::filesystem::path(folder)};
        again.start();
        again.runFor(2000);
        EXPECT_GE(again.findLog("mp_blips texture dict loaded"), 0);
        return;
    }

    ASSERT_NE(localNow(), universalNow())
        << "run this under a time zone away from universal time (ctest does)";
    Harness game;
    const Stamp before = localNow();
    game.start();
    game.runFor(2000);
    game.stop();
    const auto firstRun = game.logMessages();
    ASSERT_FALSE(firstRun.empty());

    ASSERT_TRUE(startAgainInChildProcess(game.folder())) << "the second start failed";
    const Stamp after = localNow();

    const auto log = game.logMessages();
    ASSERT_GT(log.size(), firstRun.size());
    EXPECT_TRUE(std::equal(firstRun.begin(), firstRun.end(), log.begin()))
        << "the first run's lines were lost";
    const std::string banner = "Welcome to Tollmere mod by Quenby - " TOLLMERE_VERSION;
    EXPECT_EQ(std::count(log.begin(), log.end(), banner), 2);

    const auto stamps = logStamps(game.readFile("Log.log"));
    EXPECT_EQ(stamps.size(), log.size()) << "every line is stamped";
    for (const Stamp& stamp : stamps) {
        EXPECT_TRUE(before <= stamp && stamp <= after) << "a stamp outside the local time of the run";
    }
}

// Catches an exception thrown by the host's native call on the script's fiber escaping the frame guard
// of the real DLL (unwinding across the two modules' runtimes) and ending the script.
TEST_F(PluginTest, AnErrorThrownInAFrameIsCaughtOnTheFiberAndTheScriptGoesOn) {
    startAndSettle();
    ASSERT_TRUE(IsThreadAFiber()) << "the host runs as a fiber once the script was started";
    game.host().injectFault("isScriptedActivityActive", "frame error on the fiber", 2);
    game.runFrames(2);
    const int framesBefore = static_cast<int>(game.host().callsTo("getPlayerPed").size());
    game.runFrames(3);

    EXPECT_THAT(logFrom("Something wrong happened"),
                ElementsAre("Something wrong happened",
                            "Fatal: frame error on the fiber, check the logs for more info.",
                            "the error above repeated 1 more times"));
    EXPECT_THAT(game.world().notices,
                ElementsAre("An error has occured, please check the logs and report it"));
    EXPECT_FALSE(game.host().scriptFinished());
    EXPECT_EQ(static_cast<int>(game.host().callsTo("getPlayerPed").size()), framesBefore + 3)
        << "one frame per game frame after the errors";
}

// Catches FreeLibrary while the script waits in scriptWait leaving the script or the keyboard
// handler registered: the host would call into unloaded code.
TEST_F(PluginTest, FreeingTheLibraryWhileTheScriptWaitsUnregistersBoth) {
    game.start();
    game.runFrames(3);  // the script waits its first 500 ms
    ASSERT_FALSE(game.host().scriptFinished());
    ASSERT_NE(GetModuleHandleW(L"Tollmere.asi"), nullptr);
    game.stop();
    EXPECT_EQ(GetModuleHandleW(L"Tollmere.asi"), nullptr) << "the plug-in is still loaded";
    EXPECT_TRUE(game.host().scriptFinished());

    game.host().sendKey(VK_F5, true);
    game.host().sendKey(VK_F5, false);
    game.runFor(2000);
    EXPECT_TRUE(game.host().calls().empty()) << "the script ran after its library was freed";
}

}  // namespace
}  // namespace tollmere::testing
