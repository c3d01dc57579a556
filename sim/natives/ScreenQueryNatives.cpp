// What a script asks before it takes the screen: who has the player's control, the camera, the
// fade, the HUD, and whether one of the game's own menus is up. Each answer comes from the world's
// state as it is now, whichever script set it.

#include "Host.h"
#include "natives/Registration.h"

#include <string>

namespace sim {

void registerScreenQueryNatives(Host& host) {
    World& world = host.world();

    host.registerNative("isPlayerControlOn", 0x7964097FCE4C244B, {1}, [&world](Call& call) {
        const std::uint32_t id = call.u32(0);
        if (id != world.player.id) {
            call.fail("player index " + std::to_string(id) + " is no player; getPlayerId answers " +
                      std::to_string(world.player.id));
        }
        call.returns(world.player.control);
    });
    // The scripted camera the player looks through, or -1 while the game's own camera renders.
    host.registerNative("getRenderingCam", 0x03A8931ECC8015D6, {0}, [&world](Call& call) {
        const Camera* viewing = world.cameras.viewing();
        call.returns(viewing == nullptr ? std::int32_t{-1} : static_cast<std::int32_t>(viewing->handle));
    });
    host.registerNative("isScreenFadedOut", 0xF5472C80DF2FF847, {0},
                        [&world](Call& call) { call.returns(world.screenDark()); });
    host.registerNative("isScreenFadingOut", 0x02F39BEFE7B88D00, {0},
                        [&world](Call& call) { call.returns(world.fade.out && world.screenFading()); });
    host.registerNative("isScreenFadingIn", 0x0CECCC63FFA2EF24, {0},
                        [&world](Call& call) { call.returns(!world.fade.out && world.screenFading()); });
    host.registerNative("isHudHidden", 0x71B72B478F8189DC, {0},
                        [&world](Call& call) { call.returns(world.hudHidden); });
    host.registerNative("isPauseMenuActive", 0x535384D6067BA42E, {0},
                        [&world](Call& call) { call.returns(world.menus.pauseMenu); });
    host.registerNative("isAnyUiAppRunning", 0xDB30BEC7A7A5CBD3, {0},
                        [&world](Call& call) { call.returns(world.menus.uiApp); });
    host.registerNative("isLoadingScreenActive", 0x71D4BF5890659B0C, {0},
                        [&world](Call& call) { call.returns(world.menus.loadingScreen); });
}

}  // namespace sim
