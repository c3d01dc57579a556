#pragma once
// What the player owns, by his own account: the one every rule asks. He learns it from what he saw
// and did, never from the plug-in's log or tables:
//   bought    charged while the catalogue showed a boat's row selected: that model, as new
//   paid for  charged while the paint, fittings or lanterns row stood on an option: that option,
//             now his on that row
//   taken off select pressed with the fittings or lanterns row selected on "None", not his yet:
//             none on that row (it is free, so no charge tells of it)
//   claimed   the dock prompt completed under his hands and read by the plug-in (the game had not
//             taken him away in that frame) while he sat in a boat and owned none: that boat, with
//             whatever it carried
//   sold      credited while sitting in his boat: he owns none
//   destroyed his boat's health reached 0: he owns none
// Which entity is his he tells by the boat he claimed, or by the mark the game shows on his boat.
// The account lives in the session, so it outlives a start of the game; the boat he claimed is an
// entity of this start only.

#include "Model.h"
#include "Session.h"

#include "support/Harness.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace tollmere::playtest {

class Account {
  public:
    Account(testing::Harness& game, Session& session, const Model& model);

    void beforeFrame();
    // Learns from the frame just played; before any rule looks at it.
    void afterFrame();

    bool owns() const { return session_.owned.model != 0; }
    // Whether he owned a boat as the frame began.
    bool ownedBefore() const { return ownedBefore_; }
    Ownership& owned() { return session_.owned; }
    const Ownership& owned() const { return session_.owned; }
    std::uint32_t claimed() const { return claimed_; }
    bool wasSold(std::uint32_t handle) const { return sold_.contains(handle); }
    // A boat in the world that is his: afloat, not sold, the one he claimed or one with his mark.
    bool isMine(const sim::Entity& vehicle) const;
    // Whether the boat he sat in as the frame began was his.
    bool seatedInMine() const { return seatedInMine_; }
    std::uint32_t seatedBefore() const { return seatedBefore_; }

  private:
    void learnFromCharges();
    void learnFromPrompts();
    void learnFromWrecks();

    testing::Harness& game_;
    sim::World& world_;
    Session& session_;
    const Model& model_;
    std::string dockText_;
    std::string paintText_;
    std::string fittingsText_;
    std::string lanternsText_;
    std::string noneText_;

    std::uint32_t claimed_ = 0;
    std::set<std::uint32_t> sold_;
    std::vector<int> readsSeen_;  // completions the plug-in read, per prompt
    std::uint32_t seatedBefore_ = 0;
    bool seatedInMine_ = false;
    bool ownedBefore_ = false;
    std::size_t toastsBefore_ = 0;
    std::vector<std::uint32_t> heldBefore_;  // his boats as the frame began, wrecked or not
    std::string freeRowSelected_;  // fittings or lanterns selected on "None" as the frame began
};

}  // namespace tollmere::playtest
