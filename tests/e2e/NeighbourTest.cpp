// Another script's hold on the screen, or a game menu, set by hand at each moment of the shop's road.

#include "PluginTest.h"

#include <algorithm>

namespace tollmere::testing {
namespace {

enum class Hold { fadedOut, fadingIn, camera, control, pauseMenu, uiApp, loading, scene };
bool hudMod = false;  // a mod of the player's keeps the HUD hidden throughout

// Taken (on) or let go. A scene fades out, a photo mode renders its camera; both hide the HUD and hold
// the control (the world's camera and control watches know only the plug-in's, and are let be). The
// control is held with the HUD hidden from before start-up and let go by showing the HUD only: the
// control left off is the plug-in's to give back then, as an earlier run's shop left it.
void hold(sim::World& w, Hold kind, bool on) {
    static const std::uint32_t other = w.cameras.create(sim::Camera{.name = "DEFAULT_SCRIPTED_CAMERA"});
    const bool scene = kind == Hold::scene || kind == Hold::camera;
    if (kind == Hold::fadedOut || kind == Hold::scene) w.fade = {on, scene ? 500 : 0, w.gameTimeMs};
    if (kind == Hold::fadingIn) w.fade = {false, on ? 1000000 : 0, w.gameTimeMs};
    if (kind == Hold::camera) w.cameras.find(other)->active = w.cameras.rendering = on;
    if (on && (scene || kind == Hold::control)) w.player.control = false;
    w.menus = {kind == Hold::pauseMenu && on, kind == Hold::uiApp && on, kind == Hold::loading && on};
    if (scene || kind == Hold::control) w.hudHidden = on || hudMod;
    if (scene) w.watch.sceneHoldsControl = on;
    w.watch.allowControlHandBackDuringScenes = false;
    w.watch.cameraGraceFrames = 1 << 20;
}

enum class At { asking, shop, closing };  // as he asks for the shop, from the open shop, as it closes
struct Road {
    const char* name;
    Hold kind;
    At at;
    bool owning;  // customise mode, else buying
};

const Road kRoads[] = {
    {"FadedOut", Hold::fadedOut, At::asking, false},    {"FadingIn", Hold::fadingIn, At::asking, true},
    {"OtherCamera", Hold::camera, At::asking, false},   {"ControlOff", Hold::control, At::asking, true},
    {"PauseMenu", Hold::pauseMenu, At::asking, false},  {"GameMenu", Hold::uiApp, At::asking, true},
    {"Loading", Hold::loading, At::asking, false},      {"SceneInShop", Hold::scene, At::shop, false},
    {"PhotoInShop", Hold::camera, At::shop, false},     {"SceneUnderAHudMod", Hold::scene, At::shop, true},
    {"PhotoCustomising", Hold::camera, At::shop, true}, {"PhotoAsItCloses", Hold::camera, At::closing, true},
};

class NeighbourTest : public PluginTest, public ::testing::WithParamInterface<Road> {};

// Catches the shop opening over a screen another script holds or staying open under one taken from it,
// giving back what the other holds, a wait logging or asking every frame, and no shop once it is free.
TEST_P(NeighbourTest, TheShopTakesOnlyAFreeScreenAndGivesBackOnlyItsOwn) {
    const Road& road = GetParam();
    sim::World& w = game.world();
    auto panel = [&] { return w.screen.thisFrame().findText(langText("catalog.title")) != nullptr; };
    auto press = [&](const char* control, int frames) { w.input.press(control), game.runFrames(frames); };
    auto openDockMenu = [&] { game.runFrames(2), w.input.hold("INPUT_CONTEXT_Y", 40), game.runFrames(47); };
    auto setters = [&] {
        return game.countCalls("doScreenFadeOut") + game.countCalls("doScreenFadeIn") +
               game.countCalls("setPlayerControl") + game.countCalls("displayHud");
    };
    if (road.owning) game.writeFile("PlayerBoat.dat", "dock_id=2\nhealth=1\nowned_boat_model=-1613317544\n");
    w.cashCents = 100000;
    hudMod = w.hudHidden = road.kind == Hold::scene && road.owning;
    if (road.kind == Hold::control) hold(w, road.kind, true);
    startAndSettle();
    w.putPlayerOnFoot();
    w.playerPed().position = sim::Vec3{2181.28f, -618.158f, 41.9048f};
    openDockMenu();
    if (road.at != At::asking) press("INPUT_CONTEXT_Y", 90);
    ASSERT_EQ(panel(), road.at != At::asking);
    if (road.at == At::closing) press("INPUT_CONTEXT_B", 3);
    const int before = setters();
    EXPECT_TRUE(road.kind != Hold::control || before == 0) << "start-up leaves another's control and HUD";
    const int asked = game.countCalls("isScreenFadedOut");
    if (road.kind != Hold::control) hold(w, road.kind, true);
    if (road.at == At::asking) w.input.press("INPUT_CONTEXT_Y");
    game.runFrames(60);
    EXPECT_FALSE(panel());
    EXPECT_EQ(setters(), before) << "nothing of the screen is set while another holds it";
    EXPECT_TRUE(road.kind != Hold::camera || w.cameras.rendering) << "the other camera renders on";
    EXPECT_EQ(
        std::ranges::count_if(game.logMessages(), [](auto& line) { return line.starts_with("the shop "); }),
        1);
    EXPECT_LE(game.countCalls("isScreenFadedOut") - asked, 60 / 10) << "asked at a low rate";

    hold(w, road.kind, false);
    game.runFrames(30);
    EXPECT_TRUE(w.player.control) << "the control the shop took is given back";
    if (road.at == At::shop) openDockMenu();
    press("INPUT_CONTEXT_Y", 90);
    ASSERT_TRUE(panel());
    if (road.owning) w.input.press(0xDEB34313), game.runFrames(2);
    w.input.press(0xC7B5340A), game.runFrames(2);
    EXPECT_LT(w.cashCents, 100000) << "he buys";
}

INSTANTIATE_TEST_SUITE_P(, NeighbourTest, ::testing::ValuesIn(kRoads),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tollmere::testing
