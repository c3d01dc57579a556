// The simulated game's scripted camera: what the player looks through after each camera native.

#include "host/Natives.h"
#include "unit/host/DirectGame.h"

namespace tollmere::testing {
namespace {

// Catches points or the field of view read from the wrong slots (a point takes three), the target
// and position swapped, and the render flags or ease time read from other arguments.
TEST_F(DirectGameTest, TheScriptCameraShowsWhereItWasPutAndAimed) {
    const Camera camera = native::createCameraWithParams("DEFAULT_SCRIPTED_CAMERA", Vec3{1.0f, 2.0f, 3.0f},
                                                         0.0f, 0.0f, 0.0f, 30.0f, true, 2);
    ASSERT_NE(world.cameras.find(camera), nullptr);
    EXPECT_EQ(world.cameras.find(camera)->position, (sim::Vec3{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(world.cameras.find(camera)->fieldOfView, 30.0f);
    native::setCamCoord(camera, Vec3{10.0f, 20.0f, 32.0f});
    native::pointCamAtCoord(camera, Vec3{14.5f, 20.0f, 30.0f});
    native::setCamActive(camera, false);
    native::renderScriptCams(true, false, 3000, true, false, 0);
    EXPECT_EQ(world.cameras.viewing(), nullptr) << "no active camera to look through";

    native::setCamActive(camera, true);
    const sim::Camera* seen = world.cameras.viewing();
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->handle, camera);
    EXPECT_EQ(seen->position, (sim::Vec3{10.0f, 20.0f, 32.0f}));
    EXPECT_EQ(seen->pointAt, (sim::Vec3{14.5f, 20.0f, 30.0f}));
    EXPECT_FALSE(world.cameras.ease);
    EXPECT_EQ(world.cameras.easeTimeMs, 3000);

    native::renderScriptCams(false, true, 3000, true, false, 0);
    EXPECT_EQ(world.cameras.viewing(), nullptr) << "back to the game's own view";
    EXPECT_TRUE(world.cameras.ease);
}

}  // namespace
}  // namespace tollmere::testing
