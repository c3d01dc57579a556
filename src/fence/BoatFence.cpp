#include "fence/BoatFence.h"

#include "boat/PlayerBoatManager.h"
#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "data/Settings.h"
#include "data/TextFormat.h"
#include "docks/DocksRegistry.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"
#include "runtime/Globals.h"
#include "runtime/Log.h"
#include "tutorials/Tutorials.h"

#include <algorithm>
#include <limits>
#include <string>

namespace tollmere {

namespace {

constexpr float kFenceSearchRange = 220.0f;
constexpr float kSellRange = 10.0f;
constexpr float kMaxSellingSpeed = 1.5f;
constexpr float kPoorCondition = 0.5f;

bool slowDownTutorialShown = false;

float configFloat(const char* key) { return ConfigsData->getFloat(key); }

}  // namespace

std::int32_t roundToMultiple(float value, std::int32_t multiple) {
    // Half the multiple in whole numbers on purpose: 5 / 2 is 2, so a remainder of 3 rounds up.
    // NOLINTNEXTLINE(bugprone-integer-division)
    const float steps = (static_cast<float>(multiple / 2) + value) / static_cast<float>(multiple);
    const std::int64_t rounded = static_cast<std::int64_t>(multiple) * toInt32Clamped(steps);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(rounded, std::numeric_limits<std::int32_t>::min(),
                                                               std::numeric_limits<std::int32_t>::max()));
}

BoatFence::BoatFence()
    : sellPrompt_(LangData->getString(keys::promptsSellBoat), hashOf("INPUT_CONTEXT_B"),
                  PromptMode::standardHoldOnce) {
    sellPrompt_.hide();
}

std::int32_t BoatFence::computeBoatValue(Vehicle vehicle) const {
    // Every step is single precision and truncates toward zero, as the prices always have been
    // worked out; a value past the 32-bit range is held to it rather than left undefined.
    const std::int32_t stored = native::decorGetInt(vehicle, "QY_RB_boatValue");
    const float health = native::getEntityHealthFraction(vehicle);
    std::int32_t base = stored;
    if (stored <= 0) {
        const std::string priceKey =
            keys::boatKey(keys::feesBoatPrefix, static_cast<std::int32_t>(native::getEntityModel(vehicle)));
        std::int32_t price = toInt32Clamped(configFloat(priceKey.c_str()));
        const float lantern =
            native::getVehicleLanternPropSet(vehicle) != 0 ? configFloat(keys::feesLanternPropset) : 0.0f;
        price = toInt32Clamped(static_cast<float>(price) + lantern);
        const float propSet = native::getVehiclePropSet(vehicle) != 0 ? configFloat(keys::feesPropset) : 0.0f;
        const std::int32_t withExtras = toInt32Clamped(static_cast<float>(price) + propSet);
        base = toInt32Clamped(configFloat(keys::feesSellPriceMultiplier) * static_cast<float>(withExtras));
    }
    const float value = getSettingFloat(keys::rewardMultiplier) *
                        static_cast<float>(toInt32Clamped(static_cast<float>(base) * health));
    // A boat without a price in Configs.dat reads the missing price as -999: worth nothing, but
    // never a charge.
    return std::max(roundToMultiple(value, 5), 0);
}

void BoatFence::update() {
    const Dock* dock = docksRegistry->findNearestDock(playerPosition(), kFenceSearchRange);
    if (dock == nullptr || dock->isDisabled() || !native::isPedInAnyBoat(PlayerPed)) return sellPrompt_.hide();
    const Vehicle vehicle = native::getVehiclePedIsIn(PlayerPed, false);
    if (native::decorGetInt(vehicle, "QY_RB_isBoatSold") != 0) return sellPrompt_.hide();

    if (!fenceTutorialShown_) {
        fenceTutorialShown_ = true;
        showTutorial(native::getEntityHealthFraction(vehicle) >= kPoorCondition
                         ? keys::tutorial::boatFence
                         : keys::tutorial::boatFencePoorCondition,
                     false);
    }
    if (distanceBetweenPoints(playerPosition(), dock->pierPoint().position) >= kSellRange) return sellPrompt_.hide();

    sellPrompt_.show();
    // The prompt stays in sight while the boat is too fast, greyed out.
    if (native::getEntitySpeed(vehicle) > kMaxSellingSpeed) {
        sellPrompt_.setEnabled(false);
        if (!slowDownTutorialShown) {
            slowDownTutorialShown = true;
            showTutorial(keys::tutorial::boatFenceSlowDown, false);
        }
    } else {
        sellPrompt_.setEnabled(true);
    }
    if (!sellPrompt_.poll()) return;
    sell(vehicle, *dock);
    sellPrompt_.hide();
}

void BoatFence::sell(Vehicle vehicle, const Dock& dock) {
    const std::int32_t value = computeBoatValue(vehicle);
    changePlayerMoney(static_cast<float>(value), true);
    writeLog("boat sold at fence. dock id: " + formatInt(dock.id()) + " dock name: " + dock.name() +
             " boat value: " + formatInt(value));
    if (vehicle == playerBoatManager->getBoatEntity()) {
        writeLog("player has sold his owned boat");
        playerBoatManager->discardBoat();
        playerBoatManager->saveBoatState();
    }

    // The boat stays where it floats, anchored and marked sold; the game may clean it up.
    native::setVehicleRetired(vehicle, true);
    native::decorSetInt(vehicle, "QY_RB_isBoatSold", 1);
    native::setBoatAnchor(vehicle, true);
    native::setBoatAnchorHold(vehicle, true, 0);
    Vehicle released = vehicle;
    native::setVehicleAsNoLongerNeeded(&released);

    std::int32_t sequence = 0;
    native::openSequenceTask(&sequence);
    native::taskLeaveVehicle(0, vehicle, 0, 0);
    native::closeSequenceTask(sequence);
    native::taskPerformSequence(PlayerPed, sequence);
}

}  // namespace tollmere
