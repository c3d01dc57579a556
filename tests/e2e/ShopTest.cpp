// The ownership loop at the docks: the prompt menu on the pier, the catalogue under the scripted
// camera, buying and customising, docking from the water and fetching the boat.

#include "PluginTest.h"

#include "Hash.h"
#include "Neighbour.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>

namespace tollmere::testing {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;

constexpr std::uint32_t kSelect = 0xC7B5340A;
constexpr std::uint32_t kDown = 0x05CA7C52;
constexpr std::uint32_t kUp = 0x6319DB71;
constexpr std::uint32_t kIncrease = 0xDEB34313;
constexpr std::uint32_t kDecrease = 0xA65EBAB4;
const sim::Vec3 kLagrasPier{2181.28f, -618.158f, 41.9048f};
const sim::Vec3 kLagrasMooring{2178.68f, -619.395f, 40.5882f};
const sim::Vec3 kDock4Mooring{2075.89f, -266.766f, 40.6027f};

const char* const kBoatAtDock4 =
    "dock_id=4\nhealth=1.000000\nlantern_propset_index=-1\nmax_health=1000\nowned_boat_model=-1613317544\n"
    "propset_index=-1\ntint=1\n";

class ShopTest : public PluginTest {
protected:
    sim::World& world() { return game.world(); }

    void standAt(const sim::Vec3& point) {
        world().putPlayerOnFoot();
        world().playerPed().position = point;
    }

    bool runUntil(const std::function<bool()>& done, int frames) {
        for (int frame = 0; frame < frames; ++frame) {
            game.runFrame();
            if (done()) return true;
        }
        return false;
    }

    bool visible(const std::string& text) {
        const sim::GamePrompt* prompt = world().prompts.withText(text);
        return prompt != nullptr && world().prompts.isVisible(prompt->handle);
    }
    bool visibleLang(const std::string& key) { return visible(langText(key)); }

    void pressAndRun(std::uint32_t control) {
        world().input.press(control);
        game.runFrame();
        game.runFrame();
    }
    void pressAndRun(const char* control) { pressAndRun(sim::hashOf(control)); }

    // Holds the manage prompt at the pier until the dock menu opens.
    void openDockMenu() {
        ASSERT_TRUE(runUntil([&] { return visibleLang("prompts.manage_boats"); }, 5));
        world().input.hold("INPUT_CONTEXT_Y", 40);
        ASSERT_TRUE(runUntil([&] { return visibleLang("prompts.close"); }, 40));
        world().input.release("INPUT_CONTEXT_Y");
        game.runFrames(2);
    }

    // From the open dock menu, presses browse (or customise) and waits for the shop panel.
    void openCatalogue(const char* promptKey) {
        ASSERT_TRUE(visibleLang(promptKey));
        world().input.press("INPUT_CONTEXT_Y");
        // Left his control through the fades, he could climb into the boat about to be shown.
        ASSERT_TRUE(runUntil(
            [&] {
                EXPECT_TRUE(!world().fade.out || !world().player.control) << "frame " << world().frame;
                return panelShows(langText("catalog.title"));
            },
            200));
        // The frame that opens the shop draws it once; the shop's own frames start with the next.
        game.runFrame();
    }

    // A player with $1000 and a rowboat moored at Lagras, with no extras, in customise mode there.
    void customiseBoatMooredAtLagras() {
        game.writeFile("PlayerBoat.dat", "dock_id=2\nhealth=1.000000\nlantern_propset_index=-1\nmax_health=1000\n"
                                         "owned_boat_model=-1613317544\npropset_index=-1\ntint=1\n");
        world().cashCents = 100000;
        startAndSettle();
        standAt(kLagrasPier);
        openDockMenu();
        openCatalogue("prompts.customize_boat");
    }

    // Presses back in the shop and waits, through its fade and waits, for the dock menu.
    void backOut() {
        world().input.press("INPUT_CONTEXT_B");
        ASSERT_TRUE(runUntil([&] { return visibleLang("prompts.close"); }, 100));
        EXPECT_FALSE(panelShows(langText("catalog.title")));
    }

    bool panelShows(const std::string& text) { return world().screen.thisFrame().findText(text) != nullptr; }

    std::vector<std::string> panelTexts() {
        std::vector<std::string> texts;
        for (const sim::DrawnText* text : world().screen.thisFrame().texts()) texts.push_back(text->text);
        return texts;
    }


    // Configs.dat without one of its lines, and with others added at the end.
    void removeFromConfigs(const std::string& line, const std::string& added = "") {
        std::string configs = game.readFile("Configs.dat");
        game.writeFile("Configs.dat", configs.erase(configs.find(line), line.size()) + added);
    }

    const sim::Entity* onlyVehicle() {
        const auto vehicles = world().vehicles();
        return vehicles.size() == 1 ? vehicles.front() : nullptr;
    }
};

// Catches any step of the buying road out of place: the prompts on offer, the fade and camera,
// preview swaps only when the selection moves, the purchase saved and charged the cents shown,
// customise mode.
TEST_F(ShopTest, BuyingABoatAtThePier) {
    removeFromConfigs("fees.boat.-666024656=30\n", "fees.boat.-666024656=1.05\n");
    world().cashCents = 100000;
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    EXPECT_TRUE(visibleLang("prompts.browse_catalog"));
    EXPECT_FALSE(visibleLang("prompts.customize_boat"));

    openCatalogue("prompts.browse_catalog");
    EXPECT_GE(game.findLog("opening boat menu"), 0);
    EXPECT_EQ(world().fade.fadesOut, 1);
    EXPECT_EQ(world().fade.fadesIn, 1);
    EXPECT_FALSE(world().player.control) << "the shop takes the controls away";
    EXPECT_TRUE(world().hudContexts.contains(sim::hashOf("HUD_CTX_IN_CATALOGUE_SHOP_MENU")));
    EXPECT_TRUE(visibleLang("prompts.back"));
    EXPECT_TRUE(visibleLang("prompts.buy"));

    const sim::Entity* preview = onlyVehicle();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->model, 0x9FD6BA58u);
    EXPECT_EQ(preview->position, kLagrasMooring);
    const sim::Camera* camera = world().cameras.viewing();
    ASSERT_NE(camera, nullptr);
    ASSERT_TRUE(camera->pointAt.has_value());
    EXPECT_EQ(*camera->pointAt, kLagrasMooring);
    const sim::Vec3 away{kLagrasPier.x - kLagrasMooring.x, kLagrasPier.y - kLagrasMooring.y,
                         kLagrasPier.z - kLagrasMooring.z};
    const float length = sim::distance(away, sim::Vec3{});
    EXPECT_NEAR(camera->position.x, kLagrasPier.x + 4.5f * away.x / length, 1e-3);
    EXPECT_NEAR(camera->position.z, kLagrasPier.z + 4.5f * away.z / length + 2.0f, 1e-3);

