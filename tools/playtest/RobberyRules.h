#pragma once
// The river robbery as the player meets it, held against what the robbery is documented to be, not
// against anything the plug-in computes or keeps:
//
// - Its start: each attempt one draw of the game's from 0 to 1, at most one every 14.4 s and the
//   first more than 14.4 s after the plug-in started, none after a start; a start only on a draw
//   the chance in Settings.ini allows (held to 0.1 to 1), between 150 and 500 m from him.
// - Its set-up: two rowboats facing north, the escort 12 m ahead of the cargo boat; the cargo boat
//   loaded with one of the four supply loads, one of the rowboat's three lanterns, a paint the
//   rowboat has and a stored value inside the range Configs.dat gives the reward; its one guard at
//   the oars, leading the other four, who sit in the escort boat's four seats; every guard in a
//   random outfit, with the honour and config flags the event gives him; the leader rowing off at
//   2 m/s, the escort's oarsman following him; each boat and guard a frame after the last; each
//   turn of the plug-in's up to the last guard in the first frame 10 ms after the one before (it
//   waits 10 ms after each boat and guard, and while a model streams in), the orders in the first
//   frame 110 ms after the last guard.
// - While afloat: the escort is sent after the cargo boat about once a second at the pace the frame
//   rate sets, faster when farther than 20 m; once he climbs in, every guard turns on him and the
//   escort is given no more such orders.
// - Its log: the five documented lines of an event in their order (started, made, triggered where
//   it started, its outcome, terminated), the outcome matching the end he saw.
//
// Time is counted in the plug-in's script turns where a frame may pass without one (the set-up's
// waits inside an operation keep the rest of the plug-in still).

#include "Account.h"
#include "Broken.h"

#include "support/Harness.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tollmere::playtest {

class RobberyRules {
  public:
    // tutorialsSeen: the tutorials he has seen in this start and the earlier ones, as he keeps them.
    RobberyRules(testing::Harness& game, const Account& account, const std::filesystem::path& tollmere,
                 const std::set<std::string>& tutorialsSeen);

    // After every frame, with the log lines the frame wrote (without their stamps) and whether the
    // shop held the world in it.
    std::optional<Broken> afterFrame(const std::vector<std::string>& logLines, bool shopBusy);

    // The cargo boat is destroyed, disabled or gone while the robbery ran: an end of it he saw.
    bool cargoLost() const { return cargoLost_; }
    std::uint32_t cargo() const { return cargo_; }

  private:
    void discover();
    void watchEnds();
    std::optional<Broken> checkAttempts();
    std::optional<Broken> checkSetUp();
    std::optional<Broken> checkOrders(bool shopBusy);
    std::optional<Broken> checkTutorials(const std::vector<std::string>& logLines, bool shopBusy);
    bool alarmRaised() const;
    std::optional<Broken> checkLogLine(const std::string& line);
    std::optional<Broken> checkOutcome(int outcome);
    std::optional<Broken> broken(const std::string& what) const;
    std::optional<Broken> checkSetUpPace();
    int firstFrameFrom(int after, std::int32_t atMs) const;

    testing::Harness& game_;
    sim::World& world_;
    const Account& account_;
    const std::set<std::string>& tutorialsSeen_;

    // What Configs.dat makes of the reward, as the player reads the file.
    std::int32_t leastReward_ = 0;
    std::int32_t mostReward_ = 0;
    float frequency_ = 0.5f;  // the chance of each attempt, from Settings.ini

    // The attempts at a robbery: the game's time of the plug-in's first turn and of its last draw,
    // and what the draw of this frame gave.
    std::int32_t firstTurnMs_ = -1;
    std::int32_t lastAttemptMs_ = -1;
    std::optional<float> drawn_;

    // The robbery he met in this start, as he saw it appear.
    std::uint32_t cargo_ = 0;
    std::uint32_t escort_ = 0;
    std::vector<std::uint32_t> boats_;
    std::vector<std::uint32_t> guards_;
    std::set<std::uint32_t> seen_;
    std::vector<int> bornFrames_;             // the frame each of its boats and guards appeared in
    std::map<int, std::int32_t> frameTimes_;  // the game's time in each frame of the set-up
    std::vector<int> setUpTurns_;             // the frames of the set-up the plug-in had a turn in
    std::size_t pacedTurns_ = 0;              // of which those judged against the one before
    sim::Vec3 escortBornAt_{};                // where the escort appeared, and the cargo boat then
    sim::Vec3 cargoWhenEscortBorn_{};
    float cargoHeadingThen_ = 0.0f;
    int firstFrame_ = -1;
    bool setUp_ = false;
    bool taken_ = false;
    int takenFrame_ = -1;
    int takenTurns_ = -1;  // turns since he climbed in, until the crew's orders are checked
    bool cargoLost_ = false;
    bool soldBefore_ = false;
    int expected_ = 0;        // the outcome what he sees calls for, 0 while the robbery goes on
    bool ambiguous_ = false;  // he is within a metre of the abandoning distance
    int endDueTurns_ = 0;
    std::size_t escortOrders_ = 0;  // the escort oarsman's orders seen so far
    double sinceOrder_ = 0.0;       // the pace the frames gave since the last order: at most the counter's
    double dueSince_ = 0.0;         // and at least, while nothing stops the orders

    // Tutorials due by what he did: the first within 50 m of the cargo boat, the alarm raised and
    // over. A tutorial he has not seen must come within a few turns of being due.
    bool cameClose_ = false;
    bool alarmOn_ = false;
    std::string tutorialDue_;
    int tutorialDueTurns_ = 0;

    // The log: where the event's documented lines have got to.
    enum class Logged { nothing, started, made, triggered, ended, terminating, terminated };
    Logged logged_ = Logged::nothing;
    std::string startedAt_;
    std::string expectNext_;
    bool cargoPlaceChecked_ = false;
    bool soldThisFrame_ = false;
    std::string sellText_;
    std::vector<int> completions_;  // each prompt's completions the plug-in had read
};

}  // namespace tollmere::playtest
