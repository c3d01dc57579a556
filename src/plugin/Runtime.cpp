#include "plugin/Runtime.h"

#include "anchor/AnchorManager.h"
#include "boat/PlayerBoatManager.h"
#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "data/Layers.h"
#include "data/Settings.h"
#include "docks/BoatRentalManager.h"
#include "docks/DocksInteractionManager.h"
#include "docks/DocksRegistry.h"
#include "events/CargoBoatEventsGenerator.h"
#include "events/CargoBoatsManager.h"
#include "fence/BoatFence.h"
#include "host/GameHelpers.h"
#include "host/Natives.h"
#include "host/Prompt.h"
#include "host/ScreenText.h"
#include "host/ScriptHost.h"
#include "menu/BoatsCatalog.h"
#include "plugin/Entry.h"
#include "plugin/FrameErrorReporter.h"
#include "runtime/Globals.h"
#include "runtime/Log.h"
#include "runtime/Platform.h"

#include <cstdlib>
#include <exception>
#include <string>

namespace tollmere {

Ped PlayerPed{};  // asked for at start-up and at every frame before anything reads it
DocksRegistry* docksRegistry = nullptr;
BoatRentalManager* boatRentalManager = nullptr;
PlayerBoatManager* playerBoatManager = nullptr;
BoatsCatalog* boatsCatalog = nullptr;
DocksInteractionManager* docksInteractionManager = nullptr;
AnchorManager* anchorManager = nullptr;
CargoBoatEventsGenerator* cargoBoatEventsGenerator = nullptr;
CargoBoatsManager* cargoBoatsManager = nullptr;
BoatFence* boatFence = nullptr;
BoatSpawner* boatSpawner = nullptr;

namespace {

FrameErrorReporter frameErrors;
FrameErrorReporter docksErrors;
FrameErrorReporter anchorErrors;
FrameErrorReporter robberyErrors;
FrameErrorReporter boatCheckErrors;
FrameErrorReporter boatWatchErrors;
FrameErrorReporter helpTextErrors;

// Read once at start-up: the settings never change during a run.
bool robberiesEnabled = false;

// Each reporter keeps its own run of repeats, so two features failing in the same frames do not
// take turns at being reported in full.
template <typename Step>
void runGuarded(FrameErrorReporter& errors, Step step) {
    try {
        step();
        errors.reportCleanFrame();
    } catch (...) {
        errors.reportFailure(std::current_exception());
    }
}

// Start-up runs outside the frame loop, so it gets a guard of its own: an exception here must not
// leave the script fiber and take the game down with it.
bool guardedStartUp() {
    try {
        return startUp();
    } catch (...) {
        frameErrors.reportFailure(std::current_exception(), false);
        return false;
    }
}

void runMainLoop() {
    scriptWait(500);
    if (!guardedStartUp()) {
        // Otherwise the player would only notice that nothing of the plug-in is there.
        showErrorNotice("Tollmere is off: it could not start. Look at Tollmere/Log.log to see why.");
        return;
    }

    // An earlier run may have left the player's control off while the shop was open; but control
    // off may as well be another script's, so it is given back only once nothing of another
    // script shows on the screen. The plug-in never hides the HUD: hidden, it is another's.
    const bool hudHidden = native::isHudHidden();
    const Player player = native::getPlayerId();
    if (native::isPlayerControlOn(player)) {
        native::setPlayerControl(player, true, 0, 0);
    } else {
        docksInteractionManager->oweControl();
    }
    if (!hudHidden) native::displayHud(true);

    for (;;) {
        PlayerPed = native::getPlayerPed();
        // The game has drawn the last frame by now, so the texts kept for it can be reused.
        releaseDrawnTexts();
        runGuarded(frameErrors, frameUpdate);
        // Help texts are posted whatever failed in the frame.
        runGuarded(helpTextErrors, postPendingHelpText);
        // Prompts disabled for a wait inside an operation are offered again from the next frame,
        // when their owners poll them once more.
        Prompt::restoreWithheld();
        scriptWait(0);
    }
}

}  // namespace

bool startUp() {
    PlayerPed = native::getPlayerPed();
    for (const char* decorator : {"QY_RB_isPlayerBoat", "QY_RB_isBoatSold", "QY_RB_boatValue"}) {
        native::registerDecorator(decorator, 3);
    }
    loadSettings(dataFilePath("Settings.ini"), defaultSettings());
    robberiesEnabled = getSettingBool(keys::enableBoatRobberies);
    // Asked even when the setting chooses, so the log can say what the game is set to.
    const std::int32_t gameLanguage = native::getCurrentLanguage();

    writeLog("Welcome to Tollmere mod by Quenby - " TOLLMERE_VERSION);
    writeLog("if you'd like to report and issue, please attach this file and the PlayerBoat.dat file");
    writeLog(std::string(66, '='));
    writeLog("loading blips_mp texture dict");
    native::setScriptTimer(0);
    // No time limit: the map blips cannot be drawn without this dictionary.
    while (!native::hasTextureDictLoaded("blips_mp")) {
        native::requestTextureDict("blips_mp", false);
        waitInsideOperation(0);
    }
    writeLog("mp_blips texture dict loaded");

    if (!loadDataFiles()) {
        writeLog("ERROR: Could not load data files.");
        return false;
    }
    const LanguageChoice language = chooseLanguage(gameLanguage, getSettingString(keys::language));
    writeLog(std::string("language: ") + language.code + ", " + language.why);
    // A file of the player's that cannot be read costs him his changes, not the plug-in: the files
    // under it hold, and he is told once which to mend.
    if (const std::vector<std::string> skipped = loadLayers(language.code); !skipped.empty()) {
        std::string names;
        for (const std::string& name : skipped)
            names += (names.empty() ? "Tollmere/" : ", Tollmere/") + name;
        showErrorNotice(
            ("Tollmere could not read " + names + ". Look at Tollmere/Log.log to see why.").c_str());
    }

    // Each manager is stored before the next is built: later constructors read earlier globals.
    // The spawner comes last, since placing the saved boat needs the docks and the boat manager.
    docksRegistry = new DocksRegistry();
    boatRentalManager = new BoatRentalManager(*docksRegistry);
    playerBoatManager = new PlayerBoatManager();
    playerBoatManager->keepCopyOfRecordAtStart();
    boatsCatalog = new BoatsCatalog(*playerBoatManager);
    docksInteractionManager = new DocksInteractionManager(*docksRegistry, *playerBoatManager, *boatsCatalog);
    anchorManager = new AnchorManager(*playerBoatManager);
    cargoBoatEventsGenerator = new CargoBoatEventsGenerator(true);
    cargoBoatsManager = new CargoBoatsManager();
    boatFence = new BoatFence();
    boatSpawner = new BoatSpawner();
    return true;
}

void frameUpdate() {
    // Each feature runs under a guard of its own: one that fails every frame (a broken value in a
    // hand-edited file) must not stop the boat watch from saving, or the others from running.
    // The boat is looked at first: other scripts ran since the last frame, and every feature below
    // may ask about it.
    runGuarded(boatCheckErrors, [] { playerBoatManager->checkBoat(); });
    runGuarded(docksErrors, [] {
        // Dock services stand still while the game holds the player. A robbery's alarm does not
        // suspend them: the robbery closes the docks itself, and they open again here on the next
        // frame, so a stolen boat can still be sold.
        if (gameHoldsThePlayer()) {
            docksRegistry->disableAllDocks();
            docksInteractionManager->reset();
            boatFence->reset();
        } else {
            docksRegistry->enableAllDocks();
            docksInteractionManager->update();
            boatFence->update();
        }
    });
    runGuarded(anchorErrors, [] { anchorManager->update(); });
    if (robberiesEnabled) runGuarded(robberyErrors, [] { cargoBoatsManager->update(); });
    // The boat watch runs last, after everything that may have moved, sold or docked the boat.
    runGuarded(boatWatchErrors, [] { playerBoatManager->watchBoat(); });
}

}  // namespace tollmere

void scriptMain() {
    std::srand(tollmere::platform::tickCount());
    tollmere::runMainLoop();
}
