#pragma once
// The orders scripts give peds, and the sequences they build them into.
//
// Every order a ped receives is appended to its task list; the last one is what the ped is doing
// now, the earlier ones its history. A new order replaces the current one, a sequence in progress
// included. The game carries the orders out in World::runTasks, as each frame begins:
//
// - A sequence performed by a ped gives the ped its steps one frame at a time, the first in the
//   frame after taskPerformSequence; each step lands in the ped's task list as if given then.
// - A leave-vehicle order, given directly or as a step, puts the ped on foot a little to the
//   vehicle's right as the next frame begins (a step: in the frame it lands). Vehicle 0 means
//   whatever vehicle the ped sits in; an order naming a vehicle he is not in does nothing. So the
//   player told to step out is still seated for the rest of the frame the order was given in.
// - A vehicle moves while the ped in its driver's seat has, as his current order, a drive order for
//   that vehicle, and neither is dead or incapacitated, the vehicle is driveable and not anchored.
//   A vehicle that stops being driven this way stops. Its speed is what it moved in the frame
//   (World::settleEntities), unless a test set one.
// - Wander: straight along the vehicle's heading at the ordered speed.
// - Escort: toward the vehicle of the ped it escorts (or that ped, on foot) until it is as far
//   from it as ordered, at most at the ordered speed; there it waits.
// - Drive to a point: straight toward the point at the ordered speed, stopping as soon as it is
//   within the stopping range, so it ends exactly that far from the point.
// Moving vehicles turn at once to face where they go. Combat and everything else is only recorded.
//
// Part of World.h, which includes it once Vec3 is defined.

#include <cstdint>
#include <map>
#include <vector>

namespace sim {

enum class TaskKind { driveWander, vehicleEscort, driveToCoord, combatPed, leaveVehicle, performSequence };

struct Task {
    TaskKind kind = TaskKind::driveWander;
    int frame = 0;              // the frame it was given in
    std::uint32_t vehicle = 0;  // drive orders and leave-vehicle
    std::uint32_t target = 0;   // escort: the ped escorted; combat: the ped fought
    Vec3 point;                 // drive to a point
    float speed = 0.0f;         // drive orders, metres a second; the escort's top speed
    std::int32_t drivingStyle = 0;
    float distance = 0.0f;            // escort: the distance kept; drive to a point: the stopping range
    std::int32_t sequence = 0;        // performSequence: the sequence; a step: the sequence it came from
    std::vector<std::uint64_t> args;  // every slot pushed (the ped's slot 0), for what the model ignores
    bool carriedOut = false;          // leave-vehicle: done, the ped out (or never in that vehicle)

    bool drives() const {
        return kind == TaskKind::driveWander || kind == TaskKind::vehicleEscort ||
               kind == TaskKind::driveToCoord;
    }
};

struct Sequence {
    std::int32_t id = 0;
    bool closed = false;
    std::vector<Task> steps;
};

// One sequence at a time is open for steps; a closed one can be performed by any number of peds.
class Sequences {
  public:
    // Opens a new sequence and returns its id; ids start at 1, so 0 is never a sequence.
    std::int32_t open();
    std::int32_t openId() const { return open_; }  // 0 when none is open
    void closeOpen();                              // closes the open sequence, if any
    Sequence* find(std::int32_t id);
    const Sequence* find(std::int32_t id) const;
    std::size_t count() const { return sequences_.size(); }

  private:
    std::map<std::int32_t, Sequence> sequences_;
    std::int32_t open_ = 0;
    std::int32_t next_ = 1;
};

}  // namespace sim
