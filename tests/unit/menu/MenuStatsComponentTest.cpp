// A labelled rating: how many icons of each kind, with which alpha, and where.

#include "menu/MenuStatsComponent.h"
#include "unit/menu/MenuTestSupport.h"

#include <ostream>
#include <string>
#include <vector>

namespace tollmere::testing {
namespace {

using MenuStatsComponentTest = MenuTest;

struct Icon {
    std::string texture;
    int alpha;
    friend bool operator==(const Icon&, const Icon&) = default;
};
void PrintTo(const Icon& icon, std::ostream* out) {
    *out << icon.texture << "@" << icon.alpha;
}

struct RatingCase {
    const char* name;
    std::int32_t filled;
    std::int32_t half;
    std::int32_t total;
    std::vector<Icon> icons;
};

const Icon kFull{"star", 255};
const Icon kHalf{"star", 127};
const Icon kEmpty{"star_outline", 102};

// Catches a half icon drawn at full alpha or as an outline, an empty icon's alpha rounded instead of
// truncated, the kinds counted from zero each instead of one after the other, a count ignored, and
// more icons drawn than the panel has room for.
TEST_F(MenuStatsComponentTest, IconsAreFullThenHalfThenEmptyUpToTheirCounts) {
    const RatingCase cases[] = {
        {"all kinds", 2, 3, 5, {kFull, kFull, kHalf, kEmpty, kEmpty}},
        {"no rating", 0, 0, 3, {kEmpty, kEmpty, kEmpty}},
        {"half below full", 3, 1, 4, {kFull, kFull, kFull, kEmpty}},
        {"full marks", 5, 5, 5, {kFull, kFull, kFull, kFull, kFull}},
        {"passengers", 4, 4, 4, {kFull, kFull, kFull, kFull}},
        {"nothing", 0, 0, 0, {}},
        // A rating of millions edited into a file draws no more than the panel's ten.
        {"past the panel", 2000000, 0, 2000000, std::vector<Icon>(10, kFull)},
    };
    for (const RatingCase& c : cases) {
        SCOPED_TRACE(c.name);
        MenuStatsComponent stats(0.055f, 0.7855f, 0.16f, 0.03f, "Health", "generic_textures", "star",
                                 "star_outline", 0.012f, 0.02f, c.filled, c.half, c.total);
        nextFrame();
        stats.draw();
        std::vector<Icon> icons;
        for (const sim::DrawnSprite* sprite : drawn().sprites()) {
            EXPECT_EQ(sprite->dictionary, "generic_textures");
            EXPECT_EQ(sprite->colour.r, 210);
            icons.push_back({sprite->texture, sprite->colour.a});
        }
        EXPECT_EQ(icons, c.icons);
    }
}

// Catches icons laid out from the left edge instead of ending at the right one, the gap taken from
// the width instead of the height, and the label misplaced or styled like a title.
TEST_F(MenuStatsComponentTest, TheLabelStartsAtTheLeftAndTheIconsEndAtTheRight) {
    MenuStatsComponent stats(0.055f, 0.7855f, 0.16f, 0.03f, "Speed", "generic_textures", "star",
                             "star_outline", 0.012f, 0.02f, 1, 1, 3);
    nextFrame();
    stats.draw();
    const auto texts = drawn().texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->text, "Speed");
    EXPECT_NEAR(texts[0]->x, 0.055f, kPositionTolerance);
    EXPECT_NEAR(texts[0]->y, 0.7855f, kPositionTolerance);
    EXPECT_FLOAT_EQ(texts[0]->scaleX, 0.34f);
    EXPECT_EQ(texts[0]->font, "$body");
    EXPECT_FALSE(texts[0]->centred);

    // The first icon at x + width - 3 icons; each next one an icon and a gap of 5% of its height on.
    const auto sprites = drawn().sprites();
    ASSERT_EQ(sprites.size(), 3u);
    const float lefts[] = {0.179f, 0.192f, 0.205f};
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        SCOPED_TRACE(i);
        expectSprite(*sprites[i],
                     {sprites[i]->texture, lefts[i], 0.7855f, 0.012f, 0.02f, sprites[i]->colour});
    }
}

}  // namespace
}  // namespace tollmere::testing
