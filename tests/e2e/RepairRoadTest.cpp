// A damaged boat in the shop: the repair comes first, and once it is paid the other services are
// on offer in the same visit, without leaving the shop.

#include "PluginTest.h"

#include "Hash.h"

#include <functional>

namespace tollmere::testing {
namespace {

constexpr std::uint32_t kSelect = 0xC7B5340A;
constexpr std::uint32_t kDown = 0x05CA7C52;
constexpr std::uint32_t kIncrease = 0xDEB34313;
const sim::Vec3 kDock4Pier{2077.7f, -269.949f, 42.1409f};

class RepairRoadTest : public PluginTest {
  protected:
    sim::World& world() { return game.world(); }

    bool runUntil(const std::function<bool()>& done, int frames) {
        for (int frame = 0; frame < frames; ++frame) {
            game.runFrame();
            if (done()) return true;
        }
        return false;
    }
    bool promptInView(const char* key) {
        const sim::GamePrompt* prompt = world().prompts.withText(langText(key));
        return prompt != nullptr && world().prompts.isVisible(prompt->handle);
    }
    const sim::DrawnText* drawn(const char* key) {
        return world().screen.thisFrame().findText(langText(key));
    }
    void pressAndRun(std::uint32_t control) {
        world().input.press(control);
        game.runFrames(2);
    }
};

// Catches the other services staying shut after a repair bought in the same visit, and a repair
// that takes the wrong money or leaves the boat damaged.
TEST_F(RepairRoadTest, AfterTheRepairTheOtherServicesAreOnOfferInTheSameVisit) {
    game.writeFile("Configs.dat", game.readFile("Configs.dat") + "fees.fix_boat=100\n");
    game.writeFile("PlayerBoat.dat",
                   "dock_id=4\nhealth=1.000000\nlantern_propset_index=-1\nmax_health=1000\n"
                   "owned_boat_model=-1613317544\npropset_index=-1\ntint=1\n");
    world().cashCents = 100000;
    startAndSettle();
    const auto vehicles = world().vehicles();
    ASSERT_EQ(vehicles.size(), 1u);
    const std::uint32_t boat = vehicles.front()->handle;
    world().entity(boat)->health = 500;
    world().putPlayerOnFoot();
    world().playerPed().position = kDock4Pier;
    ASSERT_TRUE(runUntil([&] { return promptInView("prompts.manage_boats"); }, 5));
    world().input.hold("INPUT_CONTEXT_Y", 40);
    ASSERT_TRUE(runUntil([&] { return promptInView("prompts.close"); }, 40));
    world().input.release("INPUT_CONTEXT_Y");
    game.runFrames(2);
    world().input.press("INPUT_CONTEXT_Y");
    ASSERT_TRUE(runUntil([&] { return drawn("catalog.title") != nullptr; }, 200));
    game.runFrames(3);
    ASSERT_NE(drawn("catalog.input.tint"), nullptr);
    EXPECT_EQ(drawn("catalog.input.tint")->colour.a, 100) << "the repair comes first";

    // Half the health gone: half the $100 fee.
    pressAndRun(kSelect);
    EXPECT_EQ(world().cashCents, 100000 - 5000);
    EXPECT_EQ(world().entity(boat)->health, 1000);
    ASSERT_NE(drawn("catalog.input.tint"), nullptr);
    EXPECT_EQ(drawn("catalog.input.tint")->colour.a, 255);

    // The selection now stands on cleaning; the paint is the next row down.
    pressAndRun(kDown);
    pressAndRun(kIncrease);
    pressAndRun(kSelect);
    EXPECT_EQ(valueIn("PlayerBoat.dat", "tint"), "2");
    EXPECT_EQ(world().cashCents, 100000 - 5000 - 800);
}

}  // namespace
}  // namespace tollmere::testing