    EXPECT_THAT(panelTexts(), Contains(langText("catalog.subtitle.purchase")));
    EXPECT_THAT(panelTexts(), Contains("$45")) << "the rowboat's price";
    const auto createsBefore = game.host().callsTo("createVehicle").size();
    game.runFrames(5);
    EXPECT_EQ(game.host().callsTo("createVehicle").size(), createsBefore) << "no swap without a new selection";

    pressAndRun(kDown);
    ASSERT_NE(onlyVehicle(), nullptr);
    EXPECT_EQ(onlyVehicle()->model, 0xD84D4530u) << "the preview follows the selection";
    EXPECT_TRUE(onlyVehicle()->anchored);
    EXPECT_THAT(panelTexts(), ::testing::IsSupersetOf({"$1", "05"})) << "1.05 is 104.99999 cents as a float";

    pressAndRun(kSelect);
    EXPECT_GE(game.findLog("boat purchased. model: -666024656"), 0);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "owned_boat_model"), "-666024656");
    EXPECT_EQ(valueIn("PlayerBoat.dat", "dock_id"), "2");
    EXPECT_EQ(world().cashCents, 100000 - 105);
    EXPECT_EQ(world().moneyToasts.back().cents, 105);
    EXPECT_THAT(panelTexts(), Contains(langText("catalog.subtitle.customize")));

    backOut();
    EXPECT_TRUE(world().player.control);
    ASSERT_NE(onlyVehicle(), nullptr) << "the bought boat stays moored";
    EXPECT_EQ(onlyVehicle()->model, 0xD84D4530u);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "dock_id"), "2");
}

// Catches a player whose game is in French reading English where his translation has a text, his
// own Lang.custom.dat losing to it, and a price of his own Configs.custom.dat shown but another charged.
TEST_F(ShopTest, AFrenchPlayerBuysAtHisOwnPriceReadingFrench) {
    world().language = 1;
    game.writeFile("Lang.fr-FR.dat",
                   "prompts.manage_boats=Gérer les barques\nprompts.close=Fermer\n"
                   "prompts.browse_catalog=Catalogue\ncatalog.title=Barques à vendre\n"
                   "boat_types.-1613317544=Barque à rames\nblips.boat=Barque de {player}\n");
    game.writeFile("Lang.custom.dat", "catalog.title=Mes barques\n");
    game.writeFile("Configs.custom.dat", "fees.boat.-1613317544=12.5\n");
    world().cashCents = 100000;
    startAndSettle();
    standAt(kLagrasPier);
    ASSERT_TRUE(runUntil([&] { return visible("Gérer les barques"); }, 5));
    world().input.hold("INPUT_CONTEXT_Y", 40);
    ASSERT_TRUE(runUntil([&] { return visible("Fermer"); }, 40));
    world().input.release("INPUT_CONTEXT_Y");
    game.runFrames(2);
    world().input.press("INPUT_CONTEXT_Y");
    ASSERT_TRUE(runUntil([&] { return panelShows("Mes barques"); }, 200));
    game.runFrame();
    EXPECT_THAT(panelTexts(), IsSupersetOf({"Barque à rames", "$12", "50"}));
    pressAndRun(kSelect);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "owned_boat_model"), "-1613317544");
    EXPECT_EQ(world().cashCents, 100000 - 1250);
    world().input.press("INPUT_CONTEXT_B");
    ASSERT_TRUE(runUntil([&] { return visible("Fermer"); }, 100));
    EXPECT_EQ(world().blipOn(onlyVehicle()->handle)->name, "Barque de " + world().player.name);
    EXPECT_EQ(game.countCalls("getCurrentLanguage"), 1);
}

// Catches an unbought preview left in the water or in the record after backing out.
TEST_F(ShopTest, BackingOutWithoutBuyingRemovesThePreview) {
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    openCatalogue("prompts.browse_catalog");
    ASSERT_NE(onlyVehicle(), nullptr);

    backOut();
    EXPECT_TRUE(world().vehicles().empty());
    EXPECT_EQ(valueIn("PlayerBoat.dat", "owned_boat_model"), "0");
    EXPECT_TRUE(visibleLang("prompts.browse_catalog")) << "back in the dock menu";
    // What he sees at once: the game's own view, his controls, no shop HUD or shop prompts.
    EXPECT_EQ(world().cameras.viewing(), nullptr);
    EXPECT_TRUE(world().player.control);
    EXPECT_FALSE(world().hudContexts.contains(sim::hashOf("HUD_CTX_IN_CATALOGUE_SHOP_MENU")));
    EXPECT_FALSE(visibleLang("prompts.back"));
    EXPECT_FALSE(visibleLang("prompts.buy"));
    EXPECT_EQ(world().fade.fadesIn, world().fade.fadesOut);
    // The player stays a while: the screen must have come back and his control with it.
    game.runFor(6000);
    EXPECT_FALSE(world().screenDark());
    EXPECT_TRUE(world().player.control);
    EXPECT_TRUE(world().screen.thisFrame().sprites().empty()) << "no panel left drawn";
    pressAndRun("INPUT_CONTEXT_B");
    EXPECT_TRUE(visibleLang("prompts.manage_boats"));
    for (const auto& [handle, camera] : world().cameras.cameras)
        EXPECT_FALSE(camera.active);
}

// Catches the dock menu's camera left on when he boards his boat in the moment between backing out
// of the shop, which hands his control back, and the dock menu's next frame on foot.
TEST_F(ShopTest, BoardingRightAfterBackingOutLeavesTheShopCameraBehind) {
    customiseBoatMooredAtLagras();
    world().input.press("INPUT_CONTEXT_B");
    ASSERT_TRUE(runUntil([&] { return world().player.control; }, 100));
    world().putPlayerInVehicle(onlyVehicle()->handle);
    game.runFor(2000);
    EXPECT_EQ(world().cameras.viewing(), nullptr);
}

