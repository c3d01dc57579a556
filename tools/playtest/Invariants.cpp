#include "Invariants.h"

#include "boat/BoatRecordFile.h"
#include "data/TextFormat.h"
#include "docks/DocksRegistry.h"
#include "runtime/Globals.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <utility>

namespace tollmere::playtest {

namespace {

// The colour the game's money toast uses for a credit; a charge has another.
constexpr std::uint32_t kCreditColour = 0x067FA8F3u;
// Start-up logs its banner and the files it loads: that is not play.
constexpr int kStartUpFrames = 120;
// Log growth allowed per hour of play; the first hour is allowed in full from the start. A busy
// player's own doings (saves every 15 s while he rows, the shop opened every minute) log about
// 30 KB an hour; a line logged every frame would be megabytes.
constexpr std::int64_t kLogBytesPerHour = 64 * 1024;
constexpr std::int64_t kHourMs = 3600 * 1000;
// Frames after a completion in which its effect must show.
constexpr int kPromptEffectFrames = 3;
// The standard hold is 1000 ms: a sell held half a second past it must have sold.
constexpr std::int32_t kSellHoldMs = 1500;
// A one-time build (a list made on first use) allocates once; a leak per frame keeps allocating.
constexpr int kAllocatingFramesInARow = 3;
// A hold prompt reports its completion for a few frames: a charge for it may come in any of them.
constexpr int kCompletionFrames = 3;
// The record keeps the boat's health to within this share, saved at least every 15 s while the shop
// is closed: health unchanged for longer than that must come back after a start.
constexpr float kHealthTolerance = 0.05f;
constexpr int kSettledMs = 20000;
// Within this distance of a mooring a boat is at that dock; farther than kLeftDock it has left it.
constexpr float kAtMooring = 5.0f;
constexpr float kLeftDock = 40.0f;
// A boat brought to a dock is put on its mooring: this near it across the water.
constexpr float kOnMooring = 1.0f;
// Farther than this in one frame a boat was put somewhere, not rowed.
constexpr float kMoveMetres = 3.0f;
constexpr float kAtPier = 10.0f;
constexpr float kSellingSpeed = 1.5f;
constexpr float kNeedsRepair = 0.85f;
// What the docks offer is judged clear of the lines they draw: this far on either side of the
// reach on foot (2 m of a pier) and in a boat (10 m), of the 40 m that make a boat away from a dock,
// and of the speeds at which a boat may dock (below 1.2 m/s) and be sold (up to 1.5 m/s).
constexpr float kOnFootReach = 2.0f;
// A boat he asked for at a dock is there within this many frames, or not coming.
constexpr int kDockComingFrames = 300;
// In a boat this near a dock the fence speaks to him; a tutorial due comes within a few turns.
constexpr float kFenceReach = 220.0f;
constexpr int kTutorialDueTurns = 3;
// The plug-in's turns the shop waits before it asks again whether the screen is free, and one more.
constexpr int kShopAskAgainTurns = 16;
constexpr float kInBoatReach = 10.0f;
constexpr float kDockingSpeed = 1.2f;
constexpr float kReachMargin = 0.25f;
constexpr float kSpeedMargin = 0.05f;
// The shop takes its preview away once its fade-out has run: well within this many frames.
constexpr int kShopAfterglowFrames = 90;

// A data file read by the plug-in's own line grammar, without its logging: nullopt when a line
// is rejected.
std::optional<std::vector<std::pair<std::string, std::string>>> readEntries(
    const std::filesystem::path& path) {
    std::string content;
    if (!readWholeFile(path.c_str(), content)) return std::nullopt;
    std::vector<std::pair<std::string, std::string>> entries;
    LineReader reader(content);
    std::string_view line;
    while (reader.next(line)) {
        if (line.empty()) continue;
        std::string_view key;
        std::string_view value;
        if (!splitEntry(line, key, value)) return std::nullopt;
        entries.emplace_back(key, value);
    }
    return entries;
}

sim::Vec3 toSim(const Vec3& p) {
    return sim::Vec3{p.x, p.y, p.z};
}

// The dock whose point (pier or mooring) lies nearest to at, within reach; -1 for none.
int dockNear(const sim::Vec3& at, float reach, bool mooring) {
    if (docksRegistry == nullptr) return -1;
    int nearest = -1;
    float best = reach;
    const auto& docks = docksRegistry->docks();
    for (std::size_t i = 0; i < docks.size(); ++i) {
        const Vec3 point = mooring ? docks[i]->mooringPoint().position : docks[i]->pierPoint().position;
        const float d = sim::distance(at, toSim(point));
        if (d < best) {
            best = d;
            nearest = static_cast<int>(i);
        }
    }
    return nearest;
}

sim::Vec3 mooringOf(int dock) {
    return toSim(docksRegistry->docks()[static_cast<std::size_t>(dock)]->mooringPoint().position);
}

std::string describe(const BoatSeen& boat) {
    char text[160];
    std::snprintf(text, sizeof text, "model %d, tint %d, prop set %08x, lanterns %08x, health %.3f, dock %d",
                  boat.model, boat.tint, boat.propSet, boat.lanternPropSet, static_cast<double>(boat.health),
                  boat.dock);
    return text;
}

std::uint64_t mix(std::uint64_t hash, std::uint64_t value) {
    return (hash ^ value) * 0x100000001B3ull + 0x9E3779B97F4A7C15ull;
}

}  // namespace

Invariants::Invariants(testing::Harness& game, Session& session, std::set<std::string> allowed)
    : game_(game),
      session_(session),
      allowed_(std::move(allowed)),
      model_(game.folder() / "Tollmere", game.world().language),
      account_(game, session, model_),
      worldRules_(game, account_),
      screenRules_(game, account_),
      recordAtStart_("PlayerBoat.dat") {
    const std::filesystem::path folder = game_.folder() / "Tollmere";
    if (const auto lang = readLayered(folder, "Lang", game.world().language); !lang.empty()) {
        for (const auto& [key, value] : lang) {
            if (key == "prompts.sell_boat") sellText_ = value;
            if (key == "prompts.dock_boat") dockText_ = value;
            if (key == "prompts.retrieve_boat") retrieveText_ = value;
            if (key == "prompts.drop_anchor") dropAnchorText_ = value;
            if (key == "prompts.customize_boat") customizeText_ = value;
            if (key == "prompts.manage_boats") manageText_ = value;
            if (key == "prompts.browse_catalog") browseText_ = value;
            if (key == "prompts.close") closeText_ = value;
            if (key == "prompts.release_anchor") raiseText_ = value;
            if (key == "catalog.input.tint") paintText_ = value;
            if (key == "catalog.input.fix_boat") repairText_ = value;
            if (key == "catalog.input.clean_boat") cleanText_ = value;
        }
    }
    if (auto record = readEntries(folder / "PlayerBoat.dat")) {
        try {
            for (const auto& [key, value] : *record)
                recordAtStart_.setString(key.c_str(), value);
            const std::int32_t model = recordAtStart_.getInt("owned_boat_model");
            recordAtStart_.getInt("dock_id");
            // He put the kept copy back over the record: what it names is his, as it was when kept.
            if (session_.recordRestored) {
                const std::int32_t tint = recordAtStart_.getInt("tint");
                const std::int32_t propSet = recordAtStart_.getInt("propset_index");
                const std::int32_t lantern = recordAtStart_.getInt("lantern_propset_index");
                session_.owned = model == 0 ? Ownership{}
                                            : Ownership{model, {tint}, {propSet}, {lantern}, false, false,
                                                        tint, propSet, lantern};
            }
        } catch (const std::exception&) {
            recordAtStart_.setString("owned_boat_model", "0");  // record-loads has said so
        }
    }
    for (const auto& [name, flag] : readPairs(folder / "TutorialFlags.dat")) {
        if (flag == "1") tutorialsLogged_.insert(name);
    }
    std::error_code noLogYet;
    logOffset_ = std::filesystem::file_size(folder / "Log.log", noLogYet);
    if (noLogYet) logOffset_ = 0;
}

void Invariants::beforeFrame() {
    sim::World& world = game_.world();
    cashBefore_ = world.cashCents;
    toastsBefore_ = world.moneyToasts.size();
    helpBefore_ = world.helpTexts.size();
    entitiesBefore_ = world.entities.size();
    allocationsBefore_ = pluginAllocations();
    vehicleBefore_ = world.playerPed().vehicle;
    const sim::Entity* own = Model::ownBoat(world, account_.claimed());
    ownBoatBefore_ = own != nullptr ? own->handle : 0;
    ownPositionBefore_ = own != nullptr ? own->position : sim::Vec3{};
    ownHealthBefore_ = own != nullptr ? own->healthFraction() : 1.0f;
    ownCleanedBefore_ = own != nullptr ? own->timesCleaned : 0;
    ownFixedBefore_ = own != nullptr ? own->timesFixed : 0;
    // Removed between frames (his clearing, another script's deletion), it is the boat he last saw
    // that the frame begins without.
    if (own == nullptr && world.entity(ownBoatSeen_) == nullptr) ownBoatBefore_ = ownBoatSeen_;
    const sim::Entity* seated = world.entity(vehicleBefore_);
    soldBefore_ = seated != nullptr && seated->decorators.contains("QY_RB_isBoatSold") &&
                  seated->decorators.at("QY_RB_isBoatSold") != 0;
    paidReadsBefore_ = paidFetchReads();
    dockReadsBefore_ = dockReads();
    account_.beforeFrame();
    worldRules_.beforeFrame();
    screenRules_.beforeFrame();
}

std::optional<Broken> Invariants::afterFrame() {
    frameAllocations_ = pluginAllocations() - allocationsBefore_;
    ++framesPlayed_;
    readNewLog();
    for (const std::string& line : newLines_)
        cover(line);
    account_.afterFrame();
    session_.playedMs += game_.world().frameStepMs;
    watchPrompts();
    coverWorld();
    std::vector<Broken> found = check();
    watchBoat();
    const sim::Entity* seen = Model::ownBoat(game_.world(), account_.claimed());
    ownBoatSeen_ = seen != nullptr ? seen->handle : 0;
    catalogueBefore_ = !Model::readCatalogue(game_.world().screen.thisFrame()).empty();
    for (Broken& broken : found) {
        if (!allowed_.contains(broken.rule)) return std::move(broken);
        session_.knownFaults.try_emplace(broken.rule, session_.frame + game_.world().frame);
    }
    return std::nullopt;
}

std::vector<Broken> Invariants::check() {
    using Check = std::optional<Broken> (Invariants::*)();
    std::vector<Broken> broken;
    for (Check checkOne :
         {&Invariants::checkMoney, &Invariants::checkRecord, &Invariants::checkMoored,
          &Invariants::checkPrompts, &Invariants::checkStolenSale, &Invariants::checkLogGrowth,
          &Invariants::checkAllocations, &Invariants::checkFrameErrors, &Invariants::checkBoatKept,
          &Invariants::checkBoatDestroyed, &Invariants::checkBoatPaint, &Invariants::checkServiceDone,
          &Invariants::checkOffers, &Invariants::checkMoneyOwed, &Invariants::checkTutorialsDue, &Invariants::checkBoatPlaced}) {
        if (auto found = (this->*checkOne)()) broken.push_back(std::move(*found));
    }
    for (Broken& found : worldRules_.afterFrame(newLines_))
        broken.push_back(std::move(found));
    for (Broken& found : screenRules_.afterFrame())
        broken.push_back(std::move(found));
    return broken;
}

// A service he paid for in the shop is done to his boat in that frame: a repair mends it whole and
// washes it, a wash or a new paint leaves it clean.
std::optional<Broken> Invariants::checkServiceDone() {
    sim::World& world = game_.world();
    if (world.moneyToasts.size() == toastsBefore_ || world.cashCents >= cashBefore_) return std::nullopt;
    const sim::Entity* own = Model::ownBoat(world, account_.claimed());
    if (own == nullptr || own->handle != ownBoatBefore_) return std::nullopt;
    for (const ShownRow& row : Model::readCatalogue(world.screen.thisFrame())) {
        if (!row.selected) continue;
        const bool repair = row.title == repairText_;
        if (!repair && row.title != cleanText_ && row.title != paintText_) return std::nullopt;
        const bool washed = own->timesCleaned > ownCleanedBefore_;
        const bool mended = own->timesFixed > ownFixedBefore_ && own->healthFraction() == 1.0f;
        if (washed && (!repair || mended)) return std::nullopt;
        return Broken{"service-done", "frame " + std::to_string(world.frame) + ": he paid for \"" +
                                          row.title + "\" and his boat was " +
                                          (washed ? "washed" : "not washed") +
                                          (repair ? (mended ? ", mended" : ", not mended") : "")};
    }
    return std::nullopt;
}

void Invariants::watchPrompts() {
    sim::World& world = game_.world();
    std::erase_if(recentCompletions_,
                  [&world](const Completion& c) { return world.frame - c.frame >= kCompletionFrames; });
    dockEvent_ = -1;
    dockEventBrings_ = false;
    dockEventAwaitsShop_ = false;
    for (std::uint32_t handle = 0x4A01; handle < 0x4A01 + world.prompts.count(); ++handle) {
        const sim::GamePrompt* prompt = world.prompts.find(handle);
        if (prompt == nullptr) continue;
        const std::size_t slot = handle - 0x4A01;
        if (completionsSeen_.size() <= slot) completionsSeen_.resize(slot + 1, 0);
        if (prompt->completions <= completionsSeen_[slot]) continue;
        completionsSeen_[slot] = prompt->completions;
        recentCompletions_.push_back(Completion{world.frame, prompt->text});
        // What he did, as he saw it: had his boat brought to this dock.
        const sim::Vec3 at = world.positionOf(world.player.ped);
        if ((!retrieveText_.empty() && prompt->text.starts_with(retrieveText_)) || prompt->text == customizeText_) {
            dockEvent_ = dockNear(at, 15.0f, false);
            dockEventBrings_ = true;
            dockEventAwaitsShop_ = prompt->text == customizeText_;
        } else if (prompt->text == dropAnchorText_) {
            ++session_.covered["anchor-dropped"];
        }
    }
    // Docked the boat he sits in: the plug-in read his hold of the dock prompt. A hold it withdrew
    // the prompt over (he was moving too fast by then) docks nothing. The prompt is offered within
    // 10 m of a dock's pier, and the boat is docked at that dock where it floats.
    if (dockReads() > dockReadsBefore_ && world.playerPed().vehicle != 0)
        dockEvent_ = dockNear(world.positionOf(world.player.ped), kInBoatReach + kReachMargin, false);
    // A boat bought in the catalogue floats moored at this dock.
    if (world.moneyToasts.size() > toastsBefore_) {
        for (const ShownRow& row : Model::readCatalogue(world.screen.thisFrame())) {
            if (row.selected && model_.modelNamed(row.title) != 0) {
                dockEvent_ = dockNear(world.positionOf(world.player.ped), 30.0f, false);
                dockEventBrings_ = true;
                paidTint_ = -1;
                boughtAt_ = world.frame;
                if (lastHealthSeen_ < 1.0f) ++session_.covered["boat-bought-after-damaged"];
            } else if (row.selected && row.title == paintText_ && !row.value.empty()) {
                // The paint row stands on paint number n, the game's tint n - 1.
                paidTint_ = std::atoi(row.value.c_str()) - 1;
            }
        }
    }
}

void Invariants::watchBoat() {
    sim::World& world = game_.world();
    if (!Model::readCatalogue(world.screen.thisFrame()).empty()) lastCatalogueFrame_ = world.frame;
    const sim::Entity* own = Model::ownBoat(world, account_.claimed());
    if (own == nullptr || static_cast<std::int32_t>(own->model) != watched_.model) paidTint_ = -1;
    if (own != nullptr && account_.owns()) lastHealthSeen_ = own->healthFraction();
    if (own == nullptr) {
        // One that vanished, his still, comes back as he left it, moored where it was, and not
        // where a fetch or the shop was to bring the one that vanished.
        if (vanishedAt_ >= 0 || (account_.owns() && ownBoatBefore_ != 0 && world.entity(ownBoatBefore_) == nullptr)) {
            replacing_ = true;
            return;
        }
        // A boat on its way to a dock that is lost or sold meanwhile arrives nowhere.
        watched_ = BoatSeen{};
        dockComing_ = -1;
        return;
    }
    const float health = own->healthFraction();
    const bool shopRecently = world.frame - lastCatalogueFrame_ < kShopAfterglowFrames;
    const bool settled = health == watched_.health && static_cast<std::int32_t>(own->model) == watched_.model;
    watched_.stillMs = settled ? watched_.stillMs + (shopRecently ? 0 : world.lastFrameMs) : 0;
    watched_.model = static_cast<std::int32_t>(own->model);
    watched_.tint = own->tint;
    watched_.propSet = own->propSet;
    watched_.lanternPropSet = own->lanternPropSet;
    watched_.health = health;
    // The boat he left moored is moored still when the next start places it there.
    if (!firstSightingSeen_)
        watched_.dock = !session_.recordRestored                 ? session_.boatLeft.dock
                        : recordAtStart_.getInt("dock_id") > 0 ? dockNear(own->position, kOnMooring, true)
                                                               : -1;
    firstSightingSeen_ = true;
    // A boat fetched or taken into the shop comes to the dock once the screen is dark, some frames
    // after the prompt; one the shop never took (another script held the screen) stays moored
    // where it was.
    // Placed again, it is moored at the dock whose mooring it lies on, if any: the record's dock.
    const bool replaced =
        replacing_ || (ownBoatBefore_ != 0 && own->handle != ownBoatBefore_ && world.entity(ownBoatBefore_) == nullptr);
    if (replaced) {
        // A mooring he never docked at, nor had it brought to (the shop's dock, bought there), is
        // only where he last left it.
        const int lies = dockNear(own->position, kOnMooring, true);
        const bool known = lies == watched_.dock || lies == dockComing_ || lies == dockEvent_ || shopRecently;
        watched_.dock = lies >= 0 && known ? lies : -1;
        replacing_ = false;
        dockComing_ = -1;
    }
    if (dockEvent_ >= 0) {
        dockComing_ = dockEvent_;
        dockComingUntil_ = world.frame + kDockComingFrames;
        dockComingBrought_ = dockEventBrings_;
        dockComingAwaitsShop_ = dockEventAwaitsShop_;
    }
    // Brought there, it is put on the dock's mooring, in one move; docked, it stays where he left it.
    // He cannot row it while the shop or the fetch moves it: a move with him aboard is his own. A boat
    // placed again where its record puts it, in the frames a fetch or the shop begins, is not brought yet.
    const bool moved = !replaced && (own->handle != ownBoatBefore_ || sim::distance(own->position, ownPositionBefore_) > kMoveMetres) &&
                       world.playerPed().vehicle != own->handle;
    if (dockComing_ >= 0 && dockComingBrought_ && moved) {
        const DockPoint mooring = docksRegistry->docks()[static_cast<std::size_t>(dockComing_)]->mooringPoint();
        const float off = std::hypot(own->position.x - mooring.position.x, own->position.y - mooring.position.y);
        if (off > kOnMooring) misplaced_ = off;
        // And it lies along the mooring, as a boat tied up there does.
        if (std::fabs(own->heading - mooring.heading) > 0.5f) misturned_ = own->heading - mooring.heading;
    }
    // A boat already within a step of the mooring, or on it, is put there all the same once the
    // shop has begun (the plug-in faded the screen out for it), and then it is moored there even
    // when the shop gave way before it showed.
    const bool shifted = own->handle != ownBoatBefore_ || !(own->position == ownPositionBefore_);
    const auto fade = world.shared.held.find({sim::World::SharedState::fade, 0});
    const bool shopBegun = fade != world.shared.held.end() && fade->second.holder == sim::Host::kPluginName;
    const bool putOnMooring = dockComing_ >= 0 && (shifted || shopBegun) &&
                              world.playerPed().vehicle != own->handle &&
                              sim::distance(own->position, mooringOf(dockComing_)) <= kOnMooring;
    if (moved || putOnMooring || lastCatalogueFrame_ == world.frame) dockComingAwaitsShop_ = false;
    if (dockComing_ >= 0 && !dockComingAwaitsShop_ &&
        sim::distance(own->position, mooringOf(dockComing_)) <= kLeftDock) {
        watched_.dock = dockComing_;
        dockComing_ = -1;
    } else if (world.frame > dockComingUntil_) {
        dockComing_ = -1;
    }
    if (watched_.dock >= 0 && sim::distance(own->position, mooringOf(watched_.dock)) > kLeftDock)
        watched_.dock = -1;
}

void Invariants::coverWorld() {
    sim::World& world = game_.world();
    const sim::Entity* boat = world.entity(world.playerPed().vehicle);
    if (boat != nullptr && boat->speed > kSellingSpeed &&
        dockNear(world.positionOf(world.player.ped), kAtPier, false) >= 0) {
        ++session_.covered["fast-docking"];
    }
    const bool catalogueNow = !Model::readCatalogue(world.screen.thisFrame()).empty();
    if (catalogueBefore_ && !catalogueNow && (world.player.unavailable || world.player.scriptedActivity))
        ++session_.covered["shop-closed-by-scene"];
}

void Invariants::leaving() {
    session_.boatLeft = watched_;
}

std::optional<Broken> Invariants::checkBoatKept() {
    // Once, as start-up ends (the saved boat is placed last), after a start that followed another.
    if (boatKeptChecked_ || boatSpawner == nullptr) return std::nullopt;
    boatKeptChecked_ = true;
    // A record put back by hand names another boat than the one he left (its placing is record-moored's).
    if (session_.index == 0 || session_.recordRestored) return std::nullopt;
    const BoatSeen& left = session_.boatLeft;
    const sim::Entity* own = Model::ownBoat(game_.world(), account_.claimed());
    if (own == nullptr) {
        if (left.model == 0) return std::nullopt;
        return Broken{"boat-kept", "he left his boat (" + describe(left) + ") and has none after the start"};
    }
    BoatSeen found{static_cast<std::int32_t>(own->model),
                   own->tint,
                   own->propSet,
                   own->lanternPropSet,
                   own->healthFraction(),
                   left.dock,
                   0};
    if (left.dock >= 0 && sim::distance(own->position, mooringOf(left.dock)) > kAtMooring) found.dock = -1;
    const bool same = left.model == found.model && left.tint == found.tint && left.propSet == found.propSet &&
                      left.lanternPropSet == found.lanternPropSet && left.dock == found.dock;
    const bool healthKept = left.stillMs < kSettledMs ||
                            std::fabs(left.health - found.health) <= kHealthTolerance + 0.002f;
    if (!same || !healthKept) {
        return Broken{"boat-kept",
                      left.model == 0
                          ? "he left no boat and has one after the start (" + describe(found) + ")"
                          : "he left his boat as " + describe(left) + " and found it as " + describe(found)};
    }
    if (left.health < kNeedsRepair) ++session_.covered["restart-with-damaged-boat"];
    return std::nullopt;
}

std::optional<Broken> Invariants::checkBoatPlaced() {
    // A boat bought in the shop is new: whole, whatever the boat he had before went through.
    if (boughtAt_ >= 0) {
        const sim::World& world = game_.world();
        const sim::Entity* own = Model::ownBoat(world, account_.claimed());
        if (own != nullptr && own->healthFraction() < 1.0f) {
            boughtAt_ = -1;
            return Broken{"boat-new", "the boat he bought shows " + std::to_string(own->healthFraction()) +
                                          " of its health"};
        }
        if (own != nullptr || world.frame - boughtAt_ > kPromptEffectFrames) boughtAt_ = -1;
    }
    if (misturned_ != 0.0f) {
        return Broken{"boat-placed", "his boat was brought to a dock and lies " +
                                         std::to_string(std::exchange(misturned_, 0.0f)) +
                                         " degrees off its mooring's heading"};
    }
    if (misplaced_ < 0.0f) return std::nullopt;
    const float away = std::exchange(misplaced_, -1.0f);
    return Broken{"boat-placed", "his boat was brought to a dock and lies " + std::to_string(away) +
                                     " m from its mooring"};
}

std::optional<Broken> Invariants::checkBoatPaint() {
    // Out of the shop (whose rows preview other paints), his boat shows the paint he last paid for.
    sim::World& world = game_.world();
    const sim::Entity* own = Model::ownBoat(world, account_.claimed());
    if (paidTint_ < 0 || own == nullptr || world.frame - lastCatalogueFrame_ < kShopAfterglowFrames)
        return std::nullopt;
    if (static_cast<std::int32_t>(own->model) != watched_.model || own->tint == paidTint_)
        return std::nullopt;
    return Broken{"boat-kept", "he paid for tint " + std::to_string(paidTint_) + " and his boat shows tint " +
                                   std::to_string(own->tint)};
}

std::optional<Broken> Invariants::checkBoatDestroyed() {
    sim::World& world = game_.world();
    // One that vanished without a wreck was removed by another script or the game: the plug-in
    // places it again in its next turn, which its longest wait (a model loading) puts off 3 s.
    if (vanishedAt_ >= 0 && (Model::ownBoat(world, account_.claimed()) != nullptr || !account_.owns())) vanishedAt_ = -1;
    if (vanishedAt_ >= 0 && world.frame - vanishedAt_ > 150)
        return Broken{"boat-destroyed", "his boat vanished at frame " + std::to_string(std::exchange(vanishedAt_, -1)) +
                                            " and was not placed again"};
    if (ownBoatBefore_ == 0 || watched_.model == 0 || Model::ownBoat(world, account_.claimed()) != nullptr)
        return std::nullopt;
    // The shop's preview comes and goes with the rows he browses: not a boat he lost. Owning none,
    // the marked boat he watched was the preview, gone with a shop that closed before it drew.
    if (world.frame - lastCatalogueFrame_ < kShopAfterglowFrames || !account_.ownedBefore())
        return std::nullopt;
    const sim::Entity* was = world.entity(ownBoatBefore_);
    if (was != nullptr) {
        const auto sold = was->decorators.find("QY_RB_isBoatSold");
        if (sold != was->decorators.end() && sold->second != 0) return std::nullopt;
    }
    if (watched_.health <= 0.0f || ownHealthBefore_ <= 0.0f ||
        (was != nullptr && was->healthFraction() <= 0.0f)) {
        ++session_.covered["boat-destroyed"];
        sunkFrame_ = world.frame;
        return std::nullopt;
    }
    if (was == nullptr) {
        vanishedAt_ = world.frame;
        return std::nullopt;
    }
    return Broken{"boat-destroyed", "his boat (" + describe(watched_) +
                                        ") was taken from him, unsold, at health " +
                                        std::to_string(ownHealthBefore_)};
}

std::optional<Broken> Invariants::checkFrameErrors() {
    for (const std::string& line : newLines_) {
        if (line == "Something wrong happened" || line.starts_with("Fatal")) {
            return Broken{"frame-error", "the log says \"" + line + "\""};
        }
    }
    return std::nullopt;
}

void Invariants::readNewLog() {
    newLines_.clear();
    const std::filesystem::path path = game_.folder() / "Tollmere" / "Log.log";
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size <= logOffset_) return;
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(logOffset_));
    std::string added(size - logOffset_, '\0');
    in.read(added.data(), static_cast<std::streamsize>(added.size()));
    logOffset_ = size;
    partialLine_ += added;
    std::size_t start = 0;
    for (std::size_t end; (end = partialLine_.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = partialLine_.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto stampEnd = line.find("] ");
        newLines_.push_back(line.starts_with("[") && stampEnd != std::string::npos ? line.substr(stampEnd + 2)
                                                                                   : line);
        // Counted without the time stamp, whose width follows the clock: a run measures the same
        // at any hour.
        if (framesPlayed_ > kStartUpFrames)
            session_.logBytes += static_cast<std::int64_t>(newLines_.back().size()) + 1;
    }
    partialLine_.erase(0, start);
}

