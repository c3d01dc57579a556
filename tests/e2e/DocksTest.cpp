// The docks on the map, and their switch with the player's availability.

#include "PluginTest.h"

namespace tollmere::testing {
namespace {

constexpr std::uint32_t kDisabledModifier = 0x2B30E11F;

// Catches docks missing from the map, named wrong, or left disabled after the player is back.
TEST_F(PluginTest, FifteenDocksStandOnTheMapAndCloseWhileThePlayerIsUnavailable) {
    startAndSettle();
    const auto& blips = game.world().blips;
    ASSERT_EQ(blips.size(), 15u);
    for (const auto& [handle, blip] : blips) {
        EXPECT_EQ(blip.name, langText("blips.fence"));
        EXPECT_TRUE(blip.modifiers.empty());
    }

    game.world().player.unavailable = true;
    game.runFrames(2);
    for (const auto& [handle, blip] : game.world().blips) EXPECT_TRUE(blip.modifiers.contains(kDisabledModifier));

    game.world().player.unavailable = false;
    game.runFrames(1);
    for (const auto& [handle, blip] : game.world().blips) EXPECT_TRUE(blip.modifiers.empty());
}

}  // namespace
}  // namespace tollmere::testing
