#include "WorldRules.h"

#include "FrameCalls.h"
#include "Model.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <utility>

namespace tollmere::playtest {

namespace {

// What the player tells apart on screen and on the map.
constexpr std::uint32_t kBoatBlipSprite = 0x03B87AABu;  // the map's boat icon
constexpr std::uint32_t kCreditColour = 0x067FA8F3u;    // a money toast that pays him
// A change the plug-in makes in one script turn shows at the end of that frame; a turn or two more
// allow for what the game itself settles next frame. Counted in the script's turns, not in frames:
// while the robbery's set-up waits inside an operation, nothing of the plug-in runs, and a player
// does not notice his anchor lifted a tenth of a second late.
constexpr int kSettleTurns = 2;
// "Within a few seconds": what the plug-in no longer needs is the game's again in 5 s.
constexpr int kHandBackFrames = 150;
// Told to step out of a boat he sold, he is on the pier within a few frames.
constexpr int kStepOutFrames = 6;
// The shop's fades and waits: the world is the shop's until this long after its last panel.
constexpr int kShopFrames = 90;
// At most his boat and one robbery (a cargo boat, one escort boat, five guards) at any time.
constexpr std::size_t kMostLivingEntities = 8;
// Farther than this from all of it for a second, he has left the robbery behind for good. A glimpse
// from afar (coming back to life at the far end of the map and straight back) is not leaving it.
constexpr float kLeftBehindMetres = 650.0f;
constexpr int kLeftBehindFrames = 30;
// Tutorials the plug-in asks for once per start of the game at most; the fence's two share one.
const std::map<std::string, std::string> kOncePerStart = {
    {"drop_boat_anchor", "drop_boat_anchor"},
    {"boat_fence", "boat_fence"},
    {"boat_fence.poor_condition", "boat_fence"},
    {"boat_fence.slow_down_to_sell", "boat_fence.slow_down_to_sell"},
    {"dock_boat_too_fast", "dock_boat_too_fast"},
    {"owned_boat_docked", "owned_boat_docked"},
    {"boat_robberies.1", "boat_robberies.1"},
};

// The tutorials the plug-in documents, and how long each one's text stays up.
const std::set<std::string> kTutorials = {
    "drop_boat_anchor",  "boat_fence",           "boat_fence.poor_condition", "boat_fence.slow_down_to_sell",
    "boat_destroyed",    "left_docks",           "dock_boat_too_fast",        "boat_claimed",
    "owned_boat_docked", "return_boat_to_docks", "boat_robberies.1",          "boat_robberies.lose_law",
    "boat_robberies.2"};
constexpr std::int32_t kTutorialMs = 8000;
// The one tutorial shown again every time it is due; a seen one of the others comes back only when
// the game draws the last of five from 0 to 4 for it.
const std::string kForcedTutorial = "boat_destroyed";
// The map marks of the docks: fifteen, greyed by this modifier while they are closed.
constexpr std::size_t kDocks = 15;
constexpr std::uint32_t kClosedDockModifier = 0x2B30E11F;

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 0x100000001B3ull;
    return hash;
}

}  // namespace

WorldRules::WorldRules(testing::Harness& game, const Account& account)
    : game_(game),
      world_(game.world()),
      account_(account),
      stateFile_(game.folder() / "worldrules.state"),
      tollmere_(game.folder() / "Tollmere"),
      robbery_(game, account, game.folder() / "Tollmere", tutorialsSeen_) {
    for (const auto& [key, value] : readLayered(tollmere_, "Lang", world_.language)) {
        if (key == "prompts.dock_boat") dockText_ = value;
        if (key == "prompts.drop_anchor") dropText_ = value;
        if (key == "prompts.release_anchor") raiseText_ = value;
        if (key == "prompts.sell_boat") sellText_ = value;
        if (key == "blips.boat") boatBlipText_ = value;
        if (key.starts_with("prompts.") && key != "prompts.drop_anchor" && key != "prompts.release_anchor")
            dockServiceTexts_.insert(value);
        if (key.starts_with("tutorial.")) {
            tutorialByText_[value] = key.substr(9);
            textByTutorial_[key.substr(9)] = value;
        }
    }
    loadAccount();
    // The log as this start finds it must begin with all the last start left in it.
    const std::string log = readAll(tollmere_ / "Log.log");
    if (logSize_ > 0 && log.size() < logSize_) {
        logLost_ = Broken{"log-kept", "the log held " + std::to_string(logSize_) +
                                          " bytes when the game last stopped; this start finds " +
                                          std::to_string(log.size())};
    } else if (logSize_ > 0 && fnv1a(std::string_view(log).substr(0, logSize_)) != logHash_) {
        logLost_ = Broken{"log-kept", "the log held " + std::to_string(logSize_) +
                                          " bytes when the game last stopped; this start finds " +
                                          std::to_string(log.size()) + " bytes that do not begin with them"};
    }
    logSize_ = log.size();
}

