#pragma once
// Process-wide state of the plug-in. Everything here lives until the process ends.

#include "host/Types.h"

namespace tollmere {

// The player's character, refreshed at start-up and at the top of every frame. Every feature reads
// this instead of asking the game again.
extern Ped PlayerPed;

}  // namespace tollmere
