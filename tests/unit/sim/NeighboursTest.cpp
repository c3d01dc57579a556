// Several scripts in the simulated game: each resumed once a frame in the order it registered, and
// the rule that no script changes a shared state another holds.

#include "Neighbour.h"
#include "host/Invoke.h"
#include "host/Natives.h"
#include "unit/host/DirectGame.h"

#include <functional>

namespace tollmere::testing {
namespace {

// A second script beside the neighbour, doing what the test says each time it is resumed.
std::function<void()> lighthouseTurn;

class NeighboursTest : public DirectGameTest {
  protected:
    NeighboursTest() { start(); }
    ~NeighboursTest() override { stop(); }
    void start() {
        lighthouseTurn = [] {};
        host.attach(
            [](HINSTANCE__* module) {
                scriptRegister(module, [] {
                    for (;;) {
                        lighthouseTurn();
                        scriptWait(0);
                    }
                });
            },
            "Lighthouse");
        neighbour = &sim::Neighbour::start(host);
    }
    void stop() {
        host.detach([](HINSTANCE__* module) { scriptUnregister(module); }, "Lighthouse");
        sim::Neighbour::stop(host);
    }
    // Runs frames until the run fails, and gives the failure.
    std::string failure(int frames) {
        try {
            host.runFrames(frames);
        } catch (const sim::Fatal& fatal) {
            return fatal.what();
        }
        return "no failure";
    }
    sim::Neighbour* neighbour = nullptr;
};

// Catches scripts resumed out of order, calls put down to the wrong script, and a wait that holds
// back the other scripts too.
TEST_F(NeighboursTest, EachScriptIsResumedInTurnAndItsCallsAreItsOwn) {
    lighthouseTurn = [] { scriptWait(native::getGameTimer() % 2 == 0 ? 0 : 100); };
    neighbour->playScene(300);
    host.runFrames(12);
    std::vector<std::string> order;
    for (const auto& call : host.calls()) {
        if (call.frame == 1 && (order.empty() || order.back() != *call.script)) order.push_back(*call.script);
    }
    EXPECT_THAT(order, ::testing::ElementsAre("Lighthouse", "Neighbour"));
    EXPECT_EQ(host.callsTo("doScreenFadeOut", "Neighbour").size(), 1u);
    EXPECT_TRUE(host.callsTo("doScreenFadeOut", "Lighthouse").empty());
    EXPECT_LT(host.callsTo("getGameTimer", "Lighthouse").size(), 12u) << "its waits skip its turns";
    EXPECT_FALSE(world.player.control) << "the scene holds the player's control";
}

// Catches a scene that leaves anything taken, and the rule blaming a script that took the screen
// only once it was given back.
TEST_F(NeighboursTest, ACleanHandBackLeavesTheScreenFreeForTheNext) {
    neighbour->playScene(1000);
    host.runFor(2500);
    EXPECT_EQ(neighbour->scenesPlayed(), 1);
    EXPECT_TRUE(world.player.control && !world.hudHidden && !world.fade.out && world.shared.held.empty());
    lighthouseTurn = [this] {
        const bool take = world.frame % 20 < 10;
        native::setPlayerControl(world.player.id, !take, 0, 0);
        native::displayHud(!take);
    };
    EXPECT_EQ(failure(60), "no failure");
}

// Catches a script fading out over the end of another's scene, whose fade in is still on the screen.
TEST_F(NeighboursTest, AFadeOutWaitsForAnotherScriptsFadeInToEnd) {
    neighbour->playScene(1000);
    host.runFor(1600);
    ASSERT_TRUE(!world.fade.out && world.screenFading());
    lighthouseTurn = [] { native::doScreenFadeOut(250); };
    EXPECT_THAT(failure(3), ::testing::HasSubstr("Lighthouse fades the screen out while the fade in of Neighbour runs"));
}

// Catches each way a script can break another's hold: handing back what another holds, a write of
// the held value (the holder's hand-back would then undo it), a camera rendered over another's, a
// fade another holds, and taking the screen from the game's menus. Each failure names both sides,
// the state and the native.
TEST_F(NeighboursTest, ABreachFailsTheRunNamingBothScriptsTheStateAndTheNative) {
    struct Case {
        std::function<void(sim::Neighbour&)> neighbourDoes;
        std::function<void()> lighthouseDoes;
        std::string failure;
    };
    const Case cases[] = {
        {[](auto& n) { n.startPhotoMode(); }, [] { native::setPlayerControl(2, false, 0, 0); },
         "Lighthouse set the player's control off with setPlayerControl while Neighbour holds it off"},
        {[](auto& n) { n.playScene(); }, [] { native::setPlayerControl(2, true, 0, 0); },
         "Lighthouse set the player's control on with setPlayerControl while Neighbour holds it off"},
        {[](auto& n) { n.startPhotoMode(); },
         [] { native::renderScriptCams(false, false, 0, true, false, 0); },
         "Lighthouse set the rendering camera on the game's camera with renderScriptCams while Neighbour "
         "holds it "
         "on camera 0x"},
        {[](auto& n) { n.playScene(); }, [] { native::doScreenFadeIn(0); },
         "Lighthouse set the fade in with doScreenFadeIn while Neighbour holds it out"},
        {[](auto& n) { n.openPauseMenu(5000); }, [] { native::displayHud(false); },
         "Lighthouse set the HUD hidden with displayHud while the game's pause menu holds the screen"},
    };
    for (const Case& c : cases) {
        c.neighbourDoes(*neighbour);
        host.runFrames(3);
        lighthouseTurn = c.lighthouseDoes;
        EXPECT_THAT(failure(3), ::testing::HasSubstr(c.failure));
        stop();
        host.resetWorld();
        start();
    }
}

}  // namespace
}  // namespace tollmere::testing
