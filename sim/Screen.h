#pragma once
// What the game shows: the texts and sprites drawn in the frame in progress and in the one before,
// read back as the player sees them, and the frontend sounds played and stopped.
//
// Drawing is immediate-mode: a draw shows for the frame it was issued in only. Only the current and
// the previous frame are kept, so an open menu costs nothing more frame after frame.

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sim {

struct Rgba {
    int r = 0;
    int g = 0;
    int b = 0;
    int a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// A drawn text with its inner text and font taken back out of the markup it was drawn with.
struct DrawnText {
    std::string text;
    std::string font;
    float x = 0.0f;
    float y = 0.0f;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    Rgba colour;
    bool centred = false;
};

struct DrawnSprite {
    std::string dictionary;
    std::string texture;
    float centreX = 0.0f;
    float centreY = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float rotation = 0.0f;
    Rgba colour;
    // False when the dictionary had not streamed in yet: the player saw nothing of this sprite.
    bool resident = false;
};

using Draw = std::variant<DrawnText, DrawnSprite>;

struct FrameDraws {
    int frame = 0;
    std::vector<Draw> draws;  // in the order they were issued

    std::vector<const DrawnText*> texts() const;
    std::vector<const DrawnSprite*> sprites() const;
    // The first text drawn with exactly this inner text, or nullptr.
    const DrawnText* findText(std::string_view text) const;
};

struct Sound {
    enum class Action { stop, play } action = Action::play;
    std::string name;
    std::string set;
    int frame = 0;
};

// The text state that setTextColor, setTextScale and setTextCentre set and displayText consumes.
struct TextStyle {
    Rgba colour{255, 255, 255, 255};
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    bool centred = false;
};

// Splits "<FONT FACE='font' COLOR='#ffffff'>text</FONT>"; false when the markup has any other form.
bool parseFontMarkup(std::string_view markup, std::string& text, std::string& font);

class Screen {
  public:
    // The game renders the frame that just ended and starts an empty one. Rendering reads every
    // drawn text again from the address the plug-in gave, as the game does; a text that changed
    // since it was drawn throws Fatal (a freed one is for the address sanitizer to report).
    void beginFrame(int frame);

    // The draws of the frame in progress; after a frame has run, the draws the script made in it.
    const FrameDraws& thisFrame() const { return frames_[current_]; }
    // The draws of the frame before, which the game has rendered.
    const FrameDraws& lastFrame() const { return frames_[1 - current_]; }

    // Every sound played or stopped, in order. Sounds are rare, so they are all kept.
    std::vector<Sound> sounds;

    // For the drawing natives.
    TextStyle style;
    // source: the address of the markup, which the game reads again when it renders the frame.
    void addText(DrawnText text, const char* source);
    void addSprite(DrawnSprite sprite);

  private:
    struct Unrendered {
        const char* source;
        std::size_t draw;  // index in thisFrame().draws
    };

    FrameDraws frames_[2];
    int current_ = 0;
    std::vector<Unrendered> unrendered_;
};

}  // namespace sim
