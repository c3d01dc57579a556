// A start with a saved boat to place: the plug-in registers all its prompts while the boat's model
// streams in over several frames, and none of them may be in sight meanwhile or after, while the
// player stands far from every dock and boat.

#include "PluginTest.h"

namespace tollmere::testing {
namespace {

TEST_F(PluginTest, NoPromptIsInSightAtAnyFrameOfAStartFarFromTheDocks) {
    game.writeFile("PlayerBoat.dat",
                   "dock_id=4\nhealth=1.000000\nlantern_propset_index=0\nmax_health=1000\n"
                   "owned_boat_model=-1613317544\npropset_index=1\ntint=2\n");
    game.world().modelLoadFrames = 5;
    game.start();
    for (int frame = 0; frame < 200; ++frame) {
        game.runFrame();
        for (const sim::GamePrompt* prompt : game.world().prompts.visible()) {
            ADD_FAILURE() << "frame " << frame << ": \"" << prompt->text << "\" in sight";
        }
    }
    EXPECT_EQ(game.world().vehicles().size(), 1u) << "the saved boat was placed";
}

}  // namespace
}  // namespace tollmere::testing
