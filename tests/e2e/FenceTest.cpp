// Selling boats at the docks.

#include "PluginTest.h"

namespace tollmere::testing {
namespace {

using ::testing::Contains;

const sim::Vec3 kDock4Mooring{2075.89f, -266.766f, 40.6027f};

class FenceTest : public PluginTest {
protected:
    sim::World& world() { return game.world(); }

    bool sellPromptVisible() {
        const sim::GamePrompt* prompt = world().prompts.withText(langText("prompts.sell_boat"));
        return prompt != nullptr && world().prompts.isVisible(prompt->handle);
    }
    bool sellPromptEnabled() {
        const sim::GamePrompt* prompt = world().prompts.withText(langText("prompts.sell_boat"));
        return prompt != nullptr && world().prompts.isEnabled(prompt->handle);
    }

    // Holds the sell control until the sale is logged; false when it never is.
    bool holdToSell() {
        world().input.hold("INPUT_CONTEXT_B", 45);
        for (int frame = 0; frame < 45; ++frame) {
            game.runFrame();
            if (game.findLog("player has sold his owned boat") >= 0 || saleLogged()) return true;
        }
        return false;
    }
    bool saleLogged() {
        for (const std::string& line : game.logMessages()) {
            if (line.starts_with("boat sold at fence.")) return true;
        }
        return false;
    }

