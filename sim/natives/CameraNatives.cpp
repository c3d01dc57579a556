#include "Host.h"
#include "natives/Registration.h"

#include <string>
#include <utility>

namespace sim {

namespace {

Camera& cameraOf(const Call& call, Cameras& cameras) {
    return cameras.use(call.u32(0));
}

}  // namespace

// A call that may change the camera the player looks through: a write of that shared state when
// it changes it, and always for renderScriptCams, whose very call takes the game's view.
template <typename Change>
void changeView(World& world, Call& call, bool alwaysWrites, Change change) {
    const std::uint32_t before = world.renderingCamera();
    change();
    const std::uint32_t after = world.renderingCamera();
    if (alwaysWrites || after != before) {
        world.setShared(World::SharedState::camera, 0, call.script(), call.name(), after, after != 0);
    }
}

void registerCameraNatives(Host& host) {
    World& world = host.world();
    Cameras& cameras = world.cameras;

    host.registerNative("createCameraWithParams", 0x40C23491CE83708E, {10}, [&world, &cameras](Call& call) {
        const std::string name = call.str(0);
        if (name != "DEFAULT_SCRIPTED_CAMERA") call.fail("no camera type \"" + name + "\" in the game");
        // The flag after the field of view makes the camera active at once.
        Camera camera{.name = name,
                      .position = call.vec(1),
                      .rotation = call.vec(4),
                      .fieldOfView = call.f32(7),
                      .active = call.flag(8),
                      .rotationOrder = call.i32(9)};
        std::uint32_t handle = 0;
        changeView(world, call, false, [&] { handle = cameras.create(std::move(camera)); });
        call.returns(handle);
    });
    host.registerNative("setCamCoord", 0xF9EE7D419EE49DE6, {4},
                        [&cameras](Call& call) { cameraOf(call, cameras).position = call.vec(1); });
    host.registerNative("pointCamAtCoord", 0x948B39341C3A40C2, {4},
                        [&cameras](Call& call) { cameraOf(call, cameras).pointAt = call.vec(1); });
    host.registerNative("setCamActive", 0x87295BCA613800C8, {2}, [&world, &cameras](Call& call) {
        changeView(world, call, false, [&] { cameraOf(call, cameras).active = call.flag(1); });
    });
    host.registerNative("renderScriptCams", 0x33281167E4942E4F, {6}, [&world, &cameras](Call& call) {
        call.only(3, 1, "the first blend flag");
        call.only(4, 0, "the second blend flag");
        call.only(5, 0, "the blend's kind");
        changeView(world, call, true, [&] { cameras.rendering = call.flag(0); });
        cameras.ease = call.flag(1);
        cameras.easeTimeMs = call.i32(2);
        ++cameras.renderCalls;
    });
}

}  // namespace sim
