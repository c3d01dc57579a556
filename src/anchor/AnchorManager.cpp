#include "anchor/AnchorManager.h"

#include "boat/PlayerBoatManager.h"
#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"
#include "runtime/Globals.h"
#include "tutorials/Tutorials.h"

namespace tollmere {

namespace {

// Faster than this the boat is under way and the drop prompt is withheld.
constexpr double kMaxDropSpeed = 1.2;

bool anchorTutorialShown = false;

}  // namespace

AnchorManager::AnchorManager(PlayerBoatManager& boats)
    : boats_(boats),
      dropPrompt_(LangData->getString(keys::promptsDropAnchor), hashOf("INPUT_CONTEXT_X"),
                  PromptMode::standardHoldOnce),
      releasePrompt_(LangData->getString(keys::promptsReleaseAnchor), hashOf("INPUT_CONTEXT_X"),
                     PromptMode::standardHoldOnce) {
    dropPrompt_.hide();
    releasePrompt_.hide();
}

void AnchorManager::hideBoth() {
    dropPrompt_.hide();
    releasePrompt_.hide();
}

void AnchorManager::update() {
    const Vehicle boat = boats_.getBoatEntity();
    if (!boats_.hasOwnedBoat() || boat == 0) {
        wasAboard_ = false;
        return hideBoth();
    }

    // Getting into the anchored boat always lifts the anchor, prompt or no prompt. A climb begun
    // and ended while the plug-in waited inside an operation (a robbery being set up) is seen only
    // as him sitting in the boat he was not in before.
    const bool entering = native::getVehiclePedIsEntering(PlayerPed) == boat;
    const bool aboard = !entering && native::getVehiclePedIsIn(PlayerPed, false) == boat;
    const bool gotIn = entering || (aboard && !wasAboard_);
    wasAboard_ = entering || aboard;
    if (gotIn && boats_.isAnchored()) {
        boats_.releaseAnchor();
        return;
    }
    if (!aboard) return hideBoth();
    // Only a boat with a prop set is offered the anchor, and only out on the water: moored at no
    // dock, which a record without a dock id (edited by hand, or an older copy put back) is too.
    if (boats_.getPropsetIndex() < 0 || boats_.getDockId() > 0) return hideBoth();
    // Prompts read the pad even with the player's control off: while another script's scene holds
    // it, a hold begun on the water would drop or lift the anchor in the dark. Offer neither until
    // the control is his again; the hold then starts anew.
    if (!native::isPlayerControlOn(native::getPlayerId())) return hideBoth();

    if (boats_.isAnchored()) {
        dropPrompt_.hide();
        releasePrompt_.show();
        if (releasePrompt_.poll()) boats_.releaseAnchor();
        return;
    }

    if (!anchorTutorialShown) {
        showTutorial(keys::tutorial::dropBoatAnchor, false);
        anchorTutorialShown = true;
    }
    releasePrompt_.hide();
    if (static_cast<double>(native::getEntitySpeed(boat)) >= kMaxDropSpeed) {
        dropPrompt_.hide();
        return;
    }
    dropPrompt_.setArmedWhileHidden(true);
    if (dropPrompt_.poll()) boats_.dropAnchor();
}

}  // namespace tollmere
