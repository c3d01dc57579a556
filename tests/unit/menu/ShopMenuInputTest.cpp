// A shop row's frame: background, selection frame, title, price or tick, and the select control.

#include "menu/ShopMenuInput.h"
#include "unit/menu/MenuTestSupport.h"

#include <limits>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;

constexpr sim::Rgba kTextColour{210, 210, 210, 255};
constexpr sim::Rgba kDimmedTextColour{210, 210, 210, 100};
constexpr sim::Rgba kFrameColour{220, 0, 0, 255};
constexpr sim::Rgba kUnderlineColour{229, 229, 229, 255};

std::unique_ptr<ShopMenuInput> makeRow(float price) {
    return std::make_unique<ShopMenuInput>(7, price, "Rowboat", kRowLeft, kRowTop, kRowWidth, kRowHeight,
                                           recordSelect, nullptr, kInnerMargin, kVerticalMargin,
                                           kHorizontalMargin, kFontScale);
}

using ShopMenuInputTest = MenuTest;

// Catches a phase out of order (the frame over the contents, the background over the frame), a
// frame drawn around a row that is not selected, and any misplaced or miscoloured box or text.
TEST_F(ShopMenuInputTest, ARowDrawsBackgroundFrameTitleAndPriceInThatOrderAndPlace) {
    for (const bool selected : {true, false}) {
        SCOPED_TRACE(selected ? "selected" : "not selected");
        auto row = makeRow(12.5f);
        row->setSelected(selected);
        nextFrame();
        row->draw();

        std::vector<SpriteBox> boxes{
            {"selection_box_bg_1d", 0.049f, 0.214f, 0.172f, 0.045f, {36, 38, 36, 230}}};
        if (selected) {
            boxes.push_back({"crafting_highlight_t", 0.049f, 0.209f, 0.172f, 0.015f, kFrameColour});
            boxes.push_back({"crafting_highlight_b", 0.049f, 0.249f, 0.172f, 0.015f, kFrameColour});
            boxes.push_back({"crafting_highlight_l", 0.046f, 0.214f, 0.006f, 0.045f, kFrameColour});
            boxes.push_back({"crafting_highlight_r", 0.218f, 0.214f, 0.006f, 0.045f, kFrameColour});
        }
        boxes.push_back({"divider_line", 0.2025f, kTextTop + 0.02f, 0.01f, 0.0015f, kUnderlineColour});

        // The boxes come before the texts, the underline of the cents after them.
        const auto& draws = drawn().draws;
        ASSERT_EQ(draws.size(), boxes.size() + 3);
        for (std::size_t i = 0; i + 1 < boxes.size(); ++i) {
            ASSERT_TRUE(std::holds_alternative<sim::DrawnSprite>(draws[i])) << i;
            expectSprite(std::get<sim::DrawnSprite>(draws[i]), boxes[i]);
        }
        ASSERT_TRUE(std::holds_alternative<sim::DrawnSprite>(draws.back()));
        expectSprite(std::get<sim::DrawnSprite>(draws.back()), boxes.back());
        EXPECT_EQ(std::get<sim::DrawnSprite>(draws[0]).dictionary, "generic_textures");
        EXPECT_EQ(std::get<sim::DrawnSprite>(draws.back()).dictionary, "menu_textures");

        const auto texts = drawn().texts();
        ASSERT_EQ(texts.size(), 3u);
        struct Expected {
            const char* text;
            float x, y, scale;
            const char* font;
        };
        const Expected expected[] = {
            {"Rowboat", kTextLeft, kTextTop, 0.34f, "$body"},
            {"$12", 0.1765f, kTextTop, 0.34f * 1.4f, "$title"},
            {"50", 0.201f, kTextTop + 0.001f, 0.34f * 0.92f, "$title"},
        };
        for (std::size_t i = 0; i < texts.size(); ++i) {
            SCOPED_TRACE(expected[i].text);
            EXPECT_EQ(texts[i]->text, expected[i].text);
            EXPECT_NEAR(texts[i]->x, expected[i].x, kPositionTolerance);
            EXPECT_NEAR(texts[i]->y, expected[i].y, kPositionTolerance);
            EXPECT_FLOAT_EQ(texts[i]->scaleX, expected[i].scale);
            EXPECT_FLOAT_EQ(texts[i]->scaleY, expected[i].scale);
            EXPECT_EQ(texts[i]->font, expected[i].font);
            EXPECT_EQ(texts[i]->colour, kTextColour);
            EXPECT_FALSE(texts[i]->centred);
        }
    }
}

struct PriceCase {
    const char* name;
    float price;
    const char* dollars;
    const char* cents;  // nullptr: not promised
    float dollarsX;     // moves left one step per extra digit; the cents stay put
};

// Catches cents without their leading zero, cents a float holds just below shown a cent low, the
// dollar amount not moving left for its digits, and a price past the 32-bit range shown otherwise
// than it is charged.
TEST_F(ShopMenuInputTest, APriceIsDrawnAsDollarsAndTwoDigitCents) {
    const PriceCase cases[] = {
        {"half dollars", 12.5f, "$12", "50", 0.1765f},
        {"quarter", 7.25f, "$7", "25", 0.184f},
        {"free", 0.0f, "$0", "00", 0.184f},
        {"cents below ten", 5.0625f, "$5", "06", 0.184f},
        {"four digits", 1234.75f, "$1234", "75", 0.1615f},
        {"cents a float holds just below", 1.05f, "$1", "05", 0.184f},
        // Past the 32-bit range of cents a purchase charges the most it can, and the row shows that.
        {"cents past the 32-bit range", 1.0e8f, "$21474836", "47", 0.1315f},
        {"past the float range times 100", std::numeric_limits<float>::max(), "$21474836", "47", 0.1315f},
    };
    for (const PriceCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto row = makeRow(c.price);
        world.cashCents = std::numeric_limits<std::int32_t>::max();
        nextFrame();
        row->draw();
        const auto texts = drawn().texts();
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_EQ(texts[1]->text, c.dollars);
        EXPECT_NEAR(texts[1]->x, c.dollarsX, kPositionTolerance);
        if (c.cents != nullptr) EXPECT_EQ(texts[2]->text, c.cents);
        EXPECT_NEAR(texts[2]->x, 0.201f, kPositionTolerance);
    }
}