WorldRules::~WorldRules() {
    try {
        saveAccount();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "playtest: %s\n", error.what());
    }
}

void WorldRules::loadAccount() {
    std::ifstream in(stateFile_);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string name;
        fields >> name;
        if (name == "log") fields >> logSize_ >> logHash_;
        if (name == "seen") {
            std::string tutorial;
            fields >> tutorial;
            tutorialsSeen_.insert(tutorial);
        }
    }
}

void WorldRules::saveAccount() const {
    const std::string log = readAll(tollmere_ / "Log.log");
    std::ofstream out(stateFile_, std::ios::trunc);
    out << "log " << log.size() << ' ' << fnv1a(log) << '\n';
    for (const std::string& tutorial : tutorialsSeen_)
        out << "seen " << tutorial << '\n';
    if (!out) throw std::runtime_error("cannot write " + stateFile_.string());
}

void WorldRules::beforeFrame() {
    toastsBefore_ = world_.moneyToasts.size();
    helpBefore_ = world_.helpTexts.size();
}

bool WorldRules::shopBusy() const {
    return world_.frame - lastBusyFrame_ <= kShopFrames;
}

std::vector<Broken> WorldRules::afterFrame(const std::vector<std::string>& logLines) {
    logLines_ = &logLines;
    if (!world_.screen.thisFrame().sprites().empty() || world_.fade.out) lastBusyFrame_ = world_.frame;
    followPlayer();
    std::vector<Broken> broken;
    if (logLost_) {
        broken.push_back(*logLost_);
        logLost_.reset();
    }
    if (auto found = robbery_.afterFrame(logLines, shopBusy())) broken.push_back(std::move(*found));
    for (auto check : {&WorldRules::checkSold, &WorldRules::checkBlips, &WorldRules::checkAnchor,
                       &WorldRules::checkLeftovers, &WorldRules::checkTutorials, &WorldRules::checkLog,
                       &WorldRules::checkSuspended, &WorldRules::checkDockMarks}) {
        if (auto found = (this->*check)()) broken.push_back(std::move(*found));
    }
    return broken;
}

void WorldRules::followPlayer() {
    // He sold the robbery's boat he sat in: the robbery is over.
    const sim::Entity* seatedIn = world_.entity(account_.seatedBefore());
    for (std::size_t i = toastsBefore_; i < world_.moneyToasts.size(); ++i) {
        if (world_.moneyToasts[i].colour == kCreditColour && seatedIn != nullptr &&
            !account_.seatedInMine() && seatedIn->madeByScript && endedAtFrame_ < 0)
            endedAtFrame_ = world_.frame;
    }
    bool docked = false;
    bool dropped = false;
    bool raised = false;
    for (std::uint32_t handle = 0x4A01; handle < 0x4A01 + world_.prompts.count(); ++handle) {
        const sim::GamePrompt* prompt = world_.prompts.find(handle);
        const std::size_t slot = handle - 0x4A01;
        if (completions_.size() <= slot) {
            completions_.resize(slot + 1, 0);
            reads_.resize(slot + 1, 0);
        }
        if (prompt == nullptr) continue;
        // A sale is made once the plug-in has read his hold: one it withdrew first (he rowed out of
        // reach in that frame, or came too fast) sells nothing.
        if (prompt->readCompletions > reads_[slot] && prompt->text == sellText_ && world_.playerPed().vehicle != 0) {
            sold_ = world_.playerPed().vehicle;
            soldPrompt_ = handle;
            soldTurns_ = 0;
            soldFrame_ = world_.frame;
        }
        reads_[slot] = prompt->readCompletions;
        if (prompt->completions == completions_[slot]) continue;
        completions_[slot] = prompt->completions;
        docked = docked || prompt->text == dockText_;
        dropped = dropped || prompt->text == dropText_;
        raised = raised || prompt->text == raiseText_;
    }
    // One hold on the one control can complete the dock and the drop prompts in the same frame: the
    // boat is docked then, and a docked boat he sits in has its anchor up.
    if (dropped) anchorExpected_ = !docked;
    if (raised) anchorExpected_ = false;
}