// Catches a repair or the cleaning after it charged other than the price drawn on its row
// (fees.fix_boat 10 for a boat at a quarter of its health: 10 x 0.75, truncated, is $7), or a repair
// that leaves the boat damaged in the world or in the record, so that leaving the shop undoes it.
TEST_F(ShopTest, BuyingARepairMendsTheBoatForThePriceShown) {
    game.writeFile("PlayerBoat.dat",
                   "dock_id=2\nhealth=0.250000\nlantern_propset_index=-1\nmax_health=1000\n"
                   "owned_boat_model=-1613317544\npropset_index=-1\ntint=1\n");
    world().cashCents = 100000;
    startAndSettle();
    EXPECT_EQ(onlyVehicle()->health, 250);
    standAt(kLagrasPier);
    openDockMenu();
    openCatalogue("prompts.customize_boat");
    EXPECT_THAT(panelTexts(), Contains("$7"));
    pressAndRun(kSelect);
    EXPECT_EQ(world().cashCents, 100000 - 700);
    ASSERT_EQ(world().moneyToasts.size(), 1u);
    EXPECT_EQ(world().moneyToasts.back().cents, 700);
    EXPECT_EQ(onlyVehicle()->health, 1000);
    EXPECT_EQ(onlyVehicle()->timesFixed, 1);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "health"), "1.000000");
    // Mended, the other rows come back with the selection on cleaning, at fees.clean_boat.
    game.runFrames(2);
    EXPECT_THAT(panelTexts(), Contains("$2"));
    pressAndRun(kSelect);
    EXPECT_EQ(world().cashCents, 100000 - 700 - 200);

    backOut();
    game.runFor(3000);
    EXPECT_EQ(world().cashCents, 100000 - 900) << "each taken once";
    EXPECT_EQ(onlyVehicle()->health, 1000);
}

// Catches the dock menu staying open while the player walks off, or closing while he only shifts
// his feet: 0.12 m/s stays, 0.3 m/s is walking (frame times vary, so the margins do too).
TEST_F(ShopTest, WalkingOffClosesTheDockMenu) {
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    auto step = [&](float metresPerSecond, int frames) {
        for (int frame = 0; frame < frames; ++frame) {
            world().playerPed().position.x += metresPerSecond * world().frameTimeSeconds();
            game.runFrame();
        }
    };
    step(0.12f, 10);
    EXPECT_TRUE(visibleLang("prompts.close")) << "standing about";
    step(0.3f, 3);
    EXPECT_FALSE(visibleLang("prompts.close"));
    EXPECT_TRUE(visibleLang("prompts.manage_boats")) << "back to the pier's own prompt";
}

// Catches an option charged but not saved, a removal not saved, customise mode forgetting what was
// bought once left and entered again, and a record that brings the boat back otherwise after a
// restart.
TEST_F(ShopTest, BoughtOptionsAreSavedEachTimeAndComeBackAfterARestart) {
    customiseBoatMooredAtLagras();
    // Rows: repair (not needed), clean, paint, fittings, lanterns; the selection starts on clean.
    auto buyNext = [&](std::uint32_t step) {
        pressAndRun(kDown);
        pressAndRun(step);
        pressAndRun(kSelect);
    };
    buyNext(kIncrease);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "tint"), "2");
    EXPECT_EQ(world().cashCents, 100000 - 800);
    EXPECT_THAT(game.logMessages(), Contains("boat repainted. selected tint: 2"));
    buyNext(kIncrease);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "propset_index"), "0");
    EXPECT_EQ(world().cashCents, 100000 - 800 - 2500);
    buyNext(kIncrease);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "lantern_propset_index"), "0");
    EXPECT_EQ(world().cashCents, 100000 - 800 - 2500 - 1500);
    pressAndRun(kDecrease);
    pressAndRun(kSelect);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "lantern_propset_index"), "-1") << "taken off, free";
    EXPECT_EQ(world().cashCents, 100000 - 800 - 2500 - 1500);

    backOut();
    openCatalogue("prompts.customize_boat");
    const sim::Entity& boat = *onlyVehicle();
    EXPECT_EQ(boat.tint, 2);
    EXPECT_EQ(boat.propSet, sim::hashOf("pg_veh_rowboat_01"));
    EXPECT_EQ(boat.lanternPropSet, 0u);
    backOut();
    game.runFor(16000);

    EXPECT_TRUE(Harness::runCaseInChildProcess(game.folder(), "ShopRestartTest.DISABLED_TheBoatComesBackAsBought"));
}

// Catches buying one option saving what another row only previews: a lantern looked at, then a
// prop set bought, put the unpaid lantern into the record; and the same of both looked at while he
// buys a paint.
TEST_F(ShopTest, BuyingAnOptionSavesNoOtherRowsPreview) {
    customiseBoatMooredAtLagras();
    for (int row = 0; row < 3; ++row) pressAndRun(kDown);
    pressAndRun(kIncrease);
    pressAndRun(kUp);
    pressAndRun(kIncrease);
    pressAndRun(kSelect);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "propset_index"), "0");
    EXPECT_EQ(valueIn("PlayerBoat.dat", "lantern_propset_index"), "-1");
    EXPECT_NE(onlyVehicle()->lanternPropSet, 0u) << "the lantern is still shown while the row previews it";
    EXPECT_EQ(onlyVehicle()->tint, 1) << "the paint row, untouched, still shows his paint";
    EXPECT_EQ(world().cashCents, 100000 - 2500);

    pressAndRun(kIncrease);  // fittings he has not paid for, with the lantern still looked at
    pressAndRun(kUp);
    pressAndRun(kIncrease);
    pressAndRun(kSelect);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "tint"), "2");
    EXPECT_EQ(valueIn("PlayerBoat.dat", "propset_index"), "0");
    EXPECT_EQ(valueIn("PlayerBoat.dat", "lantern_propset_index"), "-1");
    EXPECT_EQ(world().cashCents, 100000 - 2500 - 800);
}

// Run by the case above in a process of its own, on its folder.
TEST(ShopRestartTest, DISABLED_TheBoatComesBackAsBought) {
    const auto game = Harness::restarted(3000);
    ASSERT_NE(game, nullptr);
    const auto vehicles = game->world().vehicles();
    ASSERT_EQ(vehicles.size(), 1u);
    EXPECT_EQ(vehicles[0]->position, kLagrasMooring);
    EXPECT_EQ(vehicles[0]->tint, 2);
    EXPECT_EQ(vehicles[0]->propSet, sim::hashOf("pg_veh_rowboat_01"));
    EXPECT_EQ(vehicles[0]->lanternPropSet, 0u);
}

