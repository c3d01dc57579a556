// The script on a Win32 fiber, as the game's host runs it: the host's thread becomes a fiber, the
// script gets one of its own, and every hand-off is a SwitchToFiber.

#include "ScriptRunner.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace sim {

struct ScriptRunner::State {
    std::function<void()> body;
    void* hostFiber = nullptr;
    void* scriptFiber = nullptr;
};

namespace {

// A fiber's procedure must never return: that would end the host's thread.
void CALLBACK scriptFiberMain(void* parameter) {
    auto& state = *static_cast<ScriptRunner::State*>(parameter);
    state.body();
    for (;;)
        SwitchToFiber(state.hostFiber);
}

[[noreturn]] void failHard(const char* what) {
    std::fprintf(stderr, "simulated game: %s failed with error %lu\n", what, GetLastError());
    std::abort();
}

}  // namespace

ScriptRunner::ScriptRunner() : state_(std::make_unique<State>()) {}

ScriptRunner::~ScriptRunner() = default;

void ScriptRunner::start(std::function<void()> body) {
    State& state = *state_;
    state.body = std::move(body);
    if (state.hostFiber == nullptr) {
        state.hostFiber = IsThreadAFiber() ? GetCurrentFiber() : ConvertThreadToFiber(nullptr);
        if (state.hostFiber == nullptr) failHard("ConvertThreadToFiber");
    }
    state.scriptFiber = CreateFiber(0, scriptFiberMain, &state);
    if (state.scriptFiber == nullptr) failHard("CreateFiber");
    resume();
}

void ScriptRunner::resume() {
    SwitchToFiber(state_->scriptFiber);
}

void ScriptRunner::yield() {
    SwitchToFiber(state_->hostFiber);
}

void ScriptRunner::park() {
    for (;;)
        SwitchToFiber(state_->hostFiber);
}

bool ScriptRunner::onScript() const {
    return state_->scriptFiber != nullptr && IsThreadAFiber() && GetCurrentFiber() == state_->scriptFiber;
}

// The script's module may be gone already: the fiber is deleted without running it again, and its
// stack with it.
void ScriptRunner::abandon() {
    if (state_->scriptFiber == nullptr || onScript()) return;
    DeleteFiber(state_->scriptFiber);
    state_->scriptFiber = nullptr;
}

}  // namespace sim