std::optional<Broken> WorldRules::checkSold() {
    // A boat sold at a dock stays where it floats, anchored and held, its sale marked on it, no
    // longer the script's, and he steps out of it.
    if (sold_ == 0) return std::nullopt;
    const sim::Entity* boat = world_.entity(sold_);
    if (world_.frame == soldFrame_ && world_.prompts.isVisible(soldPrompt_)) {
        return Broken{"sold-boat-left", "the prompt still offers to sell the boat " + sim::hexHandle(sold_) +
                                            " he has just sold"};
    }
    if (soldTurns_ >= 0 && pluginUpdated() && ++soldTurns_ > kSettleTurns) {
        soldTurns_ = -1;
        const bool marked = boat != nullptr && boat->decorators.contains("QY_RB_isBoatSold") &&
                            boat->decorators.at("QY_RB_isBoatSold") == 1;
        std::string missing;
        if (boat != nullptr) {
            for (const auto& [kept, what] : {std::pair{boat->anchored, " anchored"}, {boat->anchorHeld, " held"},
                                             {boat->retired, " retired"}, {marked, " marked sold"},
                                             {boat->released, " handed back to the game"}}) {
                if (!kept) missing += what;
            }
        }
        if (!missing.empty()) {
            return Broken{"sold-boat-left", "the boat " + sim::hexHandle(sold_) +
                                                " he sold is left anchored, held, retired, marked sold and handed "
                                                "back to the game, but not:" + missing};
        }
    }
    if (world_.frame - soldFrame_ == kStepOutFrames) {
        const std::uint32_t boatHeld = sold_;
        sold_ = 0;
        if (world_.playerPed().vehicle == boatHeld)
            return Broken{"sold-boat-left", "he still sits in the boat " + sim::hexHandle(boatHeld) +
                                                " he sold " + std::to_string(kStepOutFrames) + " frames ago"};
    }
    return std::nullopt;
}

std::optional<Broken> WorldRules::checkBlips() {
    // Each boat of his carries one blip, of the boat kind; nothing else carries one of the plug-in's.
    std::optional<Broken> wrong;
    std::map<std::uint32_t, int> boatBlips;
    for (const auto& [handle, blip] : world_.blips) {
        if (blip.entity == 0) continue;
        const sim::Entity* e = world_.entity(blip.entity);
        if (e == nullptr || !isMine(*e)) {
            wrong = Broken{"boat-blip", "blip " + sim::hexHandle(handle) + " marks entity " +
                                            sim::hexHandle(blip.entity) + ", which is no boat of his"};
        } else if (blip.sprite != kBoatBlipSprite) {
            wrong = Broken{"boat-blip", "his boat " + sim::hexHandle(blip.entity) + " carries blip " +
                                            sim::hexHandle(handle) + " with the icon " +
                                            sim::hexHandle(blip.sprite) + ", not the boat's"};
        } else if (blip.name != boatBlipName()) {
            wrong = Broken{"boat-blip", "his boat " + sim::hexHandle(blip.entity) + " carries a blip named \"" +
                                            blip.name + "\""};
        } else {
            ++boatBlips[blip.entity];
        }
    }
    for (const sim::Entity* vehicle : world_.vehicles()) {
        if (!isMine(*vehicle) || boatBlips[vehicle->handle] == 1) continue;
        wrong = Broken{"boat-blip", "his boat " + sim::hexHandle(vehicle->handle) + " carries " +
                                        std::to_string(boatBlips[vehicle->handle]) + " boat blips, not one"};
    }
    blipWrongFrames_ = !wrong ? 0 : blipWrongFrames_ + (pluginUpdated() ? 1 : 0);
    return blipWrongFrames_ > kSettleTurns ? wrong : std::nullopt;
}

// Whether the plug-in's frame update ran in this frame, not only an operation waiting inside it: every
// update begins, right after asking for his ped, by asking whether the game holds him, and switches
// the docks' map marks on or off; an operation that goes on after a wait (the robbery's set-up, the
// shop's fades) asks for his ped and then goes on with what it was doing.
bool WorldRules::pluginUpdated() const {
    std::string_view before[2];  // the plug-in's two calls before this one
    for (const sim::CallRecord& call : callsThisFrame(game_.host(), world_.frame)) {
        if (*call.script != sim::Host::kPluginName) continue;
        const std::string_view name = call.name;
        if (name == "enableBlipModifier" || name == "disableBlipModifier") return true;
        if (name == "isPlayerUnavailable" && before[1] == "getPlayerId" && before[0] == "getPlayerPed") return true;
        before[0] = before[1];
        before[1] = name;
    }
    return false;
}

