#include "menu/ShopMenuInput.h"

#include "host/GameHelpers.h"
#include "host/Natives.h"
#include "host/ScreenText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tollmere {

namespace {

constexpr float kTickWidth = 0.012f;
constexpr float kTickHeight = 0.0192f;
constexpr float kDollarsScale = 1.4f;
constexpr float kCentsScale = 0.92f;
constexpr Colour kUnderlineColour{229, 229, 229, 255};

}  // namespace

ShopMenuInput::ShopMenuInput(std::int32_t id, float price, const char* title, float x, float y, float width,
                             float height, SelectCallback onSelect, ChangeCallback onChange,
                             float innerMargin, float verticalMargin, float horizontalMargin, float fontScale)
    : MenuInput(id, title, x, y, width, height, onSelect, onChange, innerMargin, verticalMargin,
                horizontalMargin, fontScale),
      price_(price) {}

void ShopMenuInput::checkAffordable() {
    setHeldBack(price_ < 0.0f || native::getPlayerCash() < dollarsToCents(price_));
}

void ShopMenuInput::drawContents() {
    // The row's fee, not the price of its current value: a row standing on a free "none" is still
    // dimmed when the player cannot pay for any of its options. Worked out on every frame, so a
    // row comes back as soon as the player has the cash. A negative fee means Configs.dat has no
    // price for it: that service is not sold at all.
    checkAffordable();
    const bool priced = price_ >= 0.0f;

    const float textLeft = textX();
    const float textTop = textY();
    const Colour& colour = textColour_;
    drawText(title_, textLeft, textTop, colour.r, colour.g, colour.b, colour.a, false, fontScale_, fontScale_,
             "$body");

    if (!priced) {
        drawText("--", textLeft + width_ - 0.022f - 2.0f * innerMargin_, textTop, colour.r, colour.g,
                 colour.b, colour.a, false, fontScale_ * kDollarsScale, fontScale_ * kDollarsScale, "$title");
    } else if (value_ == appliedValue_) {
        drawSprite("menu_textures", "menu_icon_tick", textLeft + width_ - kTickWidth - 2.0f * innerMargin_,
                   y_ + height_ * 0.5f - 0.0096f, kTickWidth, kTickHeight, 0.0f, colour.r, colour.g, colour.b,
                   colour.a);
    } else {
        // The cents a purchase charges, so the row shows what will be taken; a price past the
        // 32-bit range of cents is held to it here as it is there.
        const std::int32_t amount = dollarsToCents(getPrice());
        const std::int32_t dollars = amount / 100;
        const std::int32_t cents = amount % 100;

        // The dollars grow leftwards by one step per digit, so the cents keep their place.
        const float digits =
            static_cast<float>(std::floor(std::log10(static_cast<double>(std::max(dollars, 1)))));
        const float priceWidth = (digits + 2.0f) * 0.0075f + 0.022f + innerMargin_;
        const float dollarsX = textLeft + width_ - priceWidth;
        const float centsX = dollarsX + priceWidth - 0.02f - innerMargin_;

        // Stack buffers: the price is drawn every frame and must not cost an allocation.
        char dollarsText[16];
        std::snprintf(dollarsText, sizeof dollarsText, "$%d", static_cast<int>(dollars));
        char centsText[12];
        std::snprintf(centsText, sizeof centsText, "%02d", static_cast<int>(cents));

        const float dollarsScale = fontScale_ * kDollarsScale;
        drawText(dollarsText, dollarsX, textTop, colour.r, colour.g, colour.b, colour.a, false, dollarsScale,
                 dollarsScale, "$title");
        const float centsScale = fontScale_ * kCentsScale;
        drawText(centsText, centsX, textTop + 0.001f, colour.r, colour.g, colour.b, colour.a, false,
                 centsScale, centsScale, "$title");
        drawSprite("menu_textures", "divider_line", centsX + 0.0015f, textTop + 0.02f, 0.01f, 0.0015f, 0.0f,
                   kUnderlineColour.r, kUnderlineColour.g, kUnderlineColour.b, kUnderlineColour.a);
    }

    drawValue();
}

}  // namespace tollmere
