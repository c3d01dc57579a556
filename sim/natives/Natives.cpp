#include "Host.h"
#include "natives/Registration.h"

namespace sim {

void registerAllNatives(Host& host) {
    registerPlayerNatives(host);
    registerTextNatives(host);
    registerStreamingNatives(host);
    registerBlipNatives(host);
    registerEntityNatives(host);
    registerEconomyNatives(host);
    registerDrawNatives(host);
    registerVehicleNatives(host);
    registerControlNatives(host);
    registerPromptNatives(host);
    registerCameraNatives(host);
    registerPedNatives(host);
    registerTaskNatives(host);
    registerScreenQueryNatives(host);
}

}  // namespace sim
