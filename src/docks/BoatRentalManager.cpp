#include "docks/BoatRentalManager.h"

#include "data/DataFiles.h"
#include "data/DataKeys.h"
#include "host/GameHelpers.h"

#include <string>

namespace tollmere {

namespace {

// The fee is shown exactly as Configs.dat stores it, right after the dollar sign.
std::string rentText() {
    return std::string(LangData->getString(keys::promptsRentBoat)) + " $" +
           ConfigsData->getString(keys::rentFee);
}

}  // namespace

BoatRentalManager::BoatRentalManager(DocksRegistry& registry)
    : registry_(registry),
      rentPrompt_(rentText().c_str(), hashOf("INPUT_CONTEXT_Y"), PromptMode::hold),
      returnPrompt_(LangData->getString(keys::promptsReturnBoat), hashOf("INPUT_CONTEXT_Y"),
                    PromptMode::hold) {
    rentPrompt_.hide();
    returnPrompt_.hide();
}

}  // namespace tollmere
