#pragma once
// The rules the random player checks after every frame. Each has a name; the first rule broken
// that is not in the allowed list stops the run. An allowed rule (a fault known and being mended
// elsewhere) is noted once, with the frame, and the run goes on.
//
// The money and boat rules compare the game with the player's own account (Model.h): the prices the
// screen showed him and the boats he saw, never the plug-in's log or tables.
//
//   money-negative   the player's cash went below 0
//   money-unshown    cash changed by an amount the plug-in did not show, or more than one charge in a
//                    frame, or a charge other than the price drawn on the catalogue row selected in
//                    that frame or shown on the prompt he had just completed
//   money-owed       a sale that paid nothing the sale rule prices above $0, a paid fetch or a repair
//                    that charged nothing, in the frame it was made
//   money-gain       a credit other than what a dock pays for the boat he sat in, by his own reckoning
//                    of the documented sale rule (stored value or catalogue price with fittings,
//                    health, sale and reward factors)
//   record-loads     PlayerBoat.dat on disk does not load by the plug-in's own line grammar
//   record-paid      PlayerBoat.dat names a boat, tint or prop set he did not pay for on screen nor
//                    claim, by his own account (Account.h), a boat he claimed with a paint other
//                    than 0, or a boat he bought with another full durability than a new boat's 1000;
//                    or, on a row where he knows which option is his, another one (one only tried)
//   record-moored    after a start, the moored boat is not at the dock the record names
//   record-copy      PlayerBoat.dat.bak names another boat than PlayerBoat.dat once it is saved
//   boat-new         a boat he bought in the shop is not whole
//   frame-error      a frame's error was logged
//   idle-prompt      the plug-in read a prompt's completion, and nothing he sees came of it within
//                    3 frames: a log line or the prompt hiding itself is nothing (greyed, it heard
//                    him; the game taking him away meanwhile cuts it short; one it never read fails
//                    the run in the simulated game)
//   start-up         no dock marked on the map 300 frames after the game started (main.cpp)
//   stolen-sale      a stolen boat at a pier, slow, cannot be sold
//   log-growth       the log grows by more than a few kilobytes per hour of play
//   frame-allocation the plug-in allocates on the heap in steady frames
//   boat-kept        after a start, his boat is not the one he left: model, paint, fittings, the dock
//                    he had moored it at, or (when it had been unchanged for 20 s) its health beyond
//                    the record's tolerance; or a boat appears that he did not leave; or, out of the
//                    shop, his boat shows another paint than the one he last paid for
//   boat-destroyed   his boat was taken from him, not sold, while the health he watched was above 0
//   service-done     a repair, wash or paint he paid for in the shop left his boat other than the
//                    row said: a repair mends it whole and washes it, a wash or paint washes it
//   tutorial-due     a tutorial never logged as seen did not come up within 3 of the plug-in's turns
//                    of what it explains first happening to him: a boat he sits in near a dock
//                    (fitting its health), the sale offered too fast, docking too fast, the anchor
//                    first offered, his moored boat rowed away, a boat claimed, his own docked, a
//                    boat fetched for the fee; and his boat sunk, every time
//   boat-placed      a boat he had fetched, took into the shop or bought was put down farther than
//                    1 m across the water from the dock's mooring, or not along its heading
//   dock-offer       what a dock offers is not what his own watch of his boat says it should: on
//                    foot within 2 m of a pier the menu's prompt, in the menu the catalogue when he
//                    owns no boat, customising when his boat lies within 40 m, a free fetch as well
//                    when it is moored at another dock, the paid fetch (its fee as Configs.dat has it,
//                    greyed out exactly when he cannot pay) when it floats unmoored elsewhere;
//                    afloat within 10 m of a pier the dock prompt exactly when he may dock there
//                    (his boat not moored at that dock, or any unsold boat when he owns none) below
//                    1.2 m/s, and the sale exactly in a boat not sold before, greyed out exactly
//                    above 1.5 m/s, and neither on foot; the catalogue and customising not greyed
//                    out once the screen has been free of others for 16 of the plug-in's turns;
//                    nothing of a dock's beyond its reach; the anchor only in his own boat with
//                    fittings, moored at no dock, his control his own (raised when down, dropped
//                    below 1.2 m/s when up), and the raise always offered there for fittings he paid
//                    for or took over; the menu's, the dock's and the anchor's prompts never greyed
//                    out
//
// What each run covered is counted by road; the ctest runs together must reach every road of
// kRequiredRoads (main.cpp, --check-coverage), so a change to the player cannot quietly drop one.
//
// The world rules (WorldRules.h) compare what the world holds with the player's own account of
// what he saw and did, never with the plug-in's log or figures:
//   boat-blip        a boat of his carries other than exactly one blip with the boat icon, named
//                    for him ("<his name>'s " and the text Lang.dat gives it), or a blip
//                    marks an entity that is no boat of his (sold, handed back, someone else's)
//   anchor-state     his boat's anchor is not what he last did: dropped or raised by the prompts,
//                    lifted by his getting in; placed again at a start or brought to a dock, it lies
//                    at anchor
//   leftovers        more entities of the plug-in's live at once than his boat and one robbery; the
//                    robbery's boats and guards, dead or alive, are not handed back to the game
//                    within 5 s of an end he saw (he died, sold its boat, left it all 650 m behind);
//                    a boat of his mark that he did not buy or claim stays 5 s after the shop
//   tutorial-once    a tutorial the plug-in asks for once a start came up twice in one start, or one
//                    he saw is not remembered in TutorialFlags.dat, then or at any later start
//   dock-marks       the map does not carry the fifteen docks' marks, all alike and named, greyed
//                    exactly while the game holds him (a robbery's alarm may grey them for a turn)
//   suspended-prompt a prompt of the docks, their shop or the fence shows while the game holds him
//                    (unavailable, or in an activity of its own), or any of the plug-in's prompts can
//                    be held while it waits inside an operation
//   tutorial-comeback a tutorial he has seen (the boat's destruction aside) came back in a frame
//                    without the game drawing a 4 from 0 to 4 for it
//   tutorial-shown   a tutorial logged as seen is none the plug-in documents, or its text did not come
//                    up for 8 s by the end of the plug-in's turn (the last one's, when two are logged), or
//                    a help text came up with none logged
//   log-kept         the log shrank, or a start found it not beginning with all an earlier start left
//   sold-boat-left   a boat he sold at a dock is still offered for sale in that frame, or is not left
//                    anchored and held, retired, marked sold and handed back to the game, or he is
//                    not out of it within a few frames
//   robbery          the robbery he met is not what it is documented to be (RobberyRules.h): two
//                    rowboats, the escort 12 m ahead, the cargo boat's load, lantern, paint and a
//                    stored value inside the reward's range; one guard at its oars leading four in
//                    the escort's seats, dressed and flagged as guards, each a frame after the last,
//                    the set-up's turns 10 ms apart and the orders 110 ms after the last guard; the leader rowing off, the
//                    escort following, sent after the cargo boat at the pace the frame rate sets; the
//                    whole crew turned on him when he climbs in; an end he saw (the cargo boat lost,
//                    left 600 m behind, sold, he dead) not ending it with its outcome; or the log's
//                    lines of a robbery not the five documented ones in their order
// The screen rules (ScreenRules.h) compare the shop he sees with the documented panel and the
// documented way into and out of it:
//   shop-screen      a frame of the catalogue draws other than the documented layout, colours,
//                    prices (from Configs.dat), dimmed rows, selection (a row he can choose always
//                    selected, the boats opening on the first he can buy, the tick on the option
//                    of each row that is his by his account),
//                    description or star ratings,
//                    or is drawn in a frame begun with another script's fade out or camera holding
//                    the screen
//   shop-camera      a fade, the waits between the shop's fades, or its scripted camera (where it
//                    stands, what it looks at, how it blends) is other than documented
//   screen-feed      a money toast or help text shows other than documented, or a sprite, sound or
//                    feed post goes to the game with other trailing words
// The simulated game's own after-frame checks stop the run as "simulated-game": among them the
// scripted camera rendered with no panel on screen, and any handle used after its life.

