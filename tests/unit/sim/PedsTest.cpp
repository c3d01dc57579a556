// The simulated game's peds: created in seats, grouped, and the states a test gives them; and the
// game's float draws.

#include "Hash.h"
#include "host/Natives.h"
#include "unit/host/DirectGame.h"

namespace tollmere::testing {
namespace {

constexpr Hash kRowboat = sim::hashOf("rowboat");
constexpr Hash kGuard = sim::hashOf("a_m_m_bivroughtravellers_01");

class PedsTest : public DirectGameTest {
  protected:
    void loadGuardModel() {
        native::requestModel(kGuard, false);
        host.runFrames(world.modelLoadFrames);
    }
    Ped createIn(Vehicle vehicle, int seat) {
        return native::createPedInsideVehicle(vehicle, kGuard, seat, 0, 0, 0);
    }

    Vehicle boat = world.createVehicle(kRowboat, sim::Vec3{100.0f, 200.0f, 40.0f}, 0.0f);
};

// Catches guards created before their model streamed in, a model that never loads letting peds
// through, or the ped streaming apart from the vehicles' models.
TEST_F(PedsTest, AGuardNeedsItsModelResident) {
    EXPECT_EQ(createIn(boat, -1), 0u) << "never requested";
    native::requestModel(kGuard, false);
    EXPECT_EQ(createIn(boat, -1), 0u) << "requested but still streaming";
    host.runFrames(world.modelLoadFrames);
    EXPECT_NE(createIn(boat, -1), 0u);

    const Hash neverLoads = sim::hashOf("a_m_m_neverloads_01");
    world.modelsThatNeverLoad.insert(neverLoads);
    native::requestModel(neverLoads, false);
    host.runFrames(100);
    EXPECT_EQ(native::createPedInsideVehicle(boat, neverLoads, 0, 0, 0, 0), 0u);
}

// Catches the driver's seat -1 read as a huge seat or as a passenger's, seats past the rowboat's
// three passengers accepted, two peds in one seat, and a seated ped left behind when the boat moves.
TEST_F(PedsTest, PedsTakeFreeSeatsAndTravelWithTheBoat) {
    loadGuardModel();
    const Ped driver = createIn(boat, -1);
    ASSERT_NE(driver, 0u);
    EXPECT_EQ(world.entity(driver)->seat, -1);
    EXPECT_EQ(native::getDriverOfVehicle(boat), driver);
    EXPECT_EQ(createIn(boat, -1), 0u) << "the driver's seat is taken";

    for (int seat = 0; seat < 3; ++seat) {
        const Ped passenger = createIn(boat, seat);
        ASSERT_NE(passenger, 0u) << "seat " << seat;
        EXPECT_EQ(world.entity(passenger)->seat, seat);
        EXPECT_TRUE(native::isPedInVehicle(passenger, boat, false));
    }
    EXPECT_EQ(createIn(boat, 3), 0u) << "past the passenger seats";
    EXPECT_EQ(createIn(boat, -2), 0u);
    EXPECT_EQ(createIn(0, -1), 0u) << "no vehicle";

    const Vehicle empty = world.createVehicle(kRowboat, sim::Vec3{}, 0.0f);
    EXPECT_EQ(native::getDriverOfVehicle(empty), 0u);

    world.moveVehicle(boat, sim::Vec3{150.0f, 250.0f, 40.0f});
    EXPECT_EQ(native::getEntityCoords(driver, true, false), (Vec3{150.0f, 250.0f, 40.0f}));
}

// Catches group ids reused, a leader or member not recorded, a ped without a group read as group 0,
// and a ped moved to another group still counted in the first.
TEST_F(PedsTest, GroupsHaveOneLeaderAndTheirMembers) {
    loadGuardModel();
    const Ped leader = createIn(boat, -1);
    const Ped guard = createIn(boat, 0);
    const Ped loner = createIn(boat, 1);

    const int group = native::createGroup(0);
    const int other = native::createGroup(0);
    EXPECT_NE(group, other);
    native::setPedAsGroupLeader(leader, group, true);
    native::setPedAsGroupMember(guard, native::getPedGroupIndex(leader));
    EXPECT_EQ(native::getPedGroupIndex(leader), group);
    EXPECT_EQ(native::getPedGroupIndex(guard), group);
    EXPECT_EQ(native::getPedGroupIndex(loner), -1);
    EXPECT_EQ(world.groups.at(group).leader, leader);
    EXPECT_THAT(world.groups.at(group).members, ::testing::ElementsAre(guard));

    native::setPedAsGroupMember(guard, other);
    EXPECT_THAT(world.groups.at(group).members, ::testing::IsEmpty());
    EXPECT_EQ(native::getPedGroupIndex(guard), other);

    native::setPedAsGroupMember(loner, -1);
    EXPECT_EQ(native::getPedGroupIndex(loner), -1) << "the game ignores a group it does not know";
}

// Catches outfit and config flags dropped, or a flag's value kept under another flag.
TEST_F(PedsTest, OutfitAndConfigFlagsAreKeptPerPed) {
    loadGuardModel();
    const Ped guard = createIn(boat, -1);
    const Ped other = createIn(boat, 0);
    native::setRandomOutfitVariation(guard, true);
    native::setPedConfigFlag(guard, 279, true);
    native::setPedConfigFlag(guard, 545, false);
    const sim::Entity& seen = *world.entity(guard);
    EXPECT_TRUE(seen.randomOutfit);
    EXPECT_EQ(seen.configFlags, (std::map<std::int32_t, bool>{{279, true}, {545, false}}));
    EXPECT_TRUE(world.entity(other)->configFlags.empty());
    EXPECT_FALSE(world.entity(other)->randomOutfit);
}

// Catches a state answered for the wrong entity or from the wrong field, and the player's death
// read from anything but his ped.
TEST_F(PedsTest, DeathIncapacityHogtieAndFleeingAnswerAsSet) {
    loadGuardModel();
    const Ped guard = createIn(boat, -1);
    EXPECT_FALSE(native::isEntityDead(guard));
    EXPECT_FALSE(native::isEntityIncapacitated(guard));
    EXPECT_FALSE(native::isPedHogtied(guard));
    EXPECT_FALSE(native::isPedFleeing(guard));
    EXPECT_FALSE(native::isPlayerDead(native::getPlayerId()));
    EXPECT_TRUE(native::isVehicleDriveable(boat, true, true));

    world.entity(guard)->hogtied = true;
    EXPECT_TRUE(native::isPedHogtied(guard));
    EXPECT_FALSE(native::isPedFleeing(guard));
    world.entity(guard)->fleeing = true;
    EXPECT_TRUE(native::isPedFleeing(guard));
    world.entity(guard)->incapacitated = true;
    EXPECT_TRUE(native::isEntityIncapacitated(guard));
    EXPECT_FALSE(native::isEntityIncapacitated(boat));
    world.entity(guard)->dead = true;
    EXPECT_TRUE(native::isEntityDead(guard));

    world.entity(boat)->incapacitated = true;
    EXPECT_TRUE(native::isEntityIncapacitated(boat));
    world.entity(boat)->driveable = false;
    EXPECT_FALSE(native::isVehicleDriveable(boat, true, true));

    world.playerPed().dead = true;
    EXPECT_TRUE(native::isPlayerDead(native::getPlayerId()));
}

// Catches scripted draws ignored or taken out of order, and a generator that is not the same from
// one fresh world to the next.
TEST_F(PedsTest, FloatDrawsFollowTheScriptThenTheGenerator) {
    world.scriptedFloats = {0.25f, 0.95f};
    EXPECT_EQ(native::getRandomFloatInRange(0.0f, 1.0f), 0.25f);
    EXPECT_EQ(native::getRandomFloatInRange(0.0f, 1.0f), 0.95f);
    const auto fiveDraws = [] {
        std::vector<float> draws(5);
        for (float& draw : draws) {
            draw = native::getRandomFloatInRange(2.0f, 3.0f);
        }
        return draws;
    };
    const std::vector<float> first = fiveDraws();
    for (float draw : first) {
        EXPECT_GE(draw, 2.0f);
        EXPECT_LE(draw, 3.0f);
    }

    host.resetWorld();
    EXPECT_EQ(fiveDraws(), first);
}

}  // namespace
}  // namespace tollmere::testing
