// The owned boat once it is no longer in the world: taken away by the game, or sold.

#include "boat/PlayerBoatManager.h"
#include "data/DataFiles.h"
#include "unit/data/DataTestSupport.h"
#include "unit/host/DirectGame.h"

namespace tollmere::testing {
namespace {

class BoatGoneFromWorldTest : public DirectGameTest {
  protected:
    BoatGoneFromWorldTest() {
        LangData = &lang;
        ConfigsData = &configs;
        PlayerBoatData = &record;
        TutorialFlagsData = &flags;
        world.decorators["QY_RB_isPlayerBoat"] = 3;
        record.setInt("owned_boat_model", static_cast<std::int32_t>(0x9FD6BA58u));
        record.setInt("tint", 2);
        record.setInt("lantern_propset_index", 0);
    }

    test::ScopedWorkDir folder;
    DictDataFile lang{"Tollmere/Lang.dat"};
    DictDataFile configs{"Tollmere/Configs.dat"};
    DictDataFile record{"Tollmere/PlayerBoat.dat"};
    DictDataFile flags{"Tollmere/TutorialFlags.dat"};
    PlayerBoatManager boats;
};

// A boat the game took away while he was elsewhere is made anew where he calls it, with its
// options; once he sells it, he has no options, dock or boat to show.
TEST_F(BoatGoneFromWorldTest, ABoatTheGameTookIsMadeAgainAndASoldOneLeavesNothing) {
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