std::optional<Broken> WorldRules::checkAnchor() {
    const sim::Entity* boat = nullptr;
    for (const sim::Entity* vehicle : world_.vehicles()) {
        if (isMine(*vehicle)) boat = vehicle;
    }
    if (boat == nullptr || shopBusy()) {
        // The shop anchors and swaps boats as it shows them: he learns the anchor again after it.
        anchorExpected_.reset();
        anchorBoat_ = boat != nullptr ? boat->handle : 0;
        // Where it lay when he last saw it: moved meanwhile by him, it was not brought to a dock.
        if (boat != nullptr) anchorBoatAt_ = boat->position;
        anchorWrongFrames_ = 0;
        return std::nullopt;
    }
    const sim::Entity& ped = world_.playerPed();
    const bool aboard = ped.vehicle == boat->handle || ped.entering == boat->handle;
    if (boat->handle != anchorBoat_) {
        // A boat of his he has not seen this start: placed again at its dock, or brought there, it
        // lies at anchor.
        anchorExpected_ = anchorBoat_ == 0 && !aboard ? std::optional<bool>(true) : std::nullopt;
        anchorBoat_ = boat->handle;
    } else if (!aboard && sim::distance(boat->position, anchorBoatAt_) > 8.0f) {
        anchorExpected_ = true;  // brought to a dock: it is moored there
    }
    anchorBoatAt_ = boat->position;
    // Getting in lifts the anchor.
    if (aboard && !aboardBefore_) anchorExpected_ = false;
    aboardBefore_ = aboard;
    if (!anchorExpected_) {
        anchorExpected_ = boat->anchored;
        return std::nullopt;
    }
    const int turn = pluginUpdated() ? 1 : 0;
    anchorWrongFrames_ = boat->anchored != *anchorExpected_ ? anchorWrongFrames_ + turn : 0;
    if (anchorWrongFrames_ <= kSettleTurns) return std::nullopt;
    anchorWrongFrames_ = 0;
    return Broken{"anchor-state",
                  std::string("his boat ") + sim::hexHandle(boat->handle) +
                      (boat->anchored ? " lies at anchor, though since it was dropped he raised it or got in"
                                      : " is not at anchor, though he dropped it, or it was placed at a "
                                        "dock, and never raised it")};
}

std::optional<Broken> WorldRules::checkLeftovers() {
    const sim::Vec3 at = world_.positionOf(world_.player.ped);
    std::vector<std::uint32_t> living;  // the plug-in's, besides his boat
    std::size_t count = 0;
    std::size_t marked = 0;
    bool allFar = true;
    for (const auto& [handle, e] : world_.entities) {
        if (!e.madeByScript || e.released) continue;
        ++count;
        if (isMine(e)) {
            ++marked;
            // The robbery measures him from its cargo boat, even one he docked and keeps.
            if (handle == robbery_.cargo()) allFar = allFar && sim::distance(world_.positionOf(handle), at) > kLeftBehindMetres;
            continue;
        }
        living.push_back(handle);
        allFar = allFar && sim::distance(world_.positionOf(handle), at) > kLeftBehindMetres;
    }
    if (count > kMostLivingEntities) {
        return Broken{"leftovers", std::to_string(count) +
                                       " entities of the plug-in's live at once; no road needs more than " +
                                       std::to_string(kMostLivingEntities)};
    }
    // A robbery ends when he dies, sells its boat or leaves it all far behind. Dying ends the one he
    // had met: a robbery the game sets up while he lies dead is there for him when he is back.
    const bool dies = world_.playerDead() && !deadBefore_;
    deadBefore_ = world_.playerDead();
    farFrames_ = !living.empty() && allFar ? farFrames_ + 1 : 0;
    if (endedAtFrame_ < 0 && !living.empty() &&
        (dies || farFrames_ >= kLeftBehindFrames || robbery_.cargoLost()))
        endedAtFrame_ = world_.frame;
    if (endedAtFrame_ >= 0 && endedWith_.empty()) endedWith_.insert(living.begin(), living.end());
    if (endedAtFrame_ >= 0 && world_.frame - endedAtFrame_ > kHandBackFrames) {
        for (std::uint32_t handle : endedWith_) {
            const sim::Entity* e = world_.entity(handle);
            if (e != nullptr && !e->released) {
                return Broken{"leftovers", "entity " + sim::hexHandle(handle) +
                                               " of the robbery that ended " +
                                               std::to_string(world_.frame - endedAtFrame_) +
                                               " frames ago was never handed back to the game"};
            }
        }
        endedAtFrame_ = -1;
        endedWith_.clear();
    }
    // Outside the shop, boats with his mark are the one he owns, or none.
    const std::size_t allowed = account_.owns() ? 1 : 0;
    previewFrames_ = !shopBusy() && marked > allowed ? previewFrames_ + 1 : 0;
    if (previewFrames_ > kHandBackFrames) {
        previewFrames_ = 0;
        return Broken{"leftovers", std::to_string(marked) +
                                       " boats of his stay in the world after the shop, he owns " +
                                       std::to_string(allowed)};
    }
    return std::nullopt;
}

