// The river robbery, from its publication to the sale of the cargo boat, and its other endings.

#include "PluginTest.h"

#include "Hash.h"

#include <algorithm>
#include <stdexcept>

namespace tollmere::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

// Spawn point 43 of the river, far enough from the others that it is the only candidate for a
// player standing north of it.
const sim::Vec3 kPoint43{2951.23f, 1200.03f, 40.5784f};
// The dock nearest to it: Annesburg.
const sim::Vec3 kAnnesburgMooring{3030.36f, 1365.81f, 40.6063f};
constexpr std::uint32_t kGuardModel = sim::hashOf("a_m_m_bivroughtravellers_01");

class RobberyTest : public PluginTest {
protected:
    sim::World& world() { return game.world(); }

    // Starts with every attempt succeeding and lets the 14.4 s before the first attempt pass with
    // the player far from every spawn point (where no spawn point is drawn); then puts him
    // `distance` m north of point 43 with scripted draws: the point, tint 2, lantern 1, cargo 3,
    // then the reward's base.
    void startNear(float distance, std::int32_t rewardBase = 80) {
        game.writeFile("Settings.ini", "RandomBoatRobberyEventsFrequency=1\n");
        world().playerPed().position = sim::Vec3{};
        startAndSettle();
        world().playerPed().position = sim::Vec3{};
        game.runFor(14500);
        world().playerPed().position = sim::Vec3{kPoint43.x, kPoint43.y + distance, kPoint43.z};
        world().scriptedInts.assign({0, 2, 1, 3, rewardBase});
        world().scriptedFloats.assign({0.5f});
        game.runFrame();
    }

    int logIndex(const std::string& text) { return game.findLog(text); }

    std::vector<const sim::Entity*> guards() {
        std::vector<const sim::Entity*> found;
        for (const auto& [handle, entity] : world().entities) {
            if (entity.kind == sim::EntityKind::ped && entity.model == kGuardModel) found.push_back(&entity);
        }
        return found;
    }
    const sim::Entity* cargoBoat() {
        for (const sim::Entity* vehicle : world().vehicles()) {
            if (vehicle->decorators.contains("QY_RB_boatValue")) return vehicle;
        }
        return nullptr;
    }
    // Starts a robbery 200 m off and puts him in its cargo boat, for the crew to turn on him.
    const sim::Entity& boardCargoBoat(int frames) {
        startNear(200.0f);
        game.runFrames(40);
        const sim::Entity* boat = cargoBoat();
        if (boat == nullptr) throw std::runtime_error("no cargo boat 40 frames after the robbery's start");
        world().putPlayerInVehicle(boat->handle);
        game.runFrames(frames);
        return *boat;
    }
    bool docksDisabled() {
        return std::all_of(world().blips.begin(), world().blips.end(), [](const auto& entry) {
            return entry.second.entity != 0 || entry.second.modifiers.contains(0x2B30E11Fu);
        });
    }
};

