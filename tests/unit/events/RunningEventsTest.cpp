// Events the generator never publishes: robberies with other crews, the base event's own
// entities, and several events running at once.

#include "Hash.h"
#include "data/DataFiles.h"
#include "data/Settings.h"
#include "events/CargoBoatEventsGenerator.h"
#include "events/CargoBoatsManager.h"
#include "unit/host/DirectGame.h"

#include <cmath>
#include <map>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;

const sim::Vec3 kPlayer{2951.23f, 1600.03f, 40.42f};  // 400 m north of the river's point 43
constexpr std::uint32_t kGuardModel = sim::hashOf("a_m_m_bivroughtravellers_01");

class RunningEventsTest : public DirectGameTest {
protected:
    RunningEventsTest() {
        for (const char* name : {"QY_RB_boatValue", "QY_RB_isBoatSold"})
            world.decorators[name] = 3;
        world.playerPed().position = kPlayer;
    }
    void TearDown() override {
        cargoBoatEventsGenerator = nullptr;
        ConfigsData = nullptr;
    }
    static CargoBoatEvent eventNorth(float metres, std::int32_t crewSize) {
        CargoBoatEvent event;
        event.position = Vec3{kPlayer.x, kPlayer.y + metres, kPlayer.z};
        event.crewSize = crewSize;
        return event;
    }
    // Guards seated in each boat, by its place in metres ahead of a cargo boat 200 m north of him
    // (all face north; a boat off that line counts as 999).
    std::map<long, int> seating() {
        auto place = [](const sim::Entity& boat) {
            return boat.position.x == kPlayer.x ? std::lround(boat.position.y - kPlayer.y - 200.0f) : 999;
        };
        std::map<long, int> seated;
        for (const sim::Entity* boat : world.vehicles())
            seated[place(*boat)] = 0;
        for (const auto& [handle, ped] : world.entities) {
            if (ped.model == kGuardModel) ++seated[place(*world.entity(ped.vehicle))];
        }
        return seated;
    }
};

using Crew = std::pair<std::int32_t, std::map<long, int>>;  // crew size, seating() then
class CrewSizeTest : public RunningEventsTest, public ::testing::WithParamInterface<Crew> {};

