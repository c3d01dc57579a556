// The shared game helpers: blips, positions, models and money.

#include "unit/host/DirectGame.h"
#include "host/GameHelpers.h"

#include <limits>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;

struct NormaliseCase {
    const char* name;
    Vec3 input;
    Vec3 expected;
    friend std::ostream& operator<<(std::ostream& out, const NormaliseCase& c) { return out << c.name; }
};

class NormaliseTest : public ::testing::TestWithParam<NormaliseCase> {};

// Catches a division by a zero length and a length taken without the height.
TEST_P(NormaliseTest, GivesAUnitVectorOrZero) {
    const Vec3 result = normalise(GetParam().input);
    EXPECT_FLOAT_EQ(result.x, GetParam().expected.x);
    EXPECT_FLOAT_EQ(result.y, GetParam().expected.y);
    EXPECT_FLOAT_EQ(result.z, GetParam().expected.z);
}

INSTANTIATE_TEST_SUITE_P(, NormaliseTest,
                         ::testing::Values(NormaliseCase{"zero", {0, 0, 0}, {0, 0, 0}},
                                           NormaliseCase{"flat", {3, 0, 4}, {0.6f, 0, 0.8f}},
                                           NormaliseCase{"upward", {0, 0, -2}, {0, 0, -1}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Catches a removal that deletes twice or forgets a handle whose blip is already gone.
TEST_F(DirectGameTest, RemoveBlipDeletesAnExistingBlipAndLeavesAStaleHandleAlone) {
    Blip blip = createPointBlip(Vec3{1, 2, 3}, 0xB04092F8, 0x778FEFC8);
    ASSERT_NE(blip, 0u);
    EXPECT_EQ(world.blips.at(blip).sprite, 0x778FEFC8u);
    EXPECT_EQ(world.blips.at(blip).point, (sim::Vec3{1, 2, 3}));
    setBlipName(blip, "Fence");
    EXPECT_EQ(world.blips.at(blip).name, "Fence");

    removeBlip(&blip);
    EXPECT_EQ(blip, 0u);
    EXPECT_TRUE(world.blips.empty());

    // Stale as the game makes one: the blip went with the boat it was on.
    const Vehicle boat = world.createVehicle(0x9FD6BA58u, sim::Vec3{}, 0.0f);
    const Blip gone = createEntityBlip(boat, 0xB04092F8, 0x03B87AAB);
    world.deleteEntity(boat);
    Blip stale = gone;
    const auto deletes = callCount("deleteBlip");
    removeBlip(&stale);
    removeBlip(nullptr);
    EXPECT_EQ(stale, gone);
    EXPECT_EQ(callCount("deleteBlip"), deletes);
}

// Catches a sprite call for blips that have none.
TEST_F(DirectGameTest, AnEntityBlipWithoutSpriteSetsNoSprite) {
    const auto sprites = callCount("setBlipSprite");
    const Blip blip = createEntityBlip(world.player.ped, 0xB04092F8, 0);
    EXPECT_EQ(world.blips.at(blip).entity, world.player.ped);
    EXPECT_EQ(callCount("setBlipSprite"), sprites);
}

// Catches distances measured flat, or from the wrong end.
TEST_F(DirectGameTest, DistancesIncludeHeight) {
    world.playerPed().position = sim::Vec3{0, 0, 0};
    EXPECT_FLOAT_EQ(distanceToEntity(Vec3{0, 3, 4}, world.player.ped), 5.0f);
    EXPECT_FLOAT_EQ(distanceBetweenPoints(Vec3{1, 1, 1}, Vec3{1, 1, 11}), 10.0f);
    EXPECT_EQ(playerPosition(), (Vec3{0, 0, 0}));
}

// Catches a spawn that waits for ever, or creates something from a model that never loaded.
TEST_F(DirectGameTest, SpawnVehicleGivesUpAfterThreeSecondsWithoutCreatingAnything) {
    const Hash model = hashOf("rowboat");
    world.modelsThatNeverLoad.insert(model);
    const auto start = world.gameTimeMs;
    const auto requests = callCount("requestModel");

    EXPECT_EQ(spawnVehicle("rowboat", Vec3{5, 5, 40}, 90.0f), 0u);
    EXPECT_EQ(callCount("requestModel") - requests, 300u);
    EXPECT_GE(world.gameTimeMs - start, 3000);
    EXPECT_LT(world.gameTimeMs - start, 3000 + 2 * world.frameStepMs * 300);
    EXPECT_TRUE(world.vehicles().empty());
}

// Catches a vehicle created before its model is resident, or left floating above the water.
TEST_F(DirectGameTest, SpawnVehicleWaitsForTheModelThenPlacesTheVehicle) {
    const Vehicle boat = spawnVehicle("rowboat", Vec3{5, 6, 40}, 90.0f);
    ASSERT_NE(boat, 0u);
    const sim::Entity& entity = *world.entity(boat);
    EXPECT_EQ(entity.model, 0x9FD6BA58u);
    EXPECT_EQ(entity.position, (sim::Vec3{5, 6, world.waterSurfaceZ})) << "placed on the river's surface";
    EXPECT_FLOAT_EQ(entity.heading, 90.0f);
    EXPECT_TRUE(entity.placedOnGround);
    EXPECT_THAT(lastArgs("createVehicle"), ::testing::ElementsAreArray(std::vector<std::uint64_t>{
                                               0x9FD6BA58u, std::bit_cast<std::uint32_t>(5.0f),
                                               std::bit_cast<std::uint32_t>(6.0f), std::bit_cast<std::uint32_t>(40.0f),
                                               std::bit_cast<std::uint32_t>(90.0f), 1, 1, 0, 0}));
}

// Catches a zero time-out that still waits.
TEST_F(DirectGameTest, LoadModelWithoutTimeDoesNotWait) {
    const auto frame = world.frame;
    EXPECT_FALSE(loadModel(0x1234u, 0));
    EXPECT_EQ(world.frame, frame);
}

// Catches money changes that move the wrong way, show a toast for nothing, or overflow.
TEST_F(DirectGameTest, ChangePlayerMoneyCreditsChargesAndShowsTheChange) {
    world.cashCents = 10000;
    changePlayerMoney(0.0f, true);
    changePlayerMoney(std::numeric_limits<float>::quiet_NaN(), true);
    EXPECT_EQ(world.cashCents, 10000);
    EXPECT_TRUE(world.moneyToasts.empty());

    changePlayerMoney(12.5f, true);
    EXPECT_EQ(world.cashCents, 11250);
    EXPECT_THAT(lastArgs("addPlayerCash"), ElementsAre(1250u, hashOf("ADD_REASON_DEFAULT")));

    changePlayerMoney(-20.0f, true);
    EXPECT_EQ(world.cashCents, 9250);
    EXPECT_THAT(lastArgs("removePlayerCash"), ElementsAre(static_cast<std::uint32_t>(-2000)));

    ASSERT_EQ(world.moneyToasts.size(), 2u);
    EXPECT_EQ(world.moneyToasts[0].cents, 1250);
    EXPECT_EQ(world.moneyToasts[0].colour, 0x067FA8F3u);
    EXPECT_EQ(world.moneyToasts[0].durationMs, 1000);
    EXPECT_EQ(world.moneyToasts[0].textureDictionary, "ITEMTYPE_TEXTURES");
    EXPECT_EQ(world.moneyToasts[0].texture, 0x6D31416Eu);
    EXPECT_EQ(world.moneyToasts[1].cents, 2000);
    EXPECT_EQ(world.moneyToasts[1].amountText, "$20.00");
    EXPECT_EQ(world.moneyToasts[1].colour, hashOf("COLOR_RED"));

    changePlayerMoney(5.0f, false);
    EXPECT_EQ(world.moneyToasts.size(), 2u);
}

// Catches half a cent being rounded up, and amounts past the 32-bit range wrapping around.
TEST(DollarsToCents, RoundsToTheNearestCentAndHoldsToThe32BitRange) {
    EXPECT_EQ(dollarsToCents(0.005f), 0);
    EXPECT_EQ(dollarsToCents(-1.239f), -124);
    EXPECT_EQ(dollarsToCents(2.1f), 210);  // 209.99998 as a float times 100
    EXPECT_EQ(dollarsToCents(3.0e7f), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(dollarsToCents(-3.0e7f), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(dollarsToCents(std::numeric_limits<float>::infinity()), std::numeric_limits<std::int32_t>::max());
}

// Catches a credit smaller than a cent being dropped: the game is still told, and shows $0.00.
TEST_F(DirectGameTest, AFractionOfACentCreditsNothingButIsShown) {
    const auto toasts = world.moneyToasts.size();
    changePlayerMoney(0.005f, true);
    EXPECT_THAT(lastArgs("addPlayerCash"), ElementsAre(0u, hashOf("ADD_REASON_DEFAULT")));
    ASSERT_EQ(world.moneyToasts.size(), toasts + 1);
    EXPECT_EQ(world.moneyToasts.back().cents, 0);
}

}  // namespace
}  // namespace tollmere::testing
