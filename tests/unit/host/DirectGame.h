#pragma once
// Unit tests drive the plug-in's host layer straight from the test thread: the simulated game
// answers natives at once and lets the game run when the code waits.

#include "Host.h"
#include "runtime/Globals.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace tollmere::testing {

class DirectGameTest : public ::testing::Test {
protected:
    DirectGameTest() : host(sim::Host::instance()), world(host.world()) {
        host.resetWorld();
        // Unit tests count in whole frames of the chosen step; end-to-end runs keep the jitter.
        world.frameJitterMs = 0;
        PlayerPed = world.player.ped;
    }

    // The arguments of the last call of the named native.
    const std::vector<std::uint64_t>& lastArgs(const std::string& name) {
        const auto calls = host.callsTo(name);
        if (calls.empty()) throw std::runtime_error("no call of " + name);
        return calls.back()->args;
    }
    std::size_t callCount(const std::string& name) const { return host.callsTo(name).size(); }

    sim::Host& host;
    sim::World& world;
};

}  // namespace tollmere::testing