// Catches any step of the robbery out of place: the event published with its draws, nothing in the
// water before 300 m, the boats, guards, groups and tasks, the tutorial at 50 m, the combat order,
// the docks during the alarm, and the sale ending the event in the same frame with its log.
TEST_F(RobberyTest, FromPublicationToTheSale) {
    startNear(350.0f);
    ASSERT_GE(logIndex("CargoBoatsManager: starting event at coords: 2951.23,1200.03,40.5784 distance from player: "
                       "350.000000"),
              0);
    EXPECT_TRUE(world().vehicles().empty()) << "nothing appears until the player is within 300 m";
    game.runFrames(30);
    EXPECT_TRUE(world().vehicles().empty());

    world().playerPed().position = sim::Vec3{kPoint43.x, kPoint43.y + 299.0f, kPoint43.z};
    game.runFrames(40);
    ASSERT_GE(logIndex("RandomEventExecutor: event triggered. coords: 2951.23,1200.03,40.5784"), 0);
    const sim::Entity* boat = cargoBoat();
    ASSERT_NE(boat, nullptr);
    ASSERT_EQ(world().vehicles().size(), 2u) << "the cargo boat and one escort";
    EXPECT_EQ(boat->decorators.at("QY_RB_boatValue"), 120) << "(0.1 x 5 + 1) x 80";
    EXPECT_EQ(boat->tint, 2);
    EXPECT_EQ(boat->propSet, sim::hashOf("pg_mp_veh_rowboat_supplies04"));
    EXPECT_EQ(boat->lanternPropSet, sim::hashOf("pg_veh_rowboat_lightupgrade_2"));

    ASSERT_EQ(guards().size(), 5u);
    for (const sim::Entity* guard : guards()) EXPECT_FALSE(guard->released) << "held until the event ends";
    for (const sim::Entity* vehicle : world().vehicles()) EXPECT_FALSE(vehicle->released);
    const std::uint32_t leader = world().driverOf(boat->handle);
    ASSERT_NE(leader, 0u);
    const sim::Entity& leaderPed = *world().entity(leader);
    ASSERT_NE(leaderPed.currentTask(), nullptr);
    EXPECT_EQ(leaderPed.currentTask()->kind, sim::TaskKind::driveWander);
    const sim::PedGroup& group = world().groups.at(leaderPed.group);
    EXPECT_EQ(group.leader, leader);
    EXPECT_EQ(group.members.size(), 4u);
    for (const sim::Entity* guard : guards()) {
        EXPECT_EQ(guard->decorators.at("honor_override"), 0);
        EXPECT_TRUE(guard->configFlags.at(279));
        EXPECT_FALSE(guard->configFlags.at(545));
    }
    const sim::Entity* escort = world().vehicles()[0] == boat ? world().vehicles()[1] : world().vehicles()[0];
    const sim::Entity& escortDriver = *world().entity(world().driverOf(escort->handle));
    EXPECT_EQ(escortDriver.tasks.front().kind, sim::TaskKind::vehicleEscort);

    // Up close, the first robbery tutorial; aboard, the crew turns on the player.
    world().playerPed().position = world().positionOf(boat->handle);
    game.runFrames(2);
    EXPECT_THAT(game.logMessages(), Contains("tutorial seen: boat_robberies.1"));
    world().putPlayerInVehicle(boat->handle);
    game.runFrames(2);
    for (const sim::Entity* guard : guards()) {
        ASSERT_NE(guard->currentTask(), nullptr);
        EXPECT_EQ(guard->currentTask()->kind, sim::TaskKind::combatPed);
    }

    // A guard fleeing raises the alarm: the robbery closes the docks in that frame, and the next
    // frame opens them again, so the boat can still be sold.
    world().entity(escortDriver.handle)->fleeing = true;
    game.runFrames(1);
    EXPECT_TRUE(docksDisabled());
    EXPECT_THAT(game.logMessages(), Contains("tutorial seen: boat_robberies.lose_law"));
    game.runFrames(1);
    EXPECT_FALSE(docksDisabled());
    world().entity(escortDriver.handle)->fleeing = false;
    game.runFrames(2);
    EXPECT_FALSE(docksDisabled());
    EXPECT_THAT(game.logMessages(), Contains("tutorial seen: boat_robberies.2"));

    // A second alarm closes the docks and opens them again, and its two tutorials, both seen, come
    // back only on the game's last draw of five.
    const std::size_t textsShown = world().helpTexts.size();
    world().scriptedInts = {0, 0};
    world().entity(escortDriver.handle)->fleeing = true;
    game.runFrames(1);
    EXPECT_TRUE(docksDisabled());
    world().entity(escortDriver.handle)->fleeing = false;
    game.runFrames(2);
    EXPECT_FALSE(docksDisabled());
    EXPECT_TRUE(world().scriptedInts.empty());
    EXPECT_EQ(world().helpTexts.size(), textsShown);

    // The sale at Annesburg pays the stored value and ends the event in the same frame.
    world().moveVehicle(boat->handle, kAnnesburgMooring);
    world().moveVehicle(escort->handle,
                        sim::Vec3{kAnnesburgMooring.x + 12.0f, kAnnesburgMooring.y, kAnnesburgMooring.z});
    const std::int64_t cashBefore = world().cashCents;
    world().input.hold("INPUT_CONTEXT_B", 45);
    int soldAt = -1;
    for (int frame = 0; frame < 45 && soldAt < 0; ++frame) {
        game.runFrame();
        soldAt = logIndex("boat sold at fence. dock id: 8 dock name: Annesburg boat value: 120");
    }
    ASSERT_GE(soldAt, 0);
    EXPECT_EQ(world().cashCents - cashBefore, 12000);
    // In one frame and in this order: the sale, the outcome, the termination.
    const int outcome = game.findLog("RandomEventExecutor: outcome changed: 0 -> 2", soldAt);
    const int terminating = game.findLog("CargoBoatsManager: terminating event, id: 0", soldAt);
    const int terminated = game.findLog("event terminated", soldAt);
    EXPECT_GT(outcome, soldAt);
    EXPECT_GT(terminating, outcome);
    EXPECT_GT(terminated, terminating);
    for (const sim::Entity* vehicle : world().vehicles()) EXPECT_TRUE(vehicle->released);
    for (const sim::Entity* guard : guards()) EXPECT_TRUE(guard->released);
}

