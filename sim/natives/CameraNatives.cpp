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

void registerCameraNatives(Host& host) {
    Cameras& cameras = host.world().cameras;

    host.registerNative("createCameraWithParams", 0x40C23491CE83708E, {10}, [&cameras](Call& call) {
        const std::string name = call.str(0);
        if (name != "DEFAULT_SCRIPTED_CAMERA") call.fail("no camera type \"" + name + "\" in the game");
        // The flag after the field of view makes the camera active at once.
        Camera camera{.name = name,
                      .position = call.vec(1),
                      .rotation = call.vec(4),
                      .fieldOfView = call.f32(7),
                      .active = call.flag(8),
                      .rotationOrder = call.i32(9)};
        call.returns(cameras.create(std::move(camera)));
    });
    host.registerNative("setCamCoord", 0xF9EE7D419EE49DE6, {4},
                        [&cameras](Call& call) { cameraOf(call, cameras).position = call.vec(1); });
    host.registerNative("pointCamAtCoord", 0x948B39341C3A40C2, {4},
                        [&cameras](Call& call) { cameraOf(call, cameras).pointAt = call.vec(1); });
    host.registerNative("setCamActive", 0x87295BCA613800C8, {2},
                        [&cameras](Call& call) { cameraOf(call, cameras).active = call.flag(1); });
    host.registerNative("renderScriptCams", 0x33281167E4942E4F, {6}, [&cameras](Call& call) {
        call.flag(3);
        call.flag(4);
        call.i32(5);
        cameras.rendering = call.flag(0);
        cameras.ease = call.flag(1);
        cameras.easeTimeMs = call.i32(2);
        ++cameras.renderCalls;
    });
}

}  // namespace sim
