// The constant tables of boat models, cargo spawn points and supply prop sets.

#include "host/BoatTypes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tollmere {
namespace {

// Catches a look-up that hands back a neighbour (a lower bound taken as a hit) or a default record
// for an unknown model.
TEST(BoatTypes, UnknownModelsAndZeroFindNothing) {
    EXPECT_EQ(findBoatType(0), nullptr);
    EXPECT_EQ(findBoatType(modelId(0x12345678u)), nullptr);
    EXPECT_EQ(findBoatType(kRowboatModel - 1), nullptr);
    EXPECT_EQ(findBoatType(modelId(0x578D6513u) + 1), nullptr);

    const BoatType* rowboat = findBoatType(kRowboatModel);
    ASSERT_NE(rowboat, nullptr);
    EXPECT_EQ(rowboat->model, kRowboatModel);
    EXPECT_EQ(rowboat->tintCount, 7);
}

// Catches models ordered as unsigned numbers (0x578D6513 would come first) and a list rebuilt, or
// holding copies, on later calls.
TEST(BoatTypes, AllTypesComeInSignedModelOrderAndAreTheSameListEveryTime) {
    const auto& types = allBoatTypes();
    ASSERT_EQ(types.size(), 5u);
    EXPECT_EQ(types.front()->model, kRowboatModel);
    EXPECT_EQ(types.back()->model, modelId(0x578D6513u));
    for (std::size_t i = 1; i < types.size(); ++i) {
        EXPECT_LT(types[i - 1]->model, types[i]->model);
    }

    EXPECT_EQ(&allBoatTypes(), &types);
    for (const BoatType* type : types) {
        EXPECT_EQ(findBoatType(type->model), type);
    }
}

// Catches prop-set lists swapped between kinds or between models.
TEST(BoatTypes, OnlyTheRowboatHasLanternsAndTheFastestTwoHaveNoPropSets) {
    const auto& types = allBoatTypes();
    EXPECT_EQ(types[0]->propSets.size(), 2u);
    EXPECT_STREQ(types[0]->propSets[1], "pg_veh_rowboat_02");
    ASSERT_EQ(types[0]->lanternPropSets.size(), 3u);
    EXPECT_STREQ(types[0]->lanternPropSets[2], "pg_veh_rowboat_lightupgrade_3");
    for (const BoatType* type : {findBoatType(modelId(0x578D6513u)), findBoatType(modelId(0xD84D4530u))}) {
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->speedRating, 5);
        EXPECT_TRUE(type->propSets.empty()) << type->model;
        EXPECT_TRUE(type->lanternPropSets.empty()) << type->model;
    }
    EXPECT_STREQ(findBoatType(modelId(0xF097BC6Cu))->propSets[0], "pg_veh_rowboatswamp_01");
    EXPECT_TRUE(findBoatType(modelId(0xE84E6B74u))->lanternPropSets.empty());
}

// Catches a point dropped, duplicated or moved, which shifts every index the cargo events draw.
TEST(BoatTypes, CargoTablesKeepTheirOrder) {
    EXPECT_EQ(cargoSpawnPoints.front(), (Vec3{268.615f, -703.371f, 40.5784f}));
    EXPECT_EQ(cargoSpawnPoints[21], (Vec3{2361.04f, -1615.02f, 41.5705f}));
    EXPECT_EQ(cargoSpawnPoints.back(), (Vec3{2931.79f, 977.688f, 41.101f}));
    EXPECT_STREQ(rowboatSupplyPropSets.front(), "pg_mp_veh_rowboat_supplies01");
    EXPECT_STREQ(rowboatSupplyPropSets.back(), "pg_mp_veh_rowboat_supplies04");
}

}  // namespace
}  // namespace tollmere
