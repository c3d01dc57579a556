// Runs the plug-in in the simulated game and prints what the player would see along a short
// journey: the game starts with his boat moored at Trapper's Cabin, he climbs in and rows away.

#include "support/Harness.h"

#include <cstdio>
#include <string>

namespace {

void say(const std::string& text) { std::printf("%s\n", text.c_str()); }

std::string point(const sim::Vec3& p) {
    char text[64];
    std::snprintf(text, sizeof text, "(%.2f, %.2f, %.2f)", p.x, p.y, p.z);
    return text;
}

// Prints what appeared on screen since the last call: help texts, notices, money toasts and the
// prompts in view when they change.
class Screen {
public:
    explicit Screen(const sim::World& world) : world_(world) {}
    void showNew() {
        for (; help_ < world_.helpTexts.size(); ++help_) say("  [help text] " + world_.helpTexts[help_].text);
        for (; notices_ < world_.notices.size(); ++notices_) say("  [notice] " + world_.notices[notices_]);
        for (; toasts_ < world_.moneyToasts.size(); ++toasts_) {
            const sim::MoneyToast& toast = world_.moneyToasts[toasts_];
            say(std::string("  [money] ") + (toast.colour == 0x067FA8F3u ? "+" : "-") + toast.amountText);
        }
        std::string prompts;
        for (const sim::GamePrompt* prompt : world_.prompts.visible()) {
            prompts += (prompts.empty() ? "" : " | ") + prompt->text +
                       (world_.prompts.isEnabled(prompt->handle) ? "" : " (greyed)");
        }
        if (prompts != prompts_) {
            say("  [prompts] " + (prompts.empty() ? std::string("none") : prompts));
            prompts_ = prompts;
        }
    }

private:
    const sim::World& world_;
    std::size_t help_ = 0;
    std::size_t notices_ = 0;
    std::size_t toasts_ = 0;
    std::string prompts_;
};

// Runs frames one by one, printing what changes on screen, until done() holds or the frames run out.
template <typename Done>
int playUntil(tollmere::testing::Harness& game, Screen& screen, int frames, Done done) {
    for (int frame = 1; frame <= frames; ++frame) {
        game.runFrame();
        screen.showNew();
        if (done()) return frame;
    }
    return -1;
}

}  // namespace

int main() {
    tollmere::testing::Harness game;
    sim::World& world = game.world();
    Screen screen(world);

    game.writeFile("PlayerBoat.dat",
                   "dock_id=4\nhealth=0.900000\nlantern_propset_index=1\nmax_health=1000\n"
                   "owned_boat_model=-1613317544\npropset_index=0\ntint=3\n");
    say("Tollmere in the simulated game (working folder " + game.folder().string() + ")");
    say("PlayerBoat.dat: the player's rowboat is moored at dock 4, Trapper's Cabin.");

    game.start();
    game.runFor(500);
    for (int frame = 0; frame < 300 && game.host().callsTo("displayHud").empty(); ++frame) game.runFrame();
    game.runFrame();
    say("\n-- The game has started (frame " + std::to_string(world.frame) + ").");
    say("  player control " + std::string(world.player.control ? "on" : "off") + ", HUD " +
        (world.hudDisplayed ? "shown" : "hidden"));
    int docks = 0;
    for (const auto& [handle, blip] : world.blips) docks += blip.entity == 0 ? 1 : 0;
    say("  " + std::to_string(docks) + " docks stand on the map");

    const auto vehicles = world.vehicles();
    if (vehicles.empty()) {
        say("  no boat came back: see the log below");
    } else {
        const sim::Entity& boat = *vehicles.front();
        const sim::Blip* blip = world.blipOn(boat.handle);
        say("  the boat floats at " + point(boat.position) + ", heading " + std::to_string(boat.heading) +
            (boat.anchored ? ", anchored" : ", adrift") + ", health " + std::to_string(boat.health) + "/" +
            std::to_string(boat.maxHealth) + ", tint " + std::to_string(boat.tint));
        say("  its map blip reads \"" + (blip != nullptr ? blip->name : std::string("(none)")) + "\"");
        screen.showNew();

        say("\n-- The player climbs into the boat and rows away, 2 m a frame.");
        world.putPlayerInVehicle(boat.handle);
        const sim::Vec3 start = boat.position;
        for (int stroke = 1; stroke <= 30; ++stroke) {
            world.moveVehicle(boat.handle, sim::Vec3{start.x + 2.0f * static_cast<float>(stroke), start.y, start.z});
            game.runFrame();
            const auto left = game.findLog("player has left dock: 4");
            if (left >= 0) {
                say("  " + std::to_string(2 * stroke) + " m out the boat has left the dock");
                screen.showNew();
                break;
            }
        }
        say("  the anchor is " + std::string(world.entity(boat.handle)->anchored ? "down" : "up"));

        say("\n-- Out on the river he stops rowing and keeps the anchor control (INPUT_CONTEXT_X) held.");
        sim::Entity& rowboat = *world.entity(boat.handle);
        rowboat.speed = 0.0f;
        world.input.hold("INPUT_CONTEXT_X", 120);
        const int dropped = playUntil(game, screen, 120, [&] { return rowboat.anchored; });
        say(dropped > 0 ? "  after " + std::to_string(dropped) + " frames held the anchor is down"
                        : "  the anchor did not drop");
        world.input.release("INPUT_CONTEXT_X");
        playUntil(game, screen, 3, [] { return false; });

        say("\n-- He holds the control again to lift it.");
        world.input.hold("INPUT_CONTEXT_X", 90);
        const int lifted = playUntil(game, screen, 90, [&] { return !rowboat.anchored; });
        say(lifted > 0 ? "  after " + std::to_string(lifted) + " frames held the anchor is up"
                       : "  the anchor stayed down");
        world.input.release("INPUT_CONTEXT_X");
        playUntil(game, screen, 2, [] { return false; });
        say("\n-- PlayerBoat.dat now reads:");
        std::printf("%s", game.readFile("PlayerBoat.dat").c_str());
    }

    say("\n-- Tollmere/Log.log");
    std::printf("%s", game.readFile("Log.log").c_str());
    return 0;
}
