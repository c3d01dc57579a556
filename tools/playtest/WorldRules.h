#pragma once
// The rules about what the world holds, checked after every frame against the player's own account
// of what he saw and did: which prompts he completed (by the text the screen showed), what money
// toasts he saw while sitting in which boat, which help texts came up, what the log file held when
// he last stopped the game. None of them reads the plug-in's log lines, tables or arithmetic.
//
// What he owns is the one account of Account.h. What else he remembers across starts (the tutorials
// he saw, the log as he left it) is kept in worldrules.state beside the run's Tollmere folder,
// written when the rules are let go and read by the next start.

#include "Account.h"
#include "RobberyRules.h"

#include "support/Harness.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tollmere::playtest {

class WorldRules {
  public:
    WorldRules(testing::Harness& game, const Account& account);
    ~WorldRules();
    WorldRules(const WorldRules&) = delete;
    WorldRules& operator=(const WorldRules&) = delete;

    void beforeFrame();
    // Every rule broken by the frame just played, given the log lines it wrote (without stamps).
    std::vector<Broken> afterFrame(const std::vector<std::string>& logLines);
    // Whether the plug-in's frame update ran in this frame, not only an operation waiting inside it.
    bool pluginUpdated() const;

  private:
    void followPlayer();
    void readTexts();
    bool shopBusy() const;
    int comebackDraws() const;
    std::optional<Broken> checkSuspended();
    std::optional<Broken> checkDockMarks();
    bool isMine(const sim::Entity& vehicle) const { return account_.isMine(vehicle); }
    std::optional<Broken> checkSold();
    std::optional<Broken> checkBlips();
    std::optional<Broken> checkAnchor();
    std::optional<Broken> checkLeftovers();
    std::optional<Broken> checkTutorials();
    std::optional<Broken> checkLog();
    void loadAccount();
    void saveAccount() const;

    testing::Harness& game_;
    sim::World& world_;
    const Account& account_;
    std::filesystem::path stateFile_;
    std::filesystem::path tollmere_;
    RobberyRules robbery_;

    // What Lang.dat tells the player the texts mean.
    std::string dockText_;
    std::string dropText_;
    std::string raiseText_;
    std::string sellText_;
    std::string boatBlipText_;  // his boat's mark is named for him: his name, "'s " and this
    std::set<std::string> dockServiceTexts_;  // every prompt of the docks, their shop and the fence
    std::map<std::string, std::string> tutorialByText_;
    std::map<std::string, std::string> textByTutorial_;
    std::string boatBlipName() const;
    const std::vector<std::string>* logLines_ = nullptr;  // the frame's, while its rules run

    // What he remembers.
    std::set<std::string> tutorialsSeen_;  // across starts
    int greyedTurns_ = 0;                  // the plug-in's turns in a row the docks were greyed while he was free
    std::set<std::string> tutorialsThisStart_;
    bool flagsChecked_ = false;
    std::uintmax_t logSize_ = 0;  // the log as he left it at the last start, and its hash
    std::uint64_t logHash_ = 0;
    std::optional<Broken> logLost_;

    // The frame before.
    std::size_t toastsBefore_ = 0;
    std::size_t helpBefore_ = 0;
    std::vector<int> completions_;
    std::vector<int> reads_;  // completions the plug-in read, by prompt
    std::string tutorialDue_;  // logged as seen, its text not up yet
    int tutorialDueFrame_ = 0;
    int lastBusyFrame_ = -1000;
    // The boat he last sold, the frame and the script turns since.
    std::uint32_t sold_ = 0;
    std::uint32_t soldPrompt_ = 0;
    int soldFrame_ = -1;
    int soldTurns_ = -1;

    // Anchor: what the prompts last did to his boat (nullopt: he cannot tell, as after the shop).
    std::optional<bool> anchorExpected_;
    std::uint32_t anchorBoat_ = 0;
    sim::Vec3 anchorBoatAt_{};
    bool aboardBefore_ = false;
    int anchorWrongFrames_ = 0;
    int blipWrongFrames_ = 0;
    // Leftovers: the plug-in's entities alive when the robbery came to an end he saw.
    std::set<std::uint32_t> endedWith_;
    int endedAtFrame_ = -1;
    bool deadBefore_ = false;
    int farFrames_ = 0;
    int previewFrames_ = 0;
};

}  // namespace tollmere::playtest
