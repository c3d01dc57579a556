#include "Host.h"
#include "natives/Registration.h"

#include <algorithm>
#include <array>
#include <string>

namespace sim {

namespace {

// Group 1 is the camera's: it holds the look controls and nothing else, so a button of the pad
// asked for there reads as up, however hard it is pressed.
constexpr std::array kCameraControls = {hashOf("INPUT_LOOK_LR"),         hashOf("INPUT_LOOK_UD"),
                                        hashOf("INPUT_LOOK_UP_ONLY"),    hashOf("INPUT_LOOK_DOWN_ONLY"),
                                        hashOf("INPUT_LOOK_LEFT_ONLY"),  hashOf("INPUT_LOOK_RIGHT_ONLY"),
                                        hashOf("INPUT_LOOK_BEHIND"),     hashOf("INPUT_NEXT_CAMERA")};
constexpr std::int32_t kCameraGroup = 1;
// A control no group has: asking for it is asking for nothing.
constexpr std::uint32_t kNoControl = 0;

// The first argument picks the pad's control group; a control hash there means swapped arguments.
std::uint32_t controlOf(const Call& call) {
    const std::int32_t group = call.i32(0);
    if (group < 0 || group > 2) {
        call.fail("argument 1 is the control group 0, 1 or 2, not " + std::to_string(group) +
                  "; the control comes second");
    }
    const std::uint32_t control = call.u32(1);
    if (group == kCameraGroup &&
        std::find(kCameraControls.begin(), kCameraControls.end(), control) == kCameraControls.end())
        return kNoControl;
    return control;
}

}  // namespace

void registerControlNatives(Host& host) {
    World& world = host.world();

    // While the game has the player's controls off, only the disabled forms see the pad.
    host.registerNative("isControlPressed", 0xF3A21BCD95725A4A, {2}, [&world](Call& call) {
        const std::uint32_t control = controlOf(call);
        call.returns(world.player.control && world.input.isDown(control));
    });
    host.registerNative("isDisabledControlPressed", 0xE2587F8CBBD87B1D, {2},
                        [&world](Call& call) { call.returns(world.input.isDown(controlOf(call))); });
    host.registerNative("isControlJustPressed", 0x580417101DDB492F, {2}, [&world](Call& call) {
        const std::uint32_t control = controlOf(call);
        call.returns(world.player.control && world.input.justPressed(control));
    });
    host.registerNative("isDisabledControlJustPressed", 0x91AEF906BCA88877, {2},
                        [&world](Call& call) { call.returns(world.input.justPressed(controlOf(call))); });
}

}  // namespace sim
