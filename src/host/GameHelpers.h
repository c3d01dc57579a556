#pragma once
// Thin, fixed sequences of natives that every feature shares, so that all of them make the same
// choices: height counts in distances, the same entity-position flags, the same model time-out.

#include "host/Types.h"

#include <cstdint>
#include <string>

namespace tollmere {

inline constexpr int kModelLoadTimeoutMs = 3000;

Blip createEntityBlip(Entity entity, Hash style, Hash sprite);
Blip createPointBlip(const Vec3& point, Hash style, Hash sprite);
// Deletes the blip if it still exists and zeroes the handle; a handle whose blip is gone is left
// as it is.
void removeBlip(Blip* blip);
void setBlipName(Blip blip, const char* text);

Vec3 entityPosition(Entity entity);
Vec3 playerPosition();
float distanceBetweenEntities(Entity a, Entity b);
float distanceBetweenPoints(const Vec3& p, const Vec3& q);
float distanceToEntity(const Vec3& point, Entity entity);
Vec3 entityForward(Entity entity);
Vec3 normalise(const Vec3& v);

Hash hashOf(const char* name);
// The game's generator; the upper bound is exclusive, so pass max + 1 to include max.
std::int32_t randomInt(std::int32_t min, std::int32_t max);

// Lets the game run for a while in the middle of an operation. Every wait that is not the frame
// loop's own goes through here, so that no prompt can complete while nothing polls it (see
// Prompt::withholdAll).
void waitInsideOperation(unsigned long milliseconds);
// How many such waits there have been: other scripts ran in each, and may have deleted what the
// plug-in holds.
std::uint64_t waitsInsideOperations();

// Whether the game holds the player in a scene of its own: he is unavailable, or one of its
// activities runs. The second question is only asked when the first says no.
bool gameHoldsThePlayer();

// Asks for the model every 10 ms until it is resident or the time-out is spent. Yields to the host.
bool loadModel(Hash model, int timeoutMs);
// 0 when the model did not load within kModelLoadTimeoutMs. Yields to the host while it loads.
Vehicle spawnVehicle(Hash model, const Vec3& point, float heading);
Vehicle spawnVehicle(const char* modelName, const Vec3& point, float heading);

// Credits (positive) or charges (negative) the player in dollars, optionally with a money toast.
void changePlayerMoney(float dollars, bool show);

// Truncates toward zero into the 32-bit range; converting a float past it would be undefined, so
// it is held to the nearest end (NaN gives 0).
std::int32_t toInt32Clamped(float value);

// The one place a price in dollars becomes money: whole cents, rounded to the nearest cent and held
// to the 32-bit range (NaN gives 0). Whatever shows a price and whatever charges it go through here,
// so the player is charged the cents he was shown; truncating took a cent off about one two-decimal
// price in twenty (2.10 is 209.99998 cents as a float).
std::int32_t dollarsToCents(float dollars);
// A price as the plug-in shows it: "$5" for whole dollars, else with two digits of cents ("$2.10").
std::string formatCents(std::int32_t cents);

}  // namespace tollmere
