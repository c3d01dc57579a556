#pragma once
// Checks a player's Tollmere folder the way the plug-in reads it: the same line reader, the same
// "key=value" rule, the same typed getters and the same list of keys, and says in plain words what
// the plug-in will do with each fault it finds.

#include <filesystem>
#include <string>
#include <vector>

namespace tollmere::check {

enum class Severity { warning, error };

struct Finding {
    Severity severity = Severity::warning;
    std::string file;  // "Configs.dat"
    int line = 0;      // 0 when the finding is about the file or a key it lacks
    std::string text;
};

// Every finding for the folder, file by file in the order the plug-in loads them (Settings.ini,
// Lang.dat, Configs.dat, PlayerBoat.dat, TutorialFlags.dat), and within a file by line, the
// findings about the whole file or missing keys last.
std::vector<Finding> checkFolder(const std::filesystem::path& folder);

// The files checkFolder looks at, in its order.
std::vector<std::string> checkedFiles();

}  // namespace tollmere::check
