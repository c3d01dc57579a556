#include "World.h"

#include <utility>

namespace sim {

std::uint32_t Cameras::create(Camera camera) {
    camera.handle = life_.issue();
    const std::uint32_t handle = camera.handle;
    cameras[handle] = std::move(camera);
    return handle;
}

Camera* Cameras::find(std::uint32_t handle) {
    auto it = cameras.find(handle);
    return it == cameras.end() ? nullptr : &it->second;
}

const Camera* Cameras::find(std::uint32_t handle) const {
    auto it = cameras.find(handle);
    return it == cameras.end() ? nullptr : &it->second;
}

Camera& Cameras::use(std::uint32_t handle) {
    Camera* camera = life_.use(cameras, handle);
    if (camera == nullptr) life_.refuse(handle);
    return *camera;
}

const Camera* Cameras::viewing() const {
    if (!rendering) return nullptr;
    const Camera* found = nullptr;
    for (const auto& [handle, camera] : cameras) {
        if (camera.active) found = &camera;
    }
    return found;
}

}  // namespace sim