// Catches a price drawn for the option already owned, a tick out of place, and a tick that does not
// dim with the row.
TEST_F(ShopMenuInputTest, TheAppliedValueShowsATickInsteadOfThePrice) {
    auto row = makeRow(12.5f);
    row->setAppliedValue(0);
    nextFrame();
    row->draw();
    EXPECT_THAT(drawnTexts(), ElementsAre("Rowboat"));
    EXPECT_THAT(drawnTextures(), ElementsAre("selection_box_bg_1d", "menu_icon_tick"));
    const sim::DrawnSprite* tick = findSprite("menu_icon_tick");
    ASSERT_NE(tick, nullptr);
    EXPECT_EQ(tick->dictionary, "menu_textures");
    expectSprite(*tick, {"menu_icon_tick", 0.204f, 0.2244f, 0.012f, 0.0192f, kTextColour});
}

struct CashCase {
    const char* name;
    std::int64_t cashCents;
    float price;
    bool disabled;
};

// Catches a comparison off by one cent or in dollars, a row dimmed only from the next frame, and a
// row that stays dimmed once the player has the cash.
TEST_F(ShopMenuInputTest, ARowIsDimmedAndDisabledAsSoonAsThePlayerCannotPay) {
    const CashCase cases[] = {
        {"exactly the price", 1250, 12.5f, false},
        {"one cent short", 1249, 12.5f, true},
        {"broke and free", 0, 0.0f, false},
        {"broke", 0, 0.01f, true},
    };
    for (const CashCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto row = makeRow(c.price);
        row->setSelected(true);
        world.cashCents = c.cashCents;
        nextFrame();
        row->draw();
        EXPECT_EQ(row->isDisabled(), c.disabled);
        EXPECT_EQ(row->isSelected(), !c.disabled);
        ASSERT_FALSE(drawn().texts().empty());
        EXPECT_EQ(drawn().texts()[0]->colour, c.disabled ? kDimmedTextColour : kTextColour);

        world.cashCents = 1'000'000;
        nextFrame();
        row->draw();
        EXPECT_FALSE(row->isDisabled()) << "the row comes back once the player can pay";
        EXPECT_EQ(drawn().texts()[0]->colour, kTextColour);
    }
}

struct SelectCase {
    const char* name;
    bool selected;
    bool disabledByOwner;
    bool alreadyApplied;
    std::int64_t cashCents;
    bool playerControl;
    bool pressed;
    bool selects;
};

// Catches selecting a row that is not selected, disabled, already owned or just found unaffordable
// (the select control must be read after the contents), a select control read only one way, so
// that it is missed while the player's controls are off or on, and a purchase without its sound.
TEST_F(ShopMenuInputTest, TheSelectControlBuysOnlyASelectedEnabledRowNotYetApplied) {
    const SelectCase cases[] = {
        {"controls off", true, false, false, 1'000'000, false, true, true},
        {"controls on", true, false, false, 1'000'000, true, true, true},
        {"not pressed", true, false, false, 1'000'000, false, false, false},
        {"not selected", false, false, false, 1'000'000, false, true, false},
        {"disabled by the owner", true, true, false, 1'000'000, false, true, false},
        {"already applied", true, false, true, 1'000'000, false, true, false},
        {"unaffordable this frame", true, false, false, 100, false, true, false},
    };
    for (const SelectCase& c : cases) {
        SCOPED_TRACE(c.name);
        heard = HeardCallbacks{};
        world.screen.sounds.clear();
        auto row = makeRow(12.5f);
        if (c.disabledByOwner) row->setDisabled(true);
        row->setSelected(c.selected);
        if (c.alreadyApplied) row->setAppliedValue(row->getValue());
        world.cashCents = c.cashCents;
        world.player.control = c.playerControl;
        if (c.pressed) {
            frameWithPress(kSelectControl);
        } else {
            nextFrame();
        }
        row->draw();
        EXPECT_EQ(heard.selects, c.selects ? 1 : 0);
        EXPECT_EQ(soundsPlayed("SELECT"), c.selects ? 1 : 0);
        if (c.selects) EXPECT_EQ(heard.selectedRow, row.get());
    }
}

// Catches per-frame waste: a row that is not selected needs the player's cash once and no control,
// and a selected row that cannot be bought needs no control either.
TEST_F(ShopMenuInputTest, ARowAsksTheGameOnlyWhatItsFrameNeeds) {
    auto idle = makeRow(12.5f);
    auto owned = makeRow(12.5f);
    owned->setSelected(true);
    owned->setAppliedValue(owned->getValue());
    for (ShopMenuInput* row : {idle.get(), owned.get()}) {
        nextFrame();
        const std::size_t cash = callCount("getPlayerCash");
        const std::size_t controls =
            callCount("isControlJustPressed") + callCount("isDisabledControlJustPressed");
        row->draw();
        EXPECT_EQ(callCount("getPlayerCash"), cash + 1);
        EXPECT_EQ(callCount("isControlJustPressed") + callCount("isDisabledControlJustPressed"), controls);
    }
}

}  // namespace
}  // namespace tollmere::testing
