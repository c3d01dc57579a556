#include "Host.h"
#include "natives/Registration.h"

#include <string>

namespace sim {

namespace {

// There is one player, and his index is not 0: a script that made one up asks about nobody.
std::uint32_t player(const Call& call, const World& world, int slot) {
    const std::uint32_t id = call.u32(slot);
    if (id != world.player.id) {
        call.fail("player index " + std::to_string(id) + " is no player; getPlayerId answers " +
                  std::to_string(world.player.id));
    }
    return id;
}

}  // namespace

void registerPlayerNatives(Host& host) {
    World& world = host.world();

    host.registerNative("getPlayerPed", 0x96275889B8E0EE0, {0}, [&world](Call& call) { call.returns(world.player.ped); });
    host.registerNative("getPlayerId", 0x217E9DC48139933D, {0}, [&world](Call& call) { call.returns(world.player.id); });
    host.registerNative("getPlayerName", 0x7124FD9AC0E01BA0, {1}, [&world](Call& call) {
        player(call, world, 0);
        call.returns64(reinterpret_cast<std::uintptr_t>(world.player.name.c_str()));
    });
    host.registerNative("setPlayerControl", 0x4D51E59243281D80, {4}, [&world](Call& call) {
        player(call, world, 0);
        const bool on = call.flag(1);
        call.only(2, 0, "the ambient flags");
        call.only(3, 0, "the control's extra flags");
        world.onPlayerControl(on, call.script(), call.name());
    });
    host.registerNative("isPlayerUnavailable", 0xAD401C63158ACBAA, {1}, [&world](Call& call) {
        player(call, world, 0);
        call.returns(world.player.unavailable);
    });
    host.registerNative("isPlayerDead", 0x2E9C3FCB6798F397, {1}, [&world](Call& call) {
        player(call, world, 0);
        call.returns(world.playerDead());
    });
    host.registerNative("isScriptedActivityActive", 0xB15CD1CF58771DE1, {0},
                        [&world](Call& call) { call.returns(world.player.scriptedActivity); });
    host.registerNative("displayHud", 0xD63FE3AF9FB3D53F, {1},
                        [&world](Call& call) {
        world.hudDisplayed = call.flag(0);
        world.hudHidden = !world.hudDisplayed;
        world.setShared(World::SharedState::hud, 0, call.script(), call.name(), world.hudHidden, world.hudHidden);
    });
    host.registerNative("addHudContext", 0x4CC5F2FC1332577F, {1}, [&world](Call& call) {
        world.hudContexts.insert(call.u32(0));
        world.setShared(World::SharedState::hudContext, call.u32(0), call.script(), call.name(), 1, true);
    });
    host.registerNative("removeHudContext", 0x8BC7C1F929D07BF3, {1}, [&world](Call& call) {
        world.hudContexts.erase(call.u32(0));
        world.setShared(World::SharedState::hudContext, call.u32(0), call.script(), call.name(), 0, false);
    });
    // Another script's fade in is the end of its scene, still on the screen until it is over: a fade
    // out over it would cut that scene's last moments off (the story's scenes take the screen anyway).
    host.registerNative("doScreenFadeOut", 0x40C719A5E410B9E4, {1}, [&world](Call& call) {
        if (!world.fade.out && world.screenFading() && world.fade.by != call.script() &&
            !world.shared.sceneScripts.contains(call.script())) {
            call.fail(call.script() + " fades the screen out while the fade in of " + world.fade.by + " runs");
        }
        world.fade = World::Fade{true,
                                 call.i32(0),
                                 world.gameTimeMs,
                                 world.fade.fadesOut + 1,
                                 world.fade.fadesIn,
                                 call.script()};
        world.setShared(World::SharedState::fade, 0, call.script(), call.name(), 1, true);
    });
    host.registerNative("doScreenFadeIn", 0x6A053CF596F67DF7, {1}, [&world](Call& call) {
        world.fade = World::Fade{false,
                                 call.i32(0),
                                 world.gameTimeMs,
                                 world.fade.fadesOut,
                                 world.fade.fadesIn + 1,
                                 call.script()};
        world.setShared(World::SharedState::fade, 0, call.script(), call.name(), 0, false);
    });
    host.registerNative("registerDecorator", 0xB253D644E3C36B3, {2}, [&world](Call& call) {
        world.decorators[call.str(0)] = call.i32(1);
    });
    host.registerNative("setScriptTimer", 0xC1B1E9A034A63A62, {1}, [&world](Call& call) {
        world.scriptTimerStartMs = world.gameTimeMs - call.i32(0);
    });
    host.registerNative("getScriptTimer", 0x83666F9FB8FEBD4B, {0},
                        [&world](Call& call) { call.returns(world.gameTimeMs - world.scriptTimerStartMs); });
    host.registerNative("getGameTimer", 0x78FD8BE812E436B2, {0}, [&world](Call& call) { call.returns(world.gameTimeMs); });
    host.registerNative("getCurrentLanguage", 0xDB917DA5C6835FCC, {0},
                        [&world](Call& call) { call.returns(world.language); });
    host.registerNative("getFrameTime", 0x5E72022914CE3C38, {0},
                        [&world](Call& call) { call.returns(world.frameTimeSeconds()); });
}

}  // namespace sim
