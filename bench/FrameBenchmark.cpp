// The cost of what the plug-in does every frame, driven straight from the benchmark thread
// against the simulated game. Numbers include the simulated host's own bookkeeping.

#include "Host.h"
#include "data/DictDataFile.h"
#include "data/Settings.h"
#include "host/ScreenText.h"
#include "runtime/Globals.h"
#include "runtime/Runtime.h"

#include <benchmark/benchmark.h>

namespace {

void FrameUpdate(benchmark::State& state) {
    sim::Host& host = sim::Host::instance();
    tollmere::PlayerPed = host.world().player.ped;
    for (auto _ : state) {
        tollmere::frameUpdate();
        tollmere::postPendingHelpText();
    }
}
BENCHMARK(FrameUpdate);

void SettingLookup(benchmark::State& state) {
    tollmere::loadSettings("missing/Settings.ini", tollmere::defaultSettings());
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
