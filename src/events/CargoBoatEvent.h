#pragma once
// The record of a cargo-boat robbery, published by the generator and copied into the executor
// that runs it. Copied by value wherever it goes, lists included.

#include "host/Types.h"

#include <cstdint>
#include <vector>

namespace tollmere {

struct CargoBoatEvent {
    std::int32_t id = 0;
    Vec3 position;                 // where the cargo boat is created
    Vehicle boat = 0;              // the cargo boat, once spawned
    std::vector<Vehicle> vehicles; // the cargo boat first, then the escorts
    std::vector<Ped> crew;         // the guards, leader first
    std::int32_t crewSize = 0;     // guards to create, leader included
    Ped leader = 0;
    std::int32_t model = 0;
    Hash cargoPropSet = 0;
    Hash lanternPropSet = 0;
    std::int32_t tint = 0;
    std::int32_t reward = 0;       // sale value stored on the cargo boat, dollars
};

// Receives each published event as a copy of its own.
template <typename Event>
class EventsSubscriber {
public:
    virtual void onEvent(Event event) = 0;

protected:
    ~EventsSubscriber() = default;
};

}  // namespace tollmere
