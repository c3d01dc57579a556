// Another script's hold on the screen, or a game menu, at each moment of the shop's road.

#include "Neighbour.h"
#include "PluginTest.h"

#include <algorithm>
#include <map>
#include <string>

namespace tollmere::testing {
namespace {

enum class Hold { fadedOut, fadingOut, fadingIn, photo, control, pauseMenu, uiApp, loading, scene, story, storyAsked };
bool hudMod = false;  // a mod of the player's keeps the HUD hidden throughout
sim::Neighbour* neighbour = nullptr;

// Taken (on) or let go; the neighbour script plays the story's scene and its photo mode. The control is
// held from before start-up and let go by showing the HUD only: the plug-in's to give back then.
void hold(sim::World& w, Hold kind, bool on) {
    const bool scene = kind == Hold::scene;
    if (kind == Hold::fadedOut || scene) w.fade = {on, scene ? 500 : 0, w.gameTimeMs};
    if (kind == Hold::fadingIn) w.fade = {false, on ? 1000000 : 0, w.gameTimeMs};
    if (kind == Hold::fadingOut) w.fade = {on, on ? 1000000 : 0, w.gameTimeMs};
    if (kind == Hold::photo) on ? neighbour->startPhotoMode() : neighbour->endPhotoMode();
    if (kind == Hold::story && on) neighbour->playScene(1000);
    if (kind == Hold::storyAsked && on) w.input.press("INPUT_CONTEXT_Y"), neighbour->playScene(1000);
    if (on && (scene || kind == Hold::control)) w.player.control = false;
    w.menus = {kind == Hold::pauseMenu && on, kind == Hold::uiApp && on, kind == Hold::loading && on};
    if (scene || kind == Hold::control) w.hudHidden = on || hudMod;
    if (scene) w.watch.sceneHoldsControl = on;
}

enum class At { asking, shop, closing };  // as he asks for the shop, from the open shop, as it closes
struct Road {
    const char* name;
    Hold kind;
    At at;
    bool owning;  // customise mode, else buying
};

const Road kRoads[] = {
    {"FadedOut", Hold::fadedOut, At::asking, false},      {"FadingIn", Hold::fadingIn, At::asking, true},
    {"FadingOut", Hold::fadingOut, At::asking, false},
    {"PhotoMode", Hold::photo, At::asking, false},        {"ControlOff", Hold::control, At::asking, true},
    {"PauseMenu", Hold::pauseMenu, At::asking, false},    {"GameMenu", Hold::uiApp, At::asking, true},
    {"Loading", Hold::loading, At::asking, false},        {"SceneInShop", Hold::story, At::shop, false},
    {"PhotoInShop", Hold::photo, At::shop, false},        {"SceneUnderAHudMod", Hold::scene, At::shop, true},
    {"SceneCustomising", Hold::story, At::shop, true},    {"PhotoCustomising", Hold::photo, At::shop, true},
    {"PauseClosing", Hold::pauseMenu, At::closing, true}, {"MapClosing", Hold::uiApp, At::closing, false},
    {"SceneAsAsked", Hold::storyAsked, At::asking, true},
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
    auto calls = [&](const char* name) { return game.host().callsTo(name, sim::Host::kPluginName).size(); };
    auto setters = [&] {
        return calls("doScreenFadeOut") + calls("doScreenFadeIn") + calls("setPlayerControl") +
               calls("displayHud");
    };
    if (road.owning) game.writeFile("PlayerBoat.dat", "dock_id=2\nhealth=1\nowned_boat_model=-1613317544\n");
    w.cashCents = 100000;
    hudMod = w.hudHidden = road.kind == Hold::scene && road.owning;
    if (road.kind == Hold::control) hold(w, road.kind, true);
    startAndSettle();
    neighbour = &sim::Neighbour::start(game.host());
    w.putPlayerOnFoot();
    w.playerPed().position = sim::Vec3{2181.28f, -618.158f, 41.9048f};
    openDockMenu();
    if (road.at != At::asking) press("INPUT_CONTEXT_Y", 90);
    ASSERT_EQ(panel(), road.at != At::asking);
    if (road.at == At::closing) press("INPUT_CONTEXT_B", 3);
    if (road.kind != Hold::control) hold(w, road.kind, true);
    game.runFrame();  // the neighbour takes the screen in its turn, after the plug-in's
    const std::size_t before = setters();
    EXPECT_TRUE(road.kind != Hold::control || before == 0u) << "start-up leaves another's control and HUD";
    const std::size_t asked = calls("isScreenFadedOut");
    if (road.at == At::asking) w.input.press("INPUT_CONTEXT_Y");
    game.runFrames(60);
    EXPECT_FALSE(panel());
    EXPECT_EQ(setters(), before) << "nothing of the screen is set while another holds it";
    EXPECT_EQ(std::ranges::count_if(game.logMessages(), [](auto& l) { return l.starts_with("the shop "); }),
              1);
    // What holds the screen, as a maintainer reads it in the log (a scene shows as its fade).
    static const std::map<Hold, std::string> kSaid = {{Hold::fadedOut, "the screen is faded out"},
                                                      {Hold::fadingOut, "the screen is fading out"},
                                                      {Hold::fadingIn, "the screen is fading in"},
                                                      {Hold::photo, "another script's camera is rendering"},
                                                      {Hold::control, "the player's control is off"},
                                                      {Hold::pauseMenu, "the pause menu is open"},
                                                      {Hold::uiApp, "a menu of the game is open"},
                                                      {Hold::loading, "a loading screen is up"}};
    if (const auto said = kSaid.find(road.kind); said != kSaid.end())
        EXPECT_GE(
            game.findLog(std::string(road.at == At::asking ? "the shop waits: " : "the shop gives way: ") +
                         said->second),
            0);
    EXPECT_LE(calls("isScreenFadedOut") - asked, 60u / 10) << "asked at a low rate";
    hold(w, road.kind, false);
    for (int frame = 0; frame < 30 || !neighbour->idle(); ++frame)
        game.runFrame();
    EXPECT_TRUE(w.player.control) << "the control the shop took is given back";
    // What it owed is given back once: a fade of the game's own after that is not the shop's to undo.
    hold(w, Hold::fadedOut, true);
    game.runFrames(20);
    EXPECT_TRUE(w.screenDark());
    hold(w, Hold::fadedOut, false);
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
