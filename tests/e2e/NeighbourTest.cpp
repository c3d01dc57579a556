// Other scripts share the screen with the plug-in: the fade, the rendering camera, the player's
// control and the HUD, and the game's menus over them. Here another script's hold is set in the
// world by hand, at each moment of the shop's road, and the player buys once it has let go.

#include "PluginTest.h"

#include "Hash.h"

#include <functional>

namespace tollmere::testing {
namespace {

constexpr std::uint32_t kSelect = 0xC7B5340A;
constexpr std::uint32_t kIncrease = 0xDEB34313;
const sim::Vec3 kLagrasPier{2181.28f, -618.158f, 41.9048f};
// What sets no shared state of the screen: none may be called while another script holds it.
const char* const kScreenSetters[] = {"doScreenFadeOut", "doScreenFadeIn", "setPlayerControl", "displayHud",
                                      "renderScriptCams"};

// Another script's hold on the screen, taken (true) and let go (false).
struct Hold {
    const char* name;
    const char* reason;  // as the log gives it
    std::function<void(sim::World&, bool)> take;
};

void fade(sim::World& w, bool out, int ms) {
    w.fade = sim::World::Fade{out, ms, w.gameTimeMs, 0, 0};
}
// The world's camera watch knows only the plug-in's camera: the other script's is let be.
void otherCamera(sim::World& w, bool on) {
    w.watch.cameraGraceFrames = 1 << 20;
    static std::uint32_t camera = 0;
    if (camera == 0) camera = w.cameras.create(sim::Camera{.name = "DEFAULT_SCRIPTED_CAMERA"});
    w.cameras.find(camera)->active = on;
    w.cameras.rendering = on;
}

const Hold kHolds[] = {
    {"FadedOut", "the screen is faded out", [](sim::World& w, bool on) { fade(w, on, 0); }},
    {"FadingIn", "the screen is fading in", [](sim::World& w, bool on) { fade(w, false, on ? 600000 : 0); }},
    {"OtherCamera", "another script's camera is rendering", otherCamera},
    {"ControlOff", "the player's control is off", [](sim::World& w, bool on) { w.player.control = !on; }},
    {"PauseMenu", "the pause menu is open", [](sim::World& w, bool on) { w.menus.pauseMenu = on; }},
    {"GameMenu", "a menu of the game is open", [](sim::World& w, bool on) { w.menus.uiApp = on; }},
    {"LoadingScreen", "a loading screen is up", [](sim::World& w, bool on) { w.menus.loadingScreen = on; }},
};

class NeighbourTest : public PluginTest {
  protected:
    sim::World& world() { return game.world(); }
    const sim::GamePrompt* prompt(const char* key) { return world().prompts.withText(langText(key)); }
    bool panel() { return world().screen.thisFrame().findText(langText("catalog.title")) != nullptr; }
    int logged(const std::string& line) {
        int count = 0;
        for (const std::string& message : game.logMessages())
            count += message == line ? 1 : 0;
        return count;
    }
    int settersCalled() {
        int count = 0;
        for (const char* name : kScreenSetters)
            count += game.countCalls(name);
        return count;
    }
    // From start-up to the dock menu at Lagras, owning the boat moored there or nothing.
    void toDockMenu(bool owning) {
        if (owning) {
            game.writeFile("PlayerBoat.dat",
                           "dock_id=2\nhealth=1.000000\nlantern_propset_index=-1\nmax_health=1000\n"
                           "owned_boat_model=-1613317544\npropset_index=-1\ntint=1\n");
        }
        world().cashCents = 100000;
        startAndSettle();
        world().putPlayerOnFoot();
        world().playerPed().position = kLagrasPier;
        openDockMenu();
    }
    void openDockMenu() {
        game.runFrames(2);
        world().input.hold("INPUT_CONTEXT_Y", 40);
        game.runFrames(45);
        world().input.release("INPUT_CONTEXT_Y");
        game.runFrames(2);
    }
    // Presses the shop's prompt and buys: the rowboat, or a paint for the boat he owns.
    void buy(bool owning) {
        world().input.press("INPUT_CONTEXT_Y");
        for (int frame = 0; frame < 200 && !panel(); ++frame)
            game.runFrame();
        ASSERT_TRUE(panel());
        game.runFrames(2);
        const std::int64_t cash = world().cashCents;
        if (owning) world().input.press(kIncrease), game.runFrames(2);
        world().input.press(kSelect);
        game.runFrames(2);
        EXPECT_LT(world().cashCents, cash) << "charged";
    }
};

class ScreenHeldBeforeTheShop : public NeighbourTest, public ::testing::WithParamInterface<Hold> {};

// Catches the shop opening over a screen another script holds, a wait that logs every frame or
// asks every frame, and a prompt that never comes back once the screen is free.
TEST_P(ScreenHeldBeforeTheShop, ThePromptWaitsUntilTheScreenIsFree) {
    toDockMenu(false);
    GetParam().take(world(), true);
    const int setters = settersCalled();
    world().input.press("INPUT_CONTEXT_Y");
    game.runFrames(90);
    EXPECT_FALSE(panel());
    EXPECT_FALSE(prompt("prompts.browse_catalog")->enabled);
    EXPECT_EQ(logged(std::string("the shop waits: ") + GetParam().reason), 1);
    EXPECT_EQ(settersCalled(), setters) << "nothing of the screen is touched while another holds it";
    EXPECT_LE(game.countCalls("isLoadingScreenActive"), 90 / 10) << "asked at a low rate";

    GetParam().take(world(), false);
    game.runFrames(20);
    EXPECT_TRUE(prompt("prompts.browse_catalog")->enabled);
    buy(false);
}

INSTANTIATE_TEST_SUITE_P(, ScreenHeldBeforeTheShop, ::testing::ValuesIn(kHolds),
                         [](const auto& info) { return std::string(info.param.name); });

// Another script takes the open shop's screen: a scene (a fade out, the HUD hidden, the control
// taken) or a photo mode (its camera, the same); in the shop or in customise mode.
struct Taking {
    const char* name;
    bool camera;
    bool owning;
};

class ScreenTakenFromTheShop : public NeighbourTest, public ::testing::WithParamInterface<Taking> {};

// Catches a shop that stays open under another script's fade or camera, or that gives back on
// closing what the other script holds now: the control, the HUD, the fade or the rendering camera.
TEST_P(ScreenTakenFromTheShop, TheShopClosesTouchingNothingOfTheOthersAndOpensAfter) {
    const Taking taking = GetParam();
    toDockMenu(taking.owning);
    world().input.press("INPUT_CONTEXT_Y");
    for (int frame = 0; frame < 200 && !panel(); ++frame)
        game.runFrame();
    game.runFrames(30);
    const int setters = settersCalled() - game.countCalls("renderScriptCams");
    if (taking.camera) otherCamera(world(), true);
    if (!taking.camera) fade(world(), true, 1000);
    world().hudHidden = true;
    world().player.control = false;
    world().watch.sceneHoldsControl = true;
    world().watch.allowControlHandBackDuringScenes = false;
    game.runFrames(60);
    EXPECT_FALSE(panel());
    EXPECT_GE(
        game.findLog(std::string("the shop gives way: ") +
                     (taking.camera ? "another script's camera is rendering" : "the screen is fading out")),
        0);
    EXPECT_EQ(settersCalled() - game.countCalls("renderScriptCams"), setters);
    EXPECT_TRUE(!taking.camera || world().cameras.rendering) << "the other camera still renders";
    EXPECT_FALSE(world().player.control);

    if (taking.camera) otherCamera(world(), false);
    if (!taking.camera) fade(world(), false, 500);
    world().hudHidden = false;
    world().watch.sceneHoldsControl = false;
    game.runFrames(30);
    EXPECT_TRUE(world().player.control) << "the control the shop took is given back";
    openDockMenu();
    buy(taking.owning);
}

INSTANTIATE_TEST_SUITE_P(, ScreenTakenFromTheShop,
                         ::testing::Values(Taking{"SceneWhileBrowsing", false, false},
                                           Taking{"PhotoModeWhileBrowsing", true, false},
                                           Taking{"SceneInCustomiseMode", false, true},
                                           Taking{"PhotoModeInCustomiseMode", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Catches start-up handing back the control or the HUD another script holds, and losing the hand-
// back of the control an earlier run of the plug-in left off once nothing else is on the screen.
TEST_F(NeighbourTest, StartUpGivesBackOnlyControlNobodyElseShowsToHold) {
    world().player.control = false;
    world().hudHidden = true;
    startAndSettle();
    game.runFrames(60);
    EXPECT_EQ(game.countCalls("setPlayerControl") + game.countCalls("displayHud"), 0);
    world().hudHidden = false;
    game.runFrames(20);
    EXPECT_TRUE(world().player.control);
}

}  // namespace
}  // namespace tollmere::testing
