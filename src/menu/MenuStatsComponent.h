#pragma once
// A labelled rating: a label on the left and a row of icons ending at the right edge, in full
// colour, then at half alpha, then as empty outlines.

#include "menu/MenuComponent.h"

#include <cstdint>

namespace tollmere {

class MenuStatsComponent : public MenuComponent {
  public:
    // The texts are not copied: they are language texts and texture names that outlive the
    // component. Icons 0 to filledCount - 1 are full, those up to halfCount - 1 are full at half
    // alpha and those up to totalCount - 1 are empty; the row of icons is laid out for totalCount.
    MenuStatsComponent(float x, float y, float width, float height, const char* label,
                       const char* textureDictionary, const char* fullIcon, const char* emptyIcon,
                       float iconWidth, float iconHeight, std::int32_t filledCount, std::int32_t halfCount,
                       std::int32_t totalCount);

    void draw() override;

  private:
    void drawIcon(const char* texture, float x, std::int32_t alpha) const;

    const char* label_;
    const char* textureDictionary_;
    const char* fullIcon_;
    const char* emptyIcon_;
    float iconWidth_;
    float iconHeight_;
    std::int32_t filledCount_;
    std::int32_t halfCount_;
    std::int32_t totalCount_;
};

}  // namespace tollmere
