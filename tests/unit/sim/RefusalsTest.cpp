// Misuse of prompts, controls and cameras that the simulated game refuses loudly: each would go
// unnoticed in the game and leave a prompt that never shows or fires, or a camera that never moves.

#include "Host.h"
#include "host/Invoke.h"
#include "host/Natives.h"
#include "unit/host/DirectGame.h"

#include <cstdlib>

namespace tollmere::testing {
namespace {

constexpr Hash kContextB = sim::hashOf("INPUT_CONTEXT_B");

PromptHandle beginWithControl() {
    const PromptHandle handle = native::beginPromptRegistration();
    native::setPromptControl(handle, kContextB);
    return handle;
}

PromptHandle registered() {
    const PromptHandle handle = beginWithControl();
    native::setPromptPressMode(handle, true);
    native::endPromptRegistration(handle);
    return handle;
}

struct Refusal {
    const char* name;
    void (*misuse)();
    const char* message;
};

const Refusal kRefusals[] = {
    {"shown before its registration ended", [] { native::setPromptVisible(beginWithControl(), true); },
     "used before endPromptRegistration"},
    {"asked before its registration ended", [] { native::hasPromptHoldCompleted(beginWithControl()); },
     "used before endPromptRegistration"},
    {"set up after its registration ended", [] { native::setPromptControl(registered(), kContextB); },
     "set up after endPromptRegistration"},
    {"given a second mode",
     [] {
         const PromptHandle handle = beginWithControl();
         native::setPromptPressMode(handle, true);
         native::setPromptHoldMode(handle, true);
     },
     "already has its mode"},
    {"a handle the game never made", [] { native::setPromptEnabled(0x1234u, true); }, "was never a prompt"},
    {"two registrations at once",
     [] {
         beginWithControl();
         native::beginPromptRegistration();
     },
     "still being registered"},
    {"ended without a mode", [] { native::endPromptRegistration(beginWithControl()); }, "has no mode"},
    {"control and group swapped", [] { native::isControlPressed(static_cast<int>(kContextB), 0); },
     "control group 0, 1 or 2"},
    {"a camera type the game lacks",
     [] {
         native::createCameraWithParams("DEFAULT_SPLINE_CAMERA", Vec3{}, 0.0f, 0.0f, 0.0f, 30.0f, true, 2);
     },
     "no camera type"},
    {"a camera never created", [] { native::setCamActive(0x99u, true); }, "was never a camera"},
};

sim::World& world() {
    return sim::Host::instance().world();
}
Vehicle aBoat() {
    return world().createVehicle(0x9FD6BA58u, sim::Vec3{}, 0.0f);
}

// Entities, draws, the player and cash: what the game would answer with nonsense or a crash.
const Refusal kWorldRefusals[] = {
    {"a ped given to a vehicle native", [] { native::setVehicleTint(world().player.ped, 1); },
     "is a ped, not a vehicle"},
    {"a vehicle given to a ped native", [] { native::isPedOnFoot(aBoat()); }, "is a vehicle, not a ped"},
    {"a handle that never was", [] { native::getEntityCoords(0x7777u, true, false); }, "was never an entity"},
    {"a deleted vehicle",
     [] {
         const Vehicle boat = aBoat();
         Vehicle handle = boat;
         native::deleteVehicle(&handle);
         native::getEntityModel(boat);
     },
     "is gone"},
    {"a released vehicle the game removed",
     [] {
         const Vehicle boat = aBoat();
         Vehicle handle = boat;
         world().removeReleasedAtOnce = true;
         native::releaseEntity(&handle);
         sim::Host::instance().runFrame();
         native::getEntitySpeed(boat);
     },
     "is gone"},
    {"a blip gone with its entity",
     [] {
         const Vehicle boat = aBoat();
         const Blip blip = native::createBlipForEntity(0xB04092F8u, boat);
         Vehicle handle = boat;
         native::deleteVehicle(&handle);
         native::setBlipSprite(blip, 1u, 0);
     },
     "is gone"},
    {"a blip deleted twice",
     [] {
         Blip blip = native::createBlipForPoint(0xB04092F8u, Vec3{});
         const Blip kept = blip;
         native::deleteBlip(&blip);
         blip = kept;
         native::deleteBlip(&blip);
     },
     "is gone"},
    {"an entity given as a blip", [] { native::enableBlipModifier(aBoat(), 1u); }, "was never a blip"},
    {"a scripted draw outside the call's range",
     [] {
         world().scriptedInts.assign({3});
         native::getRandomIntInRange(0, 3);
     },
     "outside this call's range"},
    {"an empty range", [] { native::getRandomIntInRange(2, 2); }, "empty range"},
    {"a player index made up", [] { native::isPlayerDead(0); }, "is no player"},
    {"a charge with its sign turned", [] { native::removePlayerCash(500); }, "charges arrive negative"},
};

// Refusals throw Fatal and stop the host for good; each runs in a child process, which this turns
// into a plain exit, so the host of this process stays usable.
void exitWhenRefused(void (*misuse)()) {
    try {
        misuse();
    } catch (const sim::Fatal&) {
        std::_Exit(3);
    }
}

using GameRefusalDeathTest = DirectGameTest;

// Catches a sim that lets any of these through quietly, or refuses it for another reason.
TEST_F(GameRefusalDeathTest, MisusedPromptsControlsAndCamerasStopTheRun) {
    for (const Refusal& refusal : kRefusals) {
        SCOPED_TRACE(refusal.name);
        EXPECT_EXIT(exitWhenRefused(refusal.misuse), ::testing::ExitedWithCode(3), refusal.message);
    }
}

// Catches a sim that answers a handle, a draw, a player or a charge the game would not.
TEST_F(GameRefusalDeathTest, MisusedEntitiesDrawsPlayersAndChargesStopTheRun) {
    for (const Refusal& refusal : kWorldRefusals) {
        SCOPED_TRACE(refusal.name);
        EXPECT_EXIT(exitWhenRefused(refusal.misuse), ::testing::ExitedWithCode(3), refusal.message);
    }
}

}  // namespace
}  // namespace tollmere::testing
