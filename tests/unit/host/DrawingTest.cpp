// Texts, sprites and menu sounds drawn for one frame, as the game receives and shows them.

#include "Screen.h"
#include "host/ScreenText.h"
#include "unit/host/DirectGame.h"

#include <bit>
#include <cstdio>
#include <string>
#include <vector>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;

std::uint64_t bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

class DrawingTest : public DirectGameTest {
  protected:
    // Starts a frame the way the main loop does: the game has rendered the last one (checking that
    // every text drawn in it was still intact), then the plug-in takes back the text buffers.
    void SetUp() override { nextFrame(); }
    void nextFrame() {
        host.runFrame();
        releaseDrawnTexts();
    }

    std::size_t mark() const { return host.calls().size(); }
    std::vector<std::string> namesSince(std::size_t from) const {
        std::vector<std::string> names;
        for (std::size_t i = from; i < host.calls().size(); ++i)
            names.emplace_back(host.calls()[i].name);
        return names;
    }
    // The addresses of the literal texts the game was given since from, in order.
    std::vector<const char*> literalTextsSince(std::size_t from) const {
        std::vector<const char*> found;
        for (std::size_t i = from; i < host.calls().size(); ++i) {
            const sim::CallRecord& call = host.calls()[i];
            if (std::string(call.name) == "createVarString" && call.args[0] == 10) {
                found.push_back(reinterpret_cast<const char*>(call.args[2]));
            }
        }
        return found;
    }
};

// Catches a text shown with another text's state, swapped colour channels or scale axes, a font or
// text lost in the markup, or the state set after the text it styles.
TEST_F(DrawingTest, TheScreenShowsEachTextWithItsOwnStyle) {
    const std::size_t from = mark();
    drawText("Rowboat", 0.1f, 0.2f, 1, 2, 3, 4, false, 0.34f, 0.5f, "$body");
    EXPECT_THAT(namesSince(from), ElementsAre("setTextColor", "setTextScale", "setTextCentre",
                                              "createVarString", "createVarString", "displayText"));
    drawText("$12", 0.5f, 0.25f, 229, 210, 36, 255, true, 0.476f, 0.476f, "$title");
    host.runFrame();

    const auto texts = world.screen.lastFrame().texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->text, "Rowboat");
    EXPECT_EQ(texts[0]->font, "$body");
    EXPECT_EQ(texts[0]->colour, (sim::Rgba{1, 2, 3, 4}));
    EXPECT_EQ(texts[0]->scaleX, 0.34f);
    EXPECT_EQ(texts[0]->scaleY, 0.5f);
    EXPECT_FALSE(texts[0]->centred);
    EXPECT_EQ(texts[0]->x, 0.1f);
    EXPECT_EQ(texts[0]->y, 0.2f);
    EXPECT_EQ(texts[1]->text, "$12");
    EXPECT_EQ(texts[1]->font, "$title");
    EXPECT_EQ(texts[1]->colour, (sim::Rgba{229, 210, 36, 255}));
    EXPECT_TRUE(texts[1]->centred);
    EXPECT_EQ(texts[1]->x, 0.5f);
    EXPECT_EQ(texts[1]->y, 0.25f);
}

// Catches a sprite placed by its corner (the game places it by its centre), geometry or colour
// pushed out of order, or a draw that does not say the game's trailing 1.
TEST_F(DrawingTest, ASpriteIsCentredOnItsRectangle) {
    world.textureDicts["menu_textures"].resident = true;
    const std::size_t from = mark();
    drawSprite("menu_textures", "crafting_highlight_t", 0.125f, 0.5f, 0.25f, 0.0625f, 90.0f, 220, 0, 10, 255);

    EXPECT_THAT(namesSince(from), ElementsAre("hasTextureDictLoaded", "drawTextureRect"));
    const auto& args = lastArgs("drawTextureRect");
    ASSERT_EQ(args.size(), 12u);
    EXPECT_STREQ(reinterpret_cast<const char*>(args[0]), "menu_textures");
    EXPECT_STREQ(reinterpret_cast<const char*>(args[1]), "crafting_highlight_t");
    EXPECT_THAT(std::vector<std::uint64_t>(args.begin() + 2, args.end()),
                ElementsAre(bits(0.25f), bits(0.53125f), bits(0.25f), bits(0.0625f), bits(90.0f), 220u, 0u,
                            10u, 255u, 1u));
    const auto sprites = world.screen.thisFrame().sprites();
    ASSERT_EQ(sprites.size(), 1u);
    EXPECT_TRUE(sprites[0]->resident);
}

