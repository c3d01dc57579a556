// The simulated game carrying out orders: sequences, and boats driven under drive orders.

#include "Hash.h"
#include "host/Natives.h"
#include "unit/host/DirectGame.h"

#include <cmath>
#include <cstdlib>

namespace tollmere::testing {
namespace {

constexpr Hash kRowboat = sim::hashOf("rowboat");
constexpr Hash kGuard = sim::hashOf("a_m_m_bivroughtravellers_01");
constexpr int kStyle = 786603;

class TasksTest : public DirectGameTest {
  protected:
    TasksTest() {
        native::requestModel(kGuard, false);
        host.runFrames(world.modelLoadFrames);
    }
    // A rowboat at the point, with a guard at the oars.
    std::pair<Vehicle, Ped> crewedBoat(sim::Vec3 at, float heading) {
        const Vehicle boat = world.createVehicle(kRowboat, at, heading);
        return {boat, native::createPedInsideVehicle(boat, kGuard, -1, 0, 0, 0)};
    }
    const sim::Entity& entity(std::uint32_t handle) { return *world.entity(handle); }
    float apart(std::uint32_t a, std::uint32_t b) {
        return sim::distance(world.positionOf(a), world.positionOf(b));
    }
    void runSeconds(int seconds) { host.runFor(seconds * 1000); }
};

// Catches the player stepping out in the frame the order was given (he must still be seated for
// the rest of it), not at all, or only when the vehicle variable was not zeroed before the step
// was added; and the step missing from his task history.
TEST_F(TasksTest, ASequenceToLeaveTheBoatPutsThePlayerOnFootNextFrame) {
    Vehicle boat = world.createVehicle(kRowboat, sim::Vec3{10.0f, 20.0f, 40.0f}, 0.0f);
    world.putPlayerInVehicle(boat);
    const Vehicle sold = boat;

    native::setVehicleAsNoLongerNeeded(&boat);
    EXPECT_EQ(boat, 0u) << "the game clears the script's variable";
    EXPECT_TRUE(entity(sold).released);
    std::int32_t sequence = 0;
    native::openSequenceTask(&sequence);
    EXPECT_NE(sequence, 0);
    native::taskLeaveVehicle(0, boat, 0, 0);
    native::closeSequenceTask(sequence);
    native::taskPerformSequence(PlayerPed, sequence);
    EXPECT_TRUE(native::isPedInAnyBoat(PlayerPed)) << "still seated in the frame of the order";

    host.runFrame();
    EXPECT_TRUE(native::isPedOnFoot(PlayerPed));
    EXPECT_FALSE(native::isPedInAnyBoat(PlayerPed));
    EXPECT_EQ(native::getVehiclePedIsIn(PlayerPed, true), sold);
    EXPECT_NEAR(apart(PlayerPed, sold), 1.5f, 1e-3f) << "beside the boat";
    const auto& tasks = entity(PlayerPed).tasks;
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(tasks[0].kind, sim::TaskKind::performSequence);
    EXPECT_EQ(tasks[1].kind, sim::TaskKind::leaveVehicle);
    EXPECT_EQ(tasks[1].sequence, sequence);
}

void exitWhenRefused(void (*misuse)()) {
    try {
        misuse();
    } catch (const sim::Fatal&) {
        std::_Exit(3);
    }
}

using TasksDeathTest = TasksTest;

// Catches a sequence performed while still open, or one never opened, passing quietly: in the game
// the ped would simply never move.
TEST_F(TasksDeathTest, SequencesUsedBeforeClosingOrNeverOpenedStopTheRun) {
    EXPECT_EXIT(exitWhenRefused([] {
                    std::int32_t sequence = 0;
                    native::openSequenceTask(&sequence);
                    native::taskPerformSequence(PlayerPed, sequence);
                }),
                ::testing::ExitedWithCode(3), "still open");
    EXPECT_EXIT(exitWhenRefused([] { native::taskPerformSequence(PlayerPed, 77); }),
                ::testing::ExitedWithCode(3), "never opened");
    EXPECT_EXIT(exitWhenRefused([] { native::closeSequenceTask(77); }), ::testing::ExitedWithCode(3),
                "never opened");
    EXPECT_EXIT(exitWhenRefused([] {
                    std::int32_t first = 0;
                    std::int32_t second = 0;
                    native::openSequenceTask(&first);
                    native::openSequenceTask(&second);
                }),
                ::testing::ExitedWithCode(3), "still open");
}

// Catches a wandering boat that does not move, moves off its heading or at another speed, and one
// that keeps going (or keeps reporting speed) once anchored, its driver dead or turned to combat.
TEST_F(TasksTest, AWanderingBoatGoesAlongItsHeadingUntilStopped) {
    // Heading 90 faces -x.
    const auto [boat, driver] = crewedBoat(sim::Vec3{0.0f, 0.0f, 40.0f}, 90.0f);
    native::taskVehicleDriveWander(driver, boat, 2.0f, kStyle);
    host.runFrames(30);
    const float seconds = 30.0f * static_cast<float>(world.frameStepMs) / 1000.0f;
    EXPECT_NEAR(entity(boat).position.x, -2.0f * seconds, 1e-3f);
    EXPECT_NEAR(entity(boat).position.y, 0.0f, 1e-3f);
    EXPECT_NEAR(native::getEntitySpeed(boat), 2.0f, 1e-3f);
    EXPECT_EQ(entity(driver).currentTask()->kind, sim::TaskKind::driveWander);

    native::setBoatAnchor(boat, true);
    const sim::Vec3 anchoredAt = entity(boat).position;
    host.runFrames(10);
    EXPECT_EQ(entity(boat).position, anchoredAt);
    EXPECT_EQ(native::getEntitySpeed(boat), 0.0f);

    native::setBoatAnchor(boat, false);
    host.runFrames(2);
    EXPECT_NEAR(native::getEntitySpeed(boat), 2.0f, 1e-3f) << "weighing anchor, the order still stands";
    native::taskCombatPed(driver, PlayerPed, 0, 16);
    host.runFrame();
    EXPECT_EQ(native::getEntitySpeed(boat), 0.0f) << "a guard fighting no longer rows";

    native::taskVehicleDriveWander(driver, boat, 2.0f, kStyle);
    host.runFrame();
    world.entity(driver)->dead = true;
    const sim::Vec3 diedAt = entity(boat).position;
    host.runFrames(10);
    EXPECT_EQ(entity(boat).position, diedAt);
    EXPECT_EQ(native::getEntitySpeed(boat), 0.0f);
}

// Catches an escort that never catches up, overtakes its top speed, closes in past the ordered
// distance, or does not keep pace once alongside.
TEST_F(TasksTest, AnEscortCatchesUpAndKeepsItsDistance) {
    const auto [leaderBoat, leader] = crewedBoat(sim::Vec3{0.0f, 0.0f, 40.0f}, 0.0f);
    const auto [escort, escortDriver] = crewedBoat(sim::Vec3{0.0f, -60.0f, 40.0f}, 0.0f);
    native::taskVehicleDriveWander(leader, leaderBoat, 2.0f, kStyle);
    native::taskVehicleEscort(escortDriver, escort, leader, 12, 4.0f, kStyle, 150.0f, -1.0f, 1);

    float fastest = 0.0f;
    for (int frame = 0; frame < 1500; ++frame) {
        host.runFrame();
        fastest = std::max(fastest, native::getEntitySpeed(escort));
    }
    EXPECT_NEAR(fastest, 4.0f, 1e-3f);
    EXPECT_NEAR(apart(escort, leaderBoat), 12.0f, 0.01f);
    EXPECT_NEAR(native::getEntitySpeed(escort), 2.0f, 0.01f) << "alongside, it keeps the leader's pace";
    EXPECT_NEAR(entity(escort).heading, 0.0f, 0.01f);
}

// Catches a boat driven to a point that overshoots, stops short of the stopping range, or keeps
// reporting speed once there.
TEST_F(TasksTest, ABoatDrivenToAPointStopsWithinRange) {
    const auto [boat, driver] = crewedBoat(sim::Vec3{0.0f, 0.0f, 40.0f}, 0.0f);
    const Vec3 target{30.0f, 40.0f, 40.0f};
    native::taskVehicleDriveToCoord(driver, boat, target, 4.0f, 0, kRowboat, kStyle, 5.0f, 1.0f);
    host.runFrames(5);
    EXPECT_FLOAT_EQ(native::getEntitySpeed(boat), 4.0f);

    runSeconds(20);
    const sim::Vec3 at = entity(boat).position;
    EXPECT_NEAR(sim::distance(at, sim::Vec3{30.0f, 40.0f, 40.0f}), 5.0f, 1e-3f);
    EXPECT_EQ(native::getEntitySpeed(boat), 0.0f);
    EXPECT_NEAR(entity(boat).heading, 360.0f - 36.8699f, 0.01f) << "facing the point it went to";
    host.runFrames(10);
    EXPECT_EQ(entity(boat).position, at);
}

}  // namespace
}  // namespace tollmere::testing
