#pragma once
// Thin, fixed sequences of natives that every feature shares, so that all of them make the same
// choices: height counts in distances, the same entity-position flags, the same model time-out.

#include "host/Types.h"

#include <cstdint>

namespace tollmere {

inline constexpr int kModelLoadTimeoutMs = 3000;

Blip createEntityBlip(Entity entity, Hash style, Hash sprite);
Blip createPointBlip(const Vec3& point, Hash style, Hash sprite);
// Deletes the blip if it still exists and zeroes the handle; a handle whose blip is gone is left
// as it is.
void removeBlip(Blip* blip);
void setBlipName(Blip blip, const char* text);
// Hands an entity the plug-in made back to the game, unless it is gone already (another script
// deleted it): the game refuses a handle that is gone.
void handBack(Entity entity);

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

// Dollars times 100 as whole cents, truncated toward zero and held to the 32-bit range.
inline std::int32_t dollarsToCents(float dollars) { return toInt32Clamped(dollars * 100.0f); }

}  // namespace tollmere
