#pragma once
// The scripted camera the dock menu shows the boat through: created once, then only moved, aimed,
// switched on and off, and blended in and out. The camera is never destroyed.

#include "host/Types.h"

namespace tollmere {

Camera createScriptedCamera(const Vec3& position, float fieldOfView);
void setCameraPosition(Camera camera, const Vec3& point);
void pointCameraAt(Camera camera, const Vec3& point);
void setCameraActive(Camera camera, bool active);
// Blends between the game's camera and the script's over easeTimeMs when ease is on.
void renderScriptedCameras(bool render, bool ease, int easeTimeMs);

}  // namespace tollmere
