#include "menu/CyclableShopInput.h"

#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "host/Natives.h"
#include "host/ScreenText.h"

#include <cstdio>

namespace tollmere {

namespace {

constexpr Hash kIncreaseControl = 0xDEB34313;
constexpr Hash kDecreaseControl = 0xA65EBAB4;

bool justPressed(Hash control) {
    return native::isControlJustPressed(0, control) || native::isDisabledControlJustPressed(0, control);
}

}  // namespace

CyclableShopInput::CyclableShopInput(std::int32_t id, float price, const char* title, std::int32_t maxValue,
                                     float x, float y, float width, float height, SelectCallback onSelect,
                                     ChangeCallback onChange, bool allowNone, float innerMargin,
                                     float verticalMargin, float horizontalMargin, float fontScale)
    : ShopMenuInput(id, price, title, x, y, width, height, onSelect, onChange, innerMargin, verticalMargin,
                    horizontalMargin, fontScale),
      maxValue_(maxValue),
      allowNone_(allowNone) {
    value_ = allowNone ? 0 : 1;
}

float CyclableShopInput::getPrice() const {
    return value_ == 0 && allowNone_ ? 0.0f : price_;
}

void CyclableShopInput::handleInput() {
    if (!selected_) return;
    if (justPressed(kIncreaseControl)) {
        playMenuSound("HUD_SHOP_SOUNDSET", "INFO");
        setValue(value_ + 1);
    }
    if (justPressed(kDecreaseControl)) {
        playMenuSound("HUD_SHOP_SOUNDSET", "INFO");
        setValue(value_ - 1);
    }
}

bool CyclableShopInput::isValidValue(std::int32_t value) const {
    if (value < 0 || value > maxValue_) return false;
    return value != 0 || allowNone_;
}

void CyclableShopInput::drawValue() {
    char number[12];
    const char* text = number;
    if (value_ == 0) {
        text = LangData->getString(keys::genericNone);
    } else {
        std::snprintf(number, sizeof number, "%d", static_cast<int>(value_));
    }
    drawText(text, x_ + width_ / 2.0f, textY(), textColour_.r, textColour_.g, textColour_.b, textColour_.a,
             true, fontScale_, fontScale_, "$body");
}

}  // namespace tollmere
