#pragma once
// A random player: plays the simulated game the way people do, drawn from a generator started from
// the run number and the start of the game within the run, so a run plays the same every time.
//
// He picks an errand (walk about, shop at a dock, fetch or row his boat, take a stranger's boat,
// go after the river robbery, ...) and plays it as a plan of small steps, one or more frames each.
// Now and then the game takes him away (a cutscene, being made unavailable), he dies, his cash
// runs low, or the game is started again.

#include "Meetings.h"
#include "Neighbour.h"
#include "support/Harness.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace tollmere::playtest {

class Player {
  public:
    Player(testing::Harness& game, std::uint64_t startValue, std::map<std::string, int>& covered,
           Meetings& meetings);

    // Before a frame: does this frame's part of the plan. False when he wants the game started again.
    bool act();
    // Whether the sell control is down in the frame about to run.
    bool holdingSell() const;
    // Whether another script's scene, photo mode or one of the game's menus holds the screen: he
    // can do nothing then but wait.
    bool neighbourHoldsHim() const;

  private:
    using Step = std::function<bool()>;  // true once the step is done

    int below(int n) { return static_cast<int>(random_() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }

    void pickErrand();
    void interruptions();
    void neighbourActs();

    // Errands.
    void walkAbout();
    void shopAtDock();
    void fetchBoat();
    void rowOwnBoat();
    void takeStrangersBoat();
    void goAfterRobbery();
    void die();

    // Steps.
    void then(Step step) { plan_.push_back(std::move(step)); }
    void wait(int frames);
    void walkTo(const sim::Vec3& target);
    void travelNear(const sim::Vec3& target, float within);
    void swimTo(std::function<std::uint32_t()> boat);
    void board(std::function<std::uint32_t()> boat);
    void rowTo(std::function<sim::Vec3()> target, float slowTo);
    void hold(const char* control, int frames);
    void press(std::uint32_t control);
    void closeOrBack();
    void useRandomControls(int count);
    void browseCatalogue();
    void leaveBoat();
    void sellOrDockHere();

    // The world as he sees it.
    sim::Vec3 pierOf(int dockIndex) const;
    sim::Vec3 mooringOf(int dockIndex) const;
    int randomDock() { return below(15); }
    int nearestDock() const;
    std::uint32_t ownBoat() const;
    std::uint32_t cargoBoat() const;
    bool catalogueOpen() const;
    sim::Vec3 at() const;
    // The first line of this start of the game's log beginning with prefix, or nullptr.
    const std::string* loggedSinceStart(const std::string& prefix);

    testing::Harness& game_;
    sim::World& world_;
    std::mt19937_64 random_;
    std::map<std::string, int>& covered_;
    std::deque<Step> plan_;
    int interruptedFrames_ = 0;
    int framesToRestart_;
    int shopFrames_ = 1000;  // frames since he last saw the catalogue
    sim::Vec3 robberyAt_{};
    std::size_t logAtStart_;
    std::vector<std::string> log_;
    // Another script beside the plug-in, started with his first act. It draws from a generator of its
    // own, so that the player's own draws stay what they were without it.
    sim::Neighbour* neighbour_ = nullptr;
    std::mt19937_64 neighbourRandom_;
    std::mt19937_64 resellRandom_;  // whether he tries to sell a boat again
    std::mt19937_64 paintsRandom_;  // whether he looks through every paint in the shop
    std::mt19937_64 sceneRandom_;   // whether a scene comes as he stands in the dock menu
    std::mt19937_64 lanternsRandom_;  // whether he buys lanterns after fittings
    std::mt19937_64 previewRandom_;   // whether he tries a paint on the way to the fittings
    std::mt19937_64 cashRandom_;      // his cash gone and back while he stands in the shop
    std::mt19937_64 fadeMenuRandom_;  // whether a menu of the game opens in the shop's fades
    std::mt19937_64 guardGoneRandom_;  // whether a guard he left alone is taken away all the same
    // Whether a boat of the world he takes wears paint and fittings, and whether he docks a cargo
    // boat rather than sell it; and when another script or the game removes entities.
    std::mt19937_64 claimsRandom_;
    std::mt19937_64 removalRandom_;
    // Whether the game, the neighbour or he himself aims now at a meeting not yet played in this run.
    std::mt19937_64 aimRandom_;
    bool aim(int oneIn) { return aimRandom_() % static_cast<std::uint64_t>(oneIn) == 0; }
    bool aimAt(const Meetings::Unmet& unmet);
    bool aimAt(std::initializer_list<const char*> events);
    int aimedAtFrame_ = -100000;
    Meetings& meetings_;
    std::int64_t cashAway_ = 0;       // what he spent elsewhere in the shop, to come back
    int photoModeFrames_ = 0;
};

}  // namespace tollmere::playtest
