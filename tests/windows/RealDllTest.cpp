// What only the real Tollmere.asi can show: Windows text files, the file replacement, the local
// clock, exceptions unwinding on the script's fiber and the loader's detach. Built for Windows only.

#include "Neighbour.h"
#include "e2e/PluginTest.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <tuple>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;

std::string withCrlf(std::string text) {
    for (auto at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.insert(at, "\r");
    return text;
}

// True when every line feed comes after one carriage return and no carriage return stands alone.
bool crlfOnly(const std::string& bytes) {
    std::string bare = bytes;
    std::erase(bare, '\r');
    return !bytes.empty() && withCrlf(bare) == bytes;
}

std::uint64_t fileIndex(const std::filesystem::path& path) {
    HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
}

// Catches CRLF files read with the carriage returns left in the values or written back with bare
// line feeds, and a save that rewrites the record in place (a crash mid-write would lose the boat)
// or leaves its temporary file behind; the copy of the record is kept the same way.
TEST_F(PluginTest, CrlfFilesAreReadAndSavedAsCrlfByReplacingTheRecord) {
    for (const char* file : {"Settings.ini", "Lang.dat", "Configs.dat"}) {
        game.writeFile(file, withCrlf(game.readBytes(file)));
    }
    game.writeFile("PlayerBoat.dat",
                   withCrlf("dock_id=4\nhealth=1.000000\nlantern_propset_index=0\nmax_health=1000\n"
                            "owned_boat_model=-1613317544\npropset_index=1\ntint=2\n"));
    startAndSettle();
    ASSERT_EQ(game.world().vehicles().size(), 1u) << "the boat record was not read";
    const sim::Entity& boat = *game.world().vehicles().front();
    EXPECT_EQ(boat.tint, 2);
    ASSERT_NE(game.world().blipOn(boat.handle), nullptr);
    EXPECT_EQ(game.world().blipOn(boat.handle)->name, game.world().player.name + "'s Boat");

    const auto record = game.folder() / "Tollmere" / "PlayerBoat.dat";
    const std::uint64_t before = fileIndex(record);
    game.world().putPlayerInVehicle(boat.handle);
    game.runFrames(1);  // getting in lifts the anchor the docked boat lies at
    game.world().moveVehicle(boat.handle, sim::Vec3{2075.89f + 41.0f, -266.766f, 40.6027f});
    game.runFrames(2);
    ASSERT_GE(game.findLog("player has left dock: 4"), 0);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "dock_id"), "0");
    EXPECT_EQ(valueIn("PlayerBoat.dat", "tint"), "2");
    EXPECT_NE(fileIndex(record), before) << "the record was written in place, not replaced";
    for (const char* file : {"PlayerBoat.dat", "PlayerBoat.dat.bak", "TutorialFlags.dat", "Log.log"}) {
        EXPECT_TRUE(crlfOnly(game.readBytes(file))) << file;
    }
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(game.folder() / "Tollmere")) {
        const std::string name = entry.path().filename().string();
        // The shipped translations (Lang.fr-FR.dat and the others) are read, never written.
        if (name.size() == 14 && name.starts_with("Lang.") && name.ends_with(".dat")) continue;
        files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    EXPECT_THAT(files, ElementsAre("Configs.dat", "Lang.dat", "Log.log", "PlayerBoat.dat",
                                   "PlayerBoat.dat.bak", "Settings.ini", "TutorialFlags.dat"));
}

using Stamp = std::tuple<int, int, int, int, int, int>;  // year, month, day, hour, minute, second

Stamp stampOf(const SYSTEMTIME& t) {
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

Stamp localNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return stampOf(t);
}

