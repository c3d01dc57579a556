#include "host/SharedScreen.h"

#include "host/Natives.h"

#include <cstdint>

namespace tollmere {

namespace {

// getRenderingCam answers -1 while the game's own camera renders; scripts for this game compare it
// so, and 0 is no camera at all.
bool anotherCamera(Camera rendering, Camera own) {
    return static_cast<std::int32_t>(rendering) != -1 && rendering != 0 && rendering != own;
}

}  // namespace

const char* describe(ScreenHolder holder) {
    switch (holder) {
        case ScreenHolder::nobody:
            return "the screen is free";
        case ScreenHolder::fadedOut:
            return "the screen is faded out";
        case ScreenHolder::fadingOut:
            return "the screen is fading out";
        case ScreenHolder::fadingIn:
            return "the screen is fading in";
        case ScreenHolder::otherCamera:
            return "another script's camera is rendering";
        case ScreenHolder::controlOff:
            return "the player's control is off";
        case ScreenHolder::pauseMenu:
            return "the pause menu is open";
        case ScreenHolder::gameMenu:
            return "a menu of the game is open";
        case ScreenHolder::loadingScreen:
            return "a loading screen is up";
        case ScreenHolder::gameScene:
            return "the game holds the player";
    }
    return "the screen is held";
}

namespace {

ScreenHolder whoHolds(Camera own, bool askFadedOut, bool askFadingIn, bool askControl) {
    if (askFadedOut && native::isScreenFadedOut()) return ScreenHolder::fadedOut;
    if (native::isScreenFadingOut()) return ScreenHolder::fadingOut;
    if (askFadingIn && native::isScreenFadingIn()) return ScreenHolder::fadingIn;
    if (anotherCamera(native::getRenderingCam(), own)) return ScreenHolder::otherCamera;
    if (askControl && !native::isPlayerControlOn(native::getPlayerId())) return ScreenHolder::controlOff;
    if (native::isPauseMenuActive()) return ScreenHolder::pauseMenu;
    if (native::isAnyUiAppRunning()) return ScreenHolder::gameMenu;
    if (native::isLoadingScreenActive()) return ScreenHolder::loadingScreen;
    return ScreenHolder::nobody;
}

}  // namespace

ScreenHolder whoHoldsTheScreen(Camera own, bool ownFadeIn) {
    return whoHolds(own, true, !ownFadeIn, true);
}

ScreenHolder whoElseHoldsTheScreen(Camera own, bool controlIsOwn) {
    return whoHolds(own, false, true, !controlIsOwn);
}

bool anotherScriptShows(Camera own, bool hudFoundHidden) {
    return (!hudFoundHidden && native::isHudHidden()) || native::isScreenFadingOut() ||
           native::isScreenFadingIn() || anotherCamera(native::getRenderingCam(), own) ||
           native::isPauseMenuActive() || native::isAnyUiAppRunning() || native::isLoadingScreenActive();
}

ScreenHolder whoTookThePanel(Camera own, bool rendering) {
    // A fade out caught while it runs is closed on before the other script has done anything else;
    // one of no length is only seen once it is over.
    if (native::isScreenFadingOut()) return ScreenHolder::fadingOut;
    if (native::isScreenFadedOut()) return ScreenHolder::fadedOut;
    if (!rendering) return ScreenHolder::nobody;
    // Script cameras switched off altogether are as much taken as another one switched on.
    const Camera camera = native::getRenderingCam();
    if (camera != own) return ScreenHolder::otherCamera;
    return ScreenHolder::nobody;
}

}  // namespace tollmere