void Invariants::cover(const std::string& line) {
    auto& covered = session_.covered;
    if (line == "opening boat menu") ++covered["shop-opened"];
    if (line.starts_with("boat purchased")) ++covered["boat-bought"];
    if (line.starts_with("boat repainted") || line.starts_with("propset purchased") ||
        line.starts_with("lantern propset purchased") || line == "boat repaired" || line == "boat cleaned") {
        ++covered["customised"];
    }
    if (line == "boat repaired") ++covered["boat-repaired"];
    for (const char* prefix : {"propset purchased. index: ", "lantern propset purchased. index: "}) {
        if (line.starts_with(prefix)) ++covered[line.ends_with(" -1") ? "option-removed" : "option-bought"];
    }
    if (line.starts_with("boat repainted")) ++covered["option-bought"];
    if (line.starts_with("lantern propset purchased. index: ") && !line.ends_with(" -1")) ++covered["lanterns-bought"];
    if (line.starts_with("the shop waits")) ++covered["shop-waited"];
    if (line.starts_with("saving boat from entity")) ++covered["boat-claimed"];
    if (line.starts_with("boat sold at fence")) ++covered["boat-sold"];
    if (line == "player has sold his owned boat") ++covered["own-boat-sold"];
    if (line.starts_with("spawning boat at dock")) ++covered["boat-placed-at-dock"];
    if (line.starts_with("RandomEventExecutor: event triggered")) {
        ++covered["robbery-met"];
        // At an even rate the robbery's waits are judged to the frame.
        const sim::World& world = game_.world();
        if (world.frameJitterMs == 0)
            ++covered[world.frameStepMs == 10 ? "robbery-at-10-ms" : "robbery-at-even-rate"];
    }
    if (line.starts_with("RandomEventExecutor: outcome changed: ")) {
        const std::string outcome = line.substr(line.rfind(' ') + 1);
        if (outcome == "1") ++covered["robbery-failed"];
        if (outcome == "2") ++covered["robbery-sold"];
        // A cargo boat whose stored reward is a single dollar: worth nothing once rounded.
        if (outcome == "2" && model_.configFloat("boat_robberies.max_reward") == 1.0f)
            ++covered["token-reward-sold"];
        if (outcome == "4") ++covered["robbery-abandoned"];
    }
}

