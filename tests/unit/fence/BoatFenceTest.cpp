// What a boat fetches at the fence.

#include "data/DataFiles.h"
#include "data/Settings.h"
#include "fence/BoatFence.h"
#include "unit/host/DirectGame.h"

#include <limits>

namespace tollmere::testing {
namespace {

struct ValueCase {
    const char* name;
    std::int32_t storedValue;     // 0: none, priced from the catalogue
    std::int32_t health;          // of 1000
    const char* multiplier;       // "BoatRobberiesRewardMultiplier"
    bool lantern;
    bool propSet;
    const char* modelPrice;       // "fees.boat." of the model, nullptr when missing
    std::int32_t expected;
    friend std::ostream& operator<<(std::ostream& out, const ValueCase& c) { return out << c.name; }
};

class BoatValueTest : public DirectGameTest, public ::testing::WithParamInterface<ValueCase> {
protected:
    void SetUp() override {
        for (const char* name : {"QY_RB_isPlayerBoat", "QY_RB_isBoatSold", "QY_RB_boatValue"}) {
            world.decorators[name] = 3;
        }
        LangData = &lang;
        ConfigsData = &configs;
        configs.setString("fees.lantern_propset", "15.5");
        configs.setString("fees.propset", "20");
        configs.setString("fees.sell_price_multiplier", "0.5");
    }
    void TearDown() override {
        LangData = nullptr;
        ConfigsData = nullptr;
    }

    DictDataFile lang{"unused/Lang.dat"};
    DictDataFile configs{"unused/Configs.dat"};
};

// Catches a step of the value formula done in the wrong precision, order or rounding, a stored
// value ignored, or a boat priced below nothing charging the seller.
TEST_P(BoatValueTest, FollowsThePriceRules) {
    const ValueCase& c = GetParam();
    auto settings = defaultSettings();
    settings["BoatRobberiesRewardMultiplier"] = c.multiplier;
    loadSettings("unused/Settings.ini", settings);
    if (c.modelPrice != nullptr) configs.setString("fees.boat.-397513868", c.modelPrice);

    const std::uint32_t boat = world.createVehicle(0xE84E6B74u, sim::Vec3{}, 0.0f);
    sim::Entity& entity = *world.entity(boat);
    entity.health = c.health;
    if (c.storedValue != 0) entity.decorators["QY_RB_boatValue"] = c.storedValue;
    if (c.lantern) entity.lanternPropSet = 0x1234;
    if (c.propSet) entity.propSet = 0x5678;

    BoatFence fence;
    EXPECT_EQ(fence.computeBoatValue(boat), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    , BoatValueTest,
    ::testing::Values(ValueCase{"storedValue", 120, 1000, "1.0", false, false, "100", 120},
                      ValueCase{"storedValueAtHalfHealth", 120, 500, "1.0", false, false, "100", 60},
                      ValueCase{"noMultiplier", 120, 1000, "0.0", false, false, "100", 0},
                      ValueCase{"emptyMultiplier", 120, 1000, "", false, false, "100", 0},
                      ValueCase{"catalogueWithExtras", 0, 1000, "1.0", true, true, "100", 65},
                      ValueCase{"catalogueBare", -5, 1000, "1.0", false, false, "100", 50},
                      ValueCase{"noPriceIsWorthNothing", 0, 1000, "1.0", false, false, nullptr, 0},
                      ValueCase{"hugeStoredValue", std::numeric_limits<std::int32_t>::max(), 1000, "3.0", false,
                                false, "100", std::numeric_limits<std::int32_t>::max()}),
    [](const auto& info) { return std::string(info.param.name); });

struct RoundingCase {
    float value;
    std::int32_t expected;
};

// Catches rounding to the nearest multiple of 5 done up at the wrong remainder.
TEST(RoundToMultiple, RoundsUpFromARemainderOfThree) {
    for (const RoundingCase& c : {RoundingCase{2.9f, 0}, RoundingCase{3.0f, 5}, RoundingCase{7.9f, 5},
                                  RoundingCase{8.0f, 10}, RoundingCase{0.0f, 0}}) {
        EXPECT_EQ(roundToMultiple(c.value, 5), c.expected) << c.value;
    }
}

}  // namespace
}  // namespace tollmere::testing
