#pragma once
// What the player sees of the shop, checked after every frame against his own picture of it: the
// documented layout of the boat catalogue (panel, header, title and subtitle, dividers, the rows with
// their boxes, frames, titles, prices, ticks and option values, the description, the three star
// ratings) and the way into and out of it (the fades, the waits between them, the scripted camera).
//
// Every number here is the player's own: positions, sizes, colours and scales as the documentation
// lays the panel out, prices from Configs.dat, names from Lang.dat, health and seats from the boat
// floating in the world, the dock from its blip on the map, fades and camera moves from what the
// game was asked for. None is read from the plug-in's tables, log or arithmetic.
//
//   shop-screen   a frame of the catalogue draws something other than the documented panel, or a
//                 cycling row stands on an option other than the one the boat at the dock wears
//   shop-camera   a fade, a wait between fades, or the scripted camera is not what the documented
//                 way into and out of the shop does
//   screen-feed   a money toast or help text shows other than documented (its time, icon, colour,
//                 length), or a sprite, sound or feed post goes to the game with other trailing words
//   shop-keys     down or up moved the red frame elsewhere than to the nearest row below or above
//                 that can be chosen (staying put at the ends), or it moved with no key pressed; or
//                 an option moved other than one step, on the selected row, the way right or left said

#include "Account.h"
#include "WorldRules.h"

#include "support/Harness.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tollmere::playtest {

class ScreenRules {
  public:
    ScreenRules(testing::Harness& game, const Account& account);

    void beforeFrame();
    // Every rule broken by the frame just played.
    std::vector<Broken> afterFrame();

  private:
    struct Row;
    struct Frame;

    std::optional<Broken> checkShop();
    std::optional<Broken> checkCalls();
    std::optional<Broken> checkCamera();
    std::optional<Broken> checkFeed();
    std::optional<Broken> checkSelection();
    std::optional<std::string> checkFrame(Frame& frame);
    std::optional<std::string> checkRows(Frame& frame);
    std::optional<std::string> checkRowPrice(const Row& row, bool purchase, bool steady) const;
    std::optional<std::string> checkStats(const Frame& frame) const;
    float config(const std::string& key) const;  // -999 for a key Configs.dat does not hold
    std::string lang(const std::string& key) const;

    testing::Harness& game_;
    sim::World& world_;
    const Account& account_;
    std::map<std::string, std::string> lang_;
    std::map<std::string, float> configs_;
    std::map<std::string, std::int32_t> modelByName_;

    // The frame before, as he saw it.
    struct Seen {
        bool catalogue = false;
        bool purchase = false;
        bool description = false;
    } before_;
    std::int64_t cashBefore_ = 0;
    std::int32_t healthBefore_ = 0;
    std::uint32_t boatBefore_ = 0;
    std::uint32_t modelBefore_ = 0;
    int catalogueFrames_ = 0;
    int cashSteadyFrames_ = 0;  // frames in a row that left his cash as it was
    int tintBefore_ = 0;        // the paint row's value on the last steady customising frame, 0 for none
    std::int64_t cashLastFrame_ = 0;
    std::int32_t healthLastFrame_ = 0;  // his boat's, as the frame before left it
    bool healthSteady_ = false;         // in a row, in the same mode

    std::vector<ShownRow> rowsBefore_;  // the catalogue's rows as the frame before drew them
    int keysBefore_ = 0;                // the catalogue's keys pressed in the frame before
    int rowsFrames_ = 0;                // frames in a row that drew the catalogue's rows

    // The game's call record, read on from here.
    std::size_t callsRead_ = 0;
    std::uint32_t camera_ = 0;  // the scripted camera the plug-in made
    std::int32_t fadedOutAtMs_ = -1;
    bool fadedOutGoingIn_ = false;  // the shop's last fade out was into it, not out of it
    bool panelBefore_ = false;      // the shop's panel was on screen in the frame before
    bool opening_ = false;          // faded out into the shop, its panel not drawn since
    bool othersCalled_ = false;
    std::optional<std::string> othersScreenBefore_;  // the script holding the fade or the camera at the frame's end
    int modelsToLoad_ = 0;
    bool disturbed_ = false;  // a menu of the game or a scene came up since that fade out
    std::size_t toastsBefore_ = 0;
    std::size_t helpBefore_ = 0;  // another script asked the game for anything since that fade out
};

}  // namespace tollmere::playtest
