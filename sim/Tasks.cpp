// Carrying out the peds' orders: sequences step by step, and vehicles driven under orders.

#include "World.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim {

std::int32_t Sequences::open() {
    const std::int32_t id = next_++;
    sequences_[id] = Sequence{id, false, {}};
    open_ = id;
    return id;
}

void Sequences::closeOpen() {
    if (Sequence* sequence = find(open_); sequence != nullptr) sequence->closed = true;
    open_ = 0;
}

Sequence* Sequences::find(std::int32_t id) {
    auto it = sequences_.find(id);
    return it == sequences_.end() ? nullptr : &it->second;
}

const Sequence* Sequences::find(std::int32_t id) const {
    auto it = sequences_.find(id);
    return it == sequences_.end() ? nullptr : &it->second;
}

void World::giveTask(std::uint32_t pedHandle, Task task) {
    Entity* ped = entity(pedHandle);
    if (ped == nullptr || ped->kind != EntityKind::ped) return;
    task.frame = frame;
    // A new order ends whatever sequence the ped was going through.
    ped->runningSequence = task.kind == TaskKind::performSequence ? task.sequence : 0;
    ped->nextStep = 0;
    ped->tasks.push_back(std::move(task));
}

namespace {

float headingTowards(const Vec3& from, const Vec3& to, float current) {
    const double dx = static_cast<double>(to.x) - from.x;
    const double dy = static_cast<double>(to.y) - from.y;
    if (dx == 0.0 && dy == 0.0) return current;
    double degrees = std::atan2(-dx, dy) * 180.0 / std::numbers::pi;
    if (degrees < 0.0) degrees += 360.0;
    return static_cast<float>(degrees);
}

// Moves from toward goal by at most step metres, stopping keep metres short of it. Returns the
// distance covered.
float approach(Vec3& position, const Vec3& goal, float keep, float step) {
    const float gap = distance(position, goal) - keep;
    if (gap <= 0.0f || step <= 0.0f) return 0.0f;
    const float covered = std::min(step, gap);
    const float fraction = covered / distance(position, goal);
    position.x += (goal.x - position.x) * fraction;
    position.y += (goal.y - position.y) * fraction;
    position.z += (goal.z - position.z) * fraction;
    return covered;
}

}  // namespace

void World::runTasks() {
    // Sequences first, then leaving vehicles: a ped that steps out this frame no longer drives.
    for (auto& [handle, ped] : entities) {
        if (ped.kind != EntityKind::ped || ped.runningSequence == 0) continue;
        const Sequence* sequence = sequences.find(ped.runningSequence);
        if (sequence == nullptr || ped.nextStep >= sequence->steps.size()) {
            ped.runningSequence = 0;
            continue;
        }
        Task step = sequence->steps[ped.nextStep++];
        step.frame = frame;
        step.sequence = sequence->id;
        if (ped.nextStep >= sequence->steps.size()) ped.runningSequence = 0;
        ped.tasks.push_back(std::move(step));
    }
    // Leave-vehicle orders given before this frame, and steps that landed just now.
    for (auto& [handle, ped] : entities) {
        if (ped.kind != EntityKind::ped || ped.tasks.empty()) continue;
        Task& order = ped.tasks.back();
        if (order.kind != TaskKind::leaveVehicle || order.carriedOut) continue;
        order.carriedOut = true;
        if (ped.vehicle != 0 && (order.vehicle == 0 || order.vehicle == ped.vehicle)) {
            stepOutOfVehicle(handle);
        }
    }

    std::map<std::uint32_t, const Entity*> drivers;  // by vehicle
    for (const auto& [handle, ped] : entities) {
        if (ped.kind == EntityKind::ped && ped.vehicle != 0 && ped.seat == -1) drivers[ped.vehicle] = &ped;
    }
    const float seconds = frameTimeSeconds();
    for (auto& [handle, vehicle] : entities) {
        if (vehicle.kind != EntityKind::vehicle) continue;
        const Entity* driver = drivers.contains(handle) ? drivers[handle] : nullptr;
        const Task* order = driver != nullptr ? driver->currentTask() : nullptr;
        const bool driven = order != nullptr && order->drives() && order->vehicle == handle &&
                            !driver->dead && driver->health > 0 && !driver->incapacitated && !vehicle.dead &&
                            vehicle.health > 0 && !vehicle.incapacitated && vehicle.driveable &&
                            !vehicle.anchored;
        if (!driven) {
            vehicle.drivenByOrders = false;
            continue;
        }
        Vec3 position = vehicle.position;
        float covered = 0.0f;
        if (order->kind == TaskKind::driveWander) {
            const double radians = static_cast<double>(vehicle.heading) * std::numbers::pi / 180.0;
            covered = order->speed * seconds;
            position.x += static_cast<float>(-std::sin(radians) * covered);
            position.y += static_cast<float>(std::cos(radians) * covered);
        } else {
            // The escort heads for its ped's vehicle, or the ped himself on foot; a ped gone leaves
            // it where it is.
            const bool escorting = order->kind == TaskKind::vehicleEscort;
            if (escorting && entity(order->target) == nullptr) {
                vehicle.drivenByOrders = true;
                continue;
            }
            const Vec3 goal = escorting ? positionOf(order->target) : order->point;
            covered = approach(position, goal, order->distance, order->speed * seconds);
            if (covered > 0.0f) vehicle.heading = headingTowards(vehicle.position, goal, vehicle.heading);
        }
        vehicle.drivenByOrders = true;
        if (covered > 0.0f) moveVehicle(handle, position);
    }
}

}  // namespace sim
