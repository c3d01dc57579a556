// The plug-in's prompts against the game's: registration, completion in each mode, the hidden
// prompt that listens for its control, and the state pushed to the game.

#include "host/Natives.h"
#include "host/Prompt.h"
#include "unit/host/DirectGame.h"

#include <ostream>
#include <string>
#include <vector>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr Hash kContextX = sim::hashOf("INPUT_CONTEXT_X");

class PromptTest : public DirectGameTest {
  protected:
    PromptTest() {
        // Whole numbers of frames, so that a mix-up of the two hold kinds shows in the frame numbers.
        world.prompts.holdMs = 10 * world.frameStepMs;
        world.prompts.standardHoldMs = 20 * world.frameStepMs;
    }

    const sim::GamePrompt& game(const Prompt& prompt) const { return *world.prompts.find(prompt.handle()); }

    // Runs frames, polling once a frame as owners do; the frames (counted from 1) on which poll
    // reported an activation.
    std::vector<int> pollFrames(Prompt& prompt, int frames) {
        std::vector<int> fired;
        for (int i = 1; i <= frames; ++i) {
            host.runFrame();
            if (prompt.poll()) fired.push_back(i);
        }
        return fired;
    }

    std::vector<std::string> nativesSince(std::size_t from) const {
        std::vector<std::string> names;
        for (std::size_t i = from; i < host.calls().size(); ++i)
            names.emplace_back(host.calls()[i].name);
        return names;
    }
};

// Catches a registration step missing, out of order or with other arguments, and a constructor that
// pushes visibility itself (owners hide right after).
TEST_F(PromptTest, RegistersOnceInTheGamesOrderAndLeavesVisibilityToItsOwner) {
    const std::size_t from = host.calls().size();
    Prompt prompt("Dock boat", kContextX, PromptMode::standardHoldOnce);

    EXPECT_THAT(nativesSince(from),
                ElementsAre("beginPromptRegistration", "setPromptControl", "createVarString", "setPromptText",
                            "setPromptGroup", "setPromptStandardHoldMode", "setPromptAttribute",
                            "endPromptRegistration"));
    const sim::GamePrompt& registered = game(prompt);
    EXPECT_TRUE(registered.registered);
    EXPECT_EQ(registered.control, kContextX);
    EXPECT_EQ(registered.text, "Dock boat");
    EXPECT_EQ(registered.group, 0);
    EXPECT_EQ(registered.groupTab, 0);
    EXPECT_EQ(registered.mode, sim::PromptMode::standardHold);
    EXPECT_THAT(registered.attributes, ElementsAre(::testing::Pair(18, true)));

    prompt.hide();
    EXPECT_THAT(world.prompts.visible(), IsEmpty());
    prompt.show();
    ASSERT_EQ(world.prompts.visible().size(), 1u);
    EXPECT_EQ(world.prompts.visible()[0]->text, "Dock boat");
}

struct ModeCase {
    const char* name;
    PromptMode mode;
    std::vector<int> firedFrames;
};

void PrintTo(const ModeCase& row, std::ostream* out) {
    *out << row.name;
}

class PromptModeTest : public PromptTest, public ::testing::WithParamInterface<ModeCase> {};

// Catches a mode registered with another creation call (the standard hold takes twice as long
// here), asked with the other completion query (never fires), a press or hold-while-reported
// mode that swallows repeats, or a once-per-hold mode that reports every reported frame.
TEST_P(PromptModeTest, ControlHeldForTwentyFiveFrames) {
    world.prompts.holdReportFrames = 3;
    Prompt prompt("Act", kContextX, GetParam().mode);
    prompt.show();
    world.input.hold(kContextX, 25);
    EXPECT_EQ(pollFrames(prompt, 25), GetParam().firedFrames);
}

INSTANTIATE_TEST_SUITE_P(
    EachMode, PromptModeTest,
    ::testing::Values(ModeCase{"Press", PromptMode::press, {1}},
                      ModeCase{"HoldReportedEveryFrame", PromptMode::hold, {10, 11, 12}},
                      ModeCase{"HoldReportedOnce", PromptMode::holdOnce, {10}},
                      ModeCase{"StandardHoldReportedOnce", PromptMode::standardHoldOnce, {20}}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

// Catches a once-per-hold prompt that reports each frame the game keeps reporting the hold, or
// that never reports again because its latch is not cleared once the game stops.
TEST_F(PromptTest, AOncePerHoldPromptReportsEachCompletedHoldOnce) {
    for (PromptMode mode : {PromptMode::holdOnce, PromptMode::standardHoldOnce}) {
        SCOPED_TRACE(static_cast<int>(mode));
        world.prompts.holdReportFrames = 6;
        const int holdFrames = mode == PromptMode::holdOnce ? 10 : 20;
        Prompt prompt("Sell boat", kContextX, mode);
        prompt.show();

        world.input.hold(kContextX, holdFrames + 5);
        EXPECT_THAT(pollFrames(prompt, holdFrames + 5), ElementsAre(holdFrames));
        EXPECT_THAT(pollFrames(prompt, 2), IsEmpty()) << "released";
        world.input.hold(kContextX, holdFrames + 5);
        EXPECT_THAT(pollFrames(prompt, holdFrames + 5), ElementsAre(holdFrames)) << "held again";

        // A hold completed in frames its owner did not poll (the frame loop skips owners at
        // times) still counts, once, at the next poll.
        Prompt unpolled("Dock", kContextX, mode);
        unpolled.show();
        host.runFrame();
        world.input.hold(kContextX, holdFrames + 2);
        for (int frame = 0; frame <= holdFrames; ++frame) host.runFrame();
        EXPECT_THAT(pollFrames(unpolled, 3), ElementsAre(1));
    }
}

// Catches a listening prompt that resets its count when the control is let go, appears a poll
// early or late, or waits a frame before asking for its completion.
TEST_F(PromptTest, AListeningHiddenPromptAppearsOnTheThirtyFirstHeldPollAndIsAskedAtOnce) {
    Prompt prompt("Drop anchor", kContextX, PromptMode::standardHoldOnce);
    prompt.hide();
    prompt.setArmedWhileHidden(true);
    EXPECT_TRUE(world.prompts.isEnabled(prompt.handle()));
    EXPECT_FALSE(world.prompts.isVisible(prompt.handle()));

    world.input.hold(kContextX, 20);
    EXPECT_THAT(pollFrames(prompt, 20), IsEmpty());
    EXPECT_THAT(pollFrames(prompt, 5), IsEmpty()) << "released: not counted";
    world.input.hold(kContextX, 11);
    EXPECT_THAT(pollFrames(prompt, 10), IsEmpty());
    EXPECT_FALSE(world.prompts.isVisible(prompt.handle())) << "30 held polls";
    EXPECT_EQ(callCount("hasPromptHoldCompleted"), 0u) << "a hidden prompt is not asked";

    host.runFrame();
    EXPECT_FALSE(prompt.poll()) << "the game had no visible prompt to hold yet";
    EXPECT_TRUE(world.prompts.isVisible(prompt.handle())) << "the 31st held poll";
    const auto asked = host.callsTo("hasPromptHoldCompleted");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0]->frame, world.frame);
}

