#pragma once
// A vertical list of rows that the player walks with the down and up controls. The list lays its
// rows out from its top and draws them every frame; it keeps only the selection between frames.

#include "menu/MenuInput.h"

#include <cstdint>
#include <vector>

namespace tollmere {

class MenuList {
  public:
    // Nothing selected.
    MenuList() = default;
    // The rows are not owned; they must outlive the list (both live for the process). The first
    // row is selected unless it is disabled, in which case nothing is: the player's first press
    // of down then picks the first enabled row after it.
    explicit MenuList(std::vector<MenuInput*> rows);
    // The list hands out its rows by address: no copies.
    MenuList(const MenuList&) = delete;
    MenuList& operator=(const MenuList&) = delete;

    // Appends a row; it is laid out and drawn from the next update on. The selection is untouched.
    void addRow(MenuInput* row);
    // nullptr when index is negative or past the end.
    MenuInput* rowAt(std::int32_t index) const;
    std::int32_t rowCount() const { return static_cast<std::int32_t>(rows_.size()); }
    // nullptr when nothing is selected.
    MenuInput* getSelectedRow() const { return selectedRow_; }
    // The rows' heights added up: where the list ends below its top.
    float totalHeight() const;
    void setTop(float y) { top_ = y; }

    // Selects the row at index if it exists and is enabled, moving the selected flag from the
    // previous row; false otherwise, and nothing changes.
    bool trySelect(std::int32_t index);
    // Selects the first enabled row after the current index; false at the end (no wrap-around).
    bool selectNext();
    // Selects the first enabled row; when there is none, nothing is selected.
    void selectFirstEnabled();

    // One frame, called by the owner while the menu is shown: draws the rows top down, moves the
    // selection off a row that has become disabled, then reads down (or else up) with the
    // disabled-control query and plays "INFO" on each press, even when the selection cannot move.
    void update();

  private:
    std::vector<MenuInput*> rows_;
    // selectNext continues from here; it stays at 0 when a disabled first row leaves nothing
    // selected, and is -1 only after selectFirstEnabled found no row.
    std::int32_t selectedIndex_ = 0;
    MenuInput* selectedRow_ = nullptr;
    float top_ = 0.0f;
};

}  // namespace tollmere
