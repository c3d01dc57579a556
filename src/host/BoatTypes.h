#pragma once
// The boat models the plug-in knows, the river points where cargo boats may start and the supply
// prop sets that dress a cargo rowboat. All three are constants: they are in place before the
// script starts and nothing changes them afterwards, so their contents are safe to read from any
// frame without allocating.

#include "host/Types.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tollmere {

// Model hashes are compared as signed 32-bit numbers, the way data files write them.
constexpr std::int32_t modelId(std::uint32_t hash) {
    return static_cast<std::int32_t>(hash);
}

// The plain rowboat: the model the catalogue previews first and the cargo boats sail in.
inline constexpr std::int32_t kRowboatModel = modelId(0x9FD6BA58u);

// Only ever made in the fixed table of BoatTypes.cpp, which gives every field.
struct BoatType {
    std::int32_t model{};
    std::int32_t tintCount{};  // tints 0 to tintCount - 1
    std::span<const char* const> propSets;
    std::span<const char* const> lanternPropSets;
    std::int32_t speedRating{};  // 1 to 5 stars
};

// The type of exactly that model, or nullptr when the plug-in does not know it (0 included).
// Never allocates.
const BoatType* findBoatType(std::int32_t model);

// Every known type, ascending by model as a signed number. The list is built on the first call;
// later calls return the same list, whose entries are the records findBoatType returns.
const std::vector<const BoatType*>& allBoatTypes();

extern const std::array<Vec3, 44> cargoSpawnPoints;
extern const std::array<const char*, 4> rowboatSupplyPropSets;

}  // namespace tollmere