std::optional<std::int64_t> Invariants::shownCharge() {
    // The row he selected in the catalogue drawn this frame, or the prompt he just completed.
    for (const ShownRow& row : Model::readCatalogue(game_.world().screen.thisFrame())) {
        if (row.selected) return row.priceCents;
    }
    for (const Completion& completion : recentCompletions_) {
        if (auto amount = Model::amountIn(completion.text)) {
            ++session_.covered["paid-at-a-prompt"];
            return amount;
        }
    }
    return std::nullopt;
}

std::optional<Broken> Invariants::checkMoney() {
    sim::World& world = game_.world();
    const std::int64_t delta = world.cashCents - cashBefore_;
    std::int64_t shown = 0;
    int charges = 0;
    for (std::size_t i = toastsBefore_; i < world.moneyToasts.size(); ++i) {
        const sim::MoneyToast& toast = world.moneyToasts[i];
        if (toast.colour == kCreditColour) {
            shown += toast.cents;
            const sim::Entity* boat = world.entity(vehicleBefore_);
            if (boat == nullptr) {
                return Broken{"money-gain", "a credit of " + std::to_string(toast.cents) +
                                                " cents while he sat in no boat to sell"};
            }
            const std::int64_t value = model_.saleValueCents(*boat);
            if (toast.cents != value) {
                return Broken{"money-gain", "a dock paid " + std::to_string(toast.cents) +
                                                " cents for a boat worth " + std::to_string(value) +
                                                " by the sale rule (health " +
                                                std::to_string(boat->healthFraction()) + ")"};
            }
            if (boat->healthFraction() < 0.85f) ++session_.covered["damaged-boat-sold"];
        } else {
            shown -= toast.cents;
            ++charges;
            const auto price = shownCharge();
            if (!price || *price != toast.cents) {
                return Broken{"money-unshown", "a charge of " + std::to_string(toast.cents) +
                                                   " cents where " +
                                                   (price ? "the screen showed " + std::to_string(*price)
                                                          : std::string("no price was shown"))};
            }
        }
    }
    if (world.cashCents < 0) {
        return Broken{"money-negative", "cash is " + std::to_string(world.cashCents) + " cents"};
    }
    if (delta != shown) {
        return Broken{"money-unshown", "cash changed by " + std::to_string(delta) +
                                           " cents, the plug-in showed " + std::to_string(shown)};
    }
    if (charges > 1) return Broken{"money-unshown", std::to_string(charges) + " charges in one frame"};
    return std::nullopt;
}

