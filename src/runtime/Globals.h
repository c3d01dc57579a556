#pragma once
// Process-wide state of the plug-in. Everything here is set once and lives until the process
// ends: the managers are created by start-up in a fixed order and never destroyed.

#include "host/Types.h"

namespace tollmere {

class DocksRegistry;
class BoatRentalManager;
class PlayerBoatManager;
class BoatsCatalog;
class DocksInteractionManager;
class AnchorManager;
class CargoBoatEventsGenerator;
class CargoBoatsManager;
class BoatFence;
class BoatSpawner;

// The player's character, refreshed at start-up and at the top of every frame. Every feature reads
// this instead of asking the game again.
extern Ped PlayerPed;

extern DocksRegistry* docksRegistry;
extern BoatRentalManager* boatRentalManager;
extern PlayerBoatManager* playerBoatManager;
extern BoatsCatalog* boatsCatalog;
extern DocksInteractionManager* docksInteractionManager;
extern AnchorManager* anchorManager;
extern CargoBoatEventsGenerator* cargoBoatEventsGenerator;
extern CargoBoatsManager* cargoBoatsManager;
extern BoatFence* boatFence;
extern BoatSpawner* boatSpawner;

}  // namespace tollmere
