// Start-up as the player meets it: the banner, the texture wait and the data files.

#include "PluginTest.h"

#ifndef _WIN32
#include "runtime/Keyboard.h"
#endif

#include <cstdlib>

#include <algorithm>
#include <set>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const std::string kRule(66, '=');

// Catches a banner line or data-file step out of order or reworded.
TEST_F(PluginTest, WritesTheBannerThenLoadsTheFourDataFilesInOrder) {
    startAndSettle();
    EXPECT_THAT(game.logMessages(),
                ElementsAre("loading settings file: Tollmere/Settings.ini", "settings file loaded",
                            "Welcome to Tollmere mod by Quenby - " TOLLMERE_VERSION,
                            "if you'd like to report and issue, please attach this file and the PlayerBoat.dat file",
                            kRule, "loading blips_mp texture dict", "mp_blips texture dict loaded",
                            "loading data file: Tollmere/Lang.dat", "data file found: Tollmere/Lang.dat",
                            ::testing::StartsWith("data file 'Tollmere/Lang.dat' loaded, lines red: "),
                            "loading data file: Tollmere/Configs.dat", "data file found: Tollmere/Configs.dat",
                            ::testing::StartsWith("data file 'Tollmere/Configs.dat' loaded, lines red: "),
                            "loading data file: Tollmere/PlayerBoat.dat", "data file found: Tollmere/PlayerBoat.dat",
                            "data file 'Tollmere/PlayerBoat.dat' loaded, lines red: 2",
                            "loading data file: Tollmere/TutorialFlags.dat",
                            "data file found: Tollmere/TutorialFlags.dat",
                            "data file 'Tollmere/TutorialFlags.dat' loaded, lines red: 1",
                            "language: en-US, the game's language"));
}

// Catches a start that truncates or rewrites the log: every line of the earlier starts stays, byte
// for byte, and the next start's banner follows them.
TEST_F(PluginTest, ASecondStartKeepsTheLogAndWritesItsBannerAfterIt) {
    game.writeFile("Log.log", "[1/1/2026 0:0:0] a line from an older start\n");
    startAndSettle();
    game.stop();
    const std::string first = game.readBytes("Log.log");
    const auto firstLines = game.logMessages().size();
    ASSERT_TRUE(Harness::runCaseInChildProcess(game.folder(), "PluginRestartTest.DISABLED_StartsAgain"));
    EXPECT_TRUE(game.readBytes("Log.log").starts_with(first));
    const auto log = game.logMessages();
    ASSERT_GT(log.size(), firstLines + 3);
    EXPECT_THAT(std::vector<std::string>(log.begin() + firstLines, log.begin() + firstLines + 3),
                ElementsAre("loading settings file: Tollmere/Settings.ini", "settings file loaded",
                            "Welcome to Tollmere mod by Quenby - " TOLLMERE_VERSION));
}

TEST(PluginRestartTest, DISABLED_StartsAgain) {
    ASSERT_NE(Harness::restarted(2000), nullptr);
}

// Catches start-up running before the script's half-second wait, or in another order.
TEST_F(PluginTest, WaitsHalfASecondThenRegistersDecoratorsAndGivesControlBack) {
    game.start();
    game.runFor(480);
    EXPECT_TRUE(game.host().calls().empty()) << "the script must wait 500 ms before its first native";
    game.runFor(20 + 33 * (game.world().textureLoadFrames + 5));

    std::vector<std::string> names;
    for (const auto& call : game.host().calls()) names.emplace_back(call.name);
    const std::vector<std::string> opening(names.begin(), names.begin() + 6);
    EXPECT_THAT(opening, ElementsAre("getPlayerPed", "registerDecorator", "registerDecorator", "registerDecorator",
                                     "getCurrentLanguage", "setScriptTimer"));
    for (const char* decorator : {"QY_RB_isPlayerBoat", "QY_RB_isBoatSold", "QY_RB_boatValue"}) {
        EXPECT_EQ(game.world().decorators.at(decorator), 3) << decorator;
    }

    // The main loop opens by giving the player control back, then showing the HUD.
    const auto& calls = game.host().calls();
    const auto hud = std::find_if(calls.begin(), calls.end(), [](const auto& call) {
        return std::string(call.name) == "displayHud";
    });
    ASSERT_NE(hud, calls.end());
    ASSERT_GE(hud - calls.begin(), 1);
    EXPECT_STREQ((hud - 1)->name, "setPlayerControl");
    EXPECT_THAT((hud - 1)->args, ElementsAre(game.world().player.id, 1u, 0u, 0u));
    EXPECT_TRUE(game.world().hudDisplayed);
}

// Catches a texture wait that gives up, polls without yielding, or logs success too early.
TEST_F(PluginTest, WaitsFrameByFrameForTheBlipTexturesHoweverLongTheyTake) {
    game.world().textureDictsThatNeverLoad.insert("blips_mp");
    game.start();
    game.runFor(500);
    game.runFrames(200);

    std::set<int> framesAsked;
    for (const auto* call : game.host().callsTo("requestTextureDict")) framesAsked.insert(call->frame);
    EXPECT_EQ(framesAsked.size(), game.host().callsTo("requestTextureDict").size()) << "one request per frame";
    EXPECT_GE(framesAsked.size(), 200u);
    EXPECT_EQ(game.findLog("mp_blips texture dict loaded"), -1);

    game.world().textureDictsThatNeverLoad.clear();
    game.runFrames(game.world().textureLoadFrames + 2);
    EXPECT_GE(game.findLog("mp_blips texture dict loaded"), 0);
    EXPECT_EQ(game.host().callsTo("displayHud").size(), 1u);
}

