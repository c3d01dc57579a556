#pragma once
// Offers the anchor of the player's own boat out on the water: a drop prompt that appears only
// once the player keeps its control held, and a release prompt standing while the boat lies at
// anchor. Climbing into the anchored boat lifts the anchor by itself.

#include "host/Prompt.h"

namespace tollmere {

class PlayerBoatManager;

class AnchorManager {
public:
    explicit AnchorManager(PlayerBoatManager& boats);

    // Every frame, suspended or not.
    void update();

private:
    void hideBoth();

    PlayerBoatManager& boats_;
    Prompt dropPrompt_;
    Prompt releasePrompt_;
    bool wasAboard_ = false;  // in or getting into the boat at the last update
};

}  // namespace tollmere
