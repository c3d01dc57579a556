// Help texts and money toasts through the game's feed.

#include "unit/host/DirectGame.h"
#include "host/Natives.h"
#include "host/ScreenText.h"

#include <limits>

namespace tollmere::testing {
namespace {

// Catches a help text posted more than once, or an earlier one of the frame winning.
TEST_F(DirectGameTest, OnlyTheLastHelpTextOfAFrameIsPostedOnce) {
    showHelpText("first", 8000);
    showHelpText("second", 8000);
    postPendingHelpText();
    postPendingHelpText();
    ASSERT_EQ(world.helpTexts.size(), 1u);
    EXPECT_EQ(world.helpTexts[0].text, "second");
    EXPECT_EQ(world.helpTexts[0].durationMs, 8000);
}

// Catches an overlong help text overrunning the buffer, or cut inside a letter of two bytes.
TEST_F(DirectGameTest, ALongHelpTextIsCutTo499BytesOfWholeLetters) {
    const std::string text(600, 'x');
    showHelpText(text.c_str(), 3000);
    postPendingHelpText();
    ASSERT_EQ(world.helpTexts.size(), 1u);
    EXPECT_EQ(world.helpTexts[0].text, std::string(499, 'x'));
    std::string russian;
    for (int i = 0; i < 300; ++i)
        russian += "Ж";
    showHelpText(russian.c_str(), 3000);
    postPendingHelpText();
    EXPECT_EQ(world.helpTexts.back().text, russian.substr(0, 498));
}

// Catches feed natives called on frames with nothing to say.
TEST_F(DirectGameTest, NothingQueuedPostsNothing) {
    const auto calls = host.calls().size();
    postPendingHelpText();
    EXPECT_EQ(host.calls().size(), calls);
}

// Catches negating the smallest 32-bit amount, which has no positive twin.
TEST_F(DirectGameTest, TheSmallestAmountIsShownAsTheLargest) {
    showMoneyChange(std::numeric_limits<std::int32_t>::min(), 1000);
    ASSERT_FALSE(world.moneyToasts.empty());
    EXPECT_EQ(world.moneyToasts.back().cents, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(world.moneyToasts.back().colour, native::hashOf("COLOR_RED"));
}

}  // namespace
}  // namespace tollmere::testing
