#pragma once
// Runs the plug-in in the simulated game: a working folder holding a copy of the shipped
// Tollmere folder (with per-run changes), the plug-in loaded through its attach entry, frames run
// on demand, and the log, files, native calls and world read back.
//
// On Linux the plug-in's code is linked in and its entry called; the Windows build loads the real
// Tollmere.asi from beside the test program with LoadLibrary, as the game's loader does, into the
// simulated game built as ScriptHookQLX3.dll, and frees it at the end.
//
// The plug-in's globals live for the whole process, as in the game, so the plug-in starts once per
// process: each end-to-end test runs in a process of its own (ctest runs every case separately).

#include "Host.h"
#include "World.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tollmere::testing {

class Harness {
public:
    Harness();
    // Plays in a working folder kept from an earlier run (a game started again); it is left in place.
    explicit Harness(const std::filesystem::path& existingFolder);
    ~Harness();
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    // The working folder, the game's working directory while the harness lives.
    const std::filesystem::path& folder() const { return folder_; }

    // Files of the Tollmere folder, by name ("Lang.dat").
    void writeFile(const std::string& name, const std::string& content);
    void removeFile(const std::string& name);
    bool hasFile(const std::string& name) const;
    // The text as the plug-in reads it back (text mode: CRLF is a line feed on Windows).
    std::string readFile(const std::string& name) const;
    // The bytes on disk.
    std::string readBytes(const std::string& name) const;

    // The log's messages in order, without their time stamps.
    std::vector<std::string> logMessages() const;
    // Index of the first message equal to text at or after from, or -1.
    int findLog(const std::string& text, int from = 0) const;

    // Loads the plug-in the way the game's loader does. Throws when it was already started in
    // this process.
    void start();
    // Unloads the plug-in the way the game does when it closes (its detach entry). The harness
    // does so when it ends, unless the test did.
    void stop();
    void runFrame() { host().runFrame(); }
    void runFrames(int count) { host().runFrames(count); }
    void runFor(int milliseconds) { host().runFor(milliseconds); }

    sim::Host& host() { return sim::Host::instance(); }
    sim::World& world() { return host().world(); }

    // How many calls of the named native the script made.
    int countCalls(const std::string& name) const;

    // The game started again on `folder`: the plug-in starts once per process, so this runs the
    // test case `testCase` of this same program in a child process, with TOLLMERE_RESTART_FOLDER
    // naming the folder (disabled cases included). True when the case passed.
    static bool runCaseInChildProcess(const std::filesystem::path& folder, const std::string& testCase);
    // In such a child: the plug-in started afresh on the folder the parent handed over, the game run
    // for `milliseconds`. Empty when the case was run some other way.
    static std::unique_ptr<Harness> restarted(int milliseconds);

private:
    std::filesystem::path previousDirectory_;
    std::filesystem::path folder_;
    bool keepFolder_ = false;
    void* plugin_ = nullptr;
    bool running_ = false;
};

}  // namespace tollmere::testing
