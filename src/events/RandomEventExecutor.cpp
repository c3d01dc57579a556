#include "events/RandomEventExecutor.h"

#include "boat/PlayerBoatManager.h"
#include "data/TextFormat.h"
#include "host/GameHelpers.h"
#include "runtime/Globals.h"
#include "runtime/Log.h"

namespace tollmere {

RandomEventExecutor::RandomEventExecutor(const Vec3& eventPosition, float distance)
    : position(eventPosition), triggerDistance(distance) {
    // Logged even though nothing changes, so that every event leaves a line when it is made.
    setOutcome(0);
}

void RandomEventExecutor::releaseEntities() {
    for (Entity entity : entities) handBack(entity);
}

bool RandomEventExecutor::shouldTrigger() const {
    return !triggered && distanceToEntity(position, PlayerPed) <= triggerDistance;
}

Entity RandomEventExecutor::addEntity(Entity entity) {
    entities.push_back(entity);
    return entity;
}

void RandomEventExecutor::tick() {
    if (shouldTrigger()) trigger(true);
    if (triggered) update();
}

void RandomEventExecutor::trigger(bool value) {
    triggered = value;
    if (!value) return;
    writeLog("RandomEventExecutor: event triggered. coords: " + formatVec3(position));
    onTriggered();
}

void RandomEventExecutor::setOutcome(std::int32_t value) {
    writeLog("RandomEventExecutor: outcome changed: " + formatInt(outcome) + " -> " + formatInt(value));
    outcome = value;
}

}  // namespace tollmere