// Catches a sprite that waits for its dictionary (stalling the menu) or is skipped while it streams
// in, and a dictionary that is never asked for.
TEST_F(DrawingTest, ASpriteFromADictionaryNotResidentAsksForItAndIsStillDrawn) {
    world.textureDicts.erase("generic_textures");
    const int frame = world.frame;
    const std::size_t from = mark();
    drawSprite("generic_textures", "selection_box_bg_1d", 0.0f, 0.0f, 0.2f, 0.1f, 0.0f, 36, 38, 36, 230);

    EXPECT_EQ(world.frame, frame);
    EXPECT_THAT(namesSince(from),
                ElementsAre("hasTextureDictLoaded", "requestTextureDict", "drawTextureRect"));
    EXPECT_STREQ(reinterpret_cast<const char*>(lastArgs("requestTextureDict")[0]), "generic_textures");
    ASSERT_EQ(world.screen.thisFrame().sprites().size(), 1u);
    EXPECT_FALSE(world.screen.thisFrame().sprites()[0]->resident);

    for (int i = 0; i < world.textureLoadFrames; ++i)
        nextFrame();
    drawSprite("generic_textures", "selection_box_bg_1d", 0.0f, 0.0f, 0.2f, 0.1f, 0.0f, 36, 38, 36, 230);
    ASSERT_EQ(world.screen.thisFrame().sprites().size(), 1u);
    EXPECT_TRUE(world.screen.thisFrame().sprites()[0]->resident);
}

// Catches the set and the name swapped (the game takes the name first), or a sound played without
// being stopped first, which would not restart it.
TEST_F(DrawingTest, AMenuSoundIsStoppedThenPlayedByName) {
    world.screen.sounds.clear();
    playMenuSound("HUD_SHOP_SOUNDSET", "SELECT");
    ASSERT_EQ(world.screen.sounds.size(), 2u);
    EXPECT_EQ(world.screen.sounds[0].action, sim::Sound::Action::stop);
    EXPECT_EQ(world.screen.sounds[1].action, sim::Sound::Action::play);
    for (const sim::Sound& sound : world.screen.sounds) {
        EXPECT_EQ(sound.name, "SELECT");
        EXPECT_EQ(sound.set, "HUD_SHOP_SOUNDSET");
    }
    EXPECT_EQ(lastArgs("playFrontendSound")[2], 1u);
    EXPECT_EQ(lastArgs("playFrontendSound")[3], 0u);
}

// Catches a menu that keeps showing after its owner stopped drawing it: a draw lasts one frame.
TEST_F(DrawingTest, DrawsLastOneFrame) {
    drawText("Repair", 0.1f, 0.1f, 210, 210, 210, 255, false, 0.34f, 0.34f, "$body");
    drawSprite("menu_textures", "menu_icon_tick", 0.1f, 0.1f, 0.012f, 0.0192f, 0.0f, 210, 210, 210, 255);
    nextFrame();
    EXPECT_EQ(world.screen.lastFrame().draws.size(), 2u);
    ASSERT_NE(world.screen.lastFrame().findText("Repair"), nullptr);
    EXPECT_TRUE(world.screen.thisFrame().draws.empty());
    nextFrame();
    EXPECT_TRUE(world.screen.lastFrame().draws.empty());
}

