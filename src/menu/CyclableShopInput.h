#pragma once
// A shop row whose value the player steps through with the left and right controls while it is
// selected: one option of several (a tint, a prop set), with "none" as an option when allowed.

#include "menu/ShopMenuInput.h"

#include <cstdint>

namespace tollmere {

class CyclableShopInput : public ShopMenuInput {
  public:
    // Values run from 1 to maxValue, or from 0 when allowNone (0 then means "none" and is free).
    // The row starts at the lowest value; onChange is not called for it.
    CyclableShopInput(std::int32_t id, float price, const char* title, std::int32_t maxValue, float x,
                      float y, float width, float height, SelectCallback onSelect, ChangeCallback onChange,
                      bool allowNone, float innerMargin, float verticalMargin, float horizontalMargin,
                      float fontScale);

    // The owner sets the range once it knows how many options the boat has. The current value is
    // left as it is; the owner sets a value in range right after.
    void setMaxValue(std::int32_t maxValue) { maxValue_ = maxValue; }
    std::int32_t maxValue() const { return maxValue_; }
    bool allowsNone() const { return allowNone_; }

    // 0 for "none", the price otherwise.
    float getPrice() const override;

  protected:
    // While selected: increase, then decrease, each with the "INFO" sound whether or not the step
    // is in range. Steps out of range are refused, so the value never wraps around.
    void handleInput() override;
    bool isValidValue(std::int32_t value) const override;
    // The value in the middle of the row, or the language text "generic.none" for 0.
    void drawValue() override;

  private:
    std::int32_t maxValue_;
    bool allowNone_;
};

}  // namespace tollmere