// What is done for money is paid for in the frame it is done: a sale credits him what the sale rule
// gives (nothing when that is $0), a paid fetch charges its fee, a repair its row's price.
std::optional<Broken> Invariants::checkMoneyOwed() {
    sim::World& world = game_.world();
    bool credited = false;
    bool charged = false;
    for (std::size_t i = toastsBefore_; i < world.moneyToasts.size(); ++i) {
        (world.moneyToasts[i].colour == kCreditColour ? credited : charged) = true;
    }
    const sim::Entity* seated = world.entity(vehicleBefore_);
    if (seated != nullptr && !soldBefore_) {
        const auto sold = seated->decorators.find("QY_RB_isBoatSold");
        if (sold != seated->decorators.end() && sold->second != 0 && !credited &&
            model_.saleValueCents(*seated) > 0) {
            return Broken{"money-owed", "the boat he sat in was sold and nothing was paid for it (worth " +
                                            std::to_string(model_.saleValueCents(*seated)) + " cents)"};
        }
    }
    if (charged) return std::nullopt;
    if (paidFetchReads() > paidReadsBefore_) {
        const sim::GamePrompt* paid = paidFetch();
        if (paid != nullptr && Model::amountIn(paid->text).value_or(0) > 0)
            return Broken{"money-owed", "his boat was fetched at \"" + paid->text + "\" and nothing was charged"};
    }
    const sim::Entity* own = Model::ownBoat(world, account_.claimed());
    if (own != nullptr && own->handle == ownBoatBefore_ && own->timesFixed > ownFixedBefore_) {
        for (const ShownRow& row : Model::readCatalogue(world.screen.thisFrame())) {
            if (row.selected && row.title == repairText_ && row.priceCents.value_or(0) > 0)
                return Broken{"money-owed", "his boat was repaired and the repair's price was not charged"};
        }
    }
    return std::nullopt;
}

