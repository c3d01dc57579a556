// Peds other than the player: created in a vehicle's seat, gathered in groups.

#include "World.h"

#include <cmath>
#include <numbers>

namespace sim {

bool World::playerDead() const {
    auto it = entities.find(player.ped);
    return it != entities.end() && (it->second.dead || it->second.health <= 0);
}

std::uint32_t World::pedInSeat(std::uint32_t vehicle, std::int32_t seat) const {
    if (vehicle == 0) return 0;
    for (const auto& [handle, e] : entities) {
        if (e.kind == EntityKind::ped && e.vehicle == vehicle && e.seat == seat) return handle;
    }
    return 0;
}

std::uint32_t World::createPedInsideVehicle(std::uint32_t vehicle, std::uint32_t model, std::int32_t seat) {
    const Entity* v = entity(vehicle);
    if (v == nullptr || v->kind != EntityKind::vehicle || !modelResident(model)) return 0;
    if (seat < -1 || seat >= v->passengerCapacity || pedInSeat(vehicle, seat) != 0) return 0;
    const std::uint32_t handle = entityLife_.issue();
    Entity ped;
    ped.handle = handle;
    ped.kind = EntityKind::ped;
    ped.model = model;
    ped.position = v->position;
    ped.heading = v->heading;
    ped.vehicle = vehicle;
    ped.lastVehicle = vehicle;
    ped.seat = seat;
    entities[handle] = ped;
    return handle;
}

void World::stepOutOfVehicle(std::uint32_t pedHandle) {
    Entity* ped = entity(pedHandle);
    if (ped == nullptr || ped->vehicle == 0) return;
    const Entity* v = entity(ped->vehicle);
    if (v != nullptr) {
        // A metre and a half to the right of the vehicle's heading (forward is (-sin, cos)).
        const double radians = static_cast<double>(v->heading) * std::numbers::pi / 180.0;
        ped->position = Vec3{v->position.x + static_cast<float>(1.5 * std::cos(radians)),
                             v->position.y + static_cast<float>(1.5 * std::sin(radians)), v->position.z};
        ped->heading = v->heading;
    }
    ped->lastVehicle = ped->vehicle;
    ped->vehicle = 0;
    ped->entering = 0;
    ped->seat = -1;
}

std::int32_t World::createGroup() {
    const std::int32_t id = nextGroup_++;
    groups[id] = PedGroup{id, 0, {}};
    return id;
}

}  // namespace sim