const sim::Vec3 kOffLagras{kLagrasMooring.x + 45.0f, kLagrasMooring.y, kLagrasMooring.z};
// Played by scripts/check-release in a game folder holding the installed release: a new player
// buys the rowboat at Lagras and rows out of the dock, a tutorial he has now seen.
TEST_F(ShopTest, DISABLED_InstalledReleaseANewPlayerBuysTheRowboat) {
    ASSERT_NE(std::getenv("TOLLMERE_GAME_FOLDER"), nullptr);
    world().cashCents = 100000;
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    openCatalogue("prompts.browse_catalog");
    pressAndRun(kSelect);
    backOut();
    ASSERT_NE(onlyVehicle(), nullptr);
    const std::uint32_t boat = onlyVehicle()->handle;
    world().putPlayerInVehicle(boat);
    game.runFrames(1);  // getting in lifts the anchor the bought boat lies at
    world().moveVehicle(boat, kOffLagras);
    game.runFor(3000);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "dock_id"), "0");
}

// And after the update is unpacked over that folder: the game started again places the rowboat
// where he left it.
TEST_F(ShopTest, DISABLED_InstalledReleaseTheRowboatIsBack) {
    ASSERT_NE(std::getenv("TOLLMERE_GAME_FOLDER"), nullptr);
    startAndSettle();
    game.runFor(3000);
    ASSERT_NE(onlyVehicle(), nullptr);
    EXPECT_EQ(onlyVehicle()->model, 0x9FD6BA58u);
    EXPECT_NEAR(onlyVehicle()->position.x, kOffLagras.x, 0.1f);
    EXPECT_NEAR(onlyVehicle()->position.y, kOffLagras.y, 0.1f);
}

struct RepairCase {
    const char* name;
    std::int32_t health;
    const char* price;  // as drawn, or nullptr when the repair is not on offer
};

class RepairTest : public ShopTest, public ::testing::WithParamInterface<RepairCase> {};

// Catches repair prices that ignore the damage or its 40 % floor, and a repair offered to a sound boat.
TEST_P(RepairTest, RepairIsPricedByDamage) {
    game.writeFile("Configs.dat", game.readFile("Configs.dat") + "fees.fix_boat=100\n");
    game.writeFile("PlayerBoat.dat", kBoatAtDock4);
    world().cashCents = 100000;
    startAndSettle();
    world().entity(onlyVehicle()->handle)->health = GetParam().health;
    standAt(sim::Vec3{2077.7f, -269.949f, 42.1409f});
    openDockMenu();
    openCatalogue("prompts.customize_boat");
    game.runFrames(2);

    const sim::DrawnText* repair = world().screen.thisFrame().findText(langText("catalog.input.fix_boat"));
    ASSERT_NE(repair, nullptr);
    const sim::DrawnText* paint = world().screen.thisFrame().findText(langText("catalog.input.tint"));
    ASSERT_NE(paint, nullptr);
    if (GetParam().price != nullptr) {
        EXPECT_THAT(panelTexts(), Contains(GetParam().price));
        EXPECT_EQ(paint->colour.a, 100) << "everything else waits for the repair";
        EXPECT_EQ(repair->colour.a, 255);
    } else {
        EXPECT_EQ(repair->colour.a, 100);
        EXPECT_EQ(paint->colour.a, 255);
    }
}

INSTANTIATE_TEST_SUITE_P(, RepairTest,
                         ::testing::Values(RepairCase{"half", 500, "$50"}, RepairCase{"seventyPercent", 700, "$40"},
                                           RepairCase{"thirtyPercent", 300, "$69"},
                                           RepairCase{"justBelowTheThreshold", 849, "$40"},
                                           RepairCase{"sound", 850, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

// Catches taking a prop set off being charged, or not saved and logged.
TEST_F(ShopTest, ChoosingNoPropSetIsFreeButSaved) {
    game.writeFile("PlayerBoat.dat",
                   "dock_id=2\nhealth=1.000000\nlantern_propset_index=-1\nmax_health=1000\n"
                   "owned_boat_model=-1613317544\npropset_index=1\ntint=1\n");
    world().cashCents = 100000;
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    openCatalogue("prompts.customize_boat");
    // Rows: repair (not needed), clean, paint, fittings, lanterns: the fittings row is third down.
    pressAndRun(kDown);
    pressAndRun(kDown);
    pressAndRun(0xA65EBAB4);  // one step down from the fitted set to none
    pressAndRun(0xA65EBAB4);
    EXPECT_EQ(world().entity(onlyVehicle()->handle)->propSet, 0u) << "the preview takes the set off";
    pressAndRun(kSelect);
    EXPECT_GE(game.findLog("propset purchased. index: -1"), 0);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "propset_index"), "-1");
    EXPECT_EQ(world().cashCents, 100000);
}

// Catches a boat moored elsewhere fetched for a fee, or not moved and saved.
TEST_F(ShopTest, ABoatMooredAtAnotherDockIsFetchedFree) {
    game.writeFile("PlayerBoat.dat", kBoatAtDock4);
    world().cashCents = 5000;
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    EXPECT_TRUE(visibleLang("prompts.retrieve_boat"));
    EXPECT_TRUE(visibleLang("prompts.customize_boat"));
    pressAndRun("INPUT_CONTEXT_X");
    EXPECT_EQ(onlyVehicle()->position, kLagrasMooring);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "dock_id"), "2");
    EXPECT_EQ(world().cashCents, 5000);
}

// Catches a boat left on the water fetched free, the fee and its tutorial missing, or a fee with cents
// charged a cent below the one shown.
TEST_F(ShopTest, ABoatLeftOnTheWaterIsFetchedForTheFee) {
    removeFromConfigs("fees.retrieve_boat=5\n", "fees.retrieve_boat=2.1\n");
    game.writeFile("PlayerBoat.dat",
                   "coords=2500,-900,40.5\ndock_id=0\nhealth=1.000000\nmax_health=1000\nowned_boat_model=-1613317544\n");
    world().cashCents = 5000;
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    const std::string paid = langText("prompts.retrieve_boat") + " $2.10";
    ASSERT_TRUE(visible(paid));
    EXPECT_FALSE(visibleLang("prompts.retrieve_boat"));
    world().input.hold("INPUT_CONTEXT_X", 30);
    ASSERT_TRUE(runUntil([&] { return valueIn("PlayerBoat.dat", "dock_id") == "2"; }, 30));
    EXPECT_EQ(onlyVehicle()->position, kLagrasMooring);
    EXPECT_EQ(world().cashCents, 5000 - 210) << "2.1 is 209.99998 cents as a float";
    EXPECT_EQ(world().moneyToasts.back().cents, 210);
    EXPECT_THAT(game.logMessages(), Contains("tutorial seen: return_boat_to_docks"));
}

