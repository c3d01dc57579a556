#pragma once
// The root of the shop menu's drawables. Menus are immediate-mode: a component keeps only its
// geometry and style between frames and issues every sprite and text again each time it is drawn,
// so nothing shows on a frame in which its owner does not draw it.

#include <cstdint>

namespace tollmere {

// Always given all four values where it is made.
struct Colour {
    std::int32_t r{};
    std::int32_t g{};
    std::int32_t b{};
    std::int32_t a{};
};

class MenuComponent {
  public:
    // Rows and lists refer to each other by address for the life of the process: no copies.
    MenuComponent(const MenuComponent&) = delete;
    MenuComponent& operator=(const MenuComponent&) = delete;

    // Issues this frame's draws. Called once per frame by the owner while the menu is open.
    virtual void draw() = 0;

    virtual ~MenuComponent();

    // Positions and sizes are screen fractions from the top-left corner.
    float x() const { return x_; }
    float y() const { return y_; }
    float width() const { return width_; }
    float height() const { return height_; }
    // A list lays its rows out from its top every frame.
    void setY(float y) { y_ = y; }

    float textScale() const { return textScale_; }
    const Colour& textColour() const { return textColour_; }
    const Colour& backgroundColour() const { return backgroundColour_; }

  protected:
    MenuComponent(float x, float y, float width, float height)
        : x_(x), y_(y), width_(width), height_(height) {}

    float x_;
    float y_;
    float width_;
    float height_;
    float textScale_ = 0.34f;
    Colour textColour_{210, 210, 210, 255};
    Colour backgroundColour_{36, 38, 36, 230};
};

}  // namespace tollmere
