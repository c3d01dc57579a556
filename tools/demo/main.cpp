// Runs the plug-in in the simulated game and prints what the player would see, then the log.

#include "support/Harness.h"

#include <cstdio>
#include <string>

namespace {

void say(const std::string& text) { std::printf("%s\n", text.c_str()); }

}  // namespace

int main() {
    tollmere::testing::Harness game;
    sim::World& world = game.world();
    say("Tollmere in the simulated game");
    say("  working folder: " + game.folder().string());
    say("  the blips_mp texture dictionary takes " + std::to_string(world.textureLoadFrames) +
        " frames to stream in");

    game.start();
    game.runFor(500);
    say("\n-- after the script's first half second (frame " + std::to_string(world.frame) + ")");
    game.runFrames(10);
    say("-- start-up done by frame " + std::to_string(world.frame));
    say("  decorators registered: " + std::to_string(world.decorators.size()));
    say(std::string("  player control: ") + (world.player.control ? "on" : "off") +
        ", HUD: " + (world.hudDisplayed ? "shown" : "hidden"));

    game.runFrames(60);
    say("-- two more seconds of game: " + std::to_string(game.host().callsInFrame(world.frame)) +
        " native calls in the last frame");

    say("\n-- Tollmere/Log.log");
    std::printf("%s", game.readFile("Log.log").c_str());
    return 0;
}
