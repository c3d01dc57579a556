#pragma once
// The game's scripted cameras: where each sits, what it looks at, whether it is active, and
// whether script cameras are rendered instead of the game's own view. Camera handles live as every
// handle does (Handles.h); no native the plug-in calls destroys one, so a handle that is not alive
// was never made.
//
// Part of World.h, which includes it once Vec3 is defined.

#include "Handles.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace sim {

struct Camera {
    std::uint32_t handle = 0;
    std::string name;  // the camera type it was created as
    Vec3 position;
    Vec3 rotation;  // degrees, as given at creation
    float fieldOfView = 0.0f;
    std::optional<Vec3> pointAt;  // the point it looks at, once aimed at one
    bool active = false;
    std::int32_t rotationOrder = 0;
};

struct Cameras {
    std::map<std::uint32_t, Camera> cameras;
    // The last renderScriptCams: whether script cameras are rendered, and how the switch blends.
    bool rendering = false;
    bool ease = false;
    std::int32_t easeTimeMs = 0;
    int renderCalls = 0;

    std::uint32_t create(Camera camera);
    Camera* find(std::uint32_t handle);
    const Camera* find(std::uint32_t handle) const;
    // The camera a native names, or the refusal.
    Camera& use(std::uint32_t handle);
    // The camera the player looks through: the active one while script cameras are rendered, else
    // nullptr for the game's own view. With several active, the one created last.
    const Camera* viewing() const;

  private:
    HandleLife life_{"camera", 0x6C01};
};

}  // namespace sim
