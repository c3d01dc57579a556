#pragma once
// Turns each published robbery into a running executor, ticks the executors every frame and
// removes those that have ended, handing their entities back to the game.

#include "events/CargoBoatEvent.h"
#include "events/RandomBoatRobberyExecutor.h"

#include <memory>
#include <vector>

namespace tollmere {

class CargoBoatsManager final : public EventsSubscriber<CargoBoatEvent> {
public:
    // Subscribes to the generator, which must already exist.
    CargoBoatsManager();

    void onEvent(CargoBoatEvent event) override;
    // Once a frame while robberies are enabled. May yield to the host while a robbery spawns.
    void update();

    const std::vector<std::unique_ptr<RandomBoatRobberyExecutor>>& getExecutors() const { return executors_; }

private:
    std::vector<std::unique_ptr<RandomBoatRobberyExecutor>> executors_;
};

}  // namespace tollmere
