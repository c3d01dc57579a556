// What a script learns when it asks whether the screen is free, as the world changes under it.

#include "host/Invoke.h"
#include "host/Natives.h"
#include "unit/host/DirectGame.h"

namespace tollmere::testing {
namespace {

bool ask(std::uint64_t hash) {
    return invoke<bool>(hash);
}
constexpr std::uint64_t kFadedOut = 0xF5472C80DF2FF847, kFadingOut = 0x02F39BEFE7B88D00,
                        kFadingIn = 0x0CECCC63FFA2EF24, kHudHidden = 0x71B72B478F8189DC,
                        kPauseMenu = 0x535384D6067BA42E, kUiApp = 0xDB30BEC7A7A5CBD3,
                        kLoading = 0x71D4BF5890659B0C;
std::int32_t renderingCam() {
    return invoke<std::int32_t>(0x03A8931ECC8015D6);
}

// Catches an answer read from the wrong state: each phase of a fade, the camera that renders (and
// the game's own view), control, a HUD a script hid and each of the game's menus.
TEST_F(DirectGameTest, ScreenQuestionsAnswerFromTheWorldAsItIsNow) {
    EXPECT_TRUE(invoke<bool>(0x7964097FCE4C244B, world.player.id));
    EXPECT_EQ(renderingCam(), -1);
    EXPECT_FALSE(ask(kHudHidden)) << "the game shows its HUD until a script hides it";

    native::doScreenFadeOut(500);
    EXPECT_TRUE(ask(kFadingOut) && !ask(kFadedOut) && !ask(kFadingIn));
    host.runFor(600);
    EXPECT_TRUE(!ask(kFadingOut) && ask(kFadedOut));
    native::doScreenFadeIn(500);
    EXPECT_TRUE(ask(kFadingIn) && !ask(kFadedOut) && !ask(kFadingOut));
    host.runFor(600);
    EXPECT_FALSE(ask(kFadingIn));

    const Camera camera = native::createCameraWithParams("DEFAULT_SCRIPTED_CAMERA", Vec3{1.0f, 2.0f, 3.0f},
                                                         0.0f, 0.0f, 0.0f, 40.0f, true, 2);
    native::renderScriptCams(true, false, 0, true, false, 0);
    EXPECT_EQ(renderingCam(), static_cast<std::int32_t>(camera));
    native::renderScriptCams(false, false, 0, true, false, 0);
    EXPECT_EQ(renderingCam(), -1);

    native::displayHud(false);
    native::setPlayerControl(world.player.id, false, 0, 0);
    EXPECT_TRUE(ask(kHudHidden));
    EXPECT_FALSE(invoke<bool>(0x7964097FCE4C244B, world.player.id));

    world.menus.uiApp = true;
    EXPECT_TRUE(ask(kUiApp) && !ask(kPauseMenu) && !ask(kLoading));
    world.menus = {.pauseMenu = true, .uiApp = false, .loadingScreen = true};
    EXPECT_TRUE(!ask(kUiApp) && ask(kPauseMenu) && ask(kLoading));
}

}  // namespace
}  // namespace tollmere::testing
