#pragma once
// Every key the plug-in reads from its files, named once. The features read their texts, prices
// and record entries through these names, and keysRead() lists them all with what each is for, so
// a tool that checks a player's Tollmere folder knows exactly what the plug-in will look for.

#include <cstdint>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace tollmere::keys {

// Lang.dat
inline constexpr const char* promptsDropAnchor = "prompts.drop_anchor";
inline constexpr const char* promptsReleaseAnchor = "prompts.release_anchor";
inline constexpr const char* promptsSellBoat = "prompts.sell_boat";
inline constexpr const char* promptsManageBoats = "prompts.manage_boats";
inline constexpr const char* promptsBrowseCatalog = "prompts.browse_catalog";
inline constexpr const char* promptsCustomizeBoat = "prompts.customize_boat";
inline constexpr const char* promptsRetrieveBoat = "prompts.retrieve_boat";
inline constexpr const char* promptsDockBoat = "prompts.dock_boat";
inline constexpr const char* promptsClose = "prompts.close";
inline constexpr const char* promptsBack = "prompts.back";
inline constexpr const char* promptsRentBoat = "prompts.rent_boat";
inline constexpr const char* promptsReturnBoat = "prompts.return_boat";
inline constexpr const char* promptsBuy = "prompts.buy";
inline constexpr const char* catalogTitle = "catalog.title";
inline constexpr const char* catalogSubtitlePurchase = "catalog.subtitle.purchase";
inline constexpr const char* catalogSubtitleCustomize = "catalog.subtitle.customize";
inline constexpr const char* catalogInputFixBoat = "catalog.input.fix_boat";
inline constexpr const char* catalogInputCleanBoat = "catalog.input.clean_boat";
inline constexpr const char* catalogInputTint = "catalog.input.tint";
inline constexpr const char* catalogInputPropset = "catalog.input.propset";
inline constexpr const char* catalogInputPropsetDescription = "catalog.input.propset.description";
inline constexpr const char* catalogInputLanternPropset = "catalog.input.lantern_propset";
inline constexpr const char* boatStatsHealth = "boat_stats.health";
inline constexpr const char* boatStatsSpeed = "boat_stats.speed";
inline constexpr const char* boatStatsPassengers = "boat_stats.passengers";
inline constexpr const char* genericNone = "generic.none";
inline constexpr const char* blipsFence = "blips.fence";
inline constexpr const char* blipsBoat = "blips.boat";
// Followed by a boat model (boatKey) or a tutorial name.
inline constexpr const char* boatTypesPrefix = "boat_types.";
inline constexpr const char* tutorialPrefix = "tutorial.";
// A help text of its own, not a tutorial: shown at every refused claim, never flagged as seen.
inline constexpr const char* tutorialBoatClaimRefused = "tutorial.boat_claim_refused";

// Configs.dat
inline constexpr const char* feesBoatPrefix = "fees.boat.";
inline constexpr const char* feesFixBoat = "fees.fix_boat";
inline constexpr const char* feesCleanBoat = "fees.clean_boat";
inline constexpr const char* feesTint = "fees.tint";
inline constexpr const char* feesPropset = "fees.propset";
inline constexpr const char* feesLanternPropset = "fees.lantern_propset";
inline constexpr const char* feesSellPriceMultiplier = "fees.sell_price_multiplier";
inline constexpr const char* feesRetrieveBoat = "fees.retrieve_boat";
inline constexpr const char* rentFee = "rent.fee";
inline constexpr const char* robberiesMinReward = "boat_robberies.min_reward";
inline constexpr const char* robberiesMaxReward = "boat_robberies.max_reward";
inline constexpr const char* robberiesGuardBonus = "boat_robberies.guard_bonus";
inline constexpr const char* upgradedHealthPrefix = "boat_upgrades.health.";

