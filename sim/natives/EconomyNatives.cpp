#include "Host.h"
#include "Hash.h"
#include "natives/Registration.h"

#include <cstdlib>

namespace sim {

void registerEconomyNatives(Host& host) {
    World& world = host.world();

    host.registerNative("hashOf", 0xFD340785ADF8CFB7, {1}, [](Call& call) { call.returns(hashOf(call.str(0))); });
    host.registerNative("getRandomIntInRange", 0xD53343AA4FB7DD28, {2},
                        [&world](Call& call) { call.returns(world.randomInt(call.i32(0), call.i32(1))); });
    host.registerNative("getRandomFloatInRange", 0xE29F927A961F8AAA, {2},
                        [&world](Call& call) { call.returns(world.randomFloat(call.f32(0), call.f32(1))); });
    host.registerNative("addPlayerCash", 0xBC3422DC91667621, {2}, [&world](Call& call) {
        call.u32(1);
        world.cashCents += call.i32(0);
    });
    // Charges arrive as negative cents; the game takes the amount's magnitude off the balance.
    host.registerNative("removePlayerCash", 0x466BC8769CF26A7A, {1}, [&world](Call& call) {
        world.cashCents -= std::llabs(static_cast<long long>(call.i32(0)));
    });
    host.registerNative("getPlayerCash", 0xC02DABFA3B98176, {0}, [&world](Call& call) {
        call.returns(static_cast<std::int32_t>(world.cashCents));
    });
}

}  // namespace sim