// What the map should call his boat: a text that marks the name's place holds it there, any other
// follows it as English does.
std::string WorldRules::boatBlipName() const {
    const std::size_t mark = boatBlipText_.find("{player}");
    if (mark == std::string::npos) return world_.player.name + "'s " + boatBlipText_;
    return boatBlipText_.substr(0, mark) + world_.player.name + boatBlipText_.substr(mark + 8);
}

std::optional<Broken> WorldRules::checkTutorials() {
    // Each showing is logged as seen, and the frame posts the text of the last one logged, for 8 s.
    std::string logged;
    for (const std::string& line : *logLines_) {
        if (!line.starts_with("tutorial seen: ")) continue;
        logged = line.substr(15);
        if (!kTutorials.contains(logged))
            return Broken{"tutorial-shown",
                          "the log says the player saw a tutorial no one wrote: \"" + logged + "\""};
    }
    // The text goes up as the plug-in's turn ends, which is a later frame when something in the
    // turn waited inside an operation (a robbery being set up).
    if (!logged.empty()) {
        tutorialDue_ = logged;
        tutorialDueFrame_ = world_.frame;
    }
    const bool posted = world_.helpTexts.size() > helpBefore_;
    if (posted && tutorialDue_.empty()) {
        return Broken{"tutorial-shown", "a help text came up with no tutorial logged as seen: \"" +
                                            world_.helpTexts.back().text + "\""};
    }
    if (posted) {
        const std::string due = std::exchange(tutorialDue_, std::string());
        if (world_.helpTexts.back().text != textByTutorial_[due] || world_.helpTexts.back().durationMs != kTutorialMs)
            return Broken{"tutorial-shown", "the tutorial \"" + due +
                                                "\" is logged as seen, but another text or another time came up"};
    } else if (!tutorialDue_.empty() && world_.frame != tutorialDueFrame_ && pluginUpdated()) {
        const std::string due = std::exchange(tutorialDue_, std::string());
        return Broken{"tutorial-shown", "the tutorial \"" + due +
                                            "\" is logged as seen, but its text did not come up for 8 s "
                                            "before the plug-in's next turn"};
    }
    bool shown = false;
    int comebacksAllowed = -1;  // counted when first needed
    for (std::size_t i = helpBefore_; i < world_.helpTexts.size(); ++i) {
        const auto name = tutorialByText_.find(world_.helpTexts[i].text);
        if (name == tutorialByText_.end()) continue;
        shown = true;
        if (!tutorialsSeen_.insert(name->second).second && name->second != kForcedTutorial) {
            if (comebacksAllowed < 0) comebacksAllowed = comebackDraws();
            if (comebacksAllowed-- == 0) {
                return Broken{"tutorial-comeback", "the tutorial \"" + name->second +
                                                       "\" he has seen came back without the game drawing "
                                                       "the one chance in five for it"};
            }
        }
        const auto once = kOncePerStart.find(name->second);
        if (once != kOncePerStart.end() && !tutorialsThisStart_.insert(once->second).second) {
            return Broken{"tutorial-once",
                          "the tutorial \"" + name->second + "\" came up a second time in one start"};
        }
    }
    // Whatever he has seen, in this start or an earlier one, the flags file remembers.
    if (!shown && flagsChecked_) return std::nullopt;
    flagsChecked_ = true;
    const auto flags = readPairs(tollmere_ / "TutorialFlags.dat");
    for (const std::string& name : tutorialsSeen_) {
        const auto flag = flags.find(name);
        if (flag == flags.end() || flag->second != "1") {
            return Broken{"tutorial-once", "the tutorial \"" + name +
                                               "\" was shown, but TutorialFlags.dat does not remember it"};
        }
    }
    return std::nullopt;
}

