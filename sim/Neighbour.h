#pragma once
// Another script in the game beside the plug-in, as players run a dozen: it plays the story's
// scenes and a photo mode, and opens the game's own menus. It loads as a module of its own and
// drives the world only through the host functions and natives, like any script; tests, the demo
// and the random player start its behaviours from outside, between frames.
//
// Its scenes and photo mode stand for what the game's story does: they take the screen whoever
// holds it (the world's rule lets them, see World::Shared), and a plug-in must let them be. Like
// the game's own scene scripts, they wait for a fade in progress to end and for the game's menus
// to close before they start.

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class Host;

class Neighbour {
  public:
    static constexpr const char* kName = "Neighbour";

    // Loads the neighbour's module into the host; it runs from the next frame, after every script
    // registered before it. One neighbour runs at a time: starting it again starts it afresh.
    static Neighbour& start(Host& host);
    // Unloads its module: it is never resumed again, and gives nothing back.
    static void stop(Host& host);

    // A scene: the screen fades out, the HUD is hidden and the player's control taken for holdMs
    // of darkness, then the screen fades in and all is given back.
    void playScene(std::int32_t holdMs = 2000);
    // A photo mode: a scripted camera of its own looks at the player, with the HUD hidden and
    // control off, until endPhotoMode.
    void startPhotoMode();
    void endPhotoMode();
    // The game's pause menu, or its map (a UI app), open for that long. These are the game's: while
    // one is open the game holds the screen, whatever the scripts hold.
    void openPauseMenu(std::int32_t forMs);
    void openMap(std::int32_t forMs);
    // Deletes a vehicle it does not own in its next frame, through the native as scripts can: a
    // plug-in's boat included. A handle gone by then is refused, as the game refuses it.
    void deleteVehicle(std::uint32_t vehicle);

    // What it is doing now, for tests and narrators: "idle", "waiting" (for the screen), "scene",
    // "photo mode"; and whether a game menu it opened is still open.
    const char* doing() const;
    bool idle() const { return behaviour_ == Behaviour::none && menuClosesAtMs_ < 0; }
    int scenesPlayed() const { return scenesPlayed_; }
    int photoModesPlayed() const { return photoModesPlayed_; }

  private:
    enum class Behaviour { none, scene, photoMode };
    enum class Phase { waiting, holding };

    Neighbour() = default;
    static Neighbour*& current();
    static void main();
    void frame();
    void playSceneFrame();
    void playPhotoModeFrame();
    bool screenBusy();
    void takeScreen(bool fade);
    void giveScreenBack(bool fade);
    void openMenu(bool pauseMenu, std::int32_t forMs);

    Host* host_ = nullptr;
    Behaviour behaviour_ = Behaviour::none;
    Phase phase_ = Phase::waiting;
    std::int32_t holdMs_ = 0;
    std::int32_t phaseEndsAtMs_ = 0;
    bool photoModeEnding_ = false;
    std::uint32_t camera_ = 0;
    std::int32_t menuClosesAtMs_ = -1;
    int scenesPlayed_ = 0;
    int photoModesPlayed_ = 0;
    std::vector<std::uint32_t> toDelete_;
};

}  // namespace sim
