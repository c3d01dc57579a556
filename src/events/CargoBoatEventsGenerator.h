#pragma once
// Decides when and where a river robbery starts: at most one attempt every 14.4 s, each
// succeeding with the chance the settings give, at a river point 150 to 500 m from the player.
// Once an event is published the generator is switched off for the rest of the run.

#include "events/CargoBoatEvent.h"

#include <cstdint>
#include <set>

namespace tollmere {

class CargoBoatEventsGenerator {
public:
    explicit CargoBoatEventsGenerator(bool enabled);

    void subscribe(EventsSubscriber<CargoBoatEvent>* subscriber);
    void disable() { enabled_ = false; }
    // One generation attempt.
    void generate();

    // A spawn point more than 150 and less than 500 m from the player, chosen at random, or
    // (0, 0, 0) when none is.
    static Vec3 pickSpawnPoint();

private:
    // False, after one log line, when Configs.dat's reward keys cannot make a sane reward.
    static bool rewardsUsable();

    std::set<EventsSubscriber<CargoBoatEvent>*> subscribers_;  // published to in address order
    bool enabled_;
    std::int32_t lastAttemptTime_{};  // set as it is made, when enabled: read only then
    std::int32_t nextEventId_ = 0;
    bool rewardsChecked_ = false;
};

}  // namespace tollmere
