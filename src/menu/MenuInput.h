#pragma once
// A menu row: a background box, a red frame while selected, contents drawn by the row class, and
// the select control. Rows are created by their owner at start-up and live for the process.

#include "menu/MenuComponent.h"

#include <cstdint>

namespace tollmere {

class MenuInput : public MenuComponent {
  public:
    // Plain function pointers: callbacks reach the rest of the plug-in through its singletons.
    // The row is passed as the class that holds the callbacks; an owner that needs a derived
    // row's data (a price) reaches it through its own pointer to the row.
    using SelectCallback = void (*)(MenuInput& row);
    // Runs after the new value is stored, with the value it replaced.
    using ChangeCallback = void (*)(MenuInput& row, std::int32_t previousValue);

    // title is not copied: it points into the language table, which outlives every row. Either
    // callback may be nullptr. The row starts enabled, not selected, with value 0 and no value
    // applied (-1).
    MenuInput(std::int32_t id, const char* title, float x, float y, float width, float height,
              SelectCallback onSelect, ChangeCallback onChange, float innerMargin, float verticalMargin,
              float horizontalMargin, float fontScale);

    std::int32_t id() const { return id_; }
    const char* title() const { return title_; }
    std::int32_t getValue() const { return value_; }

    // Disabled rows are dimmed (text alpha 100) and cannot be selected; disabling also drops the
    // selected flag. Enabling restores full alpha but does not select the row again. The owner's
    // switch; a row may also hold itself back (see setHeldBack), and is disabled while either is on.
    void setDisabled(bool disabled);
    bool isDisabled() const { return disabled_ || heldBack_; }

    // The list that walks the rows sets this; an owner may set it directly as well.
    void setSelected(bool selected) { selected_ = selected; }
    bool isSelected() const { return selected_; }

    // The value already in effect (the owned option): while the row's value equals it, the row
    // shows a tick instead of a price and the select control does nothing.
    void setAppliedValue(std::int32_t value) { appliedValue_ = value; }
    std::int32_t appliedValue() const { return appliedValue_; }

    // Shown by the owner under the list while the row is selected; nullptr when there is none.
    // Not copied, like the title.
    void setDescription(const char* description) { description_ = description; }
    const char* description() const { return description_; }

    // One frame of the row, in this order: input, background, the frame when selected, contents,
    // then the select control. Contents run before the select control because drawing them may
    // disable the row (a price the player cannot pay), and a disabled row must not be bought in
    // the same frame. Selecting plays "SELECT" and calls onSelect; it needs the row enabled,
    // selected and its value different from the applied one, and only such a row reads the
    // select control at all.
    void draw() override;

    // A value that isValidValue refuses leaves the row as it is. Otherwise the value is stored,
    // onValueChanged runs, then onChange with the previous value (even when it is the same).
    virtual void setValue(std::int32_t value);

  protected:
    // The hooks below are declared in their virtual-table order; new ones go after them.

    // Runs first in every frame of draw; rows without controls of their own do nothing.
    virtual void handleInput() {}
    // Every value is accepted unless a row class narrows the range.
    virtual bool isValidValue(std::int32_t) const { return true; }
    // Lets a row class react to a new value before the owner's onChange hears of it.
    virtual void onValueChanged() {}
    // The title, price and value: everything inside the row's box.
    virtual void drawContents() = 0;

    // The row's own reason to be disabled, worked out anew each frame (a price the player cannot
    // pay today may be paid tomorrow), apart from the owner's switch.
    void setHeldBack(bool heldBack);

    // Where the row's texts start: inside the margins, a sixth of the height down.
    float textX() const { return x_ + horizontalMargin_ + innerMargin_; }
    float textY() const { return y_ + verticalMargin_ + height_ / 6.0f; }

    std::int32_t id_;
    float innerMargin_;
    float verticalMargin_;
    float horizontalMargin_;
    const char* title_;
    float fontScale_;
    bool selected_ = false;
    std::int32_t appliedValue_ = -1;
    const char* description_ = nullptr;
    bool disabled_ = false;
    bool heldBack_ = false;
    std::int32_t value_ = 0;
    SelectCallback onSelect_;
    ChangeCallback onChange_;
};

}  // namespace tollmere
