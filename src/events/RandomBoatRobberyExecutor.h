#pragma once
// The river robbery, with the player as the robber: a cargo rowboat guarded by a crew waits on the
// river. When the player comes within 300 m the boats and guards appear, the leader rowing and an
// escort following. Climbing into the cargo boat turns the crew on him; a guard falling behind
// raises the alarm, and the boat can still be sold at any dock. Selling the boat ends the event as
// a success; losing it, dying or leaving it far behind ends it otherwise.

#include "events/CargoBoatEvent.h"
#include "events/RandomEventExecutor.h"

#include <cstdint>

namespace tollmere {

class RandomBoatRobberyExecutor : public RandomEventExecutor {
public:
    enum Outcome : std::int32_t { failed = 1, sold = 2, abandoned = 4 };
    enum Phase : std::int32_t { ended = -1, waiting = 0, afloat = 1, boatTaken = 2, alarm = 3 };

    explicit RandomBoatRobberyExecutor(CargoBoatEvent cargoEvent);

    void releaseEntities() override;
    void update() override;
    // Creates the boats and the crew, yielding to the host between steps.
    void onTriggered() override;

    const CargoBoatEvent& getEvent() const { return event; }
    std::int32_t getPhase() const { return phase; }

private:
    // 0 when the guard model did not load in time.
    Ped createCrewMember(Vehicle vehicle, std::int32_t seat);
    // The first guard that was created leads the others; a guard that was not created is left out.
    void enlist(Ped ped, Vehicle vehicle);
    bool endedThisUpdate();
    // After a wait in the spawn: true, with the event ended, when its cargo boat or leader is gone.
    bool spawnCutShort();
    void reorderOneEscort();
    bool alarmRaised() const;

    CargoBoatEvent event;
    std::int32_t retaskCounter = 0;
    std::int32_t phase = waiting;
    // The boat the leader sits in: the cargo boat unless its guard was never created.
    Vehicle leaderBoat{};
};

}  // namespace tollmere