// Catches a shop closed by anything but its back button keeping the unbought preview in the record
// (the next save made it a free boat), and control, HUD and camera given back on every frame.
TEST_F(ShopTest, AShopClosedByASuspensionKeepsOnlyWhatWasPaidFor) {
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    openCatalogue("prompts.browse_catalog");
    pressAndRun(kDown);
    std::map<std::string, std::size_t> before;
    const char* const givenBack[] = {"setPlayerControl", "removeHudContext", "setCamActive", "renderScriptCams"};
    for (const char* name : givenBack) before[name] = game.host().callsTo(name).size();
    world().player.unavailable = true;
    game.runFrames(10);
    world().player.unavailable = false;
    standAt(sim::Vec3{});
    game.runFor(16000);
    EXPECT_TRUE(world().vehicles().empty());
    EXPECT_EQ(valueIn("PlayerBoat.dat", "owned_boat_model"), "0");
    EXPECT_TRUE(world().player.control);
    EXPECT_TRUE(!world().cameras.rendering && world().cameras.ease) << "eased back to the game's view";
    for (const char* name : givenBack) EXPECT_EQ(game.host().callsTo(name).size() - before[name], 1u) << name;
}

// Catches the shop opening under a scene the game took the player into while it faded out: its
// panel and camera over the scene, the preview left behind, the screen left dark.
TEST_F(ShopTest, TheShopDoesNotOpenOnceTheGameHoldsThePlayer) {
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    world().input.press("INPUT_CONTEXT_Y");  // browse
    ASSERT_TRUE(runUntil([&] { return world().fade.out; }, 40));
    world().player.unavailable = true;
    for (int frame = 0; frame < 60; ++frame) {
        game.runFrame();
        EXPECT_FALSE(panelShows(langText("catalog.title")) || world().cameras.rendering) << frame;
    }
    EXPECT_TRUE(!world().fade.out && world().vehicles().empty()) << "fade given back, no preview left";
    world().player.unavailable = false;
    EXPECT_TRUE(runUntil([&] { return world().player.control; }, 40));
}

// Catches a fee missing from Configs.dat paying the player, a row the player could not afford
// staying dimmed once he can, and a boat icon count from a file drawn without bound.
TEST_F(ShopTest, AServiceWithoutAPriceIsNotSoldAndRowsComeBackWithTheCash) {
    removeFromConfigs("fees.clean_boat=2\n", "boat_upgrades.health.-1613317544=150000000\n");
    game.writeFile("PlayerBoat.dat", kBoatAtDock4);
    startAndSettle();
    standAt(sim::Vec3{2077.7f, -269.949f, 42.1409f});
    openDockMenu();
    openCatalogue("prompts.customize_boat");
    const auto alpha = [&](const char* key) { return world().screen.thisFrame().findText(langText(key))->colour.a; };
    EXPECT_EQ(alpha("catalog.input.clean_boat"), 100);
    EXPECT_THAT(panelTexts(), Contains("--"));
    EXPECT_EQ(alpha("catalog.input.tint"), 100) << "no cash";
    world().cashCents = 100000;
    game.runFrames(2);
    EXPECT_EQ(alpha("catalog.input.tint"), 255);
    EXPECT_EQ(alpha("catalog.input.clean_boat"), 100);
    for (int press = 0; press < 3; ++press) pressAndRun(kSelect);
    EXPECT_LE(world().cashCents, 100000);
    const auto sprites = world().screen.thisFrame().sprites();
    const auto stars = [](const sim::DrawnSprite* s) { return s->texture.starts_with("star"); };
    EXPECT_LE(std::count_if(sprites.begin(), sprites.end(), stars), 30);
    const auto log = game.logMessages();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Configs.dat has no price for fees.clean_boat, so that service is "
                                                 "not offered"),
              1);
}

// Catches a missing retrieval fee paying the player for fetching his boat.
TEST_F(ShopTest, WithoutAFeeThereIsNoPaidRetrieval) {
    removeFromConfigs("fees.retrieve_boat=5\n");
    game.writeFile("PlayerBoat.dat", "coords=2500,-900,40.5\ndock_id=0\nowned_boat_model=-1613317544\n");
    world().cashCents = 5000;
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    EXPECT_FALSE(visible(langText("prompts.retrieve_boat") + " $"));
    world().input.hold("INPUT_CONTEXT_X", 30);
    game.runFrames(30);
    EXPECT_EQ(world().cashCents, 5000);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "dock_id"), "0");
}

// Catches the retrieval fee taken from a player who cannot pay it, leaving him in debt, and its help
// forced on a player who has seen it when the draw says not again.
TEST_F(ShopTest, ThePaidRetrievalWaitsUntilThePlayerCanPay) {
    game.writeFile("PlayerBoat.dat", "coords=2500,-900,40.5\ndock_id=0\nowned_boat_model=-1613317544\n");
    game.writeFile("TutorialFlags.dat", "return_boat_to_docks=1\n");
    game.writeFile("Settings.ini", "EnableBoatRobberies=0\n");
    world().cashCents = 460;
    startAndSettle();
    world().scriptedInts.assign(100, 3);
    standAt(kLagrasPier);
    openDockMenu();
    const sim::GamePrompt* paid = world().prompts.withText(langText("prompts.retrieve_boat") + " $5");
    ASSERT_NE(paid, nullptr);
    world().input.hold("INPUT_CONTEXT_X", 60);
    game.runFrames(60);
    EXPECT_EQ(world().cashCents, 460);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "dock_id"), "0");

    world().cashCents = 1000;
    world().input.hold("INPUT_CONTEXT_X", 60);
    game.runFrames(60);
    EXPECT_EQ(world().cashCents, 500);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "dock_id"), "2");
    EXPECT_EQ(game.findLog("tutorial seen: return_boat_to_docks"), -1);
}

