// The simulated pad: when a scripted press is seen, and what each control native answers while
// the game has the player's controls on or off.

#include "host/Invoke.h"
#include "host/Natives.h"
#include "unit/host/DirectGame.h"

#include <vector>

namespace tollmere::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

constexpr Hash kSelect = 0xC7B5340A;

bool justPressed(Hash control) {
    return invoke<bool>(0x580417101DDB492F, 0, control);
}
bool disabledJustPressed(Hash control) {
    return invoke<bool>(0x91AEF906BCA88877, 0, control);
}

// Catches a scripted press seen a frame early or late, a hold a frame short or long, a hold that
// runs on into the next frame taken for a new press, and a press after a gap not taken for one.
TEST_F(DirectGameTest, ScriptedInputIsSeenFromTheNextFrameAndABrokenHoldIsANewPress) {
    world.input.hold("INPUT_CONTEXT_Y", 3);
    EXPECT_FALSE(native::isControlPressed(0, sim::hashOf("INPUT_CONTEXT_Y")))
        << "not in the frame in progress";

    std::vector<int> down;
    std::vector<int> pressed;
    for (int frame = 1; frame <= 8; ++frame) {
        host.runFrame();
        if (native::isControlPressed(0, sim::hashOf("INPUT_CONTEXT_Y"))) down.push_back(frame);
        if (justPressed(sim::hashOf("INPUT_CONTEXT_Y"))) pressed.push_back(frame);
        if (frame == 3) world.input.hold("INPUT_CONTEXT_Y", 2);
        if (frame == 6) world.input.press("INPUT_CONTEXT_Y");
    }
    EXPECT_THAT(down, ElementsAre(1, 2, 3, 4, 5, 7));
    EXPECT_THAT(pressed, ElementsAre(1, 7));
}

// Catches the plain natives answering while the catalogue has the player's controls off, or the
// disabled ones going quiet, either of which would leave the menu deaf or the world reacting.
TEST_F(DirectGameTest, OnlyTheDisabledControlNativesHearThePadWhilePlayerControlIsOff) {
    world.player.control = false;
    world.input.press(kSelect);
    host.runFrame();
    EXPECT_FALSE(native::isControlPressed(0, kSelect));
    EXPECT_FALSE(justPressed(kSelect));
    EXPECT_TRUE(native::isDisabledControlPressed(0, kSelect));
    EXPECT_TRUE(disabledJustPressed(kSelect));

    world.player.control = true;
    EXPECT_TRUE(native::isControlPressed(0, kSelect));
    EXPECT_TRUE(justPressed(kSelect));
    EXPECT_TRUE(native::isDisabledControlPressed(0, kSelect));
    EXPECT_TRUE(disabledJustPressed(kSelect));
}

// Catches a script asking the camera's group for a button: the group holds the look controls only.
TEST_F(DirectGameTest, TheCameraGroupHearsTheLookControlsOnly) {
    world.input.press(kSelect);
    world.input.press("INPUT_LOOK_LR");
    host.runFrame();
    EXPECT_TRUE(native::isControlPressed(2, kSelect));
    EXPECT_FALSE(native::isControlPressed(1, kSelect));
    EXPECT_FALSE(native::isDisabledControlJustPressed(1, kSelect));
    EXPECT_TRUE(native::isDisabledControlPressed(1, sim::hashOf("INPUT_LOOK_LR")));
}

// Catches the game blaming a script for control it took before the game held the player itself:
// it must not hand the control back during the hold, so what it owes counts from the hold's end.
TEST_F(DirectGameTest, ControlTakenIsOwedFromTheEndOfTheGamesHold) {
    native::setPlayerControl(world.player.id, false, 0, 0);
    const auto play = [&](int frames) {
        for (int frame = 0; frame < frames; ++frame) {
            host.runFrame();
            world.checkFrame();
        }
    };
    world.player.unavailable = true;
    play(2 * world.watch.controlGraceFrames);
    world.player.unavailable = false;
    play(world.watch.controlGraceFrames);
    EXPECT_THAT([&] { play(1); }, ThrowsMessage<sim::Refusal>(HasSubstr("left the player without control")));
}

}  // namespace
}  // namespace tollmere::testing