struct MissingFileCase {
    const char* file;
    std::vector<std::string> loadedBefore;
    friend std::ostream& operator<<(std::ostream& out, const MissingFileCase& c) { return out << c.file; }
};

class MissingDataFileTest : public PluginTest, public ::testing::WithParamInterface<MissingFileCase> {};

// Catches start-up carrying on (or crashing) without one of the three files it cannot run without.
TEST_P(MissingDataFileTest, LeavesThePlugInInertWithTheExactLog) {
    const MissingFileCase& param = GetParam();
    game.removeFile(param.file);
    startAndSettle();
    game.runFrames(30);

    std::vector<std::string> expected{"mp_blips texture dict loaded"};
    for (const std::string& loaded : param.loadedBefore) {
        expected.push_back("loading data file: Tollmere/" + loaded);
        expected.push_back("data file found: Tollmere/" + loaded);
    }
    expected.push_back(std::string("loading data file: Tollmere/") + param.file);
    expected.push_back("unable to load from data file, please make sure it exists.");
    expected.push_back("ERROR: Could not load data files.");

    std::vector<std::string> actual;
    for (const std::string& line : logFrom("mp_blips texture dict loaded")) {
        if (line.find("' loaded, lines red: ") == std::string::npos) actual.push_back(line);
    }
    EXPECT_EQ(actual, expected);
    EXPECT_TRUE(game.host().scriptFinished());
    EXPECT_TRUE(game.host().callsTo("displayHud").empty());
    EXPECT_TRUE(game.host().callsTo("isPlayerUnavailable").empty()) << "no frame may run";
}

INSTANTIATE_TEST_SUITE_P(, MissingDataFileTest,
                         ::testing::Values(MissingFileCase{"Lang.dat", {}},
                                           MissingFileCase{"Configs.dat", {"Lang.dat"}},
                                           MissingFileCase{"PlayerBoat.dat", {"Lang.dat", "Configs.dat"}}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             name.erase(std::remove(name.begin(), name.end(), '.'), name.end());
                             return name;
                         });

// Catches a missing tutorial-flags file stopping the plug-in: it only means nothing was seen yet; so
// does a file of the player's own that cannot be read, named once on screen.
TEST_F(PluginTest, CarriesOnWithoutTutorialFlags) {
    game.removeFile("TutorialFlags.dat");
    game.writeFile("Lang.custom.dat", "prompts.close=Shut\nprompts.back Back\n");
    startAndSettle();
    EXPECT_THAT(logFrom("loading data file: Tollmere/TutorialFlags.dat"),
                ElementsAre("loading data file: Tollmere/TutorialFlags.dat",
                            "unable to load from data file, please make sure it exists.",
                            "TutorialFlags didn't load properly, continuing anyway.",
                            "language: en-US, the game's language",
                            "Tollmere/Lang.custom.dat is not read: line 2 holds not key=value; the files under it "
                            "are used instead"));
    game.runFrames(30);
    EXPECT_THAT(game.world().notices, ElementsAre("Tollmere could not read Tollmere/Lang.custom.dat. Look at "
                                                  "Tollmere/Log.log to see why."));
    EXPECT_FALSE(game.host().scriptFinished());
    EXPECT_EQ(game.host().callsTo("displayHud").size(), 1u);
    EXPECT_FALSE(game.host().callsTo("isPlayerUnavailable").empty());
}

// Catches an exception in start-up escaping the script (it would take the game down) or being
// followed by a running loop.
TEST_F(PluginTest, AnErrorDuringStartUpIsReportedAndLeavesThePlugInInert) {
    game.host().injectFault("hasTextureDictLoaded", "texture streaming failed", 1);
    startAndSettle();
    game.runFrames(10);
    EXPECT_THAT(logFrom("loading blips_mp texture dict"),
                ElementsAre("loading blips_mp texture dict", "Something wrong happened",
                            "Fatal: texture streaming failed, check the logs for more info."));
    EXPECT_THAT(game.world().notices,
                ElementsAre("Tollmere is off: it could not start. Look at Tollmere/Log.log to see why."));
    EXPECT_TRUE(game.host().scriptFinished());
}

// Catches a second start in one process silently sharing the first run's globals.
TEST_F(PluginTest, RefusesASecondStartInTheSameProcess) {
    game.start();
    try {
        game.start();
        FAIL() << "a second start must be refused";
    } catch (const std::logic_error& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("process of its own"));
    }
}

// Catches detach leaving the script or the keyboard handler registered.
TEST_F(PluginTest, DetachStopsTheScript) {
    startAndSettle();
    game.stop();
    const auto before = game.host().calls().size();
    game.runFrames(5);
    EXPECT_EQ(game.host().calls().size(), before);
}

#ifndef _WIN32
// Catches the handler keeping the wrong three of a message's flags, or hearing messages after
// detach. (Under Wine the table lives in the DLL, out of this program's reach.)
TEST_F(PluginTest, KeyMessagesReachTheKeyTableUntilDetach) {
    startAndSettle();
    game.host().sendKey(0x51, true, true);
    EXPECT_EQ(keyState(0x51).isWithAlt, 1);
    EXPECT_EQ(keyState(0x51).wasDownBefore + keyState(0x51).isUpNow, 0);
    game.host().sendKey(0x51, false);
    EXPECT_EQ(keyState(0x51).isWithAlt, 0);
    EXPECT_EQ(keyState(0x51).wasDownBefore + keyState(0x51).isUpNow, 2);
    game.stop();
    game.host().sendKey(0x52, false);
    EXPECT_EQ(keyState(0x52).isUpNow, 0) << "a message reached the handler after detach";
}
#endif

}  // namespace
}  // namespace tollmere::testing
