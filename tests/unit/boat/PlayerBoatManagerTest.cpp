// Operations on the owned boat that the end-to-end roads reach only later (catalogue, docking).

#include "boat/BoatRecordFile.h"
#include "boat/PlayerBoatManager.h"
#include "data/DataFiles.h"
#include "docks/DocksRegistry.h"
#include "unit/data/DataTestSupport.h"
#include "unit/host/DirectGame.h"

#include "Hash.h"

namespace tollmere::testing {
namespace {

class PlayerBoatManagerTest : public DirectGameTest {
protected:
    PlayerBoatManagerTest() {
        LangData = &lang;
        ConfigsData = &configs;
        PlayerBoatData = &record;
        TutorialFlagsData = &flags;
        for (const char* name : {"QY_RB_isPlayerBoat", "QY_RB_isBoatSold", "QY_RB_boatValue"}) {
            world.decorators[name] = 3;
        }
        record.setInt("owned_boat_model", static_cast<std::int32_t>(0x9FD6BA58u));
        record.setInt("dock_id", 0);
        record.save(true);
    }

    test::ScopedWorkDir folder;
    DictDataFile lang{"Tollmere/Lang.dat"};
    DictDataFile configs{"Tollmere/Configs.dat"};
    DictDataFile record{"Tollmere/PlayerBoat.dat"};
    DictDataFile flags{"Tollmere/TutorialFlags.dat"};
    PlayerBoatManager boats;
};

// Catches a model swap that leaves the old boat behind, moves the new one, or keeps old options.
TEST_F(PlayerBoatManagerTest, AnotherModelReplacesTheBoatWhereItFloats) {
    boats.spawnBoat(Vec3{2000, -600, 40.5f}, 45.0f);
    boats.setPropset(1);
    const Vehicle old = boats.getBoatEntity();

    boats.setBoatModel(static_cast<std::int32_t>(0xE84E6B74u));
    ASSERT_EQ(world.vehicles().size(), 1u);
    const sim::Entity& boat = *world.vehicles().front();
    EXPECT_NE(boat.handle, old);
    EXPECT_EQ(boat.model, 0xE84E6B74u);
    EXPECT_EQ(boat.position, (sim::Vec3{2000, -600, 40.5f}));
    EXPECT_FLOAT_EQ(boat.heading, 45.0f);
    EXPECT_EQ(boat.tint, 1);
    EXPECT_EQ(boat.propSet, 0u);
    EXPECT_EQ(boats.getPropsetIndex(), -1);
}

// Catches prop sets the game fitted being read back at the wrong index, or a lantern invented.
TEST_F(PlayerBoatManagerTest, ClaimingDetectsTheFittedPropSets) {
    record.setInt("owned_boat_model", 0);
    const std::uint32_t found = world.createVehicle(0x9FD6BA58u, sim::Vec3{1, 2, 40}, 0.0f);
    world.entity(found)->propSet = sim::hashOf("pg_veh_rowboat_02");
    world.entity(found)->health = 400;
    boats.claimBoat(found);
    EXPECT_EQ(boats.getPropsetIndex(), 1);
    EXPECT_EQ(boats.getLanternPropsetIndex(), -1);
    EXPECT_EQ(boats.getBoatEntity(), found);
    const std::string saved = test::readTextFile("Tollmere/PlayerBoat.dat");
    EXPECT_THAT(saved, ::testing::HasSubstr("propset_index=1\n"));
    EXPECT_THAT(saved, ::testing::HasSubstr("health=0.4")) << "the claimed boat's damage";

    const std::uint32_t canoe = world.createVehicle(0x12345678u, sim::Vec3{}, 0.0f);
    boats.claimBoat(canoe);
    EXPECT_EQ(boats.getBoatEntity(), found) << "an unknown model is refused";
}

// Catches the setters' dirty rules swapped: an unchanged tint must not force a write, an index
// always counts as a change.
TEST_F(PlayerBoatManagerTest, AnUnchangedTintLeavesTheRecordCleanAPropSetIndexDoesNot) {
    record.setInt("tint", 3);
    record.save(false);
    boats.setTint(3);
    EXPECT_FALSE(record.isDirty());
    boats.setPropset(-1);
    EXPECT_TRUE(record.isDirty());
}

// Catches fittings or lanterns picked past the model's list being applied, or not stored first.
TEST_F(PlayerBoatManagerTest, APropSetPastTheListFailsAfterStoringTheIndex) {
    boats.spawnBoat(Vec3{1, 1, 40}, 0.0f);
    try {
        boats.setPropset(2);
        FAIL() << "index 2 is past the rowboat's two prop sets";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid vector subscript");
    }
    EXPECT_EQ(boats.getPropsetIndex(), 2);
    EXPECT_THROW(boats.setLanternPropset(3), std::out_of_range) << "past the rowboat's three lanterns";
    EXPECT_EQ(boats.getLanternPropsetIndex(), 3);
}

// Catches a saved option the model does not offer (a hand-edited or stale record) failing the spawn
// or fitting something: the boat comes without it, and the record keeps it.
TEST_F(PlayerBoatManagerTest, ASavedOptionTheModelDoesNotOfferIsLeftOff) {
    record.setInt("owned_boat_model", static_cast<std::int32_t>(0xD84D4530u));  // offers none
    record.setInt("propset_index", 0);
    record.setInt("lantern_propset_index", 0);
    boats.spawnBoat(Vec3{1, 1, 40}, 0.0f);
    const sim::Entity& boat = *world.vehicles().front();
    EXPECT_TRUE(boat.propSet == 0u && boat.lanternPropSet == 0u);
    EXPECT_TRUE(boats.getPropsetIndex() == 0 && boats.getLanternPropsetIndex() == 0);
}

// Catches a copy that misses a change of boat, follows every save, or is written over at start-up
// while the record holds no boat: after a release's folder was copied over his, it is all he has.
TEST_F(PlayerBoatManagerTest, TheKeptCopyNamesTheBoatHeOwns) {
    const char* copy = "Tollmere/PlayerBoat.dat.bak";
    auto sameAsRecord = [&] {
        return test::readTextFile(copy) == test::readTextFile("Tollmere/PlayerBoat.dat");
    };
    boats.keepCopyOfRecordAtStart();
    EXPECT_TRUE(sameAsRecord()) << "a boat bought before copies were kept";
    boats.spawnBoat(Vec3{1, 1, 40}, 0.0f);
    boats.setDockId(3);
    boats.saveBoatState();
    EXPECT_FALSE(sameAsRecord()) << "mooring the same boat";
    EXPECT_EQ(boatModelInRecordFile(copy), static_cast<std::int32_t>(0x9FD6BA58u));
    boats.discardBoat();
    boats.saveBoatState();
    EXPECT_TRUE(sameAsRecord()) << "sold: the copy offers no boat back";
    EXPECT_EQ(boatModelInRecordFile(copy), 0);
    test::writeTextFile(copy, "owned_boat_model=-1613317544\n");
    boats.keepCopyOfRecordAtStart();
    EXPECT_EQ(test::readTextFile(copy), "owned_boat_model=-1613317544\n") << "a record overwritten by hand";
    EXPECT_THAT(test::logMessages(), ::testing::Contains(::testing::HasSubstr("run tollmere-check")));
    boats.setBoatModel(static_cast<std::int32_t>(0xE84E6B74u));
    boats.saveBoatState();
    EXPECT_TRUE(sameAsRecord()) << "another model bought";
    EXPECT_EQ(boatModelInRecordFile(copy), static_cast<std::int32_t>(0xE84E6B74u));
    test::writeTextFile(copy, "owned_boat_model=-1613317544\nhalf a line");
    EXPECT_EQ(boatModelInRecordFile(copy), 0) << "a copy the plug-in would not load offers no boat";
}

// A boat the game took away while he was elsewhere is made anew where he calls it, with its
// options; once he sells it, he has no options, dock or boat to show.
TEST_F(PlayerBoatManagerTest, ABoatTheGameTookIsMadeAgainAndASoldOneLeavesNothing) {
    record.setInt("tint", 2);
    record.setInt("lantern_propset_index", 0);
    boats.spawnBoat(Vec3{1, 1, 40}, 0.0f);
    world.deleteEntity(boats.getBoatEntity());
    boats.spawnBoat(Vec3{2000, -600, 40.5f}, 45.0f);

    ASSERT_EQ(world.vehicles().size(), 1u);
    const sim::Entity& boat = *world.vehicles().front();
    EXPECT_EQ(boats.getBoatEntity(), boat.handle);
    EXPECT_EQ(boat.position, (sim::Vec3{2000, -600, 40.5f}));
    EXPECT_EQ(boat.tint, 2);
    EXPECT_NE(boat.lanternPropSet, 0u);
    EXPECT_NE(world.blipOn(boat.handle), nullptr);

    boats.discardBoat();
    EXPECT_FALSE(boats.hasOwnedBoat());
    for (const std::int32_t index :
         {boats.getTint(), boats.getPropsetIndex(), boats.getLanternPropsetIndex(), boats.getDockId()}) {
        EXPECT_EQ(index, -1);
    }
}

}  // namespace
}  // namespace tollmere::testing
