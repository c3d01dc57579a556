#pragma once
// The game keeps one fade, one rendering camera, one player control and one HUD for every script
// running in it, and the last script to set one wins. The plug-in's panels take the screen only
// when nobody else holds it, and give back only what they took: these are the questions it asks.

#include "host/Types.h"

namespace tollmere {

// Who or what holds the screen, by the first question that said so.
// A free screen comes last: a holder nobody set is never taken for one.
enum class ScreenHolder {
    fadedOut,
    fadingOut,
    fadingIn,
    otherCamera,
    controlOff,
    pauseMenu,
    gameMenu,
    loadingScreen,
    gameScene,  // the game holds the player in a scene of its own
    nobody,
};

// For the log: "the screen is faded out", "another script's camera is rendering"...
const char* describe(ScreenHolder holder);

// Whether the screen is free to take, one question at a time and none after the first that says
// no: not faded out nor fading either way, no camera of another script rendering (own is the
// plug-in's own camera), the player in control, and none of the game's menus or loading screens
// up. Ask it only when about to take the screen: every answer is a call. A fade in is not asked
// after when ownFadeIn says the plug-in has just started one itself.
ScreenHolder whoHoldsTheScreen(Camera own, bool ownFadeIn);

// The same, except that a screen faded out is not asked after: the plug-in's own fade may be what
// it would see, in the middle of an operation that faded the screen. Nor is the control while the
// plug-in holds it off itself (controlIsOwn).
ScreenHolder whoElseHoldsTheScreen(Camera own, bool controlIsOwn);

// Whether something another script set is still on the screen: the HUD hidden (the plug-in never
// hides it; unless hudFoundHidden, when the plug-in found it so as it took the screen), a fade
// running either way, another camera rendering, or one of the game's menus or loading screens.
// What the plug-in owes the screen (its fade, the player's control) waits while it is.
bool anotherScriptShows(Camera own, bool hudFoundHidden);

// While a panel of the plug-in holds the screen: whether another script took it since the last
// frame, by a fade out the plug-in did not start or by another camera rendering in place of the
// panel's. Control taken away by another script while the panel holds it off cannot be told from
// the panel's own by asking; what such a script does besides (a fade, a camera) shows it.
// rendering tells whether the panel's camera has been rendered since the last frame.
ScreenHolder whoTookThePanel(Camera own, bool rendering);

}  // namespace tollmere