// PlayerBoat.dat
inline constexpr const char* ownedBoatModel = "owned_boat_model";
inline constexpr const char* tint = "tint";
inline constexpr const char* propsetIndex = "propset_index";
inline constexpr const char* lanternPropsetIndex = "lantern_propset_index";
inline constexpr const char* maxHealth = "max_health";
inline constexpr const char* health = "health";
inline constexpr const char* dockId = "dock_id";
inline constexpr const char* coords = "coords";
inline constexpr const char* heading = "heading";

// Settings.ini
inline constexpr const char* enableBoatRobberies = "EnableBoatRobberies";
inline constexpr const char* robberyFrequency = "RandomBoatRobberyEventsFrequency";
inline constexpr const char* rewardMultiplier = "BoatRobberiesRewardMultiplier";
// "auto" for the game's language, or a language code ("fr-FR").
inline constexpr const char* language = "Language";
// The chance of a robbery is held to this range whatever the file says.
inline constexpr float robberyFrequencyMin = 0.1f;
inline constexpr float robberyFrequencyMax = 1.0f;

// Tutorial names: the keys of TutorialFlags.dat, and after tutorialPrefix the keys of their texts.
namespace tutorial {
inline constexpr const char* dropBoatAnchor = "drop_boat_anchor";
inline constexpr const char* boatFence = "boat_fence";
inline constexpr const char* boatFencePoorCondition = "boat_fence.poor_condition";
inline constexpr const char* boatFenceSlowDown = "boat_fence.slow_down_to_sell";
inline constexpr const char* boatDestroyed = "boat_destroyed";
inline constexpr const char* leftDocks = "left_docks";
inline constexpr const char* dockBoatTooFast = "dock_boat_too_fast";
inline constexpr const char* boatClaimed = "boat_claimed";
inline constexpr const char* ownedBoatDocked = "owned_boat_docked";
inline constexpr const char* returnBoatToDocks = "return_boat_to_docks";
inline constexpr const char* robberies1 = "boat_robberies.1";
inline constexpr const char* robberies2 = "boat_robberies.2";
inline constexpr const char* robberiesLoseLaw = "boat_robberies.lose_law";
}  // namespace tutorial

// prefix + the model as data files write it ("fees.boat." + "-1613317544").
std::string boatKey(const char* prefix, std::int32_t model);

// The same key written into a buffer of the caller's, for code that runs every frame: the key is
// too long for a short string and would allocate. Cut short to fit the buffer.
template <std::size_t N>
const char* boatKey(char (&buffer)[N], const char* prefix, std::int32_t model) {
    std::snprintf(buffer, N, "%s%d", prefix, static_cast<int>(model));
    return buffer;
}

enum class File { lang, configs, playerBoat, tutorialFlags, settings };

// How the plug-in reads a key, and so what a wrong or missing value does.
enum class Kind {
    text,           // shown as it stands; missing shows nothing
    price,          // a float in dollars; missing or below 0 makes that service unavailable
    priceText,      // a price shown on a prompt; missing or below 0 takes the prompt away
    shownPrice,     // shown after " $" as it stands, never charged
    factor,         // a float taken as it stands
    reward,         // a whole number of dollars; missing or below 0 means no robbery
    modelHash,      // a boat model as a signed number, 0 for none
    index,          // a whole number
    ratio,          // a float from 0 to 1
    point,          // three numbers "x,y,z"
    flag,           // 1 once a tutorial was shown
    settingSwitch,  // 1/0, true/false, yes/no or on/off, any case
    settingFloat,   // a float, held to [minimum, maximum]
    // "auto" or a language code
    settingLanguage,
};

struct KeyRead {
    File file;
    std::string key;
    Kind kind;
    const char* use;              // what the player sees it as, in a few words
    const char* value = nullptr;  // settings only: the default used when the file lacks the key
    float minimum = 0.0f;         // settingFloat only
    float maximum = 0.0f;
};

// Every key read, per file, the per-model keys spelt out for each boat model and the tutorial
// texts for each tutorial. Built on the first call.
const std::vector<KeyRead>& keysRead();

// The tutorial names above, in the order keysRead lists them.
const std::vector<const char*>& tutorialNames();

}  // namespace tollmere::keys
