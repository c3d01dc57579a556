#include "boat/PlayerBoatManager.h"

#include "boat/BoatRecordFile.h"
#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "data/TextFormat.h"
#include "docks/DocksRegistry.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"
#include "menu/BoatsCatalog.h"
#include "runtime/Globals.h"
#include "runtime/Log.h"
#include "runtime/Platform.h"
#include "tutorials/Tutorials.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace tollmere {

namespace {

constexpr const char* kPlayerBoatDecorator = "QY_RB_isPlayerBoat";
constexpr Hash kBoatBlipStyle = 0xB04092F8;
constexpr Hash kBoatBlipSprite = 0x03B87AAB;
constexpr float kHealthTolerance = 0.05f;
constexpr float kRepairThreshold = 0.85f;
constexpr float kHealthStatDivisor = 1500.0f;
constexpr std::int32_t kDefaultMaxHealth = 1000;
constexpr float kLeftDockDistance = 40.0f;
constexpr std::int32_t kSaveIntervalMs = 15000;

DictDataFile& record() { return *PlayerBoatData; }

const char* backupPath() {
    static const char* const path = dataFilePath(kPlayerBoatBackupName);
    return path;
}

}  // namespace

PlayerBoatManager::PlayerBoatManager() {
    if (native::isPedInAnyBoat(PlayerPed)) {
        const Vehicle vehicle = native::getVehiclePedIsIn(PlayerPed, false);
        if (native::decorGetInt(vehicle, kPlayerBoatDecorator) == 1) {
            boat = vehicle;
            createBoatBlip();
        }
    }
}

std::int32_t PlayerBoatManager::ownedModel() const {
    const BoatType* type = getOwnedBoatType();
    return type == nullptr ? 0 : type->model;
}

std::int32_t PlayerBoatManager::recordInt(CachedNumber& cache, const char* key) {
    const std::uint64_t change = record().changeCount();
    if (cache.file != &record() || cache.change != change) {
        cache.value = record().getInt(key);
        cache.file = &record();
        cache.change = change;
    }
    return cache.value;
}

const BoatType* PlayerBoatManager::getOwnedBoatType() const {
    return findBoatType(recordInt(cachedModel, keys::ownedBoatModel));
}

std::int32_t PlayerBoatManager::getTint() const {
    return hasOwnedBoat() ? recordInt(cachedTint, keys::tint) : -1;
}

std::int32_t PlayerBoatManager::getPropsetIndex() const {
    return hasOwnedBoat() ? recordInt(cachedPropset, keys::propsetIndex) : -1;
}

std::int32_t PlayerBoatManager::getLanternPropsetIndex() const {
    return hasOwnedBoat() ? recordInt(cachedLantern, keys::lanternPropsetIndex) : -1;
}

std::int32_t PlayerBoatManager::getDockId() const {
    return hasOwnedBoat() ? recordInt(cachedDockId, keys::dockId) : -1;
}

Vec3 PlayerBoatManager::getBoatPosition() const { return entityPosition(boat); }

float PlayerBoatManager::getBoatHealth() const {
    return native::isEntityDead(boat) ? 0.0f : native::getEntityHealthFraction(boat);
}

float PlayerBoatManager::getHealthStat() const {
    if (!hasOwnedBoat()) return 0.0f;
    return static_cast<float>(native::getEntityMaxHealth(boat, 0)) / kHealthStatDivisor;
}

float PlayerBoatManager::getUpgradedHealthStat() const {
    const BoatType* type = getOwnedBoatType();
    if (type == nullptr) return 0.0f;
    char key[64];
    return ConfigsData->getFloat(keys::boatKey(key, keys::upgradedHealthPrefix, type->model)) / kHealthStatDivisor;
}

bool PlayerBoatManager::needsRepair() const { return hasOwnedBoat() && getBoatHealth() < kRepairThreshold; }

void PlayerBoatManager::dropAnchor() {
    native::setBoatAnchor(boat, true);
    native::setBoatAnchorHold(boat, true, 0);
    anchored = true;
}

void PlayerBoatManager::releaseAnchor() {
    native::setBoatAnchor(boat, false);
    anchored = false;
}

