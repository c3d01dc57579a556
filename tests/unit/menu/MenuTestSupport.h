#pragma once
// A fresh simulated game for each menu test: a rich player, a language file with the texts rows
// show, the catalogue's row geometry, and helpers that press controls and read the frame's draws.

#include "Screen.h"
#include "data/DataFiles.h"
#include "host/ScreenText.h"
#include "menu/MenuInput.h"
#include "unit/host/DirectGame.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tollmere::testing {

// The catalogue's rows: left, top, width, height, inner, vertical and horizontal margins, font.
inline constexpr float kRowLeft = 0.049f;
inline constexpr float kRowTop = 0.209f;
inline constexpr float kRowWidth = 0.172f;
inline constexpr float kRowHeight = 0.05f;
inline constexpr float kInnerMargin = 0.005f;
inline constexpr float kVerticalMargin = 0.005f;
inline constexpr float kHorizontalMargin = 0.0f;
inline constexpr float kFontScale = 0.34f;
// Where a catalogue row's texts start: left + margins, top + vertical margin + height / 6.
inline constexpr float kTextLeft = 0.054f;
inline constexpr float kTextTop = 0.209f + 0.005f + 0.05f / 6.0f;

inline constexpr Hash kSelectControl = 0xC7B5340A;
inline constexpr Hash kIncreaseControl = 0xDEB34313;
inline constexpr Hash kDecreaseControl = 0xA65EBAB4;
inline constexpr Hash kDownControl = 0x05CA7C52;
inline constexpr Hash kUpControl = 0x6319DB71;

// Geometry comparisons: the screen gets 32-bit floats worked out in a different order than here.
inline constexpr float kPositionTolerance = 1e-6f;

// A sprite as the plug-in places it: by its top-left corner.
struct SpriteBox {
    std::string texture;
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    sim::Rgba colour;
};

inline void expectSprite(const sim::DrawnSprite& sprite, const SpriteBox& expected) {
    SCOPED_TRACE(expected.texture);
    EXPECT_EQ(sprite.texture, expected.texture);
    EXPECT_NEAR(sprite.centreX - sprite.width * 0.5f, expected.left, kPositionTolerance);
    EXPECT_NEAR(sprite.centreY - sprite.height * 0.5f, expected.top, kPositionTolerance);
    EXPECT_NEAR(sprite.width, expected.width, kPositionTolerance);
    EXPECT_NEAR(sprite.height, expected.height, kPositionTolerance);
    EXPECT_EQ(sprite.colour, expected.colour);
}

// What the row callbacks heard, reset by every test.
struct HeardCallbacks {
    int selects = 0;
    MenuInput* selectedRow = nullptr;
    std::vector<std::pair<std::int32_t, std::int32_t>> changes;  // (previous, new)
};
inline HeardCallbacks heard;

inline void recordSelect(MenuInput& row) {
    ++heard.selects;
    heard.selectedRow = &row;
}
inline void recordChange(MenuInput& row, std::int32_t previousValue) {
    heard.changes.emplace_back(previousValue, row.getValue());
}

class MenuTest : public DirectGameTest {
  protected:
    MenuTest() : lang("unused"), savedLang(LangData) {
        lang.setString("generic.none", "None");
        LangData = &lang;
        world.cashCents = 1'000'000;
        world.player.control = false;  // as while the catalogue is open
        heard = HeardCallbacks{};
    }
    ~MenuTest() override { LangData = savedLang; }

    void SetUp() override { nextFrame(); }

    // The main loop's top of frame: the game renders the frame that ended and the plug-in takes
    // its text buffers back.
    void nextFrame() {
        host.runFrame();
        releaseDrawnTexts();
    }
    // Starts a frame in which control was just pressed, after one with it up, so that a press
    // right after another is a new press and not the same one held.
    void frameWithPress(Hash control) {
        nextFrame();
        world.input.press(control);
        nextFrame();
    }

    const sim::FrameDraws& drawn() const { return world.screen.thisFrame(); }
    std::vector<std::string> drawnTexts() const {
        std::vector<std::string> texts;
        for (const sim::DrawnText* text : drawn().texts()) {
            texts.push_back(text->text);
        }
        return texts;
    }
    std::vector<std::string> drawnTextures() const {
        std::vector<std::string> textures;
        for (const sim::DrawnSprite* sprite : drawn().sprites()) {
            textures.push_back(sprite->texture);
        }
        return textures;
    }
    const sim::DrawnSprite* findSprite(const std::string& texture) const {
        for (const sim::DrawnSprite* sprite : drawn().sprites()) {
            if (sprite->texture == texture) return sprite;
        }
        return nullptr;
    }
    int soundsPlayed(const std::string& name) const {
        int count = 0;
        for (const sim::Sound& sound : world.screen.sounds) {
            const bool played = sound.action == sim::Sound::Action::play;
            if (played && sound.name == name && sound.set == "HUD_SHOP_SOUNDSET") ++count;
        }
        return count;
    }

    DictDataFile lang;

  private:
    DictDataFile* savedLang;
};

}  // namespace tollmere::testing
