#include "Host.h"
#include "natives/Registration.h"

#include <cmath>
#include <string>

namespace sim {

namespace {

// A decorator must be registered, by a script or by the game, before it is used.
void requireDecorator(const Call& call, const World& world, const std::string& name) {
    if (!world.decorators.contains(name)) call.fail("decorator \"" + name + "\" was never registered");
}

}  // namespace

void registerVehicleNatives(Host& host) {
    World& world = host.world();

    // Entities.
    // Asking is how a script learns the game removed an entity: only a handle that never was one
    // is refused.
    host.registerNative("doesEntityExist", 0xD42BD6EB2E0F1677, {1}, [&world](Call& call) {
        const std::uint32_t handle = call.u32(0);
        if (handle != 0 && !world.everExisted(handle)) world.use(handle);
        call.returns(world.entity(handle) != nullptr);
    });
    host.registerNative("getEntityHeading", 0xC230DD956E2F5507, {1}, [&world](Call& call) {
        const Entity* e = world.use(call.u32(0));
        call.returns(e != nullptr ? e->heading : 0.0f);
    });
    host.registerNative("getEntityModel", 0xDA76A9F39210D365, {1}, [&world](Call& call) {
        const Entity* e = world.use(call.u32(0));
        call.returns(e != nullptr ? e->model : 0u);
    });
    host.registerNative("getEntitySpeed", 0xFB6BA510A533DF81, {1}, [&world](Call& call) {
        const Entity* e = world.use(call.u32(0));
        if (e != nullptr && e->vehicle != 0) e = world.entity(e->vehicle);
        call.returns(e == nullptr ? 0.0f : e->speedSetByTest.value_or(e->speed));
    });
    host.registerNative("setEntityCoords", 0x06843DA7060A026B, {8}, [&world](Call& call) {
        // The flags after the point decide how the game settles what it moved; this world
        // places it as 1, 1, 1, 1 asks.
        for (int i = 4; i < 8; ++i)
            call.only(i, 1, "a placement flag");
        const Vec3 to = call.vec(1);
        Entity* e = world.use(call.u32(0));
        if (e == nullptr) return;
        if (e->kind == EntityKind::vehicle) {
            world.teleportVehicle(e->handle, to);
        } else {
            e->vehicle = 0;
            e->position = to;
        }
    });
    host.registerNative("setEntityHeading", 0xCF2B9C0645C4651B, {2}, [&world](Call& call) {
        const float heading = call.f32(1);
        if (Entity* e = world.use(call.u32(0)); e != nullptr) e->heading = heading;
    });
    host.registerNative("isEntityDead", 0xDDBEA5506C848227, {1}, [&world](Call& call) {
        const Entity* e = world.use(call.u32(0));
        call.returns(e != nullptr && (e->dead || e->health <= 0));
    });
    // Incapacitated is a state of its own, for peds and vehicles alike: a dead entity is not
    // incapacitated unless a test says so.
    host.registerNative("isEntityIncapacitated", 0x7D5B1F88E7504BBA, {1}, [&world](Call& call) {
        const Entity* e = world.use(call.u32(0));
        call.returns(e != nullptr && e->incapacitated);
    });
    host.registerNative("getEntityHealthFraction", 0x96C638784DB4C815, {1}, [&world](Call& call) {
        const Entity* e = world.use(call.u32(0));
        call.returns(e != nullptr ? e->healthFraction() : 0.0f);
    });
    host.registerNative("getEntityMaxHealth", 0x15D757606D170C3C, {2}, [&world](Call& call) {
        call.only(1, 0, "the health component");
        const Entity* e = world.use(call.u32(0));
        call.returns(e != nullptr ? e->maxHealth : 0);
    });
    host.registerNative("setEntityMaxHealth", 0x166E7CF68597D8B5, {2}, [&world](Call& call) {
        const std::int32_t most = call.i32(1);
        if (Entity* e = world.use(call.u32(0)); e != nullptr) e->maxHealth = most;
    });
    host.registerNative("setEntityHealth", 0xAC2767ED8BDFAB15, {3}, [&world](Call& call) {
        call.only(2, 0, "the source of the change");
        // The dead stay dead: health given to a dead entity changes nothing.
        const std::int32_t health = call.i32(1);
        if (Entity* e = world.use(call.u32(0)); e != nullptr && !e->dead) {
            e->health = health;
            e->dead = e->health <= 0;
        }
    });
    host.registerNative("releaseEntity", 0x4971D2F8162B9674, {1}, [&world](Call& call) {
        auto* handle = call.ptr<std::uint32_t>(0);
        if (handle == nullptr) call.fail("needs the address of an entity handle");
        if (world.use(*handle) != nullptr) world.release(*handle);
        *handle = 0;
    });
    host.registerNative("decorGetInt", 0x44DB62727762FD9B, {2}, [&world](Call& call) {
        const std::string name = call.str(1);
        requireDecorator(call, world, name);
        const Entity* e = world.use(call.u32(0));
        const auto value = e != nullptr ? e->decorators.find(name) : decltype(e->decorators.end()){};
        call.returns(e != nullptr && value != e->decorators.end() ? value->second : 0);
    });
    host.registerNative("decorSetInt", 0xE88F4D7F52A6090F, {3}, [&world](Call& call) {
        const std::string name = call.str(1);
        requireDecorator(call, world, name);
        const std::int32_t value = call.i32(2);
        if (Entity* e = world.use(call.u32(0)); e != nullptr) e->decorators[name] = value;
    });

    // Peds.
    host.registerNative("isPedInAnyBoat", 0x2E0E1C2B4F6CB339, {1}, [&world](Call& call) {
        const Entity* ped = world.usePed(call.u32(0));
        call.returns(ped != nullptr && ped->vehicle != 0 && world.isBoat(ped->vehicle));
    });
    host.registerNative("isPedInVehicle", 0xA3EE4A07279BB9DB, {3}, [&world](Call& call) {
        const Entity* ped = world.usePed(call.u32(0));
        const std::uint32_t vehicle = call.u32(1);
        world.useVehicle(vehicle);
        const bool atGetIn = call.flag(2);
        call.returns(ped != nullptr && vehicle != 0 &&
                     (ped->vehicle == vehicle || (atGetIn && ped->entering == vehicle)));
    });
    host.registerNative("getVehiclePedIsIn", 0x9A9112A0FE9A4713, {2}, [&world](Call& call) {
        const Entity* ped = world.usePed(call.u32(0));
        const bool lastVehicle = call.flag(1);
        if (ped == nullptr) {
            call.returns(0u);
        } else {
            call.returns(ped->vehicle != 0 ? ped->vehicle : (lastVehicle ? ped->lastVehicle : 0u));
        }
    });
    host.registerNative("getVehiclePedIsEntering", 0xF92691AED837A5FC, {1}, [&world](Call& call) {
        const Entity* ped = world.usePed(call.u32(0));
        call.returns(ped != nullptr ? ped->entering : 0u);
    });
    host.registerNative("isPedOnFoot", 0x1FEE67DB37F59B2, {1}, [&world](Call& call) {
        const Entity* ped = world.usePed(call.u32(0));
        call.returns(ped != nullptr && ped->vehicle == 0 && ped->entering == 0);
    });

    // Vehicles.
    host.registerNative("deleteVehicle", 0x4CD38C78BD19A497, {1}, [&world](Call& call) {
        auto* handle = call.ptr<std::uint32_t>(0);
        if (handle == nullptr) call.fail("needs the address of a vehicle handle");
        world.useVehicle(*handle);
        world.deleteEntity(*handle);
        *handle = 0;
    });
    host.registerNative("getVehiclePropSet", 0xCE2ACD6F602803E5, {1}, [&world](Call& call) {
        const Entity* e = world.useVehicle(call.u32(0));
        call.returns(e != nullptr ? world.propSetId(e->propSet) : 0u);
    });
    host.registerNative("getVehicleLanternPropSet", 0xA079300AF757FB1A, {1}, [&world](Call& call) {
        const Entity* e = world.useVehicle(call.u32(0));
        call.returns(e != nullptr ? world.propSetId(e->lanternPropSet) : 0u);
    });
    host.registerNative("getPropSetHash", 0xA6A9712955F53D9C, {1},
                        [&world](Call& call) { call.returns(world.propSetHash(call.u32(0))); });
    host.registerNative("setVehiclePropSet", 0xD80FAF919A2E56EA, {2}, [&world](Call& call) {
        const std::uint32_t propSet = call.u32(1);
        if (Entity* e = world.useVehicle(call.u32(0)); e != nullptr) e->propSet = propSet;
    });
    host.registerNative("setVehicleLanternPropSet", 0xC0F0417A90402742, {2}, [&world](Call& call) {
        const std::uint32_t propSet = call.u32(1);
        if (Entity* e = world.useVehicle(call.u32(0)); e != nullptr) e->lanternPropSet = propSet;
    });
    host.registerNative("setVehicleTint", 0x8268B098F6FCA4E2, {2}, [&world](Call& call) {
        const std::int32_t tint = call.i32(1);
        if (Entity* e = world.useVehicle(call.u32(0)); e != nullptr) e->tint = tint;
    });
    host.registerNative("setVehicleFixed", 0x79811282A9D1AE56, {1}, [&world](Call& call) {
        if (Entity* e = world.useVehicle(call.u32(0)); e != nullptr) ++e->timesFixed;
    });
    // Cleaning takes the four steps in order; a boat counts as cleaned once all four ran.
    const std::pair<const char*, std::uint64_t> cleanSteps[] = {{"cleanVehicleStep1", 0x758C3460EE915D0A},
                                                                {"cleanVehicleStep2", 0x6F73EFAB11651D7F},
                                                                {"cleanVehicleStep3", 0x5AABB09F6FBD1F87},
                                                                {"cleanVehicleStep4", 0x4D15E49764CB328A}};
    for (int step = 0; step < 4; ++step) {
        host.registerNative(cleanSteps[step].first, cleanSteps[step].second, {2}, [&world, step](Call& call) {
            call.only(1, 0, "the cleaning pass");
            Entity* e = world.useVehicle(call.u32(0));
            if (e == nullptr) return;
            e->cleanSteps = e->cleanSteps == step ? step + 1 : 0;
            if (e->cleanSteps == 4) {
                ++e->timesCleaned;
                e->cleanSteps = 0;
            }
        });
    }
    host.registerNative("setBoatAnchor", 0xAEAB044F05B92659, {2}, [&world](Call& call) {
        const bool anchoring = call.flag(1);
        if (Entity* e = world.useVehicle(call.u32(0)); e != nullptr) {
            if (anchoring && !e->anchored) e->anchoredAt = e->position;
            e->anchored = anchoring;
            if (e->anchored) e->speedSetByTest.reset();
        }
    });
    host.registerNative("setBoatAnchorHold", 0x286771F3059A37A7, {3}, [&world](Call& call) {
        call.only(2, 0, "the hold's kind");
        const bool held = call.flag(1);
        if (Entity* e = world.useVehicle(call.u32(0)); e != nullptr) e->anchorHeld = held;
    });
    host.registerNative("isVehicleDriveable", 0xB86D29B10F627379, {3}, [&world](Call& call) {
        // The flags choose which states of the vehicle count against it; this world answers
        // from its state the way 1, 1 asks.
        call.only(1, 1, "the first state flag");
        call.only(2, 1, "the second state flag");
        const Entity* e = world.useVehicle(call.u32(0));
        call.returns(e != nullptr && e->kind == EntityKind::vehicle && e->driveable && !e->dead &&
                     e->health > 0);
    });
    host.registerNative("setVehicleRetired", 0x6E884BAB713A2A94, {2}, [&world](Call& call) {
        const bool retired = call.flag(1);
        Entity* e = world.useVehicle(call.u32(0));
        if (e != nullptr && e->kind == EntityKind::vehicle) e->retired = retired;
    });
    // Like releaseEntity: the vehicle is handed back to the game and the script's variable zeroed.
    host.registerNative("setVehicleAsNoLongerNeeded", 0x629BFA74418D6239, {1}, [&world](Call& call) {
        auto* handle = call.ptr<std::uint32_t>(0);
        if (handle == nullptr) call.fail("needs the address of a vehicle handle");
        if (world.useVehicle(*handle) != nullptr) world.release(*handle);
        *handle = 0;
    });
    host.registerNative("getVehiclePassengerCapacity", 0xA9C55F1C15E62E06, {1}, [&world](Call& call) {
        const Entity* e = world.useVehicle(call.u32(0));
        call.returns(e != nullptr ? e->passengerCapacity : 0);
    });
}

}  // namespace sim
