// The simulated game's entities over time: released ones cleared away, the dead staying dead,
// speed from movement, and the player coming back as a new ped.

#include "host/Natives.h"
#include "unit/host/DirectGame.h"

namespace tollmere::testing {
namespace {

using EntitiesTest = DirectGameTest;

// Catches released entities that never go, or go while the player stands beside them.
TEST_F(EntitiesTest, ReleasedEntitiesGoOnceThePlayerIsFarAndTheyHaveLingered) {
    const Vehicle boat = world.createVehicle(0x9FD6BA58u, world.positionOf(PlayerPed), 0.0f);
    Vehicle handle = boat;
    native::releaseEntity(&handle);
    EXPECT_EQ(handle, 0u);
    host.runFor(world.releasedLingerMs + 500);
    EXPECT_TRUE(native::doesEntityExist(boat)) << "the player stands beside it";
    world.moveVehicle(boat, sim::Vec3{0.0f, 0.0f, 40.0f});
    host.runFrame();
    EXPECT_FALSE(native::doesEntityExist(boat));
}

// Catches an anchor that lets a push move the boat, or one that holds against a script's teleport.
TEST_F(EntitiesTest, AnAnchoredBoatHoldsAgainstPushesButNotAgainstTeleports) {
    const sim::Vec3 at{10.0f, 10.0f, 40.0f};
    const Vehicle boat = world.createVehicle(0x9FD6BA58u, at, 0.0f);
    native::setBoatAnchor(boat, true);
    world.moveVehicle(boat, sim::Vec3{30.0f, 10.0f, 40.0f});
    world.entity(boat)->position.y += 25.0f;  // a hand that sets the position directly
    host.runFrame();
    EXPECT_LE(sim::distance(world.positionOf(boat), at), world.anchorSwingMetres);
    const sim::Vec3 dock{200.0f, 10.0f, 40.0f};
    native::setEntityCoords(boat, Vec3{dock.x, dock.y, dock.z}, true, true, true, true);
    world.moveVehicle(boat, sim::Vec3{230.0f, 10.0f, 40.0f});
    EXPECT_LE(sim::distance(world.positionOf(boat), dock), world.anchorSwingMetres);
    native::setBoatAnchor(boat, false);
    world.moveVehicle(boat, at);
    EXPECT_EQ(world.positionOf(boat), at);
}

// Catches health bringing the dead back, a speed that ignores movement, and a player ped handle
// that survives death.
TEST_F(EntitiesTest, TheDeadStayDeadSpeedComesFromMovementAndThePlayerReturnsAsANewPed) {
    const Vehicle boat = world.createVehicle(0x9FD6BA58u, sim::Vec3{0.0f, 0.0f, 40.0f}, 0.0f);
    native::setEntityHealth(boat, 0, 0);
    native::setEntityHealth(boat, 1000, 0);
    EXPECT_TRUE(native::isEntityDead(boat));

    for (int frame = 0; frame < 3; ++frame) {
        world.moveVehicle(boat, sim::Vec3{world.positionOf(boat).x + 0.1f, 0.0f, 40.0f});
        host.runFrame();
    }
    EXPECT_NEAR(native::getEntitySpeed(boat), 0.1f / world.frameTimeSeconds(), 1e-3f);

    const Ped first = native::getPlayerPed();
    world.playerPed().dead = true;
    host.runFor(world.respawnDelayMs + 100);
    EXPECT_NE(native::getPlayerPed(), first);
    EXPECT_FALSE(native::isPlayerDead(native::getPlayerId()));
    EXPECT_FALSE(native::doesEntityExist(first));
}

}  // namespace
}  // namespace tollmere::testing
