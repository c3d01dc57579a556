#include "menu/MenuInput.h"

#include "host/Natives.h"
#include "host/ScreenText.h"

namespace tollmere {

namespace {

constexpr Hash kSelectControl = 0xC7B5340A;
constexpr Colour kFrameColour{220, 0, 0, 255};
constexpr float kFrameThickness = 0.015f;
constexpr float kFrameSideWidth = 0.006f;
constexpr std::int32_t kDimmedAlpha = 100;
constexpr std::int32_t kFullAlpha = 255;

void drawFramePart(const char* texture, float x, float y, float width, float height) {
    drawSprite("menu_textures", texture, x, y, width, height, 0.0f, kFrameColour.r, kFrameColour.g,
               kFrameColour.b, kFrameColour.a);
}

}  // namespace

MenuInput::MenuInput(std::int32_t id, const char* title, float x, float y, float width, float height,
                     SelectCallback onSelect, ChangeCallback onChange, float innerMargin,
                     float verticalMargin, float horizontalMargin, float fontScale)
    : MenuComponent(x, y, width, height),
      id_(id),
      innerMargin_(innerMargin),
      verticalMargin_(verticalMargin),
      horizontalMargin_(horizontalMargin),
      title_(title),
      fontScale_(fontScale),
      onSelect_(onSelect),
      onChange_(onChange) {}

void MenuInput::setValue(std::int32_t value) {
    if (!isValidValue(value)) return;
    const std::int32_t previous = value_;
    value_ = value;
    onValueChanged();
    if (onChange_ != nullptr) onChange_(*this, previous);
}

void MenuInput::setDisabled(bool disabled) {
    disabled_ = disabled;
    textColour_.a = isDisabled() ? kDimmedAlpha : kFullAlpha;
    if (isDisabled()) selected_ = false;
}

void MenuInput::setHeldBack(bool heldBack) {
    heldBack_ = heldBack;
    textColour_.a = isDisabled() ? kDimmedAlpha : kFullAlpha;
    if (isDisabled()) selected_ = false;
}

void MenuInput::draw() {
    handleInput();

    drawSprite("generic_textures", "selection_box_bg_1d", x_ + horizontalMargin_, y_ + verticalMargin_,
               width_ - horizontalMargin_, height_ - verticalMargin_, 0.0f, backgroundColour_.r,
               backgroundColour_.g, backgroundColour_.b, backgroundColour_.a);

    if (selected_) {
        drawFramePart("crafting_highlight_t", x_, y_, width_, kFrameThickness);
        drawFramePart("crafting_highlight_b", x_, y_ + height_ - verticalMargin_ - innerMargin_, width_,
                      kFrameThickness);
        drawFramePart("crafting_highlight_l", x_ - 0.003f, y_ + verticalMargin_, kFrameSideWidth,
                      height_ - verticalMargin_);
        drawFramePart("crafting_highlight_r", x_ + width_ - 0.003f, y_ + verticalMargin_, kFrameSideWidth,
                      height_ - verticalMargin_);
    }

    drawContents();

    // The controls are read last and only for a row that could be bought, so an ordinary frame
    // costs no control query per row.
    if (!isDisabled() && selected_ && value_ != appliedValue_ &&
        (native::isControlJustPressed(0, kSelectControl) ||
         native::isDisabledControlJustPressed(0, kSelectControl))) {
        playMenuSound("HUD_SHOP_SOUNDSET", "SELECT");
        if (onSelect_ != nullptr) onSelect_(*this);
    }
}

}  // namespace tollmere
