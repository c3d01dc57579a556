#include "Host.h"
#include "Hash.h"
#include "natives/Registration.h"

#include <cstdlib>
#include <string>

namespace sim {

void registerEconomyNatives(Host& host) {
    World& world = host.world();

    host.registerNative("hashOf", 0xFD340785ADF8CFB7, {1}, [](Call& call) { call.returns(hashOf(call.str(0))); });
    host.registerNative("getRandomIntInRange", 0xD53343AA4FB7DD28, {2},
                        [&world](Call& call) { call.returns(world.randomInt(call.i32(0), call.i32(1))); });
    host.registerNative("getRandomFloatInRange", 0xE29F927A961F8AAA, {2},
                        [&world](Call& call) { call.returns(world.randomFloat(call.f32(0), call.f32(1))); });
    host.registerNative("addPlayerCash", 0xBC3422DC91667621, {2}, [&world](Call& call) {
        // The reason goes to the game's ledger, which knows its own reasons only.
        call.only(1, hashOf("ADD_REASON_DEFAULT"), "the reason for the cash");
        const std::int32_t cents = call.i32(0);
        if (cents < 0)
            call.fail("a credit of " + std::to_string(cents) + " cents: charges go through removePlayerCash");
        world.cashCents += cents;
    });
    // Charges arrive as negative cents; the game takes the amount's magnitude off the balance. A
    // positive amount is a sign turned round somewhere: refused rather than guessed at.
    host.registerNative("removePlayerCash", 0x466BC8769CF26A7A, {1}, [&world](Call& call) {
        const std::int32_t cents = call.i32(0);
        if (cents > 0) call.fail("a charge of +" + std::to_string(cents) + " cents: charges arrive negative");
        world.cashCents -= std::llabs(static_cast<long long>(cents));
    });
    host.registerNative("getPlayerCash", 0xC02DABFA3B98176, {0}, [&world](Call& call) {
        call.returns(static_cast<std::int32_t>(world.cashCents));
    });
}

}  // namespace sim
