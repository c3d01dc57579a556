#pragma once
// The random player's own account of the game: what the screen showed him, what he paid for, what
// a dock should pay for a boat and what his boat looked like when he last left it. The rules compare
// the game with this account, never with the plug-in's log or tables, so a price computed wrongly
// and logged as computed still breaks a rule.
//
// Everything here comes from what a player can see or read: the catalogue rows drawn on screen, the
// prompts in view, the boats floating in the world (their model, paint, fittings and health), and
// the shipped data files in his Tollmere folder (prices in Configs.dat, the reward factor in
// Settings.ini, the boat names in Lang.dat). The sale value follows the rule documented in
// docs/random-player.md.

#include "Session.h"

#include "support/Harness.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tollmere::playtest {

// "key=value" lines, as a player reads them: comments and blank lines skipped, the first of a key
// kept, no further grammar.
std::map<std::string, std::string> readPairs(const std::filesystem::path& path);

// A file with the files laid over it, as the README tells the player: base "Lang" is Lang.dat under
// the translation of his language (es-MX over es-ES) under Lang.custom.dat, base "Configs" is
// Configs.dat under Configs.custom.dat. A key a file higher up leaves empty keeps the one below. His
// language is the one his Settings.ini names, else the game's (by its number), else English.
std::map<std::string, std::string> readLayered(const std::filesystem::path& folder, const std::string& base,
                                               int gameLanguage);

// One row of the boat catalogue as drawn in a frame.
struct ShownRow {
    std::string title;
    std::optional<std::int64_t> priceCents;  // none: a tick (already his) or "--" (not sold)
    std::string value;                       // the option a cycling row stands on, "" for none
    bool selected = false;
    bool dimmed = false;  // its title drawn faint: the row cannot be chosen
};

class Model {
  public:
    // Reads the prices, the reward factor and the boat names from the folder's Tollmere files, as
    // this start of the game found them.
    Model(const std::filesystem::path& folder, int gameLanguage);

    // The catalogue rows drawn in this frame, top to bottom; empty when the catalogue is closed.
    static std::vector<ShownRow> readCatalogue(const sim::FrameDraws& draws);
    // The amount a text shows after a "$" ("Retrieve Boat $5" -> 500), in cents.
    static std::optional<std::int64_t> amountIn(std::string_view text);

    // The model a catalogue row's title names, 0 when it names none.
    std::int32_t modelNamed(const std::string& title) const;

    // What a dock pays for this boat, in cents, by the documented sale rule: its stored value or else
    // its model's catalogue price with its fittings, times the sale factor, by its health, times the
    // reward factor, to a multiple of $5, never below 0.
    std::int64_t saleValueCents(const sim::Entity& boat) const;

    // His boat in the world: the stranger's boat he docked and so claimed (claimed, 0 for none) while
    // it floats unsold and held, or else the boat the game marks as the player's and has not taken back.
    static const sim::Entity* ownBoat(const sim::World& world, std::uint32_t claimed);

    // A number of Configs.dat as this start found it; -999 when the key is missing.
    float configFloat(const std::string& key) const;

  private:
    std::map<std::string, float> configs_;
    float rewardFactor_ = 0.0f;
    std::map<std::string, std::int32_t> modelByName_;
};

}  // namespace tollmere::playtest