// How often the plug-in has read a completion of the dock prompt.
int Invariants::dockReads() const {
    const sim::GamePrompt* dock = game_.world().prompts.withText(dockText_);
    return dock == nullptr ? 0 : dock->readCompletions;
}

// The paid fetch's prompt: the fetch's text with the fee after a "$"; nullptr until it is made.
const sim::GamePrompt* Invariants::paidFetch() const {
    const sim::World& world = game_.world();
    for (std::uint32_t handle = 0x4A01; handle < 0x4A01 + world.prompts.count(); ++handle) {
        const sim::GamePrompt* prompt = world.prompts.find(handle);
        if (prompt != nullptr && prompt->text.starts_with(retrieveText_ + " $")) return prompt;
    }
    return nullptr;
}

// How often the plug-in has read a completion of the paid fetch.
int Invariants::paidFetchReads() const {
    const sim::GamePrompt* paid = paidFetch();
    return paid == nullptr ? 0 : paid->readCompletions;
}

std::optional<Broken> Invariants::checkRecord() {
    // Until the plug-in has started, the files are as he left them by hand (a copy deleted, say).
    if (boatSpawner == nullptr) return std::nullopt;
    const std::filesystem::path path = game_.folder() / "Tollmere" / "PlayerBoat.dat";
    std::error_code error;
    const auto time = std::filesystem::last_write_time(path, error);
    const auto size = std::filesystem::file_size(path, error);
    if (!error && time == recordTime_ && size == recordSize_) return std::nullopt;
    recordTime_ = time;
    recordSize_ = error ? 0 : size;

    const auto entries = readEntries(path);
    if (!entries) return Broken{"record-loads", "PlayerBoat.dat has a line the plug-in's grammar rejects"};
    DictDataFile record("PlayerBoat.dat");
    std::int32_t model = 0;
    std::int32_t tint = 0;
    std::int32_t propSet = 0;
    std::int32_t lantern = 0;
    std::int32_t durability = 0;
    try {
        for (const auto& [key, value] : *entries)
            record.setString(key.c_str(), value);
        model = record.getInt("owned_boat_model");
        tint = record.getInt("tint");
        propSet = record.getInt("propset_index");
        lantern = record.getInt("lantern_propset_index");
        durability = record.getInt("max_health");
        record.getInt("dock_id");
        record.getFloat("health");
        record.getVec3("coords");
    } catch (const std::exception& e) {
        return Broken{"record-loads", std::string("PlayerBoat.dat does not read: ") + e.what()};
    }

    // The copy kept beside it names the same boat, or none once it is sold or lost: it is written
    // by the save that changes which boat he owns, and a start leaves it so.
    const std::filesystem::path copy = path.parent_path() / "PlayerBoat.dat.bak";
    if (const std::int32_t kept = boatModelInRecordFile(copy.string().c_str()); kept != model) {
        return Broken{"record-copy", "PlayerBoat.dat names boat model " + std::to_string(model) +
                                         " and its copy PlayerBoat.dat.bak " + std::to_string(kept)};
    }
    Ownership& owned = session_.owned;
    if (model == 0) return std::nullopt;
    if (owned.adoptNextRecord && model == owned.model) {
        // Its fittings are whatever it carried, but a claim records no paint of its own: paint 0.
        if (tint != 0) return Broken{"record-paid", "the boat he claimed is recorded with tint " + std::to_string(tint)};
        owned = Ownership{model, {tint}, {propSet}, {lantern}, false, false, tint, propSet, lantern};
        return std::nullopt;
    }
    if (model != owned.model) {
        return Broken{"record-paid", "PlayerBoat.dat names boat model " + std::to_string(model) +
                                         ", which was neither bought nor claimed (owned: " +
                                         std::to_string(owned.model) + ")"};
    }
    if (!owned.tints.contains(tint))
        return Broken{"record-paid", "tint " + std::to_string(tint) + " was not paid for"};
    if (!owned.propSets.contains(propSet)) {
        return Broken{"record-paid", "prop set " + std::to_string(propSet) + " was not paid for"};
    }
    if (!owned.lanternPropSets.contains(lantern)) {
        return Broken{"record-paid", "lantern prop set " + std::to_string(lantern) + " was not paid for"};
    }
    // What he has now on each row, once he knows it: an option only tried on another row is not saved.
    for (const auto& [what, saved, his] : {std::tuple{"paint", tint, owned.tint},
                                           std::tuple{"fittings", propSet, owned.propSet},
                                           std::tuple{"lanterns", lantern, owned.lanternPropSet}}) {
        if (his != kUnknownOption && saved != his)
            return Broken{"record-paid", std::string("PlayerBoat.dat gives the ") + what + " " +
                                             std::to_string(saved) + " where the last he paid for is " +
                                             std::to_string(his)};
    }
    if (owned.bought && durability != 1000) {
        return Broken{"record-paid", "the bought boat's record gives it a full durability of " +
                                         std::to_string(durability) + ", not a new boat's 1000"};
    }
    return std::nullopt;
}

std::optional<Broken> Invariants::checkMoored() {
    // Once, in the frame start-up ends (the boat is placed again last), before the player acts.
    if (mooredChecked_ || boatSpawner == nullptr) return std::nullopt;
    mooredChecked_ = true;
    const std::int32_t model = recordAtStart_.getInt("owned_boat_model");
    const std::int32_t dockId = recordAtStart_.getInt("dock_id");
    const Dock* dock = docksRegistry->findDockById(dockId);
    if (model == 0 || dockId <= 0 || dock == nullptr) return std::nullopt;
    const Vec3 mooring = dock->mooringPoint().position;
    for (const sim::Entity* vehicle : game_.world().vehicles()) {
        if (!vehicle->decorators.contains("QY_RB_isPlayerBoat")) continue;
        const sim::Vec3 at{mooring.x, mooring.y, mooring.z};
        if (sim::distance(vehicle->position, at) < 5.0f) {
            ++session_.covered["moored-boat-placed-again"];
            return std::nullopt;
        }
    }
    return Broken{"record-moored", "PlayerBoat.dat names dock " + std::to_string(dockId) +
                                       " but no boat of the player floats at its mooring after the start"};
}

