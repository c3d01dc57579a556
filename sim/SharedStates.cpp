// The rule between scripts: no script changes a shared state that another script holds. The game
// keeps one player's control, one HUD, one rendering camera and one fade for every script, and the
// last to set one wins; a plug-in that hands control back in the middle of another's scene, shows
// the HUD another hid or fades the screen in while another holds it dark breaks that script.
//
// A write by a script that does not hold the state, while another does, is a breach even when it
// writes the value the state already has: the game takes it as the writer's, and the holder's later
// hand-back would then undo it. Only a scene script takes a state another holds (the story does not
// wait for a plug-in), and the holder it displaced must leave the state alone from then on. While
// one of the game's own menus is open the game holds the screen: no script takes a state then.

#include "World.h"

#include <string>

namespace sim {

namespace {

std::string stateName(World::SharedState state, std::uint32_t which) {
    switch (state) {
        case World::SharedState::control:
            return "the player's control";
        case World::SharedState::hud:
            return "the HUD";
        case World::SharedState::hudContext:
            return "the HUD context " + hexHandle(which);
        case World::SharedState::camera:
            return "the rendering camera";
        case World::SharedState::fade:
            return "the fade";
    }
    return "a shared state";
}

std::string valueName(World::SharedState state, std::int64_t value) {
    switch (state) {
        case World::SharedState::control:
            return value != 0 ? "off" : "on";
        case World::SharedState::hud:
            return value != 0 ? "hidden" : "shown";
        case World::SharedState::hudContext:
            return value != 0 ? "added" : "removed";
        case World::SharedState::camera:
            return value != 0 ? "on camera " + hexHandle(static_cast<std::uint32_t>(value))
                              : "on the game's camera";
        case World::SharedState::fade:
            return value != 0 ? "out" : "in";
    }
    return std::to_string(value);
}

}  // namespace

std::uint32_t World::renderingCamera() const {
    const Camera* viewing = cameras.viewing();
    return viewing == nullptr ? 0 : viewing->handle;
}

bool World::heldByScene(SharedState state) const {
    const auto it = shared.held.find({state, 0});
    return it != shared.held.end() && shared.sceneScripts.contains(it->second.holder);
}

void World::setShared(SharedState state, std::uint32_t which, const std::string& script, const char* native,
                      std::int64_t value, bool away) {
    const auto key = std::make_pair(state, which);
    const auto it = shared.held.find(key);
    const bool others = it != shared.held.end() && it->second.holder != script;
    const std::string wrote = script + " set " + stateName(state, which) + " " + valueName(state, value) +
                              " with " + native + " while ";
    if (others && !(away && shared.sceneScripts.contains(script))) {
        throw Refusal(wrote + it->second.holder + " holds it " + valueName(state, it->second.left));
    }
    const char* menu = menus.pauseMenu       ? "pause menu"
                       : menus.uiApp         ? "map"
                       : menus.loadingScreen ? "loading screen"
                                             : nullptr;
    if (away && menu != nullptr && (it == shared.held.end() || others)) {
        throw Refusal(wrote + "the game's " + menu + " holds the screen");
    }
    if (away) {
        shared.held[key] = Holding{script, value};
    } else if (it != shared.held.end()) {
        shared.held.erase(it);
    }
}

// Every script's write of a shared state passes setShared, and the world keeps each as written; the
// game writes one of them on its own: when a scene of its own ends it gives the player the control
// scripts last asked for. This catches the game giving him another behind its holder's back, from
// what he has, not from what the holder wrote. While the game's scene holds him the control is the
// game's, and the holder's is not his to have.
void World::checkShared(const std::string& at) const {
    const auto it = shared.held.find({SharedState::control, 0});
    if (it == shared.held.end() || watch.sceneHoldsControl || player.unavailable || player.scriptedActivity)
        return;
    const std::int64_t now = player.control ? 0 : 1;
    if (now != it->second.left) {
        throw Refusal(at + stateName(SharedState::control, 0) + " is " +
                      valueName(SharedState::control, now) + ", but " + it->second.holder + " holds it " +
                      valueName(SharedState::control, it->second.left));
    }
}

}  // namespace sim
