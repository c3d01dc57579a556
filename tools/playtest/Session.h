#pragma once
// What one run of the play-test carries from one start of the game to the next: the run's frame
// count, the player's cash, what he paid for or claimed, and what was covered. The game is started
// again as a new process on the same folder, so this lives in a small file beside the Tollmere
// folder ("playtest.state"), written when a process hands over and read by the next.

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tollmere::playtest {

// What the player owns by his own account (Account.h): a boat bought or claimed, and the options
// paid for on it. PlayerBoat.dat may name nothing else.
constexpr std::int32_t kUnknownOption = -2;

struct Ownership {
    std::int32_t model = 0;  // 0: no boat
    std::set<std::int32_t> tints;
    std::set<std::int32_t> propSets;
    std::set<std::int32_t> lanternPropSets;
    // A claimed boat comes with whatever it carried: the next record saved says what that was.
    bool adoptNextRecord = false;
    // Bought in the shop: its record carries a fresh boat's full durability, 1000.
    bool bought = false;
    // The option of each row he has now, the one the shop marks as his: the last he paid for, or
    // what the boat came with (a new boat's paint is not known until he buys one).
    std::int32_t tint = kUnknownOption;
    std::int32_t propSet = -1;
    std::int32_t lanternPropSet = -1;
};

// His boat as he saw it in the world, by the random player's own watch.
struct BoatSeen {
    std::int32_t model = 0;  // 0: no boat of his
    std::int32_t tint = 0;
    std::uint32_t propSet = 0;
    std::uint32_t lanternPropSet = 0;
    float health = 1.0f;  // fraction of the most it can take
    int dock = -1;        // the dock he left it moored at (an index of the dock table), -1 for none
    int stillMs = 0;      // game time its health has not changed for, the shop's frames left out
};

struct Session {
    int run = 0;
    int index = 0;           // 0 for the first start of the game in this run
    std::int64_t frame = 0;  // frames played in this run before this start
    std::int64_t cashCents = 0;
    int language = 0;  // the game's language, by its number; a player does not change it mid-run
    Ownership owned;
    BoatSeen boatLeft;                   // his boat as he left it when the game was started again
    std::int64_t logBytes = 0;           // bytes the plug-in logged in play, start-ups left out
    std::int64_t playedMs = 0;           // game time played in this run
    std::map<std::string, int> covered;  // what the run reached, by road
    std::vector<std::string> statesLeft;              // the states he left the game in (Meetings.h)
    bool recordRestored = false;  // he put PlayerBoat.dat.bak back before this start; never saved
    std::map<std::string, std::int64_t> knownFaults;  // allowed rules broken: first frame seen

    void save(const std::filesystem::path& file) const;
    static Session load(const std::filesystem::path& file);
};

}  // namespace tollmere::playtest