// Catches the escorts' places, guards or orders off for any escort but the first: one escort for every
// four guards besides the leader, rounded up, alternately ahead and behind, 12 m further out each
// pair, four guards to a boat while there are; the leader rows off at 2 m/s, each escort keeps 12 m
// from him.
TEST_P(CrewSizeTest, EscortsTakeTurnsAheadAndBehindFourGuardsToABoat) {
    RandomBoatRobberyExecutor robbery(eventNorth(200.0f, GetParam().first));
    robbery.tick();
    EXPECT_EQ(seating(), GetParam().second);
    std::uint32_t leader = 0;
    for (const sim::Entity* boat : world.vehicles()) {
        if (boat->position.y == kPlayer.y + 200.0f) leader = world.driverOf(boat->handle);
    }
    for (const auto& [handle, guard] : world.entities) {
        if (guard.model != kGuardModel) continue;
        const sim::Task* order = guard.currentTask();
        if (guard.seat != -1) {
            EXPECT_EQ(order, nullptr) << "only oarsmen are given orders";
            continue;
        }
        ASSERT_NE(order, nullptr);
        EXPECT_EQ(order->vehicle, guard.vehicle);
        const bool cargo = handle == leader;
        EXPECT_EQ(order->kind, cargo ? sim::TaskKind::driveWander : sim::TaskKind::vehicleEscort);
        EXPECT_EQ(order->speed, cargo ? 2.0f : 4.0f);
        EXPECT_EQ(order->target, cargo ? 0u : leader);
        EXPECT_EQ(order->distance, cargo ? 0.0f : 12.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    , CrewSizeTest,
    ::testing::Values(Crew{9, {{0, 1}, {12, 4}, {-12, 4}}},
                      Crew{22, {{0, 1}, {12, 4}, {-12, 4}, {24, 4}, {-24, 4}, {36, 4}, {-36, 1}}}));

// Catches an order given to nobody (ped 0): the game drops it, or files it in a sequence some script
// is building. The guard model streams in 54 s after it is first asked for and the plug-in gives up
// on each guard after 3 s: the cargo boat's guard and the first escort's four never come, the
// second escort's four do, led by its oarsman, and nobody rows the first escort.
TEST_F(RunningEventsTest, AnEscortWhoseGuardsNeverCameIsGivenNoOrders) {
    world.models[0x9FD6BA58u].resident = true;
    world.modelLoadFrames = 1650;
    RandomBoatRobberyExecutor robbery(eventNorth(200.0f, 9));
    robbery.tick();
    ASSERT_EQ(seating(), (std::map<long, int>{{0, 0}, {12, 0}, {-12, 4}}));
    for (int frame = 0; frame < 100; ++frame) {  // three times the pace of the escorts' orders
        host.runFrame();
        robbery.tick();
    }
    for (const char* name : {"taskVehicleEscort", "taskVehicleDriveToCoord"}) {
        for (const auto* call : host.callsTo(name))
            EXPECT_NE(call->args[0], 0u) << name;
    }
    for (const auto* call : host.callsTo("taskVehicleEscort"))
        EXPECT_NE(call->args[0], call->args[2]) << "the leader, rowing an escort boat, told to escort himself";
}

// Catches a boat that is gone or wrecked still asked after or given orders when the escorts are
// re-ordered: the game refuses a handle that is gone, and nobody rows a wreck.
TEST_F(RunningEventsTest, EscortBoatsGoneOrWreckedAreLeftOutOfTheOrders) {
    RandomBoatRobberyExecutor robbery(eventNorth(200.0f, 9));
    robbery.tick();
    std::vector<std::uint32_t> escorts;
    for (const sim::Entity* boat : world.vehicles()) {
        if (boat->position.y != kPlayer.y + 200.0f) escorts.push_back(boat->handle);
    }
    ASSERT_EQ(escorts.size(), 2u);
    world.deleteEntity(escorts[0]);
    world.entity(escorts[1])->driveable = false;
    for (int frame = 0; frame < 100; ++frame) {  // three times the pace of the escorts' orders
        host.runFrame();
        robbery.tick();
    }
    EXPECT_EQ(callCount("taskVehicleDriveToCoord"), 0u);
}

struct BareEvent : RandomEventExecutor {
    BareEvent() : RandomEventExecutor(Vec3{}, 0.0f) {}
    void update() override {}
    const std::vector<Entity>& held() const { return entities; }
};

// Catches the base's list not kept, or handed back through the list itself, which the game would
// zero: each release hands back every entity, however often it is asked.
TEST_F(RunningEventsTest, TheBaseEventHandsBackWhatItHoldsEachTimeAsked) {
    BareEvent event;
    const Entity first = world.createVehicle(0x9FD6BA58u, sim::Vec3{}, 0.0f);
    const Entity second = world.createVehicle(0x9FD6BA58u, sim::Vec3{}, 0.0f);
    EXPECT_EQ(event.addEntity(first), first);
    EXPECT_EQ(event.addEntity(second), second);
    event.releaseEntities();
    EXPECT_TRUE(world.entity(first)->released && world.entity(second)->released);
    event.releaseEntities();
    EXPECT_THAT(event.held(), ElementsAre(first, second));
    EXPECT_EQ(callCount("releaseEntity"), 4u);
}

// Catches a fourth event started while three run, or a finished event taken out of the wrong place.
TEST_F(RunningEventsTest, HoldsThreeEventsAtMostAndDropsAFinishedOneFromTheMiddle) {
    DictDataFile configs{"unused/Configs.dat"};
    ConfigsData = &configs;
    configs.setInt("boat_robberies.min_reward", 10);
    configs.setInt("boat_robberies.max_reward", 20);
    configs.setString("boat_robberies.guard_bonus", "0.1");
    auto settings = defaultSettings();
    settings["RandomBoatRobberyEventsFrequency"] = "1";
    loadSettings("unused/Settings.ini", settings);

    CargoBoatEventsGenerator firstStart(true);
    cargoBoatEventsGenerator = &firstStart;
    CargoBoatsManager manager;
    // Only the middle one is near enough to start.
    for (const float north : {2000.0f, 100.0f, 3000.0f})
        manager.onEvent(eventNorth(north, 1));
    auto running = [&manager] {
        std::vector<const RandomBoatRobberyExecutor*> list;
        for (const auto& executor : manager.getExecutors())
            list.push_back(executor.get());
        return list;
    };
    const auto three = running();
    CargoBoatEventsGenerator ready(true);  // would publish at point 43 if asked
    ready.subscribe(&manager);
    cargoBoatEventsGenerator = &ready;
    world.gameTimeMs += 14401;
    manager.update();
    ASSERT_EQ(running(), three) << "a fourth event was started";

    ASSERT_EQ(world.vehicles().size(), 1u);
    world.entity(world.vehicles().front()->handle)->dead = true;
    manager.update();
    EXPECT_THAT(running(), ElementsAre(three[0], three[2]));
    for (const auto& [handle, entity] : world.entities)
        EXPECT_EQ(entity.released, entity.madeByScript);
    manager.update();
    EXPECT_EQ(running().size(), 3u) << "with two running, an attempt is made";
}

}  // namespace
}  // namespace tollmere::testing
