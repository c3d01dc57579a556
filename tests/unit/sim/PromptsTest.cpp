// The simulated game's prompts: when a hold counts, when it completes again, and that prompts
// hear the pad while the player's controls are off.

#include "host/Natives.h"
#include "unit/host/DirectGame.h"

#include <vector>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

constexpr Hash kContextY = sim::hashOf("INPUT_CONTEXT_Y");

class GamePromptsTest : public DirectGameTest {
  protected:
    PromptHandle registerPrompt(void (*setMode)(PromptHandle)) {
        const PromptHandle handle = native::beginPromptRegistration();
        native::setPromptControl(handle, kContextY);
        native::setPromptText(handle, native::createVarString(10, "LITERAL_STRING", "Manage boats"));
        setMode(handle);
        native::endPromptRegistration(handle);
        return handle;
    }
    static void holdMode(PromptHandle handle) { native::setPromptHoldMode(handle, true); }
    static void pressMode(PromptHandle handle) { native::setPromptPressMode(handle, true); }
};

// Catches a hold judged on visibility calls within a frame (the dock menu hides every prompt and
// shows one again each frame) instead of the state left at the frame's end, a hold that survives a
// frame hidden, and a second completion without letting the control go.
TEST_F(GamePromptsTest, AHoldCountsFramesLeftShownAndCompletesAgainOnlyAfterARelease) {
    world.prompts.holdMs = 6 * world.frameStepMs;
    world.prompts.holdReportFrames = 1;
    const PromptHandle prompt = registerPrompt(holdMode);

    world.input.hold(kContextY, 20);
    std::vector<int> completed;
    for (int frame = 1; frame <= 30; ++frame) {
        host.runFrame();
        if (native::hasPromptHoldCompleted(prompt)) completed.push_back(frame);
        if (frame == 4) native::setPromptVisible(prompt, false);  // frame 5 does not count
        if (frame == 5 || frame == 7) {
            native::setPromptVisible(prompt, false);
            native::setPromptVisible(prompt, true);
        }
        if (frame == 21) world.input.hold(kContextY, 9);  // up in frame 21, down again from 22
    }
    // Frames 6 to 11 complete the first hold; the control stays down to 20 without a second one;
    // frames 22 to 27 complete the next.
    EXPECT_THAT(completed, ElementsAre(11, 27));
}

// Catches prompts deaf while the game has the player's controls off (the catalogue's back prompt
// could never fire), and a press prompt firing again while its control stays down.
TEST_F(GamePromptsTest, APressCompletesOncePerPressWhateverTheControlState) {
    world.player.control = false;
    const PromptHandle prompt = registerPrompt(pressMode);

    world.input.hold(kContextY, 3);
    std::vector<int> completed;
    for (int frame = 1; frame <= 3; ++frame) {
        host.runFrame();
        if (native::hasPromptPressCompleted(prompt, 0)) completed.push_back(frame);
    }
    EXPECT_THAT(completed, ElementsAre(1));
    EXPECT_EQ(world.prompts.find(prompt)->completions, 1);
}

// Catches a lost completion going unnoticed, and the game blaming a script that withdrew the prompt
// or never listened to it (a label).
TEST_F(GamePromptsTest, AReportedCompletionMustBeReadUnlessThePromptWasWithdrawn) {
    world.prompts.holdMs = 2 * world.frameStepMs;
    registerPrompt(holdMode);
    const PromptHandle prompt = registerPrompt(holdMode);
    native::hasPromptHoldCompleted(prompt);
    world.input.hold(kContextY, 6);  // down in frames 1 to 6: both complete in frame 2
    for (int frame = 1; frame < 12; ++frame) {
        host.runFrame();
        native::setPromptVisible(prompt, frame < 2 || frame >= 8);  // withdrawn from frame 2 to 7
        if (frame == 8) world.input.hold(kContextY, 6);             // completes again in frame 10
        EXPECT_NO_THROW(world.checkFrame()) << frame;
    }
    host.runFrame();
    EXPECT_THAT([&] { world.checkFrame(); },
                ThrowsMessage<sim::Refusal>(
                    HasSubstr("completed in frame 10 and the game reported it until frame 12")));
}

}  // namespace
}  // namespace tollmere::testing