std::string ownedBoatBlipName(std::string_view player, std::string_view boatText) {
    // Most languages cannot put a possessive after the name: their text marks where it goes.
    if (const std::size_t mark = boatText.find(kPlayerNameMark); mark != std::string_view::npos) {
        std::string name(boatText);
        name.replace(mark, kPlayerNameMark.size(), player);
        return name;
    }
    std::string name(player);
    name += "'s ";
    name += boatText;
    return name;
}

void PlayerBoatManager::createBoatBlip() {
    if (boat == 0 || native::getBlipFromEntity(boat) != 0) return;
    blip = createEntityBlip(boat, kBoatBlipStyle, kBoatBlipSprite);
    const std::string name = ownedBoatBlipName(native::getPlayerName(native::getPlayerId()),
                                               LangData->getString(keys::blipsBoat));
    setBlipName(blip, name.c_str());
}

void PlayerBoatManager::spawnBoat(const Vec3& position, float heading) {
    const BoatType* type = getOwnedBoatType();
    if (type == nullptr) return;
    if (boat == 0 || !native::doesEntityExist(boat)) {
        boat = spawnVehicle(static_cast<Hash>(type->model), position, heading);
        native::decorSetInt(boat, kPlayerBoatDecorator, 1);
        applySavedCustomisation();
        createBoatBlip();
    }
    native::setEntityCoords(boat, position, true, true, true, true);
    // A missing heading reads as -999 and leaves the boat as it lies.
    if (heading >= 0.0f) native::setEntityHeading(boat, heading);
}

void PlayerBoatManager::setBoatModel(std::int32_t model) {
    writeLog("setting boat model: " + formatInt(model));
    if (findBoatType(model) == nullptr) {
        record().setInt(keys::ownedBoatModel, 0);
        resetCustomisation();
        return;
    }
    writeLog("model found");
    record().setInt(keys::ownedBoatModel, model);
    resetCustomisation();
    if (boat != 0) {
        // The new model is created where the old boat floated.
        const Vec3 position = getBoatPosition();
        const float heading = native::getEntityHeading(boat);
        native::deleteVehicle(&boat);
        boat = 0;
        spawnBoat(position, heading);
    }
}

// The record alone: a boat of the old model is deleted next, and the new one is dressed from the
// record as it is made.
void PlayerBoatManager::resetCustomisation() {
    if (hasOwnedBoat()) {
        if (record().getInt(keys::tint) != 1) record().setInt(keys::tint, 1);
        record().setInt(keys::lanternPropsetIndex, -1);
        record().setInt(keys::propsetIndex, -1);
        record().setInt(keys::dockId, 0);
    }
    record().setInt(keys::maxHealth, kDefaultMaxHealth);
    record().setInt(keys::health, 1);
}

void PlayerBoatManager::applySavedCustomisation() {
    setTint(getTint());
    // An index the model does not offer (a hand-edited or stale record) would throw here in
    // start-up's spawn and again every frame; the boat is shown without that prop set instead,
    // and the stored index stays as it is until the player picks another.
    applyPropSet(keys::propsetIndex, getPropsetIndex(), false, true);
    applyPropSet(keys::lanternPropsetIndex, getLanternPropsetIndex(), true, true);
    // A claimed boat's record has no "max_health", and a hand-edited one may lack "health": read
    // as -999 they would give the entity a negative health, and the boat watch would then take it
    // for destroyed and clear the record. Missing values mean a boat in full health instead.
    const std::int32_t maxHealth = record().getInt(keys::maxHealth);
    native::setEntityMaxHealth(boat, maxHealth > 0 ? maxHealth : kDefaultMaxHealth);
    const float health = record().getFloat(keys::health);
    setHealth(health >= 0.0f ? health : 1.0f);
    cleanBoat();
}

void PlayerBoatManager::setTint(std::int32_t tint) {
    if (!hasOwnedBoat() || tint < 0) return;
    if (tint != record().getInt(keys::tint)) record().setInt(keys::tint, tint);
    if (boat != 0) native::setVehicleTint(boat, tint);
}

void PlayerBoatManager::setPropset(std::int32_t index) {
    applyPropSet(keys::propsetIndex, index, false, false);
}

