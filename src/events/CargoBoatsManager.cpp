#include "events/CargoBoatsManager.h"

#include "data/DataKeys.h"
#include "data/Settings.h"
#include "data/TextFormat.h"
#include "events/CargoBoatEventsGenerator.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"
#include "runtime/Globals.h"
#include "runtime/Log.h"

#include <cstdio>

namespace tollmere {

namespace {
constexpr std::size_t kMostRunningEvents = 3;
}

CargoBoatsManager::CargoBoatsManager() { cargoBoatEventsGenerator->subscribe(this); }

void CargoBoatsManager::onEvent(CargoBoatEvent event) {
    char distance[32];
    std::snprintf(distance, sizeof distance, "%f", static_cast<double>(distanceToEntity(event.position, PlayerPed)));
    writeLog("CargoBoatsManager: starting event at coords: " + formatVec3(event.position) +
             " distance from player: " + distance);
    executors_.push_back(std::make_unique<RandomBoatRobberyExecutor>(std::move(event)));
    cargoBoatEventsGenerator->disable();
}

void CargoBoatsManager::update() {
    if (!getSettingBool(keys::enableBoatRobberies)) return;
    if (!native::isScriptedActivityActive() && executors_.size() < kMostRunningEvents) {
        cargoBoatEventsGenerator->generate();
    }
    for (std::size_t i = 0; i < executors_.size();) {
        RandomBoatRobberyExecutor& executor = *executors_[i];
        executor.tick();
        if (!executor.hasOutcome()) {
            ++i;
            continue;
        }
        writeLog("CargoBoatsManager: terminating event, id: " + formatInt(executor.getEvent().id));
        executor.releaseEntities();
        executors_.erase(executors_.begin() + static_cast<std::ptrdiff_t>(i));
        writeLog("event terminated");
    }
}

}  // namespace tollmere