// What he sees that a prompt can change: his cash, the prompts in view and whether each is greyed,
// the fades, where he sits and his control, the shop's panel, the boats about and which lie at
// anchor, his boat moved within a frame (he moves it only between frames), what the game posts him,
// and his boat's record (a boat docked shows nowhere else
// until he comes back for it). The prompts are kept apart so that the one he completed
// can be left out: a prompt that only hides itself has done nothing. The log is none of it: he does
// not read it.
Invariants::Seen Invariants::seen() const {
    sim::World& world = game_.world();
    std::uint64_t hash = mix(0, static_cast<std::uint64_t>(world.cashCents));
    hash = mix(hash, static_cast<std::uint64_t>(world.fade.fadesOut * 7 + world.fade.fadesIn));
    hash = mix(hash, world.playerPed().vehicle);
    hash = mix(hash, world.player.control ? 1 : 0);
    hash = mix(hash, world.screen.thisFrame().draws.empty() ? 0 : 1);
    hash = mix(hash, world.helpTexts.size() * 31 + world.notices.size() * 7 + world.moneyToasts.size());
    hash = mix(hash, static_cast<std::uint64_t>(recordTime_.time_since_epoch().count()));
    for (const sim::Entity* vehicle : world.vehicles())
        hash = mix(hash, vehicle->handle * 2u + (vehicle->anchored ? 1u : 0u));
    hash = mix(hash, static_cast<std::uint64_t>(boatMovedInFrames_));
    Seen now{hash, {}};
    for (const sim::GamePrompt* prompt : world.prompts.visible())
        now.prompts.push_back(prompt->handle * 2u + (world.prompts.isEnabled(prompt->handle) ? 1u : 0u));
    return now;
}

bool Invariants::Seen::changedFor(const Seen& before, std::uint32_t completed) const {
    if (rest != before.rest) return true;
    // Greyed out, the prompt tells him it heard him and waits; gone, it tells him nothing.
    const bool stillShown =
        std::ranges::any_of(prompts, [completed](std::uint32_t p) { return p / 2u == completed; });
    auto others = [completed, stillShown](const std::vector<std::uint32_t>& shown) {
        std::vector<std::uint32_t> kept;
        for (const std::uint32_t p : shown)
            if (stillShown || p / 2u != completed) kept.push_back(p);
        return kept;
    };
    return others(prompts) != others(before.prompts);
}

std::optional<Broken> Invariants::checkPrompts() {
    sim::World& world = game_.world();
    const int frame = world.frame;
    const sim::Entity* own = Model::ownBoat(world, account_.claimed());
    if (own != nullptr && own->handle == ownBoatBefore_ &&
        sim::distance(own->position, ownPositionBefore_) > 1.0f)
        ++boatMovedInFrames_;
    const Seen now = seen();
    // The game taking him away (a cutscene, being grabbed, his death) cuts short whatever the
    // prompt began: dock services stand still while it holds him, so the menu he asked for never
    // opens, and he sees why.
    const bool taken = world.player.unavailable || world.player.scriptedActivity || world.playerDead();
    for (auto it = pendingPrompts_.begin(); it != pendingPrompts_.end();) {
        if (taken || now.changedFor(it->before, it->handle)) {
            it = pendingPrompts_.erase(it);
        } else if (frame - it->frame >= kPromptEffectFrames) {
            const bool closed = docksRegistry != nullptr && docksRegistry->docks().front()->isDisabled();
            return Broken{"idle-prompt", "the prompt \"" + it->text + "\" completed in frame " +
                                             std::to_string(session_.frame + it->frame) +
                                             " and nothing came of it" +
                                             (closed ? " (the docks are closed)" : "")};
        } else {
            ++it;
        }
    }
    // The simulated game fails the run when a completion goes unread; one the plug-in read must
    // change something the player sees.
    for (std::uint32_t handle = 0x4A01; handle < 0x4A01 + world.prompts.count(); ++handle) {
        const sim::GamePrompt* prompt = world.prompts.find(handle);
        if (prompt == nullptr) continue;
        const std::size_t slot = handle - 0x4A01;
        if (completions_.size() <= slot) completions_.resize(slot + 1, 0);
        if (prompt->readCompletions > completions_[slot]) {
            // The buy prompt only shows which control selects: a ticked or dimmed row refuses it by design.
            if (prompt->control != 0xC7B5340Au && !now.changedFor(lastSeen_, handle)) {
                pendingPrompts_.push_back(PendingPrompt{handle, prompt->text, frame, lastSeen_});
            }
            completions_[slot] = prompt->readCompletions;
        }
    }
    lastSeen_ = now;
    return std::nullopt;
}

std::optional<Broken> Invariants::checkStolenSale() {
    sim::World& world = game_.world();
    const sim::Entity* boat = world.entity(world.playerPed().vehicle);
    const bool stolen =
        boat != nullptr && boat->decorators.contains("QY_RB_boatValue") &&
        !boat->decorators.contains("QY_RB_isPlayerBoat") &&
        (!boat->decorators.contains("QY_RB_isBoatSold") || boat->decorators.at("QY_RB_isBoatSold") == 0);
    bool atPier = false;
    if (stolen && docksRegistry != nullptr && !world.player.unavailable && !world.player.scriptedActivity &&
        !world.playerDead() && boat->speed <= 1.5f) {
        for (const auto& dock : docksRegistry->docks()) {
            const Vec3 pier = dock->pierPoint().position;
            atPier = atPier || sim::distance(world.positionOf(world.player.ped),
                                             sim::Vec3{pier.x, pier.y, pier.z}) < 9.5f;
        }
    }
    if (!atPier) {
        sellHeldMs_ = sellHiddenFrames_ = 0;
        return std::nullopt;
    }
    const sim::GamePrompt* sell = world.prompts.withText(sellText_);
    const bool offered =
        sell != nullptr && world.prompts.isVisible(sell->handle) && world.prompts.isEnabled(sell->handle);
    sellHiddenFrames_ = offered ? 0 : sellHiddenFrames_ + 1;
    sellHeldMs_ = offered && holdingSell ? sellHeldMs_ + world.lastFrameMs : 0;
    if (sellHiddenFrames_ > 3) {
        const bool closed = docksRegistry->docks().front()->isDisabled();
        return Broken{"stolen-sale", std::string("a stolen boat at a pier is offered no sale") +
                                         (closed ? " (the docks are closed)" : "")};
    }
    if (sellHeldMs_ > kSellHoldMs) {
        return Broken{"stolen-sale", "the sell prompt of a stolen boat at a pier was held " +
                                         std::to_string(sellHeldMs_) + " ms and nothing was sold"};
    }
    return std::nullopt;
}

// What the docks offer him, by his own watch of his boat: judged on frames the plug-in's update ran
// in, and only once an offer has been wrong for two of its turns running (a prompt follows what
// changed around it a turn late, and a walk off the pier leaves the menu as it was for one turn).
// An update that went on into a wait inside an operation (the robbery's set-up) ends its frame with
// every prompt taken from him for the wait: that frame is no turn.
std::optional<Broken> Invariants::checkOffers() {
    if (!worldRules_.pluginUpdated() || game_.host().parkedWaitMs(sim::Host::kPluginName) > 0) return std::nullopt;
    offeredWrongly_ = false;
    // Held: dark or fading, another camera rendering, his control taken, or a menu of the game up.
    const sim::World& world = game_.world();
    const bool screenFree = !world.screenDark() && !world.screenFading() && world.renderingCamera() == 0 &&
                            world.player.control && !world.menus.pauseMenu && !world.menus.uiApp &&
                            !world.menus.loadingScreen;
    screenFreeTurns_ = screenFree ? screenFreeTurns_ + 1 : 0;
    std::optional<std::string> wrong = wrongOffer();
    offerWrongTurns_ = wrong ? offerWrongTurns_ + 1 : 0;
    // A sale or a fee offered where it must not be can be completed in the very next frame.
    if (offerWrongTurns_ < 2 && !(wrong && offeredWrongly_)) return std::nullopt;
    return Broken{"dock-offer", "frame " + std::to_string(game_.world().frame) + ": " + *wrong};
}

