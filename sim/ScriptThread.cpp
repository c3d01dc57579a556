// The script on a thread of its own, with a strict hand-off: the host and the script wait for
// each other on one condition variable, so they never run at the same time.

#include "ScriptRunner.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace sim {

struct ScriptRunner::State {
    std::function<void()> body;
    std::thread::id scriptThread;
    std::mutex mutex;
    std::condition_variable turnChanged;
    bool scriptsTurn = false;
};

ScriptRunner::ScriptRunner() : state_(std::make_unique<State>()) {}

// The host lives until the process ends, so a parked thread never outlives the state it waits on.
ScriptRunner::~ScriptRunner() = default;

void ScriptRunner::start(std::function<void()> body) {
    State& state = *state_;
    state.body = std::move(body);
    std::thread thread([&state] {
        {
            std::unique_lock lock(state.mutex);
            state.turnChanged.wait(lock, [&state] { return state.scriptsTurn; });
        }
        state.body();
        std::unique_lock lock(state.mutex);
        state.scriptsTurn = false;
        state.turnChanged.notify_all();
    });
    state.scriptThread = thread.get_id();
    thread.detach();
    resume();
}

void ScriptRunner::resume() {
    State& state = *state_;
    std::unique_lock lock(state.mutex);
    state.scriptsTurn = true;
    state.turnChanged.notify_all();
    state.turnChanged.wait(lock, [&state] { return !state.scriptsTurn; });
}

void ScriptRunner::yield() {
    State& state = *state_;
    std::unique_lock lock(state.mutex);
    state.scriptsTurn = false;
    state.turnChanged.notify_all();
    state.turnChanged.wait(lock, [&state] { return state.scriptsTurn; });
}

void ScriptRunner::park() {
    State& state = *state_;
    std::unique_lock lock(state.mutex);
    state.scriptsTurn = false;
    state.turnChanged.notify_all();
    for (;;)
        state.turnChanged.wait(lock);
}

bool ScriptRunner::onScript() const {
    return state_->scriptThread != std::thread::id() && std::this_thread::get_id() == state_->scriptThread;
}

// A thread cannot be ended from outside; it stays parked until the process ends.
void ScriptRunner::abandon() {}

}  // namespace sim