// Catches the alarm's distance off by a hair or measured from somewhere else: a guard 200 m or more
// from the player in the stolen boat raises it, one just inside does not.
TEST_F(RobberyTest, AGuardLeftTwoHundredMetresBehindRaisesTheAlarm) {
    const sim::Entity* boat = &boardCargoBoat(3);
    const std::uint32_t escort =
        world().vehicles()[0] == boat ? world().vehicles()[1]->handle : world().vehicles()[0]->handle;
    ASSERT_EQ(world().entity(world().driverOf(escort))->currentTask()->kind, sim::TaskKind::combatPed);
    // Fighting, nobody rows: the boats stay where they are put. Points a float holds exactly, so the
    // distances are exact too.
    world().moveVehicle(boat->handle, sim::Vec3{2950.0f, 1200.0f, 40.5f});

    world().moveVehicle(escort, sim::Vec3{2950.0f, 1399.5f, 40.5f});
    game.runFrames(3);
    EXPECT_EQ(logIndex("tutorial seen: boat_robberies.lose_law"), -1) << "199.5 m: no alarm";
    world().moveVehicle(escort, sim::Vec3{2950.0f, 1400.0f, 40.5f});
    game.runFrames(3);
    EXPECT_GE(logIndex("tutorial seen: boat_robberies.lose_law"), 0) << "200 m: the alarm";
}

// Catches the player made unavailable while he holds the cargo boat leaving the alarm silent. (Guards
// lost in every other way, gone ones included, are played by the random player.)
TEST_F(RobberyTest, ThePlayerMadeUnavailableRaisesTheAlarm) {
    boardCargoBoat(3);
    ASSERT_EQ(logIndex("tutorial seen: boat_robberies.lose_law"), -1);
    world().player.unavailable = true;
    game.runFrames(2);
    EXPECT_GE(logIndex("tutorial seen: boat_robberies.lose_law"), 0);
}

struct EndingCase {
    const char* name;
    void (*end)(sim::World& world, std::uint32_t boat);
    const char* outcome;
    bool claimed = false;  // he docked the cargo boat first, with the crew about, and so owns it
    friend std::ostream& operator<<(std::ostream& out, const EndingCase& c) { return out << c.name; }
};

class RobberyEndingTest : public RobberyTest, public ::testing::WithParamInterface<EndingCase> {};

// Catches an event that outlives its boat, the player, or the player's interest, and one that hands
// back to the game (which clears it) the cargo boat he claimed.
TEST_P(RobberyEndingTest, EndsTheEvent) {
    if (GetParam().claimed) {
        boardCargoBoat(3);
    } else {
        startNear(200.0f);
        game.runFrames(40);
    }
    const sim::Entity* boat = cargoBoat();
    ASSERT_NE(boat, nullptr);
    const std::uint32_t handle = boat->handle;
    if (GetParam().claimed) {
        world().moveVehicle(handle, kAnnesburgMooring);
        world().entity(handle)->anchored = true;
        world().entity(handle)->speedSetByTest = 0.0f;
        world().input.hold("INPUT_CONTEXT_X", 60);
        game.runFrames(60);
        world().putPlayerOnFoot();
    }
    // What the event lets go of, the game takes away at once: nothing of it may be left behind.
    world().removeReleasedAtOnce = true;
    GetParam().end(world(), handle);
    game.runFrames(2);
    EXPECT_GE(logIndex(std::string("RandomEventExecutor: outcome changed: 0 -> ") + GetParam().outcome), 0);
    EXPECT_GE(logIndex("event terminated"), 0);
    EXPECT_EQ(world().vehicles().size(), GetParam().claimed ? 1u : 0u);
    EXPECT_EQ(world().entity(handle) != nullptr, GetParam().claimed) << "the very boat he claimed, not one placed again";
    EXPECT_EQ(valueIn("PlayerBoat.dat", "owned_boat_model"), GetParam().claimed ? "-1613317544" : "0");
    EXPECT_TRUE(guards().empty());
}

