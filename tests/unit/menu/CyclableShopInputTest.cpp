// A row whose value the player steps through: its range, its controls, its price and its value.

#include "menu/CyclableShopInput.h"
#include "unit/menu/MenuTestSupport.h"

#include <memory>
#include <utility>
#include <vector>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::unique_ptr<CyclableShopInput> makeRow(std::int32_t maxValue, bool allowNone, float price = 4.5f) {
    return std::make_unique<CyclableShopInput>(4, price, "Prop set", maxValue, kRowLeft, kRowTop, kRowWidth,
                                               kRowHeight, recordSelect, recordChange, allowNone,
                                               kInnerMargin, kVerticalMargin, kHorizontalMargin, kFontScale);
}

using CyclableShopInputTest = MenuTest;

struct RangeCase {
    const char* name;
    bool allowNone;
    std::int32_t value;
    bool accepted;
};

// Catches "none" accepted on a row without it (or refused on one with it), a range that ends one
// short or one past maxValue, a negative value let through, and a refused value that still reaches
// the owner's onChange.
TEST_F(CyclableShopInputTest, OnlyValuesInTheRowsRangeAreTaken) {
    const RangeCase cases[] = {
        {"none without none", false, 0, false},
        {"lowest without none", false, 1, true},
        {"highest", false, 3, true},
        {"past the highest", false, 4, false},
        {"negative", false, -1, false},
        {"none with none", true, 0, true},
        {"negative with none", true, -1, false},
        {"past the highest with none", true, 4, false},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        heard = HeardCallbacks{};
        auto row = makeRow(3, c.allowNone);
        const std::int32_t start = row->getValue();
        EXPECT_EQ(start, c.allowNone ? 0 : 1);
        row->setValue(c.value);
        EXPECT_EQ(row->getValue(), c.accepted ? c.value : start);
        if (c.accepted) {
            EXPECT_THAT(heard.changes, ElementsAre(std::make_pair(start, c.value)));
        } else {
            EXPECT_THAT(heard.changes, IsEmpty());
        }
    }
}

struct StepCase {
    Hash control;
    std::int32_t value;
    int changes;
};

// Catches wrap-around at either end, a step that plays no sound when it is refused, controls read
// while the row is not selected, and a row that only hears them with the player's controls on.
TEST_F(CyclableShopInputTest, TheSelectedRowStepsWithinItsRangeWithASoundPerPress) {
    for (const bool allowNone : {false, true}) {
        SCOPED_TRACE(allowNone ? "with none" : "without none");
        heard = HeardCallbacks{};
        world.screen.sounds.clear();
        const std::int32_t lowest = allowNone ? 0 : 1;
        const std::int32_t highest = lowest + 2;
        auto row = makeRow(highest, allowNone);
        const StepCase steps[] = {
            {kDecreaseControl, lowest, 0},  {kIncreaseControl, lowest + 1, 1}, {kIncreaseControl, highest, 2},
            {kIncreaseControl, highest, 2}, {kDecreaseControl, lowest + 1, 3},
        };
        row->setSelected(true);
        int presses = 0;
        for (const StepCase& step : steps) {
            frameWithPress(step.control);
            row->draw();
            ++presses;
            EXPECT_EQ(row->getValue(), step.value) << "after press " << presses;
            EXPECT_EQ(static_cast<int>(heard.changes.size()), step.changes) << "after press " << presses;
            EXPECT_EQ(soundsPlayed("INFO"), presses);
        }

        row->setSelected(false);
        frameWithPress(kIncreaseControl);
        row->draw();
        EXPECT_EQ(row->getValue(), lowest + 1) << "a row that is not selected ignores the controls";
        EXPECT_EQ(soundsPlayed("INFO"), presses);
    }
}

// Catches "none" drawn as 0 or not centred, "none" charged at the row's price, the price of the
// other values lost, and the value text missing on a row without a price (the tick).
TEST_F(CyclableShopInputTest, NoneIsFreeAndDrawnFromTheLanguageFile) {
    auto row = makeRow(2, true, 4.5f);
    EXPECT_EQ(row->getPrice(), 0.0f);
    nextFrame();
    row->draw();
    EXPECT_THAT(drawnTexts(), ElementsAre("Prop set", "$0", "00", "None"));
    const sim::DrawnText* none = drawn().findText("None");
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->centred);
    EXPECT_NEAR(none->x, kRowLeft + kRowWidth / 2.0f, kPositionTolerance);
    EXPECT_NEAR(none->y, kTextTop, kPositionTolerance);
    EXPECT_EQ(none->font, "$body");
    EXPECT_FLOAT_EQ(none->scaleX, kFontScale);

    row->setValue(2);
    EXPECT_EQ(row->getPrice(), 4.5f);
    nextFrame();
    row->draw();
    EXPECT_THAT(drawnTexts(), ElementsAre("Prop set", "$4", "50", "2"));

    row->setAppliedValue(2);
    nextFrame();
    row->draw();
    EXPECT_THAT(drawnTexts(), ElementsAre("Prop set", "2"));
}

}  // namespace
}  // namespace tollmere::testing
