#include "host/BoatTypes.h"

#include <algorithm>

namespace tollmere {

namespace {

constexpr const char* kRowboatPropSets[] = {"pg_veh_rowboat_01", "pg_veh_rowboat_02"};
constexpr const char* kRowboatLanternPropSets[] = {
    "pg_veh_rowboat_lightupgrade_1", "pg_veh_rowboat_lightupgrade_2", "pg_veh_rowboat_lightupgrade_3"};
constexpr const char* kSwampRowboatPropSets[] = {"pg_veh_rowboatswamp_01", "pg_veh_rowboatswamp_02"};

// Kept in ascending model order: the catalogue lists the types in this order and the look-up
// searches it by halves.
constexpr std::array<BoatType, 5> kBoatTypes = {{
    {kRowboatModel, 7, kRowboatPropSets, kRowboatLanternPropSets, 4},
    {modelId(0xD84D4530u), 1, {}, {}, 5},
    {modelId(0xE84E6B74u), 6, kSwampRowboatPropSets, {}, 4},
    {modelId(0xF097BC6Cu), 6, kSwampRowboatPropSets, {}, 4},
    {modelId(0x578D6513u), 5, {}, {}, 5},
}};

static_assert(std::adjacent_find(kBoatTypes.begin(), kBoatTypes.end(),
                                 [](const BoatType& a, const BoatType& b) { return a.model >= b.model; }) ==
                  kBoatTypes.end(),
              "boat types must stay in strictly ascending model order");

}  // namespace

const BoatType* findBoatType(std::int32_t model) {
    const auto it = std::lower_bound(kBoatTypes.begin(), kBoatTypes.end(), model,
                                     [](const BoatType& type, std::int32_t key) { return type.model < key; });
    return it != kBoatTypes.end() && it->model == model ? &*it : nullptr;
}

const std::vector<const BoatType*>& allBoatTypes() {
    static const std::vector<const BoatType*> types = [] {
        std::vector<const BoatType*> list;
        list.reserve(kBoatTypes.size());
        for (const BoatType& type : kBoatTypes) {
            list.push_back(&type);
        }
        return list;
    }();
    return types;
}

const std::array<Vec3, 44> cargoSpawnPoints = {{
    {268.615f, -703.371f, 40.5784f}, {69.0652f, -715.408f, 40.5784f},  {-168.858f, -694.868f, 40.5784f},
    {-500.309f, -690.26f, 40.5784f}, {-690.674f, -675.138f, 40.5784f}, {471.716f, -809.208f, 40.5784f},
    {600.165f, -916.759f, 40.5784f}, {519.338f, -1191.31f, 40.5784f},  {567.535f, -1323.5f, 40.5784f},
    {608.414f, -1455.71f, 40.5784f}, {673.923f, -1561.05f, 40.5784f},  {806.037f, -1663.63f, 40.5784f},
    {755.267f, -1825.31f, 40.5784f}, {734.13f, -1922.71f, 40.5784f},   {808.398f, -1999.21f, 40.5784f},
    {910.054f, -2174.38f, 40.5784f}, {1041.06f, -2308.08f, 40.5784f},  {1866.24f, -2099.28f, 40.5784f},
    {2100.38f, -2020.93f, 40.5784f}, {2168.46f, -1787.82f, 40.5784f},  {2230.31f, -1692.46f, 40.5784f},
    {2361.04f, -1615.02f, 41.5705f}, {2938.21f, -1037.09f, 40.5784f},  {3023.21f, -1194.56f, 40.5784f},
    {2937.13f, -1529.55f, 40.5784f}, {2577.38f, -1700.77f, 40.5784f},  {1933.1f, -1079.6f, 40.5784f},
    {1734.14f, -1231.41f, 40.5166f}, {1556.01f, -958.804f, 40.5784f},  {1611.04f, -722.874f, 40.5117f},
    {1964.57f, -768.47f, 40.5423f},  {1931.66f, -512.612f, 40.5884f},  {2209.52f, -299.238f, 40.5784f},
    {2331.07f, -135.844f, 40.5276f}, {2827.54f, -287.12f, 40.5784f},   {2789.16f, -483.564f, 40.5784f},
    {2858.21f, -777.696f, 40.5784f}, {2912.52f, -17.7063f, 40.5812f},  {3076.18f, 584.679f, 40.5794f},
    {3060.82f, 464.101f, 40.4284f},  {2976.99f, 305.088f, 40.5778f},   {2858.41f, 142.42f, 40.5736f},
    {2951.23f, 1200.03f, 40.5784f},  {2931.79f, 977.688f, 41.101f},
}};

const std::array<const char*, 4> rowboatSupplyPropSets = {
    "pg_mp_veh_rowboat_supplies01", "pg_mp_veh_rowboat_supplies02", "pg_mp_veh_rowboat_supplies03",
    "pg_mp_veh_rowboat_supplies04"};

}  // namespace tollmere
