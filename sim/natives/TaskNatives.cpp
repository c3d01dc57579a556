#include "Host.h"
#include "natives/Registration.h"

#include <string>

namespace sim {

namespace {

// Orders for ped 0 go into the open sequence; with none open the game drops them, as it does
// orders for a ped that does not exist.
void order(World& world, const Call& call, Task task) {
    for (int i = 0; i < call.count(); ++i) {
        task.args.push_back(call.raw(i));
    }
    const std::uint32_t ped = call.u32(0);
    world.usePed(ped);
    if (task.vehicle != 0) world.useVehicle(task.vehicle);
    if (task.target != 0) world.usePed(task.target);
    if (ped != 0) {
        world.giveTask(ped, std::move(task));
    } else if (Sequence* open = world.sequences.find(world.sequences.openId()); open != nullptr) {
        task.frame = world.frame;
        open->steps.push_back(std::move(task));
    }
}

// A sequence handed to closeSequenceTask or taskPerformSequence must have been opened; the game
// would quietly do nothing, and the ped would never move.
const Sequence& opened(const Call& call, const World& world, std::int32_t id) {
    const Sequence* sequence = world.sequences.find(id);
    if (sequence == nullptr) {
        call.fail("sequence " + std::to_string(id) + " was never opened with openSequenceTask");
    }
    return *sequence;
}

}  // namespace

void registerTaskNatives(Host& host) {
    World& world = host.world();

    host.registerNative("taskVehicleDriveWander", 0x480142959D337D00, {4}, [&world](Call& call) {
        Task task{.kind = TaskKind::driveWander, .vehicle = call.u32(1), .speed = call.f32(2)};
        task.drivingStyle = call.i32(3);
        order(world, call, std::move(task));
    });
    // The fourth slot is the distance kept from the escorted ped's vehicle, in whole metres; the
    // fifth the top speed. The distances and flag after the driving style are modelled for one value
    // each.
    host.registerNative("taskVehicleEscort", 0x9454528DF15D657A, {9}, [&world](Call& call) {
        Task task{.kind = TaskKind::vehicleEscort, .vehicle = call.u32(1), .target = call.u32(2)};
        task.distance = static_cast<float>(call.i32(3));
        task.speed = call.f32(4);
        task.drivingStyle = call.i32(5);
        call.onlyF32(6, 150.0f, "the first distance after the driving style");
        call.onlyF32(7, -1.0f, "the second distance after the driving style");
        call.only(8, 1, "the escort's flag");
        order(world, call, std::move(task));
    });
    // After the point and the speed: a flag word, the vehicle's model, the driving style, the
    // stopping range and a straight-line distance.
    host.registerNative("taskVehicleDriveToCoord", 0xE2A2AA2F659D77A7, {11}, [&world](Call& call) {
        Task task{.kind = TaskKind::driveToCoord,
                  .vehicle = call.u32(1),
                  .point = call.vec(2),
                  .speed = call.f32(5)};
        call.only(6, 0, "the task's flags");
        // The route is planned for the model named here, which is the vehicle's own.
        if (const Entity* vehicle = world.entity(task.vehicle);
            vehicle != nullptr && call.u32(7) != vehicle->model) {
            call.fail("argument 8 is model " + std::to_string(call.u32(7)) + ", not the vehicle's own");
        }
        task.drivingStyle = call.i32(8);
        task.distance = call.f32(9);
        call.onlyF32(10, 1.0f, "the straight-line distance");
        order(world, call, std::move(task));
    });
    host.registerNative("taskCombatPed", 0xF166E48407BAC484, {4}, [&world](Call& call) {
        call.only(2, 0, "the combat's flags");
        call.only(3, 16, "the combat's second word");
        order(world, call, Task{.kind = TaskKind::combatPed, .target = call.u32(1)});
    });
    host.registerNative("taskLeaveVehicle", 0xD3DBCE61A490BE02, {4}, [&world](Call& call) {
        call.only(2, 0, "the delay before leaving");
        call.only(3, 0, "how the ped leaves");
        order(world, call, Task{.kind = TaskKind::leaveVehicle, .vehicle = call.u32(1)});
    });

    // Sequences.
    host.registerNative("openSequenceTask", 0xE8854A4326B9E12B, {1}, [&world](Call& call) {
        auto* id = call.ptr<std::int32_t>(0);
        if (id == nullptr) call.fail("needs the address of a sequence handle");
        if (world.sequences.openId() != 0) {
            call.fail("sequence " + std::to_string(world.sequences.openId()) +
                      " is still open: close it before opening another");
        }
        *id = world.sequences.open();
    });
    host.registerNative("closeSequenceTask", 0x39E72BC99E6360CB, {1}, [&world](Call& call) {
        const std::int32_t id = call.i32(0);
        if (opened(call, world, id).closed) {
            call.fail("sequence " + std::to_string(id) + " is already closed");
        }
        world.sequences.closeOpen();
    });
    host.registerNative("taskPerformSequence", 0x5ABA3986D90D8A3B, {2}, [&world](Call& call) {
        const std::int32_t id = call.i32(1);
        if (!opened(call, world, id).closed) {
            call.fail("sequence " + std::to_string(id) + " is still open: close it before it is performed");
        }
        Task task{.kind = TaskKind::performSequence, .sequence = id};
        task.args = {call.raw(0), call.raw(1)};
        world.usePed(call.u32(0));
        world.giveTask(call.u32(0), std::move(task));
    });
}

}  // namespace sim
