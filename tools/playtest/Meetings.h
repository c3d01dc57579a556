#pragma once
// Where two features meet: a state of the plug-in's the player can tell from what he sees (a row),
// and an event that can fall on any state (a column). Faults live where a rare state meets a rare
// event, so the random player counts each meeting he played, in the run's covered roads as
// "meet:<state>@<event>", and aims his errands and the neighbour's acts at those not yet played.
//
// Rows: on foot at a pier; the dock menu open; the shop open buying or customising; the shop
// refused and waiting for the screen; one of the plug-in's prompts held (by its text's key), or
// his hold of the anchor's control before its prompt shows; the plug-in waiting inside an operation
// (the simulated game knows); rowing; at anchor; a robbery near him, its boat under him, and the
// alarm raised; owning no boat, a bought one or a claimed one (his own account).

#include "Session.h"

#include "support/Harness.h"

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tollmere::playtest {

class Meetings {
  public:
    static constexpr const char* kEvents[] = {
        "scene",         "photo-mode",      "pause-menu",      "map",
        "game-scene",    "death",           "restart",         "record-edited",
        "copy-missing",  "settings-edited", "settings-gone",   "walk-off",
        "close-or-back", "robbery-starts",  "entities-cleared", "record-stale"};

    Meetings(testing::Harness& game, Session& session);

    // The states he is in now.
    const std::vector<std::string>& states();
    // The event falls now, on the states he is in (or on those given: a file edited between two
    // starts meets the states he left the game in).
    void met(const char* event);
    void met(const char* event, const std::vector<std::string>& states);
    // The first of these events that some state he is in has not met yet in this run, and whether
    // that state is a fleeting one (a few frames: a hold, a wait, the dock menu, the anchor), which
    // must be aimed at at once or never.
    struct Unmet {
        const char* event;
        bool fleeting;
    };
    std::optional<Unmet> unmet(std::initializer_list<const char*> events);
    // After a frame: a robbery starting is an event the player sees, its boats appearing.
    void afterFrame();

    // The table of meetings, states by events, from roads covered; and the required ones missing.
    static void print(const std::map<std::string, int>& covered);
    static std::vector<std::string> missingRequired(const std::map<std::string, int>& reached);

  private:
    testing::Harness& game_;
    sim::World& world_;
    Session& session_;
    std::map<std::string, std::string> promptKeys_;  // prompt text to its key's name
    std::vector<std::string> states_;
    int statesFrame_ = -1;
    bool robberyBefore_ = false;
    std::vector<std::string> statesBefore_;
};

}  // namespace tollmere::playtest
