#include "Host.h"
#include "natives/Registration.h"

#include <cmath>
#include <numbers>

namespace sim {

void registerEntityNatives(Host& host) {
    World& world = host.world();

    host.registerNative("getEntityCoords", 0xA86D5F069399F44D, {3}, [&world](Call& call) {
        // The flags pick which of an entity's positions the game answers; this world keeps one
        // position an entity, the one 1, 0 asks for.
        call.only(1, 1, "the first position flag");
        call.only(2, 0, "the second position flag");
        const Entity* entity = world.use(call.u32(0));
        call.returns(entity != nullptr ? world.positionOf(entity->handle) : Vec3{});
    });
    host.registerNative("getEntityForwardVector", 0x2412D9C05BB09B97, {1}, [&world](Call& call) {
        const Entity* entity = world.use(call.u32(0));
        if (entity == nullptr) {
            call.returns(Vec3{});
            return;
        }
        const double radians = static_cast<double>(entity->heading) * std::numbers::pi / 180.0;
        call.returns(
            Vec3{static_cast<float>(-std::sin(radians)), static_cast<float>(std::cos(radians)), 0.0f});
    });
    host.registerNative("getDistanceBetweenCoords", 0xBE7F4E3CDBAFB28, {7}, [](Call& call) {
        Vec3 a = call.vec(0);
        Vec3 b = call.vec(3);
        if (!call.flag(6)) a.z = b.z;
        call.returns(distance(a, b));
    });
    host.registerNative("createVehicle", 0xAF35D0D2583051B0, {9}, [&world](Call& call) {
        const std::uint32_t model = call.u32(0);
        // The flags choose the kind of vehicle made; this world makes the one 1, 1, 0, 0 asks for.
        call.only(5, 1, "the first creation flag");
        call.only(6, 1, "the second creation flag");
        call.only(7, 0, "the third creation flag");
        call.only(8, 0, "the fourth creation flag");
        // The game creates nothing from a model that is not resident.
        if (!world.modelResident(model)) {
            call.returns(0u);
            return;
        }
        const std::uint32_t vehicle = world.createVehicle(model, call.vec(1), call.f32(4));
        world.entity(vehicle)->madeByScript = true;
        call.returns(vehicle);
    });
    host.registerNative("placeVehicleOnGround", 0x7263332501E07F52, {2}, [&world](Call& call) {
        call.only(1, 0, "the placing mode");
        if (Entity* vehicle = world.useVehicle(call.u32(0)); vehicle != nullptr)
            world.placeOnGround(vehicle->handle);
    });
}

}  // namespace sim