// Catches a second start that truncates the log, and stamps in universal rather than local time (the
// tests run under a time zone 5:45 away from it, so the two cannot agree).
TEST(RealDllLogTest, ASecondStartAppendsToTheLogWithLocalTimeStamps) {
    if (const char* folder = std::getenv("TOLLMERE_RESTART_FOLDER")) {
        Harness again{std::filesystem::path(folder)};
        again.start();
        again.runFor(2000);
        EXPECT_GE(again.findLog("mp_blips texture dict loaded"), 0);
        return;
    }
    SYSTEMTIME universal;
    GetSystemTime(&universal);
    ASSERT_NE(localNow(), stampOf(universal))
        << "run this in a time zone away from universal time (ctest does)";

    Harness game;
    const Stamp before = localNow();
    game.start();
    game.runFor(2000);
    game.stop();
    const auto firstRun = game.logMessages();
    ASSERT_TRUE(Harness::runCaseInChildProcess(game.folder(), "RealDllLogTest.*")) << "the second start failed";
    const Stamp after = localNow();

    const auto log = game.logMessages();
    ASSERT_GT(log.size(), firstRun.size());
    EXPECT_TRUE(std::equal(firstRun.begin(), firstRun.end(), log.begin()))
        << "the first run's lines were lost";
    EXPECT_EQ(std::count(log.begin(), log.end(), "Welcome to Tollmere mod by Quenby - " TOLLMERE_VERSION), 2);

    static const std::regex stamp(R"(^\[(\d+)/(\d+)/(\d+) (\d+):(\d+):(\d+)\] )");
    std::istringstream lines(game.readFile("Log.log"));
    std::size_t stamped = 0;
    std::smatch m;
    for (std::string line; std::getline(lines, line);) {
        if (!std::regex_search(line, m, stamp)) continue;
        ++stamped;
        const Stamp at{std::stoi(m[3]), std::stoi(m[2]), std::stoi(m[1]),
                       std::stoi(m[4]), std::stoi(m[5]), std::stoi(m[6])};
        EXPECT_TRUE(before <= at && at <= after) << "stamp outside the run's local time: " << line;
    }
    EXPECT_EQ(stamped, log.size()) << "every line is stamped";
}

// Catches an exception thrown by the host's native call on the script's fiber escaping the real DLL's
// frame guard (unwinding across the two modules' runtimes) or ending the script.
TEST_F(PluginTest, AnErrorThrownInAFrameIsCaughtOnTheFiberAndTheScriptGoesOn) {
    startAndSettle();
    ASSERT_TRUE(IsThreadAFiber()) << "the host runs as a fiber once the script was started";
    game.host().injectFault("isPlayerUnavailable", "frame error on the fiber", 2);
    game.runFrames(2);
    const auto framesBefore = game.host().callsTo("getPlayerPed").size();
    game.runFrames(3);

    EXPECT_THAT(logFrom("Something wrong happened"),
                ElementsAre("Something wrong happened",
                            "Fatal: frame error on the fiber, check the logs for more info.",
                            "the error above repeated 1 more times"));
    EXPECT_EQ(game.world().notices.size(), 1u);
    EXPECT_FALSE(game.host().scriptFinished());
    EXPECT_EQ(game.host().callsTo("getPlayerPed").size(), framesBefore + 3) << "one update per frame goes on";
}

// Catches FreeLibrary while the script waits in scriptWait leaving the script or the keyboard handler
// registered: the host would call into unloaded code.
TEST_F(PluginTest, FreeingTheLibraryWhileTheScriptWaitsUnregistersBoth) {
    game.start();
    game.runFrames(3);  // the script waits its first 500 ms
    game.stop();
    EXPECT_EQ(GetModuleHandleW(L"Tollmere.asi"), nullptr) << "the plug-in is still loaded";
    EXPECT_TRUE(game.host().scriptFinished());
    game.host().sendKey(VK_F5, true);
    game.runFor(2000);
    EXPECT_TRUE(game.host().calls().empty()) << "the script ran after its library was freed";
}

}  // namespace
}  // namespace tollmere::testing

namespace tollmere::testing {
namespace {

// Catches a second script's fiber that never runs, runs before the plug-in's, or takes the
// plug-in's turn: the neighbour's scene plays through while the plug-in's update goes on each frame.
TEST_F(PluginTest, TheNeighboursFiberTakesItsTurnAfterThePlugInsEachFrame) {
    startAndSettle();
    sim::Neighbour& neighbour = sim::Neighbour::start(game.host());
    neighbour.playScene(500);
    const auto framesBefore = game.host().callsTo("getPlayerPed", "Tollmere").size();
    game.runFrames(60);
    EXPECT_EQ(neighbour.scenesPlayed(), 1);
    EXPECT_EQ(game.host().callsTo("getPlayerPed", "Tollmere").size(), framesBefore + 60);
    const auto fade = game.host().callsTo("doScreenFadeOut", "Neighbour");
    ASSERT_EQ(fade.size(), 1u);
    const auto& calls = game.host().calls();
    const int frame = fade.front()->frame;
    const auto first =
        std::find_if(calls.begin(), calls.end(), [&](const auto& call) { return call.frame == frame; });
    EXPECT_EQ(*first->script, "Tollmere") << "the neighbour, registered second, was resumed first";
    EXPECT_FALSE(game.host().scriptFinished());
}

}  // namespace
}  // namespace tollmere::testing