void PlayerBoatManager::setLanternPropset(std::int32_t index) {
    applyPropSet(keys::lanternPropsetIndex, index, true, false);
}

void PlayerBoatManager::applyPropSet(const char* key, std::int32_t index, bool lantern, bool keepStoredIndex) {
    const BoatType* type = getOwnedBoatType();
    if (type == nullptr) return;
    const auto& names = lantern ? type->lanternPropSets : type->propSets;
    const bool outsideList = index >= 0 && static_cast<std::size_t>(index) >= names.size();
    if (keepStoredIndex && outsideList) {
        writeLog(std::string("saved ") + key + " " + formatInt(index) + " is not offered by boat model " +
                 formatInt(type->model) + ", showing the boat without it");
        index = -1;
    } else {
        record().setInt(key, index);
    }
    if (boat == 0) return;
    Hash hash = 0;
    if (index >= 0) {
        if (outsideList) throw std::out_of_range("invalid vector subscript");
        hash = hashOf(names[static_cast<std::size_t>(index)]);
    }
    if (lantern) {
        native::setVehicleLanternPropSet(boat, hash);
    } else {
        native::setVehiclePropSet(boat, hash);
    }
}

void PlayerBoatManager::setHealth(float ratio) {
    record().setFloat(keys::health, ratio);
    if (boat != 0) {
        const float health = static_cast<float>(native::getEntityMaxHealth(boat, 0)) * ratio;
        native::setEntityHealth(boat, toInt32Clamped(health), 0);
    }
}

void PlayerBoatManager::repairBoat() {
    setHealth(1.0f);
    native::setVehicleFixed(boat);
    cleanBoat();
}

void PlayerBoatManager::cleanBoat() {
    native::cleanVehicleStep1(boat, 0);
    native::cleanVehicleStep2(boat, 0);
    native::cleanVehicleStep3(boat, 0);
    native::cleanVehicleStep4(boat, 0);
}

void PlayerBoatManager::setDockId(std::int32_t id) {
    if (!hasOwnedBoat()) return;
    record().setInt(keys::dockId, id);
    if (boat != 0 && id > 0) dropAnchor();
}

void PlayerBoatManager::copyEntityStateToRecord() {
    if (!hasOwnedBoat() || boat == 0) return;
    const float health = getBoatHealth();
    if (std::fabs(record().getFloat(keys::health) - health) > kHealthTolerance)
        record().setFloat(keys::health, health);
    if (record().getInt(keys::dockId) <= 0 && native::isPedInVehicle(PlayerPed, boat, false)) {
        record().setVec3(keys::coords, getBoatPosition());
        record().setFloat(keys::heading, native::getEntityHeading(boat));
    }
}

void PlayerBoatManager::saveBoatState() {
    copyEntityStateToRecord();
    writeRecord();
}

void PlayerBoatManager::writeRecord() {
    if (record().save(false)) {
        // Kept for the player who copies a release's folder, record and all, over his own: the
        // copy names the boat he owns, or none once he has sold or lost it, so that a record
        // holding no boat beside a copy holding one means the record was overwritten, and never
        // offers back a boat he sold. Customising the same boat does not touch it.
        const std::int32_t model = ownedModel();
        if (model != savedModel) {
            savedModel = model;
            keepCopyOfRecord();
        }
        return;
    }
    // The log says why; the player must hear of it, or he learns only when his boat is gone. Once
    // a run: a disk that refuses one save will refuse the periodic ones as well.
    static bool noticeShown = false;
    if (noticeShown) return;
    noticeShown = true;
    showErrorNotice("Tollmere could not save your boat. Look at Tollmere/Log.log to see why.");
}

