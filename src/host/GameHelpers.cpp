#include "host/GameHelpers.h"

#include "host/Natives.h"
#include "host/Prompt.h"
#include "host/ScreenText.h"
#include "host/ScriptHost.h"
#include "runtime/Globals.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace tollmere {

Blip createEntityBlip(Entity entity, Hash style, Hash sprite) {
    const Blip blip = native::createBlipForEntity(style, entity);
    if (sprite != 0) native::setBlipSprite(blip, sprite, 0);
    return blip;
}

Blip createPointBlip(const Vec3& point, Hash style, Hash sprite) {
    const Blip blip = native::createBlipForPoint(style, point);
    if (sprite != 0) native::setBlipSprite(blip, sprite, 0);
    return blip;
}

void removeBlip(Blip* blip) {
    if (blip == nullptr) return;
    if (native::doesBlipExist(*blip)) {
        native::deleteBlip(blip);
        *blip = 0;
    }
}

void setBlipName(Blip blip, const char* text) {
    native::setBlipNameText(blip, native::createVarString(10, "LITERAL_STRING", text));
}

Vec3 entityPosition(Entity entity) { return native::getEntityCoords(entity, true, false); }

Vec3 playerPosition() { return entityPosition(PlayerPed); }

float distanceBetweenEntities(Entity a, Entity b) {
    // The second entity's position is fetched first, as the game has always been asked.
    const Vec3 to = entityPosition(b);
    const Vec3 from = entityPosition(a);
    return distanceBetweenPoints(from, to);
}

float distanceBetweenPoints(const Vec3& p, const Vec3& q) { return native::getDistanceBetweenCoords(p, q, true); }

float distanceToEntity(const Vec3& point, Entity entity) {
    return distanceBetweenPoints(entityPosition(entity), point);
}

Vec3 entityForward(Entity entity) { return native::getEntityForwardVector(entity); }

Vec3 normalise(const Vec3& v) {
    const double length = std::sqrt(static_cast<double>(v.x) * v.x + static_cast<double>(v.y) * v.y +
                                    static_cast<double>(v.z) * v.z);
    if (length == 0.0) return Vec3{};
    const double scale = 1.0 / length;
    return Vec3{static_cast<float>(v.x * scale), static_cast<float>(v.y * scale), static_cast<float>(v.z * scale)};
}

Hash hashOf(const char* name) { return native::hashOf(name); }

std::int32_t randomInt(std::int32_t min, std::int32_t max) { return native::getRandomIntInRange(min, max); }

namespace {
std::uint64_t operationWaits = 0;
}

std::uint64_t waitsInsideOperations() { return operationWaits; }

void waitInsideOperation(unsigned long milliseconds) {
    ++operationWaits;
    Prompt::withholdAll();
    scriptWait(milliseconds);
    // Frames have passed: a player who died meanwhile may be back as a new character, and the rest
    // of the operation must not reach for the one that is gone.
    PlayerPed = native::getPlayerPed();
}

bool gameHoldsThePlayer() {
    return native::isPlayerUnavailable(native::getPlayerId()) || native::isScriptedActivityActive();
}

bool loadModel(Hash model, int timeoutMs) {
    int remaining = timeoutMs;
    while (!native::hasModelLoaded(model) && remaining >= 1) {
        native::requestModel(model, false);
        waitInsideOperation(10);
        remaining -= 10;
    }
    return native::hasModelLoaded(model);
}

Vehicle spawnVehicle(Hash model, const Vec3& point, float heading) {
    if (!loadModel(model, kModelLoadTimeoutMs)) return 0;
    const Vehicle vehicle = native::createVehicle(model, point, heading, true, true, false, false);
    native::placeVehicleOnGround(vehicle, 0);
    return vehicle;
}

Vehicle spawnVehicle(const char* modelName, const Vec3& point, float heading) {
    return spawnVehicle(hashOf(modelName), point, heading);
}

std::int32_t toInt32Clamped(float value) {
    if (std::isnan(value)) return 0;
    // 2^31 is exact in a float; anything at or past it does not fit.
    if (value >= 2147483648.0f) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0f) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::int32_t dollarsToCents(float dollars) {
    if (std::isnan(dollars)) return 0;
    // In double precision, where every float is exact and so is its product by 100 up to the range.
    const double cents = std::round(static_cast<double>(dollars) * 100.0);
    if (cents >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (cents <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(cents);
}

std::string formatCents(std::int32_t cents) {
    const std::int64_t amount = cents;
    const std::int64_t magnitude = amount < 0 ? -amount : amount;
    char text[32];
    if (magnitude % 100 == 0) {
        std::snprintf(text, sizeof text, "%s$%lld", amount < 0 ? "-" : "", static_cast<long long>(magnitude / 100));
    } else {
        std::snprintf(text, sizeof text, "%s$%lld.%02lld", amount < 0 ? "-" : "",
                      static_cast<long long>(magnitude / 100), static_cast<long long>(magnitude % 100));
    }
    return text;
}

void changePlayerMoney(float dollars, bool show) {
    if (dollars == 0.0f || std::isnan(dollars)) return;
    const std::int32_t cents = dollarsToCents(dollars);
    if (dollars > 0.0f) {
        native::addPlayerCash(cents, hashOf("ADD_REASON_DEFAULT"));
    } else {
        native::removePlayerCash(cents);
    }
    if (show) showMoneyChange(cents, 1000);
}

}  // namespace tollmere
