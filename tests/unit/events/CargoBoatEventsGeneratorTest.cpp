// When and where a river robbery is published.

#include "data/DataFiles.h"
#include "data/Settings.h"
#include "events/CargoBoatEventsGenerator.h"
#include "unit/host/DirectGame.h"

namespace tollmere::testing {
namespace {

const sim::Vec3 kPoint43{2951.23f, 1200.03f, 40.5784f};

struct Recorder : EventsSubscriber<CargoBoatEvent> {
    void onEvent(CargoBoatEvent event) override { events.push_back(std::move(event)); }
    std::vector<CargoBoatEvent> events;
};

class GeneratorTest : public DirectGameTest {
protected:
    void SetUp() override {
        ConfigsData = &configs;
        configs.setInt("boat_robberies.min_reward", 10);
        configs.setInt("boat_robberies.max_reward", 20);
        configs.setString("boat_robberies.guard_bonus", "0.1");
        useFrequency("1");
        standNorthOfPoint43(300.0f);
    }
    void TearDown() override { ConfigsData = nullptr; }

    void useFrequency(const char* frequency) {
        auto settings = defaultSettings();
        settings["RandomBoatRobberyEventsFrequency"] = frequency;
        loadSettings("unused/Settings.ini", settings);
    }
    void standNorthOfPoint43(float distance) {
        world.playerPed().position = sim::Vec3{kPoint43.x, kPoint43.y + distance, kPoint43.z};
    }
    // Moves the game clock to `ms` after the generator was made.
    void at(std::int32_t ms) { world.gameTimeMs = start + ms; }

    DictDataFile configs{"unused/Configs.dat"};
    std::int32_t start = world.gameTimeMs;
};

// Catches the 14.4 s between attempts off by a millisecond either way.
TEST_F(GeneratorTest, AttemptsOnlyMoreThan14400MsAfterTheLast) {
    CargoBoatEventsGenerator generator(true);
    Recorder recorder;
    generator.subscribe(&recorder);
    at(14400);
    generator.generate();
    EXPECT_TRUE(recorder.events.empty());
    at(14401);
    generator.generate();
    EXPECT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(recorder.events[0].id, 0);
    EXPECT_EQ(recorder.events[0].crewSize, 5);
}

struct FrequencyCase {
    const char* name;
    const char* frequency;
    float draw;
    bool published;
    friend std::ostream& operator<<(std::ostream& out, const FrequencyCase& c) { return out << c.name; }
};

class FrequencyTest : public GeneratorTest, public ::testing::WithParamInterface<FrequencyCase> {};

// Catches the frequency used unclamped: 0 or below is a 10 % chance, 1 or above always succeeds.
TEST_P(FrequencyTest, ClampsTheChance) {
    useFrequency(GetParam().frequency);
    CargoBoatEventsGenerator generator(true);
    Recorder recorder;
    generator.subscribe(&recorder);
    world.scriptedFloats.assign({GetParam().draw});
    at(15000);
    generator.generate();
    EXPECT_EQ(recorder.events.size(), GetParam().published ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(, FrequencyTest,
                         ::testing::Values(FrequencyCase{"zeroMissesBelowNinety", "0", 0.89f, false},
                                           FrequencyCase{"zeroHitsAtNinety", "0", 0.9f, true},
                                           FrequencyCase{"negativeIsTenPercent", "-3", 0.95f, true},
                                           FrequencyCase{"aboveOneAlways", "4", 0.0f, true},
                                           FrequencyCase{"halfMisses", "0.5", 0.49f, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Catches a spawn point exactly at 150 or 500 m counted as a candidate, and an attempt made (and
// its time taken) without a candidate. Points 43 and 44 of the river lie apart from the rest:
// 150 m north of 44, or 500 m east of 43, no point is strictly between 150 and 500 m away.
TEST_F(GeneratorTest, SpawnPointsAtExactly150Or500MetresAreNeverChosen) {
    CargoBoatEventsGenerator generator(true);
    Recorder recorder;
    generator.subscribe(&recorder);
    const sim::Vec3 kPoint44{2931.79f, 977.688f, 41.101f};
    for (const sim::Vec3& player : {sim::Vec3{kPoint44.x, kPoint44.y + 150.0f, kPoint44.z},
                                    sim::Vec3{kPoint43.x + 500.0f, kPoint43.y, kPoint43.z}}) {
        world.playerPed().position = player;
        EXPECT_TRUE(CargoBoatEventsGenerator::pickSpawnPoint() == Vec3{}) << player.x << "," << player.y;
        at(20000);
        generator.generate();
        EXPECT_TRUE(recorder.events.empty());
    }
    world.playerPed().position = sim::Vec3{kPoint43.x + 499.0f, kPoint43.y, kPoint43.z};
    at(20001);
    generator.generate();
    ASSERT_EQ(recorder.events.size(), 1u) << "the failed attempts did not move the attempt time";
    EXPECT_TRUE(recorder.events[0].position == (Vec3{kPoint43.x, kPoint43.y, kPoint43.z}));
}

// Catches the reward formula or its range bounds off: 10 to 20 with a guard bonus of 0.1 pays 15
// to 30; rewards and bonus of 0 are usable.
TEST_F(GeneratorTest, RewardsRunOverTheWholeRange) {
    for (std::int32_t base : {10, 20}) {
        start = world.gameTimeMs;
        CargoBoatEventsGenerator generator(true);
        Recorder recorder;
        generator.subscribe(&recorder);
        world.scriptedInts.assign({0, 0, 0, 0, base});
        at(15000);
        generator.generate();
        ASSERT_EQ(recorder.events.size(), 1u);
        EXPECT_EQ(recorder.events[0].reward, base == 10 ? 15 : 30);
        const auto draws = host.callsTo("getRandomIntInRange");
        EXPECT_EQ(draws.back()->args[0], 10u);
        EXPECT_EQ(draws.back()->args[1], 21u) << "the upper bound is exclusive";
    }
    // Only what lies below 0 is refused: a robbery for nothing is still one.
    configs.setInt("boat_robberies.min_reward", 0);
    configs.setInt("boat_robberies.max_reward", 0);
    configs.setString("boat_robberies.guard_bonus", "0");
    start = world.gameTimeMs;
    CargoBoatEventsGenerator generator(true);
    Recorder recorder;
    generator.subscribe(&recorder);
    world.scriptedInts.assign({0, 0, 0, 0, 0});
    at(15000);
    generator.generate();
    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(recorder.events[0].reward, 0);
}

}  // namespace
}  // namespace tollmere::testing