std::optional<std::string> Invariants::wrongOffer() {
    sim::World& world = game_.world();
    const sim::Entity& ped = world.playerPed();
    if (world.player.unavailable || world.player.scriptedActivity || world.playerDead() ||
        ped.entering != 0 || !Model::readCatalogue(world.screen.thisFrame()).empty() ||
        world.frame - lastCatalogueFrame_ < 2)
        return std::nullopt;
    for (const Completion& completion : recentCompletions_) {
        if (completion.frame == world.frame) return std::nullopt;
    }
    const sim::GamePrompt* paid = paidFetch();
    if (paid != nullptr && !world.prompts.isVisible(paid->handle)) paid = nullptr;
    std::set<std::string> shown;
    for (std::uint32_t handle = 0x4A01; handle < 0x4A01 + world.prompts.count(); ++handle) {
        const sim::GamePrompt* prompt = world.prompts.find(handle);
        if (prompt != nullptr && world.prompts.isVisible(handle)) shown.insert(prompt->text);
    }
    // These are never greyed out: a wait inside an operation takes every prompt from him for its
    // length, and gives each back as it was.
    for (const std::string* text : {&manageText_, &closeText_, &retrieveText_, &dockText_, &raiseText_, &dropAnchorText_}) {
        const sim::GamePrompt* prompt = world.prompts.withText(*text);
        if (prompt != nullptr && world.prompts.isVisible(prompt->handle) && !world.prompts.isEnabled(prompt->handle))
            return "the prompt \"" + *text + "\" shows greyed out";
    }
    auto speedOf = [](const sim::Entity& e) { return e.speedSetByTest.value_or(e.speed); };
    auto near = [](float value, float line, float margin) { return std::fabs(value - line) < margin; };
    const sim::Vec3 at = world.positionOf(world.player.ped);
    const int dock = dockNear(at, kInBoatReach + kReachMargin, false);
    const float toPier =
        dock < 0
            ? kInBoatReach + kReachMargin
            : sim::distance(
                  at, toSim(docksRegistry->docks()[static_cast<std::size_t>(dock)]->pierPoint().position));

    // The fence's sale waits, greyed out, while the boat moves faster than 1.5 m/s.
    if (const sim::GamePrompt* sell = world.prompts.withText(sellText_);
        sell != nullptr && world.prompts.isVisible(sell->handle) && ped.vehicle != 0) {
        const float speed = speedOf(*world.entity(ped.vehicle));
        if (!near(speed, kSellingSpeed, kSpeedMargin) &&
            world.prompts.isEnabled(sell->handle) != (speed <= kSellingSpeed)) {
            offeredWrongly_ = speed > kSellingSpeed;
            return "the sale is " + std::string(speed <= kSellingSpeed ? "greyed out" : "offered") +
                   " with the boat at " + std::to_string(speed) + " m/s";
        }
    }

    const sim::Entity* own = Model::ownBoat(world, account_.claimed());
    if (auto wrong = wrongAnchorOffer(own, shown)) return wrong;
    if (ped.vehicle != 0) {
        // Afloat within 10 m of a pier: the boat may be docked there when it is his and not moored
        // at that dock, or he owns none; never sold, and slower than 1.2 m/s.
        const sim::Entity* boat = world.entity(ped.vehicle);
        if (boat == nullptr || !world.isBoat(ped.vehicle) || near(toPier, kInBoatReach, kReachMargin))
            return std::nullopt;
        const bool dockShown = shown.contains(dockText_);
        const auto sold = boat->decorators.find("QY_RB_isBoatSold");
        const bool unsold = sold == boat->decorators.end() || sold->second == 0;
        // Any boat not sold before can be sold at a pier, his own as well.
        if (shown.contains(sellText_) != (unsold && toPier < kInBoatReach))
            return std::string(unsold && toPier < kInBoatReach ? "no" : "a") + " sale offered in a" +
                   (unsold ? "n unsold" : " sold") + " boat " + std::to_string(toPier) + " m from the nearest pier";
        if (toPier > kInBoatReach) {
            if (dockShown)
                return "the dock prompt shows " + std::to_string(toPier) + " m from the nearest pier";
            return std::nullopt;
        }
        const bool mine = own != nullptr && own->handle == boat->handle;
        const bool mayDock = unsold &&
                             ((mine && watched_.dock != dock) || !account_.owns());
        if (near(speedOf(*boat), kDockingSpeed, kSpeedMargin)) return std::nullopt;
        const bool expected = mayDock && speedOf(*boat) < kDockingSpeed;
        if (dockShown == expected) return std::nullopt;
        return std::string(expected ? "no" : "a") + " dock prompt at dock " + std::to_string(dock) + " in " +
               (mine ? "his boat" : "a boat not his") + " (moored at " + std::to_string(watched_.dock) +
               ", at " + std::to_string(speedOf(*boat)) + " m/s, he owns " +
               (account_.owns() ? "one" : "none") + ")";
    }

    // On foot nothing is docked or sold.
    for (const std::string* text : {&dockText_, &sellText_}) {
        if (shown.contains(*text)) return "the prompt \"" + *text + "\" shows with him on foot";
    }
    // On foot: the dock's prompts show only within 2 m of its pier.
    if (near(toPier, kOnFootReach, kReachMargin)) return std::nullopt;
    const bool anyShown = shown.contains(manageText_) || shown.contains(closeText_) ||
                          shown.contains(browseText_) || shown.contains(customizeText_) ||
                          shown.contains(retrieveText_) || paid != nullptr;
    if (toPier > kOnFootReach) {
        if (anyShown) return "a dock's prompt shows " + std::to_string(toPier) + " m from the nearest pier";
        return std::nullopt;
    }
    if (!shown.contains(closeText_)) {
        if (!shown.contains(manageText_))
            return "at dock " + std::to_string(dock) + " no prompt opens its menu";
        return std::nullopt;
    }
    // The shop is greyed out while another holds the screen, and offered again once the screen has
    // been free for a few of the plug-in's turns.
    for (const std::string* text : {&browseText_, &customizeText_}) {
        const sim::GamePrompt* prompt = world.prompts.withText(*text);
        if (screenFreeTurns_ > kShopAskAgainTurns && prompt != nullptr && world.prompts.isVisible(prompt->handle) &&
            !world.prompts.isEnabled(prompt->handle))
            return "the prompt \"" + *text + "\" shows greyed out with the screen free for " +
                   std::to_string(screenFreeTurns_) + " turns";
    }
    // The menu: a boat of his at another dock can be fetched free, one afloat elsewhere for the fee
    // when he can pay it; near enough, it is only customised; owning none, he may browse.
    if (shown.contains(manageText_)) return "the dock menu is open and offered again";
    const float fee = model_.configFloat("fees.retrieve_boat");
    if (paid != nullptr) {
        const std::optional<std::int64_t> price = Model::amountIn(paid->text);
        const bool affordable = price && world.cashCents >= *price;
        if (fee < 0.0f || !price || *price != static_cast<std::int64_t>(std::lround(fee * 100.0f)))
            return "the paid fetch shows \"" + paid->text + "\" with a fee of " + std::to_string(fee) +
                   " in Configs.dat";
        if (world.prompts.isEnabled(paid->handle) != affordable) {
            offeredWrongly_ = !affordable;
            return "the paid fetch is " + std::string(affordable ? "greyed out" : "offered") + " with $" +
                   std::to_string(world.cashCents / 100) + " in hand";
        }
    }
    if (own == nullptr) {
        if (shown.contains(browseText_) && !shown.contains(customizeText_) &&
            !shown.contains(retrieveText_) && paid == nullptr)
            return std::nullopt;
        return "owning no boat, he is not offered the catalogue alone";
    }
    const float away = sim::distance(own->position, mooringOf(dock));
    if (near(away, kLeftDock, kReachMargin)) return std::nullopt;
    const bool free = shown.contains(retrieveText_);
    if (away <= kLeftDock) {
        if (shown.contains(customizeText_) && !free && paid == nullptr && !shown.contains(browseText_))
            return std::nullopt;
        return "his boat lies " + std::to_string(away) + " m from dock " + std::to_string(dock) +
               " and he is offered other than customising it";
    }
    if (watched_.dock >= 0) {
        if (shown.contains(customizeText_) && free && paid == nullptr) return std::nullopt;
        return "his boat is moored at dock " + std::to_string(watched_.dock) + ", " + std::to_string(away) +
               " m away, and he is not offered to customise it and fetch it free";
    }
    if (!free && !shown.contains(customizeText_) && (paid != nullptr) == (fee >= 0.0f)) return std::nullopt;
    return "his boat floats unmoored " + std::to_string(away) + " m away and he is offered " +
           (free ? "a free fetch" : paid != nullptr ? "the paid fetch" : "no paid fetch");
}

