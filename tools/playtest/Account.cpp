#include "Account.h"

#include <cstdlib>
#include <fstream>

namespace tollmere::playtest {

namespace {

constexpr std::uint32_t kCreditColour = 0x067FA8F3u;    // a money toast that pays him
constexpr const char* kHisMark = "QY_RB_isPlayerBoat";  // the game's tag on his boat
constexpr const char* kSoldMark = "QY_RB_isBoatSold";
constexpr std::uint32_t kFirstPrompt = 0x4A01;

std::int32_t decorator(const sim::Entity& e, const char* name) {
    const auto it = e.decorators.find(name);
    return it == e.decorators.end() ? 0 : it->second;
}

// The catalogue's select key.
constexpr std::uint32_t kSelectControl = 0xC7B5340A;

// An option row stands on value n for option n - 1, "None" for none (-1).
std::int32_t optionShown(const ShownRow& row, const std::string& none) {
    return row.value == none ? -1 : std::atoi(row.value.c_str()) - 1;
}

}  // namespace

Account::Account(testing::Harness& game, Session& session, const Model& model)
    : game_(game), world_(game.world()), session_(session), model_(model) {
    for (const auto& [key, value] : readLayered(game.folder() / "Tollmere", "Lang", world_.language)) {
        if (key == "prompts.dock_boat") dockText_ = value;
        if (key == "catalog.input.tint") paintText_ = value;
        if (key == "catalog.input.propset") fittingsText_ = value;
        if (key == "catalog.input.lantern_propset") lanternsText_ = value;
        if (key == "generic.none") noneText_ = value;
    }
}

bool Account::isMine(const sim::Entity& vehicle) const {
    if (vehicle.kind != sim::EntityKind::vehicle || vehicle.released || vehicle.dead || vehicle.health <= 0)
        return false;
    if (sold_.contains(vehicle.handle) || decorator(vehicle, kSoldMark) != 0) return false;
    return vehicle.handle == claimed_ || decorator(vehicle, kHisMark) == 1;
}

void Account::beforeFrame() {
    ownedBefore_ = owns();
    seatedBefore_ = world_.playerPed().vehicle;
    const sim::Entity* seated = world_.entity(seatedBefore_);
    seatedInMine_ = seated != nullptr && (seatedBefore_ == claimed_ || decorator(*seated, kHisMark) == 1);
    toastsBefore_ = world_.moneyToasts.size();
    // Taking off fittings or lanterns is free, so no charge tells of it: the row selected on "None",
    // not yet his, when he presses select.
    freeRowSelected_.clear();
    for (const ShownRow& row : Model::readCatalogue(world_.screen.thisFrame())) {
        if (row.selected && !row.dimmed && row.value == noneText_ && row.priceCents == 0) freeRowSelected_ = row.title;
    }
    // A boat that sinks is let go in the very frame its wreck is noticed, and is no less destroyed.
    heldBefore_.clear();
    for (const sim::Entity* vehicle : world_.vehicles()) {
        if (!vehicle->released && !sold_.contains(vehicle->handle) &&
            (vehicle->handle == claimed_ || decorator(*vehicle, kHisMark) == 1))
            heldBefore_.push_back(vehicle->handle);
    }
}

void Account::afterFrame() {
    // The shop reads the select in the frame it draws: a row it dims in that very frame (his cash
    // just gone below its fee) refused the select, whatever the frame before showed.
    bool takenOff = false;
    if (!freeRowSelected_.empty() && world_.input.justPressed(kSelectControl)) {
        for (const ShownRow& row : Model::readCatalogue(world_.screen.thisFrame()))
            takenOff = takenOff || (row.title == freeRowSelected_ && row.selected && !row.dimmed);
    }
    if (takenOff) {
        Ownership& owned = session_.owned;
        if (freeRowSelected_ == fittingsText_) owned.propSets.insert(owned.propSet = -1);
        if (freeRowSelected_ == lanternsText_) owned.lanternPropSets.insert(owned.lanternPropSet = -1);
    }
    learnFromCharges();
    learnFromPrompts();
    learnFromWrecks();
}

void Account::learnFromCharges() {
    Ownership& owned = session_.owned;
    // A boat sold for nothing pays no toast: the mark the dock puts on it tells of the sale.
    const sim::Entity* seated = world_.entity(seatedBefore_);
    if (seatedInMine_ && seated != nullptr && decorator(*seated, kSoldMark) != 0 &&
        sold_.insert(seatedBefore_).second) {
        owned = Ownership{};
        claimed_ = 0;
    }
    for (std::size_t i = toastsBefore_; i < world_.moneyToasts.size(); ++i) {
        if (world_.moneyToasts[i].colour == kCreditColour) {
            // Paid while sitting in a boat: he sold it.
            if (seatedBefore_ == 0) continue;
            sold_.insert(seatedBefore_);
            if (seatedInMine_) {
                owned = Ownership{};
                claimed_ = 0;
            }
            continue;
        }
        // A charge pays for the row he selected in the catalogue drawn this frame, if any.
        for (const ShownRow& row : Model::readCatalogue(world_.screen.thisFrame())) {
            if (!row.selected) continue;
            if (const std::int32_t model = model_.modelNamed(row.title); model != 0) {
                // A new boat comes as the shop resets it: paint 0 or 1 (1 is the one it wears), no
                // fittings, no lanterns.
                owned = Ownership{model, {0, 1}, {-1}, {-1}, false, true, 1};
                claimed_ = 0;
            } else if (row.title == paintText_) {
                owned.tint = optionShown(row, noneText_);
                owned.tints.insert(owned.tint);
            } else if (row.title == fittingsText_) {
                owned.propSet = optionShown(row, noneText_);
                owned.propSets.insert(owned.propSet);
            } else if (row.title == lanternsText_) {
                owned.lanternPropSet = optionShown(row, noneText_);
                owned.lanternPropSets.insert(owned.lanternPropSet);
            }
        }
    }
}

void Account::learnFromPrompts() {
    // Held to the end while sitting in a boat, owning none, and still his own master in that frame
    // (a scene that takes him away takes the prompt with it), and read by the plug-in: a hold it
    // withdrew the prompt over (he was moving too fast by then) claims nothing.
    const bool free = !world_.player.unavailable && !world_.player.scriptedActivity && !world_.playerDead();
    const std::uint32_t seated = world_.playerPed().vehicle != 0 ? world_.playerPed().vehicle : seatedBefore_;
    for (std::uint32_t handle = kFirstPrompt; handle < kFirstPrompt + world_.prompts.count(); ++handle) {
        const sim::GamePrompt* prompt = world_.prompts.find(handle);
        const std::size_t slot = handle - kFirstPrompt;
        if (readsSeen_.size() <= slot) readsSeen_.resize(slot + 1, 0);
        if (prompt == nullptr || prompt->readCompletions == readsSeen_[slot]) continue;
        readsSeen_[slot] = prompt->readCompletions;
        const sim::Entity* boat = world_.entity(seated);
        if (prompt->text == dockText_ && free && boat != nullptr && !owns()) {
            claimed_ = seated;
            // A claimed boat comes with whatever it carried: the next record saved says what.
            session_.owned = Ownership{static_cast<std::int32_t>(boat->model), {}, {}, {}, true};
        }
    }
}

void Account::learnFromWrecks() {
    // His boat is destroyed once its health is gone: one the game held for him before the frame, or
    // the one he claimed, even a wreck he claimed. The wreck of a boat lost earlier, still afloat
    // with its mark after the game took it back, tells nothing about the boat he owns now.
    auto wrecked = [this](std::uint32_t handle) {
        const sim::Entity* vehicle = world_.entity(handle);
        return vehicle != nullptr && !sold_.contains(handle) && (vehicle->dead || vehicle->health <= 0);
    };
    bool destroyed = claimed_ != 0 && wrecked(claimed_);
    for (const std::uint32_t handle : heldBefore_)
        destroyed = destroyed || wrecked(handle);
    if (owns() && destroyed) {
        session_.owned = Ownership{};
        claimed_ = 0;
    }
}

}  // namespace tollmere::playtest
