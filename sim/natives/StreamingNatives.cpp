#include "Host.h"
#include "natives/Registration.h"

namespace sim {

void registerStreamingNatives(Host& host) {
    World& world = host.world();

    host.registerNative("hasTextureDictLoaded", 0x54D6900929CCF162, {1},
                        [&world](Call& call) { call.returns(world.textureDictResident(call.str(0))); });
    host.registerNative("requestTextureDict", 0xC1BA29DF5631B0F8, {2}, [&world](Call& call) {
        call.only(1, 0, "the request's flag");
        world.requestTextureDict(call.str(0));
    });
    host.registerNative("hasModelLoaded", 0x1283B8B89DD5D1B6, {1},
                        [&world](Call& call) { call.returns(world.modelResident(call.u32(0))); });
    host.registerNative("requestModel", 0xFA28FE3A6246FC30, {2}, [&world](Call& call) {
        call.only(1, 0, "the request's flag");
        world.requestModel(call.u32(0));
    });
}

}  // namespace sim