#include "Account.h"
#include "Model.h"
#include "ScreenRules.h"
#include "Session.h"
#include "WorldRules.h"

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

    // The game is about to be started again: his boat as he leaves it goes into the session.
    void leaving();

  private:
    std::vector<Broken> check();
    std::optional<Broken> checkFrameErrors();
    void readNewLog();
    void cover(const std::string& line);
    std::optional<Broken> checkMoney();
    std::optional<Broken> checkRecord();
    std::optional<Broken> checkMoored();
    std::optional<Broken> checkPrompts();
    std::optional<Broken> checkStolenSale();
    std::optional<Broken> checkLogGrowth();
    std::optional<Broken> checkAllocations();
    std::optional<Broken> checkBoatKept();
    std::optional<Broken> checkBoatDestroyed();
    std::optional<Broken> checkBoatPaint();
    std::optional<Broken> checkServiceDone();
    std::optional<Broken> checkOffers();
    std::optional<Broken> checkMoneyOwed();
    std::optional<Broken> checkTutorialsDue();
    std::optional<Broken> checkBoatPlaced();
    const sim::GamePrompt* paidFetch() const;
    int paidFetchReads() const;
    int dockReads() const;
    std::optional<std::string> wrongOffer();
    std::optional<std::string> wrongAnchorOffer(const sim::Entity* own, const std::set<std::string>& shown);
    std::optional<std::int64_t> shownCharge();
    void watchPrompts();
    void watchBoat();
    void coverWorld();

    testing::Harness& game_;
    Session& session_;
    std::set<std::string> allowed_;
    Model model_;
    Account account_;  // what he owns, the one account every rule asks
    WorldRules worldRules_;
    ScreenRules screenRules_;

    std::vector<std::string> newLines_;
    std::uintmax_t logOffset_ = 0;
    std::string partialLine_;
    int framesPlayed_ = 0;  // in this process: the start-up's own log lines are not play

    std::int64_t cashBefore_ = 0;
    std::size_t toastsBefore_ = 0;
    std::size_t helpBefore_ = 0;
    std::size_t entitiesBefore_ = 0;

    std::string sellText_;
    std::string dockText_;
    std::string retrieveText_;
    std::string dropAnchorText_;
    std::string customizeText_;
    std::string paintText_;
    std::string repairText_;
    std::string cleanText_;
    std::string manageText_;
    std::string browseText_;
    std::string closeText_;
    std::string raiseText_;
    int offerWrongTurns_ = 0;  // the plug-in's turns in a row whose offers were wrong
    bool offeredWrongly_ = false;  // the wrong offer is a sale or a fee he may not take up
    int screenFreeTurns_ = 0;      // the plug-in's turns in a row with no one else holding the screen
    std::map<std::string, int> tutorialsDue_;  // tutorials due, with the plug-in's turns since
    std::set<std::string> tutorialsLogged_;    // logged as seen, in this start or an earlier one
    bool fenceTried_ = false;                  // this start's first boat near a dock was seen
    bool tooFastTried_ = false;                // and its first too fast to dock
    bool anchorTried_ = false;                 // and the first anchor offered him
    bool slowDownTried_ = false;               // and the first sale offered too fast
    bool dockedTried_ = false;                 // and the first docking of his own boat
    int sunkFrame_ = -1;                       // the frame his boat was last taken from him sunk
    int vanishedAt_ = -1;                      // the frame his boat vanished, unsunk, until placed again
    bool replacing_ = false;                   // his boat vanished and is yet to be placed again
    std::int32_t paidTint_ = -1;  // the paint he last paid for on this boat, -1 for none yet
    int dockEvent_ = -1;          // the dock he moored his boat at in this frame
    int dockComing_ = -1;         // the dock his boat is on its way to
    int dockComingUntil_ = 0;     // the frame it must be there by
    bool dockEventBrings_ = false;  // this frame's dock event brings the boat to the mooring
    bool dockComingBrought_ = false;
    // Pressed for the shop: moored there only once the shop takes the boat (moves it or shows), as
    // a shop waiting for the screen may never open.
    bool dockEventAwaitsShop_ = false;
    bool dockComingAwaitsShop_ = false;
    int boughtAt_ = -1;        // the frame he last bought a boat in the shop, -1 once judged
    float misplaced_ = -1.0f;  // how far from the mooring a boat brought to a dock arrived, -1 for none
    float misturned_ = 0.0f;   // and how far off the mooring's heading it lies, 0 for along it
    int lastCatalogueFrame_ = -1000;

    // The player's own watch, updated after every frame.
    std::uint32_t vehicleBefore_ = 0;  // the vehicle he sat in as the frame began
    std::uint32_t ownBoatBefore_ = 0;  // his boat as the frame began
    sim::Vec3 ownPositionBefore_;       // and where it lay
    float ownHealthBefore_ = 1.0f;     // and its health then
    int ownCleanedBefore_ = 0;         // and how often it had been washed and mended
    int ownFixedBefore_ = 0;
    std::uint32_t ownBoatSeen_ = 0;  // his boat as the last frame ended
    bool soldBefore_ = false;   // the vehicle he sat in as the frame began was marked sold
    int paidReadsBefore_ = 0;  // completions of the paid fetch the plug-in had read
    int dockReadsBefore_ = 0;  // and of the dock prompt
    BoatSeen watched_;              // his boat as he last saw it
    float lastHealthSeen_ = 1.0f;   // the health his last boat showed while it was his
    bool catalogueBefore_ = false;  // the catalogue was drawn in the frame before
    bool boatKeptChecked_ = false;
    bool firstSightingSeen_ = false;  // his boat has been seen in this start of the game
    struct Completion {
        int frame;
        std::string text;
    };
    std::vector<Completion> recentCompletions_;  // prompts completed in the last few frames
    std::vector<int> completionsSeen_;

    std::filesystem::file_time_type recordTime_{};
    std::uintmax_t recordSize_ = 0;
    bool mooredChecked_ = false;
    DictDataFile recordAtStart_;  // PlayerBoat.dat as this start of the game found it

    struct Seen {
        std::uint64_t rest = 0;
        std::vector<std::uint32_t> prompts;  // in view: handle * 2 + 1 when not greyed
        bool changedFor(const Seen& before, std::uint32_t completed) const;
    };
    Seen seen() const;
    struct PendingPrompt {
        std::uint32_t handle;
        std::string text;
        int frame;
        Seen before;  // what he saw before the completion
    };
    std::vector<PendingPrompt> pendingPrompts_;
    std::vector<int> completions_;
    Seen lastSeen_;
    int boatMovedInFrames_ = 0;  // frames in which his boat was moved, not by him

    std::int32_t sellHeldMs_ = 0;
    int sellHiddenFrames_ = 0;

    std::int64_t allocationsBefore_ = 0;
    std::int64_t frameAllocations_ = 0;
    int allocatingSteadyFrames_ = 0;
};

}  // namespace tollmere::playtest
