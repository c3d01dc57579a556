#pragma once
// The fence: at any dock the player can sell the boat he sits in, his own or not, for a value
// worked out from prices, fitted extras, health and a stored value. A sold boat is marked so that
// it can never be sold twice, anchored where it floats and handed back to the game.

#include "host/Prompt.h"
#include "host/Types.h"

#include <cstdint>

namespace tollmere {

class Dock;

class BoatFence {
public:
    BoatFence();

    // Once a frame, in frames in which dock activity is not suspended.
    void update();

    // In frames in which it is: the sell prompt goes, since nothing would answer it until the
    // player is back (a cutscene that starts as the hold completes would otherwise leave it shown).
    void reset();

    // The sale value in whole dollars. Never below 0: a boat worth less than nothing would take
    // money from the player.
    std::int32_t computeBoatValue(Vehicle vehicle) const;

private:
    void sell(Vehicle vehicle, const Dock& dock);

    bool fenceTutorialShown_ = false;
    Prompt sellPrompt_;
};

// multiple × int((multiple / 2 + value) / multiple): the nearest multiple, halves rounding up as
// the game's prices always have. Held to the 32-bit range.
std::int32_t roundToMultiple(float value, std::int32_t multiple);

}  // namespace tollmere
