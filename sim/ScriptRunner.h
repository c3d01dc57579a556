#pragma once
// How the script takes turns with the host. Exactly one of them runs at any moment: the host
// resumes the script, and the script runs until it hands the turn back in scriptWait. Linux runs
// the script on a thread with a strict hand-off (ScriptThread.cpp); Windows runs it on a real
// Win32 fiber, as the game's host does (ScriptFiber.cpp). The world, the natives and the call
// record never know which.

#include <functional>
#include <memory>

namespace sim {

class ScriptRunner {
  public:
    ScriptRunner();
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Host side: makes the script's context and runs the body until its first hand-back. When the
    // body returns, the turn goes back to the host for good.
    void start(std::function<void()> body);
    // Host side: runs the script until it hands the turn back.
    void resume();
    // Script side: hands the turn to the host and returns when the host resumes the script.
    void yield();
    // Script side: hands the turn to the host for good.
    [[noreturn]] void park();
    // Whether the caller runs as the script.
    bool onScript() const;
    // Host side, once the script was unregistered: frees what the parked script holds, where that
    // can be done without running it again.
    void abandon();

    struct State;

  private:
    std::unique_ptr<State> state_;
};

}  // namespace sim
