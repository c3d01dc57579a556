#pragma once
// What the player meets at a dock. Arriving in a boat he can moor his own boat here, or claim the
// boat he sits in when he owns none. On foot at a pier he opens a small prompt menu: browse the
// catalogue or customise his boat, fetch it free from another dock, or fetch it for a fee when it
// was left out on the water. The catalogue is shown through a scripted camera aimed at the boat.

#include "host/Prompt.h"
#include "host/SharedScreen.h"
#include "host/Types.h"

#include <cstdint>

namespace tollmere {

class BoatsCatalog;
class Dock;
class DocksRegistry;
class PlayerBoatManager;

class DocksInteractionManager {
public:
    enum class State : std::int32_t {
        idle = 0,               // on foot only the manage prompt is offered
        menuOpen = 1,
        openingCatalogue = 2,   // one frame, with fades and waits inside
        inCatalogue = 3,
        retrieveForFee = 4,     // the boat floats somewhere away from every dock
    };

    DocksInteractionManager(DocksRegistry& registry, PlayerBoatManager& boats, BoatsCatalog& catalogue);

    // Once a frame while dock activity is allowed. May yield to the host while the catalogue opens
    // or closes (fades and waits), stalling the whole plug-in meanwhile.
    void update();
    // Closes everything; run on suspended frames and whenever the player is away from the docks.
    void reset();

    State state() const { return state_; }
    // The player's control was off at start-up: an earlier run's shop may have left it so, or
    // another script holds it. Given back as the shop's own once nothing else shows on the screen.
    void oweControl();

private:
    void updateInBoat();
    void updateOnFoot();
    void updateMenu(const Dock& dock);
    void openCatalogue(const Dock& dock);
    void updateCatalogue();
    // His boat floats off every dock, this far from this dock's mooring: fetched only for the fee.
    bool isAway(float distanceFromMooring) const;
    void updateRetrieveForFee(const Dock& dock);
    // Moors the boat at this dock, saves the record and places the boat at the mooring point.
    void bringBoatHere(const Dock& dock);
    // However the shop closes: the preview not bought goes, the record is read again from the
    // file, so only what was paid for stays. Nothing when the shop is not open. The player's
    // control stays off when another script may hold it now.
    void leaveCatalogue(bool giveControlBack = true);
    // Hands the view back from the dock camera, only when it was shown.
    void stopShowingCamera(bool withEase);
    // The player asked for the shop: it opens only on a screen nobody else holds. Otherwise the
    // dock menu is back, its prompt disabled while the screen is asked after now and then
    // (waitForScreen). Ask it in the turn that takes the screen.
    bool askForTheShop();
    void waitForScreen();
    // Another script took the screen from the open shop: it closes as a suspension closes it, and
    // gives back nothing the other script may now hold.
    void yieldScreen(ScreenHolder holder);
    // What the shop took and could not give back when it gave way (its fade, the player's
    // control): given back once nothing of another script is left on the screen.
    void giveBackWhatIsOwed();
    void fadeIn();

    DocksRegistry& registry_;
    PlayerBoatManager& boats_;
    BoatsCatalog& catalogue_;
    Camera camera_;
    Prompt managePrompt_;
    Prompt browsePrompt_;
    Prompt customizePrompt_;
    Prompt retrievePrompt_;
    Prompt paidRetrievePrompt_;
    Prompt dockPrompt_;
    Prompt closePrompt_;
    Prompt backPrompt_;
    State state_ = State::idle;
    // What the manager took from the game and must give back once: the camera switched on and
    // its view rendered. Giving back what it never took would switch off other scripts' cameras.
    bool cameraActive_ = false;
    bool cameraRendering_ = false;
    // A wait for the screen: the shop's prompt is disabled meanwhile, and the screen asked after
    // again once askAgainIn_ frames have gone.
    bool waitingForScreen_ = false;
    std::int32_t askAgainIn_{};  // set as each wait starts
    // Frames left in which a fade in running is taken as the one the plug-in started itself; counted
    // down at the top of every update, before anything reads it.
    std::int32_t ownFadeInFrames_{};
    // What the shop owes back, asked after again once askOwedIn_ frames have gone; the count and the
    // HUD's state are set whenever something comes to be owed.
    bool fadeOwed_ = false;
    bool controlOwed_ = false;
    bool hudFoundHidden_{};  // as the shop last took the screen
    std::int32_t askOwedIn_{};
};

}  // namespace tollmere
