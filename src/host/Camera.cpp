#include "host/Camera.h"

#include "host/Natives.h"

namespace tollmere {

Camera createScriptedCamera(const Vec3& position, float fieldOfView) {
    return native::createCameraWithParams("DEFAULT_SCRIPTED_CAMERA", position, 0.0f, 0.0f, 0.0f, fieldOfView, true, 2);
}

void setCameraPosition(Camera camera, const Vec3& point) { native::setCamCoord(camera, point); }

void pointCameraAt(Camera camera, const Vec3& point) { native::pointCamAtCoord(camera, point); }

void setCameraActive(Camera camera, bool active) { native::setCamActive(camera, active); }

void renderScriptedCameras(bool render, bool ease, int easeTimeMs) {
    native::renderScriptCams(render, ease, easeTimeMs, true, false, 0);
}

}  // namespace tollmere