// The anchor is offered only in his own boat with its fittings on, out on the water (moored at no
// dock) and with his control his own: raised when it is down, dropped when it is up and the boat
// slower than 1.2 m/s. Fittings he paid for, or took over with a boat he claimed, are sure to be
// offered the raise; a claimed boat may carry fittings its model does not list, which count as none.
std::optional<std::string> Invariants::wrongAnchorOffer(const sim::Entity* own, const std::set<std::string>& shown) {
    sim::World& world = game_.world();
    const bool raise = shown.contains(raiseText_);
    const bool drop = shown.contains(dropAnchorText_);
    const bool aboard = own != nullptr && world.playerPed().vehicle == own->handle;
    const bool offered = aboard && own->propSet != 0 && watched_.dock < 0 && world.player.control;
    if (raise && (!offered || !own->anchored))
        return std::string("the anchor's raise shows") + (own != nullptr && own->anchored ? "" : " with no anchor down") +
               (offered ? "" : " where no anchor is offered");
    if (drop && (!offered || own->anchored || own->speedSetByTest.value_or(own->speed) >= kDockingSpeed))
        return "the anchor's drop shows" + std::string(offered ? " with the anchor down or under way" : " where no anchor is offered");
    const std::set<std::int32_t>& fittings = session_.owned.propSets;
    if (offered && own->anchored && !raise && !fittings.empty() && *fittings.rbegin() >= 0)
        return "his anchor is down and no raise is offered";
    return std::nullopt;
}

// A tutorial never logged as seen (two in one turn leave him the text of the last only) comes up
// when what it explains first happens to him: a boat taken
// near a dock (the sale, or its poor state), docking too fast, the anchor first offered, his boat
// rowed away from its dock, a boat claimed, his own docked, a boat fetched for the fee; and the
// boat's destruction, seen or not. Some are tried once a start only, on their first occasion.
std::optional<Broken> Invariants::checkTutorialsDue() {
    sim::World& world = game_.world();
    std::set<std::string> cameUp;
    for (const std::string& line : newLines_) {
        if (line.starts_with("tutorial seen: ")) cameUp.insert(line.substr(15));
    }
    std::erase_if(tutorialsDue_, [&cameUp](const auto& due) { return cameUp.contains(due.first); });
    auto due = [this, &cameUp](const std::string& name) {
        if ((!tutorialsLogged_.contains(name) || name == "boat_destroyed") && !cameUp.contains(name))
            tutorialsDue_.try_emplace(name, 0);
    };
    tutorialsLogged_.insert(cameUp.begin(), cameUp.end());
    if (!worldRules_.pluginUpdated()) return std::nullopt;
    for (auto& [name, turns] : tutorialsDue_) {
        if (++turns > kTutorialDueTurns)
            return Broken{"tutorial-due", "the tutorial \"" + name + "\" fell due and did not come up"};
    }
    const sim::Entity& ped = world.playerPed();
    const sim::Entity* own = Model::ownBoat(world, account_.claimed());
    const sim::Entity* boat = ped.vehicle != 0 && world.isBoat(ped.vehicle) ? world.entity(ped.vehicle) : nullptr;
    const bool held = world.player.unavailable || world.player.scriptedActivity || world.playerDead();
    if (sunkFrame_ == world.frame) due("boat_destroyed");
    if (paidFetchReads() > paidReadsBefore_) due("return_boat_to_docks");
    if (boat == nullptr || held) return std::nullopt;
    const auto sold = boat->decorators.find("QY_RB_isBoatSold");
    const bool unsold = sold == boat->decorators.end() || sold->second == 0;
    const float speed = boat->speedSetByTest.value_or(boat->speed);
    const sim::Vec3 at = world.positionOf(world.player.ped);
    const int dock = dockNear(at, kFenceReach, false);
    const float toPier =
        dock < 0 ? kFenceReach
                 : sim::distance(at, toSim(docksRegistry->docks()[static_cast<std::size_t>(dock)]->pierPoint().position));
    if (unsold && toPier < kFenceReach - kReachMargin && !fenceTried_) {
        fenceTried_ = true;
        const float health = boat->healthFraction();
        if (std::fabs(health - 0.5f) > 0.01f) due(health >= 0.5f ? "boat_fence" : "boat_fence.poor_condition");
    }
    const bool mine = own != nullptr && own->handle == boat->handle;
    if (unsold && toPier < kInBoatReach - kReachMargin && speed > kDockingSpeed + kSpeedMargin && !tooFastTried_ &&
        ((mine && watched_.dock != dock) || !account_.owns())) {
        tooFastTried_ = true;
        due("dock_boat_too_fast");
    }
    const std::set<std::int32_t>& fittings = session_.owned.propSets;
    // Not in the frame he moors it: a boat he claims is his, and moored, from that frame on.
    if (mine && own->propSet != 0 && !own->anchored && watched_.dock < 0 && dockEvent_ < 0 && world.player.control && !anchorTried_ &&
        !fittings.empty() && *fittings.rbegin() >= 0) {
        anchorTried_ = true;
        due("drop_boat_anchor");
    }
    if (mine && watched_.dock >= 0 && sim::distance(own->position, mooringOf(watched_.dock)) > kLeftDock + kReachMargin)
        due("left_docks");
    const sim::GamePrompt* sell = world.prompts.withText(sellText_);
    if (sell != nullptr && world.prompts.isVisible(sell->handle) && speed > kSellingSpeed + kSpeedMargin &&
        !slowDownTried_) {
        slowDownTried_ = true;
        due("boat_fence.slow_down_to_sell");
    }
    // The dock prompt he completed and the plug-in read: his own boat docked, or a boat claimed.
    if (dockReads() > dockReadsBefore_ && unsold) {
        if (!account_.ownedBefore()) {
            due("boat_claimed");
        } else if (mine && !dockedTried_) {
            dockedTried_ = true;
            due("owned_boat_docked");
        }
    }
    return std::nullopt;
}

std::optional<Broken> Invariants::checkLogGrowth() {
    const std::int64_t hours = std::max<std::int64_t>(1, (session_.playedMs + kHourMs - 1) / kHourMs);
    if (session_.logBytes <= hours * kLogBytesPerHour) return std::nullopt;
    return Broken{"log-growth", "the log grew by " + std::to_string(session_.logBytes) + " bytes in " +
                                    std::to_string(session_.playedMs / 1000) + " s of play"};
}

std::optional<Broken> Invariants::checkAllocations() {
    // A steady frame: nothing logged (no save, no purchase, no state change the plug-in reports),
    // no help text, nothing created in the world (a robbery spawning over several frames), and the
    // plug-in past its start-up.
    const bool steady = newLines_.empty() && game_.world().helpTexts.size() == helpBefore_ &&
                        game_.world().entities.size() == entitiesBefore_ && framesPlayed_ > kStartUpFrames;
    const std::int64_t allocations = frameAllocations_;
    allocatingSteadyFrames_ = steady && allocations > 0 ? allocatingSteadyFrames_ + 1 : 0;
    if (allocatingSteadyFrames_ < kAllocatingFramesInARow) return std::nullopt;
    allocatingSteadyFrames_ = 0;
    return Broken{"frame-allocation",
                  "the plug-in allocated " + std::to_string(allocations) + " times a frame for " +
                      std::to_string(kAllocatingFramesInARow) + " steady frames in a row" +
                      (game_.world().screen.thisFrame().draws.empty() ? "" : ", the shop open")};
}

}  // namespace tollmere::playtest
