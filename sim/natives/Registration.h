#pragma once
// Each area of the game registers the natives it answers. Handlers follow what the game does,
// including its quirks; where the game would do nothing for a bad handle, so do they.

namespace sim {

class Host;

void registerPlayerNatives(Host& host);
void registerTextNatives(Host& host);
void registerStreamingNatives(Host& host);
void registerBlipNatives(Host& host);
void registerEntityNatives(Host& host);
void registerEconomyNatives(Host& host);
void registerDrawNatives(Host& host);
void registerVehicleNatives(Host& host);
void registerControlNatives(Host& host);
void registerPromptNatives(Host& host);
void registerCameraNatives(Host& host);
void registerPedNatives(Host& host);
void registerTaskNatives(Host& host);
void registerScreenQueryNatives(Host& host);

}  // namespace sim