INSTANTIATE_TEST_SUITE_P(
    , RobberyEndingTest,
    ::testing::Values(
        EndingCase{"boatDestroyed", [](sim::World& w, std::uint32_t b) { w.entity(b)->health = 0; }, "1"},
        EndingCase{"playerDead", [](sim::World& w, std::uint32_t) { w.playerPed().dead = true; }, "1"},
        EndingCase{"leftBehind",
                   [](sim::World& w, std::uint32_t b) {
                       const sim::Vec3 at = w.positionOf(b);
                       w.playerPed().position = sim::Vec3{at.x, at.y + 600.5f, at.z};
                   },
                   "4"},
        EndingCase{"claimedThenPlayerDead", [](sim::World& w, std::uint32_t) { w.playerPed().dead = true; }, "1", true},
        EndingCase{"claimedThenLeftBehind",
                   [](sim::World& w, std::uint32_t b) {
                       const sim::Vec3 at = w.positionOf(b);
                       w.playerPed().position = sim::Vec3{at.x, at.y + 601.0f, at.z};
                   },
                   "4", true}),
    [](const auto& info) { return std::string(info.param.name); });

// Catches the abandon distance off by a hair: exactly 600 m from the cargo boat the event goes on.
TEST_F(RobberyTest, SixHundredMetresAwayTheEventGoesOn) {
    startNear(200.0f);
    game.runFrames(40);
    const sim::Entity* boat = cargoBoat();
    ASSERT_NE(boat, nullptr);
    // Anchored once there, the crew cannot row it, so the distance stays exact.
    world().moveVehicle(boat->handle, sim::Vec3{2950.0f, 1200.0f, 40.5f});
    world().entity(boat->handle)->anchored = true;
    world().playerPed().position = sim::Vec3{2950.0f, 1800.0f, 40.5f};
    game.runFrames(3);
    EXPECT_EQ(logIndex("event terminated"), -1);
    world().playerPed().position = sim::Vec3{2950.0f, 1800.5f, 40.5f};
    game.runFrames(2);
    EXPECT_GE(logIndex("RandomEventExecutor: outcome changed: 0 -> 4"), 0);
}

// Catches a cargo boat that never loads leaving the event running for ever.
TEST_F(RobberyTest, ABoatModelThatNeverLoadsEndsTheEventAsFailed) {
    world().modelsThatNeverLoad.insert(0x9FD6BA58u);
    startNear(200.0f);
    // Each 10 ms wait of a model load takes a whole frame: two boats' 300 requests each.
    game.runFor(25000);
    EXPECT_GE(logIndex("RandomEventExecutor: outcome changed: 0 -> 1"), 0);
    EXPECT_TRUE(world().vehicles().empty());
}

// Catches a guard model that never loads freezing the plug-in (each wait is bounded), and an event
// without a single guard left running with boats nobody rows.
TEST_F(RobberyTest, AGuardModelThatNeverLoadsEndsTheEventAsFailed) {
    world().modelsThatNeverLoad.insert(kGuardModel);
    startNear(200.0f);
    // Five guards, each given up after 300 requests a frame apart.
    game.runFor(60000);
    EXPECT_TRUE(guards().empty());
    EXPECT_GE(logIndex("RandomEventExecutor: outcome changed: 0 -> 1"), 0);
    for (const sim::Entity* vehicle : world().vehicles()) EXPECT_TRUE(vehicle->released);
    EXPECT_GT(game.host().callsInFrame(world().frame), 0) << "the plug-in still runs its frames";
}

