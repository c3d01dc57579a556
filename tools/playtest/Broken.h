#pragma once
// A rule the frame just played broke, by its name, and what the player saw.

#include <string>

namespace tollmere::playtest {

struct Broken {
    std::string rule;
    std::string what;
};

}  // namespace tollmere::playtest
