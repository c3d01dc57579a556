#pragma once
// The rental prompts of the docks. Renting goes no further than its prompts: they are registered
// with the game and stay hidden, and nothing calls the manager again.

#include "host/Prompt.h"

namespace tollmere {

class DocksRegistry;

class BoatRentalManager {
public:
    explicit BoatRentalManager(DocksRegistry& registry);

private:
    DocksRegistry& registry_;
    Prompt rentPrompt_;
    Prompt returnPrompt_;
};

}  // namespace tollmere
