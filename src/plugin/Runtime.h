#pragma once
// The plug-in's spine: start-up and the per-frame update, run by scriptMain on the host's fiber.

namespace tollmere {

// Prepares the game, loads the data files and creates every manager in its fixed order. May span
// many frames (it waits for a texture dictionary). False leaves the plug-in inert.
bool startUp();

// One frame of the plug-in, managers in their fixed order, each under its own guard: an error in one
// is reported and the others still run.
void frameUpdate();

}  // namespace tollmere
