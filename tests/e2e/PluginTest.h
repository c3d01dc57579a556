#pragma once

#include "support/Harness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace tollmere::testing {

// A fresh simulated game and working folder; the plug-in is started by the test.
class PluginTest : public ::testing::Test {
protected:
    // Starts the plug-in and runs the game until start-up is over (the main loop shows the HUD first
    // thing) or the plug-in gave up, then one frame more.
    void startAndSettle() {
        game.start();
        game.runFor(500);
        for (int frame = 0; frame < 600 && game.host().callsTo("displayHud").empty(); ++frame) {
            if (game.host().scriptFinished()) return;
            game.runFrame();
        }
        game.runFrame();
    }

    // A text of the shipped language file, as the player reads it.
    std::string langText(const std::string& key) const {
        const std::string value = valueIn("Lang.dat", key);
        return value == "<absent>" ? std::string() : value;
    }

    // The value of a key in a file of the Tollmere folder as it is on disk, or "<absent>".
    std::string valueIn(const std::string& file, const std::string& key) const {
        const std::string content = "\n" + game.readFile(file);
        const auto at = content.find("\n" + key + "=");
        if (at == std::string::npos) return "<absent>";
        const auto start = at + key.size() + 2;
        return content.substr(start, content.find('\n', start) - start);
    }

    std::vector<std::string> logFrom(const std::string& first) const {
        auto messages = game.logMessages();
        const int at = game.findLog(first);
        if (at < 0) return {};
        return {messages.begin() + at, messages.end()};
    }

    // The release check plays in the game folder it installed; all else in a fresh copy.
    const char* installed = std::getenv("TOLLMERE_GAME_FOLDER");
    Harness game = installed != nullptr ? Harness(std::filesystem::path(installed)) : Harness();
};

}  // namespace tollmere::testing
