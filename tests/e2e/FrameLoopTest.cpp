// The main loop: frames under the guard, error reports and the suspension test.

#include "PluginTest.h"

#include <algorithm>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;

const char* const kNotice = "An error has occured, please check the logs and report it";

int count(const std::vector<std::string>& lines, const std::string& text) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), text));
}

std::vector<std::string> namesInFrame(const sim::Host& host, int frame, std::size_t most = SIZE_MAX) {
    std::vector<std::string> names;
    for (const auto& call : host.calls()) {
        if (call.frame == frame && names.size() < most) names.emplace_back(call.name);
    }
    return names;
}

// Catches an error in one frame being reported twice, without its notice, or stopping the loop.
TEST_F(PluginTest, AnErrorInOneFrameIsReportedOnceAndTheNextFrameRunsNormally) {
    startAndSettle();
    game.host().injectFault("isScriptedActivityActive", "invalid stoi argument", 1);
    game.runFrames(3);

    const auto log = game.logMessages();
    EXPECT_EQ(count(log, "Something wrong happened"), 1);
    EXPECT_EQ(count(log, "Fatal: invalid stoi argument, check the logs for more info."), 1);
    EXPECT_THAT(game.world().notices, ElementsAre(kNotice));
    EXPECT_THAT(namesInFrame(game.host(), game.world().frame, 5),
                ElementsAre("getPlayerPed", "getPlayerId", "isPlayerUnavailable", "isScriptedActivityActive",
                            "disableBlipModifier"));
    EXPECT_EQ(log.back(), "Fatal: invalid stoi argument, check the logs for more info.")
        << "a single failed frame has no repeats to report";
}

// Catches an error that repeats every frame flooding the log and the screen.
TEST_F(PluginTest, AnErrorRepeatingEveryFrameIsReportedOnceThenCounted) {
    startAndSettle();
    game.host().injectFault("isPlayerUnavailable", "stof argument out of range");
    game.runFrames(100);
    auto log = logFrom("Something wrong happened");
    EXPECT_THAT(log, ElementsAre("Something wrong happened",
                                 "Fatal: stof argument out of range, check the logs for more info."));
    EXPECT_EQ(game.world().notices.size(), 1u);

    game.host().clearFaults();
    game.runFrames(5);
    log = logFrom("Something wrong happened");
    EXPECT_THAT(log, ElementsAre("Something wrong happened",
                                 "Fatal: stof argument out of range, check the logs for more info.",
                                 "the error above repeated 99 more times"));
}

// Catches a long run of repeats staying silent for ever, or summarising more often than once a minute.
TEST_F(PluginTest, ALongRunOfRepeatsIsSummarisedEveryMinuteOfGameTime) {
    // The failing docks no longer hold the robbery back, and its spawn would take frames of its own.
    game.writeFile("Settings.ini", "EnableBoatRobberies=0\n");
    // Frames of exactly 20 ms, so the count of repeats in a minute is known, and the minute ends on
    // a frame.
    game.world().frameStepMs = 20;
    game.world().frameJitterMs = 0;
    startAndSettle();
    game.host().injectFault("isPlayerUnavailable", "invalid vector subscript");
    game.runFor(150000);
    const auto log = logFrom("Something wrong happened");
    ASSERT_EQ(log.size(), 4u);
    // At 20 ms a frame the 3000th repeat is the first one 60 s or more after the window opened.
    EXPECT_EQ(log[2], "the error above repeated 3000 more times in the last 60 s and is still repeating");
    EXPECT_EQ(log[3], "the error above repeated 3000 more times in the last 60 s and is still repeating");
    EXPECT_EQ(game.world().notices.size(), 1u);
}

// Catches a different error, or the same one after a clean frame, being swallowed as a repeat, or an
// error of no standard type reported as none.
TEST_F(PluginTest, ADifferentErrorOrTheSameAfterACleanFrameIsReportedInFull) {
    startAndSettle();
    game.host().injectFault("isPlayerUnavailable", "first", 3);
    game.runFrames(3);
    game.host().injectFault("isPlayerUnavailable", "second", 1);
    game.runFrames(2);
    game.host().injectFault("isPlayerUnavailable", "second", 1);
    game.runFrames(1);
    game.host().injectForeignFault("isPlayerUnavailable", 2);
    game.runFrames(3);

    EXPECT_THAT(logFrom("Something wrong happened"),
                ElementsAre("Something wrong happened", "Fatal: first, check the logs for more info.",
                            "the error above repeated 2 more times", "Something wrong happened",
                            "Fatal: second, check the logs for more info.", "Something wrong happened",
                            "Fatal: second, check the logs for more info.", "Something wrong happened",
                            "Fatal: unknown exception, check the logs for more info.",
                            "the error above repeated 1 more times"));
    EXPECT_EQ(game.world().notices.size(), 4u);
}

// Catches the suspension test asking the second question while the first already decided it.
TEST_F(PluginTest, SuspensionAsksAboutGameActivitiesOnlyWhenThePlayerIsAvailable) {
    startAndSettle();
    game.world().player.unavailable = true;
    game.runFrames(1);
    EXPECT_THAT(namesInFrame(game.host(), game.world().frame, 4),
                ElementsAre("getPlayerPed", "getPlayerId", "isPlayerUnavailable", "enableBlipModifier"));

    game.world().player.unavailable = false;
    game.world().player.scriptedActivity = true;
    game.runFrames(1);
    EXPECT_THAT(namesInFrame(game.host(), game.world().frame, 5),
                ElementsAre("getPlayerPed", "getPlayerId", "isPlayerUnavailable", "isScriptedActivityActive",
                            "enableBlipModifier"));
}

// Catches the script running more than once per frame or skipping frames.
TEST_F(PluginTest, RunsExactlyOneUpdatePerGameFrame) {
    startAndSettle();
    const int first = game.world().frame + 1;
    game.runFrames(50);
    for (int frame = first; frame <= game.world().frame; ++frame) {
        EXPECT_EQ(count(namesInFrame(game.host(), frame), "getPlayerPed"), 1) << "frame " << frame;
    }
}

}  // namespace
}  // namespace tollmere::testing
