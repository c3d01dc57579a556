#include "docks/BoatRentalManager.h"

#include "data/DataFiles.h"
#include "host/GameHelpers.h"

#include <string>

namespace tollmere {

namespace {

// The fee is shown exactly as Configs.dat stores it, right after the dollar sign.
std::string rentText() {
    return std::string(LangData->getString("prompts.rent_boat")) + " $" + ConfigsData->getString("rent.fee");
}

}  // namespace

BoatRentalManager::BoatRentalManager(DocksRegistry& registry)
    : registry_(registry),
      rentPrompt_(rentText().c_str(), hashOf("INPUT_CONTEXT_Y"), PromptMode::hold),
      returnPrompt_(LangData->getString("prompts.return_boat"), hashOf("INPUT_CONTEXT_Y"), PromptMode::hold) {
    rentPrompt_.hide();
    returnPrompt_.hide();
}

}  // namespace tollmere
