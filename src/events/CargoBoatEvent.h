#pragma once
// The record of a cargo-boat robbery, published by the generator and copied into the executor
// that runs it. Copied by value wherever it goes, lists included.

#include "host/Types.h"

#include <cstdint>
#include <vector>

namespace tollmere {

struct CargoBoatEvent {
    // The generator fills in what describes the event before anyone reads it, the spawn its boat.
    std::int32_t id{};
    Vec3 position;                 // where the cargo boat is created
    Vehicle boat{};                // the cargo boat, once spawned
    std::vector<Vehicle> vehicles; // the cargo boat first, then the escorts
    std::vector<Ped> crew;         // the guards, leader first
    std::int32_t crewSize{};       // guards to create, leader included
    Ped leader = 0;                // none until the first guard is enlisted
    std::int32_t model{};
    Hash cargoPropSet{};
    Hash lanternPropSet{};
    std::int32_t tint{};
    std::int32_t reward{};         // sale value stored on the cargo boat, dollars
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
