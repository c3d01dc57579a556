// The anchor of the player's own boat out on the water, and the rental prompts that stay hidden.

#include "Neighbour.h"
#include "PluginTest.h"

namespace tollmere::testing {
namespace {

const char* const kBoatOutOnTheWater =
    "coords=2300,-650,40.5\ndock_id=0\nheading=90.000000\nhealth=1.000000\nlantern_propset_index=-1\n"
    "max_health=1000\nowned_boat_model=-1613317544\npropset_index=0\ntint=1\n";

class AnchorTest : public PluginTest {
protected:
    // Starts with the saved boat in the world and the player sitting in it, anchor lifted.
    sim::Entity& startAboard(const std::string& record = kBoatOutOnTheWater) {
        game.writeFile("PlayerBoat.dat", record);
        startAndSettle();
        const auto vehicles = game.world().vehicles();
        if (vehicles.size() != 1) throw std::runtime_error("the saved boat did not come back");
        sim::Entity& boat = *game.world().entity(vehicles.front()->handle);
        game.world().playerEntersVehicle(boat.handle);
        game.runFrame();
        game.world().putPlayerInVehicle(boat.handle);
        game.runFrame();
        return boat;
    }

    bool promptVisible(const std::string& langKey) {
        const sim::GamePrompt* prompt = game.world().prompts.withText(langText(langKey));
        if (prompt == nullptr) throw std::runtime_error("no prompt reads " + langText(langKey));
        return game.world().prompts.isVisible(prompt->handle);
    }

