#include "menu/MenuStatsComponent.h"

#include "host/ScreenText.h"

#include <algorithm>

namespace tollmere {

MenuStatsComponent::MenuStatsComponent(float x, float y, float width, float height, const char* label,
                                       const char* textureDictionary, const char* fullIcon,
                                       const char* emptyIcon, float iconWidth, float iconHeight,
                                       std::int32_t filledCount, std::int32_t halfCount,
                                       std::int32_t totalCount)
    : MenuComponent(x, y, width, height),
      label_(label),
      textureDictionary_(textureDictionary),
      fullIcon_(fullIcon),
      emptyIcon_(emptyIcon),
      iconWidth_(iconWidth),
      iconHeight_(iconHeight),
      filledCount_(filledCount),
      halfCount_(halfCount),
      totalCount_(totalCount) {}

void MenuStatsComponent::drawIcon(const char* texture, float x, std::int32_t alpha) const {
    drawSprite(textureDictionary_, texture, x, y_, iconWidth_, iconHeight_, 0.0f, textColour_.r,
               textColour_.g, textColour_.b, alpha);
}

void MenuStatsComponent::draw() {
    drawText(label_, x_, y_, textColour_.r, textColour_.g, textColour_.b, textColour_.a, false, textScale_,
             textScale_, "$body");

    // The counts come from files a player may edit (an upgrade rating of millions drew millions
    // of icons a frame); no more are drawn than the panel has room for.
    constexpr std::int32_t kMostIcons = 10;
    const std::int32_t total = std::clamp(totalCount_, 0, kMostIcons);
    const std::int32_t filled = std::clamp(filledCount_, 0, total);
    const std::int32_t half = std::clamp(halfCount_, 0, total);

    const float gap = iconHeight_ * 0.05f;
    const float step = iconWidth_ + gap;
    float iconX = x_ + width_ - static_cast<float>(total) * iconWidth_;
    // One running index through the three kinds: each count is where its kind stops, so a half
    // count at or below the full count draws no half icons.
    std::int32_t i = 0;
    for (; i < filled; ++i, iconX += step) {
        drawIcon(fullIcon_, iconX, textColour_.a);
    }
    for (; i < half; ++i, iconX += step) {
        drawIcon(fullIcon_, iconX, textColour_.a / 2);
    }
    const auto emptyAlpha = static_cast<std::int32_t>(static_cast<float>(textColour_.a) * 0.4f);
    for (; i < total; ++i, iconX += step) {
        drawIcon(emptyIcon_, iconX, emptyAlpha);
    }
}

}  // namespace tollmere
