#pragma once
// The rules the random player checks after every frame. Each has a name; the first rule broken
// that is not in the allowed list stops the run. An allowed rule (a fault known and being mended
// elsewhere) is noted once, with the frame, and the run goes on.
//
//   money-negative   the player's cash went below 0
//   money-unshown    cash changed by an amount the plug-in did not show, or a charge that is no price
//                    of Configs.dat, or more than one charge in a frame
//   money-gain       cash grew other than by a fence sale of the value the log names
//   record-loads     PlayerBoat.dat on disk does not load by the plug-in's own line grammar
//   record-paid      PlayerBoat.dat names a boat, tint or prop set not paid for nor claimed
//   record-moored    after a start, the moored boat is not at the dock the record names
//   frame-error      a frame's error was logged
//   idle-prompt      the plug-in read a prompt's completion, and nothing came of it (one it never
//                    read fails the run in the simulated game)
//   stolen-sale      a stolen boat at a pier, slow, cannot be sold
//   log-growth       the log grows by more than a few kilobytes per hour of play
//   frame-allocation the plug-in allocates on the heap in steady frames

#include "Session.h"

#include "data/DictDataFile.h"
#include "support/Harness.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tollmere::playtest {

// Heap allocations made by the plug-in's own code (the script thread outside native calls) since
// the process started; counted by the play-test binary's global operator new.
std::int64_t pluginAllocations();

struct Broken {
    std::string rule;
    std::string what;
};

class Invariants {
  public:
    Invariants(testing::Harness& game, Session& session, std::set<std::string> allowed);

    // Right before a frame, after the player's own changes to the world: the baseline.
    void beforeFrame();
    // Right after the frame; the first broken rule that is not allowed.
    std::optional<Broken> afterFrame();

    // The log lines written in the last frame, without their stamps.
    const std::vector<std::string>& newLogLines() const { return newLines_; }
    bool holdingSell = false;  // the player keeps the sell control down this frame

  private:
    std::vector<Broken> check();
    std::optional<Broken> checkFrameErrors();
    void readNewLog();
    void followOwnership(const std::string& line);
    void cover(const std::string& line);
    std::optional<Broken> checkMoney();
    std::optional<Broken> checkRecord();
    std::optional<Broken> checkMoored();
    std::optional<Broken> checkPrompts();
    std::optional<Broken> checkStolenSale();
    std::optional<Broken> checkLogGrowth();
    std::optional<Broken> checkAllocations();
    std::uint64_t worldSignature() const;
    bool isPrice(std::int64_t cents) const;

    testing::Harness& game_;
    Session& session_;
    std::set<std::string> allowed_;

    std::vector<std::string> newLines_;
    std::uintmax_t logOffset_ = 0;
    std::string partialLine_;
    int framesPlayed_ = 0;  // in this process: the start-up's own log lines are not play

    std::int64_t cashBefore_ = 0;
    std::size_t toastsBefore_ = 0;
    std::size_t helpBefore_ = 0;
    std::size_t entitiesBefore_ = 0;

    std::set<std::int64_t> priceCents_;  // every fee and price Configs.dat holds
    std::int64_t repairFeeCents_ = 0;
    std::string sellText_;

    std::filesystem::file_time_type recordTime_{};
    std::uintmax_t recordSize_ = 0;
    bool mooredChecked_ = false;
    DictDataFile recordAtStart_;  // PlayerBoat.dat as this start of the game found it

    struct PendingPrompt {
        std::uint32_t handle;
        std::string text;
        int frame;
        std::uint64_t signature;  // the world before the completion
    };
    std::vector<PendingPrompt> pendingPrompts_;
    std::vector<int> completions_;
    std::uint64_t lastSignature_ = 0;

    int sellHeldFrames_ = 0;
    int sellHiddenFrames_ = 0;

    std::int64_t allocationsBefore_ = 0;
    std::int64_t frameAllocations_ = 0;
    int allocatingSteadyFrames_ = 0;
};

}  // namespace tollmere::playtest