// Catches later guards tasked with ped 0 as their leader when the leader was never created.
TEST_F(RobberyTest, WithoutTheLeaderTheFirstGuardCreatedLeads) {
    world().modelsThatNeverLoad.insert(kGuardModel);
    startNear(200.0f);
    // The escort boat is spawned once the leader's model was given up.
    for (int frame = 0; frame < 1000 && world().vehicles().size() < 2; ++frame) game.runFrame();
    world().modelsThatNeverLoad.clear();
    game.runFor(3000);
    ASSERT_EQ(guards().size(), 4u);
    EXPECT_EQ(world().driverOf(cargoBoat()->handle), 0u);
    for (const char* name : {"setPedAsGroupMember", "setPedAsGroupLeader", "taskVehicleDriveWander"}) {
        for (const auto* call : game.host().callsTo(name)) EXPECT_NE(call->args[0], 0u) << name;
    }
    EXPECT_EQ(game.host().callsTo("setPedAsGroupMember").size(), 3u);
}

// Catches a guard falling behind closing the docks for good (the stolen boat is still sold), and
// anything of the event, the dead guard above all, kept from the game once it ended: when the player
// has gone, nothing of it is left in the water and the map holds only the open docks.
TEST_F(RobberyTest, AGuardKilledAndLeftBehindDoesNotStopTheSale) {
    const sim::Entity* boat = &boardCargoBoat(2);
    const sim::Entity* escort = world().vehicles()[0] == boat ? world().vehicles()[1] : world().vehicles()[0];
    sim::Entity& killed = *world().entity(world().driverOf(escort->handle));
    killed.dead = killed.incapacitated = true;
    killed.health = 0;
    world().moveVehicle(boat->handle, kAnnesburgMooring);
    world().moveVehicle(escort->handle, sim::Vec3{kAnnesburgMooring.x, kAnnesburgMooring.y - 250.0f, 40.6f});
    game.runFrames(3);
    EXPECT_THAT(game.logMessages(), Contains("tutorial seen: boat_robberies.lose_law"));
    const std::int64_t cashBefore = world().cashCents;
    world().input.hold("INPUT_CONTEXT_B", 45);
    game.runFrames(45);
    EXPECT_GE(logIndex("boat sold at fence. dock id: 8 dock name: Annesburg boat value: 120"), 0);
    EXPECT_EQ(world().cashCents - cashBefore, 12000);
    EXPECT_GE(logIndex("RandomEventExecutor: outcome changed: 0 -> 2"), 0);

    game.runFrames(5);
    world().putPlayerOnFoot();
    world().playerPed().position = sim::Vec3{};
    game.runFor(5000);
    EXPECT_TRUE(world().vehicles().empty());
    EXPECT_TRUE(guards().empty());
    EXPECT_EQ(world().blips.size(), 15u);
    for (const auto& [handle, blip] : world().blips)
        EXPECT_TRUE(blip.entity == 0 && blip.modifiers.empty());
}

class RewardKeysTest : public RobberyTest, public ::testing::WithParamInterface<std::string> {};

// Catches missing reward keys making a reward of millions, or reversed bounds reaching the draw.
TEST_P(RewardKeysTest, BrokenRewardKeysMeanNoRobberyThisRun) {
    const std::string configs = game.readFile("Configs.dat");
    // The three reward keys are the file's first lines.
    game.writeFile("Configs.dat", GetParam() + configs.substr(configs.find("boat_upgrades")));
    startNear(200.0f);
    game.runFor(30000);
    const auto log = game.logMessages();
    const auto linesStarting = [&](const char* text) {
        return std::count_if(log.begin(), log.end(), [&](const std::string& line) { return line.starts_with(text); });
    };
    EXPECT_EQ(linesStarting("CargoBoatsManager: starting event"), 0);
    EXPECT_EQ(linesStarting("no river robbery in this run: in Configs.dat"), 1);
}