bool PlayerBoatManager::claimBoat(Vehicle vehicle) {
    const std::int32_t model = static_cast<std::int32_t>(native::getEntityModel(vehicle));
    const BoatType* type = findBoatType(model);
    if (type == nullptr) {
        writeLog("could not save boat, model is not recognized: " + formatInt(model));
        return false;
    }
    writeLog("saving boat from entity. model: " + formatInt(model));
    record().setInt(keys::ownedBoatModel, model);
    record().setInt(keys::tint, 0);
    // Moored nowhere until the docking that claims it moors it: this save keeps the copy of the
    // record, which would otherwise name the dock of the boat he had before, or no dock at all.
    record().setInt(keys::dockId, 0);

    // The index of the fitted prop set in the model's list; -1 when none is fitted or the game
    // fitted one the model's list does not have.
    auto detect = [](Hash fitted, const auto& names, const char* what) {
        std::int32_t index = -1;
        if (fitted == 0) return index;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (hashOf(names[i]) == fitted) {
                index = static_cast<std::int32_t>(i);
                break;
            }
        }
        writeLog(std::string(what) + formatInt(static_cast<std::int32_t>(fitted)) +
                 ", model index: " + formatInt(index));
        return index;
    };
    const Hash lantern = native::getPropSetHash(native::getVehicleLanternPropSet(vehicle));
    record().setInt(keys::lanternPropsetIndex,
                    detect(lantern, type->lanternPropSets, "detected lantern propset, model: "));
    const Hash propSet = native::getPropSetHash(native::getVehiclePropSet(vehicle));
    record().setInt(keys::propsetIndex, detect(propSet, type->propSets, "detected propset, model: "));

    // Its health and position go into the record with it. The game cannot be asked for a boat's
    // paint, and the record keeps no fittings its model does not offer (a robbery's cargo): it wears
    // the record's from now on, as it will at the next start.
    boat = vehicle;
    native::setVehicleTint(boat, 0);
    if (propSet != 0 && record().getInt(keys::propsetIndex) < 0) native::setVehiclePropSet(boat, 0);
    if (lantern != 0 && record().getInt(keys::lanternPropsetIndex) < 0) native::setVehicleLanternPropSet(boat, 0);
    copyEntityStateToRecord();
    writeRecord();
    createBoatBlip();
    return true;
}

void PlayerBoatManager::discardBoat() {
    // Both callers let go of the boat they hold: the one sold, the one sunk.
    removeBlip(&blip);
    if (boat != 0 && native::doesEntityExist(boat)) native::releaseEntity(&boat);
    boat = 0;
    setBoatModel(0);
}

void PlayerBoatManager::removeBoatEntity() {
    if (boat == 0) return;
    // Waits went by before this (the shop's fades): another script may have deleted it meanwhile.
    if (native::doesEntityExist(boat)) native::deleteVehicle(&boat);
    boat = 0;
}

void PlayerBoatManager::keepCopyOfRecord() {
    if (record().writeCopy(backupPath())) {
        writeLog(std::string("kept a copy of the boat record in ") + backupPath());
    } else {
        writeLog(std::string("could not keep a copy of the boat record in ") + backupPath());
    }
}

void PlayerBoatManager::keepCopyOfRecordAtStart() {
    savedModel = ownedModel();
    if (platform::removeUnfinishedReplacement(backupPath())) {
        writeLog(std::string("removed the unfinished save left beside ") + backupPath());
    }
    // A record holding no boat leaves the copy alone: it may be all that is left of a boat whose
    // record was overwritten, and it is the player's to put back before he owns another.
    const std::int32_t kept = boatModelInRecordFile(backupPath());
    if (savedModel == 0 && kept != 0) {
        writeLog("PlayerBoat.dat holds no boat but its copy holds boat model " + formatInt(kept) +
                 ": if it was not sold or lost, run tollmere-check to see how to put the copy back");
    }
    if (savedModel == 0 || kept == savedModel) return;
    keepCopyOfRecord();
}

void PlayerBoatManager::reloadRecord() {
    // The file read back names the model last written, which savedModel already holds.
    record().reload();
    if (!hasOwnedBoat()) return;
    // Run after the shop's waits, when another script may have deleted the boat.
    if (boat != 0 && !native::doesEntityExist(boat)) return placeAgain();
    applySavedCustomisation();
}

void PlayerBoatManager::checkBoat() {
    waitsChecked_ = waitsInsideOperations();
    if (boat == 0 || !hasOwnedBoat()) return;
    // The game answers 0 for every question about a handle that is gone, which read as health 0
    // and took a deleted boat for a destroyed one.
    if (!native::doesEntityExist(boat)) placeAgain();
}

