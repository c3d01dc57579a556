// The list of rows: its first selection, walking it with down and up, and laying the rows out.

#include "menu/MenuList.h"
#include "menu/ShopMenuInput.h"
#include "unit/menu/MenuTestSupport.h"

#include <memory>
#include <vector>

namespace tollmere::testing {
namespace {

class MenuListTest : public MenuTest {
  protected:
    // Rows priced in dollars, all affordable with the test's cash unless said otherwise.
    std::vector<MenuInput*> makeRows(const std::vector<float>& prices,
                                     const std::vector<bool>& disabled = {}) {
        std::vector<MenuInput*> made;
        made.reserve(prices.size());
        for (std::size_t i = 0; i < prices.size(); ++i) {
            rows.push_back(std::make_unique<ShopMenuInput>(
                static_cast<std::int32_t>(i), prices[i], "Row", kRowLeft, kRowTop, kRowWidth, kRowHeight,
                nullptr, nullptr, kInnerMargin, kVerticalMargin, kHorizontalMargin, kFontScale));
            if (i < disabled.size() && disabled[i]) rows.back()->setDisabled(true);
            made.push_back(rows.back().get());
        }
        return made;
    }
    // Which rows carry the selected flag.
    static std::vector<bool> flags(const MenuList& list) {
        std::vector<bool> selected;
        selected.reserve(static_cast<std::size_t>(list.rowCount()));
        for (std::int32_t i = 0; i < list.rowCount(); ++i) {
            selected.push_back(list.rowAt(i)->isSelected());
        }
        return selected;
    }
    void frameWithPressAndUpdate(MenuList& list, Hash control) {
        frameWithPress(control);
        list.update();
    }

