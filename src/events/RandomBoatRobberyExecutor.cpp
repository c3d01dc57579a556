#include "events/RandomBoatRobberyExecutor.h"

#include "boat/PlayerBoatManager.h"
#include "data/DataKeys.h"
#include "docks/DocksRegistry.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"
#include "runtime/Globals.h"
#include "runtime/Log.h"
#include "tutorials/Tutorials.h"

#include <algorithm>
#include <cmath>

namespace tollmere {

namespace {

constexpr float kTriggerDistance = 300.0f;
constexpr float kAbandonDistance = 600.0f;
constexpr float kGuardLostDistance = 200.0f;
constexpr float kFirstTutorialDistance = 50.0f;
constexpr std::int32_t kDrivingStyle = 786603;
constexpr std::int32_t kRetaskPace = 1000;
constexpr float kEscortSpacing = 12.0f;

// Asked at most once a run, whichever robbery comes near first.
bool robberyTutorialShown = false;

}  // namespace

RandomBoatRobberyExecutor::RandomBoatRobberyExecutor(CargoBoatEvent cargoEvent)
    : RandomEventExecutor(cargoEvent.position, kTriggerDistance), event(std::move(cargoEvent)) {}

void RandomBoatRobberyExecutor::releaseEntities() {
    for (Ped guard : event.crew) handBack(guard);
    for (Vehicle vehicle : event.vehicles) handBack(vehicle);
}

Ped RandomBoatRobberyExecutor::createCrewMember(Vehicle vehicle, std::int32_t seat) {
    // Bounded like every other model load: a guard model that never streams in must not freeze
    // the whole plug-in; the event goes on with the crew it has.
    const Hash model = hashOf("a_m_m_bivroughtravellers_01");
    // The load may wait, and another script may delete the boat meanwhile.
    if (!loadModel(model, kModelLoadTimeoutMs) || !native::doesEntityExist(vehicle)) return 0;
    const Ped ped = native::createPedInsideVehicle(vehicle, model, seat, 0, 0, 0);
    native::setRandomOutfitVariation(ped, true);
    return ped;
}

void RandomBoatRobberyExecutor::enlist(Ped ped, Vehicle vehicle) {
    if (ped == 0) return;
    if (event.leader == 0) {
        // The cargo boat's own guard leads when he was created; otherwise the first one that was.
        event.leader = ped;
        leaderBoat = vehicle;
        native::setPedAsGroupLeader(ped, native::createGroup(0), true);
    } else {
        native::setPedAsGroupMember(ped, native::getPedGroupIndex(event.leader));
    }
    event.crew.push_back(ped);
    native::setPedConfigFlag(ped, 279, true);
    native::setPedConfigFlag(ped, 280, true);
    native::setPedConfigFlag(ped, 545, false);
    native::decorSetInt(ped, "honor_override", 0);
}

void RandomBoatRobberyExecutor::onTriggered() {
    event.boat = spawnVehicle("rowboat", event.position, 0.0f);
    event.vehicles.push_back(event.boat);
    native::setVehiclePropSet(event.boat, event.cargoPropSet);
    native::setVehicleLanternPropSet(event.boat, event.lanternPropSet);
    native::setVehicleTint(event.boat, event.tint);
    native::decorSetInt(event.boat, "QY_RB_boatValue", event.reward);
    waitInsideOperation(10);
    if (spawnCutShort()) return;

    enlist(createCrewMember(event.boat, -1), event.boat);
    waitInsideOperation(10);
    if (spawnCutShort()) return;

    // One escort boat for every four guards besides the leader, alternating ahead and behind.
    std::int32_t remaining = event.crewSize - 1;
    const auto escorts = static_cast<std::int32_t>(std::ceil(static_cast<float>(remaining) * 0.25f));
    for (std::int32_t i = 0; i < escorts; ++i) {
        const float side = static_cast<float>(i % 2 == 0 ? i / 2 + 1 : -(i / 2 + 1));
        const Vec3 offset = entityForward(event.boat) * kEscortSpacing * side;
        const Vehicle escort = spawnVehicle("rowboat", entityPosition(event.boat) + offset, 0.0f);
        native::setVehicleLanternPropSet(escort, hashOf("pg_veh_rowboat_lightupgrade_1"));
        event.vehicles.push_back(escort);
        waitInsideOperation(10);
        if (spawnCutShort()) return;
        const std::int32_t seats = std::min(remaining, 4);
        for (std::int32_t j = 0; j < seats; ++j) {
            enlist(createCrewMember(escort, j - 1), escort);
            waitInsideOperation(10);
            if (spawnCutShort()) return;
        }
        remaining -= seats;
    }
    waitInsideOperation(100);
    if (spawnCutShort()) return;

    // Without a single guard there is nothing to rob from: the event ends at once and lets go of
    // its boats.
    if (event.crew.empty()) {
        phase = ended;
        setOutcome(failed);
        return;
    }
    // A leader who is not in the cargo boat rows his own boat, and only the others escort him.
    native::taskVehicleDriveWander(event.leader, leaderBoat, 2.0f, kDrivingStyle);
    for (Vehicle vehicle : event.vehicles) {
        if (vehicle == event.boat || vehicle == leaderBoat || !native::doesEntityExist(vehicle)) continue;
        const Ped driver = native::getDriverOfVehicle(vehicle);
        if (driver == 0) continue;
        native::taskVehicleEscort(driver, vehicle, event.leader, 12, 4.0f, kDrivingStyle, 150.0f, -1.0f, 1);
    }
    phase = afloat;
}

bool RandomBoatRobberyExecutor::spawnCutShort() {
    // Other scripts run in the spawn's waits: one may delete what it made, or the game clear it.
    // Without the cargo boat or the leader every guard follows there is no robbery to go on with.
    if (native::doesEntityExist(event.boat) && (event.leader == 0 || native::doesEntityExist(event.leader))) {
        return false;
    }
    writeLog("the robbery's cargo boat or its leader was removed while the robbery was made, so it ends");
    phase = ended;
    setOutcome(failed);
    return true;
}

bool RandomBoatRobberyExecutor::endedThisUpdate() {
    std::int32_t ending = 0;
    if (!native::doesEntityExist(event.boat) || native::isEntityDead(event.boat) ||
        native::isEntityIncapacitated(event.boat)) {
        ending = failed;
    } else if (distanceBetweenEntities(PlayerPed, event.boat) > kAbandonDistance) {
        ending = abandoned;
    } else if (native::decorGetInt(event.boat, "QY_RB_isBoatSold") == 1) {
        ending = sold;
    } else if (native::isPlayerDead(native::getPlayerId())) {
        ending = failed;
    }
    if (ending == 0) return false;
    phase = ended;
    setOutcome(ending);
    return true;
}

void RandomBoatRobberyExecutor::reorderOneEscort() {
    // The pace counter grows by the frame rate every update, so escorts are re-ordered about
    // every thousand frames' worth of time, one escort at a time.
    if (retaskCounter < kRetaskPace) return;
    for (Vehicle vehicle : event.vehicles) {
        if (vehicle == event.boat || !native::doesEntityExist(vehicle) || !native::isVehicleDriveable(vehicle, true, true)) {
            continue;
        }
        // A boat whose guards never came has no one to row it.
        const Ped driver = native::getDriverOfVehicle(vehicle);
        if (driver == 0 || driver == event.leader) continue;
        const Vec3 target = entityPosition(event.boat);
        const float speed = distanceToEntity(target, vehicle) > 20.0f ? 4.0f : 2.0f;
        native::taskVehicleDriveToCoord(driver, vehicle, target, speed, 0, native::getEntityModel(vehicle),
                                        kDrivingStyle, 5.0f, 1.0f);
        retaskCounter = 0;
        return;
    }
}

bool RandomBoatRobberyExecutor::alarmRaised() const {
    if (native::isPlayerUnavailable(native::getPlayerId())) return true;
    for (Ped guard : event.crew) {
        if (!native::doesEntityExist(guard) || native::isEntityIncapacitated(guard) || native::isPedHogtied(guard) ||
            native::isPedFleeing(guard) || distanceBetweenEntities(guard, PlayerPed) >= kGuardLostDistance) {
            return true;
        }
    }
    return false;
}

void RandomBoatRobberyExecutor::update() {
    retaskCounter = toInt32Clamped(static_cast<float>(retaskCounter) + 1.0f / native::getFrameTime());
    if (phase >= afloat && endedThisUpdate()) return;

    switch (phase) {
        case afloat:
            reorderOneEscort();
            if (!robberyTutorialShown && distanceBetweenEntities(PlayerPed, event.boat) < kFirstTutorialDistance) {
                robberyTutorialShown = true;
                showTutorial(keys::tutorial::robberies1, false);
            }
            if (native::isPedInVehicle(PlayerPed, event.boat, true)) {
                // Every guard, dead or alive, turns on the player.
                for (Ped guard : event.crew) {
                    if (native::doesEntityExist(guard)) native::taskCombatPed(guard, PlayerPed, 0, 16);
                }
                phase = boatTaken;
            }
            break;
        case boatTaken:
            if (alarmRaised()) {
                docksRegistry->disableAllDocks();
                phase = alarm;
                showTutorial(keys::tutorial::robberiesLoseLaw, false);
            }
            break;
        case alarm:
            if (!alarmRaised()) {
                docksRegistry->enableAllDocks();
                phase = boatTaken;
                showTutorial(keys::tutorial::robberies2, false);
            }
            break;
        default:
            break;
    }
}

}  // namespace tollmere
