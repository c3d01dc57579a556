#include "RobberyRules.h"

#include "FrameCalls.h"
#include "Model.h"

#include "Hash.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <utility>

namespace tollmere::playtest {

namespace {

constexpr std::uint32_t kRowboat = sim::hashOf("rowboat");
constexpr std::uint32_t kGuardModel = sim::hashOf("a_m_m_bivroughtravellers_01");
constexpr std::uint32_t kEscortLantern = sim::hashOf("pg_veh_rowboat_lightupgrade_1");
const std::set<std::uint32_t> kCargoLoads = {
    sim::hashOf("pg_mp_veh_rowboat_supplies01"), sim::hashOf("pg_mp_veh_rowboat_supplies02"),
    sim::hashOf("pg_mp_veh_rowboat_supplies03"), sim::hashOf("pg_mp_veh_rowboat_supplies04")};
const std::set<std::uint32_t> kRowboatLanterns = {kEscortLantern,
                                                  sim::hashOf("pg_veh_rowboat_lightupgrade_2"),
                                                  sim::hashOf("pg_veh_rowboat_lightupgrade_3")};
constexpr std::int32_t kRowboatPaints = 7;
constexpr std::int32_t kDrivingStyle = 786603;
constexpr std::size_t kCrew = 5;
constexpr float kEscortAhead = 12.0f;
constexpr float kCloseEnough = 1.0f;  // metres between where a thing should be and where it is
constexpr float kTriggerMetres = 300.0f;
// A robbery starts this far from him, at one attempt every 14.4 s at most.
constexpr float kNearestStart = 150.0f;
constexpr float kFarthestStart = 500.0f;
constexpr std::int32_t kAttemptMs = 14400;
constexpr float kAbandonMetres = 600.0f;
constexpr float kFastChaseMetres = 20.0f;
constexpr float kGuardLostMetres = 200.0f;
constexpr float kFirstTutorialMetres = 50.0f;
// The escort's pace counter grows by the frame rate each update and sends it at 1000.
constexpr double kPace = 1000.0;
// Set-up takes a few dozen frames (model loads, a wait after each boat and guard); ten seconds
// without the leader at the oars is a set-up that never finished.
constexpr int kSetUpFrames = 300;
constexpr int kSettleTurns = 2;

float slotFloat(const sim::Task& task, std::size_t slot) {
    return slot < task.args.size() ? std::bit_cast<float>(static_cast<std::uint32_t>(task.args[slot])) : NAN;
}

std::int64_t slotInt(const sim::Task& task, std::size_t slot) {
    return slot < task.args.size() ? static_cast<std::int32_t>(static_cast<std::uint32_t>(task.args[slot]))
                                   : -1;
}

float flatDistance(const sim::Vec3& a, const sim::Vec3& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

std::optional<sim::Vec3> parseCoords(const std::string& text) {
    sim::Vec3 at;
    if (std::sscanf(text.c_str(), "%f,%f,%f", &at.x, &at.y, &at.z) != 3) return std::nullopt;
    return at;
}

}  // namespace

RobberyRules::RobberyRules(testing::Harness& game, const Account& account,
                           const std::filesystem::path& tollmere, const std::set<std::string>& tutorialsSeen)
    : game_(game), world_(game.world()), account_(account), tutorialsSeen_(tutorialsSeen) {
    // The documented reward: a whole number of dollars between the two bounds, raised by the guard
    // bonus five times over.
    sellText_ = readLayered(tollmere, "Lang", world_.language)["prompts.sell_boat"];
    const auto configs = readPairs(tollmere / "Configs.dat");
    try {
        const float factor = std::stof(configs.at("boat_robberies.guard_bonus")) * 5.0f + 1.0f;
        leastReward_ = static_cast<std::int32_t>(
            factor * static_cast<float>(std::stoi(configs.at("boat_robberies.min_reward"))));
        mostReward_ = static_cast<std::int32_t>(
            factor * static_cast<float>(std::stoi(configs.at("boat_robberies.max_reward"))));
    } catch (const std::exception&) {
        leastReward_ = 1;  // no robbery can start without them: any boat value is out of range
        mostReward_ = 0;
    }
    // The chance of a robbery at each attempt, held to 0.1 to 1 as documented.
    try {
        frequency_ = std::stof(readPairs(tollmere / "Settings.ini").at("RandomBoatRobberyEventsFrequency"));
    } catch (const std::exception&) {
        frequency_ = 0.5f;
    }
    frequency_ = std::clamp(frequency_, 0.1f, 1.0f);
}

// Each attempt at a robbery is one draw of the game's from 0 to 1, at most one every 14.4 s and
// the first more than 14.4 s after the plug-in started; none once a robbery has started.
std::optional<Broken> RobberyRules::checkAttempts() {
    drawn_.reset();
    for (const sim::CallRecord& call : callsThisFrame(game_.host(), world_.frame)) {
        if (*call.script != sim::Host::kPluginName) continue;
        if (firstTurnMs_ < 0) firstTurnMs_ = world_.gameTimeMs;
        if (std::string_view(call.name) != "getRandomFloatInRange") continue;
        drawn_ = std::bit_cast<float>(static_cast<std::uint32_t>(call.result[0]));
        if (logged_ != Logged::nothing)
            return broken("the game was asked for another robbery's chance after one started");
        if (world_.gameTimeMs - std::max(lastAttemptMs_, firstTurnMs_) <= kAttemptMs)
            return broken("two attempts at a robbery within 14.4 s (" +
                          std::to_string(world_.gameTimeMs - std::max(lastAttemptMs_, firstTurnMs_)) +
                          " ms), or one that soon after the plug-in started");
        lastAttemptMs_ = world_.gameTimeMs;
    }
    return std::nullopt;
}

std::optional<Broken> RobberyRules::broken(const std::string& what) const {
    return Broken{"robbery", what};
}

void RobberyRules::discover() {
    for (const auto& [handle, e] : world_.entities) {
        if (!seen_.insert(handle).second || !e.madeByScript || e.released) continue;
        if (e.kind == sim::EntityKind::ped && e.model == kGuardModel) {
            guards_.push_back(handle);
            bornFrames_.push_back(world_.frame);
        } else if (e.kind == sim::EntityKind::vehicle && !e.decorators.contains("QY_RB_isPlayerBoat") &&
                   handle != account_.claimed()) {
            bornFrames_.push_back(world_.frame);
            if (cargo_ == 0) {
                cargo_ = handle;
                firstFrame_ = world_.frame;
            } else if (escort_ == 0) {
                escort_ = handle;
                escortBornAt_ = e.position;
                cargoWhenEscortBorn_ = world_.positionOf(cargo_);
                cargoHeadingThen_ = world_.entity(cargo_) != nullptr ? world_.entity(cargo_)->heading : 0.0f;
            } else {
                boats_.push_back(handle);
            }
        }
    }
}

void RobberyRules::watchEnds() {
    // The ends he sees, in the documented order of their tests: the cargo boat lost, left 600 m
    // behind, sold, or he is dead.
    const sim::Entity* cargo = world_.entity(cargo_);
    cargoLost_ = cargo == nullptr || cargo->dead || cargo->incapacitated || cargo->health <= 0;
    const float far =
        cargoLost_ ? 0.0f : sim::distance(world_.positionOf(world_.player.ped), cargo->position);
    soldBefore_ = soldBefore_ || soldThisFrame_;
    expected_ = cargoLost_ ? 1 : far > kAbandonMetres ? 4 : soldBefore_ ? 2 : world_.playerDead() ? 1 : 0;
    ambiguous_ = !cargoLost_ && std::abs(far - kAbandonMetres) < kCloseEnough;
}

std::optional<Broken> RobberyRules::afterFrame(const std::vector<std::string>& logLines, bool shopBusy) {
    const bool turn = game_.host().callsInFrame(world_.frame) > 0;
    // He sold the cargo boat he sat in: the plug-in read the sell prompt's completion under him (a
    // boat worth nothing sells without a toast; a hold it withdrew first sells nothing).
    soldThisFrame_ = false;
    for (std::uint32_t handle = 0x4A01; handle < 0x4A01 + world_.prompts.count(); ++handle) {
        const sim::GamePrompt* prompt = world_.prompts.find(handle);
        const std::size_t slot = handle - 0x4A01;
        if (completions_.size() <= slot) completions_.resize(slot + 1, 0);
        if (prompt == nullptr || prompt->readCompletions == completions_[slot]) continue;
        completions_[slot] = prompt->readCompletions;
        soldThisFrame_ =
            soldThisFrame_ || (prompt->text == sellText_ && cargo_ != 0 &&
                               (account_.seatedBefore() == cargo_ || world_.playerPed().vehicle == cargo_));
    }
    if (auto found = checkAttempts()) return found;
    if (logged_ < Logged::ended) discover();
    if (setUp_ && logged_ < Logged::ended) watchEnds();
    for (const std::string& line : logLines) {
        if (auto found = checkLogLine(line)) return found;
    }
    if (cargo_ != 0 && logged_ >= Logged::made && !cargoPlaceChecked_) {
        cargoPlaceChecked_ = true;
        const sim::Entity* cargo = world_.entity(cargo_);
        if (cargo != nullptr && flatDistance(cargo->position, *parseCoords(startedAt_)) > kCloseEnough)
            return broken("the cargo boat appeared away from where the log says its robbery started, " +
                          startedAt_);
    }
    if (cargo_ == 0 || logged_ >= Logged::ended) return std::nullopt;

    if (!setUp_) {
        frameTimes_[world_.frame] = world_.gameTimeMs;
        if (turn) setUpTurns_.push_back(world_.frame);
        if (bornFrames_.back() == world_.frame) {
            if (auto found = checkSetUpPace()) return found;
        }
        const sim::Entity* leader = world_.entity(world_.driverOf(cargo_));
        const bool rowing = leader != nullptr && leader->currentTask() != nullptr &&
                            leader->currentTask()->kind == sim::TaskKind::driveWander;
        if (!rowing && world_.frame - firstFrame_ <= kSetUpFrames) return std::nullopt;
        setUp_ = true;
        if (auto found = checkSetUp()) return found;
        watchEnds();
    }
    endDueTurns_ = expected_ == 0 ? 0 : endDueTurns_ + (turn && !shopBusy && !ambiguous_ ? 1 : 0);
    if (endDueTurns_ > kSettleTurns) {
        return broken("the robbery went on " + std::to_string(endDueTurns_) +
                      " turns after an end he saw (outcome " + std::to_string(expected_) + " due)");
    }
    if (auto found = checkOrders(shopBusy)) return found;
    return checkTutorials(logLines, shopBusy);
}

bool RobberyRules::alarmRaised() const {
    // As the game reports it: he is made unavailable, or a guard is gone, out of the fight, tied,
    // fleeing or left 200 m behind.
    if (world_.player.unavailable) return true;
    const sim::Vec3 at = world_.positionOf(world_.player.ped);
    return std::any_of(guards_.begin(), guards_.end(), [&](std::uint32_t handle) {
        const sim::Entity* guard = world_.entity(handle);
        return guard == nullptr || guard->incapacitated || guard->hogtied || guard->fleeing ||
               sim::distance(guard->position, at) >= kGuardLostMetres;
    });
}

std::optional<Broken> RobberyRules::checkTutorials(const std::vector<std::string>& logLines, bool shopBusy) {
    const bool turn = game_.host().callsInFrame(world_.frame) > 0;
    auto due = [this](const char* name) {
        if (tutorialsSeen_.contains(name)) return;
        tutorialDue_ = name;
        tutorialDueTurns_ = -1;  // the turn it falls due in counts as none
    };
    const sim::Entity* cargo = world_.entity(cargo_);
    const sim::Vec3 at = world_.positionOf(world_.player.ped);
    if (!cameClose_ && !taken_ && cargo != nullptr && turn && !shopBusy &&
        sim::distance(at, cargo->position) < kFirstTutorialMetres - 0.5f) {
        cameClose_ = true;
        due("boat_robberies.1");
    }
    // The alarm is first tested in the update after the one that saw him climb in.
    const bool near = std::any_of(guards_.begin(), guards_.end(), [&](std::uint32_t handle) {
        const sim::Entity* guard = world_.entity(handle);
        return guard != nullptr &&
               std::abs(sim::distance(guard->position, at) - kGuardLostMetres) < kCloseEnough;
    });
    if (taken_ && turn && !shopBusy && world_.frame != takenFrame_ && !near && alarmRaised() != alarmOn_) {
        alarmOn_ = !alarmOn_;
        due(alarmOn_ ? "boat_robberies.lose_law" : "boat_robberies.2");
    }
    if (tutorialDue_.empty()) return std::nullopt;
    if (std::find(logLines.begin(), logLines.end(), "tutorial seen: " + tutorialDue_) != logLines.end()) {
        tutorialDue_.clear();
    } else if (turn && !shopBusy && ++tutorialDueTurns_ > kSettleTurns) {
        const std::string missed = std::exchange(tutorialDue_, std::string());
        return broken("the tutorial \"" + missed + "\" he has never seen did not come up when it was due");
    }
    return std::nullopt;
}

std::optional<Broken> RobberyRules::checkSetUp() {
    const sim::Entity* cargo = world_.entity(cargo_);
    const sim::Entity* escort = world_.entity(escort_);
    if (cargo == nullptr || escort == nullptr || !boats_.empty() || guards_.size() != kCrew) {
        return broken("the robbery set up " +
                      std::to_string((cargo != nullptr) + (escort != nullptr) + boats_.size()) +
                      " boats and " + std::to_string(guards_.size()) +
                      " guards, not a cargo boat, one escort and five");
    }
    for (const sim::Entity* boat : {cargo, escort}) {
        if (boat->model != kRowboat)
            return broken("a boat of the robbery is no rowboat: " + sim::hexHandle(boat->model));
    }
    if (std::abs(std::remainder(cargoHeadingThen_, 360.0f)) > 0.5f)
        return broken("the cargo boat was put in the water facing " + std::to_string(cargoHeadingThen_) +
                      " degrees, not north");
    // Forward is (-sin, cos) of the heading.
    const float rad = cargoHeadingThen_ * 3.14159265f / 180.0f;
    const sim::Vec3 ahead{cargoWhenEscortBorn_.x - std::sin(rad) * kEscortAhead,
                          cargoWhenEscortBorn_.y + std::cos(rad) * kEscortAhead, cargoWhenEscortBorn_.z};
    if (flatDistance(escortBornAt_, ahead) > kCloseEnough) {
        char where[160];
        std::snprintf(where, sizeof where, "(%.2f, %.2f), not 12 m ahead of the cargo boat at (%.2f, %.2f)",
                      static_cast<double>(escortBornAt_.x), static_cast<double>(escortBornAt_.y),
                      static_cast<double>(ahead.x), static_cast<double>(ahead.y));
        return broken(std::string("the escort boat appeared at ") + where);
    }
    if (cargo->tint < 0 || cargo->tint >= kRowboatPaints || !kCargoLoads.contains(cargo->propSet) ||
        !kRowboatLanterns.contains(cargo->lanternPropSet)) {
        return broken("the cargo boat carries paint " + std::to_string(cargo->tint) + ", load " +
                      sim::hexHandle(cargo->propSet) + " and lanterns " +
                      sim::hexHandle(cargo->lanternPropSet) +
                      ": not a rowboat's paint, a supply load and a rowboat lantern");
    }
    const auto value = cargo->decorators.find("QY_RB_boatValue");
    if (value == cargo->decorators.end() || value->second < leastReward_ || value->second > mostReward_) {
        return broken(
            "the cargo boat's stored value is " +
            (value == cargo->decorators.end() ? std::string("missing") : std::to_string(value->second)) +
            ", outside the reward's $" + std::to_string(leastReward_) + " to $" +
            std::to_string(mostReward_));
    }
    if (escort->lanternPropSet != kEscortLantern || escort->propSet != 0)
        return broken("the escort boat carries load " + sim::hexHandle(escort->propSet) + " and lanterns " +
                      sim::hexHandle(escort->lanternPropSet) + ", not the first lantern alone");

    // The leader alone at the cargo boat's oars; the four others in the escort's four seats.
    const std::uint32_t leader = world_.driverOf(cargo_);
    std::set<std::uint32_t> crew(guards_.begin(), guards_.end());
    std::set<std::uint32_t> seated;
    if (crew.contains(leader)) seated.insert(leader);
    for (std::int32_t seat = -1; seat < 3; ++seat) {
        if (const std::uint32_t guard = world_.pedInSeat(escort_, seat); crew.contains(guard))
            seated.insert(guard);
    }
    if (seated.size() != kCrew || world_.pedInSeat(cargo_, 0) != 0)
        return broken("the guards are not one at the cargo boat's oars and four in the escort boat's seats");
    const sim::Entity& leaderPed = *world_.entity(leader);
    const auto group = world_.groups.find(leaderPed.group);
    std::set<std::uint32_t> followers = crew;
    followers.erase(leader);
    if (group == world_.groups.end() || group->second.leader != leader ||
        std::set<std::uint32_t>(group->second.members.begin(), group->second.members.end()) != followers) {
        return broken("the guards are not one group led by the cargo boat's oarsman");
    }
    for (std::uint32_t handle : guards_) {
        const sim::Entity& guard = *world_.entity(handle);
        const auto flag = [&guard](std::int32_t number) {
            const auto found = guard.configFlags.find(number);
            return found == guard.configFlags.end() ? std::optional<bool>()
                                                    : std::optional<bool>(found->second);
        };
        const auto honour = guard.decorators.find("honor_override");
        if (!guard.randomOutfit || honour == guard.decorators.end() || honour->second != 0 ||
            flag(279) != true || flag(280) != true || flag(545) != false) {
            return broken(
                "guard " + sim::hexHandle(handle) +
                " is not dressed and flagged as a robbery's guard (random outfit, no honour, flags 279 "
                "and 280 on, 545 off)");
        }
    }

    // Orders: the leader rows off slowly; the escort's oarsman keeps 12 m from him.
    const sim::Task* rowing = leaderPed.currentTask();
    if (rowing == nullptr || rowing->kind != sim::TaskKind::driveWander || rowing->vehicle != cargo_ ||
        rowing->speed != 2.0f || rowing->drivingStyle != kDrivingStyle) {
        return broken(
            "the cargo boat's oarsman was not sent wandering in it at 2 m/s in the robbery's style");
    }
    const sim::Entity* oarsman = world_.entity(world_.driverOf(escort_));
    const sim::Task* escorting = oarsman != nullptr ? oarsman->currentTask() : nullptr;
    if (escorting == nullptr || escorting->kind != sim::TaskKind::vehicleEscort ||
        escorting->vehicle != escort_ || escorting->target != leader || escorting->distance != 12.0f ||
        escorting->speed != 4.0f || escorting->drivingStyle != kDrivingStyle ||
        slotFloat(*escorting, 6) != 150.0f || slotFloat(*escorting, 7) != -1.0f ||
        slotInt(*escorting, 8) != 1) {
        return broken(
            "the escort's oarsman was not sent after the leader 12 m behind at up to 4 m/s, 150 m "
            "reach, in the robbery's style");
    }
    escortOrders_ = oarsman->tasks.size();

    // The set-up waits 10 ms after each boat and guard, and 100 ms more before the orders: each one
    // appears in a later frame than the one before it, and the orders come in the first frame 100 ms
    // after the one the last guard's wait ended in.
    if (!std::is_sorted(bornFrames_.begin(), bornFrames_.end()) ||
        std::adjacent_find(bornFrames_.begin(), bornFrames_.end()) != bornFrames_.end()) {
        return broken("the robbery's boats and guards did not appear one frame after another");
    }
    const int lastBorn = bornFrames_.back();
    const int waited = frameTimes_.contains(lastBorn) ? firstFrameFrom(lastBorn, frameTimes_[lastBorn] + 10) : -1;
    const int ordered = waited < 0 ? -1 : firstFrameFrom(waited, frameTimes_[waited] + 100);
    if (ordered >= 0 && ordered != world_.frame) {
        return broken("the crew got its orders " + std::to_string(world_.frame - lastBorn) +
                      " frames after the last guard appeared, not in the first frame 110 ms on");
    }
    return std::nullopt;
}

// The first frame of the set-up after the given one whose game time has reached atMs: where a wait
// of the plug-in begun in that frame ends, as the host wakes scripts. -1 while none has yet.
int RobberyRules::firstFrameFrom(int after, std::int32_t atMs) const {
    for (auto it = frameTimes_.upper_bound(after); it != frameTimes_.end(); ++it) {
        if (it->second >= atMs) return it->first;
    }
    return -1;
}

// Up to its last guard the set-up only ever waits 10 ms at a time (after each boat and guard, and
// while a model streams in), and nothing else of the plug-in runs meanwhile: each of its turns comes
// in the first frame 10 ms after the one before. Judged on each birth, for the turns up to it.
std::optional<Broken> RobberyRules::checkSetUpPace() {
    for (; pacedTurns_ + 1 < setUpTurns_.size(); ++pacedTurns_) {
        const int from = setUpTurns_[pacedTurns_];
        const int to = setUpTurns_[pacedTurns_ + 1];
        const std::int32_t fromMs = frameTimes_.at(from);
        if (const int due = firstFrameFrom(from, fromMs + 10); to != due) {
            return broken("the robbery's set-up, waiting from frame " + std::to_string(from) + " (" +
                          std::to_string(fromMs) + " ms), went on in frame " + std::to_string(to) + " (" +
                          std::to_string(frameTimes_.at(to)) + " ms), not in frame " + std::to_string(due) +
                          ", the first 10 ms on");
        }
    }
    return std::nullopt;
}

std::optional<Broken> RobberyRules::checkOrders(bool shopBusy) {
    const sim::Entity& player = world_.playerPed();
    const bool turn = game_.host().callsInFrame(world_.frame) > 0;
    const float framesPerSecond = 1.0f / world_.frameTimeSeconds();
    if (!taken_ && (player.vehicle == cargo_ || player.entering == cargo_)) {
        taken_ = true;
        takenFrame_ = world_.frame;
        takenTurns_ = 0;
    }
    if (takenTurns_ >= 0 && turn && ++takenTurns_ > kSettleTurns) {
        takenTurns_ = -1;
        // Every guard, dead or alive, turns on him.
        for (std::uint32_t handle : guards_) {
            const sim::Entity* guard = world_.entity(handle);
            if (guard == nullptr) continue;
            const bool fights =
                std::any_of(guard->tasks.begin(), guard->tasks.end(), [&](const sim::Task& task) {
                    return task.kind == sim::TaskKind::combatPed && task.frame >= takenFrame_ &&
                           task.target == world_.player.ped && slotInt(task, 2) == 0 &&
                           slotInt(task, 3) == 16;
                });
            if (!fights)
                return broken("guard " + sim::hexHandle(handle) +
                              " did not turn on him when he climbed into the cargo boat");
        }
    }

    // The escort's oarsman sent after the cargo boat, one order at a time.
    const sim::Entity* cargo = world_.entity(cargo_);
    const sim::Entity* escort = world_.entity(escort_);
    const std::uint32_t leader = world_.driverOf(cargo_);
    const sim::Entity* oarsman = escort != nullptr ? world_.entity(world_.driverOf(escort_)) : nullptr;
    if (turn) sinceOrder_ += framesPerSecond;
    const bool chasing = !taken_ && !shopBusy && !cargoLost_ && escort != nullptr && !escort->dead &&
                         escort->driveable && oarsman != nullptr && oarsman->handle != leader &&
                         expected_ == 0;
    // The counter takes whole steps: at an uneven frame rate a step may come out one short, while
    // at an even one every step is the frame rate and the order is due in the turn that reaches 1000.
    const bool even = world_.frameJitterMs == 0;
    dueSince_ = chasing && turn ? dueSince_ + framesPerSecond - (even ? 0.0f : 1.0f) : chasing ? dueSince_ : 0.0;
    if (oarsman != nullptr && oarsman->tasks.size() > escortOrders_) {
        for (std::size_t i = escortOrders_; i < oarsman->tasks.size(); ++i) {
            const sim::Task& order = oarsman->tasks[i];
            if (order.kind != sim::TaskKind::driveToCoord) continue;
            if (taken_ && order.frame > takenFrame_)
                return broken("the escort was sent after the cargo boat after he had taken it");
            if (sinceOrder_ < kPace - 0.5) {
                return broken("the escort was sent after the cargo boat again after only " +
                              std::to_string(static_cast<int>(sinceOrder_)) + " of the 1000 its pace needs");
            }
            const float apart = sim::distance(cargo->position, escort->position);
            const float speed = apart > kFastChaseMetres ? 4.0f : 2.0f;
            if (order.vehicle != escort_ || sim::distance(order.point, cargo->position) > kCloseEnough ||
                (std::abs(apart - kFastChaseMetres) > 0.5f && order.speed != speed) ||
                order.drivingStyle != kDrivingStyle || order.distance != 5.0f || slotInt(order, 6) != 0 ||
                slotInt(order, 7) != static_cast<std::int32_t>(escort->model) ||
                slotFloat(order, 10) != 1.0f) {
                return broken("the escort was not sent to where the cargo boat lies, " +
                              std::to_string(apart) +
                              " m off, at the speed for that distance, stopping 5 m short");
            }
            sinceOrder_ = 0.0;
            dueSince_ = 0.0;
        }
        escortOrders_ = oarsman->tasks.size();
    }
    if (dueSince_ > (even ? kPace - 0.5 : kPace + 2.0 * framesPerSecond)) {
        dueSince_ = 0.0;
        return broken("the escort was not sent after the cargo boat for more than its pace of 1000");
    }
    return std::nullopt;
}

std::optional<Broken> RobberyRules::checkLogLine(const std::string& line) {
    static const std::string kStarting = "CargoBoatsManager: starting event at coords: ";
    static const std::string kOutcome = "RandomEventExecutor: outcome changed: ";
    static const std::string kTriggered = "RandomEventExecutor: event triggered. coords: ";
    static const std::string kMade = kOutcome + "0 -> 0";
    static const std::string kTerminating = "CargoBoatsManager: terminating event, id: 0";
    static const std::string kTerminated = "event terminated";
    if (!expectNext_.empty()) {
        const std::string expected = std::exchange(expectNext_, std::string());
        if (line != expected)
            return broken("the log has \"" + line + "\" where \"" + expected + "\" belongs");
    }
    if (line.starts_with(kStarting)) {
        // Coordinates, then the distance as "%f" writes it.
        const auto split = line.find(" distance from player: ");
        const std::string distance = split == std::string::npos ? "" : line.substr(split + 23);
        const auto point = distance.find('.');
        if (logged_ != Logged::nothing || split == std::string::npos || point == std::string::npos ||
            distance.size() - point != 7 ||
            !parseCoords(line.substr(kStarting.size(), split - kStarting.size()))) {
            return broken("a second or malformed start of a robbery in one start: \"" + line + "\"");
        }
        startedAt_ = line.substr(kStarting.size(), split - kStarting.size());
        // Between 150 and 500 m from him, and only when the game's draw came within the chance.
        const float away = sim::distance(*parseCoords(startedAt_), world_.positionOf(world_.player.ped));
        if ((away <= kNearestStart - kCloseEnough || away >= kFarthestStart + kCloseEnough))
            return broken("a robbery started " + std::to_string(away) + " m from him");
        if (!drawn_ || *drawn_ < 1.0f - frequency_)
            return broken("a robbery started " + (drawn_ ? "on a draw of " + std::to_string(*drawn_) : std::string("with no draw")) +
                          " where the chance " + std::to_string(frequency_) + " asks for 1 - chance or more");
        logged_ = Logged::started;
        expectNext_ = kMade;
    } else if (line == kMade && logged_ == Logged::started) {
        logged_ = Logged::made;
    } else if (line.starts_with(kTriggered) && logged_ == Logged::made &&
               line.substr(kTriggered.size()) == startedAt_) {
        const sim::Vec3 at = *parseCoords(startedAt_);
        if (sim::distance(at, world_.positionOf(world_.player.ped)) > kTriggerMetres + kCloseEnough)
            return broken("the robbery at " + startedAt_ + " was triggered with him farther than 300 m");
        logged_ = Logged::triggered;
    } else if (line.starts_with(kOutcome) && logged_ == Logged::triggered) {
        int from = -1;
        int to = -1;
        if (std::sscanf(line.c_str() + kOutcome.size(), "%d -> %d", &from, &to) != 2 || from != 0)
            return broken("a malformed outcome line: \"" + line + "\"");
        logged_ = Logged::ended;
        expectNext_ = kTerminating;
        // The end he saw this frame, by the documented order of the tests.
        if (setUp_ && !ambiguous_ && to != expected_)
            return broken("the robbery ended with outcome " + std::to_string(to) +
                          ", but what he saw makes it " + std::to_string(expected_));
        if (to != 1 && to != 2 && to != 4) return broken("an outcome no robbery has: \"" + line + "\"");
    } else if (line == kTerminating && logged_ == Logged::ended) {
        logged_ = Logged::terminating;
        expectNext_ = kTerminated;
    } else if (line == kTerminated && logged_ == Logged::terminating) {
        logged_ = Logged::terminated;
    } else if (line.starts_with("CargoBoatsManager:") || line.starts_with("RandomEventExecutor:") ||
               line == kTerminated) {
        return broken("the log has \"" + line + "\" out of the documented order of a robbery's lines");
    }
    return std::nullopt;
}

}  // namespace tollmere::playtest
