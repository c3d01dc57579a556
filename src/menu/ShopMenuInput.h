#pragma once
// A shop row: a title on the left and, on the right, the price in dollars with small underlined
// cents, or a tick when the row's value is the one already in effect.

#include "menu/MenuInput.h"

#include <cstdint>

namespace tollmere {

class ShopMenuInput : public MenuInput {
  public:
    // price in dollars. The row starts with value 0.
    ShopMenuInput(std::int32_t id, float price, const char* title, float x, float y, float width,
                  float height, SelectCallback onSelect, ChangeCallback onChange, float innerMargin,
                  float verticalMargin, float horizontalMargin, float fontScale);

    // The owner reprices a row (the repair fee follows the boat's health).
    void setPrice(float price) { price_ = price; }

    // What the row costs at its current value, in dollars.
    virtual float getPrice() const { return price_; }

    // Holds the row back while the player's cash is below the price or the row has no price (a
    // negative one). Drawing does it every frame; an owner does it before choosing a selection.
    void checkAffordable();

  protected:
    // Asks the game for the player's cash once per frame and holds the row back while the cash is
    // below the price or the row has no price (a negative one, shown as "--"). Then the title, the
    // tick or the price, and the row class's value.
    void drawContents() override;

    // Whatever a row class shows between the title and the price.
    virtual void drawValue() {}

    float price_;
};

}  // namespace tollmere
