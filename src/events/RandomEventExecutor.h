#pragma once
// A thing that happens at a place in the world and starts only when the player comes near. The
// base fires the event once when the player enters the trigger distance, then forwards every tick
// to the concrete event, and records its outcome: how the owner learns that the event is over.

#include "host/Types.h"

#include <cstdint>
#include <vector>

namespace tollmere {

class RandomEventExecutor {
public:
    RandomEventExecutor(const Vec3& position, float triggerDistance);
    virtual ~RandomEventExecutor() = default;
    RandomEventExecutor(const RandomEventExecutor&) = delete;
    RandomEventExecutor& operator=(const RandomEventExecutor&) = delete;

    // Hands the event's entities back to the game; the list itself stays as it is.
    virtual void releaseEntities();
    virtual bool shouldTrigger() const;
    virtual Entity addEntity(Entity entity);
    // The concrete event's work, every tick once triggered. May yield to the host.
    virtual void update() = 0;
    // Runs once, in the tick that fires the event, before its first update. May yield.
    virtual void onTriggered() {}

    // Once a frame, from the owner.
    void tick();
    void trigger(bool value);
    void setOutcome(std::int32_t value);
    bool hasOutcome() const { return outcome != 0; }
    std::int32_t getOutcome() const { return outcome; }
    bool isTriggered() const { return triggered; }

protected:
    bool triggered = false;
    Vec3 position;
    std::int32_t outcome = 0;
    std::vector<Entity> entities;
    float triggerDistance;
};

}  // namespace tollmere