// Catches customising a boat moored elsewhere moving it here while the record keeps the other dock.
TEST_F(ShopTest, CustomisingABoatMooredElsewhereMoorsItHere) {
    game.writeFile("PlayerBoat.dat", kBoatAtDock4);
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    openCatalogue("prompts.customize_boat");
    backOut();
    EXPECT_EQ(onlyVehicle()->position, kLagrasMooring);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "dock_id"), "2");
}

struct AwayCase {
    const char* name;
    float metres;  // from the Lagras mooring, along x
    bool paidRetrieval;
};

class AwayFromDockTest : public ShopTest, public ::testing::WithParamInterface<AwayCase> {};

// Catches the distance at which a boat left on the water counts as away from the dock off by a
// hair: within 40 m it is customised where it floats, beyond it is fetched for the fee.
TEST_P(AwayFromDockTest, ABoatLeftNearTheDockIsAwayOnlyBeyondFortyMetres) {
    const sim::Vec3& m = kLagrasMooring;
    game.writeFile("PlayerBoat.dat", "coords=" + std::to_string(m.x + GetParam().metres) + "," +
                                         std::to_string(m.y) + "," + std::to_string(m.z) +
                                         "\ndock_id=0\nhealth=1.000000\nmax_health=1000\n"
                                         "owned_boat_model=-1613317544\n");
    startAndSettle();
    standAt(kLagrasPier);
    openDockMenu();
    EXPECT_EQ(visible(langText("prompts.retrieve_boat") + " $5"), GetParam().paidRetrieval);
    EXPECT_EQ(visibleLang("prompts.customize_boat"), !GetParam().paidRetrieval);
}

