#include "docks/DocksInteractionManager.h"

#include "boat/PlayerBoatManager.h"
#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "docks/DocksRegistry.h"
#include "host/BoatTypes.h"
#include "host/Camera.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"
#include "host/ScreenText.h"
#include "menu/BoatsCatalog.h"
#include "runtime/Globals.h"
#include "runtime/Log.h"
#include "tutorials/Tutorials.h"

#include <string>

namespace tollmere {

namespace {

constexpr float kInBoatDockRange = 10.0f;
constexpr float kOnFootDockRange = 2.0f;
constexpr float kMaxDockingSpeed = 1.2f;
constexpr float kMaxMenuWalkingSpeed = 0.2f;
constexpr float kAwayFromDock = 40.0f;
constexpr int kCameraEaseMs = 3000;
constexpr float kCameraDistance = 4.5f;
constexpr float kCameraHeight = 2.0f;
constexpr int kFadeInMs = 500;
// While the shop waits for the screen, or owes what it could not give back, the screen is asked
// after every this many frames: half a second at the game's usual rate. Frames, not a clock: a
// clock would be one more call on every frame of the wait.
constexpr std::int32_t kAskAgainFrames = 15;
// The shop's own fade in after its waits runs for kFadeInMs: the player may press for the shop
// again meanwhile, and must not be kept waiting for it.
constexpr std::int32_t kOwnFadeInFrames = 30;
// As long as a tutorial's help text.
constexpr int kClaimRefusedMs = 8000;

// Each asked at most once a run.
bool tooFastTutorialShown = false;
bool dockedTutorialShown = false;

// The fee as the cents it charges, not as Configs.dat writes it: "2.1" and "2.10" both show $2.10.
// Without a fee the prompt is never shown.
std::string paidRetrieveText() {
    const float fee = configPrice(keys::feesRetrieveBoat);
    std::string text = LangData->getString(keys::promptsRetrieveBoat);
    if (fee >= 0.0f) text += " " + formatCents(dollarsToCents(fee));
    return text;
}

}  // namespace

DocksInteractionManager::DocksInteractionManager(DocksRegistry& registry, PlayerBoatManager& boats,
                                                 BoatsCatalog& catalogue)
    : registry_(registry),
      boats_(boats),
      catalogue_(catalogue),
      camera_(createScriptedCamera(Vec3{}, 30.0f)),
      managePrompt_(LangData->getString(keys::promptsManageBoats), hashOf("INPUT_CONTEXT_Y"),
                    PromptMode::holdOnce),
      browsePrompt_(LangData->getString(keys::promptsBrowseCatalog), hashOf("INPUT_CONTEXT_Y"),
                    PromptMode::press),
      customizePrompt_(LangData->getString(keys::promptsCustomizeBoat), hashOf("INPUT_CONTEXT_Y"),
                       PromptMode::press),
      retrievePrompt_(LangData->getString(keys::promptsRetrieveBoat), hashOf("INPUT_CONTEXT_X"),
                      PromptMode::press),
      paidRetrievePrompt_(paidRetrieveText().c_str(), hashOf("INPUT_CONTEXT_X"), PromptMode::holdOnce),
      dockPrompt_(LangData->getString(keys::promptsDockBoat), hashOf("INPUT_CONTEXT_X"),
                  PromptMode::standardHoldOnce),
      closePrompt_(LangData->getString(keys::promptsClose), hashOf("INPUT_CONTEXT_B"), PromptMode::press),
      backPrompt_(LangData->getString(keys::promptsBack), hashOf("INPUT_CONTEXT_B"), PromptMode::press) {
    reset();
}

void DocksInteractionManager::reset() {
    state_ = State::idle;
    if (waitingForScreen_) {
        waitingForScreen_ = false;
        browsePrompt_.setEnabled(true);
        customizePrompt_.setEnabled(true);
    }
    for (Prompt* prompt : {&managePrompt_, &browsePrompt_, &customizePrompt_, &retrievePrompt_, &paidRetrievePrompt_,
                           &dockPrompt_, &closePrompt_, &backPrompt_}) {
        prompt->hide();
    }
    // Reset because the game took him into a scene of its own: the control the shop took is the
    // game's until it lets him go, and owed until then.
    const bool gameHolds = catalogue_.isOpen() && gameHoldsThePlayer();
    if (gameHolds) {
        controlOwed_ = true;
        askOwedIn_ = kAskAgainFrames;
    }
    leaveCatalogue(!gameHolds);
    stopShowingCamera(true);
    // A suspension is the game's own and holds no fade: a fade the shop still owes is given back at
    // once, or the screen would stay dark through the game's scene. The control waits for its end.
    if (fadeOwed_ && !anotherScriptShows(camera_, hudFoundHidden_)) {
        if (native::isScreenFadedOut()) fadeIn();
        fadeOwed_ = false;
    }
}

void DocksInteractionManager::leaveCatalogue(bool giveControlBack) {
    if (!catalogue_.isOpen()) return;
    catalogue_.close(giveControlBack);
    // Undoes a preview model and any change no purchase saved.
    boats_.reloadRecord();
    if (!boats_.hasOwnedBoat()) boats_.removeBoatEntity();
}

void DocksInteractionManager::stopShowingCamera(bool withEase) {
    if (cameraActive_) {
        setCameraActive(camera_, false);
        cameraActive_ = false;
    }
    if (cameraRendering_) {
        renderScriptedCameras(false, withEase, kCameraEaseMs);
        cameraRendering_ = false;
    }
}

void DocksInteractionManager::oweControl() {
    controlOwed_ = true;
    hudFoundHidden_ = false;
    askOwedIn_ = 1;
}

void DocksInteractionManager::giveBackWhatIsOwed() {
    if ((!fadeOwed_ && !controlOwed_) || --askOwedIn_ > 0) return;
    askOwedIn_ = kAskAgainFrames;
    if (anotherScriptShows(camera_, hudFoundHidden_)) return;
    const bool dark = native::isScreenFadedOut();
    if (fadeOwed_) {
        if (dark) fadeIn();
        fadeOwed_ = false;
    } else if (dark) {
        // Dark with no fade of the shop's owed: another script's scene holds the screen, and the
        // control with it.
        return;
    }
    if (controlOwed_) {
        const Player player = native::getPlayerId();
        if (!native::isPlayerControlOn(player)) native::setPlayerControl(player, true, 0, 0);
        controlOwed_ = false;
    }
}

void DocksInteractionManager::fadeIn() {
    native::doScreenFadeIn(kFadeInMs);
    ownFadeInFrames_ = kOwnFadeInFrames;
}

void DocksInteractionManager::update() {
    if (ownFadeInFrames_ > 0) --ownFadeInFrames_;
    giveBackWhatIsOwed();
    if (native::isPedOnFoot(PlayerPed)) updateOnFoot();
    if (native::isPedInAnyBoat(PlayerPed)) updateInBoat();
    // The shop's fades and waits let other scripts run, and the shop asks after the boat.
    boats_.checkBoatAfterWaits();
    catalogue_.update();
}

void DocksInteractionManager::updateInBoat() {
    const Dock* dock = registry_.findNearestDock(playerPosition(), kInBoatDockRange);
    if (dock == nullptr) return reset();
    const Vehicle boat = native::getVehiclePedIsIn(PlayerPed, true);
    dockPrompt_.hide();
    // A boat sold at the fence can never be docked again.
    if (native::decorGetInt(boat, "QY_RB_isBoatSold") != 0) return;

    const bool ownsBoat = boats_.hasOwnedBoat();
    const bool mayDock =
        (native::isPedInVehicle(PlayerPed, boats_.getBoatEntity(), false) && dock->id() != boats_.getDockId()) ||
        (!ownsBoat && native::isPedInAnyBoat(PlayerPed));
    if (mayDock) {
        if (native::getEntitySpeed(boat) >= kMaxDockingSpeed) {
            if (!tooFastTutorialShown) {
                showTutorial(keys::tutorial::dockBoatTooFast, false);
                tooFastTutorialShown = true;
            }
        } else {
            dockPrompt_.show();
        }
    }
    if (!dockPrompt_.poll()) return;

    if (!ownsBoat) {
        // The tutorial says the boat is his, so it comes only once the claim is made. A boat the
        // shop does not know cannot be kept: he is told so each time he tries, and nothing moors.
        if (!boats_.claimBoat(boat)) {
            dockPrompt_.hide();
            showHelpText(LangData->getString(keys::tutorialBoatClaimRefused), kClaimRefusedMs);
            return;
        }
        showTutorial(keys::tutorial::boatClaimed, false);
    } else if (!dockedTutorialShown) {
        showTutorial(keys::tutorial::ownedBoatDocked, false);
        dockedTutorialShown = true;
    }
    dockPrompt_.hide();
    boats_.setDockId(dock->id());
    boats_.saveBoatState();
    state_ = State::menuOpen;
}

void DocksInteractionManager::updateOnFoot() {
    const Dock* dock = registry_.findNearestDock(playerPosition(), kOnFootDockRange);
    if (dock == nullptr) return reset();
    dockPrompt_.hide();
    switch (state_) {
        case State::idle:
            reset();
            managePrompt_.show();
            if (managePrompt_.poll()) state_ = State::menuOpen;
            break;
        case State::menuOpen:
            updateMenu(*dock);
            break;
        case State::openingCatalogue:
            openCatalogue(*dock);
            break;
        case State::inCatalogue:
            updateCatalogue();
            break;
        case State::retrieveForFee:
            updateRetrieveForFee(*dock);
            break;
    }
}

void DocksInteractionManager::updateMenu(const Dock& dock) {
    if (cameraRendering_) {
        renderScriptedCameras(false, false, kCameraEaseMs);
        cameraRendering_ = false;
    }
    backPrompt_.hide();
    managePrompt_.hide();
    retrievePrompt_.hide();
    paidRetrievePrompt_.hide();
    closePrompt_.show();
    // Walking off closes the menu without a word.
    if (native::getEntitySpeed(PlayerPed) > kMaxMenuWalkingSpeed) {
        state_ = State::idle;
        return;
    }

    waitForScreen();
    if (boats_.hasOwnedBoat()) {
        const float distance = distanceBetweenPoints(dock.mooringPoint().position, boats_.getBoatPosition());
        if (isAway(distance)) {
            state_ = State::retrieveForFee;
        } else {
            browsePrompt_.hide();
            customizePrompt_.show();
            if (customizePrompt_.poll()) state_ = State::openingCatalogue;
            // Moored at another dock: fetching it is free.
            if (distance > kAwayFromDock) {
                paidRetrievePrompt_.hide();
                retrievePrompt_.show();
                if (retrievePrompt_.poll()) bringBoatHere(dock);
            }
        }
    } else {
        retrievePrompt_.hide();
        paidRetrievePrompt_.hide();
        customizePrompt_.hide();
        browsePrompt_.show();
        if (browsePrompt_.poll()) state_ = State::openingCatalogue;
    }
    if (closePrompt_.poll()) reset();
}

bool DocksInteractionManager::askForTheShop() {
    const ScreenHolder holder = whoHoldsTheScreen(camera_, ownFadeInFrames_ > 0);
    if (holder == ScreenHolder::nobody) {
        // A HUD some other mod keeps hidden is no sign of a scene once the shop gives way.
        hudFoundHidden_ = native::isHudHidden();
        return true;
    }
    writeLog(std::string("the shop waits: ") + describe(holder));
    state_ = State::menuOpen;
    waitingForScreen_ = true;
    askAgainIn_ = kAskAgainFrames;
    browsePrompt_.setEnabled(false);
    customizePrompt_.setEnabled(false);
    return false;
}

void DocksInteractionManager::waitForScreen() {
    if (!waitingForScreen_ || --askAgainIn_ > 0) return;
    if (whoHoldsTheScreen(camera_, ownFadeInFrames_ > 0) != ScreenHolder::nobody) {
        askAgainIn_ = kAskAgainFrames;
        return;
    }
    waitingForScreen_ = false;
    browsePrompt_.setEnabled(true);
    customizePrompt_.setEnabled(true);
}

void DocksInteractionManager::yieldScreen(ScreenHolder holder) {
    writeLog(std::string("the shop gives way: ") + describe(holder));
    // Another camera renders now: switching script cameras off would switch off that one.
    if (holder == ScreenHolder::otherCamera) cameraRendering_ = false;
    // The other script may have taken the player's control as well, which cannot be told from the
    // shop's own by asking: it is given back only once nothing of the other's is on the screen.
    if (catalogue_.isOpen()) controlOwed_ = true;
    askOwedIn_ = kAskAgainFrames;
    leaveCatalogue(false);
    reset();
}

void DocksInteractionManager::openCatalogue(const Dock& dock) {
    // Asked in the turn that fades, not in the one the prompt was pressed in: a script resumed
    // after the plug-in in that frame may have taken the screen since.
    if (!askForTheShop()) return;
    // His control goes with the screen: left to him through the fades, he could climb into the boat
    // about to be shown (which lifts its anchor) or row it away from the camera.
    native::setPlayerControl(native::getPlayerId(), false, 0, 0);
    if (boats_.hasOwnedBoat()) {
        catalogue_.setCustomizeMode(true);
        // The boat is shown at this dock, so it is moored here from now on, on disk as well:
        // backing out reloads the record, which must not send it back to a dock it has left.
        if (boats_.getDockId() != dock.id()) {
            boats_.setDockId(dock.id());
            boats_.saveBoatState();
        }
    } else {
        // The preview boat goes into the record; leaving without buying reloads PlayerBoat.dat.
        boats_.setBoatModel(kRowboatModel);
        catalogue_.setCustomizeMode(false);
    }
    native::doScreenFadeOut(250);
    waitInsideOperation(300);

    const DockPoint mooring = dock.mooringPoint();
    boats_.spawnBoat(mooring.position, mooring.heading);
    boats_.setDockId(dock.id());

    // The camera stands 4.5 beyond the pier point on the side away from the boat, 2 up, and looks
    // at the boat.
    const Vec3 pier = dock.pierPoint().position;
    const Vec3 boat = boats_.getBoatPosition();
    setCameraPosition(camera_, pier + normalise(pier - boat) * kCameraDistance + Vec3{0.0f, 0.0f, kCameraHeight});
    pointCameraAt(camera_, boat);
    setCameraActive(camera_, true);
    cameraActive_ = true;

    waitInsideOperation(500);
    // Frames went by in the fade: another script may have taken the screen meanwhile. The fade out
    // seen now may still be the shop's own, so only what else holds the screen is asked after.
    ScreenHolder holder = whoElseHoldsTheScreen(camera_, true);
    // Nor does it open once the game has taken him into a scene of its own: giving way resets the
    // shop as a suspension does, so its fade comes back at once and the control once he is let go.
    if (holder == ScreenHolder::nobody && gameHoldsThePlayer()) holder = ScreenHolder::gameScene;
    if (holder != ScreenHolder::nobody) {
        // The fade and the control are the shop's to give back, unless another script took them
        // since: that waits.
        fadeOwed_ = true;
        controlOwed_ = true;
        yieldScreen(holder);
        boats_.reloadRecord();
        if (!boats_.hasOwnedBoat()) boats_.removeBoatEntity();
        return;
    }
    // All of the screen is taken in the turn that found it free: one of the game's menus opening
    // before the next frame would otherwise find the shop taking its camera under the menu.
    renderScriptedCameras(true, false, kCameraEaseMs);
    cameraRendering_ = true;
    catalogue_.open();
    fadeIn();
    state_ = State::inCatalogue;
}

void DocksInteractionManager::updateCatalogue() {
    // His boat (or the preview) was lost since the last frame: the shop closes as a suspension
    // closes it, before a row can sell anything for a boat that is not there.
    if (!boats_.hasOwnedBoat()) {
        writeLog("the shop closes: the boat it shows is gone");
        return reset();
    }
    const ScreenHolder taker = whoTookThePanel(camera_, cameraRendering_);
    if (taker != ScreenHolder::nobody) return yieldScreen(taker);
    for (Prompt* prompt : {&managePrompt_, &closePrompt_, &browsePrompt_, &customizePrompt_, &retrievePrompt_,
                           &dockPrompt_}) {
        prompt->hide();
    }
    catalogue_.open();
    backPrompt_.show();
    renderScriptedCameras(true, false, kCameraEaseMs);
    cameraRendering_ = true;
    if (!backPrompt_.poll()) return;

    native::doScreenFadeOut(250);
    waitInsideOperation(500);
    // A script that took the screen in the fade has the say over it now: the control the shop took
    // and its fade are owed, given back once nothing of the other's shows.
    ScreenHolder holder = whoElseHoldsTheScreen(camera_, true);
    // Nor is his control his to have back while the game holds him in a scene it began meanwhile.
    if (holder == ScreenHolder::nobody && gameHoldsThePlayer()) holder = ScreenHolder::gameScene;
    if (holder != ScreenHolder::nobody) controlOwed_ = true;
    leaveCatalogue(holder == ScreenHolder::nobody);
    // Switching script cameras off would switch off the other's.
    if (holder == ScreenHolder::otherCamera) cameraRendering_ = false;
    // Behind the fade, not after it: leaving gives his control back, and a player who boards a boat
    // before the dock menu's next frame would row off seeing the world through the shop's camera.
    stopShowingCamera(false);
    waitInsideOperation(500);
    if (holder == ScreenHolder::nobody) holder = whoElseHoldsTheScreen(camera_, false);
    if (holder != ScreenHolder::nobody) {
        writeLog(std::string("the shop gives way: ") + describe(holder));
        fadeOwed_ = true;
        askOwedIn_ = kAskAgainFrames;
        state_ = State::menuOpen;
        return;
    }
    fadeIn();
    state_ = State::menuOpen;
}

bool DocksInteractionManager::isAway(float distanceFromMooring) const {
    return boats_.getDockId() <= 0 && distanceFromMooring > kAwayFromDock;
}

void DocksInteractionManager::updateRetrieveForFee(const Dock& dock) {
    // A boat lost meanwhile is fetched for nobody, and one placed again near this dock (the game or
    // another script removed it, and its record put it back there) is not away: he would pay to
    // have it moved a few metres. The menu offers what fits the boat as it is now.
    if (!boats_.hasOwnedBoat() ||
        !isAway(distanceBetweenPoints(dock.mooringPoint().position, boats_.getBoatPosition()))) {
        state_ = State::menuOpen;
        return updateMenu(dock);
    }
    // Customising was offered while the boat lay near: one placed again far off since (the game or
    // another script removed it) is only fetched, and a prompt left showing here would do nothing.
    for (Prompt* prompt : {&retrievePrompt_, &customizePrompt_, &browsePrompt_}) prompt->hide();
    closePrompt_.show();
    // Without a fee in Configs.dat there is no paid retrieval: a missing fee read as -999 paid
    // the player for it.
    const float fee = configPrice(keys::feesRetrieveBoat);
    // Held back while the player cannot pay, as the shop's rows are: the fee was taken whatever
    // the balance and left him in debt.
    const bool affordable = fee >= 0.0f && native::getPlayerCash() >= dollarsToCents(fee);
    if (fee < 0.0f) {
        paidRetrievePrompt_.hide();
    } else {
        paidRetrievePrompt_.show();
        paidRetrievePrompt_.setEnabled(affordable);
    }
    if (closePrompt_.poll()) return reset();
    if (!affordable || !paidRetrievePrompt_.poll()) return;
    bringBoatHere(dock);
    // A boat the game could not make (its model never loaded) was brought for nobody: the fee is
    // taken, and the help says it is here, only once it is.
    if (boats_.getBoatEntity() == 0) {
        writeLog("the boat could not be brought to the dock, so the fee is not taken");
        return;
    }
    changePlayerMoney(-fee, true);
    showTutorial(keys::tutorial::returnBoatToDocks, false);
    state_ = State::menuOpen;
}

void DocksInteractionManager::bringBoatHere(const Dock& dock) {
    boats_.setDockId(dock.id());
    boats_.saveBoatState();
    const DockPoint mooring = dock.mooringPoint();
    boats_.spawnBoat(mooring.position, mooring.heading);
}

}  // namespace tollmere
