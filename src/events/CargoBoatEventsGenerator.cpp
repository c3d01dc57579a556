#include "events/CargoBoatEventsGenerator.h"

#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "data/Settings.h"
#include "host/BoatTypes.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"
#include "runtime/Log.h"

#include <algorithm>
#include <array>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>

namespace tollmere {

namespace {

constexpr std::int32_t kAttemptIntervalMs = 14400;
constexpr float kNearestSpawn = 150.0f;
constexpr float kFarthestSpawn = 500.0f;
constexpr std::int32_t kCrewSize = 5;

// A drawn index is the game's to get right; a wrong one must not read past the list.
template <typename T>
const T& pick(std::span<const T> list, std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) throw std::out_of_range("invalid vector subscript");
    return list[static_cast<std::size_t>(index)];
}

}  // namespace

CargoBoatEventsGenerator::CargoBoatEventsGenerator(bool enabled) : enabled_(enabled) {
    // The first attempt comes more than 14.4 s after start-up.
    if (enabled_) lastAttemptTime_ = native::getGameTimer();
}

void CargoBoatEventsGenerator::subscribe(EventsSubscriber<CargoBoatEvent>* subscriber) {
    subscribers_.insert(subscriber);
}

Vec3 CargoBoatEventsGenerator::pickSpawnPoint() {
    std::array<const Vec3*, cargoSpawnPoints.size()> retained{};
    std::int32_t count = 0;
    const Vec3 player = playerPosition();
    for (const Vec3& point : cargoSpawnPoints) {
        const float distance = distanceBetweenPoints(player, point);
        if (distance > kNearestSpawn && distance < kFarthestSpawn) retained[static_cast<std::size_t>(count++)] = &point;
    }
    if (count == 0) return Vec3{};
    return *pick(std::span<const Vec3* const>(retained.data(), static_cast<std::size_t>(count)), randomInt(0, count));
}

bool CargoBoatEventsGenerator::rewardsUsable() {
    // Missing keys read as -999 and made rewards of millions, or a draw with its bounds reversed.
    const std::int32_t maxReward = ConfigsData->getInt(keys::robberiesMaxReward);
    const std::int32_t minReward = ConfigsData->getInt(keys::robberiesMinReward);
    const float bonus = ConfigsData->getFloat(keys::robberiesGuardBonus);
    const char* reason = nullptr;
    if (maxReward < 0 || minReward < 0 || bonus < 0.0f) {
        reason = "boat_robberies.min_reward, boat_robberies.max_reward or boat_robberies.guard_bonus is missing "
                 "or below 0";
    } else if (minReward > maxReward) {
        reason = "boat_robberies.min_reward is above boat_robberies.max_reward";
    }
    if (reason == nullptr) return true;
    writeLog(std::string("no river robbery in this run: in Configs.dat ") + reason);
    return false;
}

void CargoBoatEventsGenerator::generate() {
    if (!enabled_) return;
    if (!rewardsChecked_) {
        rewardsChecked_ = true;
        if (!rewardsUsable()) {
            disable();
            return;
        }
    }
    const std::int32_t now = native::getGameTimer();
    // The pick, with its draw, happens on every call, before the time is tested.
    const Vec3 candidate = pickSpawnPoint();
    if (static_cast<std::int64_t>(now) <= static_cast<std::int64_t>(lastAttemptTime_) + kAttemptIntervalMs ||
        candidate == Vec3{}) {
        return;
    }
    lastAttemptTime_ = now;

    const float frequency =
        std::min(std::max(getSettingFloat(keys::robberyFrequency), keys::robberyFrequencyMin),
                 keys::robberyFrequencyMax);
    if (native::getRandomFloatInRange(0.0f, 1.0f) < 1.0f - frequency) return;

    const BoatType& type = *findBoatType(kRowboatModel);
    CargoBoatEvent event;
    event.id = nextEventId_;
    event.position = candidate;
    event.crewSize = kCrewSize;
    event.model = type.model;
    event.tint = randomInt(0, type.tintCount);
    event.lanternPropSet = hashOf(pick(type.lanternPropSets, randomInt(0, static_cast<std::int32_t>(type.lanternPropSets.size()))));
    event.cargoPropSet = hashOf(pick(std::span<const char* const>(rowboatSupplyPropSets), randomInt(0, 4)));

    const std::int32_t maxReward = ConfigsData->getInt(keys::robberiesMaxReward);
    const std::int32_t minReward = ConfigsData->getInt(keys::robberiesMinReward);
    const std::int32_t base =
        randomInt(minReward, maxReward == std::numeric_limits<std::int32_t>::max() ? maxReward : maxReward + 1);
    event.reward = toInt32Clamped((ConfigsData->getFloat(keys::robberiesGuardBonus) * 5.0f + 1.0f) *
                                  static_cast<float>(base));
    ++nextEventId_;

    for (EventsSubscriber<CargoBoatEvent>* subscriber : subscribers_) subscriber->onEvent(event);
}

}  // namespace tollmere
