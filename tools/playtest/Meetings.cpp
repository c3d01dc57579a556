#include "Meetings.h"

#include "Model.h"

#include "docks/DocksRegistry.h"
#include "runtime/Globals.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace tollmere::playtest {

namespace {

constexpr float kAtPierMetres = 2.5f;
constexpr std::uint32_t kClosedDockModifier = 0x2B30E11F;

// Meetings the fixed runs must reach between them (--check-coverage): a state of one feature that
// an event of another falls on, each where a fault lived or no rule sees the end of unless some run
// plays it.
// clang-format off
const char* const kRequiredMeetings[] = {
    "at-anchor@scene",           "at-anchor@death",              "rowing@death",
    "claimed-boat@restart",      "claimed-boat@record-edited",   "claimed-boat@copy-missing",
    "bought-boat@copy-missing",  "bought-boat@settings-edited",  "no-boat@settings-gone",
    "dock-menu@scene",           "dock-menu@walk-off",           "dock-menu@entities-cleared",
    "shop-browse@game-scene",    "shop-browse@photo-mode",       "shop-browse@death",
    "shop-customise@scene",      "shop-customise@pause-menu",    "shop-customise@death",
    "shop-waiting@close-or-back", "shop-waiting@walk-off",       "plugin-waiting@game-scene",
    "plugin-waiting@map",        "plugin-waiting@entities-cleared", "hold:manage_boats@game-scene",
    "hold:dock_boat@scene",      "hold:sell_boat@game-scene",    "hold-unshown@game-scene",
    "robbery-aboard@scene",      "robbery-aboard@death",         "robbery-aboard@entities-cleared",
    "robbery-near@game-scene",   "robbery-alarm@death",          "on-foot-at-pier@robbery-starts",
    "bought-boat@record-stale",  "claimed-boat@record-stale",    "at-anchor@restart",
};
// clang-format on

bool hasDecorator(const sim::Entity& e, const char* name) {
    const auto it = e.decorators.find(name);
    return it != e.decorators.end() && it->second != 0;
}

bool isCargoBoat(const sim::Entity& e) {
    return e.decorators.contains("QY_RB_boatValue") && !hasDecorator(e, "QY_RB_isBoatSold");
}

}  // namespace

Meetings::Meetings(testing::Harness& game, Session& session)
    : game_(game), world_(game.world()), session_(session) {
    for (const auto& [key, text] : readLayered(game.folder() / "Tollmere", "Lang", world_.language)) {
        if (key.starts_with("prompts.")) promptKeys_[text] = key.substr(8);
        if (key == "catalog.input.tint") promptKeys_[text] = "paint-row";
    }
}

