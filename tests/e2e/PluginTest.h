#pragma once

#include "support/Harness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tollmere::testing {

// A fresh simulated game and working folder; the plug-in is started by the test.
class PluginTest : public ::testing::Test {
protected:
    // Starts the plug-in and runs the game until start-up is over and the main loop runs.
    void startAndSettle() {
        game.start();
        game.runFor(500);
        game.runFrames(game.world().textureLoadFrames + 5);
    }

    std::vector<std::string> logFrom(const std::string& first) const {
        auto messages = game.logMessages();
        const int at = game.findLog(first);
        if (at < 0) return {};
        return {messages.begin() + at, messages.end()};
    }

    Harness game;
};

}  // namespace tollmere::testing
