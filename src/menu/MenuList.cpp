#include "menu/MenuList.h"

#include "host/Natives.h"
#include "host/ScreenText.h"

#include <utility>

namespace tollmere {

namespace {

constexpr Hash kDownControl = 0x05CA7C52;
constexpr Hash kUpControl = 0x6319DB71;

}  // namespace

MenuList::MenuList(std::vector<MenuInput*> rows) : rows_(std::move(rows)) {
    if (!rows_.empty() && !rows_.front()->isDisabled()) {
        selectedRow_ = rows_.front();
        selectedRow_->setSelected(true);
    }
}

void MenuList::addRow(MenuInput* row) {
    rows_.push_back(row);
}

MenuInput* MenuList::rowAt(std::int32_t index) const {
    if (index < 0 || index >= rowCount()) return nullptr;
    return rows_[static_cast<std::size_t>(index)];
}

float MenuList::totalHeight() const {
    float total = 0.0f;
    for (const MenuInput* row : rows_) {
        total += row->height();
    }
    return total;
}

bool MenuList::trySelect(std::int32_t index) {
    MenuInput* row = rowAt(index);
    if (row == nullptr || row->isDisabled()) return false;
    if (selectedRow_ != nullptr) selectedRow_->setSelected(false);
    row->setSelected(true);
    selectedIndex_ = index;
    selectedRow_ = row;
    return true;
}

bool MenuList::selectNext() {
    for (std::int32_t i = selectedIndex_ + 1; i < rowCount(); ++i) {
        if (trySelect(i)) return true;
    }
    return false;
}

void MenuList::selectFirstEnabled() {
    for (std::int32_t i = 0; i < rowCount(); ++i) {
        if (trySelect(i)) return;
    }
    selectedIndex_ = -1;
    selectedRow_ = nullptr;
}

void MenuList::update() {
    float cursor = top_;
    for (MenuInput* row : rows_) {
        row->setY(cursor);
        row->draw();
        cursor += row->height();
    }

    // Drawing may just have disabled the selected row (the player can no longer pay for it). The
    // selection moves on, else back to the first row he can choose, else to none: a disabled row
    // left as the selection kept its frame off and the select key dead once he could pay again.
    if (selectedRow_ != nullptr && selectedRow_->isDisabled() && !selectNext()) selectFirstEnabled();

    // The disabled-control query answers whether the player's controls are on or off, and the
    // catalogue turns them off while it is open.
    if (native::isDisabledControlJustPressed(0, kDownControl)) {
        playMenuSound("HUD_SHOP_SOUNDSET", "INFO");
        selectNext();
        return;
    }
    if (native::isDisabledControlJustPressed(0, kUpControl)) {
        playMenuSound("HUD_SHOP_SOUNDSET", "INFO");
        for (std::int32_t i = selectedIndex_ - 1; i >= 0; --i) {
            if (trySelect(i)) break;
        }
    }
}

}  // namespace tollmere