INSTANTIATE_TEST_SUITE_P(, AwayFromDockTest,
                         ::testing::Values(AwayCase{"justInside", 39.9f, false},
                                           AwayCase{"justOutside", 40.1f, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// besideMenu: the menu open for a boat floating near the dock, saved far off before it came there;
// backNearMenu: the fee asked for a boat floating far off, saved near the dock before it left;
// elsewhereMenu: the menu open for a boat moored at another dock, fetched free.
enum class Where { onFoot, rowing, awayMenu, besideMenu, backNearMenu, elsewhereMenu, customising, preview };
enum class How { destroyed, cleared, deleted };  // cleared: every script's; deleted: by another script

struct LossCase {
    const char* name;
    Where where;
    How how;
    friend std::ostream& operator<<(std::ostream& out, const LossCase& c) { return out << c.name; }
};

class BoatLostTest : public ShopTest, public ::testing::WithParamInterface<LossCase> {};

// Catches the shop or the paid retrieval going on for a boat that is lost (a row or the fee charged,
// customising still offered, a preview mourned as his), and a boat removed by another script or the
// game taken for lost, instead of placed again, dressed and his, where it was saved.
TEST_P(BoatLostTest, NothingIsChargedForABoatThatIsGoneAndARemovedOneComesBack) {
    const auto [_, where, how] = GetParam();
    const bool owning = where != Where::preview, destroyed = how == How::destroyed;
    const bool farOff = where == Where::awayMenu || where == Where::besideMenu;
    const bool savedNear = where == Where::backNearMenu;
    const sim::Vec3 far{2500.0f, -900.0f, 40.5f}, near{kLagrasMooring.x + 10.0f, kLagrasMooring.y, 40.5f};
    sim::Vec3 place = farOff ? far : savedNear ? near : kLagrasMooring;
    if (owning)
        game.writeFile("PlayerBoat.dat", farOff || savedNear ? "coords=" + std::to_string(place.x) + "," +
                                                                   std::to_string(place.y) + ",40.5\nowned_boat_model=-1613317544\n"
                                         : where == Where::elsewhereMenu ? "dock_id=4\nowned_boat_model=-1613317544\n"
                                                                         : "dock_id=2\nowned_boat_model=-1613317544\ntint=2\n");
    world().cashCents = 100000;
    startAndSettle();
    sim::Neighbour& neighbour = sim::Neighbour::start(game.host());
    if (where == Where::rowing) {
        world().putPlayerInVehicle(onlyVehicle()->handle);
        game.runFrames(2);
        world().moveVehicle(onlyVehicle()->handle, place = sim::Vec3{2250.0f, -640.0f, 40.5f});
        game.runFrames(2);
    } else if (where != Where::onFoot) {
        if (where == Where::besideMenu || savedNear) world().teleportVehicle(onlyVehicle()->handle, savedNear ? far : near);
        standAt(kLagrasPier);
        openDockMenu();
        if (where == Where::besideMenu) ASSERT_TRUE(visibleLang("prompts.customize_boat"));
        if (savedNear) ASSERT_TRUE(visible(langText("prompts.retrieve_boat") + " $5"));
        if (where == Where::elsewhereMenu) ASSERT_TRUE(visibleLang("prompts.retrieve_boat"));
        if (!farOff && !savedNear && where != Where::elsewhereMenu) openCatalogue(owning ? "prompts.customize_boat" : "prompts.browse_catalog");
    }
    const std::uint32_t shown = onlyVehicle()->handle;
    if (destroyed) world().entity(shown)->health = 0;
    if (how == How::cleared) world().clearScriptEntities();
    if (how == How::deleted) neighbour.deleteVehicle(shown);
    game.runFrames(3);
    if (destroyed) {
        world().input.hold(where == Where::awayMenu || where == Where::elsewhereMenu ? sim::hashOf("INPUT_CONTEXT_X") : kSelect, 40);
        game.runFrames(40);
        EXPECT_EQ(world().cashCents, 100000);
        EXPECT_FALSE(panelShows(langText("catalog.title")));
        if (!visibleLang("prompts.close")) openDockMenu();
        EXPECT_TRUE(visibleLang("prompts.browse_catalog") && !visibleLang("prompts.customize_boat") &&
                    !visibleLang("prompts.retrieve_boat"));
        const sim::Entity* wreck = world().entity(shown);
        EXPECT_TRUE(wreck == nullptr || wreck->released) << "the wreck is the game's again, to clear";
    } else {
        ASSERT_NE(onlyVehicle(), nullptr);
        EXPECT_NE(onlyVehicle()->handle, shown);
        EXPECT_LT(sim::distance(onlyVehicle()->position, place), 0.01f);
        EXPECT_TRUE(onlyVehicle()->tint == (farOff || savedNear ? 0 : owning ? 2 : 1));
        EXPECT_EQ(panelShows(langText("catalog.title")), where == Where::customising || where == Where::preview);
        // Placed again far off, it is fetched for the fee: nothing offers to customise it where it was.
        // Placed again near, it is customised where it floats, not moved a few metres for the fee.
        EXPECT_EQ(visible(langText("prompts.retrieve_boat") + " $5"), farOff);
        EXPECT_EQ(visibleLang("prompts.customize_boat"), savedNear);
    }
    EXPECT_EQ(valueIn("PlayerBoat.dat", "owned_boat_model"), owning && !destroyed ? "-1613317544" : "0");
    EXPECT_EQ(game.findLog("tutorial seen: boat_destroyed") >= 0, owning && destroyed);
}

INSTANTIATE_TEST_SUITE_P(, BoatLostTest,
                         ::testing::Values(LossCase{"DeletedOnFoot", Where::onFoot, How::deleted},
                                           LossCase{"DeletedRowing", Where::rowing, How::deleted},
                                           LossCase{"DestroyedAwayFromTheDocks", Where::awayMenu, How::destroyed},
                                           LossCase{"ClearedAwayFromTheDocks", Where::awayMenu, How::cleared},
                                           LossCase{"DeletedBesideTheDock", Where::besideMenu, How::deleted},
                                           LossCase{"DeletedAwayFromWhereSaved", Where::backNearMenu, How::deleted},
                                           LossCase{"DestroyedMooredElsewhere", Where::elsewhereMenu, How::destroyed},
                                           LossCase{"DestroyedCustomising", Where::customising, How::destroyed},
                                           LossCase{"ClearedCustomising", Where::customising, How::cleared},
                                           LossCase{"DestroyedPreview", Where::preview, How::destroyed},
                                           LossCase{"DeletedPreview", Where::preview, How::deleted}),
                         [](const auto& info) { return std::string(info.param.name); });

// Catches customise mode running its rows in its first frame before they are set up for the boat:
// the rows of the last visit, on sale to a boat that needs its repair first.
TEST_F(ShopTest, TheFirstFrameOfCustomisingOffersOnlyWhatThisBoatIsOffered) {
    customiseBoatMooredAtLagras();
    backOut();
    world().entity(onlyVehicle()->handle)->health = 500;
    world().input.press("INPUT_CONTEXT_Y");
    ASSERT_TRUE(runUntil([&] { return panelShows(langText("catalog.title")); }, 200));
    const auto alpha = [&](const char* key) { return world().screen.thisFrame().findText(langText(key))->colour.a; };
    EXPECT_TRUE(alpha("catalog.input.fix_boat") == 255 && alpha("catalog.input.clean_boat") == 100);
    EXPECT_THAT(panelTexts(), Contains("$5")) << "the repair at half health";
}

class DockingTest : public ShopTest {
protected:
    // The player sits in a boat of the world floating just off Lagras.
    sim::Entity& boatOffLagras(float speed) {
        const std::uint32_t handle = world().createVehicle(0xE84E6B74u, kLagrasMooring, 10.0f);
        sim::Entity& boat = *world().entity(handle);
        boat.speedSetByTest = speed;
        world().putPlayerInVehicle(handle);
        return boat;
    }
};

// Catches the dock's and the fence's reach from a boat off by a hair: both end 10 m from the pier.
TEST_F(DockingTest, FromABoatTheDockAndTheFenceReachTenMetresFromThePier) {
    startAndSettle();
    sim::Entity& boat = boatOffLagras(0.0f);
    world().moveVehicle(boat.handle, sim::Vec3{kLagrasPier.x, kLagrasPier.y + 10.1f, kLagrasPier.z});
    game.runFrames(3);
    EXPECT_FALSE(visibleLang("prompts.dock_boat")) << "10.1 m";
    EXPECT_FALSE(visibleLang("prompts.sell_boat"));
    world().moveVehicle(boat.handle, sim::Vec3{kLagrasPier.x, kLagrasPier.y + 9.9f, kLagrasPier.z});
    game.runFrames(3);
    EXPECT_TRUE(visibleLang("prompts.dock_boat")) << "9.9 m";
    EXPECT_TRUE(visibleLang("prompts.sell_boat"));

    // He steps onto the pier, opens the dock's menu, climbs back into the boat and out again: on the
    // pier nothing of the boat's is offered.
    const auto stepOntoThePier = [&] {
        world().putPlayerOnFoot();
        world().playerPed().position = kLagrasPier;
    };
    stepOntoThePier();
    openDockMenu();
    world().putPlayerInVehicle(boat.handle);
    game.runFrames(3);
    ASSERT_TRUE(visibleLang("prompts.dock_boat"));
    stepOntoThePier();
    game.runFrames(3);
    EXPECT_FALSE(visibleLang("prompts.dock_boat"));
    EXPECT_FALSE(visibleLang("prompts.sell_boat"));
}

// Catches the speed limit for docking off by a hair, a claimed boat that is not saved as his, and a
// claim the shop refuses (a kind of boat it does not know) shown as made instead of refused each try.
TEST_F(DockingTest, AnyBoatIsClaimedWhenDockedSlowlyEnough) {
    startAndSettle();
    const auto shown = [&](const char* key) {
        return std::count_if(world().helpTexts.begin(), world().helpTexts.end(),
                             [&](const sim::HelpText& help) { return help.text == langText(key); });
    };
    world().boatModels.insert(0x1234u);
    world().putPlayerInVehicle(world().createVehicle(0x1234u, kLagrasMooring, 10.0f));
    for (int attempt = 0; attempt < 2; ++attempt) {
        world().input.hold("INPUT_CONTEXT_X", 40);
        game.runFrames(45);
    }
    EXPECT_TRUE(shown("tutorial.boat_claim_refused") == 2 && shown("tutorial.boat_claimed") == 0);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "owned_boat_model"), "0");
    sim::Entity& boat = boatOffLagras(1.2f);
    boat.propSet = sim::hashOf("pg_mp005_shrimpingBoat01");  // fittings of a cargo boat, not of its model
    game.runFrames(3);
    EXPECT_FALSE(visibleLang("prompts.dock_boat"));
    EXPECT_THAT(game.logMessages(), Contains("tutorial seen: dock_boat_too_fast"));

    boat.speedSetByTest = 1.19f;
    game.runFrames(2);
    ASSERT_TRUE(visibleLang("prompts.dock_boat"));
    world().input.hold("INPUT_CONTEXT_X", 40);
    ASSERT_TRUE(runUntil([&] { return valueIn("PlayerBoat.dat", "owned_boat_model") == "-397513868"; }, 40));
    EXPECT_EQ(valueIn("PlayerBoat.dat", "dock_id"), "2");
    EXPECT_EQ(valueIn("PlayerBoat.dat.bak", "dock_id"), "0") << "the copy kept as he claimed it";
    EXPECT_TRUE(boat.propSet == 0 && valueIn("PlayerBoat.dat", "propset_index") == "-1")
        << "he keeps only what the record can hold, as the next start shows it";
    EXPECT_THAT(game.logMessages(), Contains("tutorial seen: boat_claimed"));
    const auto anchors = game.host().callsTo("setBoatAnchor");
    EXPECT_TRUE(std::any_of(anchors.begin(), anchors.end(), [&](const auto* call) {
        return call->args[0] == boat.handle && call->args[1] == 1;
    })) << "mooring drops the anchor (sitting in the boat lifts it again)";
}

// Catches a boat arriving too fast being docked while the control is held, and the slow-down help
// asked again while it stays fast: each is asked once a run.
TEST_F(DockingTest, AFastArrivalHeldAtTheDockIsNeverDocked) {
    startAndSettle();
    sim::Entity& boat = boatOffLagras(2.0f);
    world().input.hold("INPUT_CONTEXT_X", 150);
    for (int frame = 0; frame < 150; ++frame) {
        game.runFrame();
        ASSERT_FALSE(visibleLang("prompts.dock_boat")) << "frame " << frame;
    }
    EXPECT_EQ(valueIn("PlayerBoat.dat", "owned_boat_model"), "0");
    EXPECT_FALSE(boat.anchored);
    EXPECT_EQ(world().blipOn(boat.handle), nullptr);
    const auto log = game.logMessages();
    for (const char* once :
         {"tutorial seen: dock_boat_too_fast", "tutorial seen: boat_fence.slow_down_to_sell"}) {
        EXPECT_EQ(std::count(log.begin(), log.end(), once), 1) << once;
    }
    world().input.release("INPUT_CONTEXT_X");
    boat.speedSetByTest = 0.5f;
    game.runFrames(3);
    EXPECT_TRUE(visibleLang("prompts.dock_boat")) << "slowed down, he may dock";
}

// A claimed boat's whole life: claimed at Lagras, anchored out on the water, docked at Trapper's
// Cabin and again at Lagras, then sold there. Catches a claimed boat without its one named blip or
// still his after the sale, and a once-a-run help shown again: every draw would bring a seen one back.
TEST_F(DockingTest, AClaimedBoatIsAnchoredDockedTwiceAndSold) {
    game.writeFile("Settings.ini", "EnableBoatRobberies=0\n");
    startAndSettle();
    world().scriptedInts.assign(1000, 4);
    sim::Entity& boat = *world().entity(world().createVehicle(0x9FD6BA58u, kLagrasMooring, 10.0f));
    boat.propSet = sim::hashOf("pg_veh_rowboat_01");
    boat.speedSetByTest = 0.0f;
    world().putPlayerInVehicle(boat.handle);
    const auto dockAt = [&](const char* id) {
        game.runFrames(3);
        world().input.hold("INPUT_CONTEXT_X", 60);
        ASSERT_TRUE(runUntil([&] { return valueIn("PlayerBoat.dat", "dock_id") == id; }, 60)) << id;
        world().input.release("INPUT_CONTEXT_X");
        game.runFrames(3);
    };
    const auto holdX = [&](bool anchored) {
        world().input.hold("INPUT_CONTEXT_X", 90);
        ASSERT_TRUE(runUntil([&] { return boat.anchored == anchored; }, 90));
        world().input.release("INPUT_CONTEXT_X");
        game.runFrames(30);
    };
    dockAt("2");
    EXPECT_EQ(valueIn("PlayerBoat.dat", "owned_boat_model"), "-1613317544");
    EXPECT_EQ(valueIn("PlayerBoat.dat", "propset_index"), "0");
    const auto blips = [&] {
        return std::count_if(world().blips.begin(), world().blips.end(),
                             [&](const auto& entry) { return entry.second.entity == boat.handle; });
    };
    ASSERT_EQ(blips(), 1);
    EXPECT_EQ(world().blipOn(boat.handle)->name, world().player.name + "'s " + langText("blips.boat"));

    world().moveVehicle(boat.handle, sim::Vec3{2300.0f, -650.0f, 40.5f});
    holdX(true);
    holdX(false);
    world().moveVehicle(boat.handle, kDock4Mooring);
    dockAt("4");
    world().moveVehicle(boat.handle, kLagrasMooring);
    dockAt("2");
    EXPECT_EQ(blips(), 1);

    world().input.hold("INPUT_CONTEXT_B", 60);
    ASSERT_TRUE(runUntil([&] { return world().cashCents > 0; }, 60));
    game.runFrames(3);
    EXPECT_EQ(world().cashCents, 3500) << "($45 + $25 for the set) x 0.5";
    EXPECT_TRUE(boat.released) << "the boat sold is the game's again, to clear when he is gone";
    EXPECT_EQ(valueIn("PlayerBoat.dat", "owned_boat_model"), "0");
    EXPECT_EQ(blips(), 0);
    const auto log = game.logMessages();
    for (const char* once : {"drop_boat_anchor", "owned_boat_docked", "boat_fence", "boat_claimed"}) {
        EXPECT_EQ(std::count(log.begin(), log.end(), std::string("tutorial seen: ") + once), 1) << once;
    }
}

// Catches a boat sold at the fence being docked again, and a dock offered for the dock the boat
// is already moored at.
TEST_F(DockingTest, NoDockingForASoldBoatOrAtItsOwnDock) {
    startAndSettle();
    sim::Entity& sold = boatOffLagras(0.0f);
    sold.decorators["QY_RB_isBoatSold"] = 1;
    game.runFrames(3);
    EXPECT_FALSE(visibleLang("prompts.dock_boat"));
}

TEST_F(DockingTest, NoDockPromptAtTheDockTheBoatIsMooredAt) {
    game.writeFile("PlayerBoat.dat",
                   "dock_id=2\nhealth=1.000000\nmax_health=1000\nowned_boat_model=-1613317544\n");
    startAndSettle();
    world().putPlayerInVehicle(onlyVehicle()->handle);
    game.runFrames(3);
    EXPECT_FALSE(visibleLang("prompts.dock_boat"));
}

}  // namespace
}  // namespace tollmere::testing
