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

// The files checkFolder looks at, in its order: the fixed ones, then the translations and the
// player's own files present in the folder.
std::vector<std::string> checkedFiles(const std::filesystem::path& folder);

// Which file a text or price comes from in the language given, with the values under it that it
// hides: "\"fees.tint\" in en-US: \"2\" from Configs.custom.dat line 1, over \"5\" from Configs.dat line 9".
std::string whereKeyComesFrom(const std::filesystem::path& folder, const std::string& key,
                              const char* language);

}  // namespace tollmere::check