const std::vector<std::string>& Meetings::states() {
    if (statesFrame_ == world_.frame) return states_;
    statesFrame_ = world_.frame;
    states_.clear();
    auto keyOf = [this](const std::string& text) -> std::string {
        for (const auto& [shown, key] : promptKeys_)
            if (!shown.empty() && text.starts_with(shown)) return key;
        return "";
    };
    const sim::Entity& ped = world_.playerPed();
    bool menu = false;
    bool refused = false;
    bool holdShown = false;
    for (const sim::GamePrompt* prompt : world_.prompts.visible()) {
        const std::string key = keyOf(prompt->text);
        menu = menu || key == "close";
        refused = refused || ((key == "browse_catalog" || key == "customize_boat") &&
                              !world_.prompts.isEnabled(prompt->handle));
        const bool held = world_.input.isDown(prompt->control);
        holdShown = holdShown || held;
        if (held && prompt->heldMs > 0 && !key.empty()) states_.push_back("hold:" + key);
    }
    const std::vector<ShownRow> rows = Model::readCatalogue(world_.screen.thisFrame());
    if (!rows.empty()) {
        const bool customising = std::ranges::any_of(
            rows, [this](const ShownRow& row) { return promptKeys_[row.title] == "paint-row"; });
        states_.push_back(customising ? "shop-customise" : "shop-browse");
    } else if (refused) {
        states_.push_back("shop-waiting");
    } else if (menu) {
        states_.push_back("dock-menu");
    } else if (ped.vehicle == 0 && docksRegistry != nullptr) {
        for (const auto& dock : docksRegistry->docks()) {
            const Vec3& p = dock->pierPoint().position;
            if (sim::distance(ped.position, sim::Vec3{p.x, p.y, p.z}) < kAtPierMetres)
                states_.push_back("on-foot-at-pier");
        }
    }
    if (game_.host().parkedWaitMs(sim::Host::kPluginName) > 0) states_.push_back("plugin-waiting");
    bool robbery = false;
    for (const sim::Entity* vehicle : world_.vehicles())
        robbery = robbery || isCargoBoat(*vehicle);
    if (const sim::Entity* boat = world_.entity(ped.vehicle)) {
        // The alarm raised, the docks' marks greyed on the map while the game does not hold him.
        const bool greyed = std::ranges::any_of(world_.blips, [](const auto& blip) {
            return blip.second.entity == 0 && blip.second.modifiers.contains(kClosedDockModifier);
        });
        const bool held = world_.player.unavailable || world_.player.scriptedActivity;
        if (isCargoBoat(*boat))
            states_.push_back(greyed && !held ? "robbery-alarm" : "robbery-aboard");
        else
            states_.push_back(boat->anchored ? "at-anchor" : "rowing");
        // His hold of the anchor's control before the prompt it brings shows.
        if (!holdShown && world_.input.isDown("INPUT_CONTEXT_X") && hasDecorator(*boat, "QY_RB_isPlayerBoat"))
            states_.push_back("hold-unshown");
    }
    if (robbery &&
        std::ranges::none_of(states_, [](const std::string& s) { return s.starts_with("robbery-"); }))
        states_.push_back("robbery-near");
    const Ownership& owned = session_.owned;
    states_.push_back(owned.model == 0 ? "no-boat" : owned.bought ? "bought-boat" : "claimed-boat");
    return states_;
}

void Meetings::met(const char* event) {
    met(event, states());
}

void Meetings::met(const char* event, const std::vector<std::string>& states) {
    for (const std::string& state : states)
        ++session_.covered["meet:" + state + "@" + event];
}

std::optional<Meetings::Unmet> Meetings::unmet(std::initializer_list<const char*> events) {
    for (const char* event : events) {
        for (const std::string& state : states()) {
            // What he owns is in every state: any event meets it without aiming.
            if (state.ends_with("-boat")) continue;
            if (session_.covered.contains("meet:" + state + "@" + event)) continue;
            const bool fleeting = state.starts_with("hold") || state == "plugin-waiting" ||
                                  state == "shop-waiting" || state == "dock-menu" || state == "at-anchor";
            return Unmet{event, fleeting};
        }
    }
    return std::nullopt;
}

void Meetings::afterFrame() {
    bool robbery = false;
    for (const sim::Entity* vehicle : world_.vehicles())
        robbery = robbery || isCargoBoat(*vehicle);
    if (robbery && !robberyBefore_) met("robbery-starts", statesBefore_);
    robberyBefore_ = robbery;
    statesBefore_ = states();
}

void Meetings::print(const std::map<std::string, int>& covered) {
    std::map<std::string, std::map<std::string, int>> table;
    for (const auto& [road, count] : covered) {
        if (!road.starts_with("meet:")) continue;
        const auto at = road.find('@');
        table[road.substr(5, at - 5)][road.substr(at + 1)] += count;
    }
    std::printf("meetings reached, how often (states down, events across):\n");
    for (std::size_t i = 0; i < std::size(kEvents); ++i)
        std::printf("  %2zu %s\n", i + 1, kEvents[i]);
    std::printf("  %-24s", "");
    for (std::size_t i = 0; i < std::size(kEvents); ++i)
        std::printf("%5zu", i + 1);
    std::printf("\n");
    for (const auto& [state, events] : table) {
        std::printf("  %-24s", state.c_str());
        for (const char* event : kEvents) {
            const auto it = events.find(event);
            if (it == events.end())
                std::printf("%5s", ".");
            else
                std::printf("%5d", it->second);
        }
        std::printf("\n");
    }
}

std::vector<std::string> Meetings::missingRequired(const std::map<std::string, int>& reached) {
    std::vector<std::string> missing;
    for (const char* meeting : kRequiredMeetings) {
        const auto it = reached.find(std::string("meet:") + meeting);
        if (it == reached.end() || it->second == 0) missing.push_back(std::string("meet:") + meeting);
    }
    return missing;
}

}  // namespace tollmere::playtest