void PlayerBoatManager::placeAgain() {
    writeLog("player's boat has vanished without being destroyed (another script or the game removed it), "
             "placing it again");
    // Its blip went with it.
    blip = 0;
    boat = 0;
    anchored = false;
    placeFromRecord();
}

void PlayerBoatManager::watchBoat() {
    if (!hasOwnedBoat()) return;
    checkBoatAfterWaits();
    if (boat == 0) return periodicSave();
    if (getBoatHealth() <= 0.0f) {
        lose();
        return periodicSave();
    }
    const std::int32_t dockId = getDockId();
    if (dockId > 0 && native::isPedInVehicle(PlayerPed, boat, false)) {
        releaseAnchor();
        // A dock id that names no dock (a hand-edited record) counts as having left it.
        const Dock* dock = docksRegistry->findDockById(dockId);
        if (dock == nullptr ||
            distanceBetweenPoints(getBoatPosition(), dock->mooringPoint().position) > kLeftDockDistance) {
            writeLog("player has left dock: " + formatInt(dockId));
            showTutorial(keys::tutorial::leftDocks, false);
            setDockId(0);
            saveBoatState();
            native::setScriptTimer(0);
        }
    }
    periodicSave();
}

void PlayerBoatManager::lose() {
    // The shop's preview in purchase mode was never his: it goes without a word, and the shop,
    // finding no boat, closes.
    if (boatsCatalog != nullptr && boatsCatalog->isOpen() && !boatsCatalog->isCustomizeMode()) {
        writeLog("the boat shown in the shop has been destroyed");
        discardBoat();
        return;
    }
    writeLog("player's boat has been destroyed");
    discardBoat();
    saveBoatState();
    native::setScriptTimer(0);
    showTutorial(keys::tutorial::boatDestroyed, true);
}

void PlayerBoatManager::periodicSave() {
    if (!hasOwnedBoat()) return;
    // Held back while the shop is open, so that previews never reach the disk.
    const bool shopOpen = boatsCatalog != nullptr && boatsCatalog->isOpen();
    if (!shopOpen && native::getScriptTimer() > kSaveIntervalMs) {
        saveBoatState();
        native::setScriptTimer(0);
    }
}

void BoatSpawner::spawnSavedBoat() {
    PlayerBoatManager& boats = *playerBoatManager;
    if (!boats.hasOwnedBoat()) {
        // Say why a record that names something is taken for no boat at all.
        const std::int32_t model = PlayerBoatData->getInt(keys::ownedBoatModel);
        if (model != 0) {
            writeLog("owned_boat_model " + formatInt(model) +
                     " in PlayerBoat.dat is not a known boat model, so no boat is owned; set it to 0 or to a "
                     "model of the shop");
        }
        return;
    }
    boats.placeFromRecord();
}

void PlayerBoatManager::placeFromRecord() {
    if (!hasOwnedBoat()) return;
    const std::int32_t dockId = getDockId();
    Vec3 position;
    float heading = 0.0f;
    const Dock* dock = dockId > 0 ? docksRegistry->findDockById(dockId) : nullptr;
    if (dock != nullptr) {
        writeLog("spawning boat at dock: " + formatInt(dockId));
        position = dock->mooringPoint().position;
        heading = dock->mooringPoint().heading;
    } else {
        if (dockId > 0) {
            // A dock id that names no dock: fall back on where the boat was last saved, if anywhere.
            writeLog("dock id " + formatInt(dockId) +
                     " in PlayerBoat.dat is not a known dock, looking for the boat's saved coords instead");
        }
        position = PlayerBoatData->getVec3(keys::coords);
        if (position == Vec3{}) {
            writeLog("player's boat is not docked and has no saved coords, not spawning it.");
            return;
        }
        writeLog("spawning boat at coords: " + formatVec3(position));
        heading = PlayerBoatData->getFloat(keys::heading);
    }
    spawnBoat(position, heading);
    dropAnchor();
}

void handBack(Entity entity) {
    if (playerBoatManager != nullptr && entity != 0 && entity == playerBoatManager->getBoatEntity()) return;
    if (native::doesEntityExist(entity)) native::releaseEntity(&entity);
}

}  // namespace tollmere