// Catches a copy kept per drawn text that is never given back: an open menu would grow memory every
// frame. The game must be handed the same buffers frame after frame, even as the texts change.
TEST_F(DrawingTest, AMenuDrawnEveryFrameReusesTheSameTextBuffers) {
    constexpr int kRows = 6;
    std::vector<const char*> firstFrame;
    for (int frame = 0; frame < 60; ++frame) {
        const std::size_t from = mark();
        for (int row = 0; row < kRows; ++row) {
            char price[32];
            std::snprintf(price, sizeof price, "row %d: $%02d.50", row, frame % 100);
            drawText(price, 0.7f, 0.1f * row, 210, 210, 210, 255, false, 0.34f, 0.34f, "$title");
        }
        const auto buffers = literalTextsSince(from);
        ASSERT_EQ(buffers.size(), static_cast<std::size_t>(kRows));
        if (frame == 0) firstFrame = buffers;
        EXPECT_EQ(buffers, firstFrame) << "frame " << frame;
        nextFrame();
    }
}

// Catches a text buffer reused or freed while the game may still read it: every text of a busy
// frame stays intact until the game has rendered that frame and the next one releases it.
TEST_F(DrawingTest, ADrawnTextLastsUntilTheNextFrameReleasesIt) {
    const std::size_t from = mark();
    drawText("Buy", 0.1f, 0.1f, 210, 210, 210, 255, false, 0.34f, 0.34f, "$body");
    for (int i = 0; i < 300; ++i) {
        drawText(std::to_string(i).c_str(), 0.2f, 0.2f, 210, 210, 210, 255, false, 0.34f, 0.34f, "$body");
    }
    const char* first = literalTextsSince(from).at(0);
    host.runFrame();
    EXPECT_STREQ(first, "<FONT FACE='$body' COLOR='#ffffff'>Buy</FONT>");

    releaseDrawnTexts();
    const std::size_t next = mark();
    drawText("Sell", 0.1f, 0.1f, 210, 210, 210, 255, false, 0.34f, 0.34f, "$title");
    EXPECT_EQ(literalTextsSince(next).at(0), first) << "the released buffer is taken again";
    EXPECT_STREQ(first, "<FONT FACE='$title' COLOR='#ffffff'>Sell</FONT>");
}

// Catches a screen that never reads a text again when it renders, which would let the test above
// pass with buffers overwritten before the game drew them.
TEST(SimulatedScreen, RenderingATextOverwrittenSinceItWasDrawnFails) {
    sim::Screen screen;
    std::string markup = "<FONT FACE='$body' COLOR='#ffffff'>Buy</FONT>";
    screen.addText(sim::DrawnText{"Buy", "$body"}, markup.c_str());
    screen.beginFrame(1);
    screen.addText(sim::DrawnText{"Buy", "$body"}, markup.c_str());
    markup.replace(markup.find("Buy"), 3, "Bye");
    EXPECT_THROW(screen.beginFrame(2), sim::Fatal);
}

struct MarkupCase {
    const char* name;
    const char* markup;
    bool valid;
    const char* text;
    const char* font;
};

// Catches the screen reading a text that is not in the one form the plug-in draws, or cutting a
// text that itself contains markup-like characters.
TEST(SimulatedScreen, ReadsTheFontMarkupBack) {
    const MarkupCase cases[] = {
        {"plain", "<FONT FACE='$body' COLOR='#ffffff'>Repair</FONT>", true, "Repair", "$body"},
        {"empty text", "<FONT FACE='$title' COLOR='#ffffff'></FONT>", true, "", "$title"},
        {"markup inside", "<FONT FACE='$body' COLOR='#ffffff'>a</FONT>b</FONT>", true, "a</FONT>b", "$body"},
        {"quote inside", "<FONT FACE='$body' COLOR='#ffffff'>it's</FONT>", true, "it's", "$body"},
        {"bare text", "Repair", false, "", ""},
        {"other colour", "<FONT FACE='$body' COLOR='#ff0000'>Repair</FONT>", false, "", ""},
        {"unclosed", "<FONT FACE='$body' COLOR='#ffffff'>Repair", false, "", ""},
        {"overlapping ends", "<FONT FACE='$body' COLOR='#ffffff'></FONT", false, "", ""},
    };
    for (const MarkupCase& c : cases) {
        std::string text = "unset";
        std::string font = "unset";
        EXPECT_EQ(sim::parseFontMarkup(c.markup, text, font), c.valid) << c.name;
        if (c.valid) {
            EXPECT_EQ(text, c.text) << c.name;
            EXPECT_EQ(font, c.font) << c.name;
        }
    }
}

}  // namespace
}  // namespace tollmere::testing
