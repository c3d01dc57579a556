// What a player would notice at once, checked at the end of every frame: a screen left black,
// control taken away by the plug-in and never given back, a prompt he completed that the script
// never read, the game's view left on the scripted camera with nothing of the plug-in's on screen,
// or a state shared by every script not as its holder left it. A story scene of another script may
// hold the control and the camera as long as it plays.

#include "World.h"

#include <algorithm>
#include <string>

namespace sim {

void World::checkFrame() {
    const bool scene = watch.sceneHoldsControl || player.unavailable || player.scriptedActivity;
    if (watch.sceneWasHolding && !scene) player.control = watch.controlRequested;
    watch.sceneWasHolding = scene;
    const std::string at = "frame " + std::to_string(frame) + ": ";
    checkShared(at);
    if (screenDark()) {
        // Behind one of the game's menus he sees the menu, not the dark screen; a script waiting for
        // it to close before fading in is not leaving him in the dark, so the count starts anew then.
        if (menus.pauseMenu || menus.uiApp || menus.loadingScreen) watch.darkSinceMs = gameTimeMs;
        if (watch.darkSinceMs < 0) watch.darkSinceMs = fade.startedAtMs + fade.durationMs;
        if (gameTimeMs - watch.darkSinceMs > watch.maxDarkMs) {
            throw Refusal(at + "the screen has been faded out since doScreenFadeOut(" +
                          std::to_string(fade.durationMs) + ") " +
                          std::to_string(gameTimeMs - fade.startedAtMs) + " ms ago and was never faded in");
        }
    } else {
        watch.darkSinceMs = -1;
    }

    // One of the game's menus is as much on screen as a panel: behind it he can do nothing anyway.
    const bool panel =
        !screen.thisFrame().sprites().empty() || menus.pauseMenu || menus.uiApp || menus.loadingScreen;
    if (panel) watch.lastPanelFrame = frame;
    if (!cameras.rendering || panel || fade.out || heldByScene(SharedState::camera)) {
        watch.cameraExcusedFrame = frame;
    } else if (frame - watch.cameraExcusedFrame > watch.cameraGraceFrames) {
        throw Refusal(at + "the scripted camera has been rendered since frame " +
                      std::to_string(watch.cameraExcusedFrame + 1) +
                      " with no panel of the plug-in on screen and the screen not faded out");
    }
    // While the game itself holds the player a script must not hand his control back, so the
    // control it owes is counted from the end of the hold.
    if (scene) watch.lastHeldFrame = frame;
    if (watch.controlTakenAtFrame >= 0 && !player.control && !heldByScene(SharedState::control)) {
        const int since = std::max({watch.controlTakenAtFrame, watch.lastPanelFrame, watch.lastHeldFrame});
        if (frame - since > watch.controlGraceFrames) {
            throw Refusal(at + "setPlayerControl(player, 0) in frame " +
                          std::to_string(watch.controlTakenAtFrame) +
                          " left the player without control, and nothing has been on screen nor has the "
                          "game held him since frame " +
                          std::to_string(since));
        }
    }

    if (const GamePrompt* lost = prompts.endFrameUnread()) {
        const int first = frame - prompts.reportFrames(*lost) + 1;
        throw Refusal(at + "the prompt \"" + lost->text + "\" completed in frame " + std::to_string(first) +
                      " and the game reported it until frame " + std::to_string(frame) +
                      ", but the script never asked after it nor hid or disabled it: the player's " +
                      (lost->mode == PromptMode::press ? "press" : "hold") + " was lost");
    }
}

void World::onPlayerControl(bool on, const std::string& script, const char* native) {
    setShared(SharedState::control, 0, script, native, on ? 0 : 1, !on);
    // The player unavailable or a game activity running: the game's own scene has his control.
    const bool scene = watch.sceneHoldsControl || player.unavailable || player.scriptedActivity;
    // The story's scene scripts are the game's as much as its scenes: one ends as the other goes on.
    if (on && scene && !shared.sceneScripts.contains(script)) {
        throw Refusal("frame " + std::to_string(frame) +
                      ": setPlayerControl(player, 1) while a scene of the game holds the player's control");
    }
    watch.controlRequested = on;
    if (!on && watch.controlTakenAtFrame < 0) watch.controlTakenAtFrame = frame;
    if (on) watch.controlTakenAtFrame = -1;
    if (!scene) player.control = on;
}

}  // namespace sim