    // Holds the anchor control frame by frame; returns the held frame in which the boat's anchor
    // state became `anchored`, or -1.
    int holdAnchorControlUntil(const sim::Entity& boat, bool anchored, int frames) {
        game.world().input.hold("INPUT_CONTEXT_X", frames);
        for (int frame = 1; frame <= frames; ++frame) {
            game.runFrame();
            if (boat.anchored == anchored) return frame;
        }
        return -1;
    }
};

// Catches an anchor left down when the player climbs into his boat, and a drop tutorial that
// waits for the boat to stop.
TEST_F(AnchorTest, ClimbingAboardLiftsTheAnchorAndTheTutorialShowsEvenUnderWay) {
    game.writeFile("PlayerBoat.dat", kBoatOutOnTheWater);
    startAndSettle();
    sim::Entity& boat = *game.world().entity(game.world().vehicles().front()->handle);
    ASSERT_TRUE(boat.anchored) << "the saved boat comes back anchored";

    game.world().playerEntersVehicle(boat.handle);
    game.runFrame();
    EXPECT_FALSE(boat.anchored);

    boat.speedSetByTest = 5.0f;
    game.world().putPlayerInVehicle(boat.handle);
    game.runFrame();
    ASSERT_FALSE(game.world().helpTexts.empty());
    EXPECT_EQ(game.world().helpTexts.back().text, langText("tutorial.drop_boat_anchor"));
    EXPECT_FALSE(promptVisible("prompts.drop_anchor"));
}

// Catches the speed limit off by a hair, or a drop prompt that shows before the control is held.
// Catches an anchor left down when his climb in began and ended while the plug-in waited.
TEST_F(AnchorTest, ClimbingInUnseenStillLiftsTheAnchor) {
    game.writeFile("PlayerBoat.dat", kBoatOutOnTheWater);
    startAndSettle();
    sim::Entity& boat = *game.world().entity(game.world().vehicles().front()->handle);
    ASSERT_TRUE(boat.anchored);
    game.world().putPlayerInVehicle(boat.handle);
    game.runFrames(2);
    EXPECT_FALSE(boat.anchored);
}

// Catches the drop offered too soon or too fast, and a record without a dock id (edited by hand, or
// an older copy put back) taken for a boat moored, never offered the anchor.
TEST_F(AnchorTest, TheDropPromptAppearsOnlyWhenHeldAndOnlyBelowTheSpeedLimit) {
    std::string record = kBoatOutOnTheWater;
    sim::Entity& boat = startAboard(record.erase(record.find("dock_id=0\n"), 10));
    boat.speedSetByTest = 1.2f;
    EXPECT_EQ(holdAnchorControlUntil(boat, true, 90), -1);
    EXPECT_FALSE(promptVisible("prompts.drop_anchor"));

    game.world().input.release("INPUT_CONTEXT_X");
    game.runFrames(2);
    boat.speedSetByTest = 1.19f;
    game.runFrames(5);
    EXPECT_FALSE(promptVisible("prompts.drop_anchor")) << "nothing shows until the control is kept held";

    const int dropped = holdAnchorControlUntil(boat, true, 90);
    EXPECT_GT(dropped, 31) << "the prompt appears on the 31st held frame and its hold takes time";
    EXPECT_NE(dropped, -1);
    EXPECT_TRUE(boat.anchorHeld);
}

// Catches the drop left greyed out after a wait inside an operation: while it listens, hidden, its
// owner pushes nothing, so only the frame loop gives it back. The robbery's set-up waits for models.
TEST_F(AnchorTest, TheDropStillWorksAfterTheRobberyWaitedForItsModels) {
    game.writeFile("Settings.ini", "RandomBoatRobberyEventsFrequency=1\n");
    sim::Entity& boat = startAboard();
    boat.speedSetByTest = 0.0f;
    game.world().moveVehicle(boat.handle, sim::Vec3{});  // no spawn point in reach while the first attempt is due
    game.runFor(14500);
    game.world().moveVehicle(boat.handle, sim::Vec3{2951.23f, 1200.03f + 350.0f, 40.5784f});  // north of point 43
    game.world().scriptedInts.assign({0, 2, 1, 3, 80});
    game.world().scriptedFloats.assign({0.5f});
    game.runFrame();
    game.world().moveVehicle(boat.handle, sim::Vec3{2951.23f, 1200.03f + 290.0f, 40.5784f});
    game.runFrames(40);
    ASSERT_GE(game.findLog("RandomEventExecutor: event triggered. coords: 2951.23,1200.03,40.5784"), 0);
    EXPECT_NE(holdAnchorControlUntil(boat, true, 90), -1);
}

// Catches a release prompt that hides while the boat lies at anchor, or stays when he climbs out,
// or a hold counted twice.
TEST_F(AnchorTest, TheReleasePromptStandsWhileAnchoredAndLiftsTheAnchor) {
    sim::Entity& boat = startAboard();
    ASSERT_NE(holdAnchorControlUntil(boat, true, 90), -1);
    game.world().input.release("INPUT_CONTEXT_X");
    game.runFrames(3);
    EXPECT_TRUE(promptVisible("prompts.release_anchor"));
    EXPECT_FALSE(promptVisible("prompts.drop_anchor"));

    EXPECT_NE(holdAnchorControlUntil(boat, false, 60), -1);
    game.runFrame();
    EXPECT_FALSE(promptVisible("prompts.release_anchor"));

    ASSERT_NE(holdAnchorControlUntil(boat, true, 90), -1);
    game.world().input.release("INPUT_CONTEXT_X");
    game.runFrames(3);
    ASSERT_TRUE(promptVisible("prompts.release_anchor"));
    game.world().putPlayerOnFoot();
    game.runFrames(2);
    EXPECT_TRUE(boat.anchored && !promptVisible("prompts.release_anchor")) << "climbed out";
}

// Catches the anchor dropping in the dark while a neighbour's scene holds his control, a control,
// HUD or fade call made over the scene, and a prompt left hidden or disabled once it is over.
TEST_F(AnchorTest, ASceneWhileHeRowsLeavesTheAnchorToHimAfterwards) {
    sim::Entity& boat = startAboard();
    sim::World& w = game.world();
    sim::Neighbour& neighbour = sim::Neighbour::start(game.host());
    auto setters = [&] {
        std::size_t n = 0;
        for (const char* name : {"doScreenFadeOut", "doScreenFadeIn", "setPlayerControl", "displayHud"})
            n += game.host().callsTo(name, sim::Host::kPluginName).size();
        return n;
    };
    boat.speedSetByTest = 0.5f;  // rowing slowly: slow enough to drop
    w.input.hold("INPUT_CONTEXT_X", 400);
    game.runFrames(35);
    ASSERT_TRUE(promptVisible("prompts.drop_anchor")) << "he holds the prompt part way";
    const std::size_t before = setters();
    neighbour.playScene(1500);
    bool sceneSeen = false;
    for (int frame = 0; frame < 300 && (frame < 2 || !neighbour.idle()); ++frame) {
        ASSERT_NO_THROW(game.runFrame()) << "the world's rule holds, frame " << frame;
        sceneSeen |= !w.player.control;
        ASSERT_FALSE(boat.anchored && !w.player.control) << "dropped in the dark, frame " << frame;
    }
    ASSERT_TRUE(sceneSeen && neighbour.idle() && w.player.control);
    EXPECT_EQ(setters(), before) << "nothing of the screen is set while the neighbour holds it";
    w.input.release("INPUT_CONTEXT_X");
    game.runFrames(3);
    ASSERT_FALSE(boat.anchored);
    EXPECT_GT(holdAnchorControlUntil(boat, true, 120), 31) << "the prompt comes back and fills anew";
    w.input.release("INPUT_CONTEXT_X");
    game.runFrames(3);
    EXPECT_TRUE(promptVisible("prompts.release_anchor"));
    EXPECT_NE(holdAnchorControlUntil(boat, false, 90), -1) << "and he lifts it";
    EXPECT_EQ(neighbour.scenesPlayed(), 1);
}

struct NoAnchorCase {
    const char* name;
    const char* record;
};

class NoAnchorTest : public AnchorTest, public ::testing::WithParamInterface<NoAnchorCase> {};

// Catches the anchor offered in a moored boat or in one without a prop set.
TEST_P(NoAnchorTest, OffersNeitherPrompt) {
    sim::Entity& boat = startAboard(GetParam().record);
    boat.speedSetByTest = 0.0f;
    game.world().input.hold("INPUT_CONTEXT_X", 80);
    for (int frame = 0; frame < 80; ++frame) {
        game.runFrame();
        ASSERT_FALSE(promptVisible("prompts.drop_anchor")) << "frame " << frame;
        ASSERT_FALSE(promptVisible("prompts.release_anchor")) << "frame " << frame;
    }
    EXPECT_FALSE(boat.anchored);
}

INSTANTIATE_TEST_SUITE_P(
    , NoAnchorTest,
    ::testing::Values(NoAnchorCase{"withoutPropSet",
                                   "coords=2300,-650,40.5\ndock_id=0\nhealth=1.000000\nlantern_propset_index=-1\n"
                                   "max_health=1000\nowned_boat_model=-1613317544\npropset_index=-1\ntint=1\n"},
                      NoAnchorCase{"moored",
                                   "dock_id=4\nhealth=1.000000\nlantern_propset_index=-1\nmax_health=1000\n"
                                   "owned_boat_model=-1613317544\npropset_index=0\ntint=1\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Catches the moored boat losing its dock when the player climbs in and the anchor lifts.
TEST_F(AnchorTest, ClimbingIntoTheMooredBoatLiftsTheAnchorAndKeepsTheDock) {
    game.writeFile("PlayerBoat.dat",
                   "dock_id=4\nhealth=1.000000\nmax_health=1000\nowned_boat_model=-1613317544\npropset_index=0\n");
    startAndSettle();
    sim::Entity& boat = *game.world().entity(game.world().vehicles().front()->handle);
    ASSERT_TRUE(boat.anchored);
    game.world().playerEntersVehicle(boat.handle);
    game.runFrame();
    EXPECT_FALSE(boat.anchored);
    EXPECT_NE(game.readFile("PlayerBoat.dat").find("dock_id=4\n"), std::string::npos);
}

// Catches a rental prompt that becomes visible: renting goes no further than its prompts.
TEST_F(PluginTest, TheRentalPromptsExistAndNeverShow) {
    startAndSettle();
    const std::string rentText = langText("prompts.rent_boat") + " $" + valueIn("Configs.dat", "rent.fee");
    const sim::GamePrompt* rent = game.world().prompts.withText(rentText);
    const sim::GamePrompt* giveBack = game.world().prompts.withText(langText("prompts.return_boat"));
    ASSERT_NE(rent, nullptr) << rentText;
    ASSERT_NE(giveBack, nullptr);
    EXPECT_TRUE(rent->registered);

    game.world().input.hold("INPUT_CONTEXT_Y", 60);
    for (int frame = 0; frame < 60; ++frame) {
        game.runFrame();
        ASSERT_FALSE(game.world().prompts.isVisible(rent->handle));
        ASSERT_FALSE(game.world().prompts.isVisible(giveBack->handle));
    }
}

}  // namespace
}  // namespace tollmere::testing