INSTANTIATE_TEST_SUITE_P(, RewardKeysTest,
                         ::testing::Values(std::string(), std::string("boat_robberies.guard_bonus=0.1\n"
                                                                      "boat_robberies.max_reward=50\n"
                                                                      "boat_robberies.min_reward=60\n"),
                                           std::string("boat_robberies.guard_bonus=0.1\nboat_robberies.max_reward=120\n"),
                                           std::string("boat_robberies.guard_bonus=0.1\nboat_robberies.min_reward=60\n")));

// Catches a second event being attempted once the first is published, even after it ended.
TEST_F(RobberyTest, OnlyOneEventPerRun) {
    startNear(200.0f);
    game.runFrames(40);
    world().playerPed().dead = true;
    game.runFrames(2);
    ASSERT_GE(logIndex("event terminated"), 0);
    const auto draws = game.host().callsTo("getRandomFloatInRange").size();
    game.runFor(40000);
    EXPECT_EQ(game.host().callsTo("getRandomFloatInRange").size(), draws);
}

// Catches the robbery running while the setting turns it off.
TEST_F(RobberyTest, SwitchedOffNothingIsGenerated) {
    game.writeFile("Settings.ini", "EnableBoatRobberies=0\n");
    startAndSettle();
    game.runFor(30000);
    EXPECT_TRUE(game.host().callsTo("getRandomFloatInRange").empty());
    EXPECT_EQ(logIndex("event terminated"), -1);
}

// Catches a hold lost to a wait inside an operation: the player holds the manage prompt on the pier
// when a robbery triggers nearby, and its set-up spends a dozen frames loading boats and guards
// with nobody polling. Held on, the hold still opens the dock menu.
TEST_F(RobberyTest, AHoldOnThePierOpensTheDockMenuThroughARobberysSetUp) {
    // The attempt made as he reaches the pier fails its draw, so the next comes 14.4 s later, a
    // quarter of a second into his hold.
    game.writeFile("Settings.ini", "RandomBoatRobberyEventsFrequency=0.5\n");
    world().playerPed().position = sim::Vec3{};
    startAndSettle();
    game.runFor(14500);
    world().playerPed().position = sim::Vec3{3031.74f, 1370.2f, 42.6217f};  // Annesburg's pier, 188 m away
    world().scriptedFloats.assign({0.1f});
    game.runFrame();
    const std::int32_t nextAttempt = world().gameTimeMs + 14400;
    while (world().gameTimeMs + 250 < nextAttempt)
        game.runFrame();
    const sim::GamePrompt* close = world().prompts.withText(langText("prompts.close"));
    ASSERT_NE(close, nullptr);
    world().input.hold("INPUT_CONTEXT_Y", 100);
    for (int frame = 0; frame < 60 && !world().prompts.isVisible(close->handle); ++frame) {
        world().scriptedInts.assign({0});  // point 43, the nearer of the two in reach
        world().scriptedFloats.assign({0.9f});
        game.runFrame();
    }
    EXPECT_GE(logIndex("RandomEventExecutor: event triggered. coords: 2951.23,1200.03,40.5784"), 0);
    EXPECT_TRUE(world().prompts.isVisible(close->handle));
}

// Catches the robbery's set-up reaching, once its waits end, for the character of a player who
// died and came back as a new one meanwhile: the game has removed that one.
TEST_F(RobberyTest, APlayerBackFromDeathDuringTheSetUpIsTheOneMeasured) {
    startNear(350.0f);
    world().respawnDelayMs = 100;
    world().respawnPoint = sim::Vec3{kPoint43.x, kPoint43.y + 100.0f, kPoint43.z};
    const std::uint32_t before = world().player.ped;
    world().playerPed().position = sim::Vec3{kPoint43.x, kPoint43.y + 299.0f, kPoint43.z};
    world().playerPed().dead = true;
    EXPECT_NO_THROW(game.runFrames(60));
    ASSERT_GE(logIndex("RandomEventExecutor: event triggered. coords: 2951.23,1200.03,40.5784"), 0);
    EXPECT_NE(world().player.ped, before) << "he came back as a new character";
    EXPECT_NE(cargoBoat(), nullptr) << "he is back 100 m from the robbery, which goes on";
}

}  // namespace
}  // namespace tollmere::testing