    std::vector<std::unique_ptr<ShopMenuInput>> rows;
};

struct StartCase {
    const char* name;
    std::vector<bool> disabled;
    int rowCount;
    int selected;  // -1: none
};

// Catches a list that skips a disabled first row at construction (nothing is selected then), one
// that selects nothing when the first row is enabled, and a selected flag left unset on the row.
TEST_F(MenuListTest, TheFirstRowIsSelectedAtConstructionUnlessItIsDisabled) {
    const StartCase cases[] = {
        {"first enabled", {false, false}, 2, 0},
        {"first disabled", {true, false}, 2, -1},
        {"empty", {}, 0, -1},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        MenuList list(makeRows(std::vector<float>(static_cast<std::size_t>(c.rowCount), 1.0f), c.disabled));
        EXPECT_EQ(list.getSelectedRow(), list.rowAt(c.selected));
        std::vector<bool> expected(static_cast<std::size_t>(c.rowCount), false);
        if (c.selected >= 0) expected[static_cast<std::size_t>(c.selected)] = true;
        EXPECT_EQ(flags(list), expected);
    }
}

struct WalkStep {
    const char* name;
    Hash control;
    std::int32_t selected;
};

// Catches disabled rows selected on the way, wrap-around at either end, a press without its sound
// when the selection cannot move, and controls read with the plain query, which answers nothing
// while the catalogue has the player's controls off.
TEST_F(MenuListTest, DownAndUpSkipDisabledRowsStopAtTheEndsAndAlwaysSound) {
    MenuList list(makeRows({1, 1, 1, 1, 1}, {true, false, true, false, true}));
    ASSERT_EQ(list.getSelectedRow(), nullptr);
    const WalkStep steps[] = {
        {"down from the disabled first row", kDownControl, 1},
        {"down over a disabled row", kDownControl, 3},
        {"down with only disabled rows below", kDownControl, 3},
        {"up over a disabled row", kUpControl, 1},
        {"up with only a disabled row above", kUpControl, 1},
    };
    int presses = 0;
    for (const WalkStep& step : steps) {
        SCOPED_TRACE(step.name);
        frameWithPressAndUpdate(list, step.control);
        ++presses;
        EXPECT_EQ(list.getSelectedRow(), list.rowAt(step.selected));
        std::vector<bool> expected(5, false);
        expected[static_cast<std::size_t>(step.selected)] = true;
        EXPECT_EQ(flags(list), expected);
        EXPECT_EQ(soundsPlayed("INFO"), presses);
    }
}

// Catches rows stacked by a fixed height or from the rows' own y instead of the list's top, a
// height sum that misses a row, and a row look-up that reads past either end.
TEST_F(MenuListTest, RowsAreLaidOutDownFromTheTopByTheirHeights) {
    MenuList list;
    rows.push_back(std::make_unique<ShopMenuInput>(1, 1.0f, "Tall", 0.049f, 0.9f, 0.172f, 0.05f, nullptr,
                                                   nullptr, 0.005f, 0.005f, 0.0f, 0.34f));
    rows.push_back(std::make_unique<ShopMenuInput>(2, 1.0f, "Short", 0.049f, 0.9f, 0.172f, 0.03f, nullptr,
                                                   nullptr, 0.005f, 0.005f, 0.0f, 0.34f));
    rows.push_back(std::make_unique<ShopMenuInput>(3, 1.0f, "Last", 0.049f, 0.9f, 0.172f, 0.05f, nullptr,
                                                   nullptr, 0.005f, 0.005f, 0.0f, 0.34f));
    for (const auto& row : rows) {
        list.addRow(row.get());
    }
    list.setTop(0.2f);
    nextFrame();
    list.update();

    EXPECT_FLOAT_EQ(list.totalHeight(), 0.13f);
    const float tops[] = {0.2f, 0.25f, 0.28f};
    for (std::int32_t i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(list.rowAt(i)->y(), tops[i]) << i;
    }
    EXPECT_EQ(drawn().texts()[0]->text, "Tall");
    EXPECT_EQ(list.rowAt(-1), nullptr);
    EXPECT_EQ(list.rowAt(3), nullptr);
    EXPECT_EQ(list.rowCount(), 3);
}

// Catches a selection left on a row that the player can no longer pay for until he presses a
// control, and one moved on a frame late.
TEST_F(MenuListTest, ASelectedRowThatBecomesUnaffordableHandsTheSelectionOn) {
    MenuList list(makeRows({50, 100, 5}));
    ASSERT_EQ(list.getSelectedRow(), list.rowAt(0));
    world.cashCents = 1000;
    nextFrame();
    list.update();
    EXPECT_EQ(list.getSelectedRow(), list.rowAt(2));
    EXPECT_EQ(flags(list), (std::vector<bool>{false, false, true}));
    // Out of reach with none after it, it hands the selection back up; with none at all, to none.
    world.cashCents = 400;
    nextFrame();
    list.update();
    EXPECT_EQ(list.getSelectedRow(), nullptr);
}

// Catches selectFirstEnabled keeping an old selection when no row can be selected, trySelect moving
// onto a disabled row or past the end, and the flag of the row left behind not cleared.
TEST_F(MenuListTest, SelectingByIndexTakesOnlyEnabledRows) {
    MenuList list(makeRows({1, 1, 1}, {false, true, false}));
    EXPECT_FALSE(list.trySelect(1));
    EXPECT_FALSE(list.trySelect(3));
    EXPECT_FALSE(list.trySelect(-1));
    EXPECT_EQ(list.getSelectedRow(), list.rowAt(0));
    EXPECT_TRUE(list.selectNext());
    EXPECT_EQ(flags(list), (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(list.selectNext());

    list.rowAt(0)->setDisabled(true);
    list.selectFirstEnabled();
    EXPECT_EQ(list.getSelectedRow(), list.rowAt(2));
    list.rowAt(2)->setDisabled(true);
    list.selectFirstEnabled();
    EXPECT_EQ(list.getSelectedRow(), nullptr);

    // With nothing selected, the next row looked for is the first.
    list.rowAt(0)->setDisabled(false);
    EXPECT_TRUE(list.selectNext());
    EXPECT_EQ(list.getSelectedRow(), list.rowAt(0));
}

}  // namespace
}  // namespace tollmere::testing