// Catches a shown listening prompt let go that stays in view, or a listening prompt that leaves a
// count behind for the next time it listens hidden.
TEST_F(PromptTest, AShownListeningPromptLetGoHidesAndTheNextListeningCountsAfresh) {
    Prompt prompt("Drop anchor", kContextX, PromptMode::standardHoldOnce);
    prompt.show();
    prompt.setArmedWhileHidden(true);
    world.input.hold(kContextX, 3);
    pollFrames(prompt, 4);
    EXPECT_FALSE(world.prompts.isVisible(prompt.handle())) << "let go";

    prompt.hide();
    prompt.setArmedWhileHidden(true);
    world.input.hold(kContextX, 31);
    pollFrames(prompt, 30);
    EXPECT_FALSE(world.prompts.isVisible(prompt.handle())) << "30 held polls";
    pollFrames(prompt, 1);
    EXPECT_TRUE(world.prompts.isVisible(prompt.handle())) << "the 31st held poll";

    // Having appeared, it counts afresh too.
    prompt.hide();
    prompt.setArmedWhileHidden(true);
    host.runFrame();
    world.input.hold(kContextX, 31);
    pollFrames(prompt, 30);
    EXPECT_FALSE(world.prompts.isVisible(prompt.handle())) << "30 held polls after appearing";
}

// Catches a repeated setArmedWhileHidden pushing state again, which would undo the appearance
// the listening prompt made on its own, and an unchanged state told to the game again: owners hide
// their prompts every frame.
TEST_F(PromptTest, ArmingTwicePushesStateOnce) {
    Prompt prompt("Drop anchor", kContextX, PromptMode::standardHoldOnce);
    prompt.hide();
    const std::size_t enabledCalls = callCount("setPromptEnabled");
    const std::size_t visibleCalls = callCount("setPromptVisible");

    prompt.setArmedWhileHidden(true);
    prompt.setArmedWhileHidden(true);

    EXPECT_EQ(callCount("setPromptEnabled"), enabledCalls + 1);
    EXPECT_EQ(callCount("setPromptVisible"), visibleCalls) << "it was hidden already";
    EXPECT_THAT(lastArgs("setPromptEnabled"), ElementsAre(prompt.handle(), 1u));
    EXPECT_FALSE(world.prompts.isVisible(prompt.handle()));
    prompt.hide();
    prompt.hide();
    EXPECT_EQ(callCount("setPromptEnabled"), enabledCalls + 2);
    EXPECT_FALSE(world.prompts.isEnabled(prompt.handle()));
}

// Catches arming that leaves a disabled prompt disabled.
TEST_F(PromptTest, ArmingReEnablesADisabledPrompt) {
    Prompt prompt("Drop anchor", kContextX, PromptMode::standardHoldOnce);
    prompt.show();
    prompt.setEnabled(false);
    ASSERT_FALSE(world.prompts.isEnabled(prompt.handle()));

    prompt.setArmedWhileHidden(true);

    EXPECT_TRUE(world.prompts.isEnabled(prompt.handle()));
    EXPECT_TRUE(world.prompts.isVisible(prompt.handle()));
}

// Catches a shown but disabled prompt reporting a completion the game still reports for it.
TEST_F(PromptTest, AShownDisabledPromptReportsNothing) {
    Prompt prompt("Buy", 0xC7B5340A, PromptMode::press);
    prompt.show();
    world.input.press(0xC7B5340Au);
    host.runFrame();
    prompt.setEnabled(false);

    EXPECT_FALSE(prompt.poll());
    EXPECT_TRUE(native::hasPromptPressCompleted(prompt.handle(), 0)) << "the game did complete the press";
}

// Catches a wait inside an operation that enables, after it, a prompt greyed out before it.
TEST_F(PromptTest, AWaitInsideAnOperationLeavesAGreyedOutPromptGreyedOut) {
    Prompt greyed("Retrieve", kContextX, PromptMode::holdOnce);
    greyed.show(), greyed.setEnabled(false);
    Prompt::withholdAll(), Prompt::restoreWithheld();
    EXPECT_FALSE(world.prompts.isEnabled(greyed.handle()));
}

}  // namespace
}  // namespace tollmere::testing
