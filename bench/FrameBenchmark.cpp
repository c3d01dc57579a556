// The cost of what the plug-in does every frame, measured against the simulated game with the
// managers built by the real start-up. The frame is run straight from the benchmark thread, so
// the numbers leave out the host's hand-off and include the simulated game's answers.

#include "data/DictDataFile.h"
#include "data/Settings.h"
#include "host/ScreenText.h"
#include "runtime/Globals.h"
#include "plugin/Runtime.h"
#include "support/Harness.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

// Start-up runs once for the process, as in the game; the working folder goes at exit.
sim::World& startedGame() {
    static tollmere::testing::Harness game;
    static const bool started = [] {
        game.host().recordCalls = false;
        return tollmere::startUp();
    }();
    if (!started) throw std::runtime_error("start-up failed: see " + game.folder().string());
    return game.world();
}

void runFrames(benchmark::State& state) {
    sim::World& world = startedGame();
    for (auto _ : state) {
        tollmere::PlayerPed = world.player.ped;
        tollmere::releaseDrawnTexts();
        tollmere::frameUpdate();
        tollmere::postPendingHelpText();
    }
}

// On foot, far from every dock and spawn point.
void FrameAwayFromTheDocks(benchmark::State& state) {
    startedGame().playerPed().position = sim::Vec3{};
    runFrames(state);
}
BENCHMARK(FrameAwayFromTheDocks);

// On foot on the pier at Lagras, the manage prompt offered.
void FrameOnAPier(benchmark::State& state) {
    startedGame().playerPed().position = sim::Vec3{2181.28f, -618.158f, 41.9048f};
    runFrames(state);
}
BENCHMARK(FrameOnAPier);

void SettingLookup(benchmark::State& state) {
    startedGame();
    for (auto _ : state) benchmark::DoNotOptimize(tollmere::getSettingBool("EnableBoatRobberies"));
}
BENCHMARK(SettingLookup);

void DataFileLookup(benchmark::State& state) {
    tollmere::DictDataFile file("missing/PlayerBoat.dat");
    file.setInt("owned_boat_model", -1613317544);
    file.setFloat("health", 0.75f);
    for (auto _ : state) {
        benchmark::DoNotOptimize(file.getInt("owned_boat_model"));
        benchmark::DoNotOptimize(file.getFloat("health"));
    }
}
BENCHMARK(DataFileLookup);

}  // namespace