    // A boat of the world at Trapper's Cabin with the player aboard.
    sim::Entity& strangersBoat(std::uint32_t model = 0xE84E6B74u) {
        const std::uint32_t handle = world().createVehicle(model, kDock4Mooring, 0.0f);
        world().putPlayerInVehicle(handle);
        return *world().entity(handle);
    }
};

// Catches a sale of one's own boat that pays the wrong value, leaves it in the record or in the
// player's hands, or leaves it unmarked and adrift.
TEST_F(FenceTest, SellingOnesOwnBoat) {
    game.writeFile("PlayerBoat.dat",
                   "dock_id=4\nhealth=1.000000\nlantern_propset_index=-1\nmax_health=1000\n"
                   "owned_boat_model=-1613317544\npropset_index=-1\ntint=1\n");
    world().cashCents = 1000;
    startAndSettle();
    sim::Entity& boat = *world().entity(world().vehicles().front()->handle);
    world().putPlayerInVehicle(boat.handle);
    game.runFrames(2);
    ASSERT_TRUE(sellPromptVisible());
    EXPECT_THAT(game.logMessages(), Contains("tutorial seen: boat_fence"));

    ASSERT_TRUE(holdToSell());
    // Rowboat at $45, no extras: int(0.5 x 45) = 22, rounded to 20.
    EXPECT_THAT(game.logMessages(),
                Contains("boat sold at fence. dock id: 4 dock name: Trapper's Cabin boat value: 20"));
    EXPECT_EQ(world().cashCents, 3000);
    EXPECT_NE(game.readFile("PlayerBoat.dat").find("owned_boat_model=0\n"), std::string::npos);
    EXPECT_EQ(boat.decorators.at("QY_RB_isBoatSold"), 1);
    EXPECT_TRUE(boat.anchored);
    EXPECT_TRUE(boat.released);
    EXPECT_EQ(world().blipOn(boat.handle), nullptr);

    game.runFrames(3);
    EXPECT_EQ(world().playerPed().vehicle, 0u) << "the player steps out";
    EXPECT_FALSE(sellPromptVisible());
}

// Catches a stranger's boat sale touching the player's own record, and a sold boat sold again.
TEST_F(FenceTest, SellingAStrangersBoatLeavesTheRecordAloneAndOnlyOnce) {
    startAndSettle();
    const std::string record = game.readFile("PlayerBoat.dat");
    sim::Entity& boat = strangersBoat();
    game.runFrames(2);
    ASSERT_TRUE(holdToSell());
    game.runFrames(3);
    EXPECT_EQ(game.readFile("PlayerBoat.dat"), record);
    EXPECT_EQ(world().cashCents, 4500) << "swamp rowboat at $95: int(0.5 x 95) = 47, rounded to 45";

    world().putPlayerInVehicle(boat.handle);
    world().input.hold("INPUT_CONTEXT_B", 45);
    game.runFrames(45);
    EXPECT_FALSE(sellPromptVisible());
    EXPECT_EQ(world().cashCents, 4500);
}

// Catches the speed limit off by a hair, a hidden instead of greyed prompt, or the slow-down
// tutorial asked more than once.
TEST_F(FenceTest, TooFastGreysThePromptOut) {
    startAndSettle();
    sim::Entity& boat = strangersBoat();
    boat.speedSetByTest = 1.5f;
    game.runFrames(2);
    EXPECT_TRUE(sellPromptVisible());
    EXPECT_TRUE(sellPromptEnabled());

    boat.speedSetByTest = 1.6f;
    game.runFrames(2);
    EXPECT_TRUE(sellPromptVisible());
    EXPECT_FALSE(sellPromptEnabled());
    boat.speedSetByTest = 0.0f;
    game.runFrames(2);
    boat.speedSetByTest = 2.0f;
    game.runFrames(2);
    const auto log = game.logMessages();
    EXPECT_EQ(std::count(log.begin(), log.end(), "tutorial seen: boat_fence.slow_down_to_sell"), 1);
}

// Catches the pier's reach taken as inclusive: exactly 10 m from Trapper's Cabin's pier point is too
// far to sell, a hair nearer is not.
TEST_F(FenceTest, TenMetresFromThePierIsTooFarToSell) {
    const sim::Vec3 pier{2077.7f, -269.949f, 42.1409f};
    startAndSettle();
    const std::uint32_t boat = strangersBoat().handle;
    world().moveVehicle(boat, sim::Vec3{pier.x + 10.0f, pier.y, pier.z});
    game.runFrames(2);
    EXPECT_FALSE(sellPromptVisible());
    world().moveVehicle(boat, sim::Vec3{pier.x + 9.99f, pier.y, pier.z});
    game.runFrames(2);
    EXPECT_TRUE(sellPromptVisible());
}

struct OneExtraCase {
    const char* name;
    bool propSet;
    std::int32_t cents;
};

class OneExtraTest : public FenceTest, public ::testing::WithParamInterface<OneExtraCase> {};

// Catches the fittings priced as a pair: one set or one lantern adds only its own fee.
TEST_P(OneExtraTest, ARowboatWithOneExtraFetchesItsOwnShare) {
    startAndSettle();
    sim::Entity& boat = strangersBoat(0x9FD6BA58u);
    (GetParam().propSet ? boat.propSet : boat.lanternPropSet) =
        sim::hashOf(GetParam().propSet ? "pg_veh_rowboat_01" : "pg_veh_rowboat_lightupgrade_1");
    game.runFrames(2);
    ASSERT_TRUE(holdToSell());
    EXPECT_EQ(world().cashCents, GetParam().cents);
}

// int(0.5 x (45 + 25)) = 35 with the set, int(0.5 x (45 + 15)) = 30 with the lantern.
INSTANTIATE_TEST_SUITE_P(, OneExtraTest,
                         ::testing::Values(OneExtraCase{"propSet", true, 3500}, OneExtraCase{"lantern", false, 3000}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DamagedSaleCase {
    const char* name;
    std::int32_t storedValue;  // 0 for none: priced from the catalogue
    std::int32_t health;
    std::int64_t cents;
};

class DamagedSaleTest : public FenceTest, public ::testing::WithParamInterface<DamagedSaleCase> {};

// Catches a sale that ignores the damage or the sale multiplier, takes the damage off the catalogue
// price before halving it, or rounds other than to the nearest 5 with a remainder of 3 going up.
TEST_P(DamagedSaleTest, ADamagedBoatFetchesItsShareUnderTheMultiplier) {
    game.writeFile("Settings.ini", "BoatRobberiesRewardMultiplier=1.5\n");
    startAndSettle();
    sim::Entity& boat = strangersBoat();
    boat.health = GetParam().health;
    if (GetParam().storedValue > 0) boat.decorators["QY_RB_boatValue"] = GetParam().storedValue;
    game.runFrames(2);
    ASSERT_TRUE(holdToSell());
    EXPECT_EQ(world().cashCents, GetParam().cents);
    ASSERT_EQ(world().moneyToasts.size(), 1u);
    EXPECT_EQ(world().moneyToasts.back().cents, GetParam().cents);
    EXPECT_THAT(game.logMessages(), Contains("tutorial seen: boat_fence"))
        << "half health or more is not poor";
}

// Stored 125 at 3/4: int(93.75) = 93, x 1.5 = 139.5, to 140. Swamp rowboat at $95, at half health:
// int(0.5 x 95) = 47, int(47 x 0.5) = 23, x 1.5 = 34.5, to 35.
INSTANTIATE_TEST_SUITE_P(, DamagedSaleTest,
                         ::testing::Values(DamagedSaleCase{"storedValue", 125, 750, 14000},
                                           DamagedSaleCase{"catalogue", 0, 500, 3500}),
                         [](const auto& info) { return std::string(info.param.name); });

// Catches the poor-condition tutorial picked by the wrong side of half health.
TEST_F(FenceTest, ABatteredBoatGetsThePoorConditionTutorial) {
    startAndSettle();
    sim::Entity& boat = strangersBoat();
    boat.health = 499;
    game.runFrames(2);
    EXPECT_THAT(game.logMessages(), Contains("tutorial seen: boat_fence.poor_condition"));
    EXPECT_THAT(game.logMessages(), ::testing::Not(Contains("tutorial seen: boat_fence")));
}

}  // namespace
}  // namespace tollmere::testing