// While the game holds him (he is unavailable, or in an activity of its own) the docks, their shop
// and the fence offer nothing; only the anchor's prompts may still show. Judged on frames the
// plug-in's update ran in: a fade the shop waits out inside an operation is not one.
//
// And in the middle of an operation (a fade, a model load, the robbery's set-up) the plug-in waits with
// every prompt of its own greyed out: a hold completed then would only be read after the wait, by an
// operation that no longer expects it.
std::optional<Broken> WorldRules::checkSuspended() {
    if (game_.host().parkedWaitMs(sim::Host::kPluginName) > 0) {
        for (std::uint32_t handle = 0x4A01; handle < 0x4A01 + world_.prompts.count(); ++handle) {
            const sim::GamePrompt* prompt = world_.prompts.find(handle);
            if (prompt != nullptr && world_.prompts.isVisible(handle) && world_.prompts.isEnabled(handle)) {
                return Broken{"suspended-prompt",
                              "the prompt \"" + prompt->text + "\" can be held while the plug-in waits " +
                                  std::to_string(game_.host().parkedWaitMs(sim::Host::kPluginName)) +
                                  " ms inside an operation"};
            }
        }
    }
    if ((!world_.player.unavailable && !world_.player.scriptedActivity) || !pluginUpdated()) return std::nullopt;
    for (std::uint32_t handle = 0x4A01; handle < 0x4A01 + world_.prompts.count(); ++handle) {
        const sim::GamePrompt* prompt = world_.prompts.find(handle);
        if (prompt != nullptr && prompt->visible && dockServiceTexts_.contains(prompt->text)) {
            return Broken{"suspended-prompt", "the prompt \"" + prompt->text + "\" shows while the game holds him (" +
                                                  (world_.player.unavailable ? "unavailable" : "in an activity") + ")"};
        }
    }
    return std::nullopt;
}

// The fifteen docks each have a mark on the map, all alike and named, and greyed exactly while the game
// holds him: a robbery's alarm may grey them for a turn, and they open again at the next.
std::optional<Broken> WorldRules::checkDockMarks() {
    if (!pluginUpdated()) return std::nullopt;
    const bool held = world_.player.unavailable || world_.player.scriptedActivity;
    std::size_t marks = 0;
    std::set<std::string> names;
    std::set<std::uint32_t> sprites;
    bool greyedWrongly = false;
    for (const auto& [handle, blip] : world_.blips) {
        if (blip.entity != 0) continue;
        ++marks;
        names.insert(blip.name);
        sprites.insert(blip.sprite);
        if (blip.modifiers.contains(kClosedDockModifier) != held) {
            if (held)
                return Broken{"dock-marks", "the dock \"" + blip.name +
                                                "\" is not greyed on the map while the game holds him"};
            greyedWrongly = true;
        }
    }
    if (marks != kDocks || names.size() != 1 || names.contains("") || sprites.size() != 1)
        return Broken{"dock-marks", std::to_string(marks) + " marks on the map with " +
                                        std::to_string(names.size()) + " names and " +
                                        std::to_string(sprites.size()) +
                                        " kinds, where the 15 docks have one named kind"};
    greyedTurns_ = greyedWrongly ? greyedTurns_ + 1 : 0;
    if (greyedTurns_ > 1) return Broken{"dock-marks", "the docks stay greyed on the map while he is free"};
    return std::nullopt;
}

// The plug-in's draws in this frame that bring a seen tutorial back: a 4 from 0 to 4.
int WorldRules::comebackDraws() const {
    int draws = 0;
    for (const sim::CallRecord& call : callsThisFrame(game_.host(), world_.frame)) {
        if (*call.script == sim::Host::kPluginName && std::string_view(call.name) == "getRandomIntInRange" &&
            call.args[0] == 0 && call.args[1] == 5 && static_cast<std::uint32_t>(call.result[0]) == 4)
            ++draws;
    }
    return draws;
}

std::optional<Broken> WorldRules::checkLog() {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(tollmere_ / "Log.log", error);
    if (error && logSize_ == 0) return std::nullopt;  // nothing logged yet in this run
    if (error) return Broken{"log-kept", "the log is gone"};
    if (size < logSize_) {
        const std::uintmax_t before = logSize_;
        logSize_ = size;
        return Broken{"log-kept", "the log shrank from " + std::to_string(before) + " to " +
                                      std::to_string(size) + " bytes"};
    }
    logSize_ = size;
    return std::nullopt;
}

}  // namespace tollmere::playtest
