// The files a player installs in "Tollmere/": every key the plug-in reads must be there, or the
// player sees an empty text or pays -999 dollars.

#include "data/DictDataFile.h"
#include "data/Layers.h"
#include "data/Settings.h"
#include "data/TextFormat.h"

#include "DataTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tollmere {
namespace {

// Made absolute when the test program starts, before any test moves the working directory.
const std::filesystem::path kAssetsDir = std::filesystem::absolute(
#ifdef TOLLMERE_ASSETS_DIR
    TOLLMERE_ASSETS_DIR
#else
    std::filesystem::path(__FILE__).parent_path() / "../../../assets/Tollmere"
#endif
);

std::string assetPath(const char* name) {
    return (kAssetsDir / name).string();
}

// The five boat models as their keys write them.
const std::vector<std::string>& modelKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> texts;
        for (const Hash model : {0x9FD6BA58u, 0xD84D4530u, 0xE84E6B74u, 0xF097BC6Cu, 0x578D6513u}) {
            texts.push_back(formatHash(model));
        }
        return texts;
    }();
    return keys;
}

const char* const kTutorials[] = {
    "drop_boat_anchor",
    "boat_fence",
    "boat_fence.poor_condition",
    "boat_fence.slow_down_to_sell",
    "boat_destroyed",
    "left_docks",
    "dock_boat_too_fast",
    "boat_claimed",
    "owned_boat_docked",
    "return_boat_to_docks",
    "boat_robberies.1",
    "boat_robberies.2",
    "boat_robberies.lose_law",
};

class ShippedAssetsTest : public test::FileTest {};

// Catches a text the plug-in shows that the shipped Lang.dat lacks, or a line that stops its load.
TEST_F(ShippedAssetsTest, LangHasEveryText) {
    const std::string path = assetPath("Lang.dat");
    DictDataFile lang(path.c_str());
    ASSERT_TRUE(lang.load());

    std::vector<std::string> keys = {"prompts.drop_anchor",
                                     "prompts.release_anchor",
                                     "prompts.sell_boat",
                                     "prompts.manage_boats",
                                     "prompts.browse_catalog",
                                     "prompts.customize_boat",
                                     "prompts.retrieve_boat",
                                     "prompts.dock_boat",
                                     "prompts.close",
                                     "prompts.back",
                                     "prompts.rent_boat",
                                     "prompts.return_boat",
                                     "prompts.buy",
                                     "catalog.title",
                                     "catalog.subtitle.purchase",
                                     "catalog.subtitle.customize",
                                     "catalog.input.fix_boat",
                                     "catalog.input.clean_boat",
                                     "catalog.input.tint",
                                     "catalog.input.propset",
                                     "catalog.input.propset.description",
                                     "catalog.input.lantern_propset",
                                     "boat_stats.health",
                                     "boat_stats.speed",
                                     "boat_stats.passengers",
                                     "generic.none",
                                     "blips.fence",
                                     "blips.boat"};
    for (const std::string& model : modelKeys()) {
        keys.push_back("boat_types." + model);
    }
    for (const char* tutorial : kTutorials) {
        keys.push_back(std::string("tutorial.") + tutorial);
    }

    for (const std::string& key : keys) {
        EXPECT_STRNE(lang.getString(key.c_str()), "") << key;
    }
}

// Catches a price, fee, reward or upgrade the shipped Configs.dat lacks or holds as text that is
// not a number, and values outside what the readers expect (health bar over 1500, empty reward range).
TEST_F(ShippedAssetsTest, ConfigsHasEveryNumber) {
    const std::string path = assetPath("Configs.dat");
    DictDataFile configs(path.c_str());
    ASSERT_TRUE(configs.load());

    std::vector<std::string> priceKeys = {"fees.fix_boat", "fees.clean_boat",      "fees.tint",
                                          "fees.propset",  "fees.lantern_propset", "fees.retrieve_boat"};
    for (const std::string& model : modelKeys()) {
        priceKeys.push_back("fees.boat." + model);
    }
    for (const std::string& key : priceKeys) {
        const float price = configs.getFloat(key.c_str());
        EXPECT_GT(price, 0.0f) << key;
        EXPECT_LT(price, 1000.0f) << key;
    }
    for (const std::string& model : modelKeys()) {
        const std::string key = "boat_upgrades.health." + model;
        const float health = configs.getFloat(key.c_str());
        EXPECT_GT(health, 1000.0f) << key;
        EXPECT_LE(health, 1500.0f) << key;
    }

    const float multiplier = configs.getFloat("fees.sell_price_multiplier");
    EXPECT_GT(multiplier, 0.0f);
    EXPECT_LE(multiplier, 1.0f);
    EXPECT_GT(configs.getFloat("boat_robberies.guard_bonus"), 0.0f);
    const std::int32_t minReward = configs.getInt("boat_robberies.min_reward");
    EXPECT_GT(minReward, 0);
    EXPECT_LE(minReward, configs.getInt("boat_robberies.max_reward"));
    // Shown after " $" exactly as stored.
    EXPECT_GT(parseFloat(configs.getString("rent.fee")), 0.0f);
}

// Catches a starting record that counts as owning a boat (a missing model reads as -999) and
// tutorial flags that mark something as already seen.
TEST_F(ShippedAssetsTest, NewPlayerOwnsNoBoatAndHasSeenNothing) {
    const std::string boatPath = assetPath("PlayerBoat.dat");
    DictDataFile boat(boatPath.c_str());
    ASSERT_TRUE(boat.load());
    EXPECT_EQ(boat.getInt("owned_boat_model"), 0);

    const std::string flagsPath = assetPath("TutorialFlags.dat");
    DictDataFile flags(flagsPath.c_str());
    ASSERT_TRUE(flags.load());
    for (const char* tutorial : kTutorials) {
        EXPECT_FALSE(flags.getBool(tutorial)) << tutorial;
    }
}

// Catches a shipped Settings.ini with a line the loader reports as bad, a mistyped key, or
// values that differ from the built-in defaults.
TEST_F(ShippedAssetsTest, SettingsMatchTheDefaults) {
    const std::string path = assetPath("Settings.ini");
    loadSettings(path.c_str(), {});

    const std::vector<std::string> log = test::logMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"loading settings file: " + path, "settings file loaded"}));
    for (const auto& [key, value] : defaultSettings()) {
        EXPECT_EQ(getSettingString(key.c_str()), value) << key;
    }
}

// Catches a shipped translation that lacks a text of Lang.dat, leaves one empty, or cannot be read
// at all: that player would read English there, or nothing of his language.
TEST_F(ShippedAssetsTest, EveryTranslationHoldsEveryText) {
    const Layer english = readLayer(assetPath("Lang.dat"), "Lang.dat");
    ASSERT_EQ(english.state, Layer::State::read);
    for (const auto& file : std::filesystem::directory_iterator(kAssetsDir)) {
        const std::string name = file.path().filename().string();
        if (!name.starts_with("Lang.") || name == "Lang.dat" || name == "Lang.custom.dat") continue;
        const Layer translation = readLayer(file.path().string(), name);
        ASSERT_EQ(translation.state, Layer::State::read) << name << " line " << translation.badLine;
        for (const auto& [key, text] : english.entries) {
            const auto found = translation.entries.find(key);
            EXPECT_TRUE(found != translation.entries.end() && !found->second.value.empty())
                << name << ": " << key;
        }
    }
}

}  // namespace
}  // namespace tollmere
