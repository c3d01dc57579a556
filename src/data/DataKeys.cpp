#include "data/DataKeys.h"

#include "data/TextFormat.h"
#include "host/BoatTypes.h"

#include <limits>

namespace tollmere::keys {

std::string boatKey(const char* prefix, std::int32_t model) {
    return prefix + formatInt(model);
}

const std::vector<const char*>& tutorialNames() {
    static const std::vector<const char*> names = {
        tutorial::dropBoatAnchor,    tutorial::boatFence,     tutorial::boatFencePoorCondition,
        tutorial::boatFenceSlowDown, tutorial::boatDestroyed, tutorial::leftDocks,
        tutorial::dockBoatTooFast,   tutorial::boatClaimed,   tutorial::ownedBoatDocked,
        tutorial::returnBoatToDocks, tutorial::robberies1,    tutorial::robberies2,
        tutorial::robberiesLoseLaw,
    };
    return names;
}

namespace {

std::vector<KeyRead> buildKeysRead() {
    std::vector<KeyRead> all;
    auto add = [&all](File file, std::string key, Kind kind, const char* use) {
        all.push_back(KeyRead{file, std::move(key), kind, use});
    };

    const std::pair<const char*, const char*> texts[] = {
        {promptsDropAnchor, "anchor prompt"},
        {promptsReleaseAnchor, "anchor prompt"},
        {promptsSellBoat, "sell prompt"},
        {promptsManageBoats, "dock prompt"},
        {promptsBrowseCatalog, "dock prompt"},
        {promptsCustomizeBoat, "dock prompt"},
        {promptsRetrieveBoat, "dock prompt"},
        {promptsDockBoat, "dock prompt"},
        {promptsClose, "dock prompt"},
        {promptsBack, "dock prompt"},
        {promptsRentBoat, "rental prompt"},
        {promptsReturnBoat, "rental prompt"},
        {promptsBuy, "shop prompt"},
        {catalogTitle, "shop title"},
        {catalogSubtitlePurchase, "shop subtitle"},
        {catalogSubtitleCustomize, "shop subtitle"},
        {catalogInputFixBoat, "shop row"},
        {catalogInputCleanBoat, "shop row"},
        {catalogInputTint, "shop row"},
        {catalogInputPropset, "shop row"},
        {catalogInputPropsetDescription, "shop row description"},
        {catalogInputLanternPropset, "shop row"},
        {boatStatsHealth, "shop stat label"},
        {boatStatsSpeed, "shop stat label"},
        {boatStatsPassengers, "shop stat label"},
        {genericNone, "label of an empty choice"},
        {blipsFence, "map name of the docks"},
        {blipsBoat, "map name of your boat"},
        {tutorialBoatClaimRefused, "help text"},
    };
    for (const auto& [key, use] : texts) {
        add(File::lang, key, Kind::text, use);
    }
    for (const BoatType* type : allBoatTypes()) {
        add(File::lang, boatKey(boatTypesPrefix, type->model), Kind::text, "boat name in the shop");
    }
    for (const char* name : tutorialNames()) {
        add(File::lang, std::string(tutorialPrefix) + name, Kind::text, "help text");
    }

    for (const BoatType* type : allBoatTypes()) {
        add(File::configs, boatKey(feesBoatPrefix, type->model), Kind::price, "boat price");
    }
    add(File::configs, feesFixBoat, Kind::price, "repair price");
    add(File::configs, feesCleanBoat, Kind::price, "cleaning price");
    add(File::configs, feesTint, Kind::price, "paint price");
    add(File::configs, feesPropset, Kind::price, "fittings price");
    add(File::configs, feesLanternPropset, Kind::price, "lanterns price");
    add(File::configs, feesSellPriceMultiplier, Kind::factor, "share of a boat's price a dock pays");
    add(File::configs, feesRetrieveBoat, Kind::priceText, "fee for bringing your boat back");
    add(File::configs, rentFee, Kind::shownPrice, "rental fee shown on the rent prompt");
    add(File::configs, robberiesMinReward, Kind::reward, "smallest robbery reward");
    add(File::configs, robberiesMaxReward, Kind::reward, "largest robbery reward");
    add(File::configs, robberiesGuardBonus, Kind::factor, "robbery reward bonus per guard");
    for (const BoatType* type : allBoatTypes()) {
        add(File::configs, boatKey(upgradedHealthPrefix, type->model), Kind::factor,
            "durability after an upgrade (shop stars)");
    }

    add(File::playerBoat, ownedBoatModel, Kind::modelHash, "which boat you own");
    add(File::playerBoat, tint, Kind::index, "paint of your boat");
    add(File::playerBoat, propsetIndex, Kind::index, "fittings of your boat");
    add(File::playerBoat, lanternPropsetIndex, Kind::index, "lanterns of your boat");
    add(File::playerBoat, maxHealth, Kind::index, "full durability of your boat");
    add(File::playerBoat, health, Kind::ratio, "durability of your boat");
    add(File::playerBoat, dockId, Kind::index, "dock your boat is moored at");
    add(File::playerBoat, coords, Kind::point, "where your boat was left");
    add(File::playerBoat, heading, Kind::factor, "which way your boat was left facing");

    for (const char* name : tutorialNames()) {
        add(File::tutorialFlags, name, Kind::flag, "tutorial already shown");
    }

    all.push_back(
        KeyRead{File::settings, enableBoatRobberies, Kind::settingSwitch, "river robberies on or off", "1"});
    all.push_back(KeyRead{File::settings, robberyFrequency, Kind::settingFloat, "chance of a river robbery",
                          "0.5", robberyFrequencyMin, robberyFrequencyMax});
    all.push_back(KeyRead{File::settings, rewardMultiplier, Kind::settingFloat, "factor on every sale price",
                          "1.0", 0.0f, std::numeric_limits<float>::max()});
    all.push_back(KeyRead{File::settings, language, Kind::settingLanguage, "language of the texts", "auto"});
    return all;
}

}  // namespace

const std::vector<KeyRead>& keysRead() {
    static const std::vector<KeyRead> all = buildKeysRead();
    return all;
}

}  // namespace tollmere::keys
